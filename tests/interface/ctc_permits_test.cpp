#include "engine/ctc_permits.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/interface/interface_fixture.h"

namespace {

// Track "AA-BB Main" from a territory end to a switch, crossed at a diamond by
// track "AA-BB Cross"; a permit on Main takes B0-B4 and the diamond's route 0:
//
//   y=2                                 B5 =====          (Cross)
//   y=4   |B0 ==== B1 ==== D0 ==== B2 ==== B3 ==== B4 ==== SW0
//   y=6          B6 =====                                 (Cross)
// One block's or the diamond route's marks: pending, pending start, active, active end.
struct Marks {
  int Pending, Start, Active, End;
  bool operator==(const Marks&) const = default;
};
void PrintTo(const Marks& m, std::ostream* os) {
  *os << "{pending " << m.Pending << " from " << m.Start << ", active " << m.Active << " until " << m.End << "}";
}
constexpr Marks kNone{0, -1, 0, -1};

// A slot's state and minutes.
struct Times {
  int State, Start, End, Next;
  bool operator==(const Times&) const = default;
};

class CtcPermitTest : public InterfaceTest {
 protected:
  CtcPermitTest() {
    auto block = [&](const char* name, int x0, int x1, int y, const char* track) {
      return t.Block(
          {.Name = name, .From = {x0, y}, .To = {x1, y}, .Station1 = "AA", .Station2 = "BB", .Track = track});
    };
    main_.push_back(block("B0", 2, 5, 4, "Main"));
    main_.push_back(block("B1", 6, 9, 4, "Main"));
    diamond_ = t.Diamond("D0", {10, 4}, 29);
    main_.push_back(block("B2", 11, 14, 4, "Main"));
    main_.push_back(block("B3", 15, 18, 4, "Main"));
    main_.push_back(block("B4", 19, 22, 4, "Main"));
    const int sw = t.Switch("SW0", {23, 4}, Diverge::DownRight);
    const int b5 = block("B5", 12, 15, 2, "Cross");
    const int b6 = block("B6", 5, 8, 6, "Cross");
    t.Link(main_[0], main_[1]);
    t.Link(main_[1], DiamondDevice(diamond_));
    t.Link(DiamondDevice(diamond_), main_[2]);
    t.Link(main_[2], main_[3]);
    t.Link(main_[3], main_[4]);
    t.Link(main_[4], SwitchDevice(sw));
    t.LinkCrossing(diamond_, b6, b5);
    Ready();
    CTCMode();
    SetWallClockSource([]() -> std::time_t { return wallNow_; });
    At(0, 0);
    run().LastCTCPermitMinute = -1;
  }

  // The computer's clock reads hh:mm of the test's day (local time is UTC here) and the 500 ms tick runs.
  void At(int hour, int minute) {
    wallNow_ = 20 * 86400 + hour * 3600 + minute * 60;
    engine.Tick();
  }

  int Issue(const char* track, int from, int to, int now) {
    return ctc::StorePermit(
        store(), -1,
        {.Track = track, .From = from, .To = to, .Requestor = "Track Foreman", .Reason = "Track Maintenance"}, now);
  }

  Marks BlockMarks(int block) {
    const BlockStatus s = store().GetBlockStatus(block);
    return {s.PermitPending, s.PermitPendingFrom, s.PermitActive, s.PermitActiveUntil};
  }
  Marks DiamondMarks() {
    const CrossStatus s = store().GetCrossStatus(diamond_);
    return {s.Route[0].PermitPending, s.PermitPendingFrom[0], s.Route[0].PermitActive, s.PermitActiveUntil[0]};
  }
  // Every block of Main and the diamond carry these marks.
  void ExpectMainMarks(const Marks& marks, const char* when) {
    for (int block : main_) EXPECT_EQ(BlockMarks(block), marks) << when << ", block " << block;
    EXPECT_EQ(DiamondMarks(), marks) << when << ", diamond";
  }

  Times SlotTimes(int slot) {
    const PermitStatus s = store().GetPermitStatus(slot);
    return {s.State, s.StartMinute, s.EndMinute, s.NextMinute};
  }
  bool InUse(int slot) { return store().GetPermitStatus(slot).InUse != 0; }
  int PermitListRefreshes() {
    return static_cast<int>(std::count(lists.Refreshed.begin(), lists.Refreshed.end(), ListWindow::CTCActivePermits));
  }

