// The switch property display and the block property sheet: what they show
// of the records, the fields they hide, and that nothing typed is ever stored.
#include "dialogs/property_displays.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <cstring>

#include "platform/controls.h"
#include "resources/property_display_ids.h"
#include "store/fixed_text.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

class PropertyDisplaysTest : public StoreFixture {
 protected:
  PropertyDisplaysTest() {
    EnsureQApplication();
    store().InitTerritoryData();
  }
  void UseTrainTypes(int count) {
    for (int slot = 0; slot < 10; ++slot) {
      TrainType type = store().GetTrainType(slot);
      type.InUse = slot < count ? 1 : 0;
      SetFieldText(type.Name, "Type " + std::to_string(slot));
      store().UpdateTrainType(slot, type);
    }
  }
  void SetUnits(uint8_t units, uint8_t runTimeSource = 1, uint8_t runTimeUnit = 0) {
    TerritoryOptions options = store().GetTerritoryOptions();
    options.Units = units;
    options.RunTimeSource = runTimeSource;
    options.RunTimeUnit = runTimeUnit;
    store().UpdateTerritoryOptions(options);
  }
  static QString Text(const QWidget* window, int id) {
    if (auto* field = FindControl<QLineEdit>(window, id)) return field->text();
    if (auto* label = FindControl<QLabel>(window, id)) return label->text();
    ADD_FAILURE() << "no control " << id;
    return {};
  }
  static bool Hidden(const QWidget* window, int id) { return FindControl<QWidget>(window, id)->isHidden(); }
};

TEST_F(PropertyDisplaysTest, DeviceTextsNameTrackDevicesOnly) {
  const std::pair<int, const char*> cases[] = {{-1, "(none)"},         {0, "Block-0000"}, {1999, "Block-1999"},
                                               {2007, "Switch-0007"},  {3005, ""},        {3999, ""},
                                               {4012, "Diamond-0012"}, {5000, ""},        {-2, ""}};
  for (const auto& [device, text] : cases) EXPECT_EQ(PropertyDeviceText(device), text) << device;
}

TEST_F(PropertyDisplaysTest, LengthsShowWholeUnitsOrOneTruncatedDecimalOfTheLongUnit) {
  struct Case {
    int32_t Length;
    bool English, Long;
    const char* Value;
    const char* Unit;
  };
  const Case cases[] = {{26400, true, true, "5.0", "miles"},      {26399, true, true, "4.9", "miles"},
                        {1250, false, true, "1.2", "kilometers"}, {1250, false, false, "1250", "meters"},
                        {5280, true, false, "5280", "feet"},      {-1250, false, true, "-1.2", "kilometers"}};
  for (const Case& c : cases) {
    const LengthText text = BlockLengthText(c.Length, c.English, c.Long);
    EXPECT_EQ(text.Value, c.Value) << c.Length;
    EXPECT_EQ(text.Unit, c.Unit) << c.Length;
  }
}

TEST_F(PropertyDisplaysTest, TheSwitchDisplayShowsItsRecordAndTheReverseLegOfItsShape) {
  UseTrainTypes(3);
  SetUnits(1);
  SwitchData data = store().GetSwitchData(4);
  SetFieldText(data.DisplayName, "Yard lead");
  SetFieldText(data.ControlName, "");
  SetFieldText(data.Name, "");
  data.Legs[0] = 3007;  // a signal: no track neighbour
  data.Legs[1] = 12;
  data.Legs[2] = 2003;
  data.Legs[3] = 4012;
  data.DivergingSpeed[0] = 25;
  data.DivergingSpeed[1] = -1;
  data.DivergingSpeed[2] = 30;
  data.CellX = 20;
  data.CellY = 7;
  store().UpdateSwitchData(4, data);

  for (int16_t code : {10, 13, 11, 12}) {
    store().UpdateGridTrack(20, 7, code);
    TSwitchDialog dialog(nullptr, store(), 4);
    const bool right = code == 10 || code == 13;
    EXPECT_EQ(Hidden(&dialog, res::IDC_SWITCH_REVERSE_LEFT), right) << code;
    EXPECT_EQ(Hidden(&dialog, res::IDC_SWITCH_REVERSE_LEFT_LABEL), right) << code;
    EXPECT_EQ(Hidden(&dialog, res::IDC_SWITCH_REVERSE_RIGHT), !right) << code;
    EXPECT_EQ(Hidden(&dialog, res::IDC_SWITCH_REVERSE_RIGHT_LABEL), !right) << code;
  }

  TSwitchDialog dialog(nullptr, store(), 4);
  EXPECT_EQ(dialog.windowTitle(), "Switch Information");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_NUMBER), "4");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_NAME), "Yard lead");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_CONTROL_NAME), "");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_OS_POINT), "(none)");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_REVERSE_LEFT), "");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_NORMAL_LEFT), "Block-0012");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_REVERSE_RIGHT), "Switch-0003");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_NORMAL_RIGHT), "Diamond-0012");
  EXPECT_EQ(Text(&dialog, res::IDC_SWITCH_SPEED_HEADING), "SWITCH REVERSE TRAIN SPEEDS MPH");
  const char* speeds[] = {"25", "", "30"};
  for (int slot = 0; slot < 10; ++slot) {
    EXPECT_EQ(Text(&dialog, res::kSwitchTypeNames[slot]), slot < 3 ? QString("Type %1").arg(slot) : QString());
    EXPECT_EQ(Hidden(&dialog, res::kSwitchTypeSpeeds[slot]), slot >= 3) << slot;
    if (slot < 3) {
      EXPECT_EQ(Text(&dialog, res::kSwitchTypeSpeeds[slot]), speeds[slot]);
    }
  }
}

