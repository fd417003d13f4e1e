// libFuzzer target for the External I/O command file as the simulator reads it:
// every input is left in the interface folder as the command file of a run of
// the demonstration territory, and a minute of ticks takes it over, checks and
// carries out its lines and sends the answers.
#include "fuzz/interface_input.h"
#include "interface/xfer_msg.h"

namespace {

constexpr int kTicks = 6;  // a minute of 10-second ticks

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunInterfaceInput(data, size, xfer::kEIOCommandFile,
                          {xfer::kEIOIndicationFile, xfer::kEIOCommandFile, xfer::kEIOCommandTaken}, kTicks,
                          [](Corvane3Data& store, OptionData& options) {
                            fuzz::StartRun(store);
                            store.OperatingMode = 0;
                            options.ExternalIOOn = 1;
                            options.CTCControlOn = 0;
                            SetFieldText(options.EIOFolder, fuzz::Folder());
                            options.EIOLogOn = 0;
                            options.EIOLastReceived = -1;
                            options.EIONextOutgoing = 0;
                          });
  return 0;
}
