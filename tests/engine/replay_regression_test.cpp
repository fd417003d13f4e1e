// A run recorded on the demonstration territory, replayed into a fresh store loaded from the same track file,
// must end with the same run-time tables: anything the engine changes without the recorder seeing it, or that
// the replay applies differently, shows up here as the first differing record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/playback_recorder.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "tools/territory/demo_dispatcher.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kStart = 6 * 3600;
constexpr int kTicks = 3 * 360;  // three simulated hours at ten seconds a tick

// Compares two tables record by record and names the first record that differs.
template <class Record, class Get>
void ExpectSameTable(const char* table, int size, Get get) {
  for (int i = 0; i < size; ++i) {
    const auto [recorded, replayed] = get(i);
    static_assert(std::is_same_v<std::decay_t<decltype(recorded)>, Record>);
    if (std::memcmp(&recorded, &replayed, sizeof(Record)) != 0) {
      ADD_FAILURE() << table << " record " << i << " differs after replay";
      return;
    }
  }
}

// A store of its own for the replay, as a later program run would have.
struct ReplayStore {
  explicit ReplayStore(const std::filesystem::path& folder) {
    Store->SetMessageService(&Messages);
    Store->SetShellService(&Shell);
    Store->SetInterfaceService(&Interface);
    Store->SetDialogService(&Dialogs);
    Store->SetListService(&Lists);
    Store->SetPlaybackSink(&Playback);
    Store->SetDisplayService(&Display);
    SetFieldText(Store->ProgramFolder, kPathChars, folder.string());
  }
  ~ReplayStore() {
    if (Store->PlaybackIn) std::fclose(Store->PlaybackIn);
    Store->PlaybackIn = nullptr;
  }
  FakeMessageService Messages;
  FakeShellService Shell;
  FakeInterfaceService Interface;
  FakeDialogService Dialogs;
  FakeListService Lists;
  FakePlaybackSink Playback;
  FakeDisplayService Display;
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
};

class ReplayRegressionTest : public StoreFixture {
 protected:
  // Loads default.trk into a store and resets its run at the start time.
  static void PrepareRun(Corvane3Data& s, int32_t start) {
    ASSERT_EQ(TrackFile(s).Load(CORVANE_DEFAULT_TRK, -1), 0);
    demo::StartRunAt(s, start);
  }

  // Records `ticks` ticks of the demonstration territory from `start` into run.ply, with a dispatcher that
  // lines up routes and clears signals, so that signals and switches change during the run and their records
  // are recorded too. `afterTick` sees each tick's number. The recording's path.
  std::string RecordRun(int32_t start, int ticks, const std::function<void(int)>& afterTick = {}) {
    Corvane3Data& rec = store();
    PrepareRun(rec, start);
    rec.SetPlaybackSink(&rec.Recorder());
    rec.OperatingMode = 1;
    rec.Run.OutputHold = 0;
    const std::string path = (folder() / "run.ply").string();
    shell.SaveFileAnswers.push_back(path);
    EXPECT_EQ(PlaybackFile(rec).Create(start), 0);
    Engine engine(rec);
    demo::DemoDispatcher dispatcher(rec, engine);
    for (int i = 0; i < ticks; ++i) {
      engine.Tick();
      dispatcher.ClearForWaitingTrains();
      if (afterTick) afterTick(i);
    }
    EXPECT_EQ(rec.SimClock, start + ticks * 10);
    EXPECT_EQ(rec.Run.SimStopped, 0);
    PlaybackFile(rec).Close();
    for (const MessageCall& call : messages.Calls) EXPECT_NE(call.Caption, "Internal Error Trap") << call.Text;
    EXPECT_GT(std::filesystem::file_size(path), sizeof(PlaybackHeader) + 1000) << "the run must have been recorded";
    return path;
  }

  // Replays the recording at `path` into `rep` ten seconds a tick, as a playback runs, until the recorded
  // run's clock; `atClock` sees each tick's clock. The last read's result.
  int Replay(ReplayStore& rep, const std::string& path, int32_t start,
             const std::function<void(int32_t)>& atClock = {}) {
    Corvane3Data& s = *rep.Store;
    TheStore = &s;
    PrepareRun(s, start);
    s.OperatingMode = 2;
    s.PlaybackIn = std::fopen(path.c_str(), "rb");
    EXPECT_NE(s.PlaybackIn, nullptr);
    if (!s.PlaybackIn) return -1;
    EXPECT_EQ(std::fseek(s.PlaybackIn, sizeof(PlaybackHeader), SEEK_SET), 0);
    s.NextPlaybackTime = -1;
    int result = 8;
    for (int32_t clock = start; result == 8 && clock <= store().SimClock + 10; clock += 10) {
      result = PlaybackFile(s).Read(clock);
      if (atClock) atClock(clock);
    }
    TheStore = &store();
    EXPECT_TRUE(rep.Messages.Calls.empty());
    return result;
  }
};

