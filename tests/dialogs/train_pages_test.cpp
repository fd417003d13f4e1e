// The train property sheet's pages beside General: the passenger schedule
// pages and their Add, the multiple entries and the local work schedule, each
// storing all of its rows or none of them; and the view-only sheet.
#include "dialogs/train_pages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "dialogs/train_fields.h"
#include "engine/movement_common.h"
#include "resources/train_ids.h"
#include "tests/dialogs/train_sheet_fixture.h"

namespace {

constexpr int kMultiple = 1;
constexpr int kWork = 2;
constexpr int kPassenger = 3;  // the first Passenger Schedule page
constexpr int kHelp = 0x0009;

class TrainPagesTest : public TrainSheetTest {
 public:
  // Platforms in use at slots 0 to count - 1, named "P<slot>", and no other.
  void Platforms(int count) {
    for (int i = 0; i < kMaxPlatforms; ++i) {
      PlatformData platform = store().GetPlatformData(i);
      platform.InUse = i < count ? 1 : 0;
      SetFieldText(platform.Name, "P" + std::to_string(i));
      store().UpdatePlatformData(i, platform);
    }
  }
  void NamePlatform(int slot, const char* name) {
    PlatformData platform = store().GetPlatformData(slot);
    SetFieldText(platform.Name, name);
    store().UpdatePlatformData(slot, platform);
  }
  void Stop(int train, int platform, int minutes, int dwell) {
    TrainData data = Data(train);
    data.Stations[platform] = {static_cast<uint16_t>(minutes), dwell};
    store().UpdateTrainData(train, data);
  }
  int StopMinutes(int train, int platform) { return static_cast<int16_t>(Data(train).Stations[platform].Minutes); }
  int StopDwell(int train, int platform) { return Data(train).Stations[platform].DwellSeconds; }
  QLineEdit* Departure(int page, int row) {
    return On<QLineEdit>(kPassenger + page, res::IDC_PASSENGER_DEPARTURES[row]);
  }
  bool Unchanged(const TrainData& before, int slot) {
    const TrainData after = Data(slot);
    return std::memcmp(&before, &after, sizeof before) == 0;
  }
  std::vector<QString> PageTitles() {
    std::vector<QString> titles;
    for (int i = 0; i < sheet->PageCount(); ++i) titles.push_back(sheet->Page(i)->Title());
    return titles;
  }
};

TEST_F(TrainPagesTest, TheSheetHasOnePassengerPagePerTenPlatforms) {
  const struct {
    int platforms;
    std::vector<QString> passengerTitles;
  } cases[] = {
      {0, {"Passenger Schedule"}},
      {10, {"Passenger Schedule"}},
      {11, {"Passenger Schedule 1", "Passenger Schedule 2"}},
      {100,
       {"Passenger Schedule 1", "Passenger Schedule 2", "Passenger Schedule 3", "Passenger Schedule 4",
        "Passenger Schedule 5", "Passenger Schedule 6", "Passenger Schedule 7", "Passenger Schedule 8",
        "Passenger Schedule 9", "Passenger Schedule 10"}},
  };
  for (const auto& c : cases) {
    Platforms(c.platforms);
    Open(a);
    std::vector<QString> expected = {"General Train Data", "Multiple Entries", "Local Work Schedule"};
    expected.insert(expected.end(), c.passengerTitles.begin(), c.passengerTitles.end());
    EXPECT_EQ(PageTitles(), expected) << c.platforms;
  }
}

TEST_F(TrainPagesTest, AddShiftsTheDeparturesOfEveryPassengerPagePastMidnight) {
  Platforms(12);
  Stop(a, 0, 23 * 60 + 45, 30);
  Stop(a, 11, 23 * 60 + 45, 30);
  Stop(a, 5, 12 * 60, 30);
  Open(a, false, kPassenger);
  ASSERT_EQ(sheet->PageCount(), kPassenger + 2);
  Departure(0, 3)->setText("24:00");  // does not read as a time: left as typed
  On<QLineEdit>(kPassenger, res::IDC_PASSENGER_ADD_MINUTES)->setText("30");
  On<QPushButton>(kPassenger, res::IDC_PASSENGER_ADD)->click();

  EXPECT_EQ(Departure(0, 0)->text(), "00:15");
  EXPECT_EQ(Departure(0, 5)->text(), "12:30");
  EXPECT_EQ(Departure(0, 3)->text(), "24:00");
  EXPECT_EQ(Departure(1, 1)->text(), "00:15");  // page 2, never shown before
  EXPECT_TRUE(Field<QPushButton>(kApply)->isEnabled());
  EXPECT_EQ(StopMinutes(a, 0), 23 * 60 + 45);  // nothing stored before Apply

  Departure(0, 3)->clear();
  Ok();
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  EXPECT_EQ(StopMinutes(a, 0), 15);
  EXPECT_EQ(StopMinutes(a, 11), 15);
  EXPECT_EQ(StopMinutes(a, 5), 12 * 60 + 30);
}

TEST_F(TrainPagesTest, ABadDepartureNamesThePlatformAndStoresNoneOfThePage) {
  Platforms(12);
  NamePlatform(10, "North");  // page 2, row 1
  Open(a, false, kPassenger + 1);
  On<QLineEdit>(kPassenger + 1, res::IDC_PASSENGER_DWELLS[1])->setText("45");
  Departure(1, 0)->setText("25:00");
  const TrainData before = Data(a);
  OkIsRefused(
      "The time entered in field \"North's Scheduled Arrival\" is incorrect.  The correct formats are X:XX, XX:XX, "
      "XXX or XXXX.",
      Departure(1, 0), before, a);

  // Refused from another page, the sheet brings the refusing page forward with the focus on the field.
  ASSERT_TRUE(sheet->SelectPage(kPassenger));
  Ok();
  QCoreApplication::processEvents();
  EXPECT_EQ(sheet->CurrentPage(), sheet->Page(kPassenger + 1));
  EXPECT_EQ(sheet->focusWidget(), Departure(1, 0));
  EXPECT_TRUE(Unchanged(before, a));

  Departure(1, 0)->setText("2300");
  Ok();
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(StopMinutes(a, 10), 23 * 60);
  EXPECT_EQ(StopDwell(a, 11), 45);
}

TEST_F(TrainPagesTest, PassengerRowsShowAndStoreEveryPlatformInUse) {
  // Central at slot 4 and Harbor at slot 7: the page lists them in its first two rows.
  PlatformData harbor = store().GetPlatformData(7);
  harbor.InUse = 1;
  SetFieldText(harbor.Name, "Harbor");
  store().UpdatePlatformData(7, harbor);
  Stop(a, 4, 6 * 60, -1);
  Stop(a, 7, 8 * 60 + 20, 90);
  Stop(a, 9, 100, 30);  // a platform slot not in use
  Open(a, false, kPassenger);
  EXPECT_EQ(On<QLabel>(kPassenger, res::IDC_PASSENGER_PLATFORMS[0])->text(), "Central");
  EXPECT_EQ(On<QLabel>(kPassenger, res::IDC_PASSENGER_PLATFORMS[1])->text(), "Harbor");
  EXPECT_EQ(Departure(0, 0)->text(), "06:00");
  EXPECT_EQ(On<QLineEdit>(kPassenger, res::IDC_PASSENGER_DWELLS[0])->text(), "");
  EXPECT_EQ(On<QLineEdit>(kPassenger, res::IDC_PASSENGER_DWELLS[1])->text(), "90");
  EXPECT_EQ(On<QLabel>(kPassenger, res::IDC_PASSENGER_PLATFORMS[2])->text(), "");
  EXPECT_EQ(Departure(0, 2)->text(), "");
  EXPECT_FALSE(Departure(0, 2)->isEnabled());

  Departure(0, 0)->setText("7:05");
  Departure(0, 1)->clear();
  Departure(0, 2)->setText("9:00");  // a row without a platform takes no time
  On<QLineEdit>(kPassenger, res::IDC_PASSENGER_DWELLS[1])->clear();
  Field<QPushButton>(kApply)->setEnabled(true);
  Field<QPushButton>(kApply)->click();
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;
  EXPECT_EQ(Departure(0, 0)->text(), "07:05");
  EXPECT_EQ(Departure(0, 2)->text(), "");
  EXPECT_EQ(StopMinutes(a, 4), 7 * 60 + 5);
  EXPECT_EQ(StopDwell(a, 4), -1);  // shown empty and left so: the stored none stays
  EXPECT_EQ(StopMinutes(a, 7), -1);
  EXPECT_EQ(StopDwell(a, 7), 0);  // an emptied dwell field
  EXPECT_EQ(StopMinutes(a, 9), 100);
  EXPECT_TRUE(sheet->ScheduleChanged());
}

TEST_F(TrainPagesTest, MultipleEntriesRefuseAWrongRowAndStoreNothing) {
  const Refusal<TrainPagesTest> cases[] = {
      {"exit without entrance", [](TrainPagesTest& t) { t.Choose(kMultiple, res::IDC_MULTIPLE_EXITS[1], "E1"); },
       "A train cannot have an exit location without a corresponding new entrance.", res::IDC_MULTIPLE_ENTRANCES[1]},
      {"entrance without exit", [](TrainPagesTest& t) { t.Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[2], "W1"); },
       "A train cannot have a new entrance location without a corresponding exit location.",
       res::IDC_MULTIPLE_EXITS[2]},
      {"40 feet",
       [](TrainPagesTest& t) {
         t.Choose(kMultiple, res::IDC_MULTIPLE_EXITS[0], "E1");
         t.Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[0], "W1");
         t.On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_LENGTHS[0])->setText("40");
       },
       "A train must be at least 50 feet long.", res::IDC_MULTIPLE_LENGTHS[0]},
      {"name too long",
       [](TrainPagesTest& t) {
         t.Choose(kMultiple, res::IDC_MULTIPLE_EXITS[0], "WEST");
         t.Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[0], "W1");
       },
       "The location name \"WEST\" chosen in field \"Exit (row 1)\" has more than 2 characters.  A train's entrance "
       "and exit locations can only be locations whose names have 2 characters or fewer.",
       res::IDC_MULTIPLE_EXITS[0]},
  };
  const TrainData before = Data(a);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Open(a, false, kMultiple);
    On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_TRAIN_IDS[3])->setText("other");  // a good row changed too
    c.Change(*this);
    OkIsRefused(c.Message, On(kMultiple, c.Focus), before, a);
  }
}

