// The alert list: new lines go in at its end, and a new line is shown where
// the dispatcher sees it. Raising an alert and replaying a recorded one both
// come through here.
#pragma once

#include <cstddef>

#include "store/run_state.h"

class Corvane3Data;

// Puts a line after the last one; with the list full, the oldest line is
// dropped first and the selected line moves with its text. At most
// kAlertLineChars - 1 characters are copied, the rest of the line is zeroed.
// Returns the line's index.
int AppendAlertLine(RunState& run, const char* text, size_t length);

// Shows line `index` in the alert pane (when the last alert is to be shown and
// the dispatcher is not browsing), refreshes an open alert window, and the cursor.
void ShowNewAlertLine(Corvane3Data& store, int index);
