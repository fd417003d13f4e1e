#include "dialogs/permit_request_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "engine/engine.h"
#include "resources/permit_request_ids.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/permit_request_fixture.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t At(int hour, int minute) { return MondayAt(hour, minute); }

// A Monday 06:00-10:00 permit whose request the minute step raised at 05:59 in slot 0.
class PermitRequestDialogTest : public StoreFixture {
 protected:
  PermitRequestDialogTest() {
    EnsureQApplication();
    RaiseMondayPermitRequest(store(), engine);
    EXPECT_EQ(dialogs.PermitRequests, std::vector<int>{0});
    windows.Open(0);
  }

  TPermitRequestDialog* Window() { return windows.Window(0); }
  QString Text(int id) { return Window()->Field(id)->text(); }
  void Click(int id) { Window()->findChild<QPushButton*>(QString::number(id))->click(); }
  void Type(int id, const QString& text) { Window()->Field(id)->setText(text); }
  PermitStatus Status() { return store().GetPermitStatus(0); }
  static void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  Engine engine{store()};
  PermitRequestWindows windows{engine, nullptr};
};

TEST_F(PermitRequestDialogTest, ShowsTheRequestModeless) {
  TPermitRequestDialog* window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->windowTitle(), "Permit (Track & Time) Request");
  EXPECT_EQ(Status().DialogOpen, 1);

  const struct {
    int id;
    const char* text;
    bool typed;
  } fields[] = {{res::IDC_PERMIT_TRACK_NAME, "AA-BB Main", false}, {res::IDC_PERMIT_REQUESTOR, "Track gang 4", false},
                {res::IDC_PERMIT_REASON, "Tie renewal", false},    {res::IDC_PERMIT_FROM_TIME, "05:59", false},
                {res::IDC_PERMIT_TO_TIME, "09:59", false},         {res::IDC_PERMIT_GRANTED_FROM, "05:59", true},
                {res::IDC_PERMIT_GRANTED_TO, "09:59", true}};
  for (const auto& field : fields) {
    QLineEdit* edit = window->Field(field.id);
    ASSERT_NE(edit, nullptr) << field.id;
    EXPECT_EQ(edit->text(), field.text) << field.id;
    EXPECT_EQ(edit->isReadOnly(), !field.typed) << field.id;
    EXPECT_EQ(edit->maxLength(), 20) << field.id;
  }
  // The granted times take digits and colons only.
  const QValidator* validator = window->Field(res::IDC_PERMIT_GRANTED_FROM)->validator();
  ASSERT_NE(validator, nullptr);
  QString typed = "6:3a";
  int position = 0;
  EXPECT_EQ(validator->validate(typed, position), QValidator::Invalid);
  typed = "06:30";
  EXPECT_EQ(validator->validate(typed, position), QValidator::Acceptable);

  const struct {
    int id;
    const char* text;
  } buttons[] = {{res::IDC_PERMIT_AUTHORIZED, "Authorized"},
                 {res::IDC_PERMIT_REQUEST_LATER, " Request Later"},
                 {res::IDC_PERMIT_HELP, "Help"}};
  for (const auto& button : buttons) {
    auto* widget = window->findChild<QPushButton*>(QString::number(button.id));
    ASSERT_NE(widget, nullptr) << button.id;
    EXPECT_EQ(widget->text(), button.text);
  }
}

TEST_F(PermitRequestDialogTest, AuthorizedGrantsTheTypedTimesAndCloses) {
  Type(res::IDC_PERMIT_GRANTED_FROM, "06:00");
  Type(res::IDC_PERMIT_GRANTED_TO, "10:00");
  Click(res::IDC_PERMIT_AUTHORIZED);
  const PermitStatus status = Status();
  EXPECT_EQ(+status.State, kPermitAuthorized);
  EXPECT_EQ(+status.StartTime, At(6, 0));
  EXPECT_EQ(+status.EndTime, At(10, 0));
  EXPECT_EQ(status.DialogOpen, 0);
  ASSERT_NE(Window(), nullptr);
  EXPECT_FALSE(Window()->isVisible());
  DeleteClosedWindows();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_NE(engine.PermitRequestDialog(0), nullptr) << "the request stays until the permit is active";
}

TEST_F(PermitRequestDialogTest, AWrongGrantKeepsTheWindowOnTheField) {
  Type(res::IDC_PERMIT_GRANTED_FROM, "");
  Click(res::IDC_PERMIT_AUTHORIZED);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "You must enter a time in the \"Time Granted From\" field.");
  EXPECT_TRUE(Window()->isVisible());
  EXPECT_EQ(Window()->focusWidget(), Window()->Field(res::IDC_PERMIT_GRANTED_FROM));

  Type(res::IDC_PERMIT_GRANTED_FROM, "06:00");
  Type(res::IDC_PERMIT_GRANTED_TO, "99");
  Click(res::IDC_PERMIT_AUTHORIZED);
  EXPECT_EQ(messages.Calls.size(), 2u);
  EXPECT_TRUE(Window()->isVisible());
  EXPECT_EQ(Window()->focusWidget(), Window()->Field(res::IDC_PERMIT_GRANTED_TO));
  EXPECT_EQ(+Status().State, kPermitAwaiting);
}

TEST_F(PermitRequestDialogTest, RequestLaterAndEscapeMoveTheRequestAnHour) {
  Click(res::IDC_PERMIT_REQUEST_LATER);
  EXPECT_EQ(+Status().StartTime, At(6, 59));
  EXPECT_EQ(Status().DialogOpen, 0);
  EXPECT_FALSE(Window()->isVisible());

  // The hour later the engine opens it again; Escape answers the same.
  DeleteClosedWindows();
  windows.Open(0);
  ASSERT_NE(Window(), nullptr);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(Window(), &escape);
  EXPECT_EQ(+Status().StartTime, At(6, 59)) << "raised by the minute step: starts when shown, then an hour on";
  EXPECT_EQ(Status().DialogOpen, 0);
}

TEST_F(PermitRequestDialogTest, HelpIsNotAvailable) {
  Click(res::IDC_PERMIT_HELP);
  EXPECT_EQ(shell.HelpNotAvailableCalls, 1);
  EXPECT_TRUE(Window()->isVisible());
}

TEST_F(PermitRequestDialogTest, TheEngineRaisesAndRemovesTheWindow) {
  Window()->hide();
  windows.Show(0);
  EXPECT_TRUE(Window()->isVisible());

  windows.Close(0);
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Status().DialogOpen, 0);
  EXPECT_EQ(+Status().State, kPermitAwaiting) << "a window removed by the engine answers nothing";

  windows.Open(0);
  windows.CloseAll();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(engine.PermitRequestDialog(0), nullptr);
  EXPECT_EQ(+Status().NextActionTime, At(6, 59));
  DeleteClosedWindows();
}

}  // namespace
