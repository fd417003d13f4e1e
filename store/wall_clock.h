// The wall clock, read only where the run needs real time (CTC mode times,
// the random seed, log stamps). Tests replace it.
#pragma once

#include <ctime>

using WallClockSource = std::time_t (*)();

std::time_t WallClockNow();
// The minute of the day (0-1439) of the wall clock in local time.
int WallClockMinuteOfDay();
// Installs a replacement; nullptr restores the real clock.
void SetWallClockSource(WallClockSource source);
