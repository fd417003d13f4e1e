// Writes the fuzz targets' seeds from files this program makes itself: the
// demonstration territory in every track file structure (versions 30 to 37
// and the old format), saved simulations of it at several moments of a run
// with their track file beside them, a recording of a run, and the settings
// files. Usage: make_fuzz_seeds <corpus folder>; one sub-folder per target.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/null_services.h"
#include "store/playback_file.h"
#include "store/settings_files.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "store/track_file_format.h"
#include "tests/support/demo_territory.h"
#include "tests/support/file_bytes.h"

namespace {

namespace fs = std::filesystem;
using file_bytes::Bytes;
using file_bytes::Peek;
using file_bytes::Poke;
// A version 37 file rewritten in the layout of an older version: no change count copy before 35, the
// 370-byte start times before 36.
Bytes OlderVersion(const Bytes& v37, int version) {
  constexpr size_t kCounts = 28;
  const auto word = [&](int w) { return static_cast<size_t>(Peek<int32_t>(v37, kCounts + 4 * w)); };
  const size_t grids = kCounts + sizeof(CountData) + sizeof(TerritoryData) + 16;
  const size_t starts = grids + 3 * 2 * (word(kCountGridColumns) + 1) * (word(kCountGridRows) + 1) +
                        word(kCountTrains) * sizeof(TrainData) + word(kCountPermits) * sizeof(PermitData) +
                        word(kCountSlowOrders) * sizeof(SlowData) + word(kCountTrainTypes) * sizeof(TrainType) +
                        word(kCountPlatforms) * sizeof(PlatformData) + word(kCountBlocks) * sizeof(BlockData) +
                        word(kCountSwitches) * sizeof(SwitchData) + word(kCountSignals) * sizeof(SignalData) +
                        word(kCountDiamonds) * sizeof(CrossData) + word(kCountLocations) * sizeof(OrgData) +
                        word(kCountStations) * sizeof(StationData32) + word(kCountTexts) * sizeof(TextData);
  const size_t areas = starts + word(kCountStartTimes) * sizeof(StartTime);
  Bytes file(v37.begin(), v37.begin() + static_cast<long>(starts));
  for (size_t i = 0; i < word(kCountStartTimes); ++i) {
    const auto record = v37.begin() + static_cast<long>(starts + sizeof(StartTime) * i);
    if (version >= 36) {
      file.insert(file.end(), record, record + sizeof(StartTime));
    } else {
      file.insert(file.end(), record, record + 360);
      file.insert(file.end(), record + 460, record + 465);
      file.insert(file.end(), 5, 0);
    }
  }
  file.insert(file.end(), v37.begin() + static_cast<long>(areas), v37.end());
  Poke(file, 8, static_cast<int16_t>(version));
  if (version < 35) file.erase(file.begin() + 24, file.begin() + 28);
  return file;
}

// An old-format file: every section at its place, a block, a switch joining it to an old switch number,
// a signal, a train type and a train, the rest empty.
Bytes OldFormat(int version) {
  constexpr size_t kCells = kGridCells;
  size_t at = 10;
  const auto take = [&](size_t bytes) {
    const size_t start = at;
    at += bytes;
    return start;
  };
  if (version >= 10) take(10);
  const size_t header = take(624);
  take(16);
  const size_t grid = take(kCells * 2);
  const size_t devices = take(kCells * 2);
  take(kCells);
  const size_t trains = take(200 * 245);
  take(40 * 41 + 40 * 49);
  const size_t types = take(4 * 41);
  take(10 * 55);
  const size_t blocks = take(600 * 97);
  take(600 * 37);
  const size_t switches = take(250 * 58);
  const size_t signals = take(250 * 48);
  take(50 * 31 + 50 * 77 + 80 * 157 + 48);
  const size_t startValues = take(4);
  take(7 * 292 + 78 + 7550 + 80 * 51 + 40 * 102 + 40 * 2);
  Bytes file(at, 0);
  for (int i = 0; i < 4; ++i) Poke(file, 2 * i, kTrackMagic[i]);
  Poke(file, 8, static_cast<int16_t>(version));
  std::memcpy(&file[header], "Old Line", 8);
  for (int x = 3; x < 9; ++x) {
    Poke(file, grid + 2 * (x * kGridRows + 5), int16_t{1});
    Poke(file, devices + 2 * (x * kGridRows + 5), int16_t{0});
  }
  Poke(file, grid + 2 * (9 * kGridRows + 5), int16_t{10});
  Poke(file, devices + 2 * (9 * kGridRows + 5), int16_t{1000});
  file[blocks] = 1;
  std::memcpy(&file[blocks + 1], "AB", 2);
  Poke(file, blocks + 14, int16_t{-1});
  Poke(file, blocks + 16, int16_t{1000});
  Poke(file, blocks + 26, int16_t{5280});
  Poke(file, switches, int16_t{1});
  Poke(file, switches + 18, int16_t{0});
  Poke(file, switches + 20, int16_t{-1});
  Poke(file, switches + 34, int16_t{9});
  Poke(file, switches + 36, int16_t{5});
  Poke(file, switches + 40, int16_t{10});
  Poke(file, signals, int16_t{1});
  std::memcpy(&file[types + 1], "Coal", 4);
  Poke(file, trains, int16_t{1});
  file[trains + 7] = 1;
  Poke(file, trains + 13, int16_t{4});
  file[trains + 168 + 1] = 1;
  std::memcpy(&file[trains + 234], "T0", 2);
  Poke(file, startValues, int16_t{360});
  Poke(file, startValues + 2, int16_t{1080});
  return file;
}

// The shell's file dialog, answered with one path.
class SaveAs : public NullShellService {
 public:
  explicit SaveAs(std::string path) : path_(std::move(path)) {}
  std::string AskSaveFileName(const FileDialogRequest&) override { return path_; }

