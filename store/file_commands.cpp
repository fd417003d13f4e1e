// The File menu's commands that change, reload or save the territory and the
// simulation, and the recent-file commands. The windows run them on their
// menu commands; the dialogs and repaints go through the shell service.
#include "store/file_commands.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "store/command_ids.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"
#include "store/simulation_file.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"

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
  // The name made here is in lower case; the folder stays as it is, since on a file system that tells the
  // cases apart a lower-cased folder is another folder, most often one that does not exist.
  const size_t nameAt = NameStart(trackPath);
  std::string name = trackPath.substr(nameAt);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t cut = name.find(".trk");
  if (cut != std::string::npos) name.resize(cut);
  return trackPath.substr(0, nameAt) + name + ".ssm";
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
  return answer == MessageResult::Yes ? FileCommands(store).SaveTrackFileAs() : -1;
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
  if (TrackFile(store).Load(path, -1) != file_result::kDone) return false;
  SetFieldText(store.TrackFilePath, path);
  TerritoryReset(store);
  return true;
}

}  // namespace

void FileCommands::RestorePreviousMode() {
  if (store_.OperatingMode != operating_mode::kPlayback) return;
  store_.OperatingMode = store_.PreviousOperatingMode == operating_mode::kNone ? operating_mode::kSimulation
                                                                               : store_.PreviousOperatingMode;
  // The replay is over: its file is let go.
  if (store_.PlaybackIn) {
    std::fclose(store_.PlaybackIn);
    store_.PlaybackIn = nullptr;
  }
  store_.NextPlaybackTime = -1;
  OptionData options = store_.GetOptionData();
  // External I/O runs beside every simulation mode: its mark keeps following its flag.
  for (const int command : kModeCommands)
    store_.Shell().CheckMenuItem(command, command == command_id::kModeExternalIO && options.ExternalIOOn == 1);
  store_.Shell().CheckMenuItem(
      store_.OperatingMode == operating_mode::kSimulation ? command_id::kModeSimulation : command_id::kModeRecording,
      true);
  options.Flag10 = store_.OperatingMode == operating_mode::kSimulation ? 0 : 1;
  options.CTCControlOn = 0;
  store_.UpdateOptionData(options);
  store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(store_.Run.ClockSpeed));
}

int FileCommands::SaveTrackFileAs() {
  const std::string proposal = DateStampedTrackName(FieldText(store_.TrackFilePath), store_.GetRealTime());
  const std::string chosen =
      store_.Shell().AskSaveFileName({kSavedTrackFilter, FieldText(store_.DialogFolder), proposal, "*"});
  if (chosen.empty()) return file_result::kCannotOpen;
  return TrackFile(store_).Write(chosen, 1);
}

void FileCommands::CmSaveTrackFile() { SaveTrackFileAs(); }

int FileCommands::ReloadTerritory() {
  const std::string path = FieldText(store_.TrackFilePath);
  store_.InitTerritoryData();
  const int result = TrackFile(store_).Load(path, -1);
  if (result == file_result::kDone) TerritoryReset(store_);
  return result;
}

void FileCommands::CmOpenOldFile(int commandId) {
  if (commandId < command_id::kOldFileFirst || commandId >= command_id::kOldFileFirst + kMaxOldFiles) return;
  RestorePreviousMode();
  AskToSaveChangedTrackData(store_);
  const std::string path = GetOldFile(commandId - command_id::kOldFileFirst);
  // The extension is compared exactly: ".TRK" is neither loaded nor refused.
  const std::string extension = FileExtension(path);
  if (extension == ".trk") {
    LoadTrackAndReset(store_, path);
  } else if (extension == ".ssm") {
    if (store_.OptionDataRef().CTCControlOn == 1) {
      store_.ShowMessage("You cannot load a saved simulation when you are in CTC mode", MessageIcon::Information);
      return;
    }
    if (SimulationFile(store_).Load(path, -1) != file_result::kDone) return;
    SimulationDisplay(store_);
    store_.StopSimulation();
  }
}

void FileCommands::CmRestartSimulation() {
  if (store_.ShowMessage("Do you want to re-start the simulation?", MessageIcon::Question, MessageButtons::YesNo) !=
      MessageResult::Yes) {
    return;
  }
  PlaybackFile(store_).Close();
  std::string path = GetOldFile(0);
  if (AskToSaveChangedTrackData(store_) == 0 &&
      store_.ShowMessage("You want to load the new track file you just saved?", MessageIcon::Question,
                         MessageButtons::YesNo) == MessageResult::Yes) {
    path = FieldText(store_.LastSavedTrackPath);
  }
  if (path.empty()) path = FieldText(store_.TrackFilePath);
  const std::string extension = FileExtension(path);
  if (extension == ".trk") {
    LoadTrackAndReset(store_, path);
  } else if (extension == ".ssm") {
    // A restart reloads the simulation in CTC control mode too.
    if (SimulationFile(store_).Load(path, -1) != file_result::kDone) return;
    SimulationDisplay(store_);
    store_.RefreshAllWindows();
    store_.StopSimulation();
  }
}

