// The frame's commands that open no window of their own: the File menu through
// the real file dialogs, the manual, the interface logs and the Web pages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <memory>

#include "platform/bar_fields.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/simulation_file.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tools/territory/demo_territory.h"

namespace {

class FrameCommandsTest : public ::testing::Test {
 protected:
  FrameCommandsTest() {
    EnsureQApplication();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();
    messages.Calls.clear();
    TheMainFrame->SetShellOpener([this](const std::string& path) {
      opened.push_back(path);
      return shellAnswer;
    });
  }
  Corvane3Data& store() { return *TheStore; }
  std::string Folder() const { return folder_.path().toStdString() + "/"; }
  int BlocksInUse() {
    int count = 0;
    for (int i = 0; i < 2000; ++i) count += store().GetBlockData(i).InUse != 0;
    return count;
  }
  bool Run(int id) { return TheMainFrame->Commands().Dispatch(id); }
  // Runs the command with the file dialog answered by `path` (the user types it and presses the button).
  void RunWithFile(int id, const std::string& path) {
    bool asked = false;
    OnModal<QFileDialog>([&asked, path](QFileDialog* dialog) {
      asked = true;
      AnswerFileDialog(dialog, QString::fromStdString(path));
    });
    EXPECT_TRUE(Run(id));
    EXPECT_TRUE(asked) << id;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  std::vector<std::string> opened;
  ShellOpenResult shellAnswer = ShellOpenResult::Opened;
};

TEST_F(FrameCommandsTest, FileMenuSavesAndReopensThroughTheFileDialogs) {
  for (int id : {res::CM_CHANGE_TERRITORY, res::CM_OPEN_SAVED_SIMULATION, res::CM_SAVE_SIMULATION_AS,
                 res::CM_SAVE_TRACK_FILE, res::CM_RESTART_SIMULATION, res::CM_EXIT}) {
    EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(id)) << id;
  }
  territory::BuildDemonstrationTerritory(store());
  // The comments file a track file carries, in the test's folder.
  std::ofstream(Folder() + "default.txt") << territory::DemonstrationComments();
  TerritoryData description = store().GetTerritoryData();
  SetFieldText(description.CommentsFile, Folder() + "default.txt");
  store().UpdateTerritoryData(description);
  SetFieldText(store().TrackFilePath, Folder() + "demo.trk");
  const int blocks = BlocksInUse();
  ASSERT_GT(blocks, 0);

  // The territory saved under a new name, then opened again after the store was emptied.
  const std::string track = Folder() + "saved.trk";
  RunWithFile(res::CM_SAVE_TRACK_FILE, track);
  ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(track)));
  store().InitTerritoryData();
  ASSERT_EQ(BlocksInUse(), 0);
  RunWithFile(res::CM_CHANGE_TERRITORY, track);
  EXPECT_EQ(BlocksInUse(), blocks);
  EXPECT_EQ(FieldText(store().TrackFilePath), track);

  // A run at 6:10 saved as a simulation; the clock moves on and the saved run comes back.
  store().SetSimClock(6 * 3600 + 600);
  const std::string simulation = Folder() + "run.ssm";
  RunWithFile(res::CM_SAVE_SIMULATION_AS, simulation);
  ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(simulation)));
  store().SetSimClock(9 * 3600);
  RunWithFile(res::CM_OPEN_SAVED_SIMULATION, simulation);
  EXPECT_EQ(store().GetSimClock(), 6 * 3600 + 600);
  std::vector<std::string> texts;
  for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Created new track file called \"" + track + "\".",
                                             "Created new simulation file called \"" + simulation + "\"."}));
}

