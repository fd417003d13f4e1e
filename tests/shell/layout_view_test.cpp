// The layout window's arithmetic, without any widget.
#include "shell/layout_view.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using layout::Cell;
using layout::Point;
using layout::Rect;
using layout::SavedView;
using layout::View;

View MakeView(int zoom, int sx, int sy, int rangeX = 100, int rangeY = 100) {
  View v;
  v.Zoom = zoom;
  v.ScrollX = sx;
  v.ScrollY = sy;
  v.RangeX = rangeX;
  v.RangeY = rangeY;
  return v;
}

TEST(LayoutViewTest, WindowPixelToCellAtBothZoomsWithTheViewScrolled) {
  struct Case {
    int Zoom, ScrollX, ScrollY, X, Y;
    std::optional<Cell> Expected;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 0, Cell{0, 0}},           {1, 0, 0, 15, 15, Cell{0, 0}},
      {1, 0, 0, 16, 31, Cell{1, 1}},         {1, 2, 1, 0, 0, Cell{4, 2}},       // 64, 32 pixels scrolled
      {1, 2, 1, 17, 40, Cell{5, 4}},                                            // (64 + 17) / 16, (32 + 40) / 16
      {2, 0, 0, 7, 8, Cell{0, 1}},                                              // 8-pixel cells
      {2, 3, 2, 5, 9, Cell{12, 9}},                                             // (96 + 5) / 8, (64 + 9) / 8
      {1, 0, 0, 3199, 2559, Cell{199, 159}}, {1, 0, 0, 3200, 0, std::nullopt},  // beyond the last column
      {2, 0, 0, 0, 1280, std::nullopt},                                         // beyond the last row at half size
      {1, 0, 0, -1, 5, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto cell = MakeView(c.Zoom, c.ScrollX, c.ScrollY).WindowToCell(c.X, c.Y);
    EXPECT_EQ(cell, c.Expected) << "zoom " << c.Zoom << " scroll " << c.ScrollX << "," << c.ScrollY << " pixel " << c.X
                                << "," << c.Y;
    // And back: the cell's corner lies at or before the pixel, within one cell.
    if (cell) {
      const Point corner = MakeView(c.Zoom, c.ScrollX, c.ScrollY).CellToWindow(cell->Column, cell->Row);
      EXPECT_LE(corner.X, c.X);
      EXPECT_GT(corner.X + 16 / c.Zoom, c.X);
    }
  }
}

// The right click's hit: past the used layout (or the grid) it takes the last column or row.
TEST(LayoutViewTest, WindowPixelToCellUpToTheLastUsedCell) {
  struct Case {
    int Zoom, ScrollX, X, Y;
    Cell Last;
    std::optional<Cell> Expected;
  };
  const Case cases[] = {
      {1, 0, 40, 20, {10, 10}, Cell{2, 1}},            // inside the used layout: the cell itself
      {1, 0, 400, 20, {10, 10}, Cell{10, 1}},          // right of it: its last column
      {2, 2, 100, 900, {30, 50}, Cell{20, 50}},        // (64 + 100) / 8 columns, below the last row
      {1, 0, 5000, 5000, {300, 300}, Cell{199, 159}},  // never past the grid
      {1, 0, -1, 0, {10, 10}, std::nullopt},           // left of the layout
  };
  for (const Case& c : cases)
    EXPECT_EQ(MakeView(c.Zoom, c.ScrollX, 0).WindowToCellUpTo(c.X, c.Y, c.Last), c.Expected)
        << "zoom " << c.Zoom << " pixel " << c.X << "," << c.Y;
}

TEST(LayoutViewTest, InvalidatedCellRectanglesHaveAMarginAndStayOnTheGridInViewOrNot) {
  struct Case {
    int Zoom, ScrollX, ScrollY, Column, Row, Width, Height;
    Rect Expected;
  };
  const Case cases[] = {
      {1, 0, 0, 10, 5, 16, 30, {158, 78, 178, 112}},
      {2, 0, 0, 10, 5, 16, 30, {78, 38, 90, 57}},
      {1, 1, 1, 10, 5, 18, 18, {126, 46, 148, 68}},
      {1, 0, 0, 0, 0, 16, 16, {0, 0, 18, 18}},                // no corner off the grid
      {1, 10, 3, 0, 0, 16, 16, {-320, -96, -302, -78}},       // scrolled away: left of and above the window
      {2, 60, 0, 180, 2, 16, 16, {-482, 14, -470, 26}},       // half size, the view east of the cell
      {1, 0, 0, 199, 159, 18, 18, {3182, 2542, 3200, 2560}},  // the last column and row are repainted too
      {2, 0, 0, 199, 159, 18, 18, {1590, 1270, 1600, 1280}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeView(c.Zoom, c.ScrollX, c.ScrollY).CellRect(c.Column, c.Row, c.Width, c.Height), c.Expected)
        << c.Column << "," << c.Row << " zoom " << c.Zoom;
  }
}

