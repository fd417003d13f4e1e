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

// The same through a temporary of a known name (beside `path`, on its file
// system): a file left there before is overwritten; anything else standing
// there (a folder) makes the replace fail and is left alone.
bool ReplaceFile(const std::string& path, const std::string& temporary, const void* data, size_t size);
