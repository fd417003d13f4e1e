// The block permit request before the dispatcher: a modeless window over the
// engine's request of one permit slot, up to one per slot at a time.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

#include "engine/permit_request.h"

class Engine;
class QLineEdit;

class TPermitRequestDialog : public QDialog {
  Q_OBJECT

 public:
  // Fills the fields from the request (its window set-up) and marks the slot's window open.
  TPermitRequestDialog(QWidget* parent, Corvane3Data& store, std::shared_ptr<PermitRequestForm> request);

  int Slot() const { return request_->Slot(); }
  // The control with that id, or null.
  QLineEdit* Field(int id) const;
  // The window goes without an answer.
  void Dismiss();

 protected:
  // " Request Later", the Escape key and the close box.
  void reject() override;

 private:
  void CmAuthorized();
  void CmHelp();
  void Answered(PermitRequestForm::Answer answer);

  Corvane3Data& store_;
  std::shared_ptr<PermitRequestForm> request_;
};

// The request windows of the permit slots, for the dialog service: the engine
// decides when a window opens, comes to the front or goes.
class PermitRequestWindows {
 public:
  PermitRequestWindows(Engine& engine, QWidget* parent) : engine_(engine), parent_(parent) {}
  PermitRequestWindows(const PermitRequestWindows&) = delete;
  PermitRequestWindows& operator=(const PermitRequestWindows&) = delete;
  ~PermitRequestWindows();

  // A window over the slot's request, shown beside the others.
  void Open(int slot);
  // The slot's window to the front, with the focus.
  void Show(int slot);
  // Removes the slot's window without an answer: the engine lets go of the request.
  void Close(int slot);
  // Every request goes with its window (the windows are rebuilt); each comes back an hour later.
  void CloseAll();
  TPermitRequestDialog* Window(int slot) const;

 private:
  Engine& engine_;
  QPointer<QWidget> parent_;
  std::array<QPointer<TPermitRequestDialog>, kMaxPermitStatus> windows_;
};
