// Font faces named in territory files and by the painting code, as this machine draws them.
#pragma once

#include <QFont>
#include <QString>

// The free fixed-pitch face that stands in for "Courier New", loaded from its installed file the
// first time it is asked for; empty when that file cannot be loaded.
QString FixedPitchFamily();

// A font of the given face. "Courier New" (and plain "Courier"), which Linux lacks, is mapped to
// FixedPitchFamily(), so the look and the painted pixels do not depend on the fonts installed;
// any other face is left to Qt.
QFont FaceFont(const QString& face);
