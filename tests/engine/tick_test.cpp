#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/support/run_image.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/demo_territory.h"

namespace {

using Steps = std::vector<std::string>;

// The interface calls land in the same log as the engine's step trace, marked "io:",
// so a test sees that a traced interface step really reached the interface.
class LoggingInterface : public FakeInterfaceService {
 public:
  explicit LoggingInterface(Steps& log) : log_(log) {}
  void EIOReadXferInFile() override { log_.push_back("io:EIOReadXferInFile"); }
  void CTCReadXferInFile() override { log_.push_back("io:CTCReadXferInFile"); }
  void FlushCTCControls() override { log_.push_back("io:FlushCTCControls"); }
  void FlushEIOIndications() override { log_.push_back("io:FlushEIOIndications"); }
  void CTCBlinkPendingSwitches() override { log_.push_back("io:CTCBlinkPendingSwitches"); }

 private:
  Steps& log_;
};

constexpr const char* kRunOver =
    "The simulation is over.  You may start a new simulation by selecting Restart Simulation in the File menu";

class TickTest : public StoreFixture {
 protected:
  TickTest() {
    store().InitTerritoryData();
    store().SetInterfaceService(&io);
    engine.SetStepTrace([this](std::string_view name) { log.emplace_back(name); });
    RunState& run = store().Run;
    run.ClockSpeed = 20;
    run.SimStopped = 0;
    run.SimPaused = 0;
    run.RunStarted = 1;
    run.OutputHold = 1;
    store().SimStartTime = 0;
    store().SimEndTime = -1;
  }

  // The log without the interface's own entries, which only confirm traced steps.
  Steps TracedSteps() const {
    Steps steps;
    for (const std::string& entry : log)
      if (entry.rfind("io:", 0) != 0) steps.push_back(entry);
    return steps;
  }
  int CountOf(const std::string& entry) const { return static_cast<int>(std::count(log.begin(), log.end(), entry)); }
  int MessagesWith(const std::string& text) const {
    int count = 0;
    for (const MessageCall& call : messages.Calls) count += call.Text == text;
    return count;
  }