TEST_F(TrainPagesTest, MultipleEntriesShowAndStoreEachRow) {
  TrainData train = Data(a);
  TrainMultipleEntry first{};
  SetFieldText(first.LegExit, "E1");
  SetFieldText(first.NextEntrance, "W1");
  first.ReentryMinutes = 5;
  SetFieldText(first.Text8, "101X");
  first.Word19 = 0;
  SetLegCrewMinutes(first, 120);
  SetLegNewLength(first, 900);
  train.Multiple[0] = first;
  TrainMultipleEntry gone = first;  // its locations are no longer on the territory, its type not in use
  SetFieldText(gone.LegExit, "ZZ");
  SetFieldText(gone.NextEntrance, "YY");
  gone.Word19 = 5;
  train.Multiple[2] = gone;
  store().UpdateTrainData(a, train);

  Open(a, false, kMultiple);
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_EXITS[0])->currentText(), "E1");
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_ENTRANCES[0])->currentText(), "W1");
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_DELAYS[0])->text(), "5");
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_TYPES[0])->currentText(), "Freight");
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_CREW_TIMES[0])->text(), "120");
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_EXITS[2])->currentText(), "(none)");
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_ENTRANCES[2])->currentText(), "(none)");
  EXPECT_EQ(On<QComboBox>(kMultiple, res::IDC_MULTIPLE_TYPES[2])->currentText(), "(none)");
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_CREW_TIMES[1])->text(), "");

  // Row 1 loses its exit; row 2 becomes an entry of its own.
  Choose(kMultiple, res::IDC_MULTIPLE_EXITS[0], "(none)");
  Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[0], "(none)");
  On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_CREW_TIMES[0])->setText("30");
  Choose(kMultiple, res::IDC_MULTIPLE_EXITS[1], "W1");
  Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[1], "E1");
  On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_TRAIN_IDS[1])->setText("201");
  On<QRadioButton>(kMultiple, res::IDC_MULTIPLE_REVERSE[1])->setChecked(true);
  Choose(kMultiple, res::IDC_MULTIPLE_TYPES[1], "Transit");
  On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_CREW_TIMES[1])->setText("45");
  Field<QPushButton>(kApply)->setEnabled(true);
  Field<QPushButton>(kApply)->click();
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;

  const TrainData after = Data(a);
  const TrainMultipleEntry cleared = after.Multiple[0];
  EXPECT_EQ(FieldText(cleared.LegExit), "");
  EXPECT_EQ(FieldText(cleared.NextEntrance), "");
  EXPECT_EQ(FieldText(cleared.Text8), "");
  EXPECT_EQ(static_cast<int16_t>(cleared.ReentryMinutes), -1);
  EXPECT_EQ(static_cast<int16_t>(cleared.Word19), -1);
  EXPECT_EQ(movement::LegCrewMinutes(cleared), 120);  // kept, and shown again as kept
  EXPECT_EQ(movement::LegNewLength(cleared), 900);
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_CREW_TIMES[0])->text(), "120");
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_TRAIN_IDS[0])->text(), "");
  EXPECT_TRUE(On<QRadioButton>(kMultiple, res::IDC_MULTIPLE_FORWARD[0])->isChecked());

  const TrainMultipleEntry added = after.Multiple[1];
  EXPECT_EQ(FieldText(added.LegExit), "W1");
  EXPECT_EQ(FieldText(added.NextEntrance), "E1");
  EXPECT_EQ(FieldText(added.Text8), "201");
  EXPECT_EQ(+added.Byte21, 1);
  EXPECT_EQ(+added.Word19, 3);
  EXPECT_EQ(+added.ReentryMinutes, 0);  // an empty delay
  EXPECT_EQ(On<QLineEdit>(kMultiple, res::IDC_MULTIPLE_DELAYS[1])->text(), "");
  EXPECT_EQ(movement::LegCrewMinutes(added), 45);
  EXPECT_EQ(movement::LegNewLength(added), -1);
  EXPECT_EQ(FieldText(after.Multiple[2].LegExit), "");  // the entry whose locations are gone
}

