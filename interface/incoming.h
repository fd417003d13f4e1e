// The External I/O command file: taken over by rename on every tick, each
// line logged, split, checked and carried out as the dispatcher's own request
// would be. A refused line is answered with one CMDERROR line naming why.
#pragma once

#include <string>
#include <string_view>

class Engine;
class Corvane3Data;

namespace xfer {

inline constexpr std::size_t kMaxInLine = 399;   // longer lines are refused whole
inline constexpr std::size_t kMaxInFields = 10;  // and so are lines with more fields
inline constexpr std::size_t kMaxInField = 99;   // or with a longer field

// Reads the command file when External I/O mode is on, and sends the replies.
void EIOReadXferInFile(Engine& engine);
// Checks and carries out one received line.
void EIOProcessXferInMsg(Engine& engine, const std::string& line);
// Queues "CMDERROR,nnnn,"<text>","<line>"" with the channel's next number.
void EIOBuildErrorMsg(Corvane3Data& store, std::string_view line, std::string_view text);
// Queues "TIME,nnnn,dd-hh:mm:ss".
void EIOBuildTimeMsg(Corvane3Data& store);

// The device of the table named `name` (any letter case), or "switch<n>" / "signal<n>" /
// "block<n>" for an unnamed one in use; -1 when none.
enum class DeviceTable { Block, Switch, Signal };
int FindDevice(const Corvane3Data& store, DeviceTable table, const std::string& name);

}  // namespace xfer
