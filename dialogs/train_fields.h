// How the train schedule editor names a scheduled train and reads the places
// a train record refers to. Train records keep their texts as single bytes,
// so the editor moves them as Latin-1: one character, one byte, and a field's
// limit in characters is its limit in bytes.
#pragma once

#include <QString>
#include <QStringList>
#include <cstring>
#include <string>
#include <vector>

#include "store/records.h"

class Corvane3Data;
class QComboBox;
class QLineEdit;
class QWidget;

// A train's entrance and exit fields hold names of up to this many characters.
inline constexpr int kTrainLocationChars = 2;

// A record's text field, and a text for one.
template <size_t N>
QString FieldQText(const char (&field)[N]) {
  return QString::fromLatin1(field, static_cast<qsizetype>(strnlen(field, N)));
}
inline std::string FieldBytes(const QString& text) { return text.toLatin1().toStdString(); }

// "%s-%d": the train's ID and its slot, as every list of trains shows a train.
QString TrainReference(const TrainData& train, int slot);
// True when slot is a train slot whose train is in use.
bool TrainInUse(const Corvane3Data& store, int slot);
// "%02d:%02d" of minutes after midnight (or of a crew time); empty for -1.
QString MinutesText(int minutes);

// Where a train becomes another: "P-" and a platform name or "A-" and a work area name; empty for none.
std::string BecomesPlace(const TrainData& train);
void SetBecomesPlace(TrainData& train, const std::string& place);

// A work area: its in-use mark, then its name.
bool AreaInUse(const AreaData& area);
std::string AreaName(const AreaData& area);

// The slots of the platforms in use among the 100, in slot order.
std::vector<int> PlatformsInUse(const Corvane3Data& store);

// ---- the controls the pages of the train property sheet share

// The first item of a list whose choice may be left open.
inline constexpr char kNoneChoice[] = "(none)";

QComboBox* MakeDropList(QWidget* parent, int id);
// Selects the item with exactly that text; false when there is none.
bool SelectText(QComboBox* list, const QString& text);
// True when the list's choice is other than its first item ("(none)").
bool Chosen(const QComboBox* list);
// A number shown in a field, empty for -1.
QString NumberText(int value);

// The names of the entrance/exit locations in use, each once, in slot order.
QStringList LocationNames(const Corvane3Data& store);
// The refusal of a location name that a train's two-character location fields cannot hold.
QString LocationTooLong(const QString& name, const QString& field);
// The refusal of a train length below the territory's least (50 feet, or 16 metres); empty when long enough.
QString LengthTooShort(const Corvane3Data& store, int length);
// The refusal of a new length that the entry's 16-bit field cannot hold, naming the field.
QString NewLengthTooLong(const Corvane3Data& store, const QString& field);
// A stored count of minutes shown in a number field, empty for none (0xFFFF).
QString UnsignedMinutesText(uint16_t minutes);

// A multiple entry's new crew time and new length sit in its last four bytes (the engine reads them there).
void SetLegCrewMinutes(TrainMultipleEntry& leg, int16_t minutes);
void SetLegNewLength(TrainMultipleEntry& leg, int16_t length);

// The type list of a train: the train types in use, then "unknown"; the type's name is selected, "unknown"
// for -1 or a type not in use.
void FillTrainTypeList(const Corvane3Data& store, QComboBox* list, int typeIndex);
// The entrance and exit lists: "(none)", each location name in use once, and a stored name that no location
// has; the stored names are selected, "(none)" for an empty one.
void FillLocationLists(const Corvane3Data& store, QComboBox* entrance, const QString& entranceName, QComboBox* exit,
                       const QString& exitName);
