#include "engine/run_control.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/device_walks.h"
#include "engine/movement_common.h"
#include "store/command_ids.h"
#include "store/device_numbers.h"
#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/text_format.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "store/wall_clock.h"
#include "store/whole_file/whole_file.h"

using textfmt::Format;

namespace {

using movement::ValidBlock;
using movement::ValidType;

constexpr int32_t kLateStationWindow = 72000;  // a stop more than 20 hours ahead was yesterday's
constexpr uint16_t kNoEntry = 0xFFFF;
constexpr int kFirstSwitch = device::kSwitchBase, kFirstSignal = device::kSignalBase,
              kFirstDiamond = device::kDiamondBase, kNoDevice = device::kDeviceLimit;

constexpr const char* kDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr const char* kChangedTrackFile =
    "You have made changes to the track file (.trk).  If you want to later save this simulation or to play it "
    "back, you must save the changes as a new track file (.trk) and then reload it (Change territory).  Do you "
    "want to continue?";
constexpr const char* kPlaybackFileNext = "The next dialog will ask for the name of the playback file.";
constexpr const char* kNoPlaybackFile =
    "A playback file could not be created.  Do you want to continue without recording a playback file?";
constexpr const char* kPlaybackContinue =
    "You are currently in Playback mode.  You can continue from the status of the simulation or restart.  Do you "
    "want to continue without restarting?";
constexpr const char* kPlaybackRestart =
    "You are currently in Playback mode.  You must restart the simulation to continue.  Do you want to retart the "
    "simulation now?";
constexpr const char* kPlaybackNotOpened = "Could not open playback file.";
constexpr const char* kIllegalPlayback = "Illegal playback file!";
constexpr const char* kNewerPlayback =
    "The playback file being loaded has an newer file structure than this program can handle.";
constexpr const char* kOtherTrackVersion =
    "This playback file was created from a different version of the \"%s\" track file and, therefore, cannot be "
    "loaded.";
constexpr const char* kTrackNotLoaded = "The track file \"%s\" of this playback file could not be loaded.";

// The random value below n that the engine's halving index carries in its low half.
int Random(Engine& engine, int n) { return engine.RandomHalvingIndex(n) & 0xFFFF; }

// The name and extension of a path, which may have been written with either separator.
std::string FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileExists(const std::string& path) { return whole_file::Readable(path); }

void AddTrain(BlockStatus& status, int slot) {
  for (uint16_t& train : status.Trains)
    if (train == slot) return;
  for (uint16_t& train : status.Trains) {
    if (train == kNoEntry) {
      train = static_cast<uint16_t>(slot);
      return;
    }
  }
}

}  // namespace

namespace run_control {

int FasterSpeed(int speed) {
  if (speed >= kHighestSpeed) return speed;
  if (speed >= 10) return std::min(speed + 5, kHighestSpeed);
  if (speed >= 2) return speed + 2;
  return 2;
}

int SlowerSpeed(int speed) {
  if (speed <= kLowestSpeed) return speed;
  if (speed == 2) return 1;
  if (speed <= 10) return speed - 2;
  return speed - 5;
}

std::vector<int32_t> StartCodes(const Corvane3Data& store) {
  std::vector<int32_t> codes;
  for (int i = 0; i < kMaxStartTimes; ++i) {
    const StartTime start = store.GetStartTime(i);
    if (start.InUse == 0) continue;
    for (int day = 0; day < 7; ++day)
      if (start.Days[day] == 1) codes.push_back(int32_t{start.Word1} * 7 + day);
  }
  std::stable_sort(codes.begin(), codes.end());
  return codes;
}

std::string StartCodeText(int32_t code) {
  const int32_t minute = code / 7;
  const int day = static_cast<int>(((code % 7) + 7) % 7);
  char text[40];
  std::snprintf(text, sizeof text, "%02d:%02d  %s", minute / 60, minute % 60, kDayNames[day]);
  return text;
}

}  // namespace run_control

// ---------------------------------------------------------------- messages

MessageResult RunControl::Ask(const std::string& text) {
  return store_.Messages().ShowMessage(text, FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Question,
                                       MessageButtons::YesNo);
}

