// The CTC block permit window and dialog in the running program: "Permits"
// opens the list in CTC control mode; Issue, Edit and Cancel; the filter
// boxes and the two orders; every refusal of the dialog; the layout block
// pop-up's "Issue Block Permit".
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

#include "engine/engine.h"
#include "engine/ctc_permits.h"
#include "lists/ctc_permit_list.h"
#include "platform/controls.h"
#include "resources/ctc_permit_ids.h"
#include "resources/layout_popup_ids.h"
#include "resources/permit_slow_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/operating_mode.h"
#include "store/wall_clock.h"
#include "tests/shell/gui_app.h"
#include "tests/shell/list_window_helpers.h"
#include "tests/support/fake_services.h"
#include "tools/territory/territory_builder.h"

namespace {

std::time_t g_now = 0;

// The wall clock at a time of day in local time.
void SetClock(int hour, int minute) {
  std::tm local{};
  local.tm_year = 126;
  local.tm_mon = 11;
  local.tm_mday = 10;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  g_now = std::mktime(&local);
  SetWallClockSource([] { return g_now; });
}

struct Permit {
  int16_t State;
  const char* Track;
  int32_t Start;
  int32_t End;
  int32_t Next = 0;
};

class CTCPermitWindowTest : public ::testing::Test {
 protected:
  //   y=4   ==B0 "AA-BB Main" (2..10)==   ==B1 "AA-BB Siding" (12..20)==
  CTCPermitWindowTest() {
    SetClock(10, 0);
    app_ = StartShownProgram(folder_, &messages);
    // The tests step the permit clock by hand: a real tick polling it under a dialog's event loop
    // would announce a permit before its checks run.
    TheMainFrame->Timers().Kill(res::TIMER_TICK);
    territory::TerritoryBuilder t(store());
    t.Block({.From = {2, 4}, .To = {10, 4}, .Station1 = "AA", .Station2 = "BB", .Track = "Main"});
    t.Block({.From = {12, 4}, .To = {20, 4}, .Station1 = "AA", .Station2 = "BB", .Track = "Siding"});
    t.Finish();
    store().InitSimulationStatus();
    layout().ComputeLayoutExtent();
    OptionData options = store().GetOptionData();
    options.CTCControlOn = 1;
    store().UpdateOptionData(options);
    store().OperatingMode = operating_mode::kNone;
    messages.Calls.clear();
  }
  ~CTCPermitWindowTest() override {
    delete layout().PopupMenu.data();
    SetWallClockSource(nullptr);
  }
  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }

  void Put(int slot, const Permit& spec) {
    PermitStatus permit{};
    permit.InUse = 1;
    permit.State = spec.State;
    permit.StartMinute = spec.Start;
    permit.EndMinute = spec.End;
    permit.NextMinute = spec.Next;
    SetFieldText(permit.Track, spec.Track);
    SetFieldText(permit.Requestor, "Foreman " + std::to_string(slot));
    SetFieldText(permit.Reason, "Rail");
    store().UpdatePermitStatus(slot, permit);
  }
  TCTCPermitActive* OpenPermits() {
    return ChooseListCommand<TCTCPermitActive>(res::CM_ACTIVE_PERMITS, TheDataWindows.CTCActivePermits);
  }
  static QStringList Column(TListFrame* list, int column) { return ColumnTexts(list, column); }
  static QPushButton* Button(QWidget* window, int id) { return FindControl<QPushButton>(window, id); }
  static QCheckBox* Box(QWidget* window, int id) { return FindControl<QCheckBox>(window, id); }
  static QLineEdit* Field(QWidget* dialog, int id) { return FindControl<QLineEdit>(dialog, id); }
  static QComboBox* Track(QWidget* dialog) { return FindControl<QComboBox>(dialog, res::IDC_PERMIT_DEF_TRACK); }
  std::string LastMessage() const { return messages.Calls.empty() ? "" : messages.Calls.back().Text; }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(CTCPermitWindowTest, PermitsOpensTheCTCListWithItsButtonsBoxesAndColumns) {
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->windowTitle(), "CTC Active Block Permit (T&T) List");
  EXPECT_TRUE(TheDataWindows.ActivePermits.isNull()) << "not the simulation's list";
  const std::pair<int, const char*> buttons[] = {{2010, "Issue"},     {2012, "Cancel"},
                                                 {2011, "Edit"},      {1066, "Sort Track"},
                                                 {1062, "Sort Time"}, {1047, "Save Column Widths"},
                                                 {141, "Help"}};
  for (const auto& [id, text] : buttons) {
    ASSERT_NE(Button(list, id), nullptr) << text;
    EXPECT_EQ(Button(list, id)->text(), text);
  }
  const std::pair<int, const char*> boxes[] = {{1067, "All"}, {1088, "Pending"}, {1090, "Active"}};
  for (const auto& [id, text] : boxes) {
    ASSERT_NE(Box(list, id), nullptr) << text;
    EXPECT_EQ(Box(list, id)->text(), text);
    EXPECT_EQ(Box(list, id)->isChecked(), id == 1067) << text;
  }
  const QStringList headers{"Number", "Status", "Track Name", "From Time", "To Time", "Requestor", "Reason"};
  ASSERT_EQ(list->List()->model()->columnCount(), headers.size());
  for (int column = 0; column < headers.size(); ++column)
    EXPECT_EQ(list->List()->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);

