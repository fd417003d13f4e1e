#include "lists/slow_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dialogs/dialog_kit.h"
#include "lists/printouts.h"
#include "lists/track_time_lists.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "store/fixed_text.h"

namespace {

constexpr int kNameChars = 20;
constexpr int kSpeedDigits = 3;

SlowSpeeds SpeedsAt(const SlowData& order, size_t offset) {
  SlowSpeeds speeds;
  std::memcpy(speeds.data(), reinterpret_cast<const char*>(&order) + offset, sizeof speeds);
  return speeds;
}

void SetSpeedsAt(SlowData& order, size_t offset, const SlowSpeeds& speeds) {
  std::memcpy(reinterpret_cast<char*>(&order) + offset, speeds.data(), sizeof speeds);
}

QString SpeedText(int16_t speed) { return speed == -1 ? QString() : QString::number(speed); }

DefinitionListTexts SlowTexts() {
  DefinitionListTexts t;
  t.Capacity = kMaxSlowData;
  t.TableFull = "The maximum of %d slow orders have been assigned.  You will have delete a slow order to add another.";
  t.EditNone = t.DeleteNone =
      "A slow order has not be selected.  Select a slow order by placing the mouse pointer on the name and then click "
      "the mouse left or right button.";
  t.EditMany = t.DeleteMany = t.PopupMany =
      "More than one slow order has been selected.  Please select only one slow order.";
  t.PopupNone =
      "A slow order has not be selected.  Select a slow order placing the mouse pointer on the slow order and then "
      "click the left mouse button.";
  return t;
}

std::vector<list::Column> FixedColumns() {
  return {{"Number", Qt::AlignRight},      {"Track/Block/Switch Name", Qt::AlignLeft},
          {"Permanent", Qt::AlignHCenter}, {"From Time", Qt::AlignHCenter},
          {"To Time", Qt::AlignHCenter},   {"Days of the Week", Qt::AlignLeft}};
}

}  // namespace

SlowSpeeds LeftSpeeds(const SlowData& order) { return SpeedsAt(order, offsetof(SlowData, SpeedsFirst)); }
SlowSpeeds RightSpeeds(const SlowData& order) { return SpeedsAt(order, offsetof(SlowData, SpeedsSecond)); }

std::vector<int> TrainTypesInUse(const Corvane3Data& store) {
  std::vector<int> types;
  for (int type = 0; type < kMaxTrainTypes; ++type) {
    if (store.GetTrainType(type).InUse != 0) types.push_back(type);
  }
  return types;
}

std::vector<list::Column> SlowOrderColumns(const Corvane3Data& store, std::vector<list::Column> columns,
                                           const std::vector<int>& types) {
  for (const int type : types) {
    const QString name = QString::fromStdString(FieldText(store.GetTrainType(type).Name));
    columns.push_back({name + "(Left)", Qt::AlignRight});
    columns.push_back({name + "(Right)", Qt::AlignRight});
  }
  return columns;
}

std::vector<QString> SlowSpeedTexts(const SlowData& order, const std::vector<int>& types) {
  const SlowSpeeds left = LeftSpeeds(order);
  const SlowSpeeds right = RightSpeeds(order);
  std::vector<QString> texts;
  for (const int type : types) {
    texts.push_back(SpeedText(left[static_cast<size_t>(type)]));
    texts.push_back(SpeedText(right[static_cast<size_t>(type)]));
  }
  return texts;
}

TTSlow::TTSlow(Corvane3Data& store, QWidget* parent)
    : TDefinitionList(store,
                      list::FrameSpec{"TTSlow", "Slow Orders", 5, 9, FixedColumns(), "slow order window",
                                      /*KeepsSelection=*/true},
                      SlowTexts(), parent) {}

int TTSlow::FindFree() { return store_.FindFreeSlowData(0); }

void TTSlow::Free(int slot) { store_.FreeSlowData(slot); }

std::unique_ptr<TPrintout> TTSlow::MakePrintout(const std::vector<int32_t>& records) {
  return std::make_unique<TTPrintSlow>(store_, OrderListOf(records, kMaxSlowData));
}

bool TTSlow::RunDialog(int slot, QWidget* owner) {
  TSlowInfo dialog(owner, store_, slot);
  return RunWithFrameHidden(this, dialog);
}

