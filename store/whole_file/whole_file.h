// Reading a file whole, the one way every reader of the programs takes: only a
// regular file is opened (a folder, a FIFO or a device is refused by its type
// before it could block or run on without end), a file larger than its reader's
// format can be is refused from its size before any of it is read, the read
// stops at the size the file had when it began, and a read error is reported,
// never taken for a short file. A file that grows without a bound by design is
// read line by line in pieces instead (ReadLines).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace whole_file {

// TooLarge: the file is larger than the `largest` its reader allows; nothing of it was read.
enum class Result { Read, CannotOpen, ReadError, TooLarge };

// A descriptor open for reading when `path` names a regular file; -1 otherwise.
int OpenRegular(const std::string& path);
// The same as a stdio stream for reading; null when refused.
std::FILE* OpenRegularStream(const std::string& path);
// `path` names a regular file that opens for reading.
bool Readable(const std::string& path);

// What the open descriptor holds from its start, up to the size it had when the read began; a
// file larger than `largest` is TooLarge, and `bytes` is left empty.
Result ReadOpen(int fd, std::string& bytes, std::size_t largest = SIZE_MAX);

Result Read(const std::string& path, std::string& bytes, std::size_t largest = SIZE_MAX);
Result Read(const std::string& path, std::vector<uint8_t>& bytes, std::size_t largest = SIZE_MAX);

// The first `count` bytes of the file (all of a shorter one), for a reader that looks at a head only.
Result ReadHead(const std::string& path, std::vector<uint8_t>& bytes, std::size_t count);
// The last `count` bytes of the file (all of a shorter one).
Result ReadTail(const std::string& path, std::string& bytes, std::size_t count);

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

Result Read(const std::string& path, Buffer& bytes, std::size_t largest = SIZE_MAX);

// Reads an open file's lines in pieces of a fixed size, from its start up to the size it had when
// the reading began, so that a file of any size is read in a few pieces' worth of memory. Each line
// goes to `line(text, complete)` without its "\n" and a "\r" before it, cut to `maxLine` characters
// (the rest of a longer line is passed over, never held); a last line without "\n" goes to it as
// well, marked not complete. Within a line already cut, the stretches of a sparse file that hold no
// data are passed over unread: they hold no line end. False on a read error; the lines handed over
// before it stand.
bool ReadLines(int fd, std::size_t maxLine, const std::function<void(std::string_view, bool)>& line);

}  // namespace whole_file
