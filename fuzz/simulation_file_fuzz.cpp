// libFuzzer target for the saved simulation reader: every input is loaded as a
// saved simulation, as the External I/O "simload" command would load it. The
// demonstration territory lies beside it as "demo.trk", the track file the
// seeds were saved from, so the reader gets past the track file to the run.
#include "fuzz/fuzz_files.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "tools/territory/demo_territory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Corvane3Data& store = fuzz::Store();
  static const bool territory = [&] {
    territory::BuildDemonstrationTerritory(store);
    return TrackFile(store).Write(fuzz::Folder() + "demo.trk", 0) == 0;
  }();
  if (!territory) std::abort();
  SimulationFile(store).Load(fuzz::WriteFile("input.ssm", data, size), 0);
  return 0;
}
