// Writes the demonstration territory to each track file path given, with the
// program's own track file writer, and beside each its comments file and its
// territory settings file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tools/territory/demo_territory.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s track-file...\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    Corvane3Data store;
    territory::BuildDemonstrationTerritory(store);
    // The comments file first: the track file carries its text, read by the name the territory gives it,
    // beside the track file.
    const std::filesystem::path track = std::filesystem::absolute(argv[i]);
    const std::filesystem::path comments = track.parent_path() / FieldText(store.GetTerritoryData().CommentsFile);
    std::ofstream out(comments, std::ios::binary | std::ios::trunc);
    out << territory::DemonstrationComments();
    out.close();
    if (!out) {
      std::fprintf(stderr, "could not write %s\n", comments.string().c_str());
      return 1;
    }
    std::error_code moved;
    std::filesystem::current_path(track.parent_path(), moved);
    if (moved || TrackFile(store).Write(track.string(), 0) != 0) {
      std::fprintf(stderr, "could not write %s\n", argv[i]);
      return 1;
    }
    // The settings file goes beside the track file the store names.
    SetFieldText(store.TrackFilePath, kPathChars, track.string());
    store.NoTerritorySettings = 0;
    if (store.UpdateRandomData(territory::DemonstrationRandomData(store.GetRandomData())) != 0) {
      std::fprintf(stderr, "could not write the settings beside %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
