#include "dialogs/property_displays.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/property_display_ids.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/track_codes.h"

namespace {

constexpr int kNameChars = 20;
constexpr int kValueChars = 3;
constexpr int16_t kNoSignal = -1;  // 65535 as the record's unsigned view has it

bool EnglishUnits(const Corvane3Data& store) { return store.GetTerritoryOptions().Units == 1; }
bool TypeInUse(const Corvane3Data& store, int slot) { return store.GetTrainType(slot).InUse == 1; }
QString TypeName(const Corvane3Data& store, int slot) {
  return QString::fromLatin1(FieldText(store.GetTrainType(slot).Name));
}

template <size_t N>
QString Text(const char (&field)[N]) {
  return QString::fromLatin1(FieldText(field));
}
QString TextOrNone(const QString& text) { return text.isEmpty() ? QString("(none)") : text; }

// A stored value in its field: -1 leaves it empty. The field is widened for a value longer than the
// template allows, so that a display never shows a cut number.
void ShowValue(QLineEdit* field, int value) {
  const QString text = value == -1 ? QString() : QString::number(value);
  field->setMaxLength(std::max(kValueChars, static_cast<int>(text.size())));
  field->setText(text);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int id = -1) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  if (id >= 0) SetControlId(label, id);
  return label;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text, bool checked) {
  auto* box = new QCheckBox(text, parent);
  SetControlId(box, id);
  box->setChecked(checked);
  return box;
}

}  // namespace

QString PropertyDeviceText(int device) {
  if (device == -1) return "(none)";
  namespace devices = ::device;
  if (devices::IsBlock(device)) return QString::asprintf("Block-%04d", device);
  if (devices::IsSwitch(device)) return QString::asprintf("Switch-%04d", devices::SwitchIndex(device));
  if (devices::IsDiamond(device)) return QString::asprintf("Diamond-%04d", devices::DiamondIndex(device));
  return {};
}

LengthText BlockLengthText(int32_t length, bool englishUnits, bool longUnits) {
  if (!longUnits) return {QString::number(length), englishUnits ? "feet" : "meters"};
  const int32_t unit = englishUnits ? 5280 : 1000;
  // A damaged negative length keeps its sign once, on the whole part.
  const int64_t magnitude = length < 0 ? -static_cast<int64_t>(length) : length;
  const QString value =
      QString("%1%2.%3").arg(length < 0 ? "-" : "").arg(magnitude / unit).arg((magnitude % unit) / (unit / 10));
  return {value, englishUnits ? "miles" : "kilometers"};
}

// ---------------------------------------------------------------- switch

