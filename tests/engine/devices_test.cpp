#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/engine/siding_fixture.h"

namespace {

class DeviceTimerTest : public SidingTest {
 protected:
  void SetRunningTime(int signal, int32_t end) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.RunningTimeEnd = end;
    store().UpdateSignalStatus(signal, status);
  }
  void SetSwitchCode(int sw, int code) {
    SwitchStatus status = store().GetSwitchStatus(sw);
    status.Occupancy = static_cast<uint8_t>(code);
    store().UpdateSwitchStatus(sw, status);
  }
  void SetFleet(int signal) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Fleet = 1;
    store().UpdateSignalStatus(signal, status);
  }
  void SetHandThrown(int sw) {
    SwitchData data = store().GetSwitchData(sw);
    data.HandThrown = 1;
    store().UpdateSwitchData(sw, data);
  }
  int32_t Now() { return store().SimClock; }
};

// S0's route: SW0, B1 (S1 at its far end). P, SW1 and B3 lie beyond it.
TEST_F(DeviceTimerTest, ARunningTimeReleasesItsRouteUpToATrainOrTheNextSignal) {
  struct Case {
    const char* Name;
    int32_t EndFromNow;
    int Switch0, Block1;  // codes before
    int Aspect;           // after
    int ExpectSwitch0, ExpectBlock1;
  };
  const Case cases[] = {
      {"due now", 0, 9, 9, 5, 0, 0},
      {"overdue", -60, 9, 9, 5, 0, 0},
      {"not yet due", 10, 9, 9, 1, 9, 9},
      {"a train in the block", 0, 9, 3, 5, 0, 3},
      {"a train on the switch", 0, 4, 9, 5, 4, 9},
  };
  Ready();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SetRunningTime(s0, Now() + c.EndFromNow);
    SignalStatus signal = store().GetSignalStatus(s0);
    signal.Aspect = 1;
    store().UpdateSignalStatus(s0, signal);
    SetSwitchCode(sw0, c.Switch0);
    SetBlockCode(b1, c.Block1);
    SetBlockCode(p, 9);
    SetSwitchCode(sw1, 9);
    SetBlockCode(b3, 9);

    engine.ExpireRunningTimes();
    EXPECT_EQ(Aspect(s0), c.Aspect);
    EXPECT_EQ(+store().GetSignalStatus(s0).RunningTimeEnd, c.Aspect == 5 ? -1 : Now() + c.EndFromNow);
    EXPECT_EQ(SwitchCode(sw0), c.ExpectSwitch0);
    EXPECT_EQ(BlockCode(b1), c.ExpectBlock1);
    // The release never goes beyond the first block with a signal at its far end.
    EXPECT_EQ(BlockCode(p), 9);
    EXPECT_EQ(SwitchCode(sw1), 9);
    EXPECT_EQ(BlockCode(b3), 9);
  }
}

TEST_F(DeviceTimerTest, ARunningTimeReleaseLeavesASwitchLyingAgainstTheRouteAlone) {
  Ready();
  // L1's route runs left from B1 over SW0 into B0; with SW0 reversed the walk ends at SW0, which a train holds.
  SetSwitchPosition(sw0, 1);
  SetSwitchCode(sw0, 3);
  SetRunningTime(l1, Now());
  engine.ExpireRunningTimes();
  EXPECT_EQ(Aspect(l1), 5);
  EXPECT_EQ(SwitchCode(sw0), 3);
}

TEST_F(DeviceTimerTest, RunningTimeSignalsBlinkWithTheCounter) {
  Ready();
  SetRunningTime(s0, Now() + 300);
  SetRunningTime(l1, Now() + 300);
  for (int counter : {1, 2, 3}) {
    run().BlinkCounter = counter;
    engine.BlinkRunningTimeSignals();
    EXPECT_EQ(Aspect(s0), counter % 2 == 1 ? 5 : 1) << counter;
    EXPECT_EQ(Aspect(l1), counter % 2 == 1 ? 5 : 2) << counter;
    EXPECT_EQ(Aspect(s1), 5) << counter;  // no running time
  }
}

