// How the train schedule editor names a scheduled train and reads the places
// a train record refers to. Train records keep their texts as single bytes,
// so the editor moves them as Latin-1: one character, one byte, and a field's
// limit in characters is its limit in bytes.
#pragma once

#include <QString>
#include <cstring>
#include <string>
#include <vector>

#include "store/records.h"

class Corvane3Data;
class QComboBox;

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

// The type list of a train: the train types in use, then "unknown"; the type's name is selected, "unknown"
// for -1 or a type not in use.
void FillTrainTypeList(const Corvane3Data& store, QComboBox* list, int typeIndex);
// The entrance and exit lists: "(none)", each location name in use once, and a stored name that no location
// has; the stored names are selected, "(none)" for an empty one.
void FillLocationLists(const Corvane3Data& store, QComboBox* entrance, const QString& entranceName, QComboBox* exit,
                       const QString& exitName);