void FileCommands::CmChangeTerritory() {
  store_.Run.SimStopped = 1;
  RestorePreviousMode();
  store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
  const FileDialogRequest request{kTrackFilter, FieldText(store_.DialogFolder), FieldText(store_.TrackFilePath), "*"};
  store_.Run.Loading = 1;
  std::string chosen;
  for (;;) {
    chosen = store_.Shell().AskOpenFileName(request);
    if (chosen.empty()) {
      store_.Run.Loading = 0;
      store_.Shell().InvalidateLayout(true);
      return;
    }
    if (store_.AlertWindowOpen != 0) store_.Shell().CloseAlertWindow();
    AskToSaveChangedTrackData(store_);
    store_.InitTerritoryData();
    if (TrackFile(store_).Load(chosen, -1) == file_result::kDone) break;
  }
  SetFieldText(store_.TrackFilePath, chosen);
  TerritoryReset(store_);
}

void FileCommands::CmOpenSavedSimulation() {
  if (store_.OptionDataRef().CTCControlOn == 1) {
    store_.ShowMessage("You cannot load a saved simulation when you are in CTC mode.", MessageIcon::Information);
    return;
  }
  store_.StopSimulation();
  RestorePreviousMode();
  const FileDialogRequest request{kSimulationFilter, FieldText(store_.DialogFolder), "", "*"};
  for (;;) {
    const std::string chosen = store_.Shell().AskOpenFileName(request);
    if (chosen.empty()) return;
    if (SimulationFile(store_).Load(chosen, -1) == file_result::kDone) break;
  }
  SimulationDisplay(store_);
}

void FileCommands::CmSaveSimulationAs() {
  if (store_.OptionDataRef().CTCControlOn == 1) {
    store_.ShowMessage("You cannot save a simulation when you are in CTC mode.", MessageIcon::Information);
    return;
  }
  store_.StopSimulation();
  const std::string proposal = ProposedSimulationName(FieldText(store_.TrackFilePath));
  const std::string chosen =
      store_.Shell().AskSaveFileName({kSimulationFilter, FieldText(store_.DialogFolder), proposal, "*"});
  if (chosen.empty()) return;
  SimulationFile(store_).Save(chosen);
}

// ---------------------------------------------------------------- recent files

std::string FileCommands::GetOldFile(int index) {
  if (index < 0 || index >= kMaxOldFiles) {
    store_.ReportIndexError(index, "Old File", "GetOldFile");
    index = 0;
  }
  return FieldText(store_.OldFileList[index], kPathChars);
}

void FileCommands::AddOldFile(std::string_view path) {
  // An empty path would end the list at slot 0 and hide every other entry.
  if (path.empty()) return;
  for (int i = 0; i < kMaxOldFiles; ++i)
    if (store_.OldFileList[i][0] != '\0') store_.Shell().RemoveMenuItem(command_id::kOldFileFirst + i);

  char entry[kPathChars];
  SetFieldText(entry, kPathChars, path);
  const std::string wanted = FieldText(entry, kPathChars);
  // Take an existing copy out, closing the gap, so that the path is listed once.
  for (int i = 0; i < kMaxOldFiles; ++i) {
    if (FieldText(store_.OldFileList[i], kPathChars) != wanted) continue;
    for (int k = i; k < kMaxOldFiles - 1; ++k)
      std::memcpy(store_.OldFileList[k], store_.OldFileList[k + 1], kPathChars);
    std::memset(store_.OldFileList[kMaxOldFiles - 1], 0, kPathChars);
    break;
  }
  for (int k = kMaxOldFiles - 1; k > 0; --k) std::memcpy(store_.OldFileList[k], store_.OldFileList[k - 1], kPathChars);
  std::memcpy(store_.OldFileList[0], entry, kPathChars);
  InsertOldFileMenu();
}

void FileCommands::InsertOldFileMenu() {
  for (int i = 0; i < kMaxOldFiles; ++i) {
    const std::string path = FieldText(store_.OldFileList[i], kPathChars);
    if (!path.empty()) store_.Shell().InsertMenuItem(command_id::kOldFileFirst + i, path, command_id::kExit);
  }
}