TEST_F(DeviceTimerTest, TheSelectedDeviceFlashesOnceASecond) {
  Ready();
  struct Case {
    int Device;
    std::function<int()> Highlight;
  };
  const Case cases[] = {
      {b1, [this] { return +store().GetBlockStatus(b1).Highlight; }},
      {SwitchDevice(sw0), [this] { return +store().GetSwitchStatus(sw0).Highlight; }},
      {SignalDevice(s0), [this] { return +store().GetSignalStatus(s0).Highlight2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Device);
    run().SelectedDevice = c.Device;
    run().BlinkCounter = 1;
    display.Filled.clear();
    engine.FlashSelectedDevice();
    EXPECT_EQ(c.Highlight(), 1);
    EXPECT_FALSE(display.Filled.empty());  // drawn at once
    run().BlinkCounter = 2;
    shell.Invalidated.clear();
    engine.FlashSelectedDevice();
    EXPECT_EQ(c.Highlight(), 0);
    EXPECT_FALSE(shell.Invalidated.empty());
  }
  run().SelectedDevice = -1;
  run().BlinkCounter = 1;
  engine.FlashSelectedDevice();
  EXPECT_EQ(+store().GetBlockStatus(b1).Highlight, 0);
}

TEST_F(DeviceTimerTest, AFleetedSignalClearsAgainQuietlyOnceItsRouteIsFree) {
  Ready();
  SetFleet(s0);
  SetBlockCode(b1, 3);  // the train that passed S0 is still in B1
  engine.ReclearSignals();
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+store().GetBlockStatus(b1).Highlight, 0);

  SetBlockCode(b1, 0);
  engine.ReclearSignals();
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(BlockCode(b1), 1);
  EXPECT_EQ(SwitchCode(sw0), 1);
  EXPECT_EQ(Aspect(s2), 5);  // not fleeted
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(DeviceTimerTest, ACrewThrowWaitsForAFreeSwitchThenTwoMinutes) {
  SetHandThrown(sw0);
  Ready();
  SwitchStatus status = store().GetSwitchStatus(sw0);
  status.CrewThrowRequest = 1;
  status.Occupancy = 3;
  store().UpdateSwitchStatus(sw0, status);

  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowTime, -1);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowRequest, 1);

  SetSwitchCode(sw0, 0);
  const int32_t seen = Now();
  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowTime, seen + 120);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowRequest, 0);

  store().SimClock = seen + 60;
  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(SwitchPosition(sw0), 0);

  store().SimClock = seen + 180;
  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(SwitchPosition(sw0), 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).CrewThrowTime, -1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(DeviceTimerTest, ACrewThrowTimeOnAWorkingPowerSwitchIsDropped) {
  Ready();
  SwitchStatus status = store().GetSwitchStatus(sw1);
  status.CrewThrowTime = Now() - 60;
  store().UpdateSwitchStatus(sw1, status);
  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(+store().GetSwitchStatus(sw1).CrewThrowTime, -1);
  EXPECT_EQ(SwitchPosition(sw1), 0);

  // A failed one is thrown by the crew when its time has come.
  status = store().GetSwitchStatus(sw1);
  status.CrewThrowTime = Now();
  status.FailureCount = 2;
  store().UpdateSwitchStatus(sw1, status);
  engine.ProcessCrewSwitchThrows();
  EXPECT_EQ(SwitchPosition(sw1), 1);
}

TEST_F(DeviceTimerTest, RepairsResetTheFailureAtTheFixTimeAndNothingElse) {
  Ready();
  SetSwitchPosition(sw0, 1);
  for (int due : {0, 1}) {
    SCOPED_TRACE(due ? "due" : "not yet");
    const int32_t fix = due ? Now() : Now() + 60;
    SwitchStatus sw = store().GetSwitchStatus(sw0);
    sw.FailureCount = 2;
    sw.MaintainerCalled = 1;
    sw.MaintainerFixTime = fix;
    store().UpdateSwitchStatus(sw0, sw);
    SignalStatus signal = store().GetSignalStatus(s1);
    signal.FailureCount = 1;
    signal.MaintainerCalled = 1;
    signal.MaintainerFixTime = fix;
    store().UpdateSignalStatus(s1, signal);

    engine.RepairSwitches();
    engine.RepairSignals();
    sw = store().GetSwitchStatus(sw0);
    signal = store().GetSignalStatus(s1);
    EXPECT_EQ(+sw.FailureCount, due ? -1 : 2);
    EXPECT_EQ(+sw.MaintainerCalled, due ? 0 : 1);
    EXPECT_EQ(+sw.MaintainerFixTime, due ? -1 : fix);
    EXPECT_EQ(+sw.Position, 1);
    EXPECT_EQ(+signal.FailureCount, due ? 0xFF : 1);
    EXPECT_EQ(+signal.MaintainerCalled, due ? 0 : 1);
    EXPECT_EQ(+signal.MaintainerFixTime, due ? -1 : fix);
    EXPECT_EQ(+signal.Aspect, 5);
  }
}

}  // namespace
