// The territory entry request in the running program: the demonstration
// territory with every location asking permission, the clock driven from the
// test, and the dispatcher answering the request's window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/qt_dialog_service.h"
#include "dialogs/run_dialogs.h"
#include "dialogs/train_entry_dialog.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/run_control_ids.h"
#include "resources/train_dialog_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"

namespace {

class TrainEntryWindowTest : public ::testing::Test {
 protected:
  TrainEntryWindowTest() {
    EnsureQApplication();
    Corvane3Data writer;
    territory::BuildDemonstrationTerritory(writer);
    for (int i = 0; i < kMaxLocations; ++i) {
      OrgData org = writer.GetOrgData(i);
      if (org.InUse != 1) continue;
      org.PermissionRequired = 1;
      writer.UpdateOrgData(i, org);
    }
    EXPECT_EQ(TrackFile(writer).Write(folder_.filePath("default.trk").toStdString(), 0), 0);
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();
    TheStore->FirstRunHints = 0;
    OptionData options = TheStore->OptionDataRef();
    options.PermissionToEnterActive = 1;
    TheStore->UpdateOptionData(options);
    messages.Calls.clear();
  }

  // Start twice at the first start time: the clock runs.
  void StartRun() {
    OnModal<TSelectStart>([](TSelectStart* dialog) {
      // A click on the first start time chooses it.
      QListWidget* list = FindControl<QListWidget>(dialog, res::IDC_SELECT_START_LIST);
      const QPoint at = list->visualItemRect(list->item(0)).center();
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
      }
    });
    ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_START));
    ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_START));
    messages.Calls.clear();
  }
  // Ticks until some train's request window is up; its slot, or -1.
  int WaitForRequest(int maxTicks) {
    for (int tick = 0; tick < maxTicks; ++tick) {
      TheLayoutWindow->EvTimer(res::TIMER_TICK);
      for (int slot = 0; slot < kMaxTrainStatus; ++slot)
        if (Entries().Window(slot) != nullptr && Entries().Window(slot)->isVisible()) return slot;
    }
    return -1;
  }
  TrainEntryWindows& Entries() { return app_->Dialogs()->TrainEntries(); }
  static void Click(QWidget* window, int id) { FindControl<QPushButton>(window, id)->click(); }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(TrainEntryWindowTest, ATrainAsksToEnterAndEntersOnceAuthorized) {
  StartRun();
  const int train = WaitForRequest(720);
  ASSERT_GE(train, 0) << "no train asked to enter";
  Corvane3Data& store = *TheStore;
  TTrainEntryDialog* window = Entries().Window(train);
  EXPECT_EQ(window->windowTitle(), "Train Entry Request");
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->parentWidget(), TheLayoutWindow);
  EXPECT_EQ(window->Field(res::IDC_ENTRY_TRAIN)->text().toStdString(), FieldText(store.GetTrainStatus(train).TrainId));
  EXPECT_EQ(window->Field(res::IDC_ENTRY_LOCATION)->text().toStdString(),
            FieldText(store.GetTrainStatus(train).Entrance));
  EXPECT_EQ(+store.GetTrainStatus(train).EntryDialogOpen, 1);
  EXPECT_LT(store.GetTrainStatus(train).HeadBlock, 0);

  // A malformed time names the field and keeps the window.
  window->Field(res::IDC_ENTRY_TIME)->setText("25:00");
  Click(window, res::IDC_ENTRY_AUTHORIZED);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_NE(messages.Calls[0].Text.find("\"Time Granted\""), std::string::npos);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(+store.GetTrainStatus(train).EntryGranted, 0);

  // The current time (as filled in) lets it in at once.
  const int32_t clock = store.SimClock;
  char now[8];
  std::snprintf(now, sizeof now, "%02d:%02d", clock % 86400 / 3600, clock % 3600 / 60);
  window->Field(res::IDC_ENTRY_TIME)->setText(now);
  Click(window, res::IDC_ENTRY_AUTHORIZED);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(+store.GetTrainStatus(train).EntryGranted, 1);
  EXPECT_EQ(+store.GetTrainStatus(train).EntryDialogOpen, 0);
  EXPECT_EQ(+store.GetTrainStatus(train).HeadEventTime, clock);
  for (int tick = 0; tick < 2 && store.GetTrainStatus(train).HeadBlock < 0; ++tick)
    TheLayoutWindow->EvTimer(res::TIMER_TICK);
  EXPECT_GE(store.GetTrainStatus(train).HeadBlock, 0) << "the train entered the territory";
  EXPECT_EQ(+store.GetTrainStatus(train).EntryGranted, 0);
}

TEST_F(TrainEntryWindowTest, RequestLaterBringsTheRequestBackFifteenMinutesLater) {
  StartRun();
  const int train = WaitForRequest(720);
  ASSERT_GE(train, 0);
  Corvane3Data& store = *TheStore;
  const int32_t asked = store.SimClock;
  Click(Entries().Window(train), res::IDC_ENTRY_REQUEST_LATER);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Entries().Window(train), nullptr);
  EXPECT_EQ(+store.GetTrainStatus(train).EntryGranted, 0);
  EXPECT_EQ(+store.GetTrainStatus(train).EntryDialogOpen, 0);
  const int32_t due = store.GetTrainStatus(train).HeadEventTime;
  EXPECT_NEAR(due, asked + 900, 10) << "fifteen minutes after the tick that asked";

  while (store.SimClock < due - 30) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  EXPECT_EQ(Entries().Window(train), nullptr);
  for (int tick = 0; tick < 12 && Entries().Window(train) == nullptr; ++tick) TheLayoutWindow->EvTimer(res::TIMER_TICK);
  ASSERT_NE(Entries().Window(train), nullptr) << "the request came back";
  EXPECT_TRUE(Entries().Window(train)->isVisible());
}

}  // namespace
