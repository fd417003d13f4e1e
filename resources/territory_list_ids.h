// The territory lists' commands and their dialogs: templates and control ids.
#pragma once

namespace res {

// Commands of the list frames.
inline constexpr int CM_LIST_EDIT = 1048;  // Edit; View in the start time list

// The wayside detector display.
inline constexpr int IDD_DETECTOR_INFO = 29;
inline constexpr int IDC_DETECTOR_NAME = 102;
inline constexpr int IDC_DETECTOR_WARNING = 110;
inline constexpr int IDC_DETECTOR_WARNING_DELAY = 103;
inline constexpr int IDC_DETECTOR_PROBLEM_DELAY = 111;

// The start time display.
inline constexpr int IDD_START_INFO = 6;
inline constexpr int IDC_START_TIME = 7296;
inline constexpr int IDC_START_SUNDAY = 106;  // Sunday to Saturday: 106-112
inline constexpr int IDC_START_NO_END = 122;
inline constexpr int IDC_START_END_TIME = 113;
inline constexpr int IDC_START_END_DAYS = 129;
inline constexpr int IDC_START_TRAINS = 7293;
inline constexpr int IDC_START_TRAIN = 103;
inline constexpr int IDC_START_BLOCK = 116;
inline constexpr int IDC_START_CREW_TIME = 121;
inline constexpr int IDC_START_LEFT = 118;
inline constexpr int IDC_START_RIGHT = 119;
inline constexpr int IDC_START_WORK_AREA = 125;
inline constexpr int IDC_START_ENTRY_POINT = 126;

// The train type dialog.
inline constexpr int IDD_TRAIN_TYPE = 5;
inline constexpr int IDC_TYPE_DESCRIPTION = 7285;
inline constexpr int IDC_TYPE_CATEGORY = 108;
inline constexpr int IDC_TYPE_DUAL_CAB = 109;
inline constexpr int IDC_TYPE_STARTUP = 7287;
inline constexpr int IDC_TYPE_REVERSE_SPEED = 110;
inline constexpr int IDC_TYPE_LOCO_LEFT = 7286;
inline constexpr int IDC_TYPE_LOCO_RIGHT = 113;
inline constexpr int IDC_TYPE_CABOOSE = 114;
inline constexpr int IDC_TYPE_BROWSE_LEFT = 115;
inline constexpr int IDC_TYPE_BROWSE_RIGHT = 116;
inline constexpr int IDC_TYPE_BROWSE_CABOOSE = 117;

inline constexpr int IDC_DIALOG_HELP = 141;

}  // namespace res
