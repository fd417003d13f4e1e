#include "store/simulation_file.h"

#include <gtest/gtest.h>

#include <random>

#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"
#include "tests/store/track_file_test_util.h"
#include "tools/territory/demo_territory.h"

namespace {

using namespace track_test;

constexpr size_t kCountsAt = 20;
constexpr size_t kIdentityAt = kCountsAt + 56 + 255;
constexpr size_t kBodyAt = kIdentityAt + 16;

class SimulationFileTest : public TrackFileTest {
 protected:
  // The demonstration territory as a track file in the test's folder, loaded.
  void LoadDemo() {
    territory::BuildDemonstrationTerritory(store());
    ASSERT_EQ(TrackFile(store()).Write(In("demo.trk"), 0), 0);
    ASSERT_EQ(TrackFile(store()).Load(In("demo.trk"), -1), 0);
    SetFieldText(store().TrackFilePath, In("demo.trk"));
    store().InitSimulationStatus();
  }

  // A run in progress: a few trains, a permit, a thrown switch, OS hits, alert lines, the clock.
  void MakeRun() {
    Corvane3Data& s = store();
    for (int slot : {0, 2}) {
      TrainStatus train = s.GetTrainStatus(slot);
      train.InUse = 1;
      train.TrainIndex = static_cast<int16_t>(slot);
      train.HeadBlock = 3;
      train.Speed = 40;
      SetFieldText(train.TrainId, "T" + std::to_string(slot));
      s.UpdateTrainStatus(slot, train, 1, 0);
      TrainStationTime times = s.GetTrainStationTime(slot);
      times.Times[0] = 3600 + slot;
      s.UpdateTrainStationTime(slot, times);
    }
    PermitStatus permit = s.GetPermitStatus(1);
    permit.InUse = 1;
    permit.State = 4;
    permit.StartTime = 7000;
    s.UpdatePermitStatus(1, permit);
    SwitchStatus sw = s.GetSwitchStatus(1);
    sw.Position = 1;
    sw.CrewThrowTime = 9000;
    s.UpdateSwitchStatus(1, sw, 1);
    SignalStatus signal = s.GetSignalStatus(2);
    signal.Aspect = 1;
    signal.RefusalCount = 3;
    s.UpdateSignalStatus(2, signal, 1);
    for (int i = 0; i < 5; ++i) s.AddNewOSHit(0, 2, 4000 + 60 * i);
    s.SetSimStartTime(6 * 3600);
    s.SetSimStartDay(1);
    s.SetSimClock(86400 + 9 * 3600 + 20);
    s.SetSimEndTime(-1);
    for (int i = 0; i < 3; ++i) SetFieldText(s.Run.AlertLines[i].data(), kAlertLineChars, "ALERT " + std::to_string(i));
    s.Run.AlertLinesUsed = 3;
    s.Run.SelectedAlertLine = 2;
    s.Run.AlertCounter = 3;
    s.Run.HighestAlertViewed = 1;
    s.Run.ClockSpeed = 35;
    s.Run.OutputHold = 0;
    s.Run.SimStopped = 0;
    PerformStatus perform{};
    perform.Trains = 2;
    perform.Distance = 12000;
    s.UpdateArchivePerformStatus(3, perform);
  }

  int32_t Count(const Bytes& file, int word) { return Peek<int32_t>(file, kCountsAt + 4 * word); }
  bool RunIsEmpty() {
    for (int slot : {0, 2})
      if (store().GetTrainStatus(slot).InUse != 0) return false;
    return store().GetPermitStatus(1).InUse == 0 && store().GetSwitchStatus(1).Position == 0;
  }
};

// Save, load and save again give the same bytes; the load restores the run and leaves it stopped.
TEST_F(SimulationFileTest, SaveLoadSaveGivesTheSameBytes) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  ASSERT_FALSE(messages.Calls.empty());
  EXPECT_EQ(messages.Calls.back().Text, "Created new simulation file called \"" + In("run.ssm") + "\".");
  EXPECT_EQ(messages.Calls.back().Icon, MessageIcon::Information);
  const Bytes first = ReadBytes(In("run.ssm"));
  EXPECT_EQ(Count(first, kSimTrains), 3);
  EXPECT_EQ(Count(first, kSimPermits), 2);
  EXPECT_EQ(Count(first, kSimOSHits), 5);
  EXPECT_EQ(Count(first, kSimAlertLines), 3);
  EXPECT_EQ(Count(first, kSimArchiveHours), 28);  // (33:00:20 - 06:00) / 3600 + 1

