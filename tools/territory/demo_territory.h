// The demonstration territory the program opens at its first start (written
// as default.trk at build time by tools/make_default_territory, with its
// comments file default.txt and its settings file default.tds):
//
//   x: 4        16    29      41        54          78 82              140       165          188
//   y=15                BR ===BR1=== BR2 (Millbrook Mill) ==\               | NX (Crosstown Railway)
//   y=20  W1 ==1T01== X1a ==1T02== [Ashford 1] ==... 1T06 == J1 X3a == ... 1T11 == D1 == ... X2a == 1T15 == E1
//   y=23  W2 ==2T01====== X1b ==2T02== [Ashford 2] == 2T04 == S1 ==2T05== S2 == 2T06 X3b ... D2 ... X2b == E2
//   y=26                                                \===AS (passing siding)===/             | SX
//
// Two main tracks (track 1 westbound, track 2 eastbound) with three crossovers, a passing siding on track 2,
// the Millbrook branch joining track 1 at junction J1 with the mill's work area and Millbrook Yard (the
// entrance BR asks the dispatcher's permission and takes twelve trains a day), the Crosstown Railway crossing
// both main tracks on diamonds with its own traffic, the stations Ashford and Bexley with a platform on each
// track and crew change points at Bexley, wayside detectors, speeds rising with the blocks cleared ahead,
// entered running times on the branch, three train types and 37 trains a weekday: passenger trains with
// their stops, freights, a local that works the mill and comes back on a second entry, a train that becomes
// another at Bexley, a freight whose crew runs out of time. Three start times, a weekday slow order and a
// weekday block permit. Every signal governs a route into a block of the territory: none stands at a track
// end that leads off it.
#pragma once

#include <string>

#include "store/corvane3_data.h"

namespace territory {

// Builds the demonstration territory into the store (emptying it first).
void BuildDemonstrationTerritory(Corvane3Data& store);

// The text of its comments file.
std::string DemonstrationComments();

// Its random-event settings (the territory settings file): the given record with the detectors' alarm rates.
RandomData DemonstrationRandomData(RandomData random);

}  // namespace territory
