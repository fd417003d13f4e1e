#include "dialogs/qt_dialog_service.h"

#include "dialogs/crew_dialogs.h"
#include "dialogs/permit_request_dialog.h"
#include "dialogs/playback_time_dialog.h"
#include "dialogs/run_dialogs.h"
#include "dialogs/train_entry_dialog.h"
#include "dialogs/train_pickers.h"
#include "dialogs/train_dialog.h"
#include "dialogs/train_sheet.h"
#include "store/corvane3_data.h"
#include "store/stop_status.h"

QtDialogService::QtDialogService(Corvane3Data& store, Engine& engine, QWidget* parent)
    : store_(store),
      parent_(parent),
      permitRequests_(std::make_unique<PermitRequestWindows>(engine, parent)),
      trainEntries_(std::make_unique<TrainEntryWindows>(store, parent)) {}

QtDialogService::~QtDialogService() = default;

void QtDialogService::OpenPermitRequestDialog(int permitSlot) { permitRequests_->Open(permitSlot); }
void QtDialogService::ShowPermitRequestDialog(int permitSlot) { permitRequests_->Show(permitSlot); }
void QtDialogService::ClosePermitRequestDialog(int permitSlot) { permitRequests_->Close(permitSlot); }
void QtDialogService::ClosePermitRequestDialogs() { permitRequests_->CloseAll(); }

int QtDialogService::RunPlaybackTimeDialog(const std::string& playbackFile, int32_t clockAtStart) {
  StopStatusGuard hold(store_);
  TPlayBackTimeDialog dialog(parent_.data(), store_, playbackFile, clockAtStart);
  return dialog.exec() == QDialog::Accepted ? 1 : 2;
}

int QtDialogService::RunSelectStartDialog() {
  StopStatusGuard hold(store_);
  TSelectStart dialog(parent_.data(), store_);
  const int result = dialog.exec();
  return result >= 1000 ? result : 2;
}

void QtDialogService::RunTrainSheet(const std::string&, int trainDataIndex, int) {
  StopStatusGuard hold(store_);
  // The sheet names the train and counts its passenger pages itself, as the engine does for the title and pages.
  OpenTrainPropertiesViewOnly(store_, trainDataIndex, parent_.data());
}

void QtDialogService::OpenTrainEntryDialog(int trainSlot, int locationIndex) {
  trainEntries_->Open(trainSlot, locationIndex);
}
void QtDialogService::FocusTrainEntryDialog(int trainSlot) { trainEntries_->Focus(trainSlot); }
void QtDialogService::CloseTrainEntryDialog(int trainSlot) { trainEntries_->Close(trainSlot); }
void QtDialogService::CloseTrainEntryDialogs() { trainEntries_->CloseAll(); }

int QtDialogService::RunCrewChangeLocationDialog(int trainSlot) {
  StopStatusGuard hold(store_);
  TCrewChangeLocationDialog dialog(parent_.data(), store_, trainSlot);
  return dialog.exec() == 1 ? 1 : 2;
}

int QtDialogService::RunCrewCallDialog(int trainSlot) {
  StopStatusGuard hold(store_);
  TCrewCallDialog dialog(parent_.data(), store_, trainSlot);
  return dialog.exec() == 1 ? 1 : 2;
}

int QtDialogService::RunSplitTrainDialog(const std::string& title, int trainSlot) {
  StopStatusGuard hold(store_);
  TSplitTrainDialog dialog(parent_.data(), store_, title, trainSlot);
  const int result = dialog.exec();
  return result >= 1000 ? result : 2;
}

int QtDialogService::RunStopTrainDialog(const std::string& title) {
  StopStatusGuard hold(store_);
  TStopTrainDialog dialog(parent_.data(), store_, title);
  const int result = dialog.exec();
  return result >= 1000 ? result : 2;
}

int QtDialogService::RunTrainDialog(int trainSlot) {
  StopStatusGuard hold(store_);
  return ::RunTrainDialog(store_, trainSlot, parent_.data());
}
