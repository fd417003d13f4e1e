// The settings files: the option and window-column files in the program
// folder, and the territory settings file beside the track file.
#pragma once

#include <string>
#include <string_view>

#include "store/records.h"

class Corvane3Data;

// What a fresh window-column file holds: a window's saved rectangle, and a column's width (0 for a
// column the tables give none).
WindowSize DefaultWindowSize(int index);
uint32_t DefaultColumnSize(int list, int column);

class SettingsFiles {
 public:
  explicit SettingsFiles(Corvane3Data& store) : store_(store) {}

  // Results: 0 done, 1 not a settings file or damaged (the defaults stand), 3 cannot be opened or created.
  int LoadOptions();
  int SaveOptions();
  int LoadWindowColumns();
  int SaveWindowColumns();
  int LoadTerritory(std::string_view trackPath);
  int SaveTerritory();
  // The territory settings file of the loaded track file; empty when its name has no '.'.
  std::string TerritoryPath() const;

 private:
  Corvane3Data& store_;
};
