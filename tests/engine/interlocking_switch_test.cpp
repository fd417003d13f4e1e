#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/crossover_fixture.h"
#include "tests/engine/interlocking_fixture.h"
#include "tests/engine/switch_refusal_table.h"

namespace {

class SwitchTest : public InterlockingTest {
 protected:
  int Throw(int sw, uint8_t forced = 0, uint8_t crew = 0, int source = kScreenRequest) {
    return engine.ThrowSwitch(SwitchDevice(sw), forced, crew, source);
  }
  int Position(int sw) { return store().GetSwitchStatus(sw).Position; }
  void SetSwitch(int sw, int code, int fleetLock = 0, int failures = -1, int maintainer = 0) {
    SwitchStatus status = store().GetSwitchStatus(sw);
    status.Occupancy = static_cast<uint8_t>(code);
    status.FleetLocked = static_cast<uint8_t>(fleetLock);
    status.FailureCount = static_cast<int8_t>(failures);
    status.MaintainerCalled = static_cast<uint8_t>(maintainer);
    status.Highlight = status.Highlight2 = 0;
    store().UpdateSwitchStatus(sw, status);
  }
  void SetFailureChance(int per1000) {
    RandomData random = store().GetRandomData();
    random.SwitchFailuresPer1000 = static_cast<int16_t>(per1000);
    random.MaintainerRepairMinutes = 30;
    random.MaintainerVariationPercent = 0;
    store().UpdateRandomData(random);
  }
};

// The crossover territory (crossover_fixture.h).
class CrossoverSwitchTest : public SwitchTest {
 protected:
  void SetUp() override {
    const CrossoverTerritory c = DrawCrossover(t);
    b0 = c.B0, b1 = c.B1, b2 = c.B2, b3 = c.B3, swa = c.SWa, swb = c.SWb, sw0 = c.SW0;
    Ready();
  }
  int b0, b1, b2, b3, swa, swb, sw0;
};

TEST_F(CrossoverSwitchTest, AThrowMovesTheSwitchAndItsPartnerAndRepaintsBoth) {
  EXPECT_EQ(Throw(swa), 1);
  EXPECT_EQ(Position(swa), 1);
  EXPECT_EQ(Position(swb), 1);
  ASSERT_EQ(shell.Invalidated.size(), 2u);
  EXPECT_EQ(shell.Invalidated[0].X, 8);
  EXPECT_EQ(shell.Invalidated[0].Y, 4);
  EXPECT_EQ(shell.Invalidated[0].Width, 18);
  EXPECT_EQ(shell.Invalidated[0].Height, 18);
  EXPECT_EQ(shell.Invalidated[1].X, 10);
  EXPECT_EQ(shell.Invalidated[1].Y, 6);

  EXPECT_EQ(Throw(swb), 1);
  EXPECT_EQ(Position(swa), 0);
  EXPECT_EQ(Position(swb), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CrossoverSwitchTest, ALockOnTheSwitchOrItsPartnerRefusesWithTheFirstReasonThatApplies) {
  for (const SwitchRefusalCase& c : kSwitchRefusals) {
    SCOPED_TRACE(testing::Message() << "partner " << c.Partner << " code " << c.Code << " fleet " << c.FleetLock
                                    << " failures " << c.Failures);
    messages.Calls.clear();
    run().HighlightedDevice = -1;
    SetSwitch(swa, 0);
    SetSwitch(swb, 0);
    const int locked = c.Partner ? swb : swa;
    SetSwitch(locked, c.Code, c.FleetLock, c.Failures);
    EXPECT_EQ(Throw(swa), 0);
    EXPECT_EQ(Position(swa), 0);
    EXPECT_EQ(Position(swb), 0);
    EXPECT_EQ(+store().GetSwitchStatus(swa).Refused, 1);
    EXPECT_EQ(+store().GetSwitchStatus(locked).Highlight, 1) << "the locked switch is drawn in error";
    EXPECT_EQ(+store().GetSwitchStatus(locked).Highlight2, 1);
    if (c.Partner) {
      EXPECT_EQ(+store().GetSwitchStatus(swa).Highlight, 0);
    }
    EXPECT_EQ(run().HighlightedDevice, SwitchDevice(locked));
    if (c.Text == nullptr) {
      EXPECT_TRUE(messages.Calls.empty());
    } else {
      EXPECT_EQ(MessageTexts(), (std::vector<std::string>{c.Text}));
      EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
      EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
    }
  }
}

TEST_F(CrossoverSwitchTest, AHandThrownSwitchTakesACrewOrAnInterface) {
  SwitchData data = store().GetSwitchData(sw0);
  data.HandThrown = 1;
  store().UpdateSwitchData(sw0, data);

  EXPECT_EQ(Throw(sw0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{
                                "This switch must be manually thrown by a train's crew.  Stop a train near the switch "
                                "and instruct the crew to throw the switch by placing the mouse on the switch and "
                                "clicking the right mouse button."}));
  EXPECT_EQ(Position(sw0), 0);

  messages.Calls.clear();
  EXPECT_EQ(Throw(sw0, 0, 0, 5), 1);  // an interface request
  EXPECT_EQ(Throw(sw0, 0, 1), 1);     // the crew
  EXPECT_EQ(Position(sw0), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CrossoverSwitchTest, ARandomFailureLeavesTheSwitchWhereItLies) {
  SetFailureChance(1000);
  EXPECT_EQ(Throw(sw0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Switch failure. Try to throw it again."}));
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FailureCount, 0);
  EXPECT_EQ(Position(sw0), 0);

  // Neither the signal stack (forced) nor a crew meets a random failure.
  SetSwitch(swa, 0);
  messages.Calls.clear();
  EXPECT_EQ(Throw(swa, 1), 1);
  EXPECT_EQ(Throw(swa, 0, 1), 1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CrossoverSwitchTest, ACrewThrowsAFailedSwitchAndLeavesItFailed) {
  SetSwitch(sw0, 0, 0, 4);
  EXPECT_EQ(Throw(sw0, 0, 1), 1);
  EXPECT_EQ(Position(sw0), 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FailureCount, 4);
}

TEST_F(CrossoverSwitchTest, AFailedSwitchWorksAgainWhenTheDrawHitsItsBand) {
  SetSwitch(sw0, 0, 0, 2, 1);                                  // even with a maintainer on his way
  FirstDrawOf1000([](int v) { return v >= 750 && v < 875; });  // band 2
  EXPECT_EQ(Throw(sw0), 1);
  const SwitchStatus status = store().GetSwitchStatus(sw0);
  EXPECT_EQ(+status.FailureCount, -1);
  EXPECT_EQ(+status.MaintainerCalled, 0);
  EXPECT_EQ(+status.MaintainerFixTime, -1);
}

TEST_F(CrossoverSwitchTest, AFailedSwitchAsksForTheMaintainerAndItsCountStopsAtTen) {
  SetFailureChance(0);
  FirstDrawOf1000([](int v) { return v < 500; });  // band 0
  SetSwitch(sw0, 0, 0, 8);
  messages.ScriptAnswers({MessageResult::Yes});
  EXPECT_EQ(Throw(sw0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Switch is still not working.  Do you wish to call a maintainer?",
                                                      "Maintainer will fix by 08:30."}));
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FailureCount, 9);
  EXPECT_EQ(+store().GetSwitchStatus(sw0).MaintainerCalled, 1);

  messages.Calls.clear();
  EXPECT_EQ(Throw(sw0), 0);
  EXPECT_EQ(Throw(sw0), 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Switch is still not working.", "Switch is still not working."}));
  EXPECT_EQ(+store().GetSwitchStatus(sw0).FailureCount, 10);
  EXPECT_EQ(Position(sw0), 0);
}

TEST_F(CrossoverSwitchTest, InterfaceAndForcedRequestsCallTheMaintainerWithoutAsking) {
  FirstDrawOf1000([](int v) { return v < 500; });
  for (const bool forced : {false, true}) {
    SetSwitch(sw0, 0, 0, 1);
    EXPECT_EQ(forced ? Throw(sw0, 1) : Throw(sw0, 0, 0, 8), 0);
    EXPECT_EQ(+store().GetSwitchStatus(sw0).MaintainerCalled, 1);
  }
  SetSwitch(sw0, 3);
  EXPECT_EQ(Throw(sw0, 1), 0);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CrossoverSwitchTest, CTCControlModeHandsTheRequestToTheInterface) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  EXPECT_EQ(Throw(sw0, 1), 1);
  EXPECT_EQ(interface.CTCSwitchRequests, (std::vector<std::pair<int, int>>{{SwitchDevice(sw0), 1}}));
  EXPECT_EQ(Position(sw0), 0);
}

// x:  2   6  7  8  10 11  12    18
//     ==B0== SW0 ==P== SW1 ==B1==      y=4; P is a pass-through block
//             `.        `.
//              ==B2==     ==B3==       y=6: B2 x 9-11, B3 x 13-18
// SW0 is hand-thrown; a crew can throw it from a train waiting at a signal
// in the first main block reached from one of its legs.
class CrewTrainTest : public SwitchTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 6);
    sw0 = t.Switch("SW0", {7, 4}, Diverge::DownRight);
    p = Block("P", 8, 10, 4, true);
    sw1 = t.Switch("SW1", {11, 4}, Diverge::DownRight);
    b1 = Block("B1", 12, 18);
    b2 = Block("B2", 9, 11, 6);
    b3 = Block("B3", 13, 18, 6);
    t.Link(b0, SwitchDevice(sw0));
    t.Link(SwitchDevice(sw0), p);
    t.Link(p, SwitchDevice(sw1));
    t.Link(SwitchDevice(sw1), b1);
    t.Branch(sw0, b2, End::Left);
    t.Branch(sw1, b3, End::Left);
    Ready();
  }
  void Waiting(int slot, int block) { PlaceTrain(slot, block, 0); }
  int b0, sw0, p, sw1, b1, b2, b3;
};

