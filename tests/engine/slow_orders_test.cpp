#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kDay = 86400;
constexpr int32_t kHour = 3600;

class SlowOrdersTest : public StoreFixture {
 protected:
  SlowOrdersTest() {
    store().InitSimulationStatus();
    OptionData options = store().GetOptionData();
    options.SlowOrdersActive = 1;
    store().UpdateOptionData(options);
    store().SetSimStartTime(0);
    AlertData alerts = store().GetAlertData();
    alerts.Enabled[9] = 1;
    store().UpdateAlertData(alerts);
  }

  // The alert lines raised so far, without their number and time stamp.
  std::vector<std::string> Alerts() {
    std::vector<std::string> texts;
    for (int i = 0; i < store().Run.AlertLinesUsed; ++i) {
      const std::string line = store().Run.AlertLines[i].data();
      texts.push_back(line.size() > 18 ? line.substr(18) : line);  // "ALERT 0001  06:01 "
    }
    return texts;
  }

  void SetCount(CountWord word, int value) {
    CountData counts = store().GetCountData();
    if (counts.Words[word] < value) counts.Words[word] = value;
    store().UpdateCountData(counts);
  }

  void AddBlock(int b, const char* station1 = "AB", const char* station2 = "CD", const char* part = "Main") {
    BlockData data{};
    data.InUse = 1;
    SetFieldText(data.TrackStation1, station1);
    SetFieldText(data.TrackStation2, station2);
    SetFieldText(data.TrackPart, part);
    store().UpdateBlockData(b, data);
    BlockStatus status{};
    status.InUse = 1;
    for (int d = 0; d < 2; ++d)
      for (int k = 0; k < 10; ++k) status.SlowSpeeds[d][k] = -1;
    store().UpdateBlockStatus(b, status);
    SetCount(kCountBlocks, b + 1);
  }

  void AddSwitch(int index) {
    SwitchData data{};
    data.InUse = 1;
    store().UpdateSwitchData(index, data);
    SwitchStatus status{};
    status.InUse = 1;
    for (int d = 0; d < 2; ++d)
      for (int k = 0; k < 10; ++k) status.SlowSpeeds[d][k] = -1;
    store().UpdateSwitchStatus(index, status);
  }

  // An order with speed `first` (first direction) and `second` for train
  // type 0, no speed (-1) for the other types.
  SlowData Order(const std::string& location, int16_t first, int16_t second = -1) {
    SlowData order{};
    order.InUse = 1;
    SetFieldText(order.Location, location);
    for (int k = 0; k < 10; ++k) order.SpeedsFirst[k] = order.SpeedsSecond[k] = -1;
    order.SpeedsFirst[0] = first;
    order.SpeedsSecond[0] = second;
    return order;
  }
  void AddPermanent(int index, const std::string& location, int16_t first, int16_t second = -1) {
    SlowData order = Order(location, first, second);
    order.Permanent = 1;
    store().UpdateSlowData(index, order);
  }
  // A timed order on the given weekdays (Sunday = 0), minutes after midnight.
  void AddTimed(int index, const std::string& location, int16_t speed, std::vector<int> days, int start, int end,
                uint8_t onceOnly = 0) {
    SlowData order = Order(location, speed);
    for (int d : days) order.Days[d] = 1;
    order.StartMinutes = static_cast<int16_t>(start);
    order.EndMinutes = static_cast<int16_t>(end);
    order.OnceOnly = onceOnly;
    store().UpdateSlowData(index, order);
  }

  // One minute step of the clock: the four steps in their order.
  void Minute(int32_t clock) {
    store().SetSimClock(clock);
    engine.ActivateSlowOrders();
    engine.UpdateTimedSlowOrders();
    engine.ActivateTimedSlowOrders();
    engine.ExpireSlowOrders();
  }

  int16_t BlockSpeed(int block, int direction = 0, int type = 0) {
    const BlockStatus status = store().GetBlockStatus(block);
    return status.SlowSpeeds[direction][type];
  }
  int32_t SwitchSpeed(int index, int direction = 0, int type = 0) {
    const SwitchStatus status = store().GetSwitchStatus(index);
    return status.SlowSpeeds[direction][type];
  }
  std::vector<int> InUseSlots() {
    std::vector<int> slots;
    for (int s = 0; s < kMaxSlowStatus; ++s)
      if (store().GetSlowStatus(s).InUse != 0) slots.push_back(s);
    return slots;
  }
  std::vector<int> Devices(int slot) {
    const SlowStatus record = store().GetSlowStatus(slot);
    std::vector<int> devices;
    for (int i = 0; i < kSlowOrderDevices && record.Devices[i] != -1; ++i) devices.push_back(record.Devices[i]);
    return devices;
  }

  Engine engine{store()};
};

