// libFuzzer target for the playback reader: every input is replayed as the
// records of a recording (behind its header), on an empty run. An input may also be a patch of one of the
// seeds (fuzz/fuzz_patch.h).
#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_patch.h"
#include "store/playback_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("playback", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  const std::string path = fuzz::WriteFile("input.ply", input.Data, input.Size);
  store.InitSimulationStatus();
  store.OperatingMode = 2;
  store.NextPlaybackTime = -1;
  store.PlaybackIn = std::fopen(path.c_str(), "rb");
  if (!store.PlaybackIn) return 0;
  // A first call up to a moment, then the rest, as the jump and the later ticks read it.
  if (PlaybackFile(store).Read(3600) == 8) PlaybackFile(store).Read(INT32_MAX);
  if (store.PlaybackIn) {
    std::fclose(store.PlaybackIn);
    store.PlaybackIn = nullptr;
  }
  return 0;
}
