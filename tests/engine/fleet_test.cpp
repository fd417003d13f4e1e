// Fleeting a signal: cleared first when at stop, the switches of its route
// up to the next signal locked, and the refusals under the message rule.
#include <gtest/gtest.h>

#include "tests/engine/signal_line_fixture.h"

namespace {

class FleetTest : public SignalLineTest {
 protected:
  void SetUp() override { Ready(); }
  void Fleet(int signal, int source = kScreenRequest) { engine.FleetSignal(SignalDevice(signal), source); }
  int FleetOf(int signal) { return store().GetSignalStatus(signal).Fleet; }
  int Locked(int sw) { return store().GetSwitchStatus(sw).FleetLocked; }
};

TEST_F(FleetTest, AStopSignalIsClearedAndFleetedAndItsRouteSwitchesLockUntilRemoved) {
  Fleet(s0);
  EXPECT_NE(Aspect(s0), 5);
  EXPECT_EQ(FleetOf(s0), 1);
  EXPECT_EQ(Locked(sw0), 1);
  EXPECT_EQ(Locked(sw1), 0) << "the walk ends at the block of the next signal";
  EXPECT_TRUE(messages.Calls.empty());

  // Once the route over the switch is taken back, the fleet alone keeps it from being thrown.
  SwitchStatus free = store().GetSwitchStatus(sw0);
  free.Occupancy = 0;
  store().UpdateSwitchStatus(sw0, free);
  EXPECT_EQ(engine.ThrowSwitch(SwitchDevice(sw0), 0, 0, kScreenRequest), 0);
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Switch will not throw.  Switch is locked because of a signal fleet request."});

  Fleet(s0);
  EXPECT_EQ(FleetOf(s0), 0);
  EXPECT_EQ(Locked(sw0), 0);
  EXPECT_NE(Aspect(s0), 5) << "removing the fleet leaves the signal cleared";
}

TEST_F(FleetTest, ASignalWhoseRouteCannotClearShowsOnlyTheClearingRefusal) {
  PlaceTrain(0, b1, 1);
  Fleet(s0);
  EXPECT_EQ(Aspect(s0), 5);
  EXPECT_EQ(FleetOf(s0), 0);
  EXPECT_EQ(Locked(sw0), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Route will not clear because the next block is occupied.");
}

TEST_F(FleetTest, RefusalsChangeNothingAndSpeakOnlyToTheDispatcherWithHelpMessagesOn) {
  struct Case {
    int16_t TrackCode;
    int32_t RunningTimeEnd;
    bool Help;
    int Source;
    const char* Message;  // null: nothing shown
  };
  const Case cases[] = {
      {19, -1, true, kScreenRequest, "This type of signal cannot be fleeted."},
      {20, -1, true, kScreenRequest, "This type of signal cannot be fleeted."},
      {19, -1, false, kScreenRequest, nullptr},
      {22, 100000, true, kScreenRequest, "This signal cannot be fleeted because it is running time."},
      {22, 100000, true, 17, nullptr},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    OptionData options = store().GetOptionData();
    options.HelpMessagesOn = c.Help ? 1 : 0;
    store().UpdateOptionData(options);
    SignalStatus status = store().GetSignalStatus(s0);
    status.TrackCode = c.TrackCode;
    status.RunningTimeEnd = c.RunningTimeEnd;
    store().UpdateSignalStatus(s0, status);

    Fleet(s0, c.Source);
    EXPECT_EQ(Aspect(s0), 5) << c.TrackCode;
    EXPECT_EQ(FleetOf(s0), 0);
    EXPECT_EQ(Locked(sw0), 0);
    EXPECT_EQ(MessageTexts(), c.Message ? std::vector<std::string>{c.Message} : std::vector<std::string>{})
        << c.TrackCode << " help " << c.Help << " source " << c.Source;
  }
}

}  // namespace