  store().InitSimulationStatus();
  store().SetSimClock(-1);
  store().Run.ClockSpeed = 20;
  ASSERT_EQ(SimulationFile(store()).Load(In("run.ssm"), -1), 0);
  EXPECT_EQ(+store().GetTrainStatus(2).Speed, 40);
  EXPECT_EQ(+store().GetTrainStationTime(2).Times[0], 3602);
  EXPECT_EQ(+store().GetPermitStatus(1).State, 4);
  EXPECT_EQ(+store().GetSwitchStatus(1).Position, 1);
  EXPECT_EQ(store().GetOSHitCount(), 5);
  EXPECT_EQ(store().GetSimClock(), 86400 + 9 * 3600 + 20);
  EXPECT_EQ(store().GetSimStartDay(), 1);
  EXPECT_EQ(store().Run.ClockSpeed, 35);
  EXPECT_EQ(store().Run.SelectedAlertLine, 2);
  EXPECT_STREQ(store().Run.AlertLines[1].data(), "ALERT 1");
  EXPECT_EQ(+store().Run.SimStopped, 1);
  EXPECT_EQ(store().Run.SelectedDevice, -1);
  EXPECT_EQ(+store().GetArchivePerformStatus(3).Distance, 12000);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 3);
  // The loaded slots are walked by the tick as any others.
  std::vector<int> live, walked;
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) {
    const TrainStatus& train = store().TrainStatusRef(slot);
    if (train.InUse == 1 && train.State != 13 && train.State != 31) live.push_back(slot);
  }
  for (int slot = store().NextLiveTrainSlot(-1); slot >= 0; slot = store().NextLiveTrainSlot(slot))
    walked.push_back(slot);
  EXPECT_EQ(walked, live);
  EXPECT_FALSE(walked.empty());
  EXPECT_EQ(FileCommands(store()).GetOldFile(0), In("run.ssm"));

  ASSERT_EQ(SimulationFile(store()).Save(In("again.ssm")), 0);
  EXPECT_EQ(ReadBytes(In("again.ssm")), first);
}

// The hits a saved run brings are found again when their train's slot is handed out or relinked, though
// they were written in one piece and not hit by hit.
TEST_F(SimulationFileTest, ALoadedRunsOSHitsAreFoundForTheirTrain) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  store().InitSimulationStatus();
  ASSERT_FALSE(store().ClearTrainOSHits(2));  // the ring is empty before the load
  ASSERT_EQ(SimulationFile(store()).Load(In("run.ssm"), -1), 0);

  EXPECT_TRUE(store().ClearTrainOSHits(2));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(+store().GetOSHit(i).Device, 0xFFFF) << i;
}

