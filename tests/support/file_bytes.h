// Whole files as bytes, and values put into or read from them at an offset:
// what the file format tests and the fuzz seed maker build their files with.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace file_bytes {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

template <class Value>
void Poke(Bytes& bytes, size_t offset, Value value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template <class Value>
Value Peek(const Bytes& bytes, size_t offset) {
  Value value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

}  // namespace file_bytes
