// Ids of the train schedule editor: the train data window's buttons and
// commands, and the train property sheet's pages (General, template 19, its
// view-only variant 61; the other pages below) with their controls. Ids are
// unique within a page only: look a control up in its page.
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

// ---- the train property sheet's Passenger Schedule pages (template 20, view-only 62), ten rows each
namespace res {
inline constexpr int IDD_TRAIN_PASSENGER = 20;
inline constexpr int IDD_TRAIN_PASSENGER_VIEW = 62;
inline constexpr int IDC_PASSENGER_PLATFORMS[10] = {105, 106, 107, 108, 109, 110, 111, 112, 113, 114};
inline constexpr int IDC_PASSENGER_DEPARTURES[10] = {7285, 7286, 7287, 7288, 7290, 7289, 7291, 7292, 7294, 7293};
inline constexpr int IDC_PASSENGER_DWELLS[10] = {2010, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019};
inline constexpr int IDC_PASSENGER_ADD_MINUTES = 118;
inline constexpr int IDC_PASSENGER_ADD = 230;

// ---- the Multiple Entries page (template 21, view-only 63), ten rows
inline constexpr int IDD_TRAIN_MULTIPLE = 21;
inline constexpr int IDD_TRAIN_MULTIPLE_VIEW = 63;
inline constexpr int IDC_MULTIPLE_ENTRANCES[10] = {102, 113, 114, 115, 116, 117, 118, 119, 120, 121};
inline constexpr int IDC_MULTIPLE_EXITS[10] = {201, 202, 203, 204, 205, 206, 207, 208, 209, 210};
inline constexpr int IDC_MULTIPLE_DELAYS[10] = {7290, 7295, 7299, 7300, 7301, 127, 128, 129, 130, 131};
inline constexpr int IDC_MULTIPLE_TRAIN_IDS[10] = {7289, 7302, 7303, 7304, 7305, 137, 138, 139, 140, 141};
inline constexpr int IDC_MULTIPLE_FORWARD[10] = {142, 143, 144, 145, 146, 147, 148, 149, 150, 151};
inline constexpr int IDC_MULTIPLE_REVERSE[10] = {152, 153, 154, 155, 156, 157, 158, 159, 160, 161};
inline constexpr int IDC_MULTIPLE_TYPES[10] = {7306, 7308, 7309, 7310, 7311, 112, 123, 124, 125, 126};
inline constexpr int IDC_MULTIPLE_CREW_TIMES[10] = {108, 109, 110, 111, 132, 133, 134, 135, 136, 162};
inline constexpr int IDC_MULTIPLE_LENGTHS[10] = {164, 165, 166, 167, 168, 169, 170, 171, 172, 173};

// ---- the Local Work Schedule page (template 9, view-only 64), ten rows
inline constexpr int IDD_TRAIN_WORK = 9;
inline constexpr int IDD_TRAIN_WORK_VIEW = 64;
inline constexpr int IDC_WORK_AREAS[10] = {201, 202, 203, 204, 205, 206, 207, 208, 209, 210};
inline constexpr int IDC_WORK_TIMES[10] = {7290, 7295, 7299, 7300, 7301, 127, 128, 129, 130, 131};
inline constexpr int IDC_WORK_LEFT[10] = {142, 143, 144, 145, 146, 147, 148, 149, 150, 151};
inline constexpr int IDC_WORK_RIGHT[10] = {152, 153, 154, 155, 156, 157, 158, 159, 160, 161};
inline constexpr int IDC_WORK_LENGTHS[10] = {102, 103, 105, 107, 108, 109, 110, 111, 112, 113};
}  // namespace res
