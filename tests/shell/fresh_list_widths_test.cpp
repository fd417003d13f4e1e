// The list windows on a fresh install (no window-column file yet): every heading shows whole in the
// program's font, while a width the user saved stands as saved.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "lists/list_frame.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

class FreshListWidthsTest : public ::testing::Test {
 protected:
  FreshListWidthsTest() {
    app_ = StartShownProgram(folder_, &messages);
    messages.Calls.clear();
  }
  // Chooses the command and returns the list window it opened.
  static TListFrame* Open(int command) {
    QSet<QWidget*> before;
    for (QWidget* window : QApplication::topLevelWidgets()) before.insert(window);
    TheMainFrame->Commands().UpdateEnabled();
    EXPECT_TRUE(TheMainFrame->Commands().Dispatch(command)) << command;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* list = qobject_cast<TListFrame*>(window);
      if (list && !before.contains(window) && list->isVisible()) return list;
    }
    return nullptr;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(FreshListWidthsTest, EveryHeadingShowsWhole) {
  const int commands[] = {res::CM_TRAIN_SCHEDULE, res::CM_TRAIN_TYPES,        res::CM_WAYSIDE_DETECTORS,
                          res::CM_ENTRANCE_EXIT,  res::CM_SLOW_ORDERS,        res::CM_BLOCK_PERMITS,
                          res::CM_START_TIME,     res::CM_OS_POINTS,          res::CM_ACTIVE_TRAINS,
                          res::CM_ACTIVE_PERMITS, res::CM_ACTIVE_SLOW_ORDERS, res::CM_PERFORMANCE};
  for (const int command : commands) {
    TListFrame* window = Open(command);
    ASSERT_NE(window, nullptr) << command;
    QTableView* list = window->List();
    QHeaderView* header = list->horizontalHeader();
    ASSERT_GT(header->count(), 0) << command;
    for (int column = 0; column < header->count(); ++column) {
      EXPECT_GE(list->columnWidth(column), header->sectionSizeHint(column))
          << window->windowTitle().toStdString() << ": \""
          << list->model()->headerData(column, Qt::Horizontal).toString().toStdString() << "\"";
    }
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(FreshListWidthsTest, ASavedWidthStandsEvenWhenNarrowerThanItsHeading) {
  constexpr int kOSColumns = 12;  // the OS point list's column program
  TheStore->UpdateColumnSize(kOSColumns, 0, 33);
  TListFrame* window = Open(res::CM_OS_POINTS);
  ASSERT_NE(window, nullptr);
  ASSERT_GT(window->List()->horizontalHeader()->sectionSizeHint(0), 33);
  EXPECT_EQ(window->List()->columnWidth(0), 33);
  EXPECT_GE(window->List()->columnWidth(1), window->List()->horizontalHeader()->sectionSizeHint(1));
}

// The texts a list shows when it opens fit their columns too: the demonstration's descriptions and days.
TEST_F(FreshListWidthsTest, TheCellsOfTheFirstFillShowWhole) {
  ASSERT_EQ(TrackFile(*TheStore).Load(CORVANE_DEFAULT_TRK, -1), 0);
  for (const int command : {res::CM_TRAIN_SCHEDULE, res::CM_ENTRANCE_EXIT, res::CM_SLOW_ORDERS}) {
    TListFrame* window = Open(command);
    ASSERT_NE(window, nullptr) << command;
    QTableView* list = window->List();
    ASSERT_GT(list->model()->rowCount(), 0) << command;
    for (int row = 0; row < std::min(list->model()->rowCount(), 10); ++row) {
      for (int column = 0; column < list->model()->columnCount(); ++column) {
        const QModelIndex cell = list->model()->index(row, column);
        EXPECT_GE(list->columnWidth(column), list->sizeHintForIndex(cell).width())
            << window->windowTitle().toStdString() << ": \"" << cell.data().toString().toStdString() << "\"";
      }
    }
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
