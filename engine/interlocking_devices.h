// Device numbering, switch geometry and occupancy codes shared by the
// interlocking files.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "store/device_numbers.h"
#include "store/records.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

namespace interlocking {

using device::kDiamondBase;
using device::kSignalBase;
using device::kSwitchBase;

using device::IsBlock;
using device::IsDiamond;
using device::IsSignal;
using device::IsSwitch;
// What a path walk can enter: blocks, switches and diamonds.
inline bool IsPathDevice(int device) { return IsBlock(device) || IsSwitch(device) || IsDiamond(device); }

// The track code of a block end or diamond cell; a cell outside the grid (a
// damaged record) reads as empty track.
inline int CellCode(const Corvane3Data& store, int x, int y) {
  if (x < 0 || x >= kGridColumns || y < 0 || y >= kGridRows) return 0;
  return store.GetGridTrack(x, y);
}

// After a loop has turned the entry direction of a block, the direction of
// travel must not lead back to the device the walk came from.
inline void TurnAwayFrom(int& d, int previous, const BlockData& block) {
  if (d == 1 && previous == block.RightNeighbour) d = 0;
  if (d == 0 && previous == block.LeftNeighbour) d = 1;
}

// A walk entering a block from `previous` across a loop end (the last end
// code met and this block's end cells) turns: the block's entry direction and
// the direction of travel are set anew. Returns the block's right end code,
// the last end code for the next step.
inline int ApplyLoopEnds(const Corvane3Data& store, const BlockData& block, int previous, int lastEndCode,
                         int32_t& entryDirection, int& d) {
  const int q = lastEndCode;
  int t = CellCode(store, block.LeftCellX, block.LeftCellY);
  using namespace track;
  if (((q == kVertical || q == kDiamondVertical) && t == kVerticalBranch) || (q == kVerticalBranch && t == kVertical)) {
    entryDirection = previous == block.LeftNeighbour ? 1 : 0;
    TurnAwayFrom(d, previous, block);
  }
  t = CellCode(store, block.RightCellX, block.RightCellY);
  if (((q == kVertical || q == kDiamondVertical) && t == kVerticalIntoDiagonal) ||
      (q == kVerticalIntoDiagonal && t == kVertical)) {
    entryDirection = previous == block.RightNeighbour ? 0 : 1;
    TurnAwayFrom(d, previous, block);
  }
  return t;
}

// Occupancy codes for a move in direction d (0 left, 1 right).
inline int ClearedCode(int d) { return occupancy::Cleared(d); }
inline int OccupiedCode(int d) { return occupancy::Occupied(d); }
inline int RunningTimeCode(int d) { return occupancy::RunningTime(d); }

using track::DivergesLeft;
using track::DivergesRight;

// The leg a switch is left by, moving in direction d with the switch lying in
// `reversed`. Legs 0 and 1 are on the left, 2 and 3 on the right; 1-3 is the
// straight route.
inline int SwitchExitLeg(const SwitchData& data, int code, bool reversed, int d) {
  if (d == 1) return reversed && DivergesRight(code) ? data.Legs[2] : data.Legs[3];
  return reversed && DivergesLeft(code) ? data.Legs[0] : data.Legs[1];
}

// Entering a switch from `from` in direction d while it lies against the move.
inline bool SwitchRefusesEntry(const SwitchData& data, int code, bool reversed, int from, int d) {
  if (d == 1) return reversed ? DivergesLeft(code) && from != data.Legs[0] : from != data.Legs[1];
  return reversed ? DivergesRight(code) && from != data.Legs[2] : from != data.Legs[3];
}

// The leg on the entry side that the switch joins in the given position.
inline bool SwitchJoinsEntry(const SwitchData& data, int code, bool reversed, int from, int d) {
  if (d == 1) return from == (reversed && DivergesLeft(code) ? data.Legs[0] : data.Legs[1]);
  return from == (reversed && DivergesRight(code) ? data.Legs[2] : data.Legs[3]);
}

// A switch whose diverging leg lies ahead of a move in direction d.
inline bool SwitchFacesMove(int code, int d) { return d == 1 ? DivergesRight(code) : DivergesLeft(code); }

// The diamond leg paired with `from` (0 with 1, 2 with 3), -1 when `from` is no leg.
inline int DiamondExitLeg(const CrossData& data, int from) {
  if (from < 0) return -1;
  for (int leg = 0; leg < 4; ++leg)
    if (data.Legs[leg] == from) return data.Legs[leg ^ 1];
  return -1;
}

// A path walk standing in `block` (device `current`) at its n-th entry: a
// block marked to reverse paths turns the walk; entered from `previous`, its
// loop ends may turn it again (ApplyLoopEnds).
inline void WalkInBlock(const Corvane3Data& store, int current, const BlockData& block, int n, int previous,
                        int& lastEndCode, int32_t& entryDirection, int& d) {
  if (store.BlockStatusRef(current).ReversesPath == 0xFF) d = 1 - d;
  if (n >= 2) lastEndCode = ApplyLoopEnds(store, block, previous, lastEndCode, entryDirection, d);
}

// A path walk crossing a diamond from `previous`: heading right off a loop end
// (last end code 16 or 17) onto a diamond cell of code 30 turns it left, and
// the diamond's cell code becomes the last end code. Returns the leg it leaves
// by, -1 none.
inline int WalkOverDiamond(const Corvane3Data& store, const CrossData& cross, int previous, int& lastEndCode, int& d) {
  const int t = CellCode(store, cross.CellX, cross.CellY);
  if ((lastEndCode == track::kVerticalIntoDiagonal || lastEndCode == track::kVerticalBranch) &&
      t == track::kDiamondVertical && d == 1)
    d = 0;
  lastEndCode = t;
  return DiamondExitLeg(cross, previous);
}

}  // namespace interlocking

