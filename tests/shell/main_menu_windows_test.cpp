// Every window and dialog the main menu opens, chosen through its menu item:
// its caption, and for the single windows one window only, brought forward
// when chosen again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QTemporaryDir>
#include <memory>

#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

class MainMenuWindowsTest : public ::testing::Test {
 protected:
  MainMenuWindowsTest() { app_ = StartShownProgram(folder_, &messages); }
  // The menu bar's item for the command, chosen as the user would.
  void Choose(int id) {
    TheMainFrame->Commands().UpdateEnabled();
    for (QAction* entry : TheMainFrame->menuBar()->actions()) {
      QList<QAction*> items = entry->menu() ? entry->menu()->actions() : QList<QAction*>{entry};
      for (QAction* item : items) {
        if (item->objectName() != QString::number(id)) continue;
        ASSERT_TRUE(item->isEnabled()) << id;
        item->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no menu item " << id;
  }
  static std::vector<QWidget*> WindowsTitled(const QString& title) {
    std::vector<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() && widget->windowTitle() == title) windows.push_back(widget);
    }
    return windows;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(MainMenuWindowsTest, EachSingleWindowOpensOnceAndComesForwardWhenChosenAgain) {
  const std::pair<int, const char*> windows[] = {
      {res::CM_TRAIN_SCHEDULE, "Train Data - General"},  // the caption names the view it opens in
      {res::CM_TRAIN_TYPES, "Train Type"},
      {res::CM_SLOW_ORDERS, "Slow Orders"},
      {res::CM_BLOCK_PERMITS, "Block Permits (Track & Time)"},
      {res::CM_ENTRANCE_EXIT, "Entrance/Exit Locations"},
      {res::CM_START_TIME, "Start Times"},
      {res::CM_OS_POINTS, "OS Data"},
      {res::CM_WAYSIDE_DETECTORS, "Wayside Detector Data"},
      {res::CM_ACTIVE_PERMITS, "Active Block Permit (T&T) List"},
      {res::CM_ACTIVE_SLOW_ORDERS, "Active Slow Order List"},
      {res::CM_ALERT_WINDOW, "Alert Message Window"},
      {res::CM_PERFORMANCE, "Performance Data"},
  };
  for (const auto& [id, title] : windows) {
    Choose(id);
    const std::vector<QWidget*> first = WindowsTitled(title);
    ASSERT_EQ(first.size(), 1u) << title;
    first[0]->showMinimized();
    Choose(id);
    EXPECT_EQ(WindowsTitled(title), first) << title << ": no second window";
    EXPECT_FALSE(first[0]->isMinimized()) << title;
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(MainMenuWindowsTest, EachModalDialogShowsItsCaption) {
  const std::pair<int, const char*> dialogs[] = {
      {res::CM_ABOUT, "About"},
      {res::CM_RANDOM_TRAINS, "Random Train Parameters"},
      {res::CM_RANDOM_DETECTORS, "Random Defect Detector Parameters"},
      {res::CM_RANDOM_FAILURES, "Random Switch and Signal Failure Parameters"},
      {res::CM_ALERT_PARAMETERS, "Alerts Parameters"},
      {res::CM_CTC_FOLDER, "Assign CTC Folder Name"},
      {res::CM_EIO_FOLDER, "Assign Eternal I/O Folder Name"},
      {res::CM_FIND_AREA, "Find Area"},
      {res::CM_FIND_ENTRANCE_EXIT, "Find Entrance/Exit Location"},
      {res::CM_FIND_TRACK, "Find Track"},
      {res::CM_FIND_TRAIN, "Find Train"},
      {res::CM_FIND_BLOCK_NUMBER, "Find Block By Number"},
      {res::CM_FIND_DIAMOND_NUMBER, "Find Diamond By Number"},
      {res::CM_FIND_SIGNAL_NAME, "Find Signal By Name"},
      {res::CM_FIND_SIGNAL_NUMBER, "Find Signal By Number"},
      {res::CM_FIND_SWITCH_NAME, "Find Switch By Name"},
      {res::CM_FIND_SWITCH_NUMBER, "Find Switch By Number"},
      {res::CM_PRINT_SETUP, "Print Setup"},
  };
  for (const auto& [id, title] : dialogs) {
    QString caption;
    OnModal<QDialog>([&caption](QDialog* dialog) {
      caption = dialog->windowTitle();
      dialog->reject();
    });
    Choose(id);
    EXPECT_EQ(caption, title) << id;
  }
}

}  // namespace
