// Saved simulations: the run-time state of a running simulation, tied to the
// track file it was made from. The reader takes the whole file into memory and
// checks every count and size before anything reaches the store, so a damaged
// file ends in a clean empty run, never in a half-loaded one.
#include "store/simulation_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "store/atomic_file.h"
#include "store/binary_io.h"
#include "store/corvane3_data.h"
#include "store/file_commands.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/run_check.h"
#include "store/run_times.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"

namespace {

constexpr const char* kCannotOpen = "Could not open simulation file";
constexpr const char* kIllegal = "Illegal simulation file!";

// One more than the highest slot whose record is in use, counting from `start` (at least start + 1).
template <class Getter>
int32_t SlotsInUse(int capacity, int start, Getter inUse) {
  int highest = start;
  for (int i = 0; i < capacity; ++i)
    if (inUse(i)) highest = std::max(highest, i);
  return highest + 1;
}

struct Limits {
  int32_t Capacity[kSimCountWords];
};

// The capacity of each counted table; C12 and C13 are not read.
constexpr Limits kLimits = {{kMaxTrainStatus, kMaxPermitStatus, kMaxSlowStatus, kMaxBlocks, kMaxSwitches, kMaxSignals,
                             kMaxCrossings, kMaxLocations, kMaxStack, kMaxOSHits - 1, kAlertLines, kMaxArchivePerform,
                             INT32_MAX, INT32_MAX}};

// The track file's name (and extension) from a stored path, which may have been written on Windows.
std::string FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Overlays the bytes [from, to] of an old record on a record that holds the reset values.
template <class Record>
void TakeBytes(Record& record, const uint8_t* old, size_t from, size_t to) {
  std::memcpy(reinterpret_cast<uint8_t*>(&record) + from, old + from, to - from + 1);
}

// Record `i` of a table of them in the file's bytes.
template <class Record>
Record RecordAt(const uint8_t* table, int i) {
  Record record;
  std::memcpy(&record, table + sizeof(Record) * i, sizeof record);
  return record;
}

}  // namespace

