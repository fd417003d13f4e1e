// Choosing the folder of a message interface: accepted only when a file can
// be written there, and kept with its trailing "/".
#pragma once

#include <string>
#include <string_view>

#include "interface/xfer_msg.h"

class Corvane3Data;

namespace xfer {

inline constexpr int kFolderChars = 98;  // typed; the added "/" and the terminator fill the 100-byte field
inline constexpr const char* kFolderRefused =
    "We cannot write to a file in the folder you specified.  Make sure it exists.  Please check and re-enter.";

// The folder as it is kept: with one trailing "/" added when it has none.
std::string FolderWithSeparator(std::string_view typed);
// Writes and removes the probe file in the folder; false when it cannot be written.
bool FolderIsWritable(const std::string& folder);
// The OK of a folder dialog: proves the typed folder writable and stores it with
// the log switch in the channel's options. A folder that is empty or cannot be
// written gets the refusal message (stop icon) and nothing is stored.
bool AssignInterfaceFolder(Corvane3Data& store, Channel channel, std::string_view typed, bool logOn);

}  // namespace xfer
