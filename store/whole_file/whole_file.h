// Reading a file whole, the one way every reader of the programs takes: only a
// regular file is opened (a folder, a FIFO or a device is refused by its type
// before it could block or run on without end), the read stops at the size the
// file had when it began, and a read error is reported, never taken for a short
// file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace whole_file {

enum class Result { Read, CannotOpen, ReadError };

// A descriptor open for reading when `path` names a regular file; -1 otherwise.
int OpenRegular(const std::string& path);
// The same as a stdio stream for reading; null when refused.
std::FILE* OpenRegularStream(const std::string& path);
// `path` names a regular file that opens for reading.
bool Readable(const std::string& path);

// What the open descriptor holds from its start: at most the size it had when the read began,
// and at most `limit` bytes.
Result ReadOpen(int fd, std::string& bytes, std::size_t limit = SIZE_MAX);

Result Read(const std::string& path, std::string& bytes, std::size_t limit = SIZE_MAX);
Result Read(const std::string& path, std::vector<uint8_t>& bytes, std::size_t limit = SIZE_MAX);

}  // namespace whole_file
