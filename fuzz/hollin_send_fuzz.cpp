// libFuzzer target for Hollin's Send File input: every input is sent as the
// prepared file of field events, line by line, to the indications file.
#include <filesystem>

#include "fuzz/fuzz_folder.h"
#include "hollin/core/hollin_data.h"
#include "hollin/core/send_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static THollinData hollin(fuzz::Folder());
  hollin.SetDefaultOptions();
  hollin::SendFile(hollin, fuzz::WriteFile("events.txt", data, size));
  std::error_code ignored;
  std::filesystem::remove(fuzz::Folder() + hollin::kIndicationFileName, ignored);
  std::filesystem::remove(fuzz::Folder() + hollin::kLogFileName, ignored);
  std::filesystem::remove(fuzz::Folder() + hollin::kErrorLogName, ignored);
  return 0;
}
