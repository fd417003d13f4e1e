#include "store/corvane3_data.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "store/fixed_text.h"
#include "store/null_services.h"
#include "store/playback_recorder.h"
#include "store/settings_files.h"

namespace {

NullMessageService g_nullMessages;
NullShellService g_nullShell;
NullInterfaceService g_nullInterface;
NullDialogService g_nullDialogs;
NullListService g_nullLists;
NullDisplayService g_nullDisplay;

constexpr const char* kTrainTypeNames[] = {"Freight", "Passenger", "Transit", "Maintenance of Way",
                                           "Helper",  "Derrick",   "Local",   "Unknown"};

constexpr const char* kReportRequest =
    "Please report this problem to the Corvane maintainers through the project's issue tracker. "
    "It helps us find the problem if you include the text of the message, attach a copy of your .trk and "
    ".ssm files and state what you were doing when the error occurred.";

}  // namespace

Corvane3Data::Corvane3Data()
    : messages_(&g_nullMessages),
      shell_(&g_nullShell),
      interface_(&g_nullInterface),
      dialogs_(&g_nullDialogs),
      lists_(&g_nullLists),
      recorder_(std::make_unique<PlaybackRecorder>(*this)),
      display_(&g_nullDisplay) {
  playback_ = recorder_.get();
  NoteTimedWorkOfAllDevices();
  for (auto& caption : Captions) SetFieldText(caption, kCaptionChars, "Corvane Version ");
  for (int i = 0; i < 8; ++i) SetFieldText(trainTypeNames_[i].data(), kTrainTypeNameChars, kTrainTypeNames[i]);
  for (auto& image : maintImages_) image = std::make_unique<uint8_t[]>(kMaintImageBytes);
  // The display words of text labels and stations start at zero; the painting code fills them.
  for (auto& text : texts_) text.Longs186[1] = text.Longs200[2] = text.Longs200[4] = text.Longs200[6] = 0;
  for (auto& station : stations_) {
    station.Longs106[1] = station.Longs120[2] = station.Longs120[4] = station.Longs120[6] = 0;
  }
}

Corvane3Data::~Corvane3Data() {
  shell_->FreeDisplayResources();
  if (PlaybackIn) std::fclose(PlaybackIn);
  if (PlaybackOut) std::fclose(PlaybackOut);
}

// ---------------------------------------------------------------- services

void Corvane3Data::SetMessageService(MessageService* service) { messages_ = service ? service : &g_nullMessages; }
void Corvane3Data::SetShellService(ShellService* service) {
  shell_ = service ? service : &g_nullShell;
  clockShown_ = {};  // a new shell has not been shown the clock
}
void Corvane3Data::SetInterfaceService(InterfaceService* service) { interface_ = service ? service : &g_nullInterface; }
void Corvane3Data::SetDialogService(DialogService* service) { dialogs_ = service ? service : &g_nullDialogs; }
void Corvane3Data::SetListService(ListService* service) { lists_ = service ? service : &g_nullLists; }
void Corvane3Data::SetPlaybackSink(PlaybackSink* sink) { playback_ = sink ? sink : recorder_.get(); }
void Corvane3Data::SetDisplayService(DisplayService* service) { display_ = service ? service : &g_nullDisplay; }

MessageResult Corvane3Data::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  // Notices and questions carry the title, refusals and errors the error caption, warnings the warning one.
  const int caption = icon == MessageIcon::Error ? 1 : icon == MessageIcon::Warning ? 2 : 0;
  return messages_->ShowMessage(text, FieldText(Captions[caption], kCaptionChars), icon, buttons);
}

void Corvane3Data::StopSimulation() {
  Run.SimStopped = 1;
  shell_->ShowStatusText(StatusPane::RunState, "Stop");
}

MessageResult Corvane3Data::InternalErrorTrap(int32_t value, const std::string& text) {
  StopSimulation();
  char head[160];
  std::snprintf(head, sizeof head, "%.100s value \"%d\". ", text.c_str(), value);
  return messages_->ShowMessage(std::string(head) + kReportRequest, "Internal Error Trap", MessageIcon::Error,
                                MessageButtons::Ok);
}

