// Simulated days, headless, on the demonstration territory: the engine's tick
// repeated with the run neither stopped nor paused, the clock running on from
// day to day, and a dispatcher lining up the route and clearing the signal in
// front of every train that waits at one, the branch's trains included, so
// that trains leave as they come and the run stays in a steady state.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/train_codes.h"
#include "tools/territory/demo_dispatcher.h"
#include "tools/territory/demo_territory.h"

namespace {

constexpr int kTicksPerDay = 86400 / Engine::kTickSeconds;

struct Run {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::unique_ptr<Engine> Driver;
  std::unique_ptr<demo::DemoDispatcher> Dispatcher;
  int Cleared = 0;  // signals the dispatcher cleared
};

std::unique_ptr<Run> StartRun() {
  auto run = std::make_unique<Run>();
  Corvane3Data& store = *run->Store;
  territory::BuildDemonstrationTerritory(store);
  demo::StartRunAt(store, 0);
  store.Run.OutputHold = 1;
  run->Driver = std::make_unique<Engine>(store);
  run->Dispatcher = std::make_unique<demo::DemoDispatcher>(store, *run->Driver);
  return run;
}

void Dispatch(Run& run) { run.Cleared += run.Dispatcher->ClearForWaitingTrains(); }

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

// Simulated days, each timed on its own, in one run of `days` days; also the slots in use at each day's end.
struct LongRun {
  std::vector<double> Milliseconds;
  std::vector<int> Slots;  // the running-train slots in use (up to the highest taken)
  std::vector<int> Live;   // the trains still in the run (on the territory or waiting to enter)
  int Trains = 0;          // trains that entered
};

// The processor time this thread has used, in milliseconds: on a machine shared with other work the
// wall clock measures the others as much as the run.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

LongRun RunDays(benchmark::State& state, int days) {
  LongRun result;
  auto run = StartRun();
  for (int day = 0; day < days; ++day) {
    const double start = ThreadMilliseconds();
    if (!RunDay(*run)) {
      state.SkipWithError("the run stopped");
      break;
    }
    result.Milliseconds.push_back(ThreadMilliseconds() - start);
    result.Slots.push_back(run->Store->GetCountData().Words[kCountRunningTrains]);
    int live = 0;
    for (int slot = run->Store->NextLiveTrainSlot(-1); slot >= 0; slot = run->Store->NextLiveTrainSlot(slot)) ++live;
    result.Live.push_back(live);
  }
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) result.Trains += run->Store->GetTrainStatus(slot).InUse == 1;
  return result;
}

double Mean(const std::vector<double>& values, size_t from, size_t count) {
  double sum = 0;
  for (size_t i = from; i < from + count; ++i) sum += values[i];
  return sum / static_cast<double>(count);
}

// Eight simulated weeks in one run: the mean day of each week (processor time), the slots in use at each week's end,
// and week 8 against week 1 (the same days of the week, so the same timetable). By week 7 every one
// of the 1,000 slots has been taken once: a walk that still visited departed trains' slots shows here.
void BM_EightSimulatedWeeks(benchmark::State& state) {
  LongRun run;
  for (auto _ : state) run = RunDays(state, 56);
  if (run.Milliseconds.size() < 56) return;
  for (int week = 0; week < 8; ++week) {
    state.counters["ms/day week " + std::to_string(week + 1)] = Mean(run.Milliseconds, 7 * week, 7);
    state.counters["slots week " + std::to_string(week + 1)] = run.Slots[7 * week + 6];
    state.counters["live week " + std::to_string(week + 1)] = run.Live[7 * week + 6];
  }
  state.counters["week 8/week 1"] = Mean(run.Milliseconds, 49, 7) / Mean(run.Milliseconds, 0, 7);
}
BENCHMARK(BM_EightSimulatedWeeks)->Unit(benchmark::kMillisecond)->Iterations(1);

// Ninety simulated days in one run: day 60 against day 1, and the week around each (days 57-63 against
// days 1-7) to smooth a single day's timetable and a busy machine.
void BM_NinetySimulatedDays(benchmark::State& state) {
  LongRun run;
  for (auto _ : state) run = RunDays(state, 90);
  if (run.Milliseconds.size() < 90) return;
  state.counters["ms day 1"] = run.Milliseconds[0];
  state.counters["ms day 60"] = run.Milliseconds[59];
  state.counters["day 60/day 1"] = run.Milliseconds[59] / run.Milliseconds[0];
  // The run starts on a Sunday, which has far fewer trains than a weekday: day 60 is a Wednesday, as day 4 is.
  state.counters["ms day 4"] = run.Milliseconds[3];
  state.counters["day 60/day 4"] = run.Milliseconds[59] / run.Milliseconds[3];
  state.counters["days 57-63/days 1-7"] = Mean(run.Milliseconds, 56, 7) / Mean(run.Milliseconds, 0, 7);
  state.counters["slots day 60"] = run.Slots[59];
  state.counters["live day 1"] = run.Live[0];
  state.counters["live day 60"] = run.Live[59];
  state.counters["slots in use at the end"] = run.Trains;
}
BENCHMARK(BM_NinetySimulatedDays)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
