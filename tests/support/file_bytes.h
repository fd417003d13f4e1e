// Whole files as bytes, and values put into or read from them at an offset:
// what the file format tests and the fuzz seed maker build their files with.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
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

// A path of exactly `chars` characters below `folder` that ends in `name`, its folders made: what a field
// holding the longest path it can is tested with.
inline std::string LongPath(const std::string& folder, size_t chars, const std::string& name) {
  constexpr size_t kPart = 60;
  std::string path = folder;
  while (path.size() + 1 + kPart + 1 + name.size() <= chars) path += "/" + std::string(kPart, 'd');
  if (path.size() + 1 + name.size() < chars) path += "/" + std::string(chars - path.size() - 2 - name.size(), 'e');
  std::filesystem::create_directories(path);
  return path + "/" + name;
}

}  // namespace file_bytes
