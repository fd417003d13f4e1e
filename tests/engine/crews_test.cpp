#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/train_commands.h"
#include "tests/engine/movement_fixture.h"

namespace {

using namespace train_menu;

// The four-block line; train 101 in B1, its crew on duty since it entered at
// 08:00 with the default 120 minutes already worked: the crew expires at 18:00.
class CrewTest : public MovementTest {
 protected:
  static constexpr int32_t kExpiry = kStart + 43200 - 60 * 120;

  void SetUp() override {
    Line();
    platform = t.Platform("Alden", b[2]);
    Start();
    SetCrewOption(1);
  }
  void SetCrewOption(uint8_t on) {
    OptionData options = store().GetOptionData();
    options.CrewExpirationActive = on;
    store().UpdateOptionData(options);
  }
  TrainStatus Crewed(int slot, uint8_t state = TrainState::Moving, int16_t speed = 30, int32_t expiry = kExpiry) {
    TrainStatus train = Put(slot, b[1], 1, 3000, -2, state, speed);
    train.CrewExpiry = expiry;
    train.HeadEventTime = state == TrainState::Moving ? store().SimClock + 600 : -1;
    train.HeadPosition = state == TrainState::Moving ? kMile : 3000;
    Store(slot, train);
    return Train(slot);
  }
  // The minute work's crew step, minute by minute up to `clock`.
  void WatchUntil(int32_t clock) {
    while (store().SimClock < clock) {
      store().SimClock += 60;
      engine.CheckCrewTimes();
    }
  }
  std::vector<std::string> Alerts() {
    std::vector<std::string> lines;
    for (int i = 0; i < run().AlertLinesUsed; ++i) lines.push_back(Alert(i));
    return lines;
  }
  void Do(void (Engine::*handler)(int), int base, int slot) {
    run().PopupTrains[0] = slot;
    run().SimPaused = 1;
    (engine.*handler)(base);
  }
  // The crew dialogs' part: a crew for `location`, ready at `ready`.
  void CrewDialogSets(int location, int32_t ready) {
    dialogs.CrewDialogAction = [this, location, ready](int slot) {
      TrainStatus train = Train(slot);
      train.CrewChangeLocation = static_cast<int16_t>(location);
      train.CrewReadyTime = ready;
      Store(slot, train);
    };
  }
  void SetReliefMinutes(int block, int32_t minutes) {
    BlockData data = store().GetBlockData(block);
    data.CrewReliefMinutes = minutes;
    store().UpdateBlockData(block, data);
  }

  int platform = -1;
};

TEST_F(CrewTest, TheWatchWarnsTwoHoursAheadAndStopsTheTrainWhenTheCrewExpires) {
  Crewed(0);
  WatchUntil(kExpiry - 7200);
  EXPECT_TRUE(Alerts().empty());
  WatchUntil(kExpiry - 7200 + 60);
  ASSERT_EQ(Alerts().size(), 1u);
  EXPECT_NE(Alerts()[0].find("16:01 Train - \"101\" crew time will expire at 18:00"), std::string::npos) << Alerts()[0];
  EXPECT_EQ(+Train(0).CrewWarningGiven, 1);

  WatchUntil(kExpiry);
  EXPECT_EQ(+Train(0).State, TrainState::Moving);
  const int32_t speed = Train(0).Speed;
  WatchUntil(kExpiry + 60);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::CrewTimeExpired);
  EXPECT_EQ(+train.Speed, 0);
  EXPECT_EQ(+train.SpeedBeforeStop, speed);
  EXPECT_EQ(+train.HeadEventTime, -1);
  EXPECT_EQ(+train.WaitStart, kExpiry + 60);
  EXPECT_EQ(+train.StandingSince, kExpiry + 60);
  EXPECT_EQ(+train.CrewExpiredHandled, 1);
  ASSERT_EQ(Alerts().size(), 2u);
  EXPECT_NE(Alerts()[1].find("18:01 Train - \"101\" is stopped due to crew expiration"), std::string::npos);

  WatchUntil(kExpiry + 600);
  EXPECT_EQ(Alerts().size(), 2u);
}

// A moving train stops where its head is now, not at its next event's point.
TEST_F(CrewTest, AnExpiredCrewStopsAMovingTrainOnTheSpot) {
  TrainStatus train = Crewed(0, TrainState::Moving, 30, kStart - 60);
  const int32_t here = engine.GetTrainHeadPosition(0).HeadPosition;
  ASSERT_NE(here, +train.HeadPosition);
  engine.ExpireCrew(0);
  train = Train(0);
  EXPECT_EQ(+train.HeadPosition, here);
  EXPECT_EQ(+train.PreviousHeadPosition, here);
}

