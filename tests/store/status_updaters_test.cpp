// The status updaters' repaint, send and record decisions, OS hits and
// entrance/exit off-times.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "store/fixed_text.h"
#include "store/wall_clock.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr uint16_t kEmpty = 0xFFFF;

class StatusTest : public StoreFixture {
 protected:
  StatusTest() {
    // Block 5 is one cell at (10, 20) with its train label there too.
    BlockData data{};
    data.InUse = 1;
    data.LeftCellX = data.RightCellX = 10;
    data.LeftCellY = data.RightCellY = 20;
    store().UpdateBlockData(5, data);
    store().GridTrack[10 * kGridRows + 20] = 1;
  }

  void SetModes(bool eio, bool ctc) {
    OptionData options = store().GetOptionData();
    options.ExternalIOOn = eio ? 1 : 0;
    options.CTCControlOn = ctc ? 1 : 0;
    store().UpdateOptionData(options);
  }

  void ForgetCalls() {
    interface.EIOMessages.clear();
    interface.CTCMessages.clear();
    shell.Invalidated.clear();
    display.Filled.clear();
    display.Invalidated.clear();
    playback.Calls.clear();
    lists.ArrivalRefreshes.clear();
  }
};

BlockStatus Block(uint8_t inUse, int16_t code, int16_t cleared, std::initializer_list<uint16_t> trains) {
  BlockStatus b{};
  b.InUse = inUse;
  b.Occupancy = code;
  b.ClearedValue = cleared;
  for (int i = 0; i < kBlockTrainSlots; ++i) b.Trains[i] = kEmpty;
  int i = 0;
  for (uint16_t t : trains) b.Trains[i++] = t;
  b.RightLabelX = 10;
  b.RightLabelY = 20;
  return b;
}

TEST_F(StatusTest, BlockUpdateSendsAndRepaintsByItsRules) {
  struct Case {
    const char* name;
    BlockStatus before;
    BlockStatus after;
    int force;
    int noOutput;
    bool eio, ctc;
    bool sent;
    bool drawnOld;     // the old train labels were cleared at once
    bool invalidated;  // the new trains are repainted
  };
  const Case cases[] = {
      {"cleared ahead count changes", Block(1, 1, -1, {}), Block(1, 1, 2, {}), 0, 0, true, false, true, false, false},
      {"cleared code with no count yet", Block(1, 0, -1, {}), Block(1, 1, -1, {}), 0, 0, true, false, false, false,
       false},
      {"cleared both ways, no count", Block(1, 1, 2, {}), Block(1, 2, -1, {}), 0, 0, true, false, false, false, false},
      {"same cleared count", Block(1, 1, 2, {}), Block(1, 1, 2, {}), 0, 0, true, false, false, false, false},
      {"released with a stale count", Block(1, 1, 2, {}), Block(1, 0, 2, {}), 0, 0, true, false, true, false, false},
      {"occupied before its train arrives", Block(1, 0, -1, {}), Block(1, 3, -1, {}), 0, 0, true, false, false, false,
       false},
      {"train enters", Block(1, 3, -1, {}), Block(1, 3, -1, {7}), 0, 0, true, false, true, false, true},
      {"train moves on", Block(1, 4, -1, {7, 8}), Block(1, 4, -1, {8}), 0, 0, true, false, true, true, true},
      {"train leaves", Block(1, 4, -1, {7}), Block(1, 0, -1, {}), 0, 0, true, false, true, true, false},
      {"forced repaint", Block(1, 4, -1, {7}), Block(1, 4, -1, {7}), 1, 0, true, false, true, true, true},
      {"slot not in use never draws trains", Block(0, 0, -1, {}), Block(1, 3, -1, {7}), 1, 0, true, false, true, false,
       false},
      {"state that came from outside", Block(1, 0, -1, {}), Block(1, 3, -1, {7}), 0, 1, true, true, false, false, true},
      {"CTC control sends the block", Block(1, 1, -1, {}), Block(1, 1, 1, {}), 0, 0, false, true, true, false, false},
      {"no interface on", Block(1, 1, -1, {}), Block(1, 1, 1, {}), 0, 0, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetModes(false, false);
    store().UpdateBlockStatus(5, c.before, 0, 1);
    SetModes(c.eio, c.ctc);
    ForgetCalls();

    store().UpdateBlockStatus(5, c.after, c.force, c.noOutput);

    const bool expectEIO = c.sent && c.eio;
    const bool expectCTC = c.sent && c.ctc;
    using Sent = std::vector<std::pair<int, int>>;
    EXPECT_EQ(interface.EIOMessages, (expectEIO ? Sent{{1, 5}} : Sent{}));
    EXPECT_EQ(interface.CTCMessages, (expectCTC ? Sent{{7, 5}} : Sent{}));
    EXPECT_EQ(!display.Filled.empty(), c.drawnOld);
    EXPECT_EQ(!shell.Invalidated.empty(), c.invalidated);
    ASSERT_EQ(playback.Calls.size(), 1u);
    EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::BlockStatus);
    EXPECT_EQ(playback.Calls[0].Index, 5);
    EXPECT_EQ(0, std::memcmp(playback.Calls[0].Bytes.data(), &c.after, sizeof(BlockStatus)));
  }
}

