// The crew, split and stop dialogs of the train pop-up, over a few blocks and
// one platform, answered through their widgets.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "dialogs/crew_dialogs.h"
#include "dialogs/train_entry_dialog.h"
#include "dialogs/train_pickers.h"
#include "platform/controls.h"
#include "resources/train_dialog_ids.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kClock = 86400 + 10 * 3600;  // day 1, 10:00:00

// Blocks 3, 5 and 7 (5 a connector, 7 at platform "YARD"); train 2 "X1" stopped at a signal in block 3.
class TrainDialogsTest : public StoreFixture {
 protected:
  TrainDialogsTest() {
    EnsureQApplication();
    store().SimClock = kClock;
    for (int block : {3, 5, 7}) {
      BlockData data = store().GetBlockData(block);
      data.InUse = 1;
      data.PassThrough = block == 5 ? 1 : 0;
      data.CrewSendMinutes = block * 10;
      if (block == 7) SetFieldText(data.PlatformName, "YARD");
      store().UpdateBlockData(block, data);
      BlockStatus status = store().GetBlockStatus(block);
      status.InUse = 1;
      store().UpdateBlockStatus(block, status);
    }
    PlatformData platform = store().GetPlatformData(0);
    platform.InUse = 1;
    SetFieldText(platform.Name, "YARD");
    store().UpdatePlatformData(0, platform);
    Train(2, "X1", -1);
  }
  void Train(int slot, const char* name, int next) {
    TrainStatus status = store().GetTrainStatus(slot);
    status.InUse = 1;
    SetFieldText(status.TrainId, name);
    status.State = TrainState::Stopped;
    status.Reason = StopReason::WaitSignal;
    status.HeadBlock = 3;
    status.CrewChangeLocation = -1;
    status.CrewReadyTime = -1;
    status.MergeNext = static_cast<int16_t>(next);
    store().UpdateTrainStatus(slot, status, 1);
  }
  TrainStatus Status() { return store().GetTrainStatus(2); }
  static QStringList Entries(QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
    return entries;
  }
  static void Select(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
  }
  static void Ok(QDialog& dialog) { FindControl<QPushButton>(&dialog, 1)->click(); }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
};

TEST(GrantedEntryTimeTest, MapsATimeOfDayIntoEightHoursBackToSixteenAhead) {
  const struct {
    int minute;
    int32_t granted;
  } cases[] = {
      {10 * 60, kClock},               // now: at once
      {3 * 60, kClock},                // 7 hours back: at once
      {1 * 60, 2 * 86400 + 1 * 3600},  // 9 hours back: tomorrow
      {12 * 60, kClock + 2 * 3600},    // later today
      {23 * 60 + 59, 86400 + 23 * 3600 + 59 * 60},
  };
  for (const auto& c : cases) EXPECT_EQ(GrantedEntryTime(c.minute, kClock), c.granted) << c.minute;
}

TEST_F(TrainDialogsTest, TheCrewCallAcceptsHalfAnHourToTwelveHoursAhead) {
  const struct {
    int32_t clock;
    const char* typed;
    const char* refusal;  // null: accepted
  } cases[] = {
      {kClock, "10:28", "You must enter a time that is between 30 minutes and 12 hours later than the current time."},
      {kClock + 30, "10:29", nullptr},  // 90 s short of the half hour is still in
      {kClock + 31, "10:29",
       "You must enter a time that is between 30 minutes and 12 hours later than the current time."},
      {kClock, "9:00", "You must enter a time that is between 30 minutes and 12 hours later than the current time."},
      {kClock, "", "You must enter a time in the \"Crew Call Time\" field."},
  };
  for (const auto& c : cases) {
    Train(2, "X1", -1);
    store().SimClock = c.clock;
    messages.Calls.clear();
    TCrewCallDialog dialog(nullptr, store(), 2);
    EXPECT_EQ(dialog.windowTitle(), "Call Crew for \"X1\"");
    EXPECT_EQ(Entries(dialog.Locations()), (QStringList{"Block-0003", "Block-0007", "Platform-YARD"}));
    EXPECT_EQ(dialog.CallTime()->text(), "12:00");
    Select(dialog.Locations(), "Block-0007");
    dialog.CallTime()->setText(c.typed);
    Ok(dialog);
    if (c.refusal) {
      EXPECT_EQ(Texts(), std::vector<std::string>{c.refusal}) << c.typed;
      EXPECT_EQ(dialog.result(), 0) << "still open";
      EXPECT_EQ(dialog.CallTime()->text(), "12:00") << "back at the suggestion";
      EXPECT_EQ(+Status().CrewChangeLocation, -1);
    } else {
      // Called 10:29, 70 travel minutes: 11:39.
      EXPECT_EQ(Texts(), std::vector<std::string>{"Crew will arrive at Block-7 at 11:39."});
      EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
      EXPECT_EQ(dialog.result(), 1);
      EXPECT_EQ(+Status().CrewChangeLocation, 7);
      EXPECT_EQ(+Status().CrewOnDuty, kClock + 29 * 60);
      EXPECT_EQ(+Status().CrewReadyTime, kClock + 99 * 60);
    }
  }
}

