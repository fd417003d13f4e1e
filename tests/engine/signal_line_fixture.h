// A line of three blocks joined by two switches, with a signal for moves to
// the right at the end of the first two blocks: the smallest territory on
// which a signal clears over a switch up to the next signal.
#pragma once

#include "tests/engine/interlocking_fixture.h"

// x:  2      9  10  11     18  19  20     27
//     ===B0===  SW0  ===B1===  SW1  ===B2===      y=4
//            S0               S1                  (both govern moves to the right, on row 5)
class SignalLineTest : public InterlockingTest {
 protected:
  SignalLineTest() {
    b0 = Block("B0", 2, 9);
    sw0 = t.Switch("SW0", {10, 4}, Diverge::UpRight);
    b1 = Block("B1", 11, 18);
    sw1 = t.Switch("SW1", {19, 4}, Diverge::UpRight);
    b2 = Block("B2", 20, 27);
    t.Link(b0, SwitchDevice(sw0));
    t.Link(SwitchDevice(sw0), b1);
    t.Link(b1, SwitchDevice(sw1));
    t.Link(SwitchDevice(sw1), b2);
    s0 = t.Signal(b0, End::Right, "S0");
    s1 = t.Signal(b1, End::Right, "S1");
  }

  int b0, b1, b2, sw0, sw1, s0, s1;
};
