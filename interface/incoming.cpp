#include "interface/incoming.h"

#include <cctype>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "engine/engine.h"
#include "engine/run_control.h"
#include "interface/handover/handover.h"
#include "interface/interface_log.h"
#include "interface/outgoing.h"
#include "interface/xfer_msg.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/file_commands.h"
#include "store/fixed_text.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "store/whole_file/whole_file.h"

namespace xfer {
namespace {

constexpr const char* kDayCodes[7] = {"su", "mo", "tu", "we", "th", "fr", "sa"};

// The decimal value of the leading digits after an optional sign (none give 0), held inside
// -100000..100000 so that a long run of digits cannot overflow.
int LeadingNumber(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value < 100000) value = value * 10 + (text[i] - '0');
  }
  return static_cast<int>(negative ? -value : value);
}

bool InUse(const Corvane3Data& store, DeviceTable table, int index) {
  switch (table) {
    case DeviceTable::Block:
      return store.BlockDataRef(index).InUse != 0;
    case DeviceTable::Switch:
      return store.SwitchDataRef(index).InUse != 0;
    case DeviceTable::Signal:
      return store.GetSignalData(index).InUse != 0;
  }
  return false;
}

std::string StoredName(const Corvane3Data& store, DeviceTable table, int index) {
  switch (table) {
    case DeviceTable::Block:
      return FieldText(store.BlockDataRef(index).Name);
    case DeviceTable::Switch:
      return FieldText(store.SwitchDataRef(index).Name);
    case DeviceTable::Signal:
      return FieldText(store.GetSignalData(index).Name);
  }
  return {};
}

void SetLastReceived(Corvane3Data& store, Channel channel, int32_t number) {
  OptionData options = store.GetOptionData();
  if (channel == Channel::CTCControl) {
    options.CTCLastReceived = number;
  } else {
    options.EIOLastReceived = number;
  }
  store.UpdateOptionData(options);
}

void ProcessSwitch(Engine& engine, int sequence, const std::string& line, const std::string& name,
                   const std::string& command) {
  Corvane3Data& store = engine.Store();
  if (name.empty())
    return EIOBuildErrorMsg(store, line, "There message does not have a switch name in the third field");
  const std::string wanted = LowerText(command);
  if (wanted != "normal" && wanted != "reverse") {
    return EIOBuildErrorMsg(store, line, "There message does not have a legal switch command in the fifth field");
  }
  const int index = FindDevice(store, DeviceTable::Switch, name);
  if (index < 0) {
    return EIOBuildErrorMsg(
        store, line, "The switch named in the third field of the message could not be found on the track layout");
  }
  const int position = store.GetSwitchStatus(index).Position;
  if (position == (wanted == "reverse" ? 1 : 0)) return;
  // A refused throw is seen outside as a switch that did not move.
  engine.ThrowSwitch(device::kSwitchBase + index, 0, 0, sequence);
}

void ProcessSignal(Engine& engine, int sequence, const std::string& line, const std::string& name,
                   const std::string& command) {
  Corvane3Data& store = engine.Store();
  if (name.empty())
    return EIOBuildErrorMsg(store, line, "There message does not have a signal name in the third field");
  const std::string wanted = LowerText(command);
  if (wanted != "clear" && wanted != "cancel" && wanted != "fleet" && wanted != "fleetcancel") {
    return EIOBuildErrorMsg(store, line, "There message does not have a legal signal command in the fifth field");
  }
  const int index = FindDevice(store, DeviceTable::Signal, name);
  if (index < 0) {
    return EIOBuildErrorMsg(
        store, line, "The signal named in the third field of the message could not be found on the track layout");
  }
  const SignalStatus status = store.GetSignalStatus(index);
  if (wanted == "fleet" || wanted == "fleetcancel") {
    if (status.Fleet == (wanted == "fleet" ? 1 : 0)) return;
    engine.FleetSignal(device::kSignalBase + index, sequence);
    return;
  }
  if (IsClearedCode(status.Aspect) == (wanted == "clear")) return;
  engine.ClearSignal(device::kSignalBase + index, 0, sequence);
}

void ProcessAllData(Corvane3Data& store) {
  for (int i = 0; i < kMaxBlocks; ++i)
    if (InUse(store, DeviceTable::Block, i)) EIOBuildXferOutMsg(store, kEIOBlock, i);
  for (int i = 0; i < kMaxSwitches; ++i)
    if (InUse(store, DeviceTable::Switch, i)) EIOBuildXferOutMsg(store, kEIOSwitch, i);
  for (int i = 0; i < kMaxSignals; ++i)
    if (InUse(store, DeviceTable::Signal, i)) EIOBuildXferOutMsg(store, kEIOSignal, i);
}

// Only a regular file counts: a folder, a FIFO (whose open would wait for a writer) or a device
// is a file that cannot be found.
bool Opens(const std::string& path) { return whole_file::Readable(path); }

