// Ids of the train lists (active trains, arrivals at an entrance, stops at a
// platform), the train OS report and the CTC train dialog (template 27).
#pragma once

namespace res {

// ---- buttons and boxes of the train lists
inline constexpr int IDC_TRAINS_PROPERTIES = 1013;
inline constexpr int IDC_TRAINS_SORT_ID = 1061;
inline constexpr int IDC_TRAINS_ALL = 1067;
inline constexpr int IDC_TRAINS_ARRIVING = 1068;
inline constexpr int IDC_TRAINS_STOPPED = 1069;
inline constexpr int IDC_TRAINS_MOVING = 1070;
inline constexpr int IDC_TRAINS_COMPLETE = 1071;
inline constexpr int IDC_TRAINS_FIND = 1072;
inline constexpr int IDC_TRAINS_SORT_STATUS = 1073;
inline constexpr int IDC_TRAINS_SORT_ETA = 1074;
inline constexpr int IDC_TRAINS_OS = 1091;

// ---- the CTC train dialog
inline constexpr int IDD_TRAIN_DIALOG = 27;
inline constexpr int IDC_TRAIN_DIALOG_ID = 7296;
inline constexpr int IDC_TRAIN_DIALOG_NUMBER = 113;
inline constexpr int IDC_TRAIN_DIALOG_TYPE = 101;
inline constexpr int IDC_TRAIN_DIALOG_LENGTH = 7311;
inline constexpr int IDC_TRAIN_DIALOG_UNITS = 117;
inline constexpr int IDC_TRAIN_DIALOG_CREW = 118;
inline constexpr int IDC_TRAIN_DIALOG_ENTRANCE = 7301;
inline constexpr int IDC_TRAIN_DIALOG_EXIT = 7295;
inline constexpr int IDC_TRAIN_DIALOG_HELP = 141;

}  // namespace res
