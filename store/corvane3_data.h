// The store: one object that holds a whole territory and its running
// simulation in fixed tables, handed to every layer by reference. Every table
// access is a copy out (Get) or a whole-record copy in (Update) by index; a bad index is
// reported through InternalErrorTrap and never touches memory outside a table.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "store/device_numbers.h"
#include "store/fixed_sorted_set.h"
#include "store/records.h"
#include "store/run_state.h"
#include "store/services.h"
#include "store/whole_file/whole_file.h"
#include "store/written_slots.h"

inline constexpr int kGridColumns = 200;
inline constexpr int kGridRows = 160;
inline constexpr int kGridCells = kGridColumns * kGridRows;

inline constexpr int kMaxTrainTypes = 10;
inline constexpr int kMaxOSHits = 40000;
inline constexpr int kMaxStack = 200;
inline constexpr int kMaxArchivePerform = 2184;
inline constexpr int kMaxTrainIcons = 51;
inline constexpr int kMaxBlocks = 2000;
inline constexpr int kMaxSwitches = 1000;
inline constexpr int kMaxSignals = 1000;
inline constexpr int kMaxCrossings = 1000;
inline constexpr int kMaxLocations = 200;
inline constexpr int kMaxSlowStatus = 50;
inline constexpr int kMaxSlowData = 200;
inline constexpr int kMaxPermitStatus = 50;
inline constexpr int kMaxPermitData = 300;
inline constexpr int kMaxTrains = 1000;
inline constexpr int kMaxTrainStatus = 1000;
inline constexpr int kMaxTexts = 400;
inline constexpr int kMaxStations = 200;
inline constexpr int kMaxDetectors = 10;
inline constexpr int kMaxAreas = 100;
inline constexpr int kMaxStartTimes = 50;
inline constexpr int kMaxOSData = kOSPoints;
inline constexpr int kMaxWindowSizes = 25;
inline constexpr int kMaxMaintBitmaps = 100;
inline constexpr int kMaintImageBytes = 60000;
inline constexpr int kMaxPlatforms = 100;
inline constexpr int kMaxBitmapInserts = 200;
inline constexpr int kMaxOldFiles = 10;
inline constexpr int kPathChars = 255;
inline constexpr int kCaptionChars = 100;
inline constexpr int kColumnLists = 40;
inline constexpr int kColumnsPerList = 102;
inline constexpr int kQueueMessages = 200;
inline constexpr int kQueueMessageBytes = 201;
inline constexpr int kTrainTypeNameChars = 21;

// The distinct track names of the territory ("%s-%s %s"), 20 chars each; empty entries close the list.
inline constexpr int kTrackNameChars = 20;
using TrackNameList = std::array<std::array<char, kTrackNameChars>, kMaxBlocks>;

// A train status or block status record that the playback recorder holds back.
template <class Record>
struct HeldPlaybackRecord {
  int32_t Time = -1;  // -1 = empty
  int32_t Index = 0;
  Record Image{};
};

class PlaybackRecorder;

inline std::array<std::array<int16_t, 3>, kMaxTrainTypes> MakeNoTrainTypeIcons() {
  std::array<std::array<int16_t, 3>, kMaxTrainTypes> icons;
  for (auto& type : icons) type.fill(-1);
  return icons;
}

// One outgoing interface queue: CTC control requests or External I/O indications.
struct OutQueue {
  std::array<std::array<char, kQueueMessageBytes>, kQueueMessages> Lines{};
  int32_t Count = 0;
};

// One step of a walk along the layout's track (GetLeftTrackCell and
// GetRightTrackCell): the cell reached, its code, and how it connects.
struct TrackCell {
  int16_t Connection = 0;     // class of the neighbour (1-3), 0, or 5 when it does not connect
  int16_t NeighbourCode = 0;  // the neighbour's grid code as stored (bit 7 kept)
  int16_t X = 0;
  int16_t Y = 0;
  int16_t DX = 0;
  int16_t DY = 0;
  uint8_t Extra[10] = {};  // carried through unchanged for the caller
};

inline constexpr int kTrackCodes = 41;

// The second copy of the seven tables that the editors change, record for record.
struct EditTablesBackup {
  std::array<OrgData, kMaxLocations> Locations;
  std::array<TrainData, kMaxTrains> Trains;
  std::array<PermitData, kMaxPermitData> Permits;
  std::array<SlowData, kMaxSlowData> SlowOrders;
  std::array<TrainType, kMaxTrainTypes> TrainTypes;
  std::array<DetectorData, kMaxDetectors> Detectors;
  std::array<OSData, kMaxOSData> OSPoints;
};

class Corvane3Data {
 public:
  Corvane3Data();
  ~Corvane3Data();
  Corvane3Data(const Corvane3Data&) = delete;
  Corvane3Data& operator=(const Corvane3Data&) = delete;

  // ------------------------------------------------------------ services
  // The windows (or test fakes) plug in here; each defaults to a do-nothing one, except the
  // playback sink, which defaults to the store's own recorder.
  void SetMessageService(MessageService* service);
  void SetShellService(ShellService* service);
  void SetInterfaceService(InterfaceService* service);
  void SetDialogService(DialogService* service);
  void SetListService(ListService* service);
  void SetPlaybackSink(PlaybackSink* sink);
  MessageService& Messages() const { return *messages_; }
  ShellService& Shell() const { return *shell_; }
  InterfaceService& Interface() const { return *interface_; }
  DialogService& Dialogs() const { return *dialogs_; }
  ListService& Lists() const { return *lists_; }

