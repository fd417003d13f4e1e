#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/device_walks.h"
#include "engine/engine.h"
#include "interface/outgoing.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "tools/territory/territory_builder.h"

namespace {

// The 500 ms walk of CTC control mode at its worst: 2000 one-cell blocks in
// one line, every one cleared right, their counts already stored (nothing
// changes, so the walk only reads).
void BM_UpdateBlocksClearedAheadTwoThousandCleared(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  territory::TerritoryBuilder t(*store);
  for (int i = 0; i < kMaxBlocks; ++i) {
    const int x = 2 + i % 190;
    const int y = 2 + 2 * (i / 190);
    t.Block({.Name = "B" + std::to_string(i), .From = {x, y}, .To = {x, y}});
    if (i > 0) t.Link(i - 1, i);
  }
  t.Finish();
  store->InitSimulationStatus();
  for (int i = 0; i < kMaxBlocks; ++i) {
    BlockStatus status = store->GetBlockStatus(i);
    status.Occupancy = 1;
    store->UpdateBlockStatus(i, status);
  }
  OptionData options = store->GetOptionData();
  options.CTCControlOn = 1;
  store->UpdateOptionData(options);
  Engine engine(*store);
  walks::UpdateBlocksClearedAhead(engine);
  if (store->GetBlockStatus(0).ClearedValue != 2) state.SkipWithError("the counts were not stored");

  for (auto _ : state) walks::UpdateBlocksClearedAhead(engine);
}
BENCHMARK(BM_UpdateBlocksClearedAheadTwoThousandCleared)->Unit(benchmark::kMicrosecond);

// One flush of 150 waiting indications into the file, each line logged.
void BM_FlushOneHundredFiftyIndications(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  auto store = std::make_unique<Corvane3Data>();
  OptionData options = store->GetOptionData();
  SetFieldText(options.EIOFolder, pattern + "/");
  options.EIOLogOn = 1;
  store->UpdateOptionData(options);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(pattern + "/cv3indications.txt");
    std::filesystem::remove(pattern + "/cv3eiolog.txt");
    for (int i = 0; i < 150; ++i)
      xfer::QueueEIOIndicationMsg(*store, "BLOCK," + std::to_string(i) + ",B12,OCCUPIEDRIGHT,01-08:00:00,101");
    state.ResumeTiming();
    xfer::FlushEIOIndications(*store);
  }
  std::filesystem::remove_all(pattern);
}
BENCHMARK(BM_FlushOneHundredFiftyIndications)->Unit(benchmark::kMicrosecond);

}  // namespace
