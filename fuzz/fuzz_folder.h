// The private folder of a fuzz run: made on first use, removed when the run
// ends, and on a memory file system where there is one, since the targets write
// and rename files for every input.
#pragma once

#include <fcntl.h>
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

// Writes over the file in place and then cuts it to the input's length: emptying it first would make the
// memory file system free its pages and hand out fresh ones for every input.
inline std::string WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = Folder() + name;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) std::abort();
  ::close(fd);
  return path;
}

}  // namespace fuzz
