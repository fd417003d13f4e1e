// The field side's answer to the simulator's control file: take the file by
// renaming it, show and log every line, and answer switch and signal requests
// as if the field had carried them out.
#pragma once

#include <optional>
#include <string>
#include <vector>

class THollinData;

namespace hollin {

inline constexpr std::size_t kMaxReadLine = 1999;     // characters a read line keeps
inline constexpr std::size_t kMaxControlLine = 399;   // a longer line is no simulator line
inline constexpr std::size_t kMaxControlField = 99;   // nor is one with a longer field
inline constexpr std::size_t kMaxControlFields = 10;  // fields past the tenth are not looked at

// The fields of a control line split at its commas (at most ten), or nothing when the line or
// one of its fields is longer than a simulator line can be.
std::optional<std::vector<std::string>> SplitControlLine(const std::string& line);

// Takes the control file when one waits in the test file folder and handles its lines;
// true when a file was processed.
bool ReadControls(THollinData& data);
// One control line: a repeat of the last sequence number and malformed lines are dropped.
void ParseControl(THollinData& data, const std::string& line);
void RespondSwitch(THollinData& data, const std::string& name, const std::string& value);
void RespondSignal(THollinData& data, const std::string& name, const std::string& value);

// Queues `line` as the next indication: the own sequence number moves on and is saved.
void SendIndication(THollinData& data, const std::string& line);

std::string ToLower(std::string text);

}  // namespace hollin