// Save Simulation As proposes the track file's name in lower case in the track file's own folder; taken
// as proposed, the simulation is saved there, though the folder's name has capitals.
TEST_F(FrameCommandsTest, SaveSimulationAsSavesWhereItProposes) {
  ASSERT_TRUE(QDir(folder_.path()).mkdir("Terr"));
  territory::BuildDemonstrationTerritory(store());
  const std::string track = Folder() + "Terr/East.trk";
  SetFieldText(store().TrackFilePath, track);  // the settings of the territory left are written beside it
  ASSERT_EQ(TrackFile(store()).Write(track, 0), 0);
  ASSERT_EQ(TrackFile(store()).Load(track, -1), 0);
  store().SetSimClock(6 * 3600);
  messages.Calls.clear();

  QString proposed;
  OnModal<QFileDialog>([&proposed](QFileDialog* dialog) {
    if (!dialog->selectedFiles().isEmpty()) proposed = dialog->selectedFiles().front();
    static_cast<QDialog*>(dialog)->accept();  // the proposal as it stands
  });
  EXPECT_TRUE(Run(res::CM_SAVE_SIMULATION_AS));
  const std::string simulation = Folder() + "Terr/east.ssm";
  EXPECT_EQ(proposed.toStdString(), simulation);
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(simulation)));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Created new simulation file called \"" + simulation + "\".");
}

// A new territory starts an empty run in the layout window: speed 20, stopped, no alert lines, shown from the
// top left corner, the extent of the new layout; a saved run is shown from the top left corner too.
TEST_F(FrameCommandsTest, ChangingTerritoryResetsTheLayoutWindow) {
  TCorvane3Window* window = app_->LayoutWindow();
  ASSERT_NE(window, nullptr);
  window->resize(300, 200);
  territory::BuildDemonstrationTerritory(store());
  const std::string track = Folder() + "demo.trk";
  ASSERT_EQ(TrackFile(store()).Write(track, 0), 0);
  SetFieldText(store().TrackFilePath, track);  // the settings of the territory left are written beside it
  window->ComputeLayoutExtent();
  window->ScrollTo(40, 30);
  ASSERT_GT(window->horizontalScrollBar()->value() + window->verticalScrollBar()->value(), 0);
  store().Run.ClockSpeed = 5;
  store().Run.SimStopped = 0;
  store().Run.AlertLinesUsed = 1;
  window->EdgeZone = 3;

  RunWithFile(res::CM_CHANGE_TERRITORY, track);
  EXPECT_EQ(+store().Run.ClockSpeed, 20);
  EXPECT_EQ(SpeedField->text(), "20");
  EXPECT_EQ(+store().Run.SimStopped, 1);
  EXPECT_EQ(+store().Run.AlertLinesUsed, 0);
  EXPECT_EQ(window->horizontalScrollBar()->value(), 0);
  EXPECT_EQ(window->verticalScrollBar()->value(), 0);
  EXPECT_EQ(window->EdgeZone, 0);
  const CellSize used = store().Shell().LayoutUsedCells();
  EXPECT_EQ(used.Columns, window->LayoutExtentX);
  EXPECT_EQ(used.Rows, window->LayoutExtentY);
  EXPECT_LT(used.Columns, 200);

  // Saved and reopened while scrolled away: the run comes back shown from the top left corner.
  const std::string simulation = Folder() + "run.ssm";
  RunWithFile(res::CM_SAVE_SIMULATION_AS, simulation);
  window->ScrollTo(40, 30);
  RunWithFile(res::CM_OPEN_SAVED_SIMULATION, simulation);
  EXPECT_EQ(window->horizontalScrollBar()->value(), 0);
  EXPECT_EQ(window->verticalScrollBar()->value(), 0);
}

TEST_F(FrameCommandsTest, CancelledFileDialogsChangeNothing) {
  territory::BuildDemonstrationTerritory(store());
  const int blocks = BlocksInUse();
  store().SetSimClock(7200);
  for (int id : {res::CM_CHANGE_TERRITORY, res::CM_OPEN_SAVED_SIMULATION, res::CM_SAVE_SIMULATION_AS}) {
    OnModal<QFileDialog>([](QFileDialog* dialog) { dialog->close(); });
    EXPECT_TRUE(Run(id));
  }
  EXPECT_EQ(BlocksInUse(), blocks);
  EXPECT_EQ(store().GetSimClock(), 7200);
  EXPECT_TRUE(QDir(folder_.path()).entryList({"*.ssm", "*.trk"}).isEmpty());
}

