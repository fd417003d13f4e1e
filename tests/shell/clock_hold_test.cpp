// The clock of a running simulation holds while a modal dialog opened from the layout's pop-up menus is
// open, through every tick that comes meanwhile, and runs on once it is closed. The ticks are driven by
// hand, as the program's tick timer would drive them.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/crew_dialogs.h"
#include "dialogs/train_pickers.h"
#include "engine/train_commands.h"
#include "platform/bar_fields.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

class ClockHoldTest : public ::testing::Test {
 protected:
  ClockHoldTest() {
    app_ = StartShownProgram(folder_, &messages);
    territory::TerritoryBuilder t(store());
    block_ = t.Block({.Name = "B1", .From = {2, 2}, .To = {12, 2}});
    t.Block({.Name = "B2", .From = {14, 2}, .To = {24, 2}});
    t.Location("W", block_, territory::End::Left);
    t.TrainType("Freight");
    t.Finish();
    // A run going at 07:00 on Monday, with a train standing in B1.
    store().FirstRunHints = 0;
    store().SetSimClock(86400 + 7 * 3600);
    store().Run.SimStopped = 0;
    store().Run.SimPaused = 0;
    store().Run.RunStarted = 1;
    TrainStatus train = store().GetTrainStatus(0);
    train.InUse = 1;
    train.State = TrainState::Stopped;
    train.Reason = StopReason::WaitSignal;
    train.HeadBlock = train.RearBlock = static_cast<int16_t>(block_);
    train.HeadDirection = 1;
    train.MergeNext = -1;
    train.StopInBlock = -1;
    train.CrewChangeLocation = -1;
    train.CrewExpiry = store().SimClock + 3600;
    SetFieldText(train.TrainId, "X1");
    store().UpdateTrainStatus(0, train, 1);
    messages.Calls.clear();
  }
  Corvane3Data& store() { return *TheStore; }
  static void Tick() { TheLayoutWindow->EvTimer(res::TIMER_TICK); }
  static std::string RunState() { return RunStateField->text().toStdString(); }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  int block_ = -1;
};

TEST_F(ClockHoldTest, TheClockHoldsWhileAPopupCommandsDialogIsOpenAndRunsOnOnceItCloses) {
  struct Case {
    const char* Name;
    std::function<void()> Open;  // returns once the dialog has closed
  };
  const Case cases[] = {
      {"Stop in Block from the train pop-up",
       [] {
         TheStore->Run.PopupTrains[0] = 0;
         TheLayoutWindow->PopupCommand(train_menu::kStopInBlock);
       }},
      {"Call Crew from the train pop-up",
       [] {
         TheStore->Run.PopupTrains[0] = 0;
         TheLayoutWindow->PopupCommand(train_menu::kChangeCrew);
       }},
      {"the crew call asked for by the engine alone", [] { TheStore->Dialogs().RunCrewCallDialog(0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    bool opened = false;
    int32_t clockAtOpen = -1, clockAfterTicks = -1;
    std::string shown;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = dynamic_cast<QDialog*>(modal);
      if (dialog == nullptr) return;
      opened = true;
      clockAtOpen = store().SimClock;
      for (int tick = 0; tick < 30; ++tick) Tick();
      clockAfterTicks = store().SimClock;
      shown = RunState();
      dialog->reject();
    });
    c.Open();
    ASSERT_TRUE(opened);
    EXPECT_EQ(clockAfterTicks, clockAtOpen) << "the clock moved while the dialog was open";
    EXPECT_EQ(shown, "Stop");
    EXPECT_EQ(+store().Run.SimPaused, 0);
    EXPECT_EQ(RunState(), "Run");
    const int32_t closedAt = store().SimClock;
    for (int tick = 0; tick < 30; ++tick) Tick();
    EXPECT_GT(store().SimClock, closedAt) << "the clock runs on once the dialog is closed";
  }
}

}  // namespace
