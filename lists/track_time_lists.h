// What the block permit and slow order lists share: the texts of times and
// days, the name order, the seven day boxes of their edit dialogs, and the
// frame that steps aside while its edit dialog runs.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class QCheckBox;
class QDialog;
class QLayout;
class QWidget;

using DayFlags = std::array<uint8_t, 7>;

// The day flags of a packed record (Sunday first), copied out.
template <class Record>
DayFlags DaysOf(const Record& record) {
  DayFlags days;
  std::memcpy(days.data(), reinterpret_cast<const char*>(&record) + offsetof(Record, Days), days.size());
  return days;
}
template <class Record>
void SetDays(Record& record, const DayFlags& days) {
  std::memcpy(reinterpret_cast<char*>(&record) + offsetof(Record, Days), days.data(), days.size());
}

// "SuMoTuWeThFrSa" with the days not scheduled left out.
QString DaysText(const DayFlags& days);
// Minutes after midnight as "07:05"; empty for a time not set (negative).
QString MinuteText(int minutes);
// The time of day of a clock value in seconds, as "07:05".
QString ClockTimeText(int32_t seconds);
// The order of names in the lists: the locale's comparison, letter case counting.
int CompareNames(const std::string& a, const std::string& b);

// The seven boxes "Sunday" ... "Saturday" with their ids, laid out in a row under "Scheduled for".
std::array<QCheckBox*, 7> MakeDayBoxes(QWidget* dialog, QLayout* into);
DayFlags CheckedDays(const std::array<QCheckBox*, 7>& boxes);

// Runs an edit dialog modally with the list frame hidden, then shows the frame again without
// activating it. True when the dialog ended with OK.
bool RunWithFrameHidden(QWidget* frame, QDialog& dialog);
