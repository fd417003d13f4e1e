// Device numbers: one number space for every device of the territory, a
// range per kind. Track files, saved simulations, playback records, the
// signal stack, slow orders and both message interfaces carry these numbers,
// so the ranges are part of every file format.
#pragma once

namespace device {

inline constexpr int kBlockBase = 0;       // blocks 0-1999
inline constexpr int kSwitchBase = 2000;   // switches 2000-2999
inline constexpr int kSignalBase = 3000;   // signals 3000-3999
inline constexpr int kDiamondBase = 4000;  // diamonds 4000-4999
inline constexpr int kDeviceLimit = 5000;  // first number past every device

// A crew change place is a block number, or this base plus a platform index.
inline constexpr int kPlatformPlaceBase = 10000;
// A signal number plus this offset names the signal as picked from the cell
// beside it: ClearSignal takes it as the signal, the highlight frame sits one
// cell to the left.
inline constexpr int kSignalBesideOffset = 10000;
// What the pointer finds on an entrance/exit location's cell: this base plus
// the location's index (past every device number).
inline constexpr int kLocationPlaceBase = kDeviceLimit;

enum class Kind { None, Block, Switch, Signal, Diamond };

inline constexpr bool IsDevice(int number) { return number >= kBlockBase && number < kDeviceLimit; }
inline constexpr bool IsBlock(int number) { return number >= kBlockBase && number < kSwitchBase; }
inline constexpr bool IsSwitch(int number) { return number >= kSwitchBase && number < kSignalBase; }
inline constexpr bool IsSignal(int number) { return number >= kSignalBase && number < kDiamondBase; }
inline constexpr bool IsDiamond(int number) { return number >= kDiamondBase && number < kDeviceLimit; }

inline constexpr Kind KindOf(int number) {
  if (IsBlock(number)) return Kind::Block;
  if (IsSwitch(number)) return Kind::Switch;
  if (IsSignal(number)) return Kind::Signal;
  if (IsDiamond(number)) return Kind::Diamond;
  return Kind::None;
}

// The number of a kind's table index, and back.
inline constexpr int SwitchNumber(int index) { return kSwitchBase + index; }
inline constexpr int SignalNumber(int index) { return kSignalBase + index; }
inline constexpr int DiamondNumber(int index) { return kDiamondBase + index; }
inline constexpr int SwitchIndex(int number) { return number - kSwitchBase; }
inline constexpr int SignalIndex(int number) { return number - kSignalBase; }
inline constexpr int DiamondIndex(int number) { return number - kDiamondBase; }

// What a layout cell names: a device, a signal's second cell, or a location.
inline constexpr bool IsSignalCell(int number) { return IsSignal(number) || IsSignal(number - kSignalBesideOffset); }
// The signal index of a signal cell, either of its two.
inline constexpr int SignalIndexOfCell(int number) {
  return SignalIndex(number >= kSignalBesideOffset ? number - kSignalBesideOffset : number);
}
inline constexpr bool IsLocationPlace(int number, int locations) {
  return number >= kLocationPlaceBase && number < kLocationPlaceBase + locations;
}
inline constexpr int LocationIndex(int number) { return number - kLocationPlaceBase; }

}  // namespace device
