// Do-nothing services: what the core uses when no window is attached (and the
// base that test fakes override).
#pragma once

#include "store/services.h"

class NullMessageService : public MessageService {
 public:
  // With nobody to ask, a question gets its first, affirmative answer.
  MessageResult ShowMessage(const std::string&, const std::string&, MessageIcon, MessageButtons buttons) override {
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                      : MessageResult::Ok;
  }
};

class NullShellService : public ShellService {
 public:
  void ShowStatusText(StatusPane, const std::string&) override {}
  void FreeDisplayResources() override {}
  void CloseDataWindows() override {}
  void CheckMenuItem(int, bool) override {}
  void ComputeLayoutExtent() override {}
  void SetScrollRanges(int32_t, int32_t, int) override {}
  void LoadTrainIcons() override {}
  void MakeTrainIconBitmaps() override {}
  void CmClassicDisplay() override {}
  void RememberView() override {}
  void SetAlertScrollRange(int32_t, int32_t) override {}
  void ShowHelpNotAvailable() override {}
  void ShowTrainStatusLine(int) override {}
  bool IsCellVisible(int, int) override { return true; }
  void ScrollCellIntoView(int, int) override {}
  void PlaceCursorOnCell(int, int) override {}
  void InvalidateCellRect(int, int, bool, int, int) override {}
  void EraseBlockLabels(int) override {}
  void ShowActiveTrain(int) override {}
  void SwapZoomButtons() override {}
  void SetTimer(int, int) override {}
  void KillTimer(int) override {}
  void InsertOldFileMenu() override {}
  bool PlayWaveFile(const std::string&) override { return false; }
  void Beep() override {}
  void SetArrowCursor() override {}
  void InvalidateLayout(bool) override {}
  void InvalidateAlertWindow() override {}
  void ShowTrackFileName() override {}
  void RemoveMenuItem(int) override {}
  void InsertMenuItem(int, const std::string&, int) override {}
  std::string AskSaveFileName(const FileDialogRequest&) override { return {}; }
  std::string AskOpenFileName(const FileDialogRequest&) override { return {}; }
  void SetScrollPosition(int32_t, int32_t) override {}
  CellSize LayoutUsedCells() override { return {}; }
  void ResetSimulationDisplay() override {}
  void CloseAlertWindow() override {}
};

class NullDisplayService : public DisplayService {
 public:
  ClientPoint ScrollPosition() override { return {}; }
  void FillClientRect(int, int, int, int, uint32_t) override {}
  void InvalidateClientRect(int, int, int, int, bool) override {}
  ClientPoint CursorPosition() override { return {}; }
  void PostMouseMove(ClientPoint) override {}
};

class NullInterfaceService : public InterfaceService {
 public:
  void EIOBuildXferOutMsg(int, int) override {}
  void CTCBuildXferOutMsg(int, int) override {}
  void FlushCTCControls() override {}
  void FlushEIOIndications() override {}
  void EIOReadXferInFile() override {}
  void CTCReadXferInFile() override {}
  void CTCBlinkPendingSwitches() override {}
  int CTCClearSignal(int, int) override { return 0; }
  int CTCThrowSwitch(int, int) override { return 0; }
};

class NullDialogService : public DialogService {
 public:
  void OpenTrainEntryDialog(int, int) override {}
  void FocusTrainEntryDialog(int) override {}
  void CloseTrainEntryDialog(int) override {}
  void CloseTrainEntryDialogs() override {}
  int RunCrewChangeLocationDialog(int) override { return 2; }
  int RunCrewCallDialog(int) override { return 2; }
  int RunSplitTrainDialog(const std::string&, int) override { return 2; }
  int RunStopTrainDialog(const std::string&) override { return 2; }
  void RunTrainSheet(const std::string&, int, int) override {}
  int RunTrainDialog(int) override { return 2; }
  void OpenPermitRequestDialog(int) override {}
  void ShowPermitRequestDialog(int) override {}
  void ClosePermitRequestDialog(int) override {}
  void ClosePermitRequestDialogs() override {}
  int RunPlaybackTimeDialog(const std::string&, int32_t) override { return 2; }
  int RunSelectStartDialog() override { return 2; }
};

class NullListService : public ListService {
 public:
  bool IsListOpen(ListWindow) override { return false; }
  void RefreshList(ListWindow) override {}
  bool IsArrivalWindowOpen(int) override { return false; }
  void RefreshArrivalWindow(int) override {}
  bool IsPlatformWindowOpen(int) override { return false; }
  void RefreshPlatformWindow(int) override {}
  void ShowTrainOSWindow(const std::string&, int) override {}
  void RefreshAllWindows() override {}
  void CloseTrainGraph() override {}
};

class NullPlaybackSink : public PlaybackSink {
 public:
  void RecordChange(PlaybackKind, int32_t, const void*, uint32_t) override {}
};
