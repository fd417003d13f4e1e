#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "tests/engine/train_life_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;

//   x:    2      9   11    18   20    27   29    36
//   WST   ===B0===   ===B1===   ===B2===   ===B3===  EST      y=4
//                    [Mill]
class StopsTest : public TrainLifeTest {
 protected:
  static constexpr int32_t kArrival = kStart;

  void SetUp() override {
    Line();
    mill = t.Platform("Mill", b[1]);
    hotBox = t.Detector("hot box");
    Start();
    store().LoadedTrackVersion = 37;
    TrainType freight = store().GetTrainType(type);
    freight.TopSpeed = 50;
    freight.StartupSeconds = 60;
    store().UpdateTrainType(type, freight);
    TrainData d = Schedule(data);
    d.Stations[mill].Minutes = 8 * 60 + 10;
    d.Stations[mill].DwellSeconds = 30;
    SetSchedule(data, d);
    ClearRight({b[2], b[3]});
    SetAspect(right[1], 1);
  }

  // 101 running right in B1, its head at `position`, due there now with head event `code`.
  TrainStatus Running(uint8_t code, int32_t position = 3000, int16_t speed = 60) {
    TrainStatus train = Put(0, b[1], 1, position, b[1], TrainState::Moving, speed);
    train.Reason = code;
    train.HeadEventTime = kArrival;
    Store(0, train);
    return train;
  }
  // 101 arriving at Mill, scheduled there at `scheduled`.
  TrainStatus AtMill(int32_t scheduled) {
    TrainStatus train = Running(HeadEvent::PlatformStop);
    train.Platform = static_cast<int16_t>(mill);
    Store(0, train);
    TrainStationTime times = store().GetTrainStationTime(0);
    times.Times[mill] = scheduled;
    store().UpdateTrainStationTime(0, times);
    return train;
  }
  void LateAfterMinutes(int minutes) {
    AlertData alerts = store().GetAlertData();
    alerts.LateArrivalMinutes = static_cast<uint8_t>(minutes);
    store().UpdateAlertData(alerts);
  }
  void Step() { engine.StepTrains(); }
  void StepAt(int32_t clock) {
    store().SimClock = clock;
    engine.StepTrains();
  }

  int mill = -1, hotBox = -1;
};

TEST_F(StopsTest, DwellAndScheduleDecideTheDepartureAndOnlyRealLatenessIsReported) {
  LateAfterMinutes(5);
  const int32_t earliest = kArrival + 30;
  struct Case {
    const char* Name;
    int32_t Scheduled;
    int32_t Departure;
    bool Late;
  };
  const Case cases[] = {
      {"early: waits for its time", kArrival + 600, kArrival + 600, false},
      {"within the dwell", kArrival + 10, earliest, false},
      {"five minutes late", earliest - 300, earliest, false},
      {"six minutes late", earliest - 360, earliest, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    const int alertsBefore = store().Run.AlertCounter;
    AtMill(c.Scheduled);
    Step();
    const TrainStatus train = Train(0);
    EXPECT_EQ(+train.State, TrainState::Stopped);
    EXPECT_EQ(+train.Reason, StopReason::Platform);
    EXPECT_EQ(+train.Speed, 0);
    EXPECT_EQ(+train.SpeedBeforeStop, 60);
    EXPECT_EQ(+train.HeadEventTime, c.Departure);
    EXPECT_EQ(+train.LateDepartures, c.Late ? 1 : 0);
    EXPECT_EQ(+train.TotalLateDeparture, c.Late ? 360 : 0);
    EXPECT_EQ(+store().GetPerformStatus().LateDepartures, c.Late ? 1 : 0);
    EXPECT_EQ(store().Run.AlertCounter - alertsBefore, c.Late ? 1 : 0);
    if (c.Late) {
      EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" is late arriving at station \"Mill\"."));
    }
  }
}

// A saved run may carry totals near the 32-bit limit (a damaged file, or a very long run): they stop there.
TEST_F(StopsTest, LateTotalsNearTheirLimitStopAtIt) {
  LateAfterMinutes(5);
  store().InitSimulationStatus();
  store().SimClock = kArrival;
  TrainStatus train = AtMill(kArrival + 30 - 360);
  train.TotalLateDeparture = INT32_MAX - 100;
  Store(0, train);
  PerformStatus perform = store().GetPerformStatus();
  perform.LateTime = INT32_MAX - 100;
  store().FormatPerformanceLine(perform);
  Step();
  EXPECT_EQ(+Train(0).TotalLateDeparture, INT32_MAX);
  EXPECT_EQ(+store().GetPerformStatus().LateTime, INT32_MAX);
  EXPECT_EQ(+Train(0).LateDepartures, 1);
}

