#include "hollin/core/folder_setup.h"

#include <cstdio>
#include <cstring>

#include "hollin/core/hollin_data.h"

namespace hollin {

std::optional<std::string> StoreFolderSetup(THollinData& data, const std::optional<std::string>& folderText,
                                            const std::optional<std::string>& intervalText) {
  // An empty folder would mean the current folder of whoever started the program: refused.
  if (folderText && folderText->empty()) return std::string(kCannotWriteFolder);
  const std::string folder = folderText ? WithTrailingSlash(*folderText) : data.TestFolder();
  HollinOptions options = data.GetOptions();
  if (folderText && folder.size() >= sizeof options.TestFileFolder) return std::string(kCannotWriteFolder);

  const std::string probe = folder + kFolderProbeName;
  std::FILE* file = std::fopen(probe.c_str(), "w");
  if (!file) return std::string(kCannotWriteFolder);
  std::fclose(file);
  std::remove(probe.c_str());

  if (folderText) {
    std::memset(options.TestFileFolder, 0, sizeof options.TestFileFolder);
    std::memcpy(options.TestFileFolder, folder.data(), folder.size());
  }
  if (intervalText) {
    int interval = 0;
    for (char c : intervalText->substr(0, kMaxIntervalText)) {
      if (c < '0' || c > '9') break;
      interval = interval * 10 + (c - '0');
    }
    options.Interval = interval < 1 ? 1 : interval;
  }
  data.SetOptions(options);
  return std::nullopt;
}

}  // namespace hollin