TEST_F(PropertyDisplaysTest, EnterInTheSwitchDisplayRefusesAndClosesWithOkStoringNothing) {
  UseTrainTypes(1);
  const SwitchData before = store().GetSwitchData(0);
  TSwitchDialog dialog(nullptr, store(), 0);
  dialog.show();
  FindControl<QLineEdit>(&dialog, res::IDC_SWITCH_NAME)->setText("changed");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &enter);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "You cannot make changes to the data shown in this display.  You must use Quarnel to change the data.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  const SwitchData after = store().GetSwitchData(0);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(PropertyDisplaysTest, TheGeneralPageShowsTheBlockRecord) {
  SetUnits(1);
  BlockData data = store().GetBlockData(7);
  data.InUse = 1;
  SetFieldText(data.TrackStation1, "AB");
  SetFieldText(data.TrackStation2, "CD");
  SetFieldText(data.TrackPart, "Main 1");
  data.PassThrough = 0;
  data.LeftNeighbour = 3005;
  data.RightNeighbour = -1;
  SetFieldText(data.RightLocation, "EAST");
  data.Length = 26400;
  data.LongUnits = 1;
  data.LeftSignal = 0;
  data.RightSignal = 7;
  data.CrewChangePoint = 1;
  data.CrewReliefMinutes = 15;
  data.CrewSendMinutes = 40;
  SetFieldText(data.PlatformName, "Central");
  SetFieldText(data.DetectorNames[1], "hot box");
  SetFieldText(data.RemoteMonitor, "");
  SetFieldText(data.Name, "OS7");
  store().UpdateBlockData(7, data);

  TBlockSheet sheet(nullptr, store(), 7);
  EXPECT_EQ(sheet.windowTitle(), "Block Properties");
  ASSERT_EQ(sheet.PageCount(), 2);
  const PropertyPage* general = sheet.Page(0);
  EXPECT_EQ(general->Title(), "General Block Data");
  EXPECT_EQ(sheet.Page(1)->Title(), "Block Speeds");
  const std::pair<int, const char*> fields[] = {{res::IDC_BLOCK_NUMBER, "7"},
                                                {res::IDC_BLOCK_TRACK_NAME, "AB-CD Main 1"},
                                                {res::IDC_BLOCK_LEFT_DEVICE, ""},
                                                {res::IDC_BLOCK_RIGHT_DEVICE, "(none)"},
                                                {res::IDC_BLOCK_RIGHT_LOCATION, "EAST"},
                                                {res::IDC_BLOCK_LENGTH, "5.0"},
                                                {res::IDC_BLOCK_LENGTH_UNIT, "miles"},
                                                {res::IDC_BLOCK_LEFT_EXIT_SIGNAL, "0000"},
                                                {res::IDC_BLOCK_RIGHT_EXIT_SIGNAL, "0007"},
                                                {res::IDC_BLOCK_CREW_DELAY, "15"},
                                                {res::IDC_BLOCK_CREW_SEND, "40"},
                                                {res::IDC_BLOCK_PLATFORM, "Central"},
                                                {res::IDC_BLOCK_AREA, "(none)"},
                                                {res::kBlockDetectors[0], "(none)"},
                                                {res::kBlockDetectors[1], "hot box"},
                                                {res::IDC_BLOCK_REMOTE_MONITOR, ""},
                                                {res::IDC_BLOCK_OS_POINT, "OS7"}};
  for (const auto& [id, text] : fields) EXPECT_EQ(Text(general, id), text) << id;
  EXPECT_TRUE(FindControl<QCheckBox>(general, res::IDC_BLOCK_CREW_POINT)->isChecked());
  EXPECT_FALSE(FindControl<QCheckBox>(general, res::IDC_BLOCK_CONNECTOR)->isChecked());

  data.LeftSignal = data.RightSignal = -1;  // 65535: none
  store().UpdateBlockData(7, data);
  TBlockSheet none(nullptr, store(), 7);
  EXPECT_EQ(Text(none.Page(0), res::IDC_BLOCK_LEFT_EXIT_SIGNAL), "(none)");
}

