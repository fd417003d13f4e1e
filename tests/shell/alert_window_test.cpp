// The Alert Message Window and Go to Alert in the running program.
#include "shell/alert_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <memory>

#include "engine/engine.h"
#include "platform/bar_fields.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

// Notes whether the clock was held while each message was up.
class PauseNotingMessages : public FakeMessageService {
 public:
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override {
    PausedDuring.push_back(TheStore && TheStore->Run.SimPaused != 0);
    return FakeMessageService::ShowMessage(text, caption, icon, buttons);
  }
  std::vector<bool> PausedDuring;
};

class AlertWindowTest : public ::testing::Test {
 protected:
  //   y=150  ==B0 (2..190)==   train "101" in B0 moving right
  AlertWindowTest() {
    app_ = StartShownProgram(folder_, &messages);
    territory::TerritoryBuilder t(store());
    t.Block({.From = {2, 150}, .To = {190, 150}});
    t.Finish();
    store().InitSimulationStatus();
    app_->LayoutWindow()->ComputeLayoutExtent();
    TrainStatus train = store().GetTrainStatus(0);
    train.InUse = 1;
    train.State = 5;
    train.HeadBlock = 0;
    train.HeadDirection = 1;
    SetFieldText(train.TrainId, "101");
    store().UpdateTrainStatus(0, train, 1);
    AlertData alerts = store().GetAlertData();
    for (auto& enabled : alerts.Enabled) enabled = 1;
    for (auto& bells : alerts.Bells) bells = 0;
    store().UpdateAlertData(alerts);
    OptionData options = store().GetOptionData();
    options.DisplayLastAlert = 1;  // a new alert becomes the shown line
    store().UpdateOptionData(options);
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }
  bool Enabled(int id) { return TheMainFrame->Commands().IsEnabled(id); }
  TCorvane3Frame* Open() {
    QAction* item = TheMainFrame->Commands().Find(res::CM_ALERT_WINDOW);
    EXPECT_NE(item, nullptr);
    if (item) item->trigger();
    return dynamic_cast<TCorvane3Frame*>(TheAlertWindow.data());
  }
  int AlertWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += dynamic_cast<TCorvane3Frame*>(widget) != nullptr;
    return count;
  }
  // Alert 1 (a train stopped at a signal) for each train ID.
  void Raise(std::initializer_list<const char*> trains) {
    for (const char* id : trains) layout().TheEngine().RaiseAlert(1, id);
  }
  QPoint OnLine(int line) { return {40, line * 19 + 9}; }
  void Click(TCorvane3Frame* window, int line, QEvent::Type type = QEvent::MouseButtonPress) {
    QMouseEvent event(type, OnLine(line), window->viewport()->mapToGlobal(OnLine(line)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window->viewport(), &event);
  }
  QPoint Scroll() { return {layout().horizontalScrollBar()->value(), layout().verticalScrollBar()->value()}; }

  QTemporaryDir folder_;
  PauseNotingMessages messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(AlertWindowTest, WithoutAlertsTheButtonsAreGreyAndTheWindowIsEmpty) {
  for (int id : {res::CM_PREVIOUS_ALERT, res::CM_NEXT_ALERT, res::CM_GOTO_ALERT}) EXPECT_FALSE(Enabled(id)) << id;
  TCorvane3Frame* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Alert Message Window");
  EXPECT_EQ(store().AlertWindowOpen, 1);
  const QImage picture = window->viewport()->grab().toImage();
  for (int y = 0; y < std::min(picture.height(), 60); y += 3) {
    for (int x = 0; x < picture.width(); x += 5) ASSERT_EQ(picture.pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
  }
}

TEST_F(AlertWindowTest, TheWindowListsTheLinesWithTheShownOneMarked) {
  TCorvane3Frame* window = Open();
  ASSERT_NE(window, nullptr);
  window->resize(1300, 300);
  Raise({"101", "102", "103"});
  EXPECT_TRUE(Enabled(res::CM_GOTO_ALERT));
  const int shown = store().Run.SelectedAlertLine;
  ASSERT_EQ(shown, 2);
  // Past the end of the text: the strip's own colour.
  auto marked = [&](int line) {
    const QImage picture = window->viewport()->grab().toImage();
    return picture.pixel(1100, OnLine(line).y()) == 0xFF0000FFu;
  };
  for (int line = 0; line < 3; ++line) EXPECT_EQ(marked(line), line == shown) << line;

  // A click makes a line the shown one; Next Alert moves on from it.
  Click(window, 0);
  EXPECT_EQ(store().Run.SelectedAlertLine, 0);
  EXPECT_TRUE(marked(0));
  EXPECT_FALSE(marked(shown));
  EXPECT_EQ(MessageField->text().toStdString(), FieldText(store().Run.AlertLines[0].data(), 151));
  ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_NEXT_ALERT));
  EXPECT_TRUE(marked(1));
  // A click below the last line changes nothing.
  Click(window, 7);
  EXPECT_EQ(store().Run.SelectedAlertLine, 1);

  // Asked again, the open window comes back: no second one.
  window->showMinimized();
  EXPECT_EQ(Open(), window);
  EXPECT_FALSE(window->isMinimized());
  EXPECT_EQ(AlertWindows(), 1);
}