// The tick walks only signals and switches with timed work pending: a loaded run's must be among them,
// although the load copies their tables in whole, and a reset run's must not.
TEST_F(SimulationFileTest, ALoadedRunsSignalsAndSwitchesWithTimedWorkAreWalked) {
  LoadDemo();
  MakeRun();  // switch 1 has a crew throw under way
  SignalStatus fleeted = store().GetSignalStatus(3);
  fleeted.Fleet = 1;
  store().UpdateSignalStatus(3, fleeted, 1);
  SignalStatus repaired = store().GetSignalStatus(5);
  repaired.MaintainerFixTime = 8000;
  store().UpdateSignalStatus(5, repaired, 1);
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  store().InitSimulationStatus();
  EXPECT_EQ(store().NextSignalWithTimedWork(-1), -1);
  EXPECT_EQ(store().NextSwitchWithTimedWork(-1), -1);

  ASSERT_EQ(SimulationFile(store()).Load(In("run.ssm"), -1), 0);
  EXPECT_EQ(store().NextSignalWithTimedWork(-1), 3);
  EXPECT_EQ(store().NextSignalWithTimedWork(3), 5);
  EXPECT_EQ(store().NextSignalWithTimedWork(5), -1);
  EXPECT_EQ(store().NextSignalWithTimedWork(3, 5), -1) << "a walk ends at the territory's count";
  EXPECT_EQ(store().NextSwitchWithTimedWork(-1), 1);
  EXPECT_EQ(store().NextSwitchWithTimedWork(1), -1);
  // Work that ends leaves the walk.
  fleeted = store().GetSignalStatus(3);
  fleeted.Fleet = 0;
  store().UpdateSignalStatus(3, fleeted, 1);
  EXPECT_EQ(store().NextSignalWithTimedWork(-1), 5);
}

// A run that never started still holds one train record, two entrance/exit records and one archive hour.
TEST_F(SimulationFileTest, AnUnstartedRunKeepsItsMinimumRecords) {
  store().InitSimulationStatus();
  ASSERT_EQ(SimulationFile(store()).Save(In("empty.ssm")), 0);
  const Bytes file = ReadBytes(In("empty.ssm"));
  EXPECT_EQ(Count(file, kSimTrains), 1);
  EXPECT_EQ(Count(file, kSimLocations), 2);
  EXPECT_EQ(Count(file, kSimArchiveHours), 1);
  EXPECT_EQ(Count(file, kSimAlertLines), 0);
}

TEST_F(SimulationFileTest, ASaveThatCannotBeWrittenIsReported) {
  EXPECT_EQ(SimulationFile(store()).Save(In("missing/run.ssm")), 3);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not save simulation file");
  EXPECT_FALSE(std::filesystem::exists(In("missing")));
}

// Refusals: their results, and their messages only when a report is asked for.
TEST_F(SimulationFileTest, DamagedFilesAreRefusedWithAnEmptyRun) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  const Bytes good = ReadBytes(In("run.ssm"));
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    int result;
    const char* message;
    bool keepsRun = false;  // not a simulation file at all: nothing of the store is touched
  };
  const std::vector<Case> cases = {
      {"first magic", [](Bytes& f) { f[0] ^= 1; }, 1, "Illegal simulation file!", true},
      {"last magic", [](Bytes& f) { f[f.size() - 1] ^= 1; }, 1, "Illegal simulation file!"},
      {"cut after the stack", [](Bytes& f) { f.resize(f.size() - 16 - 32 * 28 - 32 - 78 - 3 * 151); }, 1,
       "Illegal simulation file!"},
      {"cut in the counts", [](Bytes& f) { f.resize(40); }, 1, "Illegal simulation file!"},
      {"too many trains", [](Bytes& f) { Poke(f, kCountsAt, int32_t{1001}); }, 1, "Illegal simulation file!"},
      {"negative blocks", [](Bytes& f) { Poke(f, kCountsAt + 12, int32_t{-1}); }, 1, "Illegal simulation file!"},
      {"too many alert lines", [](Bytes& f) { Poke(f, kCountsAt + 40, int32_t{51}); }, 1, "Illegal simulation file!"},
      {"clock speed 0", [&](Bytes& f) { Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 24, int16_t{0}); }, 1,
       "Illegal simulation file!"},
      // The start lies after the clock, or further back than the hourly archive reaches.
      {"start after the clock",
       [&](Bytes& f) { Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 31, int32_t{86400 + 9 * 3600 + 80}); }, 1,
       "Illegal simulation file!"},
      {"start before the archive",
       [&](Bytes& f) { Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 31, int32_t{86400 + 9 * 3600 - 2184 * 3600}); }, 1,
       "Illegal simulation file!"},
      // A start outside the week, or an end before it: the ticks would carry the clock past its range.
      {"clock at the limit",
       [&](Bytes& f) {
         Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 6, int32_t{INT32_MAX - 5});
         Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 31, int32_t{INT32_MAX - 3600});
       },
       1, "Illegal simulation file!"},
      {"start day 7", [&](Bytes& f) { Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 35, int16_t{7}); }, 1,
       "Illegal simulation file!"},
      {"end before the start", [&](Bytes& f) { Poke(f, f.size() - 16 - 32 * 28 - 32 - 78 + 10, int32_t{3600}); }, 1,
       "Illegal simulation file!"},
  };
  for (const Case& c : cases) {
    Bytes file = good;
    c.damage(file);
    WriteBytes(In("bad.ssm"), file);
    for (int report : {-1, 0}) {
      MakeRun();
      messages.Calls.clear();
      EXPECT_EQ(SimulationFile(store()).Load(In("bad.ssm"), report), c.result) << c.name;
      EXPECT_EQ(RunIsEmpty(), !c.keepsRun) << c.name;
      if (report == -1) {
        EXPECT_TRUE(messages.Calls.empty()) << c.name;
      } else {
        ASSERT_EQ(messages.Calls.size(), 1u) << c.name;
        EXPECT_EQ(messages.Calls[0].Text, c.message) << c.name;
      }
    }
  }
  messages.Calls.clear();
  EXPECT_EQ(SimulationFile(store()).Load(In("none.ssm"), 0), 3);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not open simulation file");
}

