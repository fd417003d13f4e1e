// Ids of the CTC block permit list ("CTC Active Block Permit (T&T) List") and
// its dialog ("CTC Block Permit (Track & Time)", template 28). The sort
// buttons and filter boxes are those of the other permit lists.
#pragma once

namespace res {

// ---- buttons of the list
inline constexpr int IDC_CTC_PERMIT_ISSUE = 2010;
inline constexpr int IDC_CTC_PERMIT_EDIT = 2011;
inline constexpr int IDC_CTC_PERMIT_CANCEL = 2012;

// ---- the dialog
inline constexpr int IDD_CTC_PERMIT_INFO = 28;
inline constexpr int IDC_CTC_PERMIT_NUMBER = 7330;
inline constexpr int IDC_CTC_PERMIT_TRACK = 101;
inline constexpr int IDC_CTC_PERMIT_FROM = 155;
inline constexpr int IDC_CTC_PERMIT_TO = 156;
inline constexpr int IDC_CTC_PERMIT_REQUESTOR = 105;
inline constexpr int IDC_CTC_PERMIT_REASON = 106;
inline constexpr int IDC_CTC_PERMIT_HELP = 141;

}  // namespace res
