#include "interface/interface_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace xfer {

namespace {

// Closes the descriptor when the scope ends.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The file at `path` is still the one the descriptor holds (not renamed away meanwhile).
bool StillAtPath(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  if (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool AppendToFile(const std::string& path, std::string_view text) {
  if (path.empty()) return false;
  // A reader may rename the file between the open and the lock; then the next round opens the new one.
  for (int attempt = 0; attempt < 3; ++attempt) {
    FileHandle file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0) return false;
    // Never wait for the other program: a locked file is tried again on a later flush.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return false;
    if (!StillAtPath(file.get(), path)) continue;
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) return false;
    if (WriteAll(file.get(), text)) return true;
    // Half a batch would be read as lines that were never meant: take it back.
    if (::ftruncate(file.get(), before.st_size) != 0) return false;
    return false;
  }
  return false;
}

}  // namespace xfer