void RunControl::Tell(const std::string& text) {
  store_.Messages().ShowMessage(text, FieldText(store_.Captions[0], kCaptionChars), MessageIcon::Information,
                                MessageButtons::Ok);
}

void RunControl::Refuse(const std::string& text) { store_.ShowMessage(text, MessageIcon::Error); }

void RunControl::ShowStopAndSpeed() {
  store_.Shell().ShowStatusText(StatusPane::RunState, "Stop");
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(store_.Run.ClockSpeed));
}

// ---------------------------------------------------------------- the control bar

void RunControl::StopSimulation() { store_.StopSimulation(); }

void RunControl::CmStart() {
  engine_.Random().Seed(static_cast<uint32_t>(WallClockNow()));
  if (store_.GetOptionData().CTCControlOn == 1) {
    Refuse(run_control::kNoStartInCTC);
    return;
  }
  RunState& run = store_.Run;
  if (run.RunEnded == 1) return;
  if (run.AwaitingStart == 1) {
    if (store_.TrackDataChanged() && Ask(kChangedTrackFile) != MessageResult::Yes) return;
    if (!SelectStartTime()) return;
    Tell(run_control::kStartAgain);
    return;
  }
  run.SimStopped = 0;
  if (run.SimPaused == 0) store_.Shell().ShowStatusText(StatusPane::RunState, "Run");
}

bool RunControl::SelectStartTime() {
  const int result = store_.Dialogs().RunSelectStartDialog();
  if (result < 1000) return false;
  const int code = result - 1000;
  const int minute = code / 7, day = code % 7;
  for (int i = 0; i < kMaxStartTimes; ++i) {
    const StartTime start = store_.GetStartTime(i);
    if (start.InUse != 0 && start.Word1 == minute && start.Days[day] == 1) return StartSimulation(day, minute, i);
  }
  return false;
}

bool RunControl::StartSimulation(int day, int minute, int startRecord) {
  if (startRecord < 0 || startRecord >= kMaxStartTimes || day < 0 || day > 6) {
    store_.InternalErrorTrap(startRecord, "Start time index error - StartSimulation");
    return false;
  }
  const StartTime start = store_.GetStartTime(startRecord);
  const int32_t startSeconds = day * kSecondsPerDay + minute * 60;
  store_.SetSimClock(startSeconds);
  store_.SetSimStartTime(startSeconds);
  store_.SetSimStartDay(day);
  store_.FormatClockText();

  int32_t end = -1;
  if (start.Byte462 == 1) {
    // The end day offset and minute are whatever the track file holds: reckon in 64 bits, keep an end past
    // the clock's range at its limit rather than let it wrap, and never let it precede the start (a
    // recording whose end does is refused when played back).
    int64_t reckoned = (int64_t{start.Word463} + day) * kSecondsPerDay + int64_t{start.Word460} * 60;
    if (reckoned <= startSeconds) reckoned += kSecondsPerDay;
    end = static_cast<int32_t>(std::clamp<int64_t>(reckoned, int64_t{startSeconds} + 1, INT32_MAX));
  }
  store_.SetSimEndTime(end);

  if (store_.OperatingMode == operating_mode::kRecording) {
    Tell(kPlaybackFileNext);
    if (PlaybackFile(store_).Create(store_.GetSimClock()) == 3) {
      if (Ask(kNoPlaybackFile) != MessageResult::Yes) return false;
      store_.Shell().CheckMenuItem(command_id::kModeSimulation, true);
      store_.Shell().CheckMenuItem(command_id::kModeRecording, false);
      OptionData options = store_.GetOptionData();
      options.Flag10 = 0;
      store_.OperatingMode = operating_mode::kSimulation;
      store_.UpdateOptionData(options);
    }
  }

  RunState& run = store_.Run;
  run.AwaitingStart = 0;
  store_.InitSimulationStatus();
  // From here the run's changes are recorded and reported to the interfaces.
  run.OutputHold = 0;
  for (int entry = 0; entry < kStartTimeTrains; ++entry) {
    if (start.TrainIndex[entry] == kNoEntry) continue;
    if (store_.FindFreeTrainStatus() < 0) break;
    PlaceStartTrain(start, entry);
  }

  store_.Shell().InvalidateLayout(true);
  engine_.ScheduleBlockPermits();
  engine_.ActivateSlowOrders();
  engine_.UpdateTimedSlowOrders();
  engine_.ScheduleTrains();
  store_.RefreshAllWindows();
  if (store_.EIOQueue.Count > 0) store_.Interface().FlushEIOIndications();
  walks::UpdateBlocksClearedAhead(engine_);
  return true;
}

