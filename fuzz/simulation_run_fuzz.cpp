// libFuzzer target for a saved simulation and the run it holds: every input is
// loaded as a saved simulation beside demo.trk (the track file the seeds were
// saved from) and, when it loads, the run goes on for an hour of ticks. An input may also be a patch of
// one of the seeds (fuzz/fuzz_patch.h).
#include "engine/engine.h"
#include "fuzz/fuzz_patch.h"
#include "fuzz/fuzz_run.h"
#include "store/simulation_file.h"

namespace {

constexpr int kTicks = 360;  // an hour of 10-second ticks

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("simulation_run", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  static Engine engine(store);
  fuzz::LoadDemoTerritory(store);
  if (SimulationFile(store).Load(fuzz::WriteFile("input.ssm", input.Data, input.Size), 0) != 0) return 0;
  RunState& run = store.Run;
  run.SimStopped = 0;
  run.SimPaused = 0;
  for (int i = 0; i < kTicks && run.SimStopped == 0; ++i) engine.Tick();
  return 0;
}
