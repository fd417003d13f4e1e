// What the loaders and writers of track files, saved simulations and playback
// recordings answer. The values are those the File menu, the shell and the
// tests have always compared against.
#pragma once

namespace file_result {

inline constexpr int kDone = 0;               // loaded, read or written
inline constexpr int kDamaged = 1;            // not a file of that kind, or damaged
inline constexpr int kCannotOpen = 3;         // cannot be opened, written, or is newer than this program
inline constexpr int kOtherTrackVersion = 5;  // a saved simulation made from another version of its track file
inline constexpr int kRefusedByChecks = 6;    // the territory fails the checks made before a track file is written
inline constexpr int kPlaybackEnded = 7;      // the recording has ended and is closed
inline constexpr int kPlaybackMore = 8;       // records applied, more remain

}  // namespace file_result
