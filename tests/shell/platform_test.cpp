#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>

#include "platform/bar_fields.h"
#include "platform/command_registry.h"
#include "platform/file_dialogs.h"
#include "platform/post_message.h"
#include "platform/window_timers.h"
#include "shell/message_box.h"
#include "tests/shell/gui_app.h"

namespace {

class PlatformTest : public ::testing::Test {
 protected:
  PlatformTest() { EnsureQApplication(); }
};

TEST(FileFilterTest, PairsBecomeQtFilters) {
  EXPECT_EQ(ToQtFilter("Track Territory Files (*.trk)|*.trk"), "Track Territory Files (*.trk)");
  EXPECT_EQ(ToQtFilter("Playback Files (*.ply)|*.ply|All Files (*.*)|*.*|"), "Playback Files (*.ply);;All Files (*.*)");
  // The pattern of the pair is what counts, whatever the description's brackets say.
  EXPECT_EQ(ToQtFilter("Saved Simulations|*.ssm;*.sim"), "Saved Simulations (*.ssm *.sim)");
  EXPECT_EQ(ToQtFilter(""), "");
}

TEST(MessageBarFontTest, NarrowScreensGetTheSmallFont) {
  EXPECT_EQ(MessageBarPointSize(640), 8);
  EXPECT_EQ(MessageBarPointSize(800), 8);
  EXPECT_EQ(MessageBarPointSize(801), 10);
}

TEST_F(PlatformTest, CommandsWithoutHandlerAreGreyedAndDoNothing) {
  CommandRegistry commands;
  QAction* action = commands.Action(42, "Item");
  EXPECT_EQ(action->objectName(), "42");
  EXPECT_FALSE(action->isEnabled());
  EXPECT_FALSE(commands.Dispatch(42));

  int runs = 0;
  bool allowed = false;
  commands.SetHandler(42, [&] { ++runs; });
  commands.SetEnabler(42, [&] { return allowed; });
  commands.UpdateEnabled();
  EXPECT_FALSE(action->isEnabled());
  action->trigger();
  EXPECT_EQ(runs, 0);

  allowed = true;
  commands.UpdateEnabled();
  EXPECT_TRUE(action->isEnabled());
  action->trigger();
  EXPECT_TRUE(commands.Dispatch(42));
  EXPECT_EQ(runs, 2);
}

TEST_F(PlatformTest, ChoosingAnItemDoesNotFlipItsMarkByItself) {
  CommandRegistry commands;
  QAction* action = commands.Action(7, "Toggle");
  bool option = false;
  commands.SetHandler(7, [&] { option = !option; });
  commands.Check(7, true);
  action->trigger();  // Qt would uncheck a checkable action here
  EXPECT_TRUE(option);
  EXPECT_TRUE(action->isChecked());
  EXPECT_TRUE(commands.IsChecked(7));

  commands.SetHandler(7, [&] { commands.Check(7, !commands.IsChecked(7)); });
  action->trigger();
  EXPECT_FALSE(action->isChecked());
}

TEST_F(PlatformTest, DroppedActionsLeaveTheirMenuButKeepTheHandler) {
  CommandRegistry commands;
  QMenu menu;
  int runs = 0;
  commands.SetHandler(2000, [&] { ++runs; });
  menu.addAction(commands.Action(2000, "old.trk"));
  commands.DropActions(2000);
  EXPECT_TRUE(menu.actions().isEmpty());
  menu.addAction(commands.Action(2000, "new.trk"));
  EXPECT_EQ(menu.actions().front()->text(), "new.trk");
  menu.actions().front()->trigger();
  EXPECT_EQ(runs, 1);
}

TEST_F(PlatformTest, WindowTimersFireByNumberUntilKilled) {
  WindowTimers timers;
  std::vector<int> fired;
  timers.SetHandler([&](int id) { fired.push_back(id); });
  timers.Set(1, 5);
  timers.Set(2, 10000);
  EXPECT_EQ(timers.Interval(2), 10000);
  QElapsedTimer clock;
  clock.start();
  while (std::count(fired.begin(), fired.end(), 1) < 2 && clock.elapsed() < 2000) QApplication::processEvents();
  EXPECT_GE(std::count(fired.begin(), fired.end(), 1), 2) << "timer 1 repeats";
  EXPECT_EQ(std::count(fired.begin(), fired.end(), 2), 0);

  timers.Kill(1);
  timers.Kill(3);  // never set: nothing happens
  EXPECT_FALSE(timers.IsActive(1));
  EXPECT_EQ(timers.Interval(1), -1);
  const auto before = fired.size();
  clock.restart();
  while (clock.elapsed() < 30) QApplication::processEvents();
  EXPECT_EQ(fired.size(), before);
}

TEST_F(PlatformTest, PostedMessagesRunLaterAndNotForAGoneReceiver) {
  QObject receiver;
  int runs = 0;
  PostMessage(&receiver, [&] { ++runs; });
  EXPECT_EQ(runs, 0);
  QApplication::processEvents();
  EXPECT_EQ(runs, 1);

  auto* gone = new QObject;
  PostMessage(gone, [&] { ++runs; });
  delete gone;
  QApplication::processEvents();
  EXPECT_EQ(runs, 1);
}

TEST_F(PlatformTest, MessageBoxCarriesCaptionIconAndReturnsTheAnswer) {
  QtMessageService messages;
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModalOpens([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(messages.ShowMessage("Leave?", "Corvane Version 3.5", MessageIcon::Question, MessageButtons::YesNo),
            MessageResult::No);
  EXPECT_EQ(caption, "Corvane Version 3.5");
  EXPECT_EQ(text, "Leave?");
  EXPECT_EQ(icon, QMessageBox::Question);

  WhenModalOpens([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click(); });
  EXPECT_EQ(messages.ShowMessage("x", "c", MessageIcon::Error, MessageButtons::OkCancel), MessageResult::Cancel);
}

}  // namespace
