#include "dialogs/playback_time_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/help.h"
#include "resources/playback_time_ids.h"
#include "store/corvane3_data.h"
#include "store/playback_jump.h"

namespace {

QLineEdit* MakeEdit(QWidget* parent, int id, const std::string& text, int maxLength, const char* characters) {
  auto* edit = new QLineEdit(QString::fromStdString(text), parent);
  edit->setObjectName(QString::number(id));
  edit->setMaxLength(maxLength);
  if (characters) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(characters), edit));
  } else {
    edit->setReadOnly(true);
  }
  return edit;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TPlayBackTimeDialog::TPlayBackTimeDialog(QWidget* parent, Corvane3Data& store, const std::string& playbackFile,
                                         int32_t clockAtStart)
    : QDialog(parent), store_(store), clockAtStart_(clockAtStart) {
  setObjectName(QString::number(res::IDD_PLAYBACK_TIME));
  setWindowTitle("Simluation Playback Time");
  setModal(true);

  const PlaybackStartFields start = MakePlaybackStartFields(clockAtStart);
  auto* day = new QComboBox(this);
  day->setObjectName(QString::number(res::IDC_PLAYBACK_JUMP_DAY));
  for (const char* name : kPlaybackDayNames) day->addItem(name);
  day->setCurrentIndex(start.Day);
  auto* autoScroll = new QCheckBox("Automatically scroll screen", this);
  autoScroll->setObjectName(QString::number(res::IDC_PLAYBACK_AUTO_SCROLL));
  autoScroll->setChecked(store.GetOptionData().AutoScroll == 1);

  auto* form = new QFormLayout;
  form->addRow("Playback File", MakeEdit(this, res::IDC_PLAYBACK_FILE, playbackFile, 254, nullptr));
  form->addRow("Playback start time", MakeEdit(this, res::IDC_PLAYBACK_START_TIME, start.TimeText, 5, nullptr));
  form->addRow("day of week", MakeEdit(this, res::IDC_PLAYBACK_START_DAY, start.DayText, 3, nullptr));
  form->addRow("Jump to start time", MakeEdit(this, res::IDC_PLAYBACK_JUMP_TIME, start.TimeText, 5, "[0-9:]*"));
  form->addRow("day of week", day);
  form->addRow("week", MakeEdit(this, res::IDC_PLAYBACK_JUMP_WEEK, "0", 2, "[0-9]*"));
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

QWidget* TPlayBackTimeDialog::Control(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

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

void TPlayBackTimeDialog::CmHelp() {
  if (store_.HelpAvailable == 1 && OpenHelp("corvane3.hlp", "playback mode")) return;
  store_.Shell().ShowHelpNotAvailable();
}