// Every time, position and index of a train, block, permit and slow order status lies within what the
// program can write: each just outside its bound is refused as damaged with an empty run, each at it loads.
TEST_F(SimulationFileTest, StatusFieldsOutsideTheRunsReachAreRefused) {
  LoadDemo();
  MakeRun();
  SlowStatus slow = store().GetSlowStatus(0);
  slow.InUse = 1;
  slow.SlowIndex = 0;
  slow.OpeningTime = slow.StartTime = 7000;
  slow.EndTime = -1;
  slow.Devices[0] = 3;
  slow.Devices[1] = -1;
  store().UpdateSlowStatus(0, slow);
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  const Bytes good = ReadBytes(In("run.ssm"));
  ASSERT_EQ(Count(good, kSimTrains), 3);
  ASSERT_EQ(Count(good, kSimSlowOrders), 1);

  // Train slot 2, its station times, permit slot 1, slow order slot 0 and block 3 in the file.
  const size_t train = kBodyAt + 2 * sizeof(TrainStatus);
  const size_t times = kBodyAt + 3 * sizeof(TrainStatus) + 2 * sizeof(TrainStationTime);
  const size_t permits = kBodyAt + 3 * (sizeof(TrainStatus) + sizeof(TrainStationTime) + sizeof(TrainStop));
  const size_t permit = permits + sizeof(PermitStatus);
  const size_t slowAt = permits + Count(good, kSimPermits) * sizeof(PermitStatus);
  const size_t block = slowAt + sizeof(SlowStatus) + 3 * sizeof(BlockStatus);
  ASSERT_EQ(good[block], 1) << "block 3 is in use";
  const size_t clockAt = good.size() - 16 - 32 * Count(good, kSimArchiveHours) - 32 - 78 + 6;

  // The run started at 06:00 and stands at 33:00:20: times reach from the longest delay before the week's
  // start to the longest delay after the clock.
  constexpr int32_t kDelay = 1 << 23;
  constexpr int32_t kFirst = -kDelay;
  constexpr int32_t kLast = 86400 + 9 * 3600 + 20 + kDelay;
  const int32_t blockLength = store().BlockDataRef(3).Length;
  ASSERT_GT(blockLength, 0);
  struct Case {
    std::string name;
    size_t at;
    int32_t value;
    int bytes;  // 2 or 4
    bool loads;
  };
  std::vector<Case> cases;
  const auto both = [&](const std::string& name, size_t at, int bytes, int32_t outside, int32_t inside) {
    cases.push_back({name + " outside", at, outside, bytes, false});
    cases.push_back({name + " at its bound", at, inside, bytes, true});
  };
  const std::pair<const char*, size_t> trainTimes[] = {
      {"head event", 55}, {"rear event", 59},  {"wait start", 63},  {"standing since", 83},
      {"entry", 87},      {"crew expiry", 91}, {"crew ready", 126}, {"crew on duty", 134},
  };
  for (const auto& [name, offset] : trainTimes) {
    both(std::string(name) + " early", train + offset, 4, kFirst - 1, kFirst);
    both(std::string(name) + " late", train + offset, 4, kLast + 1, kLast);
    cases.push_back({std::string(name) + " none", train + offset, -1, 4, true});
  }
  cases.push_back({"standing since of a damaged run", train + 83, -2147449928, 4, false});
  both("total stopped", train + 138, 4, -1, 0);
  both("total lost", train + 142, 4, -1, INT32_MAX);
  const std::pair<const char*, size_t> trainBlocks[] = {
      {"head block", 50}, {"rear block", 52}, {"limit block", 76}, {"stop in block", 122}, {"local work block", 130}};
  for (const auto& [name, offset] : trainBlocks) {
    both(std::string(name) + " high", train + offset, 2, kMaxBlocks, kMaxBlocks - 1);
    both(std::string(name) + " low", train + offset, 2, -2, -1);
  }
  both("schedule", train + 1, 2, kMaxTrains, kMaxTrains - 1);
  both("coupled ahead", train + 3, 2, kMaxTrainStatus, kMaxTrainStatus - 1);
  both("coupled behind", train + 5, 2, -2, kMaxTrainStatus - 1);
  both("crew change block", train + 95, 2, 10000 - 1, kMaxBlocks - 1);
  both("crew change platform", train + 95, 2, 10000 + kMaxPlatforms, 10000 + kMaxPlatforms - 1);
  both("platform", train + 105, 2, kMaxPlatforms, kMaxPlatforms - 1);
  both("detector", train + 107, 2, kMaxDetectors, kMaxDetectors - 1);
  both("head past the block's end", train + 7, 4, blockLength + 1, blockLength);
  both("head before the block's start", train + 7, 4, -1, 0);
  both("previous head", train + 11, 4, blockLength + 1, blockLength);
  both("station time", times + 4 * 5, 4, kLast + 1, kLast);
  both("permit request", permit + 1, 4, kFirst - 1, kFirst);
  both("permit start", permit + 7, 4, kLast + 1, kLast);
  both("permit end", permit + 11, 4, kLast + 1, kLast);
  both("permit next action", permit + 15, 4, kFirst - 1, kFirst);
  both("permit", permit + 5, 2, kMaxPermitData, kMaxPermitData - 1);
  both("slow order opening", slowAt + 1, 4, kLast + 1, kLast);
  both("slow order start", slowAt + 9, 4, kFirst - 1, kFirst);
  both("slow order end", slowAt + 13, 4, kLast + 1, kLast);
  both("slow order", slowAt + 5, 4, kMaxSlowData, kMaxSlowData - 1);
  both("slow order block", slowAt + 19, 2, -2, kMaxBlocks - 1);
  both("slow order switch", slowAt + 19, 2, 2000 + kMaxSwitches, 2000 + kMaxSwitches - 1);
  both("block permit until", block + 21, 4, kLast + 1, kLast);
  both("block permit from", block + 25, 4, kFirst - 1, kFirst);
  both("block train", block + 72, 2, kMaxTrainStatus, kMaxTrainStatus - 1);
  for (const Case& c : cases) {
    Bytes file = good;
    if (c.bytes == 2) {
      Poke(file, c.at, static_cast<int16_t>(c.value));
    } else {
      Poke(file, c.at, c.value);
    }
    WriteBytes(In("edited.ssm"), file);
    MakeRun();
    messages.Calls.clear();
    const int result = SimulationFile(store()).Load(In("edited.ssm"), 0);
    if (c.loads) {
      EXPECT_EQ(result, 0) << c.name;
      continue;
    }
    EXPECT_EQ(result, 1) << c.name;
    EXPECT_TRUE(RunIsEmpty()) << c.name;
    ASSERT_EQ(messages.Calls.size(), 1u) << c.name;
    EXPECT_EQ(messages.Calls[0].Text, "Illegal simulation file!") << c.name;
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error) << c.name;
  }

  // A head beyond its block by no more than the train's length: where a reversed train's head is put.
  Bytes longer = good;
  Poke(longer, train + 31, int32_t{120});
  for (const auto& [position, loads] :
       {std::pair{-120, true}, {-121, false}, {blockLength + 120, true}, {blockLength + 121, false}}) {
    Poke(longer, train + 7, int32_t{position});
    WriteBytes(In("edited.ssm"), longer);
    EXPECT_EQ(SimulationFile(store()).Load(In("edited.ssm"), -1), loads ? 0 : 1) << position;
  }
  // The last hours of a 90-day run: its times lie around a clock far from the start.
  Bytes late = good;
  const int32_t lateClock = 6 * 3600 + (kMaxArchivePerform - 1) * 3600;
  Poke(late, clockAt, lateClock);
  Poke(late, train + 55, lateClock + 3600);
  Poke(late, train + 83, lateClock - 60);
  WriteBytes(In("late.ssm"), late);
  EXPECT_EQ(SimulationFile(store()).Load(In("late.ssm"), -1), 0);
  EXPECT_EQ(store().GetSimClock(), lateClock);
}

