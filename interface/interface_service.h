// The message interfaces as the store and the engine reach them: the program
// installs this in place of the do-nothing service. Both incoming readers,
// the CTC requests, the CTC permit clock and crossing traffic are built.
#pragma once

#include "store/null_services.h"

class Corvane3Data;
class Engine;

class MessageInterfaceService : public NullInterfaceService {
 public:
  explicit MessageInterfaceService(Engine& engine) : engine_(engine) {}

  void EIOBuildXferOutMsg(int deviceType, int index) override;
  void CTCBuildXferOutMsg(int deviceType, int index) override;
  void FlushCTCControls() override;
  void FlushEIOIndications() override;
  void EIOReadXferInFile() override;
  void CTCReadXferInFile() override;
  void UpdateBlocksClearedAhead() override;
  void CTCRedrawPendingDevices() override;
  int FindTrainInNextBlock(int trainSlot, int which) override;
  int CTCThrowSwitch(int switchDevice, int forced) override;
  int CTCClearSignal(int signalDevice, int fromStack) override;
  void CTCBlinkPendingSwitches() override;
  void CheckPermitTimes() override;
  void ProcessDiamondTraffic() override;

 private:
  Corvane3Data& store();
  Engine& engine_;
};
