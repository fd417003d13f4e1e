#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <iterator>
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
// Every block has a name and names a wayside detector (one of ten, none of
// which finds anything); the 100 OS points are five blocks of each line that
// trains enter in the tick, so 100 trains pass an OS point; ten slow orders are
// in force over blocks the trains enter (at the line speed, so no train slows)
// and ten block permits hold track out of service on a line of its own.
struct Territory {
  std::unique_ptr<Corvane3Data> Store = std::make_unique<Corvane3Data>();
  std::vector<TrainStatus> Trains;
  std::vector<TrainStop> Stops;
  std::vector<BlockStatus> Blocks;
};

constexpr int kOSPointsPerLine = kOSPoints / kLines;
constexpr int kSlowOrders = 10;
constexpr int kPermits = 10;
constexpr int kPermitLine = kLines;  // the permits' blocks lie past the trains' lines
bool IsOSBlock(int block) { return block % kBlocksPerLine % 20 == 1; }
std::string BlockName(int block) {
  return "L" + std::to_string(block / kBlocksPerLine) + "B" + std::to_string(block % kBlocksPerLine);
}

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
  for (int d = 0; d < kMaxDetectors; ++d) {
    DetectorData detector = store.GetDetectorData(d);
    detector.InUse = 1;
    SetFieldText(detector.Description, "Detector " + std::to_string(d));
    store.UpdateDetectorData(d, detector);
  }
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
    SetFieldText(block.Name, BlockName(b));
    SetFieldText(block.DetectorNames[0], "Detector " + std::to_string(b % kMaxDetectors));
    store.UpdateBlockData(b, block);
  }
  int os = 0;
  for (int b = 0; b < kLines * kBlocksPerLine; ++b) {
    if (!IsOSBlock(b)) continue;
    OSData point = store.GetOSData(os);
    point.InUse = 1;
    SetFieldText(point.Name, BlockName(b));
    store.UpdateOSData(os++, point);
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
  // Slow orders in force at the line speed over the first blocks each of the first ten trains enters.
  for (int k = 0; k < kSlowOrders; ++k) {
    SlowStatus slow = store.GetSlowStatus(k);
    slow.InUse = 1;
    slow.InForce = 1;
    slow.SlowIndex = k;
    slow.StartTime = kClock - 3600;
    slow.EndTime = -1;
    std::fill(std::begin(slow.Devices), std::end(slow.Devices), int16_t{-1});
    slow.Devices[0] = static_cast<int16_t>(HeadBlockOf(k) + 1);
    store.UpdateSlowStatus(k, slow);
    BlockStatus status = store.GetBlockStatus(slow.Devices[0]);
    for (auto& direction : status.SlowSpeeds)
      for (auto& speed : direction) speed = 60;
    store.UpdateBlockStatus(slow.Devices[0], status);
  }
  for (int k = 0; k < kPermits; ++k) {
    const int block = kPermitLine * kBlocksPerLine + k;
    BlockData data = store.GetBlockData(block);
    data.InUse = 1;
    store.UpdateBlockData(block, data);
    PermitStatus permit = store.GetPermitStatus(k);
    permit.InUse = 1;
    permit.PermitIndex = static_cast<int16_t>(k);
    permit.StartTime = kClock - 3600;
    permit.EndTime = kClock + 3600;
    permit.State = PermitState::kPermitActive;
    store.UpdatePermitStatus(k, permit);
    BlockStatus status = store.GetBlockStatus(block);
    status.PermitActive = 1;
    status.PermitActiveUntil = kClock + 3600;
    store.UpdateBlockStatus(block, status);
  }
  counts = store.GetCountData();
  counts.Words[kCountBlocks] = (kPermitLine + 1) * kBlocksPerLine;
  store.UpdateCountData(counts);
  for (int k = 0; k < kTrains; ++k) territory->Trains.push_back(store.GetTrainStatus(k));
  for (int k = 0; k < kTrains; ++k) territory->Stops.push_back(store.GetTrainStop(k));
  for (int b = 0; b < kLines * kBlocksPerLine; ++b) territory->Blocks.push_back(store.GetBlockStatus(b));
  return territory;
}

// Puts every train and block back as the territory was built, the clock a tick before.
void Reset(Territory& territory) {
  Corvane3Data& store = *territory.Store;
  store.SetSimClock(kClock - Engine::kTickSeconds);
  for (int k = 0; k < kTrains; ++k) store.UpdateTrainStatus(k, territory.Trains[k], 1);
  for (int k = 0; k < kTrains; ++k) store.UpdateTrainStop(k, territory.Stops[k]);
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

// One whole tick of the engine with 1,000 running trains: 1,000 head events and 1,000 rear events,
// 100 OS passings recorded.
void BM_OneTickOf1000RunningTrains(benchmark::State& state) {
  auto territory = FullTerritory();
  Corvane3Data& store = *territory->Store;
  Engine engine(store);
  int hits = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Reset(*territory);
    const int before = store.GetOSHitCount();
    state.ResumeTiming();
    engine.Tick();
    state.PauseTiming();
    hits = (store.GetOSHitCount() - before + kMaxOSHits) % kMaxOSHits;
    state.ResumeTiming();
  }
  if (const std::string fault = CheckEveryTrainMoved(store); !fault.empty()) state.SkipWithError(fault.c_str());
  if (hits != kTrains / 50 * kOSPointsPerLine) state.SkipWithError("the trains did not pass the OS points");
  int running = 0;
  for (int k = 0; k < kTrains; ++k) running += store.GetTrainStatus(k).State == TrainState::Moving;
  state.counters["trains running"] = running;
  state.counters["OS hits/tick"] = hits;
  state.counters["OS points"] = kOSPoints;
}
BENCHMARK(BM_OneTickOf1000RunningTrains)->Unit(benchmark::kMillisecond);

}  // namespace
