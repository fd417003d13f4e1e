// Recording fakes of the core's services: every call is kept so that a test
// can assert what the core asked of the windows, and message boxes answer
// from a script instead of blocking.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "store/null_services.h"

struct MessageCall {
  std::string Text;
  std::string Caption;
  MessageIcon Icon;
  MessageButtons Buttons;
};

class FakeMessageService : public MessageService {
 public:
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  // Answers given in order; when none is left the default of NullMessageService.
  void ScriptAnswers(std::initializer_list<MessageResult> answers) { answers_.assign(answers); }
  std::vector<MessageCall> Calls;

 private:
  std::deque<MessageResult> answers_;
};

class FakeShellService : public NullShellService {
 public:
  void ShowStatusText(StatusPane pane, const std::string& text) override { StatusTexts.emplace_back(pane, text); }
  void CheckMenuItem(int id, bool checked) override { MenuChecks.emplace_back(id, checked); }
  void InvalidateCellRect(int x, int y, bool, int w, int h) override { Invalidated.push_back({x, y, w, h}); }
  void CloseDataWindows() override { ++CloseDataWindowsCalls; }
  void ComputeLayoutExtent() override { ++ComputeLayoutExtentCalls; }
  void LoadTrainIcons() override { ++LoadTrainIconsCalls; }
  void RememberView() override { ++RememberViewCalls; }
  bool PlayWaveFile(const std::string& path) override {
    WavesPlayed.push_back(path);
    return WavePlays;
  }
  void Beep() override { ++Beeps; }
  void SetArrowCursor() override { ++ArrowCursorCalls; }
  void InvalidateLayout(bool erase) override { LayoutInvalidations.push_back(erase); }
  void InvalidateAlertWindow() override { ++AlertWindowInvalidations; }
  void SetAlertScrollRange(int32_t width, int32_t height) override { AlertScrollRanges.emplace_back(width, height); }
  void SetTimer(int id, int ms) override { Timers.emplace_back(id, ms); }
  void KillTimer(int id) override { KilledTimers.push_back(id); }
  void ShowTrainStatusLine(int slot) override { TrainStatusLines.push_back(slot); }
  bool IsCellVisible(int, int) override { return CellsVisible; }
  void ScrollCellIntoView(int x, int y) override { ScrolledTo.emplace_back(x, y); }
  void PlaceCursorOnCell(int x, int y) override { CursorPlaced.emplace_back(x, y); }
  void EraseBlockLabels(int block) override { ErasedLabels.push_back(block); }
  void ShowActiveTrain(int slot) override { ActiveTrainsShown.push_back(slot); }
  void ShowHelpNotAvailable() override { ++HelpNotAvailableCalls; }
  void RemoveMenuItem(int id) override { MenuItemsRemoved.push_back(id); }
  void InsertMenuItem(int id, const std::string& text, int before) override {
    MenuItemsInserted.push_back({id, text, before});
  }
  // Answers the save dialogs in order from SaveFileAnswers; empty (cancel) when none is left.
  std::string AskSaveFileName(const FileDialogRequest& request) override {
    SaveFileRequests.push_back(request);
    if (SaveFileAnswers.empty()) return {};
    std::string answer = SaveFileAnswers.front();
    SaveFileAnswers.pop_front();
    return answer;
  }

  // Answers the open dialogs in order from OpenFileAnswers; empty (cancel) when none is left.
  std::string AskOpenFileName(const FileDialogRequest& request) override {
    OpenFileRequests.push_back(request);
    if (OpenFileAnswers.empty()) return {};
    std::string answer = OpenFileAnswers.front();
    OpenFileAnswers.pop_front();
    return answer;
  }
  void SetScrollPosition(int32_t x, int32_t y) override { ScrollPositions.emplace_back(x, y); }
  CellSize LayoutUsedCells() override { return UsedCells; }
  void SetScrollRanges(int32_t width, int32_t height, int flag) override {
    ScrollRanges.push_back({width, height, flag});
  }
  void SwapZoomButtons() override { ++ZoomSwaps; }
  void CmClassicDisplay() override { ++ClassicDisplayToggles; }
  void ResetSimulationDisplay() override { ++ResetDisplayCalls; }
  void CloseAlertWindow() override { ++CloseAlertWindowCalls; }
  void ShowTrackFileName() override { ++TrackFileNameShown; }

