#include "shell/corvane3_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include "dialogs/qt_dialog_service.h"
#include "interface/interface_service.h"
#include "interface/outgoing.h"
#include "lists/train_graph.h"
#include "platform/bar_fields.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/alert_window.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/find_dialogs.h"
#include "shell/globals.h"
#include "shell/glyphs.h"
#include "shell/layout_painter.h"
#include "shell/layout_printout.h"
#include "shell/layout_services.h"
#include "shell/list_service.h"
#include "shell/track_path.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"

TCorvane3App::TCorvane3App(QStringList arguments, MessageService* messages)
    : arguments_(std::move(arguments)), messages_(messages ? messages : &qtMessages_) {}

TCorvane3App::~TCorvane3App() {
  // The interface and the dialogs go before the engine they work through, which goes with the layout window.
  if (store_) {
    store_->SetInterfaceService(nullptr);
    store_->SetDialogService(nullptr);
    store_->SetListService(nullptr);
  }
  interface_.reset();
  dialogs_.reset();
  frame_.reset();  // the layout window goes with its frame
  if (store_) {
    store_->SetDisplayService(nullptr);
    store_->SetShellService(nullptr);
    store_->SetMessageService(nullptr);
    store_.reset();
  }
  shell_.reset();
  lists_.reset();
  pictures_.reset();
  ClearShellGlobals();
}

TCorvane3Window* TCorvane3App::LayoutWindow() const { return TheLayoutWindow; }

void TCorvane3App::InitMainWindow() {
  ClearShellGlobals();

  store_ = std::make_unique<Corvane3Data>();
  Corvane3Data& store = *store_;
  store.SetMessageService(messages_);
  lists_ = std::make_unique<QtListService>(store);
  store.SetListService(lists_.get());

  // No viewer for the old help files exists here.
  store.HelpAvailable = 0;

  const QString program = arguments_.isEmpty() ? QCoreApplication::applicationFilePath() : arguments_.front();
  SetFieldText(store.ProgramFolder, (QFileInfo(program).absolutePath() + "/").toStdString());

  store.FirstRunHints = SettingsFiles(store).LoadOptions() != 0 ? 1 : 0;
  OptionData options = store.GetOptionData();
  options.EIOLastReceived = -1;
  options.CTCLastReceived = -1;
  store.UpdateOptionData(options);

  SetFieldText(store.VersionText, res::kVersionText);
  SettingsFiles(store).LoadWindowColumns();

  for (auto& caption : store.Captions) {
    SetFieldText(caption, kCaptionChars, FieldText(caption, kCaptionChars) + res::kVersionText);
  }
  SetFieldText(store.Captions[1], kCaptionChars, FieldText(store.Captions[1], kCaptionChars) + " Error");
  SetFieldText(store.Captions[2], kCaptionChars, FieldText(store.Captions[2], kCaptionChars) + " Warning");

  const QString caption =
      QString::fromStdString(FieldText(store.Captions[0], kCaptionChars)) + " - " + res::kContactLine;

  // The layout window takes the client area when it exists; until then the area stays empty.
  frame_ = std::make_unique<TCorvane3Dec>(store, caption, nullptr);
  TheMainFrame = frame_.get();

  std::vector<std::string> words;
  for (qsizetype i = 1; i < arguments_.size(); ++i) words.push_back(arguments_[i].toStdString());
  const bool named = !words.empty();
  if (named) SetFieldText(store.TrackFilePath, JoinArguments(words));
  SetFieldText(store.TrackFilePath,
               ResolveTrackPath(FieldText(store.TrackFilePath), FieldText(store.ProgramFolder), res::kSampleTerritory));

  const QScreen* screen = QGuiApplication::primaryScreen();
  const int screenWidth = screen ? screen->geometry().width() : 1024;
  frame_->BuildBars(store.GetOptionData().AlertSoundsOn != 0, screenWidth);
  frame_->setWindowIcon(ProgramIcon());

  pictures_ = std::make_unique<DisplayPictures>();
  pictures_->SetReporter([&store](int resource) { ReportMissingPicture(store, resource); });
  shell_ = std::make_unique<LayoutShellService>(store, *frame_, *pictures_);
  store.SetShellService(shell_.get());
  qtMessages_.SetOwner(frame_.get());

  auto* window = new TCorvane3Window(store, *pictures_);
  window->ReportFirstLoad = named;
  frame_->SetClient(window);
  TheLayoutWindow = window;
  shell_->SetLayoutWindow(window);
  store.SetDisplayService(window);
  // The message interfaces work through the layout window's engine.
  interface_ = std::make_unique<MessageInterfaceService>(window->TheEngine());
  store.SetInterfaceService(interface_.get());
  dialogs_ = std::make_unique<QtDialogService>(store, window->TheEngine(), window);
  store.SetDialogService(dialogs_.get());
  frame_->Timers().SetHandler([window](int id) { window->EvTimer(id); });
  // Each timer is killed while its step runs and set again after it, so a long step delays the
  // next one instead of queueing steps.
  window->SetClockDriver([window, &store](int id) {
    Engine& engine = window->TheEngine();
    store.Shell().KillTimer(id);
    int interval = 0;
    switch (id) {
      case res::TIMER_TICK:
        // A reset asked for the layout extent to be taken again once the window is up.
        if (store.Run.ExtentPending) {
          store.Run.ExtentPending = 0;
          window->ComputeLayoutExtent();
          store.Shell().InvalidateLayout(true);
          window->RememberView();
        }
        interval = engine.Tick();
        store.Run.LastSpeed = store.Run.ClockSpeed;
        // The open train graph draws the passings the tick stored.
        if (auto* graph = qobject_cast<TTrainGraph*>(TheDataWindows.TrainGraph.data())) graph->FollowOSHits();
        break;
      case res::TIMER_DISPLAY:
        interval = engine.BlinkStep();
        break;
      case res::TIMER_BEEPS:
        interval = engine.BeepStep();
        break;
      default:
        return;
    }
    store.Shell().SetTimer(id, interval);
  });
  CommandRegistry& commands = frame_->Commands();
  painter_ = std::make_unique<LayoutPainter>(store, *pictures_);
  layoutImage_ = std::make_unique<LayoutImage>(*painter_);
  window->SetLayoutImage(layoutImage_.get());
  window->SetMessageSink([](const QString& text) {
    if (MessageField) MessageField->setText(text);
  });
  commands.SetHandler(res::CM_CLASSIC_DISPLAY, [window] { window->CmClassicDisplay(); });
  commands.SetHandler(res::CM_BLOCK_LENGTHS, [window] { window->CmDisplayBlockLengths(); });
  commands.SetHandler(res::CM_BLOCK_NAME, [window] { window->CmDisplayBlockName(); });
  commands.SetHandler(res::CM_BLOCK_SIGNAL_DIRECTION, [window] { window->CmDisplayBlockSignalDirection(); });
  commands.SetHandler(res::CM_BLOCK_SPEEDS, [window] { window->CmDisplayBlockSpeeds(); });
  commands.SetHandler(res::CM_DISPLAY_LAST_ALERT, [window] { window->CmDisplayLastAlert(); });
  commands.SetHandler(res::CM_HELP_MESSAGES, [window] { window->CmHelpMessages(); });
  commands.SetHandler(res::CM_STACK_MESSAGE, [window] { window->CmStackMessage(); });
  commands.SetHandler(res::CM_TOGGLE_ZOOM, [window] { window->CmToggleZoom(); });
  commands.SetHandler(res::CM_PRINT_LAYOUT, [this, &store, window] {
    TTPrintLayout printout(store, *painter_, window->PaintState());
    frame_->Printer().Print(window, printout);
  });
  commands.SetHandler(res::CM_VIEW_BACK, [window] { window->CmViewBack(); });
  commands.SetHandler(res::CM_VIEW_FORWARD, [window] { window->CmViewForward(); });
  commands.SetEnabler(res::CM_VIEW_BACK, [window] { return window->CeViewBack(); });
  commands.SetEnabler(res::CM_VIEW_FORWARD, [window] { return window->CeViewForward(); });
  BindFindCommands(commands, store, *window);
  BindAlertWindowCommands(commands, store, *window);
  BindRunCommands(commands, window->TheRunControl(), *frame_);

  frame_->SetupWindow();
  window->SetupWindow();
}

