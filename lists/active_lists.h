// The active block permit and slow order lists: the permits and slow orders
// the running simulation holds, filtered by state with "All" and one box per
// state group, sorted by time or track. The permit list also authorizes a
// waiting request.
#pragma once

#include <vector>

#include "lists/list_frame.h"

class Engine;
class QCheckBox;

// What the two active lists share: the sort buttons and keys and the filter boxes.
class TActiveList : public TListFrame {
  Q_OBJECT

 public:
  enum SortKey { kByTime = 1, kByTrack = 2 };

  TActiveList(Corvane3Data& store, list::FrameSpec spec, QWidget* parent);

  void CmSortTrack() { ChangeSort(kByTrack); }
  void CmSortTime() { ChangeSort(kByTime); }
  int Sort() const { return sortKey_; }

 protected:
  // The sort buttons, "Save Column Widths" and "Help" in the first row.
  void AddFirstRowButtons();
  // "All" (checked) and the state boxes in the second row.
  void AddFilters(const std::vector<std::pair<int, QString>>& boxes);
  // Whether a slot in the given state group passes: group is the index of its box among the state boxes.
  bool Passes(int group) const;
  // "All", then the state boxes.
  std::vector<QCheckBox*> Filters() const;

 private:
  void ChangeSort(SortKey key);
  void FilterClicked(QCheckBox* box);

  SortKey sortKey_ = kByTime;
  QCheckBox* all_ = nullptr;
  std::vector<QCheckBox*> states_;
};

// "Active Block Permit (T&T) List".
class TPermitActive : public TActiveList {
  Q_OBJECT

 public:
  TPermitActive(Corvane3Data& store, Engine& engine, QWidget* parent);

  // Hands the selected waiting request to the engine, which shows its request window.
  void Authorize();

 protected:
  std::vector<list::Row> Fill() override;

 private:
  void RightClicked();

  Engine& engine_;
};

// "Active Slow Order List": shows only.
class TSlowActive : public TActiveList {
  Q_OBJECT

 public:
  TSlowActive(Corvane3Data& store, QWidget* parent);

 protected:
  std::vector<list::Row> Fill() override;

 private:
  // The train types in use when the window opened: a type added later gets no columns until it opens again.
  std::vector<int> types_;
};
