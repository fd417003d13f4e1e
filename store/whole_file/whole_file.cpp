#include "store/whole_file/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace whole_file {
namespace {

template <class Bytes>
Result ReadInto(int fd, Bytes& bytes, std::size_t limit) {
  bytes.clear();
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Result::CannotOpen;
  const std::size_t size = std::min(static_cast<std::size_t>(info.st_size), limit);
  bytes.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.clear();
      return Result::ReadError;
    }
    if (n == 0) break;  // cut shorter meanwhile
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return Result::Read;
}

template <class Bytes>
Result ReadPath(const std::string& path, Bytes& bytes, std::size_t limit) {
  bytes.clear();
  const int fd = OpenRegular(path);
  if (fd < 0) return Result::CannotOpen;
  const Result result = ReadInto(fd, bytes, limit);
  ::close(fd);
  return result;
}

}  // namespace

int OpenRegular(const std::string& path) {
  // The type is looked at before the open, which could wait for a FIFO's writer; the open itself
  // does not wait either, and what it opened is looked at again, since the name may have changed.
  struct stat named {};
  if (path.empty() || ::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat opened {};
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || flags < 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::FILE* OpenRegularStream(const std::string& path) {
  const int fd = OpenRegular(path);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

bool Readable(const std::string& path) {
  const int fd = OpenRegular(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

Result ReadOpen(int fd, std::string& bytes, std::size_t limit) { return ReadInto(fd, bytes, limit); }

Result Read(const std::string& path, std::string& bytes, std::size_t limit) { return ReadPath(path, bytes, limit); }

Result Read(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit) {
  return ReadPath(path, bytes, limit);
}

}  // namespace whole_file
