#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/bar_fields.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

// The program started from a scratch folder that stands for the program folder.
class FrameTest : public ::testing::Test {
 protected:
  FrameTest() { EnsureQApplication(); }

  void Start(const QStringList& words = {}) {
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")} + words, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
  }
  QString Folder() const { return folder_.path() + "/"; }
  TCorvane3Dec& frame() { return *TheMainFrame; }
  Corvane3Data& store() { return *TheStore; }
  QString Text(TextGadget* field) { return field ? field->text() : QString("<none>"); }
  QAction* Command(int id) { return frame().Commands().Find(id); }
  QWidget* Button(int id) { return TheControlBar->findChild<QWidget*>(QString::number(id)); }
  // The bar's actions of a command that are shown, in bar order.
  std::vector<bool> Shown(int id) {
    std::vector<bool> shown;
    for (QAction* action : TheControlBar->actions()) {
      if (action->objectName() == QString::number(id)) shown.push_back(action->isVisible());
    }
    return shown;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(FrameTest, BuildsEveryMenuWithItsCommandIds) {
  Start();
  struct Menu {
    QString Title;
    std::vector<int> Ids;
  };
  const Menu expected[] = {
      {"File", {133, 134, 109, 11861, 122, 7204, 119, 7205, 7200, 7201, 7202, 125}},
      {"Mode", {11866, 11862, 11863, 11864, 11865}},
      {"Trains", {11846}},
      {"Permits", {11850}},
      {"Slow Orders", {11852}},
      {"Data", {102, 112, 115, 11842, 11844, 114, 113, 127, 11843}},
      {"Random", {11845, 11848, 11847}},
      {"&Find", {11870, 11854, 124, 105, 11855, 11856, 11857, 11858, 11859, 11860}},
      {"Options", {106, 11853, 17871, 11872}},
      {"View", {116, 101, 117, 103, 104, 110, 11849, 11867, 11851, 11871, 17872}},
      {"Web", {130, 128, 129, 107, 131}},
      {"&Help", {140, 141, 11869, 142, 11868}},
  };
  const QList<QAction*> bar = frame().menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(expected)));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(bar[i]->text(), expected[i].Title);
    std::vector<int> ids;
    if (QMenu* menu = bar[i]->menu()) {
      for (QAction* item : menu->actions()) {
        if (!item->isSeparator()) ids.push_back(item->objectName().toInt());
      }
    } else {
      ids.push_back(bar[i]->objectName().toInt());
    }
    EXPECT_EQ(ids, expected[i].Ids) << expected[i].Title.toStdString();
  }
  // The Find menu parts the names from the numbers after "Find a Train".
  const QList<QAction*> findItems = bar[7]->menu()->actions();
  ASSERT_GE(findItems.size(), 5);
  EXPECT_EQ(findItems[3]->objectName(), "105");
  EXPECT_TRUE(findItems[4]->isSeparator());
  EXPECT_EQ(std::count_if(findItems.begin(), findItems.end(), [](QAction* a) { return a->isSeparator(); }), 1);
  EXPECT_EQ(Command(122)->text(), "&Restart Simulation alt-r");
  EXPECT_EQ(Command(11855)->text(), "Find Block By  Number");
  // Printing, Exit, About and Help work.
  EXPECT_TRUE(Command(7200)->isEnabled());
  EXPECT_TRUE(Command(125)->isEnabled());
  EXPECT_TRUE(Command(140)->isEnabled());
}

