// The File menu's commands that change, reload or save the territory and the
// simulation, and the recent-file commands. The windows run them on their
// menu commands; the dialogs and repaints go through the shell service.
#include "store/file_commands.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "store/command_ids.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/simulation_file_format.h"

namespace {

constexpr int kModeCommands[] = {command_id::kModeSimulation, command_id::kModeRecording, command_id::kModePlayback,
                                 command_id::kModeCTC, command_id::kModeExternalIO};

// Folder (with its separator) and file name of a path; a path written on Windows splits at "\" too.
size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string FileExtension(const std::string& path) {
  const size_t name = NameStart(path);
  const size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < name ? std::string() : path.substr(dot);
}

std::string DateStampedTrackName(const std::string& trackPath, const std::tm& now) {
  const size_t nameAt = NameStart(trackPath);
  const std::string extension = FileExtension(trackPath);
  const std::string folder = trackPath.substr(0, nameAt);
  const std::string name = trackPath.substr(nameAt, trackPath.size() - nameAt - extension.size());
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d-%02d-%02d %02d%02d ", now.tm_mon + 1, now.tm_mday, now.tm_year % 100,
                now.tm_hour, now.tm_min);
  return folder + stamp + name + extension;
}

std::string ProposedSimulationName(const std::string& trackPath) {
  std::string lower = trackPath;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t cut = lower.find(".trk");
  if (cut != std::string::npos) lower.resize(cut);
  return lower + ".ssm";
}

namespace {

// The question before changed track data is lost: -1 when not asked or answered No, else SaveTrackFileAs's
// result.
int AskToSaveChangedTrackData(Corvane3Data& store) {
  if (!store.TrackDataChanged()) return -1;
  const MessageResult answer = store.Messages().ShowMessage(
      "You have made changes to the track data.  You will have to save a new track execute file (.trk) to save "
      "these changes.  Do you want to save a new track file?",
      FieldText(store.Captions[0], kCaptionChars), MessageIcon::Question, MessageButtons::YesNo);
  return answer == MessageResult::Yes ? store.SaveTrackFileAs() : -1;
}

}  // namespace

// After a track file load: an empty run over the new territory, shown from its top left corner.
void TerritoryReset(Corvane3Data& store) {
  ShellService& shell = store.Shell();
  store.Run.Loading = 1;
  store.InitSimulationStatus();
  shell.ResetSimulationDisplay();
  shell.ShowTrackFileName();
  store.Run.Loading = 0;
  shell.ComputeLayoutExtent();
  shell.SetScrollPosition(0, 0);
  shell.InvalidateLayout(true);
  store.Run.RunStarted = 0;
  // A new territory has no run prepared: the next Start asks for a start time.
  store.Run.AwaitingStart = 1;
  store.RefreshAllWindows();
}

// After a simulation load: its speed and territory shown from the top left corner.
void SimulationDisplay(Corvane3Data& store) {
  ShellService& shell = store.Shell();
  // A saved run goes on with Start; only one saved before its clock started still needs a start time.
  store.Run.AwaitingStart = store.SimClock < 0 ? 1 : 0;
  shell.ShowStatusText(StatusPane::Speed, std::to_string(store.Run.ClockSpeed));
  shell.ShowTrackFileName();
  store.Run.Loading = 0;
  shell.ComputeLayoutExtent();
  shell.SetScrollPosition(0, 0);
  shell.InvalidateLayout(true);
}

namespace {

bool LoadTrackAndReset(Corvane3Data& store, const std::string& path) {
  store.InitTerritoryData();
  if (store.LoadTrackFile(path, -1) != file_result::kDone) return false;
  SetFieldText(store.TrackFilePath, path);
  TerritoryReset(store);
  return true;
}

}  // namespace

void Corvane3Data::RestorePreviousMode() {
  if (OperatingMode != operating_mode::kPlayback) return;
  OperatingMode = PreviousOperatingMode == operating_mode::kNone ? operating_mode::kSimulation : PreviousOperatingMode;
  // The replay is over: its file is let go.
  if (PlaybackIn) {
    std::fclose(PlaybackIn);
    PlaybackIn = nullptr;
  }
  NextPlaybackTime = -1;
  OptionData options = GetOptionData();
  // External I/O runs beside every simulation mode: its mark keeps following its flag.
  for (const int command : kModeCommands)
    shell_->CheckMenuItem(command, command == command_id::kModeExternalIO && options.ExternalIOOn == 1);
  shell_->CheckMenuItem(
      OperatingMode == operating_mode::kSimulation ? command_id::kModeSimulation : command_id::kModeRecording, true);
  options.Flag10 = OperatingMode == operating_mode::kSimulation ? 0 : 1;
  options.CTCControlOn = 0;
  UpdateOptionData(options);
  shell_->ShowStatusText(StatusPane::RunState, "Stop");
  shell_->ShowStatusText(StatusPane::Speed, std::to_string(Run.ClockSpeed));
}

