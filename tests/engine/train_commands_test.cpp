#include "engine/train_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/engine/movement_fixture.h"

namespace {

using namespace train_menu;

// The line of the movement tests: four signalled blocks of a mile, B0 to B3.
class TrainCommandTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    Start();
  }
  // Offers `slot` as the first entry of the pop-up menu; returns the id of the command's entry.
  int Offer(int base, int slot) {
    run().PopupTrains[0] = slot;
    return base;
  }
  // Runs a command on train 0 with the run paused, as the pop-up menu leaves it.
  void Command(void (Engine::*handler)(int), int base) {
    run().SimPaused = 1;
    (engine.*handler)(Offer(base, 0));
  }
  std::string LastMessage() { return messages.Calls.empty() ? "" : messages.Calls.back().Text; }
  // A fresh run for the next case of a table.
  void Fresh() {
    store().InitSimulationStatus();
    store().SimClock = kStart;
  }
};

TEST_F(TrainCommandTest, CommandIdsReachTheirHandlerThroughThePopupList) {
  Put(0, b[1], 1, 3000);
  run().PopupTrains = {-1, -1, -1, -1, -1, 0};
  EXPECT_TRUE(engine.TrainCommand(kStopNow + 5));
  EXPECT_EQ(+Train(0).Reason, StopReason::DispatcherRequest);

  // An entry without a train, an id past its range and ids of no range do nothing.
  TrainStatus train = Train(0);
  train.Reason = StopReason::WaitSignal;
  Store(0, train);
  EXPECT_TRUE(engine.TrainCommand(kStopNow));
  EXPECT_FALSE(engine.TrainCommand(kNewCrewLocation + 5));
  EXPECT_FALSE(engine.TrainCommand(1099));
  EXPECT_FALSE(engine.TrainCommand(1255));
  EXPECT_EQ(+Train(0).Reason, StopReason::WaitSignal);
}

TEST_F(TrainCommandTest, StopNowOnAStandingTrainMakesItADispatcherStop) {
  Put(0, b[1], 1, 3000);
  Command(&Engine::CmTrainStopNow, kStopNow);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.DispatcherStop, 1);
  EXPECT_EQ(+train.Reason, StopReason::DispatcherRequest);
  EXPECT_EQ(run().SimPaused, 0);
}

