// The kept layout image against a paint of the whole layout: after the engine
// has run the demonstration territory for a while (trains entering, moving and
// leaving, signals cleared, switches thrown, labels erased and drawn), the image
// kept up to date from the store's invalidations alone must equal, pixel for
// pixel, what the layout painter paints from scratch.
#include "shell/layout_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <memory>

#include "engine/engine.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/picture_art.h"
#include "store/train_codes.h"
#include "tests/shell/gui_app.h"
#include "tests/shell/image_difference.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/demo_territory.h"

namespace {

// The shell's repaint requests go to the layout window, as the program's shell service sends them.
class WindowShell : public FakeShellService {
 public:
  TCorvane3Window* Window = nullptr;
  void InvalidateCellRect(int x, int y, bool erase, int w, int h) override {
    Window->InvalidateCellRect(x, y, erase, w, h);
  }
  void EraseBlockLabels(int block) override { Window->EraseBlockLabels(block); }
  void InvalidateLayout(bool) override { Window->RepaintLayout(); }
};

class LayoutImageTest : public StoreFixture {
 protected:
  LayoutImageTest() {
    EnsureQApplication();
    territory::BuildDemonstrationTerritory(store());
    store().InitSimulationStatus();
    pictures_.LoadDisplayResources(false);
    pictures_.LoadTrainIcons();
    window_ = std::make_unique<TCorvane3Window>(store(), pictures_);
    window_->resize(640, 480);
    window_->LabelFont = LayoutLabelFont();
    window_->ShowBlockLengths = 1;
    store().Run.Loading = 0;
    image_ = std::make_unique<LayoutImage>(painter_);
    window_->SetLayoutImage(image_.get());
    windowShell_.Window = window_.get();
    store().SetShellService(&windowShell_);
    store().SetDisplayService(window_.get());
  }
  ~LayoutImageTest() override { store().SetDisplayService(&display); }

  const QImage& Kept() {
    return image_->Update(window_->PaintState(), window_->BackgroundColour(), store().ZoomDivisor);
  }

  QImage FullPaint() {
    const int zoom = store().ZoomDivisor;
    QImage image(200 * 16 / zoom, 160 * 16 / zoom, QImage::Format_RGB32);
    image.fill(window_->BackgroundColour());
    QPainter painter(&image);
    LayoutPainter(store(), pictures_).Paint(painter, image.rect(), window_->PaintState());
    return image;
  }

  // Ten-second ticks with a dispatcher clearing the signal in front of every train that waits at one.
  void Run(Engine& engine, int ticks) {
    for (int i = 0; i < ticks; ++i) {
      engine.Tick();
      for (int slot = store().NextLiveTrainSlot(-1); slot >= 0; slot = store().NextLiveTrainSlot(slot)) {
        const TrainStatus& train = store().TrainStatusRef(slot);
        if (train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal || train.HeadBlock < 0)
          continue;
        const BlockData& head = store().BlockDataRef(train.HeadBlock);
        const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
        if (signal >= 0 && store().GetSignalStatus(signal).Aspect == 5) engine.ClearSignal(3000 + signal, 0, 1);
      }
    }
  }

  DisplayPictures pictures_;
  LayoutPainter painter_{store(), pictures_};
  WindowShell windowShell_;
  std::unique_ptr<TCorvane3Window> window_;
  std::unique_ptr<LayoutImage> image_;
};

TEST_F(LayoutImageTest, KeptImageFollowsTheRunPixelForPixel) {
  ASSERT_TRUE(Kept() == FullPaint());
  store().SimStartTime = store().SimClock = 86400 + 6 * 3600;  // Monday 06:00, the first passenger train due
  store().Run.SimStopped = store().Run.SimPaused = 0;
  store().Run.OutputHold = 1;
  Engine engine(store());
  int changed = 0;
  for (int step = 0; step < 16; ++step) {
    Run(engine, 60);
    changed += !image_->UpToDate();
    const QImage& kept = Kept();
    const QImage full = FullPaint();
    ASSERT_TRUE(kept == full) << "after " << 60 * (step + 1) << " ticks: " << FirstDifference(kept, full);
  }
  for (const MessageCall& call : messages.Calls) EXPECT_NE(call.Caption, "Internal Error Trap") << call.Text;
  int trains = 0;
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) trains += store().TrainStatusRef(slot).State != 0;
  EXPECT_GT(trains, 0);
  EXPECT_GE(changed, 4) << "the run must change the layout for the comparison to prove anything";
}