TEST_F(CrewTest, WithTheOptionOffNothingHappensUntilItIsTurnedOn) {
  Crewed(0, TrainState::Stopped, 0, kStart + 120);
  SetCrewOption(0);
  WatchUntil(kStart + 600);
  EXPECT_TRUE(Alerts().empty());
  EXPECT_EQ(+Train(0).Reason, StopReason::WaitSignal);

  SetCrewOption(1);
  WatchUntil(kStart + 660);
  ASSERT_EQ(Alerts().size(), 2u);
  EXPECT_NE(Alerts()[0].find("crew time will expire at 08:02"), std::string::npos);
  EXPECT_NE(Alerts()[1].find("is stopped due to crew expiration"), std::string::npos);
  EXPECT_EQ(+Train(0).Reason, StopReason::CrewTimeExpired);
}

TEST_F(CrewTest, WhoTheWatchLeavesStanding) {
  struct Case {
    const char* Name;
    uint8_t State;
    uint8_t Reason;
    int16_t MergePrevious;
    int Location;  // crew change location, -1 none
    bool Stopped;
  };
  const Case cases[] = {
      {"a coupled train", TrainState::Moving, HeadEvent::Running, 3, -1, false},
      {"waiting for its crew at the block", TrainState::Stopped, StopReason::CrewChange, -1, b[1], false},
      {"waiting for its crew at the platform", TrainState::Stopped, StopReason::CrewChange, -1, 10000, false},
      {"doing local work", TrainState::Stopped, StopReason::LocalWork, -1, -1, false},
      {"waiting for its crew elsewhere", TrainState::Stopped, StopReason::CrewChange, -1, b[3], true},
      {"standing at a signal", TrainState::Stopped, StopReason::WaitSignal, -1, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    TrainStatus train = Crewed(0, c.State, c.State == TrainState::Moving ? 30 : 0, kStart - 3600);
    // The platform location is the platform beside the head block.
    if (c.Location == 10000) train.HeadBlock = static_cast<int16_t>(b[2]);
    train.Reason = c.Reason;
    train.MergePrevious = c.MergePrevious;
    train.CrewChangeLocation = static_cast<int16_t>(c.Location == 10000 ? 10000 + platform : c.Location);
    Store(0, train);
    WatchUntil(kStart + 60);
    EXPECT_EQ(Train(0).Reason == StopReason::CrewTimeExpired, c.Stopped);
  }
}

TEST_F(CrewTest, ATrainWithACrewChangeUnderWayRunsOnButIsReportedOnce) {
  TrainStatus train = Crewed(0, TrainState::Moving, 30, kStart - 60);
  train.CrewChangeOrdered = 1;
  Store(0, train);
  WatchUntil(kStart + 180);
  EXPECT_EQ(+Train(0).State, TrainState::Moving);
  EXPECT_EQ(+Train(0).Speed, 30);
  EXPECT_EQ(Alerts().size(), 2u);  // the warning and one report
}

TEST_F(CrewTest, ChangeCrewAtTheTrainsBlockMakesItWaitForTheRelief) {
  Crewed(0, TrainState::Stopped, 0);
  SetReliefMinutes(b[1], 15);
  CrewDialogSets(b[1], kStart + 3600);
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  const TrainStatus train = Train(0);
  EXPECT_EQ(dialogs.DialogSlots, std::vector<int>{0});
  EXPECT_EQ(+train.CrewChangeOrdered, 1);
  EXPECT_EQ(+train.Reason, StopReason::CrewChange);
  EXPECT_EQ(+train.HeadEventTime, kStart + 3600 + 15 * 60);
  EXPECT_EQ(+train.WaitStart, -1);
  EXPECT_EQ(run().SimPaused, 0);
}

// A territory's relief time counts minutes in 32 bits: the wait it sets is held at the clock's limit, not
// wrapped round to a time long past.
TEST_F(CrewTest, AReliefTimeBeyondTheClocksRangeIsHeldAtItsLimit) {
  Crewed(0, TrainState::Stopped, 0);
  SetReliefMinutes(b[1], 40'000'000);
  CrewDialogSets(b[1], kStart + 3600);
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  EXPECT_EQ(+Train(0).HeadEventTime, INT32_MAX);
}

TEST_F(CrewTest, ChangeCrewElsewhereOrCancelled) {
  // A crew called to a block ahead: the train runs on; the crew change is ordered on the way.
  Crewed(0);
  CrewDialogSets(b[3], kStart + 3600);
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  EXPECT_EQ(+Train(0).CrewChangeLocation, b[3]);
  EXPECT_EQ(+Train(0).CrewChangeOrdered, 0);
  EXPECT_EQ(+Train(0).Reason, HeadEvent::Running);

  // Cancelling forgets the location.
  dialogs.CrewDialogAction = nullptr;
  dialogs.CrewCallResults = {2};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  EXPECT_EQ(+Train(0).CrewChangeLocation, -1);
  EXPECT_EQ(run().SimPaused, 0);
}

TEST_F(CrewTest, ANewLocationForAnExpiredTrainStartsFromTheBlockItStandsIn) {
  TrainStatus train = Crewed(0, TrainState::Stopped, 0);
  train.Reason = StopReason::CrewTimeExpired;
  Store(0, train);
  SetReliefMinutes(b[1], 20);
  int16_t seen = -2;
  dialogs.CrewDialogAction = [&](int slot) {
    train = Train(slot);
    seen = train.CrewChangeLocation;
    train.CrewReadyTime = kStart + 1200;
    Store(slot, train);
  };
  Do(&Engine::CmTrainNewCrewLocation, kNewCrewLocation, 0);
  EXPECT_EQ(seen, b[1]);
  train = Train(0);
  EXPECT_EQ(+train.CrewChangeOrdered, 1);
  EXPECT_EQ(+train.Reason, StopReason::CrewChange);
  EXPECT_EQ(+train.HeadEventTime, kStart + 1200 + 20 * 60);
  EXPECT_EQ(run().SimPaused, 0);
}

// The crew is called to the platform beside B2; the train stands in B2.
TEST_F(CrewTest, APlatformLocationMatchesTheHeadBlocksPlatform) {
  TrainStatus train = Crewed(0, TrainState::Stopped, 0);
  train.HeadBlock = static_cast<int16_t>(b[2]);
  Store(0, train);
  CrewDialogSets(10000 + platform, kStart + 1800);
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  EXPECT_EQ(+Train(0).CrewChangeOrdered, 1);
  EXPECT_EQ(+Train(0).Reason, StopReason::CrewChange);
}

}  // namespace