TEST_F(StopsTest, TheTrainLeavesThePlatformWhenItsTimeComes) {
  lists.OpenPlatformWindows = {mill};
  AtMill(kArrival + 600);
  Step();
  StepAt(kArrival + 600);
  const TrainStatus train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.Platform, -1);
  EXPECT_GT(+train.Speed, 0);
  EXPECT_EQ(+store().GetTrainStop(0).Stops[mill], 1);
  EXPECT_THAT(lists.PlatformRefreshes, ElementsAre(mill));
  // On to the end of the block.
  EXPECT_EQ(+train.HeadPosition, kMile);
  EXPECT_GT(+train.HeadEventTime, kArrival + 600);
}

TEST_F(StopsTest, ARunningTrainWithNothingDueKeepsItsArrivingCodeAndIsHandledNextTick) {
  Running(HeadEvent::PlatformStop);
  Step();
  EXPECT_EQ(+Train(0).State, TrainState::Stopped);
  EXPECT_EQ(+Train(0).Reason, HeadEvent::PlatformStop);
  EXPECT_EQ(+Train(0).HeadEventTime, 0);
  StepAt(kArrival + 10);
  EXPECT_EQ(+Train(0).State, TrainState::Starting);
}

TEST_F(StopsTest, ARelievingCrewHoldsTheTrainUntilItArrives) {
  BlockData mills = store().GetBlockData(b[1]);
  mills.CrewReliefMinutes = 20;
  store().UpdateBlockData(b[1], mills);
  TrainStatus train = AtMill(kArrival + 60);
  train.CrewChangeOrdered = 1;
  train.CrewChangeLocation = static_cast<int16_t>(10000 + mill);
  train.CrewReadyTime = kArrival;
  train.CrewOnDuty = kArrival + 1200;
  Store(0, train);
  Step();
  train = Train(0);
  EXPECT_EQ(+train.Reason, StopReason::CrewChange);
  EXPECT_EQ(+train.HeadEventTime, kArrival + 1200);

  StepAt(kArrival + 1200);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.CrewChangeOrdered, 0);
  EXPECT_EQ(+train.CrewChangeLocation, -1);
  EXPECT_EQ(+train.CrewReadyTime, -1);
  EXPECT_EQ(+train.CrewExpiry, kArrival + 1200 + 43200);
  EXPECT_EQ(+train.CrewOnDuty, -1);
}

TEST_F(StopsTest, ATrainBecomesAnotherAtThePlaceItsScheduleNames) {
  const int local = t.TrainType("Local");
  TrainType localType = store().GetTrainType(local);
  localType.ReverseSpeed = 12;
  localType.TopSpeed = 40;
  store().UpdateTrainType(local, localType);
  const int next = t.Train(
      {.Id = "201", .Type = local, .Entrance = "WST", .Exit = "EST", .Length = 2000, .Stops = {{mill, 8 * 60 + 30}}});
  TrainData d = Schedule(data);
  d.BecomesTrain = static_cast<int16_t>(next);
  d.BecomeMinutes = 5;
  d.ChangePlaceKind = 'P';
  SetFieldText(d.ChangePlaceName, "Mill");
  SetSchedule(data, d);
  TrainStatus train = AtMill(kArrival + 60);
  train.BecomeDue = 1;
  train.TotalStopTime = 99;
  Store(0, train);
  store().AddNewOSHit(b[1], 0, kArrival);

  Step();
  EXPECT_EQ(+Train(0).Reason, StopReason::BecomeOrSplit);
  EXPECT_EQ(+Train(0).HeadEventTime, kArrival + 300);
  StepAt(kArrival + 300);

  train = Train(0);
  EXPECT_EQ(FieldText(train.TrainId), "201");
  EXPECT_EQ(+train.TrainIndex, next);
  EXPECT_EQ(+train.Type, local);
  EXPECT_EQ(+train.Length, 2000);
  EXPECT_EQ(+train.ReverseSpeed, 12);
  EXPECT_EQ(+train.SpeedCap, 40);
  EXPECT_EQ(+train.TotalStopTime, 0);
  EXPECT_EQ(+train.BecomeDue, -1);
  // The new schedule stops at Mill too: that stop is due now.
  EXPECT_EQ(+train.Platform, mill);
  EXPECT_EQ(store().GetTrainStationTime(0).Times[mill], kDay + 8 * 3600 + 30 * 60);
  EXPECT_EQ(+store().GetTrainStop(0).Stops[mill], 0);

  // The old identity, kept in a slot of its own with its OS report.
  const TrainStatus old = Train(1);
  EXPECT_EQ(+old.InUse, 1);
  EXPECT_EQ(+old.State, TrainState::Became);
  EXPECT_EQ(FieldText(old.TrainId), "101");
  EXPECT_EQ(+old.HeadBlock, -1);
  EXPECT_EQ(+old.HeadEventTime, -1);
  EXPECT_EQ(+store().GetOSHit(0).TrainSlot, 1);
}

