// Status updaters, train slots, OS hits, device lookups, the layout grids and
// the track-cell walk.
#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>

#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/playback_format.h"
#include "store/status_codes.h"
#include "store/track_codes.h"
#include "store/train_codes.h"
#include "store/wall_clock.h"

namespace {

constexpr uint16_t kNoDevice = 0xFFFF;

// Interface device types.
constexpr int kEIOBlock = 1;
constexpr int kEIOSwitch = 2;
constexpr int kEIOSignal = 3;
constexpr int kCTCBlock = 7;

using occupancy::IsCleared;

int CountTrains(const BlockStatus& block) {
  int count = 0;
  for (int i = 0; i < kBlockTrainSlots; ++i)
    if (block.Trains[i] != kEmptyTrainSlot) ++count;
  return count;
}

bool SameTrains(const BlockStatus& a, const BlockStatus& b) {
  for (int i = 0; i < kBlockTrainSlots; ++i)
    if (a.Trains[i] != b.Trains[i]) return false;
  return true;
}

bool IsBlockNumber(int device) { return device >= 0 && device < kMaxBlocks; }

// ---------------------------------------------------------------- track walk table

struct Step {
  int8_t DX;
  int8_t DY;
};

// The neighbour codes a cell accepts on one side.
struct CodeSet {
  constexpr CodeSet(std::initializer_list<int> codes) {
    for (int code : codes) Codes[Count++] = static_cast<int8_t>(code);
  }
  bool Has(int code) const { return std::find(Codes.begin(), Codes.begin() + Count, code) != Codes.begin() + Count; }
  std::array<int8_t, 13> Codes{};
  int Count = 0;
};

struct WalkRule {
  Step Left;
  Step Right;
  int Class;
  CodeSet AcceptLeft;
  CodeSet AcceptRight;
};

// Codes not covered (0, 19-26, 31-39) have no step, class 0 and accept nothing.
constexpr WalkRule kNoWalk{{0, 0}, {0, 0}, 0, {}, {}};
constexpr WalkRule kEndCode{{0, 0}, {0, 0}, 0, {0}, {0}};  // code 40

constexpr WalkRule kStraight{
    {-1, 0}, {1, 0}, 1, {0, 1, 2, 3, 7, 8, 10, 11, 12, 13, 28, 29, 30}, {0, 1, 2, 3, 6, 9, 10, 11, 12, 13, 28, 29, 30}};
constexpr WalkRule kWalk4{{-1, 1}, {1, -1}, 1, {0, 4, 6, 17, 10, 27, 29}, {0, 4, 8, 16, 12, 27, 29}};
constexpr WalkRule kWalk5{{-1, -1}, {1, 1}, 1, {0, 5, 9, 18, 13, 27, 28}, {0, 5, 7, 14, 11, 27, 28}};
constexpr WalkRule kWalk6{{-1, 0}, {1, -1}, 1, {0, 1, 2, 3, 13, 12, 10, 11, 28, 29, 30}, {0, 4, 8, 16, 12, 27, 29}};
constexpr WalkRule kWalk7{{-1, -1}, {1, 0}, 1, {0, 5, 9, 18, 13, 27, 28}, {0, 1, 2, 3, 12, 13, 11, 10, 28, 29, 30}};
constexpr WalkRule kWalk8{{-1, 1}, {1, 0}, 1, {0, 4, 6, 17, 10, 27, 29}, {0, 1, 2, 3, 12, 13, 11, 10, 28, 29, 30}};
constexpr WalkRule kWalk9{{-1, 0}, {1, 1}, 1, {0, 1, 2, 3, 13, 12, 10, 11, 28, 29, 30}, {0, 5, 7, 14, 11, 27, 28}};
constexpr WalkRule kSwitch{
    {-1, 0}, {1, 0}, 0, {1, 2, 3, 7, 8, 10, 11, 12, 13, 28, 29, 30}, {1, 2, 3, 6, 9, 10, 11, 12, 13, 28, 29, 30}};
constexpr WalkRule kWalk14{{-1, -1}, {0, 1}, 3, {0, 5, 9, 13, 27, 28}, {0, 15, 30}};
constexpr WalkRule kWalk15{{0, -1}, {0, 1}, 1, {0, 15, 16, 17, 30}, {0, 15, 17, 16, 30}};
constexpr WalkRule kWalk16{{-1, 1}, {0, -1}, 3, {0, 4, 6, 10, 27, 29}, {0, 15, 30}};
constexpr WalkRule kWalk17{{0, 1}, {1, -1}, 2, {0, 15, 30}, {0, 4, 8, 12, 27, 29}};
constexpr WalkRule kWalk18{{0, -1}, {1, 1}, 2, {0, 15, 30}, {0, 5, 7, 11, 27, 28}};
constexpr WalkRule kWalk27{{-1, -1}, {1, 1}, 0, {5, 18, 13, 9, 27}, {5, 14, 11, 7, 27}};
constexpr WalkRule kDiamond{
    {-1, 0}, {1, 0}, 0, {1, 2, 3, 8, 7, 13, 12, 11, 10, 28, 29, 30}, {1, 2, 3, 9, 6, 13, 12, 11, 10, 28, 29, 30}};

const WalkRule& RuleOf(int code) {
  switch (code) {
    case 1:
    case 2:
    case 3:
      return kStraight;
    case 4:
      return kWalk4;
    case 5:
      return kWalk5;
    case 6:
      return kWalk6;
    case 7:
      return kWalk7;
    case 8:
      return kWalk8;
    case 9:
      return kWalk9;
    case 10:
    case 11:
    case 12:
    case 13:
      return kSwitch;
    case 14:
      return kWalk14;
    case 15:
      return kWalk15;
    case 16:
      return kWalk16;
    case 17:
      return kWalk17;
    case 18:
      return kWalk18;
    case 27:
      return kWalk27;
    case 28:
    case 29:
    case 30:
      return kDiamond;
    case 40:
      return kEndCode;
    default:
      return kNoWalk;
  }
}

// Codes 1, 2 and 3 are their own class.
int ClassOf(int code) { return track::IsStraight(code) ? code : RuleOf(code).Class; }

bool InsideGrid(int x, int y) { return x >= 0 && x < kGridColumns && y >= 0 && y < kGridRows; }

// The device type of each track code (0 plain track, 1 switch, 2 signal, 3 none, 4 and 5 as the painter uses them).
constexpr int kDeviceTypes[kTrackCodes] = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 2, 2,
                                           2, 2, 4, 4, 4, 4, 5, 5, 5, 5, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};

}  // namespace

