#include "store/replay.h"

#include <gtest/gtest.h>

#include <cstring>

#include "store/fixed_text.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/playback_recorder.h"
#include "tests/store/track_file_test_util.h"
#include "tools/territory/demo_territory.h"

namespace {

using namespace track_test;

class ReplayTest : public TrackFileTest {
 protected:
  ReplayTest() { territory::BuildDemonstrationTerritory(store()); }

  // Starts a recording through the store's own recorder, as a run with playback does.
  void StartRecording() {
    store().SetPlaybackSink(&store().Recorder());
    store().InitSimulationStatus();
    store().SetSimClock(3600);
    store().OperatingMode = 1;
    store().Run.OutputHold = 0;
    shell.SaveFileAnswers.push_back(In("run.ply"));
    ASSERT_EQ(PlaybackFile(store()).Create(3600), 0);
  }

  // Opens the recording for replay on an empty run, positioned behind its header.
  void StartReplay(const std::string& path) {
    store().InitSimulationStatus();
    store().OperatingMode = 2;
    store().PlaybackIn = std::fopen(path.c_str(), "rb");
    ASSERT_NE(store().PlaybackIn, nullptr);
    ASSERT_EQ(std::fseek(store().PlaybackIn, sizeof(PlaybackHeader), SEEK_SET), 0);
    store().NextPlaybackTime = -1;
  }

  // A recording made of a header and hand-made records.
  void WriteRecording(const Bytes& records) {
    Bytes file(sizeof(PlaybackHeader), 0);
    file.insert(file.end(), records.begin(), records.end());
    WriteBytes(In("made.ply"), file);
  }

  template <class Record>
  static void Append(Bytes& out, int32_t time, PlaybackKind kind, int index, const Record& record) {
    const auto put = [&](const void* p, size_t n) {
      const auto* b = static_cast<const uint8_t*>(p);
      out.insert(out.end(), b, b + n);
    };
    put(&time, 4);
    out.push_back(static_cast<uint8_t>(kind));
    if (PlaybackKindHasIndex(kind)) {
      const int16_t index16 = static_cast<int16_t>(index);
      put(&index16, 2);
    }
    put(&record, sizeof record);
  }

