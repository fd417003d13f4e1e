// Running speed: the path check that every movement decision asks, the start
// speed of a stopped train and the unit arithmetic of times, lengths and speeds.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/engine.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/train_codes.h"

namespace {

bool EnglishUnits(const Corvane3Data& store) { return store.TerritoryOptionsRef().Units == 1; }

using device::kDiamondBase;
using device::kSwitchBase;
constexpr int kHelperKind = 4;
constexpr int16_t kNoLimit = 1000;

bool ValidType(int type) { return type >= 0 && type < kMaxTrainTypes; }

bool IsHelperType(const Corvane3Data& store, int type) {
  return ValidType(type) && store.TrainTypeRef(type).Kind == kHelperKind;
}

// Whether a train that needs a helper has one: a train coupled behind it
// (the whole chain) or its split partner of the helper kind.
bool HasHelper(const Corvane3Data& store, const TrainStatus& train) {
  int next = train.MergeNext;
  // Bounded: a damaged chain that loops must not hang the tick.
  for (int steps = 0; next >= 0 && next < kMaxTrainStatus && steps < kMaxTrainStatus; ++steps) {
    const TrainStatus coupled = store.GetTrainStatus(next);
    if (IsHelperType(store, coupled.Type)) return true;
    next = coupled.MergeNext;
  }
  if (train.TrainIndex >= 0 && train.TrainIndex < kMaxTrains) {
    const int partner = store.TrainDataRef(train.TrainIndex).SplitTrain;
    if (partner >= 0 && partner < kMaxTrains && IsHelperType(store, store.TrainDataRef(partner).Type)) return true;
  }
  return false;
}

}  // namespace

int16_t Engine::SpeedInUnits(int milesPerHour) {
  if (EnglishUnits(Store())) return static_cast<int16_t>(milesPerHour);
  return static_cast<int16_t>(milesPerHour * 10 / 6);
}