void Corvane3Data::RecordPlayback(PlaybackKind kind, int32_t index, const void* record, uint32_t size) {
  playback_->RecordChange(kind, index, record, size);
}

void Corvane3Data::ReportIndexError(int32_t value, const char* kind, const char* name) const {
  // Reporting stops the run; the store's tables stay untouched.
  const_cast<Corvane3Data*>(this)->InternalErrorTrap(value, std::string(kind) + " index error - " + name);
}

void Corvane3Data::RefreshListIfOpen(ListWindow list) {
  if (lists_->IsListOpen(list)) lists_->RefreshList(list);
}

template <class Record, size_t N>
Record Corvane3Data::GetRecord(const std::array<Record, N>& table, int index, const char* kind,
                               const char* name) const {
  return RecordRef(table, index, kind, name);
}

template <class Record, size_t N>
bool Corvane3Data::UpdateRecord(std::array<Record, N>& table, int index, const Record& record, const char* kind,
                                const char* name) {
  if (index < 0 || index >= static_cast<int>(N)) {
    ReportIndexError(index, kind, name);
    return false;
  }
  table[index] = record;
  NoteRecordWritten<Record>(index);
  return true;
}

// Territory definition tables: a plain copy each way.
#define CORVANE_PLAIN_ACCESSORS(Record, table, Kind)                                                         \
  Record Corvane3Data::Get##Record(int index) const { return GetRecord(table, index, Kind, "Get" #Record); } \
  void Corvane3Data::Update##Record(int index, const Record& record) {                                       \
    UpdateRecord(table, index, record, Kind, "Update" #Record);                                              \
  }

