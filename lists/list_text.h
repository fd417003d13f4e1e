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
