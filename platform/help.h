// Help by file and keyword. There is no viewer for the old help files on this
// platform, so help is never shown: callers take their not-available path.
#pragma once

#include <string>

// True when the help system could show the file at the keyword (an empty
// keyword: the contents).
bool OpenHelp(const std::string& helpFile, const std::string& keyword);

// A Help button: the program's help file at the keyword when help is
// available; false when it was not shown, and the caller tells the user so.
bool OpenProgramHelp(bool helpAvailable, const std::string& keyword);
