#include "shell/layout_hover.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/text_format.h"
#include "store/train_codes.h"

using textfmt::Format;

namespace hover {

namespace {

int64_t DaySeconds(int32_t t) { return ((static_cast<int64_t>(t) % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay; }
int Hours(int32_t t) { return static_cast<int>(DaySeconds(t) / 3600); }
int Minutes(int32_t t) { return static_cast<int>(DaySeconds(t) / 60 % 60); }

template <size_t N>
std::string Text(const char (&field)[N]) {
  return FieldText(field, N);
}

std::string OrNone(const std::string& s) { return s.empty() ? "None" : s; }
std::string OrQuestion(const std::string& s) { return s.empty() ? "?" : s; }

int16_t WordAt(const void* record, size_t offset) {
  int16_t value;
  std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
  return value;
}

// Highest and lowest of a per-type speed list over the train types in use.
// speeds: the start of a packed record's array of ten int16 speeds, read byte-wise because a
// reference to that array would be misaligned.
void SpeedRange(Corvane3Data& store, const void* speeds, int& high, int& low) {
  high = 0;
  low = 10000;
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    if (store.GetTrainType(t).InUse == 0) continue;
    int16_t speed;
    std::memcpy(&speed, static_cast<const char*>(speeds) + t * sizeof speed, sizeof speed);
    high = std::max<int>(high, speed);
    low = std::min<int>(low, speed);
  }
}

// The lowest set value of a slow-order list, or -1.
template <class T>
int LowestSet(const T (&list)[10]) {
  int lowest = -1;
  for (T v : list) {
    if (v == -1) continue;
    if (lowest == -1 || v < lowest) lowest = static_cast<int>(v);
  }
  return lowest;
}

std::string SlowText(int first, int second) {
  auto part = [](int v) { return v == -1 ? std::string("none") : std::to_string(v); };
  return "Slow " + part(first) + "/" + part(second);
}

// A device's OS point name: its own name when an OS point of that name exists.
std::string OSName(Corvane3Data& store, const std::string& name) {
  if (name.empty()) return {};
  for (int i = 0; i < kMaxOSData; ++i) {
    const OSData os = store.GetOSData(i);
    if (os.InUse != 0 && FieldText(os.Name, sizeof os.Name) == name) return name;
  }
  return {};
}

}  // namespace

int DeviceAt(Corvane3Data& store, int column, int row) {
  int device = store.GetGridDevice(column, row);
  const int locations = std::clamp(store.GetCountData().Words[kCountLocations], 0, kMaxLocations);
  for (int i = 0; i < locations; ++i) {
    const OrgData org = store.GetOrgData(i);
    if (org.InUse == 1 && org.CellX == column && org.CellY == row) device = device::kLocationPlaceBase + i;
  }
  return device;
}

std::string DescribeLocation(Corvane3Data& store, int location, bool awaitingStart) {
  const OrgData org = store.GetOrgData(location);
  const OptionData options = store.GetOptionData();
  const std::string name = Text(org.Name);
  const char* permission = org.PermissionRequired ? "Yes" : "No";
  const char* yard = org.CapacityLimited ? "Yes" : "No";
  std::string availability;
  if (!awaitingStart && org.CapacityLimited) {
    const int32_t t = store.NextTrainOffTime(location);
    availability = t == -1 ? " Yard can accept trains now,"
                           : Format(" Yard can accept trains at %02d:%02d,", Hours(t), Minutes(t));
  }
  const bool entry = options.PermissionToEnterActive != 0, capacity = options.YardCapacityLimitActive != 0;
  if (entry && capacity)
    return Format("Name \"%s\" Priority = %d, Territory Entry Permission = %s, Yard Entrance = %s, %s", name.c_str(),
                  org.Priority, permission, yard, availability.c_str());
  if (capacity)
    return Format("Name \"%s\" Priority = %d, Yard Entrance = %s, %s", name.c_str(), org.Priority, yard,
                  availability.c_str());
  if (entry)
    return Format("Name \"%s\" Priority = %d, Territory Entry Permission = %s", name.c_str(), org.Priority, permission);
  return Format("Name \"%s\" Priority = %d", name.c_str(), org.Priority);
}

int TrainShownByBlock(Corvane3Data& store, int block) {
  const BlockStatus status = store.GetBlockStatus(block);
  if (status.Occupancy == occupancy::kOccupiedRight) return status.Trains[0] == kEmptyTrainSlot ? -1 : status.Trains[0];
  if (status.Occupancy == occupancy::kOccupiedLeft) {
    for (int k = kBlockTrainSlots - 1; k >= 0; --k)
      if (status.Trains[k] != kEmptyTrainSlot) return status.Trains[k];
  }
  return -1;
}

std::string DescribeBlock(Corvane3Data& store, int block) {
  const BlockData data = store.GetBlockData(block);
  const BlockStatus status = store.GetBlockStatus(block);
  if (data.PassThrough == 1) return Format("(%d) Connecting Line", block);

  const std::string a = Text(data.TrackStation1), b = Text(data.TrackStation2), c = Text(data.TrackPart);
  const std::string name = a.empty() && b.empty() && c.empty() ? "None"
                                                               : Format("%s-%s %s", OrQuestion(a).c_str(),
                                                                        OrQuestion(b).c_str(), OrQuestion(c).c_str());
  const char* signals = data.SignalledLeft == 1 && data.SignalledRight == 1 ? "Both"
                        : data.SignalledLeft == 1                           ? "Left"
                                                                            : "Right";
  std::string speed;
  const int slowFirst = LowestSet(status.SlowSpeeds[0]), slowSecond = LowestSet(status.SlowSpeeds[1]);
  if (slowFirst != -1 || slowSecond != -1) {
    speed = SlowText(slowFirst, slowSecond);
  } else {
    int highLeft, lowLeft, highRight, lowRight;
    SpeedRange(store, data.TypeSpeed[0], highLeft, lowLeft);
    SpeedRange(store, data.TypeSpeed[1], highRight, lowRight);
    speed = Format("%d-%d/%d-%d", highLeft, lowLeft, highRight, lowRight);
  }
  const std::string platform = Text(data.PlatformName);
  const std::string area = Text(data.AreaName);
  const std::string os = OSName(store, Text(data.Name));
  std::string detectors;
  for (const auto& detector : data.DetectorNames) {
    const std::string d = FieldText(detector, sizeof detector);
    if (!d.empty()) detectors += "\"" + d + "\", ";
  }
  if (!detectors.empty()) detectors = "Detect " + detectors;
  return Format("(%d) Name \"%s\",  Spd %s,  Len %d,  Sig %s, %s%s%s%s", block, name.c_str(), speed.c_str(),
                data.Length, signals, platform.empty() ? "" : Format("Platform \"%s\", ", platform.c_str()).c_str(),
                area.empty() ? "" : Format("Area \"%s\" ", area.c_str()).c_str(),
                os.empty() ? "" : Format("OS \"%s\", ", os.c_str()).c_str(), detectors.c_str());
}

std::string DescribeSwitch(Corvane3Data& store, int switchIndex) {
  const SwitchData data = store.GetSwitchData(switchIndex);
  const SwitchStatus status = store.GetSwitchStatus(switchIndex);
  int first = -1, second = -1;
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    if (store.GetTrainType(t).InUse == 0) continue;
    auto lower = [](int& low, int32_t v) {
      if (v != -1 && (low == -1 || v < low)) low = v;
    };
    lower(first, status.SlowSpeeds[0][t]);
    lower(second, status.SlowSpeeds[1][t]);
  }
  const std::string speed = first != -1 || second != -1
                                ? SlowText(first, second)
                                : Format("High Reverse %d, Low Reverse %d", WordAt(&status, 102), WordAt(&status, 104));
  const std::string name = Text(data.Name);
  const std::string os = OSName(store, name);
  std::string line = Format("(%d) Name \"%s\" %s%s", switchIndex, OrNone(name).c_str(),
                            os.empty() ? "" : Format("OS \"%s\", ", os.c_str()).c_str(), speed.c_str());
  if (status.FailureCount != -1) line += " Switch failure";
  if (status.MaintainerCalled == 1)
    line += " maintainer will fix at " +
            Format("%02d:%02d.", Hours(status.MaintainerFixTime), Minutes(status.MaintainerFixTime));
  if (data.HandThrown == 1) line += " Manual control only";
  return line;
}

std::string DescribeSignal(Corvane3Data& store, int signal) {
  const SignalData data = store.GetSignalData(signal);
  const SignalStatus status = store.GetSignalStatus(signal);
  std::string line = Format("(%d) Name \"%s\"", signal, OrNone(Text(data.Name)).c_str());
  if (status.RunningTimeEnd != -1)
    line +=
        " Signal running time until " + Format("%d:%02d", Hours(status.RunningTimeEnd), Minutes(status.RunningTimeEnd));
  if (status.FailureCount != 0xFF) line += " Signal failure";
  if (status.MaintainerCalled == 1)
    line += " maintainer will fix at " +
            Format("%02d:%02d.", Hours(status.MaintainerFixTime), Minutes(status.MaintainerFixTime));
  return line;
}

std::string DescribeDiamond(Corvane3Data& store, int diamond) {
  const CrossData data = store.GetCrossData(diamond);
  const std::string os = OSName(store, Text(data.Name));
  // The record keeps no automatic flag or train frequencies yet: a diamond is shown as not
  // automatic, without frequency parts.
  const int leftRight = 0, topBottom = 0;
  std::string frequency;
  if (leftRight > 0) frequency += Format(", Left/right train frequency = %d", leftRight);
  if (topBottom > 0) frequency += Format(", Top/bottom train frequency = %d", topBottom);
  return Format("(%d) Diamond, Automatic = %s %s%s", diamond, "No", frequency.c_str(),
                os.empty() ? "" : Format(", OS \"%s\"", os.c_str()).c_str());
}

bool TrainStatusLine(Corvane3Data& store, int slot, std::string& line) {
  const TrainStatus train = store.GetTrainStatus(slot);
  const OptionData options = store.GetOptionData();
  const std::string id = Text(train.TrainId);
  auto orNone = [](const std::string& s) { return s.empty() ? std::string("none") : s; };
  if (options.CTCControlOn == 1) {
    // A crew expiration not set (negative) reads "none", as an empty entrance or exit does, not "00:-1".
    const int32_t crew = train.CrewExpiry;
    const std::string crewText = crew < 0 ? std::string("none") : Format("%02d:%02d", crew / 60, crew % 60);
    line = Format("\"%s\" Len %d Crew %s Ent \"%s\" Exit \"%s\"", id.c_str(), train.Length, crewText.c_str(),
                  orNone(Text(train.Entrance)).c_str(), orNone(Text(train.Exit)).c_str());
    return true;
  }
  if (train.TrainIndex < 0 || train.TrainIndex >= kMaxTrains) return false;
  const TrainData data = store.GetTrainData(train.TrainIndex);

  std::string status;
  store.GenerateTrainStatus(slot, status);
  std::string label = "ETA at";
  int32_t time = train.HeadEventTime;
  if (train.State == TrainState::Stopped) {
    label = train.Reason == StopReason::WaitSignal || train.Reason == StopReason::WaitHelper ||
                    train.Reason == StopReason::CrewTimeExpired
                ? "waiting since"
                : "ETD at ";
    if (train.WaitStart != -1 && train.Reason != StopReason::LocalWork && train.Reason != StopReason::BrokenHose)
      time = train.WaitStart;
  } else if (train.State == TrainState::InWorkArea || train.State == TrainState::Leaving) {
    label = "ETD at ";
  }
  const std::string timeText = Format("%d:%02d", Hours(time), Minutes(time));

  std::string exit = Text(train.Exit);
  if (!exit.empty()) {
    exit = Format("Exit \"%s\"", exit.c_str());
  } else {
    std::string becomes;
    if (data.BecomesTrain >= 0 && data.BecomesTrain < kMaxTrains)
      becomes = Text(store.GetTrainData(data.BecomesTrain).TrainId);
    exit = Format("New Train \"%s\" at \"%s\"", becomes.c_str(), Text(data.ChangePlaceName).c_str());
  }

  std::string crewChange;
  const int place = train.CrewChangeLocation;
  const int32_t changeTime = train.CrewReadyTime;
  if (place >= 0 && place < device::kPlatformPlaceBase) {
    crewChange = Format("Crew Change \"Block %d\" at %d:%02d", place, Hours(changeTime), Minutes(changeTime));
  } else if (place >= device::kPlatformPlaceBase && place - device::kPlatformPlaceBase < kMaxPlatforms) {
    const PlatformData platform = store.GetPlatformData(place - device::kPlatformPlaceBase);
    if (platform.InUse == 1)
      crewChange = Format("Crew Change \"Platform %s\" at %d:%02d", Text(platform.Name).c_str(), Hours(changeTime),
                          Minutes(changeTime));
  }

  std::string tail;
  int work = train.LocalWorkIndex;
  if (train.State == TrainState::Stopped && train.Reason == StopReason::LocalWork && work != 9) ++work;
  if (work >= 0 && work < kTrainLocalWork) {
    const std::string area = Text(data.LocalWork[work].AreaName);
    if (!area.empty()) tail += Format("Work \"%s\" ", area.c_str());
  }
  const TrainStop stops = store.GetTrainStop(slot);
  const TrainStationTime times = store.GetTrainStationTime(slot);
  const int platforms = std::clamp(store.GetCountData().Words[kCountPlatforms], 0, kMaxPlatforms);
  int best = -1;
  for (int p = 0; p < platforms; ++p) {
    if (stops.Stops[p] != 0 || times.Times[p] == -1) continue;
    if (best == -1 || times.Times[p] < times.Times[best]) best = p;
  }
  if (best != -1)
    tail += Format("Platform \"%s\" %d:%02d", Text(store.GetPlatformData(best).Name).c_str(), Hours(times.Times[best]),
                   Minutes(times.Times[best]));

  if (options.CrewExpirationActive != 0) {
    line = Format("\"%s\" Spd %d Len %d %s %s %s %s Crew %d:%02d %s %s", id.c_str(), train.Speed, train.Length,
                  exit.c_str(), status.c_str(), label.c_str(), timeText.c_str(), Hours(train.CrewExpiry),
                  Minutes(train.CrewExpiry), crewChange.c_str(), tail.c_str());
  } else {
    line = Format("\"%s\" Spd %d Len %d %s %s %s %s %s", id.c_str(), train.Speed, train.Length, exit.c_str(),
                  status.c_str(), label.c_str(), timeText.c_str(), tail.c_str());
  }
  return true;
}

int EdgeZone(int x, int y, const Area& area, int scrollX, int scrollY, int rangeX, int rangeY) {
  if (x <= area.Left + 32) {
    if (scrollX != 0) return 1;
    if (scrollY != 0) return 6;
  }
  if (x >= area.Right - 32) {
    if (scrollX < rangeX) return 2;
    if (scrollY < rangeY) return 5;
  }
  if (y <= area.Top + 32 && scrollY != 0) return 4;
  if (y >= area.Bottom - 32 && scrollY < rangeY) return 3;
  return 0;
}

}  // namespace hover
