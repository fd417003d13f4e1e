// The alert options dialog: its rows filled from the store, Test and Browse,
// the wave file checks at OK, the detector alarm's companion alert, and the
// option file written at OK.
#include "dialogs/alert_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/controls.h"
#include "resources/alert_dialog_ids.h"
#include "store/fixed_text.h"
#include "store/settings_files.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"

namespace {

// A file whose bytes 8 to 11 read "WAVE", as a wave file's header does.
void WriteWave(const std::filesystem::path& path) {
  std::ofstream(path, std::ios::binary) << std::string("RIFF\x24\0\0\0WAVEfmt ", 16) << std::string(24, '\0');
}

class AlertDialogTest : public StoreFixture {
 protected:
  AlertDialogTest() {
    EnsureQApplication();
    store().SetDefaultOptions();
    SetFieldText(store().ProgramFolder, kPathChars, folder().string());
    dialog_ = std::make_unique<TAlertData>(nullptr, store());
    dialog_->show();
  }
  template <class Control = QLineEdit>
  Control* At(int id) {
    return FindControl<Control>(dialog_.get(), id);
  }
  void Click(int id) { At<QPushButton>(id)->click(); }
  // Every row's wave file emptied, so that OK looks at the rows a test fills.
  void ClearWaves() {
    for (const res::AlertRowIds& row : res::kAlertRows) At(row.WaveFile)->clear();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
  std::filesystem::path OptionFile() const { return folder() / "CV3 option.tds"; }
  // Answers the next file dialog with a path (or cancels it) and notes the folder it started in.
  void AnswerFileDialog(const std::string& path) {
    WhenModalOpens([this, path](QWidget* modal) {
      auto* files = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(files, nullptr);
      startFolder_ = files->directory().absolutePath().toStdString();
      if (path.empty()) {
        files->reject();
      } else {
        files->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(files)->accept();
      }
    });
  }

  std::unique_ptr<TAlertData> dialog_;
  std::string startFolder_;
};

TEST_F(AlertDialogTest, FillsEveryRowFromTheStore) {
  EXPECT_EQ(dialog_->windowTitle(), "Alerts Parameters");
  EXPECT_EQ(dialog_->objectName(), "50");
  for (const res::AlertRowIds& row : res::kAlertRows) {
    EXPECT_TRUE(At<QCheckBox>(row.Enabled)->isChecked()) << row.Slot;
    EXPECT_EQ(At(row.Bells)->text(), "0") << row.Slot;
    ASSERT_NE(At<QPushButton>(row.Browse), nullptr) << row.Slot;
    ASSERT_NE(At<QPushButton>(row.Test), nullptr) << row.Slot;
  }
  EXPECT_EQ(At(2016)->text(), "tr_arrived.wav");
  EXPECT_EQ(At(2040)->text(), "");
  EXPECT_EQ(At(135)->text(), "crew_expired.wav");
  EXPECT_EQ(At(res::IDC_ALERT_LATE_MINUTES)->text(), "5");
  EXPECT_EQ(At(2015)->maxLength(), 1);
  EXPECT_EQ(At(res::IDC_ALERT_LATE_MINUTES)->maxLength(), 2);
  EXPECT_EQ(At(2016)->maxLength(), 254);
  QString letters = "x";
  int position = 0;
  EXPECT_EQ(At(2015)->validator()->validate(letters, position), QValidator::Invalid);
}

TEST_F(AlertDialogTest, TestSaysWhatIsMissingAndPlaysAFileThatOpens) {
  const std::filesystem::path wave = folder() / "horn.wav";
  WriteWave(wave);
  Click(149);  // the train problem row has no file
  At(2016)->setText(QString::fromStdString((folder() / "none.wav").string()));
  Click(146);
  At(2016)->setText(QString::fromStdString(wave.string()));
  Click(146);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"There is no sound file assigned to this alert.",
                                               "We cannot open the sound file \"" + (folder() / "none.wav").string() +
                                                   "\".  Please make sure it exists.  Please check and re-enter."}));
  EXPECT_EQ(shell.WavesPlayed, std::vector<std::string>{wave.string()});
}

