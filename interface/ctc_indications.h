// The CTC field side's indications: what the field reports settles requested
// switches and signals and marks block occupancy. The field reports occupancy,
// not trains: the simulator keeps its own picture of the trains by moving
// known trains from block to block along the track and by making proxy trains
// for occupancy it cannot explain.
#pragma once

#include <string>

class Corvane3Data;
class Engine;

namespace xfer {

// "SWITCH,nnnn,<name>,<time>,NORMAL|REVERSE,<status>": sets the position and
// ends the request for it; an occupied status turns a cleared switch occupied.
void CTCProcessSwitchMsg(Engine& engine, const std::string& line, const std::string& name, const std::string& position,
                         const std::string& status);
// "SIGNAL,nnnn,<name>,<time>,CLEARED|STOP": settles a requested clear or
// cancel; an indication no request waits for changes nothing.
void CTCProcessSignalMsg(Engine& engine, const std::string& line, const std::string& name, const std::string& status);
// "BLOCK,nnnn,<name>,<time>,UNOCCUPIED|OCCUPIED|OCCUPIEDLEFT|OCCUPIEDRIGHT":
// the block's occupancy and the trains that follow from it.
void CTCProcessBlockMsg(Engine& engine, const std::string& line, const std::string& name,
                        const std::string& indication);
// Queues "TIME,nnnn,dd-hh:mm:ss" on the controls file.
void CTCBuildTimeMsg(Corvane3Data& store);

// The ID of the next proxy train: "T", the weekday of the wall-clock date
// (1 Monday to 7 Sunday), then the proxy count in at least four digits.
std::string ProxyTrainId(const Corvane3Data& store);

}  // namespace xfer
