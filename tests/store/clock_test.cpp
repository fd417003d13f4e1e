#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "store/wall_clock.h"
#include "tests/support/store_fixture.h"

namespace {

using ClockTest = StoreFixture;

TEST_F(ClockTest, DayWeekAndTimeOfDayFollowTheClock) {
  EXPECT_EQ(store().GetSimDayOfWeek(), -1);
  EXPECT_EQ(store().GetSimDay(), -1);
  EXPECT_EQ(store().GetSimTimeOfDay(), -1);
  store().SetSimClock(8 * 86400 + 3661);  // day 8 is a Monday
  EXPECT_EQ(store().GetSimDayOfWeek(), 1);
  EXPECT_EQ(store().GetSimDay(), 8);
  EXPECT_EQ(store().GetSimTimeOfDay(), 3661);
  EXPECT_EQ(store().AdvanceSimClock(10), 8 * 86400 + 3671);
  store().ResetSimClock();
  EXPECT_EQ(store().GetSimClock(), -1);
}

TEST_F(ClockTest, ClockTextShowsTimeDayAndDaysSinceTheStartDay) {
  const struct {
    int32_t clock;
    int32_t startDay;
    const char* text;
  } cases[] = {
      {90061, 0, "01:01 Mo 1 days"},
      {0, 0, "00:00 Su 0 days"},
      {6 * 86400 + 86399, 2, "23:59 Sa 4 days"},
      {-1, 0, "not started"},
  };
  for (const auto& c : cases) {
    store().SetSimClock(c.clock);
    store().SetSimStartDay(c.startDay);
    EXPECT_EQ(store().FormatClockText(), c.text);
    ASSERT_FALSE(shell.StatusTexts.empty());
    EXPECT_EQ(shell.StatusTexts.back().first, StatusPane::Clock);
    EXPECT_EQ(shell.StatusTexts.back().second, c.text);
  }
}

// The tick shows the clock every ten simulated seconds: the pane is written only when its text changes,
// and a shell put in place is shown the clock at once.
TEST_F(ClockTest, TheClockPaneIsWrittenOnlyWhenItsTextChanges) {
  const auto clockTexts = [](const FakeShellService& to) {
    std::vector<std::string> texts;
    for (const auto& [pane, text] : to.StatusTexts)
      if (pane == StatusPane::Clock) texts.push_back(text);
    return texts;
  };
  store().SetSimClock(86400 + 3600);
  for (int tick = 0; tick < 6; ++tick) {
    store().FormatClockText();
    store().AdvanceSimClock(10);
  }
  EXPECT_EQ(clockTexts(shell), std::vector<std::string>{"01:00 Mo 1 days"});
  store().FormatClockText();  // the next minute
  store().SetSimStartDay(1);
  store().FormatClockText();
  EXPECT_EQ(clockTexts(shell), (std::vector<std::string>{"01:00 Mo 1 days", "01:01 Mo 1 days", "01:01 Mo 0 days"}));

  FakeShellService other;
  store().SetShellService(&other);
  EXPECT_EQ(store().FormatClockText(), "01:01 Mo 0 days");
  EXPECT_EQ(clockTexts(other), std::vector<std::string>{"01:01 Mo 0 days"});
  store().SetShellService(&shell);
}

std::time_t FixedWallClock() {
  std::tm t{};
  t.tm_year = 104;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = 13;
  t.tm_min = 4;
  t.tm_sec = 5;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST_F(ClockTest, CTCModeShowsTheWallClockWhateverTheSimulationClockHolds) {
  SetWallClockSource(FixedWallClock);
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  for (const int32_t clock : {-1, 90061}) {
    store().SetSimClock(clock);
    EXPECT_EQ(store().FormatClockText(), "CTC 13:04:05");
  }
  const std::tm now = store().GetRealTime();
  EXPECT_EQ(now.tm_mday, 7);
  EXPECT_EQ(now.tm_mon, 2);
  SetWallClockSource(nullptr);
}

TEST_F(ClockTest, TimeFieldParsesEveryFormat) {
  const struct {
    const char* text;
    int minutes;
  } cases[] = {
      {"7", 420},    {"07", 420},    {"730", 450}, {"0730", 450},  {"7:30", 450},   {"07:30", 450}, {":5", 5},
      {"7:", 420},   {":", 0},       {"0", 0},     {"2359", 1439}, {"23:59", 1439}, {"1:5", 65},    {"12345", -1},
      {"24:00", -1}, {"1:2:3", -1},  {"7a", -1},   {"", -1},       {"2400", -1},    {"760", -1},    {"7:60", -1},
      {"123:4", -1}, {"12:345", -1}, {"-1", -1},   {" 7", -1},     {"24", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(store().GetTimeField(c.text, ""), c.minutes) << '"' << c.text << '"';
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(ClockTest, AWrongTimeIsReportedOnlyWhenTheFieldIsNamed) {
  EXPECT_EQ(store().GetTimeField("24:00", "Start Time"), -1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(
      messages.Calls[0].Text,
      "The time entered in field \"Start Time\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or XXXX.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version ");
  EXPECT_EQ(store().GetTimeField("12:00", "Start Time"), 720);
  EXPECT_EQ(messages.Calls.size(), 1u);
}

PerformStatus Performance(int32_t distance) {
  PerformStatus p{};
  p.Trains = 12;
  p.Distance = distance;
  p.StoppedTime = 3599;
  p.LostTime = 600;
  p.LateTime = 125;
  p.LateDepartures = 3;
  return p;
}

TEST_F(ClockTest, PerformanceLineByteForByte) {
  TerritoryOptions units = store().GetTerritoryOptions();
  const struct {
    uint8_t units;
    int32_t distance;
    int32_t clock;  // the run started at 1000
    const char* text;
  } cases[] = {
      // 26,928 ft = 5.1 miles over 30 minutes: 51 x 60 / 30 / 10 = 10 per hour
      {1, 26928, 1000 + 1800, "Trains = 12  Miles = 5  /Hr = 10  Stop = 59  Lost = 10  Late = 2  Late Dep = 3"},
      // 12,345 m = 12.3 km over 7 minutes: 123 x 60 / 7 / 10 = 105
      {0, 12345, 1000 + 420, "Trains = 12  KM = 12  /Hr = 105  Stop = 59  Lost = 10  Late = 2  Late Dep = 3"},
      // no whole minute yet
      {1, 26928, 1000 + 50, "Trains = 12  Miles = 5  /Hr = 0  Stop = 59  Lost = 10  Late = 2  Late Dep = 3"},
      {2, 999999999, 1000 + 60,
       "Trains = 12  KM = 999999  /Hr = 59999994  Stop = 59  Lost = 10  Late = 2  Late Dep = 3"},
  };
  store().SetSimStartTime(1000);
  for (const auto& c : cases) {
    units.Units = c.units;
    store().UpdateTerritoryOptions(units);
    store().SetSimClock(c.clock);
    store().FormatPerformanceLine(Performance(c.distance));
    store().ShowPerformanceLine();
    ASSERT_FALSE(shell.StatusTexts.empty());
    EXPECT_EQ(shell.StatusTexts.back().first, StatusPane::Performance);
    EXPECT_EQ(shell.StatusTexts.back().second, c.text);
    EXPECT_EQ(+store().GetPerformStatus().Distance, c.distance);
  }
  ASSERT_EQ(playback.Calls.size(), 4u);
  EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::PerformStatus);
  EXPECT_EQ(playback.Calls[0].Index, 0);
  EXPECT_EQ(playback.Calls[0].Bytes.size(), 32u);
}

// Inside a hold (a tick) every change is recorded for playback, but the line is formatted and shown once,
// with the last record, when the hold ends; outside one each change is shown at once.
TEST_F(ClockTest, PerformanceLineShownOnceForManyChangesInATickAndAtOnceOutsideIt) {
  store().SetSimStartTime(1000);
  store().SetSimClock(1000 + 1800);
  const size_t before = shell.StatusTexts.size();
  {
    const Corvane3Data::PerformanceLineHold tick(store());
    {
      const Corvane3Data::PerformanceLineHold inner(store());
      store().FormatPerformanceLine(Performance(5280));
    }
    store().FormatPerformanceLine(Performance(26928));
    EXPECT_EQ(shell.StatusTexts.size(), before);
  }
  store().ShowPerformanceLine();
  ASSERT_EQ(shell.StatusTexts.size(), before + 1);
  EXPECT_EQ(shell.StatusTexts.back().second,
            "Trains = 12  KM = 26  /Hr = 53  Stop = 59  Lost = 10  Late = 2  Late Dep = 3");
  EXPECT_EQ(playback.Calls.size(), 2u);

  store().FormatPerformanceLine(Performance(10560));
  ASSERT_EQ(shell.StatusTexts.size(), before + 2);
  EXPECT_EQ(shell.StatusTexts.back().second,
            "Trains = 12  KM = 10  /Hr = 21  Stop = 59  Lost = 10  Late = 2  Late Dep = 3");
}

TEST_F(ClockTest, ArchiveSlotCountsHoursFromTheStartOfTheRun) {
  store().SetSimStartTime(6 * 3600 + 1800);  // 06:30
  store().FormatPerformanceLine(Performance(5280));
  store().SetSimClock(6 * 3600 + 1800 + 3599);  // 07:29:59 is still the first hour
  store().ArchivePerformStatus();
  EXPECT_EQ(+store().GetArchivePerformStatus(0).Distance, 5280);
  store().SetSimClock(6 * 3600 + 1800 + 3600);
  store().FormatPerformanceLine(Performance(7000));
  store().ArchivePerformStatus();
  EXPECT_EQ(+store().GetArchivePerformStatus(0).Distance, 5280);
  EXPECT_EQ(+store().GetArchivePerformStatus(1).Distance, 7000);
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