TEST_F(PropertyDisplaysTest, TheSpeedsPageShowsSpeedsOrRunningTimesForTheTypesInUse) {
  UseTrainTypes(4);
  BlockData data = store().GetBlockData(3);
  data.SpeedOneClear[0][0] = 40;
  data.SpeedMax[1][3] = 70;
  data.RunTimes[0][0][0] = 90;
  data.RunTimes[1][0][0] = 59;
  data.RunTimes[2][0][0] = -1;
  data.RunTimes[2][1][1] = 1500;
  data.TypeSpeed[0][0] = 15;
  data.HelperRequired[1][2] = 1;
  store().UpdateBlockData(3, data);

  SetUnits(2, 1);
  {
    TBlockSheet sheet(nullptr, store(), 3);
    const PropertyPage* speeds = sheet.Page(1);
    EXPECT_EQ(Text(speeds, res::IDC_BLOCK_SPEED_HEADING), "BLOCK TRAIN SPEEDS KPH");
    const res::BlockSpeedRowIds& row0 = res::kBlockSpeedRows[0];
    EXPECT_EQ(Text(speeds, row0.Name), "Type 0");
    EXPECT_EQ(Text(speeds, row0.Left[0]), "40");
    EXPECT_EQ(Text(speeds, row0.Left[4]), "15");
    EXPECT_EQ(Text(speeds, res::kBlockSpeedRows[3].Right[2]), "70");
    EXPECT_TRUE(FindControl<QCheckBox>(speeds, res::kBlockSpeedRows[2].Right[3])->isChecked());
    for (int slot = 0; slot < 10; ++slot) {
      const res::BlockSpeedRowIds& row = res::kBlockSpeedRows[slot];
      EXPECT_EQ(Hidden(speeds, row.Left[0]), slot >= 4) << slot;
      EXPECT_EQ(Hidden(speeds, row.Right[3]), slot >= 4) << slot;
      EXPECT_EQ(Hidden(speeds, row.Name), false);
      if (slot >= 4) {
        EXPECT_EQ(Text(speeds, row.Name), "");
      }
    }
  }
  SetUnits(1, 0, 1);
  TBlockSheet sheet(nullptr, store(), 3);
  const PropertyPage* times = sheet.Page(1);
  EXPECT_EQ(Text(times, res::IDC_BLOCK_SPEED_HEADING), "BLOCK TRAIN RUN TIMES");
  const res::BlockSpeedRowIds& row0 = res::kBlockSpeedRows[0];
  EXPECT_EQ(Text(times, row0.Left[0]), "1");
  EXPECT_EQ(Text(times, row0.Left[1]), "0");
  EXPECT_EQ(Text(times, row0.Left[2]), "");
  EXPECT_EQ(Text(times, res::kBlockSpeedRows[1].Right[2]), "25");
}

TEST_F(PropertyDisplaysTest, AChangeTypedIntoTheSheetIsRefusedAndNeverStored) {
  UseTrainTypes(1);
  SetUnits(1, 0, 0);
  BlockData data = store().GetBlockData(2);
  data.RunTimes[2][1][0] = 1500;  // wider than the field's three characters: shown whole
  store().UpdateBlockData(2, data);
  const BlockData before = store().GetBlockData(2);
  TBlockSheet sheet(nullptr, store(), 2);
  sheet.show();
  QLineEdit* name = FindControl<QLineEdit>(sheet.Page(0), res::IDC_BLOCK_TRACK_NAME);
  name->setFocus();
  name->selectAll();
  QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(name, &key);
  ASSERT_EQ(name->text(), "x");

  QLineEdit* time = FindControl<QLineEdit>(sheet.Page(1), res::kBlockSpeedRows[0].Right[2]);
  EXPECT_EQ(time->text(), "1500");
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  const BlockData after = store().GetBlockData(2);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

}  // namespace
