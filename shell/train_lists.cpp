#include "shell/train_lists.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "engine/train_commands.h"
#include "interface/outgoing.h"
#include "interface/xfer_msg.h"
#include "lists/list_text.h"
#include "lists/track_time_lists.h"
#include "resources/train_list_ids.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/find_dialogs.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/track_names.h"
#include "store/train_codes.h"

namespace {

const char* const kNoTrainSelected =
    "A train has not be selected.  Select a train by placing the mouse pointer on the Train ID and then click the "
    "mouse left or right button.";
const char* const kManyTrainsSelected = "More than one train has been selected.  Please select only one train.";

// Walks over linked trains stop here, or at a train seen before: a damaged chain cannot hang the list.
constexpr int kChainSteps = 1000;

bool ValidTrain(int slot) { return slot >= 0 && slot < kMaxTrainStatus; }

QString Text(const std::string& text) { return ListText(text); }

// "%02d:%02d" of a clock time's hour and minute of the day.
QString DayTime(int32_t seconds) { return ClockTimeText(seconds); }

// A time that is not set sorts after every real one.
int64_t TimeKey(int32_t seconds) { return seconds == -1 ? INT64_MAX : seconds; }

bool HasNoTimes(uint8_t state) {
  return state == TrainState::Merged || state == TrainState::Gone || state == TrainState::Became;
}

// The filter box that takes a train state: Arriving 0, Stopped 1, Moving 2, Complete 3; other states only
// under "All".
int StateGroup(uint8_t state) {
  switch (state) {
    case TrainState::Scheduled:
      return 0;
    case TrainState::Stopped:
      return 1;
    case TrainState::Starting:
    case TrainState::Moving:
    case TrainState::Leaving:
      return 2;
    case TrainState::Gone:
      return 3;
    default:
      return -1;
  }
}

// Shows the running train's schedule read-only, then gives the list the focus again.
void ViewTrain(Corvane3Data& store, TListFrame& frame, int slot) {
  train_menu::ViewTrainSchedule(store, slot);
  frame.List()->setFocus();
}

// Scrolls the layout to the train; true when it did.
bool FindOnLayout(Corvane3Data& store, int slot) {
  return TheLayoutWindow && FindTrainOnLayout(store, *TheLayoutWindow, slot);
}

void GiveLayoutTheFocus() {
  if (!TheLayoutWindow) return;
  TheLayoutWindow->activateWindow();
  TheLayoutWindow->setFocus();
}

// A train of the active lists: its slot, ID, arrival (no arrival sorts last) and state.
struct TrainEntry {
  int Slot;
  QString Id;
  int64_t Arrival;
  uint8_t State;
};

// The trains in use that pass the filter, by ID.
std::vector<TrainEntry> TrainsById(const Corvane3Data& store, const std::function<bool(uint8_t state)>& passes) {
  std::vector<TrainEntry> entries;
  const int count = std::clamp(store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = 0; slot < count; ++slot) {
    const TrainStatus train = store.GetTrainStatus(slot);
    if (train.InUse == 0 || !passes(train.State)) continue;
    entries.push_back({slot, Text(FieldText(train.TrainId)), TimeKey(train.HeadEventTime), train.State});
  }
  SortKeepingOrder(entries, [](const TrainEntry& a, const TrainEntry& b) { return QString::compare(a.Id, b.Id) < 0; });
  return entries;
}

// From the order by ID: by state, then arrival, then ID.
void SortByStatus(std::vector<TrainEntry>& entries) {
  SortKeepingOrder(entries, [](const TrainEntry& a, const TrainEntry& b) { return a.Arrival < b.Arrival; });
  SortKeepingOrder(entries, [](const TrainEntry& a, const TrainEntry& b) { return a.State < b.State; });
}

// The CTC train data dialog for a train; after OK its blocks are drawn again and, when its ID changed, the
// field side is told through its head block's line. True after OK.
bool EditCTCTrain(Corvane3Data& store, int slot) {
  const std::string before = FieldText(store.GetTrainStatus(slot).TrainId);
  if (store.Dialogs().RunTrainDialog(slot) != 1) return false;
  const TrainStatus train = store.GetTrainStatus(slot);
  train_menu::RedrawTrainBlocks(store, slot);
  // A train in no block has no line to send.
  if (FieldText(train.TrainId) != before && train.HeadBlock >= 0 && train.HeadBlock < kMaxBlocks) {
    xfer::CTCBuildXferOutMsg(store, xfer::kCTCBlock, train.HeadBlock);
  }
  return true;
}

// A right click: the row under the pointer is selected by then; with exactly one row selected the pop-up
// (or command) follows.
bool OneRowSelected(Corvane3Data& store, TListFrame& frame) {
  const int rows = static_cast<int>(frame.List()->selectionModel()->selectedRows().size());
  if (rows == 1) return true;
  store.ShowMessage(rows == 0 ? kNoTrainSelected : kManyTrainsSelected, MessageIcon::Error);
  frame.List()->setFocus();
  return false;
}

struct PopupItem {
  const char* Text;
  int Id;
  std::function<void()> Run;
};

// The row pop-up of a train list at the pointer, after a right click: "Find Train" (left out for a train
// still to arrive or no longer on the territory), then the list's other commands.
void ShowTrainPopup(Corvane3Data& store, TListFrame& frame, QPointer<QMenu>& popup, const QPoint& at,
                    const std::function<void()>& find, const std::vector<PopupItem>& more) {
  if (!OneRowSelected(store, frame)) return;
  const int slot = frame.SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot < 0) return;
  const uint8_t state = store.GetTrainStatus(slot).State;
  delete popup.data();
  popup = new QMenu(&frame);
  popup->setAttribute(Qt::WA_DeleteOnClose);
  std::vector<PopupItem> items;
  if (state != TrainState::Scheduled && state != TrainState::Gone)
    items.push_back({"Find Train", res::IDC_TRAINS_FIND, find});
  items.insert(items.end(), more.begin(), more.end());
  for (const PopupItem& item : items) popup->addAction(item.Text, &frame, item.Run)->setData(item.Id);
  popup->popup(frame.List()->viewport()->mapToGlobal(at));
}

