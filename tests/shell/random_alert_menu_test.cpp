// The Random menu's three parameter dialogs and Options > Alert Parameters in
// the running program: each opens from its menu item over a held clock, works
// through its own widgets and writes its settings file, which a restart reads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "engine/engine.h"
#include "platform/bar_fields.h"
#include "platform/controls.h"
#include "resources/alert_dialog_ids.h"
#include "resources/random_dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/fake_services.h"

namespace {

class RandomAlertMenuTest : public ::testing::Test {
 protected:
  RandomAlertMenuTest() {
    EnsureQApplication();
    Corvane3Data writer;
    territory::BuildDemonstrationTerritory(writer);  // three train types and a wayside detector
    EXPECT_EQ(TrackFile(writer).Write(folder_.filePath("default.trk").toStdString(), 0), 0);
  }
  ~RandomAlertMenuTest() override { app_.reset(); }

  // The program starts on the demonstration territory, and a run goes.
  void Start() {
    app_.reset();
    app_ = std::make_unique<TCorvane3App>(QStringList{folder_.filePath("corvane3")}, &messages);
    app_->InitMainWindow();
    TheStore = &app_->Store();
    QCoreApplication::processEvents();  // the start-up load
    messages.Calls.clear();
    RunState& run = TheStore->Run;
    run.SimStopped = 0;
    run.RunStarted = 1;
    TheStore->SimClock = 3600;
  }
  void Restart() {
    messages.ScriptAnswers({MessageResult::Yes});
    ASSERT_TRUE(TheMainFrame->CanClose());
    Start();
  }