int32_t Engine::TravelTime(int speed, int32_t length) {
  if (speed < 1) speed = SpeedInUnits(10);
  // Inches (or fiftieths of a metre) per second against the same small unit
  // of distance, truncated at every step. A length read from a file may be
  // large: the distance is widened so that it cannot overflow.
  int64_t rate, distance;
  if (EnglishUnits(Store())) {
    rate = int64_t{speed} * 63360 / 3600;
    distance = int64_t{length} * 12;
  } else {
    rate = int64_t{speed} * 50000 / 3600;
    distance = int64_t{length} * 50;
  }
  if (rate < 1) rate = 1;
  return static_cast<int32_t>(
      std::clamp<int64_t>(distance / rate, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void Engine::CheckPathAhead(PathCheckResult& out, int train, std::span<const int32_t> ids,
                            std::span<const int32_t> dirs, int firstEntry, int countFirstEntry,
                            int startFromGivenBlock) {
  Corvane3Data& store = Store();
  PathCheckResult result;
  if (train < 0 || train >= kMaxTrainStatus) {
    store.InternalErrorTrap(train, "Train index error - CheckPathAhead");
    out = result;
    return;
  }
  const TrainStatus& status = store.TrainStatusRef(train);
  const int type = status.Type;  // an invalid type finds no speed in any table
  const bool passRed = status.PassRedPermission != 0;
  const size_t entries = std::min({ids.size(), dirs.size(), static_cast<size_t>(kPathEntries)});

  int16_t switchLimit = kNoLimit;
  int cleared = 0;
  bool blockedAtDiamond = false;
  if (startFromGivenBlock == 1 && entries > 0) {
    result.StopBlock = result.NextBlock = static_cast<int16_t>(ids[0]);
    result.NextBlockDirection = static_cast<uint8_t>(dirs[0]);
    cleared = 1;
  }

  for (size_t i = firstEntry < 0 ? 0 : static_cast<size_t>(firstEntry); i < entries && ids[i] != -1; ++i) {
    const int32_t device = ids[i];
    if (device >= 0 && device < kMaxBlocks) {
      const BlockData& block = store.BlockDataRef(device);
      if (block.InUse == 0 || block.PassThrough == 1) continue;
      if (result.NextBlock == -1) {
        result.NextBlock = static_cast<int16_t>(device);
        result.NextBlockDirection = static_cast<uint8_t>(dirs[i]);
      }
      if (countFirstEntry != 1 && i == 0) continue;
      if (passRed && result.StopBlock == -1) result.StopBlock = static_cast<int16_t>(device);
      const int16_t wanted = static_cast<int16_t>(occupancy::Cleared(dirs[i]));
      if (store.BlockStatusRef(device).Occupancy != wanted) {
        if (cleared == 0) result.RouteCleared = 0;
        break;
      }
      if (result.StopBlock == -1) result.StopBlock = static_cast<int16_t>(device);
      ++cleared;
      if (result.PlatformDistance == -1 && block.PlatformName[0] != '\0') {
        const int platform = store.FindPlatformData(FieldText(block.PlatformName));
        if (platform >= 0 && platform < kTrainStations && store.GetTrainStop(train).Stops[platform] == 0 &&
            store.GetTrainStationTime(train).Times[platform] != -1)
          result.PlatformDistance = static_cast<int16_t>(cleared);
      }
    } else if (device >= kSwitchBase && device < kSwitchBase + kMaxSwitches) {
      if (result.StopBlock != -1) continue;
      const int index = device - kSwitchBase;
      const SwitchStatus sw = store.GetSwitchStatus(index);
      if (sw.Position == 1 && ValidType(type)) {
        const int16_t diverging = store.SwitchDataRef(index).DivergingSpeed[type];
        if (diverging < switchLimit) switchLimit = diverging;
      }
      // A crew sent to throw the switch by hand: trains pass it at restricted speed.
      if (sw.CrewThrowRequest == 1) {
        const int16_t restricted = SpeedInUnits(10);
        if (restricted < switchLimit) switchLimit = restricted;
        result.RestrictedSwitch = 1;
      }
    } else if (device >= kDiamondBase && device < kDiamondBase + kMaxCrossings) {
      if (result.StopBlock != -1 || i == 0) continue;
      const int diamond = device - kDiamondBase;
      const int route = store.GetCrossRoute(diamond, ids[i - 1]);
      const int16_t other = store.GetCrossStatus(diamond).Occupancy[route == 0 ? 1 : 0];
      if (other == 3 || other == 4) {
        blockedAtDiamond = true;
        break;
      }
    }
  }

  const bool stopped = (cleared == 0 && (!passRed || blockedAtDiamond)) || (passRed && result.NextBlock == -1) ||
                       result.StopBlock < 0 || result.StopBlock >= kMaxBlocks;
  if (!stopped) {
    const BlockData& stop = store.BlockDataRef(result.StopBlock);
    const int dir = result.NextBlockDirection == 0 ? 0 : 1;
    const int16_t first = ValidType(type) ? stop.SpeedOneClear[dir][type] : 0;
    const int16_t second = ValidType(type) ? stop.SpeedTwoClear[dir][type] : 0;
    const int16_t third = ValidType(type) ? stop.SpeedMax[dir][type] : 0;
    const int count = result.PlatformDistance != -1 ? result.PlatformDistance : cleared;
    if (count == 0)
      result.AspectSpeed = status.State == TrainState::Leaving ? first : SpeedInUnits(10);
    else
      result.AspectSpeed = count == 1 ? first : count == 2 ? second : third;
    result.FirstTableSpeed = first != 0 ? first : second != 0 ? second : third;
    result.MaximumSpeed = third;

    int16_t allowed = result.AspectSpeed;
    if (switchLimit < allowed) {
      allowed = switchLimit;
      result.SwitchLimited = 1;
    }
    if (status.Reversing != 0 && ValidType(type)) {
      const int16_t reverse = store.TrainTypeRef(type).ReverseSpeed;
      if (reverse < allowed) allowed = reverse;
    }
    result.AtMaximum = result.MaximumSpeed <= allowed ? 1 : 0;
    if (ValidType(type)) {
      const int16_t slow = store.BlockStatusRef(result.StopBlock).SlowSpeeds[dir][type];
      if (slow != -1 && slow < allowed) {
        allowed = slow;
        result.AtMaximum = 1;
        result.MaximumSpeed = result.AspectSpeed = slow;
      }
    }
    if (result.PlatformDistance != -1) {
      result.MaximumSpeed = allowed;
      result.AtMaximum = 1;
    }

    result.NominalSpeed = allowed;
    int32_t running = allowed + (int32_t{status.PerformancePercent} - 100) * allowed / 100;
    if (running != 0 && running < 1) running = 1;
    if (running > INT16_MAX) running = INT16_MAX;
    allowed = static_cast<int16_t>(running);
    if (status.SpeedCap >= 0 && status.SpeedCap < allowed) allowed = status.SpeedCap;

    if (store.OptionDataRef().HelperRequirementActive == 1 && ValidType(type) && stop.HelperRequired[dir][type] == 1 &&
        !HasHelper(store, status)) {
      allowed = 0;
      result.WaitingForHelper = 1;
    }
    result.AllowedSpeed = allowed;
  }
  out = result;
}

int16_t Engine::RestartSpeed(int train) {
  Corvane3Data& store = Store();
  PathCheckResult result;
  int16_t before = 0;
  if (train >= 0 && train < kMaxTrainStatus) {
    const TrainStatus status = store.GetTrainStatus(train);
    before = status.SpeedBeforeStop;
    if (status.HeadBlock >= 0 && status.HeadBlock < kMaxBlocks) {
      DevicePath path;
      TraceDevicePath(status.HeadDirection == 0 ? 0 : 1, status.HeadBlock, path, {.UnclearedBlock = true});
      CheckPathAhead(result, train, path.Ids, path.Dirs, 1, 1, 1);
    }
  } else {
    store.InternalErrorTrap(train, "Train index error - RestartSpeed");
  }
  if (result.AllowedSpeed != 0) return result.AllowedSpeed;
  if (before != 0) return before;
  return EnglishUnits(store) ? 10 : 16;
}
