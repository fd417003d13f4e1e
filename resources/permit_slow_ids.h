// Control ids of the block permit and slow order lists, their edit dialogs
// ("Block Permit (Track & Time)" and "Slow Order Data") and the active permit
// and slow order lists.
#pragma once

namespace res {

// ---- buttons and check boxes of the four lists
inline constexpr int IDC_LIST_EDIT = 1048;
inline constexpr int IDC_LIST_PRINTER_SETUP = 1049;
inline constexpr int IDC_LIST_PRINT = 1050;
inline constexpr int IDC_LIST_NEW = 1051;
inline constexpr int IDC_LIST_DELETE = 1052;
inline constexpr int IDC_LIST_SORT_TIME = 1062;
inline constexpr int IDC_LIST_SORT_TRACK = 1066;
inline constexpr int IDC_LIST_AUTHORIZE = 1013;
inline constexpr int IDC_FILTER_ALL = 1067;
inline constexpr int IDC_FILTER_PENDING = 1088;
inline constexpr int IDC_FILTER_AUTHORIZED = 1089;
inline constexpr int IDC_FILTER_ACTIVE = 1090;

// ---- fields shared by the two edit dialogs
inline constexpr int IDC_DEF_NUMBER = 7330;
inline constexpr int IDC_DEF_FROM_TIME = 155;
inline constexpr int IDC_DEF_TO_TIME = 156;
inline constexpr int IDC_DEF_SUNDAY = 143;  // Sunday to Saturday: 143-149
inline constexpr int IDC_DEF_HELP = 141;

// ---- "Block Permit (Track & Time)"
inline constexpr int IDC_PERMIT_DEF_TRACK = 101;
inline constexpr int IDC_PERMIT_DEF_REQUESTOR = 105;
inline constexpr int IDC_PERMIT_DEF_REASON = 106;

// ---- "Slow Order Data"
inline constexpr int IDC_SLOW_NAME = 138;
inline constexpr int IDC_SLOW_PERMANENT = 153;
inline constexpr int IDC_SLOW_HEADING = 107;
inline constexpr int IDC_SLOW_GROUP_HEADINGS[2][3] = {{108, 110, 101}, {109, 111, 133}};  // TRAIN TYPE, LEFT, RIGHT
inline constexpr int IDC_SLOW_TYPE_LABELS[10] = {112, 113, 114, 115, 117, 123, 124, 125, 126, 127};
inline constexpr int IDC_SLOW_LEFT_SPEEDS[10] = {118, 119, 120, 121, 122, 128, 129, 130, 131, 132};
inline constexpr int IDC_SLOW_RIGHT_SPEEDS[10] = {103, 104, 105, 106, 116, 134, 135, 137, 140, 142};

}  // namespace res