void ProcessLoad(Engine& engine, const std::string& line, const std::string& path, const std::string& dayCode,
                 const std::string& time) {
  Corvane3Data& store = engine.Store();
  if (!Opens(path)) {
    return EIOBuildErrorMsg(store, line, "The track file name in the fifth field of the message could not be found");
  }
  const std::string code = LowerText(dayCode);
  int day = -1;
  for (int d = 0; d < 7; ++d)
    if (code == kDayCodes[d]) day = d;
  if (day < 0) {
    return EIOBuildErrorMsg(store, line, "There is not a legal day of the week code in the sixth field of the message");
  }
  const std::size_t colon = time.find(':');
  if (colon == std::string::npos) {
    return EIOBuildErrorMsg(store, line, "The time in the seventh field of the message is illegal");
  }
  const int hours = LeadingNumber(time.substr(0, colon));
  const int minutes = LeadingNumber(time.substr(colon + 1));
  if (hours < 0 || hours > 23) {
    return EIOBuildErrorMsg(store, line,
                            "The hour in the seventh field of the message is less than 0 or greater than 23");
  }
  if (minutes < 0 || minutes > 59) {
    return EIOBuildErrorMsg(store, line,
                            "The minute in the seventh field of the message is less than 0 or greater than 59");
  }
  const int minute = hours * 60 + minutes;
  store.StopSimulation();
  store.InitTerritoryData();
  // The track file's own refusal is shown at the desk too: the territory did not load.
  if (TrackFile(store).Load(path, 0) != 0) {
    return EIOBuildErrorMsg(store, line, "The track file name in the fifth field of the message could not be loaded");
  }
  SetFieldText(store.TrackFilePath, path);
  TerritoryReset(store);
  int record = -1;
  for (int i = 0; i < kMaxStartTimes && record < 0; ++i) {
    const StartTime start = store.GetStartTime(i);
    if (start.InUse != 0 && start.Word1 == minute && start.Days[day] == 1) record = i;
  }
  if (record < 0) {
    return EIOBuildErrorMsg(
        store, line,
        "A start time that is for the day and time in the sixth and seventh fields of the message could "
        "not be found");
  }
  RunControl run(engine);
  run.StartSimulation(day, minute, record);
  SetLastReceived(store, Channel::ExternalIO, -1);
}

void ProcessSimLoad(Engine& engine, const std::string& line, const std::string& path) {
  Corvane3Data& store = engine.Store();
  if (!Opens(path)) {
    return EIOBuildErrorMsg(store, line,
                            "The simulation file name in the fifth field of the message could not be found");
  }
  store.StopSimulation();
  if (SimulationFile(store).Load(path, 0) != 0) {
    return EIOBuildErrorMsg(store, line,
                            "The simulation file name in the fifth field of the message could not be loaded");
  }
  SimulationDisplay(store);
  SetLastReceived(store, Channel::ExternalIO, -1);
}

std::string PathField(std::string path) {
  if (!path.empty() && path.front() == '"') {
    path.erase(0, 1);
    if (!path.empty()) path.pop_back();
  }
  return path;
}

}  // namespace

void BuildErrorMsg(Corvane3Data& store, Channel channel, std::string_view line, std::string_view text) {
  QueueNumberedLine(store, channel, [&](const std::string& sequence) {
    return "CMDERROR," + sequence + ",\"" + std::string(text) + "\",\"" + std::string(line) + "\"";
  });
}

void BuildTimeMsg(Corvane3Data& store, Channel channel) {
  const std::string stamp = SimulationStamp(store.GetSimClock());
  QueueNumberedLine(store, channel, [&](const std::string& sequence) { return "TIME," + sequence + "," + stamp; });
}

void EIOBuildErrorMsg(Corvane3Data& store, std::string_view line, std::string_view text) {
  BuildErrorMsg(store, Channel::ExternalIO, line, text);
}

void EIOBuildTimeMsg(Corvane3Data& store) { BuildTimeMsg(store, Channel::ExternalIO); }

std::string LowerText(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

int FindDevice(const Corvane3Data& store, DeviceTable table, const std::string& name) {
  const int size = table == DeviceTable::Block ? kMaxBlocks : table == DeviceTable::Switch ? kMaxSwitches : kMaxSignals;
  const std::string wanted = LowerText(name);
  for (int i = 0; i < size; ++i) {
    if (!InUse(store, table, i)) continue;
    const std::string stored = StoredName(store, table, i);
    if (!stored.empty() && LowerText(stored) == wanted) return i;
  }
  const std::string word = table == DeviceTable::Block ? "block" : table == DeviceTable::Switch ? "switch" : "signal";
  if (wanted.rfind(word, 0) != 0) return -1;
  const std::string digits = wanted.substr(word.size());
  if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits[0]))) return -1;
  const int index = LeadingNumber(digits);
  return index < size && InUse(store, table, index) ? index : -1;
}

