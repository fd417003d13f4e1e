#include "dialogs/random_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/random_dialog_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"

namespace {

constexpr int kNameChars = 20;

// A row's train type or detector name, as the row's static shows it.
QLabel* MakeName(QWidget* parent, int id, const std::string& name) {
  auto* label = new QLabel(QString::fromStdString(name.substr(0, kNameChars)), parent);
  label->setTextFormat(Qt::PlainText);
  SetControlId(label, id);
  return label;
}

QLabel* Head(const char* line1, const char* line2 = nullptr) {
  auto* label = new QLabel(line2 ? QString("%1\n%2").arg(line1, line2) : QString(line1));
  label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  return label;
}

// A row's controls, left to right; a row not in use is hidden whole.
void PlaceRow(QGridLayout* grid, int row, const std::vector<QWidget*>& controls, bool shown) {
  for (size_t column = 0; column < controls.size(); ++column) {
    grid->addWidget(controls[column], row, static_cast<int>(column), Qt::AlignHCenter);
    controls[column]->setHidden(!shown);
  }
}

// Rows are shown, checked and stored by this one rule.
bool InUse(uint8_t mark) { return mark == 1; }

}  // namespace

TRandomParameterDialog::TRandomParameterDialog(QWidget* parent, Corvane3Data& store, int templateId,
                                               const QString& caption, std::string helpKeyword)
    : QDialog(parent), store_(store), helpKeyword_(std::move(helpKeyword)) {
  SetControlId(this, templateId);
  setWindowTitle(caption);
  setModal(true);
}

QLineEdit* TRandomParameterDialog::AddNumber(int id, int value, int digits, int bound, const char* message,
                                             std::function<void(RandomData&, int16_t)> put) {
  QLineEdit* field = MakeNumberField(this, id, QString::number(value), digits);
  if (bound >= 0) {
    checks_.Add(field, [this, bound, message](const QString& text) {
      if (text.toInt() <= bound) return true;
      store_.ShowMessage(message, MessageIcon::Error);
      return false;
    });
  }
  // The field takes digits only, so its value fits; an emptied field is 0, and one left as shown keeps the
  // stored value.
  puts_.push_back([field, put = std::move(put)](RandomData& record) {
    if (TextEdited(field)) put(record, static_cast<int16_t>(field->text().toInt()));
  });
  return field;
}

void TRandomParameterDialog::Finish(QGridLayout* fields) {
  LayOutFramedDialog(*this, fields, store_, res::IDC_RANDOM_HELP, helpKeyword_);
}

void TRandomParameterDialog::accept() {
  if (!checks_.Run()) return;
  RandomData working = store_.GetRandomData();
  for (const auto& put : puts_) put(working);
  if (store_.UpdateRandomData(working) != 0) {
    const std::string path = SettingsFiles(store_).TerritoryPath();
    store_.ShowMessage(path.empty() ? "The random event parameters were not saved: the territory's track file "
                                      "name has no extension to name its settings file after."
                                    : "The random event parameters were not saved: the territory settings file \"" +
                                          path + "\" could not be written.",
                       MessageIcon::Error);
    return;
  }
  QDialog::accept();
}

TRandomSwitchDialog::TRandomSwitchDialog(QWidget* parent, Corvane3Data& store)
    : TRandomParameterDialog(parent, store, res::IDD_RANDOM_FAILURES, "Random Switch and Signal Failure Parameters",
                             "random switch and signal failure parameters") {
  const RandomData random = store.GetRandomData();
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Switch failures (per 1,000 throws)"), 0, 0);
  grid->addWidget(AddNumber(res::IDC_RANDOM_SWITCH_FAILURES, random.SwitchFailuresPer1000, 4, 1000,
                            "The switch failure parameter cannot be greater than 1000.",
                            [](RandomData& r, int16_t v) { r.SwitchFailuresPer1000 = v; }),
                  0, 1);
  grid->addWidget(new QLabel("Signal failures (per 1,000 clears)"), 1, 0);
  grid->addWidget(AddNumber(res::IDC_RANDOM_SIGNAL_FAILURES, random.SignalFailuresPer1000, 4, 1000,
                            "The signal failure parameter cannot be greater than 1000.",
                            [](RandomData& r, int16_t v) { r.SignalFailuresPer1000 = v; }),
                  1, 1);
  grid->addWidget(new QLabel("Time for maintainer to arrive"), 2, 0);
  grid->addWidget(AddNumber(res::IDC_RANDOM_MAINTAINER_TIME, random.MaintainerRepairMinutes, 3, -1, nullptr,
                            [](RandomData& r, int16_t v) { r.MaintainerRepairMinutes = v; }),
                  2, 1);
  grid->addWidget(new QLabel("minutes"), 2, 2);
  grid->addWidget(new QLabel("Random maintainer arrival time (percentage deviation)"), 3, 0);
  grid->addWidget(AddNumber(res::IDC_RANDOM_MAINTAINER_DEVIATION, random.MaintainerVariationPercent, 3, 100,
                            "The random maintenance arrival time parameter cannot be greater than 100%.",
                            [](RandomData& r, int16_t v) { r.MaintainerVariationPercent = v; }),
                  3, 1);
  Finish(grid);
}

