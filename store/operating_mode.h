// What the simulator is doing: the value of Corvane3Data::OperatingMode, in
// the order of the Mode menu's items. PreviousOperatingMode holds the mode a
// playback interrupted, or kNone.
#pragma once

#include <cstdint>

namespace operating_mode {

inline constexpr int32_t kSimulation = 0;  // no recording
inline constexpr int32_t kRecording = 1;
inline constexpr int32_t kPlayback = 2;
inline constexpr int32_t kCTC = 3;
inline constexpr int32_t kExternalIO = 4;
inline constexpr int32_t kNone = 5;

}  // namespace operating_mode
