// Block permits as other code sees them: the limits a permit takes out of
// service (the CTC permit steps search them too).
#pragma once

#include <cstdint>

// The limits of a block permit: its two end blocks and the travel direction at
// each, as the path walk gives them (0 leftward, 1 rightward). LeftBlock is -1
// when no block carries the track name.
struct PermitLimits {
  int32_t LeftBlock = -1;
  int32_t LeftDirection = 0;
  int32_t RightBlock = -1;
  int32_t RightDirection = 1;
};

// The permit marks of a block or of one side of a diamond: pending from a
// start, out of service until an end (times -1 none, on the permit's clock).
struct PermitMarks {
  uint8_t Pending = 0;
  int32_t PendingFrom = -1;
  uint8_t Active = 0;
  int32_t ActiveUntil = -1;
};
