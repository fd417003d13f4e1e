// Running speed: the path check that every movement decision asks, the start
// speed of a stopped train and the unit arithmetic of times, lengths and speeds.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/engine.h"

namespace {

bool EnglishUnits(const Corvane3Data& store) { return store.GetTerritoryOptions().Units == 1; }

}  // namespace

int16_t Engine::SpeedInUnits(int milesPerHour) {
  if (EnglishUnits(Store())) return static_cast<int16_t>(milesPerHour);
  return static_cast<int16_t>(milesPerHour * 10 / 6);
}

int32_t Engine::TravelTime(int speed, int32_t length) {
  if (speed < 1) speed = SpeedInUnits(10);
  // Inches (or fiftieths of a metre) per second against the same small unit
  // of distance, truncated at every step. A length read from a file may be
  // large: the distance is widened so that it cannot overflow.
  int64_t rate, distance;
  if (EnglishUnits(Store())) {
    rate = int64_t{speed} * 63360 / 3600;
    distance = int64_t{length} * 12;
  } else {
    rate = int64_t{speed} * 50000 / 3600;
    distance = int64_t{length} * 50;
  }
  if (rate < 1) rate = 1;
  return static_cast<int32_t>(
      std::clamp<int64_t>(distance / rate, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
