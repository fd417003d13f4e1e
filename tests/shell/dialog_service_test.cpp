// The running program's dialog service: the engine's permit request and the
// playback time dialog open through it over the layout window, and dialogs
// that are not built yet say so instead of answering for the user.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/permit_request_dialog.h"
#include "dialogs/qt_dialog_service.h"
#include "engine/engine.h"
#include "platform/controls.h"
#include "resources/permit_request_ids.h"
#include "resources/playback_time_ids.h"
#include "resources/train_dialog_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_window.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tests/support/permit_request_fixture.h"

namespace {

constexpr int32_t At(int hour, int minute) { return MondayAt(hour, minute); }

class DialogServiceTest : public ::testing::Test {
 protected:
  DialogServiceTest() {
    EnsureQApplication();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  Engine& engine() { return app_->LayoutWindow()->TheEngine(); }

  // The request's window, opened by the engine through the program's dialog service.
  TPermitRequestDialog* RaisePermitRequest() {
    RaiseMondayPermitRequest(store(), engine());
    return app_->Dialogs()->PermitRequests().Window(0);
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(DialogServiceTest, ThePermitRequestOpensOverTheLayoutAndAuthorizes) {
  TPermitRequestDialog* window = RaisePermitRequest();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->parentWidget(), app_->LayoutWindow());
  window->Field(res::IDC_PERMIT_GRANTED_FROM)->setText("06:00");
  window->Field(res::IDC_PERMIT_GRANTED_TO)->setText("10:00");
  FindControl<QPushButton>(window, res::IDC_PERMIT_AUTHORIZED)->click();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitAuthorized);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(DialogServiceTest, ThePermitRequestCancelledComesBackAnHourLaterAndGoesWithARefresh) {
  TPermitRequestDialog* window = RaisePermitRequest();
  ASSERT_NE(window, nullptr);
  FindControl<QPushButton>(window, res::IDC_PERMIT_REQUEST_LATER)->click();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(+store().GetPermitStatus(0).StartTime, At(6, 59));
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitAwaiting);

  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  store().Dialogs().OpenPermitRequestDialog(0);
  ASSERT_NE(app_->Dialogs()->PermitRequests().Window(0), nullptr);
  store().RefreshAllWindows();
  EXPECT_EQ(app_->Dialogs()->PermitRequests().Window(0), nullptr);
}

TEST_F(DialogServiceTest, ThePlaybackTimeDialogAnswersOkAndCancel) {
  store().SetSimClock(At(6, 0));
  WhenModalOpens([](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(modal->objectName(), QString::number(res::IDD_PLAYBACK_TIME));
    FindControl<QLineEdit>(modal, res::IDC_PLAYBACK_JUMP_TIME)->setText("08:00");
    FindControl<QPushButton>(modal, 1)->click();
  });
  EXPECT_EQ(store().Dialogs().RunPlaybackTimeDialog("east.ply", At(6, 0)), 1);
  EXPECT_EQ(store().GetSimClock(), At(8, 0));

  WhenModalOpens([](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    FindControl<QLineEdit>(modal, res::IDC_PLAYBACK_JUMP_TIME)->setText("09:00");
    FindControl<QPushButton>(modal, 2)->click();
  });
  EXPECT_EQ(store().Dialogs().RunPlaybackTimeDialog("east.ply", At(6, 0)), 2);
  EXPECT_EQ(store().GetSimClock(), At(8, 0));
}

TEST_F(DialogServiceTest, TheTrainPickersOpenOverTheLayoutAndCancelAnswersNoChoice) {
  QString title;
  WhenModalOpens([&](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(modal->objectName(), QString::number(res::IDD_STOP_TRAIN));
    EXPECT_EQ(modal->parentWidget(), app_->LayoutWindow());
    title = modal->windowTitle();
    FindControl<QPushButton>(modal, 2)->click();
  });
  EXPECT_EQ(store().Dialogs().RunStopTrainDialog("Block To Stop \"X1\" In"), 2);
  EXPECT_EQ(title, "Block To Stop \"X1\" In");
  EXPECT_TRUE(messages.Calls.empty());
}

}  // namespace
