// The wall clock, read only where the run needs real time (CTC mode times,
// the random seed, log stamps). Tests replace it.
#pragma once

#include <ctime>

using WallClockSource = std::time_t (*)();

std::time_t WallClockNow();
// Installs a replacement; nullptr restores the real clock.
void SetWallClockSource(WallClockSource source);
