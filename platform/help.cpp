#include "platform/help.h"

bool OpenHelp(const std::string&, const std::string&) { return false; }
