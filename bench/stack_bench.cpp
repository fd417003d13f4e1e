#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "tools/territory/territory_builder.h"

namespace {

constexpr int kBlocksPerSection = 9;
constexpr int kSections = kMaxStack + 1;

// A line of 1809 one-cell blocks with a signal for moves to the right at the
// end of every ninth; 200 stacked commands, one per section, each waiting
// because the last block of its route is occupied against it. Every tick
// then checks all 200 routes to their end and carries none out.
void BM_ProcessSignalStackTwoHundredWaiting(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  territory::TerritoryBuilder t(*store);
  const int blocks = kBlocksPerSection * kSections;
  for (int i = 0; i < blocks; ++i) {
    const int x = 2 + i % 190;
    const int y = 2 + 2 * (i / 190);
    t.Block({.Name = "B" + std::to_string(i), .From = {x, y}, .To = {x, y}});
    if (i > 0) t.Link(i - 1, i);
  }
  for (int k = 0; k < kSections; ++k)
    t.Signal(kBlocksPerSection * k + kBlocksPerSection - 1, territory::End::Right, "S" + std::to_string(k));
  t.Finish();
  store->InitSimulationStatus();
  OptionData options = store->GetOptionData();
  options.StackMessage = 0;
  store->UpdateOptionData(options);

  Engine engine(*store);
  for (int k = 0; k < kMaxStack; ++k) {
    if (engine.AddStackCommand(k, k + 1) != 1) {
      state.SkipWithError("a stack command was refused");
      return;
    }
    const int last = kBlocksPerSection * (k + 1) + kBlocksPerSection - 1;
    BlockStatus status = store->GetBlockStatus(last);
    status.Occupancy = 4;
    store->UpdateBlockStatus(last, status);
  }

  for (auto _ : state) engine.ProcessSignalStack();
  if (store->GetStackData(kMaxStack - 1).InUse != 1) state.SkipWithError("a waiting command was carried out");
}
BENCHMARK(BM_ProcessSignalStackTwoHundredWaiting)->Unit(benchmark::kMicrosecond);

}  // namespace
