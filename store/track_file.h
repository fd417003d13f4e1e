// The track file, the territory's own format, over the store's tables: the
// one entry for every territory load (versions below 30 through OldTrackFile)
// and the writer of version 37. Holds nothing but the store it works on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/records.h"

class ByteReader;
class Corvane3Data;

// The name the store gives the empty territory a failed load leaves.
inline constexpr char kEmptyTrackName[] = "new.trk";

class TrackFile {
 public:
  explicit TrackFile(Corvane3Data& store) : store_(store) {}

  // Replaces the territory with a track file; report -1 shows no refusal of its own, any other value shows each.
  // 0 loaded, 1 not a track file or corrupt, 3 cannot be opened or newer than this program. A refused file
  // leaves the empty territory, named "new.trk".
  int Load(const std::string& path, int report);
  // Writes the territory as a version 37 file. 0 written, 3 cannot be written, 6 refused by the checks.
  int Write(const std::string& path, uint8_t announce);
  // The counts a track file carries, worked out from the tables and the grid.
  CountData ComputeCounts() const;

 private:
  // Load but for the name of the empty territory a refusal leaves.
  int LoadTerritory(const std::string& path, int report);
  // The body of a version 30-37 file, from behind the version word. 0 read, 1 corrupt.
  int ReadBody(ByteReader& in, int version, const std::string& path);
  // Empties what only a track file fills and the empty territory leaves alone: the flag grid, the
  // areas, the detectors and the territory options. A load starts and a refused load ends with it.
  void ForgetTables();
  // Drops the icon images, icon assignments and maintenance bitmap marks of the territory.
  void ForgetImages();
  // The picture a loaded track file carried under that bitmap name, or null.
  const std::vector<uint8_t>* HeldTrainIconImage(const std::string& name) const;

  Corvane3Data& store_;
};

// The body of a track file below version 30, from behind the version word.
class OldTrackFile {
 public:
  explicit OldTrackFile(Corvane3Data& store) : store_(store) {}
  // 0 read, 1 corrupt (length not that of the old layout).
  int Read(ByteReader& in, int version, const std::string& path);
  // The longest body of that version: its fixed part and the largest maintenance images its sizes can name.
  static uint64_t LargestBody(int version);

 private:
  Corvane3Data& store_;
};

// One column of a store grid (kGridRows codes from `column`; the grids run column by column) holds no code
// at all. Most columns of a territory are empty: one comparison passes over each.
bool EmptyGridColumn(const int16_t* column);

// 0 a WAV file, 1 another file, 3 cannot be opened.
int CheckWaveFile(const std::string& path);
