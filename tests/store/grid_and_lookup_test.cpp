// Layout grids, the track-cell walk, device lookups and train slots.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

using GridTest = StoreFixture;

TEST_F(GridTest, GridCellsAreStoredColumnByColumn) {
  store().UpdateGridTrack(3, 7, 0x85);
  store().UpdateGridDevice(199, 159, 2005);
  store().GridFlags[0 * 160 + 1] = 9;
  EXPECT_EQ(store().GridTrack[3 * 160 + 7], 0x85);
  EXPECT_EQ(store().GetGridTrack(3, 7), 0x85);  // bit 7 kept
  EXPECT_EQ(store().GetGridDevice(199, 159), 2005);
  EXPECT_EQ(store().GetGridFlag(0, 1), 9);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(GridTest, CellOutsideTheGridIsRefusedWithAMessage) {
  struct Case {
    const char* name;
    std::function<void()> call;
    bool pauses;
    const char* text;
  };
  const Case cases[] = {
      {"GetGridTrack", [&] { EXPECT_EQ(store().GetGridTrack(200, 0), 0); }, false,
       "There is an internal grid violation, X = 200  Y = 0"},
      {"UpdateGridTrack", [&] { store().UpdateGridTrack(-1, 5, 1); }, true,
       "There is an internal grid violation, X = -1  Y = 5"},
      {"GetGridDevice", [&] { EXPECT_EQ(store().GetGridDevice(0, 160), 0); }, true,
       "There is an internal grid violation, X = 0  Y = 160"},
      {"UpdateGridDevice", [&] { store().UpdateGridDevice(0, -3, 7); }, true,
       "There is an internal grid violation, X = 0  Y = -3"},
      {"GetGridFlag", [&] { EXPECT_EQ(store().GetGridFlag(250, 250), 0); }, true,
       "There is an internal grid violation, X = 250  Y = 250"},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    store().Run.SimPaused = 0;
    c.call();
    ASSERT_EQ(messages.Calls.size(), 1u) << c.name;
    EXPECT_EQ(messages.Calls[0].Text, c.text);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version ");
    EXPECT_EQ(store().Run.SimPaused, c.pauses ? 1 : 0) << c.name;
  }
  for (int16_t code : store().GridTrack) ASSERT_EQ(code, 0);
  for (int16_t device : store().GridDevice) ASSERT_EQ(device, 0);
  for (uint8_t flag : store().GridFlags) ASSERT_EQ(flag, 0);
}

TrackCell At(int x, int y) {
  TrackCell cell;
  cell.X = static_cast<int16_t>(x);
  cell.Y = static_cast<int16_t>(y);
  return cell;
}

TEST_F(GridTest, TrackWalkStepsByTheCellsCodeAndClassifiesTheNeighbour) {
  struct Case {
    int code;
    int neighbour;  // code placed where the step lands
    bool right;
    int dx, dy;
    int connection;
  };
  const Case cases[] = {
      {1, 2, true, 1, 0, 2},       // plain track joins plain track: the neighbour's own class
      {2, 3, false, -1, 0, 3},     //
      {1, 6, true, 1, 0, 1},       // a curve accepted on the right
      {1, 6, false, -1, 0, 5},     // ... but not on the left
      {1, 10, true, 1, 0, 0},      // a switch: class 0
      {1, 0x81, true, 1, 0, 5},    // a flagged neighbour never connects
      {4, 4, true, 1, -1, 1},      //
      {5, 14, true, 1, 1, 3},      //
      {14, 15, true, 0, 1, 1},     //
      {17, 15, false, 0, 1, 1},    //
      {18, 11, true, 1, 1, 0},     //
      {27, 27, false, -1, -1, 0},  //
      {28, 0, true, 1, 0, 5},      // a diamond does not accept an empty cell
      {20, 0, true, 0, 0, 5},      // a signal cell accepts nothing
  };
  for (const Case& c : cases) {
    store().GridTrack.fill(0);
    const int x = 50, y = 50;
    store().UpdateGridTrack(x, y, static_cast<int16_t>(c.code | 0x80));  // own flag is ignored
    if (c.dx != 0 || c.dy != 0) store().UpdateGridTrack(x + c.dx, y + c.dy, static_cast<int16_t>(c.neighbour));
    TrackCell start = At(x, y);
    start.Extra[9] = 42;
    const TrackCell got = c.right ? store().GetRightTrackCell(start) : store().GetLeftTrackCell(start);
    SCOPED_TRACE(testing::Message() << "code " << c.code << " right " << c.right);
    EXPECT_EQ(got.X, x + c.dx);
    EXPECT_EQ(got.Y, y + c.dy);
    EXPECT_EQ(got.DX, c.dx);
    EXPECT_EQ(got.DY, c.dy);
    EXPECT_EQ(got.Connection, c.connection);
    EXPECT_EQ(got.Extra[9], 42);
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(GridTest, TrackWalkStopsAtTheGridEdge) {
  // Code 4 climbs to the right and descends to the left: at the top or bottom row it would leave the grid.
  for (auto [x, y, right] :
       {std::tuple{0, 5, false}, {5, 0, false}, {199, 5, true}, {5, 159, true}, {5, 0, true}, {5, 159, false}}) {
    store().GridTrack.fill(0);
    store().UpdateGridTrack(x, y, 4);
    TrackCell start = At(x, y);
    start.Connection = 7;
    start.NeighbourCode = 7;
    const TrackCell got = right ? store().GetRightTrackCell(start) : store().GetLeftTrackCell(start);
    EXPECT_EQ(got.Connection, 0) << x << "," << y;
    EXPECT_EQ(got.NeighbourCode, 0);
    EXPECT_EQ(got.X, x);
    EXPECT_EQ(got.Y, y);
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(GridTest, DeviceTypeOfEveryTrackCode) {
  const int expected[41] = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 2, 2,
                            2, 2, 4, 4, 4, 4, 5, 5, 5, 5, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
  for (int code = 0; code <= 40; ++code) EXPECT_EQ(store().GetDeviceType(code), expected[code]) << code;
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().GetDeviceType(41), 3);
  EXPECT_EQ(store().GetDeviceType(-1), 3);
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Code error - GetDeviceType value \"41\". ", 0), 0u);
}

TEST_F(GridTest, DeviceStatusByDeviceNumber) {
  BlockStatus block{};
  block.InUse = 1;
  block.Occupancy = 4;
  block.Highlight = 1;
  store().UpdateBlockStatus(12, block);
  SwitchData sw{};
  sw.InUse = 1;
  store().UpdateSwitchData(3, sw);
  SwitchStatus swStatus{};
  swStatus.Occupancy = 0xFF;  // the byte reads signed
  swStatus.Highlight = 1;
  store().UpdateSwitchStatus(3, swStatus);
  store().UpdateSwitchStatus(4, swStatus);  // no such switch
  SignalData signal{};
  signal.InUse = 1;
  store().UpdateSignalData(7, signal);
  SignalStatus signalStatus{};
  signalStatus.Aspect = 2;
  store().UpdateSignalStatus(7, signalStatus);

  struct Case {
    int device, status, noPaint;
  };
  const Case cases[] = {{12, 4, 1},   {13, -1, 0},   {2003, -1, 1}, {2004, -1, 0},
                        {3007, 2, 0}, {3008, -1, 0}, {4001, -1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(store().GetDeviceStatus(c.device), c.status) << c.device;
    EXPECT_EQ(store().GetDevicePaintStatus(c.device), c.status) << c.device;
    EXPECT_EQ(store().GetNoPaintStatus(c.device), c.noPaint) << c.device;
  }
  EXPECT_TRUE(messages.Calls.empty());

  EXPECT_EQ(store().GetDeviceStatus(5000), 0);
  EXPECT_EQ(store().GetDevicePaintStatus(-1), 0);
  EXPECT_EQ(store().GetNoPaintStatus(5000), 0);
  ASSERT_EQ(messages.Calls.size(), 3u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Device index error - GetDeviceStatus value \"5000\"", 0), 0u);
  EXPECT_EQ(messages.Calls[1].Text.rfind("Device index error - GetDevicePaintStatus value \"-1\"", 0), 0u);
  EXPECT_EQ(messages.Calls[2].Text.rfind("Device index error - GetNoPaintStatus value \"5000\"", 0), 0u);
}

TEST_F(GridTest, CrossRouteOfALinkedDevice) {
  CrossData cross{};
  cross.Legs[0] = 10;
  cross.Legs[1] = 11;
  cross.Legs[2] = 2005;
  cross.Legs[3] = 12;
  store().UpdateCrossData(4, cross);
  EXPECT_EQ(store().GetCrossRoute(4, 11), 0);
  EXPECT_EQ(store().GetCrossRoute(4, 2005), 1);
  EXPECT_EQ(store().GetCrossRoute(4, 12), 1);
  EXPECT_TRUE(messages.Calls.empty());

  struct Case {
    int diamond, device;
    const char* text;
  };
  const Case errors[] = {{1000, 10, "Diamond index error - GetCrossRoute value \"1000\""},
                         {4, 5000, "Device number error - GetCrossRoute value \"5000\""},
                         {4, 13, "Diamond link error - GetCrossRoute value \"13\""}};
  for (const Case& c : errors) {
    messages.Calls.clear();
    EXPECT_EQ(store().GetCrossRoute(c.diamond, c.device), 0);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text.rfind(c.text, 0), 0u) << messages.Calls[0].Text;
  }
}

// ---------------------------------------------------------------- train slots

TEST_F(GridTest, ClearedTrainSlotHoldsItsInitialValues) {
  TrainStatus dirty;
  std::memset(&dirty, 0x5A, sizeof dirty);
  dirty.InUse = 1;
  store().UpdateTrainStatus(9, dirty, 1);
  TrainStationTime times{};
  store().UpdateTrainStationTime(9, times);
  TrainStop stops;
  std::memset(&stops, 1, sizeof stops);
  store().UpdateTrainStop(9, stops);
  playback.Calls.clear();

  store().ClearTrainStatus(9);

  const TrainStatus t = store().GetTrainStatus(9);
  EXPECT_EQ(t.InUse, 0);
  EXPECT_EQ(t.Reason, 16);
  EXPECT_EQ(t.HeadDirection, 1);
  EXPECT_EQ(t.RearDirection, 1);
  for (int16_t v : {+t.TrainIndex, +t.MergePrevious, +t.MergeNext, +t.HeadBlock, +t.RearBlock, +t.ReverseSpeed,
                    +t.SpeedCap, +t.LimitBlock, +t.CrewChangeLocation, +t.Word99, +t.Word101, +t.Platform, +t.Detector,
                    +t.Word115, +t.BecomeDue, +t.StopInBlock, +t.LastLocalWorkBlock, +t.NextStartSpeed})
    EXPECT_EQ(v, -1);
  for (int32_t v : {+t.HeadEventTime, +t.RearEventTime, +t.WaitStart, +t.StandingSince, +t.ScheduledEntry,
                    +t.CrewReadyTime, +t.CrewOnDuty})
    EXPECT_EQ(v, -1);
  EXPECT_EQ(+t.Speed, 0);
  EXPECT_EQ(+t.Length, 0);
  EXPECT_EQ(+t.TotalLostTime, 0);
  EXPECT_EQ(t.TrainId[0], 0);
  EXPECT_EQ(+t.CrewExpiry, +dirty.CrewExpiry);  // not reset
  EXPECT_EQ(t.Bytes165[2], 0x5A);               // not reset
  for (int32_t v : store().GetTrainStationTime(9).Times) EXPECT_EQ(v, -1);
  const TrainStop clearedStops = store().GetTrainStop(9);
  for (uint8_t b : clearedStops.Stops) EXPECT_EQ(b, 0);
  for (uint8_t b : clearedStops.OSRecorded) EXPECT_EQ(b, 0);
  EXPECT_TRUE(playback.Calls.empty());
}

// Puts a train in every slot; slots listed in `left` left the territory at the given times.
void FillAllSlots(Corvane3Data& store, std::initializer_list<std::pair<int, int32_t>> left) {
  TrainStatus t{};
  t.InUse = 1;
  t.State = 4;
  for (int i = 0; i < kMaxTrainStatus; ++i) store.UpdateTrainStatus(i, t, 1);
  for (auto [slot, time] : left) {
    TrainStatus gone = store.GetTrainStatus(slot);
    gone.State = 13;
    gone.HeadEventTime = time;
    store.UpdateTrainStatus(slot, gone);
  }
}

TEST_F(GridTest, FreeSlotIsTheFirstNotInUseAndComesCleared) {
  TrainStatus t{};
  t.InUse = 1;
  store().UpdateTrainStatus(0, t, 1);
  t.InUse = 2;  // not 1: free
  t.Speed = 30;
  store().UpdateTrainStatus(1, t, 1);
  EXPECT_EQ(store().FindFreeTrainStatus(), 1);
  EXPECT_EQ(store().GetTrainStatus(1).InUse, 0);
  EXPECT_EQ(+store().GetTrainStatus(1).Speed, 0);
  EXPECT_EQ(store().GetTrainStatus(1).Reason, 16);
}

TEST_F(GridTest, WhenAllSlotsAreInUseTheOldestGoneTrainIsReused) {
  struct Case {
    std::initializer_list<std::pair<int, int32_t>> left;
    int expected;
  };
  const Case cases[] = {
      {{{5, 900}, {6, 300}, {7, 600}}, 6},
      {{{5, 300}, {6, 300}}, 5},          // a tie: the first found
      {{{5, 999999}, {6, 1000000}}, -1},  // never taken
      {{}, -1},
  };
  for (const Case& c : cases) {
    FillAllSlots(store(), c.left);
    EXPECT_EQ(store().FindFreeTrainStatus(), c.expected);
    if (c.expected >= 0) {
      EXPECT_EQ(store().GetTrainStatus(c.expected).InUse, 0);
    }
  }
}

// The train that left longest ago is known as trains leave, come back or have their times changed.
TEST_F(GridTest, TheOldestGoneTrainFollowsItsSlotsChanges) {
  FillAllSlots(store(), {{5, 300}, {6, 400}, {7, 500}});
  TrainStatus slot = store().GetTrainStatus(5);
  slot.HeadEventTime = 900;  // still gone, later
  store().UpdateTrainStatus(5, slot);
  slot = store().GetTrainStatus(6);
  slot.State = 4;  // back on the territory
  store().UpdateTrainStatus(6, slot);
  EXPECT_EQ(store().FindFreeTrainStatus(), 7);

  TrainStatus taken = store().GetTrainStatus(7);
  taken.InUse = 1;
  taken.State = 4;
  store().UpdateTrainStatus(7, taken, 1);
  EXPECT_EQ(store().FindFreeTrainStatus(), 5);
}

TEST_F(GridTest, ReusedSlotCarriesNoOSHitsOfItsFormerTrain) {
  // The ring has wrapped: hits of slot 6 lie both below and above the count.
  for (int i = 0; i < kMaxOSHits; ++i) store().AddNewOSHit(10, i % 2 == 0 ? 6 : 8, 60 * i);
  for (int i = 0; i < 10; ++i) store().AddNewOSHit(11, 8, 0);
  FillAllSlots(store(), {{6, 100}});
  TrainStop stop{};
  stop.OSRecorded[3] = 1;
  store().UpdateTrainStop(6, stop);

  ASSERT_EQ(store().FindFreeTrainStatus(), 6);

  for (int i = 0; i < kMaxOSHits; ++i) {
    const OSHit hit = store().GetOSHit(i);
    if (hit.TrainSlot == 6) {
      ASSERT_EQ(hit.Device, 0xFFFF) << i;
    }
    if (hit.TrainSlot == 8) {
      ASSERT_NE(hit.Device, 0xFFFF) << i;
    }
  }
  EXPECT_EQ(store().GetTrainStop(6).OSRecorded[3], 0);
  EXPECT_EQ(store().GetOSHitCount(), 10);
}

// Freeing a slot walks only the written part of the ring: a hit stored anywhere after the ring was emptied
// is still found.
TEST_F(GridTest, AReusedSlotLosesHitsWrittenAnywhereAfterTheRingWasEmptied) {
  store().ClearOSHits();
  store().AddNewOSHit(10, 6, 0);
  store().UpdateOSHit(kMaxOSHits - 1, OSHit{10, 6, 5});
  store().UpdateOSHit(kMaxOSHits / 2, OSHit{11, 8, 5});
  FillAllSlots(store(), {{6, 100}});

  ASSERT_EQ(store().FindFreeTrainStatus(), 6);

  EXPECT_EQ(+store().GetOSHit(0).Device, 0xFFFF);
  EXPECT_EQ(+store().GetOSHit(kMaxOSHits - 1).Device, 0xFFFF);
  EXPECT_EQ(+store().GetOSHit(kMaxOSHits / 2).Device, 11);
}

// The tick walks only the slots of trains still in the run; every way of writing a slot keeps that mark.
TEST_F(GridTest, LiveTrainSlotsFollowEveryWriter) {
  const auto live = [&](int slot) { return store().NextLiveTrainSlot(slot - 1) == slot; };
  TrainStatus t{};
  EXPECT_FALSE(live(3));
  t.InUse = 1;
  t.State = 4;
  store().UpdateTrainStatus(3, t, 1);
  EXPECT_TRUE(live(3));
  for (const uint8_t state : {13, 31}) {  // gone, become another
    t.State = state;
    store().UpdateTrainStatus(3, t);
    EXPECT_FALSE(live(3)) << +state;
  }
  t.State = 2;
  store().UpdateTrainStatus(3, t);
  EXPECT_TRUE(live(3));
  store().FreeTrainStatus(3);
  EXPECT_FALSE(live(3));

  store().UpdateTrainStatus(4, t, 1);
  ASSERT_EQ(store().FindFreeTrainStatus(), 0);
  store().ClearTrainStatus(4);
  EXPECT_FALSE(live(4));

  // The walk over live slots, across the words of the mark and up to the last slot.
  EXPECT_EQ(store().NextLiveTrainSlot(-1), -1);
  for (const int slot : {0, 63, 64, 700, kMaxTrainStatus - 1}) store().UpdateTrainStatus(slot, t, 1);
  std::vector<int> walked;
  for (int slot = store().NextLiveTrainSlot(-1); slot >= 0; slot = store().NextLiveTrainSlot(slot))
    walked.push_back(slot);
  EXPECT_EQ(walked, (std::vector<int>{0, 63, 64, 700, kMaxTrainStatus - 1}));
  EXPECT_EQ(store().NextLiveTrainSlot(kMaxTrainStatus - 1), -1);

  // The rear walk's slots: live ones with a rear event. Standing (speed 0 drops the rear event), gone
  // or freed, a slot leaves it; the head event alone does not bring one in.
  EXPECT_EQ(store().NextRearEventTrainSlot(-1), -1);
  TrainStatus moving = t;
  moving.State = 5;
  moving.Speed = 20;
  moving.RearEventTime = 100;
  for (const int slot : {63, 64, 700}) store().UpdateTrainStatus(slot, moving);
  const auto rearWalk = [&] {
    std::vector<int> slots;
    for (int slot = store().NextRearEventTrainSlot(-1); slot >= 0; slot = store().NextRearEventTrainSlot(slot))
      slots.push_back(slot);
    return slots;
  };
  EXPECT_EQ(rearWalk(), (std::vector<int>{63, 64, 700}));
  TrainStatus standing = moving;
  standing.Speed = 0;
  store().UpdateTrainStatus(63, standing);
  TrainStatus gone = moving;
  gone.State = 13;  // left the territory
  store().UpdateTrainStatus(64, gone);
  EXPECT_EQ(rearWalk(), (std::vector<int>{700}));
  store().FreeTrainStatus(700);
  EXPECT_EQ(rearWalk(), std::vector<int>{});
}

// The scheduler's latest entry of a schedule and the tick's event times are kept apart from the
// records: every writer of a slot, and the running count, must show in them at once.
TEST_F(GridTest, LatestScheduledEntryAndEventTimesFollowEveryWriter) {
  EXPECT_EQ(store().LatestScheduledEntry(7), INT32_MIN);
  EXPECT_EQ(store().LatestScheduledEntry(-1), INT32_MIN);
  EXPECT_EQ(store().LatestScheduledEntry(kMaxTrains), INT32_MIN);
  TrainStatus t{};
  t.InUse = 1;
  t.TrainIndex = 7;
  t.ScheduledEntry = 5000;
  t.Speed = 20;
  t.HeadEventTime = 5000;
  t.RearEventTime = 5100;
  store().UpdateTrainStatus(2, t, 1);
  EXPECT_EQ(store().LatestScheduledEntry(7), 5000);
  EXPECT_EQ(store().TrainHeadEventTime(2), 5000);
  EXPECT_EQ(store().TrainRearEventTime(2), 5100);

  t.ScheduledEntry = 9000;
  store().UpdateTrainStatus(5, t, 1);
  EXPECT_EQ(store().LatestScheduledEntry(7), 9000);  // the later of two slots
  t.ScheduledEntry = 3000;
  store().UpdateTrainStatus(5, t);
  EXPECT_EQ(store().LatestScheduledEntry(7), 5000);  // an entry moved back
  t.TrainIndex = 8;
  store().UpdateTrainStatus(5, t);
  EXPECT_EQ(store().LatestScheduledEntry(7), 5000);
  EXPECT_EQ(store().LatestScheduledEntry(8), 3000);  // a slot that changed schedule
  store().FreeTrainStatus(5);                        // the highest slot: the running count goes down with it
  EXPECT_EQ(store().LatestScheduledEntry(8), INT32_MIN);

  // A train that stops has no rear event; the record and the kept time agree.
  t.Speed = 0;
  t.TrainIndex = 7;
  t.ScheduledEntry = 5000;
  store().UpdateTrainStatus(2, t);
  EXPECT_EQ(store().TrainRearEventTime(2), -1);
  EXPECT_EQ(+store().GetTrainStatus(2).RearEventTime, -1);

  // A slot past the running count is not the scheduler's, whatever it holds.
  CountData counts = store().GetCountData();
  counts.Words[kCountRunningTrains] = 2;
  store().UpdateCountData(counts);
  EXPECT_EQ(store().LatestScheduledEntry(7), INT32_MIN);
  counts.Words[kCountRunningTrains] = 3;
  store().UpdateCountData(counts);
  EXPECT_EQ(store().LatestScheduledEntry(7), 5000);
  store().ClearTrainStatus(2);
  EXPECT_EQ(store().LatestScheduledEntry(7), INT32_MIN);
  EXPECT_EQ(store().TrainHeadEventTime(2), -1);
}

TEST_F(GridTest, FreeingATrainSlotLowersTheCountOnlyForTheHighestSlot) {
  TrainStatus t{};
  t.InUse = 1;
  store().UpdateTrainStatus(3, t, 1);
  store().UpdateTrainStatus(4, t, 1);
  store().UpdateTrainStatus(6, t, 1);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 7);
  store().FreeTrainStatus(4);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 7);
  store().FreeTrainStatus(6);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 6);  // one down, though 5 and 4 are free
  EXPECT_EQ(store().GetTrainStatus(6).InUse, 0);
  EXPECT_TRUE(messages.Calls.empty());

  store().FreeTrainStatus(6);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Trying to free train status that is free - FreeTrainStatus", 0), 0u);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 6);
}

}  // namespace
