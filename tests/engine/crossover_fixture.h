// A crossover beside a lone switch, for the switch-throwing tests of the
// engine and of CTC control mode.
#pragma once

#include "tests/engine/interlocking_fixture.h"

// x:  2    7  8  9      15
//     ==B0==  SWa ==B1==          y=4
//              `.
//     ==B2====== SWb ==B3==       y=6 (B2 x 2-9, SWb x 10, B3 x 11-17)
// SWa and SWb are crossover partners; SW0 stands alone at x 30.
struct CrossoverTerritory {
  int B0, B1, B2, B3, SWa, SWb, SW0;
};

inline CrossoverTerritory DrawCrossover(territory::TerritoryBuilder& t) {
  CrossoverTerritory c{};
  c.B0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {7, 4}});
  c.B2 = t.Block({.Name = "B2", .From = {2, 6}, .To = {9, 6}});
  const auto pair = t.Crossover("SWa", {8, 4}, "SWb", {10, 6});
  c.SWa = pair.first;
  c.SWb = pair.second;
  c.B1 = t.Block({.Name = "B1", .From = {9, 4}, .To = {15, 4}});
  c.B3 = t.Block({.Name = "B3", .From = {11, 6}, .To = {17, 6}});
  t.Link(c.B0, SwitchDevice(c.SWa));
  t.Link(SwitchDevice(c.SWa), c.B1);
  t.Link(c.B2, SwitchDevice(c.SWb));
  t.Link(SwitchDevice(c.SWb), c.B3);
  c.SW0 = t.Switch("SW0", {30, 4}, Diverge::UpRight);
  return c;
}
