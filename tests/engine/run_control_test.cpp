#include "engine/run_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/command_ids.h"
#include "store/operating_mode.h"
#include "store/playback_format.h"
#include "store/track_file.h"
#include "tests/engine/movement_fixture.h"
#include "tests/support/not_files.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Pair;

//   x:    2      9   11    18   20    27   29    36
//   WST   ===B0===   ===B1===   ===B2===   ===B3===  EST      one mile each, signals at both ends
// Start times: 06:00 every day with train 101 in B2 heading right; 05:30 on Tuesdays only.
class RunControlTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    t.StartTime(360, {{.Train = data, .Block = b[2], .Direction = 1}});
    t.StartTime(330, {}, {0, 0, 1, 0, 0, 0, 0});
    Ready();
    store().SimClock = -1;
  }
  // Answers the start-time dialog with this day and minute.
  void Choose(int day, int minute) { dialogs.SelectStartResults.push_back(1000 + minute * 7 + day); }
  void SetStart(int index, const std::function<void(StartTime&)>& change) {
    StartTime start = store().GetStartTime(index);
    change(start);
    store().UpdateStartTime(index, start);
  }
  void SetOptions(const std::function<void(OptionData&)>& change) {
    OptionData options = store().GetOptionData();
    change(options);
    store().UpdateOptionData(options);
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
  std::string LastStatus(StatusPane pane) {
    for (auto it = shell.StatusTexts.rbegin(); it != shell.StatusTexts.rend(); ++it)
      if (it->first == pane) return it->second;
    return "(none)";
  }
  RunControl control{engine};
};

TEST(RunControlSpeed, FasterAndSlowerStepThroughTheSpeedsAndStopAtTheEnds) {
  const int steps[] = {1, 2, 4, 6, 8, 10, 15, 20, 25, 30, 35, 40};
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(run_control::FasterSpeed(steps[i]), steps[std::min(i + 1, std::size(steps) - 1)]) << steps[i];
    EXPECT_EQ(run_control::SlowerSpeed(steps[i]), steps[i == 0 ? 0 : i - 1]) << steps[i];
  }
  // A speed off the steps (restored from a saved run) never passes the top.
  EXPECT_EQ(run_control::FasterSpeed(37), 40);
}

TEST_F(RunControlTest, FasterReachesFortyInFourPressesAndSlowerOneInSeven) {
  ASSERT_EQ(store().Run.ClockSpeed, 20);
  const size_t before = shell.StatusTexts.size();  // the empty run's performance line is shown already
  for (int press = 0; press < 5; ++press) control.CmFaster();
  EXPECT_EQ(store().Run.ClockSpeed, 40);
  EXPECT_FALSE(control.CeFaster());
  EXPECT_EQ(LastStatus(StatusPane::Speed), "40");
  EXPECT_EQ(shell.StatusTexts.size(), before + 4u) << "the fifth press shows nothing";
  while (store().Run.ClockSpeed > 1) control.CmSlower();
  EXPECT_FALSE(control.CeSlower());
  EXPECT_TRUE(control.CeFaster());
  EXPECT_EQ(shell.StatusTexts.size(), before + 4u + 11u);
}

TEST_F(RunControlTest, StartCodesListEveryDayOfEveryStartTimeByTimeThenSundayFirst) {
  t.StartTime(360, {}, {0, 1, 0, 0, 0, 0, 0});  // a second 06:00 Monday
  const std::vector<int32_t> codes = run_control::StartCodes(store());
  std::vector<std::string> lines;
  for (int32_t code : codes) lines.push_back(run_control::StartCodeText(code));
  EXPECT_THAT(lines, ElementsAre("05:30  Tuesday", "06:00  Sunday", "06:00  Monday", "06:00  Monday", "06:00  Tuesday",
                                 "06:00  Wednesday", "06:00  Thursday", "06:00  Friday", "06:00  Saturday"));
}

TEST_F(RunControlTest, TheFirstStartPreparesTheChosenRunAndTheSecondReleasesTheClock) {
  Choose(1, 360);  // Monday 06:00
  control.CmStart();
  const RunState& run = store().Run;
  EXPECT_EQ(store().SimClock, 86400 + 6 * 3600);
  EXPECT_EQ(store().SimStartDay, 1);
  EXPECT_EQ(+run.AwaitingStart, 0);
  EXPECT_EQ(+run.OutputHold, 0);
  EXPECT_EQ(+run.SimStopped, 1) << "the first press only prepares";
  EXPECT_THAT(Texts(), ElementsAre(run_control::kStartAgain));
  EXPECT_EQ(+Train(0).InUse, 1);
  EXPECT_EQ(+store().GetPerformStatus().Trains, 1);

  control.CmStart();
  EXPECT_EQ(+run.SimStopped, 0);
  EXPECT_EQ(LastStatus(StatusPane::RunState), "Run");
  EXPECT_EQ(dialogs.DialogSlots.size(), 1u) << "the second press asks nothing";
  control.StopSimulation();
  EXPECT_EQ(+run.SimStopped, 1);
  EXPECT_EQ(LastStatus(StatusPane::RunState), "Stop");
}