  // A message box with the store's caption (the second caption text).
  MessageResult ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok);
  // Sets SimStopped and shows "Stop" in the run-state pane.
  void StopSimulation();
  // Reports a bad index or an impossible state; stops the run.
  MessageResult InternalErrorTrap(int32_t value, const std::string& text);
  // Hands a changed run-time record to the playback recorder, unless recording is suppressed.
  void RecordPlayback(PlaybackKind kind, int32_t index, const void* record, uint32_t size);

  // ------------------------------------------------------------ table accessors
  // Read-only views of the records the tick and the painter read most, without a copy: the same
  // index check and report as the Get accessors (a bad index reads record 0). A view shows later
  // Updates of its record; take a copy (Get) to keep a record as it was.
  const BlockData& BlockDataRef(int index) const { return RecordRef(blockData_, index, "Block", "GetBlockData"); }
  const BlockStatus& BlockStatusRef(int index) const {
    return RecordRef(blockStatus_, index, "Block", "GetBlockStatus");
  }
  const SwitchData& SwitchDataRef(int index) const { return RecordRef(switchData_, index, "Switch", "GetSwitchData"); }
  const SwitchStatus& SwitchStatusRef(int index) const {
    return RecordRef(switchStatus_, index, "Switch", "GetSwitchStatus");
  }
  const SignalData& SignalDataRef(int index) const { return RecordRef(signalData_, index, "Signal", "GetSignalData"); }
  const SignalStatus& SignalStatusRef(int index) const {
    return RecordRef(signalStatus_, index, "Signal", "GetSignalStatus");
  }
  const CrossStatus& CrossStatusRef(int index) const {
    return RecordRef(crossStatus_, index, "Crossover", "GetCrossStatus");
  }
  const CrossData& CrossDataRef(int index) const { return RecordRef(crossData_, index, "Crossover", "GetCrossData"); }
  const TrainData& TrainDataRef(int index) const { return RecordRef(trainData_, index, "Train", "GetTrainData"); }
  const TrainType& TrainTypeRef(int index) const { return RecordRef(trainTypes_, index, "Train Type", "GetTrainType"); }
  const TrainStatus& TrainStatusRef(int index) const {
    return RecordRef(trainStatus_, index, "Train status", "GetTrainStatus");
  }
  const OrgData& OrgDataRef(int index) const { return RecordRef(orgData_, index, "Entrance/Exit", "GetOrgData"); }
  const SlowStatus& SlowStatusRef(int index) const {
    return RecordRef(slowStatus_, index, "Slow order", "GetSlowStatus");
  }
  const PermitStatus& PermitStatusRef(int index) const {
    return RecordRef(permitStatus_, index, "Permit", "GetPermitStatus");
  }
  const OptionData& OptionDataRef() const { return options_; }
  const TerritoryOptions& TerritoryOptionsRef() const { return territoryOptions_; }

  BlockData GetBlockData(int index) const;
  void UpdateBlockData(int index, const BlockData& record);
  BlockStatus GetBlockStatus(int index) const;
  SwitchData GetSwitchData(int index) const;
  void UpdateSwitchData(int index, const SwitchData& record);
  SwitchStatus GetSwitchStatus(int index) const;
  SignalData GetSignalData(int index) const;
  void UpdateSignalData(int index, const SignalData& record);
  SignalStatus GetSignalStatus(int index) const;
  CrossData GetCrossData(int index) const;
  void UpdateCrossData(int index, const CrossData& record);
  CrossStatus GetCrossStatus(int index) const;
  void UpdateCrossStatus(int index, const CrossStatus& record);
  OrgData GetOrgData(int index) const;
  void UpdateOrgData(int index, const OrgData& record);
  OrgStatus GetOrgStatus(int index) const;
  void UpdateOrgStatus(int index, const OrgStatus& record);
  PermitData GetPermitData(int index) const;
  void UpdatePermitData(int index, const PermitData& record);
  PermitStatus GetPermitStatus(int index) const;
  void UpdatePermitStatus(int index, const PermitStatus& record);
  SlowData GetSlowData(int index) const;
  void UpdateSlowData(int index, const SlowData& record);
  SlowStatus GetSlowStatus(int index) const;
  void UpdateSlowStatus(int index, const SlowStatus& record);
  TrainData GetTrainData(int index) const;
  void UpdateTrainData(int index, const TrainData& record);
  TrainStatus GetTrainStatus(int index) const;
  TrainStationTime GetTrainStationTime(int index) const;
  void UpdateTrainStationTime(int index, const TrainStationTime& record);
  TrainStop GetTrainStop(int index) const;
  void UpdateTrainStop(int index, const TrainStop& record);
  TrainType GetTrainType(int index) const;
  void UpdateTrainType(int index, const TrainType& record);
  TrainIconData GetTrainIconData(int index) const;
  void UpdateTrainIconData(int index, const TrainIconData& record);
  StartTime GetStartTime(int index) const;
  void UpdateStartTime(int index, const StartTime& record);
  DetectorData GetDetectorData(int index) const;
  void UpdateDetectorData(int index, const DetectorData& record);
  AreaData GetAreaData(int index) const;
  void UpdateAreaData(int index, const AreaData& record);
  OSData GetOSData(int index) const;
  void UpdateOSData(int index, const OSData& record);
  PlatformData GetPlatformData(int index) const;
  void UpdatePlatformData(int index, const PlatformData& record);
  StationData GetStationData(int index) const;
  void UpdateStationData(int index, const StationData& record);
  TextData GetTextData(int index) const;
  void UpdateTextData(int index, const TextData& record);
  BitmapMaint GetBitmapMaint(int index) const;
  void UpdateBitmapMaint(int index, const BitmapMaint& record);
  BitmapInsert GetBitmapInsert(int index) const;
  void UpdateBitmapInsert(int index, const BitmapInsert& record);
  StackData GetStackData(int index) const;
  void UpdateStackData(int index, const StackData& record);
  OSHit GetOSHit(int index) const;
  void UpdateOSHit(int index, const OSHit& record);
  PerformStatus GetArchivePerformStatus(int index) const;
  void UpdateArchivePerformStatus(int index, const PerformStatus& record);
  WindowSize GetWindowSize(int index) const;
  void UpdateWindowSize(int index, const WindowSize& record);
  uint32_t GetColumnSize(int list, int column) const;
  void UpdateColumnSize(int list, int column, uint32_t width);

  // ------------------------------------------------------------ single records
  OptionData GetOptionData() const { return options_; }
  void UpdateOptionData(const OptionData& record) { options_ = record; }
  CountData GetCountData() const { return counts_; }
  void UpdateCountData(const CountData& record) { counts_ = record; }
  TerritoryData GetTerritoryData() const { return territory_; }
  void UpdateTerritoryData(const TerritoryData& record) { territory_ = record; }
  TerritoryOptions GetTerritoryOptions() const { return territoryOptions_; }
  void UpdateTerritoryOptions(const TerritoryOptions& record) { territoryOptions_ = record; }
  RandomData GetRandomData() const { return random_; }
  // Stores the record and writes the territory settings file. 0 kept; 3 the file could not be
  // written and the record held before stays, so the store and the file agree. While the start-up
  // load runs no file is written and the record is kept (0).
  int UpdateRandomData(const RandomData& record);
  AlertData GetAlertData() const { return alerts_; }
  // Stores the record and writes the option file at once. 0 kept; 3 the file could not be written
  // (the writer has said so) and the record held before stays.
  int UpdateAlertData(const AlertData& record);
  PerformStatus GetPerformStatus() const { return perform_; }
  // The train type name slot i (0-9); the caller keeps i in range.
  char* GetTrainTypeName(int index) { return trainTypeNames_[index].data(); }

  // ------------------------------------------------------------ allocation and lookup
  int FindFreeStackData() const;
  void FreeStackData(int index);
  int FindFreePermitData(int claim);
  void FreePermitData(int index);
  int FindFreePermitStatus() const;
  void FreePermitStatus(int index);
  int FindFreeSlowStatus() const;
  void FreeSlowStatus(int index);
  int FindFreeSlowData(int claim);
  void FreeSlowData(int index);
  int FindFreeTrainData();
  void FreeTrainData(int index);
  // Taken before an editor stores a change to an editable table: copies the seven tables into the backup
  // and counts one more change of the track data, so that the file commands offer to save it.
  void BackupEditTables();
  void FreeOSData(int index);
  int FindFreeTrainIconData();
  int FindTrainData(std::string_view id);
  int FindOrgData(std::string_view name, int block);
  int FindTrainType(std::string_view name) const;
  int FindDetectorData(std::string_view name) const;
  int FindPlatformData(std::string_view name) const;
  int FindOSData(std::string_view name) const;
  // The OS point a block, switch or diamond passes by its name (FindOSData of the device's name), or -1.
  // Worked out for every device at once and kept until a device's or an OS point's record changes: a
  // train enters blocks far more often than the territory is edited.
  int OSPointOfDevice(int device) const;
  // The detector the block's name-th detector name names (FindDetectorData of it), or -1; kept as the OS
  // points of devices are, until a block's or a detector's record changes.
  int DetectorOfBlock(int block, int name) const;
  // The locations in use (InUse 1) of a name, in table order; kept until a location's record changes: a
  // train that cannot enter looks for its entrance again every five minutes.
  const std::vector<int>& LocationsNamed(const std::string& name) const;

  // ------------------------------------------------------------ clock, texts and store services (clock.cpp)
  int32_t GetSimClock() const { return SimClock; }
  void SetSimClock(int32_t seconds) { SimClock = seconds; }
  void ResetSimClock() { SimClock = -1; }
  // Adds seconds and returns the new clock.
  int32_t AdvanceSimClock(int32_t seconds);
  // -1 while the clock has not started.
  int32_t GetSimDayOfWeek() const;
  int32_t GetSimDay() const;
  int32_t GetSimTimeOfDay() const;
  void SetSimStartTime(int32_t seconds) { SimStartTime = seconds; }
  int32_t GetSimStartTime() const { return SimStartTime; }
  void SetSimEndTime(int32_t seconds) { SimEndTime = seconds; }
  int32_t GetSimEndTime() const { return SimEndTime; }
  void SetSimStartDay(int32_t day) { SimStartDay = day; }
  int32_t GetSimStartDay() const { return SimStartDay; }
  // Builds the clock text and shows it in the clock pane, and returns it. The pane is written only when
  // what it shows has changed since it was last shown.
  std::string_view FormatClockText();
  // The wall-clock date and time now, in local time.
  std::tm GetRealTime() const;
  // A typed time of day in minutes since midnight, or -1; a wrong time is
  // reported (naming the field) unless fieldName is empty.
  int GetTimeField(std::string_view text, std::string_view fieldName);
  // The long status text of a running train; out is left as it was for a state without one.
  void GenerateTrainStatus(int trainSlot, std::string& out);
  // The short status text of a running train (the lists' one-column form); empty for a state without one.
  std::string GenerateTrainStatusShort(int trainSlot);
  // Stores the running performance record, records it for playback and shows its line at once. A tick
  // changes it once per train step: while a PerformanceLineHold lives the line is only marked, and
  // shown once when the hold ends.
  void FormatPerformanceLine(const PerformStatus& record);
  // Shows the performance line when the record changed since it was last shown.
  void ShowPerformanceLine();
  // Shows the line again from the running record as it stands (a saved run put back in whole).
  void RedrawPerformanceLine() {
    performLineDue_ = true;
    if (performLineHolds_ == 0) ShowPerformanceLine();
  }
  // Holds the performance line back for its life (the tick takes one); the last hold to end shows it.
  class PerformanceLineHold {
   public:
    explicit PerformanceLineHold(Corvane3Data& store) : store_(store) { ++store_.performLineHolds_; }
    ~PerformanceLineHold() {
      if (--store_.performLineHolds_ == 0) store_.ShowPerformanceLine();
    }
    PerformanceLineHold(const PerformanceLineHold&) = delete;
    PerformanceLineHold& operator=(const PerformanceLineHold&) = delete;

   private:
    Corvane3Data& store_;
  };
  // Holds the layout's repaints back for its life: a jump in a playback applies hours of records at once,
  // and repainting each changed device as its record comes costs more than the replay. While a hold lives
  // the device repaints are only noted; when the last hold ends the layout is repainted once, whole.
  class RepaintHold {
   public:
    explicit RepaintHold(Corvane3Data& store) : store_(store) { ++store_.repaintHolds_; }
    ~RepaintHold() {
      if (--store_.repaintHolds_ == 0 && store_.repaintHeld_) {
        store_.repaintHeld_ = false;
        store_.shell_->InvalidateLayout(true);
      }
    }
    RepaintHold(const RepaintHold&) = delete;
    RepaintHold& operator=(const RepaintHold&) = delete;

   private:
    Corvane3Data& store_;
  };
  // True (and the repaint noted for the hold's end) while a RepaintHold lives.
  bool HoldRepaint() {
    if (repaintHolds_ == 0) return false;
    repaintHeld_ = true;
    return true;
  }
  // Stores the running performance record into the archive slot of the run's current hour.
  void ArchivePerformStatus();

  // The one-dialog lock: 1 when taken, else 0 after a message.
  int OpenDialog();
  void CloseDialog();

  // 0 a bitmap of the asked size (or width -1: any size), 1 not a bitmap, 3 cannot be opened, 4 wrong size.
  static int CheckBitmapFile(const std::string& path, int width, int height);
  // The same test over the bytes of a bitmap file held in memory.
  static int CheckBitmapBytes(const uint8_t* data, size_t size, int width, int height);
  // Every open list window refills itself; the train graph and the request dialogs close.
  void RefreshAllWindows();
  // Refills the open arrival window of the entrance/exit location with that name.
  void RefreshArrivalWindow(std::string_view name);
  void BuildTrackNameList(TrackNameList& out) const;

  // ------------------------------------------------------------ status updaters, train slots, lookups (status.cpp)
  // The run-time updaters decide what to repaint and what to report to the
  // interfaces. noOutput = 1 applies a state that came from outside (replay,
  // interface readers), which must not be sent back.
  void UpdateBlockStatus(int index, const BlockStatus& record, int forceTrainRepaint = 0, int noOutput = 0);
  void UpdateSwitchStatus(int index, const SwitchStatus& record, int noOutput = 0);
  void UpdateSignalStatus(int index, const SignalStatus& record, int noOutput = 0);
  // allowUnused = 1 admits a slot not yet in use (a train being created, replay).
  void UpdateTrainStatus(int index, const TrainStatus& record, int allowUnused = 0, int recordPlayback = 1);
  void ClearTrainStatus(int index);
  // Whether the slot is as ClearTrainStatus leaves it (its station times and stops too).
  bool TrainSlotCleared(int index) const;
  // The first live slot after `index` (-1: from the start), or -1 when there is none. A live slot holds a
  // train still in the run: in use, neither gone nor become another. Slots of trains that left stay in
  // use until they are taken again, so the tick walks only these.
  int NextLiveTrainSlot(int index) const { return NextSlotIn(liveTrains_, index, kMaxTrainStatus); }
  // The first live slot after `index` (-1: from the start) whose rear has an event to come (moving
  // trains), or -1: the rear walk passes trains standing or waiting to enter without visiting them.
  int NextRearEventTrainSlot(int index) const { return NextSlotIn(rearEventTrains_, index, kMaxTrainStatus); }
  // The first signal after `index` (-1: from the start) and below `end` with timed work pending, or -1:
  // fleeted, timing a running time, or with a maintainer's repair time set. The tick's and the minute's
  // signal walks visit only these, since in a run most signals have none.
  int NextSignalWithTimedWork(int index, int end = kMaxSignals) const {
    return NextSlotIn(timedSignals_, index, std::min(end, kMaxSignals));
  }
  // The same for switches: a maintainer's repair time, or a crew throw asked for or under way.
  int NextSwitchWithTimedWork(int index, int end = kMaxSwitches) const {
    return NextSlotIn(timedSwitches_, index, std::min(end, kMaxSwitches));
  }
  // The latest ScheduledEntry among the in-use slots (below the running count) of schedule `schedule`,
  // or INT32_MIN when it has none. The scheduler asks it every minute: the slots are walked again
  // only after a slot's use, schedule or entry time changed, not once a minute over every train that
  // ever ran.
  int32_t LatestScheduledEntry(int schedule) const;
  // A slot's head and rear event times (as its record has them), read from a table of their own so
  // that the tick's walks pass trains whose events have not come without reading their records.
  int32_t TrainHeadEventTime(int index) const { return trainEvents_[index].Head; }
  int32_t TrainRearEventTime(int index) const { return trainEvents_[index].Rear; }
  // A cleared slot that is not in use, or -1; the caller marks it in use.
  int FindFreeTrainStatus();
  void FreeTrainStatus(int index);
  void UpdateTrainOffTime(int org, int32_t time);
  int32_t NextTrainOffTime(int org) const;
  void CheckOSHits(int device, int train);
  void AddNewOSHit(int device, int train, int32_t timeSeconds);
  void ClearOSHits();
  int32_t GetOSHitCount() const { return OSHitCount; }
  // Drops every hit of a train slot from the ring; true when there was one.
  bool ClearTrainOSHits(int train);
  // Gives the hits of a train slot below the hit count to another slot (a train that became another keeps
  // them under its old identity); true when one moved. A recording carries the move: the two trains'
  // status records do not show it.
  bool RelinkTrainOSHits(int fromTrain, int toTrain);
  // The part of the ring every hit naming a train slot lies in (none when First > Last): a train's hits
  // are found there without walking the hits of every train before it.
  struct OSHitStretch {
    int First = kMaxOSHits;
    int Last = -1;
  };
  OSHitStretch OSHitStretchOf(int train);
  void SetOSHitCount(int32_t count);
  int GetDeviceStatus(int device) const;
  int GetDevicePaintStatus(int device) const;
  int GetNoPaintStatus(int device) const;
  int GetDeviceType(int code) const;
  int GetCrossRoute(int diamond, int device) const;
  // A cell outside the grid is reported (the device and flag readers also pause the run) and reads 0.
  int16_t GetGridTrack(int x, int y) const {
    if (!InsideGridCell(x, y)) [[unlikely]]
      return GridCellValid(x, y, false), 0;
    return GridTrack[x * kGridRows + y];
  }
  void UpdateGridTrack(int x, int y, int16_t code);
  int16_t GetGridDevice(int x, int y) {
    if (!InsideGridCell(x, y)) [[unlikely]]
      return GridCellValid(x, y, true), 0;
    return GridDevice[x * kGridRows + y];
  }
  void UpdateGridDevice(int x, int y, int16_t device);
  uint8_t GetGridFlag(int x, int y) {
    if (!InsideGridCell(x, y)) [[unlikely]]
      return GridCellValid(x, y, true), 0;
    return GridFlags[x * kGridRows + y];
  }
  TrackCell GetLeftTrackCell(TrackCell cell) const;
  TrackCell GetRightTrackCell(TrackCell cell) const;

  // ------------------------------------------------------------ display routines (display.cpp)
  // What to repaint after a device changed; the layout window does the drawing
  // through the DisplayService and ShellService::InvalidateCellRect.
  void SetDisplayService(DisplayService* service);
  DisplayService& Display() const { return *display_; }
  // Marks a device's cells for repainting; labelLines > 1 widens a block's area for train labels.
  void InvalidateDevice(int device, int erase = 0, int labelLines = 1);
  // Paints every cell of a device at once (the flash of a refused request).
  void DrawDevice(int device);
  void DrawDeviceCell(int x, int y);
  void PaintCell(int left, int top, int right, int bottom);
  void PaintSignal(int signal);
  // Clears and invalidates a block's train-label strip; at zoom 1 only.
  void DrawBlock(int block, int labelLines = 1);
  void RefreshCursor();

  // ------------------------------------------------------------ playback file (playback_file.h)
  PlaybackRecorder& Recorder() { return *recorder_; }

  // ------------------------------------------------------------ settings files (settings_files.h)
  // The defaults a missing or damaged settings file leaves.
  void SetDefaultOptions();
  void SetDefaultRandomData();
  void SetDefaultWindowColumns();

  // Option file bytes this program does not interpret, written back as read.
  std::array<uint8_t, 20> OptionReserved20{};
  std::array<uint8_t, 1000> OptionReservedA{};  // behind the alert settings
  std::array<uint8_t, 1000> OptionReservedB{};  // behind the recent-file list

  // ------------------------------------------------------------ territory and run initialisation (territory_init.cpp)
  // Empties the territory: every table gets its free-slot record, the counts the capacities.
  void InitTerritoryData();
  // Empties the run: every run-time table reset, every defined device idle.
  void InitSimulationStatus();

  uint8_t AlertWindowOpen = 0;  // the Alert Message Window exists

  // ------------------------------------------------------------ track files (track_file.h)
  char LastSavedTrackPath[kPathChars] = "";
  // Per train type and bitmap name: the TrainIconData slot showing it, -1 none.
  std::array<std::array<int16_t, 3>, kMaxTrainTypes> TrainTypeIcons = MakeNoTrainTypeIcons();
  // The complete bitmap file a track file carried for each train icon slot (empty = none). The display
  // decodes it from here: nothing is written to the working folder.
  std::array<std::vector<uint8_t>, kMaxTrainIcons> TrainIconImages;
  // 1 when the maintenance bitmap image of that record is a usable bitmap (the display may show it).
  std::array<uint8_t, kMaxMaintBitmaps> MaintBitmapUsable{};
  // The room the last track file was read into, kept for the next load so that a load reads into
  // memory it has had before. Only a load uses it, and only while it runs.
  whole_file::Buffer TrackFileRoom;

  // ------------------------------------------------------------ saved simulations (simulation_file.h)
  int16_t RunWindowWord = 0;  // a layout-window value that saved simulations carry and restore

  // The track data differs from the file it was loaded from (the File menu asks before it is lost).
  bool TrackDataChanged() const { return ChangeCount != LoadedChangeCount; }

  // ------------------------------------------------------------ train icons (train_icons.cpp)
  // Gives train types 0-6 the internal pictures' names and icon slots, types 7-9 copies of
  // types 0-2, and fills the icon records of slots 0-20; the shell loads the pictures.
  void AssignInternalTrainIcons();
  // The icon slots go into TrainTypeIcons (track files section).

  // ------------------------------------------------------------ application start-up (shell)
  uint8_t HelpAvailable = 0;       // 1 when a help viewer can show the help files
  uint8_t FirstRunHints = 0;       // 1 when the option file was missing or not valid at start-up
  uint8_t FirstRunHintsShown = 0;  // the first running tick showed them (once per program run)
  char VersionText[20] = "";       // the program's version, as the About box and the captions show it

  // ------------------------------------------------------------ scalars
  RunState Run;  // the layout window's run fields (see run_state.h)

  int32_t PendingBeeps = 0;
  uint8_t BeepIdle = 1;
  uint8_t RecordingSuppressed = 1;
  std::FILE* PlaybackIn = nullptr;
  std::FILE* PlaybackOut = nullptr;
  int32_t NextPlaybackTime = -1;
  char PlaybackFileName[kPathChars] = "playback.ply";
  int32_t OperatingMode = 0;
  int32_t PreviousOperatingMode = 5;
  char ProgramVersion[10] = "X3.00";
  char TrackFilePath[kPathChars] = "new.lay";
  char ProgramFolder[kPathChars] = "";
  char DialogFolder[kPathChars] = "";  // where the file dialogs start; empty = the current folder

  // The loaded track file's identity and the territory's change counts; playback files and saved
  // simulations are checked against them.
  int32_t LoadedTrackVersion = 0;
  int32_t TrackReservedWord = 0;
  int32_t TrackIdentity1 = 0;
  int32_t TrackIdentity2 = 0;
  int32_t ChangeCount = 0;
  int32_t LoadedChangeCount = 0;

  // The recorder's held-back records, and the mark of a run without a recording file: a failed
  // write stopped it or the file dialog was cancelled. PlaybackFile::Create clears it.
  HeldPlaybackRecord<TrainStatus> HeldTrainStatus;
  HeldPlaybackRecord<BlockStatus> HeldBlockStatus;
  uint8_t PlaybackWriteFailed = 0;

  int32_t SimClock = -1;
  int32_t SimEndTime = -1;
  int32_t SimStartTime = -1;
  int32_t SimStartDay = 0;
  int32_t OSHitCount = 0;
  // Every OS hit stored, changed or cleared adds one: the open train graph tells new passings by it.
  uint32_t OSHitChanges = 0;
  int32_t ProxyTrainCount = 0;  // proxy trains made in CTC control mode; only ever raised, it numbers their IDs
  char Captions[3][kCaptionChars] = {};
  char CurrentOperation[kCaptionChars] = "";
  int32_t HighestTrackVersion = 37;
  uint16_t PlaybackVersion = 31;
  uint8_t NoTerritorySettings = 1;
  uint8_t ActiveListDirty = 0;
  int32_t ZoomDivisor = 1;
  char OldFileList[kMaxOldFiles][kPathChars] = {};
  uint32_t OptionFileVersion = 0;

  // Reserved records carried by the track file; never interpreted here.
  std::array<uint8_t, 78> ReservedRecord78{};
  std::array<uint8_t, 106> ReservedRecord106{};
  std::array<int32_t, 14> ReservedWords{};
  std::array<uint8_t, 14> SmallRecordA{};
  std::array<uint8_t, 12> SmallRecordB{};
  std::array<uint8_t, 14> SmallRecordC{};
  std::array<int16_t, 8> TerritoryCounters{};  // the 16-byte record the track file carries

  OutQueue CTCQueue;  // control requests (CTC control mode)
  OutQueue EIOQueue;  // indications (External I/O mode)

  // Layout grids, column by column: cell index = x * kGridRows + y.
  std::array<int16_t, kGridCells> GridTrack{};
  std::array<int16_t, kGridCells> GridDevice{};
  std::array<uint8_t, kGridCells> GridFlags{};

  // Maintenance bitmap images (60,000 bytes each) and their sizes (0 = none).
  uint8_t* MaintImage(int index) { return maintImages_[index].get(); }
  std::array<int32_t, kMaxMaintBitmaps> MaintImageSizes{};

 private:
  // The file formats copy whole tables byte for byte and report index errors as the accessors do.
  friend class TrackFile;
  friend class SimulationFile;
  friend class SettingsFiles;
  friend class FileCommands;

  template <class Record, size_t N>
  const Record& RecordRef(const std::array<Record, N>& table, int index, const char* kind, const char* name) const {
    if (index < 0 || index >= static_cast<int>(N)) [[unlikely]] {
      ReportIndexError(index, kind, name);
      return table[0];
    }
    return table[index];
  }
  static bool InsideGridCell(int x, int y) { return x >= 0 && x < kGridColumns && y >= 0 && y < kGridRows; }
  template <class Record, size_t N>
  Record GetRecord(const std::array<Record, N>& table, int index, const char* kind, const char* name) const;
  template <class Record, size_t N>
  bool UpdateRecord(std::array<Record, N>& table, int index, const Record& record, const char* kind, const char* name);
  void ReportIndexError(int32_t value, const char* kind, const char* name) const;
  void RefreshListIfOpen(ListWindow list);
  // status.cpp
  bool GridCellValid(int x, int y, bool pause) const;
  int BlockTrainCount(int block) const;
  // display.cpp
  template <class Visit>
  void ForEachDeviceCell(int device, Visit visit) const;
  uint32_t LayoutBackground() const;

  // OSPointOfDevice of every device number, valid while osOfDeviceKnown_.
  mutable std::array<int8_t, device::kDeviceLimit> osOfDevice_{};
  mutable bool osOfDeviceKnown_ = false;
  // DetectorOfBlock of every block, valid while detectorsOfBlocksKnown_.
  mutable std::array<std::array<int8_t, 3>, kMaxBlocks> detectorOfBlock_{};
  mutable bool detectorsOfBlocksKnown_ = false;
  // LocationsNamed of every name, valid while locationsByNameKnown_.
  mutable std::unordered_map<std::string, std::vector<int>> locationsByName_;
  mutable bool locationsByNameKnown_ = false;
  // A record that names another (or is named) changed: what was worked out from the names is stale.
  void ForgetResolvedNames() { osOfDeviceKnown_ = detectorsOfBlocksKnown_ = locationsByNameKnown_ = false; }

  bool performLineDue_ = false;  // the performance record changed since its line was shown
  // What the clock pane shows and what it was made from. The tick shows the clock every ten simulated
  // seconds while its text changes once a minute (once a second in CTC control mode): the text is made
  // again only when one of these differs.
  struct ClockTextSource {
    int Mode = -1;         // -1: nothing shown yet; 0: not started; 1: the simulation clock; 2: CTC (wall clock)
    int32_t Time = 0;      // simulated minutes, or the wall clock's second of the day
    int32_t StartDay = 0;  // the simulation's start day (its days are counted from it)
    bool operator==(const ClockTextSource&) const = default;
  };
  ClockTextSource clockShown_;
  std::array<char, 64> clockText_{};
  int performLineHolds_ = 0;  // PerformanceLineHold objects alive
  int repaintHolds_ = 0;      // RepaintHold objects alive
  bool repaintHeld_ = false;  // a repaint was asked for under a RepaintHold
  // A bit for each of N slots of a table.
  template <int N>
  using SlotBitsOf = std::array<uint64_t, (N + 63) / 64>;
  // Whether each train status slot is live, a bit each, kept by every writer of the table.
  using SlotBits = SlotBitsOf<kMaxTrainStatus>;
  // The first set bit after `index` and below `end`, or -1. `end` is the table's size at most: bits past
  // it, in the last word, need not be clear.
  template <std::size_t W>
  static int NextSlotIn(const std::array<uint64_t, W>& bits, int index, int end) {
    end = std::min(end, static_cast<int>(W * 64));
    for (int i = std::max(index + 1, 0); i < end;) {
      const uint64_t rest = bits[i / 64] >> (i % 64);
      if (rest != 0) {
        const int found = i + std::countr_zero(rest);
        return found < end ? found : -1;
      }
      i = (i / 64 + 1) * 64;
    }
    return -1;
  }
  template <std::size_t W>
  static void SetSlotBit(std::array<uint64_t, W>& bits, int index, bool on) {
    const uint64_t bit = uint64_t{1} << (index % 64);
    if (on)
      bits[index / 64] |= bit;
    else
      bits[index / 64] &= ~bit;
  }
  template <std::size_t W>
  static bool SlotBitIn(const std::array<uint64_t, W>& bits, int index) {
    return (bits[index / 64] >> (index % 64) & 1) != 0;
  }
  SlotBits liveTrains_{};
  SlotBits rearEventTrains_{};  // live slots whose RearEventTime is not -1
  // NextSignalWithTimedWork and NextSwitchWithTimedWork, a bit each, kept by every writer of the two
  // status tables and worked out again after a saved run's tables are copied in whole.
  static_assert(kMaxSignals <= kMaxTrainStatus && kMaxSwitches <= kMaxTrainStatus);
  SlotBits timedSignals_{};
  SlotBits timedSwitches_{};
  void NoteSignalTimedWork(int index);
  void NoteSwitchTimedWork(int index);
  void NoteTimedWorkOfAllDevices();
  // Slots in use (InUse 1), in which a new train's slot is found without reading every record of a table
  // that fills as a long run goes on, and slots of trains that left (State Gone), as goneInOrder_ last
  // noted them.
  SlotBits usedTrains_{};
  SlotBits goneTrains_{};
  // Slots written since they were last cleared (every slot at first): a run reset clears only these.
  SlotBits unclearedTrains_ = [] {
    SlotBits all;
    all.fill(~uint64_t{0});
    return all;
  }();
  // Every writer of the three train status tables marks the slot.
  void MarkTrainSlotWritten(int index) { SetSlotBit(unclearedTrains_, index, true); }
  void MarkTrainSlotCleared(int index) { SetSlotBit(unclearedTrains_, index, false); }
  // Notes the slot's use, and marks it written.
  void NoteTrainSlot(int index);
  // Each slot's use, schedule and entry time as last noted.
  struct SlotEntry {
    uint8_t InUse = 0;
    int16_t Schedule = 0;
    int32_t Entry = 0;
    bool operator==(const SlotEntry&) const = default;
  };
  std::array<SlotEntry, kMaxTrainStatus> slotEntries_{};
  void NoteSlotEntry(int index, const SlotEntry& entry);
  // The slots in use that name a schedule, by schedule and entry time, so that a schedule's latest entry
  // is found among its own trains: a long run fills every slot, and a walk of them all for each new
  // train would pay for all the trains that have left.
  struct ScheduledSlot {
    int Schedule = 0;
    int32_t Entry = 0;
    int Slot = -1;  // -1: none
    auto operator<=>(const ScheduledSlot&) const = default;
  };
  FixedSortedSet<ScheduledSlot, kMaxTrainStatus> scheduledSlots_;
  // The last of scheduledSlots_ for each schedule, asked for every minute.
  std::array<ScheduledSlot, kMaxTrains> latestScheduledSlot_{};
  // The slots of trains that left, in the order they left (head event time, then slot): when every slot
  // is in use a new train takes the first.
  FixedSortedSet<std::pair<int32_t, int>, kMaxTrainStatus> goneInOrder_;
  struct EventTimes {
    int32_t Head = 0;
    int32_t Rear = 0;
  };
  std::array<EventTimes, kMaxTrainStatus> trainEvents_{};

  MessageService* messages_;
  ShellService* shell_;
  InterfaceService* interface_;
  DialogService* dialogs_;
  ListService* lists_;
  PlaybackSink* playback_;
  std::unique_ptr<PlaybackRecorder> recorder_;
  DisplayService* display_;

  std::array<TrainType, kMaxTrainTypes> trainTypes_{};
  RandomData random_{};
  AlertData alerts_{};
  std::array<OSHit, kMaxOSHits> osHits_{};
  // Every hit at and past this index holds no device, so that freeing a train slot walks only the part of
  // the ring a run has written.
  int osHitsReach_ = kMaxOSHits;
  // OSHitStretchOf each train status slot, kept by every writer of a single hit; a bulk write (a saved
  // simulation) leaves them unknown until one walk of the ring finds them again.
  std::array<OSHitStretch, kMaxTrainStatus> osHitStretches_{};
  bool osHitStretchesKnown_ = false;
  // Widens the stretch of the train the hit at index names.
  void NoteOSHit(int index);
  std::array<StackData, kMaxStack> stack_{};
  PerformStatus perform_{};
  std::array<PerformStatus, kMaxArchivePerform> archivePerform_{};
  std::array<TrainIconData, kMaxTrainIcons> trainIcons_{};
  std::array<BlockStatus, kMaxBlocks> blockStatus_{};
  std::array<BlockData, kMaxBlocks> blockData_{};
  std::array<SwitchStatus, kMaxSwitches> switchStatus_{};
  std::array<SwitchData, kMaxSwitches> switchData_{};
  std::array<SignalStatus, kMaxSignals> signalStatus_{};
  std::array<SignalData, kMaxSignals> signalData_{};
  std::array<CrossStatus, kMaxCrossings> crossStatus_{};
  // The slots of the larger run-time tables written since the last run reset, kept by every writer.
  WrittenSlots blockStatusWritten_, switchStatusWritten_, signalStatusWritten_, crossStatusWritten_;
  WrittenSlots stackWritten_, archivePerformWritten_;
  // The definitions in use of the devices a run reset sets up, a bit each, kept by the one writer of their
  // tables (UpdateRecord): the reset visits these, not every slot.
  SlotBitsOf<kMaxBlocks> blocksInUse_{};
  SlotBitsOf<kMaxSwitches> switchesInUse_{};
  SlotBitsOf<kMaxSignals> signalsInUse_{};
  SlotBitsOf<kMaxCrossings> crossesInUse_{};
  SlotBitsOf<kMaxLocations> locationsInUse_{};
  template <class Record>
  void NoteRecordWritten(int index) {
    if constexpr (std::is_same_v<Record, BlockData>) SetSlotBit(blocksInUse_, index, blockData_[index].InUse != 0);
    if constexpr (std::is_same_v<Record, SwitchData>) SetSlotBit(switchesInUse_, index, switchData_[index].InUse != 0);
    if constexpr (std::is_same_v<Record, SignalData>) SetSlotBit(signalsInUse_, index, signalData_[index].InUse != 0);
    if constexpr (std::is_same_v<Record, CrossData>) SetSlotBit(crossesInUse_, index, crossData_[index].InUse != 0);
    if constexpr (std::is_same_v<Record, OrgData>) SetSlotBit(locationsInUse_, index, orgData_[index].InUse != 0);
    if constexpr (std::is_same_v<Record, BlockStatus>) blockStatusWritten_.Note(index);
    if constexpr (std::is_same_v<Record, SwitchStatus>) switchStatusWritten_.Note(index);
    if constexpr (std::is_same_v<Record, SignalStatus>) signalStatusWritten_.Note(index);
    if constexpr (std::is_same_v<Record, CrossStatus>) crossStatusWritten_.Note(index);
    if constexpr (std::is_same_v<Record, StackData>) stackWritten_.Note(index);
    if constexpr (std::is_same_v<Record, PerformStatus>) archivePerformWritten_.Note(index);
  }
  // After a table is copied in whole (a saved run's load): the next reset compares every slot.
  void NoteEveryStatusWritten() {
    for (WrittenSlots* w : {&blockStatusWritten_, &switchStatusWritten_, &signalStatusWritten_, &crossStatusWritten_,
                            &stackWritten_, &archivePerformWritten_})
      w->NoteAll();
  }
  std::array<CrossData, kMaxCrossings> crossData_{};
  std::array<OrgStatus, kMaxLocations> orgStatus_{};
  std::array<OrgData, kMaxLocations> orgData_{};
  std::array<SlowStatus, kMaxSlowStatus> slowStatus_{};
  std::array<SlowData, kMaxSlowData> slowData_{};
  std::array<PermitStatus, kMaxPermitStatus> permitStatus_{};
  std::array<PermitData, kMaxPermitData> permitData_{};
  std::array<TrainData, kMaxTrains> trainData_{};
  std::array<TrainStatus, kMaxTrainStatus> trainStatus_{};
  std::array<TrainStationTime, kMaxTrainStatus> trainStationTimes_{};
  std::array<TrainStop, kMaxTrainStatus> trainStops_{};
  std::array<TextData, kMaxTexts> texts_{};
  std::array<StationData32, kMaxStations> stations_{};
  std::array<DetectorData, kMaxDetectors> detectors_{};
  std::array<AreaData, kMaxAreas> areas_{};
  std::array<StartTime, kMaxStartTimes> startTimes_{};
  std::array<OSData, kMaxOSData> osData_{};
  std::unique_ptr<EditTablesBackup> editBackup_;
  std::array<std::array<char, kTrainTypeNameChars>, kMaxTrainTypes> trainTypeNames_{};
  TerritoryOptions territoryOptions_{};
  std::array<WindowSize, kMaxWindowSizes> windowSizes_{};
  std::array<std::unique_ptr<uint8_t[]>, kMaxMaintBitmaps> maintImages_;
  std::array<PlatformData, kMaxPlatforms> platforms_{};
  TerritoryData territory_{};
  CountData counts_{};
  std::array<BitmapMaint, kMaxMaintBitmaps> bitmapMaint_{};
  std::array<BitmapInsert, kMaxBitmapInserts> bitmapInsert_{};
  OptionData options_{};
  std::array<std::array<uint32_t, kColumnsPerList>, kColumnLists> columnWidths_{};
};
