// The block permit and slow order definition lists and their edit dialogs:
// New with its defaults and checks, a new slot taken only by a passed OK,
// sorting, the stale name forgotten, the table limits, Edit and Delete.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "lists/permit_list.h"
#include "lists/slow_list.h"
#include "platform/controls.h"
#include "resources/permit_slow_ids.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/store_fixture.h"

namespace {

const char* const kNoTrack = "You must assign a track name to the block permit (track & time).";
const char* const kNoSpeed = "You must assign a speed greater than 0.";

class DefinitionListsTest : public StoreFixture {
 protected:
  DefinitionListsTest() {
    EnsureQApplication();
    // Two tracks: "AA-BB Main" on blocks 0 and 1, "AA-BB Siding" on block 2; block 3 a connector.
    Block(0, "Main");
    Block(1, "Main");
    Block(2, "Siding");
    Block(3, "Link", 1);
    SwitchData item = store().GetSwitchData(4);
    item.InUse = 1;
    store().UpdateSwitchData(4, item);
    for (int type : {0, 2}) {
      TrainType train = store().GetTrainType(type);
      train.InUse = 1;
      SetFieldText(train.Name, type == 0 ? "Freight" : "Local");
      store().UpdateTrainType(type, train);
    }
  }

  void Block(int index, const char* part, uint8_t connector = 0) {
    BlockData block = store().GetBlockData(index);
    block.InUse = 1;
    SetFieldText(block.TrackStation1, "AA");
    SetFieldText(block.TrackStation2, "BB");
    SetFieldText(block.TrackPart, part);
    block.PassThrough = connector;
    store().UpdateBlockData(index, block);
  }
  int Permit(const char* track, int16_t from, int16_t to) {
    const int slot = store().FindFreePermitData(1);
    PermitData permit = store().GetPermitData(slot);
    SetFieldText(permit.TrackName, track);
    permit.StartMinutes = from;
    permit.EndMinutes = to;
    for (auto& day : permit.Days) day = 1;
    store().UpdatePermitData(slot, permit);
    return slot;
  }
  int Slow(const char* name, int16_t from, int16_t to, uint8_t permanent, std::array<uint8_t, 7> days) {
    const int slot = store().FindFreeSlowData(1);
    SlowData order = store().GetSlowData(slot);
    SetFieldText(order.Location, name);
    order.StartMinutes = from;
    order.EndMinutes = to;
    order.Permanent = permanent;
    for (size_t day = 0; day < 7; ++day) order.Days[day] = days[day];
    order.SpeedsFirst[0] = 25;
    order.SpeedsSecond[2] = 40;
    store().UpdateSlowData(slot, order);
    return slot;
  }
  int PermitsInUse() {
    int count = 0;
    for (int i = 0; i < kMaxPermitData; ++i) count += store().GetPermitData(i).InUse != 0;
    return count;
  }
  int SlowOrdersInUse() {
    int count = 0;
    for (int i = 0; i < kMaxSlowData; ++i) count += store().GetSlowData(i).InUse != 0;
    return count;
  }
  static QString Cell(TListFrame& list, int row, int column) {
    return list.List()->model()->index(row, column).data().toString();
  }
  static QStringList Column(TListFrame& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.List()->model()->rowCount(); ++row) texts << Cell(list, row, column);
    return texts;
  }
  static void Select(TListFrame& list, int row) {
    list.List()->selectionModel()->setCurrentIndex(list.List()->model()->index(row, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  static void Click(QWidget* window, int id) { FindControl<QPushButton>(window, id)->click(); }
  static QLineEdit* Field(QWidget* window, int id) { return FindControl<QLineEdit>(window, id); }
  static QComboBox* Names(QWidget* window, int id) { return FindControl<QComboBox>(window, id); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
};

// ------------------------------------------------------------------------------------------ block permits

TEST_F(DefinitionListsTest, NewPermitProposesTheDefaultsChecksTheTrackAndStoresTheTimes) {
  TTPermit list(store(), nullptr);
  list.show();
  EXPECT_EQ(list.windowTitle(), "Block Permits (Track & Time)");
  EXPECT_TRUE(FindControl<QPushButton>(&list, res::IDC_LIST_PRINT)->isEnabled());
  const int32_t changes = store().ChangeCount;

  bool opened = false;
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    opened = true;
    EXPECT_FALSE(list.isVisible()) << "the list steps aside while its dialog runs";
    EXPECT_EQ(dialog->windowTitle(), "Block Permit (Track & Time)");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_NUMBER)->text(), "");
    EXPECT_EQ(Field(dialog, res::IDC_PERMIT_DEF_REQUESTOR)->text(), "Track Foreman");
    EXPECT_EQ(Field(dialog, res::IDC_PERMIT_DEF_REASON)->text(), "Track Maintenance");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_FROM_TIME)->text(), "");
    EXPECT_EQ(Field(dialog, res::IDC_DEF_TO_TIME)->text(), "");
    for (int day = 0; day < 7; ++day) EXPECT_TRUE(FindControl<QCheckBox>(dialog, 143 + day)->isChecked());
    QComboBox* track = Names(dialog, res::IDC_PERMIT_DEF_TRACK);
    EXPECT_EQ(track->currentIndex(), -1);
    ASSERT_EQ(track->count(), 2) << "connector blocks name no track";
    EXPECT_EQ(track->itemText(0), "AA-BB Main");

