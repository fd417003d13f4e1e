#include "lists/detector_list.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "lists/list_commands.h"
#include "lists/list_text.h"
#include "platform/controls.h"
#include "resources/territory_list_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

// The right click's own check names the row differently from the Edit command's.
constexpr const char* kClickNoneSelected =
    "A wayside detector has not be selected.  Select a wayside detector by placing the mouse pointer on the "
    "wayside detector and then click the left mouse button.";
constexpr const char* kClickMoreThanOne =
    "More than wayside detector has been selected.  Please select only one wayside detector.";
constexpr const char* kEditNoneSelected =
    "A wayside detector has not be selected.  Select a wayside detector by placing the mouse pointer on the name "
    "and then click the mouse left or right button.";
constexpr const char* kEditMoreThanOne =
    "More than one wayside detector has been selected.  Please select only one wayside detector.";

std::vector<list::Column> DetectorColumns() {
  return {{"Description", Qt::AlignLeft},
          {"Generates a Warning", Qt::AlignHCenter},
          {"Warning Delay", Qt::AlignRight},
          {"Problem Delay", Qt::AlignRight}};
}

// A field with a unit after it.
QWidget* WithUnit(QWidget* field, const QString& unit) {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(field);
  row->addWidget(new QLabel(unit));
  row->addStretch();
  return box;
}

}  // namespace

TTDetector::TTDetector(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTDetector", "Wayside Detector Data", 2, 6, DetectorColumns(),
                                 "wayside detector window", /*KeepsSelection=*/true},
                 parent) {
  AddSaveColumnWidthsButton();
  AddHelpButton();
  OnListRightClick(*this, [this] {
    if (SelectedRecord(kClickNoneSelected, kClickMoreThanOne) >= 0) Edit();
  });
}

std::vector<list::Row> TTDetector::Fill() {
  const auto listed = ListByName<DetectorData>(
      kMaxDetectors, [this](int slot) { return store_.GetDetectorData(slot); },
      [](const DetectorData& detector) { return FieldText(detector.Description); });

  std::vector<list::Row> rows;
  for (const auto& entry : listed) {
    const bool warns = entry.Data.RaisesAlarm != 0;
    const int16_t warningDelay = entry.Data.AlarmCheckMinutes;
    const int16_t problemDelay = entry.Data.RepairMinutes;
    list::Row row;
    row.Record = entry.Slot;
    row.Texts = {entry.Name, YesNo(warns), warns ? QString::number(warningDelay) : QString(),
                 QString::number(problemDelay)};
    rows.push_back(std::move(row));
  }
  return rows;
}

void TTDetector::Edit() {
  ActOnSelectedRow(*this, store_, "TTDetector::Edit", kEditNoneSelected, kEditMoreThanOne, [this](int32_t detector) {
    TDetectorInfo display(parentWidget(), store_, detector);
    RunOverList(*this, display);
    ListBuild();
  });
}

TDetectorInfo::TDetectorInfo(QWidget* parent, Corvane3Data& store, int detector) : QDialog(parent), store_(store) {
  SetControlId(this, res::IDD_DETECTOR_INFO);
  setWindowTitle("Wayside Detectors");
  setModal(true);
  const DetectorData record = store.GetDetectorData(detector);
  const int16_t warningDelay = record.AlarmCheckMinutes;
  const int16_t problemDelay = record.RepairMinutes;

  auto* warns = new QCheckBox("Generate warning", this);
  SetControlId(warns, res::IDC_DETECTOR_WARNING);
  warns->setChecked(record.RaisesAlarm != 0);
  auto* form = new QFormLayout;
  form->addRow("Detector Name",
               MakeTextField(this, res::IDC_DETECTOR_NAME, ListText(FieldText(record.Description)), 20));
  form->addRow(warns);
  form->addRow(
      "Warning delay",
      WithUnit(MakeNumberField(this, res::IDC_DETECTOR_WARNING_DELAY, QString::number(warningDelay), 3), "minutes"));
  form->addRow(
      "Problem delay",
      WithUnit(MakeNumberField(this, res::IDC_DETECTOR_PROBLEM_DELAY, QString::number(problemDelay), 3), "minutes"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(DialogButtons(*this, true, [this] { ShowHelp(store_, "wayside detector dialog"); }));
}

void TDetectorInfo::accept() {
  RefuseReadOnlyChange(store_);
  QDialog::accept();
}
