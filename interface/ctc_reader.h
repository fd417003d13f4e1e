// The CTC indications file: in CTC control mode taken over by rename on every
// tick, each line logged, split and checked like every incoming line, then
// handed to its indication. A refused line is answered on the controls file
// with one CMDERROR line naming why.
#pragma once

#include <string>
#include <string_view>

class Corvane3Data;
class Engine;

namespace xfer {

// Reads the indications file when CTC control mode is on.
void CTCReadXferInFile(Engine& engine);
// Checks and carries out one received line.
void CTCProcessXferInMsg(Engine& engine, const std::string& line);
// Queues "CMDERROR,nnnn,"<text>","<line>"" on the controls file.
void CTCBuildErrorMsg(Corvane3Data& store, std::string_view line, std::string_view text);

}  // namespace xfer