// ---------------------------------------------------------------- status updaters

void Corvane3Data::UpdateBlockStatus(int index, const BlockStatus& record, int forceTrainRepaint, int noOutput) {
  if (index < 0 || index >= kMaxBlocks) {
    ReportIndexError(index, "Block", "UpdateBlockStatus");
    return;
  }
  const BlockStatus old = blockStatus_[index];

  bool codeChanged = old.Occupancy != record.Occupancy;
  if (IsCleared(record.Occupancy)) {
    // A cleared block reports how far it is cleared ahead; without that value there is nothing to send yet.
    if (record.ClearedValue != old.ClearedValue && record.ClearedValue != -1) codeChanged = true;
    if (record.ClearedValue == -1) codeChanged = false;
  }
  bool trainsChanged = forceTrainRepaint == 1 || !SameTrains(old, record);
  const int oldTrains = CountTrains(old);
  const int newTrains = CountTrains(record);
  // Occupied before the train is entered in the block: the update that enters it reports the block.
  const bool suppress = occupancy::IsOccupied(record.Occupancy) && newTrains == 0;
  if (old.InUse == 0) trainsChanged = false;

  blockStatus_[index] = record;
  NoteRecordWritten<BlockStatus>(index);

  if (trainsChanged) {
    if (oldTrains > 0) DrawBlock(index, oldTrains);
    if (newTrains > 0) InvalidateDevice(index, 0, newTrains);
  }
  if ((trainsChanged || codeChanged) && !suppress && noOutput == 0) {
    if (options_.ExternalIOOn == 1) interface_->EIOBuildXferOutMsg(kEIOBlock, index);
    if (options_.CTCControlOn == 1) interface_->CTCBuildXferOutMsg(kCTCBlock, index);
  }
  RecordPlayback(PlaybackKind::BlockStatus, index, &blockStatus_[index], sizeof(BlockStatus));
}

