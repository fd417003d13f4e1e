// Crossing traffic on diamonds: a railway the dispatcher does not control
// crosses some diamonds a fixed number of times a day. Its trains are only
// occupancy: at random times around their headway the crossing route is shown
// cleared, then occupied, then released, and the dispatcher's routes over the
// diamond wait while it holds the diamond.
#pragma once

#include <cstdint>

class Engine;

namespace crossing {

// TrafficState of a diamond's CrossStatus.
enum TrafficState : uint8_t {
  kTrafficUnscheduled = 0,
  kTrafficWaiting = 1,   // at TrafficNextTime the crossing route is cleared
  kTrafficCleared = 2,   // at TrafficNextTime it is occupied
  kTrafficOccupied = 3,  // at TrafficNextTime it is released and the next train scheduled
};

// Once per simulated minute: every diamond with crossing traffic takes its due step.
void ProcessDiamondTraffic(Engine& engine);

// The steps of one diamond.
void ScheduleDiamondTraffic(Engine& engine, int diamond);
void ClearDiamondTraffic(Engine& engine, int diamond);
void OccupyDiamondTraffic(Engine& engine, int diamond);
void ReleaseDiamondTraffic(Engine& engine, int diamond);

}  // namespace crossing