TEST_F(StopsTest, ANewTrainSplitsOffTheRearAndTheParentKeepsTheRest) {
  struct Case {
    int32_t SplitLength;
    int32_t ParentLength;  // unchanged when 100 or less would remain
  };
  for (const Case c : {Case{400, 600}, Case{950, 1000}}) {
    SCOPED_TRACE(c.SplitLength);
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    SetTrainsOnTerritory(1);
    const int tail = t.Train({.Id = "T" + std::to_string(c.SplitLength),
                              .Type = type,
                              .Entrance = "WST",
                              .Exit = "EST",
                              .Length = c.SplitLength});
    TrainData d = Schedule(data);
    d.SplitTrain = static_cast<int16_t>(tail);
    d.BecomeMinutes = 0;
    d.ChangePlaceKind = 'P';
    SetFieldText(d.ChangePlaceName, "Mill");
    SetSchedule(data, d);
    TrainStatus train = AtMill(kArrival);
    train.BecomeDue = 1;
    Store(0, train);
    Step();
    const int32_t departure = Train(0).HeadEventTime;  // after the dwell
    StepAt(departure);

    const TrainStatus parent = Train(0);
    EXPECT_EQ(FieldText(parent.TrainId), "101");
    EXPECT_EQ(+parent.Length, c.ParentLength);
    const TrainStatus split = Train(1);
    ASSERT_EQ(+split.InUse, 1);
    EXPECT_EQ(FieldText(split.TrainId), "T" + std::to_string(c.SplitLength));
    EXPECT_EQ(+split.TrainIndex, tail);
    EXPECT_EQ(+split.Length, c.SplitLength);
    EXPECT_EQ(+split.State, TrainState::Stopped);
    EXPECT_EQ(+split.Reason, StopReason::WaitSignal);
    EXPECT_EQ(+split.HeadEventTime, departure + 30);
    EXPECT_EQ(+split.ScheduledEntry, departure);
    EXPECT_EQ(+split.HeadBlock, b[1]);
    EXPECT_EQ(+split.HeadDirection, 1);
    EXPECT_EQ(+split.HeadPosition, 3000 - c.ParentLength);  // where the parent's rear now ends
    // Behind the parent in the block's slots.
    EXPECT_THAT(Slots(b[1]), ElementsAre(0, 1));
    EXPECT_EQ(+store().GetPerformStatus().Trains, 2);
  }
}

