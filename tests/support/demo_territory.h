// The demonstration territory the program opens at its first start (written
// as default.trk at build time by tools/make_default_territory):
//
//   x: 4        16    29      41        54                 78                  140       165          188
//   y=15                 BR ====BR1==== BR2 ==\                                  | NX (crossing line)
//   y=20  W1 ==1T01== X1a ==1T02== [Ashford 1] ==... 1T06 == J1 == ... 1T11 == D1 == ... X2a == 1T16 == E1
//   y=23  W2 ==2T01====== X1b ==2T02== [Ashford 2] == 2T04 == S1 ==2T05== S2 == ... == D2 == ... X2b == E2
//   y=26                                                \===AS (passing siding)===/      | SX
//
// A double-track main line (tracks 1 and 2, 16 blocks each) with two crossovers, a passing siding on track 2,
// a branch joining track 1 at junction J1, a single-track crossing line that crosses both main tracks on
// diamonds, the stations Ashford and Bexley with a platform on each track, entrance/exit locations at every
// line end, OS points at the stations and the junction, a wayside detector, three train types, 24 trains a
// weekday (passenger trains with their station stops), two start times, a slow order and a block permit.
#pragma once

#include "store/corvane3_data.h"

namespace territory {

// Builds the demonstration territory into the store (emptying it first).
void BuildDemonstrationTerritory(Corvane3Data& store);

}  // namespace territory
