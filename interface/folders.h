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
// Whether the typed folder can take the interface's files; when it cannot
// (or is empty) the refusal message is shown with the stop icon.
bool CheckInterfaceFolder(Corvane3Data& store, std::string_view typed);
// Keeps the folder, with its separator, and the log switch in the channel's options.
void StoreInterfaceFolder(Corvane3Data& store, Channel channel, std::string_view typed, bool logOn);

}  // namespace xfer
