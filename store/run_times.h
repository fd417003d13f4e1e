// The run's clock times: the span a saved run or a recording may hold, and arithmetic on the times and on
// the totals that only grow (seconds late, stopped or lost, distance run). A very long run, or a saved run
// whose trains' times or totals were damaged, holds them at the int32 limits instead of wrapping: the
// records keep their 32-bit fields.
#pragma once

#include <algorithm>
#include <cstdint>

#include "store/corvane3_data.h"

inline constexpr int32_t kSecondsPerDay = 86400;
inline constexpr int32_t kSecondsPerWeek = 7 * kSecondsPerDay;
// A crew's time on duty: it expires this long after it came on (less what it had worked before).
inline constexpr int32_t kCrewShift = 12 * 3600;

// Whether the clock is no earlier than the run's start nor further on than the hourly archive reaches.
inline bool ClockWithinArchive(int32_t startTime, int32_t clock) {
  const int64_t elapsed = int64_t{clock} - startTime;
  return elapsed >= 0 && elapsed < int64_t{kMaxArchivePerform} * 3600;
}

// Whether a started run's start, clock and end are ones the program could have written: it starts on a
// day of the week at a second of that week, its clock lies within the archive's reach, and an end set lies
// after the start. A file outside them is damaged, and its clock would overflow as the ticks add to it.
inline bool RunClockFits(int32_t startDay, int32_t startTime, int32_t clock, int32_t endTime) {
  return startDay >= 0 && startDay < 7 && startTime >= 0 && startTime < kSecondsPerWeek &&
         ClockWithinArchive(startTime, clock) && (endTime == -1 || endTime > startTime);
}

// Positions and times from a saved simulation can lie anywhere in their range: the distance between two
// positions and a time some seconds on are reckoned in 64 bits and held at the int32 limits.
inline int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

inline int32_t Gap(int32_t from, int32_t to) {
  const int64_t gap = int64_t{from} - to;
  return ClampToInt32(gap < 0 ? -gap : gap);
}

// `amount` added to `value`, as for a total that only grows. By value: the totals live in packed records,
// where a reference could be misaligned.
inline int32_t ClampedSum(int32_t value, int64_t amount) { return ClampToInt32(int64_t{value} + amount); }

// `seconds` after the clock time `time`.
inline int32_t TimeAfter(int32_t time, int64_t seconds) { return ClampedSum(time, seconds); }