TEST_F(StatusTest, BlockRepaintUsesTheOldAndNewTrainCounts) {
  store().UpdateBlockStatus(5, Block(1, 4, -1, {7, 8, 9}), 0, 1);
  ForgetCalls();
  store().UpdateBlockStatus(5, Block(1, 4, -1, {8, 9}));
  // Old labels: three lines, so the strip below the track reaches 20 pixels further down.
  ASSERT_EQ(display.Filled.size(), 2u);
  EXPECT_EQ(display.Filled[1], (FakeDisplayService::Rect{144 - 31, 320 + 15, 144 + 31, 320 + 24 + 20}));
  // New labels: two lines widen the invalidated area to 42 pixels.
  ASSERT_EQ(shell.Invalidated.size(), 2u);
  EXPECT_EQ(shell.Invalidated[1].Height, 42);
}

TEST_F(StatusTest, SwitchAndSignalReportOnlyWhatTheFieldSees) {
  SwitchStatus sw{};
  sw.InUse = 1;
  sw.FailureCount = -1;
  SignalStatus sig{};
  sig.InUse = 1;
  sig.Aspect = 5;
  sig.FailureCount = 0xFF;
  struct Case {
    const char* name;
    std::function<void(SwitchStatus&)> changeSwitch;
    std::function<void(SignalStatus&)> changeSignal;
    bool sent;
  };
  const Case cases[] = {
      {"position / aspect", [](SwitchStatus& s) { s.Position = 1; }, [](SignalStatus& s) { s.Aspect = 1; }, true},
      {"occupancy / fleet", [](SwitchStatus& s) { s.Occupancy = 3; }, [](SignalStatus& s) { s.Fleet = 1; }, true},
      {"error word", [](SwitchStatus& s) { s.Refused = 1; }, [](SignalStatus& s) { s.RefusalCount = 1; }, true},
      {"failure starts", [](SwitchStatus& s) { s.FailureCount = 0; }, [](SignalStatus& s) { s.FailureCount = 0; },
       false},
      {"other fields", [](SwitchStatus& s) { s.CrewThrowTime = 99; }, [](SignalStatus& s) { s.RunningTimeEnd = 9; },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store().UpdateSwitchStatus(2, sw, 1);
    store().UpdateSignalStatus(3, sig, 1);
    ForgetCalls();
    SwitchStatus newSwitch = sw;
    c.changeSwitch(newSwitch);
    SignalStatus newSignal = sig;
    c.changeSignal(newSignal);
    store().UpdateSwitchStatus(2, newSwitch);
    store().UpdateSignalStatus(3, newSignal);
    std::vector<std::pair<int, int>> expected;
    if (c.sent) expected = {{2, 2}, {3, 3}};
    EXPECT_EQ(interface.EIOMessages, expected);
    ASSERT_EQ(playback.Calls.size(), 2u);
    EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::SwitchStatus);
    EXPECT_EQ(playback.Calls[1].Kind, PlaybackKind::SignalStatus);
    EXPECT_EQ(playback.Calls[1].Bytes.size(), sizeof(SignalStatus));
    EXPECT_TRUE(shell.Invalidated.empty());
  }
  // A repair (failure back to none) is reported; so is nothing while the state came from outside.
  SwitchStatus failed = sw;
  failed.FailureCount = 2;
  SignalStatus failedSignal = sig;
  failedSignal.FailureCount = 1;
  store().UpdateSwitchStatus(2, failed, 1);
  store().UpdateSignalStatus(3, failedSignal, 1);
  ForgetCalls();
  store().UpdateSwitchStatus(2, sw, 1);
  store().UpdateSignalStatus(3, sig, 1);
  EXPECT_TRUE(interface.EIOMessages.empty());
  store().UpdateSwitchStatus(2, failed, 1);
  store().UpdateSignalStatus(3, failedSignal, 1);
  store().UpdateSwitchStatus(2, sw);
  store().UpdateSignalStatus(3, sig);
  EXPECT_EQ(interface.EIOMessages, (std::vector<std::pair<int, int>>{{2, 2}, {3, 3}}));
}