TEST_F(TrainPagesTest, LocalWorkRefusesAShortTrainOnAnyRow) {
  const struct {
    int units;
    const char* length;
    std::string message;
  } cases[] = {
      {1, "40", "A train must be at least 50 feet long."},
      {0, "15", "A train must be at least 16 meters long."},
  };
  const TrainData before = Data(a);
  for (const auto& c : cases) {
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = static_cast<uint8_t>(c.units);
    store().UpdateTerritoryOptions(options);
    SCOPED_TRACE(c.length);
    Open(a, false, kWork);
    Choose(kWork, res::IDC_WORK_AREAS[0], "Yard");
    On<QLineEdit>(kWork, res::IDC_WORK_LENGTHS[4])->setText(c.length);  // a row with no work area
    OkIsRefused(c.message, On(kWork, res::IDC_WORK_LENGTHS[4]), before, a);
  }
}

// A new length is kept in 16 bits: one the field can take but the entry cannot hold is refused, on either
// page, naming the field, and nothing is stored (never wrapped to 4464 or to a negative length).
TEST_F(TrainPagesTest, ANewLengthTooLongForItsEntryIsRefusedOnEitherPage) {
  const TrainData before = Data(a);
  for (const char* length : {"70000", "40000"}) {
    for (const int page : {kMultiple, kWork}) {
      SCOPED_TRACE(std::string(length) + (page == kMultiple ? " multiple entries" : " local work"));
      Open(a, false, page);
      int field = res::IDC_WORK_LENGTHS[2];
      if (page == kMultiple) {
        Choose(kMultiple, res::IDC_MULTIPLE_EXITS[2], "E1");
        Choose(kMultiple, res::IDC_MULTIPLE_ENTRANCES[2], "W1");
        field = res::IDC_MULTIPLE_LENGTHS[2];
      }
      On<QLineEdit>(page, field)->setText(length);
      OkIsRefused(
          "The new length entered in field \"New Length (row 3)\" is greater than 32767 feet.  A train's new "
          "length can be at most 32767 feet.",
          On(page, field), before, a);
    }
  }
}

