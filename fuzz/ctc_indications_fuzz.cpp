// libFuzzer target for the CTC indications file as the simulator reads it: in
// CTC control mode over the demonstration territory, every input is left in
// the CTC folder as the field's indications file, and the ticks take it over,
// check and carry out its lines and write the controls they call for.
#include "fuzz/interface_input.h"
#include "interface/xfer_msg.h"

namespace {

constexpr int kTicks = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunInterfaceInput(data, size, xfer::kCTCIndicationFile,
                          {xfer::kCTCControlFile, xfer::kCTCIndicationFile, xfer::kCTCIndicationTaken}, kTicks,
                          [](Corvane3Data& store, OptionData& options) {
                            // As entering CTC control mode leaves the run: empty, the clock standing still.
                            store.InitSimulationStatus();
                            store.Run.SimStopped = 1;
                            store.Run.OutputHold = 0;
                            store.OperatingMode = 5;
                            options.CTCControlOn = 1;
                            options.ExternalIOOn = 0;
                            SetFieldText(options.CTCFolder, fuzz::Folder());
                            options.CTCLogOn = 0;
                            options.CTCLastReceived = -1;
                            options.CTCNextOutgoing = 0;
                          });
  return 0;
}
