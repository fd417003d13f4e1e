// Hollin's command and control ids. Every menu item and control carries its id
// as its objectName, so code and tests find them by the same numbers.
#pragma once

namespace hollin_ids {

// Menu
inline constexpr int kCmSetup = 11844;
inline constexpr int kCmSendFile = 2001;
inline constexpr int kCmExit = 24310;

// Dialog buttons
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// "Test File Folder Setup"
inline constexpr int kFolderEdit = 104;
inline constexpr int kIntervalEdit = 105;

// "Send File"
inline constexpr int kBrowse = 101;
inline constexpr int kOpen = 102;
inline constexpr int kFileEdit = 104;

}  // namespace hollin_ids
