// The train property sheet's General page: what it shows, every refusal of
// its Apply, the links between trains kept in step on both trains, the backup
// before the first store, and the read-only sheet of a running train.
#include "dialogs/train_sheet.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include "platform/controls.h"
#include "resources/train_ids.h"
#include "tests/dialogs/train_sheet_fixture.h"

namespace {

TEST_F(TrainSheetTest, TheGeneralPageShowsTheTrainAndItsChoices) {
  TrainData train = Data(b);
  SetFieldText(train.Description, "Coal drag");
  train.Type = 3;
  train.EntryDirection = 1;
  train.Length = 2400;
  train.CrewMinutesWorked = 90;
  train.Days[0] = 0;
  train.BecomesTrain = static_cast<int16_t>(c);
  train.BecomeMinutes = 15;
  train.ChangePlaceKind = 'A';
  SetFieldText(train.ChangePlaceName, "Yard");
  SetFieldText(train.Exit, "");
  store().UpdateTrainData(b, train);

  Open(b);
  EXPECT_EQ(sheet->CurrentPage()->Title(), "General Train Data");
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_ID)->text(), "102");
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_NUMBER)->text(), QString::number(b));
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_DESCRIPTION)->text(), "Coal drag");
  EXPECT_TRUE(Field<QRadioButton>(res::IDC_TRAIN_RIGHT)->isChecked());
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_LENGTH)->text(), "2400");
  EXPECT_EQ(Field<QLabel>(res::IDC_TRAIN_LENGTH_UNITS)->text(), "feet");
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_CREW_TIME)->text(), "90");
  EXPECT_EQ(Items(res::IDC_TRAIN_TYPE), (std::vector<QString>{"Freight", "Transit", "unknown"}));
  EXPECT_EQ(List(res::IDC_TRAIN_TYPE)->currentText(), "Transit");
  EXPECT_EQ(Items(res::IDC_TRAIN_ENTRANCE), (std::vector<QString>{"(none)", "W1", "E1", "WEST"}));
  EXPECT_EQ(List(res::IDC_TRAIN_ENTRANCE)->currentText(), "E1");
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_ENTRANCE_TIME)->text(), "06:00");
  EXPECT_EQ(List(res::IDC_TRAIN_EXIT)->currentText(), "(none)");
  // Created from leaves out the train it becomes; becomes and splits into list every other train.
  EXPECT_EQ(Items(res::IDC_TRAIN_CREATED_FROM), (std::vector<QString>{"(none)", "101-0"}));
  EXPECT_EQ(Items(res::IDC_TRAIN_BECOMES), (std::vector<QString>{"(none)", "101-0", "103-2"}));
  EXPECT_EQ(List(res::IDC_TRAIN_BECOMES)->currentText(), "103-2");
  EXPECT_EQ(List(res::IDC_TRAIN_SPLITS_INTO)->currentText(), "(none)");
  EXPECT_EQ(Items(res::IDC_TRAIN_BECOMES_AT), (std::vector<QString>{"(none)", "P-Central", "A-Yard"}));
  EXPECT_EQ(List(res::IDC_TRAIN_BECOMES_AT)->currentText(), "A-Yard");
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_BECOMES_AFTER)->text(), "15");
  EXPECT_FALSE(Field<QCheckBox>(res::IDC_TRAIN_DAYS[0])->isChecked());
  EXPECT_TRUE(Field<QCheckBox>(res::IDC_TRAIN_DAYS[6])->isChecked());
  EXPECT_TRUE(Field<QCheckBox>(res::IDC_TRAIN_SCHEDULED)->isChecked());

  // A metric territory, a stored location no location has, and a type no longer in use.
  TerritoryOptions options = store().GetTerritoryOptions();
  options.Units = 0;
  store().UpdateTerritoryOptions(options);
  train.Type = 5;
  SetFieldText(train.Entrance, "ZZ");
  store().UpdateTrainData(b, train);
  Open(b);
  EXPECT_EQ(Field<QLabel>(res::IDC_TRAIN_LENGTH_UNITS)->text(), "meters");
  EXPECT_EQ(List(res::IDC_TRAIN_ENTRANCE)->currentText(), "ZZ");
  EXPECT_EQ(List(res::IDC_TRAIN_TYPE)->currentText(), "unknown");
}