    Click(dialog, 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoTrack});
    EXPECT_TRUE(dialog->isVisible());
    track->setCurrentIndex(0);
    Field(dialog, res::IDC_DEF_FROM_TIME)->setText("705");
    Field(dialog, res::IDC_DEF_TO_TIME)->setText("2:00");  // earlier than the from time: accepted
    Click(dialog, 1);
  });
  Click(&list, res::IDC_LIST_NEW);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(list.isVisible());
  EXPECT_EQ(Texts().size(), 1u);

  const PermitData permit = store().GetPermitData(0);
  EXPECT_EQ(+permit.InUse, 1);
  EXPECT_EQ(FieldText(permit.TrackName), "AA-BB Main");
  EXPECT_EQ(+permit.StartMinutes, 425);
  EXPECT_EQ(+permit.EndMinutes, 120);
  EXPECT_EQ(FieldText(permit.Requestor), "Track Foreman");
  EXPECT_EQ(store().ChangeCount, changes + 1) << "a stored change counts as unsaved track data";
  ASSERT_EQ(list.List()->model()->rowCount(), 1);
  EXPECT_EQ(Column(list, 2), QStringList{"07:05"});
  EXPECT_EQ(Cell(list, 0, 3), "02:00");
  EXPECT_EQ(Cell(list, 0, 4), "SuMoTuWeThFrSa");
}

TEST_F(DefinitionListsTest, PermitTimesAreReadByTheTimeRule) {
  const struct {
    const char* typed;
    int minutes;  // -1 refused
  } cases[] = {{"7:05", 425}, {"705", 425},  {"0705", 425}, {"12:5", 725},
               {"2400", -1},  {"12:60", -1}, {"12345", -1}, {"", -1}};
  for (const auto& c : cases) {
    messages.Calls.clear();
    TPermitInfo dialog(nullptr, store(), -1);
    Names(&dialog, res::IDC_PERMIT_DEF_TRACK)->setCurrentIndex(1);
    Field(&dialog, res::IDC_DEF_FROM_TIME)->setText(c.typed);
    Field(&dialog, res::IDC_DEF_TO_TIME)->setText("10:00");
    Click(&dialog, 1);
    if (c.minutes < 0) {
      EXPECT_EQ(dialog.result(), 0) << c.typed;
      EXPECT_EQ(Texts(), std::vector<std::string>{"The time entered in field \"From Time\" is incorrect.  The correct "
                                                  "formats are X:XX, XX:XX, XXX or XXXX."})
          << c.typed;
      EXPECT_EQ(PermitsInUse(), 0) << c.typed;
    } else {
      EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
      EXPECT_EQ(+store().GetPermitData(dialog.Slot()).StartMinutes, c.minutes) << c.typed;
      store().FreePermitData(dialog.Slot());
    }
  }
}

