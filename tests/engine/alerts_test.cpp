#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/alert_kinds.h"
#include "store/fixed_text.h"
#include "store/sound_files.h"
#include "store/track_file.h"
#include "tests/support/store_fixture.h"

namespace {

class AlertsTest : public StoreFixture {
 protected:
  AlertsTest() : engine(store()) {
    store().SetDefaultOptions();
    store().SimClock = 8 * 3600;  // 08:00 on the first day
    store().Run.SimStopped = 0;
  }
  void SetAlert(int slot, uint8_t enabled, uint16_t bells, const char* wave) {
    AlertData alerts = store().GetAlertData();
    alerts.Enabled[slot] = enabled;
    alerts.Bells[slot] = bells;
    SetFieldText(alerts.WaveFiles[slot], 255, wave);
    store().UpdateAlertData(alerts);
  }
  void SetSound(uint8_t on) {
    OptionData options = store().GetOptionData();
    options.AlertSoundsOn = on;
    store().UpdateOptionData(options);
  }
  std::string Line(int i) { return store().Run.AlertLines[i].data(); }

  Engine engine;
};

TEST_F(AlertsTest, LineIsNumberedTimeStampedAndRecorded) {
  engine.RaiseAlert(0, "101", "W");
  EXPECT_EQ(Line(0), "ALERT 0001  08:00 Train - \"101\" has just arrived on territory at W.");
  EXPECT_EQ(store().Run.AlertLinesUsed, 1);
  EXPECT_EQ(store().Run.AlertCounter, 1);
  ASSERT_EQ(playback.Calls.size(), 1u);
  EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::AlertLine);
  EXPECT_EQ(playback.Calls[0].Index, 0);
  EXPECT_EQ(playback.Calls[0].Bytes.size(), 151u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(playback.Calls[0].Bytes.data())), Line(0));

  store().SimClock = 2 * 86400 + 13 * 3600 + 5 * 60 + 59;  // the third day, 13:05:59
  engine.RaiseAlert(5, "1-2 Main", "13:10");
  EXPECT_EQ(Line(1), "ALERT 0002  13:05 Block Permit Active -  track \"1-2 Main\" to start at 13:10 and end at .")
      << "a slot with no text stays empty";
  engine.RaiseAlert(9);
  EXPECT_EQ(Line(2), "ALERT 0003  13:05 Slow Order Active - .");
  engine.RaiseAlert(1, "%s%s%n");
  EXPECT_EQ(Line(3), "ALERT 0004  13:05 Train - \"%s%s%n\" is stopped waiting for signal.")
      << "a text is never read as a format";
}

TEST_F(AlertsTest, ClockTimeWrapsPastMidnight) {
  EXPECT_EQ(Engine::FormatClockTime(0), "00:00");
  EXPECT_EQ(Engine::FormatClockTime(23 * 3600 + 59 * 60 + 59), "23:59");
  EXPECT_EQ(Engine::FormatClockTime(25 * 3600 + 60), "01:01");
}

TEST_F(AlertsTest, LongTextsAreCutToTheLineField) {
  const std::string longId(300, 'x');
  engine.RaiseAlert(2, longId.c_str(), "brake", "09:00");
  EXPECT_EQ(Line(0).size(), 150u);
  EXPECT_EQ(Line(0).substr(0, 28), "ALERT 0001  08:00 Train - \"x");
}

TEST_F(AlertsTest, TheFiftyFirstAlertDropsTheOldest) {
  store().Run.SelectedAlertLine = 10;
  for (int i = 1; i <= 51; ++i) engine.RaiseAlert(9, std::to_string(i).c_str());
  EXPECT_EQ(store().Run.AlertLinesUsed, 50);
  EXPECT_EQ(Line(0), "ALERT 0002  08:00 Slow Order Active - 2.");
  EXPECT_EQ(Line(48), "ALERT 0050  08:00 Slow Order Active - 50.");
  EXPECT_EQ(Line(49), "ALERT 0051  08:00 Slow Order Active - 51.");
  EXPECT_EQ(store().Run.SelectedAlertLine, 9) << "the selected line follows its text up";
  EXPECT_EQ(playback.Calls.back().Index, 49);
  EXPECT_EQ(playback.Calls[49].Index, 49);
  EXPECT_EQ(playback.Calls[48].Index, 48);
}