int SimulationFile::Save(const std::string& path) {
  int32_t counts[kSimCountWords] = {};
  counts[kSimTrains] = SlotsInUse(kMaxTrainStatus, 0, [&](int i) { return store_.trainStatus_[i].InUse == 1; });
  counts[kSimPermits] = SlotsInUse(kMaxPermitStatus, 0, [&](int i) { return store_.permitStatus_[i].InUse == 1; });
  counts[kSimSlowOrders] = SlotsInUse(kMaxSlowStatus, 0, [&](int i) { return store_.slowStatus_[i].InUse == 1; });
  counts[kSimBlocks] = SlotsInUse(kMaxBlocks, 0, [&](int i) { return store_.blockStatus_[i].InUse == 1; });
  counts[kSimSwitches] = SlotsInUse(kMaxSwitches, 0, [&](int i) { return store_.switchStatus_[i].InUse == 1; });
  counts[kSimSignals] = SlotsInUse(kMaxSignals, 0, [&](int i) { return store_.signalStatus_[i].InUse == 1; });
  counts[kSimDiamonds] = SlotsInUse(kMaxCrossings, 0, [&](int i) { return store_.crossStatus_[i].InUse == 1; });
  counts[kSimLocations] = SlotsInUse(kMaxLocations, 1, [&](int i) { return store_.orgStatus_[i].InUse == 1; });
  counts[kSimStack] = SlotsInUse(kMaxStack, 0, [&](int i) { return store_.stack_[i].InUse == 1; });
  counts[kSimOSHits] = std::clamp(store_.OSHitCount, 0, kMaxOSHits - 1);
  counts[kSimAlertLines] = std::clamp(store_.Run.AlertLinesUsed, 0, kAlertLines);
  // The archive holds at most 2,184 hours, whatever the clock says.
  const int64_t hours = (static_cast<int64_t>(store_.SimClock) - store_.SimStartTime) / 3600 + 1;
  counts[kSimArchiveHours] = static_cast<int32_t>(std::clamp<int64_t>(hours, 0, kMaxArchivePerform));

  SimulationRunState run{};
  run.SimClock = store_.SimClock;
  run.EndTime = store_.SimEndTime;
  run.WindowWord14 = store_.RunWindowWord;
  run.HighestAlertViewed = static_cast<int16_t>(store_.Run.HighestAlertViewed);
  run.AlertCounter = static_cast<int16_t>(store_.Run.AlertCounter);
  run.AlertLinesUsed = static_cast<int16_t>(counts[kSimAlertLines]);
  // Kept to what a load accepts, so that a saved run always loads again.
  run.SelectedAlertLine = static_cast<int16_t>(std::clamp(store_.Run.SelectedAlertLine, 0, kAlertLines - 1));
  run.ClockSpeed = static_cast<int16_t>(std::clamp(store_.Run.ClockSpeed, 1, 40));
  run.HighlightedDevice = static_cast<int16_t>(store_.Run.HighlightedDevice);
  run.OutputHold = store_.Run.OutputHold;
  run.StartTime = store_.SimStartTime;
  run.StartDay = static_cast<int16_t>(store_.SimStartDay);

  ByteWriter out;
  out.Put(kSimulationMagic);
  out.Put(kSimulationVersion);
  out.Put(counts);
  out.Put(store_.TrackFilePath);
  out.Put(store_.LoadedTrackVersion);
  out.Put(store_.TrackIdentity1);
  out.Put(store_.TrackIdentity2);
  out.Put(store_.LoadedChangeCount);
  out.Write(store_.trainStatus_.data(), sizeof(TrainStatus) * counts[kSimTrains]);
  out.Write(store_.trainStationTimes_.data(), sizeof(TrainStationTime) * counts[kSimTrains]);
  out.Write(store_.trainStops_.data(), sizeof(TrainStop) * counts[kSimTrains]);
  out.Write(store_.permitStatus_.data(), sizeof(PermitStatus) * counts[kSimPermits]);
  out.Write(store_.slowStatus_.data(), sizeof(SlowStatus) * counts[kSimSlowOrders]);
  out.Write(store_.blockStatus_.data(), sizeof(BlockStatus) * counts[kSimBlocks]);
  out.Write(store_.switchStatus_.data(), sizeof(SwitchStatus) * counts[kSimSwitches]);
  out.Write(store_.signalStatus_.data(), sizeof(SignalStatus) * counts[kSimSignals]);
  out.Write(store_.crossStatus_.data(), sizeof(CrossStatus) * counts[kSimDiamonds]);
  out.Write(store_.orgStatus_.data(), sizeof(OrgStatus) * counts[kSimLocations]);
  out.Write(store_.osHits_.data(), sizeof(OSHit) * counts[kSimOSHits]);
  out.Put(counts[kSimOSHits]);
  out.Write(store_.stack_.data(), sizeof(StackData) * counts[kSimStack]);
  for (int i = 0; i < counts[kSimAlertLines]; ++i) out.Write(store_.Run.AlertLines[i].data(), kAlertLineChars);
  out.Put(run);
  out.Put(store_.perform_);
  out.Write(store_.archivePerform_.data(), sizeof(PerformStatus) * counts[kSimArchiveHours]);
  out.Put(kSimulationMagic);

  if (!ReplaceFile(path, out.Bytes())) {
    store_.ShowMessage("Could not save simulation file", MessageIcon::Error);
    return file_result::kCannotOpen;
  }
  store_.Messages().ShowMessage("Created new simulation file called \"" + path + "\".",
                                FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Information,
                                MessageButtons::Ok);
  return file_result::kDone;
}

