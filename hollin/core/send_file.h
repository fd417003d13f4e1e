// Sending a prepared file of field events: each line "type,name,value[,extra]"
// goes to the simulator as an indication with the own sequence number and the
// time of the send.
#pragma once

#include <optional>
#include <string>

class THollinData;

namespace hollin {

inline constexpr std::size_t kMaxSendLine = 1999;  // characters a line of the send file keeps
inline constexpr std::size_t kMaxSendFileName = 100;

inline constexpr char kCannotReadSendFile[] =
    "We cannot read the file you specified.  Make sure it exists.  Please check and re-enter.";

// The indication for one line of a send file, or nothing for a line with fewer than two commas.
std::optional<std::string> BuildSendLine(const std::string& line, int sequence, const std::string& time);

// Sends every line of the file as it is read and remembers it as the file to send; nothing when it
// worked, else the message for the user: nothing is stored then, and nothing sent unless a read
// error came part way.
std::optional<std::string> SendFile(THollinData& data, const std::string& path);

}  // namespace hollin
