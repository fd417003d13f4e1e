#include "dialogs/train_pages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "dialogs/train_fields.h"
#include "engine/movement_common.h"
#include "platform/controls.h"
#include "resources/train_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr uint16_t kNoMinutes = 0xFFFF;
constexpr int kAreaNameChars = sizeof(TrainLocalWork::AreaName) - 1;

QRadioButton* MakeRadio(QWidget* parent, int id, const char* text) {
  auto* radio = new QRadioButton(text, parent);
  SetControlId(radio, id);
  return radio;
}

// A pair of radio buttons that exclude each other, the first checked.
void PairRadios(QWidget* parent, QRadioButton* first, QRadioButton* second) {
  auto* group = new QButtonGroup(parent);
  group->addButton(first);
  group->addButton(second);
  first->setChecked(true);
}

QHBoxLayout* RadioPair(QRadioButton* first, QRadioButton* second) {
  auto* pair = new QHBoxLayout;
  pair->addWidget(first);
  pair->addWidget(second);
  return pair;
}

// A grid with a heading over each column.
QGridLayout* HeadedGrid(QWidget* page, std::initializer_list<const char*> headings) {
  auto* grid = new QGridLayout;
  int column = 0;
  for (const char* heading : headings) grid->addWidget(new QLabel(heading, page), 0, column++);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(grid);
  layout->addStretch();
  return grid;
}

// The names of the train types in use, in slot order.
QStringList TrainTypeNames(const Corvane3Data& store) {
  QStringList names;
  for (int i = 0; i < kMaxTrainTypes; ++i) {
    const TrainType type = store.GetTrainType(i);
    if (type.InUse != 0) names.push_back(FieldQText(type.Name));
  }
  return names;
}

// "(none)" and the names; selects the stored name when it is listed, else "(none)", or with keepUnlisted
// the stored name added to the list as it is.
void FillChoice(QComboBox* list, const QStringList& names, const QString& name, bool keepUnlisted = false) {
  list->clear();
  list->addItem(kNoneChoice);
  list->addItems(names);
  if (name.isEmpty() || SelectText(list, name)) {
    if (name.isEmpty()) list->setCurrentIndex(0);
  } else if (keepUnlisted) {
    list->addItem(name);
    list->setCurrentIndex(list->count() - 1);
  } else {
    list->setCurrentIndex(0);
  }
}

QString RowField(const char* column, int row) { return QString("%1 (row %2)").arg(column).arg(row + 1); }

}  // namespace

int PassengerPageCount(const Corvane3Data& store) {
  const int platforms = static_cast<int>(PlatformsInUse(store).size());
  return std::clamp((platforms - 1) / kPlatformsPerPage + 1, 1, kMostPassengerPages);
}

// ---- Passenger Schedule

TTrainPassenger::TTrainPassenger(TTrainSheet& sheet, Corvane3Data& store, int slot, int page, int pageCount,
                                 bool viewOnly)
    : TTrainPage(sheet, store, slot, viewOnly,
                 pageCount > 1 ? QString("Passenger Schedule %1").arg(page + 1) : QString("Passenger Schedule"),
                 viewOnly ? res::IDD_TRAIN_PASSENGER_VIEW : res::IDD_TRAIN_PASSENGER,
                 "train data - passenger schedule dialog"),
      page_(page) {
  QGridLayout* grid = HeadedGrid(this, {"Platform Name", "Scheduled Departure", "Dwell Time (in seconds)"});
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    row.Name = new QLabel(this);
    SetControlId(row.Name, res::IDC_PASSENGER_PLATFORMS[i]);
    row.Departure = MakeTimeField(this, res::IDC_PASSENGER_DEPARTURES[i], {});
    row.Dwell = MakeNumberField(this, res::IDC_PASSENGER_DWELLS[i], {}, 4);
    grid->addWidget(row.Name, i + 1, 0);
    grid->addWidget(row.Departure, i + 1, 1);
    grid->addWidget(row.Dwell, i + 1, 2);
  }

  auto* addRow = new QWidget(this);
  auto* add = new QHBoxLayout(addRow);
  addMinutes_ = MakeNumberField(addRow, res::IDC_PASSENGER_ADD_MINUTES, {}, 2);
  QPushButton* addButton = MakeButton(addRow, res::IDC_PASSENGER_ADD, "Add");
  add->addWidget(new QLabel("Add", addRow));
  add->addWidget(addMinutes_);
  add->addWidget(new QLabel("minutes to departure times", addRow));
  add->addWidget(addButton);
  add->addStretch();
  grid->addWidget(addRow, kTrainPageRows + 1, 0, 1, 3);

  ReportChanges();
  // Typing the minutes changes nothing yet: the Add button does.
  disconnect(addMinutes_, nullptr, this, nullptr);
  connect(addButton, &QPushButton::clicked, this, &TTrainPassenger::CmAdd);
  if (viewOnly_) {
    addRow->hide();
    ShowOnly();
  }
}