void Corvane3Data::UpdateSwitchStatus(int index, const SwitchStatus& record, int noOutput) {
  if (index < 0 || index >= kMaxSwitches) {
    ReportIndexError(index, "Switch", "UpdateSwitchStatus");
    return;
  }
  const SwitchStatus& old = switchStatus_[index];
  const bool changed = old.Position != record.Position || old.Occupancy != record.Occupancy ||
                       old.Refused != record.Refused || (old.FailureCount != -1 && record.FailureCount == -1);
  switchStatus_[index] = record;
  NoteRecordWritten<SwitchStatus>(index);
  NoteSwitchTimedWork(index);
  RecordPlayback(PlaybackKind::SwitchStatus, index, &switchStatus_[index], sizeof(SwitchStatus));
  if (changed && noOutput == 0) interface_->EIOBuildXferOutMsg(kEIOSwitch, index);
}

void Corvane3Data::UpdateSignalStatus(int index, const SignalStatus& record, int noOutput) {
  if (index < 0 || index >= kMaxSignals) {
    ReportIndexError(index, "Signal", "UpdateSignalStatus");
    return;
  }
  const SignalStatus& old = signalStatus_[index];
  const bool changed = old.Aspect != record.Aspect || old.Fleet != record.Fleet ||
                       old.RefusalCount != record.RefusalCount ||
                       (old.FailureCount < 0xFF && record.FailureCount == 0xFF);
  signalStatus_[index] = record;
  NoteRecordWritten<SignalStatus>(index);
  NoteSignalTimedWork(index);
  RecordPlayback(PlaybackKind::SignalStatus, index, &signalStatus_[index], sizeof(SignalStatus));
  if (changed && noOutput == 0) interface_->EIOBuildXferOutMsg(kEIOSignal, index);
}

void Corvane3Data::NoteSignalTimedWork(int index) {
  const SignalStatus& s = signalStatus_[index];
  SetSlotBit(timedSignals_, index, s.Fleet != 0 || s.RunningTimeEnd != -1 || s.MaintainerFixTime != -1);
}

void Corvane3Data::NoteSwitchTimedWork(int index) {
  const SwitchStatus& s = switchStatus_[index];
  SetSlotBit(timedSwitches_, index, s.MaintainerFixTime != -1 || s.CrewThrowRequest == 1 || s.CrewThrowTime != -1);
}

void Corvane3Data::NoteTimedWorkOfAllDevices() {
  for (int i = 0; i < kMaxSignals; ++i) NoteSignalTimedWork(i);
  for (int i = 0; i < kMaxSwitches; ++i) NoteSwitchTimedWork(i);
}

int Corvane3Data::BlockTrainCount(int block) const { return CountTrains(blockStatus_[block]); }

void Corvane3Data::UpdateTrainStatus(int index, const TrainStatus& record, int allowUnused, int recordPlayback) {
  if (index < 0 || index >= kMaxTrainStatus) {
    ReportIndexError(index, "Train status", "UpdateTrainStatus");
    return;
  }
  TrainStatus& slot = trainStatus_[index];
  if (allowUnused == 0 && slot.InUse != 1) {
    InternalErrorTrap(index, "Trying to update unused train status - UpdateTrainStatus");
    return;
  }
  const uint8_t oldInUse = slot.InUse;
  const uint8_t oldState = slot.State;
  const uint8_t oldReason = slot.Reason;
  const int16_t oldSpeed = slot.Speed;
  const int16_t oldHead = slot.HeadBlock;
  const int16_t oldRear = slot.RearBlock;

  slot = record;
  if (slot.Speed == 0) slot.RearEventTime = -1;
  NoteTrainSlot(index);

  if (slot.State != oldState || slot.Reason != oldReason || slot.Speed != oldSpeed || slot.HeadBlock != oldHead ||
      slot.RearBlock != oldRear) {
    if (lists_->IsListOpen(ListWindow::ActiveTrains)) ActiveListDirty = 1;
    const int head = slot.HeadBlock;
    const int rear = slot.RearBlock;
    if (IsBlockNumber(head)) InvalidateDevice(head, 0, BlockTrainCount(head));
    if (rear != head && IsBlockNumber(rear)) InvalidateDevice(rear, 0, BlockTrainCount(rear));
    if (oldRear != -1 && oldRear != rear && IsBlockNumber(oldRear)) {
      InvalidateDevice(oldRear, 0, BlockTrainCount(oldRear));
    }
  }
  if (allowUnused == 1 && index >= counts_.Words[kCountRunningTrains]) counts_.Words[kCountRunningTrains] = index + 1;
  const bool cameIntoUse = oldInUse != 1 && slot.InUse == 1;
  if (cameIntoUse ||
      (slot.State != oldState && (slot.State == TrainState::Scheduled || oldState == TrainState::Scheduled))) {
    RefreshArrivalWindow(FieldText(slot.Entrance));
  }
  if (recordPlayback == 1) RecordPlayback(PlaybackKind::TrainStatus, index, &slot, sizeof(TrainStatus));
  if (options_.CTCControlOn == 1) RefreshAllWindows();
}