TEST_F(CrewTrainTest, FindsTheTrainWaitingInTheFirstMainBlockOfAStraightLegFirst) {
  Waiting(1, b2);
  EXPECT_EQ(engine.FindSwitchCrewTrain(sw0), b2);
  Waiting(2, b1);
  EXPECT_EQ(engine.FindSwitchCrewTrain(sw0), b1);  // through the pass-through block
  Waiting(3, b0);
  EXPECT_EQ(engine.FindSwitchCrewTrain(sw0), b0);
}

TEST_F(CrewTrainTest, TriesTheFacingSwitchesBeyondALegTheOtherWay) {
  Waiting(1, b3);
  EXPECT_EQ(engine.FindSwitchCrewTrain(sw0), b3);
  EXPECT_EQ(Position(sw1), 0);  // the search only chooses positions
}

TEST_F(CrewTrainTest, OnlyATrainStoppedAtASignalWillDo) {
  PlaceTrain(1, b1, 0, 5, 30);  // moving
  PlaceTrain(2, b0, 0);
  TrainStatus train = store().GetTrainStatus(2);
  train.Reason = 7;  // at a platform
  store().UpdateTrainStatus(2, train);
  EXPECT_EQ(engine.FindSwitchCrewTrain(sw0), -1);
}

}  // namespace