int32_t* CascadeCounter(bool arrival) {
  if (!TheMainFrame) return nullptr;
  return arrival ? &TheMainFrame->ArrivalWindowsOpen : &TheMainFrame->PlatformWindowsOpen;
}

}  // namespace

// ------------------------------------------------------------------------------------------ cell texts

namespace trains {

QString PartOfTrainText(const Corvane3Data& store, int trainSlot) {
  if (!ValidTrain(trainSlot)) return {};
  int current = trainSlot;
  TrainStatus train = store.GetTrainStatus(current);
  if (train.MergePrevious == -1 && train.MergeNext == -1) return {};
  std::set<int> seen{current};
  for (int steps = 0; steps < kChainSteps && ValidTrain(train.MergePrevious); ++steps) {
    if (!seen.insert(train.MergePrevious).second) break;
    current = train.MergePrevious;
    train = store.GetTrainStatus(current);
  }
  QString text;
  seen = {current};
  for (int written = 0; written < 5 && ValidTrain(train.MergeNext); ++written) {
    text += "(" + Text(FieldText(train.TrainId)) + ")";
    if (!seen.insert(train.MergeNext).second) break;
    current = train.MergeNext;
    train = store.GetTrainStatus(current);
  }
  return text;
}

QString NextStationText(const Corvane3Data& store, int trainSlot) {
  const TrainStatus train = store.GetTrainStatus(trainSlot);
  const TrainStationTime times = store.GetTrainStationTime(trainSlot);
  const TrainStop stops = store.GetTrainStop(trainSlot);
  auto pending = [&](int platform) -> QString {
    const int32_t time = times.Times[platform];
    if (time == -1 || stops.Stops[platform] != 0) return {};
    return Text(FieldText(store.GetPlatformData(platform).Name)) + "/" + DayTime(time);
  };
  if (train.HeadDirection == 1) {
    for (int platform = 0; platform < kMaxPlatforms; ++platform) {
      if (store.GetPlatformData(platform).InUse == 0) break;
      const QString shown = pending(platform);
      if (!shown.isEmpty()) return shown;
    }
  } else {
    for (int platform = kMaxPlatforms - 1; platform >= 0; --platform) {
      if (store.GetPlatformData(platform).InUse == 0) continue;
      const QString shown = pending(platform);
      if (!shown.isEmpty()) return shown;
    }
  }
  return {};
}

QString BlockTrackText(const Corvane3Data& store, int block) {
  if (block < 0 || block >= kMaxBlocks) return {};
  return Text(BlockTrackName(store.GetBlockData(block)));
}

QString TypeText(const Corvane3Data& store, int type) {
  if (type < 0 || type >= kMaxTrainTypes) return {};
  return Text(FieldText(store.GetTrainType(type).Name));
}

QString OSReportCaption(const Corvane3Data& store, int trainSlot) {
  const std::string id = ValidTrain(trainSlot) ? FieldText(store.GetTrainStatus(trainSlot).TrainId) : "";
  return QString(" Train \"%1\" OS Report").arg(Text(id));
}

QString OSHitText(int32_t minutes, int32_t startDay) {
  static const char* const kDays[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
  const int32_t ofDay = minutes % 1440;
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d %s (%d)", ofDay / 60, ofDay % 60, kDays[(minutes / 1440) % 7],
                minutes / 1440 - startDay);
  return text;
}

}  // namespace trains