  list->showMinimized();
  EXPECT_EQ(OpenPermits(), list) << "asked again, the open window comes forward";
  EXPECT_FALSE(list->isMinimized());
  Button(list, 141)->click();
  EXPECT_FALSE(LastMessage().empty()) << "help is not available here";
}

TEST_F(CTCPermitWindowTest, IssueAtElevenAtNightProposesTwoHoursAndRefusesEachBadAnswerInTurn) {
  SetClock(23, 0);
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  bool opened = false;
  OnModal<TCTCPermitInfo>([&](TCTCPermitInfo* dialog) {
    opened = true;
    EXPECT_EQ(dialog->windowTitle(), "CTC Block Permit (Track & Time)");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_NUMBER)->text(), "");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_FROM_TIME)->text(), "23:00");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_TO_TIME)->text(), "01:00");
    EXPECT_EQ(Field(dialog, res::IDC_PERMIT_DEF_REQUESTOR)->text(), "Track Foreman");
    EXPECT_EQ(Field(dialog, res::IDC_PERMIT_DEF_REASON)->text(), "Track Maintenance");
    EXPECT_EQ(Track(dialog)->currentIndex(), -1);
    ASSERT_EQ(Track(dialog)->count(), 2);
    EXPECT_EQ(Track(dialog)->itemText(0), "AA-BB Main");

    FindControl<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(LastMessage(), "You must assign a track name to the block permit (track & time).");
    Track(dialog)->setCurrentIndex(1);
    Field(dialog, res::IDC_DEF_TO_TIME)->setText("25:00");
    FindControl<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(LastMessage(),
              "The time entered in field \"To Time\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or XXXX.");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(store().GetPermitStatus(0).InUse, 0) << "nothing stored while refused";
    Field(dialog, res::IDC_DEF_TO_TIME)->setText("1:00");
    FindControl<QPushButton>(dialog, 1)->click();
  });
  Button(list, res::IDC_CTC_PERMIT_ISSUE)->click();
  ASSERT_TRUE(opened);

  const PermitStatus permit = store().GetPermitStatus(0);
  EXPECT_EQ(permit.InUse, 1);
  EXPECT_EQ(+permit.State, kCtcPermitIssued);
  EXPECT_EQ(+permit.StartMinute, 1380);
  EXPECT_EQ(+permit.EndMinute, 1500);
  EXPECT_EQ(+permit.NextMinute, 1350) << "announced half an hour ahead";
  EXPECT_EQ(FieldText(permit.Track), "AA-BB Siding");
  ASSERT_EQ(list->List()->model()->rowCount(), 1);
  for (int column = 0; column < 7; ++column) {
    const QStringList row{"0", "Pending", "AA-BB Siding", "23:00", "01:00", "Track Foreman", "Track Maintenance"};
    EXPECT_EQ(list->List()->model()->index(0, column).data().toString(), row[column]);
  }
  EXPECT_EQ(store().Run.DialogOpen, 0);

  // The permit clock puts it in force and refreshes the open lists, as each of its steps does.
  PermitStatus stepped = store().GetPermitStatus(0);
  stepped.State = kCtcPermitInForce;
  store().UpdatePermitStatus(0, stepped);
  store().RefreshAllWindows();
  EXPECT_EQ(Column(list, 1), QStringList{"Active"});
  store().FreePermitStatus(0);
  store().RefreshAllWindows();
  EXPECT_EQ(list->List()->model()->rowCount(), 0) << "released";
}

