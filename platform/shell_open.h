// Asking the desktop to "open" a document, a folder or a web address with the
// program the user has for it.
#pragma once

#include <string>

enum class ShellOpenResult { Opened, FileNotFound, NoApplication };

// A local path is checked first (FileNotFound); a URL with a scheme goes to the desktop as it is.
ShellOpenResult ShellOpen(const std::string& pathOrUrl);