TSwitchDialog::TSwitchDialog(QWidget* parent, Corvane3Data& store, int switchIndex) : QDialog(parent), store_(store) {
  SetControlId(this, res::IDD_SWITCH_INFORMATION);
  setWindowTitle("Switch Information");
  setModal(true);
  const SwitchData data = store.GetSwitchData(switchIndex);

  auto* fields = new QGridLayout;
  int row = 0;
  auto addRow = [&](const QString& label, QWidget* field, int labelId = -1) {
    QLabel* text = MakeLabel(this, label, labelId);
    fields->addWidget(text, row, 0);
    fields->addWidget(field, row, 1, 1, 3);
    ++row;
    return text;
  };
  addRow("Switch number", MakeReadOnlyField(this, res::IDC_SWITCH_NUMBER, QString::number(switchIndex), 4));
  addRow("Switch name", MakeTextField(this, res::IDC_SWITCH_NAME, Text(data.DisplayName), kNameChars));
  addRow("Control/monitor name", MakeTextField(this, res::IDC_SWITCH_CONTROL_NAME, Text(data.ControlName), kNameChars));
  addRow("OS Point", MakeTextField(this, res::IDC_SWITCH_OS_POINT, TextOrNone(Text(data.Name)), kNameChars));
  QLineEdit* reverseLeft = MakeReadOnlyField(this, res::IDC_SWITCH_REVERSE_LEFT, PropertyDeviceText(data.Legs[0]), 14);
  QLabel* reverseLeftLabel = addRow("Reverse left device", reverseLeft, res::IDC_SWITCH_REVERSE_LEFT_LABEL);
  QLineEdit* reverseRight =
      MakeReadOnlyField(this, res::IDC_SWITCH_REVERSE_RIGHT, PropertyDeviceText(data.Legs[2]), 14);
  QLabel* reverseRightLabel = addRow("Reverse right device", reverseRight, res::IDC_SWITCH_REVERSE_RIGHT_LABEL);
  addRow("Normal left device",
         MakeReadOnlyField(this, res::IDC_SWITCH_NORMAL_LEFT, PropertyDeviceText(data.Legs[1]), 14));
  addRow("Normal right device",
         MakeReadOnlyField(this, res::IDC_SWITCH_NORMAL_RIGHT, PropertyDeviceText(data.Legs[3]), 14));

  // Only the reverse leg on the side the switch's drawn shape diverges to is shown.
  const bool onGrid = data.CellX >= 0 && data.CellX < kGridColumns && data.CellY >= 0 && data.CellY < kGridRows;
  const int code = onGrid ? store.GetGridTrack(data.CellX, data.CellY) : 0;
  const bool divergesRight = track::DivergesRight(code);
  reverseLeft->setHidden(divergesRight);
  reverseLeftLabel->setHidden(divergesRight);
  reverseRight->setHidden(!divergesRight);
  reverseRightLabel->setHidden(!divergesRight);

  const QString heading = QString("SWITCH REVERSE TRAIN SPEEDS ") + (EnglishUnits(store) ? "MPH" : "KPH");
  fields->addWidget(MakeLabel(this, heading, res::IDC_SWITCH_SPEED_HEADING), row++, 0, 1, 4, Qt::AlignHCenter);
  for (int pair = 0; pair < 2; ++pair) {
    fields->addWidget(MakeLabel(this, "TRAIN TYPE"), row, pair * 2);
    fields->addWidget(MakeLabel(this, "SPEED"), row, pair * 2 + 1);
  }
  ++row;
  for (int slot = 0; slot < res::kTypeSlots; ++slot) {
    const bool used = TypeInUse(store, slot);
    QLabel* name = MakeLabel(this, used ? TypeName(store, slot) : QString(), res::kSwitchTypeNames[slot]);
    QLineEdit* speed = MakeNumberField(this, res::kSwitchTypeSpeeds[slot], {}, kValueChars);
    if (used) ShowValue(speed, data.DivergingSpeed[slot]);
    speed->setHidden(!used);
    const int column = slot < 5 ? 0 : 2;
    fields->addWidget(name, row + slot % 5, column);
    fields->addWidget(speed, row + slot % 5, column + 1);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(CentredButtonRow(
      {MakeCancelButton(*this), MakeHelpButton(*this, store_, res::IDC_PROPERTY_HELP, "switch properties dialog")}));
}

void TSwitchDialog::accept() {
  RefuseReadOnlyChange(store_);
  QDialog::accept();
}

void TSwitchDialog::keyPressEvent(QKeyEvent* event) {
  // The display has no OK button: Enter answers as OK would.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------- block: pages

TBlockPage::TBlockPage(const QString& title, int templateId, Corvane3Data& store, int block, std::string helpKeyword)
    : PropertyPage(title, templateId), store_(store), block_(block), helpKeyword_(std::move(helpKeyword)) {}

void TBlockPage::WatchEdits() {
  auto changed = [this] {
    typed_ = true;
    emit Changed();
  };
  for (QLineEdit* field : findChildren<QLineEdit*>()) connect(field, &QLineEdit::textEdited, this, changed);
  for (QCheckBox* box : findChildren<QCheckBox*>()) connect(box, &QCheckBox::clicked, this, changed);
}

bool TBlockPage::Apply() {
  if (typed_) RefuseReadOnlyChange(store_);
  typed_ = false;
  return true;
}

void TBlockPage::Help() { ShowHelp(store_, helpKeyword_); }

TBlockGeneral::TBlockGeneral(Corvane3Data& store, int block)
    : TBlockPage("General Block Data", res::IDD_BLOCK_GENERAL, store, block, "block properties - general dialog") {
  Fill();
  WatchEdits();
}

void TBlockGeneral::Fill() {
  const BlockData data = store_.GetBlockData(block_);
  auto* grid = new QGridLayout(this);
  int row = 0;
  auto add = [&](const QString& label, QWidget* field, QWidget* after = nullptr) {
    grid->addWidget(MakeLabel(this, label), row, 0);
    grid->addWidget(field, row, 1);
    if (after) grid->addWidget(after, row, 2);
    ++row;
  };
  auto signalText = [](int16_t signal) {
    return signal == kNoSignal ? QString("(none)") : QString::asprintf("%04d", static_cast<uint16_t>(signal));
  };
  add("Number", MakeReadOnlyField(this, res::IDC_BLOCK_NUMBER, QString::number(block_), 4));
  const QString trackName = QString::asprintf("%s-%s %s", FieldText(data.TrackStation1).c_str(),
                                              FieldText(data.TrackStation2).c_str(), FieldText(data.TrackPart).c_str());
  add("Track name", MakeTextField(this, res::IDC_BLOCK_TRACK_NAME, trackName, kNameChars));
  grid->addWidget(MakeCheck(this, res::IDC_BLOCK_CONNECTOR, "Connector", data.PassThrough == 1), row++, 1);
  add("Left device", MakeTextField(this, res::IDC_BLOCK_LEFT_DEVICE, PropertyDeviceText(data.LeftNeighbour), 14));
  add("or Entrance/Exit name", MakeTextField(this, res::IDC_BLOCK_LEFT_LOCATION, Text(data.LeftLocation), 4));
  add("Right device", MakeTextField(this, res::IDC_BLOCK_RIGHT_DEVICE, PropertyDeviceText(data.RightNeighbour), 14));
  add("or Entrance/Exit name", MakeTextField(this, res::IDC_BLOCK_RIGHT_LOCATION, Text(data.RightLocation), 4));
  grid->addWidget(MakeCheck(this, res::IDC_BLOCK_SIGNALLED_LEFT, "Signaled left", data.SignalledLeft == 1), row, 0);
  grid->addWidget(MakeCheck(this, res::IDC_BLOCK_SIGNALLED_RIGHT, "Signaled right", data.SignalledRight == 1), row++,
                  1);
  const LengthText length = BlockLengthText(data.Length, EnglishUnits(store_), data.LongUnits == 1);
  QLineEdit* lengthField = MakeTextField(this, res::IDC_BLOCK_LENGTH, {}, 6);
  lengthField->setMaxLength(std::max(6, static_cast<int>(length.Value.size())));
  lengthField->setText(length.Value);
  add("Block length", lengthField, MakeLabel(this, length.Unit, res::IDC_BLOCK_LENGTH_UNIT));
  add("Left exit control signal", MakeTextField(this, res::IDC_BLOCK_LEFT_EXIT_SIGNAL, signalText(data.LeftSignal), 6));
  add("Right exit control signal",
      MakeTextField(this, res::IDC_BLOCK_RIGHT_EXIT_SIGNAL, signalText(data.RightSignal), 6));
  grid->addWidget(MakeCheck(this, res::IDC_BLOCK_CREW_POINT, "Normal crew change point", data.CrewChangePoint == 1),
                  row++, 0, 1, 2);
  auto minutes = [this](int id, int32_t value) {
    QLineEdit* field = MakeNumberField(this, id, {}, kValueChars);
    ShowValue(field, value);
    return field;
  };
  add("Delay in block because of crew change", minutes(res::IDC_BLOCK_CREW_DELAY, data.CrewReliefMinutes),
      MakeLabel(this, "minutes"));
  add("Time to send crew to block", minutes(res::IDC_BLOCK_CREW_SEND, data.CrewSendMinutes),
      MakeLabel(this, "minutes"));
  add("Platform name", MakeTextField(this, res::IDC_BLOCK_PLATFORM, TextOrNone(Text(data.PlatformName)), kNameChars));
  add("Area Name", MakeTextField(this, res::IDC_BLOCK_AREA, TextOrNone(Text(data.AreaName)), kNameChars));
  for (size_t i = 0; i < res::kBlockDetectors.size(); ++i) {
    const QString name =
        TextOrNone(QString::fromLatin1(FieldText(data.DetectorNames[i], sizeof data.DetectorNames[i])));
    add(i == 0 ? "Wayside detectors" : "", MakeTextField(this, res::kBlockDetectors[i], name, kNameChars));
  }
  add("Remote monitor name", MakeTextField(this, res::IDC_BLOCK_REMOTE_MONITOR, Text(data.RemoteMonitor), 10));
  add("OS Point", MakeTextField(this, res::IDC_BLOCK_OS_POINT, TextOrNone(Text(data.Name)), kNameChars));
}

// ---------------------------------------------------------------- block: speeds page

TBlockSpeed::TBlockSpeed(Corvane3Data& store, int block)
    : TBlockPage("Block Speeds", res::IDD_BLOCK_SPEEDS, store, block, "block properties - speed dialog") {
  auto* grid = new QGridLayout(this);
  heading_ = MakeLabel(this, "BLOCK TRAIN SPEEDS MPH", res::IDC_BLOCK_SPEED_HEADING);
  grid->addWidget(heading_, 0, 0, 1, 11, Qt::AlignHCenter);
  grid->addWidget(MakeLabel(this, "LEFT CLEARED AHEAD BLOCKS"), 1, 1, 1, 5, Qt::AlignHCenter);
  grid->addWidget(MakeLabel(this, "RIGHT CLEARED AHEAD BLOCKS"), 1, 6, 1, 5, Qt::AlignHCenter);
  grid->addWidget(MakeLabel(this, "TYPE"), 2, 0);
  const char* heads[] = {"NONE", "ONE", "TWO", "HELPER", "STARTUP"};
  for (int side = 0; side < 2; ++side)
    for (int c = 0; c < 5; ++c) grid->addWidget(MakeLabel(this, heads[c]), 2, 1 + side * 5 + c, Qt::AlignHCenter);

  for (int slot = 0; slot < res::kTypeSlots; ++slot) {
    const res::BlockSpeedRowIds& ids = res::kBlockSpeedRows[slot];
    const bool used = TypeInUse(store, slot);
    QLabel* name = MakeLabel(this, {}, ids.Name);
    names_.push_back(name);
    grid->addWidget(name, 3 + slot, 0);
    std::vector<QLineEdit*> values;
    std::vector<QCheckBox*> helpers;
    for (int side = 0; side < 2; ++side) {
      const std::array<int, 5>& sideIds = side == 0 ? ids.Left : ids.Right;
      for (int c = 0; c < 5; ++c) {
        QWidget* control;
        if (c == res::kBlockHelperColumn) {
          QCheckBox* box = MakeCheck(this, sideIds[c], "Yes", false);
          helpers.push_back(box);
          control = box;
        } else {
          QLineEdit* field = MakeNumberField(this, sideIds[c], {}, kValueChars);
          values.push_back(field);
          control = field;
        }
        control->setHidden(!used);
        grid->addWidget(control, 3 + slot, 1 + side * 5 + c, Qt::AlignHCenter);
      }
    }
    values_.push_back(values);
    helpers_.push_back(helpers);
  }
  Fill();
  WatchEdits();
}

void TBlockSpeed::Fill() {
  const BlockData data = store_.GetBlockData(block_);
  const TerritoryOptions options = store_.GetTerritoryOptions();
  const bool speedMode = options.RunTimeSource == 1;
  heading_->setText(QString("BLOCK TRAIN ") +
                    (speedMode ? QString("SPEEDS ") + (options.Units == 1 ? "MPH" : "KPH") : QString("RUN TIMES")));
  const bool minutes = !speedMode && options.RunTimeUnit == 1;
  for (int slot = 0; slot < res::kTypeSlots; ++slot) {
    names_[slot]->setText(TypeInUse(store_, slot) ? TypeName(store_, slot) : QString());
    for (int side = 0; side < 2; ++side) {
      // NONE, ONE and TWO: the three speed tables, or the running times in the same order.
      for (int level = 0; level < 3; ++level) {
        const int speed = level == 0   ? data.SpeedOneClear[side][slot]
                          : level == 1 ? data.SpeedTwoClear[side][slot]
                                       : data.SpeedMax[side][slot];
        int value = speedMode ? speed : data.RunTimes[level][side][slot];
        if (minutes && value != -1) value /= 60;
        ShowValue(values_[slot][side * 4 + level], value);
      }
      ShowValue(values_[slot][side * 4 + 3], data.TypeSpeed[side][slot]);
      helpers_[slot][side]->setChecked(data.HelperRequired[side][slot] == 1);
    }
  }
}

bool TBlockSpeed::Apply() {
  TBlockPage::Apply();
  Fill();
  return true;
}

// ---------------------------------------------------------------- block: sheet

TBlockSheet::TBlockSheet(QWidget* parent, Corvane3Data& store, int block)
    : PropertySheet(parent, "Block Properties", 0) {
  AddPage(new TBlockGeneral(store, block));
  AddPage(new TBlockSpeed(store, block));
}

void TBlockSheet::showEvent(QShowEvent* event) {
  PropertySheet::showEvent(event);
  // Centred over the main frame when the frame is larger than the sheet.
  const QWidget* frame = parentWidget() ? parentWidget()->window() : nullptr;
  if (!frame) return;
  const QRect outer = frame->frameGeometry();
  const QRect own = frameGeometry();
  if (outer.width() > own.width() && outer.height() > own.height())
    move(outer.left() + (outer.width() - own.width()) / 2, outer.top() + (outer.height() - own.height()) / 2);
}