TEST_F(TrainPagesTest, LocalWorkShowsAndStoresEachRow) {
  AreaData longName{};
  std::memcpy(&longName,
              "\x01"
              "Eastside Industrial Pk",
              23);  // 22 characters
  store().UpdateAreaData(5, longName);
  TrainData train = Data(a);
  TrainLocalWork gone{};
  SetFieldText(gone.AreaName, "Old mill");  // no work area record of that name
  gone.Minutes = 10;
  gone.NewLength = -1;
  train.LocalWork[0] = gone;
  TrainLocalWork yard{};
  SetFieldText(yard.AreaName, "Yard");
  yard.Minutes = 25;
  yard.DirectionAfter = 1;
  yard.NewLength = 600;
  train.LocalWork[1] = yard;
  TrainLocalWork dropped = gone;
  SetFieldText(dropped.AreaName, "Gone siding");
  train.LocalWork[4] = dropped;
  store().UpdateTrainData(a, train);

  Open(a, false, kWork);
  EXPECT_EQ(On<QComboBox>(kWork, res::IDC_WORK_AREAS[0])->currentText(), "Old mill");  // kept as stored
  EXPECT_EQ(On<QComboBox>(kWork, res::IDC_WORK_AREAS[1])->currentText(), "Yard");
  EXPECT_EQ(On<QLineEdit>(kWork, res::IDC_WORK_TIMES[1])->text(), "25");
  EXPECT_TRUE(On<QRadioButton>(kWork, res::IDC_WORK_RIGHT[1])->isChecked());
  EXPECT_EQ(On<QLineEdit>(kWork, res::IDC_WORK_LENGTHS[1])->text(), "600");

  On<QLineEdit>(kWork, res::IDC_WORK_LENGTHS[0])->setText("75");
  On<QLineEdit>(kWork, res::IDC_WORK_TIMES[1])->clear();
  On<QRadioButton>(kWork, res::IDC_WORK_LEFT[1])->setChecked(true);
  Choose(kWork, res::IDC_WORK_AREAS[2], "Eastside Industrial Pk");
  Choose(kWork, res::IDC_WORK_AREAS[4], "(none)");
  Ok();
  ASSERT_TRUE(messages.Calls.empty()) << messages.Calls[0].Text;

  const TrainData after = Data(a);
  const TrainLocalWork first = after.LocalWork[0];
  EXPECT_EQ(FieldText(first.AreaName), "Old mill");
  EXPECT_EQ(+first.Minutes, 10);
  EXPECT_EQ(+first.NewLength, 75);
  const TrainLocalWork second = after.LocalWork[1];
  EXPECT_EQ(FieldText(second.AreaName), "Yard");
  EXPECT_EQ(+second.Minutes, 0);  // an emptied time
  EXPECT_EQ(+second.DirectionAfter, 0);
  EXPECT_EQ(FieldText(after.LocalWork[2].AreaName), "Eastside Industrial Pk");
  EXPECT_EQ(+after.LocalWork[3].NewLength, -1);
  EXPECT_EQ(FieldText(after.LocalWork[4].AreaName), "");  // an unlisted name the user cleared
  EXPECT_EQ(static_cast<int16_t>(after.LocalWork[4].Minutes), -1);
}