// ------------------------------------------------------------------------------------------ active trains

namespace {

std::vector<list::Column> ActiveColumns() {
  return {{"Train ID", Qt::AlignLeft},     {"Status", Qt::AlignLeft},    {"Length", Qt::AlignRight},
          {"Type", Qt::AlignLeft},         {"Location", Qt::AlignRight}, {"Direction", Qt::AlignHCenter},
          {"Speed", Qt::AlignRight},       {"ETA", Qt::AlignHCenter},    {"Crew Expiration", Qt::AlignHCenter},
          {"Entrance", Qt::AlignLeft},     {"Exit", Qt::AlignLeft},      {"Next Station Stop/Time", Qt::AlignLeft},
          {"Part of Train", Qt::AlignLeft}};
}

}  // namespace

TTActive::TTActive(Corvane3Data& store, QWidget* parent)
    : TActiveList(store,
                  list::FrameSpec{"TTActive", "Active Train List - Sorted by ETA", 9, 13, ActiveColumns(),
                                  "active train list", /*KeepsSelection=*/true},
                  parent) {
  connect(AddButton(res::IDC_TRAINS_FIND, "Find Train"), &QPushButton::clicked, this, &TTActive::CmFindTrain);
  connect(AddButton(res::IDC_TRAINS_PROPERTIES, "Properties"), &QPushButton::clicked, this, &TTActive::CmProperties);
  connect(AddButton(res::IDC_TRAINS_OS, "OS"), &QPushButton::clicked, this, &TTActive::CmOS);
  connect(AddButton(res::IDC_TRAINS_SORT_ID, "Sort ID"), &QPushButton::clicked, this, [this] { CmSort(kById); });
  connect(AddButton(res::IDC_TRAINS_SORT_STATUS, "Sort Status"), &QPushButton::clicked, this,
          [this] { CmSort(kByStatus); });
  connect(AddButton(res::IDC_TRAINS_SORT_ETA, "Sort ETA"), &QPushButton::clicked, this, [this] { CmSort(kByEta); });
  AddFilters({{res::IDC_TRAINS_ARRIVING, "Arriving"},
              {res::IDC_TRAINS_STOPPED, "Stopped"},
              {res::IDC_TRAINS_MOVING, "Moving"},
              {res::IDC_TRAINS_COMPLETE, "Complete"}});
  AddSaveColumnWidthsButton(1);
  AddHelpButton(1);

  const OptionData options = store_.GetOptionData();
  sortMode_ = options.Setting16;
  const std::vector<QCheckBox*> boxes = Filters();
  boxes[0]->setChecked(options.Flag17 == 1);
  for (size_t i = 1; i < boxes.size(); ++i) boxes[i]->setChecked(options.Flags18[i - 1] == 1);

  connect(List(), &QTableView::doubleClicked, this, [this] { CmFindTrain(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TTActive::RightClicked);
}

TTActive::~TTActive() {
  OptionData options = store_.GetOptionData();
  options.Setting16 = static_cast<uint8_t>(sortMode_);
  const std::vector<QCheckBox*> boxes = Filters();
  options.Flag17 = boxes[0]->isChecked() ? 1 : 0;
  for (size_t i = 1; i < boxes.size(); ++i) options.Flags18[i - 1] = boxes[i]->isChecked() ? 1 : 0;
  store_.UpdateOptionData(options);
}

void TTActive::CmSort(int mode) {
  sortMode_ = mode;
  ListBuild();
}

std::vector<list::Row> TTActive::Fill() {
  store_.ActiveListDirty = 0;
  std::vector<TrainEntry> entries = TrainsById(store_, [this](uint8_t state) { return Passes(StateGroup(state)); });
  if (sortMode_ == kByStatus) {
    SortByStatus(entries);
    setWindowTitle("Active Train List - Sorted by Status");
  } else if (sortMode_ == kByEta) {
    SortKeepingOrder(entries, [](const TrainEntry& a, const TrainEntry& b) { return a.State < b.State; });
    SortKeepingOrder(entries, [](const TrainEntry& a, const TrainEntry& b) { return a.Arrival < b.Arrival; });
    setWindowTitle("Active Train List - Sorted by ETA");
  } else if (sortMode_ == kById) {
    setWindowTitle("Active Train List - Sorted by ID");
  }

  std::vector<list::Row> rows;
  for (const TrainEntry& entry : entries) {
    const TrainStatus train = store_.GetTrainStatus(entry.Slot);
    std::string status;
    store_.GenerateTrainStatus(entry.Slot, status);
    const bool placed = train.HeadBlock != -1;
    const bool timed = !HasNoTimes(train.State);
    const int32_t eta = train.State == TrainState::Leaving ? train.RearEventTime : train.HeadEventTime;
    rows.push_back(
        list::Row{entry.Slot,
                  {entry.Id, Text(status), QString::number(train.Length), trains::TypeText(store_, train.Type),
                   placed ? trains::BlockTrackText(store_, train.HeadBlock) : QString(),
                   placed ? QString(train.HeadDirection == 0 ? "Left" : "Right") : QString(),
                   placed ? QString::number(train.Speed) : QString(), timed ? DayTime(eta) : QString(),
                   timed ? DayTime(train.CrewExpiry) : QString(), Text(FieldText(train.Entrance)),
                   Text(FieldText(train.Exit)), timed ? trains::NextStationText(store_, entry.Slot) : QString(),
                   trains::PartOfTrainText(store_, entry.Slot)}});
  }
  return rows;
}

void TTActive::CmFindTrain() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot < 0) return;
  if (!FindOnLayout(store_, slot)) return;
  showMinimized();
  GiveLayoutTheFocus();
}