  struct Rect {
    int X, Y, Width, Height;
    bool operator==(const Rect&) const = default;
  };
  struct MenuItem {
    int Id;
    std::string Text;
    int Before;
  };
  std::vector<int> MenuItemsRemoved;
  std::vector<MenuItem> MenuItemsInserted;
  std::vector<FileDialogRequest> SaveFileRequests;
  std::deque<std::string> SaveFileAnswers;
  std::vector<FileDialogRequest> OpenFileRequests;
  std::deque<std::string> OpenFileAnswers;
  std::vector<std::pair<int32_t, int32_t>> ScrollPositions;
  CellSize UsedCells{40, 30};
  struct Ranges {
    int32_t Width, Height;
    int Flag;
    bool operator==(const Ranges&) const = default;
  };
  std::vector<Ranges> ScrollRanges;
  int ZoomSwaps = 0;
  int ClassicDisplayToggles = 0;
  int ResetDisplayCalls = 0;
  int CloseAlertWindowCalls = 0;
  int TrackFileNameShown = 0;
  std::vector<std::pair<StatusPane, std::string>> StatusTexts;
  std::vector<std::pair<int, bool>> MenuChecks;
  std::vector<Rect> Invalidated;
  std::vector<std::string> WavesPlayed;
  std::vector<std::pair<int, int>> Timers;
  std::vector<int> KilledTimers;
  std::vector<int> TrainStatusLines;
  bool CellsVisible = true;  // what IsCellVisible answers
  std::vector<std::pair<int, int>> ScrolledTo;
  std::vector<std::pair<int, int>> CursorPlaced;
  std::vector<int> ErasedLabels;
  std::vector<int> ActiveTrainsShown;
  int CloseDataWindowsCalls = 0;
  int ComputeLayoutExtentCalls = 0;
  int LoadTrainIconsCalls = 0;
  int RememberViewCalls = 0;
  int HelpNotAvailableCalls = 0;
  int Beeps = 0;
  bool WavePlays = true;  // what PlayWaveFile answers
  int ArrowCursorCalls = 0;
  std::vector<bool> LayoutInvalidations;
  int AlertWindowInvalidations = 0;
  std::vector<std::pair<int32_t, int32_t>> AlertScrollRanges;
};

// Records the drawing the store asks of the layout window.
class FakeDisplayService : public NullDisplayService {
 public:
  struct Rect {
    int Left, Top, Right, Bottom;
    bool operator==(const Rect&) const = default;
  };
  ClientPoint ScrollPosition() override { return Scroll; }
  void FillClientRect(int l, int t, int r, int b, uint32_t rgb) override {
    Filled.push_back({l, t, r, b});
    FillColours.push_back(rgb);
  }
  void InvalidateClientRect(int l, int t, int r, int b, bool) override { Invalidated.push_back({l, t, r, b}); }
  ClientPoint CursorPosition() override { return Cursor; }
  void PostMouseMove(ClientPoint point) override { MouseMoves.push_back(point); }

  ClientPoint Scroll;
  ClientPoint Cursor;
  std::vector<Rect> Filled;
  std::vector<uint32_t> FillColours;
  std::vector<Rect> Invalidated;
  std::vector<ClientPoint> MouseMoves;
};

class FakeInterfaceService : public NullInterfaceService {
 public:
  void EIOBuildXferOutMsg(int type, int index) override { EIOMessages.emplace_back(type, index); }
  void CTCBuildXferOutMsg(int type, int index) override { CTCMessages.emplace_back(type, index); }
  void FlushCTCControls() override { ++CTCFlushes; }
  void FlushEIOIndications() override { ++EIOFlushes; }
  int CTCClearSignal(int device, int forced) override {
    CTCSignalRequests.emplace_back(device, forced);
    return CTCResult;
  }
  int CTCThrowSwitch(int device, int forced) override {
    CTCSwitchRequests.emplace_back(device, forced);
    return CTCResult;
  }

  std::vector<std::pair<int, int>> EIOMessages;
  std::vector<std::pair<int, int>> CTCMessages;
  std::vector<std::pair<int, int>> CTCSignalRequests;
  std::vector<std::pair<int, int>> CTCSwitchRequests;
  int CTCResult = 1;
  int CTCFlushes = 0;
  int EIOFlushes = 0;
};

