// The Find menu's dialogs and the alert message window: templates, controls and texts.
#pragma once

namespace res {

// The find dialogs' templates.
inline constexpr int IDD_FIND_AREA = 22;
inline constexpr int IDD_FIND_ENTRANCE_EXIT = 73;
inline constexpr int IDD_FIND_BLOCK_NUMBER = 74;
inline constexpr int IDD_FIND_DIAMOND_NUMBER = 75;
inline constexpr int IDD_FIND_SIGNAL_NAME = 76;
inline constexpr int IDD_FIND_SIGNAL_NUMBER = 77;
inline constexpr int IDD_FIND_SWITCH_NAME = 78;
inline constexpr int IDD_FIND_SWITCH_NUMBER = 79;
inline constexpr int IDD_FIND_TRAIN = 55;
inline constexpr int IDD_FIND_TRACK = 54;

// Their one list (105 in Find Track's template) and the Cancel button.
inline constexpr int IDC_FIND_LIST = 101;
inline constexpr int IDC_FIND_TRACK_LIST = 105;
inline constexpr int IDC_FIND_CANCEL = 2;

inline constexpr const char* kFindHelpKeyword = "find dialog";

// Find a Train on a train that is not on the territory.
inline constexpr const char* kTrainWillArrive = "Train will arrive on territory at location \"%s\" at %d:%02d.";
inline constexpr const char* kTrainNoLongerOnTerritory = "Train is no longer on territory.";
inline constexpr const char* kTrainBecameAnother = "Train became another train.";

// The alert message window and Go to Alert.
inline constexpr const char* kAlertWindowTitle = "Alert Message Window";
inline constexpr const char* kAlertTrainGone = "Train \"%s\" no longer on screen";

}  // namespace res
