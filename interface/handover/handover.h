// Taking a file over from the other program. A writer appends a whole batch
// with one write under an exclusive lock and closes. A reader takes the lock
// on the file first, then renames it away, reads it and deletes it before it
// lets the lock go: it never sees half of a batch, and a writer that was
// waiting at the lock finds the file gone and writes to a new one. A reader
// finds the other side's file by its exact name, then by a name that differs
// only in letter case.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace handover {

// The path of the file named `name` in `folder` (ending with '/'): the exact name when it
// exists, else the first entry that matches without regard to case; empty when none does.
std::string FindFile(const std::string& folder, const std::string& name);

// A line from a text file as both programs take it: a trailing "\n", then a "\r", removed.
std::string StripLineEnd(std::string line);

enum class ReadResult { Read, CannotOpen, Locked };

// A line of a taken file: its text without the line end, and whether a "\n" ended it (only the
// last line of a file can lack one).
using LineHandler = std::function<void(const std::string& line, bool complete)>;

// Takes the file `name` of `folder` over and hands its lines to `line` one by one as they are
// read, each cut to maxLine characters, so that a file of any size is taken in a few pieces'
// worth of memory. Any file left under `takenName` by an interrupted read is deleted unread, and
// the file is renamed to `takenName` for the read and deleted after it. `wait` waits for a
// writer's lock; without it a file its writer holds gives Locked and stays where it is for the
// next poll. CannotOpen when there is nothing to take (or only something that is not a regular
// file).
ReadResult TakeFile(const std::string& folder, const std::string& name, const std::string& takenName,
                    std::size_t maxLine, bool wait, const LineHandler& line);

// Appends `text` (whole lines, each ending in "\n") to the file at `path`, creating it, with one
// write under an exclusive lock. `wait` waits for the lock; without it a file the other program
// holds gives false at once, to be tried again later. A file taken away while this waited is left
// to its reader and the new one is written. False, with the file as it was, when the file cannot
// be opened or the write fails (a partial write is cut off again).
bool AppendLocked(const std::string& path, std::string_view text, bool wait);

}  // namespace handover