TEST_F(ReplayRegressionTest, HoursOnTheDemonstrationTerritoryReplayToTheRecordedState) {
  Corvane3Data& rec = store();
  int32_t midClock = -1;
  std::vector<SignalStatus> midSignals;
  std::vector<SwitchStatus> midSwitches;
  const std::string path = RecordRun(kStart, kTicks, [&](int tick) {
    if (tick != kTicks / 2) return;
    // Cleared signals and thrown switches are back at rest by the end: compare them mid-run as well.
    midClock = rec.SimClock;
    for (int k = 0; k < kMaxSignals; ++k) midSignals.push_back(rec.GetSignalStatus(k));
    for (int k = 0; k < kMaxSwitches; ++k) midSwitches.push_back(rec.GetSwitchStatus(k));
  });
  int trains = 0;
  for (int i = 0; i < kMaxTrainStatus; ++i) trains += rec.GetTrainStatus(i).State != 0;
  ASSERT_GT(trains, 0) << "the run must have moved trains for the replay to prove anything";

  ReplayStore replay(folder());
  Corvane3Data& rep = *replay.Store;
  EXPECT_EQ(Replay(replay, path, kStart,
                   [&](int32_t clock) {
                     if (clock != midClock) return;
                     ExpectSameTable<SignalStatus>("SignalStatus mid-run", kMaxSignals, [&](int k) {
                       return std::make_pair(midSignals[k], rep.GetSignalStatus(k));
                     });
                     ExpectSameTable<SwitchStatus>("SwitchStatus mid-run", kMaxSwitches, [&](int k) {
                       return std::make_pair(midSwitches[k], rep.GetSwitchStatus(k));
                     });
                   }),
            7)
      << "the recording must end by the recorded run's last tick";

  const auto pairOf = [&](auto getter) {
    return [&, getter](int i) { return std::make_pair((rec.*getter)(i), (rep.*getter)(i)); };
  };
  ExpectSameTable<TrainStatus>("TrainStatus", kMaxTrainStatus, pairOf(&Corvane3Data::GetTrainStatus));
  ExpectSameTable<BlockStatus>("BlockStatus", kMaxBlocks, pairOf(&Corvane3Data::GetBlockStatus));
  ExpectSameTable<SwitchStatus>("SwitchStatus", kMaxSwitches, pairOf(&Corvane3Data::GetSwitchStatus));
  ExpectSameTable<SignalStatus>("SignalStatus", kMaxSignals, pairOf(&Corvane3Data::GetSignalStatus));
  ExpectSameTable<CrossStatus>("CrossStatus", kMaxCrossings, pairOf(&Corvane3Data::GetCrossStatus));
  ExpectSameTable<SlowStatus>("SlowStatus", kMaxSlowStatus, pairOf(&Corvane3Data::GetSlowStatus));
  ExpectSameTable<PermitStatus>("PermitStatus", kMaxPermitStatus, pairOf(&Corvane3Data::GetPermitStatus));
  ExpectSameTable<OrgStatus>("OrgStatus", kMaxLocations, pairOf(&Corvane3Data::GetOrgStatus));
  ExpectSameTable<StackData>("StackData", kMaxStack, pairOf(&Corvane3Data::GetStackData));
  ExpectSameTable<TrainStationTime>("TrainStationTime", kMaxTrainStatus, pairOf(&Corvane3Data::GetTrainStationTime));
  ExpectSameTable<TrainStop>("TrainStop", kMaxTrainStatus, pairOf(&Corvane3Data::GetTrainStop));
  EXPECT_EQ(rep.GetOSHitCount(), rec.GetOSHitCount());
  ExpectSameTable<OSHit>("OSHit", rec.GetOSHitCount(), pairOf(&Corvane3Data::GetOSHit));
}

// 131 becomes 931 at Bexley: the hits 131 made move to the slot that keeps its old identity. The replay
// must move them too, or the OS report and the train graph show 131's run under 931.
TEST_F(ReplayRegressionTest, ATrainThatBecomesAnotherReplaysToTheRunsOSHitRing) {
  constexpr int32_t kMondayAfternoon = 86400 + 15 * 3600 + 50 * 60;  // 131 enters at 16:00
  constexpr int kHour = 360;
  const std::string path = RecordRun(kMondayAfternoon, kHour + kHour / 2);
  Corvane3Data& rec = store();
  int oldIdentity = -1;
  for (int i = 0; i < kMaxTrainStatus; ++i) {
    const TrainStatus& train = rec.TrainStatusRef(i);
    if (train.State == TrainState::Became && FieldText(train.TrainId) == "131") oldIdentity = i;
  }
  ASSERT_GE(oldIdentity, 0) << "131 must have become 931 in the run";
  int oldHits = 0;
  for (int i = 0; i < rec.GetOSHitCount(); ++i) {
    const OSHit hit = rec.GetOSHit(i);
    oldHits += hit.Device != 0xFFFF && hit.TrainSlot == oldIdentity;
  }
  ASSERT_GT(oldHits, 0) << "131 must have passed OS points before Bexley";

  ReplayStore replay(folder());
  EXPECT_EQ(Replay(replay, path, kMondayAfternoon), 7);
  const Corvane3Data& rep = *replay.Store;
  EXPECT_EQ(rep.GetOSHitCount(), rec.GetOSHitCount());
  for (int i = 0; i < kMaxOSHits; ++i) {
    const OSHit recorded = rec.GetOSHit(i), replayed = rep.GetOSHit(i);
    ASSERT_EQ(std::memcmp(&recorded, &replayed, sizeof(OSHit)), 0)
        << "OS hit " << i << ": train slot " << replayed.TrainSlot << " in the replay, " << recorded.TrainSlot
        << " in the run";
  }
}

}  // namespace
