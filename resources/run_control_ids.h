// The start-time selection and function activation dialogs: templates and control ids.
#pragma once

namespace res {

inline constexpr int IDD_SELECT_START = 60;
inline constexpr int IDC_SELECT_START_LIST = 7293;
inline constexpr int IDC_SELECT_START_HELP = 141;

inline constexpr int IDD_FUNCTION_ACTIVE = 72;
inline constexpr int IDC_FUNCTION_HELP = 141;
// The six switches, in the order of their option bytes (4 to 9).
inline constexpr int IDC_SLOW_ORDERS_ACTIVE = 101;
inline constexpr int IDC_BLOCK_PERMITS_ACTIVE = 102;
inline constexpr int IDC_HELPER_ACTIVE = 103;
inline constexpr int IDC_PERMISSION_ACTIVE = 104;
inline constexpr int IDC_YARD_CAPACITY_ACTIVE = 105;
inline constexpr int IDC_CREW_EXPIRATION_ACTIVE = 106;

}  // namespace res
