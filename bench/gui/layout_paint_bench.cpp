// A full repaint of a full-size layout: every cell of the 200 x 160 grid is
// track, a third of the blocks cleared and a third occupied, so that most cells
// need a recoloured bitmap; block labels on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "shell/display_pictures.h"
#include "shell/layout_painter.h"
#include "store/corvane3_data.h"
#include "tests/support/territory_builder.h"

namespace {

constexpr int kBlockCells = 20;

void BM_FullRepaint(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  TheStore = store.get();
  territory::TerritoryBuilder builder(*store);
  builder.TrainType("Freight");
  int blocks = 0;
  for (int row = 0; row < 160; ++row) {
    for (int column = 0; column + kBlockCells <= 200; column += kBlockCells) {
      builder.Block({.From = {column, row}, .To = {column + kBlockCells - 1, row}, .Flag = 1});
      ++blocks;
    }
  }
  builder.Finish();
  store->InitSimulationStatus();
  for (int b = 0; b < blocks; ++b) {
    BlockStatus status = store->GetBlockStatus(b);
    status.Occupancy = static_cast<int16_t>(b % 3 == 0 ? 0 : b % 3 == 1 ? 1 : 4);
    store->UpdateBlockStatus(b, status, 1);
  }
  DisplayPictures pictures;
  pictures.LoadDisplayResources(false);
  pictures.LoadTrainIcons();
  LayoutPaintState paintState;
  paintState.ShowBlockLengths = 1;
  paintState.LabelFont = LayoutLabelFont();
  QImage image(200 * 16, 160 * 16, QImage::Format_RGB32);
  LayoutPainter painter(*store, pictures);
  for (auto _ : state) {
    image.fill(0xFFFFFFFF);
    QPainter p(&image);
    painter.Paint(p, image.rect(), paintState);
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  TheStore = nullptr;
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