 private:
  std::string path_;
};

void StartRun(Corvane3Data& store) {
  store.InitSimulationStatus();
  store.SimStartTime = 6 * 3600;
  store.SimEndTime = -1;
  store.SimClock = 6 * 3600;
  store.Run.ClockSpeed = 20;
  store.Run.SimStopped = 0;
  store.Run.SimPaused = 0;
  store.Run.RunStarted = 0;
  store.Run.OutputHold = 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <corpus folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  for (const char* target : {"track_file", "engine", "simulation", "playback", "settings"})
    fs::create_directories(root / target);

  auto owned = std::make_unique<Corvane3Data>();  // far too large for the stack
  Corvane3Data& store = *owned;
  SetFieldText(store.ProgramFolder, kPathChars, (root / "settings").string());
  territory::BuildDemonstrationTerritory(store);
  // The saved simulations name it; the fuzz target writes the same territory beside its input.
  const fs::path demo = root / "demo.trk";
  if (TrackFile(store).Write(demo.string(), 0) != 0) return 1;
  const Bytes v37 = file_bytes::ReadBytes(demo);
  file_bytes::WriteBytes(root / "track_file" / "demo37.trk", v37);
  file_bytes::WriteBytes(root / "engine" / "demo37.trk", v37);
  for (int version = 30; version < 37; ++version)
    file_bytes::WriteBytes(root / "track_file" / ("demo" + std::to_string(version) + ".trk"),
                           OlderVersion(v37, version));
  for (const int version : {9, 12})
    file_bytes::WriteBytes(root / "track_file" / ("old" + std::to_string(version) + ".trk"), OldFormat(version));

  // Saved simulations against demo.trk, before the run and after a few hours of it; a recording of the run.
  if (TrackFile(store).Load(demo.string(), -1) != 0) return 1;
  SetFieldText(store.TrackFilePath, demo.string());
  StartRun(store);
  if (SimulationFile(store).Save((root / "simulation" / "start.ssm").string()) != 0) return 1;
  SaveAs recording((root / "playback" / "run.ply").string());
  store.SetShellService(&recording);
  store.OperatingMode = 1;
  store.Run.OutputHold = 0;
  if (PlaybackFile(store).Create(store.SimClock) != 0) return 1;
  Engine engine(store);
  for (const int hours : {1, 3, 8}) {
    while (store.SimClock < store.SimStartTime + hours * 3600 && store.Run.SimStopped == 0) engine.Tick();
    if (SimulationFile(store).Save((root / "simulation" / ("after" + std::to_string(hours) + "h.ssm")).string()) != 0)
      return 1;
  }
  PlaybackFile(store).Close();
  store.SetShellService(nullptr);

  // The fuzz target builds the territory afresh beside its input: the seeds must load against that one.
  {
    const fs::path check = root / "check";
    fs::create_directories(check);
    auto freshStore = std::make_unique<Corvane3Data>();
    Corvane3Data& fresh = *freshStore;
    territory::BuildDemonstrationTerritory(fresh);
    fs::copy_file(root / "simulation" / "after3h.ssm", check / "run.ssm");
    const bool loads = TrackFile(fresh).Write((check / "demo.trk").string(), 0) == 0 &&
                       SimulationFile(fresh).Load((check / "run.ssm").string(), 0) == 0;
    fs::remove_all(check);
    if (!loads) {
      std::fprintf(stderr, "make_fuzz_seeds: a saved simulation does not load against a fresh territory\n");
      return 1;
    }
  }

  if (SettingsFiles(store).SaveOptions() != 0 || SettingsFiles(store).SaveWindowColumns() != 0) return 1;
  SetFieldText(store.TrackFilePath, (root / "settings" / "line.trk").string());
  store.NoTerritorySettings = 0;
  if (SettingsFiles(store).SaveTerritory() != 0) return 1;
  return 0;
}
