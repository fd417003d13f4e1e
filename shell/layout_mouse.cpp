// The dispatcher's clicks on the layout and the commands of its pop-up menus:
// the window finds the device under the click and picks the operation; the
// operations themselves are the engine's.
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "dialogs/property_displays.h"
#include "lists/ctc_permit_list.h"
#include "resources/layout_popup_ids.h"
#include "shell/corvane3_window.h"
#include "shell/layout_hover.h"
#include "shell/layout_popup.h"
#include "shell/train_lists.h"
#include "store/device_numbers.h"
#include "store/operating_mode.h"
#include "store/stop_status.h"

namespace {

constexpr int kCrewThrowSeconds = 300;

// Locals are called `device`; the numbering's namespace goes by this name here.
namespace devices = device;

using devices::IsBlock;
using devices::IsDiamond;
using devices::IsSwitch;
bool IsLocation(int number) { return devices::IsLocationPlace(number, kMaxLocations); }
// A signal, also as the second cell of its picture.
bool IsSignal(int number) { return devices::IsSignalCell(number); }
int SignalIndex(int number) { return devices::SignalIndexOfCell(number); }

// The cell a jump to a block shows: its left (or top) end.
layout::Cell HomeCell(const BlockData& block) { return {block.LeftCellX, block.LeftCellY}; }

}  // namespace

void TCorvane3Window::DropPopupMenu() {
  if (PopupMenu.isNull()) return;
  delete PopupMenu.data();
  engine_.ClearStopStatus();
}

void TCorvane3Window::ShowPopup(const std::vector<PopupItem>& items, QPoint point) {
  PopupMenu = ShowPopupMenu(this, items, viewport()->mapToGlobal(point), [this](int id) { PopupCommand(id); });
}

void TCorvane3Window::EvLButtonDown(QPoint point) {
  RunState& run = store_.Run;
  DropPopupMenu();
  const layout::View view = CurrentView();
  const std::optional<layout::Cell> cell = view.WindowToCell(point.x(), point.y());
  int device = -1;
  if (cell && cell->Column <= LayoutExtentX && cell->Row <= LayoutExtentY)
    device = store_.GetGridDevice(cell->Column, cell->Row);
  const bool playback = store_.OperatingMode == operating_mode::kPlayback;

  if (IsSwitch(device)) {
    if (playback) {
      store_.ShowMessage("You cannot change switch positions in playback mode", MessageIcon::Information);
      return;
    }
    engine_.ThrowSwitch(device, 0, 0, kScreenRequest);
    ClearEntranceSelection();
    return;
  }
  if (IsSignal(device)) {
    if (playback) {
      store_.ShowMessage("You cannot change signal conditions in playback mode", MessageIcon::Information);
      return;
    }
    const int signal = SignalIndex(device);
    PopupTarget = run.PopupSignal = devices::SignalNumber(signal);
    if (run.PendingRouteEntrance != -1) {
      const int entrance = run.PendingRouteEntrance;
      engine_.CreateRoute(entrance, signal);
      run.PendingRouteEntrance = -1;
    } else if (run.PendingStackEntrance != -1) {
      const int entrance = run.PendingStackEntrance;
      engine_.AddStackCommand(entrance, signal);
      run.PendingStackEntrance = -1;
    } else {
      engine_.ClearSignal(device, 0, kScreenRequest);
    }
    return;
  }
  ClearEntranceSelection();
  if (IsBlock(device)) {
    run.PendingRouteEntrance = -1;
    const BlockData block = store_.GetBlockData(device);
    if (block.LeftLinked == 1) return JumpToLinkedBlock(device, true);
    if (block.RightLinked == 1) return JumpToLinkedBlock(device, false);
  }
  ScrollAtEdge(point);
}

