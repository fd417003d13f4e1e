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
