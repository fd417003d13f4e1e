// Track file paths at start-up and in the status bar.
#pragma once

#include <string>
#include <vector>

// The status bar's form of a track path: whole below 31 characters; otherwise
// the head cut so that "..." and the file part (from the last separator on,
// the separator included) fit, and the whole cut to 29 characters. A path with
// no separator counts as all file part.
std::string ShortTrackFileName(const std::string& path);

// The arguments after the program's name joined by single blanks, so that a
// path holding blanks may be given unquoted; empty when there are none.
std::string JoinArguments(const std::vector<std::string>& arguments);

// The track path start-up loads: a bare file name is looked for in the program
// folder; a name remembered on a floppy drive ("A:" or "B:") becomes the sample
// territory in the program folder. Anything else stands. The folder ends in '/'.
std::string ResolveTrackPath(const std::string& trackPath, const std::string& programFolder,
                             const std::string& sampleName);