  Steps log;
  LoggingInterface io{log};
  Engine engine{store()};
};

TEST_F(TickTest, FirstRunningTickOnAMinuteRunsTheSchedulerThenEveryStepInOrder) {
  store().SimClock = 50;
  store().Run.RunStarted = 0;
  store().Run.OutputHold = 0;
  store().EIOQueue.Count = 1;
  store().PendingBeeps = 4;
  store().BeepIdle = 0;

  EXPECT_EQ(engine.Tick(), 500);

  const Steps expected = {"ProcessSignalStack", "EIOReadXferInFile", "ScheduleTrains", "AdvanceSimClock", "StepTrains",
                          "AdvanceMovingTrains", "ReclearSignals",
                          // the minute work
                          "ScheduleBlockPermits", "ProcessPermitRequests", "ProcessDiamondTraffic",
                          "ActivateSlowOrders", "UpdateTimedSlowOrders", "ActivateTimedSlowOrders", "ExpireSlowOrders",
                          "RepairSwitches", "ProcessCrewSwitchThrows", "RepairSignals", "ScheduleTrains",
                          "CheckCrewTimes", "ExpireRunningTimes", "UpdateBlocksClearedAhead",
                          "UpdateArchivePerformStatus", "ClosePlaybackFile",
                          // every tick that did not end the run
                          "FlushEIOIndications", "FormatClockText"};
  EXPECT_EQ(TracedSteps(), expected);
  for (const char* io : {"io:EIOReadXferInFile", "io:FlushEIOIndications"}) {
    EXPECT_EQ(CountOf(io), 1) << io;
  }
  EXPECT_EQ(store().SimClock, 60);
  EXPECT_EQ(store().Run.RunStarted, 1);
  EXPECT_EQ(store().PendingBeeps, 0);
  EXPECT_EQ(store().BeepIdle, 1);
  ASSERT_FALSE(shell.StatusTexts.empty());
  EXPECT_EQ(shell.StatusTexts.back().first, StatusPane::Clock);
}

TEST_F(TickTest, TickBetweenMinutesRunsNoMinuteWorkAndHeldOutputIsNotFlushed) {
  store().SimClock = 60;
  store().EIOQueue.Count = 3;  // OutputHold is set
  engine.Tick();
  const Steps expected = {"ProcessSignalStack",  "EIOReadXferInFile", "AdvanceSimClock", "StepTrains",
                          "AdvanceMovingTrains", "ReclearSignals",    "FormatClockText"};
  EXPECT_EQ(TracedSteps(), expected);
  EXPECT_EQ(store().SimClock, 70);

  // The minute work comes back on the tick that makes the clock a multiple of 60.
  for (int i = 0; i < 4; ++i) engine.Tick();
  EXPECT_EQ(CountOf("ScheduleBlockPermits"), 0);
  engine.Tick();
  EXPECT_EQ(store().SimClock, 120);
  EXPECT_EQ(CountOf("ScheduleBlockPermits"), 1);
}

TEST_F(TickTest, StoppedOrPausedTickRunsOnlyStackInboxFlushAndClock) {
  for (const bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "stopped");
    log.clear();
    store().Run.SimStopped = paused ? 0 : 1;
    store().Run.SimPaused = paused ? 1 : 0;
    store().Run.RunStarted = 0;
    store().Run.OutputHold = 0;
    store().EIOQueue.Count = 1;
    store().SimClock = 50;
    store().FirstRunHints = 1;

    EXPECT_EQ(engine.Tick(), 500);
    const Steps expected = {"ProcessSignalStack", "EIOReadXferInFile", "FlushEIOIndications", "FormatClockText"};
    EXPECT_EQ(TracedSteps(), expected);
    EXPECT_EQ(store().SimClock, 50);
    EXPECT_EQ(store().Run.RunStarted, 0);
    EXPECT_TRUE(messages.Calls.empty());
  }
}

TEST_F(TickTest, IntervalFollowsTheSpeedAndTheSavedSpeedCatchesUp) {
  const std::pair<int, int> table[] = {{1, 10000}, {2, 5000}, {20, 500}, {40, 250}, {0, 500}};
  for (const auto& [speed, interval] : table) {
    store().Run.ClockSpeed = speed;
    store().Run.SavedClockSpeed = 7;
    store().SimClock = 1000;
    EXPECT_EQ(engine.Tick(), interval) << speed;
    EXPECT_EQ(store().Run.SavedClockSpeed, speed);
    // Also at the end of a run.
    store().SimEndTime = 0;
    EXPECT_EQ(engine.Tick(), interval) << speed;
    store().SimEndTime = -1;
  }
}

TEST_F(TickTest, EndTimeEndsTheRunWithOneMessageAndNothingAfterTheTest) {
  store().SimClock = 3590;
  store().SimEndTime = 3600;
  engine.Tick();
  EXPECT_EQ(store().SimClock, 3600);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().Run.RunEnded, 0);

  for (int i = 0; i < 3; ++i) {
    log.clear();
    EXPECT_EQ(engine.Tick(), 500);
    const Steps expected = {"ProcessSignalStack", "EIOReadXferInFile"};
    EXPECT_EQ(TracedSteps(), expected);
  }
  EXPECT_EQ(store().SimClock, 3600);
  EXPECT_EQ(store().Run.RunEnded, 1);
  EXPECT_EQ(store().Run.SimStopped, 1);
  EXPECT_EQ(store().Run.RunStarted, 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, kRunOver);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Warning);

  // A new run before its end time may end again with the message.
  store().SimEndTime = 7200;
  store().Run.SimStopped = 0;
  engine.Tick();
  EXPECT_EQ(store().Run.RunOverShown, 0);
  store().SimClock = 7200;
  engine.Tick();
  EXPECT_EQ(MessagesWith(kRunOver), 2);
}

