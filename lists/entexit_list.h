// The entrance/exit location list ("Entrance/Exit Locations"): every named
// location with its block, entrance direction, priority, yard entrance and
// capacity, and whether trains must ask to enter. The locations are made with
// the territory-building program; this list only shows them.
#pragma once

#include "lists/list_frame.h"

class TTEntExit : public TListFrame {
  Q_OBJECT

 public:
  TTEntExit(Corvane3Data& store, QWidget* parent);

 protected:
  std::vector<list::Row> Fill() override;
};