void TTActive::CmProperties() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0) ViewTrain(store_, *this, slot);
}

void TTActive::CmOS() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0) OpenTrainOSReport(store_, slot, this);
}

void TTActive::SelectTrain(int trainSlot) { SelectRecord(trainSlot); }

void TTActive::RightClicked(const QPoint& at) {
  ShowTrainPopup(store_, *this, popup_, at, [this] { CmFindTrain(); },
                 {{"OS", res::IDC_TRAINS_OS, [this] { CmOS(); }},
                  {"Properties", res::IDC_TRAINS_PROPERTIES, [this] { CmProperties(); }}});
}

// ------------------------------------------------------------------------------------------ CTC active trains

TTCTCActive::TTCTCActive(Corvane3Data& store, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTCTCActive",
                                 "CTC Active Train List - Sorted by ID",
                                 16,
                                 19,
                                 {{"Train ID", Qt::AlignLeft},
                                  {"Status", Qt::AlignLeft},
                                  {"Length", Qt::AlignRight},
                                  {"Type", Qt::AlignLeft},
                                  {"Location", Qt::AlignLeft},
                                  {"Direction", Qt::AlignHCenter},
                                  {"Crew Expiration", Qt::AlignHCenter},
                                  {"Entrance", Qt::AlignLeft},
                                  {"Exit", Qt::AlignLeft}},
                                 "active train list",
                                 /*KeepsSelection=*/true},
                 parent) {
  connect(AddButton(res::IDC_TRAINS_FIND, "Find Train"), &QPushButton::clicked, this, &TTCTCActive::CmFindTrain);
  connect(AddButton(res::IDC_TRAINS_PROPERTIES, "Properties"), &QPushButton::clicked, this, &TTCTCActive::CmProperties);
  connect(AddButton(res::IDC_TRAINS_OS, "OS"), &QPushButton::clicked, this, &TTCTCActive::CmOS);
  connect(AddButton(res::IDC_TRAINS_SORT_ID, "Sort ID", 1), &QPushButton::clicked, this, [this] { CmSort(kById); });
  connect(AddButton(res::IDC_TRAINS_SORT_STATUS, "Sort Status", 1), &QPushButton::clicked, this,
          [this] { CmSort(kByStatus); });
  AddSaveColumnWidthsButton(1);
  AddHelpButton(1);
  // Any other byte in the option record (an old or damaged file) reads as the order by ID.
  sortMode_ = store_.GetOptionData().CTCActiveSort == kByStatus ? kByStatus : kById;

  connect(List(), &QTableView::doubleClicked, this, [this] { CmFindTrain(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TTCTCActive::RightClicked);
}

TTCTCActive::~TTCTCActive() {
  OptionData options = store_.GetOptionData();
  options.CTCActiveSort = static_cast<int8_t>(sortMode_);
  store_.UpdateOptionData(options);
}

void TTCTCActive::CmSort(int mode) {
  sortMode_ = mode;
  ListBuild();
}

std::vector<list::Row> TTCTCActive::Fill() {
  std::vector<TrainEntry> entries = TrainsById(store_, [](uint8_t) { return true; });
  if (sortMode_ == kByStatus) {
    SortByStatus(entries);
    setWindowTitle("CTC Active Train List - Sorted by Status");
  } else {
    setWindowTitle("CTC Active Train List - Sorted by ID");
  }

  std::vector<list::Row> rows;
  for (const TrainEntry& entry : entries) {
    const TrainStatus train = store_.GetTrainStatus(entry.Slot);
    std::string status;
    store_.GenerateTrainStatus(entry.Slot, status);
    const bool placed = train.HeadBlock >= 0 && train.HeadBlock < kMaxBlocks;
    rows.push_back(
        list::Row{entry.Slot,
                  {entry.Id, Text(status), QString::number(train.Length), trains::TypeText(store_, train.Type),
                   placed ? trains::BlockTrackText(store_, train.HeadBlock) : QString(),
                   placed ? QString(train.HeadDirection == 0 ? "Left" : "Right") : QString(),
                   MinuteText(train.CrewExpiry), Text(FieldText(train.Entrance)), Text(FieldText(train.Exit))}});
  }
  return rows;
}

void TTCTCActive::CmFindTrain() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot < 0) return;
  if (!TheLayoutWindow || !FindTrainOnLayout(store_, *TheLayoutWindow, slot, /*arrivingWhenUnshown=*/true)) return;
  showMinimized();
  GiveLayoutTheFocus();
}