TEST_F(DefinitionListsTest, ARefusedAndCancelledNewPermitLeavesNoRecord) {
  // The slot once held a non-repeating definition: nothing of it comes back with a new one.
  const int old = Permit("AA-BB Main", 60, 120);
  PermitData stale = store().GetPermitData(old);
  stale.NonRepeating = 1;
  store().UpdatePermitData(old, stale);
  store().FreePermitData(old);

  TTPermit list(store(), nullptr);
  list.show();
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    Names(dialog, res::IDC_PERMIT_DEF_TRACK)->setCurrentIndex(0);
    Field(dialog, res::IDC_DEF_FROM_TIME)->setText("25:00");
    Click(dialog, 1);
    for (int day = 0; day < 7; ++day) FindControl<QCheckBox>(dialog, 143 + day)->setChecked(false);
    Field(dialog, res::IDC_DEF_FROM_TIME)->setText("6:00");
    Field(dialog, res::IDC_DEF_TO_TIME)->setText("8:00");
    Click(dialog, 1);
    Click(dialog, 2);
  });
  Click(&list, res::IDC_LIST_NEW);
  EXPECT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts().back(), "You must schedule the block permit (track & time) for one day during the week.");
  EXPECT_EQ(PermitsInUse(), 0);
  EXPECT_EQ(list.List()->model()->rowCount(), 0);

  TPermitInfo dialog(nullptr, store(), -1);
  Names(&dialog, res::IDC_PERMIT_DEF_TRACK)->setCurrentIndex(0);
  Field(&dialog, res::IDC_DEF_FROM_TIME)->setText("6:00");
  Field(&dialog, res::IDC_DEF_TO_TIME)->setText("8:00");
  Click(&dialog, 1);
  ASSERT_EQ(dialog.Slot(), old);
  EXPECT_EQ(+store().GetPermitData(old).NonRepeating, 0);
}

TEST_F(DefinitionListsTest, PermitsSortByTrackOrByTimeEqualOnesInSlotOrder) {
  Permit("AA-BB Siding", 300, 400);  // 0
  Permit("AA-BB Main", 600, 700);    // 1
  Permit("AA-BB Main", 300, 400);    // 2
  Permit("AA-BB Siding", 300, 500);  // 3: equal to 0 in both keys
  TTPermit list(store(), nullptr);
  list.show();
  EXPECT_EQ(Column(list, 0), (QStringList{"2", "1", "0", "3"}));

  int rebuilds = 0;
  QObject::connect(list.List()->model(), &QAbstractItemModel::modelReset, [&] { ++rebuilds; });
  Click(&list, res::IDC_LIST_SORT_TRACK);
  EXPECT_EQ(rebuilds, 0) << "already sorted by track";
  Click(&list, res::IDC_LIST_SORT_TIME);
  EXPECT_EQ(Column(list, 0), (QStringList{"2", "0", "3", "1"}));
}

TEST_F(DefinitionListsTest, APermitOnAVanishedTrackForgetsItAsItOpens) {
  const int slot = Permit("ZZ-YY Gone", 60, 120);
  TTPermit list(store(), nullptr);
  list.show();
  Select(list, 0);
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Field(dialog, res::IDC_DEF_NUMBER)->text(), QString::number(slot));
    EXPECT_EQ(Names(dialog, res::IDC_PERMIT_DEF_TRACK)->currentIndex(), -1);
    Click(dialog, 2);
  });
  Click(&list, res::IDC_LIST_EDIT);
  EXPECT_EQ(FieldText(store().GetPermitData(slot).TrackName), "");
  EXPECT_EQ(+store().GetPermitData(slot).StartMinutes, 60);
}

