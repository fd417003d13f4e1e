#include "dialogs/dialog_kit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/controls.h"
#include "platform/help.h"
#include "resources/strings.h"
#include "store/corvane3_data.h"
#include "store/run_times.h"

void ShowHelp(Corvane3Data& store, const std::string& keyword) {
  if (!OpenProgramHelp(store.HelpAvailable == 1, keyword)) store.Shell().ShowHelpNotAvailable();
}

QPushButton* MakeHelpButton(QDialog& dialog, Corvane3Data& store, int helpId, const std::string& keyword) {
  QPushButton* help = MakeButton(&dialog, helpId, "Help");
  QObject::connect(help, &QPushButton::clicked, &dialog, [&store, keyword] { ShowHelp(store, keyword); });
  return help;
}

QPushButton* MakeCancelButton(QDialog& dialog) {
  QPushButton* cancel = MakeButton(&dialog, 2, "Cancel");
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  return cancel;
}

QHBoxLayout* CentredButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : buttons) row->addWidget(button);
  row->addStretch();
  return row;
}

namespace {

// The frame round the fields over the row of OK, Cancel and the button given (none when null).
void LayOutFrame(QDialog& dialog, QLayout* fields, QPushButton* help) {
  auto* frame = new QGroupBox(&dialog);
  frame->setLayout(fields);
  QPushButton* ok = MakeButton(&dialog, 1, "OK");
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(frame);
  QPushButton* cancel = MakeCancelButton(dialog);
  layout->addLayout(help != nullptr ? CentredButtonRow({ok, cancel, help}) : CentredButtonRow({ok, cancel}));
}

}  // namespace

void LayOutFramedDialog(QDialog& dialog, QLayout* fields, Corvane3Data& store, int helpId, const std::string& keyword) {
  LayOutFrame(dialog, fields, MakeHelpButton(dialog, store, helpId, keyword));
}

void LayOutFramedDialog(QDialog& dialog, QLayout* fields) { LayOutFrame(dialog, fields, nullptr); }

void RefuseReadOnlyChange(Corvane3Data& store) { store.ShowMessage(res::kReadOnlyDisplay, MessageIcon::Error); }

std::function<bool(const QString&)> TimeFieldCheck(Corvane3Data& store, const std::string& fieldName) {
  return [&store, fieldName](const QString& text) { return store.GetTimeField(text.toStdString(), fieldName) >= 0; };
}

DialogLock::DialogLock(Corvane3Data& store) : store_(store), held_(store.OpenDialog() == 1) {}

DialogLock::~DialogLock() {
  if (held_) store_.CloseDialog();
}

QString ClockTimeOfDay(int32_t clock) {
  const int32_t time = ((clock % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  return QString::asprintf("%02d:%02d", time / 3600, time % 3600 / 60);
}