void TTCTCActive::CmProperties() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot < 0) return;
  if (EditCTCTrain(store_, slot)) ListBuild();
  List()->setFocus();
}

void TTCTCActive::CmOS() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0) OpenTrainOSReport(store_, slot, this);
}

void TTCTCActive::RightClicked(const QPoint& at) {
  ShowTrainPopup(store_, *this, popup_, at, [this] { CmFindTrain(); },
                 {{"OS", res::IDC_TRAINS_OS, [this] { CmOS(); }},
                  {"Properties", res::IDC_TRAINS_PROPERTIES, [this] { CmProperties(); }}});
}

// ------------------------------------------------------------------------------------------ arrivals

TTArrival::TTArrival(Corvane3Data& store, int location, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTArrival",
                                 QString(" Trains Arriving at Entrance Location \"%1\"")
                                     .arg(Text(FieldText(store.GetOrgData(location).Name))),
                                 10,
                                 14,
                                 {{"Train ID", Qt::AlignLeft},
                                  {"Scheduled Arrival", Qt::AlignHCenter},
                                  {"Exit", Qt::AlignHCenter},
                                  {"Length", Qt::AlignRight},
                                  {"Type", Qt::AlignLeft}},
                                 "",
                                 /*KeepsSelection=*/true},
                 parent),
      location_(location),
      name_(FieldText(store.GetOrgData(location).Name)) {
  connect(AddButton(res::IDC_TRAINS_PROPERTIES, "Properties"), &QPushButton::clicked, this, &TTArrival::CmProperties);
  AddSaveColumnWidthsButton();
  SetCascadeCounter(CascadeCounter(true));
  connect(List(), &QTableView::doubleClicked, this, [this] { CmProperties(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, [this] {
    if (OneRowSelected(store_, *this)) CmProperties();
  });
}

TTArrival::~TTArrival() {
  auto& slot = TheDataWindows.ArrivalWindows[static_cast<size_t>(location_)];
  if (slot == this) slot = nullptr;
}

std::vector<list::Row> TTArrival::Fill() {
  std::vector<std::pair<int, int32_t>> listed;
  const int count = std::clamp(store_.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = 0; slot < count; ++slot) {
    const TrainStatus train = store_.GetTrainStatus(slot);
    if (train.InUse != 0 && train.State == TrainState::Scheduled && FieldText(train.Entrance) == name_) {
      listed.emplace_back(slot, +train.HeadEventTime);  // a copy: the record is packed
    }
  }
  SortKeepingOrder(listed, [](const auto& a, const auto& b) { return a.second < b.second; });
  std::vector<list::Row> rows;
  for (const auto& [slot, eta] : listed) {
    const TrainStatus train = store_.GetTrainStatus(slot);
    rows.push_back(list::Row{slot,
                             {Text(FieldText(train.TrainId)), DayTime(eta), Text(FieldText(train.Exit)),
                              QString::number(train.Length), trains::TypeText(store_, train.Type)}});
  }
  return rows;
}

void TTArrival::CmProperties() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0) ViewTrain(store_, *this, slot);
}