TEST_F(DefinitionListsTest, PermitEditAndDeleteNeedOneRowAndAFullTableRefusesNew) {
  TTPermit list(store(), nullptr);
  list.show();
  Click(&list, res::IDC_LIST_EDIT);
  Click(&list, res::IDC_LIST_DELETE);
  EXPECT_EQ(Texts(), std::vector<std::string>(
                         2,
                         "A block permit (track & time) has not be selected.  Select a block permit by placing the "
                         "mouse pointer on the name and then click the mouse left or right button."));

  for (int i = 0; i < kMaxPermitData; ++i) Permit("AA-BB Main", static_cast<int16_t>(i), 700);
  list.ListBuild();
  messages.Calls.clear();
  Click(&list, res::IDC_LIST_NEW);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(Texts(), std::vector<std::string>{"The maximum of 300 block permits (track & time) have been assigned.  "
                                              "You will have delete a block permit to add another."});

  Select(list, 5);
  const int32_t changes = store().ChangeCount;
  Click(&list, res::IDC_LIST_DELETE);
  EXPECT_EQ(+store().GetPermitData(5).InUse, 0);
  EXPECT_EQ(list.List()->model()->rowCount(), kMaxPermitData - 1);
  EXPECT_EQ(store().ChangeCount, changes + 1);
}

// ------------------------------------------------------------------------------------------ slow orders

TEST_F(DefinitionListsTest, SlowOrdersShowASpeedColumnPairPerTrainTypeInUse) {
  Slow("Block 0001", 600, 660, 0, {0, 1, 1, 1, 1, 1, 0});
  Slow("Switch 0004", -1, -1, 1, {0, 1, 0, 0, 0, 0, 0});
  TTSlow list(store(), nullptr);
  list.show();
  EXPECT_EQ(list.windowTitle(), "Slow Orders");
  const QAbstractItemModel* model = list.List()->model();
  ASSERT_EQ(model->columnCount(), 10);
  EXPECT_EQ(model->headerData(6, Qt::Horizontal).toString(), "Freight(Left)");
  EXPECT_EQ(model->headerData(9, Qt::Horizontal).toString(), "Local(Right)");
  // By name the block comes first; by time the permanent order does.
  EXPECT_EQ(Column(list, 0), (QStringList{"0", "1"}));
  Click(&list, res::IDC_LIST_SORT_TIME);
  EXPECT_EQ(Column(list, 0), (QStringList{"1", "0"}));
  QStringList permanent;
  for (int column = 1; column < 10; ++column) permanent << Cell(list, 0, column);
  EXPECT_EQ(permanent, (QStringList{"Switch 0004", "Yes", "", "", "SuMoTuWeThFrSa", "25", "", "", "40"}));
  EXPECT_EQ(Cell(list, 1, 5), "MoTuWeThFr");

  // A train type taken into use shows at the next rebuild.
  TrainType train = store().GetTrainType(1);
  train.InUse = 1;
  SetFieldText(train.Name, "Passenger");
  store().UpdateTrainType(1, train);
  list.ListBuild();
  EXPECT_EQ(model->columnCount(), 12);
  EXPECT_EQ(model->headerData(8, Qt::Horizontal).toString(), "Passenger(Left)");
}