namespace interlocking {

// A message box of the interlocking; the run pauses while it is open.
MessageResult ShowPaused(Engine& engine, const std::string& text, MessageIcon icon, MessageButtons buttons);

// One draw of the halving random index after reseeding from the wall clock:
// a value 0..n-1 and its band 0..10.
struct HalvingDraw {
  int Value;
  int Band;
};
HalvingDraw ReseedAndDraw(Engine& engine, int n);

// When a maintainer called now will have repaired a device (SimClock seconds).
int32_t MaintainerFixTime(Engine& engine);
// "Maintainer will fix by %02d:%02d." for that time.
std::string MaintainerFixText(int32_t fixTime);

// A failed switch or signal with no maintainer on the way: from the screen the
// dispatcher is asked `question` and told the fix time when one is called; any
// other request calls one at once.
template <class DeviceStatus>
void OfferMaintainer(Engine& engine, DeviceStatus& status, bool screen, const char* question) {
  const bool call =
      !screen || ShowPaused(engine, question, MessageIcon::Question, MessageButtons::YesNo) == MessageResult::Yes;
  if (!call) return;
  status.MaintainerFixTime = MaintainerFixTime(engine);
  status.MaintainerCalled = 1;
  if (screen) ShowPaused(engine, MaintainerFixText(status.MaintainerFixTime), MessageIcon::None, MessageButtons::Ok);
}

// A signal or an entrance/exit location at the block's end in direction d.
bool RouteEndsAt(const BlockData& block, int d);

// The trace over the switches as they lie, listed one device at a time into
// `ids` and `dirs` (entries past the listed ones are left as they were). A
// caller that may stop reading early, as a route check refused at its first
// block does, walks no further than it reads.
class PathTrace {
 public:
  PathTrace(const Corvane3Data& store, int direction, int start, int32_t* ids, int32_t* dirs, int count,
            const PathEnd& end);
  // Lists the next device: false once the walk has ended and lists no more.
  bool Step();
  // Walks on until entry i is final, as the walk turns an entry's direction
  // while it leaves it; false when the walk ended before listing it.
  bool Settle(int i) {
    while (!ended_ && listed_ <= i + 1) Step();
    return i < listed_;
  }
  // How many entries are listed, the start's included.
  int Listed() const { return listed_; }
  // The switch whose position refused the walk's way on, -1 none: known once the walk has ended.
  int Blocking() const { return blocking_; }

 private:
  bool Ends(int device, int d);
  bool Finish(int blocking) {
    blocking_ = blocking;
    ended_ = true;
    return false;
  }

  const Corvane3Data& store_;
  int32_t* ids_;
  int32_t* dirs_;
  int count_;
  PathEnd end_;
  int listed_ = 1;
  bool ended_ = false;
  int blocking_ = -1;
  int lastEndCode_ = -1;  // the code of the last block end or diamond cell examined
  int64_t length_ = 0;    // of the main blocks listed beyond the start
};

}  // namespace interlocking
