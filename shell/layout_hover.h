// The one-line descriptions the message field shows for what lies under the
// pointer, the train status line, and the edge zone that picks the scrolling
// pointer. Pure functions of the store, so that every text can be checked.
#pragma once

#include <string>

class Corvane3Data;

namespace hover {

// The device number the pointer finds at a cell: the grid's device, or 5000 + the last
// entrance/exit location in use whose cell it is.
int DeviceAt(Corvane3Data& store, int column, int row);

// Description of an entrance/exit location; awaitingStart hides the yard availability.
std::string DescribeLocation(Corvane3Data& store, int location, bool awaitingStart);
std::string DescribeBlock(Corvane3Data& store, int block);
std::string DescribeSwitch(Corvane3Data& store, int switchIndex);
std::string DescribeSignal(Corvane3Data& store, int signal);
std::string DescribeDiamond(Corvane3Data& store, int diamond);

// The train an occupied block shows in place of its description: the first slot moving right,
// the last filled slot moving left; -1 when it shows none.
int TrainShownByBlock(Corvane3Data& store, int block);

// The status line of a running train; false when it shows none (the field keeps its text).
bool TrainStatusLine(Corvane3Data& store, int slot, std::string& line);

// The edge zone of a pointer in a visible area (pixels, right and bottom inclusive) with the
// scroll position and ranges in units: 0 none, 1 left, 2 right, 3 bottom, 4 top, 5 right edge
// at the right end, 6 left edge at the left end.
struct Area {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
int EdgeZone(int x, int y, const Area& area, int scrollX, int scrollY, int rangeX, int rangeY);

}  // namespace hover
