// Simulated days per second, headless, on the demonstration territory: the
// engine's tick repeated with the run neither stopped nor paused, the clock
// running on from day to day.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "tests/support/demo_territory.h"

namespace {

constexpr int kTicksPerDay = 86400 / 10;

void BM_SimulatedDays(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  TheStore = store.get();
  territory::BuildDemonstrationTerritory(*store);
  store->InitSimulationStatus();
  store->SimStartTime = 0;
  store->SimEndTime = -1;
  store->SimClock = 0;
  RunState& run = store->Run;
  run.ClockSpeed = 20;
  run.SimStopped = 0;
  run.SimPaused = 0;
  run.RunStarted = 0;
  run.OutputHold = 1;
  Engine engine(*store);
  for (auto _ : state) {
    for (int i = 0; i < kTicksPerDay; ++i) engine.Tick();
    if (store->Run.SimStopped != 0) {
      state.SkipWithError("the run stopped");
      break;
    }
  }
  state.counters["days/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  TheStore = nullptr;
}
BENCHMARK(BM_SimulatedDays)->Unit(benchmark::kMillisecond);

}  // namespace