void BindRunCommands(CommandRegistry& commands, RunControl& control, TCorvane3Dec& frame) {
  Corvane3Data& store = control.Store();
  control.SetCTCAllDataRequest([&store] { xfer::BuildCTCAllDataMsg(store); });
  commands.SetHandler(res::CM_START, [&control] { control.CmStart(); });
  commands.SetEnabler(res::CM_START, [&control] { return control.CeStart(); });
  commands.SetHandler(res::CM_STOP, [&control] { control.StopSimulation(); });
  commands.SetEnabler(res::CM_STOP, [&control] { return control.CeStop(); });
  commands.SetHandler(res::CM_FASTER, [&control] { control.CmFaster(); });
  commands.SetEnabler(res::CM_FASTER, [&control] { return control.CeFaster(); });
  commands.SetHandler(res::CM_SLOWER, [&control] { control.CmSlower(); });
  commands.SetEnabler(res::CM_SLOWER, [&control] { return control.CeSlower(); });
  commands.SetHandler(res::CM_SOUND_ON, [&control, &frame] {
    control.CmSoundOn();
    frame.SwapSoundButtons();
  });
  commands.SetEnabler(res::CM_SOUND_ON, [&control] { return control.CeSoundOn(); });
  commands.SetHandler(res::CM_SOUND_OFF, [&control, &frame] {
    control.CmSoundOff();
    frame.SwapSoundButtons();
  });
  commands.SetEnabler(res::CM_SOUND_OFF, [&control] { return control.CeSoundOff(); });
  commands.SetHandler(res::CM_MODE_SIMULATION, [&control] { control.CmSimulationNoPlayback(); });
  commands.SetHandler(res::CM_MODE_RECORDING, [&control] { control.CmSimulationWithPlayback(); });
  commands.SetHandler(res::CM_MODE_PLAYBACK, [&control] { control.CmPlayback(); });
  commands.SetHandler(res::CM_MODE_CTC, [&control] { control.CmCTCControl(); });
  commands.SetHandler(res::CM_MODE_EXTERNAL_IO, [&control] { control.CmExternalIO(); });
}

QRect NormalFramePlace(const QRect& available) {
  return available.adjusted(available.width() / 20, available.height() / 20, -available.width() / 20,
                            -available.height() / 20);
}

void TCorvane3App::ShowFrame() {
  // Without a window manager nothing grants the maximize request, and the frame would stay at its
  // small natural size; a place the frame was given already (-geometry) wins.
  const QScreen* screen = frame_->screen() ? frame_->screen() : QGuiApplication::primaryScreen();
  if (screen && !frame_->testAttribute(Qt::WA_Resized))
    frame_->setGeometry(NormalFramePlace(screen->availableGeometry()));
  frame_->showMaximized();
}

int TCorvane3App::Run() {
  ShowFrame();
  return QApplication::exec();
}