// The "at time" field takes digits, ':' and a blank; the time rule judges what was typed.
TEST_F(TrainSheetTest, TheEntranceTimeTakesDigitsColonsAndBlanks) {
  Open(a);
  const QValidator* validator = Field<QLineEdit>(res::IDC_TRAIN_ENTRANCE_TIME)->validator();
  ASSERT_NE(validator, nullptr);
  for (const auto& [text, accepted] : {std::pair{"7 30", true}, {"07:30", true}, {" ", true}, {"7a", false}}) {
    QString typed = text;
    int at = 0;
    EXPECT_EQ(validator->validate(typed, at) != QValidator::Invalid, accepted) << text;
  }
  // Blanks around a partly typed time are no part of it: the minutes typed so far are read.
  Type(res::IDC_TRAIN_ENTRANCE_TIME, " 12:3 ");
  Field<QPushButton>(kApply)->setEnabled(true);
  Field<QPushButton>(kApply)->click();
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_ENTRANCE_TIME)->text(), "12:03");
  EXPECT_EQ(+Data(a).EntranceMinutes, 12 * 60 + 3);
}

TEST_F(TrainSheetTest, ApplyRefusesEachWrongAnswerWithItsMessageAndStoresNothing) {
  const Refusal<TrainSheetTest> cases[] = {
      {"empty ID", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_ID, ""); }, "You must specify a train ID.",
       res::IDC_TRAIN_ID},
      {"entrance and created from", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_CREATED_FROM, "102-1"); },
       "A train cannot be scheduled to arrive on the territory at a specified time and also be created from another "
       "train.",
       res::IDC_TRAIN_CREATED_FROM},
      {"no time", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_ENTRANCE_TIME, ""); },
       "The time when the train is scheduled to arrive on the territory must be entered.",
       res::IDC_TRAIN_ENTRANCE_TIME},
      {"only blanks", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_ENTRANCE_TIME, "  "); },
       "The time when the train is scheduled to arrive on the territory must be entered.",
       res::IDC_TRAIN_ENTRANCE_TIME},
      {"blank inside the time", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_ENTRANCE_TIME, "7 30"); },
       "The time entered in field \"time when the train is scheduled to arrive\" is incorrect.  The correct formats "
       "are X:XX, XX:XX, XXX or XXXX.",
       res::IDC_TRAIN_ENTRANCE_TIME},
      {"bad time", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_ENTRANCE_TIME, "25:00"); },
       "The time entered in field \"time when the train is scheduled to arrive\" is incorrect.  The correct formats "
       "are X:XX, XX:XX, XXX or XXXX.",
       res::IDC_TRAIN_ENTRANCE_TIME},
      {"neither entrance nor parent", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_ENTRANCE, "(none)"); },
       "A train must be scheduled to arrive or be created from another train.", res::IDC_TRAIN_ENTRANCE},
      {"entrance name too long", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_ENTRANCE, "WEST"); },
       "The location name \"WEST\" chosen in field \"Train enters at location\" has more than 2 characters.  A "
       "train's entrance and exit locations can only be locations whose names have 2 characters or fewer.",
       res::IDC_TRAIN_ENTRANCE},
      {"49 feet", [](TrainSheetTest& t) { t.Type(res::IDC_TRAIN_LENGTH, "49"); },
       "A train must be at least 50 feet long.", res::IDC_TRAIN_LENGTH},
      {"exit and becomes", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_BECOMES, "102-1"); },
       "A train cannot have an exit location and also become a new train.", res::IDC_TRAIN_BECOMES},
      {"neither exit nor becomes", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_EXIT, "(none)"); },
       "A train must either have an exit location or become a new train.", res::IDC_TRAIN_EXIT},
      {"becomes nowhere",
       [](TrainSheetTest& t) {
         t.Choose(res::IDC_TRAIN_EXIT, "(none)");
         t.Choose(res::IDC_TRAIN_BECOMES, "102-1");
       },
       "If a train becomes another train, the location where this change takes place must be assigned.",
       res::IDC_TRAIN_BECOMES_AT},
      {"becomes and splits into one train",
       [](TrainSheetTest& t) {
         t.Choose(res::IDC_TRAIN_EXIT, "(none)");
         t.Choose(res::IDC_TRAIN_BECOMES, "102-1");
         t.Choose(res::IDC_TRAIN_BECOMES_AT, "P-Central");
         t.Choose(res::IDC_TRAIN_SPLITS_INTO, "102-1");
       },
       "A train cannot create two trains that are the same.", res::IDC_TRAIN_BECOMES_AT},
      {"exit name too long", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_EXIT, "WEST"); },
       "The location name \"WEST\" chosen in field \"Train exits at location\" has more than 2 characters.  A "
       "train's entrance and exit locations can only be locations whose names have 2 characters or fewer.",
       res::IDC_TRAIN_EXIT},
      {"unknown type", [](TrainSheetTest& t) { t.Choose(res::IDC_TRAIN_TYPE, "unknown"); },
       "The train type cannot be unknown.", res::IDC_TRAIN_TYPE},
  };
  const TrainData before = Data(a);
  const int32_t changes = store().ChangeCount;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Open(a);
    c.Change(*this);
    OkIsRefused(c.Message, Field(c.Focus), before, a);
  }
  EXPECT_EQ(store().ChangeCount, changes) << "a refused OK takes no backup";
}

