#include "shell/corvane3_dec.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "dialogs/alert_dialog.h"
#include "dialogs/random_dialogs.h"
#include "dialogs/run_dialogs.h"
#include "dialogs/territory_info.h"
#include "interface/outgoing.h"
#include "interface/qt/interface_folder_dialogs.h"
#include "lists/active_lists.h"
#include "lists/ctc_permit_list.h"
#include "lists/detector_list.h"
#include "lists/entexit_list.h"
#include "lists/option_reports.h"
#include "lists/os_list.h"
#include "lists/performance.h"
#include "lists/permit_list.h"
#include "lists/slow_list.h"
#include "lists/start_list.h"
#include "lists/territory_report.h"
#include "lists/track_report.h"
#include "lists/train_graph.h"
#include "lists/train_type_list.h"
#include "lists/train_window.h"
#include "platform/bar_fields.h"
#include "platform/help.h"
#include "resources/main_menu.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/about.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "shell/glyphs.h"
#include "shell/track_path.h"
#include "shell/train_lists.h"
#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "store/playback_file.h"
#include "store/settings_files.h"
#include "store/stop_status.h"

namespace {

// Each pointer is deleted and left null; null entries are skipped.
void DeleteWindow(QPointer<QWidget>& window) {
  delete window.data();
  window = nullptr;
}

template <size_t N>
void DeleteWindows(std::array<QPointer<QWidget>, N>& windows) {
  for (auto& window : windows) DeleteWindow(window);
}

}  // namespace

void ShowHelpNotAvailable(Corvane3Data& store) {
  store.Messages().ShowMessage(res::kHelpNotAvailable, FieldText(store.Captions[1], kCaptionChars), MessageIcon::Error,
                               MessageButtons::Ok);
}

TCorvane3Dec::TCorvane3Dec(Corvane3Data& store, const QString& caption, QWidget* client) : store_(store) {
  setObjectName("TCorvane3Dec");
  setWindowTitle(caption);
  ClosingDown = 0;
  store_.Run.DialogOpen = 0;
  printer_ = std::make_unique<TTrainPrinter>();
  printer_->SetErrorReporter([this](const std::string& text, const std::string& caption) {
    store_.Messages().ShowMessage(text, caption, MessageIcon::Error, MessageButtons::Ok);
  });
  SetTheTrainPrinter(printer_.get());
  BuildMenu();
  BindCommands();
  SetClient(client);
}

TCorvane3Dec::~TCorvane3Dec() {
  // The alert window goes while the layout window it repaints is whole.
  delete TheAlertWindow.data();
  CloseDataWindows();
  DeleteWindow(TheDataWindows.CTCActiveTrains);
  DeleteWindow(TheDataWindows.CTCActivePermits);
  if (TheMainFrame == this) TheMainFrame = nullptr;
  if (TheTrainPrinter() == printer_.get()) SetTheTrainPrinter(nullptr);
}

void TCorvane3Dec::SetClient(QWidget* client) {
  if (!client) {
    client = new QWidget;
    client->setObjectName("EmptyClient");
  }
  setCentralWidget(client);  // the frame owns it and deletes the one it replaces
  client_ = client;
  TheClientWindow = client;
}

void TCorvane3Dec::BuildMenu() {
  QMenuBar* bar = menuBar();
  for (const res::MenuEntry& entry : res::kMainMenu) {
    if (entry.Id != 0) {
      bar->addAction(commands_.Action(entry.Id, entry.Text));
      continue;
    }
    QMenu* menu = bar->addMenu(entry.Text);
    menu->setObjectName(QString(entry.Text).remove('&'));
    connect(menu, &QMenu::aboutToShow, this, [this] { commands_.UpdateEnabled(); });
    for (const res::MenuItem& item : entry.Items) {
      if (item.Id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(commands_.Action(item.Id, item.Text));
      }
    }
    if (menu->objectName() == "File") fileMenu_ = menu;
  }
  for (const res::Accelerator& accelerator : res::kAccelerators) {
    const int id = accelerator.Id;
    auto* shortcut = new QShortcut(QKeySequence(QString("Alt+") + QChar(accelerator.Key).toUpper()), this);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, id] { commands_.Dispatch(id); });
  }
}