// Saving edited track data over the track file changes its change count: the simulation is refused.
TEST_F(SimulationFileTest, AnotherVersionOfTheTrackFileIsRefused) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  const int32_t changeCount = store().LoadedChangeCount;
  territory::BuildDemonstrationTerritory(store());
  store().ChangeCount = changeCount + 1;
  ASSERT_EQ(TrackFile(store()).Write(In("demo.trk"), 0), 0);
  SetFieldText(store().TrackFilePath, "elsewhere.trk");  // makes the load read the track file again
  messages.Calls.clear();
  EXPECT_EQ(SimulationFile(store()).Load(In("run.ssm"), -1), 5);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "This simulation file was created from a different version of the \"" +
                                        In("demo.trk") + "\" track file and, therefore, cannot be loaded.");
  EXPECT_TRUE(RunIsEmpty());
}

// The track file is looked for beside the saved simulation only, under its stored name.
TEST_F(SimulationFileTest, TheTrackFileIsTakenFromTheSimulationsFolder) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  std::filesystem::create_directories(In("copy"));
  std::filesystem::copy_file(In("run.ssm"), In("copy/run.ssm"));
  EXPECT_EQ(SimulationFile(store()).Load(In("copy/run.ssm"), -1), 3) << "no track file beside it";
  // The attempt emptied the territory, which no longer bears the name of the one it held: that
  // territory's own saved run loads it again rather than being laid over nothing.
  EXPECT_EQ(FieldText(store().TrackFilePath), "new.trk");
  EXPECT_EQ(+store().GetBlockData(0).InUse, 0);
  messages.Calls.clear();
  ASSERT_EQ(SimulationFile(store()).Load(In("run.ssm"), -1), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+store().GetBlockData(0).InUse, 1);
  EXPECT_EQ(+store().GetTrainStatus(2).InUse, 1);
  std::filesystem::copy_file(In("demo.trk"), In("copy/demo.trk"));
  EXPECT_EQ(SimulationFile(store()).Load(In("copy/run.ssm"), -1), 0);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("copy/demo.trk"));
  EXPECT_EQ(+store().GetTrainStatus(2).Speed, 40);
}

