// The program's message boxes, each raised the way the dispatcher raises it: every box carries the
// caption that fits its icon (the title for notices and questions, the error caption for refusals,
// the warning caption for warnings).
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "lists/list_frame.h"
#include "platform/controls.h"
#include "resources/resource_ids.h"
#include "resources/territory_list_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"

namespace {

const std::string kTitle = "Corvane Version 3.5";
const std::string kErrorCaption = "Corvane Version 3.5 Error";
const std::string kWarningCaption = "Corvane Version 3.5 Warning";

class MessageBoxesTest : public ::testing::Test {
 protected:
  MessageBoxesTest() {
    app_ = StartShownProgram(folder_, &messages);
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  static void Run(int id) { EXPECT_TRUE(TheMainFrame->Commands().Dispatch(id)) << id; }
  // Opens a list window from its menu command and presses one of its buttons.
  static void PressInList(int command, QPointer<QWidget>& registered, int button) {
    Run(command);
    ASSERT_FALSE(registered.isNull()) << command;
    auto* press = FindControl<QPushButton>(registered.data(), button);
    ASSERT_NE(press, nullptr) << button;
    press->click();
    registered->close();
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(MessageBoxesTest, EachBoxCarriesTheCaptionOfItsIcon) {
  struct Box {
    const char* Name;
    std::function<void()> Raise;
    std::string Text;  // the box's text begins so
    MessageIcon Icon;
    const std::string& Caption;
  };
  const Box boxes[] = {
      {"exit question",
       [this] {
         messages.ScriptAnswers({MessageResult::No});
         Run(res::CM_EXIT);
       },
       "Do you want to exit?", MessageIcon::Question, kTitle},
      {"restart question",
       [this] {
         store().SetSimClock(7200);
         messages.ScriptAnswers({MessageResult::No});
         Run(res::CM_RESTART_SIMULATION);
       },
       "Do you want to re-start the simulation?", MessageIcon::Question, kTitle},
      {"train graph before a run", [] { Run(res::CM_TRAIN_GRAPH); },
       "You will need to start the simulation before you can display the train graph.", MessageIcon::Information,
       kTitle},
      {"column widths saved", [] { PressInList(res::CM_OS_POINTS, TheDataWindows.OSData, list::kSaveColumnWidthsId); },
       "Column widths saved.", MessageIcon::Information, kTitle},
      {"list refusal", [] { PressInList(res::CM_TRAIN_TYPES, TheDataWindows.TrainTypes, res::CM_LIST_EDIT); },
       "A train type has not be selected.", MessageIcon::Error, kErrorCaption},
      {"help not available", [] { Run(res::CM_HELP); }, "The \"Help\" function is not available", MessageIcon::Error,
       kErrorCaption},
      {"dialog lock",
       [this] {
         ASSERT_EQ(store().OpenDialog(), 1);
         EXPECT_EQ(store().OpenDialog(), 0);
         store().CloseDialog();
       },
       "You cannot open a new Dialog Box until all open Dialog Boxes are closed", MessageIcon::Warning,
       kWarningCaption},
      {"first-run hints",
       [this] {
         ASSERT_EQ(store().FirstRunHints, 1) << "a fresh install";
         store().SetSimClock(3600);
         store().Run.SimStopped = 0;
         store().Run.SimPaused = 0;
         TheLayoutWindow->EvTimer(0);
         store().Run.SimStopped = 1;
       },
       "To change the position of switches", MessageIcon::Information, kTitle},
  };
  for (const Box& box : boxes) {
    messages.Calls.clear();
    box.Raise();
    ASSERT_FALSE(messages.Calls.empty()) << box.Name;
    const MessageCall& call = messages.Calls.front();
    EXPECT_EQ(call.Text.substr(0, box.Text.size()), box.Text) << box.Name;
    EXPECT_EQ(call.Icon, box.Icon) << box.Name;
    EXPECT_EQ(call.Caption, box.Caption) << box.Name;
  }
}

}  // namespace
