// Ids of the train schedule editor: the train data window's buttons and
// commands, and the train property sheet's General page (template 19, its
// view-only variant 61) with its controls.
#pragma once

namespace res {

// ---- the train data window
inline constexpr int IDW_TRAIN_LIST = 999;
inline constexpr int CM_TRAIN_VIEW_GENERAL = 1054;
inline constexpr int CM_TRAIN_VIEW_PASSENGER = 1055;
inline constexpr int CM_TRAIN_VIEW_WORK = 1056;
inline constexpr int CM_TRAIN_VIEW_MULTIPLE = 1057;
inline constexpr int CM_TRAIN_SAVE_WIDTHS = 1047;
inline constexpr int CM_TRAIN_PRINT = 1050;
inline constexpr int CM_TRAIN_HELP = 141;
inline constexpr int CM_TRAIN_ADD = 1058;
inline constexpr int CM_TRAIN_EDIT = 1059;
inline constexpr int CM_TRAIN_DELETE = 1060;
inline constexpr int CM_TRAIN_SORT_ID = 1061;
inline constexpr int CM_TRAIN_SORT_TIME = 1062;
inline constexpr int CM_TRAIN_PRINTER_SETUP = 1049;
inline constexpr int CM_TRAIN_COPY = 1063;

// ---- the train property sheet's General page
inline constexpr int IDD_TRAIN_GENERAL = 19;
inline constexpr int IDD_TRAIN_GENERAL_VIEW = 61;
inline constexpr int IDC_TRAIN_ID = 7296;
inline constexpr int IDC_TRAIN_NUMBER = 132;
inline constexpr int IDC_TRAIN_DESCRIPTION = 7314;
inline constexpr int IDC_TRAIN_LEFT = 7289;
inline constexpr int IDC_TRAIN_RIGHT = 7290;
inline constexpr int IDC_TRAIN_LENGTH = 7311;
inline constexpr int IDC_TRAIN_LENGTH_UNITS = 117;
inline constexpr int IDC_TRAIN_TYPE = 101;
inline constexpr int IDC_TRAIN_CREW_TIME = 118;
inline constexpr int IDC_TRAIN_ENTRANCE = 7301;
inline constexpr int IDC_TRAIN_ENTRANCE_TIME = 7302;
inline constexpr int IDC_TRAIN_CREATED_FROM = 121;
inline constexpr int IDC_TRAIN_EXIT = 7295;
inline constexpr int IDC_TRAIN_BECOMES = 125;
inline constexpr int IDC_TRAIN_BECOMES_AT = 126;
inline constexpr int IDC_TRAIN_BECOMES_AFTER = 129;
inline constexpr int IDC_TRAIN_SPLITS_INTO = 115;
inline constexpr int IDC_TRAIN_SCHEDULED = 131;
// Sunday first.
inline constexpr int IDC_TRAIN_DAYS[7] = {7309, 7310, 7306, 7305, 7307, 7308, 7297};

}  // namespace res
