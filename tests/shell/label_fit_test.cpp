// The layout's labels by their pixels: each kind of label, drawn alone at both sizes and with the
// Classic Display, keeps all its ink inside its box; and on the demonstration territory no label
// puts ink on the track or pictures drawn beside it.
//
//   WEST [=====B0=====]S0  W1      [B1]  (B1 one cell long, named "WEAF-1")
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <iterator>
#include <string>

#include "shell/display_pictures.h"
#include "shell/layout_painter.h"
#include "shell/layout_view.h"
#include "shell/picture_art.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;

// The pixels two paintings differ in.
std::vector<QPoint> Changed(const QImage& with, const QImage& without) {
  std::vector<QPoint> changed;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x)
      if (with.pixel(x, y) != without.pixel(x, y)) changed.push_back({x, y});
  return changed;
}

class LabelFitTest : public StoreFixture {
 protected:
  LabelFitTest() { EnsureQApplication(); }

  void SetDisplay(int zoom, bool classic) {
    store().ZoomDivisor = zoom;
    OptionData options = store().GetOptionData();
    options.ClassicDisplay = classic ? 1 : 0;
    store().UpdateOptionData(options);
    pictures_.FreeDisplayResources();
    pictures_.LoadDisplayResources(classic);
    pictures_.LoadTrainIcons();
  }
  QImage Paint(int columns, int rows) {
    const int zoom = store().ZoomDivisor;
    QImage image(columns * 16 / zoom, rows * 16 / zoom, QImage::Format_RGB32);
    image.fill(store().GetOptionData().ClassicDisplay ? art::kBlack : art::kWhite);
    QPainter painter(&image);
    state_.ExtentX = columns;
    state_.ExtentY = rows;
    state_.LabelFont = LayoutLabelFont();
    LayoutPainter(store(), pictures_).Paint(painter, image.rect(), state_);
    return image;
  }
  void ShowLocations(bool shown) {
    for (int i = 0; i < kMaxLocations; ++i) {
      OrgData org = store().GetOrgData(i);
      if (org.InUse == 0) continue;
      org.InUse = shown ? 1 : 2;  // 2: kept, but not a location the painter draws
      store().UpdateOrgData(i, org);
    }
  }

  DisplayPictures pictures_;
  LayoutPaintState state_;
};

TEST_F(LabelFitTest, EachLabelKindKeepsItsInkInItsBox) {
  territory::TerritoryBuilder t(store());
  const int b0 = t.Block({.From = {4, 5}, .To = {9, 5}, .Station1 = "WE", .Station2 = "ST", .Track = "1"});
  const int b1 = t.Block({.From = {16, 5}, .To = {16, 5}, .Station1 = "WE", .Station2 = "AF", .Track = "1"});
  const int west = t.Location("WEST", b0, End::Left);
  const int w1 = t.Location("W1", b1, End::Right);
  const int signal = t.Signal(b0, End::Right, "S0");
  t.Finish();
  store().InitSimulationStatus();
  const SignalData s0 = store().GetSignalData(signal);

  struct Kind {
    const char* Name;
    bool FullSizeOnly;
    std::function<void(bool)> Show;  // draws the label or leaves it out
    std::function<QRect(int cell)> Box;
  };
  auto cellBox = [](int column, int row) {
    return [column, row](int cell) { return CellLabelBox(QRect(column * cell, row * cell, cell, cell)); };
  };
  const OrgData westOrg = store().GetOrgData(west), w1Org = store().GetOrgData(w1);
  const BlockStatus short1 = store().GetBlockStatus(b1);
  const Kind kinds[] = {
      {"four-letter location name", false,
       [&](bool shown) {
         OrgData org = westOrg;
         org.InUse = shown ? 1 : 0;
         store().UpdateOrgData(west, org);
       },
       cellBox(westOrg.CellX, westOrg.CellY)},
      {"two-letter location name", false,
       [&](bool shown) {
         OrgData org = w1Org;
         org.InUse = shown ? 1 : 0;
         store().UpdateOrgData(w1, org);
       },
       [&](int cell) { return CellLabelBox(QRect(w1Org.CellX * cell + 1, w1Org.CellY * cell, cell, cell)); }},
      {"signal-stack count", false,
       [&](bool shown) {
         StackData stack{};
         for (int k = 0; k < 12 && shown; ++k) {
           stack.InUse = 1;
           stack.EntranceSignal = static_cast<int16_t>(signal);
           store().UpdateStackData(k, stack);
         }
         if (!shown) store().UpdateStackData(0, StackData{});
       },
       cellBox(s0.TrackCode == 20 || s0.TrackCode == 22 ? s0.CellX - 1 : s0.CellX + 1, s0.CellY)},
      {"block name wider than its one-cell block", true, [&](bool shown) { state_.ShowBlockName = shown ? 1 : 0; },
       [&](int) { return QRect(short1.LeftLabelX * 16 + 1, short1.LeftLabelY * 16 - 2, 14, kLabelStripHeight); }},
  };

  for (const int zoom : {1, 2}) {
    for (const bool classic : {false, true}) {
      SetDisplay(zoom, classic);
      const int cell = 16 / zoom;
      for (const Kind& kind : kinds) {
        if (kind.FullSizeOnly && zoom != 1) continue;
        const std::string where =
            std::string(kind.Name) + " at 1/" + std::to_string(zoom) + (classic ? ", classic" : "");
        // Only this label: every other kind left out.
        for (const Kind& other : kinds) other.Show(false);
        kind.Show(true);
        const QImage with = Paint(24, 10);
        kind.Show(false);
        const QImage without = Paint(24, 10);
        const std::vector<QPoint> ink = Changed(with, without);
        const QRect box = kind.Box(cell);
        // The label's neighbourhood: its box and a cell all round (other labels of the kind lie further off).
        const QRect near = box.adjusted(-cell, -cell, cell, cell);
        int inside = 0, outside = 0;
        for (const QPoint& p : ink) {
          inside += box.contains(p);
          outside += near.contains(p) && !box.contains(p);
        }
        EXPECT_GT(inside, 0) << where << ": the label is drawn";
        EXPECT_EQ(outside, 0) << where << ": ink outside " << box.x() << "," << box.y() << " " << box.width() << "x"
                              << box.height();
      }
    }
  }
}

