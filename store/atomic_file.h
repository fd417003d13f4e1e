// Replacing a file so that a failed save never costs the old one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes `bytes` to a temporary file of a unique name beside `path`, pushes it
// to disk and renames it over `path`. False when any step fails; then `path`
// is as it was and no temporary is left behind. The new file gets the
// permissions a newly created file would have.
bool ReplaceFile(const std::string& path, const void* data, size_t size);
inline bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ReplaceFile(path, bytes.data(), bytes.size());
}
