// The private folder of a fuzz run: made on first use, removed when the run
// ends, and on a memory file system where there is one, since the targets write
// and rename files for every input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

// The folder, made on first use and removed when the run ends. It is never freed: the removal at exit
// runs after the destructors of function statics.
inline const std::string& Folder() {
  static const std::string* folder = [] {
    std::error_code error;
    const std::filesystem::path root =
        std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (root / "corvane-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    auto* made = new std::string(pattern + "/");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*folder, ignored);
    });
    return made;
  }();
  return *folder;
}

inline std::string WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = Folder() + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace fuzz