TEST_F(FrameCommandsTest, RestartAsksFirst) {
  messages.ScriptAnswers({MessageResult::No});
  store().SetSimClock(7200);
  EXPECT_TRUE(Run(res::CM_RESTART_SIMULATION));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Do you want to re-start the simulation?");
  EXPECT_EQ(store().GetSimClock(), 7200);
}

TEST_F(FrameCommandsTest, OpenManualReportsAMissingFileOrViewer) {
  struct Case {
    ShellOpenResult Answer;
    const char* Message;
  };
  const Case cases[] = {
      {ShellOpenResult::Opened, nullptr},
      {ShellOpenResult::FileNotFound,
       "Could not find the manual's file \"Corvane 3 Manual.pdf\".  Copy it into the program's folder from the "
       "program's distribution."},
      {ShellOpenResult::NoApplication, "Could not find a program to open PDF files."},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    opened.clear();
    shellAnswer = c.Answer;
    EXPECT_TRUE(Run(res::CM_OPEN_MANUAL));
    EXPECT_EQ(opened, std::vector<std::string>{Folder() + "Corvane 3 Manual.pdf"});
    if (!c.Message) {
      EXPECT_TRUE(messages.Calls.empty());
      continue;
    }
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Message);
    EXPECT_EQ(messages.Calls[0].Caption, "Corvane Version 3.5 Error");
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  }
}

