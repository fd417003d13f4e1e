#include "store/alert_lines.h"

#include <algorithm>
#include <cstring>

#include "store/corvane3_data.h"

int AppendAlertLine(RunState& run, const char* text, size_t length) {
  int index;
  if (run.AlertLinesUsed >= kAlertLines) {
    for (int i = 1; i < kAlertLines; ++i) run.AlertLines[i - 1] = run.AlertLines[i];
    index = kAlertLines - 1;
    if (run.SelectedAlertLine > 0) run.SelectedAlertLine--;
  } else {
    index = run.AlertLinesUsed < 0 ? 0 : run.AlertLinesUsed;
    run.AlertLinesUsed = index + 1;
  }
  auto& stored = run.AlertLines[index];
  stored.fill('\0');
  std::memcpy(stored.data(), text, std::min<size_t>(length, kAlertLineChars - 1));
  return index;
}

void ShowNewAlertLine(Corvane3Data& store, int index) {
  RunState& run = store.Run;
  if (store.GetOptionData().DisplayLastAlert != 0 && run.BrowsingAlerts == 0) {
    run.SelectedAlertLine = index;
    store.Shell().ShowStatusText(StatusPane::Alert, run.AlertLines[index].data());
  }
  if (store.AlertWindowOpen != 0) {
    store.Shell().SetAlertScrollRange(1240, (run.AlertLinesUsed + 1) * 19);
    store.Shell().InvalidateAlertWindow();
  }
  store.RefreshCursor();
}
