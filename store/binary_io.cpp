#include "store/binary_io.h"

#include "store/whole_file/whole_file.h"

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t largest) {
  return whole_file::Read(path, bytes, largest) == whole_file::Result::Read;
}