// Older versions: today's file rewritten with the shorter records and fields of that version.
Bytes AsOldVersion(const Bytes& file, int version) {
  const auto count = [&](int word) { return static_cast<size_t>(Peek<int32_t>(file, kCountsAt + 4 * word)); };
  Bytes out(file.begin(), file.begin() + kBodyAt);
  Poke(out, 16, int32_t{version});
  size_t at = kBodyAt;
  const auto copy = [&](size_t n, size_t size, size_t keep) {
    for (size_t i = 0; i < n; ++i)
      out.insert(out.end(), file.begin() + at + i * size, file.begin() + at + i * size + keep);
    at += n * size;
  };
  copy(count(kSimTrains), 768, 768);
  copy(count(kSimPermits), 107, version < 34 ? 34 : 107);
  copy(count(kSimSlowOrders), 99, 99);
  copy(count(kSimBlocks), 99, 99);
  copy(count(kSimSwitches), 125, version < 32 ? 114 : 125);
  copy(count(kSimSignals), 34, version < 32 ? 24 : 34);
  copy(count(kSimDiamonds), 59, version < 33 ? 47 : 59);
  copy(count(kSimLocations), 25, 25);
  copy(count(kSimOSHits), 8, 8);
  if (version > 30)
    copy(1, 4, 4);
  else
    at += 4;
  out.insert(out.end(), file.begin() + at, file.end());
  return out;
}

