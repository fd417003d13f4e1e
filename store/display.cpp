// The display routines: which screen area of the layout a changed device
// needs repainted, and the few places painted at once in the background
// colour. The layout window does the drawing (DisplayService, ShellService).
#include <algorithm>

#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/track_codes.h"

namespace {

constexpr int kCellPixels = 16;
constexpr int kScrollUnitPixels = 32;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

}  // namespace

uint32_t Corvane3Data::LayoutBackground() const { return options_.ClassicDisplay != 0 ? kBlack : kWhite; }

// Calls visit(x, y) for every grid cell a device occupies: a block's cells
// from its left end to its right end along the track, else the device's cell.
template <class Visit>
void Corvane3Data::ForEachDeviceCell(int device, Visit visit) const {
  if (device::IsBlock(device)) {
    const BlockData& block = blockData_[device];
    TrackCell cell;
    cell.X = block.LeftCellX;
    cell.Y = block.LeftCellY;
    // A layout whose track does not lead to the right end stops the walk where the track ends.
    for (int steps = 0; steps < kGridCells; ++steps) {
      visit(cell.X, cell.Y);
      if (cell.X == block.RightCellX && cell.Y == block.RightCellY) return;
      const TrackCell next = GetRightTrackCell(cell);
      if (next.Connection < 1 || next.Connection > 3 || (next.X == cell.X && next.Y == cell.Y)) return;
      cell = next;
    }
  } else if (device::IsSwitch(device)) {
    const SwitchData& sw = switchData_[device::SwitchIndex(device)];
    visit(sw.CellX, sw.CellY);
  } else if (device::IsSignal(device)) {
    const SignalData& signal = signalData_[device::SignalIndex(device)];
    visit(signal.CellX, signal.CellY);
  } else if (device::IsDiamond(device)) {
    const CrossData& cross = crossData_[device::DiamondIndex(device)];
    visit(cross.CellX, cross.CellY);
  }
}

void Corvane3Data::InvalidateDevice(int device, int erase, int labelLines) {
  if (HoldRepaint()) return;
  const bool eraseFirst = erase != 0;
  if (device::IsBlock(device)) {
    // Each track cell with the cell above it, where the train labels are drawn.
    ForEachDeviceCell(device, [&](int x, int y) {
      shell_->InvalidateCellRect(x, y - 1, eraseFirst, 16, 30);
      if (labelLines > 1) shell_->InvalidateCellRect(x, y - 1, eraseFirst, 16, (labelLines - 1) * 10 + 32);
    });
  } else if (device::IsSwitch(device)) {
    ForEachDeviceCell(device, [&](int x, int y) { shell_->InvalidateCellRect(x, y, eraseFirst, 18, 18); });
  } else if (device::IsSignal(device)) {
    ForEachDeviceCell(device, [&](int x, int y) { shell_->InvalidateCellRect(x - 2, y, eraseFirst, 64, 18); });
  } else if (device::IsDiamond(device)) {
    ForEachDeviceCell(device, [&](int x, int y) { shell_->InvalidateCellRect(x - 1, y, eraseFirst, 48, 18); });
  }
}

void Corvane3Data::DrawDevice(int device) {
  ForEachDeviceCell(device, [&](int x, int y) { DrawDeviceCell(x, y); });
}

void Corvane3Data::DrawDeviceCell(int x, int y) {
  const int s = kCellPixels / std::max(1, ZoomDivisor);
  PaintCell(x * s, y * s - 2, x * s + s, y * s + s);
}

void Corvane3Data::PaintCell(int left, int top, int right, int bottom) {
  const ClientPoint scroll = display_->ScrollPosition();
  const int dx = scroll.X * kScrollUnitPixels;
  const int dy = scroll.Y * kScrollUnitPixels;
  display_->FillClientRect(left - dx, top - dy, right - dx, bottom - dy, LayoutBackground());
}

void Corvane3Data::PaintSignal(int signal) {
  if (signal < 0 || signal >= kMaxSignals) {
    ReportIndexError(signal, "Signal", "PaintSignal");
    return;
  }
  if (HoldRepaint()) return;
  const SignalData& data = signalData_[signal];
  const int zoom = std::max(1, ZoomDivisor);
  const int cell = kCellPixels / zoom;
  const ClientPoint scroll = display_->ScrollPosition();
  // The cell beside the signal: to its left for code 21 (drawn one cell to the left), else to its right.
  const int side = data.TrackCode == track::kSignalLeft ? -cell : cell;
  const int left = data.CellX * kCellPixels / zoom - scroll.X * kScrollUnitPixels + side;
  const int top = data.CellY * kCellPixels / zoom - scroll.Y * kScrollUnitPixels;
  display_->FillClientRect(left, top, left + cell, top + 15 / zoom, LayoutBackground());
}

void Corvane3Data::DrawBlock(int block, int labelLines) {
  if (block < 0 || block >= kMaxBlocks) {
    ReportIndexError(block, "Block", "DrawBlock");
    return;
  }
  if (ZoomDivisor != 1) return;  // train labels are drawn at zoom 1 only
  if (HoldRepaint()) return;
  const BlockStatus& status = blockStatus_[block];
  const ClientPoint scroll = display_->ScrollPosition();
  const int centre = status.RightLabelX * kCellPixels - kCellPixels - scroll.X * kScrollUnitPixels;
  const int row = status.RightLabelY * kCellPixels - scroll.Y * kScrollUnitPixels;
  const uint32_t background = LayoutBackground();
  auto clear = [&](int top, int bottom) {
    display_->FillClientRect(centre - 31, top, centre + 31, bottom, background);
    display_->InvalidateClientRect(centre - 31, top, centre + 31, bottom, false);
  };
  clear(row - 9, row);
  // A main block also carries labels below the track, one more line per further train.
  if (blockData_[block].PassThrough == 0 && labelLines != 1) {
    clear(row - 9 + 24, row + 24 + std::max(0, labelLines - 1) * 10);
  }
}

void Corvane3Data::RefreshCursor() { display_->PostMouseMove(display_->CursorPosition()); }