void RunControl::PlaceStartTrain(const StartTime& start, int entry) {
  const int schedule = start.TrainIndex[entry];
  const int block = static_cast<int16_t>(start.PairedIndex[entry]);
  // An entry whose train or block does not exist would put a train nowhere: it is left to the scheduler.
  if (schedule >= kMaxTrains || !ValidBlock(block)) return;
  const TrainData data = store_.GetTrainData(schedule);
  const BlockData blockData = store_.GetBlockData(block);
  if (data.InUse == 0 || blockData.InUse == 0) return;

  const int slot = store_.FindFreeTrainStatus();
  const int32_t clock = store_.GetSimClock();
  const uint8_t direction = start.Bytes210[entry] == 1 ? 1 : 0;
  TrainStatus train = store_.GetTrainStatus(slot);
  train.InUse = 1;
  train.TrainIndex = static_cast<int16_t>(schedule);
  train.HeadDirection = direction;
  train.RearDirection = direction;
  train.HeadPosition = train.PreviousHeadPosition = direction == 1 ? blockData.Length : 0;
  train.State = TrainState::Starting;
  SetFieldText(train.TrainId, FieldText(data.TrainId));
  train.Type = data.Type;
  train.Length = data.Length;
  SetFieldText(train.Entrance, FieldText(data.Entrance));
  SetFieldText(train.Exit, FieldText(data.Exit));
  train.HeadBlock = static_cast<int16_t>(block);
  train.HeadEventTime = clock;
  // The scheduler sees the schedule as running and makes no second train of it.
  train.ScheduledEntry = clock;
  train.CrewExpiry = clock + kCrewShift - int32_t{start.Words260[entry]} * 60;
  // The 1-based local-work entry the train has reached.
  const int work = start.Bytes360[entry];
  train.LocalWorkIndex = static_cast<uint8_t>(work >= 1 && work <= kTrainLocalWork ? work - 1 : 0);
  const int leg = start.Bytes410[entry];
  if (leg == 0 || leg > kTrainMultipleEntries) {
    train.MultipleIndex = 0;
    train.MultipleAdvancePending = 0;
    if (work >= 1 && work <= kTrainLocalWork) {
      const TrainLocalWork& place = data.LocalWork[work - 1];
      const int16_t length = place.NewLength;
      if (!FieldText(place.AreaName).empty() && length != -1) train.Length = length;
    }
  } else {
    // The train is on the leg it entered through multiple entry `leg`.
    train.MultipleIndex = static_cast<uint8_t>(leg - 1);
    train.MultipleAdvancePending = 1;
    const TrainMultipleEntry& next = data.Multiple[leg - 1];
    if (!FieldText(next.NextEntrance).empty()) {
      SetFieldText(train.Exit, FieldText(next.LegExit));
      if (!FieldText(next.Text8).empty()) SetFieldText(train.TrainId, FieldText(next.Text8));
      if (movement::LegCrewMinutes(next) != -1)
        train.CrewExpiry = clock + kCrewShift - int32_t{movement::LegCrewMinutes(next)} * 60;
      const int16_t type = static_cast<int16_t>(next.Word19);
      if (type != -1 && ValidType(type)) train.Type = static_cast<uint8_t>(type);
      if (movement::LegNewLength(next) != -1) train.Length = movement::LegNewLength(next);
    }
  }
  store_.UpdateTrainStatus(slot, train, 1);
  OccupyTrainLength(slot);
  train = store_.GetTrainStatus(slot);

  train.PerformancePercent = 100;
  train.LocoProblem = train.TrainProblem = 0;
  if (ValidType(train.Type)) {
    const RandomData random = store_.GetRandomData();
    const int spread = random.PerformanceSpread[train.Type];
    if (spread > 0) train.PerformancePercent = static_cast<int16_t>(100 - (Random(engine_, 2 * spread) - spread));
    const int loco = random.LocoProblemPercent[train.Type];
    if (loco != 0 && Random(engine_, 100) <= loco) train.LocoProblem = 5;
    const int problem = random.TrainProblemPercent[train.Type];
    if (problem != 0 && Random(engine_, 100) <= problem) train.TrainProblem = 5;
  }
  ++train.BlockEntries;
  store_.UpdateTrainStatus(slot, train);

  BlockStatus occupied = store_.GetBlockStatus(block);
  occupied.Occupancy = static_cast<int16_t>(direction == 0 ? occupancy::kOccupiedLeft : occupancy::kOccupiedRight);
  AddTrain(occupied, slot);
  store_.UpdateBlockStatus(block, occupied);
  if (movement::ExitSignal(blockData, direction) == -1) engine_.CheckRoute(direction, block, 1, 0, kScreenRequest);

  // Station times on the run's first day; a stop not after the clock is one the train has made.
  const std::string platformName(FieldText(blockData.PlatformName));
  const int32_t today = store_.GetSimDay() * kSecondsPerDay;
  TrainStationTime times = store_.GetTrainStationTime(slot);
  TrainStop stops = store_.GetTrainStop(slot);
  for (int k = 0; k < kTrainStations; ++k) {
    times.Times[k] = -1;
    if (data.Stations[k].Minutes == 0xFFFF) continue;
    int32_t time = int32_t{data.Stations[k].Minutes} * 60 + today;
    if (time > clock + kLateStationWindow) time -= kSecondsPerDay;
    if (time < 0) time = clock;
    times.Times[k] = time;
    if (time <= clock) {
      stops.Stops[k] = 1;
      store_.UpdateTrainStop(slot, stops);
    }
    if (!platformName.empty() && k < kMaxPlatforms) {
      const PlatformData platform = store_.GetPlatformData(k);
      if (platform.InUse != 0 && FieldText(platform.Name) == platformName) {
        train = store_.GetTrainStatus(slot);
        train.State = TrainState::Stopped;
        train.Reason = StopReason::Platform;
        train.HeadEventTime = std::max(time, clock);
        train.Platform = static_cast<int16_t>(k);
        store_.UpdateTrainStatus(slot, train);
        store_.UpdateTrainStop(slot, stops);
      }
    }
  }
  store_.UpdateTrainStationTime(slot, times);

  PerformStatus perform = store_.GetPerformStatus();
  ++perform.Trains;
  store_.FormatPerformanceLine(perform);
}