namespace {

// The crew is called to B2 while the train runs in B1 under a cleared R1: on
// entering B2 the crew change is ordered there, and the head's next event is
// the stop for it (which the stop handlers carry out).
TEST_F(CrewTest, ATrainRunningToItsCrewStopsThereForIt) {
  TrainStatus train = Crewed(0);
  train.HeadEventTime = store().SimClock + 10;
  Store(0, train);
  ClearRight({b[2]});
  SignalStatus signal = store().GetSignalStatus(right[1]);
  signal.Aspect = 1;
  store().UpdateSignalStatus(right[1], signal);
  CrewDialogSets(b[2], kStart + 1800);
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  EXPECT_EQ(+Train(0).CrewChangeOrdered, 0);

  for (int i = 0; i < 10 && Train(0).HeadBlock == b[1]; ++i) Tick();
  train = Train(0);
  EXPECT_EQ(+train.HeadBlock, b[2]);
  EXPECT_EQ(+train.CrewChangeOrdered, 1);
  EXPECT_EQ(+train.Reason, HeadEvent::PlatformStop);
}

}  // namespace

namespace {

// A train stopped by its expired crew in B1 gets a relief crew called for
// 09:00; the crew needs 10 minutes to reach B1. The train waits, untouched by
// the watch, and the crew changes when it arrives.
TEST_F(CrewTest, ACalledCrewTakesOverWhenItArrives) {
  Crewed(0, TrainState::Stopped, 0, kStart - 60);
  SetReliefMinutes(b[1], 10);
  engine.ExpireCrew(0);
  ASSERT_EQ(+Train(0).Reason, StopReason::CrewTimeExpired);
  constexpr int32_t kCall = kStart + 3600;
  dialogs.CrewDialogAction = [this](int slot) {
    TrainStatus train = Train(slot);
    train.CrewOnDuty = kCall;
    train.CrewReadyTime = kCall + 10 * 60;
    Store(slot, train);
  };
  dialogs.CrewCallResults = {1};
  Do(&Engine::CmTrainChangeCrew, kChangeCrew, 0);
  constexpr int32_t kArrival = kCall + 10 * 60 + 10 * 60;
  ASSERT_EQ(+Train(0).HeadEventTime, kArrival);

  for (int tick = 1; store().SimClock < kArrival - 10; ++tick) {
    store().SimClock += 10;
    engine.StepTrains();
    if (tick % 6 == 0) engine.CheckCrewTimes();
  }
  EXPECT_EQ(+Train(0).Reason, StopReason::CrewChange);
  EXPECT_EQ(+Train(0).CrewExpiry, kStart - 60);

  store().SimClock += 10;
  engine.StepTrains();
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.CrewExpiry, kCall + 43200);
  EXPECT_EQ(+train.CrewChangeOrdered, 0);
  EXPECT_EQ(+train.CrewChangeLocation, -1);
  EXPECT_EQ(+train.CrewExpiredHandled, 0);
  EXPECT_NE(+train.Reason, StopReason::CrewChange);
}

}  // namespace
