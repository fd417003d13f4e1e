// The interlocking's lock rules, once for every caller: the dispatcher's
// clicks, the signal stack, fleeting, the External I/O commands and the CTC
// control requests. Each rule answers with a refusal value (its kind and its
// exact text); the caller marks the refusing device and decides whether to
// show the text, send it or stay silent.
#pragma once

#include <cstdint>

#include "store/records.h"

class Corvane3Data;
class Engine;

namespace interlocking {

enum class RefusalKind : uint8_t {
  None,
  // The switch's own locks.
  SwitchOccupied,
  SwitchRunningTime,
  SwitchCleared,
  SwitchFleetLocked,
  SwitchHeld,  // any other occupancy code: refused without a text
  // The crossover partner's locks.
  PartnerOccupied,
  PartnerCleared,
  PartnerFleetLocked,
  PartnerFailed,
  PartnerHeld,  // running time or any other code: refused without a text
  // A signal's clear request.
  SignalRunningTime,
  // The route beyond a signal.
  RouteOpenSwitch,
  RouteNotSignalled,
  RouteDiamond,
  RouteRequestedSwitch,
  RouteOccupied,
  RoutePermit,
  RouteClearedOpposite,
  RouteRunningTime,
  RouteNextBlock,  // a next block in any other code: refused without a text
};

struct Refusal {
  RefusalKind Kind = RefusalKind::None;
  const char* Text = nullptr;  // nullptr: refused without a message

  explicit operator bool() const { return Kind != RefusalKind::None; }
  // The crossover partner refuses: it, not the clicked switch, is drawn in error.
  bool OnPartner() const { return Kind >= RefusalKind::PartnerOccupied && Kind <= RefusalKind::PartnerHeld; }
};

// Who asks for a switch to move. The dispatcher's office in CTC control mode
// knows no switch failures, so there a failed partner does not lock; a crew
// throw is refused by a failed partner without a text.
struct SwitchRequest {
  bool PartnerFailureLocks = true;
  bool Crew = false;
};

// The locks on throwing a switch: its own first, then its partner's (nullptr:
// no partner). None when it may move.
Refusal SwitchLockRefusal(const SwitchStatus& own, const SwitchStatus* partner, SwitchRequest request = {});
// The same for switch `index` as the store holds it, its partner by its status.
Refusal SwitchLockRefusal(const Corvane3Data& store, int index, SwitchRequest request = {});
// Draws a refused throw of switch `index` in error: the switch, or its partner
// when the partner refused, blinks and becomes the highlighted device, and the
// switch is marked refused.
void MarkSwitchRefused(Engine& engine, int index, const Refusal& refusal);

// The lock on clearing a signal: a running time that is counting, unless the
// signal stack asks. None when the clear may go on.
Refusal SignalClearRefusal(const SignalStatus& status, bool fromStack);

// Why a route check refused, and the code of the block that gave the reason.
enum class RouteReason : uint8_t { None, OpenSwitch, NextBlock, NotSignalled, Diamond, RequestedSwitch };
Refusal RouteRefusal(RouteReason reason, int blockCode);

}  // namespace interlocking
