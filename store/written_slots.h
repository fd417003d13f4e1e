// The slots of a table written since the table was last reset, as one span. A run reset compares only
// these with the image it leaves: the tables are sized for the largest territory, and a run of a
// smaller one writes few of their slots.
#pragma once

#include <algorithm>
#include <climits>

struct WrittenSlots {
  int First = 0;
  int End = INT_MAX;  // every slot, until the first reset

  void Note(int index) {
    First = std::min(First, index);
    End = std::max(End, index + 1);
  }
  void NoteAll() { *this = WrittenSlots{}; }
  static WrittenSlots None() { return {INT_MAX, 0}; }
};
