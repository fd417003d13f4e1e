// libFuzzer target for the track file reader: every input is loaded as a
// track file, as the program would load it from a menu.
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
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".trk";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  store->LoadTrackFile(path, 0);
  return 0;
}
