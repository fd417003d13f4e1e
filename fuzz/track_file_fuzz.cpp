// libFuzzer target for the track file readers (versions 30 to 37 and the old
// format): every input is loaded as a track file, as a menu command loads it.
#include "fuzz/fuzz_files.h"
#include "store/track_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Corvane3Data& store = fuzz::Store();
  TrackFile(store).Load(fuzz::WriteFile("input.trk", data, size), 0);
  return 0;
}
