// Pieces the signal and switch operations share: paused message boxes,
// random failures and the maintainer.
#include <cstdio>

#include "engine/interlocking_devices.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/wall_clock.h"

namespace interlocking {

MessageResult ShowPaused(Engine& engine, const std::string& text, MessageIcon icon, MessageButtons buttons) {
  engine.SetStopStatus();
  const MessageResult result = engine.Store().ShowMessage(text, icon, buttons);
  engine.ClearStopStatus();
  return result;
}

HalvingDraw ReseedAndDraw(Engine& engine, int n) {
  engine.Random().Seed(static_cast<uint32_t>(WallClockNow()));
  const int32_t r = engine.RandomHalvingIndex(n);
  return {r & 0xFFFF, (r >> 16) & 0xFFFF};
}

int32_t MaintainerFixTime(Engine& engine) {
  const RandomData random = engine.Store().GetRandomData();
  const int32_t minutes = random.MaintainerRepairMinutes;
  const int32_t variation = random.MaintainerVariationPercent;
  int32_t v = 0;
  if (variation != 0) v = (engine.RandomHalvingIndex(2 * variation) & 0xFFFF) - variation;
  return engine.Store().SimClock + ((minutes * v) / 100) * 60 + minutes * 60;
}

std::string MaintainerFixText(int32_t fixTime) {
  const int32_t timeOfDay = ((fixTime % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  char text[64];
  std::snprintf(text, sizeof text, "Maintainer will fix by %02d:%02d.", timeOfDay / 3600, timeOfDay % 3600 / 60);
  return text;
}

bool RouteEndsAt(const BlockData& block, int d) {
  if (d == 1) return block.RightSignal != -1 || !FieldText(block.RightLocation).empty();
  return block.LeftSignal != -1 || !FieldText(block.LeftLocation).empty();
}

}  // namespace interlocking
