// Dialog templates and control ids of the train entry request, crew, split and stop dialogs.
#pragma once

namespace res {

// Train entry request (modeless, one per waiting train).
inline constexpr int IDD_TRAIN_ENTRY = 71;
inline constexpr int IDC_ENTRY_LOCATION = 104;
inline constexpr int IDC_ENTRY_TRAIN = 105;
inline constexpr int IDC_ENTRY_TIME = 155;
inline constexpr int IDC_ENTRY_AUTHORIZED = 1;     // IDOK
inline constexpr int IDC_ENTRY_REQUEST_LATER = 2;  // IDCANCEL

// Crew change location and crew call.
inline constexpr int IDD_CREW_CHANGE_LOCATION = 18;
inline constexpr int IDD_CREW_CALL = 80;
inline constexpr int IDC_CREW_LOCATIONS = 101;
inline constexpr int IDC_CREW_CALL_TIME = 103;

// Split train and stop train in block.
inline constexpr int IDD_STOP_TRAIN = 69;
inline constexpr int IDD_SPLIT_TRAIN = 70;
inline constexpr int IDC_SPLIT_TRAINS = 101;
inline constexpr int IDC_STOP_BLOCKS = 102;

inline constexpr int IDC_TRAIN_DIALOG_HELP = 141;

}  // namespace res
