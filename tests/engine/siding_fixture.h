// A main line with a passing siding, for the route, stack and device timer
// tests.
//
// x:  2    7   8   9      15 16 17  18    24   26   30
//     ==B0==  SW0 ====B1==== P  SW1 ==B3==   ==B4==       y=4
//   <L0   S0>    \ <L1    S1>   /       S3> <L4
//                 ====B2====                              y=6 (x 10-15)
//                         S2>
//
// S0-S3 govern moves to the right (below the track), L0, L1, L4 moves to the
// left. P is a one-cell pass-through block. SW0 faces moves to the right
// (diverging down and right), SW1 faces moves to the left.
#pragma once

#include "tests/engine/interlocking_fixture.h"

class SidingTest : public InterlockingTest {
 protected:
  SidingTest() {
    SetFieldText(store().Captions[0], kCaptionChars, "Corvane Notice");
    b0 = Block("B0", 2, 7);
    sw0 = t.Switch("SW0", {8, 4}, Diverge::DownRight);
    b1 = Block("B1", 9, 15);
    p = Block("P", 16, 16, 4, true);
    sw1 = t.Switch("SW1", {17, 4}, Diverge::DownLeft);
    b3 = Block("B3", 18, 24);
    b4 = Block("B4", 26, 30);
    b2 = Block("B2", 10, 15, 6);
    t.Link(b0, SwitchDevice(sw0));
    t.Link(SwitchDevice(sw0), b1);
    t.Link(b1, p);
    t.Link(p, SwitchDevice(sw1));
    t.Link(SwitchDevice(sw1), b3);
    t.Link(b3, b4);
    t.Branch(sw0, b2, End::Left);
    t.Branch(sw1, b2, End::Right);
    s0 = t.Signal(b0, End::Right, "S0");
    s1 = t.Signal(b1, End::Right, "S1");
    s2 = t.Signal(b2, End::Right, "S2");
    s3 = t.Signal(b3, End::Right, "S3");
    l0 = t.Signal(b0, End::Left, "L0");
    l1 = t.Signal(b1, End::Left, "L1");
    l4 = t.Signal(b4, End::Left, "L4");
  }

  int SwitchPosition(int sw) { return store().GetSwitchStatus(sw).Position; }
  int StackUsed() {
    int n = 0;
    while (n < kMaxStack && store().GetStackData(n).InUse == 1) ++n;
    return n;
  }

  int b0, sw0, b1, p, sw1, b3, b4, b2;
  int s0, s1, s2, s3, l0, l1, l4;
};
