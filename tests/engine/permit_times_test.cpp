#include "engine/permit_times.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kMonday = 86400;
constexpr int32_t kTuesday = 2 * 86400;
constexpr int32_t At(int32_t day, int hour, int minute) { return day + hour * 3600 + minute * 60; }

TEST(PermitTimes, SpanAndClockText) {
  EXPECT_EQ(PermitSpanMinutes(360, 600), 240);
  EXPECT_EQ(PermitSpanMinutes(1320, 120), 240);  // 22:00 to 02:00
  EXPECT_EQ(PermitSpanMinutes(360, 360), 0);
  EXPECT_EQ(PermitSpanMinutes(600, 360), 1200);
  EXPECT_EQ(PermitClockText(At(kMonday, 5, 59)), "05:59");
  EXPECT_EQ(PermitClockText(At(kTuesday, 0, 0)), "00:00");
}

TEST(PermitTimes, RequestShowsTheMinutesStillOwed) {
  const PermitRequestTimes whole = ComputePermitRequestTimes(At(kMonday, 5, 59), 240, 0);
  EXPECT_EQ(whole.End, At(kMonday, 9, 59));
  EXPECT_EQ(whole.ToMinuteOfDay, 9 * 60 + 59);

  const PermitRequestTimes rest = ComputePermitRequestTimes(At(kMonday, 23, 0), 240, 120);
  EXPECT_EQ(rest.End, At(kTuesday, 1, 0));
  EXPECT_EQ(rest.ToMinuteOfDay, 60);
}

TEST(PermitTimes, GrantArithmetic) {
  struct Case {
    const char* what;
    int32_t clock, requestStart, before, requested, from, to;
    int32_t wantFrom, wantTo, wantMinutes;
    bool wantBefore, wantMore;
  };
  const Case cases[] = {
      {"as requested", At(kMonday, 5, 59), At(kMonday, 5, 59), 0, 240, 360, 600,  //
       At(kMonday, 6, 0), At(kMonday, 10, 0), 240, false, false},
      {"equal times grant nothing", At(kMonday, 5, 59), At(kMonday, 5, 59), 0, 240, 360, 360,  //
       At(kMonday, 6, 0), At(kMonday, 6, 0), 0, false, false},
      {"over midnight", At(kMonday, 22, 50), At(kMonday, 22, 50), 0, 240, 1380, 60,  //
       At(kMonday, 23, 0), At(kTuesday, 1, 0), 120, false, false},
      {"before the requested start", At(kMonday, 5, 30), At(kMonday, 6, 0), 0, 240, 300, 540,  //
       At(kMonday, 5, 30), At(kMonday, 9, 30), 240, true, false},
      {"earlier start after a part grant is allowed", At(kMonday, 5, 30), At(kMonday, 6, 0), 60, 240, 300, 360,
       At(kMonday, 5, 30), At(kMonday, 6, 30), 60, false, false},
      {"more than requested", At(kMonday, 5, 59), At(kMonday, 5, 59), 0, 240, 360, 660,  //
       At(kMonday, 6, 0), At(kMonday, 11, 0), 300, false, true},
      {"rest of a part grant exactly", At(kMonday, 10, 15), At(kMonday, 10, 15), 120, 240, 615, 735,
       At(kMonday, 10, 15), At(kMonday, 12, 15), 120, false, false},
      {"rest of a part grant and more", At(kMonday, 10, 15), At(kMonday, 10, 15), 120, 240, 615, 765,
       At(kMonday, 10, 15), At(kMonday, 12, 45), 150, false, true},
      {"more than eight hours back is tomorrow", At(kMonday, 22, 0), At(kMonday, 22, 0), 0, 240, 300, 540,
       At(kTuesday, 5, 0), At(kTuesday, 9, 0), 240, false, false},
      {"next day's request over midnight", At(kMonday, 23, 50), At(kTuesday, 0, 30), 0, 90, 30, 120,
       At(kTuesday, 0, 30), At(kTuesday, 2, 0), 90, false, false},
      {"already passed starts now, same length", At(kMonday, 6, 30), At(kMonday, 6, 0), 0, 240, 360, 600,
       At(kMonday, 6, 30), At(kMonday, 10, 30), 240, false, false},
      {"late evening time against tomorrow's request", At(kTuesday, 0, 10), At(kTuesday, 0, 30), 0, 240, 1380, 0,
       At(kTuesday, 23, 0), At(kTuesday, 24, 0), 60, true, false},
  };
  for (const Case& c : cases) {
    const PermitGrant grant = ComputePermitGrant(c.clock, c.requestStart, c.before, c.requested, c.from, c.to);
    EXPECT_EQ(grant.From, c.wantFrom) << c.what;
    EXPECT_EQ(grant.To, c.wantTo) << c.what;
    EXPECT_EQ(grant.GrantedMinutes, c.wantMinutes) << c.what;
    EXPECT_EQ(grant.BeforeRequested, c.wantBefore) << c.what;
    EXPECT_EQ(grant.MoreThanRequested, c.wantMore) << c.what;
  }
}

}  // namespace