// A change the image cannot see (here the option of the label texts) paints it whole again; so does
// a change of zoom, which also changes its size.
TEST_F(LayoutImageTest, ViewAndOptionChangesPaintTheWholeImageAgain) {
  ASSERT_TRUE(Kept() == FullPaint());
  window_->ShowBlockLengths = 0;
  window_->ShowBlockName = 1;
  EXPECT_TRUE(Kept() == FullPaint());
  // A copy taken of the image keeps its pixels while the image is painted at half size and back.
  const QImage held = Kept();
  const QImage heldPixels = held.copy();
  window_->InvalidateCellRect(10, 10, true, 16, 16);
  Kept();
  store().ZoomDivisor = 2;
  EXPECT_EQ(Kept().size(), QSize(1600, 1280));
  EXPECT_TRUE(Kept() == FullPaint());
  EXPECT_TRUE(held == heldPixels);
  store().ZoomDivisor = 1;
  EXPECT_TRUE(Kept() == FullPaint());
  store().ZoomDivisor = 2;
  EXPECT_TRUE(Kept() == FullPaint());
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  pictures_.FreeDisplayResources();
  pictures_.LoadDisplayResources(true);
  window_->RepaintLayout();
  EXPECT_TRUE(Kept() == FullPaint());
}

// The pixels are taken at the largest size with the image: starting half size and zooming in, or
// zooming out and back, paints into the same pixels and gives the full paint.
TEST_F(LayoutImageTest, ZoomingKeepsThePixelsTakenFirst) {
  for (const int first : {2, 1}) {
    SCOPED_TRACE("first zoom " + std::to_string(first));
    LayoutImage image(painter_);
    window_->SetLayoutImage(&image);
    const auto update = [&]() -> const QImage& {
      return image.Update(window_->PaintState(), window_->BackgroundColour(), store().ZoomDivisor);
    };
    store().ZoomDivisor = first;
    const uchar* pixels = update().constBits();
    for (const int zoom : {3 - first, first, 3 - first}) {
      store().ZoomDivisor = zoom;
      EXPECT_EQ(update().constBits(), pixels) << "zoom " << zoom;
      EXPECT_TRUE(update() == FullPaint()) << "zoom " << zoom;
    }
    window_->SetLayoutImage(image_.get());
  }
}

// Pictures copied straight into the image's rows, and labels copied from an earlier paint where
// they lie over the same pixels, give what the painter draws: at both zoom levels, with the painter
// moved by a scroll offset (pictures and labels cut at the image's edges), again after the trains
// have moved (the same IDs over other track). A clipped painter draws everything itself.
TEST_F(LayoutImageTest, CopiedPicturesAndLabelsEqualDrawnOnes) {
  store().SimStartTime = store().SimClock = 86400 + 6 * 3600;  // Monday 06:00, the first passenger train due
  store().Run.SimStopped = store().Run.SimPaused = 0;
  store().Run.OutputHold = 1;
  Engine engine(store());
  const LayoutPaintState state = window_->PaintState();
  LayoutPainter copying(store(), pictures_);
  int copiedLabels = 0;
  auto paint = [&](LayoutPainter& layout, QPoint scroll, bool clip) {
    QImage image(700, 500, QImage::Format_RGB32);
    image.fill(window_->BackgroundColour());
    QPainter painter(&image);
    painter.translate(-scroll);
    if (clip) painter.setClipRect(QRect(scroll, image.size()));
    layout.Paint(painter, QRect(scroll, image.size()), state);
    EXPECT_EQ(layout.CopiedPictures(), layout.CopyPicturesIntoImage && !clip);
    if (clip) {
      EXPECT_EQ(layout.CopiedLabels(), 0);
    }
    copiedLabels += layout.CopiedLabels();
    return image;
  };
  for (int run = 0; run < 2; ++run) {
    Run(engine, 300);
    for (int zoom : {1, 2}) {
      store().ZoomDivisor = zoom;
      for (QPoint scroll : {QPoint(0, 0), QPoint(1043, 117), QPoint(21, 9)}) {
        SCOPED_TRACE("run " + std::to_string(run) + ", zoom " + std::to_string(zoom) + ", scroll " +
                     std::to_string(scroll.x()));
        LayoutPainter drawing(store(), pictures_);
        drawing.CopyPicturesIntoImage = false;
        const QImage drawn = paint(drawing, scroll, false);
        for (int again = 0; again < 2; ++again) {
          const QImage copied = paint(copying, scroll, false);
          EXPECT_TRUE(copied == drawn) << FirstDifference(copied, drawn);
        }
        EXPECT_TRUE(paint(copying, scroll, true) == drawn);
      }
    }
  }
  EXPECT_GT(copiedLabels, 20) << "labels painted again must be copied for the comparison to prove anything";
}

}  // namespace
