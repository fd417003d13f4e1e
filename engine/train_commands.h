// The command ids of the train pop-up menu and the small pieces the command,
// merging and crew files share.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "store/records.h"

namespace train_menu {

// Each command has a range of ids from its base, one per train the menu
// offers; the entry's train is Run().PopupTrains[id - base].
inline constexpr int kProperties = 1100;
inline constexpr int kStatus = 1110;
inline constexpr int kReverse = 1120;
inline constexpr int kStopNow = 1130;
inline constexpr int kMerge = 1140;
inline constexpr int kSplit = 1150;
inline constexpr int kStopInBlock = 1160;
inline constexpr int kChangeCrew = 1170;
inline constexpr int kPassRedSignal = 1180;
inline constexpr int kOS = 1190;
inline constexpr int kStartMovement = 1200;
inline constexpr int kClearStop = 1210;
inline constexpr int kNewCrewLocation = 1220;
inline constexpr int kMergeAhead = 1230;
inline constexpr int kMergeBehind = 1240;
inline constexpr int kClearBlockAhead = 1250;

// Six ids per range up to Clear Stop, five from New Crew Change Location on.
inline constexpr int RangeSize(int base) { return base < kNewCrewLocation ? 6 : 5; }

// The running-train slot of a menu entry, or -1 when the id lies outside the
// range or its entry holds no train in use.
int PopupTrain(Engine& engine, int id, int base);

// A refusal or notice of a train command; the run pauses while it is open.
void ShowCommandMessage(Engine& engine, const std::string& text, MessageIcon icon);

// Repaints the blocks a running train stands in: its head block and, when it differs, its rear block.
void RedrawTrainBlocks(Corvane3Data& store, int trainSlot);

// Shows a running train's schedule read-only in the train property sheet, captioned with its ID and
// description; a slot without a valid schedule shows nothing.
void ViewTrainSchedule(Corvane3Data& store, int trainSlot);

}  // namespace train_menu
