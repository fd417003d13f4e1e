#include "shell/alert_commands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "shell/find_dialogs.h"
#include "store/fixed_text.h"
#include "store/track_names.h"
#include "store/train_codes.h"

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

bool CeGotoAlert(const Corvane3Data& store) { return store.Run.AlertLinesUsed >= 1; }

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

std::string ShownAlertLine(const Corvane3Data& store) {
  const RunState& run = store.Run;
  if (run.AlertLinesUsed < 1 || run.SelectedAlertLine < 0 || run.SelectedAlertLine >= kAlertLines) return "";
  return ShownLine(run);
}

namespace {

// A running train in this state is not on the layout.
constexpr uint8_t kStateUnshown = 1;

// The middle of a block's first drawn run, on the row of its left end.
layout::Cell BlockMiddle(const BlockStatus& status) {
  // The last column of the first run, kept at +17; a block drawn as one run may keep -1 there,
  // and then the run ends at the block's right end.
  int16_t firstRunEnd;
  std::memcpy(&firstRunEnd, reinterpret_cast<const char*>(&status) + 17, sizeof firstRunEnd);
  const int left = status.LeftLabelX;
  const int end = firstRunEnd < left ? status.RightLabelX : firstRunEnd;
  return {left + (end + 1 - left) / 2, status.LeftLabelY};
}

AlertTarget CellTarget(int column, int row) {
  AlertTarget target;
  target.What = AlertTarget::Kind::Cell;
  target.At = {column, row};
  return target;
}

// A block permit's or slow order's track: the middle of the first block of that name.
AlertTarget TrackTarget(const Corvane3Data& store, const std::string& track) {
  const int blocks = std::clamp<int>(store.GetCountData().Words[kCountBlocks], 0, kMaxBlocks);
  for (int b = 0; b < blocks; ++b) {
    const BlockData& block = store.BlockDataRef(b);
    if (block.InUse == 0 || BlockTrackName(block) != track) continue;
    const layout::Cell middle = BlockMiddle(store.GetBlockStatus(b));
    return CellTarget(middle.Column, middle.Row);
  }
  return {};
}

// A running train on the layout with that ID: its head block's end in its direction.
AlertTarget TrainTarget(const Corvane3Data& store, const std::string& id) {
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) {
    const TrainStatus& train = store.TrainStatusRef(slot);
    const uint8_t state = train.State;
    if (train.InUse == 0 || state == kStateUnshown || state == TrainState::Scheduled || state == TrainState::Leaving ||
        state == TrainState::Gone || state == TrainState::Became)
      continue;
    if (train.HeadBlock < 0 || train.HeadBlock >= kMaxBlocks || FieldText(train.TrainId) != id) continue;
    const BlockStatus status = store.GetBlockStatus(train.HeadBlock);
    return train.HeadDirection != 0 ? CellTarget(status.RightLabelX, status.RightLabelY)
                                    : CellTarget(status.LeftLabelX, status.LeftLabelY);
  }
  AlertTarget gone;
  gone.What = AlertTarget::Kind::TrainGone;
  gone.TrainId = id;
  return gone;
}

}  // namespace

AlertTarget FindAlertTarget(const Corvane3Data& store, const std::string& line) {
  // "ALERT 0042  08:05 Train - \"101\" ...": the message follows the fourth space.
  size_t at = 0;
  for (int spaces = 0; spaces < 4; ++spaces) {
    at = line.find(' ', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  const std::string message = line.substr(at);
  const size_t dash = message.find('-');
  if (dash == std::string::npos) return {};
  // The kind ends at the character before the dash ("Train - ").
  const std::string kind = message.substr(0, dash == 0 ? 0 : dash - 1);
  std::string name;
  const size_t open = message.find('"', dash);
  if (open != std::string::npos) {
    const size_t close = message.find('"', open + 1);
    name = message.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  }

  const bool slow = kind.compare(0, 4, "Slow") == 0;
  if (kind.compare(0, 5, "Block") == 0 || slow) {
    if (slow && name.compare(0, 6, "Switch") == 0) {
      const int index = name.size() > 7 ? std::atoi(name.c_str() + 7) : -1;
      if (index < 0 || index >= kMaxSwitches) return {};
      const SwitchData& sw = store.SwitchDataRef(index);
      return CellTarget(sw.CellX, sw.CellY);
    }
    if (slow && name.compare(0, 5, "Block") == 0) {
      const int index = name.size() > 6 ? std::atoi(name.c_str() + 6) : -1;
      if (index < 0 || index >= kMaxBlocks) return {};
      const BlockData& block = store.BlockDataRef(index);
      return CellTarget(block.LeftCellX, block.LeftCellY);
    }
    if (slow && name.compare(0, 5, "Track") == 0) name = name.size() > 6 ? name.substr(6) : "";
    return TrackTarget(store, name);
  }
  if (kind == "Train") return TrainTarget(store, name);
  return {};
}
