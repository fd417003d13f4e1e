// The two interface folder dialogs: their templates and control ids.
#pragma once

namespace res {

inline constexpr int IDD_EIO_FOLDER = 23;
inline constexpr int IDD_CTC_FOLDER = 24;
inline constexpr int IDC_FOLDER_LABEL = 101;
inline constexpr int IDC_FOLDER_EXPLANATION = 102;
inline constexpr int IDC_FOLDER_LOG = 103;
inline constexpr int IDC_FOLDER_NAME = 110;

}  // namespace res