std::vector<list::Row> TTSlow::Fill() {
  // The train types may have changed since the last rebuild: the columns are made anew each time.
  const std::vector<int> types = TrainTypesInUse(store_);
  SetColumns(SlowOrderColumns(store_, FixedColumns(), types));

  std::vector<SortEntry> entries;
  for (int slot = 0; slot < kMaxSlowData; ++slot) {
    const SlowData order = store_.GetSlowData(slot);
    if (order.InUse != 0) entries.push_back({slot, FieldText(order.Location), order.StartMinutes});
  }
  SortEntries(entries, Sort() == kByTrack);

  std::vector<list::Row> rows;
  for (const SortEntry& entry : entries) {
    const SlowData order = store_.GetSlowData(entry.Slot);
    const bool permanent = order.Permanent == 1;
    list::Row row{
        entry.Slot,
        {QString::number(entry.Slot), QString::fromStdString(entry.Name), permanent ? "Yes" : "No",
         permanent ? QString() : MinuteText(order.StartMinutes), permanent ? QString() : MinuteText(order.EndMinutes),
         permanent ? QString("SuMoTuWeThFrSa") : DaysText(DaysOf(order))}};
    for (QString& speed : SlowSpeedTexts(order, types)) row.Texts.push_back(std::move(speed));
    rows.push_back(std::move(row));
  }
  return rows;
}

TSlowInfo::TSlowInfo(QWidget* parent, Corvane3Data& store, int slot) : QDialog(parent), store_(store), slot_(slot) {
  setWindowTitle("Slow Order Data");
  setModal(true);

  name_ = new QComboBox(this);
  SetControlId(name_, res::IDC_SLOW_NAME);
  name_->setEditable(false);
  permanent_ = new QCheckBox("Permanent", this);
  SetControlId(permanent_, res::IDC_SLOW_PERMANENT);
  from_ = MakeTimeField(this, res::IDC_DEF_FROM_TIME, "");
  to_ = MakeTimeField(this, res::IDC_DEF_TO_TIME, "");

  auto* form = new QFormLayout;
  form->addRow("Number", MakeReadOnlyField(this, res::IDC_DEF_NUMBER, slot >= 0 ? QString::number(slot) : "", 5));
  form->addRow("Track/block/switch name", name_);
  form->addRow(permanent_);
  form->addRow("From time", from_);
  form->addRow("To time", to_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);

  auto* heading = new QLabel(this);
  SetControlId(heading, res::IDC_SLOW_HEADING);
  layout->addWidget(heading);
  // Types 0-4 on the left, 5-9 on the right: a label, a LEFT and a RIGHT field each.
  auto* grid = new QGridLayout;
  for (int group = 0; group < 2; ++group) {
    const char* titles[3] = {"TRAIN TYPE", "LEFT", "RIGHT"};
    for (int i = 0; i < 3; ++i) {
      auto* title = new QLabel(titles[i], this);
      SetControlId(title, res::IDC_SLOW_GROUP_HEADINGS[group][i]);
      grid->addWidget(title, 0, group * 3 + i);
    }
  }
  for (int type = 0; type < kMaxTrainTypes; ++type) {
    const int row = 1 + type % 5;
    const int column = (type / 5) * 3;
    auto* label = new QLabel(this);
    SetControlId(label, res::IDC_SLOW_TYPE_LABELS[type]);
    left_[type] = MakeNumberField(this, res::IDC_SLOW_LEFT_SPEEDS[type], "", kSpeedDigits);
    right_[type] = MakeNumberField(this, res::IDC_SLOW_RIGHT_SPEEDS[type], "", kSpeedDigits);
    left_[type]->setAlignment(Qt::AlignRight);
    right_[type]->setAlignment(Qt::AlignRight);
    grid->addWidget(label, row, column);
    grid->addWidget(left_[type], row, column + 1);
    grid->addWidget(right_[type], row, column + 2);
  }
  layout->addLayout(grid);
  days_ = MakeDayBoxes(this, layout);

  AddOkCancelHelp(this, layout, store_, "slow order dialog");
  SetupWindow();
}