TEST_F(SlowOrdersTest, PermanentOrderComesIntoForceOnceAndNeverExpires) {
  AddBlock(4);
  AddPermanent(0, "Block 4", 25, 15);
  Minute(6 * kHour);

  ASSERT_EQ(InUseSlots(), std::vector<int>{0});
  const SlowStatus record = store().GetSlowStatus(0);
  EXPECT_EQ(+record.SlowIndex, 0);
  EXPECT_EQ(+record.OpeningTime, 6 * kHour);
  EXPECT_EQ(+record.StartTime, 6 * kHour);
  EXPECT_EQ(+record.EndTime, -1);
  EXPECT_EQ(+record.InForce, 1);
  EXPECT_EQ(Devices(0), std::vector<int>{4});
  EXPECT_EQ(BlockSpeed(4, 0), 25);
  EXPECT_EQ(BlockSpeed(4, 1), 15);
  EXPECT_EQ(BlockSpeed(4, 0, 1), -1);  // no speed for type 1: unrestricted
  EXPECT_EQ(Alerts(), std::vector<std::string>{"Slow Order Active - Location \"Block 4\" permanent."});
  EXPECT_EQ(std::string(store().Run.AlertLines[0].data()).substr(0, 18), "ALERT 0001  06:00 ");

  for (int32_t t = 6 * kHour + 60; t < 40 * kDay; t += kDay) Minute(t);
  EXPECT_EQ(InUseSlots(), std::vector<int>{0});  // no second record, no expiry
  EXPECT_EQ(Alerts().size(), 1u);
  EXPECT_EQ(BlockSpeed(4, 0), 25);
}

TEST_F(SlowOrdersTest, LocationKindsCoverTheirDevices) {
  AddSwitch(3);
  AddBlock(1, "AB", "CD", "Main");
  AddBlock(2, "AB", "CD", "Siding");
  AddBlock(5, "AB", "CD", "Main");
  AddBlock(7, "AB", "CD", "Main");
  AddPermanent(0, "Switch 3", 30, 20);
  AddPermanent(1, "Track AB-CD Main", 40);
  Minute(0);

  EXPECT_EQ(Devices(0), std::vector<int>{2003});
  EXPECT_EQ(SwitchSpeed(3, 0), 30);
  EXPECT_EQ(SwitchSpeed(3, 1), 20);
  EXPECT_EQ(Devices(1), (std::vector<int>{1, 5, 7}));
  EXPECT_EQ(BlockSpeed(1), 40);
  EXPECT_EQ(BlockSpeed(5), 40);
  EXPECT_EQ(BlockSpeed(7), 40);
  EXPECT_EQ(BlockSpeed(2), -1);  // another track of the same stations
}

TEST_F(SlowOrdersTest, LocationsNamingNoDeviceInUseCoverNothing) {
  AddBlock(0);
  AddSwitch(0);
  const char* locations[] = {"Switch 5",   "Switch 1000", "Switch 99999999999", "Block 9",
                             "Block 2000", "Block x",     "Track XY-ZZ Main",   "Signal 0"};
  for (int i = 0; i < 8; ++i) AddPermanent(i, locations[i], 10);
  Minute(0);

  for (int s = 0; s < 8; ++s) {
    EXPECT_EQ(+store().GetSlowStatus(s).InForce, 1) << locations[s];
    EXPECT_TRUE(Devices(s).empty()) << locations[s];
  }
  EXPECT_EQ(BlockSpeed(0), -1);
  EXPECT_EQ(SwitchSpeed(0), -1);
  EXPECT_TRUE(messages.Calls.empty());  // no index error on the way
}

TEST_F(SlowOrdersTest, TrackOrderListsAtMostFortyBlocksAndExpiryClearsThemAll) {
  for (int b = 0; b < 45; ++b) AddBlock(b);
  AddTimed(0, "Track AB-CD Main", 10, {0}, 60, 120);  // Sunday 01:00 to 02:00
  Minute(0);
  Minute(61 * 60);
  ASSERT_EQ(Devices(0).size(), 40u);
  EXPECT_EQ(BlockSpeed(39), 10);
  EXPECT_EQ(BlockSpeed(40), -1);  // beyond what the record can list: left alone

  Minute(2 * kHour);
  EXPECT_TRUE(InUseSlots().empty());
  for (int b = 0; b < 45; ++b) EXPECT_EQ(BlockSpeed(b), -1) << b;
}