// Tables whose names other records match (OS points, detectors, entrances): a change may move what a
// device's name resolves to.
#define CORVANE_NAMED_ACCESSORS(Record, table, Kind)                                                         \
  Record Corvane3Data::Get##Record(int index) const { return GetRecord(table, index, Kind, "Get" #Record); } \
  void Corvane3Data::Update##Record(int index, const Record& record) {                                       \
    if (UpdateRecord(table, index, record, Kind, "Update" #Record)) ForgetResolvedNames();                   \
  }

CORVANE_NAMED_ACCESSORS(BlockData, blockData_, "Block")
CORVANE_NAMED_ACCESSORS(SwitchData, switchData_, "Switch")
CORVANE_PLAIN_ACCESSORS(SignalData, signalData_, "Signal")
CORVANE_NAMED_ACCESSORS(CrossData, crossData_, "Crossover")
CORVANE_NAMED_ACCESSORS(OrgData, orgData_, "Entrance/Exit")
CORVANE_PLAIN_ACCESSORS(TrainData, trainData_, "Train")
CORVANE_PLAIN_ACCESSORS(TrainType, trainTypes_, "Train Type")
CORVANE_PLAIN_ACCESSORS(TrainIconData, trainIcons_, "Icon")
CORVANE_PLAIN_ACCESSORS(StartTime, startTimes_, "Start time")
CORVANE_NAMED_ACCESSORS(DetectorData, detectors_, "Detector")
CORVANE_PLAIN_ACCESSORS(AreaData, areas_, "Area")
CORVANE_NAMED_ACCESSORS(OSData, osData_, "OS")
CORVANE_PLAIN_ACCESSORS(PlatformData, platforms_, "Platform")
CORVANE_PLAIN_ACCESSORS(StationData, stations_, "Station")
CORVANE_PLAIN_ACCESSORS(TextData, texts_, "Text")
CORVANE_PLAIN_ACCESSORS(BitmapMaint, bitmapMaint_, "Bitmap maintenance")
CORVANE_PLAIN_ACCESSORS(BitmapInsert, bitmapInsert_, "Bitmap insert")
OSHit Corvane3Data::GetOSHit(int index) const { return GetRecord(osHits_, index, "OS Hit", "GetOSHit"); }
void Corvane3Data::UpdateOSHit(int index, const OSHit& record) {
  if (!UpdateRecord(osHits_, index, record, "OS Hit", "UpdateOSHit")) return;
  osHitsReach_ = std::max(osHitsReach_, index + 1);
  NoteOSHit(index);
  ++OSHitChanges;
}
CORVANE_PLAIN_ACCESSORS(WindowSize, windowSizes_, "Window")

// Run-time tables whose every stored change is a playback record.
#define CORVANE_RECORDED_ACCESSORS(Record, table, Kind)                                                      \
  Record Corvane3Data::Get##Record(int index) const { return GetRecord(table, index, Kind, "Get" #Record); } \
  void Corvane3Data::Update##Record(int index, const Record& record) {                                       \
    if (UpdateRecord(table, index, record, Kind, "Update" #Record))                                          \
      RecordPlayback(PlaybackKind::Record, index, &table[index], sizeof(Record));                            \
  }

CORVANE_RECORDED_ACCESSORS(CrossStatus, crossStatus_, "Crossover")
CORVANE_RECORDED_ACCESSORS(OrgStatus, orgStatus_, "Entrance/Exit")
CORVANE_RECORDED_ACCESSORS(StackData, stack_, "Stack")

// The train slot tables beside the status: a write marks the slot for the next run reset.
#define CORVANE_TRAIN_SLOT_ACCESSORS(Record, table)                                                                    \
  Record Corvane3Data::Get##Record(int index) const { return GetRecord(table, index, "Train status", "Get" #Record); } \
  void Corvane3Data::Update##Record(int index, const Record& record) {                                                 \
    if (!UpdateRecord(table, index, record, "Train status", "Update" #Record)) return;                                 \
    MarkTrainSlotWritten(index);                                                                                       \
    RecordPlayback(PlaybackKind::Record, index, &table[index], sizeof(Record));                                        \
  }

CORVANE_TRAIN_SLOT_ACCESSORS(TrainStationTime, trainStationTimes_)
CORVANE_TRAIN_SLOT_ACCESSORS(TrainStop, trainStops_)
#undef CORVANE_TRAIN_SLOT_ACCESSORS

// Block, switch, signal and train status are stored by the status updaters (status.cpp).
BlockStatus Corvane3Data::GetBlockStatus(int index) const {
  return GetRecord(blockStatus_, index, "Block", "GetBlockStatus");
}
SwitchStatus Corvane3Data::GetSwitchStatus(int index) const {
  return GetRecord(switchStatus_, index, "Switch", "GetSwitchStatus");
}
SignalStatus Corvane3Data::GetSignalStatus(int index) const {
  return GetRecord(signalStatus_, index, "Signal", "GetSignalStatus");
}

#undef CORVANE_PLAIN_ACCESSORS
#undef CORVANE_RECORDED_ACCESSORS

TrainStatus Corvane3Data::GetTrainStatus(int index) const {
  return GetRecord(trainStatus_, index, "Train status", "GetTrainStatus");
}

PermitData Corvane3Data::GetPermitData(int index) const {
  return GetRecord(permitData_, index, "Permit", "GetPermitData");
}

void Corvane3Data::UpdatePermitData(int index, const PermitData& record) {
  if (!UpdateRecord(permitData_, index, record, "Permit", "UpdatePermitData")) return;
  if (record.InUse == 1 && index >= counts_.Words[kCountPermits]) counts_.Words[kCountPermits] = index + 1;
}

PermitStatus Corvane3Data::GetPermitStatus(int index) const {
  return GetRecord(permitStatus_, index, "Permit", "GetPermitStatus");
}

void Corvane3Data::UpdatePermitStatus(int index, const PermitStatus& record) {
  if (index < 0 || index >= kMaxPermitStatus) {
    ReportIndexError(index, "Permit", "UpdatePermitStatus");
    return;
  }
  const bool wasInUse = permitStatus_[index].InUse != 0;
  permitStatus_[index] = record;
  if (wasInUse || record.InUse != 0) RefreshListIfOpen(ListWindow::ActivePermits);
  RecordPlayback(PlaybackKind::PermitStatus, index, &permitStatus_[index], sizeof(PermitStatus));
}

SlowData Corvane3Data::GetSlowData(int index) const { return GetRecord(slowData_, index, "Slow order", "GetSlowData"); }

void Corvane3Data::UpdateSlowData(int index, const SlowData& record) {
  if (!UpdateRecord(slowData_, index, record, "Slow order", "UpdateSlowData")) return;
  if (record.InUse == 1 && index >= counts_.Words[kCountSlowOrders]) counts_.Words[kCountSlowOrders] = index + 1;
}

SlowStatus Corvane3Data::GetSlowStatus(int index) const {
  return GetRecord(slowStatus_, index, "Slow order", "GetSlowStatus");
}

void Corvane3Data::UpdateSlowStatus(int index, const SlowStatus& record) {
  if (index < 0 || index >= kMaxSlowStatus) {
    ReportIndexError(index, "Slow order", "UpdateSlowStatus");
    return;
  }
  const bool wasInUse = slowStatus_[index].InUse != 0;
  slowStatus_[index] = record;
  if (wasInUse || record.InUse != 0) RefreshListIfOpen(ListWindow::ActiveSlowOrders);
  RecordPlayback(PlaybackKind::SlowStatus, index, &slowStatus_[index], sizeof(SlowStatus));
}

PerformStatus Corvane3Data::GetArchivePerformStatus(int index) const {
  return GetRecord(archivePerform_, index, "Archive Perform Status", "GetArchivePerformStatus");
}

void Corvane3Data::UpdateArchivePerformStatus(int index, const PerformStatus& record) {
  UpdateRecord(archivePerform_, index, record, "Archive Perform Status", "UpdateArchivePerformStatus");
}

uint32_t Corvane3Data::GetColumnSize(int list, int column) const {
  if (list < 0 || list >= kColumnLists) {
    ReportIndexError(list, "Column save program", "GetColumnSize");
    return 0;
  }
  if (column < 0 || column >= kColumnsPerList) {
    ReportIndexError(column, "Column", "GetColumnSize");
    return 0;
  }
  return columnWidths_[list][column];
}

void Corvane3Data::UpdateColumnSize(int list, int column, uint32_t width) {
  if (list < 0 || list >= kColumnLists) {
    ReportIndexError(list, "Column save program", "UpdateColumnSize");
    return;
  }
  if (column < 0 || column >= kColumnsPerList) {
    ReportIndexError(column, "Column", "UpdateColumnSize");
    return;
  }
  columnWidths_[list][column] = width;
}

int Corvane3Data::UpdateRandomData(const RandomData& record) {
  const RandomData before = random_;
  random_ = record;
  if (NoTerritorySettings == 1 || SettingsFiles(*this).SaveTerritory() == 0) return 0;
  random_ = before;
  return 3;
}

int Corvane3Data::UpdateAlertData(const AlertData& record) {
  const AlertData before = alerts_;
  alerts_ = record;
  if (SettingsFiles(*this).SaveOptions() == 0) return 0;
  alerts_ = before;
  return 3;
}

// ---------------------------------------------------------------- allocation and lookup

int Corvane3Data::FindFreeStackData() const {
  for (int i = 0; i < kMaxStack; ++i)
    if (stack_[i].InUse != 1) return i;
  return -1;
}

void Corvane3Data::FreeStackData(int index) {
  if (index < 0 || index >= kMaxStack) {
    ReportIndexError(index, "Stack", "FreeStackData");
    return;
  }
  if (stack_[index].InUse != 1) {
    InternalErrorTrap(index, "Trying to free stack data that is free - FreeStackData");
    return;
  }
  // Close the gap: later commands move one slot down, in order, until a free
  // record has been moved or the second-last slot is reached.
  for (int i = index; i < kMaxStack - 1; ++i) {
    const bool movedFree = stack_[i + 1].InUse != 1;
    stack_[i] = stack_[i + 1];
    stackWritten_.Note(i);
    RecordPlayback(PlaybackKind::StackData, i, &stack_[i], sizeof(StackData));
    if (movedFree || i == kMaxStack - 2) break;
  }
  StackData& last = stack_[kMaxStack - 1];
  stackWritten_.Note(kMaxStack - 1);
  last.InUse = 0;
  std::memset(last.Devices, 0xFF, sizeof last.Devices);
  std::memset(last.Directions, 0, sizeof last.Directions);
  std::memset(last.Positions, 0, sizeof last.Positions);
}

int Corvane3Data::FindFreePermitData(int claim) {
  for (int i = 0; i < kMaxPermitData; ++i) {
    PermitData& permit = permitData_[i];
    if (permit.InUse != 0) continue;
    if (claim == 1) {
      permit.InUse = 1;
      permit.StartMinutes = permit.EndMinutes = -1;  // 0xFFFF
      SetFieldText(permit.TrackName, "");
    }
    return i;
  }
  return -1;
}

void Corvane3Data::FreePermitData(int index) {
  if (index < 0 || index >= kMaxPermitData) {
    ReportIndexError(index, "Permit", "FreePermitData");
    return;
  }
  if (permitData_[index].InUse == 0) {
    InternalErrorTrap(index, "Permit index already free - FreePermitData");
    return;
  }
  permitData_[index].InUse = 0;
}

int Corvane3Data::FindFreePermitStatus() const {
  for (int i = 0; i < kMaxPermitStatus; ++i)
    if (permitStatus_[i].InUse == 0) return i;
  return -1;
}

void Corvane3Data::FreePermitStatus(int index) {
  if (index < 0 || index >= kMaxPermitStatus) {
    ReportIndexError(index, "Permit", "FreePermitStatus");
    return;
  }
  if (permitStatus_[index].InUse == 0) {
    InternalErrorTrap(index, "Permit index already free - FreePermitStatus");
    return;
  }
  permitStatus_[index].InUse = 0;
  RefreshListIfOpen(ListWindow::ActivePermits);
  RecordPlayback(PlaybackKind::PermitStatus, index, &permitStatus_[index], sizeof(PermitStatus));
}

int Corvane3Data::FindFreeSlowStatus() const {
  for (int i = 0; i < kMaxSlowStatus; ++i)
    if (slowStatus_[i].InUse == 0) return i;
  return -1;
}

void Corvane3Data::FreeSlowStatus(int index) {
  if (index < 0 || index >= kMaxSlowStatus) {
    ReportIndexError(index, "Slow order", "FreeSlowStatus");
    return;
  }
  if (slowStatus_[index].InUse == 0) {
    InternalErrorTrap(index, "Slow order index already free - FreeSlowStatus");
    return;
  }
  slowStatus_[index].InUse = 0;
  RefreshListIfOpen(ListWindow::ActiveSlowOrders);
  RecordPlayback(PlaybackKind::SlowStatus, index, &slowStatus_[index], sizeof(SlowStatus));
}

int Corvane3Data::FindFreeSlowData(int claim) {
  for (int i = 0; i < kMaxSlowData; ++i) {
    SlowData& slow = slowData_[i];
    if (slow.InUse != 0) continue;
    if (claim == 1) {
      slow.InUse = 1;
      slow.StartMinutes = slow.EndMinutes = -1;
      SetFieldText(slow.Location, "");
      std::memset(slow.SpeedsFirst, 0xFF, sizeof slow.SpeedsFirst);
      std::memset(slow.SpeedsSecond, 0xFF, sizeof slow.SpeedsSecond);
    }
    return i;
  }
  return -1;
}

void Corvane3Data::FreeSlowData(int index) {
  if (index < 0 || index >= kMaxSlowData) {
    ReportIndexError(index, "Slow order", "FreeSlowData");
    return;
  }
  if (slowData_[index].InUse == 0) {
    InternalErrorTrap(index, "Slow order index already free - FreeSlowData");
    return;
  }
  slowData_[index].InUse = 0;
}

int Corvane3Data::FindFreeTrainData() {
  for (int i = 0; i < kMaxTrains; ++i) {
    TrainData& train = trainData_[i];
    if (train.InUse != 0) continue;
    train.InUse = 1;
    train.CrewMinutesWorked = 120;
    train.EntryDirection = 0;
    train.Length = 1000;
    train.Type = 0;
    SetFieldText(train.Entrance, "");
    train.EntranceMinutes = 0xFFFF;
    SetFieldText(train.Exit, "");
    train.Byte50 = 1;
    for (auto& station : train.Stations) {
      station.Minutes = 0xFFFF;
      station.DwellSeconds = 30;
    }
    for (auto& leg : train.Multiple) {
      SetFieldText(leg.LegExit, "");
      SetFieldText(leg.NextEntrance, "");
      leg.ReentryMinutes = 0xFFFF;
      SetFieldText(leg.Text8, "");
      leg.Word19 = 0xFFFF;
      leg.Byte21 = 0;
      leg.CrewMinutes = leg.NewLength = -1;  // no new crew time, no new length
    }
    for (auto& work : train.LocalWork) {
      SetFieldText(work.AreaName, "");
      work.Minutes = 0xFFFF;
      work.DirectionAfter = 0;
      work.NewLength = -1;
    }
    train.ChangePlaceKind = 0;
    SetFieldText(train.ChangePlaceName, "");
    train.BecomesTrain = -1;
    train.BecomeMinutes = -1;
    train.SplitTrain = -1;
    train.LinkedTrain = -1;
    std::memset(train.Days, 1, sizeof train.Days);
    SetFieldText(train.TrainId, "");
    if (counts_.Words[kCountTrains] <= i) counts_.Words[kCountTrains] = i + 1;
    return i;
  }
  return -1;
}

void Corvane3Data::FreeTrainData(int index) {
  if (index < 0 || index >= kMaxTrains) {
    ReportIndexError(index, "Train", "FreeTrainData");
    return;
  }
  if (trainData_[index].InUse == 0) {
    InternalErrorTrap(index, "Train index already free - FreeTrainData");
    return;
  }
  trainData_[index].InUse = 0;
  for (StartTime& start : startTimes_) {
    if (start.InUse == 0) continue;
    for (int k = 0; k < kStartTimeTrains; ++k) {
      if (start.TrainIndex[k] == index) start.TrainIndex[k] = start.PairedIndex[k] = 0xFFFF;
    }
  }
  for (TrainData& train : trainData_) {
    if (train.InUse == 0) continue;
    if (train.BecomesTrain == index) train.BecomesTrain = -1;
    if (train.SplitTrain == index) train.SplitTrain = -1;
    if (train.LinkedTrain == index) train.LinkedTrain = -1;
  }
}

void Corvane3Data::BackupEditTables() {
  if (!editBackup_) editBackup_ = std::make_unique<EditTablesBackup>();
  EditTablesBackup& copy = *editBackup_;
  copy.Locations = orgData_;
  copy.Trains = trainData_;
  copy.Permits = permitData_;
  copy.SlowOrders = slowData_;
  copy.TrainTypes = trainTypes_;
  copy.Detectors = detectors_;
  copy.OSPoints = osData_;
  ++ChangeCount;
}

void Corvane3Data::FreeOSData(int index) {
  if (index < 0 || index >= kMaxOSData) {
    ReportIndexError(index, "OS", "FreeOSData");
    return;
  }
  if (osData_[index].InUse == 0) {
    InternalErrorTrap(index, "OS already free error - FreeOSData");
    return;
  }
  osData_[index].InUse = 0;
  ForgetResolvedNames();
}

int Corvane3Data::FindFreeTrainIconData() {
  for (int i = 0; i < kMaxTrainIcons; ++i) {
    if (trainIcons_[i].InUse != 0) continue;
    SetFieldText(trainIcons_[i].FileName, "");
    return i;
  }
  return -1;
}

int Corvane3Data::FindTrainData(std::string_view id) {
  if (id.empty() || id.size() > 10) {
    InternalErrorTrap(static_cast<int32_t>(id.size()), "Train ID has incorrect length - FindTrainData");
    return -1;
  }
  for (int i = 0; i < kMaxTrains; ++i)
    if (trainData_[i].InUse != 0 && FieldText(trainData_[i].TrainId) == id) return i;
  return -1;
}

int Corvane3Data::FindOrgData(std::string_view name, int block) {
  if (block < 0 || block >= kMaxBlocks) {
    InternalErrorTrap(block, "Block index error - FindOrgData");
    return -1;
  }
  if (name.empty() || name.size() > 4) {
    InternalErrorTrap(static_cast<int32_t>(name.size()), "Entrance/Exit name incorrect length - FindOrgData");
    return -1;
  }
  for (int i = 0; i < kMaxLocations; ++i) {
    const OrgData& org = orgData_[i];
    if (org.InUse == 1 && FieldText(org.Name) == name && org.Block == block) return i;
  }
  return -1;
}

namespace {
template <class Table, class NameOf>
int FindByName(const Table& table, std::string_view name, NameOf nameOf) {
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].InUse != 0 && nameOf(table[i]) == name) return static_cast<int>(i);
  return -1;
}
}  // namespace

int Corvane3Data::FindTrainType(std::string_view name) const {
  return FindByName(trainTypes_, name, [](const TrainType& r) { return FieldText(r.Name); });
}

int Corvane3Data::FindDetectorData(std::string_view name) const {
  return FindByName(detectors_, name, [](const DetectorData& r) { return FieldText(r.Description); });
}

int Corvane3Data::FindPlatformData(std::string_view name) const {
  return FindByName(platforms_, name, [](const PlatformData& r) { return FieldText(r.Name); });
}

int Corvane3Data::FindOSData(std::string_view name) const {
  return FindByName(osData_, name, [](const OSData& r) { return FieldText(r.Name); });
}

int Corvane3Data::OSPointOfDevice(int device) const {
  if (!device::IsDevice(device)) return -1;
  if (!osOfDeviceKnown_) {
    // The first OS point in use of each name, as FindOSData finds it. No point has an empty name, so
    // the many unnamed slots of the device tables are passed over without a lookup.
    std::unordered_map<std::string_view, int> byName;
    for (int i = kMaxOSData - 1; i >= 0; --i)
      if (osData_[i].InUse != 0 && osData_[i].Name[0] != '\0') byName[FieldView(osData_[i].Name)] = i;
    const auto pointOf = [&byName](std::string_view name) {
      if (name.empty()) return int8_t{-1};
      const auto found = byName.find(name);
      return static_cast<int8_t>(found == byName.end() ? -1 : found->second);
    };
    osOfDevice_.fill(-1);
    if (!byName.empty()) {
      for (int i = 0; i < kMaxBlocks; ++i) osOfDevice_[i] = pointOf(FieldView(blockData_[i].Name));
      for (int i = 0; i < kMaxSwitches; ++i)
        osOfDevice_[device::SwitchNumber(i)] = pointOf(FieldView(switchData_[i].Name));
      for (int i = 0; i < kMaxCrossings; ++i)
        osOfDevice_[device::DiamondNumber(i)] = pointOf(FieldView(crossData_[i].Name));
    }
    osOfDeviceKnown_ = true;
  }
  return osOfDevice_[device];
}

int Corvane3Data::DetectorOfBlock(int block, int name) const {
  if (block < 0 || block >= kMaxBlocks || name < 0 || name >= 3) return -1;
  if (!detectorsOfBlocksKnown_) {
    // The first detector in use of each description, as FindDetectorData finds it.
    std::unordered_map<std::string_view, int> byName;
    for (int i = kMaxDetectors - 1; i >= 0; --i)
      if (detectors_[i].InUse != 0) byName[FieldView(detectors_[i].Description)] = i;
    for (int b = 0; b < kMaxBlocks; ++b) {
      for (int k = 0; k < 3; ++k) {
        const auto found = byName.find(FieldView(blockData_[b].DetectorNames[k]));
        detectorOfBlock_[b][k] = static_cast<int8_t>(found == byName.end() ? -1 : found->second);
      }
    }
    detectorsOfBlocksKnown_ = true;
  }
  return detectorOfBlock_[block][name];
}

const std::vector<int>& Corvane3Data::LocationsNamed(const std::string& name) const {
  if (!locationsByNameKnown_) {
    locationsByName_.clear();
    for (int i = 0; i < kMaxLocations; ++i)
      if (orgData_[i].InUse == 1) locationsByName_[FieldText(orgData_[i].Name)].push_back(i);
    locationsByNameKnown_ = true;
  }
  static const std::vector<int> none;
  const auto found = locationsByName_.find(name);
  return found == locationsByName_.end() ? none : found->second;
}