TEST_F(FrameCommandsTest, LogsAndWebPagesOpenSilently) {
  OptionData options = store().GetOptionData();
  SetFieldText(options.EIOFolder, "/srv/eio/");
  store().UpdateOptionData(options);
  shellAnswer = ShellOpenResult::FileNotFound;  // a missing log or page is no error
  const std::pair<int, std::string> cases[] = {
      {res::CM_CTC_LOG, "/srv/eio/cv3ctclog.txt"},
      {res::CM_EIO_LOG, "/srv/eio/cv3eiolog.txt"},
      {res::CM_WEB_DOWNLOADS, Folder() + "web/downloads.html"},
      {res::CM_WEB_NEWS, Folder() + "web/news.html"},
      {res::CM_WEB_ORDERING, Folder() + "web/ordering.html"},
      {res::CM_WEB_LIBRARIES, Folder() + "web/territory-libraries.html"},
      {res::CM_WEB_MESSAGE_BOARD, Folder() + "web/message-board.html"},
  };
  for (const auto& [id, path] : cases) {
    opened.clear();
    EXPECT_TRUE(Run(id));
    EXPECT_EQ(opened, std::vector<std::string>{path}) << id;
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(FrameCommandsTest, TheWebPagesShipBesideTheProgram) {
  // The build puts them beside corvane3; the test program runs from the tests' build folder.
  const QString shipped = QCoreApplication::applicationDirPath() + "/../../shell/web/";
  for (const char* page :
       {"downloads.html", "news.html", "ordering.html", "territory-libraries.html", "message-board.html"}) {
    EXPECT_TRUE(QFileInfo::exists(shipped + page)) << page;
  }
}

TEST_F(FrameCommandsTest, PreviousAndNextAlertStepThroughTheLines) {
  CommandRegistry& commands = TheMainFrame->Commands();
  EXPECT_FALSE(commands.IsEnabled(res::CM_PREVIOUS_ALERT));
  EXPECT_FALSE(commands.IsEnabled(res::CM_NEXT_ALERT));

  const char* lines[] = {"ALERT 0007  08:05 Train - \"101\" arrived", "ALERT 0008  08:06 Slow Order Active - x",
                         "ALERT 0009  08:07 Train - \"102\" arrived"};
  RunState& run = store().Run;
  for (int i = 0; i < 3; ++i) SetFieldText(run.AlertLines[i].data(), run.AlertLines[i].size(), lines[i]);
  run.AlertLinesUsed = 3;
  run.SelectedAlertLine = 0;
  EXPECT_FALSE(commands.IsEnabled(res::CM_PREVIOUS_ALERT));
  ASSERT_TRUE(commands.Dispatch(res::CM_NEXT_ALERT));
  EXPECT_EQ(run.SelectedAlertLine, 1);
  EXPECT_EQ(MessageField->text().toStdString(), lines[1]);
  EXPECT_EQ(run.HighestAlertViewed, 8);
  EXPECT_EQ(run.BrowsingAlerts, 1);
  ASSERT_TRUE(commands.Dispatch(res::CM_NEXT_ALERT));
  EXPECT_FALSE(commands.IsEnabled(res::CM_NEXT_ALERT)) << "the last line is shown";
  EXPECT_EQ(run.HighestAlertViewed, 9);
  ASSERT_TRUE(commands.Dispatch(res::CM_PREVIOUS_ALERT));
  ASSERT_TRUE(commands.Dispatch(res::CM_PREVIOUS_ALERT));
  EXPECT_EQ(run.SelectedAlertLine, 0);
  EXPECT_EQ(MessageField->text().toStdString(), lines[0]);
  EXPECT_EQ(run.HighestAlertViewed, 9) << "stepping back keeps the highest number seen";
  EXPECT_FALSE(commands.IsEnabled(res::CM_PREVIOUS_ALERT));
}

// The performance line changes while the clock stands: a dispatcher's change, a territory loaded and a
// saved simulation refused or opened each show their figures in the status bar at once, with no tick between.
TEST_F(FrameCommandsTest, ThePerformanceLineShowsChangesMadeOutsideATickAtOnce) {
  territory::BuildDemonstrationTerritory(store());
  const std::string track = Folder() + "demo.trk";
  ASSERT_EQ(TrackFile(store()).Write(track, 0), 0);
  SetFieldText(store().TrackFilePath, track);
  store().Run.SimStopped = 1;
  const auto shown = [] { return PerformanceField->text().trimmed().toStdString(); };

  PerformStatus perform = store().GetPerformStatus();
  perform.Trains = 7;
  store().FormatPerformanceLine(perform);
  EXPECT_EQ(shown().rfind("Trains = 7 ", 0), 0u) << shown();

  RunWithFile(res::CM_CHANGE_TERRITORY, track);
  EXPECT_EQ(shown().rfind("Trains = 0 ", 0), 0u) << "the loaded territory's empty run: " << shown();

  store().FormatPerformanceLine(perform);
  // A saved simulation whose first count is negative: refused as damaged after its run was emptied.
  const std::string damaged = Folder() + "damaged.ssm";
  {
    std::ofstream file(damaged, std::ios::binary);
    const int32_t head[] = {kSimulationMagic[0], kSimulationMagic[1], kSimulationMagic[2], kSimulationMagic[3], 37, -5};
    file.write(reinterpret_cast<const char*>(head), sizeof head);
    file << std::string(400, '\0');
  }
  EXPECT_NE(SimulationFile(store()).Load(damaged, -1), file_result::kDone);
  EXPECT_EQ(shown().rfind("Trains = 0 ", 0), 0u) << "the refused load's empty run: " << shown();

  // A saved run opened from the File menu brings its figures back, and its line shows them.
  perform.Distance = 12 * 5280;
  store().FormatPerformanceLine(perform);
  const std::string saved = Folder() + "demo.ssm";
  ASSERT_EQ(SimulationFile(store()).Save(saved), file_result::kDone);
  store().InitSimulationStatus();
  ASSERT_EQ(shown().rfind("Trains = 0 ", 0), 0u) << shown();
  RunWithFile(res::CM_OPEN_SAVED_SIMULATION, saved);
  EXPECT_EQ(store().GetPerformStatus().Trains, 7);
  EXPECT_EQ(shown().rfind("Trains = 7  Miles = 12 ", 0), 0u) << "the opened run's figures: " << shown();
}

}  // namespace
