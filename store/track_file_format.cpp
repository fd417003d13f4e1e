#include "store/track_file_format.h"

#include <filesystem>

#include "store/atomic_file.h"

void WriteCommentsFile(const std::string& path, const std::string& text) {
  // Whatever is there already stays; it is not opened, which a FIFO of that name would hold for ever.
  std::error_code error;
  if (std::filesystem::exists(path, error) || error) return;
  ReplaceFile(path, text.data(), text.size());
}