TEST(LayoutViewTest, CentringAndThePointerOnACell) {
  View view = MakeView(1, 7, 7, 60, 50);
  // Near the top-left corner the view goes to 0, 0 and the pointer sits on the cell itself.
  EXPECT_EQ(view.CentreOn(3, 2, 800, 600), (Point{0, 0}));
  view.ScrollX = view.ScrollY = 0;
  EXPECT_EQ(view.CursorOnCell(3, 2), (Point{56, 40}));
  // (100 x 16 - 400) / 32 and (80 x 16 - 300) / 32.
  EXPECT_EQ(view.CentreOn(100, 80, 800, 600), (Point{37, 30}));
  // Half size: (100 x 8 - 400) / 32, and the ranges hold the far corner.
  EXPECT_EQ(MakeView(2, 0, 0, 60, 50).CentreOn(100, 80, 800, 600), (Point{12, 10}));
  EXPECT_EQ(MakeView(1, 0, 0, 20, 10).CentreOn(199, 159, 800, 600), (Point{20, 10}));
  const View scrolled = MakeView(2, 12, 10);
  EXPECT_EQ(scrolled.CursorOnCell(100, 80), (Point{800 - 384 + 4, 640 - 320 + 4}));

  // Visibility of a cell's corner, bounds included.
  const View v = MakeView(1, 2, 1);  // 64, 32 pixels scrolled
  EXPECT_TRUE(v.IsCellVisible(4, 2, 100, 100));
  EXPECT_FALSE(v.IsCellVisible(3, 2, 100, 100));
  EXPECT_TRUE(v.IsCellVisible(10, 8, 96, 96));  // 160 = 64 + 96, 128 = 32 + 96
  EXPECT_FALSE(v.IsCellVisible(11, 8, 96, 96));
}

class LayoutExtentTest : public StoreFixture {
 protected:
  LayoutExtentTest() { store().InitTerritoryData(); }
};

TEST_F(LayoutExtentTest, ExtentFromTrackLabelsAndStations) {
  // An empty territory still gets the margin.
  EXPECT_EQ(layout::ComputeLayoutExtent(store()), (Cell{2, 2}));

  // Track at the last column and row: no margin beyond the grid.
  store().UpdateGridTrack(199, 159, 1);
  EXPECT_EQ(layout::ComputeLayoutExtent(store()), (Cell{199, 159}));
  store().UpdateGridTrack(199, 159, 0);

  // Code 128 is not track.
  store().UpdateGridTrack(50, 40, 128);
  EXPECT_EQ(layout::ComputeLayoutExtent(store()), (Cell{2, 2}));
  store().UpdateGridTrack(50, 40, 1);
  EXPECT_EQ(layout::ComputeLayoutExtent(store()), (Cell{52, 42}));

  // A label rectangle reaching pixel 3200 raises the extent to the cap.
  TextData text = store().GetTextData(3);
  std::strcpy(text.Text, "Yard");
  text.Words100[0] = 3100;
  text.Words100[1] = 100;
  text.Words100[2] = 100;
  text.Words100[3] = 20;
  store().UpdateTextData(3, text);
  EXPECT_EQ(layout::ComputeLayoutExtent(store()), (Cell{199, 42}));

  // A station in use with a name counts by its rectangle.
  territory::TerritoryBuilder builder(store());
  builder.Station("Ashby", "A", {20, 45});
  const StationData station = store().GetStationData(0);
  const int bottom = station.Words26[1] + station.Words26[3];
  EXPECT_EQ(layout::ComputeLayoutExtent(store()).Row, bottom / 16 + 1 + 2);
}

