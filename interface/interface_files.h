// Appending to a file that another program takes away by renaming it.
#pragma once

#include <string>
#include <string_view>

namespace xfer {

// Appends `text` (whole lines, each ending in "\n") to the file at `path`,
// creating it, with one write under an exclusive lock. A reader renames the
// file and then takes the lock, so it never sees half a batch; a file renamed
// away while this waited is left to its reader and the new one is opened.
// False, with the file as it was, when the file cannot be opened, is locked by
// another program, or the write fails (the partial write is cut off again).
bool AppendToFile(const std::string& path, std::string_view text);

}  // namespace xfer
