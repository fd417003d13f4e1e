// Draws the picture of the train graph in docs/: a simulated morning on the
// demonstration territory, run headless the way the tick runs it with a
// dispatcher that lines up and clears the way ahead of every train, then the
// graph window grabbed offscreen.
//
//   train_graph_shot docs/train_graph.png
#include <QApplication>
#include <QImage>
#include <cstdio>

#include "engine/engine.h"
#include "lists/train_graph.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/records.h"
#include "store/run_times.h"
#include "store/train_codes.h"
#include "tools/territory/demo_dispatcher.h"
#include "tools/territory/demo_territory.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s picture.png\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  Corvane3Data store;
  territory::BuildDemonstrationTerritory(store);
  store.InitSimulationStatus();
  // Monday 06:00 to 12:00.
  constexpr int32_t kMonday = kSecondsPerDay;
  const int32_t start = kMonday + 6 * 3600;
  store.SetSimStartDay(1);
  store.SetSimStartTime(start);
  store.SetSimClock(start);
  OptionData options = store.GetOptionData();
  options.Setting12 = 60;
  options.Setting14 = 90;
  store.UpdateOptionData(options);
  store.Run.RunStarted = 0;
  store.Run.SimStopped = 0;

  Engine engine(store);
  demo::DemoDispatcher dispatcher(store, engine);
  while (store.GetSimClock() < kMonday + 12 * 3600) {
    engine.Tick();
    dispatcher.Dispatch();
  }

  TTrainGraph graph(store, nullptr);
  graph.resize(1000, 520);
  graph.show();
  QApplication::processEvents();
  const QImage picture = graph.grab().toImage();
  if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%d OS hits drawn from %s\n", store.GetOSHitCount(), argv[1]);
  return 0;
}
