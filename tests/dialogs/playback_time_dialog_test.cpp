#include "dialogs/playback_time_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "resources/playback_time_ids.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kMondaySix = 86400 + 6 * 3600;

class PlaybackTimeDialogTest : public StoreFixture {
 protected:
  PlaybackTimeDialogTest() : dialog_((EnsureQApplication(), nullptr), store(), "/runs/east.ply", kMondaySix) {}

  QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dialog_.Control(id)); }
  QComboBox* Day() { return qobject_cast<QComboBox*>(dialog_.Control(res::IDC_PLAYBACK_JUMP_DAY)); }

  TPlayBackTimeDialog dialog_;
};

TEST_F(PlaybackTimeDialogTest, ShowsTheRecordingsStart) {
  EXPECT_EQ(dialog_.windowTitle(), "Simluation Playback Time");
  EXPECT_EQ(Edit(res::IDC_PLAYBACK_FILE)->text(), "/runs/east.ply");
  EXPECT_EQ(Edit(res::IDC_PLAYBACK_START_TIME)->text(), "06:00");
  EXPECT_EQ(Edit(res::IDC_PLAYBACK_START_DAY)->text(), "Mo");
  EXPECT_EQ(Edit(res::IDC_PLAYBACK_JUMP_TIME)->text(), "06:00");
  EXPECT_EQ(Edit(res::IDC_PLAYBACK_JUMP_WEEK)->text(), "0");
  EXPECT_EQ(Day()->count(), 7);
  EXPECT_EQ(Day()->currentIndex(), 1);
}

// Tuesday 14:30 of week 0 lands on 2 x 86,400 + 870 x 60; the scroll option is kept.
TEST_F(PlaybackTimeDialogTest, OkSetsTheClockToTheJump) {
  Edit(res::IDC_PLAYBACK_JUMP_TIME)->setText("14:30");
  Day()->setCurrentIndex(2);
  qobject_cast<QCheckBox*>(dialog_.Control(res::IDC_PLAYBACK_AUTO_SCROLL))->setChecked(true);
  dialog_.accept();
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_EQ(store().GetSimClock(), 225000);
  EXPECT_EQ(+store().GetOptionData().AutoScroll, 1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(PlaybackTimeDialogTest, AWrongJumpStaysOpen) {
  store().SetSimClock(5);
  Edit(res::IDC_PLAYBACK_JUMP_TIME)->setText("25:00");
  dialog_.accept();
  Edit(res::IDC_PLAYBACK_JUMP_TIME)->setText("08:00");
  Day()->setCurrentIndex(-1);
  dialog_.accept();
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_NE(messages.Calls[0].Text.find("\"Start time\""), std::string::npos);
  EXPECT_EQ(messages.Calls[1].Text, "You must select a jump to day.");
  EXPECT_EQ(store().GetSimClock(), 5);
  EXPECT_NE(dialog_.result(), QDialog::Accepted);
}

}  // namespace
