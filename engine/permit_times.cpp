#include "engine/permit_times.h"

#include <cstdio>

int32_t PermitSpanMinutes(int32_t startMinute, int32_t endMinute) {
  return ((endMinute - startMinute) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
}

std::string PermitClockText(int32_t seconds) {
  const int32_t ofDay = (seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(ofDay / 3600), static_cast<int>(ofDay % 3600 / 60));
  return text;
}

PermitRequestTimes ComputePermitRequestTimes(int32_t start, int32_t requestedMinutes, int32_t minutesGranted) {
  const int32_t remaining = requestedMinutes - minutesGranted;
  const int32_t startMinute = (start % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay / 60;
  PermitRequestTimes times;
  times.Start = start;
  times.End = start + remaining * 60;
  times.ToMinuteOfDay = ((startMinute + remaining) % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
  return times;
}

PermitGrant ComputePermitGrant(int32_t simClock, int32_t requestStart, int32_t minutesGrantedBefore,
                               int32_t requestedMinutes, int32_t fromMinute, int32_t toMinute) {
  PermitGrant grant;
  grant.GrantedMinutes = PermitSpanMinutes(fromMinute, toMinute);
  grant.From = fromMinute * 60 + simClock / kSecondsPerDay * kSecondsPerDay;
  grant.To = grant.From + grant.GrantedMinutes * 60;

  // A typed time far behind the request start means the request was for the next day.
  int32_t requested = requestStart;
  if (requested + 57600 < grant.From) requested += kSecondsPerDay;
  grant.BeforeRequested = minutesGrantedBefore == 0 && requested - 28800 < grant.From && grant.From < requested - 60;
  grant.MoreThanRequested = grant.GrantedMinutes + minutesGrantedBefore > requestedMinutes;

  // More than eight hours back is tomorrow's time; a start already passed starts now.
  if (grant.From < simClock - 28800) {
    grant.From += kSecondsPerDay;
    grant.To += kSecondsPerDay;
  }
  if (grant.From < simClock) {
    grant.From = simClock;
    grant.To = grant.From + grant.GrantedMinutes * 60;
  }
  return grant;
}
