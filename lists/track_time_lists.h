// What the block permit and slow order lists share: the texts of times and
// days, the name order, the seven day boxes of their edit dialogs, and the
// frame that steps aside while its edit dialog runs.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class Corvane3Data;
class QCheckBox;
class QComboBox;
class QDialog;
class QFormLayout;
class QLineEdit;
class QLayout;
class QVBoxLayout;
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

// One row of a list by track or by time: its slot, the name it sorts by and its from time.
struct SortEntry {
  int Slot;
  std::string Name;
  int32_t From;
};
// By name, equal names by from time (byTrack); else by from time, equal times by name. Entries equal in
// both keep their slot order.
void SortEntries(std::vector<SortEntry>& entries, bool byTrack);

// The territory's track names "first-second part", one each, as BuildTrackNameList gives them.
QStringList TerritoryTrackNames(const Corvane3Data& store);

// The fields of the two block permit dialogs, made with their ids and laid out as rows of the form:
// "Number" (the slot; empty for a new permit), "From time", "To time", "Track name", "Requestor", "Reason".
struct PermitFields {
  QComboBox* Track;
  QLineEdit* From;
  QLineEdit* To;
  QLineEdit* Requestor;
  QLineEdit* Reason;
};
PermitFields AddPermitFields(QDialog* dialog, QFormLayout* form, int slot);

// Fills a name list sorted by the list order and selects the entry equal to name. False when the name is
// not empty and no entry equals it (its device or track has gone from the territory).
bool FillNameList(QComboBox* list, QStringList entries, const std::string& name);

// The seven boxes "Sunday" ... "Saturday" with their ids, laid out in a row under "Scheduled for".
std::array<QCheckBox*, 7> MakeDayBoxes(QWidget* dialog, QLayout* into);
DayFlags CheckedDays(const std::array<QCheckBox*, 7>& boxes);

// "OK" (the dialog's accept), "Cancel" and "Help" (help at the keyword) along the bottom of a dialog.
void AddOkCancelHelp(QDialog* dialog, QVBoxLayout* into, Corvane3Data& store, const std::string& helpKeyword);

// Runs an edit dialog modally with the list frame hidden, then shows the frame again without
// activating it. True when the dialog ended with OK.
bool RunWithFrameHidden(QWidget* frame, QDialog& dialog);