  // Chooses the menu item and acts on the dialog it opens; checks the clock holds while it is open.
  void Choose(int command, std::function<void(QDialog*)> act) {
    ASSERT_TRUE(TheMainFrame->Commands().IsEnabled(command)) << command;
    bool opened = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      opened = true;
      EXPECT_EQ(+TheStore->Run.SimPaused, 1);
      EXPECT_EQ(RunStateField->text(), "Stop");
      const int32_t clock = TheStore->SimClock;
      TheLayoutWindow->TheEngine().Tick();
      EXPECT_EQ(TheStore->SimClock, clock) << "the clock holds while the dialog is open";
      act(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    ASSERT_TRUE(TheMainFrame->Commands().Dispatch(command));
    EXPECT_TRUE(opened);
    EXPECT_EQ(+TheStore->Run.SimPaused, 0);
    EXPECT_EQ(RunStateField->text(), "Run");
  }
  static QLineEdit* Field(QDialog* dialog, int id) { return FindControl<QLineEdit>(dialog, id); }
  static void Click(QDialog* dialog, int id) { FindControl<QPushButton>(dialog, id)->click(); }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
};

TEST_F(RandomAlertMenuTest, SwitchFailuresRefuse1001AndKeep1000AcrossARestart) {
  Start();
  Choose(res::CM_RANDOM_FAILURES, [this](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Random Switch and Signal Failure Parameters");
    Field(dialog, res::IDC_RANDOM_SWITCH_FAILURES)->setText("1001");
    Click(dialog, 1);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, "The switch failure parameter cannot be greater than 1000.");
    EXPECT_TRUE(dialog->isVisible());
    Field(dialog, res::IDC_RANDOM_SWITCH_FAILURES)->setText("1000");
    Click(dialog, 1);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(+TheStore->GetRandomData().SwitchFailuresPer1000, 1000);

  Restart();
  EXPECT_EQ(+TheStore->GetRandomData().SwitchFailuresPer1000, 1000) << "read back from the territory settings file";
  Choose(res::CM_RANDOM_FAILURES,
         [](QDialog* dialog) { EXPECT_EQ(Field(dialog, res::IDC_RANDOM_SWITCH_FAILURES)->text(), "1000"); });
}

TEST_F(RandomAlertMenuTest, TrainAndDetectorDialogsShowTheTerritorysRows) {
  Start();
  int trainRows = 0;
  for (int slot = 0; slot < 10; ++slot) trainRows += TheStore->GetTrainType(slot).InUse == 1;
  ASSERT_EQ(trainRows, 3);
  Choose(res::CM_RANDOM_TRAINS, [this](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Random Train Parameters");
    int shown = 0;
    for (const res::RandomTrainRowIds& ids : res::kRandomTrainRows) shown += FindControl(dialog, ids.Name)->isVisible();
    EXPECT_EQ(shown, 3);
    Field(dialog, res::kRandomTrainRows[0].LateArrivals)->setText("101");
    Click(dialog, 1);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, "The late train arrival performance parameter cannot be greater than 100%.");
    Field(dialog, res::kRandomTrainRows[0].LateArrivals)->setText("25");
    Click(dialog, 1);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(+TheStore->GetRandomData().LateStartPercent[0], 25);

  Choose(res::CM_RANDOM_DETECTORS, [](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Random Defect Detector Parameters");
    const DetectorData detector = TheStore->GetDetectorData(0);
    ASSERT_EQ(+detector.InUse, 1);
    EXPECT_EQ(FindControl<QLabel>(dialog, res::kRandomDetectorRows[0].Name)->text().toStdString(),
              FieldText(detector.Description));
    Field(dialog, res::kRandomDetectorRows[0].Alarms)->setText("1000");
    Click(dialog, 1);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(+TheStore->GetRandomData().Values0[0], 1000);
}

TEST_F(RandomAlertMenuTest, AlertParametersTurnTheDetectorAlarmPairOffInTheOptionFile) {
  Start();
  Choose(res::CM_ALERT_PARAMETERS, [](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Alerts Parameters");
    // The default sound files are not installed here.
    for (const res::AlertRowIds& row : res::kAlertRows) Field(dialog, row.WaveFile)->clear();
    FindControl<QCheckBox>(dialog, 113)->setChecked(false);
    Click(dialog, 1);
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_TRUE(messages.Calls.empty());

  // OK wrote the option file at once.
  Corvane3Data reader;
  SetFieldText(reader.ProgramFolder, folder_.path().toStdString());
  ASSERT_EQ(SettingsFiles(reader).LoadOptions(), 0);
  const AlertData alerts = reader.GetAlertData();
  EXPECT_EQ(+alerts.Enabled[2], 0);
  EXPECT_EQ(+alerts.Enabled[10], 0);
  EXPECT_EQ(+alerts.Enabled[0], 1);
}

TEST_F(RandomAlertMenuTest, TheUntouchedAlertParametersOKOnAFreshInstall) {
  // A fresh install: the program folder holds the shipped sounds and no option file.
  for (const QString& sound : QDir(CORVANE_SOUNDS_DIR).entryList({"*.wav"}, QDir::Files)) {
    ASSERT_TRUE(QFile::copy(QString(CORVANE_SOUNDS_DIR) + sound, folder_.filePath(sound))) << sound.toStdString();
  }
  Start();
  ASSERT_EQ(TheStore->FirstRunHints, 1);
  Choose(res::CM_ALERT_PARAMETERS, [](QDialog* dialog) {
    EXPECT_EQ(Field(dialog, res::kAlertRows[0].WaveFile)->text(), "tr_arrived.wav");
    Click(dialog, 1);
    EXPECT_FALSE(dialog->isVisible()) << "OK closes";
  });
  for (const MessageCall& call : messages.Calls) ADD_FAILURE() << call.Text;

  Corvane3Data reader;
  SetFieldText(reader.ProgramFolder, folder_.path().toStdString() + "/");
  ASSERT_EQ(SettingsFiles(reader).LoadOptions(), 0) << "OK wrote the option file";
  EXPECT_EQ(FieldText(reader.GetAlertData().WaveFiles[1]), "tr_stopped_signal.wav");
}

}  // namespace
