// Painting the train graph of a week with a full ring of 40,000 OS hits:
// 100 OS points, 400 trains each passing all of them, a band a day, the
// window's 1,200 x 800 view at the top of the week and at its last band.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <memory>
#include <string>

#include "lists/train_graph.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kOSCount = 100;
constexpr int kTrains = kMaxOSHits / kOSCount;
constexpr int kWeekMinutes = 7 * 1440;

struct Week {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::unique_ptr<TTrainGraph> Window;

  Week() {
    Corvane3Data& store = *Store;
    for (int k = 0; k < kOSCount; ++k) {
      BlockData block = store.GetBlockData(k);
      block.InUse = 1;
      SetFieldText(block.Name, "OS" + std::to_string(k));
      store.UpdateBlockData(k, block);
      OSData os = store.GetOSData(k);
      os.InUse = 1;
      SetFieldText(os.Name, "OS" + std::to_string(k));
      store.UpdateOSData(k, os);
    }
    store.ClearOSHits();
    store.SetSimStartDay(0);
    store.SetSimStartTime(0);
    store.SetSimClock(7 * 86400 - 3 * 3600);  // the last of seven bands is the week's last day
    store.Run.RunStarted = 1;
    // Each train runs down the OS points a minute apart; the trains start evenly through the week.
    for (int t = 0; t < kTrains; ++t) {
      TrainStatus train = store.GetTrainStatus(t);
      train.InUse = 1;
      SetFieldText(train.TrainId, std::to_string(1000 + t));
      store.UpdateTrainStatus(t, train, 1);
      const int start = t * (kWeekMinutes - kOSCount - 60) / kTrains;
      for (int k = 0; k < kOSCount; ++k) store.AddNewOSHit(k, t, (start + k) * 60);
    }
    Window = std::make_unique<TTrainGraph>(store, nullptr);
    Window->resize(1240, 860);
    Window->show();
    Window->Canvas()->viewport()->resize(1200, 800);
    QCoreApplication::processEvents();
  }
};

// Made once and kept to the end: the window must not outlive the application's teardown.
Week& TheWeek() {
  static Week* week = new Week;
  return *week;
}

// The segments of the week that reach into the view: the walk the painter makes, counted.
int SegmentsInView(const Corvane3Data& store, const graph::Layout& layout, const QRect& view) {
  graph::HitWalk walk(store, layout);
  graph::Segment segments[2];
  int drawn = 0;
  for (int index = 0; index < kMaxOSHits; ++index) {
    const int made = walk.Step(store.GetOSHit(index), segments);
    for (int i = 0; i < made; ++i) drawn += view.intersects(graph::SegmentBounds(segments[i]));
  }
  return drawn;
}

// One paint of the view through the window's own canvas, scrolled to (x, y) in 32-pixel units.
void PaintView(benchmark::State& state, bool lastBand) {
  Week& week = TheWeek();
  QAbstractScrollArea* canvas = week.Window->Canvas();
  const int y = lastBand ? canvas->verticalScrollBar()->maximum() : 0;
  canvas->horizontalScrollBar()->setValue(0);
  canvas->verticalScrollBar()->setValue(y);
  QImage image(canvas->viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    canvas->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
  const QRect view(QPoint(0, y * graph::kScrollUnit), canvas->viewport()->size());
  const graph::Layout& layout = week.Window->GraphLayout();
  state.counters["OS hits"] = kMaxOSHits;
  state.counters["bands"] = layout.LastDay - layout.FirstDay + 1;
  state.counters["graph height"] = layout.Height();
  state.counters["segments drawn"] = SegmentsInView(*week.Store, layout, view);
  state.counters["view top"] = view.top();
}

void BM_TrainGraphWeekAtTheTop(benchmark::State& state) { PaintView(state, false); }
void BM_TrainGraphWeekAtTheLastBand(benchmark::State& state) { PaintView(state, true); }
BENCHMARK(BM_TrainGraphWeekAtTheTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainGraphWeekAtTheLastBand)->Unit(benchmark::kMillisecond);

}  // namespace
