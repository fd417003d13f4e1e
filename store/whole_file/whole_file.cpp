#include "store/whole_file/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace whole_file {
namespace {

// Room for `size` bytes at the start of `bytes`, and then the `done` of them that were read.
template <class Bytes>
uint8_t* Prepare(Bytes& bytes, std::size_t size) {
  bytes.resize(size);
  return reinterpret_cast<uint8_t*>(bytes.data());
}
uint8_t* Prepare(Buffer& bytes, std::size_t size) { return bytes.Prepare(size); }
template <class Bytes>
void Show(Bytes& bytes, std::size_t done) {
  bytes.resize(done);
}
void Show(Buffer& bytes, std::size_t done) { bytes.Show(done); }

template <class Bytes>
Result ReadInto(int fd, Bytes& bytes, std::size_t limit) {
  bytes.clear();
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Result::CannotOpen;
  const std::size_t size = std::min(static_cast<std::size_t>(info.st_size), limit);
  uint8_t* const room = Prepare(bytes, size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, room + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      bytes.clear();
      return Result::ReadError;
    }
    if (n == 0) break;  // cut shorter meanwhile
    done += static_cast<std::size_t>(n);
  }
  Show(bytes, done);
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

Buffer& Buffer::operator=(Buffer&& other) noexcept {
  bytes_ = std::move(other.bytes_);
  capacity_ = std::exchange(other.capacity_, 0);
  size_ = std::exchange(other.size_, 0);
  return *this;
}

uint8_t* Buffer::Prepare(std::size_t size) {
  size_ = 0;
  if (size > capacity_) {
    // Half as much again as before, so that a file growing by a little each time does not take new room each time.
    const std::size_t grown = std::max(size, capacity_ + capacity_ / 2);
    bytes_.reset();  // the old room goes first: the new one is not filled from it
    bytes_.reset(new uint8_t[grown]);
    capacity_ = grown;
  }
  size_ = size;
  return bytes_.get();
}

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

Result Read(const std::string& path, Buffer& bytes, std::size_t limit) { return ReadPath(path, bytes, limit); }

}  // namespace whole_file
