#include "store/whole_file/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// The size of the regular file open on `fd`, or -1.
off_t RegularSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return info.st_size;
}

// `count` bytes of the file from `from` on, as far as they are there.
template <class Bytes>
Result ReadRange(int fd, Bytes& bytes, off_t from, std::size_t count) {
  uint8_t* const room = Prepare(bytes, count);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, room + done, count - done, from + static_cast<off_t>(done));
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
Result ReadInto(int fd, Bytes& bytes, std::size_t largest) {
  bytes.clear();
  const off_t size = RegularSize(fd);
  if (size < 0) return Result::CannotOpen;
  // Judged from the size alone: no room is taken for a file no reader could accept.
  if (static_cast<uint64_t>(size) > largest) return Result::TooLarge;
  return ReadRange(fd, bytes, 0, static_cast<std::size_t>(size));
}

template <class Bytes>
Result ReadPath(const std::string& path, Bytes& bytes, std::size_t largest) {
  bytes.clear();
  const int fd = OpenRegular(path);
  if (fd < 0) return Result::CannotOpen;
  const Result result = ReadInto(fd, bytes, largest);
  ::close(fd);
  return result;
}

// `count` bytes from the start (`head`) or the end of the file, all of a shorter one.
template <class Bytes>
Result ReadEnd(const std::string& path, Bytes& bytes, std::size_t count, bool head) {
  bytes.clear();
  const int fd = OpenRegular(path);
  if (fd < 0) return Result::CannotOpen;
  const off_t size = RegularSize(fd);
  Result result = Result::CannotOpen;
  if (size >= 0) {
    const std::size_t taken = static_cast<uint64_t>(size) < count ? static_cast<std::size_t>(size) : count;
    result = ReadRange(fd, bytes, head ? 0 : size - static_cast<off_t>(taken), taken);
  }
  ::close(fd);
  return result;
}

// The piece a line reader reads at a time.
constexpr std::size_t kLinePiece = std::size_t{1} << 16;

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

Result ReadOpen(int fd, std::string& bytes, std::size_t largest) { return ReadInto(fd, bytes, largest); }

Result Read(const std::string& path, std::string& bytes, std::size_t largest) { return ReadPath(path, bytes, largest); }

Result Read(const std::string& path, std::vector<uint8_t>& bytes, std::size_t largest) {
  return ReadPath(path, bytes, largest);
}

Result Read(const std::string& path, Buffer& bytes, std::size_t largest) { return ReadPath(path, bytes, largest); }

Result ReadHead(const std::string& path, std::vector<uint8_t>& bytes, std::size_t count) {
  return ReadEnd(path, bytes, count, true);
}

Result ReadTail(const std::string& path, std::string& bytes, std::size_t count) {
  return ReadEnd(path, bytes, count, false);
}

bool ReadLines(int fd, std::size_t maxLine, const std::function<void(std::string_view, bool)>& line) {
  const off_t size = RegularSize(fd);
  if (size < 0) return false;
  // One character more than is kept: a "\r" before the line end is dropped before the cut.
  const std::size_t held = maxLine < SIZE_MAX ? maxLine + 1 : maxLine;
  const auto handOver = [&](std::string& text, bool complete) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() > maxLine) text.resize(maxLine);
    line(text, complete);
    text.clear();
  };
  std::vector<char> piece(kLinePiece);
  std::string text;
  bool open = false;  // some of a line without its end has been read
  off_t at = 0;
  while (at < size) {
    if (text.size() >= held) {
      // Only the line end matters from here on, and a stretch without data holds none.
      const off_t data = ::lseek(fd, at, SEEK_DATA);
      if (data < 0 && errno == ENXIO) break;  // no data up to the end
      if (data > at) at = std::min(data, size);
      if (at >= size) break;
    }
    const std::size_t want = static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(kLinePiece), size - at));
    const ssize_t n = ::pread(fd, piece.data(), want, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;  // cut shorter meanwhile
    at += n;
    const char* from = piece.data();
    const char* const end = from + n;
    while (from < end) {
      const void* found = std::memchr(from, '\n', static_cast<std::size_t>(end - from));
      const char* const stop = found ? static_cast<const char*>(found) : end;
      const std::size_t room = held - std::min(held, text.size());
      text.append(from, std::min(room, static_cast<std::size_t>(stop - from)));
      open = true;
      if (!found) break;
      handOver(text, true);
      open = false;
      from = stop + 1;
    }
  }
  if (open) handOver(text, false);
  return true;
}

}  // namespace whole_file
