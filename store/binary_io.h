// The one binary writer and bounded reader every file format uses. A file is
// built whole in memory and handed to the atomic file in one piece; a file is
// read from its bytes in memory, and a read past their end fails and leaves
// its destination alone.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

class ByteWriter {
 public:
  void Write(const void* data, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + bytes);
  }
  template <class Value>
  void Put(const Value& value) {
    static_assert(std::is_trivially_copyable_v<Value>);
    Write(&value, sizeof value);
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// The first short read marks the reader failed and every later read fails too,
// so a caller may check once at the end of a section.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

  bool Ok() const { return ok_; }
  bool Read(void* destination, size_t bytes) {
    if (!ok_ || bytes > size_ - at_) return ok_ = false;
    if (bytes != 0) std::memcpy(destination, data_ + at_, bytes);
    at_ += bytes;
    return true;
  }
  template <class Value>
  bool Get(Value& value) {
    static_assert(std::is_trivially_copyable_v<Value>);
    return Read(&value, sizeof value);
  }
  // The next `bytes` bytes in place, or null (and the reader failed) when fewer are left.
  const uint8_t* Take(size_t bytes) {
    if (!ok_ || bytes > size_ - at_) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* here = data_ + at_;
    at_ += bytes;
    return here;
  }
  // Passes over `bytes` bytes; fewer left fails the reader. Nothing to pass over (0 or less) succeeds.
  bool Skip(int64_t bytes) {
    if (bytes <= 0) return ok_;
    if (static_cast<uint64_t>(bytes) > size_ - at_) return ok_ = false;
    at_ += static_cast<size_t>(bytes);
    return ok_;
  }
  size_t Left() const { return size_ - at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

// The content of a regular file; false when it is no regular file, cannot be opened, cannot be read to
// its end or is larger than `largest` (judged from its size, before any of it is read).
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t largest = SIZE_MAX);
