#include "engine/interlocking_rules.h"

#include "engine/engine.h"
#include "store/device_numbers.h"
#include "store/status_codes.h"

namespace interlocking {

namespace {

bool Cleared(int code) { return code == occupancy::kClearedRight || code == occupancy::kClearedLeft; }
bool RunningTime(int code) { return code == occupancy::kRunningTimeRight || code == occupancy::kRunningTimeLeft; }

Refusal OwnLock(const SwitchStatus& own) {
  const int code = own.Occupancy;
  if (own.FleetLocked != 1 && code == occupancy::kFree) return {};
  if (occupancy::IsOccupied(code)) return {RefusalKind::SwitchOccupied, "Switch will not throw.  Switch is occupied."};
  if (RunningTime(code))
    return {RefusalKind::SwitchRunningTime, "Switch will not throw.  Switch is part of a route running time."};
  if (Cleared(code)) return {RefusalKind::SwitchCleared, "Switch will not throw.  Switch has a route cleared over it."};
  if (own.FleetLocked == 1)
    return {RefusalKind::SwitchFleetLocked,
            "Switch will not throw.  Switch is locked because of a signal fleet request."};
  return {RefusalKind::SwitchHeld, nullptr};
}

Refusal PartnerLock(const SwitchStatus& partner, SwitchRequest request) {
  const int code = partner.Occupancy;
  const bool failed = request.PartnerFailureLocks && partner.FailureCount != -1;
  if (partner.FleetLocked != 1 && code == occupancy::kFree && !failed) return {};
  if (occupancy::IsOccupied(code))
    return {RefusalKind::PartnerOccupied, "Switch will not throw.  Corresponding switch is occupied."};
  if (Cleared(code))
    return {RefusalKind::PartnerCleared, "Switch will not throw.  Corresponding switch has a route cleared over it."};
  if (partner.FleetLocked == 1)
    return {RefusalKind::PartnerFleetLocked,
            "Switch will not throw.  Corresponding switch is locked because of a signal fleet request."};
  if (failed)
    return {RefusalKind::PartnerFailed,
            request.Crew ? nullptr : "Switch will not throw.  Corresponding switch has failed to move."};
  return {RefusalKind::PartnerHeld, nullptr};
}

}  // namespace

Refusal SwitchLockRefusal(const SwitchStatus& own, const SwitchStatus* partner, SwitchRequest request) {
  if (const Refusal refusal = OwnLock(own)) return refusal;
  if (partner != nullptr) return PartnerLock(*partner, request);
  return {};
}

Refusal SwitchLockRefusal(const Corvane3Data& store, int index, SwitchRequest request) {
  const SwitchStatus own = store.GetSwitchStatus(index);
  const int partner = own.Partner;
  if (partner < 0 || partner >= kMaxSwitches) return SwitchLockRefusal(own, nullptr, request);
  const SwitchStatus other = store.GetSwitchStatus(partner);
  return SwitchLockRefusal(own, &other, request);
}

void MarkSwitchRefused(Engine& engine, int index, const Refusal& refusal) {
  Corvane3Data& store = engine.Store();
  SwitchStatus status = store.GetSwitchStatus(index);
  status.Refused = 1;
  if (!refusal.OnPartner()) {
    status.Highlight = status.Highlight2 = 1;
    store.DrawDevice(device::kSwitchBase + index);
    engine.Run().HighlightedDevice = device::kSwitchBase + index;
    store.UpdateSwitchStatus(index, status);
    return;
  }
  const int partner = status.Partner;
  SwitchStatus other = store.GetSwitchStatus(partner);
  other.Highlight = other.Highlight2 = 1;
  store.UpdateSwitchStatus(partner, other);
  store.UpdateSwitchStatus(index, status);
  store.DrawDevice(device::kSwitchBase + partner);
  engine.Run().HighlightedDevice = device::kSwitchBase + partner;
}

Refusal SignalClearRefusal(const SignalStatus& status, bool fromStack) {
  if (status.RunningTimeEnd == -1 || fromStack) return {};
  return {RefusalKind::SignalRunningTime, "Signal cannot be cleared since it is running time."};
}

Refusal RouteRefusal(RouteReason reason, int blockCode) {
  switch (reason) {
    case RouteReason::None:
      return {};
    case RouteReason::OpenSwitch:
      return {RefusalKind::RouteOpenSwitch, "Route will not clear because of an open switch."};
    case RouteReason::NotSignalled:
      return {RefusalKind::RouteNotSignalled,
              "Route will not clear because the next block is not signalled in requested direction."};
    case RouteReason::Diamond:
      return {RefusalKind::RouteDiamond, "Route will not clear because there is a conflict at the next diamond."};
    case RouteReason::RequestedSwitch:
      return {RefusalKind::RouteRequestedSwitch,
              "Route will not clear because a switch has been requested to change position."};
    case RouteReason::NextBlock:
      break;
  }
  if (occupancy::IsOccupied(blockCode))
    return {RefusalKind::RouteOccupied, "Route will not clear because the next block is occupied."};
  if (blockCode == occupancy::kFree)
    return {RefusalKind::RoutePermit, "Route will not clear because the next block has an active Block Permit."};
  if (Cleared(blockCode))
    return {RefusalKind::RouteClearedOpposite,
            "Route will not clear because the next block is cleared in the opposite direction."};
  if (blockCode >= 7 && blockCode <= 10)
    return {RefusalKind::RouteRunningTime,
            "Route will not clear because the next block is running time on an opposing signal."};
  return {RefusalKind::RouteNextBlock, nullptr};
}

}  // namespace interlocking