void TTrainPassenger::Fill() {
  const std::vector<int> platforms = PlatformsInUse(store_);
  const TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    const size_t k = static_cast<size_t>(page_ * kPlatformsPerPage + i);
    row.Platform = k < platforms.size() ? platforms[k] : -1;
    // A row without a platform takes nothing: what it would hold is not stored.
    row.Departure->setEnabled(row.Platform >= 0);
    row.Dwell->setEnabled(row.Platform >= 0);
    if (row.Platform < 0) {
      row.Name->clear();
      row.Departure->clear();
      row.Dwell->clear();
      continue;
    }
    const TrainStationEntry stop = train.Stations[row.Platform];
    row.Name->setText(FieldQText(store_.GetPlatformData(row.Platform).Name));
    ShowStoredText(row.Departure, MinutesText(static_cast<int16_t>(stop.Minutes)));
    ShowStoredText(row.Dwell, NumberText(stop.DwellSeconds));
  }
}

void TTrainPassenger::CmAdd() {
  const int minutes = addMinutes_->text().toInt();
  for (TTrainPassenger* page : sheet_.PassengerPages()) page->AddToDepartures(minutes);
}

void TTrainPassenger::AddToDepartures(int minutes) {
  EnsureFilled();
  for (Row& row : rows_) {
    if (row.Departure->text().isEmpty()) continue;
    // A time that does not read stays as typed: Apply names it.
    int time = store_.GetTimeField(row.Departure->text().toStdString(), "");
    if (time < 0) continue;
    time += minutes;
    if (time >= kMinutesPerDay) time -= kMinutesPerDay;
    row.Departure->setText(MinutesText(time));
  }
  emit Changed();
}

bool TTrainPassenger::Apply() {
  if (viewOnly_ || !filled_) return true;
  std::array<int, kTrainPageRows> departures;
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    departures[static_cast<size_t>(i)] = -1;
    if (row.Platform < 0) {
      row.Departure->clear();
      continue;
    }
    if (row.Departure->text().isEmpty()) continue;
    const int time = store_.GetTimeField(row.Departure->text().toStdString(),
                                         row.Name->text().toStdString() + "'s Scheduled Arrival");
    if (time < 0) return RefuseQuietly(row.Departure);
    departures[static_cast<size_t>(i)] = time;
  }

  TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    if (row.Platform < 0) continue;
    const int time = departures[static_cast<size_t>(i)];
    TrainStationEntry stop = train.Stations[row.Platform];
    // A stop made now takes the dwell as typed (empty: no wait); any other keeps it while the field is as shown.
    const bool madeNow = stop.Minutes == kNoMinutes && time >= 0;
    stop.Minutes = static_cast<uint16_t>(time);
    stop.DwellSeconds = KeptNumber<int32_t>(row.Dwell, madeNow ? 0 : stop.DwellSeconds, 0);
    train.Stations[row.Platform] = stop;
    row.Departure->setText(MinutesText(time));
  }
  StoreTrain(train);
  return true;
}

// ---- Multiple Entries

TTrainMultiple32::TTrainMultiple32(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly)
    : TTrainPage(sheet, store, slot, viewOnly, "Multiple Entries",
                 viewOnly ? res::IDD_TRAIN_MULTIPLE_VIEW : res::IDD_TRAIN_MULTIPLE,
                 "train data - multiple entries dialog") {
  QGridLayout* grid = HeadedGrid(this, {"Entrance", "Exit", "Delay", "New Train ID", "New Entrance Direction",
                                        "New Type", "New Crew Time", "New Length"});
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    row.Entrance = MakeDropList(this, res::IDC_MULTIPLE_ENTRANCES[i]);
    row.Exit = MakeDropList(this, res::IDC_MULTIPLE_EXITS[i]);
    row.Delay = MakeNumberField(this, res::IDC_MULTIPLE_DELAYS[i], {}, 3);
    row.TrainId = MakeTextField(this, res::IDC_MULTIPLE_TRAIN_IDS[i], {}, 10);
    row.Forward = MakeRadio(this, res::IDC_MULTIPLE_FORWARD[i], "Forward");
    row.Reverse = MakeRadio(this, res::IDC_MULTIPLE_REVERSE[i], "Reverse");
    PairRadios(this, row.Forward, row.Reverse);
    row.Type = MakeDropList(this, res::IDC_MULTIPLE_TYPES[i]);
    row.CrewTime = MakeNumberField(this, res::IDC_MULTIPLE_CREW_TIMES[i], {}, 3);
    row.Length = MakeNumberField(this, res::IDC_MULTIPLE_LENGTHS[i], {}, 5);
    int column = 0;
    for (QWidget* control : {static_cast<QWidget*>(row.Entrance), static_cast<QWidget*>(row.Exit),
                             static_cast<QWidget*>(row.Delay), static_cast<QWidget*>(row.TrainId)}) {
      grid->addWidget(control, i + 1, column++);
    }
    grid->addLayout(RadioPair(row.Forward, row.Reverse), i + 1, column++);
    grid->addWidget(row.Type, i + 1, column++);
    grid->addWidget(row.CrewTime, i + 1, column++);
    grid->addWidget(row.Length, i + 1, column++);
  }
  ReportChanges();
  if (viewOnly_) ShowOnly();
}

