#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/engine/train_life_fixture.h"

namespace {

using ::testing::HasSubstr;

class SchedulerTest : public TrainLifeTest {
 protected:
  void SetUp() override {
    SetUpLine();
    TrainType freight = store().GetTrainType(type);
    freight.ReverseSpeed = 15;
    freight.TopSpeed = 50;
    store().UpdateTrainType(type, freight);
  }
  void At(int32_t clock) {
    store().SimClock = clock;
    engine.ScheduleTrains();
  }
  RandomData Random() { return store().GetRandomData(); }
};

TEST_F(SchedulerTest, AMondayTrainIsCreatedEightHoursAheadOncePerRun) {
  RunsOn(data, {0, 1, 0, 0, 0, 0, 0}, 480);
  TrainData d = Schedule(data);
  d.CrewMinutesWorked = 30;
  SetSchedule(data, d);

  At(kMonday - 60);  // Sunday 23:59: 08:00 Monday is 8 h 1 min away
  EXPECT_EQ(InUse(), 0);

  At(kMonday);
  ASSERT_EQ(InUse(), 1);
  const TrainStatus train = Train(0);
  const int32_t entry = kMonday + 8 * 3600;
  EXPECT_EQ(+train.State, TrainState::Scheduled);
  EXPECT_EQ(+train.TrainIndex, data);
  EXPECT_EQ(FieldText(train.TrainId), "101");
  EXPECT_EQ(FieldText(train.Entrance), "WST");
  EXPECT_EQ(FieldText(train.Exit), "EST");
  EXPECT_EQ(+train.HeadEventTime, entry);
  EXPECT_EQ(+train.ScheduledEntry, entry);
  EXPECT_EQ(+train.CrewExpiry, entry + 43200 - 1800);
  EXPECT_EQ(+train.ReverseSpeed, 15);
  EXPECT_EQ(+train.SpeedCap, 50);
  EXPECT_EQ(+train.PerformancePercent, 100);
  EXPECT_EQ(+train.BlockEntries, 1);
  EXPECT_EQ(+train.HeadDirection, 1);

  // While that train's entry is less than 12 hours ago no second one comes, even after it left.
  At(kMonday + 60);
  At(kMonday + 10 * 3600);
  TrainStatus gone = Train(0);
  gone.State = TrainState::Gone;
  Store(0, gone);
  At(kMonday + 16 * 3600);
  EXPECT_EQ(InUse(), 1);

  // Next Monday, next week's train.
  At(8 * kDay);
  ASSERT_EQ(InUse(), 2);
  EXPECT_EQ(+Train(1).HeadEventTime, 8 * kDay + 8 * 3600);
}

TEST_F(SchedulerTest, EarlySundayTrainsWaitForTheWeekToWrap) {
  RunsOn(data, {1, 0, 0, 0, 0, 0, 0}, 120);  // Sundays 02:00
  At(6 * kDay + 20 * 3600);                  // Saturday 20:00
  At(7 * kDay - 60);
  EXPECT_EQ(InUse(), 0);
  At(7 * kDay);  // Sunday 00:00 of the second week
  ASSERT_EQ(InUse(), 1);
  EXPECT_EQ(+Train(0).HeadEventTime, 7 * kDay + 7200);
}

TEST_F(SchedulerTest, AnEntryAfterTheEndTimeIsNeverCreated) {
  const int32_t entry = kMonday + 8 * 3600;
  store().SetSimEndTime(entry - 60);
  At(kMonday);
  At(kMonday + 3600);
  EXPECT_EQ(InUse(), 0);
  store().SetSimEndTime(entry);
  At(kMonday + 3660);
  EXPECT_EQ(InUse(), 1);
}

TEST_F(SchedulerTest, StationTimesPassedTodayAreTomorrowsOnNewTrackFiles) {
  const int platform = t.Platform("Mill", b[1]);
  TrainData d = Schedule(data);
  d.EntranceMinutes = 23 * 60;
  d.Stations[platform].Minutes = 30;  // 00:30, after midnight
  d.Stations[platform + 1].Minutes = 23 * 60 + 20;
  SetSchedule(data, d);
  struct Case {
    int Version;
    int32_t Early;
  };
  for (const Case c : {Case{37, 2 * kDay + 1800}, Case{29, kDay + 1800}}) {
    SCOPED_TRACE(c.Version);
    store().InitSimulationStatus();
    store().LoadedTrackVersion = c.Version;
    At(kMonday + 16 * 3600);
    ASSERT_EQ(InUse(), 1);
    const TrainStationTime times = store().GetTrainStationTime(0);
    EXPECT_EQ(times.Times[platform], c.Early);
    EXPECT_EQ(times.Times[platform + 1], kDay + 23 * 3600 + 1200);
    EXPECT_EQ(times.Times[platform + 2], -1);
  }
}

TEST_F(SchedulerTest, RandomFactorsOfTheRun) {
  RandomData random = Random();
  random.LateStartPercent[type] = 1;
  random.PerformanceSpread[type] = 10;
  random.LocoProblemPercent[type] = 5;
  random.TrainProblemPercent[type] = 5;
  store().UpdateRandomData(random);
  const int32_t entry = kMonday + 8 * 3600;
  const int32_t crew = 60 * Schedule(data).CrewMinutesWorked;

  struct Case {
    const char* Name;
    std::initializer_list<int> Draws;  // late, [band, minutes], spread, loco, train problem
    int32_t Delay;
    int32_t CrewExpiry;
    int16_t Performance;
    uint8_t Loco, Problem;
  };
  const Case cases[] = {
      // r = 1 <= 1 %: late by 1 hour (band 1) and 10 minutes; 105 %; a locomotive problem armed.
      {"late an hour", {1, 600, 10, 5, 3, 50}, 3600 + 600, entry + 43200 - crew, 105, 5, 0},
      // r = 2: on time.
      {"on time", {2, 19, 4, 5}, 0, entry + 43200 - crew, 91, 5, 0},
      // Late by 5 hours: the crew is called for the late entry.
      {"late five hours", {0, 970, 0, 10, 99, 99}, 5 * 3600, entry + 5 * 3600 + 43200 - crew, 100, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    engine.Random().Script(c.Draws);
    At(kMonday);
    EXPECT_EQ(engine.Random().ScriptedLeft(), 0u);
    const TrainStatus train = Train(0);
    EXPECT_EQ(+train.HeadEventTime, entry + c.Delay);
    EXPECT_EQ(+train.ScheduledEntry, entry);
    EXPECT_EQ(+train.CrewExpiry, c.CrewExpiry);
    EXPECT_EQ(+train.PerformancePercent, c.Performance);
    EXPECT_EQ(+train.LocoProblem, c.Loco);
    EXPECT_EQ(+train.TrainProblem, c.Problem);
  }
}

TEST_F(SchedulerTest, NoFreeSlotEndsTheCallWithoutHarm) {
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) {
    TrainStatus busy = store().GetTrainStatus(slot);
    busy.InUse = 1;
    busy.State = TrainState::Stopped;
    store().UpdateTrainStatus(slot, busy, 1);
  }
  At(kMonday);
  EXPECT_TRUE(messages.Calls.empty());
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) ASSERT_NE(+Train(slot).State, TrainState::Scheduled);
}

}  // namespace
