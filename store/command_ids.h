// The menu command ids the core itself names: the Mode items it checks and
// the place of the recent track files in the File menu. The windows' resource
// ids carry the same numbers; a test holds the two equal.
#pragma once

namespace command_id {

inline constexpr int kModeSimulation = 11866;  // simulation without a recording
inline constexpr int kModeRecording = 11862;   // simulation with a recording
inline constexpr int kModePlayback = 11863;
inline constexpr int kModeCTC = 11864;
inline constexpr int kModeExternalIO = 11865;

inline constexpr int kOldFileFirst = 2000;  // recent track files, inserted ahead of Exit
inline constexpr int kOldFileCount = 10;
inline constexpr int kExit = 125;

}  // namespace command_id
