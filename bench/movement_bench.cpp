#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"

namespace {

constexpr int kLines = 20;
constexpr int kBlocksPerLine = 100;
constexpr int kTrains = 1000;
constexpr int32_t kClock = 86400 + 8 * 3600;

// A full-size territory: 2,000 blocks of a mile in 20 lines of 100, feet and
// miles, 60 mph everywhere. 1,000 trains, one every second block, each with
// its head at the end of its block, the block ahead cleared for it and the
// next train's block beyond: every train is due to step into the next block.
struct Territory {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::vector<TrainStatus> Trains;
  std::vector<BlockStatus> Blocks;
};

std::unique_ptr<Territory> FullTerritory() {
  auto territory = std::make_unique<Territory>();
  Corvane3Data& store = *territory->Store;
  store.InitTerritoryData();
  TerritoryOptions units = store.GetTerritoryOptions();
  units.Units = 1;
  store.UpdateTerritoryOptions(units);
  TrainType type = store.GetTrainType(0);
  type.InUse = 1;
  store.UpdateTrainType(0, type);
  for (int b = 0; b < kLines * kBlocksPerLine; ++b) {
    const int j = b % kBlocksPerLine;
    BlockData block = store.GetBlockData(b);
    block.InUse = 1;
    block.LeftNeighbour = static_cast<int16_t>(j == 0 ? -1 : b - 1);
    block.RightNeighbour = static_cast<int16_t>(j == kBlocksPerLine - 1 ? -1 : b + 1);
    block.LeftCellX = block.RightCellX = static_cast<int16_t>(2 * j);
    block.LeftCellY = block.RightCellY = static_cast<int16_t>(2 + 4 * (b / kBlocksPerLine));
    block.SignalledLeft = block.SignalledRight = 1;
    block.Length = 5280;
    for (int d = 0; d < 2; ++d)
      for (int t = 0; t < kMaxTrainTypes; ++t)
        block.SpeedOneClear[d][t] = block.SpeedTwoClear[d][t] = block.SpeedMax[d][t] = 60;
    store.UpdateBlockData(b, block);
  }
  CountData counts = store.GetCountData();
  counts.Words[kCountBlocks] = kLines * kBlocksPerLine;
  counts.Words[kCountRunningTrains] = kTrains;
  store.UpdateCountData(counts);
  store.InitSimulationStatus();
  store.SetSimClock(kClock);

  for (int k = 0; k < kTrains; ++k) {
    const int head = (k / 50) * kBlocksPerLine + 2 * (k % 50);
    TrainStatus train = store.GetTrainStatus(k);
    train.InUse = 1;
    train.TrainIndex = 0;
    SetFieldText(train.TrainId, "T" + std::to_string(k));
    train.Length = 1000;
    train.State = TrainState::Moving;
    train.Reason = HeadEvent::Running;
    train.HeadDirection = train.RearDirection = 1;
    train.HeadBlock = train.RearBlock = static_cast<int16_t>(head);
    train.HeadPosition = train.PreviousHeadPosition = 5280;
    train.Speed = 60;
    train.HeadEventTime = kClock;
    train.PerformancePercent = 100;
    store.UpdateTrainStatus(k, train, 1);
    BlockStatus status = store.GetBlockStatus(head);
    status.Trains[0] = static_cast<uint16_t>(k);
    status.Occupancy = 3;
    store.UpdateBlockStatus(head, status);
    status = store.GetBlockStatus(head + 1);
    status.Occupancy = 1;
    store.UpdateBlockStatus(head + 1, status);
  }
  for (int k = 0; k < kTrains; ++k) territory->Trains.push_back(store.GetTrainStatus(k));
  for (int b = 0; b < kLines * kBlocksPerLine; ++b) territory->Blocks.push_back(store.GetBlockStatus(b));
  return territory;
}

// One tick for the running trains: head events first, then rear events, as the tick orders them.
void MoveAll(Engine& engine, Corvane3Data& store) {
  const int32_t clock = store.GetSimClock();
  for (int slot = 0; slot < kTrains; ++slot) {
    const TrainStatus train = store.GetTrainStatus(slot);
    if (train.State == TrainState::Moving && train.Reason == HeadEvent::Running && clock >= train.HeadEventTime)
      engine.StartOrMoveTrain(slot);
  }
  for (int slot = 0; slot < kTrains; ++slot) {
    const TrainStatus train = store.GetTrainStatus(slot);
    if ((train.State == TrainState::Moving || train.State == TrainState::Leaving) && train.RearEventTime != -1 &&
        clock >= train.RearEventTime)
      engine.MoveTrain(slot);
  }
}

void BM_OneTickOf1000RunningTrains(benchmark::State& state) {
  auto territory = FullTerritory();
  Corvane3Data& store = *territory->Store;
  Engine engine(store);
  for (auto _ : state) {
    state.PauseTiming();
    store.SetSimClock(kClock);
    for (int k = 0; k < kTrains; ++k) store.UpdateTrainStatus(k, territory->Trains[k], 1);
    for (int b = 0; b < kLines * kBlocksPerLine; ++b) store.UpdateBlockStatus(b, territory->Blocks[b]);
    state.ResumeTiming();
    MoveAll(engine, store);
  }
  if (store.GetTrainStatus(0).HeadBlock != 1) state.SkipWithError("the first train did not move on");
}
BENCHMARK(BM_OneTickOf1000RunningTrains)->Unit(benchmark::kMillisecond);

}  // namespace
