// Control ids of the train graph window.
#pragma once

namespace res {

inline constexpr int IDC_GRAPH_OS_SPACING = 1094;
inline constexpr int IDC_GRAPH_HOUR_SPACING = 1095;
inline constexpr int IDC_GRAPH_RESIZE = 1096;

}  // namespace res
