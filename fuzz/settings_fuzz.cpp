// libFuzzer target for the settings files: every input is read as the option
// file, the window column file and a territory's settings file.
#include "fuzz/fuzz_files.h"
#include "store/settings_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Corvane3Data& store = fuzz::Store();
  fuzz::WriteFile("CV3 option.tds", data, size);
  fuzz::WriteFile("CV3 window column.tds", data, size);
  fuzz::WriteFile("line.tds", data, size);
  SettingsFiles(store).LoadOptions();
  SettingsFiles(store).LoadWindowColumns();
  SettingsFiles(store).LoadTerritory(fuzz::Folder() + "line.trk");
  return 0;
}
