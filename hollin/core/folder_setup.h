// The folder set-up: the shared folder where the two programs exchange their
// files, proved writable before it is kept, and the polling interval.
#pragma once

#include <optional>
#include <string>

class THollinData;

namespace hollin {

inline constexpr std::size_t kMaxFolderText = 99;
inline constexpr std::size_t kMaxIntervalText = 4;

inline constexpr char kCannotWriteFolder[] =
    "We cannot write to a file in the folder you specified.  Make sure it exists.  Please check and re-enter.";

// Keeps the folder (with a '/' added at its end) and the interval; nothing when they were
// stored, else the message for the user (nothing is stored then). An empty or zero interval
// polls as often as it can, every tenth of a second. A text given as nullopt was left as
// shown: the stored value stays (the folder in use is still proved writable).
std::optional<std::string> StoreFolderSetup(THollinData& data, const std::optional<std::string>& folderText,
                                            const std::optional<std::string>& intervalText);

}  // namespace hollin
