// What the track file reader, the old-format reader and the writer share: the
// magic, bounded reads from an open file, and the names made from a track path.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

inline constexpr std::array<int16_t, 4> kTrackMagic = {6354, 13857, 8237, 9835};
inline constexpr int kTrackFileVersion = 37;
inline constexpr int kIconImageLimit = 2000;  // icon images of this size or more are never carried
inline constexpr int kIconNameBytes = 255;
inline constexpr int kCommentsPiece = 2000;

// Reads from an open file; the first short read marks the reader failed, and
// every later read fails too, so a caller checks once at the end of a section.
class TrackFileReader {
 public:
  explicit TrackFileReader(std::FILE* file) : file_(file) {}

  bool Ok() const { return ok_; }
  void Fail() { ok_ = false; }

  bool Read(void* destination, size_t bytes) {
    if (!ok_) return false;
    if (bytes != 0 && std::fread(destination, 1, bytes, file_) != bytes) ok_ = false;
    return ok_;
  }

  template <class Value>
  bool Get(Value& value) {
    static_assert(std::is_trivially_copyable_v<Value>);
    return Read(&value, sizeof value);
  }

  bool Skip(int64_t bytes) {
    uint8_t scratch[4096];
    while (ok_ && bytes > 0) {
      const size_t piece = bytes < static_cast<int64_t>(sizeof scratch) ? static_cast<size_t>(bytes) : sizeof scratch;
      Read(scratch, piece);
      bytes -= static_cast<int64_t>(piece);
    }
    return ok_;
  }

 private:
  std::FILE* file_;
  bool ok_ = true;
};

// A track file's comments go to their own text file, unless one is there
// already; a failed write leaves no cut-off text behind.
void WriteCommentsFile(const std::string& path, const std::string& text);

// The folder part of a path, with its separator ("" when there is none). A path from a file made on
// Windows may separate with '\'.
inline std::string PathFolder(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The file name without folder and without its last extension.
inline std::string PathBaseName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot != 0) name.resize(dot);
  return name;
}

// The file name and extension alone.
inline std::string PathFileName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}