void TCorvane3Window::JumpToLinkedBlock(int block, bool left) {
  const BlockData data = store_.GetBlockData(block);
  const int neighbour = left ? data.LeftNeighbour : data.RightNeighbour;
  if (!IsBlock(neighbour)) return;  // a link leads only to a block drawn elsewhere
  const layout::Cell home = HomeCell(store_.GetBlockData(neighbour));
  ScrollToCell(home.Column, home.Row);
}

void TCorvane3Window::ScrollAtEdge(QPoint point) {
  if (EdgeZone == 0) return;
  const layout::View view = CurrentView();
  const QRect clip = viewport()->rect();
  const int halfWidth = (clip.width() / 2) / layout::kScrollUnit + 1;
  const int halfHeight = (clip.height() / 2) / layout::kScrollUnit + 1;
  int x = view.ScrollX, y = view.ScrollY;
  switch (EdgeZone) {
    case 1:
      x -= halfWidth;
      break;
    case 2:
      x += halfWidth;
      break;
    case 3:
      y += halfHeight;
      break;
    case 4:
      y -= halfHeight;
      break;
    case 5:  // the next strip of the layout below, from its left end
      x = 0;
      y = std::min(y + 7, view.RangeY);
      break;
    case 6:  // the strip above, from its right end
      x = view.RangeX;
      y = std::max(y - 7, 0);
      break;
    default:
      return;
  }
  ScrollTo(x, y);
  RememberView();
  PostMouseMove({point.x(), point.y()});
}

void TCorvane3Window::EvRButtonDown(QPoint point) {
  RunState& run = store_.Run;
  DropPopupMenu();
  const layout::View view = CurrentView();
  // Beyond the used layout the last column or row is taken.
  const std::optional<layout::Cell> cell = view.WindowToCellUpTo(point.x(), point.y(), {LayoutExtentX, LayoutExtentY});
  if (!cell) return;
  const int column = cell->Column, row = cell->Row;
  ClickedColumn = column;
  ClickedRow = row;
  const int device = hover::DeviceAt(store_, column, row);

  if (IsBlock(device)) {
    ClearEntranceSelection();
    PopupTarget = run.PopupBlock = device;
    if (!popup::BlockHasMenu(engine_, device)) return CmBlockProperties();
    run.SelectedTrain = -1;
    const popup::Menu menu = popup::BlockMenu(engine_, device);
    run.PopupTrains.fill(-1);
    std::copy(menu.Trains.begin(), menu.Trains.end(), run.PopupTrains.begin());
    return ShowPopup(menu.Items, point);
  }
  if (IsSwitch(device)) {
    ClearEntranceSelection();
    PopupTarget = device;
    const popup::Menu menu = popup::SwitchMenu(engine_, devices::SwitchIndex(device));
    if (menu.Items.empty()) return CmSwitchProperties();
    return ShowPopup(menu.Items, point);
  }
  if (IsDiamond(device) || IsLocation(device)) {
    ClearEntranceSelection();
    if (IsLocation(device)) OpenArrivalList(store_, devices::LocationIndex(device), this);
    return;
  }
  if (IsSignal(device)) {
    const int32_t mode = store_.OperatingMode;
    if (mode != operating_mode::kSimulation && mode != operating_mode::kRecording) return;
    const int signal = SignalIndex(device);
    PopupTarget = run.PopupSignal = devices::SignalNumber(signal);
    if (run.PendingStackEntrance != -1) {
      const int entrance = run.PendingStackEntrance;
      engine_.AddStackCommand(entrance, signal);
      run.PendingStackEntrance = -1;
      store_.InvalidateDevice(PopupTarget, 0, 1);
    } else if (run.PendingRouteEntrance != -1) {
      const int entrance = run.PendingRouteEntrance;
      engine_.CreateRoute(entrance, signal);
      run.PendingRouteEntrance = -1;
    } else {
      ShowPopup(popup::SignalMenu(engine_, signal).Items, point);
    }
    return;
  }
  // No device: the other zoom, centred on the clicked cell.
  SetZoom(store_.ZoomDivisor == 1 ? 2 : 1);
  ScrollToCell(column, row);
  RememberView();
  RepaintLayout();
}

