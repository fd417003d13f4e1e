#include <benchmark/benchmark.h>

#include <memory>

#include "engine/engine.h"
#include "store/corvane3_data.h"

namespace {

// A straight line of 48 blocks, a signal at the right end of the first and of
// the last: the longest route a walk lists.
std::unique_ptr<Corvane3Data> LongRouteTerritory() {
  auto store = std::make_unique<Corvane3Data>();
  store->InitTerritoryData();
  constexpr int kBlocks = 48;
  for (int b = 0; b < kBlocks; ++b) {
    BlockData block = store->GetBlockData(b);
    block.InUse = 1;
    block.LeftNeighbour = static_cast<int16_t>(b - 1);
    block.RightNeighbour = static_cast<int16_t>(b + 1 < kBlocks ? b + 1 : -1);
    block.LeftCellX = block.RightCellX = static_cast<int16_t>(2 * b + 1);
    block.LeftCellY = block.RightCellY = 4;
    block.SignalledLeft = block.SignalledRight = 1;
    store->UpdateBlockData(b, block);
  }
  for (int s = 0; s < 2; ++s) {
    const int b = s == 0 ? 0 : kBlocks - 1;
    SignalData signal = store->GetSignalData(s);
    signal.InUse = 1;
    signal.Block = static_cast<int16_t>(b);
    signal.TrackCode = 22;
    store->UpdateSignalData(s, signal);
    BlockData block = store->GetBlockData(b);
    block.RightSignal = static_cast<int16_t>(s);
    store->UpdateBlockData(b, block);
  }
  CountData counts = store->GetCountData();
  counts.Words[kCountBlocks] = kBlocks;
  counts.Words[kCountSignals] = 2;
  store->UpdateCountData(counts);
  store->InitSimulationStatus();
  return store;
}

// Clearing a route over 47 blocks and taking it back again.
void BM_CheckRouteOver48Devices(benchmark::State& state) {
  auto store = LongRouteTerritory();
  Engine engine(*store);
  DevicePath path;
  engine.TraceDevicePath(1, 0, path);
  for (auto _ : state) {
    const int free = engine.CheckRoute(1, 0, 0, 0, kScreenRequest);
    if (free != 47) state.SkipWithError("the route did not clear");
    engine.ReleaseRoute(path.Ids.data(), path.Dirs.data(), kPathEntries);
    benchmark::DoNotOptimize(free);
  }
}
BENCHMARK(BM_CheckRouteOver48Devices);

void BM_TraceDevicePath48(benchmark::State& state) {
  auto store = LongRouteTerritory();
  Engine engine(*store);
  DevicePath path;
  for (auto _ : state) benchmark::DoNotOptimize(engine.TraceDevicePath(1, 0, path));
}
BENCHMARK(BM_TraceDevicePath48);

}  // namespace