TEST_F(AlertsTest, SelectedLineGoesToTheTopAndStaysThere) {
  store().Run.AlertLinesUsed = 50;
  store().Run.SelectedAlertLine = 0;
  engine.RaiseAlert(9, "x");
  EXPECT_EQ(store().Run.SelectedAlertLine, 0);
}

TEST_F(AlertsTest, DisplayLastAlertShowsTheNewLineUnlessBrowsing) {
  OptionData options = store().GetOptionData();
  options.DisplayLastAlert = 1;
  store().UpdateOptionData(options);
  engine.RaiseAlert(9, "a");
  engine.RaiseAlert(9, "b");
  EXPECT_EQ(store().Run.SelectedAlertLine, 1);
  ASSERT_FALSE(shell.StatusTexts.empty());
  EXPECT_EQ(shell.StatusTexts.back(), std::make_pair(StatusPane::Alert, Line(1)));

  store().Run.BrowsingAlerts = 1;
  shell.StatusTexts.clear();
  engine.RaiseAlert(9, "c");
  EXPECT_EQ(store().Run.SelectedAlertLine, 1);
  for (const auto& [pane, text] : shell.StatusTexts) EXPECT_NE(pane, StatusPane::Alert);
}

TEST_F(AlertsTest, OpenAlertWindowGetsItsScrollRangeAndRepaint) {
  engine.RaiseAlert(9, "a");
  EXPECT_TRUE(shell.AlertScrollRanges.empty());
  store().AlertWindowOpen = 1;
  engine.RaiseAlert(9, "b");
  EXPECT_EQ(shell.AlertScrollRanges, (std::vector<std::pair<int32_t, int32_t>>{{1240, 3 * 19}}));
  EXPECT_EQ(shell.AlertWindowInvalidations, 1);
}

TEST_F(AlertsTest, DisabledKindLeavesNothing) {
  SetAlert(4, 0, 3, "derailed.wav");
  engine.RaiseAlert(4, "101", "10:00");
  EXPECT_EQ(store().Run.AlertLinesUsed, 0);
  EXPECT_EQ(store().Run.AlertCounter, 0);
  EXPECT_TRUE(shell.WavesPlayed.empty());
  EXPECT_EQ(store().PendingBeeps, 0);
  EXPECT_TRUE(playback.Calls.empty());
}

