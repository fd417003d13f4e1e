#include "shell/layout_view.h"

#include <algorithm>
#include <cstring>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_codes.h"

namespace layout {

namespace {

// Integer division rounding toward minus infinity.
int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

Point View::CellToWindow(int column, int row) const {
  return {column * kCellPixels / Zoom - ScrollX * kScrollUnit, row * kCellPixels / Zoom - ScrollY * kScrollUnit};
}

std::optional<Cell> View::WindowToCell(int x, int y) const {
  const int px = x + ScrollX * kScrollUnit;
  const int py = y + ScrollY * kScrollUnit;
  if (px < 0 || py < 0) return std::nullopt;
  const int column = px / CellSize();
  const int row = py / CellSize();
  if (column >= kColumns || row >= kRows) return std::nullopt;
  return Cell{column, row};
}

std::optional<Cell> View::WindowToCellUpTo(int x, int y, Cell last) const {
  const int px = x + ScrollX * kScrollUnit;
  const int py = y + ScrollY * kScrollUnit;
  if (px < 0 || py < 0) return std::nullopt;
  return Cell{std::min({px / CellSize(), last.Column, kColumns - 1}), std::min({py / CellSize(), last.Row, kRows - 1})};
}

Rect View::CellRect(int column, int row, int widthPixels, int heightPixels) const {
  // Kept on the grid, last column and row included, and only then moved by the scroll: a rectangle
  // wholly or partly out of view stays where it is (left of or above the window, at negative
  // coordinates), since the kept layout image must learn of changes wherever they are.
  const int left = std::max(column * kCellPixels / Zoom - 2, 0);
  const int top = std::max(row * kCellPixels / Zoom - 2, 0);
  const int right = std::min((column * kCellPixels + widthPixels) / Zoom + 2, kColumns * kCellPixels / Zoom);
  const int bottom = std::min((row * kCellPixels + heightPixels) / Zoom + 2, kRows * kCellPixels / Zoom);
  const int sx = ScrollX * kScrollUnit;
  const int sy = ScrollY * kScrollUnit;
  return {left - sx, top - sy, right - sx, bottom - sy};
}

Point View::Clamp(int x, int y) const {
  return {std::clamp(x, 0, std::max(RangeX, 0)), std::clamp(y, 0, std::max(RangeY, 0))};
}

Point View::CentreOn(int column, int row, int areaWidth, int areaHeight) const {
  const int x = std::max(column * kCellPixels / Zoom - areaWidth / 2, 0);
  const int y = std::max(row * kCellPixels / Zoom - areaHeight / 2, 0);
  return Clamp(x / kScrollUnit, y / kScrollUnit);
}

Point View::CursorOnCell(int column, int row) const {
  const Point corner = CellToWindow(column, row);
  return {corner.X + 8 / Zoom, corner.Y + 8 / Zoom};
}

bool View::IsCellVisible(int column, int row, int visibleWidth, int visibleHeight) const {
  const int left = ScrollX * kScrollUnit;
  const int top = ScrollY * kScrollUnit;
  const int x = column * kCellPixels / Zoom;
  const int y = row * kCellPixels / Zoom;
  return x >= left && x <= left + visibleWidth && y >= top && y <= top + visibleHeight;
}

std::vector<Rect> BlockLabelStripPixels(int leftX, int leftY, int firstRunRight, int secondRunLeft, int rightX,
                                        int rightY) {
  std::vector<Rect> strips;
  auto run = [&](int from, int to, int row) {
    const int left = from * kCellPixels;
    const int right = (to + 1) * kCellPixels;
    const int y = row * kCellPixels;
    strips.push_back({left, y - 2, right, y + 6});    // above the track
    strips.push_back({left, y + 11, right, y + 19});  // below it
  };
  run(leftX, secondRunLeft == -1 ? rightX : firstRunRight, leftY);
  if (secondRunLeft != -1) run(secondRunLeft, rightX, rightY);
  return strips;
}

std::vector<Rect> BlockLabelStrips(const View& view, int leftX, int leftY, int firstRunRight, int secondRunLeft,
                                   int rightX, int rightY) {
  const int z = view.Zoom;
  const int sx = view.ScrollX * kScrollUnit;
  const int sy = view.ScrollY * kScrollUnit;
  std::vector<Rect> strips = BlockLabelStripPixels(leftX, leftY, firstRunRight, secondRunLeft, rightX, rightY);
  for (Rect& r : strips) r = {r.Left / z - sx, r.Top / z - sy, r.Right / z - sx, r.Bottom / z - sy};
  return strips;
}

Cell ComputeLayoutExtent(const Corvane3Data& store) {
  int lastColumn = 0;
  int lastRow = 0;
  for (int x = 0; x < kColumns; ++x) {
    for (int y = 0; y < kRows; ++y) {
      const int16_t code = store.GridTrack[x * kGridRows + y];
      if (code == track::kEmpty || code == track::kNoPictureFlag) continue;
      lastColumn = std::max(lastColumn, x);
      lastRow = std::max(lastRow, y);
    }
  }
  auto cover = [&](int left, int top, int width, int height) {
    if (left + width > lastColumn * kCellPixels) lastColumn = FloorDiv(left + width, kCellPixels) + 1;
    if (top + height > lastRow * kCellPixels) lastRow = FloorDiv(top + height, kCellPixels) + 1;
  };
  for (int i = 0; i < kMaxTexts; ++i) {
    const TextData text = store.GetTextData(i);
    if (text.Text[0] == '\0') continue;
    cover(text.Words100[0], text.Words100[1], text.Words100[2], text.Words100[3]);
  }
  for (int i = 0; i < kMaxBitmapInserts; ++i) {
    const BitmapInsert insert = store.GetBitmapInsert(i);
    if (insert.Name[0] == '\0') continue;
    cover(insert.Left, insert.Top, insert.Width, insert.Height);
  }
  for (int i = 0; i < kMaxStations; ++i) {
    const StationData station = store.GetStationData(i);
    if (station.InUse == 0 || station.Name[0] == '\0') continue;
    cover(station.Words26[0], station.Words26[1], station.Words26[2], station.Words26[3]);
  }
  if (lastColumn < 198) lastColumn += 2;
  if (lastRow < 158) lastRow += 2;
  return {std::min(lastColumn, kColumns - 1), std::min(lastRow, kRows - 1)};
}

Point ComputeScrollRanges(int layoutWidth, int layoutHeight, int clientWidth, int clientHeight, int currentRangeX,
                          int currentRangeY) {
  // A bar that is not shown yet will take 16 pixels once it appears.
  if (currentRangeX == 0) clientHeight -= 16;
  if (currentRangeY == 0) clientWidth -= 16;
  int excessX = std::max(layoutWidth - clientWidth, 0);
  int excessY = std::max(layoutHeight + 48 - clientHeight, 0);
  if (excessX != 0) excessX = excessX / kScrollUnit + 1;
  if (excessY != 0) excessY = excessY / kScrollUnit + 4;
  return {excessX, excessY};
}

std::optional<Point> KeyScrollTarget(int key, const View& view, int clientWidth, int clientHeight) {
  const int quarterWidth = (clientWidth / 4) / kScrollUnit;
  const int quarterHeight = (clientHeight / 4) / kScrollUnit;
  const int x = view.ScrollX;
  const int y = view.ScrollY;
  switch (key) {
    case kKeyPageUp:
      return Point{x, y - quarterHeight};
    case kKeyPageDown:
      return Point{x, y + quarterHeight};
    case kKeyEnd:
      return Point{x + view.RangeX, y + view.RangeY};
    case kKeyHome:
      return Point{0, 0};
    case kKeyLeft:
      return Point{x - quarterWidth, y};
    case kKeyUp:
      return Point{x, y - 2};
    case kKeyRight:
      return Point{x + quarterWidth, y};
    case kKeyDown:
      return Point{x, y + 2};
    default:
      return std::nullopt;
  }
}

int FindStationForKey(const Corvane3Data& store, int key) {
  if (key < kFirstStationKey || key > 255) return -1;
  const std::string text(1, static_cast<char>(key));
  for (int i = 0; i < kMaxStations; ++i) {
    const StationData station = store.GetStationData(i);
    if (station.InUse != 0 && FieldText(station.ShortCode) == text) return i;
  }
  return -1;
}

Cell StationCentre(const Corvane3Data& store, int station) {
  const StationData s = store.GetStationData(station);
  return {(s.Words26[0] + s.Words26[2] / 2) / kCellPixels, (s.Words26[1] + s.Words26[3] / 2) / kCellPixels};
}

bool ViewHistory::Remember(const SavedView& view) {
  newest_ = current_;
  if (newest_ != 0 && entries_[newest_] == view) return false;
  if (newest_ == kCapacity) {
    std::copy(entries_.begin() + 2, entries_.end(), entries_.begin() + 1);
    entries_[kCapacity] = view;
  } else {
    entries_[++newest_] = view;
  }
  current_ = newest_;
  return true;
}

std::optional<SavedView> ViewHistory::Back() {
  if (!CanGoBack()) return std::nullopt;
  return entries_[--current_];
}

std::optional<SavedView> ViewHistory::Forward() {
  if (!CanGoForward()) return std::nullopt;
  return entries_[++current_];
}

void ViewHistory::SetPositions(int newest, int current) {
  newest_ = std::clamp(newest, 0, kCapacity);
  current_ = std::clamp(current, 0, newest_);
}

}  // namespace layout
