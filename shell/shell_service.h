// What the core asks of the main frame: status fields, menu check marks, the
// window timers, sounds, the recent-file items, the file dialogs, help's refusal
// and the Alert Message Window. The layout window's part of the shell service
// (scrolling, cells, display pictures) is LayoutShellService's: this class
// leaves those methods abstract, so the compiler names any that nobody writes.
#pragma once

#include "store/services.h"

class TCorvane3Dec;
class Corvane3Data;

class QtShellService : public ShellService {
 public:
  QtShellService(Corvane3Data& store, TCorvane3Dec& frame) : store_(store), frame_(frame) {}

  // ---- status bar and messages
  void ShowStatusText(StatusPane pane, const std::string& text) override;
  void ShowTrackFileName() override;
  void ShowHelpNotAvailable() override;

  // ---- menus and the tool bar
  void CheckMenuItem(int commandId, bool checked) override;
  void SwapZoomButtons() override;
  void InsertOldFileMenu() override;
  void RemoveMenuItem(int commandId) override;
  void InsertMenuItem(int commandId, const std::string& text, int beforeCommandId) override;

  // ---- timers and sounds
  void SetTimer(int timerId, int milliseconds) override;
  void KillTimer(int timerId) override;
  bool PlayWaveFile(const std::string& path) override;
  void Beep() override;

  // ---- file dialogs
  std::string AskSaveFileName(const FileDialogRequest& request) override;
  std::string AskOpenFileName(const FileDialogRequest& request) override;

  // ---- windows: the data windows, the Alert Message Window (while it is open), the active train list
  void CloseDataWindows() override;
  void SetAlertScrollRange(int32_t width, int32_t height) override;
  void InvalidateAlertWindow() override;
  void CloseAlertWindow() override;
  // A train pop-up's Status: posted to the frame, which opens the active train list on that train.
  void ShowActiveTrain(int trainSlot) override;

 private:
  Corvane3Data& store_;
  TCorvane3Dec& frame_;
};
