// Run control: Start, Stop and the clock speed, the preparation of a run from
// one of the territory's start times, the sound switch and the operating
// modes (simulation with or without recording, playback, CTC control and
// External I/O). The decisions live here, over the store and the engine; the
// main frame's buttons and menu items only call in, and the windows are
// reached through the store's services.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace run_control {

// The clock speeds Faster and Slower step through.
inline constexpr int kSpeedSteps[] = {1, 2, 4, 6, 8, 10, 15, 20, 25, 30, 35, 40};
inline constexpr int kLowestSpeed = 1;
inline constexpr int kHighestSpeed = 40;

// One press of Faster or Slower from a speed: the next speed, or the same one at an end.
int FasterSpeed(int speed);
int SlowerSpeed(int speed);

// A start code names one start time on one day: start minute of day x 7 + day of week (0 = Sunday).
// The codes of every start time in use on every day it is flagged, ascending (time of day, then
// Sunday first); equal codes stay as separate entries.
std::vector<int32_t> StartCodes(const Corvane3Data& store);
// "%02d:%02d  %s": the code's time of day and day name.
std::string StartCodeText(int32_t code);

// The texts the user sees.
inline constexpr const char* kStartAgain = "You will need to click the Start button again to start the timer.";
inline constexpr const char* kNoStartInCTC = "You cannot start a simulation while your are in CTC mode.";
inline constexpr const char* kModeChangeWhileRunning =
    "You cannot change operating modes while the simulation is running.  You must restart the simulation.  Do "
    "you want to restart the simulation now?";

}  // namespace run_control

class RunControl {
 public:
  explicit RunControl(Engine& engine) : engine_(engine), store_(engine.Store()) {}
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  Corvane3Data& Store() { return store_; }

  // ---- the control bar
  // Stops the clock and shows "Stop".
  void StopSimulation();
  // The first press prepares a run (start-time choice), the next releases the clock.
  void CmStart();
  // Runs the start-time dialog and prepares the run it names; true when a run was prepared.
  bool SelectStartTime();
  // Prepares a run at that day of the week (0-6) and minute of day from a start-time record: the
  // clock, the end time, the playback recording (mode 1), the trains of that start time and the
  // first minute steps. False when the user chose not to go on without a recording.
  bool StartSimulation(int day, int minute, int startRecord);
  // Marks the track a just placed train covers behind its head as occupied, and its rear block.
  void OccupyTrainLength(int trainSlot);
  void CmFaster();
  void CmSlower();
  // The sound switch: the option flag only; the main frame swaps its two buttons.
  void CmSoundOn();
  void CmSoundOff();

  bool CeStop() const;
  bool CeStart() const;
  bool CeFaster() const;
  bool CeSlower() const;
  bool CeSoundOn() const;
  bool CeSoundOff() const;

  // ---- the Mode menu
  void CmSimulationNoPlayback();
  void CmSimulationWithPlayback();
  void CmPlayback();
  void CmCTCControl();
  void CmExternalIO();

  // Switching CTC control on ends by asking the field side for the state of every device; the
  // message builder lives with the interface, which hands it in here.
  void SetCTCAllDataRequest(std::function<void()> request) { ctcAllData_ = std::move(request); }

 private:
  MessageResult Ask(const std::string& text);
  void Tell(const std::string& text);
  void Refuse(const std::string& text);
  void ShowStopAndSpeed();
  void CheckModeItems(int checkedCommand);
  // The end of both simulation mode commands: the mode, its menu mark and option flag, the clock held.
  void EnterSimulationMode(bool recording);
  void LeaveCTCControl(OptionData& options);
  // Ends a failed playback opening: run-time status reset (when asked), file closed, mode restored.
  void AbandonPlayback(std::FILE* file, bool resetStatus);
  void ClosePlaybackReader();
  // Where the playback dialog starts and a recording's track file is looked for first.
  std::string HomeFolder() const;
  void PlaceStartTrain(const StartTime& start, int entry);

  Engine& engine_;
  Corvane3Data& store_;
  std::function<void()> ctcAllData_;
};