void TSlowInfo::SetupWindow() {
  SlowData order{};
  if (slot_ >= 0) {
    order = store_.GetSlowData(slot_);
  } else {
    order.StartMinutes = order.EndMinutes = -1;
    SlowSpeeds none;
    none.fill(-1);
    SetSpeedsAt(order, offsetof(SlowData, SpeedsFirst), none);
    SetSpeedsAt(order, offsetof(SlowData, SpeedsSecond), none);
    SetDays(order, DayFlags{1, 1, 1, 1, 1, 1, 1});
  }

  QStringList entries;
  for (int block = 0; block < kMaxBlocks; ++block) {
    const BlockData data = store_.GetBlockData(block);
    if (data.InUse != 0 && data.PassThrough != 1) entries << QString::asprintf("Block %04d", block);
  }
  for (int item = 0; item < kMaxSwitches; ++item) {
    if (store_.GetSwitchData(item).InUse != 0) entries << QString::asprintf("Switch %04d", item);
  }
  for (const QString& track : TerritoryTrackNames(store_)) {
    const QString entry = "Track " + track;
    // A name that the order's field cannot hold whole would never match its track again.
    if (entry.size() <= kNameChars) entries << entry;
  }
  if (!FillNameList(name_, entries, FieldText(order.Location)) && slot_ >= 0) {
    // The block, switch or track has gone from the territory: the order forgets it at once.
    SetFieldText(order.Location, "");
    store_.UpdateSlowData(slot_, order);
  }

  permanent_->setChecked(order.Permanent == 1);
  ShowStoredText(from_, MinuteText(order.StartMinutes));
  ShowStoredText(to_, MinuteText(order.EndMinutes));
  const bool miles = store_.GetTerritoryOptions().Units == 1;
  FindControl<QLabel>(this, res::IDC_SLOW_HEADING)->setText(QString("SLOW ORDER SPEEDS ") + (miles ? "MPH" : "KPH"));

  const SlowSpeeds left = LeftSpeeds(order);
  const SlowSpeeds right = RightSpeeds(order);
  for (int type = 0; type < kMaxTrainTypes; ++type) {
    const TrainType train = store_.GetTrainType(type);
    const bool used = train.InUse != 0;
    FindControl<QLabel>(this, res::IDC_SLOW_TYPE_LABELS[type])
        ->setText(used ? QString::fromStdString(FieldText(train.Name)) : QString());
    ShowStoredText(left_[type], used ? SpeedText(left[type]) : QString());
    ShowStoredText(right_[type], used ? SpeedText(right[type]) : QString());
  }
  const DayFlags days = DaysOf(order);
  for (size_t day = 0; day < days.size(); ++day) days_[day]->setChecked(days[day] == 1);
}

void TSlowInfo::accept() {
  if (slot_ < 0 && store_.FindFreeSlowData(0) < 0) {
    store_.ShowMessage(QString::asprintf("The maximum number of slow orders (%d) has been reached.  You cannot create "
                                         "another slow order until you delete one.",
                                         kMaxSlowData)
                           .toStdString(),
                       MessageIcon::Error);
    return;
  }
  // A new order starts clean: nothing of a deleted one that held the slot carries over.
  SlowData order = slot_ >= 0 ? store_.GetSlowData(slot_) : SlowData{};

  if (name_->currentIndex() < 0) {
    store_.ShowMessage("You must assign a track/block/switch to the slow order.", MessageIcon::Error);
    name_->setFocus();
    return;
  }
  SetFieldText(order.Location, name_->currentText().toStdString());

  if (permanent_->isChecked()) {
    order.Permanent = 1;
    order.StartMinutes = order.EndMinutes = -1;
  } else {
    order.Permanent = 0;
    if (!FieldChecks()
             .Add(from_, TimeFieldCheck(store_, "From Time"))
             .Add(to_, TimeFieldCheck(store_, "To Time"))
             .Run()) {
      return;
    }
    order.StartMinutes = static_cast<int16_t>(store_.GetTimeField(from_->text().toStdString(), ""));
    order.EndMinutes = static_cast<int16_t>(store_.GetTimeField(to_->text().toStdString(), ""));
  }

  // Speeds of types not in use, and fields left as shown, keep what the order holds.
  SlowSpeeds left = LeftSpeeds(order);
  SlowSpeeds right = RightSpeeds(order);
  if (slot_ < 0) {
    left.fill(-1);
    right.fill(-1);
  }
  FieldChecks speeds;
  for (int type = 0; type < kMaxTrainTypes; ++type) {
    if (store_.GetTrainType(type).InUse == 0) continue;
    for (const auto& pair : {std::pair{left_[type], &left[type]}, std::pair{right_[type], &right[type]}}) {
      int16_t* speed = pair.second;
      const QLineEdit* field = pair.first;
      speeds.Add(pair.first, [this, speed, field](const QString& text) {
        if (!TextEdited(field)) return true;
        if (text.isEmpty()) {
          *speed = -1;
          return true;
        }
        const int value = std::atoi(text.toStdString().c_str());
        if (value < 1) {
          store_.ShowMessage("You must assign a speed greater than 0.", MessageIcon::Error);
          return false;
        }
        *speed = static_cast<int16_t>(value);
        return true;
      });
    }
  }
  if (!speeds.Run()) return;
  SetSpeedsAt(order, offsetof(SlowData, SpeedsFirst), left);
  SetSpeedsAt(order, offsetof(SlowData, SpeedsSecond), right);

  order.InUse = 1;
  const DayFlags days = CheckedDays(days_);
  if (std::none_of(days.begin(), days.end(), [](uint8_t day) { return day != 0; })) {
    store_.ShowMessage("You must schedule the slow order for one day during the week.", MessageIcon::Error);
    days_[0]->setFocus();
    return;
  }
  SetDays(order, days);

  if (slot_ < 0) slot_ = store_.FindFreeSlowData(1);
  store_.BackupEditTables();
  store_.UpdateSlowData(slot_, order);
  QDialog::accept();
}
