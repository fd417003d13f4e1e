#include "dialogs/dialog_kit.h"

#include "platform/help.h"
#include "resources/strings.h"
#include "store/corvane3_data.h"

void ShowHelp(Corvane3Data& store, const std::string& keyword) {
  if (!OpenProgramHelp(store.HelpAvailable == 1, keyword)) store.Shell().ShowHelpNotAvailable();
}

void RefuseReadOnlyChange(Corvane3Data& store) { store.ShowMessage(res::kReadOnlyDisplay, MessageIcon::Error); }

std::function<bool(const QString&)> TimeFieldCheck(Corvane3Data& store, const std::string& fieldName) {
  return [&store, fieldName](const QString& text) { return store.GetTimeField(text.toStdString(), fieldName) >= 0; };
}

DialogLock::DialogLock(Corvane3Data& store) : store_(store), held_(store.OpenDialog() == 1) {}

DialogLock::~DialogLock() {
  if (held_) store_.CloseDialog();
}
