// libFuzzer target for a recording as the Playback command opens it: every input
// is chosen as the playback file over the demonstration territory, its header is
// checked, and when it is taken the replay applies its records in the ticks of
// ten minutes of the run (the first tick applies everything up to the start). An input may also be a patch
// of one of the seeds (fuzz/fuzz_patch.h).
#include <cstdio>

#include "engine/engine.h"
#include "engine/run_control.h"
#include "fuzz/fuzz_patch.h"
#include "fuzz/fuzz_run.h"
#include "store/null_services.h"
#include "store/operating_mode.h"

namespace {

constexpr int kTicks = 60;

// The file dialog answered with the input, the jump dialog with OK at the recording's start.
class ChooseInput : public NullShellService {
 public:
  std::string AskOpenFileName(const FileDialogRequest&) override { return fuzz::Folder() + "input.ply"; }
};
class ConfirmStart : public NullDialogService {
 public:
  int RunPlaybackTimeDialog(const std::string&, int32_t) override { return 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::PatchedInput input = fuzz::ApplyPatch("playback_run", data, size);
  if (!input.Usable) return 0;
  Corvane3Data& store = fuzz::Store();
  static Engine engine(store);
  static ChooseInput shell;
  static ConfirmStart dialogs;
  store.SetShellService(&shell);
  store.SetDialogService(&dialogs);
  fuzz::LoadDemoTerritory(store);
  fuzz::StartRun(store);
  store.OperatingMode = operating_mode::kSimulation;
  fuzz::WriteFile("input.ply", input.Data, input.Size);
  RunControl(engine).CmPlayback();
  for (int i = 0; i < kTicks && store.OperatingMode == operating_mode::kPlayback; ++i) engine.Tick();
  if (store.PlaybackIn) {
    std::fclose(store.PlaybackIn);
    store.PlaybackIn = nullptr;
  }
  return 0;
}
