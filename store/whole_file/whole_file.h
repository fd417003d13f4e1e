// Reading a file whole, the one way every reader of the programs takes: only a
// regular file is opened (a folder, a FIFO or a device is refused by its type
// before it could block or run on without end), the read stops at the size the
// file had when it began, and a read error is reported, never taken for a short
// file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace whole_file {

enum class Result { Read, CannotOpen, ReadError };

// A descriptor open for reading when `path` names a regular file; -1 otherwise.
int OpenRegular(const std::string& path);
// The same as a stdio stream for reading; null when refused.
std::FILE* OpenRegularStream(const std::string& path);
// `path` names a regular file that opens for reading.
bool Readable(const std::string& path);

// What the open descriptor holds from its start: at most the size it had when the read began,
// and at most `limit` bytes.
Result ReadOpen(int fd, std::string& bytes, std::size_t limit = SIZE_MAX);

Result Read(const std::string& path, std::string& bytes, std::size_t limit = SIZE_MAX);
Result Read(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit = SIZE_MAX);

// A read buffer that is kept from one read to the next: it only grows and is never cleared, so that
// reading file after file of about one size allocates nothing and touches no byte twice. It shows the
// bytes of its last read and nothing else: after a shorter, a failed or a refused read no byte of an
// earlier file is in view.
class Buffer {
 public:
  Buffer() = default;
  Buffer(Buffer&& other) noexcept { *this = std::move(other); }
  Buffer& operator=(Buffer&& other) noexcept;

  const uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }

  // Empties the view; the storage stays.
  void clear() { size_ = 0; }
  // Room for `size` bytes in view, their content unspecified: growing drops what was held.
  uint8_t* Prepare(std::size_t size);
  // Shows the first `size` bytes of the prepared room (at most what was prepared).
  void Show(std::size_t size) { size_ = size < size_ ? size : size_; }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

Result Read(const std::string& path, Buffer& bytes, std::size_t limit = SIZE_MAX);

}  // namespace whole_file