// ---------------------------------------------------------------- train slots

void Corvane3Data::NoteTrainSlot(int index) {
  const TrainStatus& t = trainStatus_[index];
  MarkTrainSlotWritten(index);
  const bool live = t.InUse == 1 && t.State != TrainState::Gone && t.State != TrainState::Became;
  SetSlotBit(liveTrains_, index, live);
  SetSlotBit(rearEventTrains_, index, live && t.RearEventTime != -1);
  SetSlotBit(usedTrains_, index, t.InUse == 1);
  const bool wasGone = SlotBitIn(goneTrains_, index);
  const bool gone = t.State == TrainState::Gone;
  SetSlotBit(goneTrains_, index, gone);
  const int32_t leftAt = trainEvents_[index].Head;
  const int32_t head = t.HeadEventTime;
  if (wasGone != gone || (gone && leftAt != head)) {
    if (wasGone) goneInOrder_.erase({leftAt, index});
    if (gone) goneInOrder_.insert({head, index});
  }
  trainEvents_[index] = {head, t.RearEventTime};
  NoteSlotEntry(index, SlotEntry{t.InUse, t.TrainIndex, t.ScheduledEntry});
}

void Corvane3Data::NoteSlotEntry(int index, const SlotEntry& entry) {
  const SlotEntry old = slotEntries_[index];
  if (old == entry) return;
  slotEntries_[index] = entry;
  const auto counted = [](const SlotEntry& e) { return e.InUse == 1 && e.Schedule >= 0 && e.Schedule < kMaxTrains; };
  if (counted(old)) {
    const ScheduledSlot gone{old.Schedule, old.Entry, index};
    scheduledSlots_.erase(gone);
    if (latestScheduledSlot_[old.Schedule] == gone) {
      // The next latest of its schedule, if it has another.
      auto it = scheduledSlots_.lower_bound({old.Schedule + 1, INT32_MIN, INT_MIN});
      latestScheduledSlot_[old.Schedule] = ScheduledSlot{};
      if (it != scheduledSlots_.begin() && (--it)->Schedule == old.Schedule) latestScheduledSlot_[old.Schedule] = *it;
    }
  }
  if (counted(entry)) {
    const ScheduledSlot added{entry.Schedule, entry.Entry, index};
    scheduledSlots_.insert(added);
    ScheduledSlot& latest = latestScheduledSlot_[entry.Schedule];
    if (latest.Slot < 0 || latest < added) latest = added;
  }
}

int32_t Corvane3Data::LatestScheduledEntry(int schedule) const {
  if (schedule < 0 || schedule >= kMaxTrains) return INT32_MIN;
  // Only slots below the running count are trains of the run: a later slot (a damaged saved run's)
  // sends the search on to the schedule's earlier entries.
  const int running = std::clamp(+counts_.Words[kCountRunningTrains], 0, kMaxTrainStatus);
  const ScheduledSlot& latest = latestScheduledSlot_[schedule];
  if (latest.Slot < 0) return INT32_MIN;
  if (latest.Slot < running) return latest.Entry;
  for (auto it = scheduledSlots_.find(latest); it != scheduledSlots_.begin();) {
    --it;
    if (it->Schedule != schedule) break;
    if (it->Slot < running) return it->Entry;
  }
  return INT32_MIN;
}

namespace {

// A train status slot as clearing leaves it.
TrainStatus ClearedTrainStatus(const TrainStatus& old) {
  // The crew expiry (+91) and the last three bytes are not reset.
  TrainStatus t{};
  t.CrewExpiry = old.CrewExpiry;
  std::memcpy(t.Bytes165, old.Bytes165, sizeof t.Bytes165);
  t.TrainIndex = t.MergePrevious = t.MergeNext = -1;
  t.Reason = 16;
  t.HeadDirection = t.RearDirection = 1;
  t.HeadBlock = t.RearBlock = -1;
  t.HeadEventTime = t.RearEventTime = t.WaitStart = -1;
  t.ReverseSpeed = t.SpeedCap = t.LimitBlock = -1;
  t.StandingSince = t.ScheduledEntry = -1;
  t.CrewChangeLocation = -1;
  t.Word99 = t.Word101 = t.Word115 = -1;
  t.Platform = t.Detector = -1;
  t.BecomeDue = -1;
  t.StopInBlock = -1;
  t.CrewReadyTime = -1;
  t.LastLocalWorkBlock = -1;
  t.CrewOnDuty = -1;
  t.NextStartSpeed = -1;
  return t;
}

}  // namespace

