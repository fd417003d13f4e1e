// The control bar's Previous Alert and Next Alert: they move the shown alert
// line, which the alert field of the message bar shows.
#pragma once

#include "store/corvane3_data.h"

bool CePreviousAlert(const Corvane3Data& store);
bool CeNextAlert(const Corvane3Data& store);
void CmPreviousAlert(Corvane3Data& store);
// Also remembers the highest alert number the dispatcher has seen this way.
void CmNextAlert(Corvane3Data& store);
