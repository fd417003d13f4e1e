// The block permit and slow order windows in the running program: Data >
// Block Permits and Data > Slow Orders open the definition lists, the bar's
// "Permits" and "Slow Orders" the active lists, one window each; Authorize on
// a waiting request brings its request window back.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/permit_request_dialog.h"
#include "dialogs/qt_dialog_service.h"
#include "lists/list_frame.h"
#include "platform/controls.h"
#include "resources/permit_request_ids.h"
#include "resources/permit_slow_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tests/support/permit_request_fixture.h"

namespace {

class PermitSlowWindowsTest : public ::testing::Test {
 protected:
  PermitSlowWindowsTest() {
    EnsureQApplication();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }

  // The menu bar's item with that command id, at the bar or in one of its menus.
  static QAction* MenuItem(int id) {
    const QString name = QString::number(id);
    for (QAction* entry : TheMainFrame->menuBar()->actions()) {
      if (entry->objectName() == name) return entry;
      if (QMenu* menu = entry->menu()) {
        for (QAction* item : menu->actions()) {
          if (item->objectName() == name) return item;
        }
      }
    }
    return nullptr;
  }
  // Chooses the item as the user does and returns the window it opened.
  static TListFrame* Choose(int id, QPointer<QWidget>& slot) {
    QAction* item = MenuItem(id);
    EXPECT_NE(item, nullptr) << id;
    if (!item) return nullptr;
    TheMainFrame->Commands().UpdateEnabled();
    EXPECT_TRUE(item->isEnabled()) << id;
    item->trigger();
    return qobject_cast<TListFrame*>(slot.data());
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(PermitSlowWindowsTest, EachItemOpensItsOneWindow) {
  const struct {
    int id;
    QPointer<QWidget>* slot;
    const char* title;
  } items[] = {{res::CM_BLOCK_PERMITS, &TheDataWindows.BlockPermits, "Block Permits (Track & Time)"},
               {res::CM_SLOW_ORDERS, &TheDataWindows.SlowOrders, "Slow Orders"},
               {res::CM_ACTIVE_PERMITS, &TheDataWindows.ActivePermits, "Active Block Permit (T&T) List"},
               {res::CM_ACTIVE_SLOW_ORDERS, &TheDataWindows.ActiveSlowOrders, "Active Slow Order List"}};
  for (const auto& item : items) {
    TListFrame* window = Choose(item.id, *item.slot);
    ASSERT_NE(window, nullptr) << item.title;
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), item.title);
    window->showMinimized();
    EXPECT_EQ(Choose(item.id, *item.slot), window) << "asked again, the open window comes forward";
    EXPECT_FALSE(window->isMinimized());
  }
}

TEST_F(PermitSlowWindowsTest, AuthorizeOnAWaitingRequestOpensItsRequestWindow) {
  Engine& engine = app_->LayoutWindow()->TheEngine();
  RaiseMondayPermitRequest(store(), engine);
  TPermitRequestDialog* request = app_->Dialogs()->PermitRequests().Window(0);
  ASSERT_NE(request, nullptr);
  FindControl<QPushButton>(request, res::IDC_PERMIT_REQUEST_LATER)->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(app_->Dialogs()->PermitRequests().Window(0), nullptr);

  TListFrame* list = Choose(res::CM_ACTIVE_PERMITS, TheDataWindows.ActivePermits);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->List()->model()->rowCount(), 1);
  EXPECT_EQ(list->List()->model()->index(0, 1).data().toString(), "Pending");

  store().OperatingMode = 2;
  list->List()->selectRow(0);
  FindControl<QPushButton>(list, res::IDC_LIST_AUTHORIZE)->click();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "You cannot authorize a block permit while you are in playback mode.");
  EXPECT_EQ(app_->Dialogs()->PermitRequests().Window(0), nullptr);

  store().OperatingMode = 0;
  FindControl<QPushButton>(list, res::IDC_LIST_AUTHORIZE)->click();
  TPermitRequestDialog* again = app_->Dialogs()->PermitRequests().Window(0);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(FindControl<QLineEdit>(again, res::IDC_PERMIT_TRACK_NAME)->text(), "AA-BB Main");
}

TEST_F(PermitSlowWindowsTest, SlowOrdersAreGreyedInCTCControlModeWherePermitsOpenTheCTCList) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(res::CM_ACTIVE_PERMITS));
  EXPECT_FALSE(TheMainFrame->Commands().IsEnabled(res::CM_ACTIVE_SLOW_ORDERS));
  options.CTCControlOn = 0;
  store().UpdateOptionData(options);
  EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(res::CM_ACTIVE_PERMITS));
  EXPECT_TRUE(TheMainFrame->Commands().IsEnabled(res::CM_ACTIVE_SLOW_ORDERS));
}

}  // namespace