// Dialog results come from a script per dialog; the calls are recorded.
class FakeDialogService : public NullDialogService {
 public:
  void OpenTrainEntryDialog(int slot, int location) override { EntryDialogs.emplace_back(slot, location); }
  void FocusTrainEntryDialog(int slot) override { FocusedEntryDialogs.push_back(slot); }
  void CloseTrainEntryDialog(int slot) override { ClosedEntryDialogs.push_back(slot); }
  // The crew dialogs store the location and ready time themselves: CrewDialogAction plays that part.
  int RunCrewChangeLocationDialog(int slot) override {
    if (CrewDialogAction) CrewDialogAction(slot);
    return Take(CrewChangeResults, slot);
  }
  int RunCrewCallDialog(int slot) override {
    if (CrewDialogAction) CrewDialogAction(slot);
    return Take(CrewCallResults, slot);
  }
  int RunSplitTrainDialog(const std::string& title, int slot) override {
    Titles.push_back(title);
    return Take(SplitResults, slot);
  }
  int RunStopTrainDialog(const std::string& title) override {
    Titles.push_back(title);
    return Take(StopResults, -1);
  }
  void RunTrainSheet(const std::string& title, int index, int pages) override {
    Titles.push_back(title);
    TrainSheets.push_back(index);
    TrainSheetPages.push_back(pages);
  }
  int RunTrainDialog(int slot) override {
    if (TrainDialogAction) TrainDialogAction(slot);
    return Take(TrainDialogResults, slot);
  }
  void OpenPermitRequestDialog(int slot) override { PermitRequests.push_back(slot); }
  void ShowPermitRequestDialog(int slot) override { PermitRequestsShown.push_back(slot); }
  void ClosePermitRequestDialog(int slot) override { PermitRequestsClosed.push_back(slot); }
  void CloseTrainEntryDialogs() override { ++CloseTrainEntryDialogsCalls; }
  int RunPlaybackTimeDialog(const std::string& file, int32_t clockAtStart) override {
    PlaybackTimeDialogs.emplace_back(file, clockAtStart);
    return Take(PlaybackTimeResults, -1);
  }
  int RunSelectStartDialog() override { return Take(SelectStartResults, -1); }
  void ClosePermitRequestDialogs() override { ++ClosePermitRequestDialogsCalls; }

  std::deque<int> CrewChangeResults, CrewCallResults, SplitResults, StopResults, TrainDialogResults;
  std::deque<int> PlaybackTimeResults, SelectStartResults;
  std::vector<std::pair<std::string, int32_t>> PlaybackTimeDialogs;
  std::function<void(int)> CrewDialogAction, TrainDialogAction;
  std::vector<int> TrainSheetPages;
  std::vector<std::pair<int, int>> EntryDialogs;
  std::vector<int> FocusedEntryDialogs;
  std::vector<int> ClosedEntryDialogs;
  std::vector<int> DialogSlots;
  std::vector<std::string> Titles;
  std::vector<int> TrainSheets;
  std::vector<int> PermitRequests;
  std::vector<int> PermitRequestsShown;
  std::vector<int> PermitRequestsClosed;
  int CloseTrainEntryDialogsCalls = 0;
  int ClosePermitRequestDialogsCalls = 0;

 private:
  int Take(std::deque<int>& script, int slot) {
    DialogSlots.push_back(slot);
    if (script.empty()) return 2;
    const int result = script.front();
    script.pop_front();
    return result;
  }
};

class FakeListService : public NullListService {
 public:
  bool IsListOpen(ListWindow list) override;
  void RefreshList(ListWindow list) override { Refreshed.push_back(list); }
  bool IsArrivalWindowOpen(int index) override;
  void RefreshArrivalWindow(int index) override { ArrivalRefreshes.push_back(index); }
  bool IsPlatformWindowOpen(int platform) override;
  void RefreshPlatformWindow(int platform) override { PlatformRefreshes.push_back(platform); }
  void RefreshAllWindows() override { ++RefreshAllCalls; }
  void CloseTrainGraph() override { ++CloseTrainGraphCalls; }
  void ShowTrainOSWindow(const std::string& caption, int slot) override { TrainOSWindows.emplace_back(caption, slot); }

  std::vector<std::pair<std::string, int>> TrainOSWindows;
  std::vector<ListWindow> OpenLists;
  std::vector<int> OpenArrivalWindows;
  std::vector<int> OpenPlatformWindows;
  std::vector<int> PlatformRefreshes;
  int CloseTrainGraphCalls = 0;
  std::vector<ListWindow> Refreshed;
  std::vector<int> ArrivalRefreshes;
  int RefreshAllCalls = 0;
};

struct PlaybackCall {
  PlaybackKind Kind;
  int32_t Index;
  std::vector<uint8_t> Bytes;
};

class FakePlaybackSink : public PlaybackSink {
 public:
  void RecordChange(PlaybackKind kind, int32_t index, const void* record, uint32_t size) override;
  std::vector<PlaybackCall> Calls;
};