TEST_F(AlertDialogTest, OkRefusesEveryMissingOrWrongWaveFileInSlotOrder) {
  ClearWaves();
  const std::filesystem::path text = folder() / "notes.wav";
  std::ofstream(text) << "These are not the sounds you are looking for.\n";
  At(2034)->setText(QString::fromStdString(text.string()));                        // slot 2
  At(140)->setText(QString::fromStdString((folder() / "gone.wav").string()));      // slot 11
  At(2036)->setText(QString::fromStdString((folder() / "missing.wav").string()));  // slot 5
  Click(1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Alert \"Train stopped - detector alarm\" sound file is not a legal "
                                               "Wave file.",
                                               "Wave file for alert \"Block permit (Time & Track) active\" does "
                                               "not exist.",
                                               "Wave file for alert \"Crew Warning\" does not exist."}));
  for (const MessageCall& call : messages.Calls) EXPECT_EQ(call.Icon, MessageIcon::Error);
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(dialog_->focusWidget(), At(2034));
  EXPECT_FALSE(std::filesystem::exists(OptionFile())) << "nothing stored";
  EXPECT_EQ(FieldText(store().GetAlertData().WaveFiles[2]), "tr_st_det_alarm.wav");
}

TEST_F(AlertDialogTest, OkStoresEveryRowTheDetectorAlarmsCompanionAndWritesTheOptionFile) {
  ClearWaves();
  const std::filesystem::path wave = folder() / "bell.WAV";
  WriteWave(wave);
  At(2035)->setText(QString::fromStdString(wave.string()));  // slot 4
  At<QCheckBox>(113)->setChecked(false);                     // detector alarm, slot 2
  At<QCheckBox>(138)->setChecked(false);                     // crew warning, slot 11
  At(2015)->setText("3");
  At(129)->setText("");  // empty bells are 0
  At(res::IDC_ALERT_LATE_MINUTES)->setText("15");
  Click(1);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_FALSE(dialog_->isVisible());

  Corvane3Data other;
  SetFieldText(other.ProgramFolder, kPathChars, folder().string());
  ASSERT_EQ(SettingsFiles(other).LoadOptions(), 0);
  for (const AlertData& alerts : {store().GetAlertData(), other.GetAlertData()}) {
    EXPECT_EQ(+alerts.Enabled[2], 0);
    EXPECT_EQ(+alerts.Enabled[10], 0) << "follows the detector alarm";
    EXPECT_EQ(+alerts.Enabled[11], 0);
    EXPECT_EQ(+alerts.Enabled[1], 1);
    EXPECT_EQ(+alerts.Bells[0], 3);
    EXPECT_EQ(+alerts.Bells[12], 0);
    EXPECT_EQ(+alerts.LateArrivalMinutes, 15);
    EXPECT_EQ(FieldText(alerts.WaveFiles[4]), wave.string());
    EXPECT_EQ(FieldText(alerts.WaveFiles[0]), "");
  }
}

TEST_F(AlertDialogTest, BrowseTakesOnlyAWaveFileAndStartsInTheRowsFolder) {
  std::filesystem::create_directory(folder() / "sounds");
  const std::filesystem::path wave = folder() / "sounds" / "whistle.wav";
  const std::filesystem::path text = folder() / "sounds" / "readme.wav";
  WriteWave(wave);
  std::ofstream(text) << "not a sound\n";
  const std::string program = QDir(QString::fromStdString(folder().string())).absolutePath().toStdString();

  // A bare name has no folder of its own: the program folder.
  AnswerFileDialog(wave.string());
  Click(2017);
  EXPECT_EQ(startFolder_, program);
  EXPECT_EQ(At(2016)->text().toStdString(), wave.string());

  AnswerFileDialog(text.string());
  Click(2017);
  EXPECT_EQ(startFolder_, (folder() / "sounds").string());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Not a legal wave file!"});
  EXPECT_EQ(At(2016)->text().toStdString(), wave.string());

  AnswerFileDialog("");  // cancelled
  Click(2017);
  EXPECT_EQ(At(2016)->text().toStdString(), wave.string());
  Click(2);
  EXPECT_EQ(FieldText(store().GetAlertData().WaveFiles[0]), "tr_arrived.wav");
  EXPECT_FALSE(std::filesystem::exists(OptionFile()));
}

TEST_F(AlertDialogTest, AFailedOptionFileWriteKeepsTheDialogOpenAndTheStoreAsItWas) {
  ClearWaves();
  SetFieldText(store().ProgramFolder, kPathChars, (folder() / "gone").string());
  At<QCheckBox>(111)->setChecked(false);
  Click(1);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Could not open or create Options File!"});
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(+store().GetAlertData().Enabled[0], 1);
}

}  // namespace
