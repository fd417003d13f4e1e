// Texts and orders shared by the list windows.
#pragma once

#include <QString>
#include <algorithm>
#include <string>
#include <vector>

inline QString YesNo(bool yes) { return yes ? QStringLiteral("Yes") : QStringLiteral("No"); }

// A fixed-length text field of a record, as the list shows it.
inline QString ListText(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Names compare as the platform's locale orders them: names that differ only in letter case follow the
// locale's rules, not the character codes.
inline int CompareNames(const QString& a, const QString& b) { return QString::localeAwareCompare(a, b); }

// Sorts by a strict order; entries that compare equal keep their order (the slot order they were listed in).
template <class T, class Less>
void SortKeepingOrder(std::vector<T>& entries, Less less) {
  std::stable_sort(entries.begin(), entries.end(), less);
}

// One record a list shows, with the slot it sits in and its name as shown.
template <class Record>
struct NamedRecord {
  int Slot;
  Record Data;
  QString Name;
};

// The records in use whose name is not empty, by name (then by `before` where names are equal; records
// equal in both keep their slot order).
template <class Record, class Get, class NameOf, class Before>
std::vector<NamedRecord<Record>> ListByName(int capacity, Get get, NameOf nameOf, Before before) {
  std::vector<NamedRecord<Record>> listed;
  for (int slot = 0; slot < capacity; ++slot) {
    const Record record = get(slot);
    const std::string name = nameOf(record);
    if (record.InUse != 0 && !name.empty()) listed.push_back({slot, record, ListText(name)});
  }
  SortKeepingOrder(listed, [&before](const NamedRecord<Record>& a, const NamedRecord<Record>& b) {
    const int order = CompareNames(a.Name, b.Name);
    return order != 0 ? order < 0 : before(a.Data, b.Data);
  });
  return listed;
}

template <class Record, class Get, class NameOf>
std::vector<NamedRecord<Record>> ListByName(int capacity, Get get, NameOf nameOf) {
  return ListByName<Record>(capacity, get, nameOf, [](const Record&, const Record&) { return false; });
}
