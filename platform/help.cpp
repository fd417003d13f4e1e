#include "platform/help.h"

#include "resources/strings.h"

bool OpenHelp(const std::string&, const std::string&) { return false; }

bool OpenProgramHelp(bool helpAvailable, const std::string& keyword) {
  return helpAvailable && OpenHelp(res::kHelpFile, keyword);
}
