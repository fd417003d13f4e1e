// Writes the fuzz targets' seeds from files this program makes itself: the
// demonstration territory in every track file structure (versions 30 to 37
// and the old format), saved simulations of it at several moments of a run
// with their track file beside them, a recording of a run, the settings files
// (the option file in every layout it has had), command and indication files
// naming the territory's devices, and Hollin's files, and the patch form's seeds
// for the targets that read whole files. Usage: make_fuzz_seeds <corpus folder>;
// one sub-folder per target.
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
#include "hollin/core/hollin_data.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/null_services.h"
#include "store/playback_file.h"
#include "store/settings_files.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "store/track_file_format.h"
#include "tests/support/file_bytes.h"
#include "tools/territory/demo_territory.h"

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

// The option file of the current layout rewritten in that of an older version: an 80-byte track path
// before 41, the ten-alert table in front of the alerts before 37, the 20-alert table before 40, 104
// option bytes before 45, no old file list before 34, no second reserved block before 35 and no
// playback path before 36.
Bytes OlderOptionFile(const Bytes& current, int version) {
  size_t at = 16 + 4;
  const auto take = [&](size_t bytes, size_t keep) {
    Bytes part(current.begin() + static_cast<long>(at), current.begin() + static_cast<long>(at + keep));
    at += bytes;
    return part;
  };
  Bytes file(current.begin(), current.begin() + 16);
  const auto add = [&](const Bytes& part) { file.insert(file.end(), part.begin(), part.end()); };
  Bytes word(4);
  std::memcpy(word.data(), &version, 4);
  add(word);
  add(take(20 + 10, 20 + 10));
  add(take(kPathChars, version < 41 ? 80 : kPathChars));
  add(take(sizeof(RandomData), sizeof(RandomData)));
  if (version < 37) add(Bytes(2580, 0));
  add(take(sizeof(AlertData), version < 40 ? 5160 : sizeof(AlertData)));
  add(take(1000, 1000));
  add(take(sizeof(OptionData), version < 45 ? 104 : sizeof(OptionData)));
  add(take(4002 * 4 + kMaxWindowSizes * sizeof(WindowSize), 4002 * 4 + kMaxWindowSizes * sizeof(WindowSize)));
  const Bytes oldFiles = take(kMaxOldFiles * kPathChars, kMaxOldFiles * kPathChars);
  const Bytes reserved = take(1000, 1000);
  const Bytes playback = take(kPathChars, kPathChars);
  if (version >= 34) add(oldFiles);
  if (version >= 35) add(reserved);
  if (version >= 36) add(playback);
  add(Bytes(current.end() - 16, current.end()));
  return file;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

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
  for (const char* target : {"track_file", "engine", "simulation", "playback", "settings", "playback_run",
                             "simulation_run", "external_io", "ctc_indications", "hollin", "hollin_send"})
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
  fs::copy_file(root / "playback" / "run.ply", root / "playback_run" / "run.ply");
  for (const auto& entry : fs::directory_iterator(root / "simulation"))
    fs::copy_file(entry.path(), root / "simulation_run" / entry.path().filename());

  // Command and indication files naming the territory's devices: every command and indication kind.
  std::string block, sw, signal;
  {
    for (int i = 0; i < kMaxBlocks && block.empty(); ++i) {
      const BlockData d = store.GetBlockData(i);
      if (d.InUse != 0 && d.Name[0] != 0) block = FieldText(d.Name);
    }
    for (int i = 0; i < kMaxSwitches && sw.empty(); ++i) {
      const SwitchData d = store.GetSwitchData(i);
      if (d.InUse != 0 && d.Name[0] != 0) sw = FieldText(d.Name);
    }
    for (int i = 0; i < kMaxSignals && signal.empty(); ++i) {
      const SignalData d = store.GetSignalData(i);
      if (d.InUse != 0 && d.Name[0] != 0) signal = FieldText(d.Name);
    }
  }
  WriteText(root / "external_io" / "commands.txt",
            "CONTROL,0001,TIME\nCONTROL,0002,ALLDATA\nSWITCH,0003," + sw + ",10:00:00,REVERSE\nSIGNAL,0004," + signal +
                ",10:00:00,CLEAR\nSIGNAL,0005," + signal + ",10:00:00,FLEET\nCONTROL,0007,STOP\nCONTROL,0008,START\n" +
                "SWITCH,0009," + sw + ",10:00:00,NORMAL\nSIGNAL,0010," + signal + ",10:00:00,STOP\nBLOCK,0011,x,y,z\n");
  WriteText(root / "external_io" / "load.txt",
            "CONTROL,0001,LOAD,10:00:00,\"demo.trk\",,\nCONTROL,0002,SIMLOAD,10:00:00,\"none.ssm\"\n");
  WriteText(root / "ctc_indications" / "indications.txt",
            "BLOCK,0001," + block + ",10:00:00,OCCUPIEDRIGHT\nSWITCH,0002," + sw +
                ",10:00:00,REVERSE,OCCUPIED\nSIGNAL,0003," + signal +
                ",10:00:00,CLEARED\nCONTROL,0004,TIME\nBLOCK,0005," + block + ",10:00:00,UNOCCUPIED\nSWITCH,0006," +
                sw + ",10:00:00,NORMAL,UNOCCUPIED\nSIGNAL,0007," + signal + ",10:00:00,STOP\n");

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
  // The option file in the layout of every older version, each checked to load.
  {
    const Bytes current = file_bytes::ReadBytes(root / "settings" / "CV3 option.tds");
    const fs::path check = root / "check";
    fs::create_directories(check);
    auto freshStore = std::make_unique<Corvane3Data>();
    Corvane3Data& fresh = *freshStore;
    SetFieldText(fresh.ProgramFolder, kPathChars, check.string());
    for (int version = 30; version < 46; ++version) {
      const Bytes older = OlderOptionFile(current, version);
      file_bytes::WriteBytes(root / "settings" / ("option" + std::to_string(version) + ".tds"), older);
      file_bytes::WriteBytes(check / "CV3 option.tds", older);
      if (SettingsFiles(fresh).LoadOptions() != 0) {
        std::fprintf(stderr, "make_fuzz_seeds: the version %d option file does not load\n", version);
        return 1;
      }
    }
    fs::remove_all(check);
  }
  SetFieldText(store.TrackFilePath, (root / "settings" / "line.trk").string());
  store.NoTerritorySettings = 0;
  if (SettingsFiles(store).SaveTerritory() != 0) return 1;

  // Hollin: control lines of every kind, and a whole options file behind its guard.
  WriteText(root / "hollin" / "controls.txt",
            "SWITCH,0001,SW1,10:00:00,REVERSE\nSIGNAL,0002,S1,10:00:00,CLEAR\nBLOCK,0003,B1,10:00:00,OCCUPIED\n"
            "SWITCH,0004,SW1,10:00:00,NORMAL\nSIGNAL,0005,S1,10:00:00,STOP\nSIGNAL,0005,S1,10:00:00,STOP\n");
  {
    const fs::path folder = root / "hollin" / "options";
    fs::create_directories(folder);
    THollinData hollin(folder.string());
    HollinOptions options = hollin.GetOptions();
    options.LastReceivedSequence = 17;
    options.OwnSequence = 42;
    std::memcpy(options.FileToSend, "events.txt", 10);
    hollin.SetOptions(options);
    fs::rename(folder / hollin::kOptionFileName, root / "hollin" / "options.tds");
    fs::remove_all(folder);
    if (fs::file_size(root / "hollin" / "options.tds") != 648) return 1;
  }
  WriteText(root / "hollin_send" / "events.txt",
            "SWITCH,SW1,REVERSE\nSIGNAL,S1,CLEAR,extra,part\nBLOCK,B1,OCCUPIED\r\nno commas\none,comma\n,,\n");

  // The patch form (fuzz/fuzz_patch.h) of the targets that read whole files: one patch without edits of
  // each seed, numbered in the name order the targets read the seeds in, in <corpus>_patch.
  for (const char* corpus : {"track_file", "engine", "simulation", "simulation_run", "playback", "playback_run"}) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(root / corpus))
      if (entry.is_regular_file()) names.push_back(entry.path());
    const fs::path patches = root / (std::string(corpus) + "_patch");
    fs::create_directories(patches);
    for (size_t i = 0; i < names.size(); ++i)
      file_bytes::WriteBytes(patches / ("seed" + std::to_string(i)),
                             Bytes{'C', 'V', 'P', '1', static_cast<uint8_t>(i)});
  }
  return 0;
}