TEST_F(TrainSheetTest, MetricTerritoriesNeedSixteenMetres) {
  TerritoryOptions options = store().GetTerritoryOptions();
  options.Units = 0;
  store().UpdateTerritoryOptions(options);
  Open(a);
  Type(res::IDC_TRAIN_LENGTH, "15");
  Ok();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "A train must be at least 16 meters long.");
  Type(res::IDC_TRAIN_LENGTH, "16");
  Ok();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(+Data(a).Length, 16);
}

TEST_F(TrainSheetTest, OkStoresEveryFieldAndTakesTheBackupOnceARun) {
  const int32_t changes = store().ChangeCount;
  Open(b);
  Type(res::IDC_TRAIN_ID, "2nd");
  Type(res::IDC_TRAIN_DESCRIPTION, "Local");
  Field<QRadioButton>(res::IDC_TRAIN_LEFT)->setChecked(true);
  Type(res::IDC_TRAIN_LENGTH, "800");
  Choose(res::IDC_TRAIN_TYPE, "Transit");
  Type(res::IDC_TRAIN_CREW_TIME, "");
  Type(res::IDC_TRAIN_ENTRANCE_TIME, "715");
  Field<QCheckBox>(res::IDC_TRAIN_DAYS[1])->setChecked(false);
  Field<QCheckBox>(res::IDC_TRAIN_SCHEDULED)->setChecked(false);
  Field<QPushButton>(kApply)->setEnabled(true);
  Field<QPushButton>(kApply)->click();
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_ENTRANCE_TIME)->text(), "07:15");
  EXPECT_EQ(store().ChangeCount, changes + 1);
  EXPECT_TRUE(sheet->ScheduleChanged());
  Ok();
  EXPECT_EQ(store().ChangeCount, changes + 1);

  const TrainData train = Data(b);
  EXPECT_EQ(FieldText(train.TrainId), "2nd");
  EXPECT_EQ(FieldText(train.Description), "Local");
  EXPECT_EQ(+train.EntryDirection, 0);
  EXPECT_EQ(+train.Length, 800);
  EXPECT_EQ(+train.Type, 3);
  EXPECT_EQ(+train.CrewMinutesWorked, -1);
  EXPECT_EQ(FieldText(train.Entrance), "E1");
  EXPECT_EQ(+train.EntranceMinutes, 435);
  EXPECT_EQ(+train.Days[1], 0);
  EXPECT_EQ(+train.Days[2], 1);
  EXPECT_EQ(+train.Byte50, 0);
  EXPECT_EQ(+train.BecomeMinutes, -1);
}