// ---------------------------------------------------------------- train status

class TrainStatusTest : public StatusTest {
 protected:
  TrainStatusTest() {
    OrgData org{};
    org.InUse = 1;
    SetFieldText(org.Name, "WX");
    store().UpdateOrgData(0, org);
    store().UpdateOrgData(3, org);
    SetFieldText(org.Name, "EX");
    store().UpdateOrgData(1, org);
    for (int block : {5, 6, 7}) {
      BlockData data{};
      data.LeftCellX = data.RightCellX = static_cast<int16_t>(block * 10);
      data.LeftCellY = data.RightCellY = 30;
      store().UpdateBlockData(block, data);
    }
    store().UpdateBlockStatus(5, Block(1, 0, -1, {}), 0, 1);
    store().UpdateBlockStatus(6, Block(1, 4, -1, {1, 2}), 0, 1);
    store().UpdateBlockStatus(7, Block(1, 0, -1, {}), 0, 1);
    lists.OpenArrivalWindows = {0, 1, 3};
    ForgetCalls();
  }

  TrainStatus Running(int16_t head, int16_t rear) {
    TrainStatus t{};
    t.InUse = 1;
    t.State = 4;
    t.Speed = 40;
    t.HeadBlock = head;
    t.RearBlock = rear;
    t.RearEventTime = 500;
    SetFieldText(t.Entrance, "EX");
    return t;
  }

  // The invalidated blocks, told apart by their cell x (block * 10).
  std::vector<int> InvalidatedBlocks() {
    std::vector<int> blocks;
    for (const auto& r : shell.Invalidated)
      if (r.Height == 30) blocks.push_back(r.X / 10);
    return blocks;
  }
};

TEST_F(TrainStatusTest, UnusedSlotIsRefusedUnlessAdmitted) {
  store().UpdateTrainStatus(4, Running(5, 5));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Trying to update unused train status - UpdateTrainStatus value \"4\"", 0),
            0u);
  EXPECT_EQ(store().GetTrainStatus(4).InUse, 0);
  EXPECT_TRUE(playback.Calls.empty());
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 0);

  store().UpdateTrainStatus(1000, Running(5, 5), 1);
  EXPECT_EQ(messages.Calls.back().Text.rfind("Train status index error - UpdateTrainStatus", 0), 0u);

  messages.Calls.clear();
  store().UpdateTrainStatus(4, Running(5, 5), 1);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().GetTrainStatus(4).InUse, 1);
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 5);
  // Only an admitting update raises the count.
  CountData counts = store().GetCountData();
  counts.Words[kCountRunningTrains] = 0;
  store().UpdateCountData(counts);
  store().UpdateTrainStatus(4, Running(6, 6));
  EXPECT_EQ(+store().GetCountData().Words[kCountRunningTrains], 0);
}

TEST_F(TrainStatusTest, MovementRepaintsTheBlocksItTouches) {
  store().UpdateTrainStatus(1, Running(6, 5), 1);
  lists.OpenLists = {ListWindow::ActiveTrains};
  ForgetCalls();

  store().UpdateTrainStatus(1, Running(7, 6));  // head and rear advance
  EXPECT_EQ(InvalidatedBlocks(), (std::vector<int>{7, 6, 5}));
  // Block 6 holds two trains: its area is widened for two label lines.
  EXPECT_EQ(shell.Invalidated.size(), 4u);
  EXPECT_EQ(store().ActiveListDirty, 1);

  store().ActiveListDirty = 0;
  ForgetCalls();
  TrainStatus same = Running(7, 6);
  same.Distance = 1234;  // nothing the display or the list shows
  store().UpdateTrainStatus(1, same);
  EXPECT_TRUE(shell.Invalidated.empty());
  EXPECT_EQ(store().ActiveListDirty, 0);

  ForgetCalls();
  store().UpdateTrainStatus(1, Running(7, 7));  // rear joins the head: head once, old rear once
  EXPECT_EQ(InvalidatedBlocks(), (std::vector<int>{7, 6}));

  lists.OpenLists.clear();
  store().ActiveListDirty = 0;
  store().UpdateTrainStatus(1, Running(5, 7));
  EXPECT_EQ(store().ActiveListDirty, 0);  // the list is closed
}