TEST_F(DefinitionListsTest, SlowOrderDialogChecksNameSpeedsAndDays) {
  TerritoryOptions units = store().GetTerritoryOptions();
  units.Units = 1;
  store().UpdateTerritoryOptions(units);
  TSlowInfo dialog(nullptr, store(), -1);
  EXPECT_EQ(FindControl<QLabel>(&dialog, res::IDC_SLOW_HEADING)->text(), "SLOW ORDER SPEEDS MPH");
  EXPECT_EQ(FindControl<QLabel>(&dialog, res::IDC_SLOW_TYPE_LABELS[2])->text(), "Local");
  EXPECT_EQ(FindControl<QLabel>(&dialog, res::IDC_SLOW_TYPE_LABELS[1])->text(), "");
  QComboBox* names = Names(&dialog, res::IDC_SLOW_NAME);
  QStringList offered;
  for (int i = 0; i < names->count(); ++i) offered << names->itemText(i);
  EXPECT_EQ(offered, (QStringList{"Block 0000", "Block 0001", "Block 0002", "Switch 0004", "Track AA-BB Main",
                                  "Track AA-BB Siding"}));

  Click(&dialog, 1);
  EXPECT_EQ(Texts().back(), "You must assign a track/block/switch to the slow order.");
  names->setCurrentIndex(4);
  FindControl<QCheckBox>(&dialog, res::IDC_SLOW_PERMANENT)->setChecked(true);
  Field(&dialog, res::IDC_DEF_FROM_TIME)->setText("99:99");  // not read for a permanent order
  for (const char* refused : {"0", "000"}) {
    Field(&dialog, res::IDC_SLOW_RIGHT_SPEEDS[2])->setText(refused);
    Click(&dialog, 1);
    EXPECT_EQ(Texts().back(), kNoSpeed);
    EXPECT_TRUE(Field(&dialog, res::IDC_SLOW_RIGHT_SPEEDS[2])->hasFocus() || !dialog.isVisible());
  }
  Field(&dialog, res::IDC_SLOW_RIGHT_SPEEDS[2])->setText("45");
  Field(&dialog, res::IDC_SLOW_LEFT_SPEEDS[1])->setText("30");  // a type not in use keeps no speed
  for (int day = 0; day < 7; ++day) FindControl<QCheckBox>(&dialog, 143 + day)->setChecked(false);
  Click(&dialog, 1);
  EXPECT_EQ(Texts().back(), "You must schedule the slow order for one day during the week.");
  EXPECT_EQ(SlowOrdersInUse(), 0);
  FindControl<QCheckBox>(&dialog, 147)->setChecked(true);
  Click(&dialog, 1);
  ASSERT_EQ(dialog.result(), QDialog::Accepted);

  const SlowData order = store().GetSlowData(dialog.Slot());
  EXPECT_EQ(FieldText(order.Location), "Track AA-BB Main");
  EXPECT_EQ(+order.Permanent, 1);
  EXPECT_EQ(+order.StartMinutes, -1);
  EXPECT_EQ(RightSpeeds(order)[2], 45);
  EXPECT_EQ(LeftSpeeds(order)[2], -1) << "an empty field is no speed";
  EXPECT_EQ(LeftSpeeds(order)[1], -1);
  EXPECT_EQ(+order.Days[4], 1);
}

TEST_F(DefinitionListsTest, SlowOrderTimesAndTheStaleName) {
  TSlowInfo timed(nullptr, store(), -1);
  Names(&timed, res::IDC_SLOW_NAME)->setCurrentIndex(0);
  Field(&timed, res::IDC_DEF_FROM_TIME)->setText("22:00");
  Field(&timed, res::IDC_DEF_TO_TIME)->setText("x");
  Click(&timed, 1);
  EXPECT_EQ(Texts().back(),
            "The time entered in field \"To Time\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or XXXX.");
  Field(&timed, res::IDC_DEF_TO_TIME)->setText("200");
  Click(&timed, 1);
  ASSERT_EQ(timed.result(), QDialog::Accepted);
  EXPECT_EQ(+store().GetSlowData(timed.Slot()).StartMinutes, 1320);
  EXPECT_EQ(+store().GetSlowData(timed.Slot()).EndMinutes, 120);

  const int gone = Slow("Switch 0009", 60, 120, 0, {1, 1, 1, 1, 1, 1, 1});
  TTSlow list(store(), nullptr);
  list.show();
  Select(list, 1);
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Names(dialog, res::IDC_SLOW_NAME)->currentIndex(), -1);
    EXPECT_EQ(Field(dialog, res::IDC_SLOW_LEFT_SPEEDS[0])->text(), "25");
    Click(dialog, 2);
  });
  Click(&list, res::IDC_LIST_EDIT);
  EXPECT_EQ(FieldText(store().GetSlowData(gone).Location), "");
  EXPECT_EQ(list.List()->selectionModel()->selectedRows().size(), 1) << "the row stays selected";
}

TEST_F(DefinitionListsTest, AFullSlowOrderTableRefusesNewAndACancelledNewLeavesNoRow) {
  TTSlow list(store(), nullptr);
  list.show();
  WhenModalOpens([&](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    Names(dialog, res::IDC_SLOW_NAME)->setCurrentIndex(0);
    Field(dialog, res::IDC_DEF_FROM_TIME)->setText("6:00");
    Field(dialog, res::IDC_DEF_TO_TIME)->setText("7:00");
    Field(dialog, res::IDC_SLOW_LEFT_SPEEDS[0])->setText("0");
    Click(dialog, 1);
    Click(dialog, 2);
  });
  Click(&list, res::IDC_LIST_NEW);
  EXPECT_EQ(Texts(), std::vector<std::string>{kNoSpeed});
  EXPECT_EQ(SlowOrdersInUse(), 0);
  EXPECT_EQ(list.List()->model()->rowCount(), 0);

  for (int i = 0; i < kMaxSlowData; ++i) Slow("Block 0000", 60, 120, 0, {1, 1, 1, 1, 1, 1, 1});
  messages.Calls.clear();
  Click(&list, res::IDC_LIST_NEW);
  EXPECT_EQ(Texts(), std::vector<std::string>{"The maximum of 200 slow orders have been assigned.  You will have "
                                              "delete a slow order to add another."});
}