// ------------------------------------------------------------------------------------------ platform stops

TTPlatform::TTPlatform(Corvane3Data& store, int platform, QWidget* parent)
    : TListFrame(
          store,
          list::FrameSpec{
              "TTPlatform",
              QString(" Trains Stopping at Platform \"%1\"").arg(Text(FieldText(store.GetPlatformData(platform).Name))),
              4,
              8,
              {{"Train ID", Qt::AlignLeft},
               {"Scheduled Departure", Qt::AlignHCenter},
               {"Length", Qt::AlignRight},
               {"Type", Qt::AlignLeft},
               {"Location", Qt::AlignLeft}},
              "",
              /*KeepsSelection=*/true},
          parent),
      platform_(platform) {
  connect(AddButton(res::IDC_TRAINS_FIND, "Find Train"), &QPushButton::clicked, this, &TTPlatform::CmFindTrain);
  connect(AddButton(res::IDC_TRAINS_PROPERTIES, "Properties"), &QPushButton::clicked, this, &TTPlatform::CmProperties);
  AddSaveColumnWidthsButton();
  SetCascadeCounter(CascadeCounter(false));
  connect(List(), &QTableView::doubleClicked, this, [this] { CmFindTrain(); });
  List()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(List(), &QWidget::customContextMenuRequested, this, &TTPlatform::RightClicked);
}

TTPlatform::~TTPlatform() {
  auto& slot = TheDataWindows.PlatformWindows[static_cast<size_t>(platform_)];
  if (slot == this) slot = nullptr;
}

