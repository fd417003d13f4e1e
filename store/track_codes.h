// The track code of a layout cell (and of a switch's or signal's record):
// which piece of track the cell shows. The painter picks its tile by it, the
// path walks read switch geometry and loop ends from it, and a signal's code
// tells the direction it governs.
#pragma once

namespace track {

inline constexpr int kEmpty = 0;
inline constexpr int kStraight = 1;
inline constexpr int kStraightEndLeft = 2;   // an end bar at the left
inline constexpr int kStraightEndRight = 3;  // an end bar at the right
inline constexpr int kDiagonalRising = 4;
inline constexpr int kDiagonalFalling = 5;
inline constexpr int kBranchUpperRight = 6;
inline constexpr int kBranchUpperLeft = 7;
inline constexpr int kBranchLowerLeft = 8;
inline constexpr int kBranchLowerRight = 9;
// Switches: 10 and 13 diverge on the right, 11 and 12 on the left.
inline constexpr int kSwitchUpRight = 10;
inline constexpr int kSwitchUpLeft = 11;
inline constexpr int kSwitchDownLeft = 12;
inline constexpr int kSwitchDownRight = 13;
// Loop pieces: where a loop turns the direction of travel.
inline constexpr int kDiagonalIntoVertical = 14;
inline constexpr int kVertical = 15;
inline constexpr int kVerticalIntoDiagonal = 16;
inline constexpr int kVerticalBranch = 17;
inline constexpr int kVerticalBranchMirrored = 18;
// Signals: 19 and 21 govern moves to the left, 20 and 22 to the right; the
// stub signals 19 and 20 cannot be fleeted.
inline constexpr int kStubSignalLeft = 19;
inline constexpr int kStubSignalRight = 20;
inline constexpr int kSignalLeft = 21;
inline constexpr int kSignalRight = 22;
inline constexpr int kPlatform = 23;  // three cells wide
inline constexpr int kRhombus = 24;
inline constexpr int kLettersHB = 25;
inline constexpr int kLettersDE = 26;
// Crossings; 28-30 are diamonds.
inline constexpr int kCrossingX = 27;
inline constexpr int kDiamondFalling = 28;
inline constexpr int kDiamondRising = 29;
inline constexpr int kDiamondVertical = 30;
inline constexpr int kLastTile = 31;  // codes past it have no picture
inline constexpr int kEnd = 40;
// A cell code with this bit set has no picture.
inline constexpr int kNoPictureFlag = 128;

inline constexpr bool IsStraight(int code) { return code >= kStraight && code <= kStraightEndRight; }
inline constexpr bool IsSwitch(int code) { return code >= kSwitchUpRight && code <= kSwitchDownRight; }
inline constexpr bool DivergesRight(int code) { return code == kSwitchUpRight || code == kSwitchDownRight; }
inline constexpr bool DivergesLeft(int code) { return code == kSwitchUpLeft || code == kSwitchDownLeft; }
inline constexpr bool IsSignal(int code) { return code >= kStubSignalLeft && code <= kSignalRight; }
inline constexpr bool IsCrossing(int code) { return code >= kCrossingX && code <= kDiamondVertical; }
// A main signal: its picture takes two cells (the head beside the track), and it can be fleeted.
inline constexpr bool IsMainSignal(int code) { return code == kSignalLeft || code == kSignalRight; }
inline constexpr bool IsStubSignal(int code) { return code == kStubSignalLeft || code == kStubSignalRight; }

// The direction a signal of this code governs: 1 right (20 and 22), 0 left.
inline constexpr int SignalDirection(int code) { return code == kStubSignalRight || code == kSignalRight ? 1 : 0; }

}  // namespace track