void RunControl::OccupyTrainLength(int trainSlot) {
  if (!movement::ValidTrain(trainSlot)) {
    store_.InternalErrorTrap(trainSlot, "Train index error - OccupyTrainLength");
    return;
  }
  TrainStatus train = store_.GetTrainStatus(trainSlot);
  const int head = train.HeadBlock;
  if (!ValidBlock(head)) return;
  const BlockData headData = store_.GetBlockData(head);
  const int direction = train.HeadDirection == 1 ? 1 : 0;
  int64_t room = direction == 1 ? train.HeadPosition : int64_t{headData.Length} - train.HeadPosition;
  const int64_t length = train.Length;

  // Behind the train: the walk against its direction of travel.
  DevicePath path;
  const int listed = engine_.TraceDevicePath(1 - direction, head, path);
  int rear = head;
  int rearEntry = 0;
  if (length > room) {
    for (int i = 1; i < listed && i < kPathEntries; ++i) {
      const int device = path.Ids[i];
      if (device == -1) break;
      if (!ValidBlock(device)) continue;
      const BlockData data = store_.GetBlockData(device);
      if (data.InUse == 0 || data.PassThrough != 0) continue;
      rear = device;
      rearEntry = i;
      // A train exactly as long as the track up to here fits.
      if (length <= room + data.Length) break;
      room += data.Length;
    }
  }

  for (int i = 0; i <= rearEntry; ++i) {
    const int device = path.Ids[i];
    const auto code = static_cast<int16_t>(path.Dirs[i] == 0 ? occupancy::kOccupiedRight : occupancy::kOccupiedLeft);
    if (ValidBlock(device)) {
      BlockStatus status = store_.GetBlockStatus(device);
      status.Occupancy = code;
      AddTrain(status, trainSlot);
      store_.UpdateBlockStatus(device, status);
    } else if (device >= kFirstSwitch && device < kFirstSignal) {
      SwitchStatus status = store_.GetSwitchStatus(device - kFirstSwitch);
      status.Occupancy = static_cast<uint8_t>(code);
      store_.UpdateSwitchStatus(device - kFirstSwitch, status);
    } else if (device >= kFirstDiamond && device < kNoDevice && i > 0) {
      const int route = store_.GetCrossRoute(device - kFirstDiamond, path.Ids[i - 1]);
      if (route == 0 || route == 1) {
        CrossStatus status = store_.GetCrossStatus(device - kFirstDiamond);
        status.Occupancy[route] = code;
        store_.UpdateCrossStatus(device - kFirstDiamond, status);
      }
    }
  }
  train = store_.GetTrainStatus(trainSlot);
  train.RearBlock = static_cast<int16_t>(rear);
  store_.UpdateTrainStatus(trainSlot, train);
}