TEST_F(TrainPagesTest, TheViewOnlySheetShowsEveryPageAndOkStoresNothing) {
  Platforms(12);
  Stop(a, 0, 6 * 60, 30);
  TrainData train = Data(a);
  SetFieldText(train.Description, "Coal drag");
  store().UpdateTrainData(a, train);
  const TrainData before = Data(a);
  const int32_t changes = store().ChangeCount;

  QString caption;
  std::vector<QString> templates;
  bool readOnly = false;
  bool addHidden = false;
  bool applyHidden = false;
  WhenModalOpens([&](QWidget* modal) {
    auto* shown = qobject_cast<TTrainSheet*>(modal);
    ASSERT_NE(shown, nullptr);
    caption = shown->windowTitle();
    for (int i = 0; i < shown->PageCount(); ++i) {
      shown->SelectPage(i);
      templates.push_back(shown->Page(i)->objectName());
    }
    auto* departure = FindControl<QLineEdit>(shown->Page(kPassenger), res::IDC_PASSENGER_DEPARTURES[0]);
    readOnly = departure->text() == "06:00" && departure->isReadOnly() &&
               !FindControl(shown->Page(kMultiple), res::IDC_MULTIPLE_EXITS[0])->isEnabled() &&
               !FindControl(shown->Page(kWork), res::IDC_WORK_AREAS[0])->isEnabled();
    addHidden = !FindControl(shown->Page(kPassenger), res::IDC_PASSENGER_ADD)->isVisibleTo(shown->Page(kPassenger));
    applyHidden = !FindControl(shown, kApply)->isVisibleTo(shown);
    departure->setText("25:00");  // whatever the fields hold, nothing is checked or stored
    FindControl<QPushButton>(shown, kOk)->click();
  });
  OpenTrainPropertiesViewOnly(store(), a, nullptr);

  EXPECT_EQ(caption, "View Train \"101 Coal drag\"");
  EXPECT_EQ(templates, (std::vector<QString>{"61", "63", "64", "62", "62"}));
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(addHidden);
  EXPECT_TRUE(applyHidden);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_TRUE(Unchanged(before, a));
  EXPECT_EQ(store().ChangeCount, changes);

  // A slot that holds no train opens nothing.
  bool opened = false;
  QTimer::singleShot(0, [&opened] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  OpenTrainPropertiesViewOnly(store(), 500, nullptr);
  QCoreApplication::processEvents();
  EXPECT_FALSE(opened);
}

TEST_F(TrainPagesTest, EachPagesHelpSaysItIsNotAvailable) {
  Open(a);
  for (const int page : {kMultiple, kWork, kPassenger}) {
    ASSERT_TRUE(sheet->SelectPage(page));
    Field<QPushButton>(kHelp)->click();
  }
  EXPECT_EQ(shell.HelpNotAvailableCalls, 3);
}

}  // namespace