TEST_F(TrainSheetTest, ATrainCreatedFromAnotherIsLinkedOnBothTrains) {
  // B created from A: A becomes B and loses its exit.
  Open(b);
  Choose(res::IDC_TRAIN_ENTRANCE, "(none)");
  Type(res::IDC_TRAIN_ENTRANCE_TIME, "9:00");
  Choose(res::IDC_TRAIN_CREATED_FROM, "101-0");
  Ok();
  ASSERT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+Data(b).LinkedTrain, a);
  EXPECT_EQ(FieldText(Data(b).Entrance), "");
  EXPECT_EQ(+Data(b).EntranceMinutes, 0xFFFF);
  EXPECT_EQ(+Data(a).BecomesTrain, b);
  EXPECT_EQ(FieldText(Data(a).Exit), "");

  // C created from A too: A already becomes B, so it splits into C.
  Open(c);
  Choose(res::IDC_TRAIN_ENTRANCE, "(none)");
  Choose(res::IDC_TRAIN_CREATED_FROM, "101-0");
  Ok();
  EXPECT_EQ(+Data(a).BecomesTrain, b);
  EXPECT_EQ(+Data(a).SplitTrain, c);

  // A fourth train from A finds both links taken and leaves A as it is.
  const int d = Train("104", "E1", "W1");
  Open(d);
  Choose(res::IDC_TRAIN_ENTRANCE, "(none)");
  Choose(res::IDC_TRAIN_CREATED_FROM, "101-0");
  Ok();
  EXPECT_EQ(+Data(a).BecomesTrain, b);
  EXPECT_EQ(+Data(a).SplitTrain, c);

  // C taken from A to D: A no longer splits into C, D becomes C.
  Open(c);
  Choose(res::IDC_TRAIN_CREATED_FROM, QString("104-%1").arg(d));
  Ok();
  EXPECT_EQ(+Data(a).SplitTrain, -1);
  EXPECT_EQ(+Data(a).BecomesTrain, b);
  EXPECT_EQ(+Data(d).BecomesTrain, c);
}

TEST_F(TrainSheetTest, ATrainThatBecomesAnotherMakesItsCreatedFromAndLetsGoOfTheOldOne) {
  Open(a);
  Choose(res::IDC_TRAIN_EXIT, "(none)");
  Choose(res::IDC_TRAIN_BECOMES, "102-1");
  Choose(res::IDC_TRAIN_BECOMES_AT, "P-Central");
  Type(res::IDC_TRAIN_BECOMES_AFTER, "10");
  Choose(res::IDC_TRAIN_SPLITS_INTO, "103-2");
  Ok();
  ASSERT_TRUE(messages.Calls.empty());
  const TrainData train = Data(a);
  EXPECT_EQ(+train.BecomesTrain, b);
  EXPECT_EQ(+train.SplitTrain, c);
  EXPECT_EQ(+train.ChangePlaceKind, 'P');
  EXPECT_EQ(FieldText(train.ChangePlaceName), "Central");
  EXPECT_EQ(+train.BecomeMinutes, 10);
  for (const int child : {b, c}) {
    EXPECT_EQ(+Data(child).LinkedTrain, a);
    EXPECT_EQ(FieldText(Data(child).Entrance), "");
    EXPECT_EQ(+Data(child).EntranceMinutes, 0xFFFF);
  }

  // Splitting into nothing more lets C go; B stays the train A becomes.
  Open(a);
  Choose(res::IDC_TRAIN_SPLITS_INTO, "(none)");
  Ok();
  EXPECT_EQ(+Data(c).LinkedTrain, -1);
  EXPECT_EQ(+Data(b).LinkedTrain, a);
}

TEST_F(TrainSheetTest, AViewOnlySheetShowsTheTrainAndStoresNothing) {
  const int32_t changes = store().ChangeCount;
  Open(a, /*viewOnly=*/true);
  EXPECT_EQ(sheet->CurrentPage()->objectName(), QString::number(res::IDD_TRAIN_GENERAL_VIEW));
  EXPECT_FALSE(Field<QPushButton>(kApply)->isVisible());
  EXPECT_EQ(Field<QLineEdit>(res::IDC_TRAIN_ID)->text(), "101");
  EXPECT_TRUE(Field<QLineEdit>(res::IDC_TRAIN_ID)->isReadOnly());
  EXPECT_FALSE(List(res::IDC_TRAIN_EXIT)->isEnabled());
  EXPECT_FALSE(Field<QCheckBox>(res::IDC_TRAIN_SCHEDULED)->isEnabled());
  Field<QLineEdit>(res::IDC_TRAIN_ID)->setText("");
  Ok();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(FieldText(Data(a).TrainId), "101");
  EXPECT_EQ(store().ChangeCount, changes);
}

TEST_F(TrainSheetTest, HelpSaysItIsNotAvailable) {
  Open(a);
  Field<QPushButton>(0x0009)->click();
  EXPECT_EQ(shell.HelpNotAvailableCalls, 1);
}

}  // namespace
