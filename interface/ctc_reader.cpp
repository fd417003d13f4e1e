#include "interface/ctc_reader.h"

#include <optional>
#include <vector>

#include "engine/engine.h"
#include "interface/ctc_indications.h"
#include "interface/incoming.h"
#include "interface/xfer_msg.h"
#include "store/corvane3_data.h"

namespace xfer {

void CTCBuildErrorMsg(Corvane3Data& store, std::string_view line, std::string_view text) {
  BuildErrorMsg(store, Channel::CTCControl, line, text);
}

void CTCProcessXferInMsg(Engine& engine, const std::string& line) {
  Corvane3Data& store = engine.Store();
  const std::optional<ReceivedLine> received = ReceiveLine(store, Channel::CTCControl, line);
  if (!received) return;
  const std::vector<std::string>& fields = received->Fields;
  const std::string type = LowerText(fields[0]);
  if (type != "control" && type != "switch" && type != "signal" && type != "block") {
    return CTCBuildErrorMsg(store, line, "The message does not have a legal command type in the first field");
  }
  if (type == "control") {
    const std::string command = LowerText(fields[2]);
    if (command != "load" && command != "stop" && command != "start" && command != "alldata" && command != "time" &&
        command != "simload") {
      return CTCBuildErrorMsg(store, line, "This message does not have a legal command type in the second field");
    }
    // The field side may ask for the time; the other control words are the External I/O
    // program's and mean nothing here.
    if (command == "time") CTCBuildTimeMsg(store);
    return;
  }
  if (type == "switch") return CTCProcessSwitchMsg(engine, line, fields[2], fields[4], fields[5]);
  if (type == "signal") return CTCProcessSignalMsg(engine, line, fields[2], fields[4]);
  CTCProcessBlockMsg(engine, line, fields[2], fields[4]);
}

void CTCReadXferInFile(Engine& engine) {
  Corvane3Data& store = engine.Store();
  if (store.GetOptionData().CTCControlOn != 1) return;
  const HeldNotices notices(store);
  ReadIncomingFile(store, Channel::CTCControl, [&](const std::string& line) { CTCProcessXferInMsg(engine, line); });
}

}  // namespace xfer
