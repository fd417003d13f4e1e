// Writes the demonstration territory to each track file path given, with the
// program's own track file writer.
#include <cstdio>

#include "store/corvane3_data.h"
#include "store/track_file.h"
#include "tests/support/demo_territory.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s track-file...\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    Corvane3Data store;
    territory::BuildDemonstrationTerritory(store);
    if (TrackFile(store).Write(argv[i], 0) != 0) {
      std::fprintf(stderr, "could not write %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