TEST_F(TrainDialogsTest, ACrewExpiredTrainIsCalledWhereItStandsTwoHoursAhead) {
  TrainStatus status = Status();
  status.Reason = StopReason::CrewTimeExpired;
  status.CrewChangeLocation = 3;  // the command puts it where the train stands
  store().UpdateTrainStatus(2, status);
  TCrewCallDialog dialog(nullptr, store(), 2);
  EXPECT_FALSE(dialog.Locations()->isEnabled());
  dialog.CallTime()->setText("11:58");
  Ok(dialog);
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "You must enter a time that is between 2 hours and 12 hours later than the current time."});
  messages.Calls.clear();
  Ok(dialog);  // the suggestion, two hours ahead
  EXPECT_EQ(Texts(), std::vector<std::string>{"Crew will arrive at Block-3 at 12:30."});
  EXPECT_EQ(dialog.result(), 1);
}

TEST_F(TrainDialogsTest, ASecondCrewChangeInTheBlockIsRefusedAndNothingChanges) {
  TrainStatus status = Status();
  status.CrewChangeOrdered = 1;
  status.CrewChangeLocation = 3;
  store().UpdateTrainStatus(2, status);
  for (bool call : {true, false}) {
    messages.Calls.clear();
    std::unique_ptr<QDialog> dialog;
    if (call)
      dialog = std::make_unique<TCrewCallDialog>(nullptr, store(), 2);
    else
      dialog = std::make_unique<TCrewChangeLocationDialog>(nullptr, store(), 2);
    Select(FindControl<QListWidget>(dialog.get(), res::IDC_CREW_LOCATIONS), "Block-0007");
    Ok(*dialog);
    EXPECT_EQ(Texts(), std::vector<std::string>{
                           "A crew change is already scheduled for the block the train is already in.  You cannot "
                           "schedule another crew change until the current one is complete."});
    EXPECT_EQ(dialog->result(), 1) << "closes";
    EXPECT_EQ(+Status().CrewChangeLocation, 3);
  }
}

TEST_F(TrainDialogsTest, MovingTheCrewChangeNeverBringsTheCrewEarlier) {
  TrainStatus status = Status();
  status.CrewChangeLocation = 10000;  // the platform, first block 7: 70 minutes
  status.CrewReadyTime = kClock + 3600;
  store().UpdateTrainStatus(2, status);
  TCrewChangeLocationDialog dialog(nullptr, store(), 2);
  EXPECT_EQ(dialog.windowTitle(), "New Crew Change Location for \"X1\"");
  EXPECT_EQ(dialog.Locations()->currentItem()->text(), "Platform-YARD");
  Select(dialog.Locations(), "Block-0003");  // 30 minutes
  Ok(dialog);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Crew will arrive at Block-3 at 11:00."});
  EXPECT_EQ(+Status().CrewChangeLocation, 3);
  EXPECT_EQ(+Status().CrewReadyTime, kClock + 3600);

  // No location yet and nothing picked: refused, the list kept.
  Train(2, "X1", -1);
  messages.Calls.clear();
  TCrewChangeLocationDialog none(nullptr, store(), 2);
  Ok(none);
  EXPECT_EQ(Texts(), std::vector<std::string>{"You must select a platform or block location to change the crew."});
  EXPECT_EQ(none.result(), 0);
  EXPECT_EQ(none.Locations()->count(), 3);
}

TEST_F(TrainDialogsTest, TheSplitListsTheCoupledTrainsAndAClickChooses) {
  TSplitTrainDialog alone(nullptr, store(), "Split Train \"X1\"", 2);
  EXPECT_EQ(alone.Trains()->count(), 0);
  Ok(alone);
  EXPECT_EQ(Texts(), std::vector<std::string>{"You must select which train you want to split."});
  EXPECT_EQ(alone.result(), 0);

  Train(2, "X1", 4);
  Train(4, "X2", 6);
  Train(6, "X3", 2);  // a damaged chain that loops back
  TSplitTrainDialog dialog(nullptr, store(), "Split Train \"X1\"", 2);
  EXPECT_EQ(dialog.windowTitle(), "Split Train \"X1\"");
  EXPECT_EQ(Entries(dialog.Trains()), (QStringList{"X2", "X3"}));
  QListWidgetItem* item = dialog.Trains()->item(1);
  dialog.Trains()->setCurrentItem(item);
  emit dialog.Trains()->itemClicked(item);
  EXPECT_EQ(dialog.result(), 1006);
}

TEST_F(TrainDialogsTest, TheStopListLeavesOutConnectorsAndAnswersTheBlock) {
  TStopTrainDialog dialog(nullptr, store(), "Block To Stop \"X1\" In");
  EXPECT_EQ(Entries(dialog.Blocks()), (QStringList{"0003", "0007"}));
  Ok(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Rejected) << "nothing chosen";
  TStopTrainDialog chosen(nullptr, store(), "Block To Stop \"X1\" In");
  Select(chosen.Blocks(), "0007");
  Ok(chosen);
  EXPECT_EQ(chosen.result(), 1007);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(TrainDialogsTest, ThePickersOfferOkAndCancelOnly) {
  TSplitTrainDialog split(nullptr, store(), "Split Train \"X1\"", 2);
  TStopTrainDialog stop(nullptr, store(), "Block To Stop \"X1\" In");
  for (QDialog* picker : std::initializer_list<QDialog*>{&split, &stop}) {
    QStringList buttons;
    for (const QPushButton* button : picker->findChildren<QPushButton*>()) buttons << button->text();
    EXPECT_EQ(buttons, (QStringList{"OK", "Cancel"})) << picker->windowTitle().toStdString();
  }
}

}  // namespace