TEST_F(TickTest, WithoutAnEndTimeTheRunEndsOnceAtNinetyDays) {
  store().SimClock = Engine::RunLimit - 10;
  engine.Tick();
  EXPECT_EQ(store().SimClock, Engine::RunLimit);
  EXPECT_TRUE(messages.Calls.empty());
  for (int i = 0; i < 3; ++i) engine.Tick();
  EXPECT_EQ(store().SimClock, Engine::RunLimit);
  EXPECT_EQ(store().Run.RunEnded, 1);
  EXPECT_EQ(MessagesWith(kRunOver), 1);
}

TEST_F(TickTest, FirstRunHintsAreShownOnceOnTheFirstRunningTick) {
  store().FirstRunHints = 1;
  store().SimClock = 100;
  engine.Tick();
  engine.Tick();
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text,
            "To change the position of switches, place the mouse pointer on a switch and click the left button.");
  EXPECT_EQ(messages.Calls[1].Text,
            "Trains must have a green signal to move.  To make a signal green (clear), place the mouse pointer on a "
            "signal and click the left button.");
  EXPECT_EQ(messages.Calls[1].Icon, MessageIcon::Information);
  EXPECT_EQ(store().FirstRunHintsShown, 1);
}

TEST_F(TickTest, HourlyArchiveCountsFromTheStartOfTheRun) {
  const int32_t start = 6 * 3600 + 1800;  // 06:30
  store().SimStartTime = start;
  store().SimClock = start;
  PerformStatus perform{};
  perform.Trains = 7;
  store().FormatPerformanceLine(perform);

  while (store().SimClock < start + 3600 - 10) engine.Tick();  // up to 07:29:50
  EXPECT_EQ(+store().GetArchivePerformStatus(0).Trains, 7);
  EXPECT_EQ(+store().GetArchivePerformStatus(1).Trains, 0);

  perform.Trains = 9;
  store().FormatPerformanceLine(perform);
  engine.Tick();  // 07:30
  EXPECT_EQ(+store().GetArchivePerformStatus(0).Trains, 7);
  EXPECT_EQ(+store().GetArchivePerformStatus(1).Trains, 9);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(TickTest, ActiveTrainListIsRebuiltOnAMinuteOnlyWhenOpenAndChanged) {
  lists.OpenLists.push_back(ListWindow::ActiveTrains);
  store().SimClock = 50;
  engine.Tick();
  EXPECT_TRUE(lists.Refreshed.empty());

  store().ActiveListDirty = 1;
  engine.Tick();  // 70: no minute
  EXPECT_TRUE(lists.Refreshed.empty());
  for (int i = 0; i < 5; ++i) engine.Tick();  // 120
  EXPECT_EQ(lists.Refreshed, std::vector<ListWindow>{ListWindow::ActiveTrains});
  EXPECT_EQ(store().ActiveListDirty, 0);
}

TEST_F(TickTest, CTCModePollsTheInterfaceAndLeavesTheClock) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  store().SimClock = 50;
  store().Run.ClockSpeed = 40;

  EXPECT_EQ(engine.Tick(), 500);
  const Steps quiet = {"FormatClockText", "CheckPermitTimes", "io:CTCReadXferInFile"};
  Steps seen;
  for (const std::string& entry : log)
    if (entry == "FormatClockText" || entry == "CheckPermitTimes" || entry.rfind("io:", 0) == 0) seen.push_back(entry);
  EXPECT_EQ(seen, quiet);
  EXPECT_EQ(store().SimClock, 50);
  ASSERT_FALSE(shell.StatusTexts.empty());
  EXPECT_EQ(shell.StatusTexts.back().second.rfind("CTC ", 0), 0u);

  log.clear();
  store().CTCQueue.Count = 2;
  engine.Tick();
  EXPECT_EQ(log.back(), "io:FlushCTCControls");
  EXPECT_EQ(CountOf("StepTrains"), 0);
}