TEST_F(CTCPermitWindowTest, TheFiftyFirstPermitIsRefusedAndTheDialogStaysOpen) {
  for (int slot = 0; slot < kMaxPermitStatus; ++slot) Put(slot, {kCtcPermitIssued, "AA-BB Main", 700, 800});
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  bool opened = false;
  OnModal<TCTCPermitInfo>([&](TCTCPermitInfo* dialog) {
    opened = true;
    Track(dialog)->setCurrentIndex(0);
    FindControl<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(LastMessage(),
              "The maximum number of 50 block permits (track & time) has been reached.  You cannot create another "
              "block permit until you delete one.");
    EXPECT_TRUE(dialog->isVisible());
    FindControl<QPushButton>(dialog, 2)->click();
  });
  Button(list, res::IDC_CTC_PERMIT_ISSUE)->click();
  EXPECT_TRUE(opened);
  EXPECT_EQ(list->List()->model()->rowCount(), kMaxPermitStatus);
}

TEST_F(CTCPermitWindowTest, FilterBoxesAndTheTwoOrders) {
  Put(0, {kCtcPermitInForce, "AA-BB Siding", 600, 660});
  Put(1, {kCtcPermitIssued, "AA-BB Main", 700, 760});
  Put(2, {kCtcPermitAnnounced, "AA-BB Main", 500, 1500});
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Column(list, 0), (QStringList{"2", "0", "1"})) << "by time";
  EXPECT_EQ(Column(list, 1), (QStringList{"Pending", "Active", "Pending"}));
  EXPECT_EQ(Column(list, 4), (QStringList{"01:00", "11:00", "12:40"})) << "the next day's end shown as a time of day";
  Button(list, res::IDC_LIST_SORT_TRACK)->click();
  EXPECT_EQ(Column(list, 0), (QStringList{"2", "1", "0"})) << "by track, then time";

  Box(list, res::IDC_FILTER_PENDING)->click();
  EXPECT_FALSE(Box(list, res::IDC_FILTER_ALL)->isChecked());
  EXPECT_EQ(Column(list, 0), (QStringList{"2", "1"})) << "a permit in force is not pending";
  Box(list, res::IDC_FILTER_PENDING)->click();
  Box(list, res::IDC_FILTER_ACTIVE)->click();
  EXPECT_EQ(Column(list, 0), (QStringList{"0"}));
  Box(list, res::IDC_FILTER_PENDING)->click();
  Box(list, res::IDC_FILTER_ALL)->click();
  EXPECT_FALSE(Box(list, res::IDC_FILTER_PENDING)->isChecked());
  EXPECT_FALSE(Box(list, res::IDC_FILTER_ACTIVE)->isChecked());
  EXPECT_EQ(Column(list, 0).size(), 3);
}

TEST_F(CTCPermitWindowTest, EditAndCancelCheckTheModeAndTheSelectionAndCancelReleasesAtOnce) {
  Put(0, {kCtcPermitInForce, "AA-BB Main", 600, 660, 660});
  Put(1, {kCtcPermitIssued, "AA-BB Siding", 700, 760, 670});
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  const std::string none =
      "A block permit has not be selected.  Select a block permit by placing the mouse pointer on the block permit "
      "number and then click the mouse left or right button.";
  const std::string many = "More than one block permit has been selected.  Please select only one block permit.";
  for (int id : {res::IDC_CTC_PERMIT_EDIT, res::IDC_CTC_PERMIT_CANCEL}) {
    Button(list, id)->click();
    EXPECT_EQ(LastMessage(), none) << id;
  }
  list->List()->customContextMenuRequested(QPoint(5, 5));
  EXPECT_EQ(LastMessage(), none);

  store().OperatingMode = operating_mode::kPlayback;
  list->List()->selectRow(0);
  Button(list, res::IDC_CTC_PERMIT_CANCEL)->click();
  EXPECT_EQ(LastMessage(), "You cannot authorize a block permit while you are in playback mode.");
  EXPECT_EQ(store().GetPermitStatus(0).InUse, 1);
  store().OperatingMode = operating_mode::kNone;

  list->List()->setSelectionMode(QAbstractItemView::MultiSelection);
  list->List()->selectRow(1);
  Button(list, res::IDC_CTC_PERMIT_EDIT)->click();
  EXPECT_EQ(LastMessage(), many);
  list->List()->clearSelection();
  list->List()->setSelectionMode(QAbstractItemView::SingleSelection);

  // Cancel asks nothing: the permit in force goes at once.
  messages.Calls.clear();
  list->List()->selectRow(0);
  Button(list, res::IDC_CTC_PERMIT_CANCEL)->click();
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().GetPermitStatus(0).InUse, 0);
  EXPECT_EQ(Column(list, 0), QStringList{"1"});
}