void TCorvane3Dec::BindCommands() {
  commands_.SetHandler(res::CM_EXIT, [this] { CmExit(); });
  commands_.SetHandler(res::CM_ABOUT, [this] { CmAbout(); });
  commands_.SetHandler(res::CM_HELP, [this] { CmHelp(); });
  commands_.SetHandler(res::CM_CTC_FOLDER, [this] { CmCTCFolder(); });
  commands_.SetHandler(res::CM_EIO_FOLDER, [this] { CmExternalIOFolder(); });
  commands_.SetHandler(res::CM_OS_POINTS, [this] { CmOSPoints(); });
  commands_.SetHandler(res::CM_TRAIN_SCHEDULE, [this] { CmTrainSchedule(); });
  commands_.SetHandler(res::CM_ENTRANCE_EXIT, [this] { CmEntranceExit(); });
  commands_.SetHandler(res::CM_WAYSIDE_DETECTORS, [this] { CmWaysideDetectors(); });
  commands_.SetHandler(res::CM_START_TIME, [this] { CmStartTime(); });
  commands_.SetHandler(res::CM_TRAIN_TYPES, [this] { CmTrainTypes(); });
  for (int id : {res::CM_RANDOM_DETECTORS, res::CM_RANDOM_FAILURES, res::CM_RANDOM_TRAINS}) {
    commands_.SetHandler(id, [this, id] { CmRandomParameters(id); });
  }
  commands_.SetHandler(res::CM_ALERT_PARAMETERS, [this] { CmAlertParameters(); });
  commands_.SetHandler(res::CM_FUNCTION_ACTIVATION, [this] {
    TFunctionActiveDialog dialog(this, store_);
    RunHeldDialog(dialog);
  });
  commands_.SetHandler(res::CM_BLOCK_PERMITS, [this] {
    OpenListWindow(TheDataWindows.BlockPermits, [this] { return new TTPermit(store_, this); });
  });
  commands_.SetHandler(res::CM_SLOW_ORDERS, [this] {
    OpenListWindow(TheDataWindows.SlowOrders, [this] { return new TTSlow(store_, this); });
  });
  commands_.SetHandler(res::CM_ACTIVE_PERMITS, [this] {
    if (store_.GetOptionData().CTCControlOn == 1) {
      OpenListWindow(TheDataWindows.CTCActivePermits,
                     [this] { return new TCTCPermitActive(store_, TheLayoutWindow->TheEngine(), this); });
    } else {
      OpenListWindow(TheDataWindows.ActivePermits,
                     [this] { return new TPermitActive(store_, TheLayoutWindow->TheEngine(), this); });
    }
  });
  // Authorize and Cancel hand permits to the layout window's engine.
  commands_.SetEnabler(res::CM_ACTIVE_PERMITS, [] { return TheLayoutWindow != nullptr; });
  commands_.SetHandler(res::CM_ACTIVE_SLOW_ORDERS, [this] {
    OpenListWindow(TheDataWindows.ActiveSlowOrders, [this] { return new TSlowActive(store_, this); });
  });
  // In CTC control mode the field side keeps the slow orders.
  commands_.SetEnabler(res::CM_ACTIVE_SLOW_ORDERS, [this] { return store_.GetOptionData().CTCControlOn == 0; });
  commands_.SetHandler(res::CM_PRINT_SETUP, [this] { printer_->Setup(this); });
  commands_.SetHandler(res::CM_PRINT_ALERT_PARAMETERS, [this] {
    TTPrintAlertPar printout(store_);
    printer_->Print(this, printout);
  });
  commands_.SetHandler(res::CM_PRINT_RANDOM_PERFORMANCE, [this] {
    TTPrintRandom printout(store_);
    printer_->Print(this, printout);
  });
  commands_.SetHandler(res::CM_PERFORMANCE, [this] {
    OpenListWindow(TheDataWindows.Performance, [this] { return new TPerformWindow(store_, this); });
  });
  commands_.SetHandler(res::CM_TRAIN_GRAPH, [this] { CmTrainGraph(); });
  commands_.SetHandler(res::CM_ABOUT_TERRITORY, [this] { CmAboutTerritory(); });
  commands_.SetHandler(res::CM_PRINT_ALERTS, [this] {
    TTPrintAlerts printout(store_);
    printer_->Print(this, printout);
  });
  commands_.SetHandler(res::CM_PRINT_TRACK_DATA, [this] {
    TTPrintTrack printout(store_);
    printer_->Print(this, printout);
  });
  commands_.SetEnabler(res::CM_PRINT_ALERTS, [this] { return store_.Run.AlertLinesUsed > 0; });
  // CTC control mode has a list of its own for the trains the field side reports.
  commands_.SetHandler(res::CM_ACTIVE_TRAINS, [this] {
    if (store_.GetOptionData().CTCControlOn == 1) {
      OpenCTCActiveTrainList(store_, this);
    } else {
      OpenActiveTrainList(store_, this);
    }
  });
  BindShellCommands();
}