void RunControl::CmFaster() {
  const int speed = run_control::FasterSpeed(store_.Run.ClockSpeed);
  if (speed == store_.Run.ClockSpeed) return;
  store_.Run.ClockSpeed = speed;
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(speed));
}

void RunControl::CmSlower() {
  const int speed = run_control::SlowerSpeed(store_.Run.ClockSpeed);
  if (speed == store_.Run.ClockSpeed) return;
  store_.Run.ClockSpeed = speed;
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(speed));
}

void RunControl::CmSoundOn() {
  OptionData options = store_.GetOptionData();
  options.AlertSoundsOn = 1;
  store_.UpdateOptionData(options);
}

void RunControl::CmSoundOff() {
  OptionData options = store_.GetOptionData();
  options.AlertSoundsOn = 0;
  store_.UpdateOptionData(options);
}

bool RunControl::CeStop() const { return store_.GetOptionData().CTCControlOn == 0 && store_.Run.SimStopped == 0; }
bool RunControl::CeStart() const {
  return store_.GetOptionData().CTCControlOn == 0 && store_.Run.SimStopped == 1 && store_.Run.RunEnded == 0;
}
bool RunControl::CeFaster() const {
  return store_.GetOptionData().CTCControlOn == 0 && store_.Run.ClockSpeed < run_control::kHighestSpeed;
}
bool RunControl::CeSlower() const {
  return store_.GetOptionData().CTCControlOn == 0 && store_.Run.ClockSpeed > run_control::kLowestSpeed;
}
bool RunControl::CeSoundOn() const { return store_.GetOptionData().AlertSoundsOn != 1; }
bool RunControl::CeSoundOff() const { return store_.GetOptionData().AlertSoundsOn != 0; }

// ---------------------------------------------------------------- the Mode menu

// The simulation and playback items: one of them checked, CTC control off. The External I/O mark
// follows its flag, since External I/O runs beside every one of these modes.
void RunControl::CheckModeItems(int checkedCommand) {
  for (const int id :
       {command_id::kModeSimulation, command_id::kModeRecording, command_id::kModePlayback, command_id::kModeCTC}) {
    store_.Shell().CheckMenuItem(id, id == checkedCommand);
  }
  store_.Shell().CheckMenuItem(command_id::kModeExternalIO, store_.GetOptionData().ExternalIOOn == 1);
}

void RunControl::CmSimulationNoPlayback() {
  RunState& run = store_.Run;
  if (store_.OperatingMode == operating_mode::kPlayback && Ask(kPlaybackContinue) != MessageResult::Yes) {
    FileCommands(store_).CmRestartSimulation();
  }
  if (run.AwaitingStart == 0 && store_.OperatingMode != operating_mode::kPlayback) {
    if (Ask(run_control::kModeChangeWhileRunning) != MessageResult::Yes) return;
    FileCommands(store_).CmRestartSimulation();
    if (run.AwaitingStart == 0) return;
  }
  EnterSimulationMode(false);
}

