#include "shell/shell_service.h"

#include "platform/bar_fields.h"
#include "platform/file_dialogs.h"
#include "platform/post_message.h"
#include "shell/alert_window.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "shell/train_lists.h"
#include "store/corvane3_data.h"
#include "store/file_commands.h"

void QtShellService::ShowStatusText(StatusPane pane, const std::string& text) {
  TextGadget* field = nullptr;
  switch (pane) {
    case StatusPane::RunState:
      field = RunStateField;
      break;
    case StatusPane::Speed:
      field = SpeedField;
      break;
    case StatusPane::Clock:
      field = ClockField;
      break;
    case StatusPane::Performance:
      field = PerformanceField;
      break;
    case StatusPane::TrackFile:
      field = TrackFileField;
      break;
    case StatusPane::Alert:
    case StatusPane::Message:
      field = MessageField;
      break;
  }
  if (field) field->setText(QString::fromStdString(text));
}

void QtShellService::CheckMenuItem(int commandId, bool checked) { frame_.Commands().Check(commandId, checked); }
void QtShellService::ShowHelpNotAvailable() { ::ShowHelpNotAvailable(store_); }
void QtShellService::SwapZoomButtons() { frame_.SwapZoomButtons(); }
void QtShellService::SetTimer(int timerId, int milliseconds) { frame_.Timers().Set(timerId, milliseconds); }
void QtShellService::KillTimer(int timerId) { frame_.Timers().Kill(timerId); }
void QtShellService::InsertOldFileMenu() { FileCommands(store_).InsertOldFileMenu(); }
bool QtShellService::PlayWaveFile(const std::string& path) { return frame_.Sounds().PlayWave(path); }
void QtShellService::Beep() { frame_.Sounds().Beep(); }
void QtShellService::ShowTrackFileName() { frame_.ShowTrackFileName(); }

void QtShellService::RemoveMenuItem(int commandId) { frame_.RemoveMenuItem(commandId); }

void QtShellService::InsertMenuItem(int commandId, const std::string& text, int beforeCommandId) {
  // A file name is shown as it is: '&' would otherwise mark a mnemonic.
  frame_.InsertMenuItem(commandId, QString::fromStdString(text).replace('&', "&&"), beforeCommandId);
}

std::string QtShellService::AskSaveFileName(const FileDialogRequest& request) {
  return ::AskSaveFileName(&frame_, "", request.Filter, request.InitialFolder, request.InitialName,
                           request.DefaultExtension);
}

std::string QtShellService::AskOpenFileName(const FileDialogRequest& request) {
  // The dialog opens in the folder with the initial name's file selected there.
  std::string start = request.InitialFolder;
  const std::string name = request.InitialName.substr(request.InitialName.find_last_of("/\\") + 1);
  if (!name.empty()) start += (start.empty() || start.back() == '/' ? "" : "/") + name;
  return ::AskOpenFileName(&frame_, "", request.Filter, start);
}

void QtShellService::CloseDataWindows() { frame_.CloseDataWindows(); }

void QtShellService::SetAlertScrollRange(int32_t width, int32_t height) {
  if (auto* window = dynamic_cast<TCorvane3Frame*>(TheAlertWindow.data())) window->SetAlertScrollRange(width, height);
}

void QtShellService::InvalidateAlertWindow() {
  if (auto* window = dynamic_cast<TCorvane3Frame*>(TheAlertWindow.data())) window->viewport()->update();
}

void QtShellService::CloseAlertWindow() { delete TheAlertWindow.data(); }

void QtShellService::ShowActiveTrain(int trainSlot) {
  Corvane3Data* store = &store_;
  PostMessage(&frame_, [store, trainSlot, frame = &frame_] {
    if (store->GetOptionData().CTCControlOn == 1) {
      OpenCTCActiveTrainList(*store, frame, trainSlot);
    } else {
      OpenActiveTrainList(*store, frame, trainSlot);
    }
  });
}