QAction* TCorvane3Dec::AddButton(int id, int glyph) {
  // A second button for an id already on the bar gets an action of its own, tied to the same command.
  QAction* action;
  if (commands_.Has(id) && id == res::CM_TOGGLE_ZOOM) {
    action = new QAction(this);
    commands_.Attach(id, action);
  } else {
    action = commands_.Action(id);
  }
  action->setIcon(Glyph(glyph));
  TheControlBar->addAction(action);
  if (QWidget* button = TheControlBar->widgetForAction(action)) button->setObjectName(QString::number(id));
  return action;
}

void TCorvane3Dec::BuildBars(bool soundOn, int screenWidth) {
  auto separator = [](QToolBar* bar, int pixels) {
    auto* gap = new QWidget;
    gap->setFixedWidth(pixels);
    bar->addWidget(gap);
  };

  TheControlBar = new QToolBar("Control Bar", this);
  TheControlBar->setObjectName("ControlBar");
  TheControlBar->setMovable(false);
  TheControlBar->setFloatable(false);
  TheControlBar->setContextMenuPolicy(Qt::PreventContextMenu);
  QFont barFont = TheControlBar->font();
  barFont.setPointSize(15);
  TheControlBar->setFont(barFont);

  ClockField = new TextGadget("ClockField", 8, Qt::AlignHCenter);
  RunStateField = new TextGadget("RunStateField", 4, Qt::AlignHCenter);
  SpeedField = new TextGadget("SpeedField", 2, Qt::AlignHCenter);
  RunStateField->setText("Stop");

  TheControlBar->addWidget(ClockField);
  separator(TheControlBar, 2);
  TheControlBar->addWidget(RunStateField);
  separator(TheControlBar, 2);
  AddButton(res::CM_STOP, 38);
  AddButton(res::CM_START, 40);
  separator(TheControlBar, 2);
  TheControlBar->addWidget(SpeedField);
  separator(TheControlBar, 2);
  AddButton(res::CM_FASTER, 37);
  AddButton(res::CM_SLOWER, 41);
  separator(TheControlBar, 4);
  // Both sound buttons exist; the one that fits the option is shown.
  soundOn_ = AddButton(res::CM_SOUND_ON, 34);
  soundOff_ = AddButton(res::CM_SOUND_OFF, 33);
  (soundOn ? soundOn_ : soundOff_)->setVisible(false);
  separator(TheControlBar, 4);
  AddButton(res::CM_PREVIOUS_ALERT, 56);
  AddButton(res::CM_NEXT_ALERT, 57);
  AddButton(res::CM_GOTO_ALERT, 44);
  separator(TheControlBar, 4);
  zoomShown_ = AddButton(res::CM_TOGGLE_ZOOM, 93);
  zoomOther_ = AddButton(res::CM_TOGGLE_ZOOM, 45);
  zoomOther_->setVisible(false);
  separator(TheControlBar, 4);
  AddButton(res::CM_VIEW_BACK, 91);
  AddButton(res::CM_VIEW_FORWARD, 92);
  addToolBar(Qt::TopToolBarArea, TheControlBar);

  QFont messageFont = font();
  messageFont.setPointSize(MessageBarPointSize(screenWidth));
  messageFont.setBold(false);
  messageFont.setItalic(false);

  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar");
  status->setFont(messageFont);
  status->setSizeGripEnabled(false);
  TrackFileField = new TextGadget(QString::number(res::IDG_TRACK_FILE_FIELD), 14, Qt::AlignHCenter);
  PerformanceField = new TextGadget(QString::number(res::IDG_PERFORMANCE_FIELD), 80, Qt::AlignLeft);
  status->addWidget(TrackFileField);
  status->addWidget(PerformanceField);
  status->addWidget(new QLabel, 1);  // the bar's own message area
  setStatusBar(status);
  TheStatusBar = status;

  addToolBarBreak(Qt::TopToolBarArea);
  TheMessageLineBar = new QToolBar("Message Line", this);
  TheMessageLineBar->setObjectName("MessageLineBar");
  TheMessageLineBar->setMovable(false);
  TheMessageLineBar->setFloatable(false);
  TheMessageLineBar->setContextMenuPolicy(Qt::PreventContextMenu);
  TheMessageLineBar->setFont(messageFont);
  MessageField = new TextGadget(QString::number(res::IDG_MESSAGE_FIELD), 251, Qt::AlignLeft);
  TheMessageLineBar->addWidget(MessageField);
  auto* messageArea = new QLabel;
  messageArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  TheMessageLineBar->addWidget(messageArea);
  addToolBar(Qt::TopToolBarArea, TheMessageLineBar);

  // The buttons follow their enablers; menus ask when they open, the bar now and then.
  auto* refresh = new QTimer(this);
  connect(refresh, &QTimer::timeout, this, [this] { commands_.UpdateEnabled(); });
  refresh->start(250);
}