// A train moving right in B1 towards the block end (5,280 ft), due there in
// `due` seconds; the stop time is speed x 2 seconds.
TEST_F(TrainCommandTest, StopNowOnAMovingTrainRunsOutItsStopDistance) {
  struct Case {
    const char* Name;
    int16_t Speed;
    int32_t Due;
    uint8_t Units;
    int32_t Event;     // expected head event, from the clock; -1 unchanged
    int32_t Position;  // expected head position; -1 unchanged
  };
  // 20 mph: 352 in/s for 40 s = 1,173 ft; due in 150 s the head is 4,400 ft short of the end, at 880.
  // 20 km/h is 277 m in 1,000 s.
  const Case cases[] = {
      {"stops short of its event", 20, 150, 1, 40, 880 + 1173},
      {"its event comes first", 20, 30, 1, -1, -1},
      {"standing in state 5", 0, 100, 1, 0, 5280},
      {"metric units", 20, 150, 0, 40, 5280 - 277 * 150 / 50 + 277 * 40 / 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh();
    TerritoryOptions units = store().GetTerritoryOptions();
    units.Units = c.Units;
    store().UpdateTerritoryOptions(units);
    TrainStatus train = Put(0, b[1], 1, 5280, -2, TrainState::Moving, c.Speed);
    train.HeadEventTime = store().SimClock + c.Due;
    Store(0, train);
    Command(&Engine::CmTrainStopNow, kStopNow);
    train = Train(0);
    EXPECT_EQ(+train.DispatcherStop, 1);
    EXPECT_EQ(+train.State, TrainState::Moving);
    if (c.Event == -1) {
      EXPECT_EQ(+train.Reason, HeadEvent::Running);
      EXPECT_EQ(train.HeadEventTime - store().SimClock, c.Due);
      EXPECT_EQ(+train.HeadPosition, 5280);
    } else {
      EXPECT_EQ(+train.Reason, HeadEvent::DispatcherStop);
      EXPECT_EQ(train.HeadEventTime - store().SimClock, c.Event);
      EXPECT_EQ(+train.HeadPosition, c.Position);
    }
  }
}

TEST_F(TrainCommandTest, StopInBlockRecordsTheBlockOrStopsATrainWaitingThere) {
  struct Case {
    const char* Name;
    int Result;
    uint8_t DispatcherStop;
    uint8_t Reason;
    int16_t StopInBlock;
  };
  const Case cases[] = {
      {"cancelled", 2, 0, StopReason::WaitSignal, -1},
      {"its own block while waiting at the signal", 1000 + 1, 1, StopReason::DispatcherRequest, -1},
      {"a block ahead", 1000 + 3, 0, StopReason::WaitSignal, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh();
    Put(0, b[1], 1, 3000);
    dialogs.Titles.clear();
    dialogs.StopResults = {c.Result};
    Command(&Engine::CmTrainStopInBlock, kStopInBlock);
    const TrainStatus train = Train(0);
    EXPECT_EQ(dialogs.Titles, std::vector<std::string>{"Block To Stop \"101\" In"});
    EXPECT_EQ(+train.DispatcherStop, c.DispatcherStop);
    EXPECT_EQ(+train.Reason, c.Reason);
    EXPECT_EQ(+train.StopInBlock, c.StopInBlock);
    EXPECT_EQ(run().SimPaused, 0);
  }
}

TEST_F(TrainCommandTest, ClearStopForgetsOnlyTheStopBlock) {
  TrainStatus train = Put(0, b[1], 1, 3000, -2, TrainState::Moving, 30);
  train.StopInBlock = static_cast<int16_t>(b[3]);
  train.DispatcherStop = 1;
  Store(0, train);
  Command(&Engine::CmTrainClearStop, kClearStop);
  EXPECT_EQ(+Train(0).StopInBlock, -1);
  EXPECT_EQ(+Train(0).DispatcherStop, 1);
}

TEST_F(TrainCommandTest, StartMovementRunsOnAtTheSpeedItStoppedFrom) {
  TrainStatus train = Put(0, b[1], 1, 3000);
  train.Reason = StopReason::DispatcherRequest;
  train.DispatcherStop = 1;
  train.StopInBlock = static_cast<int16_t>(b[2]);
  train.SpeedBeforeStop = 40;
  Store(0, train);
  const int32_t clock = store().SimClock;
  Command(&Engine::CmTrainStartMovement, kStartMovement);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.Reason, HeadEvent::Running);
  EXPECT_EQ(+train.Speed, 40);
  EXPECT_EQ(+train.DispatcherStop, 0);
  EXPECT_EQ(+train.StopInBlock, -1);
  EXPECT_EQ(+train.HeadPosition, kMile);
  EXPECT_EQ(+train.HeadEventTime, clock + engine.TravelTime(40, kMile - 3000));
  EXPECT_EQ(run().SimPaused, 0);
}

TEST_F(TrainCommandTest, PassNextRedSignalRefusesWhatItCannotAllow) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    std::string Text;
  };
  const Case cases[] = {
      {"the territory ends",
       [this] {
         TrainStatus train = Train(0);
         train.HeadBlock = static_cast<int16_t>(b[3]);
         Store(0, train);
       },
       "Could not find next block.  This could be because there is an open switch or there is no available blocks "
       "before the territory terminates."},
      {"five trains ahead, all going the same way",
       [this] {
         for (int slot = 1; slot <= 5; ++slot) Put(slot, b[2], 1, 5000 - slot * 500);
       },
       "The maximum number of train allowed in a single block is 5."},
      {"a train coming the other way", [this] { Put(1, b[2], 0, 3000); },
       "There is a train in the next block moving in the opposite direction."},
      {"cleared the other way", [this] { SetBlockCode(b[2], 2); },
       "The next block is cleared in the opposite direction."},
      {"a train right at the entry end", [this] { Put(1, b[2], 1, 0); },
       "The train in the next block is too close to allow movement past the signal."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh();
    Put(0, b[1], 1, 5280);
    c.Arrange();
    messages.Calls.clear();
    Command(&Engine::CmTrainPassRedSignal, kPassRedSignal);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Text);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_EQ(+Train(0).PassRedPermission, 0);
    EXPECT_EQ(run().SimPaused, 0);
  }
}

// B1's train heading left looks into B0, where a train heading left stands
// with its head 2,000 ft from B0's left end: room enough.
TEST_F(TrainCommandTest, PassNextRedSignalGrantsPermissionWhenThereIsRoom) {
  Put(0, b[1], 0, 0);
  Put(1, b[0], 0, 2000);
  Command(&Engine::CmTrainPassRedSignal, kPassRedSignal);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+Train(0).PassRedPermission, 1);
}

