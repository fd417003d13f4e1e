#include "interface/outgoing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "interface/handover/handover.h"
#include "interface/interface_log.h"
#include "interface/xfer_msg.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"

namespace xfer {

namespace {

constexpr const char* kDroppedPrefix = "Line dropped, the queue is full: ";

using LogWriter = void (*)(Corvane3Data&, std::string_view, int);

struct ChannelParts {
  OutQueue& Queue;
  Channel Which;
  const char* FileName;
  LogWriter Log;
};

ChannelParts CTCParts(Corvane3Data& store) {
  return {store.CTCQueue, Channel::CTCControl, kCTCControlFile, WriteCTCLog};
}
ChannelParts EIOParts(Corvane3Data& store) {
  return {store.EIOQueue, Channel::ExternalIO, kEIOIndicationFile, WriteEIOLog};
}

void Flush(Corvane3Data& store, const ChannelParts& channel) {
  OutQueue& queue = channel.Queue;
  if (queue.Count <= 0) return;
  const int count = queue.Count < kQueueMessages ? queue.Count : kQueueMessages;
  std::string batch;
  for (int slot = 0; slot < count; ++slot) {
    batch += queue.Lines[slot].data();
    batch += '\n';
  }
  // Never waits for the other program: a file it holds is tried again on a later flush.
  if (!handover::AppendLocked(FolderPath(ChannelFolder(store, channel.Which), channel.FileName), batch, false)) return;
  for (int slot = 0; slot < count; ++slot) channel.Log(store, queue.Lines[slot].data(), kLogOutput);
  for (auto& line : queue.Lines) line[0] = '\0';
  queue.Count = 0;
}

int32_t Queue(Corvane3Data& store, const ChannelParts& channel, std::string_view text) {
  OutQueue& queue = channel.Queue;
  if (queue.Count >= kQueueMessages) {
    channel.Log(store, std::string(kDroppedPrefix) + std::string(text), kLogOutput);
    return kQueueFull;
  }
  const int32_t slot = queue.Count;
  const size_t length = text.size() < static_cast<size_t>(kLineChars) ? text.size() : kLineChars;
  char* line = queue.Lines[slot].data();
  std::memcpy(line, text.data(), length);
  line[length] = '\0';
  // One message is one line: a line end inside it (from a device name, say) would split it in two.
  std::replace_if(
      line, line + length, [](char c) { return c == '\n' || c == '\r' || c == '\0'; }, ' ');
  ++queue.Count;
  if (queue.Count >= kFlushAt) Flush(store, channel);
  return slot;
}

std::string Sequence(int32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", number);
  return text;
}

std::string Join(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += ',';
    line += field;
  }
  return line;
}

// Queues a line that carries the channel's next number, and moves the number on.
template <class MakeLine>
void QueueNumbered(Corvane3Data& store, Channel channel, MakeLine make) {
  // The option record is packed: its number is moved on in a local, never through a reference.
  OptionData options = store.GetOptionData();
  int32_t next = channel == Channel::CTCControl ? options.CTCNextOutgoing : options.EIONextOutgoing;
  const std::string line = make(Sequence(TakeSequence(next)));
  if (channel == Channel::CTCControl) {
    options.CTCNextOutgoing = next;
  } else {
    options.EIONextOutgoing = next;
  }
  store.UpdateOptionData(options);
  if (channel == Channel::CTCControl) {
    QueueCTCControlMsg(store, line);
  } else {
    QueueEIOIndicationMsg(store, line);
  }
}

// The train an occupied block reports: the first slot for a train heading right,
// the last used slot for one heading left; -1 when none.
int ReportedTrain(const BlockStatus& block) {
  int slot = -1;
  if (block.Occupancy == occupancy::kOccupiedRight) {
    slot = 0;
  } else {
    for (int i = kBlockTrainSlots - 1; i >= 0; --i) {
      if (block.Trains[i] != kEmptyTrainSlot) {
        slot = i;
        break;
      }
    }
  }
  if (slot < 0 || block.Trains[slot] == kEmptyTrainSlot || block.Trains[slot] >= kMaxTrainStatus) return -1;
  return block.Trains[slot];
}

struct TrainFields {
  std::string Id = "UNKNOWN";
  std::string TypeName;
};

TrainFields TrainOfBlock(const Corvane3Data& store, const BlockStatus& block) {
  TrainFields fields;
  const int train = ReportedTrain(block);
  if (train < 0) return fields;
  const TrainStatus status = store.GetTrainStatus(train);
  fields.Id = FieldText(status.TrainId);
  if (status.Type < kMaxTrainTypes) fields.TypeName = FieldText(store.GetTrainType(status.Type).Name);
  return fields;
}

// The block line of either channel; the CTC line adds the train's type name.
std::string BlockLine(const Corvane3Data& store, int index, const std::string& sequence, const std::string& time,
                      bool withTypeName) {
  const BlockStatus block = store.GetBlockStatus(index);
  const std::string name = BlockName(store, index);
  const std::string state = OccupancyWord(block.Occupancy);
  if (IsOccupiedCode(block.Occupancy)) {
    const TrainFields train = TrainOfBlock(store, block);
    if (withTypeName) return Join({"BLOCK", sequence, name, state, time, train.Id, train.TypeName});
    return Join({"BLOCK", sequence, name, state, time, train.Id});
  }
  if (IsClearedCode(block.Occupancy)) {
    return Join({"BLOCK", sequence, name, state, time, std::to_string(block.ClearedValue)});
  }
  return Join({"BLOCK", sequence, name, state, time});
}

// A device index within its table; otherwise the internal error report with the builder's text.
bool IndexFits(Corvane3Data& store, int index, int tableSize, const char* error) {
  if (index >= 0 && index < tableSize) return true;
  store.InternalErrorTrap(index, error);
  return false;
}

}  // namespace

