// A run kept in the repository holds what the program did and must go on doing. Its territory, its recording
// and the state it ended in were written by an earlier build (the disabled writer below, run with
// --gtest_also_run_disabled_tests). Today's engine, driven from that territory by the same dispatcher for the
// same ticks, must end in the kept state byte for byte: a change to the engine's movement, interlocking or
// timetable that alters the run fails the re-run. The kept recording, replayed tick by tick or with a jump,
// must end in that state too: a change to the store or the replay that alters what a saved recording shows
// fails there, whatever the code that records now writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/playback_recorder.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/demo_dispatcher.h"
#include "tools/territory/demo_territory.h"

namespace {

const std::filesystem::path kData = CORVANE_TEST_DATA;
constexpr int32_t kStart = 86400 + 5 * 3600;  // Monday 05:00
constexpr int kTicks = 4320;                  // twelve simulated hours at ten seconds a tick

// One run-time table as raw records, in the order the state file keeps them.
struct Table {
  const char* Name;
  std::vector<unsigned char> Bytes;
  size_t RecordSize;
};

template <class Record, class Get>
Table TableOf(const char* name, int count, Get get) {
  Table table{name, {}, sizeof(Record)};
  table.Bytes.resize(sizeof(Record) * count);
  for (int i = 0; i < count; ++i) {
    const Record record = get(i);
    std::memcpy(table.Bytes.data() + sizeof(Record) * i, &record, sizeof(Record));
  }
  return table;
}

std::vector<Table> StateOf(const Corvane3Data& s) {
  const auto get = [&s](auto getter) { return [&s, getter](int i) { return (s.*getter)(i); }; };
  std::vector<Table> tables;
  tables.push_back(TableOf<TrainStatus>("TrainStatus", kMaxTrainStatus, get(&Corvane3Data::GetTrainStatus)));
  tables.push_back(TableOf<BlockStatus>("BlockStatus", kMaxBlocks, get(&Corvane3Data::GetBlockStatus)));
  tables.push_back(TableOf<SwitchStatus>("SwitchStatus", kMaxSwitches, get(&Corvane3Data::GetSwitchStatus)));
  tables.push_back(TableOf<SignalStatus>("SignalStatus", kMaxSignals, get(&Corvane3Data::GetSignalStatus)));
  tables.push_back(TableOf<CrossStatus>("CrossStatus", kMaxCrossings, get(&Corvane3Data::GetCrossStatus)));
  tables.push_back(TableOf<SlowStatus>("SlowStatus", kMaxSlowStatus, get(&Corvane3Data::GetSlowStatus)));
  tables.push_back(TableOf<PermitStatus>("PermitStatus", kMaxPermitStatus, get(&Corvane3Data::GetPermitStatus)));
  tables.push_back(TableOf<OrgStatus>("OrgStatus", kMaxLocations, get(&Corvane3Data::GetOrgStatus)));
  tables.push_back(TableOf<StackData>("StackData", kMaxStack, get(&Corvane3Data::GetStackData)));
  tables.push_back(
      TableOf<TrainStationTime>("TrainStationTime", kMaxTrainStatus, get(&Corvane3Data::GetTrainStationTime)));
  tables.push_back(TableOf<TrainStop>("TrainStop", kMaxTrainStatus, get(&Corvane3Data::GetTrainStop)));
  const int32_t hits = s.GetOSHitCount();
  tables.push_back(TableOf<int32_t>("OSHitCount", 1, [hits](int) { return hits; }));
  tables.push_back(TableOf<OSHit>("OSHit", hits, get(&Corvane3Data::GetOSHit)));
  return tables;
}

std::vector<unsigned char> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class RecordedRunTest : public StoreFixture {
 protected:
  // Loads the territory into a store and resets its run at the recording's start.
  static void PrepareRun(Corvane3Data& s, const std::filesystem::path& track) {
    ASSERT_EQ(TrackFile(s).Load(track.string(), -1), 0);
    demo::StartRunAt(s, kStart);
  }

  // Opens the kept recording for a replay into the store, behind its header.
  static void OpenRecording(Corvane3Data& s) {
    s.OperatingMode = 2;
    s.PlaybackIn = std::fopen((kData / "recorded_run.ply").string().c_str(), "rb");
    ASSERT_NE(s.PlaybackIn, nullptr);
    ASSERT_EQ(std::fseek(s.PlaybackIn, sizeof(PlaybackHeader), SEEK_SET), 0);
    s.NextPlaybackTime = -1;
  }

  // Runs the engine on the territory for the recorded ticks, recording into `recording`, with the dispatcher
  // that clears the signal in front of each waiting train.
  void RecordTheRun(Corvane3Data& s, const std::filesystem::path& track, const std::filesystem::path& recording) {
    ASSERT_NO_FATAL_FAILURE(PrepareRun(s, track));
    s.SetPlaybackSink(&s.Recorder());
    s.OperatingMode = 1;
    s.Run.OutputHold = 0;
    shell.SaveFileAnswers.push_back(recording.string());
    ASSERT_EQ(PlaybackFile(s).Create(kStart), 0);
    Engine engine(s);
    for (int i = 0; i < kTicks; ++i) {
      engine.Tick();
      demo::ClearSignalsForWaitingTrains(s, engine);
    }
    ASSERT_EQ(s.Run.SimStopped, 0);
    PlaybackFile(s).Close();
    for (const MessageCall& call : messages.Calls) ASSERT_NE(call.Caption, "Internal Error Trap") << call.Text;
  }

  // Compares the store's state with the kept one, naming the first record of each table that differs.
  static void ExpectKeptState(const Corvane3Data& s) {
    const std::vector<unsigned char> kept = ReadAll(kData / "recorded_run.state");
    size_t at = 0;
    for (const Table& table : StateOf(s)) {
      ASSERT_LE(at + table.Bytes.size(), kept.size()) << table.Name << " is missing from the kept state";
      for (size_t i = 0; i < table.Bytes.size(); i += table.RecordSize) {
        if (std::memcmp(kept.data() + at + i, table.Bytes.data() + i, table.RecordSize) != 0) {
          ADD_FAILURE() << table.Name << " record " << i / table.RecordSize << " differs from the recorded run's";
          break;
        }
      }
      at += table.Bytes.size();
    }
    EXPECT_EQ(at, kept.size()) << "the kept state holds more than the run gave";
  }
};

// Writes the territory, the recording and the state the recorded run ended in into the folder named by
// CORVANE_WRITE_RECORDING.
TEST_F(RecordedRunTest, DISABLED_WriteTheRecording) {
  const char* out = std::getenv("CORVANE_WRITE_RECORDING");
  ASSERT_NE(out, nullptr) << "name the folder to write in CORVANE_WRITE_RECORDING";
  const std::filesystem::path folder = out;
  territory::BuildDemonstrationTerritory(store());
  ASSERT_EQ(TrackFile(store()).Write((folder / "recorded_run.trk").string(), 0), 0);
  Corvane3Data& rec = store();
  ASSERT_NO_FATAL_FAILURE(RecordTheRun(rec, folder / "recorded_run.trk", folder / "recorded_run.ply"));
  std::ofstream state(folder / "recorded_run.state", std::ios::binary);
  for (const Table& table : StateOf(rec))
    state.write(reinterpret_cast<const char*>(table.Bytes.data()), static_cast<std::streamsize>(table.Bytes.size()));
}

// Today's engine runs the kept territory as the recorded run did.
TEST_F(RecordedRunTest, RunAgainTheEngineEndsInTheRecordedState) {
  Corvane3Data& s = store();
  ASSERT_NO_FATAL_FAILURE(RecordTheRun(s, kData / "recorded_run.trk", folder() / "rerun.ply"));
  ExpectKeptState(s);
  ASSERT_GT(s.GetOSHitCount(), 0) << "the run passed OS points";
}

// Ten seconds of records a tick, as a playback runs.
TEST_F(RecordedRunTest, ReplayedTickByTickItEndsInTheRecordedState) {
  Corvane3Data& s = store();
  PrepareRun(s, kData / "recorded_run.trk");
  OpenRecording(s);
  int result = 8;
  int32_t clock = kStart;
  for (; result == 8 && clock <= kStart + kTicks * 10 + 10; clock += 10) result = PlaybackFile(s).Read(clock);
  EXPECT_EQ(result, 7) << "the recording must end by the recorded run's last tick";
  EXPECT_TRUE(messages.Calls.empty());
  ExpectKeptState(s);
  ASSERT_GT(s.GetOSHitCount(), 0) << "the run passed OS points";
}

// The jump: every record up to the moment in one call, then on to the end.
TEST_F(RecordedRunTest, AJumpIntoTheRecordingThenOnEndsInTheRecordedState) {
  Corvane3Data& s = store();
  PrepareRun(s, kData / "recorded_run.trk");
  OpenRecording(s);
  const int32_t jump = kStart + kTicks * 10 - 3600;
  ASSERT_EQ(PlaybackFile(s).Read(jump), 8);
  EXPECT_GE(s.NextPlaybackTime, jump);
  int result = 8;
  for (int32_t clock = jump + 10; result == 8 && clock <= kStart + kTicks * 10 + 10; clock += 10)
    result = PlaybackFile(s).Read(clock);
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(messages.Calls.empty());
  ExpectKeptState(s);
}

// A train record holding a time no run reaches (a damaged standing time) ends the playback at that record
// with the damaged recording's message; the train stays as the record before left it, and the run goes on
// from there as a simulation.
TEST_F(RecordedRunTest, ATrainRecordNoRunReachesEndsThePlaybackAtTheLastGoodState) {
  std::vector<unsigned char> file = ReadAll(kData / "recorded_run.ply");
  // The first record of a train in use after the first hour, of a slot recorded before it.
  std::map<int, size_t> lastImage;
  size_t damagedAt = 0;
  int slot = -1;
  for (size_t at = sizeof(PlaybackHeader); at + 5 <= file.size() && slot < 0;) {
    int32_t time;
    std::memcpy(&time, &file[at], 4);
    const auto kind = static_cast<PlaybackKind>(file[at + 4]);
    const size_t image = at + 5;
    if (kind == PlaybackKind::TrainStatus) {
      int16_t index;
      std::memcpy(&index, &file[image], 2);
      const size_t record = image + 2;
      if (time > kStart + 3600 && file[record] == 1 && lastImage.count(index) != 0) {
        damagedAt = record;
        slot = index;
      } else {
        lastImage[index] = record;
      }
    }
    at = image + PlaybackImageBytes(kind);
  }
  ASSERT_GE(slot, 0);
  TrainStatus lastGood;
  std::memcpy(&lastGood, &file[lastImage[slot]], sizeof lastGood);
  const int32_t damaged = -2147449928;
  std::memcpy(&file[damagedAt + 83], &damaged, 4);
  const std::string path = (folder() / "damaged.ply").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

  Corvane3Data& s = store();
  PrepareRun(s, kData / "recorded_run.trk");
  s.OperatingMode = operating_mode::kPlayback;
  s.PlaybackIn = std::fopen(path.c_str(), "rb");
  ASSERT_NE(s.PlaybackIn, nullptr);
  ASSERT_EQ(std::fseek(s.PlaybackIn, sizeof(PlaybackHeader), SEEK_SET), 0);
  s.NextPlaybackTime = -1;
  s.Run.SimStopped = 0;
  s.Run.SimPaused = 0;
  Engine engine(s);
  for (int i = 0; i < kTicks && s.OperatingMode == operating_mode::kPlayback; ++i) engine.Tick();
  EXPECT_EQ(s.OperatingMode, operating_mode::kSimulation);
  EXPECT_EQ(s.PlaybackIn, nullptr);
  ASSERT_FALSE(messages.Calls.empty());
  EXPECT_EQ(messages.Calls[0].Text, "Problem with playback file.");
  const TrainStatus shown = s.GetTrainStatus(slot);
  EXPECT_EQ(std::memcmp(&shown, &lastGood, sizeof shown), 0) << "train slot " << slot;

  s.Run.SimStopped = 0;
  for (int i = 0; i < 360; ++i) engine.Tick();
}

}  // namespace
