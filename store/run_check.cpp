#include "store/run_check.h"

#include <algorithm>
#include <cstdlib>

#include "store/corvane3_data.h"

namespace {

// -1 (none) or a slot of a table of `capacity`.
bool SlotOrNone(int32_t index, int capacity) { return index >= -1 && index < capacity; }

// A crew change place: a block, or 10000 + a platform.
constexpr int32_t kPlatformPlaces = 10000;

// A slow order's devices: blocks, or 2000 + a switch.
constexpr int32_t kSlowSwitchBase = 2000;

}  // namespace

RunCheck::RunCheck(const Corvane3Data& store, int32_t startTime, int32_t clock) : store_(store) {
  first_ = std::min<int64_t>(startTime, 0) - kLongestDelay;
  last_ = std::max<int64_t>(clock, startTime) + kLongestDelay;
}

bool RunCheck::Train(const TrainStatus& status) const {
  if (status.InUse == 0) return true;  // a free slot is never read
  for (const int32_t time : {status.HeadEventTime, status.RearEventTime, status.WaitStart, status.StandingSince,
                             status.ScheduledEntry, status.CrewExpiry, status.CrewReadyTime, status.CrewOnDuty})
    if (!Time(time)) return false;
  // Stops of 30 seconds or more and speed lost: sums of positive amounts, held at the int32 limit.
  if (status.TotalStopTime < 0 || status.TotalLostTime < 0) return false;

  for (const int32_t block :
       {status.HeadBlock, status.RearBlock, status.LimitBlock, status.StopInBlock, status.LastLocalWorkBlock})
    if (!SlotOrNone(block, kMaxBlocks)) return false;
  if (!SlotOrNone(status.TrainIndex, kMaxTrains) || !SlotOrNone(status.MergePrevious, kMaxTrainStatus) ||
      !SlotOrNone(status.MergeNext, kMaxTrainStatus) || !SlotOrNone(status.Platform, kMaxPlatforms) ||
      !SlotOrNone(status.Detector, kMaxDetectors)) {
    return false;
  }
  const int32_t crewPlace = status.CrewChangeLocation;
  if (!SlotOrNone(crewPlace, kMaxBlocks) &&
      !(crewPlace >= kPlatformPlaces && crewPlace < kPlatformPlaces + kMaxPlatforms)) {
    return false;
  }

  // The head lies in its block, or beyond either end by no more than the train's length: a head placed
  // where the rear of a train still coming onto the territory was reckoned.
  if (status.HeadBlock >= 0) {
    const int64_t length = store_.BlockDataRef(status.HeadBlock).Length;
    const int64_t train = std::llabs(int64_t{status.Length});
    const int64_t lowest = std::min<int64_t>(0, length) - train;
    const int64_t highest = std::max<int64_t>(0, length) + train;
    for (const int32_t position : {status.HeadPosition, status.PreviousHeadPosition})
      if (position < lowest || position > highest) return false;
  }
  return true;
}

bool RunCheck::StationTimes(const TrainStationTime& times) const {
  // Element by element: the packed records' arrays need not lie at their alignment.
  for (int i = 0; i < kTrainStations; ++i)
    if (!Time(times.Times[i])) return false;
  return true;
}

bool RunCheck::Block(const BlockStatus& status) const {
  if (status.InUse == 0) return true;
  if (!Time(status.PermitActiveUntil) || !Time(status.PermitPendingFrom)) return false;
  for (int i = 0; i < kBlockTrainSlots; ++i)
    if (status.Trains[i] != kEmptyTrainSlot && status.Trains[i] >= kMaxTrainStatus) return false;
  return true;
}

bool RunCheck::Permit(const PermitStatus& status) const {
  if (status.InUse == 0) return true;
  // A CTC permit's minutes of the day lie within the same reach as a simulation permit's seconds.
  for (const int32_t time : {status.RequestTime, status.StartTime, status.EndTime, status.NextActionTime})
    if (!Time(time)) return false;
  return SlotOrNone(status.PermitIndex, kMaxPermitData);
}

bool RunCheck::Slow(const SlowStatus& status) const {
  if (status.InUse == 0) return true;
  if (!Time(status.OpeningTime) || !Time(status.StartTime) || !Time(status.EndTime)) return false;
  if (!SlotOrNone(status.SlowIndex, kMaxSlowData)) return false;
  for (int i = 0; i < kSlowOrderDevices; ++i) {
    const int16_t device = status.Devices[i];
    if (device == -1) break;
    const bool block = device >= 0 && device < kMaxBlocks;
    const bool switchDevice = device >= kSlowSwitchBase && device < kSlowSwitchBase + kMaxSwitches;
    if (!block && !switchDevice) return false;
  }
  return true;
}
