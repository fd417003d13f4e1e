// What the track file reader, the old-format reader and the writer share: the
// magic, the limits and the names made from a track path. The readers read
// the file's bytes through the shared bounded ByteReader (binary_io.h).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

inline constexpr std::array<int16_t, 4> kTrackMagic = {6354, 13857, 8237, 9835};
inline constexpr int kTrackFileVersion = 37;
inline constexpr int kIconImageLimit = 2000;  // icon images of this size or more are never carried
inline constexpr int kIconNameBytes = 255;

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