int SimulationFile::Load(const std::string& path, int report) {
  const bool tell = report != -1;
  // No saved simulation is longer than this: anything behind it is never read.
  constexpr size_t kLargest =
      16 + 4 + 4 * kSimCountWords + kPathChars + 16 +
      kMaxTrainStatus * (sizeof(TrainStatus) + sizeof(TrainStationTime) + sizeof(TrainStop)) +
      kMaxPermitStatus * sizeof(PermitStatus) + kMaxSlowStatus * sizeof(SlowStatus) + kMaxBlocks * sizeof(BlockStatus) +
      kMaxSwitches * sizeof(SwitchStatus) + kMaxSignals * sizeof(SignalStatus) + kMaxCrossings * sizeof(CrossStatus) +
      kMaxLocations * sizeof(OrgStatus) + kMaxOSHits * sizeof(OSHit) + 4 + kMaxStack * sizeof(StackData) +
      kAlertLines * kAlertLineChars + sizeof(SimulationRunState) + sizeof(PerformStatus) +
      kMaxArchivePerform * sizeof(PerformStatus) + 16;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, kLargest)) {
    if (tell) store_.ShowMessage(kCannotOpen, MessageIcon::Error);
    return file_result::kCannotOpen;
  }
  ByteReader in(bytes);

  int32_t magic[4] = {};
  if (!in.Get(magic) || std::memcmp(magic, kSimulationMagic, sizeof magic) != 0) {
    if (tell) store_.ShowMessage(kIllegal, MessageIcon::Error);
    return file_result::kDamaged;
  }
  const auto damaged = [&] {
    if (tell) store_.ShowMessage(kIllegal, MessageIcon::Error);
    store_.InitSimulationStatus();
    return file_result::kDamaged;
  };

  int32_t version = 0;
  int32_t counts[kSimCountWords] = {};
  char storedTrackPath[kPathChars] = {};
  if (!in.Get(version) || !in.Get(counts) || !in.Get(storedTrackPath)) return damaged();
  for (int i = 0; i < kSimCountWords - 2; ++i)
    if (counts[i] < 0 || counts[i] > kLimits.Capacity[i]) return damaged();

  // The track file is always looked for beside the saved simulation, under its stored name.
  const std::string expected = FolderPart(path) + FileNamePart(FieldText(storedTrackPath));
  if (expected != FieldText(store_.TrackFilePath)) {
    const int loaded = TrackFile(store_).Load(expected, report);
    if (loaded != file_result::kDone) {
      store_.InitSimulationStatus();
      return loaded;
    }
    SetFieldText(store_.TrackFilePath, expected);
  }

  int32_t identity[4] = {};
  if (!in.Get(identity)) return damaged();
  if (identity[0] != store_.LoadedTrackVersion || identity[1] != store_.TrackIdentity1 ||
      identity[2] != store_.TrackIdentity2 || identity[3] != store_.LoadedChangeCount) {
    store_.ShowMessage("This simulation file was created from a different version of the \"" + expected +
                           "\" track file and, therefore, cannot be loaded.",
                       MessageIcon::Error);
    store_.InitSimulationStatus();
    return file_result::kOtherTrackVersion;
  }

  // Every size follows from the version and the counts: check that all of it is there before taking any.
  const size_t permitBytes = version < 34 ? kOldPermitStatusBytes : sizeof(PermitStatus);
  const size_t switchBytes = version < 32 ? kOldSwitchStatusBytes : sizeof(SwitchStatus);
  const size_t signalBytes = version < 32 ? kOldSignalStatusBytes : sizeof(SignalStatus);
  const size_t crossBytes = version < 33 ? kOldCrossStatusBytes : sizeof(CrossStatus);
  const bool hasHitCount = version > 30;
  const size_t body =
      size_t(counts[kSimTrains]) * (sizeof(TrainStatus) + sizeof(TrainStationTime) + sizeof(TrainStop)) +
      size_t(counts[kSimPermits]) * permitBytes + size_t(counts[kSimSlowOrders]) * sizeof(SlowStatus) +
      size_t(counts[kSimBlocks]) * sizeof(BlockStatus) + size_t(counts[kSimSwitches]) * switchBytes +
      size_t(counts[kSimSignals]) * signalBytes + size_t(counts[kSimDiamonds]) * crossBytes +
      size_t(counts[kSimLocations]) * sizeof(OrgStatus) + size_t(counts[kSimOSHits]) * sizeof(OSHit) +
      (hasHitCount ? 4 : 0) + size_t(counts[kSimStack]) * sizeof(StackData) +
      size_t(counts[kSimAlertLines]) * kAlertLineChars + sizeof(SimulationRunState) + sizeof(PerformStatus) +
      size_t(counts[kSimArchiveHours]) * sizeof(PerformStatus) + sizeof kSimulationMagic;
  if (in.Left() < body) return damaged();
  const uint8_t* trains = in.Take(sizeof(TrainStatus) * counts[kSimTrains]);
  const uint8_t* stationTimes = in.Take(sizeof(TrainStationTime) * counts[kSimTrains]);
  const uint8_t* stops = in.Take(sizeof(TrainStop) * counts[kSimTrains]);
  const uint8_t* permits = in.Take(permitBytes * counts[kSimPermits]);
  const uint8_t* slows = in.Take(sizeof(SlowStatus) * counts[kSimSlowOrders]);
  const uint8_t* blocks = in.Take(sizeof(BlockStatus) * counts[kSimBlocks]);
  const uint8_t* switches = in.Take(switchBytes * counts[kSimSwitches]);
  const uint8_t* signals = in.Take(signalBytes * counts[kSimSignals]);
  const uint8_t* crosses = in.Take(crossBytes * counts[kSimDiamonds]);
  const uint8_t* orgs = in.Take(sizeof(OrgStatus) * counts[kSimLocations]);
  const uint8_t* hits = in.Take(sizeof(OSHit) * counts[kSimOSHits]);
  int32_t hitCount = counts[kSimOSHits];
  if (hasHitCount) in.Get(hitCount);
  const uint8_t* stack = in.Take(sizeof(StackData) * counts[kSimStack]);
  const uint8_t* alerts = in.Take(size_t(kAlertLineChars) * counts[kSimAlertLines]);
  SimulationRunState run{};
  PerformStatus running{};
  in.Get(run);
  in.Get(running);
  const uint8_t* archive = in.Take(sizeof(PerformStatus) * counts[kSimArchiveHours]);
  in.Get(magic);
  if (std::memcmp(magic, kSimulationMagic, sizeof magic) != 0) return damaged();
  // Values that index a table or divide must be ones the program could have written.
  const int32_t alertLines = run.AlertLinesUsed;
  const int32_t selectedLine = run.SelectedAlertLine;
  // The run's elapsed time picks the hourly archive slot, and the ticks add to its clock. A run saved
  // before it was started has no start (-1): only its clock is bounded.
  const bool clockFits = run.StartTime == -1 ? ClockWithinArchive(run.StartTime, run.SimClock)
                                             : RunClockFits(run.StartDay, run.StartTime, run.SimClock, run.EndTime);
  if (!clockFits) return damaged();
  if (hitCount < 0 || hitCount >= kMaxOSHits || alertLines < 0 || alertLines > kAlertLines || selectedLine < 0 ||
      selectedLine >= kAlertLines || run.ClockSpeed < 1 || run.ClockSpeed > 40) {
    return damaged();
  }

  // Every time, position and index the engine reckons with must be one the program could have written.
  const RunCheck check(store_, run.StartTime, run.SimClock);
  for (int i = 0; i < counts[kSimTrains]; ++i) {
    if (!check.Train(RecordAt<TrainStatus>(trains, i)) ||
        !check.StationTimes(RecordAt<TrainStationTime>(stationTimes, i)))
      return damaged();
  }
  // An old permit record is laid over the reset values; the bytes it lacks are not among those checked.
  const auto permitAt = [&](int i, PermitStatus record) {
    const uint8_t* old = permits + permitBytes * i;
    if (permitBytes == sizeof(PermitStatus)) {
      std::memcpy(&record, old, sizeof record);
    } else {
      TakeBytes(record, old, 0, 22);
      TakeBytes(record, old, 25, 33);
    }
    return record;
  };
  for (int i = 0; i < counts[kSimPermits]; ++i)
    if (!check.Permit(permitAt(i, PermitStatus{}))) return damaged();
  for (int i = 0; i < counts[kSimSlowOrders]; ++i)
    if (!check.Slow(RecordAt<SlowStatus>(slows, i))) return damaged();
  for (int i = 0; i < counts[kSimBlocks]; ++i)
    if (!check.Block(RecordAt<BlockStatus>(blocks, i))) return damaged();

  store_.InitSimulationStatus();
  // The loaded state is the starting point, not a change to record.
  store_.RecordingSuppressed = 1;
  std::memcpy(store_.trainStatus_.data(), trains, sizeof(TrainStatus) * counts[kSimTrains]);
  for (int i = 0; i < counts[kSimTrains]; ++i) store_.NoteTrainSlot(i);
  std::memcpy(store_.trainStationTimes_.data(), stationTimes, sizeof(TrainStationTime) * counts[kSimTrains]);
  std::memcpy(store_.trainStops_.data(), stops, sizeof(TrainStop) * counts[kSimTrains]);
  for (int i = 0; i < counts[kSimPermits]; ++i) {
    if (permitBytes == sizeof(PermitStatus)) {
      std::memcpy(&store_.permitStatus_[i], permits + permitBytes * i, sizeof(PermitStatus));
      continue;
    }
    store_.UpdatePermitStatus(i, permitAt(i, store_.GetPermitStatus(i)));
  }
  std::memcpy(store_.slowStatus_.data(), slows, sizeof(SlowStatus) * counts[kSimSlowOrders]);
  std::memcpy(store_.blockStatus_.data(), blocks, sizeof(BlockStatus) * counts[kSimBlocks]);
  for (int i = 0; i < counts[kSimSwitches]; ++i) {
    const uint8_t* old = switches + switchBytes * i;
    if (switchBytes == sizeof(SwitchStatus)) {
      std::memcpy(&store_.switchStatus_[i], old, sizeof(SwitchStatus));
      continue;
    }
    SwitchStatus record = store_.GetSwitchStatus(i);
    TakeBytes(record, old, 0, 103);
    TakeBytes(record, old, 106, 112);
    record.Byte113 = record.Byte114 = 0;
    store_.UpdateSwitchStatus(i, record, 0);
  }
  for (int i = 0; i < counts[kSimSignals]; ++i) {
    const uint8_t* old = signals + signalBytes * i;
    if (signalBytes == sizeof(SignalStatus)) {
      std::memcpy(&store_.signalStatus_[i], old, sizeof(SignalStatus));
      continue;
    }
    SignalStatus record = store_.GetSignalStatus(i);
    TakeBytes(record, old, 0, 21);
    record.CTCClearRequest = record.CTCCancelRequest = 0;
    store_.UpdateSignalStatus(i, record, 0);
  }
  for (int i = 0; i < counts[kSimDiamonds]; ++i) {
    const uint8_t* old = crosses + crossBytes * i;
    if (crossBytes == sizeof(CrossStatus)) {
      std::memcpy(&store_.crossStatus_[i], old, sizeof(CrossStatus));
      continue;
    }
    CrossStatus record = store_.GetCrossStatus(i);
    TakeBytes(record, old, 0, 46);
    store_.UpdateCrossStatus(i, record);
  }
  store_.NoteTimedWorkOfAllDevices();
  std::memcpy(store_.orgStatus_.data(), orgs, sizeof(OrgStatus) * counts[kSimLocations]);
  std::memcpy(store_.osHits_.data(), hits, sizeof(OSHit) * counts[kSimOSHits]);
  store_.osHitsReach_ = std::max(store_.osHitsReach_, counts[kSimOSHits]);
  store_.osHitStretchesKnown_ = false;
  store_.OSHitCount = hitCount;
  std::memcpy(store_.stack_.data(), stack, sizeof(StackData) * counts[kSimStack]);
  for (int i = 0; i < kAlertLines; ++i) {
    auto& line = store_.Run.AlertLines[i];
    line.fill('\0');
    if (i < counts[kSimAlertLines]) std::memcpy(line.data(), alerts + size_t(kAlertLineChars) * i, kAlertLineChars - 1);
  }
  store_.perform_ = running;
  std::memcpy(store_.archivePerform_.data(), archive, sizeof(PerformStatus) * counts[kSimArchiveHours]);
  store_.NoteEveryStatusWritten();  // the tables above were copied in whole
  store_.RecordingSuppressed = 0;

  // Top speed of each train type over the ordinary blocks, as a track file load works it out.
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    TrainType type = store_.GetTrainType(t);
    if (type.InUse == 0) continue;
    int16_t top = 0;
    for (int b = 0; b < kMaxBlocks; ++b) {
      const BlockData& block = store_.blockData_[b];
      if (block.InUse == 0 || block.PassThrough == 1) continue;
      for (int d = 0; d < 2; ++d)
        if (block.SpeedMax[d][t] > top) top = block.SpeedMax[d][t];
    }
    type.TopSpeed = top;
    store_.UpdateTrainType(t, type);
  }

  store_.SetSimClock(run.SimClock);
  store_.SetSimEndTime(run.EndTime);
  store_.SetSimStartTime(run.StartTime);
  store_.SetSimStartDay(run.StartDay);
  store_.RunWindowWord = run.WindowWord14;
  store_.Run.HighestAlertViewed = run.HighestAlertViewed;
  store_.Run.AlertCounter = run.AlertCounter;
  store_.Run.AlertLinesUsed = alertLines;
  store_.Run.SelectedAlertLine = selectedLine;
  store_.Run.ClockSpeed = run.ClockSpeed;
  store_.Run.SavedClockSpeed = run.ClockSpeed;
  store_.Run.HighlightedDevice = -1;
  store_.Run.OutputHold = run.OutputHold != 0 ? 1 : 0;
  store_.Run.SimStopped = 1;
  store_.Run.SimPaused = 0;
  store_.Run.RunStarted = 0;
  store_.Run.SelectedDevice = -1;

  CountData countData = store_.GetCountData();
  countData.Words[kCountRunningTrains] = counts[kSimTrains];
  store_.UpdateCountData(countData);
  store_.RedrawPerformanceLine();  // the restored figures, at the restored clock
  FileCommands(store_).AddOldFile(path);
  return file_result::kDone;
}
