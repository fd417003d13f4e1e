#include "store/wall_clock.h"

namespace {
WallClockSource g_source = nullptr;
}

std::time_t WallClockNow() { return g_source ? g_source() : std::time(nullptr); }

int WallClockMinuteOfDay() {
  const std::time_t now = WallClockNow();
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_hour * 60 + local.tm_min;
}

void SetWallClockSource(WallClockSource source) { g_source = source; }
