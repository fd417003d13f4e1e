// Painting a full-size layout: every cell of the 200 x 160 grid is track, a
// third of the blocks cleared and a third occupied by a train (its icon and
// ID), block length labels on the idle ones. The kept image of the layout is
// painted whole once; after that only what the store invalidates.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "shell/display_pictures.h"
#include "shell/layout_image.h"
#include "shell/layout_painter.h"
#include "shell/layout_view.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/null_services.h"
#include "tools/territory/territory_builder.h"

namespace {

constexpr int kBlockCells = 20;

// The store's repaint requests go to the kept image, as the layout window passes them on (no scroll).
class ImageShell : public NullShellService {
 public:
  LayoutImage* Image = nullptr;
  void InvalidateCellRect(int x, int y, bool, int w, int h) override {
    const layout::Rect r = layout::View{}.CellRect(x, y, w, h);
    Image->Invalidate(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)));
  }
};

struct Scene {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  DisplayPictures Pictures;
  LayoutPaintState State;
  std::unique_ptr<LayoutPainter> Painter;
  std::unique_ptr<LayoutImage> Image;
  ImageShell Shell;
  int Blocks = 0;

  Scene() {
    Corvane3Data& store = *Store;
    territory::TerritoryBuilder builder(store);
    builder.TrainType("Freight");
    for (int row = 0; row < 160; ++row) {
      for (int column = 0; column + kBlockCells <= 200; column += kBlockCells) {
        builder.Block({.From = {column, row}, .To = {column + kBlockCells - 1, row}, .Flag = 1});
        ++Blocks;
      }
    }
    builder.Finish();
    store.InitSimulationStatus();
    store.TrainTypeIcons[0] = {0, 1, 2};
    int slot = 0;
    for (int b = 0; b < Blocks; ++b) {
      BlockStatus status = store.GetBlockStatus(b);
      status.Occupancy = static_cast<int16_t>(b % 3 == 0 ? 0 : b % 3 == 1 ? 1 : 3);
      if (status.Occupancy == 3 && slot < kMaxTrainStatus) {
        TrainStatus train = store.GetTrainStatus(slot);
        train.InUse = 1;
        train.State = 4;
        train.Speed = 30;
        train.HeadBlock = train.RearBlock = static_cast<int16_t>(b);
        SetFieldText(train.TrainId, "T" + std::to_string(slot));
        store.UpdateTrainStatus(slot, train, 1);
        status.Trains[0] = static_cast<uint16_t>(slot++);
      }
      store.UpdateBlockStatus(b, status, 1);
    }
    Pictures.LoadDisplayResources(false);
    Pictures.LoadTrainIcons();
    State.ShowBlockLengths = 1;
    State.LabelFont = LayoutLabelFont();
    Painter = std::make_unique<LayoutPainter>(store, Pictures);
    Image = std::make_unique<LayoutImage>(*Painter);
    Shell.Image = Image.get();
    store.SetShellService(&Shell);
  }
  ~Scene() { Store->SetShellService(nullptr); }
  const QImage& Update() { return Image->Update(State, 0xFFFFFFFF, Store->ZoomDivisor); }
};

// The painter alone over the whole layout, as every repaint did before the image was kept.
void BM_PaintWholeLayoutDirectly(benchmark::State& state) {
  Scene scene;
  QImage image(200 * 16, 160 * 16, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(0xFFFFFFFF);
    QPainter p(&image);
    scene.Painter->Paint(p, image.rect(), scene.State);
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PaintWholeLayoutDirectly)->Unit(benchmark::kMillisecond);

// The kept image painted whole again, as after a zoom or a display option change (the recoloured
// tiles and the labels of the paints before are kept).
void BM_RebuildKeptImage(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.Image->InvalidateAll();
    benchmark::DoNotOptimize(scene.Update().constBits());
  }
}
BENCHMARK(BM_RebuildKeptImage)->Unit(benchmark::kMillisecond);

// The kept image made, as when the layout window is: its pixels taken at the largest size and touched.
void BM_MakeKeptImage(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    auto image = std::make_unique<LayoutImage>(*scene.Painter);
    benchmark::DoNotOptimize(image.get());
    state.PauseTiming();
    image.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MakeKeptImage)->Unit(benchmark::kMillisecond);

// The first paint of the whole 200 x 160 window after a territory is loaded: a new painter and kept
// image each time (made before, as with the window), so no recoloured tile and no label is kept from
// an earlier paint; the image painted whole and the window painted from it.
void BM_FirstPaintAfterLoading(benchmark::State& state) {
  Scene scene;
  QImage window(200 * 16, 160 * 16, QImage::Format_RGB32);
  window.fill(0xFFFFFFFF);
  for (auto _ : state) {
    state.PauseTiming();
    auto painter = std::make_unique<LayoutPainter>(*scene.Store, scene.Pictures);
    auto image = std::make_unique<LayoutImage>(*painter);
    state.ResumeTiming();
    QPainter p(&window);
    p.drawImage(window.rect(), image->Update(scene.State, 0xFFFFFFFF, scene.Store->ZoomDivisor), window.rect());
    p.end();
    benchmark::DoNotOptimize(window.constBits());
    state.PauseTiming();
    image.reset();
    painter.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPaintAfterLoading)->Unit(benchmark::kMillisecond);

// The kept image painted whole again at full size after a zoom out and back (the half-size paint
// in between not timed).
void BM_RebuildAfterZoomingBackIn(benchmark::State& state) {
  Scene scene;
  scene.Update();
  for (auto _ : state) {
    state.PauseTiming();
    scene.Store->ZoomDivisor = 2;
    scene.Update();
    scene.Store->ZoomDivisor = 1;
    state.ResumeTiming();
    benchmark::DoNotOptimize(scene.Update().constBits());
  }
}
BENCHMARK(BM_RebuildAfterZoomingBackIn)->Unit(benchmark::kMillisecond);

// A paint of the whole 200 x 160 window from the kept image: trains and labels are in it.
void BM_PaintWholeWindow(benchmark::State& state) {
  Scene scene;
  scene.Update();
  QImage window(200 * 16, 160 * 16, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&window);
    p.drawImage(window.rect(), scene.Update(), window.rect());
    p.end();
    benchmark::DoNotOptimize(window.constBits());
  }
}
BENCHMARK(BM_PaintWholeWindow)->Unit(benchmark::kMillisecond);

// One block changes (a train enters it, then leaves): the store invalidates its cells and the
// kept image repaints them.
void BM_RepaintOneChangedBlock(benchmark::State& state) {
  Scene scene;
  scene.Update();
  const int block = scene.Blocks / 2 + 1;  // cleared: 1 in 3
  const BlockStatus before = scene.Store->GetBlockStatus(block);
  BlockStatus occupied = before;
  occupied.Occupancy = 3;
  occupied.Trains[0] = 0;
  bool in = false;
  for (auto _ : state) {
    in = !in;
    scene.Store->UpdateBlockStatus(block, in ? occupied : before, 1);
    benchmark::DoNotOptimize(scene.Update().constBits());
  }
}
BENCHMARK(BM_RepaintOneChangedBlock)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