TEST_F(TrainStatusTest, StandingTrainHasNoRearEventAndRecordingIsOnRequest) {
  TrainStatus t = Running(5, 5);
  store().UpdateTrainStatus(0, t, 1, 0);
  EXPECT_TRUE(playback.Calls.empty());
  EXPECT_EQ(+store().GetTrainStatus(0).RearEventTime, 500);
  t.Speed = 0;
  store().UpdateTrainStatus(0, t);
  EXPECT_EQ(+store().GetTrainStatus(0).RearEventTime, -1);
  ASSERT_EQ(playback.Calls.size(), 1u);
  EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::TrainStatus);
  TrainStatus recorded;
  std::memcpy(&recorded, playback.Calls[0].Bytes.data(), sizeof recorded);
  EXPECT_EQ(+recorded.RearEventTime, -1);
}

TEST_F(TrainStatusTest, ArrivalWindowFollowsNewTrainsAndScheduledState) {
  TrainStatus t = Running(-1, -1);
  t.State = 2;
  store().UpdateTrainStatus(0, t, 1);  // comes into use
  EXPECT_EQ(lists.ArrivalRefreshes, std::vector<int>{1});
  store().UpdateTrainStatus(0, t);  // nothing changed
  t.State = 4;
  store().UpdateTrainStatus(0, t);  // leaves state 2
  t.State = 3;
  store().UpdateTrainStatus(0, t);  // neither side is 2
  SetFieldText(t.Entrance, "WX");
  t.State = 2;
  store().UpdateTrainStatus(0, t);  // the first location of that name
  EXPECT_EQ(lists.ArrivalRefreshes, (std::vector<int>{1, 1, 0}));
}

TEST_F(TrainStatusTest, CTCControlRefreshesAllWindows) {
  // The refresh walk is seen by the train graph it closes.
  store().UpdateTrainStatus(0, Running(5, 5), 1);
  EXPECT_EQ(lists.CloseTrainGraphCalls, 0);
  SetModes(false, true);
  store().UpdateTrainStatus(0, Running(5, 5));
  EXPECT_EQ(lists.CloseTrainGraphCalls, 1);
}

// ---------------------------------------------------------------- OS hits

class OSHitTest : public StoreFixture {
 protected:
  OSHitTest() {
    OSData os{};
    os.InUse = 1;
    SetFieldText(os.Name, "Ashby");
    store().UpdateOSData(4, os);
    BlockData block{};
    SetFieldText(block.Name, "Ashby");
    store().UpdateBlockData(12, block);
    SwitchData sw{};
    SetFieldText(sw.Name, "Ashby");
    store().UpdateSwitchData(1, sw);
    CrossData cross{};
    SetFieldText(cross.Name, "Ashby");
    store().UpdateCrossData(2, cross);
    SetFieldText(block.Name, "Nowhere");
    store().UpdateBlockData(13, block);
    store().SimClock = 7260;
  }
};

TEST_F(OSHitTest, TrainIsRecordedOnceAtAnOSPoint) {
  store().CheckOSHits(12, 7);
  store().CheckOSHits(12, 7);    // passes the same point again
  store().CheckOSHits(2001, 7);  // another device of the same name: the same OS point
  ASSERT_EQ(store().GetOSHitCount(), 1);
  const OSHit hit = store().GetOSHit(0);
  EXPECT_EQ(hit.Device, 12);
  EXPECT_EQ(hit.TrainSlot, 7);
  EXPECT_EQ(+hit.Minutes, 121);
  EXPECT_EQ(store().GetTrainStop(7).OSRecorded[4], 1);
  // The flag is a recorded train stop change; the hit is kind 8 at its index.
  ASSERT_EQ(playback.Calls.size(), 2u);
  EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::TrainStop);
  EXPECT_EQ(playback.Calls[1].Kind, PlaybackKind::OSHit);
  EXPECT_EQ(playback.Calls[1].Index, 0);
  EXPECT_EQ(playback.Calls[1].Bytes.size(), 8u);

  store().CheckOSHits(4002, 8);  // a diamond, another train
  EXPECT_EQ(store().GetOSHitCount(), 2);
  EXPECT_EQ(store().GetOSHit(1).Device, 4002);
}

