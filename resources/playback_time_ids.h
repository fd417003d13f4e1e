// The playback time dialog: its template and control ids.
#pragma once

namespace res {

inline constexpr int IDD_PLAYBACK_TIME = 81;
inline constexpr int IDC_PLAYBACK_FILE = 7285;
inline constexpr int IDC_PLAYBACK_START_TIME = 7287;
inline constexpr int IDC_PLAYBACK_START_DAY = 110;
inline constexpr int IDC_PLAYBACK_JUMP_TIME = 103;
inline constexpr int IDC_PLAYBACK_JUMP_DAY = 108;
inline constexpr int IDC_PLAYBACK_JUMP_WEEK = 111;
inline constexpr int IDC_PLAYBACK_AUTO_SCROLL = 112;
inline constexpr int IDC_PLAYBACK_HELP = 141;

}  // namespace res
