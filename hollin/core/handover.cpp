#include "hollin/core/handover.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace hollin {
namespace {

// Closes the descriptor (and so drops its lock) however the function leaves.
struct FileDescriptor {
  int Fd;
  ~FileDescriptor() {
    if (Fd >= 0) ::close(Fd);
  }
};

bool LockExclusive(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

bool AppendLocked(const std::string& path, const std::string& text) {
  // The reader may rename the file away between our open and our lock, read it and delete it:
  // a batch written then would be lost. So once locked, the file must still be the one at the path.
  for (int attempt = 0; attempt < 100; ++attempt) {
    FileDescriptor file{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)};
    if (file.Fd < 0 || !LockExclusive(file.Fd)) return false;
    struct stat opened {
    }, named{};
    if (::fstat(file.Fd, &opened) != 0) return false;
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev) {
      continue;  // taken away meanwhile: append to the new file instead
    }
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(file.Fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // No half batch stays behind: the reader would take its cut line for a whole one later.
        if (::ftruncate(file.Fd, opened.st_size) != 0) return false;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  return false;
}

}  // namespace hollin
