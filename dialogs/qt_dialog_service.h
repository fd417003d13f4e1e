// The dialogs the core opens, in the running program: every method of the
// core's DialogService is answered by a real dialog here. The clock holds while
// a modal one is open.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "store/services.h"

class Corvane3Data;
class Engine;
class PermitRequestWindows;
class TrainEntryWindows;

class QtDialogService : public DialogService {
 public:
  // parent: the window the dialogs open over (the layout window).
  QtDialogService(Corvane3Data& store, Engine& engine, QWidget* parent);
  ~QtDialogService() override;

  void OpenPermitRequestDialog(int permitSlot) override;
  void ShowPermitRequestDialog(int permitSlot) override;
  void ClosePermitRequestDialog(int permitSlot) override;
  void ClosePermitRequestDialogs() override;
  int RunPlaybackTimeDialog(const std::string& playbackFile, int32_t clockAtStart) override;
  int RunSelectStartDialog() override;
  // The running train's schedule, shown read-only from its General page on.
  void RunTrainSheet(const std::string& title, int trainDataIndex, int passengerPages) override;
  // "Train Information" on a running train in CTC control mode.
  int RunTrainDialog(int trainSlot) override;

  PermitRequestWindows& PermitRequests() { return *permitRequests_; }
  void OpenTrainEntryDialog(int trainSlot, int locationIndex) override;
  void FocusTrainEntryDialog(int trainSlot) override;
  void CloseTrainEntryDialog(int trainSlot) override;
  void CloseTrainEntryDialogs() override;
  TrainEntryWindows& TrainEntries() { return *trainEntries_; }
  int RunCrewChangeLocationDialog(int trainSlot) override;
  int RunCrewCallDialog(int trainSlot) override;
  int RunSplitTrainDialog(const std::string& title, int trainSlot) override;
  int RunStopTrainDialog(const std::string& title) override;

 private:
  Corvane3Data& store_;
  QPointer<QWidget> parent_;
  std::unique_ptr<PermitRequestWindows> permitRequests_;
  std::unique_ptr<TrainEntryWindows> trainEntries_;
};
