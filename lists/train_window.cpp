#include "lists/train_window.h"

#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cstring>

#include "dialogs/train_fields.h"
#include "dialogs/train_sheet.h"
#include "engine/movement_common.h"
#include "lists/list_text.h"
#include "lists/train_report.h"
#include "resources/train_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

const char* const kNotSelected =
    "A train has not be selected.  Select a train by placing the mouse pointer on the Train ID and then click the "
    "mouse left or right button.";
const char* const kMoreThanOne = "More than one train has been selected.  Please select only one train.";
const char* const kDayLetters[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

const QString kCaptions[4] = {"Train Data - General", "Train Data - Multiple Entries", "Train Data - Work Schedule",
                              "Train Data - Passenger Schedule"};

std::vector<list::Column> GeneralColumns() {
  return {{"Train Id", Qt::AlignLeft},         {"Description", Qt::AlignLeft},  {"Type", Qt::AlignLeft},
          {"Direction", Qt::AlignHCenter},     {"Length", Qt::AlignRight},      {"Entrance", Qt::AlignHCenter},
          {"Entrance time", Qt::AlignHCenter}, {"Days of Week", Qt::AlignLeft}, {"Created from", Qt::AlignLeft},
          {"Exit", Qt::AlignHCenter},          {"Becomes", Qt::AlignLeft},      {"At location", Qt::AlignLeft},
          {"After(minutes)", Qt::AlignRight},  {"Splits into", Qt::AlignLeft},  {"Scheduled", Qt::AlignHCenter},
          {"Crew Time", Qt::AlignHCenter}};
}

std::vector<list::Column> MultipleColumns() {
  return {{"Train Id", Qt::AlignLeft},         {"Description", Qt::AlignLeft},      {"Type", Qt::AlignLeft},
          {"Direction", Qt::AlignHCenter},     {"Entrance", Qt::AlignHCenter},      {"Exit", Qt::AlignHCenter},
          {"Delay", Qt::AlignRight},           {"New Train ID", Qt::AlignLeft},     {"New Type", Qt::AlignLeft},
          {"New Direction", Qt::AlignHCenter}, {"New Crew Time", Qt::AlignHCenter}, {"New Length", Qt::AlignHCenter}};
}

std::vector<list::Column> WorkColumns() {
  return {{"Train Id", Qt::AlignLeft},         {"Description", Qt::AlignLeft},  {"Type", Qt::AlignLeft},
          {"Direction", Qt::AlignHCenter},     {"Work Area", Qt::AlignLeft},    {"Time in Area", Qt::AlignHCenter},
          {"New Direction", Qt::AlignHCenter}, {"New Length", Qt::AlignHCenter}};
}

QString NumberOrEmpty(int value) { return value == -1 ? QString() : QString::number(value); }
QString LeftRight(int flag) { return flag == 0 ? "Left" : "Right"; }

QString TypeName(const Corvane3Data& store, int type) {
  return type >= 0 && type < kMaxTrainTypes ? FieldQText(store.GetTrainType(type).Name) : QString();
}

// The train a link names, "%s-%d", when that slot holds a train; else empty.
QString LinkText(const Corvane3Data& store, int slot) {
  return TrainInUse(store, slot) ? TrainReference(store.GetTrainData(slot), slot) : QString();
}

// The becomes location when the platform or work area it names is there; else empty.
QString PlaceText(const Corvane3Data& store, const TrainData& train) {
  const std::string place = BecomesPlace(train);
  if (place.empty()) return {};
  const std::string name = place.substr(2);
  for (int i = 0; i < kMaxPlatforms; ++i) {
    const PlatformData platform = store.GetPlatformData(i);
    if (place[0] == 'P' && platform.InUse != 0 && FieldText(platform.Name) == name) return QString::fromLatin1(place);
  }
  for (int i = 0; i < kMaxAreas; ++i) {
    const AreaData area = store.GetAreaData(i);
    if (place[0] == 'A' && AreaInUse(area) && AreaName(area) == name) return QString::fromLatin1(place);
  }
  return {};
}

// The four cells every view starts with.
list::Row TrainRow(const Corvane3Data& store, const TrainData& train, int slot) {
  list::Row row;
  row.Record = slot;
  row.Texts = {TrainReference(train, slot), FieldQText(train.Description),
               TypeName(store, static_cast<int8_t>(train.Type)), LeftRight(train.EntryDirection)};
  return row;
}

bool EntryInUse(const TrainMultipleEntry& leg) { return !FieldText(leg.LegExit).empty(); }
bool EntryInUse(const TrainLocalWork& work) { return !FieldText(work.AreaName).empty(); }

// A train's rows in a view of its entries: the first entry in use on the train's own row, each further one on
// a row that carries only the train's ID; a train without entries keeps its one row. Every row names the train.
template <class Entry, size_t N, class Cells>
void AddEntryRows(std::vector<list::Row>& rows, list::Row row, const TrainData& train, int slot,
                  Entry (TrainData::*entries)[N], Cells cells) {
  bool first = true;
  for (size_t i = 0; i < N; ++i) {
    const Entry entry = (train.*entries)[i];  // a copy: the record is packed
    if (!EntryInUse(entry)) continue;
    list::Row line = row;
    if (!first) line.Texts = {TrainReference(train, slot), {}, {}, {}};
    first = false;
    const std::vector<QString> texts = cells(entry);
    line.Texts.insert(line.Texts.end(), texts.begin(), texts.end());
    rows.push_back(std::move(line));
  }
  if (first) rows.push_back(std::move(row));
}

}  // namespace

