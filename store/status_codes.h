// The status codes of the running territory: what a block, switch or diamond
// route holds (BlockStatus::Occupancy, SwitchStatus::Occupancy,
// CrossStatus::Occupancy) and what a signal shows (SignalStatus::Aspect).
// Saved simulations, playback records and the interface messages carry them.
// Directions: 1 right, 0 left.
#pragma once

namespace occupancy {

inline constexpr int kFree = 0;
inline constexpr int kClearedRight = 1;  // a route is cleared over it
inline constexpr int kClearedLeft = 2;
inline constexpr int kOccupiedRight = 3;  // a train is on it
inline constexpr int kOccupiedLeft = 4;
inline constexpr int kRunningTimeRight = 9;  // a cancelled route still held for its running time
inline constexpr int kRunningTimeLeft = 10;

inline constexpr int Cleared(int direction) { return direction == 1 ? kClearedRight : kClearedLeft; }
inline constexpr int Occupied(int direction) { return direction == 1 ? kOccupiedRight : kOccupiedLeft; }
inline constexpr int RunningTime(int direction) { return direction == 1 ? kRunningTimeRight : kRunningTimeLeft; }

inline constexpr bool IsOccupied(int code) { return code == kOccupiedRight || code == kOccupiedLeft; }
// Cleared, or held for a running time.
inline constexpr bool IsCleared(int code) {
  return code == kClearedRight || code == kClearedLeft || code == kRunningTimeRight || code == kRunningTimeLeft;
}
// The direction of a train on it: 1 right, 0 left.
inline constexpr int OccupiedDirection(int code) { return code == kOccupiedRight ? 1 : 0; }

}  // namespace occupancy

namespace aspect {

inline constexpr int kClearRight = 1;
inline constexpr int kClearLeft = 2;
inline constexpr int kStop = 5;

inline constexpr int Clear(int direction) { return direction == 1 ? kClearRight : kClearLeft; }
inline constexpr bool IsClear(int code) { return code == kClearRight || code == kClearLeft; }

}  // namespace aspect
