// The one definition of the interface files and of the words, stamps and
// sequence numbers of the message lines (XferMsg) that the simulator writes.
// Everything here is a byte layout an outside program reads: keep the texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/records.h"
#include "store/status_codes.h"

class Corvane3Data;

namespace xfer {

// The interface files, each in its channel's folder.
inline constexpr const char* kCTCControlFile = "cv3ctccontrols.txt";        // CTC folder, written here
inline constexpr const char* kCTCIndicationFile = "CV3CTCindications.txt";  // CTC folder, read here
inline constexpr const char* kEIOCommandFile = "CV3commands.txt";           // External I/O folder, read here
inline constexpr const char* kEIOIndicationFile = "cv3indications.txt";     // External I/O folder, written here
// A reader takes its file over by renaming it to these.
inline constexpr const char* kCTCIndicationTaken = "CV3CTCindications.tmp";
inline constexpr const char* kEIOCommandTaken = "CV3commands.tmp";
// Both logs live in the External I/O folder, and so do their trimming copies.
inline constexpr const char* kCTCLogFile = "cv3ctclog.txt";
inline constexpr const char* kEIOLogFile = "cv3eiolog.txt";
inline constexpr const char* kCTCLogCopy = "cv3ctclog.tmp";
inline constexpr const char* kEIOLogCopy = "cv3eiolog.tmp";
// Written and removed at once to prove a chosen folder writable.
inline constexpr const char* kFolderProbeFile = "cv3foldertest.tmp";

// Device types of the builders: each channel numbers them its own way.
inline constexpr int kEIOBlock = 1;
inline constexpr int kEIOSwitch = 2;
inline constexpr int kEIOSignal = 3;
inline constexpr int kCTCSwitch = 1;
inline constexpr int kCTCSignal = 2;
inline constexpr int kCTCBlock = 7;

// Sequence numbers run 0000 to 9999 and start again at 0000.
inline constexpr int32_t kSequenceLimit = 10000;

// The two message channels.
enum class Channel { CTCControl, ExternalIO };

// A file of a folder as the options keep it (with its trailing "/"); a folder
// without one still gets the separator. An empty folder gives an empty path:
// no folder has been chosen.
std::string FolderPath(std::string_view folder, std::string_view name);
// The channel's folder from the option record.
std::string ChannelFolder(const Corvane3Data& store, Channel channel);
// The External I/O folder, where both logs are kept.
std::string LogFolder(const Corvane3Data& store);

// The number a line of the channel takes; the next one moves on and wraps
// after 9999. A number outside 0-9999 (a damaged option file) starts at 0.
int32_t TakeSequence(int32_t& next);

// "UNOCCUPIED", "OCCUPIEDLEFT", "OCCUPIEDRIGHT", "CLEAREDRIGHT", "CLEAREDLEFT" or "UNKNOWNSTATUS".
const char* OccupancyWord(int code);
inline bool IsOccupiedCode(int code) { return occupancy::IsOccupied(code); }
inline bool IsClearedCode(int code) { return occupancy::IsCleared(code); }
// An External I/O switch: "NORMAL"/"REVERSE" then "FAILED" or "ERROR", or "UNKNOWNPOSITION".
std::string SwitchPositionWord(const SwitchStatus& status);
// An External I/O signal: "CLEARLEFT"/"CLEARRIGHT"/"STOP" then "FLEET", then "FAILED" or "ERROR";
// or "UNKNOWNSTATUS".
std::string SignalWord(const SignalStatus& status);

// The device's stored name, or "BLOCK%04d", "SWITCH%04d", "SIGNAL%04d" when it has none.
std::string BlockName(const Corvane3Data& store, int index);
std::string SwitchName(const Corvane3Data& store, int index);
std::string SignalName(const Corvane3Data& store, int index);

// The simulation clock as "%02d-%02d:%02d:%02d" (day count, hours, minutes,
// seconds); "00-00:00:00" while the clock has not started.
std::string SimulationStamp(int32_t clock);
// The wall-clock local time as "%02d:%02d:%02d".
std::string WallClockStamp();

}  // namespace xfer
