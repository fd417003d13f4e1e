// The message interfaces as the store and the engine reach them: the program
// installs this in place of the do-nothing service. Every hook is written here,
// so the compiler names any the interface gains and this does not answer.
#pragma once

#include "store/services.h"

class Corvane3Data;
class Engine;

class MessageInterfaceService final : public InterfaceService {
 public:
  explicit MessageInterfaceService(Engine& engine) : engine_(engine) {}

  void EIOBuildXferOutMsg(int deviceType, int index) override;
  void CTCBuildXferOutMsg(int deviceType, int index) override;
  void FlushCTCControls() override;
  void FlushEIOIndications() override;
  void EIOReadXferInFile() override;
  void CTCReadXferInFile() override;
  int CTCThrowSwitch(int switchDevice, int forced) override;
  int CTCClearSignal(int signalDevice, int fromStack) override;
  void CTCBlinkPendingSwitches() override;

 private:
  Corvane3Data& store();
  Engine& engine_;
};
