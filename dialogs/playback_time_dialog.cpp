#include "dialogs/playback_time_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/playback_time_ids.h"
#include "store/corvane3_data.h"
#include "store/playback_jump.h"

TPlayBackTimeDialog::TPlayBackTimeDialog(QWidget* parent, Corvane3Data& store, const std::string& playbackFile,
                                         int32_t clockAtStart)
    : QDialog(parent), store_(store), clockAtStart_(clockAtStart) {
  SetControlId(this, res::IDD_PLAYBACK_TIME);
  setWindowTitle("Simluation Playback Time");
  setModal(true);

  const PlaybackStartFields start = MakePlaybackStartFields(clockAtStart);
  auto* day = new QComboBox(this);
  SetControlId(day, res::IDC_PLAYBACK_JUMP_DAY);
  for (const char* name : kPlaybackDayNames) day->addItem(name);
  day->setCurrentIndex(start.Day);
  auto* autoScroll = new QCheckBox("Automatically scroll screen", this);
  SetControlId(autoScroll, res::IDC_PLAYBACK_AUTO_SCROLL);
  autoScroll->setChecked(store.GetOptionData().AutoScroll == 1);

  auto* form = new QFormLayout;
  const QString startTime = QString::fromStdString(start.TimeText);
  form->addRow("Playback File",
               MakeReadOnlyField(this, res::IDC_PLAYBACK_FILE, QString::fromStdString(playbackFile), 254));
  form->addRow("Playback start time", MakeReadOnlyField(this, res::IDC_PLAYBACK_START_TIME, startTime, 5));
  form->addRow("day of week",
               MakeReadOnlyField(this, res::IDC_PLAYBACK_START_DAY, QString::fromStdString(start.DayText), 3));
  form->addRow("Jump to start time", MakeTimeField(this, res::IDC_PLAYBACK_JUMP_TIME, startTime));
  form->addRow("day of week", day);
  form->addRow("week", MakeNumberField(this, res::IDC_PLAYBACK_JUMP_WEEK, "0", 2));
  form->addRow(autoScroll);

  QPushButton* ok = MakeButton(this, 1, "OK");
  ok->setDefault(true);
  QPushButton* cancel = MakeButton(this, 2, "Cancel");
  QPushButton* help = MakeButton(this, res::IDC_PLAYBACK_HELP, "Help");
  connect(ok, &QPushButton::clicked, this, &TPlayBackTimeDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TPlayBackTimeDialog::reject);
  connect(help, &QPushButton::clicked, this, &TPlayBackTimeDialog::CmHelp);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

QWidget* TPlayBackTimeDialog::Control(int id) const { return FindControl(this, id); }

void TPlayBackTimeDialog::accept() {
  auto* time = static_cast<QLineEdit*>(Control(res::IDC_PLAYBACK_JUMP_TIME));
  auto* day = static_cast<QComboBox*>(Control(res::IDC_PLAYBACK_JUMP_DAY));
  auto* week = static_cast<QLineEdit*>(Control(res::IDC_PLAYBACK_JUMP_WEEK));
  auto* autoScroll = static_cast<QCheckBox*>(Control(res::IDC_PLAYBACK_AUTO_SCROLL));
  switch (ApplyPlaybackJump(store_, time->text().toStdString(), day->currentIndex(), week->text().toStdString(),
                            autoScroll->isChecked(), clockAtStart_)) {
    case PlaybackJumpAnswer::StayOnTime:
      time->setFocus();
      return;
    case PlaybackJumpAnswer::StayOnDay:
      day->setFocus();
      return;
    case PlaybackJumpAnswer::Done:
      QDialog::accept();
      return;
  }
}

void TPlayBackTimeDialog::CmHelp() { ShowHelp(store_, "playback mode"); }