TEST_F(RunControlTest, ACancelledChoiceOrAnUnmatchedCodeChangesNothing) {
  control.CmStart();   // cancelled
  Choose(3, 360 + 1);  // no start time at 06:01
  control.CmStart();
  EXPECT_EQ(+store().Run.AwaitingStart, 1);
  EXPECT_EQ(store().SimClock, -1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(RunControlTest, TheEndTimeFollowsTheStartTimesEndFields) {
  struct Case {
    uint8_t Ends;
    int16_t EndMinute, AfterDays;
    int32_t Expected;
  } cases[] = {
      {1, 18 * 60, 0, 86400 + 18 * 3600},    // later the same day
      {1, 5 * 60, 0, 2 * 86400 + 5 * 3600},  // earlier in the day: the next day
      {1, 8 * 60, 2, 3 * 86400 + 8 * 3600},  // two days on
      {0, 18 * 60, 0, -1},                   // no end
      // Offsets no dialog writes, as a damaged track file may hold them: kept inside the clock's range and
      // after the start.
      {1, 0, INT16_MAX, INT32_MAX},
      {1, INT16_MAX, INT16_MAX, INT32_MAX},
      {1, INT16_MIN, INT16_MIN, 86400 + 6 * 3600 + 1},
      {1, 0, -3, 86400 + 6 * 3600 + 1},
  };
  for (const Case& c : cases) {
    SetStart(0, [&](StartTime& s) {
      s.Byte462 = c.Ends;
      s.Word460 = c.EndMinute;
      s.Word463 = c.AfterDays;
    });
    store().Run.AwaitingStart = 1;
    Choose(1, 360);
    control.CmStart();
    EXPECT_EQ(store().SimEndTime, c.Expected) << +c.Ends << " " << c.EndMinute << " " << c.AfterDays;
  }
}

// A train longer than its block: B2 heading right, the rest of it behind in B1 (and B0).
TEST_F(RunControlTest, ALongTrainOccupiesTheBlocksBehindItUntilItsLengthFits) {
  struct Case {
    int32_t Length;
    bool PassThroughB1;
    int Rear;
    std::array<int, 4> Codes;
  } cases[] = {
      {1000, false, 2, {0, 0, 3, 0}},
      {2 * kMile, false, 1, {0, 3, 3, 0}},  // exactly two blocks long
      {2 * kMile + 1, false, 0, {3, 3, 3, 0}},
      {2 * kMile, true, 0, {3, 3, 3, 0}},  // a connecting-line block adds no length
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Length);
    TrainData d = store().GetTrainData(data);
    d.Length = c.Length;
    store().UpdateTrainData(data, d);
    BlockData middle = store().GetBlockData(b[1]);
    middle.PassThrough = c.PassThroughB1 ? 1 : 0;
    store().UpdateBlockData(b[1], middle);
    store().Run.AwaitingStart = 1;
    ASSERT_TRUE(control.StartSimulation(1, 360, 0));
    const TrainStatus train = Train(0);
    EXPECT_EQ(+train.HeadBlock, b[2]);
    EXPECT_EQ(+train.HeadPosition, kMile);
    EXPECT_EQ(+train.State, TrainState::Starting);
    EXPECT_EQ(+train.RearBlock, b[c.Rear]);
    for (int i = 0; i < 4; ++i) {
      const BlockStatus s = store().GetBlockStatus(b[i]);
      EXPECT_EQ(+s.Occupancy, c.Codes[i]) << "B" << i;
      EXPECT_EQ(+s.Trains[0], c.Codes[i] != 0 ? 0 : 0xFFFF) << "B" << i;
    }
  }
}

TEST_F(RunControlTest, ATrainWhoseStartBlockHoldsItsPlatformStartsStoppedThere) {
  const int platform = t.Platform("Ashford", b[2]);
  TrainData d = store().GetTrainData(data);
  d.Stations[platform].Minutes = 6 * 60 + 5;  // due to leave 06:05
  store().UpdateTrainData(data, d);
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::Platform);
  EXPECT_EQ(+train.Platform, platform);
  EXPECT_EQ(+train.HeadEventTime, 86400 + 6 * 3600 + 300);
  EXPECT_EQ(+store().GetTrainStationTime(0).Times[platform], 86400 + 6 * 3600 + 300);
}

