// The layout window's pop-up menus: command ids of the block, switch and
// signal items. The train items' ids are the engine's (engine/train_commands.h).
#pragma once

namespace res {

inline constexpr int CM_PLATFORM_TRAINS = 1076;
inline constexpr int CM_BLOCK_PROPERTIES = 1077;
inline constexpr int CM_FLEET = 1080;  // "Fleet" or "Remove Fleet"
inline constexpr int CM_ENTRANCE_SIGNAL = 1081;
inline constexpr int CM_ADD_STACK_COMMAND = 1082;
inline constexpr int CM_DELETE_STACK_COMMAND = 1083;  // 1083-1087: the signal's first to fifth stack command
inline constexpr int kStackCommandsPerSignal = 5;
inline constexpr int CM_FIND_BLOCK_LEFT = 1092;
inline constexpr int CM_FIND_BLOCK_RIGHT = 1093;
inline constexpr int CM_SWITCH_PROPERTIES = 1097;
inline constexpr int CM_CREW_THROW_SWITCH = 1098;
inline constexpr int CM_ISSUE_BLOCK_PERMIT = 1099;

}  // namespace res
