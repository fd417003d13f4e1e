// The names the File menu's commands propose, as plain functions of a path.
#pragma once

#include <ctime>
#include <string>

class Corvane3Data;

// The track path's folder and extension around "%02d-%02d-%02d %02d%02d %s": month, day, year modulo 100,
// hour, minute and the old name. c:\t\east.trk on 7 March 2004 at 14:05 gives c:\t\03-07-04 1405 east.trk.
std::string DateStampedTrackName(const std::string& trackPath, const std::tm& now);

// The track path in lower case, cut at its first ".trk", with ".ssm" appended.
std::string ProposedSimulationName(const std::string& trackPath);

// The extension of a path's file name, from its last dot ("" when it has none).
std::string FileExtension(const std::string& path);

inline constexpr const char* kTrackFilter = "Track Territory Files (*.trk)|*.trk";
inline constexpr const char* kSavedTrackFilter = "Saved Track Files (*.trk)|*.trk";

// After a track file load: an empty run over the new territory, shown from its top left corner.
void TerritoryReset(Corvane3Data& store);
// After a simulation load: its speed and territory shown from the top left corner.
void SimulationDisplay(Corvane3Data& store);
