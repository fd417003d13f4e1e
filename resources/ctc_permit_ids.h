// Ids of the CTC block permit list ("CTC Active Block Permit (T&T) List") and
// its dialog ("CTC Block Permit (Track & Time)", template 28). The sort
// buttons, the filter boxes and the dialog's fields have the ids of the other
// permit lists and of the block permit dialog.
#pragma once

namespace res {

// ---- buttons of the list
inline constexpr int IDC_CTC_PERMIT_ISSUE = 2010;
inline constexpr int IDC_CTC_PERMIT_EDIT = 2011;
inline constexpr int IDC_CTC_PERMIT_CANCEL = 2012;

// ---- the dialog
inline constexpr int IDD_CTC_PERMIT_INFO = 28;

}  // namespace res
