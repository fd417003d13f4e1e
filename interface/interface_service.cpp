#include "interface/interface_service.h"

#include "engine/engine.h"
#include "interface/ctc_reader.h"
#include "interface/ctc_requests.h"
#include "interface/incoming.h"
#include "interface/outgoing.h"

Corvane3Data& MessageInterfaceService::store() { return engine_.Store(); }

void MessageInterfaceService::EIOBuildXferOutMsg(int deviceType, int index) {
  xfer::EIOBuildXferOutMsg(store(), deviceType, index);
}
void MessageInterfaceService::CTCBuildXferOutMsg(int deviceType, int index) {
  xfer::CTCBuildXferOutMsg(store(), deviceType, index);
}
void MessageInterfaceService::FlushCTCControls() { xfer::FlushCTCControls(store()); }
void MessageInterfaceService::FlushEIOIndications() { xfer::FlushEIOIndications(store()); }
void MessageInterfaceService::EIOReadXferInFile() { xfer::EIOReadXferInFile(engine_); }
void MessageInterfaceService::CTCReadXferInFile() { xfer::CTCReadXferInFile(engine_); }
// The engine passes the signal stack's forced flag: the stack is the only forced caller.
int MessageInterfaceService::CTCThrowSwitch(int switchDevice, int) {
  return xfer::CTCThrowSwitch(engine_, switchDevice);
}
int MessageInterfaceService::CTCClearSignal(int signalDevice, int fromStack) {
  return xfer::CTCClearSignal(engine_, signalDevice, fromStack != 0 ? 1 : 0);
}
void MessageInterfaceService::CTCBlinkPendingSwitches() { xfer::CTCBlinkPendingSwitches(engine_); }
