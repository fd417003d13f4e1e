#include "dialogs/train_entry_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "dialogs/dialog_kit.h"
#include "platform/controls.h"
#include "resources/train_dialog_ids.h"
#include "store/fixed_text.h"
#include "store/run_times.h"

namespace {

constexpr int kTrainNameChars = 21;
constexpr int kLocationChars = 5;
constexpr int kTimeChars = 6;
constexpr int32_t kPastWindow = 8 * 3600;

}  // namespace

int32_t GrantedEntryTime(int minuteOfDay, int32_t clock) {
  int32_t granted = minuteOfDay * 60 + (clock / kSecondsPerDay) * kSecondsPerDay;
  if (granted < clock - kPastWindow) granted += kSecondsPerDay;
  return granted < clock ? clock : granted;
}

TTrainEntryDialog::TTrainEntryDialog(QWidget* parent, Corvane3Data& store, int trainSlot, int locationIndex)
    : QDialog(parent), store_(store), slot_(trainSlot) {
  SetControlId(this, res::IDD_TRAIN_ENTRY);
  setWindowTitle("Train Entry Request");
  setModal(false);
  setAttribute(Qt::WA_ShowWithoutActivating);

  TrainStatus status = store_.GetTrainStatus(slot_);
  status.EntryDialogOpen = 1;
  store_.UpdateTrainStatus(slot_, status);

  const QString train = QString::fromStdString(FieldText(status.TrainId));
  const QString location = QString::fromStdString(FieldText(store_.GetOrgData(locationIndex).Name));
  auto* layout = new QVBoxLayout(this);
  auto* line = new QHBoxLayout;
  line->addWidget(new QLabel("Train", this));
  line->addWidget(MakeReadOnlyField(this, res::IDC_ENTRY_TRAIN, train, kTrainNameChars));
  line->addWidget(new QLabel("requests", this));
  layout->addLayout(line);
  line = new QHBoxLayout;
  line->addWidget(new QLabel("permission to enter territory at location", this));
  line->addWidget(MakeReadOnlyField(this, res::IDC_ENTRY_LOCATION, location, kLocationChars));
  line->addWidget(new QLabel("at", this));
  QLineEdit* time = MakeTimeField(this, res::IDC_ENTRY_TIME, ClockTimeOfDay(store_.GetSimClock()), kTimeChars);
  line->addWidget(time);
  layout->addLayout(line);

  QPushButton* authorized = MakeButton(this, res::IDC_ENTRY_AUTHORIZED, "Authorized");
  authorized->setDefault(true);
  QPushButton* later = MakeButton(this, res::IDC_ENTRY_REQUEST_LATER, " Request Later");
  QPushButton* help = MakeButton(this, res::IDC_TRAIN_DIALOG_HELP, "Help");
  connect(authorized, &QPushButton::clicked, this, &TTrainEntryDialog::CmAuthorized);
  connect(later, &QPushButton::clicked, this, &TTrainEntryDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { ShowHelp(store_, "territory entry request"); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(authorized);
  buttons->addWidget(later);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  time->setFocus();
}

QLineEdit* TTrainEntryDialog::Field(int id) const { return FindControl<QLineEdit>(this, id); }

void TTrainEntryDialog::CmAuthorized() {
  QLineEdit* field = Field(res::IDC_ENTRY_TIME);
  const int minutes = store_.GetTimeField(field->text().left(10).toStdString(), "Time Granted");
  if (minutes < 0) {
    field->setFocus();
    field->selectAll();
    return;
  }
  TrainStatus status = store_.GetTrainStatus(slot_);
  // The engine may have let the train go while the message box was up.
  if (status.InUse == 1) {
    status.HeadEventTime = GrantedEntryTime(minutes, store_.GetSimClock());
    status.EntryGranted = 1;
    store_.UpdateTrainStatus(slot_, status);
  }
  Dismiss();
}

void TTrainEntryDialog::reject() { Dismiss(); }

void TTrainEntryDialog::Dismiss() {
  Destroy();
  hide();
  deleteLater();  // not at once: this may run inside one of the window's own handlers
}

void TTrainEntryDialog::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  TrainStatus status = store_.GetTrainStatus(slot_);
  status.EntryDialogOpen = 0;
  store_.UpdateTrainStatus(slot_, status);
}

TrainEntryWindows::~TrainEntryWindows() {
  for (QPointer<TTrainEntryDialog>& window : windows_) delete window.data();
}

void TrainEntryWindows::Open(int trainSlot, int locationIndex) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus || locationIndex < 0 || locationIndex >= kMaxLocations) {
    store_.InternalErrorTrap(trainSlot, "Train index error - OpenTrainEntryDialog");
    return;
  }
  Close(trainSlot);
  auto* window = new TTrainEntryDialog(parent_.data(), store_, trainSlot, locationIndex);
  window->adjustSize();
  QPoint at(80, 80);
  if (parent_) at = parent_->mapToGlobal(parent_->rect().center()) - window->rect().center();
  // Shifted by slot, so that the requests of up to 20 trains do not cover each other exactly.
  if (at.x() >= 0) {
    const int offset = 10 * (trainSlot % 20);
    at += QPoint(offset, offset);
  }
  window->move(at);
  window->show();
  windows_[trainSlot] = window;
}

void TrainEntryWindows::Focus(int trainSlot) {
  TTrainEntryDialog* window = Window(trainSlot);
  if (window == nullptr) return;
  window->show();
  window->raise();
  window->activateWindow();
  window->Field(res::IDC_ENTRY_TIME)->setFocus();
}

void TrainEntryWindows::Close(int trainSlot) {
  TTrainEntryDialog* window = Window(trainSlot);
  if (window == nullptr) return;
  window->Dismiss();
  windows_[trainSlot] = nullptr;
}

void TrainEntryWindows::CloseAll() {
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) Close(slot);
}

TTrainEntryDialog* TrainEntryWindows::Window(int trainSlot) const {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) return nullptr;
  return windows_[trainSlot].data();
}
