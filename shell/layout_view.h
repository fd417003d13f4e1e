// Cell, pixel and scroll arithmetic of the layout window, in one place and
// free of widgets: the window feeds it the zoom divisor, the scroll position,
// the scroll ranges and its sizes, and acts on what it returns.
//
// Units: a cell is 16 pixels at zoom divisor 1 and 8 at divisor 2; a cell's
// full-size pixel position is column x 16, row x 16; the scroll position and
// ranges count units of 32 window pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class Corvane3Data;

namespace layout {

inline constexpr int kCellPixels = 16;
inline constexpr int kScrollUnit = 32;
inline constexpr int kColumns = 200;
inline constexpr int kRows = 160;

struct Point {
  int X = 0;
  int Y = 0;
  bool operator==(const Point&) const = default;
};

struct Cell {
  int Column = 0;
  int Row = 0;
  bool operator==(const Cell&) const = default;
};

// Right and bottom are exclusive.
struct Rect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const Rect&) const = default;
};

// The view the window shows: zoom divisor, scroll position and ranges (units).
struct View {
  int Zoom = 1;
  int ScrollX = 0;
  int ScrollY = 0;
  int RangeX = 0;
  int RangeY = 0;

  int CellSize() const { return kCellPixels / Zoom; }
  // Window pixels of a cell's top-left corner.
  Point CellToWindow(int column, int row) const;
  // The cell under a window pixel; none outside the grid.
  std::optional<Cell> WindowToCell(int x, int y) const;
  // The same, a point right of or below `last` (or the grid) taking the last column or row;
  // none above or left of the layout.
  std::optional<Cell> WindowToCellUpTo(int x, int y, Cell last) const;
  // The window rectangle to repaint for a few cells: width and height in full-size
  // pixels, a 2-pixel margin, limited to the grid but not to the window.
  Rect CellRect(int column, int row, int widthPixels, int heightPixels) const;
  // The scroll position that centres a cell in an area of that size, kept within the ranges.
  Point CentreOn(int column, int row, int areaWidth, int areaHeight) const;
  // Where the pointer goes to sit on a cell: its centre, in window pixels.
  Point CursorOnCell(int column, int row) const;
  // True when the cell's top-left corner lies within the visible area (bounds included).
  bool IsCellVisible(int column, int row, int visibleWidth, int visibleHeight) const;
  // A scroll position kept within 0 and the ranges.
  Point Clamp(int x, int y) const;
};

// The label strips above and below a block's cells in layout pixels, two a run (above the track
// row, then below it): the first run from its left end column on the left end's row to
// firstRunRight, or to the right end column when there is no second run; when secondRunLeft is
// not -1, the second run from there to the right end column on the right end's row. The painter
// draws the labels in them and the window repaints them, so both take them from here.
std::vector<Rect> BlockLabelStripPixels(int leftX, int leftY, int firstRunRight, int secondRunLeft, int rightX,
                                        int rightY);
// The same strips as window rectangles.
std::vector<Rect> BlockLabelStrips(const View& view, int leftX, int leftY, int firstRunRight, int secondRunLeft,
                                   int rightX, int rightY);

// The used part of the grid: last column and row, with the margin and caps.
Cell ComputeLayoutExtent(const Corvane3Data& store);

// Scroll ranges for a layout of that size (pixels, already divided by the zoom)
// shown in a frame client area of that size; currentRange* say whether each bar shows now.
Point ComputeScrollRanges(int layoutWidth, int layoutHeight, int clientWidth, int clientHeight, int currentRangeX,
                          int currentRangeY);

// The scroll position a key asks for (not yet kept within the ranges); none for a key that
// does not scroll. clientWidth and clientHeight are the visible area in pixels.
std::optional<Point> KeyScrollTarget(int key, const View& view, int clientWidth, int clientHeight);

// Key codes of the keyboard handler.
enum Key : int {
  kKeyEscape = 27,
  kKeyPageUp = 33,
  kKeyPageDown = 34,
  kKeyEnd = 35,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kFirstStationKey = 49,
};

// The station whose shortcut is the key's character, or -1.
int FindStationForKey(const Corvane3Data& store, int key);
// The cell at the middle of a station's rectangle.
Cell StationCentre(const Corvane3Data& store, int station);

// One remembered view: zoom divisor and scroll position.
struct SavedView {
  int16_t Zoom = 0;
  int16_t ScrollX = 0;
  int16_t ScrollY = 0;
  bool operator==(const SavedView&) const = default;
};

// The view history: entries 1-49; Newest is the last written, Current the one shown.
class ViewHistory {
 public:
  static constexpr int kCapacity = 49;

  // Drops the entries after the current one and appends the view unless it equals the
  // current entry; true when appended (the caller then records the view).
  bool Remember(const SavedView& view);
  // The previous / next view, moving the current entry; none at either end.
  std::optional<SavedView> Back();
  std::optional<SavedView> Forward();
  bool CanGoBack() const { return current_ >= 2; }
  bool CanGoForward() const { return current_ < newest_; }
  void Clear() { newest_ = current_ = 0; }

  int Newest() const { return newest_; }
  int Current() const { return current_; }
  // Entry 1-49.
  const SavedView& Entry(int position) const { return entries_[position]; }
  // For a saved simulation: the two positions, restored as read (kept within 0-49).
  void SetPositions(int newest, int current);

 private:
  std::array<SavedView, kCapacity + 1> entries_{};  // entry 0 unused
  int newest_ = 0;
  int current_ = 0;
};

}  // namespace layout
