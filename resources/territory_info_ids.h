// The territory information dialog: its template and control ids.
#pragma once

namespace res {

inline constexpr int IDD_TERRITORY_INFO = 12;
inline constexpr int IDC_TERRITORY_NAME = 7288;
inline constexpr int IDC_TERRITORY_VERSION = 7287;
inline constexpr int IDC_TERRITORY_COUNTRY = 114;
inline constexpr int IDC_TERRITORY_RAILROAD = 130;
inline constexpr int IDC_TERRITORY_DIVISION = 112;
inline constexpr int IDC_TERRITORY_FROM = 119;
inline constexpr int IDC_TERRITORY_TO = 120;
inline constexpr int IDC_TERRITORY_YEAR = 128;
inline constexpr int IDC_TERRITORY_TRACK_FILE = 125;
inline constexpr int IDC_TERRITORY_AUTHOR = 7306;
inline constexpr int IDC_TERRITORY_EMAIL = 7296;
inline constexpr int IDC_TERRITORY_ADDRESS = 7291;
inline constexpr int IDC_TERRITORY_PUBLIC_DOMAIN = 7289;
inline constexpr int IDC_TERRITORY_COPYRIGHTED = 7290;
inline constexpr int IDC_TERRITORY_NOTICE = 7293;
inline constexpr int IDC_TERRITORY_COMMENTS_FILE = 105;
inline constexpr int IDC_TERRITORY_OPEN = 113;
inline constexpr int IDC_TERRITORY_PRINT = 7297;
inline constexpr int IDC_TERRITORY_PRINT_SETUP = 7298;

}  // namespace res
