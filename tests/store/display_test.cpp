// What the display routines ask the layout window to repaint.
#include <gtest/gtest.h>

#include "tests/support/store_fixture.h"

namespace {

using Rect = FakeShellService::Rect;
using Pixels = FakeDisplayService::Rect;

class DisplayTest : public StoreFixture {
 protected:
  DisplayTest() {
    // Block 3 runs from (10,20) to (13,21), turning down at x 12:
    //   row 20:  = = 9
    //   row 21:        7
    store().UpdateGridTrack(10, 20, 1);
    store().UpdateGridTrack(11, 20, 1);
    store().UpdateGridTrack(12, 20, 9);
    store().UpdateGridTrack(13, 21, 7);
    BlockData block{};
    block.InUse = 1;
    block.LeftCellX = 10;
    block.LeftCellY = 20;
    block.RightCellX = 13;
    block.RightCellY = 21;
    store().UpdateBlockData(3, block);

    SwitchData sw{};
    sw.CellX = 30;
    sw.CellY = 5;
    store().UpdateSwitchData(1, sw);
    SignalData signal{};
    signal.CellX = 40;
    signal.CellY = 6;
    signal.TrackCode = 20;
    store().UpdateSignalData(2, signal);
    signal.TrackCode = 21;
    store().UpdateSignalData(3, signal);
    CrossData cross{};
    cross.CellX = 50;
    cross.CellY = 7;
    store().UpdateCrossData(4, cross);
  }
};

TEST_F(DisplayTest, InvalidatedAreaOfEachDeviceKind) {
  struct Case {
    int device;
    int lines;
    std::vector<Rect> expected;
  };
  const Case cases[] = {
      {3, 1, {{10, 19, 16, 30}, {11, 19, 16, 30}, {12, 19, 16, 30}, {13, 20, 16, 30}}},
      {3,
       3,
       {{10, 19, 16, 30},
        {10, 19, 16, 52},
        {11, 19, 16, 30},
        {11, 19, 16, 52},
        {12, 19, 16, 30},
        {12, 19, 16, 52},
        {13, 20, 16, 30},
        {13, 20, 16, 52}}},
      {2001, 1, {{30, 5, 18, 18}}},
      {3002, 1, {{38, 6, 64, 18}}},
      {4004, 1, {{49, 7, 48, 18}}},
      {5000, 1, {}},
      {-1, 1, {}},
  };
  for (const Case& c : cases) {
    shell.Invalidated.clear();
    store().InvalidateDevice(c.device, 0, c.lines);
    EXPECT_EQ(shell.Invalidated, c.expected) << c.device << " lines " << c.lines;
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(DisplayTest, BrokenTrackEndsTheBlockWalk) {
  store().UpdateGridTrack(12, 20, 0);  // a gap before the right end
  store().InvalidateDevice(3);
  EXPECT_EQ(shell.Invalidated.size(), 2u);
  store().UpdateGridTrack(12, 20, 1);
  store().UpdateGridTrack(13, 20, 1);  // track runs on past the end cell without reaching it
  store().UpdateGridTrack(14, 20, 1);
  shell.Invalidated.clear();
  store().InvalidateDevice(3);
  EXPECT_EQ(shell.Invalidated.size(), 5u);  // stops at the empty cell beyond (14,20)
}

TEST_F(DisplayTest, DrawDevicePaintsEveryCellInTheBackground) {
  display.Scroll = {1, 0};  // 32 pixels scrolled right
  store().DrawDevice(2001);
  ASSERT_EQ(display.Filled.size(), 1u);
  EXPECT_EQ(display.Filled[0], (Pixels{30 * 16 - 32, 5 * 16 - 2, 31 * 16 - 32, 6 * 16}));
  EXPECT_EQ(display.FillColours[0], 0xFFFFFFu);

  OptionData options{};
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  store().ZoomDivisor = 2;
  display.Filled.clear();
  store().DrawDevice(3);
  ASSERT_EQ(display.Filled.size(), 4u);
  EXPECT_EQ(display.Filled[3], (Pixels{13 * 8 - 32, 21 * 8 - 2, 14 * 8 - 32, 22 * 8}));
  EXPECT_EQ(display.FillColours[3], 0x000000u);
}

TEST_F(DisplayTest, PaintSignalClearsTheCellBesideIt) {
  display.Scroll = {0, 1};
  store().PaintSignal(2);  // faces right: the cell to its right
  store().PaintSignal(3);  // code 21: the cell to its left
  store().ZoomDivisor = 2;
  store().PaintSignal(2);
  EXPECT_EQ(display.Filled, (std::vector<Pixels>{{656, 64, 672, 79}, {624, 64, 640, 79}, {328, 16, 336, 23}}));
  store().PaintSignal(1000);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Signal index error - PaintSignal", 0), 0u);
}

TEST_F(DisplayTest, DrawBlockClearsTheTrainLabelStrips) {
  BlockStatus status{};
  status.InUse = 1;
  status.RightLabelX = 11;
  status.RightLabelY = 19;
  store().UpdateBlockStatus(3, status, 0, 1);
  display.Scroll = {1, 1};
  const int centre = 11 * 16 - 16 - 32;
  const int row = 19 * 16 - 32;
  const Pixels above{centre - 31, row - 9, centre + 31, row};

  store().DrawBlock(3, 1);
  EXPECT_EQ(display.Filled, std::vector<Pixels>{above});
  EXPECT_EQ(display.Invalidated, std::vector<Pixels>{above});

  display.Filled.clear();
  display.Invalidated.clear();
  store().DrawBlock(3, 2);
  const Pixels below{centre - 31, row + 15, centre + 31, row + 34};
  EXPECT_EQ(display.Filled, (std::vector<Pixels>{above, below}));
  EXPECT_EQ(display.Invalidated, (std::vector<Pixels>{above, below}));

  // A pass-through block has no labels below the track; zoomed out, nothing is drawn.
  BlockData data = store().GetBlockData(3);
  data.PassThrough = 1;
  store().UpdateBlockData(3, data);
  display.Filled.clear();
  store().DrawBlock(3, 2);
  EXPECT_EQ(display.Filled, std::vector<Pixels>{above});
  store().ZoomDivisor = 2;
  display.Filled.clear();
  display.Invalidated.clear();
  store().DrawBlock(3, 2);
  EXPECT_TRUE(display.Filled.empty());
  EXPECT_TRUE(display.Invalidated.empty());
}

TEST_F(DisplayTest, RefreshCursorPostsAMoveWhereThePointerIs) {
  display.Cursor = {123, 45};
  store().RefreshCursor();
  ASSERT_EQ(display.MouseMoves.size(), 1u);
  EXPECT_EQ(display.MouseMoves[0].X, 123);
  EXPECT_EQ(display.MouseMoves[0].Y, 45);
}

}  // namespace