void Corvane3Data::ClearTrainStatus(int index) {
  if (index < 0 || index >= kMaxTrainStatus) {
    ReportIndexError(index, "Train status", "ClearTrainStatus");
    return;
  }
  trainStatus_[index] = ClearedTrainStatus(trainStatus_[index]);
  for (int k = 0; k < kTrainStations; ++k) trainStationTimes_[index].Times[k] = -1;
  trainStops_[index] = TrainStop{};
  NoteTrainSlot(index);
  MarkTrainSlotCleared(index);
}

bool Corvane3Data::TrainSlotCleared(int index) const {
  // Clearing keeps the crew expiry and the last three bytes: every other byte is that of a cleared slot.
  static const TrainStatus cleared = ClearedTrainStatus(TrainStatus{});
  constexpr size_t kCrew = offsetof(TrainStatus, CrewExpiry), kAfterCrew = kCrew + sizeof(int32_t);
  constexpr size_t kTail = offsetof(TrainStatus, Bytes165);
  static_assert(kAfterCrew <= kTail && kTail + sizeof(TrainStatus::Bytes165) == sizeof(TrainStatus));
  const auto* slot = reinterpret_cast<const uint8_t*>(&trainStatus_[index]);
  const auto* image = reinterpret_cast<const uint8_t*>(&cleared);
  if (std::memcmp(slot, image, kCrew) != 0 ||
      std::memcmp(slot + kAfterCrew, image + kAfterCrew, kTail - kAfterCrew) != 0)
    return false;
  static const TrainStationTime noTimes = [] {
    TrainStationTime times;
    std::memset(&times, 0xFF, sizeof times);  // every time -1
    return times;
  }();
  static const TrainStop noStop{};
  return std::memcmp(&noTimes, &trainStationTimes_[index], sizeof noTimes) == 0 &&
         std::memcmp(&noStop, &trainStops_[index], sizeof noStop) == 0;
}

int Corvane3Data::FindFreeTrainStatus() {
  // The first slot not in use.
  int found = -1;
  for (size_t word = 0; word < usedTrains_.size() && found < 0; ++word) {
    const uint64_t free = ~usedTrains_[word];
    if (free != 0) found = static_cast<int>(word * 64) + std::countr_zero(free);
  }
  if (found >= kMaxTrainStatus) found = -1;
  if (found < 0) {
    // All in use: take the train that left the territory longest ago (the first of equals); one that
    // left at 999999 or later is never taken.
    if (goneInOrder_.empty() || goneInOrder_.begin()->first >= 999999) return -1;
    found = goneInOrder_.begin()->second;
  }
  ClearTrainStatus(found);
  // A slot handed out again must not inherit its former train's OS report, wherever in the ring those
  // hits lie. A recording carries the clearing as a hit with no device, so that its replay clears too.
  if (ClearTrainOSHits(found)) {
    const OSHit cleared = OSHitsClearedRecord(found);
    RecordPlayback(PlaybackKind::OSHit, 0, &cleared, sizeof cleared);
  }
  return found;
}

void Corvane3Data::FreeTrainStatus(int index) {
  if (index < 0 || index >= kMaxTrainStatus) {
    ReportIndexError(index, "Train status", "FreeTrainStatus");
    return;
  }
  if (trainStatus_[index].InUse == 0) {
    InternalErrorTrap(index, "Trying to free train status that is free - FreeTrainStatus");
    return;
  }
  trainStatus_[index].InUse = 0;
  NoteTrainSlot(index);
  if (index + 1 == counts_.Words[kCountRunningTrains]) --counts_.Words[kCountRunningTrains];
  RecordPlayback(PlaybackKind::TrainStatus, index, &trainStatus_[index], sizeof(TrainStatus));
}

// ---------------------------------------------------------------- entrance/exit off-times

