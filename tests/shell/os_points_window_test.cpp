// Data > OS Points in the running program: one window, brought forward when
// asked again; its column widths and place survive a restart of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "lists/os_list.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

class OSPointsWindowTest : public ::testing::Test {
 protected:
  OSPointsWindowTest() { EnsureQApplication(); }

  void Start() {
    app_.reset();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    messages.Calls.clear();
  }
  // The user confirms the exit; the program then ends.
  void Exit() {
    messages.ScriptAnswers({MessageResult::Yes});
    ASSERT_TRUE(TheMainFrame->CanClose());
    app_.reset();
  }
  Corvane3Data& store() { return *TheStore; }
  TListFrame* OpenOSPoints() {
    EXPECT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_OS_POINTS));
    return qobject_cast<TListFrame*>(TheDataWindows.OSData.data());
  }
  int OpenOSWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += qobject_cast<TTOS*>(widget) != nullptr;
    return count;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(OSPointsWindowTest, TheMenuItemOpensOneWindowAndBringsItForward) {
  Start();
  for (int block : {3, 7}) {
    BlockData record = store().GetBlockData(block);
    record.InUse = 1;
    SetFieldText(record.Name, "Alton");
    store().UpdateBlockData(block, record);
  }
  SwitchData item = store().GetSwitchData(2);
  item.InUse = 1;
  SetFieldText(item.Name, "Alton");
  store().UpdateSwitchData(2, item);
  OSData os = store().GetOSData(0);
  os.InUse = 1;
  SetFieldText(os.Name, "Alton");
  store().UpdateOSData(0, os);

  ASSERT_TRUE(TheMainFrame->Commands().IsEnabled(res::CM_OS_POINTS));
  TListFrame* window = OpenOSPoints();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "OS Data");
  const QAbstractItemModel* rows = window->List()->model();
  ASSERT_EQ(rows->rowCount(), 1);
  EXPECT_EQ(rows->index(0, 1).data().toString(), "B-3");
  EXPECT_EQ(rows->index(0, 2).data().toString(), "B-7");
  EXPECT_EQ(rows->index(0, 3).data().toString(), "S-2");

  window->showMinimized();
  EXPECT_EQ(OpenOSPoints(), window);
  EXPECT_FALSE(window->isMinimized());
  EXPECT_EQ(OpenOSWindows(), 1);

  // A refresh from the store rebuilds it: a renamed block leaves the list.
  BlockData renamed = store().GetBlockData(7);
  SetFieldText(renamed.Name, "Elsewhere");
  store().UpdateBlockData(7, renamed);
  store().RefreshAllWindows();
  EXPECT_EQ(rows->index(0, 2).data().toString(), "S-2");

  FindControl<QPushButton>(window, 141)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, res::kHelpNotAvailable);

  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(TheDataWindows.OSData.isNull());
  TListFrame* again = OpenOSPoints();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(OpenOSWindows(), 1);
}

TEST_F(OSPointsWindowTest, ColumnWidthsAndPlaceComeBackAfterARestart) {
  Start();
  TListFrame* window = OpenOSPoints();
  ASSERT_NE(window, nullptr);
  window->List()->setColumnWidth(0, 143);
  window->List()->setColumnWidth(3, 61);
  FindControl<QPushButton>(window, 1047)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Column widths saved.");
  window->setGeometry(60, 70, 500, 300);
  Exit();  // the window is still open: the exit keeps its place

  Start();
  window = OpenOSPoints();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->List()->columnWidth(0), 143);
  EXPECT_EQ(window->List()->columnWidth(3), 61);
  EXPECT_EQ(window->geometry(), QRect(60, 70, 500, 300));
}

}  // namespace
