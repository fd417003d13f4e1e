// libFuzzer target for the External I/O command file as the simulator reads it:
// every input is left in the interface folder as the command file of a run of
// the demonstration territory, and a minute of ticks takes it over, checks and
// carries out its lines and sends the answers.
#include <filesystem>

#include "engine/engine.h"
#include "fuzz/fuzz_run.h"
#include "interface/interface_service.h"
#include "interface/xfer_msg.h"

namespace {

constexpr int kTicks = 6;  // a minute of 10-second ticks

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Corvane3Data& store = fuzz::Store();
  static Engine engine(store);
  static MessageInterfaceService service(engine);
  store.SetInterfaceService(&service);
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
  std::error_code ignored;
  std::filesystem::remove(fuzz::Folder() + xfer::kEIOIndicationFile, ignored);
  std::filesystem::remove(fuzz::Folder() + xfer::kEIOCommandFile, ignored);
  std::filesystem::remove(fuzz::Folder() + xfer::kEIOCommandTaken, ignored);
  return 0;
}