TEST_F(StopsTest, DetectorAlarmsAreCheckedAndMayBeFalse) {
  DetectorData detector = store().GetDetectorData(hotBox);
  detector.AlarmCheckMinutes = 10;
  detector.RepairMinutes = 30;
  store().UpdateDetectorData(hotBox, detector);
  struct Case {
    int16_t FalsePercent;
    int Draw;
    bool Real;
  };
  const Case cases[] = {{50, 49, false}, {50, 50, true}, {0, 0, true}, {100, 98, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.FalsePercent << "% false, r = " << c.Draw);
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    RandomData random = store().GetRandomData();
    random.FalseAlarmPercent[hotBox] = c.FalsePercent;
    store().UpdateRandomData(random);
    TrainStatus train = Running(HeadEvent::Detector, kMile / 4);
    train.Detector = static_cast<int16_t>(hotBox);
    Store(0, train);

    Step();
    train = Train(0);
    EXPECT_EQ(+train.State, TrainState::Stopped);
    EXPECT_EQ(+train.Reason, StopReason::DetectorAlarm);
    EXPECT_EQ(+train.HeadEventTime, kArrival + 600);
    EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" is stopped due to hot box alarm.  Crew will finish checking "
                                      "train by 08:10"));

    engine.Random().Script({c.Draw});
    StepAt(kArrival + 600);
    train = Train(0);
    EXPECT_EQ(+train.Reason, StopReason::DetectorProblem);
    if (c.Real) {
      EXPECT_EQ(+train.HeadEventTime, kArrival + 600 + 1800);
      EXPECT_THAT(LastAlert(),
                  EndsWith("Train - \"101\" is stopped due to hot box problem.  Crew will fix the problem by 08:40"));
    } else {
      EXPECT_EQ(+train.HeadEventTime, kArrival + 600);
    }
    StepAt(train.HeadEventTime);
    EXPECT_EQ(+Train(0).State, TrainState::Moving);
    EXPECT_EQ(+Train(0).Detector, -1);
  }
}

// The detector a block is fitted with is looked up once for all blocks and kept: an edit of the detector,
// of the block's fittings or a new detector of the name shows when the next train enters the block.
TEST_F(StopsTest, AnEditedDetectorOrFittingShowsWhenTheNextTrainEnters) {
  RandomData random = store().GetRandomData();
  std::fill(std::begin(random.Values0), std::end(random.Values0), 1000);  // every detector finds something
  store().UpdateRandomData(random);
  const auto detectorEntering = [&] {
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    ClearRight({b[2], b[3]});
    Put(0, b[1], 1, kMile, b[1], TrainState::Moving, 60);
    engine.EnterNextBlock(0, b[2], 0, kArrival);
    EXPECT_EQ(+Train(0).HeadBlock, b[2]);
    return +Train(0).Detector;
  };
  const auto fit = [&](int k, const char* name) {
    BlockData block = store().GetBlockData(b[2]);
    SetFieldText(block.DetectorNames[k], name);
    store().UpdateBlockData(b[2], block);
  };
  EXPECT_EQ(detectorEntering(), -1);  // the block has no detector
  fit(1, "hot box");
  EXPECT_EQ(detectorEntering(), hotBox);

  DetectorData detector = store().GetDetectorData(hotBox);
  SetFieldText(detector.Description, "hot bearing");
  store().UpdateDetectorData(hotBox, detector);
  EXPECT_EQ(detectorEntering(), -1);  // its name no longer names the detector
  fit(0, "hot bearing");
  EXPECT_EQ(detectorEntering(), hotBox);

  // Of two detectors of the name the first in use is found, as by name.
  ASSERT_LT(hotBox + 1, kMaxDetectors);
  store().UpdateDetectorData(hotBox + 1, detector);
  EXPECT_EQ(detectorEntering(), hotBox);
  detector.InUse = 0;
  store().UpdateDetectorData(hotBox, detector);
  EXPECT_EQ(detectorEntering(), hotBox + 1);
  detector.InUse = 1;
  store().UpdateDetectorData(hotBox, detector);
  EXPECT_EQ(detectorEntering(), hotBox);
}

TEST_F(StopsTest, ADetectorWithoutAlarmStopsTheTrainForTheRepair) {
  DetectorData detector = store().GetDetectorData(hotBox);
  detector.RaisesAlarm = 0;
  detector.RepairMinutes = 30;
  store().UpdateDetectorData(hotBox, detector);
  TrainStatus train = Running(HeadEvent::Detector, kMile / 4);
  train.Detector = static_cast<int16_t>(hotBox);
  Store(0, train);
  Step();
  EXPECT_EQ(+Train(0).Reason, StopReason::DetectorProblem);
  EXPECT_EQ(+Train(0).HeadEventTime, kArrival + 1800);
  EXPECT_THAT(LastAlert(),
              EndsWith("Train - \"101\" is stopped due to hot box problem.  Crew will fix the problem by 08:30"));
}

