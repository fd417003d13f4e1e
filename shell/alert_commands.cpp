#include "shell/alert_commands.h"

#include <cstdlib>

#include "store/fixed_text.h"

namespace {

std::string ShownLine(const RunState& run) {
  const auto& line = run.AlertLines[run.SelectedAlertLine];
  return FieldText(line.data(), line.size());
}

// Once the dispatcher steps through the lines, new alerts no longer move the shown one.
void ShowLine(Corvane3Data& store) {
  if (store.AlertWindowOpen != 0) store.Shell().InvalidateAlertWindow();
  store.Shell().ShowStatusText(StatusPane::Alert, ShownLine(store.Run));
  store.Run.BrowsingAlerts = 1;
}

}  // namespace

bool CePreviousAlert(const Corvane3Data& store) {
  return store.Run.SelectedAlertLine >= 1 && store.Run.SelectedAlertLine < kAlertLines;
}

bool CeNextAlert(const Corvane3Data& store) {
  return store.Run.SelectedAlertLine >= 0 && store.Run.SelectedAlertLine < store.Run.AlertLinesUsed - 1 &&
         store.Run.SelectedAlertLine < kAlertLines - 1;
}

void CmPreviousAlert(Corvane3Data& store) {
  if (!CePreviousAlert(store)) return;
  store.Run.SelectedAlertLine--;
  ShowLine(store);
}

void CmNextAlert(Corvane3Data& store) {
  if (!CeNextAlert(store)) return;
  store.Run.SelectedAlertLine++;
  // The alert number is the line's second word: "ALERT 0042  08:05 ...".
  const std::string line = ShownLine(store.Run);
  const size_t space = line.find(' ');
  const int number = space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
  if (number > store.Run.HighestAlertViewed) store.Run.HighestAlertViewed = number;
  ShowLine(store);
}
