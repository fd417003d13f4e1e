// Where the alert settings' wave files are looked for.
#pragma once

#include <string>

// A bare file name (the defaults are such) is a sound shipped in the program folder; a name with a
// folder stands as it is.
std::string WaveFilePath(const std::string& programFolder, const std::string& name);
