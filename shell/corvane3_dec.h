// The main frame: menu bar, control bar, message line bar and status bar
// around the layout window. It keeps the dialog lock, the cascade counters of
// the per-location list windows, the recent-file items of the File menu, and
// decides the program's exit.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "platform/command_registry.h"
#include "platform/printer.h"
#include "platform/shell_open.h"
#include "platform/sounds.h"
#include "platform/window_timers.h"
#include "store/corvane3_data.h"

class QToolButton;

class TCorvane3Dec : public QMainWindow {
 public:
  // The frame with its caption and menu; client may be null (an empty client area).
  TCorvane3Dec(Corvane3Data& store, const QString& caption, QWidget* client);
  ~TCorvane3Dec() override;

  // Takes the window that fills the frame between the bars; null leaves the area empty.
  void SetClient(QWidget* client);

  // The control bar and the two message bars, with their fields and buttons.
  void BuildBars(bool soundOn, int screenWidth);
  // Check marks and first texts, once the frame is built.
  void SetupWindow();

  void ShowTrackFileName();
  void CloseDataWindows();
  // Asks "Do you want to exit?"; on Yes stops the timers and saves the settings.
  bool CanClose();
  // A text item of the menu bar's menus: inserted (or replaced) ahead of another item, or removed.
  void InsertMenuItem(int id, const QString& text, int beforeId);
  void RemoveMenuItem(int id);
  // The two zoom buttons (command 1009) and the sound pair (1006/1007): one shown at a time.
  void SwapZoomButtons();
  void SwapSoundButtons();

  // Runs a modal dialog with the simulation clock held while it is open; its exec() result.
  int RunHeldDialog(QDialog& dialog);

  CommandRegistry& Commands() { return commands_; }
  // The one printer of the run; Print Setup's choice holds for every report.
  TTrainPrinter& Printer() { return *printer_; }
  WindowTimers& Timers() { return timers_; }
  SoundPlayer& Sounds() { return sounds_; }
  QMenu* FileMenu() const { return fileMenu_; }
  // The desktop's "open" for the manual, the logs and the web pages; tests put a recorder here.
  void SetShellOpener(std::function<ShellOpenResult(const std::string&)> opener) { shellOpen_ = std::move(opener); }

  int32_t ArrivalWindowsOpen = 0;
  int32_t PlatformWindowsOpen = 0;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BindCommands();
  QAction* AddButton(int id, int glyph);
  void CmExit();
  void CmAbout();
  void CmHelp();
  void CmCTCFolder();
  void CmExternalIOFolder();
  void CmAboutTerritory();
  void CmOSPoints();
  void CmTrainSchedule();
  void CmEntranceExit();
  void CmWaysideDetectors();
  void CmStartTime();
  void CmTrainTypes();
  void CmRandomParameters(int command);
  void CmAlertParameters();
  void CmTrainGraph();
  void BindShellCommands();
  void CmOpenManual();
  void CmShowLog(const char* logFile);
  void CmWebPage(const char* page);

  Corvane3Data& store_;
  CommandRegistry commands_;
  WindowTimers timers_;
  SoundPlayer sounds_;
  QMenu* fileMenu_ = nullptr;
  QPointer<QWidget> client_;
  QAction* zoomShown_ = nullptr;
  QAction* zoomOther_ = nullptr;
  QAction* soundOn_ = nullptr;
  QAction* soundOff_ = nullptr;
  bool closeConfirmed_ = false;
  std::function<ShellOpenResult(const std::string&)> shellOpen_ = ShellOpen;
  std::unique_ptr<TTrainPrinter> printer_;
};

// Shows that help is not available, with the error caption and the stop icon.
void ShowHelpNotAvailable(Corvane3Data& store);
