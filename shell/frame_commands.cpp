// The frame's commands that open no window of their own: the File menu's
// territory and simulation commands (run by the store), the manual, the two
// interface logs and the Web menu's pages.
#include "interface/xfer_msg.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/alert_commands.h"
#include "shell/corvane3_dec.h"
#include "store/file_commands.h"
#include "store/fixed_text.h"

namespace {

// First and one past the last command of the recent track files on the File menu.
constexpr int kFirstOldFileCommand = 2000;

struct WebPage {
  int Id;
  const char* File;
};
constexpr WebPage kWebPages[] = {
    {res::CM_WEB_DOWNLOADS, "downloads.html"},         {res::CM_WEB_NEWS, "news.html"},
    {res::CM_WEB_ORDERING, "ordering.html"},           {res::CM_WEB_LIBRARIES, "territory-libraries.html"},
    {res::CM_WEB_MESSAGE_BOARD, "message-board.html"},
};

}  // namespace

void TCorvane3Dec::BindShellCommands() {
  commands_.SetHandler(res::CM_CHANGE_TERRITORY, [this] { FileCommands(store_).CmChangeTerritory(); });
  commands_.SetHandler(res::CM_OPEN_SAVED_SIMULATION, [this] { FileCommands(store_).CmOpenSavedSimulation(); });
  commands_.SetHandler(res::CM_SAVE_SIMULATION_AS, [this] { FileCommands(store_).CmSaveSimulationAs(); });
  commands_.SetHandler(res::CM_SAVE_TRACK_FILE, [this] { FileCommands(store_).CmSaveTrackFile(); });
  commands_.SetHandler(res::CM_RESTART_SIMULATION, [this] { FileCommands(store_).CmRestartSimulation(); });
  for (int id = kFirstOldFileCommand; id < kFirstOldFileCommand + kMaxOldFiles; ++id) {
    commands_.SetHandler(id, [this, id] { FileCommands(store_).CmOpenOldFile(id); });
  }
  commands_.SetHandler(res::CM_PREVIOUS_ALERT, [this] { CmPreviousAlert(store_); });
  commands_.SetEnabler(res::CM_PREVIOUS_ALERT, [this] { return CePreviousAlert(store_); });
  commands_.SetHandler(res::CM_NEXT_ALERT, [this] { CmNextAlert(store_); });
  commands_.SetEnabler(res::CM_NEXT_ALERT, [this] { return CeNextAlert(store_); });
  commands_.SetHandler(res::CM_OPEN_MANUAL, [this] { CmOpenManual(); });
  commands_.SetHandler(res::CM_CTC_LOG, [this] { CmShowLog(xfer::kCTCLogFile); });
  commands_.SetHandler(res::CM_EIO_LOG, [this] { CmShowLog(xfer::kEIOLogFile); });
  for (const WebPage& page : kWebPages) {
    const char* file = page.File;
    commands_.SetHandler(page.Id, [this, file] { CmWebPage(file); });
  }
}

void TCorvane3Dec::CmOpenManual() {
  const std::string path = FieldText(store_.ProgramFolder) + res::kManualFile;
  const ShellOpenResult result = shellOpen_(path);
  if (result == ShellOpenResult::Opened) return;
  store_.Messages().ShowMessage(result == ShellOpenResult::FileNotFound ? res::kManualNotFound : res::kNoPdfProgram,
                                FieldText(store_.Captions[1], kCaptionChars), MessageIcon::Error, MessageButtons::Ok);
}

void TCorvane3Dec::CmShowLog(const char* logFile) {
  // Both logs live in the External I/O folder; a log that was never written is nothing to report.
  const OptionData options = store_.GetOptionData();
  shellOpen_(FieldText(options.EIOFolder) + logFile);
}

void TCorvane3Dec::CmWebPage(const char* page) {
  // As with the logs, a page the desktop cannot show is not reported.
  shellOpen_(FieldText(store_.ProgramFolder) + res::kWebFolder + page);
}
