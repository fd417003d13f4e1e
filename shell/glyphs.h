// The control bar's button pictures and the program icon, drawn in code.
#pragma once

#include <QIcon>

// The picture of a control-bar glyph resource (33, 34, 37, 38, 40, 41, 44, 45, 56, 57, 91, 92, 93).
QIcon Glyph(int resource);
// Icon resource 2.
QIcon ProgramIcon();
