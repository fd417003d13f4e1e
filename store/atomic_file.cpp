#include "store/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

bool ReplaceFile(const std::string& path, const void* data, size_t size) {
  std::string temporary = path + ".XXXXXX";
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) return false;
  // The permissions a newly created file would have, not the private ones of mkstemp.
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