// The permission lets a train at R1 (at stop) run into B2, which still holds
// the route of an earlier clear: the train takes one off its held count.
TEST_F(TrainCommandTest, TheTrainPassesTheRedSignalAndTakesOneHeldRoute) {
  TrainStatus train = Put(0, b[1], 1, kMile, -2, TrainState::Moving, 30);
  train.HeadEventTime = store().SimClock + 10;
  Store(0, train);
  BlockStatus held = store().GetBlockStatus(b[2]);
  held.HeldRoutes = 2;
  store().UpdateBlockStatus(b[2], held);
  Command(&Engine::CmTrainPassRedSignal, kPassRedSignal);
  ASSERT_EQ(+Train(0).PassRedPermission, 1);

  for (int i = 0; i < 3 && Train(0).HeadBlock == b[1]; ++i) Tick();
  EXPECT_EQ(+Train(0).HeadBlock, b[2]);
  EXPECT_EQ(+store().GetBlockStatus(b[2]).HeldRoutes, 1);
}

TEST_F(TrainCommandTest, ClearBlockAheadClearsTheRouteOrSaysWhyNot) {
  Put(0, b[1], 1, 3000);
  run().SimPaused = 1;
  engine.CmTrainClearBlockAhead(Offer(kClearBlockAhead, 0));
  EXPECT_EQ(BlockCode(b[2]), 1);
  EXPECT_EQ(run().SimPaused, 1);  // the command leaves the pause to the menu

  SetBlockCode(b[2], 0);
  Put(1, b[2], 0, 3000);
  engine.CmTrainClearBlockAhead(Offer(kClearBlockAhead, 0));
  EXPECT_EQ(LastMessage(), "Route will not clear because the next block is occupied.");
}

TEST_F(TrainCommandTest, ReverseTurnsTheTrain) {
  Put(0, b[1], 1, 3000);
  engine.TrainCommand(Offer(kReverse, 0));
  EXPECT_EQ(+Train(0).HeadDirection, 0);
}

TEST_F(TrainCommandTest, StatusAndOSReportOpenTheirWindowsOnTheTrain) {
  Put(0, b[1], 1, 3000);
  Command(&Engine::CmTrainStatus, kStatus);
  EXPECT_EQ(shell.ActiveTrainsShown, std::vector<int>{0});
  EXPECT_EQ(run().SimPaused, 0);
  Command(&Engine::CmTrainOS, kOS);
  ASSERT_EQ(lists.TrainOSWindows.size(), 1u);
  EXPECT_EQ(lists.TrainOSWindows[0], std::make_pair(std::string(" Train \"101\" OS Report"), 0));
  EXPECT_EQ(run().SimPaused, 0);
}

TEST_F(TrainCommandTest, PropertiesShowTheTrainSheetWithAPassengerPagePerTenPlatforms) {
  TrainData data = store().GetTrainData(this->data);
  SetFieldText(data.Description, "Coal drag");
  store().UpdateTrainData(this->data, data);
  Put(0, b[1], 1, 3000);
  Command(&Engine::CmTrainProperties, kProperties);
  ASSERT_EQ(dialogs.TrainSheets, std::vector<int>{this->data});
  EXPECT_EQ(dialogs.Titles, std::vector<std::string>{"View Train \"101 Coal drag\""});
  EXPECT_EQ(dialogs.TrainSheetPages, std::vector<int>{1});
  EXPECT_EQ(run().SimPaused, 0);

  CountData counts = store().GetCountData();
  counts.Words[kCountPlatforms] = 11;
  store().UpdateCountData(counts);
  for (int i = 0; i < 11; ++i) {
    PlatformData platform = store().GetPlatformData(i);
    platform.InUse = 1;
    store().UpdatePlatformData(i, platform);
  }
  Command(&Engine::CmTrainProperties, kProperties);
  EXPECT_EQ(dialogs.TrainSheetPages.back(), 2);
}

TEST_F(TrainCommandTest, PropertiesInCTCModeUseTheTrainDialogAndRepaintOnOK) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  Put(0, b[1], 1, 3000);
  dialogs.TrainDialogResults = {1};
  shell.Invalidated.clear();
  Command(&Engine::CmTrainProperties, kProperties);
  EXPECT_TRUE(dialogs.TrainSheets.empty());
  EXPECT_EQ(dialogs.DialogSlots, std::vector<int>{0});
  EXPECT_FALSE(shell.Invalidated.empty());
  EXPECT_EQ(run().SimPaused, 1);
}

}  // namespace