void RunControl::CmSimulationWithPlayback() {
  RunState& run = store_.Run;
  if (store_.OperatingMode == operating_mode::kPlayback) {
    if (Ask(kPlaybackRestart) != MessageResult::Yes) return;
    if (FileCommands(store_).ReloadTerritory() != 0) return;
  }
  if (run.AwaitingStart == 0) {
    if (Ask(run_control::kModeChangeWhileRunning) != MessageResult::Yes) return;
    if (FileCommands(store_).ReloadTerritory() != 0) return;
    if (run.AwaitingStart == 0) return;
  }
  EnterSimulationMode(true);
}

void RunControl::EnterSimulationMode(bool recording) {
  ClosePlaybackReader();
  CheckModeItems(recording ? command_id::kModeRecording : command_id::kModeSimulation);
  store_.OperatingMode = recording ? operating_mode::kRecording : operating_mode::kSimulation;
  OptionData options = store_.GetOptionData();
  options.Flag10 = recording ? 1 : 0;
  options.CTCControlOn = 0;
  // The gadget reads "Stop": the clock is held to match, and Start goes on from here.
  StopSimulation();
  ShowStopAndSpeed();
  store_.UpdateOptionData(options);
}

void RunControl::ClosePlaybackReader() {
  if (store_.PlaybackIn) {
    std::fclose(store_.PlaybackIn);
    store_.PlaybackIn = nullptr;
  }
  store_.NextPlaybackTime = -1;
}

void RunControl::AbandonPlayback(std::FILE* file, bool resetStatus) {
  if (resetStatus) store_.InitSimulationStatus();
  std::fclose(file);
  store_.OperatingMode = store_.PreviousOperatingMode;
}

void RunControl::CmPlayback() {
  StopSimulation();
  store_.NextPlaybackTime = -1;
  PlaybackFile(store_).Close();
  store_.PreviousOperatingMode = store_.OperatingMode;
  store_.OperatingMode = operating_mode::kNone;
  ClosePlaybackReader();

  const std::string home = HomeFolder();
  const std::string chosen =
      store_.Shell().AskOpenFileName({kPlaybackFilter, home, FieldText(store_.PlaybackFileName, kPathChars), "*"});
  if (chosen.empty()) {
    store_.OperatingMode = store_.PreviousOperatingMode;
    CmStart();
    return;
  }
  // Only a regular file: a FIFO would hold the program and a device would never end.
  std::FILE* file = whole_file::OpenRegularStream(chosen);
  if (!file) {
    Refuse(kPlaybackNotOpened);
    store_.OperatingMode = store_.PreviousOperatingMode;
    return;
  }
  PlaybackHeader header{};
  if (std::fread(&header, sizeof header, 1, file) != 1 ||
      std::memcmp(header.Magic, kPlaybackMagic, sizeof header.Magic) != 0) {
    Refuse(kIllegalPlayback);
    AbandonPlayback(file, false);
    return;
  }
  // The recording's track file, looked for in the home folder first, then where it was recorded.
  const std::string recorded(FieldText(header.TrackPath));
  std::string track = home + FileNamePart(recorded);
  if (!FileExists(track) && FileExists(recorded)) track = recorded;
  const int16_t version = header.Version;
  if (version > static_cast<int>(store_.PlaybackVersion)) {
    Refuse(kNewerPlayback);
    AbandonPlayback(file, true);
    return;
  }
  // Checked before the territory or the clock takes anything from the recording.
  if (!PlaybackFile::HeaderFits(header)) {
    Refuse(kIllegalPlayback);
    AbandonPlayback(file, false);
    return;
  }
  const std::string loaded = FieldText(store_.TrackFilePath, kPathChars);
  if (track != loaded) {
    store_.InitTerritoryData();
    if (TrackFile(store_).Load(track, -1) != 0) {
      Refuse(Format(kTrackNotLoaded, track));
      // The territory that was loaded comes back, so a refused recording costs no territory.
      SetFieldText(store_.TrackFilePath, loaded);
      FileCommands(store_).ReloadTerritory();
      AbandonPlayback(file, true);
      return;
    }
    SetFieldText(store_.TrackFilePath, track);
    store_.Shell().ShowTrackFileName();
    store_.Shell().ComputeLayoutExtent();
  }
  const int32_t trackVersion = header.TrackVersion, identity1 = header.Identity1, identity2 = header.Identity2;
  const int32_t changeCount = header.ChangeCountCopy;
  if (trackVersion != store_.LoadedTrackVersion || identity1 != store_.TrackIdentity1 ||
      identity2 != store_.TrackIdentity2 || changeCount != store_.ChangeCount) {
    Refuse(Format(kOtherTrackVersion, track));
    AbandonPlayback(file, true);
    return;
  }
  const int32_t clockAtStart = header.ClockAtStart;
  store_.SetSimClock(clockAtStart);
  store_.SetSimStartTime(header.StartTime);
  store_.SetSimStartDay(header.StartDay);
  store_.SetSimEndTime(header.EndTime);
  if (store_.Dialogs().RunPlaybackTimeDialog(chosen, clockAtStart) != 1) {
    AbandonPlayback(file, true);
    return;
  }

  SetFieldText(store_.PlaybackFileName, chosen);
  store_.InitSimulationStatus();
  store_.PlaybackIn = file;
  store_.NextPlaybackTime = -1;
  store_.OperatingMode = operating_mode::kPlayback;
  // The replay takes the place of CTC control: the clock runs again.
  OptionData options = store_.GetOptionData();
  options.CTCControlOn = 0;
  store_.UpdateOptionData(options);
  store_.Shell().InvalidateLayout(true);
  RunState& run = store_.Run;
  run.AwaitingStart = 0;
  run.RunEnded = 0;
  run.OutputHold = 0;
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(run.ClockSpeed));
  CmStart();
  CheckModeItems(command_id::kModePlayback);
}