TEST_F(StopsTest, ALocomotiveProblemCapsTheSpeedButNeverRaisesIt) {
  struct Case {
    int16_t Speed;
    int Draw;  // cap = 50 x (40 + draw) / 100
    int16_t Cap;
    int16_t After;
  };
  for (const Case c : {Case{60, 10, 25, 25}, Case{20, 39, 39, 20}}) {
    SCOPED_TRACE(c.Speed);
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    TrainStatus train = Running(HeadEvent::LocoProblem, kMile * 3 / 4, c.Speed);
    train.LocoProblem = 5;
    train.LocoProblemHere = 1;
    Store(0, train);
    engine.Random().Script({c.Draw});
    Step();
    train = Train(0);
    EXPECT_EQ(+train.State, TrainState::Moving);
    EXPECT_EQ(+train.LocoProblem, 6);
    EXPECT_EQ(+train.LocoProblemHere, 0);
    EXPECT_EQ(+train.SpeedCap, c.Cap);
    EXPECT_EQ(+train.Speed, c.After);
    EXPECT_EQ(+train.Reason, HeadEvent::Running);
    EXPECT_EQ(+train.HeadPosition, kMile);
    EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" is having locomotive problems.  The max speed is reduced to " +
                                      std::to_string(c.Cap) + "."));
  }
}

TEST_F(StopsTest, ABrokenHoseStopsTheTrainTwentyToFortyMinutes) {
  TrainStatus train = Running(HeadEvent::BrokenHose, kMile * 4 / 5);
  train.TrainProblem = 5;
  train.BrokenHoseHere = 1;
  Store(0, train);
  engine.Random().Script({5});
  Step();
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::BrokenHose);
  EXPECT_EQ(+train.HeadEventTime, kArrival + 25 * 60);
  EXPECT_EQ(+train.WaitStart, kArrival);
  EXPECT_THAT(LastAlert(),
              EndsWith("Train - \"101\" is stopped due to a broken hose.  Crew will fix the problem by 08:25."));

  StepAt(kArrival + 25 * 60);
  train = Train(0);
  EXPECT_EQ(+train.State, TrainState::Moving);
  EXPECT_EQ(+train.TrainProblem, 6);
  EXPECT_EQ(+train.BrokenHoseHere, 0);
}

TEST_F(StopsTest, DispatcherOrdersStopTheTrainWhereItStands) {
  struct Case {
    uint8_t Code;
    uint8_t Reason;
    int32_t Wait;
  };
  for (const Case c : {Case{HeadEvent::DispatcherStop, StopReason::DispatcherRequest, 30},
                       Case{HeadEvent::ThrowSwitchByHand, StopReason::AfterSwitchThrow, 300}}) {
    SCOPED_TRACE(+c.Code);
    store().InitSimulationStatus();
    store().SimClock = kArrival;
    Running(c.Code);
    Step();
    const TrainStatus train = Train(0);
    EXPECT_EQ(+train.State, TrainState::Stopped);
    EXPECT_EQ(+train.Reason, c.Reason);
    EXPECT_EQ(+train.HeadEventTime, kArrival + c.Wait);
    EXPECT_EQ(+train.WaitStart, kArrival);
    EXPECT_EQ(+train.SpeedBeforeStop, 60);
  }
}

TEST_F(StopsTest, LocalWorkEndsWithTheNewLengthCappedAndAnExpiredCrewStopsForGood) {
  TrainData d = Schedule(data);
  SetFieldText(d.LocalWork[0].AreaName, "Yard");
  d.LocalWork[0].Minutes = 20;
  d.LocalWork[0].DirectionAfter = 1;
  d.LocalWork[0].NewLength = 9000;
  SetSchedule(data, d);
  OptionData options = store().GetOptionData();
  options.CrewExpirationActive = 1;
  store().UpdateOptionData(options);
  TrainStatus train = Put(0, b[1], 1, 500, b[0]);
  train.Reason = StopReason::LocalWork;
  train.CrewExpiry = kArrival - 60;
  Store(0, train);

  Step();
  train = Train(0);
  EXPECT_EQ(+train.LocalWorkIndex, 1);
  EXPECT_EQ(+train.LastLocalWorkBlock, b[1]);
  EXPECT_EQ(+train.Length, kMile);  // the rear block's length: nothing lies between head and rear
  EXPECT_EQ(+train.State, TrainState::Stopped);
  EXPECT_EQ(+train.Reason, StopReason::CrewTimeExpired);
  EXPECT_EQ(+train.HeadEventTime, -1);
  EXPECT_EQ(+train.CrewExpiredHandled, 1);
  EXPECT_THAT(LastAlert(), EndsWith("Train - \"101\" is stopped due to crew expiration"));
}

}  // namespace
