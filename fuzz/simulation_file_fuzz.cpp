// libFuzzer target for the saved simulation reader: every input is loaded as a
// saved simulation, as the External I/O "simload" command would load it.
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
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".ssm";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  store->LoadSimulation(path, 0);
  return 0;
}