TEST_F(FrameTest, StartsWithCaptionsBarsAndFirstTexts) {
  Start();
  EXPECT_EQ(FieldText(store().Captions[0], kCaptionChars), "Corvane Version 3.5");
  EXPECT_EQ(FieldText(store().Captions[1], kCaptionChars), "Corvane Version 3.5 Error");
  EXPECT_EQ(FieldText(store().Captions[2], kCaptionChars), "Corvane Version 3.5 Warning");
  EXPECT_TRUE(frame().windowTitle().startsWith("Corvane Version 3.5 - "));
  EXPECT_EQ(FieldText(store().ProgramFolder), Folder().toStdString());

  EXPECT_EQ(Text(RunStateField), "Stop");
  EXPECT_EQ(Text(PerformanceField), " 0");
  EXPECT_EQ(Text(ClockField), "");
  EXPECT_EQ(Text(SpeedField), "");
  EXPECT_EQ(Text(MessageField), "");
  EXPECT_EQ(Text(TrackFileField), "");
  EXPECT_EQ(TheStatusBar->findChild<TextGadget*>("2002"), TrackFileField);
  EXPECT_EQ(TheMessageLineBar->findChild<TextGadget*>("2000"), MessageField);

  for (int id : {1004, 1000, 1001, 1008, 1010, 1011}) {
    QWidget* button = Button(id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_FALSE(button->isEnabled()) << id << ": the layout window enables it";
  }
  // Stopped, not in CTC control mode, at speed 20: Start and both speed buttons are there to use.
  for (int id : {1005, 1002, 1003}) {
    QWidget* button = Button(id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_TRUE(button->isEnabled()) << id;
  }
  ASSERT_NE(Button(1009), nullptr);
  EXPECT_TRUE(Button(1009)->isEnabled()) << "zoom is the layout window's and always available";
  // One button of each pair is on the bar.
  EXPECT_EQ(Shown(1009), (std::vector<bool>{true, false}));
  // With sound off in the options the sound-on button is the one shown, and the other way round.
  const bool soundOn = store().GetOptionData().AlertSoundsOn != 0;
  EXPECT_EQ(Shown(1006), std::vector<bool>{!soundOn});
  EXPECT_EQ(Shown(1007), std::vector<bool>{soundOn});
  EXPECT_EQ(TheClientWindow, frame().centralWidget());
}

TEST_F(FrameTest, CommandLineWordsMakeTheTrackPath) {
  Start({"/srv/My", "Tracks/main", "line.trk"});
  EXPECT_EQ(FieldText(store().TrackFilePath), "/srv/My Tracks/main line.trk");
  app_.reset();
  Start({"main.trk"});
  EXPECT_EQ(FieldText(store().TrackFilePath), Folder().toStdString() + "main.trk");
}

TEST_F(FrameTest, SetupFollowsTheOptions) {
  struct Case {
    uint8_t Classic, HelpMessages, LastAlert, Stack, Recording, CTC, ExternalIO;
  };
  const Case cases[] = {{1, 0, 1, 0, 0, 0, 1}, {0, 1, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 1, 1, 0}};
  Start();
  for (const Case& c : cases) {
    OptionData options = store().GetOptionData();
    options.ClassicDisplay = c.Classic;
    options.HelpMessagesOn = c.HelpMessages;
    options.DisplayLastAlert = c.LastAlert;
    options.StackMessage = c.Stack;
    options.Flag10 = c.Recording;
    options.CTCControlOn = c.CTC;
    options.ExternalIOOn = c.ExternalIO;
    store().UpdateOptionData(options);
    store().OperatingMode = 5;
    SpeedField->setText("20");
    frame().SetupWindow();

    CommandRegistry& commands = frame().Commands();
    EXPECT_EQ(commands.IsChecked(116), c.Classic == 1);
    EXPECT_EQ(commands.IsChecked(142), c.HelpMessages == 1);
    EXPECT_EQ(commands.IsChecked(11849), c.LastAlert == 1);
    EXPECT_EQ(commands.IsChecked(11868), c.Stack == 1);
    EXPECT_EQ(commands.IsChecked(11864), c.CTC == 1);
    EXPECT_EQ(commands.IsChecked(11865), c.ExternalIO == 1);
    EXPECT_FALSE(commands.IsChecked(11863));
    if (c.CTC) {
      EXPECT_FALSE(commands.IsChecked(11866) || commands.IsChecked(11862));
      EXPECT_EQ(store().OperatingMode, 5) << "CTC control mode keeps its mode";
      EXPECT_EQ(Text(RunStateField), "");
      EXPECT_EQ(Text(SpeedField), "");
    } else {
      EXPECT_EQ(commands.IsChecked(11862), c.Recording == 1);
      EXPECT_EQ(commands.IsChecked(11866), c.Recording == 0);
      EXPECT_EQ(store().OperatingMode, c.Recording);
      EXPECT_EQ(Text(RunStateField), "Stop");
    }
    EXPECT_TRUE(Command(116)->isChecked() == (c.Classic == 1));
  }
}

TEST_F(FrameTest, ExitAsksAndOnlyYesStopsTheTimers) {
  Start();
  ShellService& shell = store().Shell();
  shell.SetTimer(0, 500);
  shell.SetTimer(1, 500);
  store().Run.SimStopped = 0;

  messages.ScriptAnswers({MessageResult::No});
  EXPECT_TRUE(frame().Commands().Dispatch(res::CM_EXIT));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Do you want to exit?");
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version 3.5");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Question);
  EXPECT_EQ(messages.Calls[0].Buttons, MessageButtons::YesNo);
  EXPECT_TRUE(frame().Timers().IsActive(0));
  EXPECT_EQ(ClosingDown, 0);
  EXPECT_EQ(+store().Run.SimStopped, 0);
  EXPECT_EQ(+store().Run.SimPaused, 0);
  EXPECT_EQ(Text(RunStateField), "Run");

  messages.ScriptAnswers({MessageResult::Yes});
  frame().show();
  EXPECT_TRUE(frame().close());
  EXPECT_FALSE(frame().Timers().IsActive(0));
  EXPECT_FALSE(frame().Timers().IsActive(1));
  EXPECT_EQ(ClosingDown, 1);
  EXPECT_EQ(+store().Run.SimStopped, 1);
  EXPECT_TRUE(QFile::exists(Folder() + "CV3 option.tds"));
  EXPECT_TRUE(QFile::exists(Folder() + "CV3 window column.tds"));
}

TEST_F(FrameTest, SettingsSavedAtExitAreReadAtTheNextStart) {
  Start();
  EXPECT_EQ(+store().FirstRunHints, 1) << "no option file yet";
  EXPECT_EQ(FieldText(store().TrackFilePath), Folder().toStdString() + "default.trk");
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  options.EIOLastReceived = 77;
  store().UpdateOptionData(options);
  SetFieldText(store().TrackFilePath, "/srv/lines/north.trk");
  messages.ScriptAnswers({MessageResult::Yes});
  ASSERT_TRUE(frame().close());

  app_.reset();
  Start();
  EXPECT_EQ(+store().FirstRunHints, 0);
  EXPECT_EQ(FieldText(store().TrackFilePath), "/srv/lines/north.trk");
  EXPECT_TRUE(frame().Commands().IsChecked(116));
  EXPECT_EQ(+store().GetOptionData().EIOLastReceived, -1) << "sequence numbers start afresh";
  EXPECT_EQ(+store().GetOptionData().CTCLastReceived, -1);
}

TEST_F(FrameTest, DamagedOptionFileStartsWithDefaults) {
  Start();
  const OptionData fresh = store().GetOptionData();
  app_.reset();
  for (const QByteArray& bytes : {QByteArray(), QByteArray("not an option file"), QByteArray(5000, '\xff')}) {
    QFile file(Folder() + "CV3 option.tds");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    Start();
    EXPECT_EQ(+store().FirstRunHints, 1) << bytes.size();
    EXPECT_EQ(FieldText(store().TrackFilePath), Folder().toStdString() + "default.trk");
    const OptionData now = store().GetOptionData();
    EXPECT_EQ(std::memcmp(&now, &fresh, sizeof now), 0) << bytes.size();
    EXPECT_EQ(Text(RunStateField), "Stop");
    app_.reset();
  }
}

TEST_F(FrameTest, AltXAsksToExit) {
  Start();
  QShortcut* altX = nullptr;
  for (QShortcut* shortcut : frame().findChildren<QShortcut*>()) {
    if (shortcut->key() == QKeySequence("Alt+X")) altX = shortcut;
  }
  ASSERT_NE(altX, nullptr);
  messages.ScriptAnswers({MessageResult::No});
  emit altX->activated();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Do you want to exit?");
}

TEST_F(FrameTest, AboutHoldsTheClockWhileOpen) {
  for (const uint8_t stopped : {0, 1}) {
    Start();
    QCoreApplication::processEvents();  // the layout window's start-up, before the run state is set
    store().Run.SimStopped = stopped;
    RunStateField->setText(stopped ? "Stop" : "Run");
    QString version, runState;
    uint8_t paused = 0;
    WhenModalOpens([&](QWidget* modal) {
      ASSERT_NE(modal, nullptr);
      EXPECT_EQ(modal->objectName(), "36");
      if (auto* field = modal->findChild<QLabel*>("106")) version = field->text();
      runState = RunStateField->text();
      paused = store().Run.SimPaused;
      qobject_cast<QDialog*>(modal)->accept();
    });
    EXPECT_TRUE(frame().Commands().Dispatch(res::CM_ABOUT));
    EXPECT_EQ(version, "3.5");
    EXPECT_EQ(runState, "Stop");
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(+store().Run.SimPaused, 0);
    EXPECT_EQ(Text(RunStateField), stopped ? "Stop" : "Run");
    app_.reset();
  }
}

TEST_F(FrameTest, HelpIsNotAvailable) {
  Start();
  EXPECT_TRUE(frame().Commands().Dispatch(res::CM_HELP));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "The \"Help\" function is not available on this system.  Please refer to the \"Corvane 3\" manual for "
            "answers to questions.");
  EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version 3.5 Error");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  store().Shell().ShowHelpNotAvailable();
  EXPECT_EQ(messages.Calls.size(), 2u);
}

TEST_F(FrameTest, RecentFilesGoAheadOfExitOnce) {
  Start();
  SetFieldText(store().OldFileList[0], kPathChars, "/lines/one.trk");
  SetFieldText(store().OldFileList[2], kPathChars, "/lines/R&D.trk");
  int opened = -1;
  for (int id = 2000; id < 2010; ++id) frame().Commands().SetHandler(id, [&opened, id] { opened = id; });
  store().Shell().InsertOldFileMenu();
  store().Shell().InsertOldFileMenu();

  auto fileTail = [&] {
    QStringList ids;
    for (QAction* item : frame().FileMenu()->actions()) {
      if (!item->isSeparator()) ids << item->objectName();
    }
    return ids.mid(ids.indexOf("7202") + 1);
  };
  EXPECT_EQ(fileTail(), (QStringList{"2000", "2002", "125"}));
  EXPECT_EQ(Command(2002)->text(), "/lines/R&&D.trk");
  Command(2002)->trigger();
  EXPECT_EQ(opened, 2002);

  FileCommands(store()).AddOldFile("/lines/two.trk");
  EXPECT_EQ(fileTail(), (QStringList{"2000", "2001", "2003", "125"}));
  EXPECT_EQ(Command(2000)->text(), "/lines/two.trk");
  EXPECT_EQ(Command(2001)->text(), "/lines/one.trk");
}

TEST_F(FrameTest, CoreServicesReachTheFields) {
  Start();
  ShellService& shell = store().Shell();
  shell.ShowStatusText(StatusPane::Clock, "08:30");
  shell.ShowStatusText(StatusPane::Speed, "20");
  shell.ShowStatusText(StatusPane::Performance, " 12 trains");
  shell.ShowStatusText(StatusPane::Alert, "ALERT 0001");
  EXPECT_EQ(Text(ClockField), "08:30");
  EXPECT_EQ(Text(SpeedField), "20");
  EXPECT_EQ(Text(PerformanceField), " 12 trains");
  EXPECT_EQ(Text(MessageField), "ALERT 0001");

  SetFieldText(store().TrackFilePath, "/home/dispatcher/tracks/abc.trk");
  shell.ShowTrackFileName();
  EXPECT_EQ(Text(TrackFileField), "/home/dispatcher/trac.../abc.");

  shell.CheckMenuItem(11863, true);
  EXPECT_TRUE(Command(11863)->isChecked());
  shell.SetTimer(2, 1100);
  EXPECT_EQ(frame().Timers().Interval(2), 1100);
  shell.KillTimer(2);
  EXPECT_FALSE(frame().Timers().IsActive(2));
  EXPECT_FALSE(shell.PlayWaveFile(Folder().toStdString() + "missing.wav"));

  shell.SwapZoomButtons();
  EXPECT_EQ(Shown(1009), (std::vector<bool>{false, true}));
  shell.SwapZoomButtons();
  EXPECT_EQ(Shown(1009), (std::vector<bool>{true, false}));
}

// The zoom button's picture names what a press does: the magnifier with "-" (Zoom Out) while the
// layout is at full size, with "+" (Zoom In) while it is halved.
TEST_F(FrameTest, TheZoomButtonShowsWhatAPressWillDo) {
  Start();
  auto shownPicture = [] {
    for (QAction* action : TheControlBar->actions()) {
      if (action->objectName() == "1009" && action->isVisible()) return action->icon().pixmap(20, 20).toImage();
    }
    return QImage();
  };
  // The upright stroke of the "+" crosses this point; the "-" and the ring leave it clear.
  auto showsPlus = [](const QImage& picture) { return qAlpha(picture.pixel(8, 6)) > 0; };
  auto showsMinus = [](const QImage& picture) { return qAlpha(picture.pixel(6, 8)) > 0; };

  ASSERT_EQ(store().ZoomDivisor, 1);
  QImage picture = shownPicture();
  ASSERT_FALSE(picture.isNull());
  EXPECT_TRUE(showsMinus(picture));
  EXPECT_FALSE(showsPlus(picture));

  TheLayoutWindow->CmToggleZoom();
  ASSERT_EQ(store().ZoomDivisor, 2);
  picture = shownPicture();
  EXPECT_TRUE(showsMinus(picture));
  EXPECT_TRUE(showsPlus(picture));

  TheLayoutWindow->CmToggleZoom();
  EXPECT_FALSE(showsPlus(shownPicture()));
}

TEST_F(FrameTest, LoadingATerritoryClosesDataWindowsButNotTheCTCOnes) {
  Start();
  QPointer<QWidget> active = new QWidget;
  QPointer<QWidget> ctc = new QWidget;
  QPointer<QWidget> platform = new QWidget;
  TheDataWindows.ActiveTrains = active;
  TheDataWindows.CTCActiveTrains = ctc;
  TheDataWindows.PlatformWindows[99] = platform;
  store().Shell().CloseDataWindows();
  EXPECT_TRUE(active.isNull());
  EXPECT_TRUE(platform.isNull());
  EXPECT_TRUE(TheDataWindows.ActiveTrains.isNull());
  ASSERT_FALSE(ctc.isNull());
  app_.reset();  // the frame's end takes the CTC windows too
  EXPECT_TRUE(ctc.isNull());
}

// A track file the user names is refused aloud; the remembered one of the last run is not.
TEST_F(FrameTest, ANamedTrackFileThatCannotBeLoadedIsReported) {
  const std::string missing = Folder().toStdString() + "no such territory.trk";
  Start({QString::fromStdString(missing)});
  QCoreApplication::processEvents();  // the layout window's start-up loads the territory
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not open track territory file \"" + missing + "\".");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(FieldText(store().TrackFilePath), "default.trk") << "an empty territory, as after a silent failure";

  app_.reset();
  messages.Calls.clear();
  Start();  // the remembered default.trk is not in the scratch folder
  QCoreApplication::processEvents();
  EXPECT_TRUE(messages.Calls.empty());
}

// Maximizing needs a window manager; without one the frame keeps its normal place, which must
// show the territory, not only the caption. A place the frame already has is kept.
TEST_F(FrameTest, TheFrameTakesMostOfTheScreenBeforeItIsMaximized) {
  const QRect screen(0, 0, 1280, 1024);
  const QRect place = NormalFramePlace(screen);
  EXPECT_TRUE(screen.contains(place));
  EXPECT_GE(place.width(), 1280 * 8 / 10);
  EXPECT_GE(place.height(), 1024 * 8 / 10);
  EXPECT_EQ(place.center(), screen.center());

  // The offscreen platform, like a display with no window manager, does not maximize.
  Start();
  app_->ShowFrame();
  EXPECT_TRUE(frame().isMaximized()) << "asked for";
  EXPECT_EQ(frame().geometry(), NormalFramePlace(frame().screen()->availableGeometry()));

  app_.reset();
  Start();
  frame().setGeometry(40, 30, 700, 400);
  app_->ShowFrame();
  EXPECT_EQ(frame().geometry(), QRect(40, 30, 700, 400));
}

}  // namespace
