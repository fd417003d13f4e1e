// libFuzzer target for the saved simulation reader: every input is loaded as a
// saved simulation, as the External I/O "simload" command would load it. The
// demonstration territory lies beside it as "demo.trk", the track file the
// seeds were saved from, so the reader gets past the track file to the run. An input may also be a patch
// of one of the seeds (fuzz/fuzz_patch.h).
#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_patch.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "tools/territory/demo_territory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("simulation", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  static const bool territory = [&] {
    territory::BuildDemonstrationTerritory(store);
    return TrackFile(store).Write(fuzz::Folder() + "demo.trk", 0) == 0;
  }();
  if (!territory) std::abort();
  SimulationFile(store).Load(fuzz::WriteFile("input.ssm", input.Data, input.Size), 0);
  return 0;
}
