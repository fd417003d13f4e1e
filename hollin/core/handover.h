// Handing a file over between the two programs. A writer appends a whole batch
// with one write under an exclusive lock and closes; a reader renames the file
// away first, then takes the lock before it reads, so it never sees half of a
// batch. A reader finds the other side's file by its exact name, then by a
// name that differs only in letter case.
#pragma once

#include <string>

#include "interface/handover/handover.h"

namespace hollin {

using handover::FindFile;
using handover::StripLineEnd;

// Appends `text` to the file at `path` (created when missing) in one locked write. On failure
// the file keeps its former length and false comes back.
bool AppendLocked(const std::string& path, const std::string& text);

}  // namespace hollin