TEST_F(CTCPermitWindowTest, EditShowsThePermitAndAVanishedTrackIsAskedForAgainWithoutLosingItOnCancel) {
  Put(3, {kCtcPermitIssued, "XX-YY Gone", 700, 760, 670});
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  list->List()->selectRow(0);
  OnModal<TCTCPermitInfo>([&](TCTCPermitInfo* dialog) {
    EXPECT_EQ(Field(dialog, res::IDC_DEF_NUMBER)->text(), "3");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_FROM_TIME)->text(), "11:40");
    EXPECT_EQ(Field(dialog, res::IDC_PERMIT_DEF_REQUESTOR)->text(), "Foreman 3");
    EXPECT_EQ(Track(dialog)->currentIndex(), -1);
    FindControl<QPushButton>(dialog, 2)->click();
  });
  list->List()->doubleClicked(list->List()->model()->index(0, 0));
  EXPECT_EQ(FieldText(store().GetPermitStatus(3).Track), "XX-YY Gone") << "cancelled: the permit is as it was";

  OnModal<TCTCPermitInfo>([&](TCTCPermitInfo* dialog) {
    FindControl<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(LastMessage(), "You must assign a track name to the block permit (track & time).");
    Track(dialog)->setCurrentIndex(0);
    Field(dialog, res::IDC_PERMIT_DEF_REASON)->setText("Tie renewal");
    FindControl<QPushButton>(dialog, 1)->click();
  });
  Button(list, res::IDC_CTC_PERMIT_EDIT)->click();
  const PermitStatus permit = store().GetPermitStatus(3);
  EXPECT_EQ(FieldText(permit.Track), "AA-BB Main");
  EXPECT_EQ(+permit.State, kCtcPermitIssued) << "an edit keeps the state";
  EXPECT_EQ(Column(list, 6), QStringList{"Tie renewal"});
}

// Marks along the track of an announced or in-force permit: its track cannot change under them (even one
// gone from the territory), and an in-force permit given a later end keeps its blocks that much longer.
TEST_F(CTCPermitWindowTest, AnAnnouncedOrInForcePermitKeepsItsTrackAndALaterEndKeepsItsBlocks) {
  Put(0, {kCtcPermitAnnounced, "XX-YY Gone", 700, 760, 700});
  Put(1, {kCtcPermitInForce, "AA-BB Main", 540, 660, 660});
  BlockStatus block = store().GetBlockStatus(0);
  block.PermitActive = 1;
  block.PermitActiveUntil = 660 * 60;
  store().UpdateBlockStatus(0, block);
  Engine& engine = layout().TheEngine();

  TCTCPermitInfo announced(TheMainFrame, store(), engine, 0);
  EXPECT_FALSE(Track(&announced)->isEnabled());
  EXPECT_EQ(Track(&announced)->currentText(), "XX-YY Gone");
  announced.accept();
  ASSERT_EQ(announced.result(), QDialog::Accepted) << LastMessage();
  EXPECT_EQ(FieldText(store().GetPermitStatus(0).Track), "XX-YY Gone");

  TCTCPermitInfo inForce(TheMainFrame, store(), engine, 1);
  EXPECT_FALSE(Track(&inForce)->isEnabled());
  Field(&inForce, res::IDC_DEF_TO_TIME)->setText("12:30");
  inForce.accept();
  ASSERT_EQ(inForce.result(), QDialog::Accepted) << LastMessage();
  EXPECT_EQ(+store().GetPermitStatus(1).EndMinute, 750);
  EXPECT_EQ(+store().GetBlockStatus(0).PermitActiveUntil, 750 * 60);

  ctc::ReleasePermit(engine, 1);  // its end: the block is released with it
  EXPECT_EQ(store().GetBlockStatus(0).PermitActive, 0);
}