std::vector<list::Row> TTPlatform::Fill() {
  std::vector<std::pair<int, int32_t>> listed;
  const int32_t end = store_.GetSimEndTime();
  const int count = std::clamp(store_.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = 0; slot < count; ++slot) {
    const TrainStatus train = store_.GetTrainStatus(slot);
    if (train.InUse == 0 || train.State == TrainState::Became || train.State == TrainState::Gone) continue;
    const int32_t time = store_.GetTrainStationTime(slot).Times[platform_];
    if (time == -1 || store_.GetTrainStop(slot).Stops[platform_] == 1) continue;
    if (end != -1 && time > end) continue;
    listed.emplace_back(slot, time);
  }
  SortKeepingOrder(listed, [](const auto& a, const auto& b) { return a.second < b.second; });
  std::vector<list::Row> rows;
  for (const auto& [slot, time] : listed) {
    const TrainStatus train = store_.GetTrainStatus(slot);
    const QString where = train.HeadBlock == -1 ? QString("Arriving \"%1\"").arg(Text(FieldText(train.Entrance)))
                                                : trains::BlockTrackText(store_, train.HeadBlock);
    rows.push_back(list::Row{slot,
                             {Text(FieldText(train.TrainId)), DayTime(time), QString::number(train.Length),
                              trains::TypeText(store_, train.Type), where}});
  }
  return rows;
}

void TTPlatform::CmFindTrain() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0 && !FindOnLayout(store_, slot)) return;
  showMinimized();
  GiveLayoutTheFocus();
}

void TTPlatform::CmProperties() {
  const int slot = SelectedRecord(kNoTrainSelected, kManyTrainsSelected);
  if (slot >= 0) ViewTrain(store_, *this, slot);
}

void TTPlatform::RightClicked(const QPoint& at) {
  ShowTrainPopup(store_, *this, popup_, at, [this] { CmFindTrain(); },
                 {{"Properties", res::IDC_TRAINS_PROPERTIES, [this] { CmProperties(); }}});
}

// ------------------------------------------------------------------------------------------ OS report

namespace {

std::vector<list::Column> OSReportColumns() {
  std::vector<list::Column> columns{{"OS Name", Qt::AlignLeft}};
  for (int i = 0; i < 10; ++i) columns.push_back({"Time", Qt::AlignHCenter});
  return columns;
}

// The name of the device of an OS hit; empty for a device that is neither block, switch nor diamond.
std::string HitDeviceName(const Corvane3Data& store, int device) {
  if (device >= 0 && device < kMaxBlocks) return FieldText(store.GetBlockData(device).Name);
  namespace devices = ::device;
  const int sw = devices::SwitchIndex(device), diamond = devices::DiamondIndex(device);
  if (sw >= 0 && sw < kMaxSwitches) return FieldText(store.GetSwitchData(sw).Name);
  if (diamond >= 0 && diamond < kMaxCrossings) return FieldText(store.GetCrossData(diamond).Name);
  return {};
}

}  // namespace

TTrainOSWindow::TTrainOSWindow(Corvane3Data& store, int trainSlot, QWidget* parent)
    : TListFrame(store,
                 list::FrameSpec{"TTrainOSWindow", trains::OSReportCaption(store, trainSlot), 11, 15, OSReportColumns(),
                                 "", /*KeepsSelection=*/false},
                 parent),
      train_(trainSlot) {
  connect(AddButton(res::IDC_TRAINS_PROPERTIES, "Properties"), &QPushButton::clicked, this,
          &TTrainOSWindow::CmProperties);
  AddSaveColumnWidthsButton();
}

TTrainOSWindow::~TTrainOSWindow() {
  if (TheDataWindows.TrainOS == this) TheDataWindows.TrainOS = nullptr;
}

void TTrainOSWindow::SwitchTrain(int trainSlot, const QString& caption) {
  train_ = trainSlot;
  setWindowTitle(caption);
  ListBuild();
}

