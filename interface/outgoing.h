// The two outgoing queues and the line builders. Every line the simulator
// sends goes through its channel's queue in the store; the tick flushes it
// into the channel's file, and a queue with 151 lines waiting flushes itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "interface/xfer_msg.h"

class Corvane3Data;

namespace xfer {

inline constexpr int kFlushAt = 151;    // waiting lines that flush a queue at once
inline constexpr int kLineChars = 199;  // a queued line is cut to this many characters
inline constexpr int kQueueFull = -1;

// Puts one line into the channel's queue: the slot it took, or kQueueFull when
// all 200 are in use (the line is dropped, and the log says so).
int32_t QueueCTCControlMsg(Corvane3Data& store, std::string_view text);
int32_t QueueEIOIndicationMsg(Corvane3Data& store, std::string_view text);

// Queues the line `make` builds around the channel's next number ("%04d"), and moves the number on.
void QueueNumberedLine(Corvane3Data& store, Channel channel,
                       const std::function<std::string(const std::string&)>& make);

// Appends the waiting lines to the channel's file, logs them and empties the
// queue; a file that cannot be written keeps the queue for a later flush.
void FlushCTCControls(Corvane3Data& store);
void FlushEIOIndications(Corvane3Data& store);

// The control line of one device in CTC control mode (types kCTCBlock,
// kCTCSwitch, kCTCSignal), and the indication line of one device in External
// I/O mode once a run is prepared (kEIOBlock, kEIOSwitch, kEIOSignal). Each
// takes the channel's next sequence number.
void CTCBuildXferOutMsg(Corvane3Data& store, int deviceType, int index);
void EIOBuildXferOutMsg(Corvane3Data& store, int deviceType, int index);
// "CONTROL,nnnn,ALLDATA,HH:MM:SS": asks the field side for the state of everything.
void BuildCTCAllDataMsg(Corvane3Data& store);

}  // namespace xfer
