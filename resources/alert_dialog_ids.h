// The alert options dialog: its template and the controls of each alert row.
#pragma once

#include <array>

namespace res {

inline constexpr int IDD_ALERT_OPTIONS = 50;
inline constexpr int IDC_ALERT_LATE_MINUTES = 144;
inline constexpr int IDC_ALERT_HELP = 141;

// One row per alert slot that has one (slot 10 has none; 13-19 are not used).
struct AlertRowIds {
  int Slot;
  const char* Label;  // the row's text in the dialog
  const char* Name;   // the alert as messages name it
  int Enabled, Bells, WaveFile, Browse, Test;
};
inline constexpr std::array<AlertRowIds, 12> kAlertRows = {{
    {0, "Train arrived on territory (default)", "Train arrived on territory", 111, 2015, 2016, 2017, 146},
    {1, "Train stopped waiting signal", "Train stopped waiting signal", 112, 2024, 2033, 2044, 147},
    {2, "Train stopped - detector alarm", "Train stopped - detector alarm", 113, 2025, 2034, 2045, 148},
    {3, "Train stopped - train problem", "Train stopped - train problem", 114, 2026, 2040, 2046, 149},
    {4, "Train stopped - derail", "Train stopped - derail", 115, 2027, 2035, 2047, 151},
    {5, "Block permit (Time and Track) active", "Block permit (Time & Track) active", 116, 2028, 2036, 2048, 152},
    {6, "Late station departure", "Late station arrival", 117, 2029, 2039, 2049, 155},
    {7, "Locomotive problem - performance lowered", "Locomotive problem", 125, 126, 127, 128, 150},
    {8, "Block permit (Time and Track) complete", "Block permit (Time & Track) complete", 120, 121, 122, 123, 153},
    {9, "Slow order active", "Slow order active", 130, 131, 132, 133, 154},
    {11, "Crew Expiration 2 Hour Warning", "Crew Warning", 138, 139, 140, 142, 156},
    {12, "Crew Expired", "Crew Expired", 118, 129, 135, 136, 157},
}};
// The alert without a row of its own whose enable flag follows the detector alarm's.
inline constexpr int kAlertFollowsDetectorAlarm = 10;
inline constexpr int kAlertDetectorAlarm = 2;

}  // namespace res
