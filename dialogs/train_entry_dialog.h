// The request of a scheduled train to enter the territory at a location that
// needs the dispatcher's permission: a modeless window per waiting train, over
// the train's run-time record. "Authorized" leaves the granted time there for
// the engine's arrival handling; " Request Later" lets the request come back.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>

#include "store/corvane3_data.h"

class QLineEdit;

// The clock second a typed time of day grants entry at: up to 8 hours back
// means today (so at once), further back means that time tomorrow.
int32_t GrantedEntryTime(int minuteOfDay, int32_t clock);

class TTrainEntryDialog : public QDialog {
  Q_OBJECT

 public:
  // Fills the fields and marks the train's entry window open.
  TTrainEntryDialog(QWidget* parent, Corvane3Data& store, int trainSlot, int locationIndex);

  int Slot() const { return slot_; }
  QLineEdit* Field(int id) const;
  // The window goes without an answer (the engine replaces or no longer needs it).
  void Dismiss();

 protected:
  // " Request Later", the Escape key and the close box.
  void reject() override;

 private:
  void CmAuthorized();
  void Destroy();

  Corvane3Data& store_;
  int slot_;
  bool destroyed_ = false;
};

// The entry windows of the running-train slots, for the dialog service.
class TrainEntryWindows {
 public:
  TrainEntryWindows(Corvane3Data& store, QWidget* parent) : store_(store), parent_(parent) {}
  TrainEntryWindows(const TrainEntryWindows&) = delete;
  TrainEntryWindows& operator=(const TrainEntryWindows&) = delete;
  ~TrainEntryWindows();

  void Open(int trainSlot, int locationIndex);
  void Focus(int trainSlot);
  void Close(int trainSlot);
  void CloseAll();
  TTrainEntryDialog* Window(int trainSlot) const;

 private:
  Corvane3Data& store_;
  QPointer<QWidget> parent_;
  std::array<QPointer<TTrainEntryDialog>, kMaxTrainStatus> windows_;
};