void TCorvane3Dec::SetupWindow() {
  FileCommands(store_).InsertOldFileMenu();
  if (TrackFileField) TrackFileField->setText("");
  if (PerformanceField) PerformanceField->setText(" 0");
  if (MessageField) MessageField->setText("");
  if (RunStateField) RunStateField->setText("Stop");

  for (int id : {res::CM_BLOCK_LENGTHS, res::CM_BLOCK_SIGNAL_DIRECTION, res::CM_BLOCK_NAME, res::CM_BLOCK_SPEEDS}) {
    commands_.Check(id, false);
  }
  const OptionData options = store_.GetOptionData();
  commands_.Check(res::CM_CLASSIC_DISPLAY, options.ClassicDisplay == 1);
  commands_.Check(res::CM_HELP_MESSAGES, options.HelpMessagesOn == 1);
  commands_.Check(res::CM_DISPLAY_LAST_ALERT, options.DisplayLastAlert == 1);
  commands_.Check(res::CM_STACK_MESSAGE, options.StackMessage == 1);

  for (int id : {res::CM_MODE_SIMULATION, res::CM_MODE_RECORDING, res::CM_MODE_PLAYBACK}) commands_.Check(id, false);
  if (options.CTCControlOn == 1) {
    commands_.Check(res::CM_MODE_CTC, true);
    if (RunStateField) RunStateField->setText("");
    if (SpeedField) SpeedField->setText("");
    // The field side is asked for the state of everything it controls.
    xfer::BuildCTCAllDataMsg(store_);
  } else {
    commands_.Check(res::CM_MODE_CTC, false);
  }
  commands_.Check(res::CM_MODE_EXTERNAL_IO, options.ExternalIOOn == 1);
  if (options.CTCControlOn == 0) {
    const bool recording = options.Flag10 != 0;
    commands_.Check(recording ? res::CM_MODE_RECORDING : res::CM_MODE_SIMULATION, true);
    store_.OperatingMode = recording ? 1 : 0;
  }
  commands_.UpdateEnabled();
}

void TCorvane3Dec::ShowTrackFileName() {
  if (TrackFileField) {
    TrackFileField->setText(QString::fromStdString(ShortTrackFileName(FieldText(store_.TrackFilePath, kPathChars))));
  }
}

void TCorvane3Dec::CloseDataWindows() {
  DataWindows& w = TheDataWindows;
  for (QPointer<QWidget>* window :
       {&w.TrainData, &w.TrainTypes, &w.Detectors, &w.EntranceExit, &w.SlowOrders, &w.BlockPermits, &w.StartTimes,
        &w.OSData, &w.TrainOS, &w.ActiveTrains, &w.ActiveSlowOrders, &w.ActivePermits, &w.TrainGraph, &w.Performance}) {
    DeleteWindow(*window);
  }
  DeleteWindows(w.ArrivalWindows);
  DeleteWindows(w.PlatformWindows);
  DeleteWindows(w.EntryRequestDialogs);
  DeleteWindows(w.PermitRequestDialogs);
}

bool TCorvane3Dec::CanClose() {
  MessageResult answer;
  {
    StopStatusGuard hold(store_);
    answer = store_.Messages().ShowMessage(res::kExitQuestion, FieldText(store_.Captions[0], kCaptionChars),
                                           MessageIcon::Question, MessageButtons::YesNo);
  }
  if (answer != MessageResult::Yes) return false;
  store_.Shell().KillTimer(res::TIMER_TICK);
  store_.Shell().KillTimer(res::TIMER_DISPLAY);
  if (store_.AlertWindowOpen) delete TheAlertWindow.data();
  ClosingDown = 1;
  store_.Run.SimStopped = 1;
  // The open lists store their places first, so that the window-column file keeps them.
  CloseDataWindows();
  // A new territory leaves the CTC lists open; the exit closes them too.
  DeleteWindow(TheDataWindows.CTCActiveTrains);
  DeleteWindow(TheDataWindows.CTCActivePermits);
  SettingsFiles(store_).SaveOptions();  // reports its own failure; the exit goes on
  PlaybackFile(store_).Close();
  return true;
}

void TCorvane3Dec::closeEvent(QCloseEvent* event) {
  if (closeConfirmed_ || CanClose()) {
    closeConfirmed_ = true;
    event->accept();
  } else {
    event->ignore();
  }
}