TEST_F(SimulationFileTest, OlderVersionsLoadWithTheirShorterRecords) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  const Bytes current = ReadBytes(In("run.ssm"));
  ASSERT_EQ(Count(current, kSimTrains), 3);
  for (int version : {30, 31, 32, 33}) {
    WriteBytes(In("old.ssm"), AsOldVersion(current, version));
    store().InitSimulationStatus();
    ASSERT_EQ(SimulationFile(store()).Load(In("old.ssm"), 0), 0) << version;
    EXPECT_EQ(+store().GetTrainStatus(2).Speed, 40) << version;
    const PermitStatus permit = store().GetPermitStatus(1);
    EXPECT_EQ(+permit.StartTime, 7000) << version;
    EXPECT_EQ(+permit.State, version < 34 ? 2 : 4) << version << ": the reset value where the record lacks it";
    EXPECT_EQ(+store().GetSwitchStatus(1).Position, 1) << version;
    EXPECT_EQ(+store().GetSwitchStatus(1).CrewThrowTime, 9000) << version;
    EXPECT_EQ(+store().GetSignalStatus(2).RefusalCount, 3) << version;
    EXPECT_EQ(store().GetOSHitCount(), 5) << version;
  }
}

// Seeded mutations of a good file: none crashes; each loads or is refused with an empty run.
TEST_F(SimulationFileTest, MutatedFilesLoadOrLeaveAnEmptyRun) {
  LoadDemo();
  MakeRun();
  ASSERT_EQ(SimulationFile(store()).Save(In("run.ssm")), 0);
  const Bytes good = ReadBytes(In("run.ssm"));
  std::mt19937 random(20261209);
  const auto pick = [&](size_t limit) { return std::uniform_int_distribution<size_t>(0, limit - 1)(random); };
  int loaded = 0;
  for (int round = 0; round < 600; ++round) {
    Bytes file = good;
    switch (round % 3) {
      case 0:
        file.resize(pick(good.size()));
        break;
      case 1:
        for (int n = 1 + static_cast<int>(pick(4)); n > 0; --n) file[pick(file.size())] ^= 1 << pick(8);
        break;
      default: {
        const int32_t values[] = {-1, 0, 1, 2, 50, 51, 200, 1000, 1001, 40000, 0x7fffffff, INT32_MIN};
        Poke(file, kCountsAt + 4 * pick(12), values[pick(12)]);
        break;
      }
    }
    WriteBytes(In("mutant.ssm"), file);
    MakeRun();
    const int result = SimulationFile(store()).Load(In("mutant.ssm"), -1);
    if (file.size() < 16 || !std::equal(file.begin(), file.begin() + 16, good.begin())) {
      ASSERT_EQ(result, 1) << "round " << round;  // not a simulation file: the store is left alone
      continue;
    }
    if (result == 0) {
      ++loaded;
      ASSERT_GE(store().Run.ClockSpeed, 1);
      ASSERT_LE(store().Run.AlertLinesUsed, kAlertLines);
      continue;
    }
    // A damaged track path names a track file that is not there: TrackFile::Load's refusal.
    ASSERT_TRUE(result == 1 || result == 3 || result == 5) << "round " << round << " gave " << result;
    ASSERT_TRUE(RunIsEmpty()) << "round " << round;
    if (result == 3) LoadDemo();
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
