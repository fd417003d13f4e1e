// The control bar's alert buttons: Previous Alert and Next Alert move the
// shown alert line, which the alert field of the message bar shows; Go to
// Alert finds what the shown line speaks of (a train, a block, a track, a
// switch).
#pragma once

#include <string>

#include "shell/layout_view.h"
#include "store/corvane3_data.h"

bool CePreviousAlert(const Corvane3Data& store);
bool CeNextAlert(const Corvane3Data& store);
bool CeGotoAlert(const Corvane3Data& store);
void CmPreviousAlert(Corvane3Data& store);
// Also remembers the highest alert number the dispatcher has seen this way.
void CmNextAlert(Corvane3Data& store);

// Where an alert line leads: a cell of the layout, a train that is no longer shown, or nowhere.
struct AlertTarget {
  enum class Kind { None, Cell, TrainGone } What = Kind::None;
  layout::Cell At;
  std::string TrainId;  // the train of a TrainGone target
};
AlertTarget FindAlertTarget(const Corvane3Data& store, const std::string& line);

// The text of the shown alert line ("" when there is none).
std::string ShownAlertLine(const Corvane3Data& store);
