// Taking a file over from the other program. A writer appends a whole batch
// with one write under an exclusive lock and closes; a reader renames the file
// away first, then takes the lock before it reads, so it never sees half of a
// batch. A reader finds the other side's file by its exact name, then by a
// name that differs only in letter case.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace handover {

// The path of the file named `name` in `folder` (ending with '/'): the exact name when it
// exists, else the first entry that matches without regard to case; empty when none does.
std::string FindFile(const std::string& folder, const std::string& name);

// A line from a text file as both programs take it: a trailing "\n", then a "\r", removed.
std::string StripLineEnd(std::string line);

enum class ReadResult { Read, CannotOpen, Locked };

// Reads the file at `path` under its lock: its complete lines, each without its line end and cut
// to maxLine characters. A last line without "\n" is returned in `tail` (line end stripped).
// `wait` waits for a writer's lock; without it a locked file gives Locked and stays as it is.
ReadResult ReadLinesLocked(const std::string& path, std::size_t maxLine, bool wait, std::vector<std::string>& lines,
                           std::string& tail);

// Takes the file `name` of `folder` over by renaming it to `takenName`. Without `wait`, a file
// left under `takenName` by an earlier poll (its writer still held the lock) is read first.
// On Read the lines are returned and the taken file is deleted; a taken file still locked
// stays for the next poll. CannotOpen when there is nothing to take.
ReadResult TakeFile(const std::string& folder, const std::string& name, const std::string& takenName,
                    std::size_t maxLine, bool wait, std::vector<std::string>& lines, std::string& tail);

}  // namespace handover