void TCorvane3Window::ClearEntranceSelection() {
  RunState& run = store_.Run;
  for (int32_t* selection : {&run.PendingRouteEntrance, &run.PendingStackEntrance}) {
    if (*selection == -1) continue;
    const int signal = *selection;
    if (signal >= 0 && signal < kMaxSignals) {
      SignalStatus status = store_.GetSignalStatus(signal);
      status.Highlight = status.Highlight2 = 0;
      store_.UpdateSignalStatus(signal, status);
      store_.InvalidateDevice(devices::SignalNumber(signal), 0, 1);
    }
    run.SelectedDevice = -1;
    *selection = -1;
  }
}

void TCorvane3Window::PopupCommand(int id) {
  // Whatever dialog or box the command opens, the clock holds until the command is done.
  StopStatusGuard hold(store_);
  if (const popup::Handler handler = popup::HandlerFor(engine_, id)) handler(*this, id);
}

void TCorvane3Window::CmBlockProperties() {
  if (!IsBlock(PopupTarget)) return;
  StopStatusGuard hold(store_);
  TBlockSheet sheet(this, store_, PopupTarget);
  sheet.exec();
}

void TCorvane3Window::CmFleet() {
  if (IsSignal(PopupTarget)) engine_.FleetSignal(devices::SignalNumber(SignalIndex(PopupTarget)), kScreenRequest);
}

namespace {
// Makes the signal the pending entrance of a route or a stack command: it shows its marks and flashes
// until the next signal click completes it.
void ChooseEntrance(Corvane3Data& store, int target, int32_t& selection) {
  if (!IsSignal(target)) return;
  const int signal = SignalIndex(target);
  selection = signal;
  SignalStatus status = store.GetSignalStatus(signal);
  status.Highlight = status.Highlight2 = 1;
  store.UpdateSignalStatus(signal, status);
  store.InvalidateDevice(devices::SignalNumber(signal), 0, 1);
  store.Run.SelectedDevice = devices::SignalNumber(signal);
}
}  // namespace

void TCorvane3Window::CmEntranceSignal() { ChooseEntrance(store_, PopupTarget, store_.Run.PendingRouteEntrance); }
void TCorvane3Window::CmPlatformTrains() { OpenPlatformListOfBlock(store_, PopupTarget, this); }

void TCorvane3Window::CmIssueBlockPermit() {
  if (IsBlock(PopupTarget)) RunCTCPermitDialog(store_, engine_, this, -1, PopupTarget);
}

void TCorvane3Window::CmAddStackCommand() { ChooseEntrance(store_, PopupTarget, store_.Run.PendingStackEntrance); }

void TCorvane3Window::CmFindBlockLeft() {
  if (IsBlock(PopupTarget)) JumpToLinkedBlock(PopupTarget, true);
}
void TCorvane3Window::CmFindBlockRight() {
  if (IsBlock(PopupTarget)) JumpToLinkedBlock(PopupTarget, false);
}

void TCorvane3Window::CmSwitchProperties() {
  if (!IsSwitch(PopupTarget) || devices::SwitchIndex(PopupTarget) >= kMaxSwitches) return;
  StopStatusGuard hold(store_);
  TSwitchDialog dialog(this, store_, devices::SwitchIndex(PopupTarget));
  dialog.exec();
}

void TCorvane3Window::CmCrewThrowSwitch() {
  if (!IsSwitch(PopupTarget) || devices::SwitchIndex(PopupTarget) >= kMaxSwitches) return;
  const int index = devices::SwitchIndex(PopupTarget);
  SwitchStatus status = store_.GetSwitchStatus(index);
  status.CrewThrowTime = store_.SimClock + kCrewThrowSeconds;
  store_.ShowMessage("Crew will throw switch in 5 minutes.", MessageIcon::Information);
  store_.UpdateSwitchStatus(index, status);
}