  std::vector<int> main_;
  int diamond_ = 0;
  static inline std::time_t wallNow_ = 0;
};

// Issued at 09:00 for 10:00-11:00: announced at 09:30, in force at 10:00, released at 11:00, and the
// open lists are refreshed at each step only.
TEST_F(CtcPermitTest, PermitIsAnnouncedPutInForceAndReleasedByTheComputersClock) {
  lists.OpenLists = {ListWindow::CTCActivePermits};
  At(9, 0);
  const int slot = Issue("AA-BB Main", 600, 660, 540);
  ASSERT_EQ(slot, 0);
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitIssued, 600, 660, 570}));

  At(9, 29);
  ExpectMainMarks(kNone, "09:29");
  const int refreshes = PermitListRefreshes();
  At(9, 30);
  ExpectMainMarks({1, 600 * 60, 0, -1}, "09:30");
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitAnnounced, 600, 660, 600}));
  EXPECT_EQ(PermitListRefreshes(), refreshes + 1);
  EXPECT_EQ(+store().GetCrossStatus(diamond_).Route[1].PermitPending, 0) << "the crossing route is not the track";

  At(9, 59);
  EXPECT_EQ(PermitListRefreshes(), refreshes + 1);
  At(10, 0);
  ExpectMainMarks({0, -1, 1, 660 * 60}, "10:00");
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitInForce, 600, 660, 660}));

  At(10, 59);
  EXPECT_TRUE(InUse(slot));
  At(11, 0);
  ExpectMainMarks(kNone, "11:00");
  EXPECT_FALSE(InUse(slot));
  EXPECT_EQ(run().LastCTCPermitMinute, 660);
}

TEST_F(CtcPermitTest, AStartLessThanHalfAnHourAwayIsAnnouncedOnTheNextTick) {
  At(9, 50);
  const int slot = Issue("AA-BB Main", 600, 660, 590);
  EXPECT_EQ(SlotTimes(slot).Next, 570);
  At(9, 50);
  EXPECT_EQ(SlotTimes(slot).State, kCtcPermitAnnounced);
  ExpectMainMarks({1, 600 * 60, 0, -1}, "09:50");
}

// A route cleared into the first block holds the permit back five minutes at a time, the block's
// announced start with it, until the route is gone.
TEST_F(CtcPermitTest, RouteClearedIntoTheTrackPostponesThePermit) {
  At(9, 0);
  const int slot = Issue("AA-BB Main", 600, 660, 540);
  At(9, 30);
  SetBlockCode(main_[0], occupancy::kClearedRight);

  At(10, 0);
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitAnnounced, 605, 665, 605}));
  EXPECT_EQ(BlockMarks(main_[0]), (Marks{1, 605 * 60, 0, -1}));
  EXPECT_EQ(BlockMarks(main_[1]), (Marks{1, 600 * 60, 0, -1}));
  At(10, 4);
  EXPECT_EQ(SlotTimes(slot).Start, 605);
  At(10, 5);
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitAnnounced, 610, 670, 610}));

  SetBlockCode(main_[0], occupancy::kFree);
  At(10, 10);
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitInForce, 610, 670, 670}));
  ExpectMainMarks({0, -1, 1, 670 * 60}, "10:10");
}

// 23:30-00:30 is stored as 1410-1470 and reads 30 after midnight; the marks of the night's permit
// follow, so that it is released at 00:30. A permit for tomorrow morning waits for its day. Midnight
// counts also when the minute after it was missed.
TEST_F(CtcPermitTest, MidnightBringsTomorrowsMinutesToToday) {
  struct Case {
    int LastHour, LastMinute, NowMinute;
  };
  for (const Case& c : {Case{23, 59, 0}, Case{23, 58, 1}}) {
    SCOPED_TRACE(c.NowMinute);
    At(23, 0);
    const int night = Issue("AA-BB Main", 1410, 30, 1380);
    const int morning = Issue("AA-BB Cross", 480, 540, 1380);
    EXPECT_EQ(SlotTimes(night), (Times{kCtcPermitIssued, 1410, 1470, 1380}));
    EXPECT_EQ(SlotTimes(morning), (Times{kCtcPermitIssued, 1920, 1980, 1890}));
    At(23, 0);
    At(23, 30);
    ExpectMainMarks({0, -1, 1, 1470 * 60}, "23:30");

    At(c.LastHour, c.LastMinute);
    At(0, c.NowMinute);
    EXPECT_EQ(SlotTimes(night), (Times{kCtcPermitInForce, 1410, 30, 30}));
    EXPECT_EQ(SlotTimes(morning), (Times{kCtcPermitIssued, 480, 540, 450}));
    ExpectMainMarks({0, -1, 1, 30 * 60}, "after midnight");

    At(0, 30);
    ExpectMainMarks(kNone, "00:30");
    EXPECT_FALSE(InUse(night));
    At(7, 29);
    EXPECT_EQ(SlotTimes(morning).State, kCtcPermitIssued);
    At(7, 30);
    EXPECT_EQ(SlotTimes(morning).State, kCtcPermitAnnounced);
    ctc::ReleasePermit(engine, morning);
  }
}

// Two permits on one track: the blocks and the diamond keep the earliest announced start and the
// latest end; the first one's end leaves them in force for the second.
TEST_F(CtcPermitTest, OverlappingPermitsKeepTheEarliestStartAndTheLatestEnd) {
  At(9, 0);
  const int first = Issue("AA-BB Main", 600, 660, 540);
  const int second = Issue("AA-BB Main", 620, 720, 540);
  At(9, 50);
  ExpectMainMarks({1, 600 * 60, 0, -1}, "both announced");
  At(10, 0);
  // The first start clears the pending mark the second shared; the second's start finds none.
  ExpectMainMarks({0, -1, 1, 660 * 60}, "first in force");
  At(10, 20);
  ExpectMainMarks({0, -1, 1, 720 * 60}, "both in force");
  At(11, 0);
  EXPECT_FALSE(InUse(first));
  ExpectMainMarks({0, -1, 1, 720 * 60}, "second still in force");
  At(12, 0);
  EXPECT_FALSE(InUse(second));
  ExpectMainMarks(kNone, "both released");
}

