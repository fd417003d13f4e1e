#include "store/binary_io.h"

#include <algorithm>
#include <cstdio>

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes.clear();
  uint8_t piece[65536];
  size_t n;
  while (bytes.size() < limit && (n = std::fread(piece, 1, std::min(sizeof piece, limit - bytes.size()), file)) > 0)
    bytes.insert(bytes.end(), piece, piece + n);
  std::fclose(file);
  return true;
}
