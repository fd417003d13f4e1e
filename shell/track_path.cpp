#include "shell/track_path.h"

#include <cctype>

namespace {

// Files made on the old platform may name folders with '\'.
size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool OnFloppyDrive(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
  return drive == 'a' || drive == 'b';
}

}  // namespace

std::string ShortTrackFileName(const std::string& path) {
  constexpr size_t kShown = 29;
  if (path.size() < 31) return path;
  const size_t separator = LastSeparator(path);
  const std::string tail = separator == std::string::npos ? path : path.substr(separator);
  const size_t headChars = tail.size() >= kShown ? 0 : kShown - tail.size();
  std::string shown = path.substr(0, headChars) + "..." + tail;
  return shown.substr(0, kShown);
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += arguments[i];
  }
  return joined;
}

std::string ResolveTrackPath(const std::string& trackPath, const std::string& programFolder,
                             const std::string& sampleName) {
  if (OnFloppyDrive(trackPath)) return programFolder + sampleName;
  if (LastSeparator(trackPath) == std::string::npos) return programFolder + trackPath;
  return trackPath;
}