// Cancel (the permit list's button) frees the slot in any state; an announcement takes back its own
// pending marks, and no cancel touches another permit's marks.
TEST_F(CtcPermitTest, CancelTakesBackOnlyTheCancelledPermitsMarks) {
  At(9, 0);
  const int announced = Issue("AA-BB Main", 620, 700, 540);
  const int later = Issue("AA-BB Main", 630, 700, 540);
  const int tomorrow = Issue("AA-BB Main", 800, 660, 540);  // 13:20 to 11:00 tomorrow: no marks yet
  At(10, 0);
  ASSERT_EQ(SlotTimes(announced).State, kCtcPermitAnnounced);
  ASSERT_EQ(SlotTimes(later).State, kCtcPermitAnnounced);
  ExpectMainMarks({1, 620 * 60, 0, -1}, "both announced");

  ctc::ReleasePermit(engine, tomorrow);
  ExpectMainMarks({1, 620 * 60, 0, -1}, "an issued permit has nothing to take back");
  ctc::ReleasePermit(engine, announced);
  ExpectMainMarks({1, 630 * 60, 0, -1}, "the later announcement stays");
  ctc::ReleasePermit(engine, later);
  ExpectMainMarks(kNone, "both announcements cancelled");
  for (int slot : {announced, later, tomorrow}) EXPECT_FALSE(InUse(slot));

  // A permit in force, and one issued for later: cancelling the later one leaves the blocks and the
  // diamond in force.
  const int inForce = Issue("AA-BB Main", 600, 660, 600);
  At(10, 0);
  At(10, 0);
  ASSERT_EQ(SlotTimes(inForce).State, kCtcPermitInForce);
  const int sameEnd = Issue("AA-BB Main", 800, 660, 600);
  ctc::ReleasePermit(engine, sameEnd);
  ExpectMainMarks({0, -1, 1, 660 * 60}, "still in force");
  ctc::ReleasePermit(engine, inForce);
  ExpectMainMarks(kNone, "released");
}

TEST_F(CtcPermitTest, PermitOnATrackThatIsGoneRunsItsCourseMarkingNothing) {
  At(9, 0);
  const int slot = Issue("ZZ-YY Gone", 600, 660, 540);
  At(9, 30);
  EXPECT_EQ(SlotTimes(slot).State, kCtcPermitAnnounced);
  At(10, 0);
  EXPECT_EQ(SlotTimes(slot).State, kCtcPermitInForce);
  At(11, 0);
  EXPECT_FALSE(InUse(slot));
  ExpectMainMarks(kNone, "never marked");
}

// What the permit dialog stores: times more than an hour past are tomorrow's, an end before its start
// too; a permit in force that is changed keeps its state and takes its next step at its new end.
TEST_F(CtcPermitTest, StoringAPermitPutsItsTimesOnTheRightDay) {
  struct Case {
    int From, To, Now;
    Times Expected;
  };
  const Case cases[] = {
      {1380, 60, 1380, {kCtcPermitIssued, 1380, 1500, 1350}},  // 23:00-01:00 issued at 23:00
      {490, 520, 540, {kCtcPermitIssued, 490, 520, 460}},      // began within the hour: today
      {470, 520, 540, {kCtcPermitIssued, 1910, 1960, 1880}},   // began more than an hour ago: tomorrow
      {10, 40, 30, {kCtcPermitIssued, 10, 40, 0}},             // announced now, not before midnight
  };
  for (const Case& c : cases) {
    const int slot = Issue("AA-BB Main", c.From, c.To, c.Now);
    EXPECT_EQ(SlotTimes(slot), c.Expected) << c.From << "-" << c.To << " at " << c.Now;
    const PermitStatus stored = store().GetPermitStatus(slot);
    EXPECT_EQ(FieldText(stored.Track), "AA-BB Main");
    EXPECT_EQ(FieldText(stored.Requestor), "Track Foreman");
    ctc::ReleasePermit(engine, slot);
  }

  At(9, 0);
  const int slot = Issue("AA-BB Main", 540, 600, 540);
  At(9, 0);
  At(9, 0);
  ASSERT_EQ(SlotTimes(slot).State, kCtcPermitInForce);
  EXPECT_EQ(ctc::StorePermit(store(), slot, {.Track = "AA-BB Main", .From = 540, .To = 30}, 540), slot);
  EXPECT_EQ(SlotTimes(slot), (Times{kCtcPermitInForce, 540, 1470, 1470}));

  for (int s = 0; s < kMaxPermitStatus; ++s)
    if (!InUse(s)) Issue("AA-BB Main", 600, 660, 540);
  EXPECT_EQ(Issue("AA-BB Main", 600, 660, 540), -1);
}

}  // namespace
