// Time arithmetic of block permits: a definition's length, the times a
// request shows, and how a typed grant becomes granted SimClock times. Plain
// functions, so the request dialog and the permit steps share one answer.
#pragma once

#include <cstdint>
#include <string>

#include "store/run_times.h"

inline constexpr int32_t kMinutesPerDay = 1440;

// Minutes from start to end of day, past midnight when the end is smaller.
int32_t PermitSpanMinutes(int32_t startMinute, int32_t endMinute);

// "%02d:%02d" of the time of day of a SimClock time.
std::string PermitClockText(int32_t seconds);

// What a request window shows: the start (now when the per-minute step raised
// it) and the minutes still owed to the requestor.
struct PermitRequestTimes {
  int32_t Start = 0;          // SimClock seconds
  int32_t End = 0;            // Start + remaining minutes
  int32_t ToMinuteOfDay = 0;  // the end as a time of day, in minutes
};
PermitRequestTimes ComputePermitRequestTimes(int32_t start, int32_t requestedMinutes, int32_t minutesGranted);

// The answer "Authorized" with typed times of day.
struct PermitGrant {
  int32_t From = 0;                // granted start, SimClock seconds
  int32_t To = 0;                  // granted end
  int32_t GrantedMinutes = 0;      // the minutes of this answer
  bool BeforeRequested = false;    // refused: the start lies before the requested start
  bool MoreThanRequested = false;  // the dispatcher must confirm
};
PermitGrant ComputePermitGrant(int32_t simClock, int32_t requestStart, int32_t minutesGrantedBefore,
                               int32_t requestedMinutes, int32_t fromMinute, int32_t toMinute);