TEST_F(RunControlTest, WithoutAPlaybackFileTheUserMayGoOnUnrecordedOrStop) {
  store().OperatingMode = operating_mode::kRecording;
  messages.ScriptAnswers({MessageResult::Ok, MessageResult::No});
  EXPECT_FALSE(control.StartSimulation(1, 360, 0));  // the save dialog is cancelled
  EXPECT_EQ(+store().Run.AwaitingStart, 1);
  EXPECT_EQ(store().OperatingMode, operating_mode::kRecording);
  EXPECT_EQ(+Train(0).InUse, 0);

  messages.ScriptAnswers({MessageResult::Ok, MessageResult::Yes});
  EXPECT_TRUE(control.StartSimulation(1, 360, 0));
  EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
  EXPECT_EQ(+store().GetOptionData().Flag10, 0);
  EXPECT_THAT(shell.MenuChecks, Contains(Pair(command_id::kModeSimulation, true)));
  EXPECT_EQ(+store().Run.AwaitingStart, 0);
}

TEST_F(RunControlTest, CTCControlEmptiesTheRunRefusesStartAndQueuesTheAllDataRequestLast) {
  SetOptions([](OptionData& o) {
    o.ExternalIOOn = 1;
    o.Flag10 = 1;
  });
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  bool optionsStored = false;
  control.SetCTCAllDataRequest([&] { optionsStored = store().GetOptionData().CTCControlOn == 1; });
  control.CmCTCControl();
  EXPECT_TRUE(optionsStored);
  EXPECT_EQ(store().OperatingMode, operating_mode::kNone);
  EXPECT_EQ(+store().GetOptionData().ExternalIOOn, 0);
  EXPECT_EQ(+Train(0).InUse, 0) << "the run-time state is reset";
  EXPECT_EQ(LastStatus(StatusPane::RunState), "");
  EXPECT_EQ(LastStatus(StatusPane::Speed), "");
  EXPECT_FALSE(control.CeStart() || control.CeStop() || control.CeFaster() || control.CeSlower());
  control.CmStart();
  EXPECT_THAT(Texts(), ElementsAre(run_control::kNoStartInCTC));

  // Off again: back to the recording mode it was switched on from, still stopped.
  control.CmCTCControl();
  EXPECT_EQ(store().OperatingMode, operating_mode::kRecording);
  EXPECT_THAT(shell.MenuChecks, Contains(Pair(command_id::kModeRecording, true)));
  EXPECT_EQ(+store().Run.SimStopped, 1);

  // External I/O on while CTC control is on: CTC control is left the same way.
  control.CmCTCControl();
  control.CmExternalIO();
  EXPECT_EQ(+store().GetOptionData().CTCControlOn, 0);
  EXPECT_EQ(+store().GetOptionData().ExternalIOOn, 1);
  EXPECT_EQ(store().OperatingMode, operating_mode::kRecording);
}

TEST_F(RunControlTest, ASimulationModeChangeAfterARunIsPreparedAsksToRestartFirst) {
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  messages.ScriptAnswers({MessageResult::No});
  control.CmSimulationWithPlayback();
  EXPECT_THAT(Texts(), ElementsAre(run_control::kModeChangeWhileRunning));
  EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
  EXPECT_TRUE(shell.MenuChecks.empty());
}

// Playback files: a header made for the loaded territory, then the replay's records.
class PlaybackModeTest : public RunControlTest {
 protected:
  void SetUp() override {
    RunControlTest::SetUp();
    track_ = folder().string() + "/line.trk";
    ASSERT_EQ(TrackFile(store()).Write(track_, 0), 0);
    store().InitTerritoryData();
    ASSERT_EQ(TrackFile(store()).Load(track_, 0), 0);
    SetFieldText(store().TrackFilePath, track_);
  }
  std::string Recording(const std::function<void(PlaybackHeader&)>& change = {}) {
    PlaybackHeader header{};
    std::memcpy(header.Magic, kPlaybackMagic, sizeof header.Magic);
    header.Version = 31;
    SetFieldText(header.TrackPath, "C:\\elsewhere\\line.trk");
    header.TrackVersion = static_cast<int16_t>(store().LoadedTrackVersion);
    header.Identity1 = store().TrackIdentity1;
    header.Identity2 = store().TrackIdentity2;
    header.ChangeCount = header.ChangeCountCopy = store().ChangeCount;
    header.ClockAtStart = header.StartTime = 86400 + 6 * 3600;
    header.StartDay = 1;
    header.EndTime = -1;
    if (change) change(header);
    const std::string path = folder().string() + "/run.ply";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(&header, sizeof header, 1, file);
    std::fclose(file);
    return path;
  }
  std::string track_;
};