TEST_F(SlowOrdersTest, HigherSpeedStaysAndExpiryMergesTheOtherOrderAgain) {
  AddBlock(3);
  AddPermanent(0, "Block 3", 20);
  AddTimed(1, "Block 3", 30, {1}, 6 * 60, 8 * 60);  // Mondays 06:00 to 08:00
  const int32_t monday = kDay;
  Minute(monday + 5 * kHour);
  EXPECT_EQ(BlockSpeed(3), 20);
  Minute(monday + 6 * kHour + 60);
  EXPECT_EQ(BlockSpeed(3), 30);  // of two orders the higher speed stays

  Minute(monday + 8 * kHour);
  EXPECT_EQ(InUseSlots(), std::vector<int>{0});
  EXPECT_EQ(BlockSpeed(3), 20);  // cleared, then the permanent order merged in again
  EXPECT_EQ(BlockSpeed(3, 1), -1);
}

TEST_F(SlowOrdersTest, OrderWithoutSpeedForATypeLiftsThatRestriction) {
  AddBlock(3);
  AddPermanent(0, "Block 3", 20);
  AddPermanent(1, "Block 3", -1);
  Minute(0);
  EXPECT_EQ(BlockSpeed(3), -1);
}

TEST_F(SlowOrdersTest, TimedOrderOpensEightHoursAheadAndComesIntoForceAfterItsStart) {
  AddBlock(2);
  AddTimed(0, "Block 2", 15, {1}, 6 * 60, 8 * 60);  // Mondays 06:00 to 08:00
  const int32_t sunday22 = 22 * kHour;
  Minute(sunday22 - 60);
  EXPECT_TRUE(InUseSlots().empty());

  Minute(sunday22);
  ASSERT_EQ(InUseSlots(), std::vector<int>{0});
  SlowStatus record = store().GetSlowStatus(0);
  EXPECT_EQ(+record.InForce, 0);
  EXPECT_EQ(+record.OpeningTime, sunday22);
  EXPECT_EQ(+record.StartTime, kDay + 6 * kHour);
  EXPECT_EQ(+record.EndTime, kDay + 8 * kHour);
  EXPECT_EQ(BlockSpeed(2), -1);

  for (int32_t t = sunday22 + 60; t <= kDay + 6 * kHour; t += 60) Minute(t);
  EXPECT_EQ(InUseSlots(), std::vector<int>{0});     // one record only
  EXPECT_EQ(+store().GetSlowStatus(0).InForce, 0);  // the start must be earlier than the clock

  EXPECT_TRUE(Alerts().empty());
  Minute(kDay + 6 * kHour + 60);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"Slow Order Active - Location \"Block 2\" until 08:00."});
  record = store().GetSlowStatus(0);
  EXPECT_EQ(+record.InForce, 1);
  EXPECT_EQ(Devices(0), std::vector<int>{2});
  EXPECT_EQ(BlockSpeed(2), 15);

  Minute(kDay + 8 * kHour - 60);
  EXPECT_EQ(BlockSpeed(2), 15);
  Minute(kDay + 8 * kHour);
  EXPECT_TRUE(InUseSlots().empty());
  EXPECT_EQ(BlockSpeed(2), -1);
}

TEST_F(SlowOrdersTest, OrderOverMidnightLastsUntilTheNextDay) {
  AddBlock(2);
  AddTimed(0, "Block 2", 15, {3}, 22 * 60, 2 * 60);  // Wednesdays 22:00 to 02:00
  const int32_t wednesday = 3 * kDay;
  for (int32_t t = wednesday + 14 * kHour; t <= wednesday + 22 * kHour + 60; t += 60) Minute(t);
  SlowStatus record = store().GetSlowStatus(0);
  EXPECT_EQ(+record.StartTime, wednesday + 22 * kHour);
  EXPECT_EQ(record.EndTime - record.StartTime, 4 * kHour);
  EXPECT_EQ(+record.InForce, 1);
  EXPECT_EQ(Alerts(), std::vector<std::string>{"Slow Order Active - Location \"Block 2\" until 02:00."});

  Minute(wednesday + kDay + 2 * kHour - 60);
  EXPECT_EQ(BlockSpeed(2), 15);
  Minute(wednesday + kDay + 2 * kHour);
  EXPECT_TRUE(InUseSlots().empty());
  EXPECT_EQ(BlockSpeed(2), -1);
}

TEST_F(SlowOrdersTest, EarlySundayOrderOpensSoonAfterMidnightOfDayZero) {
  // The opening minute lies before midnight; on day 0 the record opens at
  // once and only once, even though its opening time is 0 or below.
  AddBlock(2);
  AddTimed(0, "Block 2", 15, {0}, 8 * 60, 9 * 60);  // Sundays 08:00: opening time 0
  Minute(0);
  Minute(60);
  Minute(120);
  ASSERT_EQ(InUseSlots(), std::vector<int>{0});
  EXPECT_EQ(+store().GetSlowStatus(0).OpeningTime, 0);
  EXPECT_EQ(+store().GetSlowStatus(0).StartTime, 8 * kHour);
}