// The sounds shipped beside the program: every alert kind with a default wave file plays its own
// shipped file, found in the program folder, and each is a short PCM WAV file unlike the others.
TEST_F(AlertsTest, EachAlertKindPlaysItsShippedSound) {
  SetFieldText(store().ProgramFolder, CORVANE_SOUNDS_DIR);
  SetSound(1);
  std::set<std::string> sounds;
  int kinds = 0;
  for (int kind = 0; kind < alert_kind::kCount; ++kind) {
    const int slot = kind == alert_kind::kDetectorAlarm ? alert_kind::kDetectorProblem : kind;
    const std::string name = FieldText(store().GetAlertData().WaveFiles[slot]);
    shell.WavesPlayed.clear();
    engine.RaiseAlert(kind, "101", "W", "08:00");
    if (name.empty()) {
      EXPECT_TRUE(shell.WavesPlayed.empty()) << kind;
      continue;
    }
    ++kinds;
    ASSERT_EQ(shell.WavesPlayed, std::vector<std::string>{CORVANE_SOUNDS_DIR + name}) << kind;
    const std::string& path = shell.WavesPlayed[0];
    EXPECT_EQ(CheckWaveFile(path), 0) << path;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 44u) << path;
    auto u16 = [&bytes](size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
    auto u32 = [&u16](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF") << path;
    EXPECT_EQ(u32(4), bytes.size() - 8) << path;
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << path;
    EXPECT_EQ(u16(20), 1) << "PCM " << path;
    const uint32_t bytesPerSecond = u32(28);
    EXPECT_EQ(bytes.substr(36, 4), "data") << path;
    EXPECT_EQ(u32(40), bytes.size() - 44) << path;
    const double seconds = double(u32(40)) / bytesPerSecond;
    EXPECT_GT(seconds, 0.1) << path;
    EXPECT_LT(seconds, 1.5) << "short " << path;
    sounds.insert(bytes.substr(44));
  }
  EXPECT_EQ(kinds, 12) << "the detector alarm shares the train problem's sound";
  EXPECT_EQ(sounds.size(), 11u) << "one sound of its own for each of the eleven default files";
}

TEST_F(AlertsTest, SoundsWaveFilesOrBells) {
  struct Case {
    const char* Name;
    int Kind;
    int Slot;
    uint16_t Bells;
    const char* Wave;
    uint8_t SoundOn;
    bool WavePlays;
    const char* Played;  // expected wave, "" none
    int Beeps;
    bool TimerStarted;
  };
  const Case cases[] = {
      {"wave played, bells not added", 1, 1, 3, "stop.wav", 1, true, "stop.wav", 0, false},
      {"wave failed, bells added", 1, 1, 3, "stop.wav", 1, false, "stop.wav", 3, true},
      {"no wave, bells", 6, 6, 2, "", 1, true, "", 2, true},
      {"sound off", 1, 1, 3, "stop.wav", 0, true, "", 0, false},
      {"65535 means no bells", 6, 6, 65535, "", 1, true, "", 0, false},
      {"detector alarm uses slot 2", 10, 2, 4, "alarm.wav", 1, false, "alarm.wav", 4, true},
  };
  for (const Case& c : cases) {
    store().PendingBeeps = 0;
    store().BeepIdle = 1;
    shell.WavesPlayed.clear();
    shell.Timers.clear();
    shell.StatusTexts.clear();
    shell.WavePlays = c.WavePlays;
    SetSound(c.SoundOn);
    SetAlert(c.Kind, 1, 0, "");
    SetAlert(c.Slot, 1, c.Bells, c.Wave);
    engine.RaiseAlert(c.Kind, "101", "a", "b");

    // A bare name is looked for in the program folder.
    const std::string played = WaveFilePath(FieldText(store().ProgramFolder), c.Played);
    EXPECT_EQ(shell.WavesPlayed, *c.Played ? std::vector<std::string>{played} : std::vector<std::string>{}) << c.Name;
    EXPECT_EQ(store().PendingBeeps, c.Beeps) << c.Name;
    EXPECT_EQ(shell.Timers == (std::vector<std::pair<int, int>>{{2, 1}}), c.TimerStarted) << c.Name;
    if (*c.Played) {
      // The run pauses while the sound plays.
      ASSERT_GE(shell.StatusTexts.size(), 2u) << c.Name;
      EXPECT_EQ(shell.StatusTexts[0], std::make_pair(StatusPane::RunState, std::string("Stop"))) << c.Name;
      EXPECT_EQ(shell.StatusTexts[1], std::make_pair(StatusPane::RunState, std::string("Run"))) << c.Name;
      EXPECT_EQ(store().Run.SimPaused, 0) << c.Name;
    }
  }
}

TEST_F(AlertsTest, BellsWhileTheBeepTimerRunsDoNotRestartIt) {
  SetAlert(6, 1, 2, "");
  store().BeepIdle = 0;
  store().PendingBeeps = 1;
  engine.RaiseAlert(6, "101", "Ashford");
  EXPECT_EQ(store().PendingBeeps, 3);
  EXPECT_TRUE(shell.Timers.empty());
}

}  // namespace
