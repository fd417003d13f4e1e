// Saved simulations: the run-time tables of a running simulation, tied to the
// track file they were made from.
#pragma once

#include <string>

class Corvane3Data;

class SimulationFile {
 public:
  explicit SimulationFile(Corvane3Data& store) : store_(store) {}

  // 0 written, 3 the file could not be written.
  int Save(const std::string& path);
  // 0 loaded (stopped); 1 not a simulation file or damaged (the run is then empty); 3 cannot be opened;
  // 5 made from another version of its track file; any other value the track file load's result. report as
  // for TrackFile::Load: -1 keeps the refusals of a file that cannot be opened or is not one silent.
  int Load(const std::string& path, int report);

 private:
  Corvane3Data& store_;
};
