// Handing a file over between the two programs. A writer appends a whole batch
// with one write under an exclusive lock and closes; a reader renames the file
// away first, then takes the lock before it reads, so it never sees half of a
// batch. A reader finds the other side's file by its exact name, then by a
// name that differs only in letter case.
#pragma once

#include <string>
#include <vector>

namespace hollin {

// The path of the file named `name` in `folder` (ending with '/'): the exact name when it
// exists, else the first entry that matches without regard to case; empty when none does.
std::string FindFile(const std::string& folder, const std::string& name);

// Appends `text` to the file at `path` (created when missing) in one locked write. On failure
// the file keeps its former length and false comes back.
bool AppendLocked(const std::string& path, const std::string& text);

// Reads the file at `path` under the lock: its complete lines, each without its "\n" and a
// "\r" before it, and cut to maxLine characters. A last line without "\n" does not count;
// `partial` says whether there was one. False when the file could not be opened.
bool ReadLinesLocked(const std::string& path, std::size_t maxLine, std::vector<std::string>& lines,
                     bool* partial = nullptr);

// A line from a text file as both programs take it: a trailing "\n", then a "\r", removed.
std::string StripLineEnd(std::string line);

}  // namespace hollin
