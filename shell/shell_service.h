// What the core asks of the main frame: status fields, menu check marks, the
// window timers, sounds, the recent-file items, help's refusal. The layout
// window's own services stay do-nothing until that window takes them over.
#pragma once

#include "store/null_services.h"

class TCorvane3Dec;
class Corvane3Data;

class QtShellService : public NullShellService {
 public:
  QtShellService(Corvane3Data& store, TCorvane3Dec& frame) : store_(store), frame_(frame) {}

  void ShowStatusText(StatusPane pane, const std::string& text) override;
  void CloseDataWindows() override;
  void CheckMenuItem(int commandId, bool checked) override;
  void ShowHelpNotAvailable() override;
  void SwapZoomButtons() override;
  void SetTimer(int timerId, int milliseconds) override;
  void KillTimer(int timerId) override;
  void InsertOldFileMenu() override;
  bool PlayWaveFile(const std::string& path) override;
  void Beep() override;
  void ShowTrackFileName() override;
  void RemoveMenuItem(int commandId) override;
  void InsertMenuItem(int commandId, const std::string& text, int beforeCommandId) override;
  std::string AskSaveFileName(const FileDialogRequest& request) override;
  std::string AskOpenFileName(const FileDialogRequest& request) override;
  // The Alert Message Window, while it is open.
  void SetAlertScrollRange(int32_t width, int32_t height) override;
  void InvalidateAlertWindow() override;
  void CloseAlertWindow() override;
  // A train pop-up's Status: posted to the frame, which opens the active train list on that train.
  void ShowActiveTrain(int trainSlot) override;

 private:
  Corvane3Data& store_;
  TCorvane3Dec& frame_;
};
