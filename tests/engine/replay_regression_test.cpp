// A run recorded on the demonstration territory, replayed into a fresh store loaded from the same track file,
// must end with the same run-time tables: anything the engine changes without the recorder seeing it, or that
// the replay applies differently, shows up here as the first differing record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
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

class ReplayRegressionTest : public StoreFixture {
 protected:
  // Loads default.trk into a store and resets its run at the start time.
  static void PrepareRun(Corvane3Data& s) {
    ASSERT_EQ(TrackFile(s).Load(CORVANE_DEFAULT_TRK, -1), 0);
    demo::StartRunAt(s, kStart);
  }
};

TEST_F(ReplayRegressionTest, HoursOnTheDemonstrationTerritoryReplayToTheRecordedState) {
  Corvane3Data& rec = store();
  PrepareRun(rec);
  rec.SetPlaybackSink(&rec.Recorder());
  rec.OperatingMode = 1;
  rec.Run.OutputHold = 0;
  const std::string path = (folder() / "run.ply").string();
  shell.SaveFileAnswers.push_back(path);
  ASSERT_EQ(PlaybackFile(rec).Create(kStart), 0);

  // The dispatcher lines up routes and clears signals, so that signals and switches change during the run
  // and their records are recorded too.
  Engine engine(rec);
  demo::DemoDispatcher dispatcher(rec, engine);
  int32_t midClock = -1;
  std::vector<SignalStatus> midSignals;
  std::vector<SwitchStatus> midSwitches;
  for (int i = 0; i < kTicks; ++i) {
    engine.Tick();
    dispatcher.ClearForWaitingTrains();
    if (i == kTicks / 2) {
      // Cleared signals and thrown switches are back at rest by the end: compare them mid-run as well.
      midClock = rec.SimClock;
      for (int k = 0; k < kMaxSignals; ++k) midSignals.push_back(rec.GetSignalStatus(k));
      for (int k = 0; k < kMaxSwitches; ++k) midSwitches.push_back(rec.GetSwitchStatus(k));
    }
  }
  ASSERT_EQ(rec.SimClock, kStart + kTicks * 10);
  ASSERT_EQ(rec.Run.SimStopped, 0);
  PlaybackFile(rec).Close();
  for (const MessageCall& call : messages.Calls) ASSERT_NE(call.Caption, "Internal Error Trap") << call.Text;
  int trains = 0;
  for (int i = 0; i < kMaxTrainStatus; ++i) trains += rec.GetTrainStatus(i).State != 0;
  ASSERT_GT(trains, 0) << "the run must have moved trains for the replay to prove anything";
  ASSERT_GT(std::filesystem::file_size(path), sizeof(PlaybackHeader) + 1000) << "the run must have been recorded";

  // The replay runs in a store of its own, as a later program run would.
  FakeMessageService replayMessages;
  FakeShellService replayShell;
  FakeInterfaceService replayInterface;
  FakeDialogService replayDialogs;
  FakeListService replayLists;
  FakePlaybackSink replayPlayback;
  FakeDisplayService replayDisplay;
  Corvane3Data rep;
  rep.SetMessageService(&replayMessages);
  rep.SetShellService(&replayShell);
  rep.SetInterfaceService(&replayInterface);
  rep.SetDialogService(&replayDialogs);
  rep.SetListService(&replayLists);
  rep.SetPlaybackSink(&replayPlayback);
  rep.SetDisplayService(&replayDisplay);
  SetFieldText(rep.ProgramFolder, kPathChars, folder().string());
  TheStore = &rep;
  PrepareRun(rep);
  rep.OperatingMode = 2;
  rep.PlaybackIn = std::fopen(path.c_str(), "rb");
  ASSERT_NE(rep.PlaybackIn, nullptr);
  ASSERT_EQ(std::fseek(rep.PlaybackIn, sizeof(PlaybackHeader), SEEK_SET), 0);
  rep.NextPlaybackTime = -1;
  int result = 8;
  for (int32_t clock = kStart; result == 8 && clock <= rec.SimClock + 10; clock += 10) {
    result = PlaybackFile(rep).Read(clock);
    if (clock != midClock) continue;
    ExpectSameTable<SignalStatus>("SignalStatus mid-run", kMaxSignals,
                                  [&](int k) { return std::make_pair(midSignals[k], rep.GetSignalStatus(k)); });
    ExpectSameTable<SwitchStatus>("SwitchStatus mid-run", kMaxSwitches,
                                  [&](int k) { return std::make_pair(midSwitches[k], rep.GetSwitchStatus(k)); });
  }
  EXPECT_EQ(result, 7) << "the recording must end by the recorded run's last tick";
  if (rep.PlaybackIn) std::fclose(rep.PlaybackIn);
  rep.PlaybackIn = nullptr;
  TheStore = &rec;
  EXPECT_TRUE(replayMessages.Calls.empty());

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

}  // namespace