TEST_F(OSHitTest, DevicesWithoutAnOSPointAreNotRecorded) {
  SignalData signal{};
  store().UpdateSignalData(0, signal);
  for (int device : {13, 14, 3000, 2500}) store().CheckOSHits(device, 1);
  EXPECT_EQ(store().GetOSHitCount(), 0);
  EXPECT_TRUE(playback.Calls.empty());
  EXPECT_TRUE(messages.Calls.empty());
}

// The OS point of each device is worked out once and kept: every edit of a name, an OS point or its
// use must show in the next passing.
TEST_F(OSHitTest, AnEditedNameOrOSPointShowsInTheNextPassing) {
  EXPECT_EQ(store().OSPointOfDevice(12), 4);
  EXPECT_EQ(store().OSPointOfDevice(13), -1);
  BlockData block = store().GetBlockData(13);
  SetFieldText(block.Name, "Ashby");
  store().UpdateBlockData(13, block);  // a block renamed to the OS point's name
  EXPECT_EQ(store().OSPointOfDevice(13), 4);
  store().CheckOSHits(13, 3);
  EXPECT_EQ(store().GetOSHitCount(), 1);

  // A second OS point of the same name in an earlier slot is the one found, as by name.
  OSData os{};
  os.InUse = 1;
  SetFieldText(os.Name, "Ashby");
  store().UpdateOSData(1, os);
  EXPECT_EQ(store().OSPointOfDevice(12), 1);
  store().FreeOSData(1);
  EXPECT_EQ(store().OSPointOfDevice(12), 4);
  store().FreeOSData(4);  // no OS point of that name is left
  EXPECT_EQ(store().OSPointOfDevice(12), -1);
  store().CheckOSHits(12, 5);
  EXPECT_EQ(store().GetOSHitCount(), 1);

  // An OS point in use without a name yet matches no unnamed device.
  const int claimed = 1;
  OSData unnamed{};
  unnamed.InUse = 1;
  store().UpdateOSData(claimed, unnamed);
  EXPECT_EQ(store().OSPointOfDevice(14), -1);
  SwitchData sw = store().GetSwitchData(1);
  SetFieldText(sw.Name, "Other");
  store().UpdateSwitchData(1, sw);
  SetFieldText(os.Name, "Other");
  store().UpdateOSData(claimed, os);
  EXPECT_EQ(store().OSPointOfDevice(2001), claimed);
  CrossData cross = store().GetCrossData(2);
  SetFieldText(cross.Name, "Other");
  store().UpdateCrossData(2, cross);
  EXPECT_EQ(store().OSPointOfDevice(4002), claimed);
  EXPECT_EQ(store().OSPointOfDevice(3000), -1);  // signals carry no OS point
  EXPECT_EQ(store().OSPointOfDevice(5000), -1);
  EXPECT_EQ(store().OSPointOfDevice(-1), -1);
}

TEST_F(OSHitTest, CTCControlStampsTheWallClock) {
  OptionData options{};
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  SetWallClockSource([] {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mday = 3;
    t.tm_hour = 14;
    t.tm_min = 25;
    t.tm_isdst = -1;
    return std::mktime(&t);
  });
  store().CheckOSHits(12, 0);
  SetWallClockSource(nullptr);
  EXPECT_EQ(+store().GetOSHit(0).Minutes, 14 * 60 + 25);
}

TEST_F(OSHitTest, HitsFillARing) {
  for (int i = 0; i < kMaxOSHits; ++i) store().AddNewOSHit(12, 1, 120);
  EXPECT_EQ(store().GetOSHitCount(), 0);
  store().AddNewOSHit(2003, 9, 600);  // the 40,001st
  EXPECT_EQ(store().GetOSHitCount(), 1);
  const OSHit first = store().GetOSHit(0);
  EXPECT_EQ(first.Device, 2003);
  EXPECT_EQ(first.TrainSlot, 9);
  EXPECT_EQ(+first.Minutes, 10);
  EXPECT_EQ(playback.Calls.back().Index, 0);
  EXPECT_EQ(store().GetOSHit(1).TrainSlot, 1);

  store().ClearOSHits();
  EXPECT_EQ(store().GetOSHitCount(), 0);
  for (int i : {0, 1, kMaxOSHits - 1}) EXPECT_EQ(store().GetOSHit(i).Device, 0xFFFF);

  // Hits written anywhere in the emptied ring are cleared again.
  store().AddNewOSHit(12, 1, 120);
  store().UpdateOSHit(kMaxOSHits - 1, OSHit{12, 1, 5});
  store().ClearOSHits();
  for (int i : {0, kMaxOSHits - 1}) EXPECT_EQ(store().GetOSHit(i).Device, 0xFFFF);
}