std::optional<ReceivedLine> ReceiveLine(Corvane3Data& store, Channel channel, const std::string& line) {
  const auto refuse = [&](std::string_view text) {
    BuildErrorMsg(store, channel, line, text);
    return std::nullopt;
  };
  // Fields are split without fixed buffers; lines beyond what an outside program may send are
  // refused whole and take no sequence number.
  ReceivedLine received;
  std::vector<std::string>& fields = received.Fields;
  fields.emplace_back();
  for (char c : line) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (line.size() > kMaxInLine) return refuse("The message is longer than 399 characters");
  if (fields.size() > kMaxInFields) return refuse("The message has more than 10 fields");
  for (const std::string& field : fields) {
    if (field.size() > kMaxInField) return refuse("A field of the message is longer than 99 characters");
  }
  if (fields.size() < 4) return refuse("There are too few fields in the message");
  fields.resize(kMaxInFields);
  if (fields[1].empty()) return refuse("There is no message sequence number");
  const int sequence = LeadingNumber(fields[1]);
  if (sequence >= kSequenceLimit) return refuse("The message sequence number is greater than 9999");
  if (sequence < 0) return refuse("The message sequence number is less than 0");
  const OptionData options = store.GetOptionData();
  const int32_t last = channel == Channel::CTCControl ? options.CTCLastReceived : options.EIOLastReceived;
  if (last != -1) {
    if (sequence == last) return refuse("The sequence is same as the last message, the message will not be processed");
    const int distance = sequence < last ? sequence + kSequenceLimit - last : sequence - last;
    if (distance != 1) {
      BuildErrorMsg(store, channel, line,
                    "There are missing sequence numbers between this message and the last, the message will be "
                    "processed");
    }
  }
  SetLastReceived(store, channel, sequence);
  received.Sequence = sequence;
  return received;
}

HeldNotices::HeldNotices(Corvane3Data& store) : store_(store), shown_(store.Messages()) {
  store_.SetMessageService(this);
}

HeldNotices::~HeldNotices() {
  store_.SetMessageService(&shown_);
  for (const Notice& notice : held_) shown_.ShowNotice(notice.Text, notice.Caption, notice.Icon);
}

MessageResult HeldNotices::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                       MessageButtons buttons) {
  if (buttons != MessageButtons::Ok) return shown_.ShowMessage(text, caption, icon, buttons);
  held_.push_back({text, caption, icon});
  return MessageResult::Ok;
}

void ReadIncomingFile(Corvane3Data& store, Channel channel, const std::function<void(const std::string&)>& process) {
  // A question asked while a line is carried out lets the timer tick again inside its box: that
  // tick reads nothing.
  static bool reading[2] = {false, false};
  bool& busy = reading[channel == Channel::CTCControl ? 0 : 1];
  if (busy) return;
  busy = true;
  const bool ctc = channel == Channel::CTCControl;
  handover::TakeFile(ChannelFolder(store, channel), ctc ? kCTCIndicationFile : kEIOCommandFile,
                     ctc ? kCTCIndicationTaken : kEIOCommandTaken, kHeldInLine, false,
                     [&](const std::string& line, bool complete) {
                       // Once the writer has let the file go, a last line without its line end is complete.
                       if (!complete && line.empty()) return;
                       if (ctc) {
                         WriteCTCLog(store, line, 0);
                       } else {
                         WriteEIOLog(store, line, 0);
                       }
                       process(line);
                     });
  busy = false;
}

void EIOProcessXferInMsg(Engine& engine, const std::string& line) {
  Corvane3Data& store = engine.Store();
  const std::optional<ReceivedLine> received = ReceiveLine(store, Channel::ExternalIO, line);
  if (!received) return;
  const std::vector<std::string>& fields = received->Fields;
  const int sequence = received->Sequence;

  const std::string type = LowerText(fields[0]);
  const std::string command = LowerText(fields[2]);
  if (type == "control") {
    if (command == "load") return ProcessLoad(engine, line, PathField(fields[4]), fields[5], fields[6]);
    if (command == "simload") return ProcessSimLoad(engine, line, PathField(fields[4]));
    if (command == "alldata") return ProcessAllData(store);
    if (command != "start" && command != "stop" && command != "time") {
      return EIOBuildErrorMsg(store, line, "There message does not have a legal command type in the second field");
    }
    if (store.Run.AwaitingStart) return;
    RunControl run(engine);
    if (command == "start") run.CmStart();
    if (command == "stop") run.StopSimulation();
    if (command == "time") EIOBuildTimeMsg(store);
    return;
  }
  if (type == "switch") return ProcessSwitch(engine, sequence, line, fields[2], fields[4]);
  if (type == "signal") return ProcessSignal(engine, sequence, line, fields[2], fields[4]);
  EIOBuildErrorMsg(store, line, "The message does not have a legal command type in the first field");
}

void EIOReadXferInFile(Engine& engine) {
  Corvane3Data& store = engine.Store();
  if (store.GetOptionData().ExternalIOOn != 1) return;
  const HeldNotices notices(store);  // shown once the replies are written
  ReadIncomingFile(store, Channel::ExternalIO, [&](const std::string& line) { EIOProcessXferInMsg(engine, line); });
  // The outside program learns at once why a command failed, even before a run is prepared.
  if (store.EIOQueue.Count > 0) FlushEIOIndications(store);
}

}  // namespace xfer
