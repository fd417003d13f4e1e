// libFuzzer target for the playback reader: every input is replayed as the
// records of a recording (behind its header), on an empty run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "store/corvane3_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Corvane3Data* store = [] {
    auto* s = new Corvane3Data();
    TheStore = s;
    return s;
  }();
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".ply";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  store->InitSimulationStatus();
  store->OperatingMode = 2;
  store->NextPlaybackTime = -1;
  store->PlaybackIn = std::fopen(path.c_str(), "rb");
  if (!store->PlaybackIn) return 0;
  // A first call up to a moment, then the rest, as the jump and the later ticks read it.
  if (store->ReadPlayback(3600) == 8) store->ReadPlayback(INT32_MAX);
  if (store->PlaybackIn) {
    std::fclose(store->PlaybackIn);
    store->PlaybackIn = nullptr;
  }
  return 0;
}
