#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Fills the open temporary, pushes it to disk and renames it over `path`; the temporary is gone afterwards
// either way.
bool WriteAndRename(int descriptor, const std::string& temporary, const std::string& path, const void* data,
                    size_t size) {
  // The permissions a newly created file would have, not the private ones of mkstemp or those of a file
  // left at the temporary's name.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
  std::FILE* file = fdopen(descriptor, "wb");
  if (!file) {
    close(descriptor);
    std::remove(temporary.c_str());
    return false;
  }
  const bool written =
      (size == 0 || std::fwrite(data, 1, size, file) == size) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  const bool closed = std::fclose(file) == 0;
  if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace

bool ReplaceFile(const std::string& path, const void* data, size_t size) {
  std::string temporary = path + ".XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) return false;
  return WriteAndRename(descriptor, temporary, path, data, size);
}

bool ReplaceFile(const std::string& path, const std::string& temporary, const void* data, size_t size) {
  // O_NOFOLLOW: a link at the temporary's name is not followed to write elsewhere.
  const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (descriptor < 0) return false;
  return WriteAndRename(descriptor, temporary, path, data, size);
}