void Corvane3Data::UpdateTrainOffTime(int org, int32_t time) {
  if (org < 0 || org >= kMaxLocations) {
    ReportIndexError(org, "Entrance/Exit", "UpdateTrainOffTime");
    return;
  }
  OrgStatus& status = orgStatus_[org];
  for (int i = 3; i > 0; --i) status.OffTimes[i] = status.OffTimes[i - 1];
  status.OffTimes[0] = time;
  ++status.OffCount;
  RecordPlayback(PlaybackKind::OrgStatus, org, &status, sizeof(OrgStatus));
}

int32_t Corvane3Data::NextTrainOffTime(int org) const {
  if (org < 0 || org >= kMaxLocations) {
    ReportIndexError(org, "Entrance/Exit", "NextTrainOffTime");
    return -1;
  }
  const OrgData& location = orgData_[org];
  const int32_t count = orgStatus_[org].OffCount;
  if (options_.YardCapacityLimitActive == 0 || location.CapacityLimited == 0 || location.Capacity < 1 || count < 1)
    return -1;
  const int64_t interval = 1440 / location.Capacity;
  const int64_t elapsed = (static_cast<int64_t>(SimClock) - SimStartTime) / 60;
  if (elapsed / count >= interval) return -1;
  const int64_t next = SimStartTime + count * interval * 60;
  return static_cast<int32_t>(std::min<int64_t>(next, INT32_MAX));
}

// ---------------------------------------------------------------- OS hits

void Corvane3Data::CheckOSHits(int device, int train) {
  if (!device::IsDevice(device)) {
    InternalErrorTrap(device, "Device index error - CheckOSHits");
    return;
  }
  if (train < 0 || train >= kMaxTrainStatus) {
    InternalErrorTrap(train, "Train index error - CheckOSHits");
    return;
  }
  const int os = OSPointOfDevice(device);
  if (os < 0 || trainStops_[train].OSRecorded[os] == 1) return;
  TrainStop stops = trainStops_[train];
  stops.OSRecorded[os] = 1;
  UpdateTrainStop(train, stops);

  int32_t minutes = SimClock / 60;
  if (options_.CTCControlOn == 1) {
    const std::time_t now = WallClockNow();
    std::tm local{};
    localtime_r(&now, &local);
    minutes = local.tm_hour * 60 + local.tm_min;
  }
  const int hit = OSHitCount >= 0 && OSHitCount < kMaxOSHits ? OSHitCount : 0;
  osHits_[hit] = OSHit{static_cast<uint16_t>(device), static_cast<uint16_t>(train), minutes};
  osHitsReach_ = std::max(osHitsReach_, hit + 1);
  NoteOSHit(hit);
  RecordPlayback(PlaybackKind::OSHit, hit, &osHits_[hit], sizeof(OSHit));
  OSHitCount = (hit + 1) % kMaxOSHits;
  ++OSHitChanges;
}

void Corvane3Data::AddNewOSHit(int device, int train, int32_t timeSeconds) {
  if (!device::IsDevice(device)) {
    InternalErrorTrap(device, "Device index error - AddNewOSHit");
    return;
  }
  if (train < 0 || train >= kMaxTrainStatus) {
    InternalErrorTrap(train, "Train index error - AddNewOSHit");
    return;
  }
  const int hit = OSHitCount >= 0 && OSHitCount < kMaxOSHits ? OSHitCount : 0;
  osHits_[hit] = OSHit{static_cast<uint16_t>(device), static_cast<uint16_t>(train), timeSeconds / 60};
  osHitsReach_ = std::max(osHitsReach_, hit + 1);
  NoteOSHit(hit);
  RecordPlayback(PlaybackKind::OSHit, hit, &osHits_[hit], sizeof(OSHit));
  OSHitCount = (hit + 1) % kMaxOSHits;
  ++OSHitChanges;
}

void Corvane3Data::NoteOSHit(int index) {
  const OSHit& hit = osHits_[index];
  if (!osHitStretchesKnown_ || hit.Device == kNoDevice || hit.TrainSlot >= kMaxTrainStatus) return;
  OSHitStretch& stretch = osHitStretches_[hit.TrainSlot];
  stretch.First = std::min(stretch.First, index);
  stretch.Last = std::max(stretch.Last, index);
}