TTTrainWindow::TTTrainWindow(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTTrainWindow", "Train Data", 0, General, GeneralColumns(), "train data window",
                                 /*KeepsSelection=*/true, "BuildData", /*FreshRows=*/15},
                 parent) {
  setWindowTitle(kCaptions[General]);
  auto button = [this](int id, const QString& text, int row, void (TTTrainWindow::*command)()) {
    QPushButton* made = AddButton(id, text, row, 120);
    if (command) connect(made, &QPushButton::clicked, this, command);
    return made;
  };
  connect(button(res::CM_TRAIN_VIEW_GENERAL, "General", 0, nullptr), &QPushButton::clicked, this,
          [this] { SetView(General); });
  connect(button(res::CM_TRAIN_VIEW_PASSENGER, "Passenger Sch", 0, nullptr), &QPushButton::clicked, this,
          [this] { SetView(PassengerSchedule); });
  connect(button(res::CM_TRAIN_VIEW_WORK, "Work Schedule", 0, nullptr), &QPushButton::clicked, this,
          [this] { SetView(WorkSchedule); });
  connect(button(res::CM_TRAIN_VIEW_MULTIPLE, "Multiple Entries", 0, nullptr), &QPushButton::clicked, this,
          [this] { SetView(MultipleEntries); });
  connect(button(res::CM_TRAIN_SAVE_WIDTHS, "Save Widths", 0, nullptr), &QPushButton::clicked, this,
          &TListFrame::CmSaveColumnWidths);
  connect(AddButton(res::CM_TRAIN_PRINT, "Print", 0, 80), &QPushButton::clicked, this, &TTTrainWindow::CmPrint);
  connect(AddButton(res::CM_TRAIN_HELP, "Help", 0, 80), &QPushButton::clicked, this, &TListFrame::CmHelp);
  button(res::CM_TRAIN_ADD, "Add", 1, &TTTrainWindow::CmAdd);
  button(res::CM_TRAIN_EDIT, "Edit", 1, &TTTrainWindow::CmEdit);
  button(res::CM_TRAIN_DELETE, "Delete", 1, &TTTrainWindow::CmDelete);
  connect(button(res::CM_TRAIN_SORT_ID, "Sort by ID", 1, nullptr), &QPushButton::clicked, this,
          [this] { SetSortMode(ById); });
  connect(button(res::CM_TRAIN_SORT_TIME, "Sort by Time", 1, nullptr), &QPushButton::clicked, this,
          [this] { SetSortMode(ByTime); });
  button(res::CM_TRAIN_PRINTER_SETUP, "Printer Setup", 1, &TTTrainWindow::CmPrinterSetup);

  connect(List(), &QTableView::doubleClicked, this, [this] { CmEdit(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TTTrainWindow::ShowPopup);
}

void TTTrainWindow::SetView(View view) {
  view_ = view;
  std::vector<list::Column> columns;
  switch (view) {
    case General:
      columns = GeneralColumns();
      break;
    case MultipleEntries:
      columns = MultipleColumns();
      break;
    case WorkSchedule:
      columns = WorkColumns();
      break;
    case PassengerSchedule:
      columns = {{"Train Id", Qt::AlignLeft}, {"Description", Qt::AlignLeft}};
      for (const int platform : PlatformsInUse(store_)) {
        columns.push_back({FieldQText(store_.GetPlatformData(platform).Name), Qt::AlignLeft, "00:00 - 9999"});
      }
      break;
  }
  ChangeColumns(std::move(columns), view);
  setWindowTitle(kCaptions[view]);
}

void TTTrainWindow::SetSortMode(SortMode mode) {
  sort_ = mode;
  BuildData();
}

std::vector<int> TTTrainWindow::SortedTrains() const {
  std::vector<int> found;
  std::vector<TrainData> trains(kMaxTrains);
  for (int i = 0; i < kMaxTrains; ++i) {
    trains[static_cast<size_t>(i)] = store_.GetTrainData(i);
    if (trains[static_cast<size_t>(i)].InUse != 0) found.push_back(i);
  }
  auto train = [&trains](int slot) -> const TrainData& { return trains[static_cast<size_t>(slot)]; };
  // Stable sorts: trains with equal keys keep their slot order, and equal times their ID order.
  std::stable_sort(found.begin(), found.end(), [&](int a, int b) {
    return CompareNames(FieldQText(train(a).TrainId), FieldQText(train(b).TrainId)) < 0;
  });
  if (sort_ == ByTime) {
    // Trains running right first, each direction in entrance-time order; no entrance time sorts first.
    auto key = [&](int slot) {
      const TrainData& t = train(slot);
      return (t.EntryDirection == 0 ? 10000 : 0) + static_cast<int16_t>(t.EntranceMinutes);
    };
    std::stable_sort(found.begin(), found.end(), [&](int a, int b) { return key(a) < key(b); });
  }
  return found;
}

std::vector<list::Row> TTTrainWindow::Fill() {
  std::vector<list::Row> rows;
  const std::vector<int> platforms = view_ == PassengerSchedule ? PlatformsInUse(store_) : std::vector<int>();
  for (const int slot : SortedTrains()) {
    const TrainData train = store_.GetTrainData(slot);
    list::Row row = TrainRow(store_, train, slot);
    switch (view_) {
      case General: {
        QString days;
        for (int day = 0; day < 7; ++day) {
          if (train.Days[day] == 1) days += kDayLetters[day];
        }
        row.Texts.insert(row.Texts.end(), {QString::number(train.Length), FieldQText(train.Entrance),
                                           MinutesText(static_cast<int16_t>(train.EntranceMinutes)), days,
                                           LinkText(store_, train.LinkedTrain), FieldQText(train.Exit),
                                           LinkText(store_, train.BecomesTrain), PlaceText(store_, train),
                                           NumberOrEmpty(train.BecomeMinutes), LinkText(store_, train.SplitTrain),
                                           YesNo(train.Byte50 == 1), MinutesText(train.CrewMinutesWorked)});
        rows.push_back(std::move(row));
        break;
      }
      case PassengerSchedule: {
        row.Texts.resize(2);
        for (const int platform : platforms) {
          const TrainStationEntry stop = train.Stations[platform];
          const int minutes = static_cast<int16_t>(stop.Minutes);
          row.Texts.push_back(minutes < 0 ? QString()
                                          : QString("%1 - %2").arg(MinutesText(minutes)).arg(stop.DwellSeconds));
        }
        rows.push_back(std::move(row));
        break;
      }
      case MultipleEntries:
        AddEntryRows(rows, std::move(row), train, slot, &TrainData::Multiple, [this](const TrainMultipleEntry& leg) {
          return std::vector<QString>{FieldQText(leg.NextEntrance),
                                      FieldQText(leg.LegExit),
                                      QString::number(static_cast<int16_t>(leg.ReentryMinutes)),
                                      FieldQText(leg.Text8),
                                      TypeName(store_, static_cast<int16_t>(leg.Word19)),
                                      leg.Byte21 == 0 ? "Forward" : "Reverse",
                                      NumberOrEmpty(movement::LegCrewMinutes(leg)),
                                      NumberOrEmpty(movement::LegNewLength(leg))};
        });
        break;
      case WorkSchedule:
        AddEntryRows(rows, std::move(row), train, slot, &TrainData::LocalWork, [](const TrainLocalWork& work) {
          return std::vector<QString>{FieldQText(work.AreaName), QString::number(static_cast<int16_t>(work.Minutes)),
                                      LeftRight(work.DirectionAfter), NumberOrEmpty(work.NewLength)};
        });
        break;
    }
  }
  return rows;
}

int TTTrainWindow::SelectedTrain() { return SelectedRecord(kNotSelected, kMoreThanOne); }

int TTTrainWindow::ClaimSlot() {
  const int slot = store_.FindFreeTrainData();
  if (slot < 0) {
    store_.ShowMessage(QString("The maximum number of trains allowed is %1.  You have reached this limit.  You "
                               "cannot add another until you delete an existing train.")
                           .arg(kMaxTrains)
                           .toStdString(),
                       MessageIcon::Error);
  }
  return slot;
}

void TTTrainWindow::CmAdd() {
  const int slot = ClaimSlot();
  if (slot < 0) return;
  TrainData train = store_.GetTrainData(slot);
  SetFieldText(train.TrainId, "");
  train.Type = 0;
  store_.UpdateTrainData(slot, train);
  EditTrain(slot, "Add New Train", true);
}

void TTTrainWindow::CmCopy() {
  const int from = SelectedTrain();
  if (from < 0) return;
  const int slot = ClaimSlot();
  if (slot < 0) return;
  const TrainData old = store_.GetTrainData(from);
  TrainData copy = old;
  SetFieldText(copy.TrainId, "Train " + std::to_string(slot));
  // The copy stays in the schedule even when its sheet is cancelled: it is a change of the track data.
  store_.BackupEditTables();
  store_.UpdateTrainData(slot, copy);
  EditTrain(slot,
            QString("Copy old train \"%1  %2\" data to new train \"%3\"")
                .arg(TrainReference(old, from), FieldQText(old.Description), TrainReference(copy, slot)),
            false);
}

void TTTrainWindow::CmEdit() {
  const int slot = SelectedTrain();
  if (slot < 0) return;
  const TrainData train = store_.GetTrainData(slot);
  EditTrain(slot, QString("Edit Train \"%1  %2\"").arg(TrainReference(train, slot), FieldQText(train.Description)),
            false);
}

void TTTrainWindow::CmDelete() {
  const int slot = SelectedTrain();
  if (slot < 0) return;
  const TrainData train = store_.GetTrainData(slot);
  const QString question = QString("Are you sure you want to delete train \"%1  %2\".")
                               .arg(TrainReference(train, slot), FieldQText(train.Description));
  if (store_.ShowMessage(question.toStdString(), MessageIcon::Question, MessageButtons::YesNo) == MessageResult::No) {
    return;
  }
  store_.BackupEditTables();
  store_.FreeTrainData(slot);
  BuildData();
}

void TTTrainWindow::EditTrain(int slot, const QString& caption, bool releaseOnCancel) {
  hide();
  bool accepted = false;
  {
    TTrainSheet sheet(parentWidget(), store_, caption, slot, view_, /*viewOnly=*/false);
    accepted = sheet.exec() == QDialog::Accepted;
  }
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  show();
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  if (!accepted && releaseOnCancel) store_.FreeTrainData(slot);
  // Rebuilt every time: a copy cancelled in its sheet is still a new train.
  BuildData();
  List()->setFocus();
}

void TTTrainWindow::ShowPopup(const QPoint& at) {
  if (SelectedTrain() < 0) return;
  delete popup_.data();
  popup_ = new QMenu(this);
  popup_->setAttribute(Qt::WA_DeleteOnClose);
  const struct {
    int Id;
    const char* Text;
    void (TTTrainWindow::*Command)();
  } items[] = {{res::CM_TRAIN_ADD, "New", &TTTrainWindow::CmAdd},
               {res::CM_TRAIN_COPY, "Copy to New", &TTTrainWindow::CmCopy},
               {res::CM_TRAIN_EDIT, "Edit", &TTTrainWindow::CmEdit},
               {res::CM_TRAIN_DELETE, "Delete", &TTTrainWindow::CmDelete}};
  for (const auto& item : items) {
    QAction* action = popup_->addAction(item.Text);
    action->setObjectName(QString::number(item.Id));
    // Queued, so that the menu has closed before a sheet or a question opens.
    connect(action, &QAction::triggered, this, item.Command, Qt::QueuedConnection);
  }
  popup_->popup(List()->viewport()->mapToGlobal(at));
}

void TTTrainWindow::CmPrint() {
  TTrainPrinter* printer = TheTrainPrinter();
  const std::vector<int16_t> order = TrainOrderOf(RecordsShown());
  // An empty schedule has nothing to print.
  if (!printer || order.front() == -1) return;
  TTPrintTrain printout(store_, order);
  printer->Print(this, printout);
}

void TTTrainWindow::CmPrinterSetup() {
  if (TTrainPrinter* printer = TheTrainPrinter()) printer->Setup(this);
}
