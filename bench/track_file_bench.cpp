#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"

namespace {

// A territory with every table at its capacity, a full grid and 100 maintenance images of 50,000 bytes.
void FillToCapacity(Corvane3Data& store) {
  store.InitTerritoryData();
  for (int x = 0; x < kGridColumns; ++x) {
    for (int y = 0; y < kGridRows; ++y) {
      store.GridTrack[x * kGridRows + y] = 1;
      store.GridDevice[x * kGridRows + y] = static_cast<int16_t>((x * kGridRows + y) % kMaxBlocks);
    }
  }
  for (int i = 0; i < kMaxBlocks; ++i) {
    BlockData r = store.GetBlockData(i);
    r.InUse = 1;
    SetFieldText(r.Name, "B" + std::to_string(i));
    store.UpdateBlockData(i, r);
  }
  for (int i = 0; i < kMaxSwitches; ++i) {
    SwitchData r = store.GetSwitchData(i);
    r.InUse = 1;
    store.UpdateSwitchData(i, r);
    SignalData s = store.GetSignalData(i);
    s.InUse = 1;
    store.UpdateSignalData(i, s);
    CrossData c = store.GetCrossData(i);
    c.InUse = 1;
    store.UpdateCrossData(i, c);
  }
  for (int i = 0; i < kMaxTrains; ++i) {
    store.FindFreeTrainData();
    TrainData t = store.GetTrainData(i);
    SetFieldText(t.TrainId, std::to_string(i));
    store.UpdateTrainData(i, t);
  }
  for (int i = 0; i < kMaxPermitData; ++i) store.FindFreePermitData(1);
  for (int i = 0; i < kMaxSlowData; ++i) store.FindFreeSlowData(1);
  for (int i = 0; i < kMaxLocations; ++i) {
    OrgData r = store.GetOrgData(i);
    r.InUse = 1;
    r.Block = static_cast<int16_t>(i);
    store.UpdateOrgData(i, r);
  }
  for (int i = 0; i < kMaxPlatforms; ++i) {
    PlatformData r = store.GetPlatformData(i);
    r.InUse = 1;
    store.UpdatePlatformData(i, r);
    OSData o = store.GetOSData(i);
    o.InUse = 1;
    store.UpdateOSData(i, o);
  }
  for (int i = 0; i < kMaxStations; ++i) {
    StationData r = store.GetStationData(i);
    r.InUse = 1;
    store.UpdateStationData(i, r);
  }
  for (int i = 0; i < kMaxTexts; ++i) {
    TextData r = store.GetTextData(i);
    SetFieldText(r.Text, "label");
    store.UpdateTextData(i, r);
  }
  for (int i = 0; i < kMaxStartTimes; ++i) {
    StartTime r = store.GetStartTime(i);
    r.InUse = 1;
    store.UpdateStartTime(i, r);
  }
  for (int i = 0; i < kMaxTrainTypes; ++i) {
    TrainType r = store.GetTrainType(i);
    r.InUse = 1;
    SetFieldText(r.Name, "Type " + std::to_string(i));
    for (auto& name : r.BitmapFiles) SetFieldText(name, "diesel (internal bitmap)");
    store.UpdateTrainType(i, r);
  }
  for (int i = 0; i < kMaxMaintBitmaps; ++i) {
    BitmapMaint r{};
    SetFieldText(r.Name, "m" + std::to_string(i) + ".bmp");
    store.UpdateBitmapMaint(i, r);
    std::memset(store.MaintImage(i), i, 50000);
    store.MaintImageSizes[i] = 50000;
  }
}

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(getpid()) + ".trk")).string();
}

void BM_SaveFullTerritory(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  FillToCapacity(*store);
  const std::string path = BenchFile();
  for (auto _ : state) {
    if (TrackFile(*store).Write(path, 0) != 0) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveFullTerritory)->Unit(benchmark::kMillisecond);

void BM_LoadFullTerritory(benchmark::State& state) {
  auto store = std::make_unique<Corvane3Data>();
  FillToCapacity(*store);
  const std::string path = BenchFile();
  TrackFile(*store).Write(path, 0);
  for (auto _ : state) {
    if (TrackFile(*store).Load(path, -1) != 0) state.SkipWithError("load failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFullTerritory)->Unit(benchmark::kMillisecond);

}  // namespace