std::vector<list::Row> TTrainOSWindow::Fill() {
  std::array<std::array<int32_t, 10>, kMaxOSData> times{};
  for (auto& cells : times) cells.fill(-1);
  const int32_t hits = std::clamp(store_.GetOSHitCount(), 0, kMaxOSHits);
  for (int i = 0; i < hits; ++i) {
    const OSHit hit = store_.GetOSHit(i);
    if (hit.TrainSlot != train_ || hit.Device == 0xFFFF) continue;
    const std::string name = HitDeviceName(store_, hit.Device);
    if (name.empty()) continue;
    const int os = store_.FindOSData(name);
    // An OS point the report has no line for (out of range) is skipped.
    if (os < 0 || os >= kMaxOSData) continue;
    auto& cells = times[static_cast<size_t>(os)];
    const auto empty = std::find(cells.begin(), cells.end(), -1);
    if (empty != cells.end()) *empty = hit.Minutes;
  }
  std::vector<list::Row> rows;
  const int32_t startDay = store_.GetSimStartDay();
  for (int os = 0; os < kMaxOSData; ++os) {
    const OSData point = store_.GetOSData(os);
    if (point.InUse == 0) break;
    list::Row row{os, {Text(FieldText(point.Name))}};
    for (const int32_t minutes : times[static_cast<size_t>(os)]) {
      row.Texts.push_back(minutes == -1 ? QString() : trains::OSHitText(minutes, startDay));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void TTrainOSWindow::CmProperties() {
  if (!ValidTrain(train_)) return;
  if (store_.GetOptionData().CTCControlOn != 1) {
    ViewTrain(store_, *this, train_);
    return;
  }
  if (EditCTCTrain(store_, train_)) setWindowTitle(trains::OSReportCaption(store_, train_));
  List()->setFocus();
}

// ------------------------------------------------------------------------------------------ entry points

TTActive* OpenActiveTrainList(Corvane3Data& store, QWidget* parent, int trainSlot) {
  auto* list = static_cast<TTActive*>(
      OpenListWindow(TheDataWindows.ActiveTrains, [&store, parent] { return new TTActive(store, parent); }));
  if (trainSlot >= 0) list->SelectTrain(trainSlot);
  return list;
}

TTCTCActive* OpenCTCActiveTrainList(Corvane3Data& store, QWidget* parent, int trainSlot) {
  auto* list = static_cast<TTCTCActive*>(
      OpenListWindow(TheDataWindows.CTCActiveTrains, [&store, parent] { return new TTCTCActive(store, parent); }));
  if (trainSlot >= 0) list->SelectTrain(trainSlot);
  return list;
}

TTArrival* OpenArrivalList(Corvane3Data& store, int location, QWidget* parent) {
  if (location < 0 || location >= kMaxLocations) return nullptr;
  const std::string name = FieldText(store.GetOrgData(location).Name);
  for (auto& window : TheDataWindows.ArrivalWindows) {
    auto* open = qobject_cast<TTArrival*>(window.data());
    if (open && FieldText(store.GetOrgData(open->Location()).Name) == name) {
      OpenListWindow(window, [] { return nullptr; });
      return open;
    }
  }
  auto& slot = TheDataWindows.ArrivalWindows[static_cast<size_t>(location)];
  return static_cast<TTArrival*>(
      OpenListWindow(slot, [&store, location, parent] { return new TTArrival(store, location, parent); }));
}

TTPlatform* OpenPlatformList(Corvane3Data& store, int platform, QWidget* parent) {
  if (platform < 0 || platform >= kMaxPlatforms || store.GetPlatformData(platform).InUse == 0) return nullptr;
  auto& slot = TheDataWindows.PlatformWindows[static_cast<size_t>(platform)];
  return static_cast<TTPlatform*>(
      OpenListWindow(slot, [&store, platform, parent] { return new TTPlatform(store, platform, parent); }));
}

TTPlatform* OpenPlatformListOfBlock(Corvane3Data& store, int block, QWidget* parent) {
  if (block < 0 || block >= kMaxBlocks) return nullptr;
  const std::string name = FieldText(store.GetBlockData(block).PlatformName);
  if (name.empty()) return nullptr;
  return OpenPlatformList(store, store.FindPlatformData(name), parent);
}

TTrainOSWindow* OpenTrainOSReport(Corvane3Data& store, int trainSlot, QWidget* parent) {
  if (!ValidTrain(trainSlot)) return nullptr;
  if (auto* open = qobject_cast<TTrainOSWindow*>(TheDataWindows.TrainOS.data())) {
    open->SwitchTrain(trainSlot, trains::OSReportCaption(store, trainSlot));
  }
  return static_cast<TTrainOSWindow*>(OpenListWindow(
      TheDataWindows.TrainOS, [&store, trainSlot, parent] { return new TTrainOSWindow(store, trainSlot, parent); }));
}
