// Control ids of the block permit request dialog (template 68).
#pragma once

namespace res {

inline constexpr int IDD_PERMIT_REQUEST = 68;
inline constexpr int IDC_PERMIT_TRACK_NAME = 102;
inline constexpr int IDC_PERMIT_REQUESTOR = 105;
inline constexpr int IDC_PERMIT_REASON = 106;
inline constexpr int IDC_PERMIT_FROM_TIME = 108;
inline constexpr int IDC_PERMIT_TO_TIME = 109;
inline constexpr int IDC_PERMIT_GRANTED_FROM = 155;
inline constexpr int IDC_PERMIT_GRANTED_TO = 156;
inline constexpr int IDC_PERMIT_AUTHORIZED = 1;     // IDOK
inline constexpr int IDC_PERMIT_REQUEST_LATER = 2;  // IDCANCEL
inline constexpr int IDC_PERMIT_HELP = 141;

}  // namespace res
