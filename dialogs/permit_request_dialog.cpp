#include "dialogs/permit_request_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_kit.h"
#include "engine/engine.h"
#include "platform/controls.h"
#include "resources/permit_request_ids.h"

namespace {

constexpr int kFieldChars = 20;

QLineEdit* MakeField(QWidget* parent, int id, const std::string& text, bool typed) {
  const QString shown = QString::fromStdString(text);
  return typed ? MakeTimeField(parent, id, shown, kFieldChars) : MakeReadOnlyField(parent, id, shown, kFieldChars);
}

}  // namespace

TPermitRequestDialog::TPermitRequestDialog(QWidget* parent, Corvane3Data& store,
                                           std::shared_ptr<PermitRequestForm> request)
    : QDialog(parent), store_(store), request_(std::move(request)) {
  SetControlId(this, res::IDD_PERMIT_REQUEST);
  setWindowTitle("Permit (Track & Time) Request");
  setModal(false);

  const PermitRequestForm::Fields fields = request_->SetupWindow();
  auto* form = new QFormLayout;
  form->addRow("Track name", MakeField(this, res::IDC_PERMIT_TRACK_NAME, fields.TrackName, false));
  form->addRow("Requestor", MakeField(this, res::IDC_PERMIT_REQUESTOR, fields.Requestor, false));
  form->addRow("Reason", MakeField(this, res::IDC_PERMIT_REASON, fields.Reason, false));
  form->addRow("From time", MakeField(this, res::IDC_PERMIT_FROM_TIME, fields.FromTime, false));
  form->addRow("To time", MakeField(this, res::IDC_PERMIT_TO_TIME, fields.ToTime, false));
  form->addRow("Time Granted From", MakeField(this, res::IDC_PERMIT_GRANTED_FROM, fields.GrantedFrom, true));
  form->addRow("Time Granted To", MakeField(this, res::IDC_PERMIT_GRANTED_TO, fields.GrantedTo, true));

  QPushButton* authorized = MakeButton(this, res::IDC_PERMIT_AUTHORIZED, "Authorized");
  authorized->setDefault(true);
  QPushButton* later = MakeButton(this, res::IDC_PERMIT_REQUEST_LATER, " Request Later");
  QPushButton* help = MakeButton(this, res::IDC_PERMIT_HELP, "Help");
  connect(authorized, &QPushButton::clicked, this, &TPermitRequestDialog::CmAuthorized);
  connect(later, &QPushButton::clicked, this, &TPermitRequestDialog::reject);
  connect(help, &QPushButton::clicked, this, &TPermitRequestDialog::CmHelp);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(authorized);
  buttons->addWidget(later);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  Field(res::IDC_PERMIT_GRANTED_FROM)->setFocus();
}

QLineEdit* TPermitRequestDialog::Field(int id) const { return FindControl<QLineEdit>(this, id); }

void TPermitRequestDialog::CmAuthorized() {
  // Held here: the engine may let go of the request while a message box is up.
  const std::shared_ptr<PermitRequestForm> request = request_;
  Answered(request->Authorize(Field(res::IDC_PERMIT_GRANTED_FROM)->text().toStdString(),
                              Field(res::IDC_PERMIT_GRANTED_TO)->text().toStdString()));
}

void TPermitRequestDialog::reject() {
  const std::shared_ptr<PermitRequestForm> request = request_;
  Answered(request->RequestLater());
}

void TPermitRequestDialog::Dismiss() {
  request_->Destroy();
  hide();
  deleteLater();
}

void TPermitRequestDialog::CmHelp() { ShowHelp(store_, "block permit request"); }

void TPermitRequestDialog::Answered(PermitRequestForm::Answer answer) {
  QLineEdit* field = nullptr;
  switch (answer) {
    case PermitRequestForm::Answer::Close:
      hide();
      deleteLater();  // not at once: this may run inside one of the window's own handlers
      return;
    case PermitRequestForm::Answer::StayOnGrantedFrom:
      field = Field(res::IDC_PERMIT_GRANTED_FROM);
      break;
    case PermitRequestForm::Answer::StayOnGrantedTo:
      field = Field(res::IDC_PERMIT_GRANTED_TO);
      break;
  }
  field->setFocus();
  field->selectAll();
}

PermitRequestWindows::~PermitRequestWindows() {
  for (QPointer<TPermitRequestDialog>& window : windows_) delete window.data();
}

void PermitRequestWindows::Open(int slot) {
  const std::shared_ptr<PermitRequestForm> request = engine_.PermitRequestDialog(slot);
  if (!request) return;
  Close(slot);
  auto* window = new TPermitRequestDialog(parent_.data(), engine_.Store(), request);
  window->adjustSize();
  // Staggered by slot, so that several open requests stay apart.
  const int offset = 24 * (slot % 10);
  QPoint at(80, 80);
  if (parent_) at = parent_->mapToGlobal(parent_->rect().center()) - window->rect().center();
  window->move(at + QPoint(offset, offset));
  window->show();
  windows_[slot] = window;
}

void PermitRequestWindows::Show(int slot) {
  TPermitRequestDialog* window = Window(slot);
  if (window == nullptr) return;
  window->show();
  window->raise();
  window->activateWindow();
}

void PermitRequestWindows::Close(int slot) {
  TPermitRequestDialog* window = Window(slot);
  if (window == nullptr) return;
  window->Dismiss();
  windows_[slot] = nullptr;
}

void PermitRequestWindows::CloseAll() {
  for (int slot = 0; slot < kMaxPermitStatus; ++slot) {
    Close(slot);
    engine_.DeletePermitRequestDialog(slot);
  }
}

TPermitRequestDialog* PermitRequestWindows::Window(int slot) const {
  if (slot < 0 || slot >= kMaxPermitStatus) return nullptr;
  return windows_[slot].data();
}
