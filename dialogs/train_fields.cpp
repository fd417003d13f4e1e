#include "dialogs/train_fields.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/controls.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

QString TrainReference(const TrainData& train, int slot) {
  return QString("%1-%2").arg(FieldQText(train.TrainId)).arg(slot);
}

bool TrainInUse(const Corvane3Data& store, int slot) {
  return slot >= 0 && slot < kMaxTrains && store.GetTrainData(slot).InUse != 0;
}

QString MinutesText(int minutes) {
  if (minutes < 0) return {};
  return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60);
}

std::string BecomesPlace(const TrainData& train) {
  const char kind = static_cast<char>(train.ChangePlaceKind);
  if (kind != 'A' && kind != 'P') return {};
  return std::string(1, kind) + "-" + FieldText(train.ChangePlaceName);
}

void SetBecomesPlace(TrainData& train, const std::string& place) {
  const bool named = place.size() > 2 && (place[0] == 'A' || place[0] == 'P') && place[1] == '-';
  train.ChangePlaceKind = named ? static_cast<uint8_t>(place[0]) : 0;
  train.Reserved1292 = named ? '-' : 0;
  SetFieldText(train.ChangePlaceName, named ? std::string_view(place).substr(2) : std::string_view());
}

namespace {

constexpr size_t kAreaNameChars = sizeof(AreaData) - 1;

}  // namespace

bool AreaInUse(const AreaData& area) { return reinterpret_cast<const uint8_t*>(&area)[0] == 1; }

std::string AreaName(const AreaData& area) {
  const char* name = reinterpret_cast<const char*>(&area) + 1;
  return std::string(name, strnlen(name, kAreaNameChars));
}

std::vector<int> PlatformsInUse(const Corvane3Data& store) {
  std::vector<int> found;
  for (int i = 0; i < kMaxPlatforms; ++i) {
    if (store.GetPlatformData(i).InUse != 0) found.push_back(i);
  }
  return found;
}

QComboBox* MakeDropList(QWidget* parent, int id) {
  auto* list = new QComboBox(parent);
  SetControlId(list, id);
  list->setEditable(false);
  return list;
}

bool SelectText(QComboBox* list, const QString& text) {
  const int at = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (at < 0) return false;
  list->setCurrentIndex(at);
  return true;
}

bool Chosen(const QComboBox* list) { return list->currentIndex() > 0; }

QString NumberText(int value) { return value == -1 ? QString() : QString::number(value); }

QStringList LocationNames(const Corvane3Data& store) {
  QStringList names;
  for (int i = 0; i < kMaxLocations; ++i) {
    const OrgData location = store.GetOrgData(i);
    if (location.InUse == 0) continue;
    const QString name = FieldQText(location.Name);
    if (!names.contains(name)) names.push_back(name);
  }
  return names;
}

QString LocationTooLong(const QString& name, const QString& field) {
  return QString(
             "The location name \"%1\" chosen in field \"%2\" has more than %3 characters.  A train's entrance "
             "and exit locations can only be locations whose names have %3 characters or fewer.")
      .arg(name, field)
      .arg(kTrainLocationChars);
}

QString LengthTooShort(const Corvane3Data& store, int length) {
  if (store.GetTerritoryOptions().Units == 1) {
    return length < 50 ? "A train must be at least 50 feet long." : QString();
  }
  return length < 16 ? "A train must be at least 16 meters long." : QString();
}

QString NewLengthTooLong(const Corvane3Data& store, const QString& field) {
  const char* units = store.GetTerritoryOptions().Units == 1 ? "feet" : "meters";
  return QString(
             "The new length entered in field \"%1\" is greater than %2 %3.  A train's new length can be at most "
             "%2 %3.")
      .arg(field)
      .arg(INT16_MAX)
      .arg(units);
}

QString UnsignedMinutesText(uint16_t minutes) { return minutes == 0xFFFF ? QString() : QString::number(minutes); }

void SetLegCrewMinutes(TrainMultipleEntry& leg, int16_t minutes) { leg.CrewMinutes = minutes; }

void SetLegNewLength(TrainMultipleEntry& leg, int16_t length) { leg.NewLength = length; }

void FillTrainTypeList(const Corvane3Data& store, QComboBox* list, int typeIndex) {
  const QString unknown = "unknown";
  QString typeName = unknown;
  for (int i = 0; i < kMaxTrainTypes; ++i) {
    const TrainType type = store.GetTrainType(i);
    if (type.InUse == 0) continue;
    list->addItem(FieldQText(type.Name));
    if (i == typeIndex) typeName = FieldQText(type.Name);
  }
  list->addItem(unknown);
  SelectText(list, typeName);
}

void FillLocationLists(const Corvane3Data& store, QComboBox* entrance, const QString& entranceName, QComboBox* exit,
                       const QString& exitName) {
  const QStringList names = LocationNames(store);
  for (QComboBox* list : {entrance, exit}) {
    list->addItem(kNoneChoice);
    list->addItems(names);
  }
  auto select = [](QComboBox* list, const QString& name) {
    if (name.isEmpty()) return;
    if (!SelectText(list, name)) {
      list->addItem(name);
      SelectText(list, name);
    }
  };
  select(entrance, entranceName);
  select(exit, exitName);
}