TEST_F(SlowOrdersTest, OnceOnlyOrderIsNeverOpenedAfterTheFirstWeek) {
  AddBlock(2);
  AddTimed(0, "Block 2", 15, {2}, 12 * 60, 13 * 60, /*onceOnly=*/1);  // Tuesdays
  const int32_t week = 7 * kDay;
  for (int32_t t = 2 * kDay + 10 * kHour; t <= 2 * kDay + 13 * kHour; t += 60) Minute(t);
  EXPECT_TRUE(InUseSlots().empty());  // ran and expired in the first week
  EXPECT_EQ(BlockSpeed(2), -1);

  for (int32_t t = week + 2 * kDay + 10 * kHour; t <= week + 2 * kDay + 12 * kHour + 60; t += 60) Minute(t);
  EXPECT_TRUE(InUseSlots().empty());
  EXPECT_EQ(BlockSpeed(2), -1);
}

TEST_F(SlowOrdersTest, RepeatingOrderOpensAgainTheNextWeek) {
  AddBlock(2);
  AddTimed(0, "Block 2", 15, {2}, 12 * 60, 13 * 60);
  const int32_t week = 7 * kDay;
  for (int32_t t = week + 2 * kDay + 10 * kHour; t <= week + 2 * kDay + 12 * kHour + 60; t += 60) Minute(t);
  ASSERT_EQ(InUseSlots(), std::vector<int>{0});
  EXPECT_EQ(+store().GetSlowStatus(0).StartTime, week + 2 * kDay + 12 * kHour);
  EXPECT_EQ(BlockSpeed(2), 15);
}

TEST_F(SlowOrdersTest, SwitchingTheFunctionOffFreesRecordsAndLeavesSpeeds) {
  AddBlock(3);
  AddPermanent(0, "Block 3", 20);
  AddTimed(1, "Block 3", 30, {0}, 10, 600);
  Minute(0);
  Minute(11 * 60);
  ASSERT_EQ(InUseSlots().size(), 2u);
  ASSERT_EQ(BlockSpeed(3), 30);

  OptionData options = store().GetOptionData();
  options.SlowOrdersActive = 0;
  store().UpdateOptionData(options);
  Minute(12 * 60);
  EXPECT_TRUE(InUseSlots().empty());
  EXPECT_EQ(BlockSpeed(3), 30);
  Minute(13 * 60);  // nothing opens while the function is off
  EXPECT_TRUE(InUseSlots().empty());
}

TEST_F(SlowOrdersTest, FullTableEndsTheOpeningStepUntilASlotIsFree) {
  AddBlock(3);
  SlowStatus taken{};
  taken.InUse = 1;
  taken.SlowIndex = 199;
  taken.EndTime = -1;
  taken.InForce = 1;
  for (int s = 0; s < kMaxSlowStatus; ++s) store().UpdateSlowStatus(s, taken);
  AddPermanent(0, "Block 3", 20);
  Minute(0);
  EXPECT_EQ(BlockSpeed(3), -1);

  store().FreeSlowStatus(17);
  Minute(60);
  EXPECT_EQ(+store().GetSlowStatus(17).SlowIndex, 0);
  EXPECT_EQ(BlockSpeed(3), 20);
}

TEST_F(SlowOrdersTest, PendingRecordWithAStaleDeviceListTakesNoPartInTheReMerge) {
  AddBlock(3);
  AddBlock(5);
  AddTimed(0, "Block 5", 40, {0}, 10, 20);               // Sunday 00:10-00:20: leaves slot 0 listing block 5
  AddTimed(1, "Block 5", 30, {0}, 30, 180);              // Sunday 00:30-03:00 in slot 1
  AddTimed(2, "Block 3", 20, {0}, 8 * 60 + 30, 9 * 60);  // opens at 00:30 into slot 0, pending until 08:30
  for (int32_t t = 0; t <= 31 * 60; t += 60) Minute(t);
  ASSERT_EQ(+store().GetSlowStatus(0).SlowIndex, 2);
  ASSERT_EQ(+store().GetSlowStatus(0).InForce, 0);
  ASSERT_EQ(Devices(0), std::vector<int>{5});  // as the slot was left
  ASSERT_EQ(BlockSpeed(5), 30);

  Minute(3 * kHour);
  EXPECT_EQ(BlockSpeed(5), -1);  // the pending order's speed is not put on a block it does not cover
  EXPECT_EQ(BlockSpeed(3), -1);
  Minute(8 * kHour + 31 * 60);
  EXPECT_EQ(Devices(0), std::vector<int>{3});
  EXPECT_EQ(BlockSpeed(3), 20);
  EXPECT_EQ(BlockSpeed(5), -1);
}

}  // namespace
