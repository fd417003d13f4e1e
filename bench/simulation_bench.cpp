// Simulated days, headless, on the demonstration territory: the engine's tick
// repeated with the run neither stopped nor paused, the clock running on from
// day to day, and a dispatcher clearing the signal in front of every train
// that waits at one (as the headless simulated-day test plays it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/train_codes.h"
#include "tests/support/demo_territory.h"

namespace {

constexpr int kTicksPerDay = 86400 / Engine::kTickSeconds;

struct Run {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::unique_ptr<Engine> Driver;
  int Cleared = 0;  // signals the dispatcher cleared
};

std::unique_ptr<Run> StartRun() {
  auto run = std::make_unique<Run>();
  Corvane3Data& store = *run->Store;
  territory::BuildDemonstrationTerritory(store);
  store.InitSimulationStatus();
  store.SimStartTime = 0;
  store.SimEndTime = -1;
  store.SimClock = 0;
  RunState& state = store.Run;
  state.ClockSpeed = 20;
  state.SimStopped = 0;
  state.SimPaused = 0;
  state.RunStarted = 0;
  state.OutputHold = 1;
  run->Driver = std::make_unique<Engine>(store);
  return run;
}

// A train waiting at a signal at stop gets it cleared; a refusal comes back next tick.
void Dispatch(Run& run) {
  Corvane3Data& store = *run.Store;
  const int slots = std::clamp(+store.GetCountData().Words[kCountRunningTrains], 0, kMaxTrainStatus);
  for (int slot = store.NextLiveTrainSlot(-1); slot >= 0 && slot < slots; slot = store.NextLiveTrainSlot(slot)) {
    const TrainStatus& train = store.TrainStatusRef(slot);
    if (train.InUse != 1 || train.State != TrainState::Stopped || train.Reason != StopReason::WaitSignal ||
        train.HeadBlock < 0)
      continue;
    const BlockData& head = store.BlockDataRef(train.HeadBlock);
    const int signal = train.HeadDirection == 1 ? head.RightSignal : head.LeftSignal;
    if (signal >= 0 && store.GetSignalStatus(signal).Aspect == 5 && run.Driver->ClearSignal(3000 + signal, 0, 1) == 1)
      ++run.Cleared;
  }
}

// One simulated day; false when the run stopped.
bool RunDay(Run& run) {
  for (int i = 0; i < kTicksPerDay; ++i) {
    run.Driver->Tick();
    Dispatch(run);
  }
  return run.Store->Run.SimStopped == 0;
}

// A simulated week from a fresh start, reported as simulated days per second.
void BM_SimulatedWeek(benchmark::State& state) {
  int cleared = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto run = StartRun();
    state.ResumeTiming();
    for (int day = 0; day < 7; ++day) {
      if (!RunDay(*run)) {
        state.SkipWithError("the run stopped");
        break;
      }
    }
    cleared = run->Cleared;
    if (run->Store->GetPerformStatus().Distance <= 0) state.SkipWithError("no train ran");
  }
  if (cleared == 0) state.SkipWithError("the dispatcher cleared no signal");
  state.counters["days/s"] =
      benchmark::Counter(7.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cleared/week"] = cleared;
}
BENCHMARK(BM_SimulatedWeek)->Unit(benchmark::kMillisecond)->Iterations(3);

// Thirty simulated days in one run: the time of a day must stay flat as the
// days go by. The figures are the mean day of each week (the same days of the
// week, so the same timetable) and the ratios of the fourth to the first two.
void BM_ThirtySimulatedDaysPerDay(benchmark::State& state) {
  std::vector<double> days;
  for (auto _ : state) {
    auto run = StartRun();
    days.clear();
    for (int day = 0; day < 30; ++day) {
      const auto start = std::chrono::steady_clock::now();
      if (!RunDay(*run)) {
        state.SkipWithError("the run stopped");
        break;
      }
      days.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  if (days.size() < 30) return;
  std::array<double, 4> weeks{};
  for (int week = 0; week < 4; ++week) {
    for (int i = 0; i < 7; ++i) weeks[week] += days[7 * week + i] / 7;
    state.counters["ms/day week " + std::to_string(week + 1)] = weeks[week];
  }
  state.counters["week 4/week 1"] = weeks[3] / weeks[0];
  // The first day starts with no train scheduled ahead and is lighter than the rest: week 2 is the
  // first week of full days.
  state.counters["week 4/week 2"] = weeks[3] / weeks[1];
}
BENCHMARK(BM_ThirtySimulatedDaysPerDay)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
