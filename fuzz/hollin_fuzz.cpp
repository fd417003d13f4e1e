// libFuzzer target for Hollin's readers of outside input: every input is taken
// once as "Order option.tds" and once as the simulator's control file.
#include <filesystem>

#include "fuzz/fuzz_folder.h"
#include "hollin/core/control_reader.h"
#include "hollin/core/hollin_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static THollinData hollin(fuzz::Folder());
  fuzz::WriteFile(hollin::kOptionFileName, data, size);
  hollin.LoadOptions();
  HollinOptions options = hollin.GetOptions();
  options.TestFileFolder[0] = 0;  // the exchange stays in the fuzz folder
  options.LastReceivedSequence = -1;
  hollin.SetOptions(options);
  hollin.ClearIncoming();
  fuzz::WriteFile("cv3ctccontrols.txt", data, size);
  hollin::ReadControls(hollin);
  hollin.FlushIndications();
  std::error_code ignored;
  std::filesystem::remove(fuzz::Folder() + hollin::kIndicationFileName, ignored);
  std::filesystem::remove(fuzz::Folder() + hollin::kLogFileName, ignored);
  std::filesystem::remove(fuzz::Folder() + hollin::kErrorLogName, ignored);
  return 0;
}