TEST_F(OSHitTest, BadArgumentsAreReported) {
  struct Case {
    std::function<void()> call;
    const char* text;
  };
  const Case cases[] = {
      {[&] { store().CheckOSHits(5000, 0); }, "Device index error - CheckOSHits value \"5000\""},
      {[&] { store().CheckOSHits(12, 1000); }, "Train index error - CheckOSHits value \"1000\""},
      {[&] { store().AddNewOSHit(-1, 0, 0); }, "Device index error - AddNewOSHit value \"-1\""},
      {[&] { store().AddNewOSHit(12, -1, 0); }, "Train index error - AddNewOSHit value \"-1\""},
      {[&] { store().SetOSHitCount(kMaxOSHits); }, "OS Hit index error - SetOSHitCount value \"40000\""},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    c.call();
    ASSERT_EQ(messages.Calls.size(), 1u) << c.text;
    EXPECT_EQ(messages.Calls[0].Text.rfind(c.text, 0), 0u) << messages.Calls[0].Text;
  }
  EXPECT_EQ(store().GetOSHitCount(), 0);
  EXPECT_TRUE(playback.Calls.empty());
}

// ---------------------------------------------------------------- off-times

TEST_F(StatusTest, OffTimesShiftNewestFirst) {
  OrgStatus org{};
  for (int i = 0; i < 4; ++i) org.OffTimes[i] = -1;
  store().UpdateOrgStatus(8, org);
  playback.Calls.clear();
  for (int32_t t : {100, 200, 300, 400, 500}) store().UpdateTrainOffTime(8, t);
  const OrgStatus got = store().GetOrgStatus(8);
  EXPECT_EQ(+got.OffCount, 5);
  EXPECT_EQ((std::vector<int32_t>{got.OffTimes[0], got.OffTimes[1], got.OffTimes[2], got.OffTimes[3]}),
            (std::vector<int32_t>{500, 400, 300, 200}));
  ASSERT_EQ(playback.Calls.size(), 5u);
  EXPECT_EQ(playback.Calls[4].Kind, PlaybackKind::OrgStatus);
  EXPECT_EQ(playback.Calls[4].Index, 8);
}

TEST_F(StatusTest, NextOffTimeSpreadsAnExitsDailyCapacity) {
  struct Case {
    const char* name;
    uint8_t option, limited;
    int32_t capacity, gone, clock;
    int32_t expected;
  };
  // Start at 3600 s; capacity 24 a day = one every 60 minutes.
  const Case cases[] = {
      {"ahead of the average", 1, 1, 24, 2, 3600 + 90 * 60, 3600 + 2 * 60 * 60},
      {"on the average", 1, 1, 24, 2, 3600 + 120 * 60, -1},
      {"behind the average", 1, 1, 24, 1, 3600 + 200 * 60, -1},
      {"no train gone yet", 1, 1, 24, 0, 3600, -1},
      {"option off", 0, 1, 24, 2, 3600, -1},
      {"location not limited", 1, 0, 24, 2, 3600, -1},
      {"no capacity", 1, 1, 0, 2, 3600, -1},
  };
  for (const Case& c : cases) {
    OptionData options{};
    options.YardCapacityLimitActive = c.option;
    store().UpdateOptionData(options);
    OrgData org{};
    org.InUse = 1;
    org.CapacityLimited = c.limited;
    org.Capacity = c.capacity;
    store().UpdateOrgData(2, org);
    OrgStatus status{};
    status.OffCount = c.gone;
    store().UpdateOrgStatus(2, status);
    store().SimStartTime = 3600;
    store().SimClock = c.clock;
    EXPECT_EQ(store().NextTrainOffTime(2), c.expected) << c.name;
  }
}

}  // namespace
