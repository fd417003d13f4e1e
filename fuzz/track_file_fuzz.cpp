// libFuzzer target for the track file readers (versions 30 to 37 and the old
// format): every input is loaded as a track file, as a menu command loads it. An input may also be a patch
// of one of the seeds (fuzz/fuzz_patch.h).
#include "fuzz/fuzz_files.h"
#include "fuzz/fuzz_patch.h"
#include "store/track_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("track_file", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  TrackFile(store).Load(fuzz::WriteFile("input.trk", input.Data, input.Size), 0);
  return 0;
}