TEST_F(TickTest, PlaybackReadsOnlyWhileRunningAndEndsOnceWithItsMessage) {
  store().OperatingMode = 2;
  store().SimClock = 100;
  store().Run.SimStopped = 1;
  EXPECT_EQ(engine.Tick(), 500);
  EXPECT_TRUE(log.empty());

  // No recording left to read: the end of playback.
  store().Run.SimStopped = 0;
  engine.Tick();
  EXPECT_EQ(store().OperatingMode, 0);
  EXPECT_EQ(store().Run.SimStopped, 1);
  EXPECT_EQ(store().SimClock, 100);
  const std::vector<std::pair<int, bool>> checks = {{11863, false}, {11866, true}};
  EXPECT_EQ(shell.MenuChecks, checks);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Playback is over.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);

  engine.Tick();
  EXPECT_EQ(messages.Calls.size(), 1u);
}

TEST_F(TickTest, BlinkStepRaisesTheCounterAndRedrawsTheCTCPanel) {
  store().Run.BlinkCounter = 4;
  EXPECT_EQ(engine.BlinkStep(), 500);
  EXPECT_EQ(store().Run.BlinkCounter, 5);
  const Steps expected = {"io:CTCBlinkPendingSwitches"};
  EXPECT_EQ(log, expected);
}

TEST_F(TickTest, BeepStepSoundsOnePendingBeepOnceTheRunHasStarted) {
  struct Case {
    uint8_t RunStarted;
    int32_t Pending;
    int Beeps;
    int32_t PendingAfter;
    uint8_t IdleAfter;
  };
  const Case cases[] = {{0, 3, 0, 0, 1}, {1, 2, 1, 1, 0}, {1, 0, 0, 0, 1}};
  for (const Case& c : cases) {
    shell.Beeps = 0;
    store().Run.RunStarted = c.RunStarted;
    store().PendingBeeps = c.Pending;
    store().BeepIdle = 0;
    EXPECT_EQ(engine.BeepStep(), 1100);
    EXPECT_EQ(shell.Beeps, c.Beeps);
    EXPECT_EQ(store().PendingBeeps, c.PendingAfter);
    EXPECT_EQ(store().BeepIdle, c.IdleAfter);
  }
}

TEST_F(TickTest, HoursOnTheDemonstrationTerritoryBringTrainsInWithoutErrors) {
  territory::BuildDemonstrationTerritory(store());
  store().SetInterfaceService(&io);
  store().InitSimulationStatus();
  const int32_t start = 6 * 3600;
  store().SimStartTime = start;
  store().SimClock = start;
  store().Run.RunStarted = 0;
  store().Run.SimStopped = 0;
  engine.SetStepTrace(nullptr);

  for (int i = 0; i < 6 * 360; ++i) engine.Tick();
  EXPECT_EQ(store().SimClock, start + 6 * 3600);
  EXPECT_EQ(store().Run.SimStopped, 0);
  for (const MessageCall& call : messages.Calls) EXPECT_NE(call.Caption, "Internal Error Trap") << call.Text;
  int trains = 0;
  for (int i = 0; i < kMaxTrainStatus; ++i) trains += store().GetTrainStatus(i).State != 0;
  EXPECT_GT(trains, 0);
}

// A reset stores only the slots that differ from their free image: after hours of a run it must leave
// every record as the reset of a fresh run does.
TEST_F(TickTest, AResetAfterHoursOfARunLeavesTheRunAsAResetOfAFreshOne) {
  territory::BuildDemonstrationTerritory(store());
  store().SetInterfaceService(&io);
  store().InitSimulationStatus();
  const std::vector<uint8_t> fresh = RunImage(store());
  store().SimStartTime = store().SimClock = 6 * 3600;
  store().Run.RunStarted = 0;
  store().Run.SimStopped = 0;
  engine.SetStepTrace(nullptr);
  for (int i = 0; i < 3 * 360; ++i) engine.Tick();
  ASSERT_NE(RunImage(store()), fresh) << "the run changed nothing";
  store().InitSimulationStatus();
  EXPECT_TRUE(RunImage(store()) == fresh);
  EXPECT_EQ(store().NextLiveTrainSlot(-1), -1) << "a train slot is still walked";
}

}  // namespace