Corvane3Data::OSHitStretch Corvane3Data::OSHitStretchOf(int train) {
  if (!osHitStretchesKnown_) {
    osHitStretches_.fill(OSHitStretch{});
    osHitStretchesKnown_ = true;
    for (int i = 0; i < osHitsReach_; ++i) NoteOSHit(i);
  }
  // A slot number no train status has (a damaged recording's) can only be found by walking the ring.
  if (train < 0 || train >= kMaxTrainStatus) return {0, osHitsReach_ - 1};
  return {osHitStretches_[train].First, std::min(osHitStretches_[train].Last, osHitsReach_ - 1)};
}

bool Corvane3Data::ClearTrainOSHits(int train) {
  const OSHitStretch stretch = OSHitStretchOf(train);
  bool any = false;
  for (int i = stretch.First; i <= stretch.Last; ++i) {
    OSHit& hit = osHits_[i];
    if (hit.TrainSlot != train || hit.Device == kNoDevice) continue;
    hit.Device = kNoDevice;
    any = true;
  }
  if (train >= 0 && train < kMaxTrainStatus) osHitStretches_[train] = OSHitStretch{};
  if (any) ++OSHitChanges;
  return any;
}

bool Corvane3Data::RelinkTrainOSHits(int fromTrain, int toTrain) {
  if (fromTrain < 0 || fromTrain >= kMaxTrainStatus || toTrain < 0 || toTrain >= kMaxTrainStatus) {
    ReportIndexError(fromTrain < 0 || fromTrain >= kMaxTrainStatus ? fromTrain : toTrain, "Train status",
                     "RelinkTrainOSHits");
    return false;
  }
  if (fromTrain == toTrain) return false;
  const int count = std::clamp(OSHitCount, 0, kMaxOSHits);
  const OSHitStretch stretch = OSHitStretchOf(fromTrain);
  bool any = false;
  for (int i = std::max(stretch.First, 0); i < std::min(count, stretch.Last + 1); ++i) {
    OSHit& hit = osHits_[i];
    if (hit.Device == kNoDevice || hit.TrainSlot != fromTrain) continue;
    hit.TrainSlot = static_cast<uint16_t>(toTrain);
    NoteOSHit(i);
    any = true;
  }
  if (!any) return false;
  ++OSHitChanges;
  const OSHit moved = OSHitsMovedRecord(fromTrain, toTrain);
  RecordPlayback(PlaybackKind::OSHit, 0, &moved, sizeof moved);
  return true;
}

void Corvane3Data::ClearOSHits() {
  OSHitCount = 0;
  // Past the reach every hit was cleared already and nothing wrote it since.
  for (int i = 0; i < osHitsReach_; ++i) osHits_[i].Device = kNoDevice;
  osHitsReach_ = 0;
  osHitStretches_.fill(OSHitStretch{});
  osHitStretchesKnown_ = true;
  ++OSHitChanges;
}

void Corvane3Data::SetOSHitCount(int32_t count) {
  // The count comes from saved simulations and recordings: it must index the ring.
  if (count < 0 || count >= kMaxOSHits) {
    ReportIndexError(count, "OS Hit", "SetOSHitCount");
    return;
  }
  OSHitCount = count;
  ++OSHitChanges;
}

// ---------------------------------------------------------------- device lookups

int Corvane3Data::GetDeviceStatus(int device) const {
  if (!device::IsDevice(device)) {
    const_cast<Corvane3Data*>(this)->InternalErrorTrap(device, "Device index error - GetDeviceStatus");
    return 0;
  }
  return GetDevicePaintStatus(device);
}

int Corvane3Data::GetDevicePaintStatus(int device) const {
  if (!device::IsDevice(device)) {
    const_cast<Corvane3Data*>(this)->InternalErrorTrap(device, "Device index error - GetDevicePaintStatus");
    return 0;
  }
  if (device < device::kSwitchBase) {
    const BlockStatus& block = blockStatus_[device];
    return block.InUse == 0 ? -1 : block.Occupancy;
  }
  if (device < device::kSignalBase) {
    const int i = device::SwitchIndex(device);
    return switchData_[i].InUse == 0 ? -1 : static_cast<int8_t>(switchStatus_[i].Occupancy);
  }
  if (device < device::kDiamondBase) {
    const int i = device::SignalIndex(device);
    return signalData_[i].InUse == 0 ? -1 : signalStatus_[i].Aspect;
  }
  return -1;
}

