// What the store and the engine need of the code around them. The core calls
// only these interfaces; the Qt windows implement them, and tests implement
// them with recording fakes (tests/support/fake_services.h). Each has a
// do-nothing implementation so that the core runs with no window at all.
#pragma once

#include <cstdint>
#include <string>

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// The one gate for message boxes: every refusal and notice of the core.
class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                    MessageButtons buttons) = 0;
  // A box with only an Ok button whose closing nobody waits for: the caller goes on while it is up.
  // Where boxes do not block, it is shown like any other.
  virtual void ShowNotice(const std::string& text, const std::string& caption, MessageIcon icon) {
    ShowMessage(text, caption, icon, MessageButtons::Ok);
  }
};

// Status bar panes the core writes to.
enum class StatusPane { RunState, Speed, Clock, Performance, TrackFile, Alert, Message };

// A common file dialog: filter "Text (*.x)|*.x", the folder it starts in, the
// name it offers and the default extension ("*" = none added).
struct FileDialogRequest {
  std::string Filter;
  std::string InitialFolder;
  std::string InitialName;
  std::string DefaultExtension;
};

// The layout's used size in cells, as the layout window keeps it.
struct CellSize {
  int32_t Columns = 200;
  int32_t Rows = 160;
};

// The main frame and the layout window, as far as the core uses them.
class ShellService {
 public:
  virtual ~ShellService() = default;
  virtual void ShowStatusText(StatusPane pane, const std::string& text) = 0;
  virtual void FreeDisplayResources() = 0;
  virtual void CloseDataWindows() = 0;
  virtual void CheckMenuItem(int commandId, bool checked) = 0;
  virtual void ComputeLayoutExtent() = 0;
  virtual void SetScrollRanges(int32_t widthPixels, int32_t heightPixels, int flag) = 0;
  virtual void LoadTrainIcons() = 0;
  // A track file was loaded: make the display pictures of the train icon images it carried.
  virtual void MakeTrainIconBitmaps() = 0;
  virtual void CmClassicDisplay() = 0;
  virtual void RememberView() = 0;
  virtual void SetAlertScrollRange(int32_t width, int32_t height) = 0;
  virtual void ShowHelpNotAvailable() = 0;
  virtual void ShowTrainStatusLine(int trainSlot) = 0;
  virtual bool IsCellVisible(int cellX, int cellY) = 0;
  virtual void ScrollCellIntoView(int cellX, int cellY) = 0;
  virtual void PlaceCursorOnCell(int cellX, int cellY) = 0;
  virtual void InvalidateCellRect(int cellX, int cellY, bool erase, int widthPixels, int heightPixels) = 0;
  virtual void EraseBlockLabels(int block) = 0;
  virtual void ShowActiveTrain(int trainSlot) = 0;
  virtual void SwapZoomButtons() = 0;
  virtual void SetTimer(int timerId, int milliseconds) = 0;
  virtual void KillTimer(int timerId) = 0;
  virtual void InsertOldFileMenu() = 0;
  // Plays a wave file once, asynchronously; false when it could not be played.
  virtual bool PlayWaveFile(const std::string& path) = 0;
  virtual void Beep() = 0;
  virtual void SetArrowCursor() = 0;
  virtual void InvalidateLayout(bool erase) = 0;
  virtual void InvalidateAlertWindow() = 0;
  // The main frame: shows the store's track file path in the status bar's file field.
  virtual void ShowTrackFileName() = 0;
  // File menu items: remove the item with that command id; insert a text item ahead of another.
  virtual void RemoveMenuItem(int commandId) = 0;
  virtual void InsertMenuItem(int commandId, const std::string& text, int beforeCommandId) = 0;
  // A save-file dialog that asks before overwriting: the chosen path, or empty on cancel or failure.
  virtual std::string AskSaveFileName(const FileDialogRequest& request) = 0;
  // Saved simulations, replay and the file commands.
  // An open-file dialog that requires an existing file: the chosen path, or empty on cancel.
  virtual std::string AskOpenFileName(const FileDialogRequest& request) = 0;
  // The layout window's scroller position, in its units (kept within the ranges by the window).
  virtual void SetScrollPosition(int32_t x, int32_t y) = 0;
  virtual CellSize LayoutUsedCells() = 0;
  // The layout window's display reset: speed 20, stopped, clock not started, alert lines emptied.
  virtual void ResetSimulationDisplay() = 0;
  virtual void CloseAlertWindow() = 0;
};

// The layout window's drawing surface for the store's display routines, in
// client pixels of the layout window.
struct ClientPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

class DisplayService {
 public:
  virtual ~DisplayService() = default;
  // The scroll position in units of 32 pixels.
  virtual ClientPoint ScrollPosition() = 0;
  // Fills a rectangle (right and bottom exclusive) with pen and brush of one colour (0xRRGGBB).
  virtual void FillClientRect(int left, int top, int right, int bottom, uint32_t rgb) = 0;
  virtual void InvalidateClientRect(int left, int top, int right, int bottom, bool erase) = 0;
  // The mouse pointer in client coordinates.
  virtual ClientPoint CursorPosition() = 0;
  // Posts a pointer move at that point to the layout window, so that hover texts follow a change.
  virtual void PostMouseMove(ClientPoint point) = 0;
};