// The demonstration territory, whatever it holds: with every label kind shown, no label pixel lands
// on a pixel that the track, a signal or a picture beside it has drawn.
TEST_F(LabelFitTest, NoLabelOnTheDemonstrationTerritoryCoversItsTrack) {
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, -1), 0);
  store().InitSimulationStatus();
  const layout::Cell extent = layout::ComputeLayoutExtent(store());
  const int columns = extent.Column + 2, rows = extent.Row + 2;
  // A stacked route at every signal: its count is a label too.
  int stacked = 0;
  for (int i = 0; i < kMaxSignals && stacked < kMaxStack; ++i) {
    if (store().GetSignalData(i).InUse == 0) continue;
    StackData stack{};
    stack.InUse = 1;
    stack.EntranceSignal = static_cast<int16_t>(i);
    store().UpdateStackData(stacked++, stack);
  }
  auto clearStack = [&](bool clear) {
    for (int k = 0; k < stacked; ++k) {
      StackData stack = store().GetStackData(k);
      stack.InUse = clear ? 0 : 1;
      store().UpdateStackData(k, stack);
    }
  };
  uint8_t LayoutPaintState::*const options[] = {&LayoutPaintState::ShowBlockName, &LayoutPaintState::ShowBlockLengths,
                                                &LayoutPaintState::ShowSignalDirection,
                                                &LayoutPaintState::ShowBlockSpeeds};
  for (const int zoom : {1, 2}) {
    for (const bool classic : {false, true}) {
      SetDisplay(zoom, classic);
      const QRgb ground = classic ? art::kBlack : art::kWhite;
      for (size_t o = 0; o < std::size(options); ++o) {
        state_ = LayoutPaintState{};
        state_.*options[o] = 1;
        ShowLocations(true);
        clearStack(false);
        const QImage with = Paint(columns, rows);
        state_ = LayoutPaintState{};
        ShowLocations(false);
        clearStack(true);
        const QImage without = Paint(columns, rows);
        const std::vector<QPoint> ink = Changed(with, without);
        EXPECT_FALSE(ink.empty()) << "the territory has labels";
        int overTrack = 0;
        QPoint first;
        for (const QPoint& p : ink) {
          if ((without.pixel(p) | 0xFF000000) == ground) continue;
          if (overTrack++ == 0) first = p;
        }
        EXPECT_EQ(overTrack, 0) << "zoom 1/" << zoom << (classic ? " classic" : "") << ", option " << o
                                << ": first at cell " << first.x() * zoom / 16 << "," << first.y() * zoom / 16
                                << " pixel " << first.x() << "," << first.y();
      }
    }
  }
}

}  // namespace
