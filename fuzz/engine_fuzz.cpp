// libFuzzer target for the engine over what a track file can hold: every input
// is loaded as a track file and, when it loads, the simulation runs from its
// first start time for an hour of ticks with every device and train as the
// file made them. An input may also be a patch of one of the seeds (fuzz/fuzz_patch.h).
#include <algorithm>

#include "engine/engine.h"
#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_patch.h"
#include "store/track_file.h"

namespace {

constexpr int kTicks = 360;  // an hour of 10-second ticks

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("engine", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  if (TrackFile(store).Load(fuzz::WriteFile("input.trk", input.Data, input.Size), 0) != 0) return 0;
  store.InitSimulationStatus();
  int32_t start = 0;
  for (int i = 0; i < kMaxStartTimes; ++i) {
    const StartTime time = store.GetStartTime(i);
    if (time.InUse == 0) continue;
    const int32_t minutes = time.Word1;  // a packed field: read by value
    start = std::clamp<int32_t>(minutes, 0, 1439) * 60;
    break;
  }
  store.SimStartTime = start;
  store.SimEndTime = -1;
  store.SimClock = start;
  RunState& run = store.Run;
  run.ClockSpeed = 20;
  run.SimStopped = 0;
  run.SimPaused = 0;
  run.RunStarted = 0;
  run.OutputHold = 1;
  Engine engine(store);
  for (int i = 0; i < kTicks && run.SimStopped == 0; ++i) engine.Tick();
  return 0;
}