std::string RunControl::HomeFolder() const {
  std::string folder = FieldText(store_.DialogFolder, kPathChars);
  if (folder.empty()) folder = FieldText(store_.ProgramFolder, kPathChars);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

void RunControl::LeaveCTCControl(OptionData& options) {
  options.CTCControlOn = 0;
  store_.Shell().CheckMenuItem(command_id::kModeCTC, false);
  const bool recording = options.Flag10 != 0;
  store_.Shell().CheckMenuItem(recording ? command_id::kModeRecording : command_id::kModeSimulation, true);
  store_.OperatingMode = recording ? operating_mode::kRecording : operating_mode::kSimulation;
}

void RunControl::CmCTCControl() {
  OptionData options = store_.GetOptionData();
  if (options.CTCControlOn == 1) {
    LeaveCTCControl(options);
    ShowStopAndSpeed();
    store_.UpdateOptionData(options);
    return;
  }
  options.CTCControlOn = 1;
  options.ExternalIOOn = 0;
  store_.Shell().CheckMenuItem(command_id::kModeCTC, true);
  for (const int id : {command_id::kModeExternalIO, command_id::kModeSimulation, command_id::kModeRecording,
                       command_id::kModePlayback}) {
    store_.Shell().CheckMenuItem(id, false);
  }
  // A recording ends with what it holds back written out; a replay ends here too.
  PlaybackFile(store_).Close();
  ClosePlaybackReader();
  store_.OperatingMode = operating_mode::kNone;
  StopSimulation();
  store_.InitSimulationStatus();
  store_.Shell().InvalidateLayout(true);
  store_.Shell().ShowStatusText(StatusPane::RunState, "");
  store_.Shell().ShowStatusText(StatusPane::Speed, "");
  store_.UpdateOptionData(options);
  if (ctcAllData_) ctcAllData_();
}

void RunControl::CmExternalIO() {
  OptionData options = store_.GetOptionData();
  if (options.ExternalIOOn == 1) {
    options.ExternalIOOn = 0;
    store_.Shell().CheckMenuItem(command_id::kModeExternalIO, false);
    store_.UpdateOptionData(options);
    return;
  }
  if (options.CTCControlOn == 1) LeaveCTCControl(options);
  options.ExternalIOOn = 1;
  options.CTCControlOn = 0;
  // The simulation keeps running beside the interface: the gadget says what the clock does.
  store_.Shell().ShowStatusText(StatusPane::RunState, store_.Run.SimStopped == 1 ? "Stop" : "Run");
  store_.Shell().ShowStatusText(StatusPane::Speed, std::to_string(store_.Run.ClockSpeed));
  store_.Shell().CheckMenuItem(command_id::kModeCTC, false);
  store_.Shell().CheckMenuItem(command_id::kModeExternalIO, true);
  store_.UpdateOptionData(options);
}