  ~ReplayTest() override {
    if (store().PlaybackIn) std::fclose(store().PlaybackIn);
    store().PlaybackIn = nullptr;
  }
};

// A recorded run replays to the same run-time state, and a replay up to a moment applies only what is due.
TEST_F(ReplayTest, ARecordedRunReplaysToTheSameState) {
  StartRecording();
  Corvane3Data& s = store();
  TrainStatus train = s.GetTrainStatus(4);
  train.InUse = 1;
  train.HeadBlock = 5;
  train.Speed = 30;
  s.UpdateTrainStatus(4, train, 1);
  SwitchStatus sw = s.GetSwitchStatus(0);
  sw.Position = 1;
  s.UpdateSwitchStatus(0, sw);
  s.AdvanceSimClock(600);
  train.Speed = 50;
  train.HeadBlock = 6;
  s.UpdateTrainStatus(4, train);
  BlockStatus block = s.GetBlockStatus(6);
  block.Occupancy = 3;
  block.Trains[0] = 4;
  s.UpdateBlockStatus(6, block);
  PermitStatus permit = s.GetPermitStatus(2);
  permit.InUse = 1;
  permit.State = 3;
  s.UpdatePermitStatus(2, permit);
  s.AddNewOSHit(6, 4, s.GetSimClock());
  s.AdvanceSimClock(600);
  s.FreePermitStatus(2);
  StackData stack = s.GetStackData(0);
  stack.InUse = 1;
  stack.EntranceSignal = 3001;
  s.UpdateStackData(0, stack);
  s.AdvanceSimClock(10);
  PlaybackFile(s).Close();

  const TrainStatus endTrain = s.GetTrainStatus(4);
  const BlockStatus endBlock = s.GetBlockStatus(6);

  StartReplay(In("run.ply"));
  EXPECT_EQ(PlaybackFile(s).Read(3600), 8);
  EXPECT_EQ(+s.GetTrainStatus(4).Speed, 30) << "only the first moment applied";
  EXPECT_EQ(+s.GetSwitchStatus(0).Position, 1);
  EXPECT_EQ(+s.GetBlockStatus(6).Occupancy, 0);
  EXPECT_EQ(+s.RecordingSuppressed, 0);
  EXPECT_EQ(PlaybackFile(s).Read(4200), 8);
  EXPECT_EQ(+s.GetPermitStatus(2).InUse, 1);
  EXPECT_EQ(s.GetOSHitCount(), 1);
  EXPECT_EQ(PlaybackFile(s).Read(100000), 7);
  EXPECT_EQ(s.PlaybackIn, nullptr);
  const TrainStatus replayedTrain = s.GetTrainStatus(4);
  EXPECT_EQ(0, std::memcmp(&endTrain, &replayedTrain, sizeof endTrain));
  const BlockStatus replayedBlock = s.GetBlockStatus(6);
  EXPECT_EQ(0, std::memcmp(&endBlock, &replayedBlock, sizeof endBlock));
  EXPECT_EQ(+s.GetPermitStatus(2).InUse, 0);
  EXPECT_EQ(+s.GetStackData(0).EntranceSignal, 3001);
  EXPECT_TRUE(messages.Calls.empty());
}

// Handing a train slot out again clears its former train's OS hits; the replay clears them too, and the
// ring's count stays where the recording had it.
TEST_F(ReplayTest, AReusedTrainSlotsClearedHitsReplay) {
  StartRecording();
  Corvane3Data& s = store();
  s.AddNewOSHit(6, 0, s.GetSimClock());
  s.AddNewOSHit(7, 1, s.GetSimClock());
  s.AdvanceSimClock(60);
  ASSERT_EQ(s.FindFreeTrainStatus(), 0);
  ASSERT_EQ(+s.GetOSHit(0).Device, 0xFFFF);
  s.AdvanceSimClock(60);
  PlaybackFile(s).Close();

  StartReplay(In("run.ply"));
  EXPECT_EQ(PlaybackFile(s).Read(3600), 8);
  EXPECT_EQ(+s.GetOSHit(0).Device, 6);
  EXPECT_EQ(PlaybackFile(s).Read(100000), 7);
  EXPECT_EQ(+s.GetOSHit(0).Device, 0xFFFF);
  EXPECT_EQ(+s.GetOSHit(1).Device, 7);
  EXPECT_EQ(s.GetOSHitCount(), 2);
}

TEST_F(ReplayTest, AHeaderOnlyRecordingEndsAtTheFirstTick) {
  WriteRecording({});
  StartReplay(In("made.ply"));
  EXPECT_EQ(PlaybackFile(store()).Read(0), 7);
  EXPECT_EQ(store().PlaybackIn, nullptr);
  EXPECT_EQ(+store().RecordingSuppressed, 1);
  EXPECT_TRUE(messages.Calls.empty());
}

// A damaged record ends the replay with a message and applies nothing of itself.
TEST_F(ReplayTest, ADamagedRecordEndsTheReplay) {
  TrainStatus train{};
  train.InUse = 1;
  train.Speed = 70;
  struct Case {
    const char* name;
    Bytes records;
  };
  Bytes unknownKind;
  Append(unknownKind, 10, PlaybackKind::TrainStatus, 1, train);
  unknownKind[4] = 15;
  Bytes badIndex;
  Append(badIndex, 10, PlaybackKind::TrainStatus, 1000, train);
  Bytes negativeIndex;
  Append(negativeIndex, 10, PlaybackKind::StackData, -1, StackData{});
  Bytes shortImage;
  Append(shortImage, 10, PlaybackKind::TrainStatus, 1, train);
  shortImage.resize(shortImage.size() - 3);
  Bytes noKind = {10, 0, 0, 0};
  Bytes hitsMovedOut;
  Append(hitsMovedOut, 10, PlaybackKind::OSHit, 0, OSHitsMovedRecord(1, kMaxTrainStatus));
  Bytes hitsMovedBack;
  Append(hitsMovedBack, 10, PlaybackKind::OSHit, 0, OSHit{0xFFFF, 1, -5});
  for (const Case& c :
       {Case{"kind 15", unknownKind}, Case{"index 1000", badIndex}, Case{"index -1", negativeIndex},
        Case{"short image", shortImage}, Case{"no kind", noKind}, Case{"OS hits moved to slot 1000", hitsMovedOut},
        Case{"OS hits moved to slot -6", hitsMovedBack}}) {
    WriteRecording(c.records);
    StartReplay(In("made.ply"));
    messages.Calls.clear();
    EXPECT_EQ(PlaybackFile(store()).Read(100), 7) << c.name;
    ASSERT_EQ(messages.Calls.size(), 1u) << c.name;
    EXPECT_EQ(messages.Calls[0].Text, "Problem with playback file.") << c.name;
    EXPECT_EQ(+store().GetTrainStatus(1).InUse, 0) << c.name;
    EXPECT_EQ(store().PlaybackIn, nullptr) << c.name;
  }
}

// A permit image not in use frees a slot that is in use, and leaves a free slot alone.
TEST_F(ReplayTest, APermitIsFreedOnlyWhenInUse) {
  PermitStatus freed{};
  Bytes records;
  Append(records, 10, PlaybackKind::PermitStatus, 3, freed);
  Append(records, 10, PlaybackKind::PermitStatus, 4, freed);
  WriteRecording(records);
  StartReplay(In("made.ply"));
  PermitStatus inUse = store().GetPermitStatus(3);
  inUse.InUse = 1;
  store().UpdatePermitStatus(3, inUse);
  EXPECT_EQ(PlaybackFile(store()).Read(10), 7);
  EXPECT_EQ(+store().GetPermitStatus(3).InUse, 0);
  EXPECT_TRUE(messages.Calls.empty()) << "no internal error for the free slot";
}

// OS hits replay into the ring as recording fills it.
TEST_F(ReplayTest, OSHitsWrapAtTheRingsEnd) {
  Bytes records;
  Append(records, 10, PlaybackKind::OSHit, 0, OSHit{7, 1, 100});
  WriteRecording(records);
  StartReplay(In("made.ply"));
  store().SetOSHitCount(kMaxOSHits - 1);
  EXPECT_EQ(PlaybackFile(store()).Read(10), 7);
  EXPECT_EQ(+store().GetOSHit(kMaxOSHits - 1).Device, 7);
  EXPECT_EQ(store().GetOSHitCount(), 0);
}

// Alert lines scroll at 50 and the selection follows; the status bar shows the new line.
TEST_F(ReplayTest, AlertLinesAreAppended) {
  char text[kPlaybackAlertBytes] = {};
  std::strcpy(text, "ALERT 0051  late");
  Bytes records;
  Append(records, 10, PlaybackKind::AlertLine, 0, text);
  WriteRecording(records);
  StartReplay(In("made.ply"));
  RunState& run = store().Run;
  for (int i = 0; i < kAlertLines; ++i) SetFieldText(run.AlertLines[i].data(), kAlertLineChars, std::to_string(i));
  run.AlertLinesUsed = kAlertLines;
  run.SelectedAlertLine = 10;
  OptionData options = store().GetOptionData();
  options.DisplayLastAlert = 0;
  store().UpdateOptionData(options);
  EXPECT_EQ(PlaybackFile(store()).Read(10), 7);
  EXPECT_STREQ(run.AlertLines[0].data(), "1");
  EXPECT_STREQ(run.AlertLines[49].data(), "ALERT 0051  late");
  EXPECT_EQ(run.SelectedAlertLine, 9);
  EXPECT_EQ(run.AlertCounter, 0) << "no alert number is taken";
}

// View records follow the recorded view only with "Automatically scroll screen" on.
TEST_F(ReplayTest, ViewRecordsFollowTheOption) {
  Bytes records;
  Append(records, 10, PlaybackKind::View, 0, PlaybackView{3, 4, 2, 0});
  for (uint8_t autoScroll : {0, 1}) {
    WriteRecording(records);
    StartReplay(In("made.ply"));
    OptionData options = store().GetOptionData();
    options.AutoScroll = autoScroll;
    options.ClassicDisplay = 1;
    store().UpdateOptionData(options);
    store().ZoomDivisor = 1;
    EXPECT_EQ(PlaybackFile(store()).Read(10), 7);
    if (autoScroll == 0) {
      EXPECT_TRUE(shell.ScrollPositions.empty());
      EXPECT_EQ(store().ZoomDivisor, 1);
      continue;
    }
    EXPECT_EQ(store().ZoomDivisor, 2);
    EXPECT_EQ(shell.ZoomSwaps, 1);
    ASSERT_EQ(shell.ScrollPositions.size(), 1u);
    EXPECT_EQ(shell.ScrollPositions[0], std::make_pair(3, 4));
    ASSERT_EQ(shell.ScrollRanges.size(), 1u);
    EXPECT_EQ(shell.ScrollRanges[0], (FakeShellService::Ranges{40 * 16 / 2, 30 * 16 / 2, 1}));
    EXPECT_EQ(shell.ClassicDisplayToggles, 1) << "the recorded display differs from the current one";
  }
}

TEST(PlaybackJump, TargetsFollowDayTimeAndWeek) {
  const int32_t mondaySix = 86400 + 6 * 3600;
  struct Case {
    int32_t minutes, day, weeks, start, target;
  };
  for (const Case& c :
       {Case{870, 2, 0, mondaySix, 225000}, Case{0, 0, 0, mondaySix, mondaySix}, Case{360, 1, 0, mondaySix, mondaySix},
        Case{60, 0, 1, mondaySix, 604800 + 3600}, Case{0, 0, 0, -1, 0}}) {
    EXPECT_EQ(PlaybackJumpTarget(c.minutes, c.day, c.weeks, c.start), c.target)
        << c.minutes << " " << c.day << " " << c.weeks;
  }
  const PlaybackStartFields fields = MakePlaybackStartFields(mondaySix + 7 * 86400 + 5 * 60);
  EXPECT_EQ(fields.TimeText, "06:05");
  EXPECT_EQ(fields.DayText, "Mo");
  EXPECT_EQ(fields.Day, 1);
}

}  // namespace