void TTrainMultiple32::Fill() {
  const QStringList locations = LocationNames(store_);
  const QStringList types = TrainTypeNames(store_);
  const TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    const TrainMultipleEntry entry = train.Multiple[i];
    FillChoice(row.Entrance, locations, FieldQText(entry.NextEntrance));
    FillChoice(row.Exit, locations, FieldQText(entry.LegExit));
    ShowStoredText(row.Delay, UnsignedMinutesText(entry.ReentryMinutes));
    ShowStoredText(row.TrainId, FieldQText(entry.Text8));
    (entry.Byte21 == 0 ? row.Forward : row.Reverse)->setChecked(true);
    // The type's name, or "(none)" last when the entry has no type in use.
    const int type = static_cast<int16_t>(entry.Word19);
    row.Type->clear();
    row.Type->addItems(types);
    row.Type->addItem(kNoneChoice);
    const bool typeInUse = type >= 0 && type < kMaxTrainTypes && store_.GetTrainType(type).InUse != 0;
    SelectText(row.Type, typeInUse ? FieldQText(store_.GetTrainType(type).Name) : QString(kNoneChoice));
    ShowStoredText(row.CrewTime, NumberText(movement::LegCrewMinutes(entry)));
    ShowStoredText(row.Length, NumberText(movement::LegNewLength(entry)));
  }
}

bool TTrainMultiple32::Check() {
  for (const Row& row : rows_) {
    if (Chosen(row.Exit) && !Chosen(row.Entrance)) {
      return Refuse("A train cannot have an exit location without a corresponding new entrance.", row.Entrance);
    }
    if (!Chosen(row.Exit) && Chosen(row.Entrance)) {
      return Refuse("A train cannot have a new entrance location without a corresponding exit location.", row.Exit);
    }
  }
  for (int i = 0; i < kTrainPageRows; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    if (!Chosen(row.Exit)) continue;
    // The entry's location fields hold two characters: a longer name is refused, not cut.
    for (QComboBox* list : {row.Entrance, row.Exit}) {
      if (list->currentText().size() > kTrainLocationChars) {
        return Refuse(LocationTooLong(list->currentText(), RowField(list == row.Exit ? "Exit" : "Entrance", i)), list);
      }
    }
    if (!NewLengthAccepted(row.Length, RowField("New Length", i))) return false;
  }
  return true;
}

bool TTrainMultiple32::Apply() {
  if (viewOnly_ || !filled_) return true;
  if (!Check()) return false;

  TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    TrainMultipleEntry entry = train.Multiple[i];
    const bool wasEntry = entry.LegExit[0] != '\0';
    if (!Chosen(row.Exit)) {
      // No exit, no entry; its crew time and length stay as they were.
      SetFieldText(entry.LegExit, "");
      SetFieldText(entry.NextEntrance, "");
      SetFieldText(entry.Text8, "");
      entry.Byte21 = 0;
      entry.Word19 = kNoMinutes;
      entry.ReentryMinutes = kNoMinutes;
      row.Entrance->setCurrentIndex(0);
      row.Delay->clear();
      row.TrainId->clear();
      row.Forward->setChecked(true);
      SelectText(row.Type, kNoneChoice);
      ShowStoredText(row.CrewTime, NumberText(movement::LegCrewMinutes(entry)));
      ShowStoredText(row.Length, NumberText(movement::LegNewLength(entry)));
    } else {
      SetFieldText(entry.LegExit, FieldBytes(row.Exit->currentText()));
      SetFieldText(entry.NextEntrance, FieldBytes(row.Entrance->currentText()));
      if (TextEdited(row.TrainId)) SetFieldText(entry.Text8, FieldBytes(row.TrainId->text()));
      entry.Byte21 = row.Forward->isChecked() ? 0 : 1;
      const int type =
          row.Type->currentText() == kNoneChoice ? -1 : store_.FindTrainType(FieldBytes(row.Type->currentText()));
      entry.Word19 = static_cast<uint16_t>(type);
      // Fields left as shown keep the stored values; an empty delay of a new entry, or one emptied, is none
      // to wait.
      entry.ReentryMinutes = KeptNumber<uint16_t>(row.Delay, wasEntry ? entry.ReentryMinutes : 0, 0);
      SetLegCrewMinutes(entry, KeptNumber<int16_t>(row.CrewTime, movement::LegCrewMinutes(entry), -1));
      SetLegNewLength(entry, KeptNumber<int16_t>(row.Length, movement::LegNewLength(entry), -1));
    }
    train.Multiple[i] = entry;
  }
  StoreTrain(train);
  return true;
}