TEST_F(AlertWindowTest, ADoubleClickMinimisesTheWindowAndScrollsToTheTrain) {
  TCorvane3Frame* window = Open();
  ASSERT_NE(window, nullptr);
  Raise({"555", "101"});
  Click(window, 1);
  Click(window, 1, QEvent::MouseButtonDblClick);
  EXPECT_TRUE(window->isMinimized());
  const BlockStatus block = store().GetBlockStatus(0);
  const layout::Point centre =
      layout().CurrentView().CentreOn(block.RightLabelX, block.RightLabelY, layout().width(), layout().height());
  EXPECT_EQ(Scroll(), QPoint(centre.X, centre.Y));
  EXPECT_NE(Scroll(), QPoint(0, 0));
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(AlertWindowTest, GoToAlertOnATrainNoLongerShownSaysSoWithTheClockHeld) {
  Raise({"555"});
  ASSERT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_GOTO_ALERT));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Train \"555\" no longer on screen");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(messages.PausedDuring, std::vector<bool>{true});
  EXPECT_EQ(store().Run.SimPaused, 0);
  EXPECT_EQ(Scroll(), QPoint(0, 0));
}

TEST_F(AlertWindowTest, NewLinesWidenTheScrollRangeAndPageKeysStepAQuarterOfTheHeight) {
  TCorvane3Frame* window = Open();
  ASSERT_NE(window, nullptr);
  window->resize(600, 400);
  for (int i = 0; i < 50; ++i) Raise({"101"});
  const int height = window->viewport()->height();
  EXPECT_EQ(window->verticalScrollBar()->maximum(), (51 * 19 - height) / 38 + 1);
  QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &home);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &down);
  EXPECT_EQ(window->verticalScrollBar()->value(), height / 4 / 32);
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &end);
  EXPECT_EQ(window->verticalScrollBar()->value(), window->verticalScrollBar()->maximum());
}

TEST_F(AlertWindowTest, ClosingTheWindowOrANewTerritoryClearsItsFlag) {
  TCorvane3Frame* window = Open();
  ASSERT_NE(window, nullptr);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(store().AlertWindowOpen, 0);
  EXPECT_TRUE(TheAlertWindow.isNull());

  ASSERT_NE(Open(), nullptr);
  store().Shell().CloseAlertWindow();
  EXPECT_EQ(store().AlertWindowOpen, 0);
  EXPECT_EQ(AlertWindows(), 0);
  ASSERT_NE(Open(), nullptr) << "and it opens again";
  EXPECT_EQ(AlertWindows(), 1);
}

}  // namespace
