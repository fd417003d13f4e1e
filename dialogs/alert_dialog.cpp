#include "dialogs/alert_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "platform/file_dialogs.h"
#include "resources/alert_dialog_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/sound_files.h"
#include "store/track_file.h"

namespace {

constexpr int kWaveFileChars = 254;
constexpr int kWaveIsWave = 0;
constexpr int kWaveCannotOpen = 3;

std::string Named(const char* format, const std::string& value) {
  std::string text(format);
  text.replace(text.find("%s"), 2, value);
  return text;
}

// A file that can be opened for reading (a folder cannot).
bool CanRead(const QString& path) {
  QFile file(path);
  return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}

}  // namespace

TAlertData::TAlertData(QWidget* parent, Corvane3Data& store) : QDialog(parent), store_(store) {
  SetControlId(this, res::IDD_ALERT_OPTIONS);
  setWindowTitle("Alerts Parameters");
  setModal(true);

  const AlertData alerts = store.GetAlertData();
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Alerts"), 0, 1);
  grid->addWidget(new QLabel("Bells"), 0, 2);
  grid->addWidget(new QLabel("Sound File"), 0, 3);
  for (int row = 0; row < static_cast<int>(res::kAlertRows.size()); ++row) {
    const res::AlertRowIds& ids = res::kAlertRows[row];
    const int line = row + 1;
    if (ids.Slot == 6) {
      // The late departure row carries its threshold in minutes beside its text.
      auto* label = new QHBoxLayout;
      label->addWidget(new QLabel(ids.Label));
      label->addWidget(
          MakeNumberField(this, res::IDC_ALERT_LATE_MINUTES, QString::number(alerts.LateArrivalMinutes), 2));
      label->addWidget(new QLabel("minutes"));
      label->addStretch();
      grid->addLayout(label, line, 0);
    } else {
      grid->addWidget(new QLabel(ids.Label), line, 0);
    }
    auto* enabled = new QCheckBox("Yes", this);
    SetControlId(enabled, ids.Enabled);
    enabled->setChecked(alerts.Enabled[ids.Slot] == 1);
    grid->addWidget(enabled, line, 1);
    grid->addWidget(MakeNumberField(this, ids.Bells, QString::number(alerts.Bells[ids.Slot]), 1), line, 2);
    QLineEdit* wave = MakeTextField(this, ids.WaveFile, QString::fromStdString(FieldText(alerts.WaveFiles[ids.Slot])),
                                    kWaveFileChars);
    wave->setMinimumWidth(260);
    grid->addWidget(wave, line, 3);
    QPushButton* browse = MakeButton(this, ids.Browse, "Browse");
    QPushButton* test = MakeButton(this, ids.Test, "Test");
    connect(browse, &QPushButton::clicked, this, [this, row] { CmBrowse(row); });
    connect(test, &QPushButton::clicked, this, [this, row] { CmTest(row); });
    grid->addWidget(browse, line, 4);
    grid->addWidget(test, line, 5);
  }
  LayOutFramedDialog(*this, grid, store_, res::IDC_ALERT_HELP, "alert options");
}

QLineEdit* TAlertData::WaveField(int row) const { return FindControl<QLineEdit>(this, res::kAlertRows[row].WaveFile); }

std::string TAlertData::WavePath(int row) const {
  return WaveFilePath(FieldText(store_.ProgramFolder), WaveField(row)->text().toStdString());
}

void TAlertData::CmTest(int row) {
  const QString path = QString::fromStdString(WavePath(row));
  if (path.isEmpty()) {
    store_.ShowMessage("There is no sound file assigned to this alert.", MessageIcon::Error);
    return;
  }
  if (!CanRead(path)) {
    store_.ShowMessage(Named("We cannot open the sound file \"%s\".  Please make sure it exists.  Please check "
                             "and re-enter.",
                             path.toStdString()),
                       MessageIcon::Error);
    return;
  }
  store_.Shell().PlayWaveFile(path.toStdString());  // a sound that cannot play stays silent
}

void TAlertData::CmBrowse(int row) {
  QLineEdit* wave = WaveField(row);
  // The file dialog starts at the row's file when its folder exists, else in the program folder.
  const QFileInfo current(wave->text());
  QString folder = QString::fromStdString(FieldText(store_.ProgramFolder));
  if (!wave->text().isEmpty() && wave->text().contains('/') && current.absoluteDir().exists()) {
    folder = current.absolutePath();
  }
  const QString start = current.fileName().isEmpty() ? folder : QDir(folder).filePath(current.fileName());
  const std::string chosen = AskOpenFileName(this, "", "Wave Files (*.wav)|*.wav", start.toStdString());
  if (chosen.empty()) return;
  if (CheckWaveFile(chosen) != kWaveIsWave) {
    store_.ShowMessage("Not a legal wave file!", MessageIcon::Error);
    return;
  }
  wave->setText(QFileInfo(QString::fromStdString(chosen)).absoluteFilePath());
}

void TAlertData::accept() {
  QLineEdit* firstBad = nullptr;
  for (int row = 0; row < static_cast<int>(res::kAlertRows.size()); ++row) {
    QLineEdit* wave = WaveField(row);
    if (wave->text().isEmpty()) continue;
    const int check = CheckWaveFile(WavePath(row));
    if (check == kWaveIsWave) continue;
    const char* format = check == kWaveCannotOpen ? "Wave file for alert \"%s\" does not exist."
                                                  : "Alert \"%s\" sound file is not a legal Wave file.";
    store_.ShowMessage(Named(format, res::kAlertRows[row].Name), MessageIcon::Error);
    if (!firstBad) firstBad = wave;
  }
  if (firstBad) {
    firstBad->setFocus();
    return;
  }

  // Fields left as shown keep what is stored: a bell count of 65535 is "none", wider than the one digit typed.
  AlertData alerts = store_.GetAlertData();
  for (const res::AlertRowIds& ids : res::kAlertRows) {
    alerts.Enabled[ids.Slot] = FindControl<QCheckBox>(this, ids.Enabled)->isChecked() ? 1 : 0;
    alerts.Bells[ids.Slot] = KeptNumber<uint16_t>(FindControl<QLineEdit>(this, ids.Bells), alerts.Bells[ids.Slot], 0);
    const QLineEdit* wave = FindControl<QLineEdit>(this, ids.WaveFile);
    if (TextEdited(wave)) SetFieldText(alerts.WaveFiles[ids.Slot], wave->text().toStdString());
  }
  alerts.Enabled[res::kAlertFollowsDetectorAlarm] = alerts.Enabled[res::kAlertDetectorAlarm];
  alerts.LateArrivalMinutes =
      KeptNumber<uint8_t>(FindControl<QLineEdit>(this, res::IDC_ALERT_LATE_MINUTES), alerts.LateArrivalMinutes, 0);
  // The option file's writer reports its own failure.
  if (store_.UpdateAlertData(alerts) != 0) return;
  QDialog::accept();
}
