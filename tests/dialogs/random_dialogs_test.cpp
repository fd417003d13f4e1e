// The random-event parameter dialogs: bounds and their messages one at a time,
// rows by the in-use rule, the whole record stored and written to the
// territory settings file, and a failed write kept open.
#include "dialogs/random_dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/controls.h"
#include "resources/random_dialog_ids.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

class RandomDialogsTest : public StoreFixture {
 protected:
  RandomDialogsTest() {
    EnsureQApplication();
    store().SetDefaultOptions();
    // A loaded territory whose settings file lands beside its track file.
    SetFieldText(store().TrackFilePath, (folder() / "east.trk").string());
    store().NoTerritorySettings = 0;
    RandomData random = store().GetRandomData();
    for (int i = 0; i < 20; ++i) random.Reserved158[i] = static_cast<uint8_t>(i + 1);
    store().UpdateRandomData(random);
  }

  template <class Dialog>
  Dialog* Open() {
    dialog_ = std::make_unique<Dialog>(nullptr, store());
    dialog_->show();
    return static_cast<Dialog*>(dialog_.get());
  }
  QLineEdit* Field(int id) { return FindControl<QLineEdit>(dialog_.get(), id); }
  void Type(int id, const QString& text) { Field(id)->setText(text); }
  void Click(int id) { FindControl<QPushButton>(dialog_.get(), id)->click(); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
  // The record as the territory settings file holds it, read by a store of its own.
  RandomData ReadBack() {
    Corvane3Data other;
    EXPECT_EQ(SettingsFiles(other).LoadTerritory((folder() / "east.trk").string()), 0);
    return other.GetRandomData();
  }
  void UseTrainType(int slot, const char* name, uint8_t mark = 1) {
    TrainType type = store().GetTrainType(slot);
    type.InUse = mark;
    SetFieldText(type.Name, name);
    store().UpdateTrainType(slot, type);
  }

  std::unique_ptr<QDialog> dialog_;
};

TEST_F(RandomDialogsTest, SwitchFailuresTakeTheirBoundsOneMessageAtATime) {
  Open<TRandomSwitchDialog>();
  EXPECT_EQ(dialog_->windowTitle(), "Random Switch and Signal Failure Parameters");
  EXPECT_EQ(dialog_->objectName(), "67");
  EXPECT_EQ(Field(res::IDC_RANDOM_MAINTAINER_TIME)->text(), "120");
  const struct {
    int id;
    int digits;
  } limits[] = {{2038, 4}, {109, 4}, {111, 3}, {104, 3}};
  for (const auto& limit : limits) EXPECT_EQ(Field(limit.id)->maxLength(), limit.digits) << limit.id;

  Type(res::IDC_RANDOM_SWITCH_FAILURES, "1001");
  Type(res::IDC_RANDOM_SIGNAL_FAILURES, "1001");
  Type(res::IDC_RANDOM_MAINTAINER_TIME, "999");
  Type(res::IDC_RANDOM_MAINTAINER_DEVIATION, "101");
  const char* expected[] = {"The switch failure parameter cannot be greater than 1000.",
                            "The signal failure parameter cannot be greater than 1000.",
                            "The random maintenance arrival time parameter cannot be greater than 100%."};
  const int fields[] = {res::IDC_RANDOM_SWITCH_FAILURES, res::IDC_RANDOM_SIGNAL_FAILURES,
                        res::IDC_RANDOM_MAINTAINER_DEVIATION};
  for (int i = 0; i < 3; ++i) {
    Click(1);
    ASSERT_EQ(messages.Calls.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(messages.Calls[i].Text, expected[i]);
    EXPECT_EQ(messages.Calls[i].Icon, MessageIcon::Error);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->focusWidget(), Field(fields[i]));
    EXPECT_EQ(+store().GetRandomData().SwitchFailuresPer1000, 0) << "nothing stored while a field is refused";
    Type(fields[i], i < 2 ? "1000" : "100");
  }

  Type(res::IDC_RANDOM_SIGNAL_FAILURES, "");  // an emptied field is 0
  Click(1);
  EXPECT_EQ(messages.Calls.size(), 3u);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  for (const RandomData& random : {store().GetRandomData(), ReadBack()}) {
    EXPECT_EQ(+random.SwitchFailuresPer1000, 1000);
    EXPECT_EQ(+random.SignalFailuresPer1000, 0);
    EXPECT_EQ(+random.MaintainerRepairMinutes, 999);
    EXPECT_EQ(+random.MaintainerVariationPercent, 100);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(+random.Reserved158[i], i + 1) << "reserved byte " << i;
  }
}

TEST_F(RandomDialogsTest, TrainRowsFollowTheTypesInUseAndHiddenRowsAreCarriedThrough) {
  UseTrainType(0, "Through freight");
  UseTrainType(2, "Commuter");
  UseTrainType(5, "Work train");
  UseTrainType(7, "Half made", 2);  // a mark other than 1 is not in use
  RandomData random = store().GetRandomData();
  random.LateStartPercent[7] = 77;
  random.Bytes60[2] = 1;
  random.RunPastChance[0] = 12;
  store().UpdateRandomData(random);

  Open<TRandomTrainDialog>();
  EXPECT_EQ(dialog_->windowTitle(), "Random Train Parameters");
  for (int slot = 0; slot < res::kRandomRows; ++slot) {
    const res::RandomTrainRowIds& ids = res::kRandomTrainRows[slot];
    const bool shown = slot == 0 || slot == 2 || slot == 5;
    for (int id : {ids.Name, ids.RunTime, ids.StartupDelays, ids.LateArrivals, ids.LocomotiveProblems,
                   ids.TrainProblems, ids.Derailments}) {
      QWidget* control = FindControl(dialog_.get(), id);
      ASSERT_NE(control, nullptr) << id;
      EXPECT_EQ(control->isVisible(), shown) << "slot " << slot << " control " << id;
    }
  }
  EXPECT_EQ(FindControl<QLabel>(dialog_.get(), 182)->text(), "Commuter");
  EXPECT_EQ(Field(2022)->text(), "12");
  EXPECT_TRUE(FindControl<QCheckBox>(dialog_.get(), 2013)->isChecked());

  // Two bad fields: the first in walking order (slot by slot, column by column) is reported, then the next.
  Type(2028, "101");  // slot 2 late arrivals
  Type(150, "101");   // slot 5 locomotive problems
  Click(1);
  EXPECT_EQ(Texts(),
            std::vector<std::string>{"The late train arrival performance parameter cannot be greater than 100%."});
  EXPECT_EQ(dialog_->focusWidget(), Field(2028));
  Type(2028, "100");
  Click(1);
  EXPECT_EQ(messages.Calls.back().Text, "The locomotive problem parameter cannot be greater than 100%.");
  EXPECT_EQ(dialog_->focusWidget(), Field(150));
  Type(150, "40");
  FindControl<QCheckBox>(dialog_.get(), 2013)->setChecked(false);
  FindControl<QCheckBox>(dialog_.get(), 139)->setChecked(true);
  Click(1);
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_FALSE(dialog_->isVisible());

  const RandomData stored = ReadBack();
  EXPECT_EQ(+stored.LateStartPercent[2], 100);
  EXPECT_EQ(+stored.LocoProblemPercent[5], 40);
  EXPECT_EQ(+stored.Bytes60[2], 0);
  EXPECT_EQ(+stored.Bytes60[5], 1);
  EXPECT_EQ(+stored.LateStartPercent[7], 77) << "a hidden row keeps its values";
  EXPECT_EQ(+stored.RunPastChance[0], 12);
}

TEST_F(RandomDialogsTest, DetectorAlarmsAcceptTheirBoundsAndCancelStoresNothing) {
  DetectorData detector = store().GetDetectorData(1);
  detector.InUse = 1;
  SetFieldText(detector.Description, "Milepost 12 hot box");
  store().UpdateDetectorData(1, detector);

  Open<TRandomDetectorDialog>();
  EXPECT_EQ(dialog_->windowTitle(), "Random Defect Detector Parameters");
  EXPECT_FALSE(Field(7313)->isVisible());
  EXPECT_TRUE(Field(110)->isVisible());
  EXPECT_EQ(FindControl<QLabel>(dialog_.get(), 101)->text(), "Milepost 12 hot box");
  EXPECT_EQ(Field(110)->maxLength(), 4);
  EXPECT_EQ(Field(126)->maxLength(), 3);

  Type(110, "1001");
  Click(1);
  EXPECT_EQ(Texts(), std::vector<std::string>{"The detector alarm parameter cannot be greater than 1000."});
  Type(110, "1000");
  Type(126, "101");
  Click(1);
  EXPECT_EQ(messages.Calls.back().Text, "The false alarm parameter cannot be greater than 100%.");
  Type(126, "100");
  Click(res::IDC_RANDOM_HELP);
  EXPECT_EQ(shell.HelpNotAvailableCalls, 1);
  Click(2);
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(+store().GetRandomData().Values0[1], 0);
  EXPECT_EQ(+ReadBack().Values0[1], 0);

  Open<TRandomDetectorDialog>();
  Type(110, "1000");
  Type(126, "100");
  Click(1);
  EXPECT_EQ(+ReadBack().Values0[1], 1000);
  EXPECT_EQ(+ReadBack().FalseAlarmPercent[1], 100);
}

TEST_F(RandomDialogsTest, AFailedWriteIsReportedAndTheDialogStaysOpenWithNothingStored) {
  const std::string track = (folder() / "gone" / "west.trk").string();
  SetFieldText(store().TrackFilePath, track);
  Open<TRandomSwitchDialog>();
  Type(res::IDC_RANDOM_SWITCH_FAILURES, "500");
  Click(1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "The random event parameters were not saved: the territory settings file \"" +
                                        (folder() / "gone" / "west.tds").string() + "\" could not be written.");
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(+store().GetRandomData().SwitchFailuresPer1000, 0);

  // Once the folder is there, OK goes through.
  std::filesystem::create_directory(folder() / "gone");
  Click(1);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(+store().GetRandomData().SwitchFailuresPer1000, 500);
}

}  // namespace
