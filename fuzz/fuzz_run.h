// What the fuzz targets that run the simulation share: the demonstration
// territory written once as "demo.trk" in the private folder and loaded as a
// menu command loads it, brought back whenever an input loaded another one,
// and a run of it prepared at 06:00 and released.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "engine/engine.h"
#include "fuzz/fuzz_files.h"
#include "interface/interface_service.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tools/territory/demo_territory.h"

namespace fuzz {

inline std::string DemoTrackPath() { return Folder() + "demo.trk"; }

// The territory's identity as the loaded track file gave it.
struct TerritoryMark {
  std::string Path;
  int32_t Version, Identity1, Identity2, Changes;
  static TerritoryMark Of(const Corvane3Data& store) {
    return {FieldText(store.TrackFilePath), store.LoadedTrackVersion, store.TrackIdentity1, store.TrackIdentity2,
            store.ChangeCount};
  }
  bool operator==(const TerritoryMark&) const = default;
};

// Loads demo.trk, written on the first call, unless it is the territory loaded already.
inline void LoadDemoTerritory(Corvane3Data& store) {
  static const bool written = [&] {
    territory::BuildDemonstrationTerritory(store);
    return TrackFile(store).Write(DemoTrackPath(), 0) == 0;
  }();
  if (!written) std::abort();
  static bool marked = false;
  static TerritoryMark mark{};
  if (marked && TerritoryMark::Of(store) == mark) return;
  store.InitTerritoryData();
  if (TrackFile(store).Load(DemoTrackPath(), -1) != 0) std::abort();
  SetFieldText(store.TrackFilePath, DemoTrackPath());
  mark = TerritoryMark::Of(store);
  marked = true;
}

// An empty run over the loaded territory at 06:00 of day 0, its clock running at speed 20.
inline void StartRun(Corvane3Data& store) {
  store.InitSimulationStatus();
  store.SimStartTime = 6 * 3600;
  store.SimStartDay = 0;
  store.SimEndTime = -1;
  store.SimClock = 6 * 3600;
  RunState& run = store.Run;
  run.ClockSpeed = 20;
  run.SimStopped = 0;
  run.SimPaused = 0;
  run.RunStarted = 0;
  run.RunEnded = 0;
  run.AwaitingStart = 0;
  run.OutputHold = 0;
}

// The engine over the fuzz store, the message interfaces installed as the program installs them.
inline Engine& InterfaceEngine() {
  static Engine engine(Store());
  static MessageInterfaceService service(engine);
  Store().SetInterfaceService(&service);
  return engine;
}

// Removes what an input left in the private folder under these names.
inline void RemoveFiles(std::initializer_list<const char*> names) {
  std::error_code ignored;
  for (const char* name : names) std::filesystem::remove(Folder() + name, ignored);
}

}  // namespace fuzz
