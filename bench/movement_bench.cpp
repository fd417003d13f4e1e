#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/train_codes.h"

namespace {

constexpr int kLines = 20;
constexpr int kBlocksPerLine = 100;
constexpr int kTrains = 1000;
// A tick's clock: not on a whole minute, so that the minute work stays out of the figure.
constexpr int32_t kClock = 86400 + 8 * 3600 + 20;

// A full-size territory: 2,000 blocks of a mile in 20 lines of 100, feet and
// miles, 60 mph everywhere. 1,000 trains of 500 ft, one every second block,
// each with its head at the end of its block a second into the tick, the block
// ahead cleared for it and the next train's block beyond: in one tick every
// head steps into the next block and every rear follows it (500 ft at 60 mph
// take under 6 s), so each train makes a head event and a rear event.
struct Territory {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::vector<TrainStatus> Trains;
  std::vector<BlockStatus> Blocks;
};

int HeadBlockOf(int train) { return (train / 50) * kBlocksPerLine + 2 * (train % 50); }

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
  store.SimStartTime = kClock - 3600;
  store.SimEndTime = -1;

  for (int k = 0; k < kTrains; ++k) {
    const int head = HeadBlockOf(k);
    TrainStatus train = store.GetTrainStatus(k);
    train.InUse = 1;
    train.TrainIndex = 0;
    SetFieldText(train.TrainId, "T" + std::to_string(k));
    train.Length = 500;
    train.State = TrainState::Moving;
    train.Reason = HeadEvent::Running;
    train.HeadDirection = train.RearDirection = 1;
    train.HeadBlock = train.RearBlock = static_cast<int16_t>(head);
    train.HeadPosition = train.PreviousHeadPosition = 5280;
    train.Speed = 60;
    train.HeadEventTime = kClock - 9;
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

// Puts every train and block back as the territory was built, the clock a tick before.
void Reset(Territory& territory) {
  Corvane3Data& store = *territory.Store;
  store.SetSimClock(kClock - Engine::kTickSeconds);
  for (int k = 0; k < kTrains; ++k) store.UpdateTrainStatus(k, territory.Trains[k], 1);
  for (int b = 0; b < kLines * kBlocksPerLine; ++b) store.UpdateBlockStatus(b, territory.Blocks[b]);
  RunState& run = store.Run;
  run.SimStopped = 0;
  run.SimPaused = 0;
  run.RunStarted = 1;
}

// Every train has its head and its rear in the block ahead, and nothing stopped the run.
std::string CheckEveryTrainMoved(const Corvane3Data& store) {
  if (store.Run.SimStopped != 0) return "the run stopped";
  for (int k = 0; k < kTrains; ++k) {
    const TrainStatus train = store.GetTrainStatus(k);
    const int ahead = HeadBlockOf(k) + 1;
    if (train.HeadBlock != ahead || train.RearBlock != ahead || train.State != TrainState::Moving)
      return "train " + std::to_string(k) + " did not move its head and rear into block " + std::to_string(ahead);
    if (store.GetBlockStatus(ahead - 1).Occupancy != 0)
      return "block " + std::to_string(ahead - 1) + " was not released behind train " + std::to_string(k);
  }
  return "";
}

// One whole tick of the engine with 1,000 running trains: 1,000 head events and 1,000 rear events.
void BM_OneTickOf1000RunningTrains(benchmark::State& state) {
  auto territory = FullTerritory();
  Corvane3Data& store = *territory->Store;
  Engine engine(store);
  for (auto _ : state) {
    state.PauseTiming();
    Reset(*territory);
    state.ResumeTiming();
    engine.Tick();
  }
  if (const std::string fault = CheckEveryTrainMoved(store); !fault.empty()) state.SkipWithError(fault.c_str());
}
BENCHMARK(BM_OneTickOf1000RunningTrains)->Unit(benchmark::kMillisecond);

}  // namespace