// The times OK stores, by the permit's state and the wall clock: a time more than an hour past is
// tomorrow's, and the next step follows the state.
TEST_F(CTCPermitWindowTest, OKStoresTheTimesAndTheNextStepByState) {
  const struct {
    int16_t State;  // 0: a new permit
    int Hour, Minute;
    const char* From;
    const char* To;
    int32_t Start, End, Next;
  } cases[] = {
      {0, 23, 0, "23:00", "01:00", 1380, 1500, 1350},
      {0, 0, 0, "00:10", "00:40", 10, 40, 0},
      {kCtcPermitIssued, 10, 0, "09:30", "12:00", 570, 720, 540},
      {kCtcPermitIssued, 10, 0, "08:30", "09:00", 1950, 1980, 1920},
      {kCtcPermitAnnounced, 10, 0, "10:20", "11:00", 620, 660, 620},
      {kCtcPermitInForce, 10, 0, "09:00", "08:30", 540, 1950, 1950},
      {kCtcPermitInForce, 10, 0, "09:00", "09:30", 540, 570, 570},
  };
  for (const auto& c : cases) {
    SetClock(c.Hour, c.Minute);
    int slot = -1;
    if (c.State != 0) {
      slot = 5;
      Put(slot, {c.State, "AA-BB Main", 0, 0});
    }
    TCTCPermitInfo dialog(TheMainFrame, store(), layout().TheEngine(), slot);
    Track(&dialog)->setCurrentIndex(0);
    Field(&dialog, res::IDC_DEF_FROM_TIME)->setText(c.From);
    Field(&dialog, res::IDC_DEF_TO_TIME)->setText(c.To);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << c.From << " " << LastMessage();
    const PermitStatus permit = store().GetPermitStatus(dialog.Slot());
    EXPECT_EQ(+permit.StartMinute, c.Start) << c.State << " " << c.From;
    EXPECT_EQ(+permit.EndMinute, c.End) << c.State << " " << c.To;
    EXPECT_EQ(+permit.NextMinute, c.Next) << c.State << " " << c.From;
    store().FreePermitStatus(dialog.Slot());
  }
}

TEST_F(CTCPermitWindowTest, AnEditFindsItsPermitGoneWhenItEndedMeanwhile) {
  Put(4, {kCtcPermitInForce, "AA-BB Main", 600, 660, 660});
  TCTCPermitInfo dialog(TheMainFrame, store(), layout().TheEngine(), 4);
  store().FreePermitStatus(4);  // its end came while the dialog was open
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(LastMessage(), "The block permit has ended or has been cancelled.");
  EXPECT_EQ(store().GetPermitStatus(4).InUse, 0) << "not brought back";
}

TEST_F(CTCPermitWindowTest, TheBlockPopupIssuesAPermitOnThatBlocksTrackAndTheOpenListShowsIt) {
  TCTCPermitActive* list = OpenPermits();
  ASSERT_NE(list, nullptr);
  const layout::View view = layout().CurrentView();
  const layout::Point corner = view.CellToWindow(15, 4);
  const QPointF at(corner.X + view.CellSize() / 2, corner.Y + view.CellSize() / 2);
  QWidget* viewport = layout().viewport();
  QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &release);
  QMenu* menu = layout().PopupMenu.data();
  ASSERT_NE(menu, nullptr);
  QAction* item = menu->findChild<QAction*>(QString::number(res::CM_ISSUE_BLOCK_PERMIT));
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->isEnabled());

  bool opened = false;
  OnModal<TCTCPermitInfo>([&](TCTCPermitInfo* dialog) {
    opened = true;
    EXPECT_EQ(Track(dialog)->currentText(), "AA-BB Siding");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_FROM_TIME)->text(), "10:00");
    FindControl<QPushButton>(dialog, 1)->click();
  });
  item->trigger();
  menu->close();
  QCoreApplication::processEvents();
  ASSERT_TRUE(opened);
  EXPECT_EQ(FieldText(store().GetPermitStatus(0).Track), "AA-BB Siding");
  EXPECT_EQ(Column(list, 2), QStringList{"AA-BB Siding"});
  EXPECT_EQ(store().Run.DialogOpen, 0);
}

}  // namespace
