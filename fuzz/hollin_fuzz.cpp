// libFuzzer target for Hollin's readers of outside input: every input is taken
// once as the simulator's control file and once as "Order option.tds".
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "hollin/core/control_reader.h"
#include "hollin/core/hollin_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    const std::string f = "/tmp/hollin-fuzz-" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(f);
    return f;
  }();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(folder + "Order option.tds", std::ios::binary | std::ios::trunc) << bytes;
  THollinData hollin(folder);
  hollin.LoadOptions();
  HollinOptions options = hollin.GetOptions();
  options.TestFileFolder[0] = 0;  // the exchange stays in the fuzz folder
  options.LastReceivedSequence = -1;
  hollin.SetOptions(options);
  std::ofstream(folder + "cv3ctccontrols.txt", std::ios::binary | std::ios::trunc) << bytes;
  hollin::ReadControls(hollin);
  hollin.FlushIndications();
  std::filesystem::remove(folder + "cv3ctcindications.txt");
  std::filesystem::remove(folder + "Test File Log.txt");
  std::filesystem::remove(folder + "log.txt");
  return 0;
}