TEST(LayoutViewTest, ScrollRangesFromTheLayoutAndTheClientArea) {
  struct Case {
    int LayoutW, LayoutH, ClientW, ClientH, RangeX, RangeY;
    Point Expected;
  };
  const Case cases[] = {
      // Wider than the layout and more than 48 pixels taller: no scrolling either way.
      {800, 600, 1000, 700, 0, 0, {0, 0}},
      // 3200 x 2560 in 1000 x 700 with no bar yet: (3200 - 984) / 32 + 1, (2560 + 48 - 684) / 32 + 4.
      {3200, 2560, 1000, 700, 0, 0, {70, 64}},
      // Both bars shown already: nothing is kept for them.
      {3200, 2560, 1000, 700, 5, 5, {69, 63}},
      // Only 40 pixels taller than the layout: the 48-pixel allowance makes it scroll.
      {800, 600, 1000, 656, 0, 0, {0, 4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(layout::ComputeScrollRanges(c.LayoutW, c.LayoutH, c.ClientW, c.ClientH, c.RangeX, c.RangeY), c.Expected)
        << c.LayoutW << "x" << c.LayoutH << " in " << c.ClientW << "x" << c.ClientH;
  }
}

TEST(LayoutViewTest, KeysScrollByQuartersRowsAndCorners) {
  const View view = MakeView(1, 10, 10, 40, 30);
  struct Case {
    int Key;
    std::optional<Point> Expected;
  };
  // 800 x 600: a quarter width is 6 units, a quarter height 4.
  const Case cases[] = {
      {33, Point{10, 6}}, {34, Point{10, 14}}, {35, Point{50, 40}}, {36, Point{0, 0}},  {37, Point{4, 10}},
      {38, Point{10, 8}}, {39, Point{16, 10}}, {40, Point{10, 12}}, {27, std::nullopt}, {48, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(layout::KeyScrollTarget(c.Key, view, 800, 600), c.Expected) << c.Key;

  // End on a layout smaller than the window stays at 0, 0 once kept within the ranges.
  const View small = MakeView(1, 0, 0, 0, 0);
  const Point end = *layout::KeyScrollTarget(35, small, 800, 600);
  EXPECT_EQ(small.Clamp(end.X, end.Y), (Point{0, 0}));
  // Up at the top stays at the top.
  const Point up = *layout::KeyScrollTarget(38, small, 800, 600);
  EXPECT_EQ(small.Clamp(up.X, up.Y), (Point{0, 0}));
}

TEST_F(LayoutExtentTest, StationShortcutKeysFindTheFirstStationWithThatText) {
  territory::TerritoryBuilder builder(store());
  builder.Station("Ashby", "A", {20, 10});
  builder.Station("Burton", "7", {60, 30});
  builder.Station("Again", "A", {90, 90});
  builder.Station("Lower", "b", {100, 100});
  EXPECT_EQ(layout::FindStationForKey(store(), 'A'), 0);
  EXPECT_EQ(layout::FindStationForKey(store(), '7'), 1);
  EXPECT_EQ(layout::FindStationForKey(store(), 'B'), -1);  // case-sensitive: "b" is not "B"
  EXPECT_EQ(layout::FindStationForKey(store(), 'Z'), -1);
  EXPECT_EQ(layout::FindStationForKey(store(), 40), -1);  // below 49: not a station key
  EXPECT_EQ(layout::StationCentre(store(), 1), (Cell{60, 30}));
}

TEST(LayoutViewTest, LabelStripsOfBothRunsCoverTheSameRowsBelowTheTrack) {
  // First run from column 10 to 14 on row 5; second run from 16 to 20 on row 6.
  const auto strips = layout::BlockLabelStrips(MakeView(1, 0, 0), 10, 5, 14, 16, 20, 6);
  ASSERT_EQ(strips.size(), 4u);
  EXPECT_EQ(strips[0], (Rect{160, 78, 240, 86}));    // above the first run
  EXPECT_EQ(strips[1], (Rect{160, 91, 240, 99}));    // below it
  EXPECT_EQ(strips[2], (Rect{256, 94, 336, 102}));   // above the second run
  EXPECT_EQ(strips[3], (Rect{256, 107, 336, 115}));  // below it: 11 to 19 pixels, as for the first run
  // One run only, at half size and scrolled.
  const auto one = layout::BlockLabelStrips(MakeView(2, 1, 0), 10, 5, 14, -1, 14, 5);
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(one[0], (Rect{80 - 32, 39, 120 - 32, 43}));
  // With one run the strip reaches the right end cell, where the labels are painted, whatever the
  // first run's end column holds.
  const auto stale = layout::BlockLabelStrips(MakeView(1, 0, 0), 10, 5, 12, -1, 14, 5);
  ASSERT_EQ(stale.size(), 2u);
  EXPECT_EQ(stale[0], (Rect{160, 78, 240, 86}));
  EXPECT_EQ(stale[1], (Rect{160, 91, 240, 99}));
}

TEST(ViewHistoryTest, RemembersWithinItsLimitAndWalksBackAndForward) {
  layout::ViewHistory history;
  EXPECT_FALSE(history.CanGoBack());
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(history.Remember({1, static_cast<int16_t>(i), 0}));
  // Fifty views keep the latest 49.
  EXPECT_EQ(history.Newest(), 49);
  EXPECT_EQ(history.Entry(1), (SavedView{1, 1, 0}));
  EXPECT_EQ(history.Entry(49), (SavedView{1, 49, 0}));

  // The view already current adds nothing.
  EXPECT_FALSE(history.Remember({1, 49, 0}));
  EXPECT_EQ(history.Newest(), 49);

  EXPECT_EQ(history.Back(), (SavedView{1, 48, 0}));
  EXPECT_EQ(history.Back(), (SavedView{1, 47, 0}));
  EXPECT_EQ(history.Forward(), (SavedView{1, 48, 0}));
  // After Back, a new view drops the entries after the current one.
  EXPECT_TRUE(history.Remember({2, 5, 5}));
  EXPECT_EQ(history.Newest(), 49);
  EXPECT_EQ(history.Current(), 49);
  EXPECT_EQ(history.Entry(48), (SavedView{1, 48, 0}));
  EXPECT_EQ(history.Entry(49), (SavedView{2, 5, 5}));
  EXPECT_FALSE(history.Forward());

  // Back stops at entry 1.
  layout::ViewHistory two;
  two.Remember({1, 0, 0});
  EXPECT_FALSE(two.Back());
  two.Remember({1, 3, 0});
  EXPECT_EQ(two.Back(), (SavedView{1, 0, 0}));
  EXPECT_FALSE(two.Back());
  EXPECT_EQ(two.Current(), 1);
}

}  // namespace
