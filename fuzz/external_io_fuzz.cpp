// libFuzzer target for the External I/O command file as the simulator reads it:
// every input is left in the interface folder as the command file of a run of
// the demonstration territory, and a minute of ticks takes it over, checks and
// carries out its lines and sends the answers.
#include "fuzz/fuzz_run.h"
#include "interface/xfer_msg.h"

namespace {

constexpr int kTicks = 6;  // a minute of 10-second ticks

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Corvane3Data& store = fuzz::Store();
  Engine& engine = fuzz::InterfaceEngine();
  fuzz::LoadDemoTerritory(store);
  fuzz::StartRun(store);
  OptionData options = store.GetOptionData();
  options.ExternalIOOn = 1;
  options.CTCControlOn = 0;
  SetFieldText(options.EIOFolder, fuzz::Folder());
  options.EIOLogOn = 0;
  options.EIOLastReceived = -1;
  options.EIONextOutgoing = 0;
  store.UpdateOptionData(options);
  store.OperatingMode = 0;
  fuzz::WriteFile(xfer::kEIOCommandFile, data, size);
  for (int i = 0; i < kTicks; ++i) engine.Tick();
  fuzz::RemoveFiles({xfer::kEIOIndicationFile, xfer::kEIOCommandFile, xfer::kEIOCommandTaken});
  return 0;
}
