// The layout as the program shows it on the demonstration territory, grabbed from its window: changes made
// while the view is elsewhere show when the view comes back, and a train shows with its ID whatever piece
// its block ends on.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "shell/corvane3_app.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/layout_painter.h"
#include "shell/layout_view.h"
#include "store/fixed_text.h"
#include "store/track_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/shell/image_difference.h"
#include "tests/support/fake_services.h"
#include "tools/territory/demo_territory.h"

namespace {

class LayoutDisplayTest : public ::testing::Test {
 protected:
  LayoutDisplayTest() {
    app_ = StartShownProgram(folder_, &messages);
    territory::BuildDemonstrationTerritory(store());
    store().InitSimulationStatus();
    store().Run.Loading = 0;
    layout().PaintsToSkip = 0;
    layout().ComputeLayoutExtent();
    layout().RepaintLayout();
    for (int i = 0; i < kMaxBlocks; ++i) {
      const BlockData& data = store().BlockDataRef(i);
      if (data.InUse != 0) blocks_[FieldText(data.Name)] = i;
    }
  }

  Corvane3Data& store() { return *TheStore; }
  TCorvane3Window& layout() { return *app_->LayoutWindow(); }
  int Block(const std::string& name) { return blocks_.at(name); }

  void ScrollTo(int x, int y) {
    layout().horizontalScrollBar()->setValue(x);
    layout().verticalScrollBar()->setValue(y);
    QCoreApplication::processEvents();
  }

  // What the window shows: its viewport painted as the program paints it.
  QImage Shown() { return layout().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The same part of the layout painted whole from the store, as a repaint of everything would show it.
  QImage Painted() {
    const layout::View view = layout().CurrentView();
    const QPoint origin(view.ScrollX * layout::kScrollUnit, view.ScrollY * layout::kScrollUnit);
    QImage image(layout().viewport()->size(), QImage::Format_RGB32);
    image.fill(layout().BackgroundColour());
    QPainter painter(&image);
    painter.translate(-origin);
    LayoutPainter(store(), *app_->Pictures()).Paint(painter, QRect(origin, image.size()), layout().PaintState());
    return image;
  }

  // A standing train in slot 0 alone in the block, which it occupies moving right (3) or left (4).
  void PutTrain(int block, int occupancy, const char* id) {
    TrainStatus train = store().GetTrainStatus(0);
    train.InUse = 1;
    train.TrainIndex = -1;
    SetFieldText(train.TrainId, id);
    train.Type = 0;
    train.HeadBlock = train.RearBlock = static_cast<int16_t>(block);
    train.HeadDirection = occupancy == 3 ? 1 : 0;
    train.Speed = 0;
    store().UpdateTrainStatus(0, train, 1);
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = static_cast<int16_t>(occupancy);
    status.Trains[0] = 0;
    store().UpdateBlockStatus(block, status, 1);
  }

  // Pixels of the ID's red ink in a window rectangle (blended with the ground at the glyphs' edges).
  static int RedInk(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        const QRgb p = image.pixel(x, y);
        n += qRed(p) > qGreen(p) + 60 && qRed(p) > qBlue(p) + 60;
      }
    return n;
  }

  QTemporaryDir folder_;
  FakeMessageService messages;
  std::unique_ptr<TCorvane3App> app_;
  std::map<std::string, int> blocks_;
};

// With the view at the east end, a train enters at the west end and a signal there clears: the kept
// layout image learns of both, so that scrolling back shows them as a repaint of everything would.
TEST_F(LayoutDisplayTest, AChangeMadeWhileScrolledAwayShowsWhenScrolledBack) {
  const QImage before = Shown();
  ASSERT_TRUE(before == Painted()) << FirstDifference(before, Painted());
  for (const int zoom : {1, 2}) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    if (store().ZoomDivisor != zoom) layout().CmToggleZoom();
    ScrollTo(0, 0);
    const QImage west = Shown();
    const int east = layout().horizontalScrollBar()->maximum();
    ASSERT_GT(east * layout::kScrollUnit, 24 * layout::kCellPixels / zoom) << "the west end must go out of view";
    ScrollTo(east, 0);
    const QImage away = Shown();
    EXPECT_TRUE(away == Painted()) << FirstDifference(away, Painted());

    // Track 2's first block, where trains from W2 come in, and the signal at its far end.
    const int block = Block("2T01");
    PutTrain(block, zoom == 1 ? 3 : 4, "101");
    const int signal = store().GetBlockData(block).RightSignal;
    ASSERT_GE(signal, 0);
    SignalStatus aspect = store().GetSignalStatus(signal);
    aspect.Aspect = zoom == 1 ? 1 : 5;
    store().UpdateSignalStatus(signal, aspect);
    store().InvalidateDevice(3000 + signal, 1, 1);  // as the engine asks after a signal's change
    EXPECT_TRUE(Shown() == away) << "nothing in view changed";

    ScrollTo(0, 0);
    const QImage back = Shown();
    EXPECT_FALSE(back == west) << "the change must show for the comparison to prove anything";
    EXPECT_TRUE(back == Painted()) << FirstDifference(back, Painted());
  }
}

// A block may end on the piece a switch's diagonal joins (the branch at the junction, the passing siding at
// both ends): a train there is drawn over its end cell and the one beside it, with its ID above, as on
// plain track.
TEST_F(LayoutDisplayTest, ATrainInABlockEndingOnATurnoutPieceIsDrawnWithItsId) {
  struct Case {
    const char* Block;
    int Occupancy;
  };
  const Case cases[] = {{"BR2", 3}, {"AS", 3}, {"AS", 4}, {"1T05", 4}};
  store().TrainTypeIcons[0] = {0, 1, 2};  // the internal pictures of the first type
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Block) + " occupied " + std::to_string(c.Occupancy));
    store().InitSimulationStatus();
    layout().RepaintLayout();
    const int block = Block(c.Block);
    PutTrain(block, c.Occupancy, "501");
    const BlockStatus& status = store().BlockStatusRef(block);
    const int column = c.Occupancy == 3 ? status.RightLabelX - 1 : status.LeftLabelX;
    const int row = c.Occupancy == 3 ? status.RightLabelY : status.LeftLabelY;
    const int end = store().GetGridTrack(c.Occupancy == 3 ? status.RightLabelX : status.LeftLabelX, row);
    EXPECT_EQ(track::IsStraight(end), std::string(c.Block) == "1T05") << "the end cell's piece";
    layout().ScrollCellIntoView(column, row);
    QCoreApplication::processEvents();

    const QImage shown = Shown();
    const layout::Point at = layout().CurrentView().CellToWindow(column, row);
    const QImage& icon = app_->Pictures()->TrainIconBitmap[store().TrainTypeIcons[0][c.Occupancy == 3 ? 1 : 0]];
    EXPECT_EQ(shown.copy(at.X, at.Y, 32, 16), icon.scaled(32, 16).convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(RedInk(shown, QRect(at.X - 16, at.Y - 9, 64, 9)), 20) << "the standing train's ID, red, above it";
    EXPECT_TRUE(shown == Painted()) << FirstDifference(shown, Painted());
  }
}

}  // namespace
