// Taking a file over from the other program. A writer appends a whole batch
// with one write under an exclusive lock and closes. A reader takes the lock
// on the file first, then renames it away, reads it and deletes it before it
// lets the lock go: it never sees half of a batch, and a writer that was
// waiting at the lock finds the file gone and writes to a new one. A reader
// finds the other side's file by its exact name, then by a name that differs
// only in letter case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace handover {

// The path of the file named `name` in `folder` (ending with '/'): the exact name when it
// exists, else the first entry that matches without regard to case; empty when none does.
std::string FindFile(const std::string& folder, const std::string& name);

// A line from a text file as both programs take it: a trailing "\n", then a "\r", removed.
std::string StripLineEnd(std::string line);

enum class ReadResult { Read, CannotOpen, Locked };

// Takes the file `name` of `folder` over: its complete lines, each without its line end and cut
// to maxLine characters, and a last line without "\n" in `tail`. Any file left under `takenName`
// by an interrupted read is deleted unread, and the file is renamed to `takenName` for the read
// and deleted after it. `wait` waits for a writer's lock; without it a file its writer holds
// gives Locked and stays where it is for the next poll. CannotOpen when there is nothing to take
// (or only something that is not a regular file).
ReadResult TakeFile(const std::string& folder, const std::string& name, const std::string& takenName,
                    std::size_t maxLine, bool wait, std::vector<std::string>& lines, std::string& tail);

// Appends `text` (whole lines, each ending in "\n") to the file at `path`, creating it, with one
// write under an exclusive lock. `wait` waits for the lock; without it a file the other program
// holds gives false at once, to be tried again later. A file taken away while this waited is left
// to its reader and the new one is written. False, with the file as it was, when the file cannot
// be opened or the write fails (a partial write is cut off again).
bool AppendLocked(const std::string& path, std::string_view text, bool wait);

}  // namespace handover