// ------------------------------------------------------------------------------------------ the track file

class DefinitionsInTheTrackFile : public DefinitionListsTest {
 protected:
  DefinitionsInTheTrackFile() { territory::BuildDemonstrationTerritory(store()); }
  std::string File() { return (folder() / "edited.trk").string(); }
  void SaveAndReload() {
    ASSERT_EQ(TrackFile(store()).Write(File(), 0), 0);
    ASSERT_EQ(TrackFile(store()).Load(File(), -1), 0);
  }
};

TEST_F(DefinitionsInTheTrackFile, AStoredPermitAndSlowOrderComeBackAndCancelledOnesLeaveNothing) {
  const int permits = PermitsInUse();
  const int slowOrders = SlowOrdersInUse();
  TTPermit permitList(store(), nullptr);
  permitList.show();
  WhenModalOpens([&](QWidget* dialog) { Click(dialog, 1), Click(dialog, 2); });
  Click(&permitList, res::IDC_LIST_NEW);
  TTSlow slowList(store(), nullptr);
  slowList.show();
  WhenModalOpens([&](QWidget* dialog) { Click(dialog, 1), Click(dialog, 2); });
  Click(&slowList, res::IDC_LIST_NEW);
  EXPECT_EQ(PermitsInUse(), permits);
  EXPECT_EQ(SlowOrdersInUse(), slowOrders);

  TPermitInfo permit(nullptr, store(), -1);
  Names(&permit, res::IDC_PERMIT_DEF_TRACK)->setCurrentIndex(0);
  const std::string track = Names(&permit, res::IDC_PERMIT_DEF_TRACK)->currentText().toStdString();
  Field(&permit, res::IDC_DEF_FROM_TIME)->setText("705");
  Field(&permit, res::IDC_DEF_TO_TIME)->setText("9:30");
  Field(&permit, res::IDC_PERMIT_DEF_REASON)->setText("Rail grinding");
  Click(&permit, 1);
  ASSERT_EQ(permit.result(), QDialog::Accepted);
  TSlowInfo order(nullptr, store(), -1);
  Names(&order, res::IDC_SLOW_NAME)->setCurrentIndex(0);
  const std::string name = Names(&order, res::IDC_SLOW_NAME)->currentText().toStdString();
  FindControl<QCheckBox>(&order, res::IDC_SLOW_PERMANENT)->setChecked(true);
  Field(&order, res::IDC_SLOW_LEFT_SPEEDS[0])->setText("15");
  Click(&order, 1);
  ASSERT_EQ(order.result(), QDialog::Accepted);
  EXPECT_TRUE(store().TrackDataChanged());
  SaveAndReload();
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(PermitsInUse(), permits + 1) << "the cancelled New left nothing in the file";
  EXPECT_EQ(SlowOrdersInUse(), slowOrders + 1);

  const PermitData storedPermit = store().GetPermitData(permit.Slot());
  EXPECT_EQ(FieldText(storedPermit.TrackName), track);
  EXPECT_EQ(+storedPermit.StartMinutes, 425);
  EXPECT_EQ(+storedPermit.EndMinutes, 570);
  EXPECT_EQ(FieldText(storedPermit.Reason), "Rail grinding");
  const SlowData storedOrder = store().GetSlowData(order.Slot());
  EXPECT_EQ(FieldText(storedOrder.Location), name);
  EXPECT_EQ(+storedOrder.Permanent, 1);
  EXPECT_EQ(LeftSpeeds(storedOrder)[0], 15);
}

}  // namespace
