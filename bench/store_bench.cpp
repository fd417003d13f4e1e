#include <benchmark/benchmark.h>

#include <memory>

#include "store/corvane3_data.h"

namespace {

// The copy-out, change, copy-in pattern every engine step uses.
void BM_BlockDataGetUpdate(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  int index = 0;
  for (auto _ : state) {
    BlockData block = store->GetBlockData(index);
    block.Length += 1;
    store->UpdateBlockData(index, block);
    index = (index + 1) % kMaxBlocks;
    benchmark::DoNotOptimize(block);
  }
}
BENCHMARK(BM_BlockDataGetUpdate);

}  // namespace