int Corvane3Data::GetNoPaintStatus(int device) const {
  if (!device::IsDevice(device)) {
    const_cast<Corvane3Data*>(this)->InternalErrorTrap(device, "Device index error - GetNoPaintStatus");
    return 0;
  }
  if (device < device::kSwitchBase) return blockStatus_[device].InUse != 0 && blockStatus_[device].Highlight != 0;
  if (device < device::kSignalBase) {
    const int i = device::SwitchIndex(device);
    return switchData_[i].InUse != 0 && switchStatus_[i].Highlight != 0;
  }
  return 0;
}

int Corvane3Data::GetDeviceType(int code) const {
  if (code < 0 || code >= kTrackCodes) {
    const_cast<Corvane3Data*>(this)->InternalErrorTrap(code, "Code error - GetDeviceType");
    return 3;
  }
  return kDeviceTypes[code];
}

int Corvane3Data::GetCrossRoute(int diamond, int device) const {
  auto* self = const_cast<Corvane3Data*>(this);
  if (diamond < 0 || diamond >= kMaxCrossings) {
    self->InternalErrorTrap(diamond, "Diamond index error - GetCrossRoute");
    return 0;
  }
  if (!device::IsDevice(device)) {
    self->InternalErrorTrap(device, "Device number error - GetCrossRoute");
    return 0;
  }
  const CrossData& cross = crossData_[diamond];
  for (int leg = 0; leg < 4; ++leg)
    if (cross.Legs[leg] == device) return leg < 2 ? 0 : 1;
  self->InternalErrorTrap(device, "Diamond link error - GetCrossRoute");
  return 0;
}

// ---------------------------------------------------------------- layout grids

bool Corvane3Data::GridCellValid(int x, int y, bool pause) const {
  if (InsideGrid(x, y)) return true;
  auto* self = const_cast<Corvane3Data*>(this);
  if (pause) {
    // The pause stays on: the dispatcher restarts the run once the layout has been looked at.
    self->Run.SimPaused = 1;
    self->shell_->ShowStatusText(StatusPane::RunState, "Stop");
  }
  char text[96];
  std::snprintf(text, sizeof text, "There is an internal grid violation, X = %d  Y = %d", x, y);
  self->ShowMessage(text, MessageIcon::Error);
  return false;
}

void Corvane3Data::UpdateGridTrack(int x, int y, int16_t code) {
  if (GridCellValid(x, y, true)) GridTrack[x * kGridRows + y] = code;
}

void Corvane3Data::UpdateGridDevice(int x, int y, int16_t device) {
  if (GridCellValid(x, y, true)) GridDevice[x * kGridRows + y] = device;
}

// ---------------------------------------------------------------- track-cell walk

namespace {

// One step from `cell` to its left or right neighbour along the cell's own track code.
TrackCell WalkStep(const Corvane3Data& store, TrackCell cell, bool right) {
  const int code = store.GetGridTrack(cell.X, cell.Y) & ~0x80;
  const WalkRule& rule = RuleOf(code);
  const Step step = right ? rule.Right : rule.Left;
  const int x = cell.X + step.DX;
  const int y = cell.Y + step.DY;
  if (!InsideGrid(x, y)) {
    // The track leaves the grid here: treat it as the grid's edge.
    cell.Connection = 0;
    cell.NeighbourCode = 0;
    return cell;
  }
  cell.X = static_cast<int16_t>(x);
  cell.Y = static_cast<int16_t>(y);
  cell.DX = step.DX;
  cell.DY = step.DY;
  const int neighbour = store.GetGridTrack(x, y);
  cell.NeighbourCode = static_cast<int16_t>(neighbour);
  cell.Connection =
      static_cast<int16_t>((right ? rule.AcceptRight : rule.AcceptLeft).Has(neighbour) ? ClassOf(neighbour) : 5);
  return cell;
}

}  // namespace

TrackCell Corvane3Data::GetLeftTrackCell(TrackCell cell) const {
  if (cell.X <= 0 || cell.Y <= 0 || !InsideGrid(cell.X, cell.Y)) {
    cell.Connection = 0;
    cell.NeighbourCode = 0;
    return cell;
  }
  return WalkStep(*this, cell, false);
}

TrackCell Corvane3Data::GetRightTrackCell(TrackCell cell) const {
  if (cell.X >= kGridColumns - 1 || cell.Y >= kGridRows - 1 || !InsideGrid(cell.X, cell.Y)) {
    cell.Connection = 0;
    cell.NeighbourCode = 0;
    return cell;
  }
  return WalkStep(*this, cell, true);
}