// The CTC and External I/O message lines, as far as the store and engine use them: building,
// queueing, flushing and reading them. In CTC control mode a click on a switch or signal is not carried
// out but becomes a request line (after the engine's own checks), and a pending request blinks.
class InterfaceService {
 public:
  virtual ~InterfaceService() = default;
  virtual void EIOBuildXferOutMsg(int deviceType, int index) = 0;
  virtual void CTCBuildXferOutMsg(int deviceType, int index) = 0;
  virtual void FlushCTCControls() = 0;
  virtual void FlushEIOIndications() = 0;
  virtual void EIOReadXferInFile() = 0;
  virtual void CTCReadXferInFile() = 0;
  virtual void CTCBlinkPendingSwitches() = 0;
  virtual int CTCClearSignal(int signalDevice, int forced) = 0;
  virtual int CTCThrowSwitch(int switchDevice, int forced) = 0;
};

// Dialogs the engine opens of its own accord or hands train commands to.
// Results follow the dialogs: 1000 + choice, 2 on cancel, as each says.
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual void OpenTrainEntryDialog(int trainSlot, int locationIndex) = 0;
  // The territory entry request of one train: brought to the keyboard focus, or deleted (nothing when none).
  virtual void FocusTrainEntryDialog(int trainSlot) = 0;
  virtual void CloseTrainEntryDialog(int trainSlot) = 0;
  virtual void CloseTrainEntryDialogs() = 0;
  virtual int RunCrewChangeLocationDialog(int trainSlot) = 0;
  virtual int RunCrewCallDialog(int trainSlot) = 0;
  virtual int RunSplitTrainDialog(const std::string& title, int trainSlot) = 0;
  virtual int RunStopTrainDialog(const std::string& title) = 0;
  // The train property sheet, for viewing: its title and the number of passenger pages.
  virtual void RunTrainSheet(const std::string& title, int trainDataIndex, int passengerPages) = 0;
  virtual int RunTrainDialog(int trainSlot) = 0;
  // Block permit requests: the engine holds the request of each permit slot
  // (Engine::PermitRequestDialog); these make, raise and remove its window.
  virtual void OpenPermitRequestDialog(int permitSlot) = 0;
  virtual void ShowPermitRequestDialog(int permitSlot) = 0;
  virtual void ClosePermitRequestDialog(int permitSlot) = 0;
  virtual void ClosePermitRequestDialogs() = 0;
  // Where a playback starts: the recording's file and its clock at the start. 1 when OK set the clock to
  // the chosen moment, 2 on cancel.
  virtual int RunPlaybackTimeDialog(const std::string& playbackFile, int32_t clockAtStart) = 0;
  // The start time and day of a new run: 1000 + the chosen start code (minute of day x 7 + day), 2 on cancel.
  virtual int RunSelectStartDialog() = 0;
};

// The list windows, asked to refill at the moments the core decides.
enum class ListWindow {
  TrainTypes,
  Detectors,
  Locations,
  SlowOrders,
  Permits,
  StartTimes,
  OSPoints,
  TrainOS,
  ActiveTrains,
  CTCActiveTrains,
  ActiveSlowOrders,
  ActivePermits,
  CTCActivePermits
};

class ListService {
 public:
  virtual ~ListService() = default;
  virtual bool IsListOpen(ListWindow list) = 0;
  virtual void RefreshList(ListWindow list) = 0;
  virtual bool IsArrivalWindowOpen(int index) = 0;
  virtual void RefreshArrivalWindow(int index) = 0;
  virtual bool IsPlatformWindowOpen(int platform) = 0;
  virtual void RefreshPlatformWindow(int platform) = 0;
  virtual void ShowTrainOSWindow(const std::string& caption, int trainSlot) = 0;
  virtual void RefreshAllWindows() = 0;
  virtual void CloseTrainGraph() = 0;
};

// The kind byte of a playback record.
enum class PlaybackKind : uint8_t {
  TrainStatus = 0,
  BlockStatus = 1,
  SwitchStatus = 2,
  SignalStatus = 3,
  CrossStatus = 4,
  SlowStatus = 5,
  PermitStatus = 6,
  OrgStatus = 7,
  OSHit = 8,
  TrainStationTime = 9,
  TrainStop = 10,
  PerformStatus = 11,
  StackData = 12,
  AlertLine = 13,
  View = 14,
};

// Where Update and Free accessors hand a changed run-time record; the playback
// recorder implements it.
class PlaybackSink {
 public:
  virtual ~PlaybackSink() = default;
  virtual void RecordChange(PlaybackKind kind, int32_t index, const void* record, uint32_t size) = 0;
};