TRandomTrainDialog::TRandomTrainDialog(QWidget* parent, Corvane3Data& store)
    : TRandomParameterDialog(parent, store, res::IDD_RANDOM_TRAINS, "Random Train Parameters",
                             "random train parameters") {
  const RandomData random = store.GetRandomData();
  auto* grid = new QGridLayout;
  grid->addWidget(Head("Train Type"), 0, 0);
  grid->addWidget(Head("Run Time Performance", "(percentage deviation)"), 0, 1);
  grid->addWidget(Head("Startup Delays"), 0, 2);
  grid->addWidget(Head("Late Train Arrivals", "(percentage)"), 0, 3);
  grid->addWidget(Head("Locomotive Problems", "(percentage)"), 0, 4);
  grid->addWidget(Head("Train Problems", "(percentage)"), 0, 5);
  grid->addWidget(Head("Dropped Signal Derailment", "(percentage)"), 0, 6);
  for (int slot = 0; slot < res::kRandomRows; ++slot) {
    const res::RandomTrainRowIds& ids = res::kRandomTrainRows[slot];
    const TrainType type = store.GetTrainType(slot);
    const bool shown = InUse(type.InUse);
    const int row = slot + 1;
    auto* delays = new QCheckBox("Yes", this);
    SetControlId(delays, ids.StartupDelays);
    std::vector<QWidget*> controls{MakeName(this, ids.Name, shown ? FieldText(type.Name) : "Type 1")};
    if (shown) {
      // A row not in use is neither checked nor stored: its values are carried through.
      controls.push_back(AddNumber(ids.RunTime, random.PerformanceSpread[slot], 3, 100,
                                   "The run time performance parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.PerformanceSpread[slot] = v; }));
      controls.push_back(delays);
      controls.push_back(AddNumber(ids.LateArrivals, random.LateStartPercent[slot], 3, 100,
                                   "The late train arrival performance parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.LateStartPercent[slot] = v; }));
      controls.push_back(AddNumber(ids.LocomotiveProblems, random.LocoProblemPercent[slot], 3, 100,
                                   "The locomotive problem parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.LocoProblemPercent[slot] = v; }));
      controls.push_back(AddNumber(ids.TrainProblems, random.TrainProblemPercent[slot], 3, 100,
                                   "The train problem parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.TrainProblemPercent[slot] = v; }));
      controls.push_back(AddNumber(ids.Derailments, random.RunPastChance[slot], 3, 100,
                                   "The dropped signal derailment parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.RunPastChance[slot] = v; }));
      delays->setChecked(random.Bytes60[slot] == 1);
      AddPut([slot, delays](RandomData& r) { r.Bytes60[slot] = delays->isChecked() ? 1 : 0; });
    } else {
      controls.push_back(MakeNumberField(this, ids.RunTime, "", 3));
      controls.push_back(delays);
      for (int id : {ids.LateArrivals, ids.LocomotiveProblems, ids.TrainProblems, ids.Derailments}) {
        controls.push_back(MakeNumberField(this, id, "", 3));
      }
    }
    PlaceRow(grid, row, controls, shown);
  }
  Finish(grid);
}

TRandomDetectorDialog::TRandomDetectorDialog(QWidget* parent, Corvane3Data& store)
    : TRandomParameterDialog(parent, store, res::IDD_RANDOM_DETECTORS, "Random Defect Detector Parameters",
                             "random defect detector parameters") {
  const RandomData random = store.GetRandomData();
  auto* grid = new QGridLayout;
  grid->addWidget(Head("Defect Detector"), 0, 0);
  grid->addWidget(Head("Alarms", "(per 1000 checks)"), 0, 1);
  grid->addWidget(Head("False Alarms", "(percentage)"), 0, 2);
  for (int slot = 0; slot < res::kRandomRows; ++slot) {
    const res::RandomDetectorRowIds& ids = res::kRandomDetectorRows[slot];
    const DetectorData detector = store.GetDetectorData(slot);
    const bool shown = InUse(detector.InUse);
    std::vector<QWidget*> controls{MakeName(this, ids.Name, shown ? FieldText(detector.Description) : "Type 1")};
    if (shown) {
      controls.push_back(AddNumber(ids.Alarms, random.Values0[slot], 4, 1000,
                                   "The detector alarm parameter cannot be greater than 1000.",
                                   [slot](RandomData& r, int16_t v) { r.Values0[slot] = static_cast<uint16_t>(v); }));
      controls.push_back(AddNumber(ids.FalseAlarms, random.FalseAlarmPercent[slot], 3, 100,
                                   "The false alarm parameter cannot be greater than 100%.",
                                   [slot](RandomData& r, int16_t v) { r.FalseAlarmPercent[slot] = v; }));
    } else {
      controls.push_back(MakeNumberField(this, ids.Alarms, "", 4));
      controls.push_back(MakeNumberField(this, ids.FalseAlarms, "", 3));
    }
    PlaceRow(grid, slot + 1, controls, shown);
  }
  Finish(grid);
}