int32_t QueueCTCControlMsg(Corvane3Data& store, std::string_view text) { return Queue(store, CTCParts(store), text); }
int32_t QueueEIOIndicationMsg(Corvane3Data& store, std::string_view text) {
  return Queue(store, EIOParts(store), text);
}

void FlushCTCControls(Corvane3Data& store) { Flush(store, CTCParts(store)); }
void FlushEIOIndications(Corvane3Data& store) { Flush(store, EIOParts(store)); }

void CTCBuildXferOutMsg(Corvane3Data& store, int deviceType, int index) {
  if (store.GetOptionData().CTCControlOn != 1) return;
  const std::string time = WallClockStamp();
  switch (deviceType) {
    case kCTCBlock:
      if (!IndexFits(store, index, kMaxBlocks, "Block index error - BuildXferOutMsg")) return;
      QueueNumbered(store, Channel::CTCControl,
                    [&](const std::string& sequence) { return BlockLine(store, index, sequence, time, true); });
      return;
    case kCTCSwitch: {
      if (!IndexFits(store, index, kMaxSwitches, "Switch index error - CTCBuildXferOutMsg")) return;
      const SwitchStatus status = store.GetSwitchStatus(index);
      if (status.NormalRequested == 0 && status.ReverseRequested == 0) {
        store.InternalErrorTrap(index, "Switch request error - CTCBuildXferOutMsg");
        return;
      }
      const char* position = status.ReverseRequested != 0 ? "REVERSE" : "NORMAL";
      QueueNumbered(store, Channel::CTCControl, [&](const std::string& sequence) {
        return Join({"SWITCH", sequence, SwitchName(store, index), time, position});
      });
      return;
    }
    case kCTCSignal: {
      if (!IndexFits(store, index, kMaxSignals, "Signal index error - CTCBuildXferOutMsg")) return;
      const SignalStatus status = store.GetSignalStatus(index);
      const char* word = status.CTCCancelRequest != 0  ? "CANCEL"
                         : status.CTCClearRequest != 0 ? "CLEAR"
                                                       : "UNKNOWNSTATUS";
      QueueNumbered(store, Channel::CTCControl, [&](const std::string& sequence) {
        return Join({"SIGNAL", sequence, SignalName(store, index), time, word});
      });
      return;
    }
    default:
      store.InternalErrorTrap(deviceType, "Device type error - CTCBuildXferOutMsg");
      return;
  }
}

void QueueNumberedLine(Corvane3Data& store, Channel channel,
                       const std::function<std::string(const std::string&)>& make) {
  QueueNumbered(store, channel, make);
}

void EIOBuildXferOutMsg(Corvane3Data& store, int deviceType, int index) {
  // Before a run is prepared the outside program hears nothing of the store's resets.
  if (store.GetOptionData().ExternalIOOn != 1 || store.Run.AwaitingStart == 1) return;
  const std::string time = SimulationStamp(store.GetSimClock());
  switch (deviceType) {
    case kEIOBlock:
      if (!IndexFits(store, index, kMaxBlocks, "Block index error - BuildXferOutMsg")) return;
      QueueNumbered(store, Channel::ExternalIO,
                    [&](const std::string& sequence) { return BlockLine(store, index, sequence, time, false); });
      return;
    case kEIOSwitch: {
      if (!IndexFits(store, index, kMaxSwitches, "Switch index error - BuildXferOutMsg")) return;
      const SwitchStatus status = store.GetSwitchStatus(index);
      QueueNumbered(store, Channel::ExternalIO, [&](const std::string& sequence) {
        return Join({"SWITCH", sequence, SwitchName(store, index), SwitchPositionWord(status), time,
                     OccupancyWord(status.Occupancy)});
      });
      return;
    }
    case kEIOSignal: {
      if (!IndexFits(store, index, kMaxSignals, "Signal index error - BuildXferOutMsg")) return;
      const SignalStatus status = store.GetSignalStatus(index);
      QueueNumbered(store, Channel::ExternalIO, [&](const std::string& sequence) {
        return Join({"SIGNAL", sequence, SignalName(store, index), SignalWord(status), time});
      });
      return;
    }
    default:
      store.InternalErrorTrap(deviceType, "Device type error - EIOBuildXferOutMsg");
      return;
  }
}

void BuildCTCAllDataMsg(Corvane3Data& store) {
  if (store.GetOptionData().CTCControlOn != 1) return;
  const std::string time = WallClockStamp();
  QueueNumbered(store, Channel::CTCControl, [&](const std::string& sequence) {
    return Join({"CONTROL", sequence, "ALLDATA", time});
  });
}

}  // namespace xfer