int Corvane3Data::SaveTrackFileAs() {
  const std::string proposal = DateStampedTrackName(FieldText(TrackFilePath), GetRealTime());
  const std::string chosen = shell_->AskSaveFileName({kSavedTrackFilter, FieldText(DialogFolder), proposal, "*"});
  if (chosen.empty()) return file_result::kCannotOpen;
  return WriteTrackFile(chosen, 1);
}

void Corvane3Data::CmSaveTrackFile() { SaveTrackFileAs(); }

int Corvane3Data::ReloadTerritory() {
  const std::string path = FieldText(TrackFilePath);
  InitTerritoryData();
  const int result = LoadTrackFile(path, -1);
  if (result == file_result::kDone) TerritoryReset(*this);
  return result;
}

void Corvane3Data::CmOpenOldFile(int commandId) {
  if (commandId < command_id::kOldFileFirst || commandId >= command_id::kOldFileFirst + kMaxOldFiles) return;
  RestorePreviousMode();
  AskToSaveChangedTrackData(*this);
  const std::string path = GetOldFile(commandId - command_id::kOldFileFirst);
  // The extension is compared exactly: ".TRK" is neither loaded nor refused.
  const std::string extension = FileExtension(path);
  if (extension == ".trk") {
    LoadTrackAndReset(*this, path);
  } else if (extension == ".ssm") {
    if (options_.CTCControlOn == 1) {
      ShowMessage("You cannot load a saved simulation when you are in CTC mode", MessageIcon::Information);
      return;
    }
    if (LoadSimulation(path, -1) != file_result::kDone) return;
    SimulationDisplay(*this);
    StopSimulation();
  }
}

void Corvane3Data::CmRestartSimulation() {
  if (ShowMessage("Do you want to re-start the simulation?", MessageIcon::Question, MessageButtons::YesNo) !=
      MessageResult::Yes) {
    return;
  }
  ClosePlaybackFile();
  std::string path = GetOldFile(0);
  if (AskToSaveChangedTrackData(*this) == 0 &&
      ShowMessage("You want to load the new track file you just saved?", MessageIcon::Question,
                  MessageButtons::YesNo) == MessageResult::Yes) {
    path = FieldText(LastSavedTrackPath);
  }
  if (path.empty()) path = FieldText(TrackFilePath);
  const std::string extension = FileExtension(path);
  if (extension == ".trk") {
    LoadTrackAndReset(*this, path);
  } else if (extension == ".ssm") {
    // A restart reloads the simulation in CTC control mode too.
    if (LoadSimulation(path, -1) != file_result::kDone) return;
    SimulationDisplay(*this);
    RefreshAllWindows();
    StopSimulation();
  }
}

void Corvane3Data::CmChangeTerritory() {
  Run.SimStopped = 1;
  RestorePreviousMode();
  shell_->ShowStatusText(StatusPane::RunState, "Stop");
  const FileDialogRequest request{kTrackFilter, FieldText(DialogFolder), FieldText(TrackFilePath), "*"};
  Run.Loading = 1;
  std::string chosen;
  for (;;) {
    chosen = shell_->AskOpenFileName(request);
    if (chosen.empty()) {
      Run.Loading = 0;
      shell_->InvalidateLayout(true);
      return;
    }
    if (AlertWindowOpen != 0) shell_->CloseAlertWindow();
    AskToSaveChangedTrackData(*this);
    InitTerritoryData();
    if (LoadTrackFile(chosen, -1) == file_result::kDone) break;
  }
  SetFieldText(TrackFilePath, chosen);
  TerritoryReset(*this);
}

void Corvane3Data::CmOpenSavedSimulation() {
  if (options_.CTCControlOn == 1) {
    ShowMessage("You cannot load a saved simulation when you are in CTC mode.", MessageIcon::Information);
    return;
  }
  StopSimulation();
  RestorePreviousMode();
  const FileDialogRequest request{kSimulationFilter, FieldText(DialogFolder), "", "*"};
  for (;;) {
    const std::string chosen = shell_->AskOpenFileName(request);
    if (chosen.empty()) return;
    if (LoadSimulation(chosen, -1) == file_result::kDone) break;
  }
  SimulationDisplay(*this);
}

void Corvane3Data::CmSaveSimulationAs() {
  if (options_.CTCControlOn == 1) {
    ShowMessage("You cannot save a simulation when you are in CTC mode.", MessageIcon::Information);
    return;
  }
  StopSimulation();
  const std::string proposal = ProposedSimulationName(FieldText(TrackFilePath));
  const std::string chosen = shell_->AskSaveFileName({kSimulationFilter, FieldText(DialogFolder), proposal, "*"});
  if (chosen.empty()) return;
  SaveSimulation(chosen);
}