// ---- Local Work Schedule

TTrainWork::TTrainWork(TTrainSheet& sheet, Corvane3Data& store, int slot, bool viewOnly)
    : TTrainPage(sheet, store, slot, viewOnly, "Local Work Schedule",
                 viewOnly ? res::IDD_TRAIN_WORK_VIEW : res::IDD_TRAIN_WORK, "train data - work schedule dialog") {
  QGridLayout* grid = HeadedGrid(this, {"Work Area", "Time in Area", "Direction Leaving Area", "New Length"});
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    row.Area = MakeDropList(this, res::IDC_WORK_AREAS[i]);
    row.Time = MakeNumberField(this, res::IDC_WORK_TIMES[i], {}, 3);
    row.Left = MakeRadio(this, res::IDC_WORK_LEFT[i], "Left");
    row.Right = MakeRadio(this, res::IDC_WORK_RIGHT[i], "Right");
    PairRadios(this, row.Left, row.Right);
    row.Length = MakeNumberField(this, res::IDC_WORK_LENGTHS[i], {}, 5);
    grid->addWidget(row.Area, i + 1, 0);
    grid->addWidget(row.Time, i + 1, 1);
    grid->addLayout(RadioPair(row.Left, row.Right), i + 1, 2);
    grid->addWidget(row.Length, i + 1, 3);
  }
  ReportChanges();
  if (viewOnly_) ShowOnly();
}

void TTrainWork::Fill() {
  QStringList areas;
  for (int i = 0; i < kMaxAreas; ++i) {
    const AreaData area = store_.GetAreaData(i);
    if (AreaInUse(area)) areas.push_back(QString::fromLatin1(AreaName(area)));
  }
  const TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    const TrainLocalWork work = train.LocalWork[i];
    // The engine finds a work area by the name its blocks carry, with or without an area record: a name
    // the list lacks is kept as stored, so that OK on an untouched page clears no work.
    FillChoice(row.Area, areas, FieldQText(work.AreaName), true);
    ShowStoredText(row.Time, UnsignedMinutesText(work.Minutes));
    (work.DirectionAfter == 0 ? row.Left : row.Right)->setChecked(true);
    ShowStoredText(row.Length, NumberText(work.NewLength));
  }
}

bool TTrainWork::Check() {
  for (int i = 0; i < kTrainPageRows; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    // A work area's name may be longer than the train's field for it: refused, not cut to a name no area has.
    if (Chosen(row.Area) && row.Area->currentText().size() > kAreaNameChars) {
      return Refuse(QString("The work area name \"%1\" chosen in field \"%2\" has more than %3 characters.  A "
                            "train's local work can only name work areas whose names have %3 characters or fewer.")
                        .arg(row.Area->currentText(), RowField("Work Area", i))
                        .arg(kAreaNameChars),
                    row.Area);
    }
    if (!NewLengthAccepted(row.Length, RowField("New Length", i))) return false;
  }
  return true;
}

bool TTrainWork::Apply() {
  if (viewOnly_ || !filled_) return true;
  if (!Check()) return false;

  TrainData train = store_.GetTrainData(slot_);
  for (int i = 0; i < kTrainPageRows; ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    TrainLocalWork work = train.LocalWork[i];
    const bool wasWork = work.AreaName[0] != '\0';
    if (!Chosen(row.Area)) {
      SetFieldText(work.AreaName, "");
      work.DirectionAfter = 0;
      work.Minutes = kNoMinutes;
      row.Left->setChecked(true);
      row.Time->clear();
    } else {
      SetFieldText(work.AreaName, FieldBytes(row.Area->currentText()));
      work.DirectionAfter = row.Left->isChecked() ? 0 : 1;
      // A new stop's empty time, or one emptied, is no time spent there.
      work.Minutes = KeptNumber<uint16_t>(row.Time, wasWork ? work.Minutes : 0, 0);
    }
    work.NewLength = KeptNumber<int16_t>(row.Length, work.NewLength, -1);
    train.LocalWork[i] = work;
  }
  StoreTrain(train);
  return true;
}