TEST_F(PlaybackModeTest, ARecordingOfThisTrackFileReplaysFromTheStartTheUserConfirms) {
  shell.OpenFileAnswers.push_back(Recording());
  dialogs.PlaybackTimeResults.push_back(1);
  control.CmPlayback();
  EXPECT_EQ(store().OperatingMode, operating_mode::kPlayback);
  EXPECT_EQ(store().PreviousOperatingMode, operating_mode::kSimulation);
  EXPECT_NE(store().PlaybackIn, nullptr);
  EXPECT_EQ(+store().Run.AwaitingStart, 0);
  EXPECT_EQ(+store().Run.SimStopped, 0);
  EXPECT_EQ(store().SimClock, 86400 + 6 * 3600);
  EXPECT_THAT(shell.MenuChecks, Contains(Pair(command_id::kModePlayback, true)));
  EXPECT_EQ(shell.OpenFileRequests.at(0).Filter, "Playback Files (*.ply)|*.ply");
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(PlaybackModeTest, ContinuingFromAPlaybackKeepsItsStateAsASimulationWithoutRecording) {
  shell.OpenFileAnswers.push_back(Recording());
  dialogs.PlaybackTimeResults.push_back(1);
  control.CmPlayback();
  store().SimClock += 600;  // the replay went on
  messages.ScriptAnswers({MessageResult::Yes});
  control.CmSimulationNoPlayback();
  EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
  EXPECT_EQ(store().SimClock, 86400 + 6 * 3600 + 600);
  EXPECT_EQ(store().PlaybackIn, nullptr);
  EXPECT_EQ(+store().Run.AwaitingStart, 0) << "Start goes on from the replayed state";
  EXPECT_THAT(shell.MenuChecks, Contains(Pair(command_id::kModePlayback, false)));
}

// Yes to the mode-change question restarts on the territory, then changes the mode.
TEST_F(PlaybackModeTest, AModeChangeAfterARestartStartsFromAnEmptyRun) {
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  messages.ScriptAnswers({MessageResult::Yes});
  control.CmSimulationWithPlayback();
  EXPECT_EQ(store().OperatingMode, operating_mode::kRecording);
  EXPECT_EQ(+store().Run.AwaitingStart, 1);
  EXPECT_EQ(+Train(0).InUse, 0);

  store().Run.AwaitingStart = 0;                                     // a run prepared again
  messages.ScriptAnswers({MessageResult::Yes, MessageResult::Yes});  // change the mode, and re-start
  control.CmSimulationNoPlayback();
  EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
  EXPECT_EQ(+store().Run.AwaitingStart, 1);
}

TEST_F(PlaybackModeTest, RefusedRecordingsLeaveThePreviousModeAndSayWhy) {
  const std::string otherVersion = "This playback file was created from a different version of the \"" + track_ +
                                   "\" track file and, therefore, cannot be loaded.";
  struct Case {
    std::function<void(PlaybackHeader&)> Change;
    const char* Text;
  } cases[] = {
      {[](PlaybackHeader& h) { h.Magic[2] = 1; }, "Illegal playback file!"},
      {[](PlaybackHeader& h) { h.Version = 32; },
       "The playback file being loaded has an newer file structure than this program can handle."},
      {[](PlaybackHeader& h) { h.ChangeCountCopy += 1; }, otherVersion.c_str()},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    shell.OpenFileAnswers.push_back(Recording(c.Change));
    dialogs.PlaybackTimeResults.push_back(1);
    control.CmPlayback();
    EXPECT_THAT(Texts(), ElementsAre(c.Text));
    EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
    EXPECT_EQ(store().PlaybackIn, nullptr);
  }
}

// A header whose run values no recording of this program holds is refused before the clock or the run
// takes any of them: the first replay tick would overflow on them (a start day of INT32_MIN in the clock
// text, a clock near the int32 limit as the ticks add to it). Each file is a header and one time stamp.
TEST_F(PlaybackModeTest, AHeaderWithRunValuesNoRecordingHoldsIsRefusedAndTheRunIsAsBefore) {
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  store().SimClock += 600;
  struct Case {
    const char* Name;
    std::function<void(PlaybackHeader&)> Change;
  } cases[] = {
      {"start day INT32_MIN", [](PlaybackHeader& h) { h.StartDay = INT32_MIN; }},
      {"clock near INT32_MAX", [](PlaybackHeader& h) { h.ClockAtStart = INT32_MAX - 5; }},
      {"start day 7", [](PlaybackHeader& h) { h.StartDay = 7; }},
      {"start time before day 0", [](PlaybackHeader& h) { h.StartTime = h.ClockAtStart = -10; }},
      {"clock before the start", [](PlaybackHeader& h) { h.ClockAtStart = h.StartTime - 10; }},
      {"end before the start", [](PlaybackHeader& h) { h.EndTime = h.StartTime - 60; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    messages.Calls.clear();
    const std::string path = Recording(c.Change);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    const int32_t stamp = 0;
    std::fwrite(&stamp, sizeof stamp, 1, file);
    std::fclose(file);
    ASSERT_EQ(std::filesystem::file_size(path), 313u);
    const int32_t clock = store().SimClock, startTime = store().SimStartTime, endTime = store().SimEndTime;
    shell.OpenFileAnswers.push_back(path);
    dialogs.PlaybackTimeResults.push_back(1);
    control.CmPlayback();
    EXPECT_THAT(Texts(), ElementsAre("Illegal playback file!"));
    EXPECT_EQ(dialogs.PlaybackTimeResults.size(), 1u) << "no jump was offered";
    dialogs.PlaybackTimeResults.clear();
    EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
    EXPECT_EQ(store().PlaybackIn, nullptr);
    EXPECT_EQ(store().SimClock, clock);
    EXPECT_EQ(store().SimStartTime, startTime);
    EXPECT_EQ(store().SimStartDay, 1);
    EXPECT_EQ(store().SimEndTime, endTime);
    EXPECT_EQ(+Train(0).InUse, 1) << "the run was not reset";
    engine.Tick();
    store().FormatClockText();
  }
}

TEST_F(PlaybackModeTest, ARecordingWhoseTrackFileIsMissingIsRefusedAndKeepsTheTerritory) {
  shell.OpenFileAnswers.push_back(Recording([](PlaybackHeader& h) { SetFieldText(h.TrackPath, "/gone/other.trk"); }));
  control.CmPlayback();
  EXPECT_THAT(Texts(), ElementsAre("The track file \"" + folder().string() +
                                   "/other.trk\" of this playback file could not be loaded."));
  EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
  EXPECT_EQ(FieldText(store().TrackFilePath), track_);
  EXPECT_EQ(+store().GetBlockData(b[3]).InUse, 1);
}

// A folder, a FIFO or a device is a playback file that cannot be opened, refused at once; and a
// recording whose track file is named by a FIFO beside it is refused without waiting on it.
TEST_F(PlaybackModeTest, APlaybackOrItsTrackFileThatIsNoRegularFileIsRefusedAtOnce) {
  for (const not_files::NotAFile& path : not_files::Make(folder(), ".ply")) {
    SCOPED_TRACE(path.Kind);
    messages.Calls.clear();
    shell.OpenFileAnswers.push_back(path.Path);
    not_files::WithinSeconds([&] { control.CmPlayback(); });
    EXPECT_THAT(Texts(), ElementsAre("Could not open playback file."));
    EXPECT_EQ(store().OperatingMode, operating_mode::kSimulation);
    EXPECT_EQ(store().PlaybackIn, nullptr);
  }
  const std::string fifo = folder().string() + "/fifo.trk";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  messages.Calls.clear();
  shell.OpenFileAnswers.push_back(Recording([](PlaybackHeader& h) { SetFieldText(h.TrackPath, "/gone/fifo.trk"); }));
  not_files::WithinSeconds([&] { control.CmPlayback(); });
  EXPECT_THAT(Texts(), ElementsAre("The track file \"" + fifo + "\" of this playback file could not be loaded."));
  EXPECT_EQ(FieldText(store().TrackFilePath), track_);
}

TEST_F(PlaybackModeTest, CancellingTheFileDialogRestoresTheModeAndResumesThroughStart) {
  ASSERT_TRUE(control.StartSimulation(1, 360, 0));
  store().OperatingMode = operating_mode::kRecording;
  control.CmPlayback();
  EXPECT_EQ(store().OperatingMode, operating_mode::kRecording);
  EXPECT_EQ(+store().Run.SimStopped, 0) << "Start resumed the prepared run";
}

}  // namespace
