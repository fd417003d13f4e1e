// The File menu's decisions: which file to open, save or reload, the questions
// before changed track data is lost, and the recent-file list with its menu
// items. The names the commands propose are plain functions of a path.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

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

// The File menu's commands over the store: they stop the run, ask before changed track data is lost, run
// their file dialogs through the shell, call the file formats and bring the windows in line.
class FileCommands {
 public:
  explicit FileCommands(Corvane3Data& store) : store_(store) {}

  void CmOpenOldFile(int commandId);  // commands 2000-2009: the recent files
  void CmRestartSimulation();
  void CmChangeTerritory();
  void CmOpenSavedSimulation();
  void CmSaveSimulationAs();
  void CmSaveTrackFile();
  // The track file writer's result for the chosen file, or 3 when the dialog was cancelled.
  int SaveTrackFileAs();
  // Reloads the current track file (a run with playback starts from it); the track file load's result.
  int ReloadTerritory();
  // Leaves playback mode for the mode before it (5 becomes 0); nothing in any other mode.
  void RestorePreviousMode();

  // Recent files, slot 0 the most recent; they appear in the File menu as commands 2000 + slot.
  std::string GetOldFile(int index);
  void AddOldFile(std::string_view path);
  void InsertOldFileMenu();

 private:
  Corvane3Data& store_;
};
