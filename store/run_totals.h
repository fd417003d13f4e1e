// Arithmetic on the run's clock times and on the totals that only grow (seconds late, stopped or lost,
// distance run). A very long run, or a saved run whose times or totals were damaged, holds them at the
// int32 limits instead of wrapping: the records keep their 32-bit fields.
#pragma once

#include <algorithm>
#include <cstdint>

inline int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// `seconds` after the clock time `time`.
inline int32_t SecondsAfter(int32_t time, int64_t seconds) { return ClampToInt32(int64_t{time} + seconds); }

// `total` with `amount` added. By value: the totals live in packed records, where a reference could be
// misaligned.
inline int32_t TotalPlus(int32_t total, int64_t amount) { return ClampToInt32(int64_t{total} + amount); }
