// The interface logs: every line a channel reads or writes, with the date and
// time, while the channel's log flag is set. A log that grows past 1,000,000
// bytes is cut back to its newest whole lines within 800,000 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Corvane3Data;

namespace xfer {

inline constexpr int kLogOutput = 1;  // the simulator sent the line; any other direction: it received it
inline constexpr std::uintmax_t kLogTrimAbove = 1000000;
inline constexpr std::uintmax_t kLogKeep = 800000;

// Appends "<Output|Input > MM/DD/YYYY HH:MM:SS <line>\n" to the channel's log;
// nothing when its flag is off. Failures are silent: the exchange goes on.
void WriteEIOLog(Corvane3Data& store, std::string_view line, int direction);
void WriteCTCLog(Corvane3Data& store, std::string_view line, int direction);

// The log line of one message, stamped with the wall clock.
std::string LogLine(std::string_view line, int direction);

// Cuts the log back when it is over kLogTrimAbove bytes: its newest whole
// lines totalling at most kLogKeep bytes are written to `copyPath`, which is
// then renamed over the log, as every save replaces its file. A failure
// leaves the log as it was.
void TrimLog(const std::string& logPath, const std::string& copyPath);

}  // namespace xfer