void TCorvane3Dec::InsertMenuItem(int id, const QString& text, int beforeId) {
  commands_.DropActions(id);
  QAction* before = commands_.Find(beforeId);
  for (QAction* entry : menuBar()->actions()) {
    QMenu* menu = entry->menu();
    if (menu && before && menu->actions().contains(before)) {
      menu->insertAction(before, commands_.Action(id, text));
      return;
    }
  }
}

void TCorvane3Dec::RemoveMenuItem(int id) { commands_.DropActions(id); }

void TCorvane3Dec::SwapZoomButtons() {
  if (!zoomShown_ || !zoomOther_) return;
  zoomOther_->setVisible(true);
  zoomShown_->setVisible(false);
  std::swap(zoomShown_, zoomOther_);
}

void TCorvane3Dec::SwapSoundButtons() {
  if (!soundOn_ || !soundOff_) return;
  const bool onShown = soundOn_->isVisible();
  soundOn_->setVisible(!onShown);
  soundOff_->setVisible(onShown);
}

void TCorvane3Dec::CmExit() { close(); }

void TCorvane3Dec::CmAbout() {
  TAbout about(this, store_);
  RunHeldDialog(about);
}

// The folder dialogs store their own results; the clock runs on while they are open.
void TCorvane3Dec::CmCTCFolder() {
  TCTCFolder dialog(this, store_);
  dialog.exec();
}

void TCorvane3Dec::CmExternalIOFolder() {
  TExternalIOFolder dialog(this, store_);
  dialog.exec();
}

void TCorvane3Dec::CmHelp() {
  if (!OpenProgramHelp(store_.HelpAvailable == 1, "")) ShowHelpNotAvailable(store_);
}

void TCorvane3Dec::CmAboutTerritory() {
  TTerritoryData::Actions actions;
  actions.Open = [this](const std::string& path) { return shellOpen_(path); };
  actions.Print = [this](const TerritoryData& shown) {
    TTPrintTerritory printout(store_, shown);
    printer_->Print(this, printout);
  };
  actions.PrintSetup = [this] { printer_->Setup(this); };
  TTerritoryData dialog(this, store_, std::move(actions));
  RunHeldDialog(dialog);
}

void TCorvane3Dec::CmOSPoints() {
  OpenListWindow(TheDataWindows.OSData, [this] { return new TTOS(store_, this); });
}

void TCorvane3Dec::CmTrainSchedule() {
  OpenListWindow(TheDataWindows.TrainData, [this] { return new TTTrainWindow(store_, this); });
}

void TCorvane3Dec::CmEntranceExit() {
  OpenListWindow(TheDataWindows.EntranceExit, [this] { return new TTEntExit(store_, this); });
}

void TCorvane3Dec::CmWaysideDetectors() {
  OpenListWindow(TheDataWindows.Detectors, [this] { return new TTDetector(store_, this); });
}

void TCorvane3Dec::CmStartTime() {
  OpenListWindow(TheDataWindows.StartTimes, [this] { return new TTStart(store_, this); });
}

void TCorvane3Dec::CmTrainTypes() {
  OpenListWindow(TheDataWindows.TrainTypes, [this] { return new TTTrainType(store_, this); });
}

int TCorvane3Dec::RunHeldDialog(QDialog& dialog) {
  StopStatusGuard hold(store_);
  return dialog.exec();
}

void TCorvane3Dec::CmRandomParameters(int command) {
  std::unique_ptr<QDialog> dialog;
  if (command == res::CM_RANDOM_DETECTORS) {
    dialog = std::make_unique<TRandomDetectorDialog>(this, store_);
  } else if (command == res::CM_RANDOM_TRAINS) {
    dialog = std::make_unique<TRandomTrainDialog>(this, store_);
  } else {
    dialog = std::make_unique<TRandomSwitchDialog>(this, store_);
  }
  RunHeldDialog(*dialog);
}

void TCorvane3Dec::CmTrainGraph() {
  const bool started = store_.Run.RunStarted == 1 || store_.Run.RunEnded == 1;
  if (!started && store_.GetOptionData().CTCControlOn == 0) {
    store_.ShowMessage("You will need to start the simulation before you can display the train graph.",
                       MessageIcon::Information);
    return;
  }
  if (!graph::AnyOSPoint(store_)) {
    store_.ShowMessage(
        "This territory does not have any OS points assigned, therefore, a train graph cannot be displayed.",
        MessageIcon::Information);
    return;
  }
  OpenListWindow(TheDataWindows.TrainGraph, [this] { return new TTrainGraph(store_, this); });
}

void TCorvane3Dec::CmAlertParameters() {
  TAlertData dialog(client_ ? client_.data() : this, store_);
  RunHeldDialog(dialog);
}
