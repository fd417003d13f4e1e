#include "store/wall_clock.h"

namespace {
WallClockSource g_source = nullptr;
}

std::time_t WallClockNow() { return g_source ? g_source() : std::time(nullptr); }

void SetWallClockSource(WallClockSource source) { g_source = source; }
