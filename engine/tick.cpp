// The heart beat: timer 0 moves the simulation clock and runs every engine
// step in a fixed order, timer 1 blinks, timer 2 sounds the pending alert beeps.
#include <string>

#include "engine/ctc_permits.h"
#include "engine/device_walks.h"
#include "engine/diamond_traffic.h"
#include "engine/engine.h"
#include "store/command_ids.h"
#include "store/file_results.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"

namespace {

constexpr int kCTCPollInterval = 500;
constexpr int kBlinkInterval = 500;
constexpr int kBeepInterval = 1100;

constexpr const char* kRunOverText =
    "The simulation is over.  You may start a new simulation by selecting Restart Simulation in the File menu";
constexpr const char* kPlaybackOverText = "Playback is over.";
constexpr const char* kSwitchHint =
    "To change the position of switches, place the mouse pointer on a switch and click the left button.";
constexpr const char* kSignalHint =
    "Trains must have a green signal to move.  To make a signal green (clear), place the mouse pointer on a "
    "signal and click the left button.";

}  // namespace

int Engine::TickInterval() const {
  const int32_t speed = store_.Run.ClockSpeed;
  // A speed of 0 (never set by the speed commands) must not divide by zero.
  return speed > 0 ? 10000 / speed : 500;
}

int Engine::Tick() {
  Corvane3Data& store = store_;
  // One performance line per tick however many train steps change it; every way out shows it.
  const Corvane3Data::PerformanceLineHold performanceLine(store);
  RunState& run = Run();
  InterfaceService& io = store.Interface();
  const auto step = [this](std::string_view name) {
    if (stepTrace_) stepTrace_(name);
  };

  if (run.SavedClockSpeed != run.ClockSpeed) run.SavedClockSpeed = run.ClockSpeed;

  // CTC control mode: the clock stands still; the tick polls the interface files.
  if (store.OptionDataRef().CTCControlOn) {
    step("FormatClockText");
    store.FormatClockText();
    store.ShowPerformanceLine();
    step("CheckPermitTimes");
    ctc::CheckPermitTimes(*this);
    step("CTCReadXferInFile");
    io.CTCReadXferInFile();
    step("UpdateBlocksClearedAhead");
    walks::UpdateBlocksClearedAhead(*this);
    if (store.CTCQueue.Count > 0) {
      step("FlushCTCControls");
      io.FlushCTCControls();
    }
    return kCTCPollInterval;
  }

  if (store.OperatingMode == operating_mode::kPlayback) {
    if (run.SimStopped || run.SimPaused) {
      store.ShowPerformanceLine();
      return TickInterval();
    }
    step("ReadPlayback");
    const int replayed = PlaybackFile(store).Read(store.SimClock);
    store.ShowPerformanceLine();  // at the clock of the records just applied
    if (replayed == file_result::kPlaybackEnded) {
      store.OperatingMode = operating_mode::kSimulation;
      store.Shell().CheckMenuItem(command_id::kModePlayback, false);
      store.Shell().CheckMenuItem(command_id::kModeSimulation, true);
      step("StopSimulation");
      store.StopSimulation();
      store.ShowMessage(kPlaybackOverText, MessageIcon::Information);
      return TickInterval();
    }
    step("AdvanceSimClock");
    store.AdvanceSimClock(kTickSeconds);
    step("FormatClockText");
    store.FormatClockText();
    return TickInterval();
  }

  // Simulation. The stack and the External I/O inbox run even while stopped or paused.
  step("ProcessSignalStack");
  ProcessSignalStack();
  step("EIOReadXferInFile");
  io.EIOReadXferInFile();

  const bool ended = (store.SimEndTime != -1 && store.SimClock >= store.SimEndTime) || store.SimClock >= RunLimit;
  if (ended) {
    run.RunEnded = 1;
    run.SimStopped = 1;
    if (!run.RunOverShown) {
      store.ShowMessage(kRunOverText, MessageIcon::Warning);
      run.RunOverShown = 1;
    }
    run.RunStarted = 0;
    return TickInterval();
  }
  // Cleared only while neither limit is reached, so an ended run shows its message once.
  run.RunOverShown = 0;

  if (!run.SimStopped && !run.SimPaused) {
    if (!run.RunStarted) {
      store.PendingBeeps = 0;
      store.BeepIdle = 1;
      run.RunStarted = 1;
      step("ScheduleTrains");
      ScheduleTrains();
    }
    if (store.FirstRunHints && !store.FirstRunHintsShown) {
      store.FirstRunHintsShown = 1;
      store.ShowMessage(kSwitchHint, MessageIcon::Information);
      store.ShowMessage(kSignalHint, MessageIcon::Information);
    }
    step("AdvanceSimClock");
    store.AdvanceSimClock(kTickSeconds);
    step("StepTrains");
    StepTrains();
    step("AdvanceMovingTrains");
    AdvanceMovingTrains();
    step("ReclearSignals");
    ReclearSignals();
    if ((store.SimClock / 10) % 6 == 0) MinuteWork();
  }

  if (store.EIOQueue.Count > 0 && !run.OutputHold) {
    step("FlushEIOIndications");
    io.FlushEIOIndications();
  }
  step("FormatClockText");
  store.FormatClockText();
  store.ShowPerformanceLine();
  return TickInterval();
}

