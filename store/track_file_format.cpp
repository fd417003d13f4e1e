#include "store/track_file_format.h"

#include "store/atomic_file.h"

void WriteCommentsFile(const std::string& path, const std::string& text) {
  if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
    std::fclose(existing);
    return;
  }
  ReplaceFile(path, text.data(), text.size());
}