void Engine::MinuteWork() {
  Corvane3Data& store = store_;
  const auto run = [this](std::string_view name, auto&& work) {
    if (stepTrace_) stepTrace_(name);
    work();
  };

  run("ScheduleBlockPermits", [&] { ScheduleBlockPermits(); });
  run("ProcessPermitRequests", [&] { ProcessPermitRequests(); });
  run("ProcessDiamondTraffic", [&] { crossing::ProcessDiamondTraffic(*this); });
  run("ActivateSlowOrders", [&] { ActivateSlowOrders(); });
  run("UpdateTimedSlowOrders", [&] { UpdateTimedSlowOrders(); });
  run("ActivateTimedSlowOrders", [&] { ActivateTimedSlowOrders(); });
  run("ExpireSlowOrders", [&] { ExpireSlowOrders(); });
  run("RepairSwitches", [&] { RepairSwitches(); });
  run("ProcessCrewSwitchThrows", [&] { ProcessCrewSwitchThrows(); });
  run("RepairSignals", [&] { RepairSignals(); });
  run("ScheduleTrains", [&] { ScheduleTrains(); });
  run("CheckCrewTimes", [&] { CheckCrewTimes(); });
  run("ExpireRunningTimes", [&] { ExpireRunningTimes(); });
  run("UpdateBlocksClearedAhead", [&] { walks::UpdateBlocksClearedAhead(*this); });
  if (store.ActiveListDirty && store.Lists().IsListOpen(ListWindow::ActiveTrains)) {
    run("ListBuild", [&] {
      store.Lists().RefreshList(ListWindow::ActiveTrains);
      store.ActiveListDirty = 0;
    });
  }
  // The slot of the current hour is rewritten every minute: it keeps the hour's last state.
  run("UpdateArchivePerformStatus", [&] { store.ArchivePerformStatus(); });
  run("ClosePlaybackFile", [&] { PlaybackFile(store).Close(); });
}

int Engine::BlinkStep() {
  InterfaceService& io = store_.Interface();
  ++Run().BlinkCounter;
  BlinkRunningTimeSignals();
  FlashSelectedDevice();
  io.CTCBlinkPendingSwitches();
  walks::CTCRedrawPendingDevices(*this);
  return kBlinkInterval;
}

int Engine::BeepStep() {
  if (!Run().RunStarted) store_.PendingBeeps = 0;
  store_.BeepIdle = 1;
  if (store_.PendingBeeps > 0) {
    store_.Shell().Beep();
    --store_.PendingBeeps;
    store_.BeepIdle = 0;
  }
  return kBeepInterval;
}
