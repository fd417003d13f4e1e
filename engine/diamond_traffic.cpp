#include "engine/diamond_traffic.h"

#include <algorithm>

#include "engine/engine.h"
#include "engine/permit_times.h"
#include "store/device_numbers.h"
#include "store/status_codes.h"

namespace crossing {

namespace {

constexpr int32_t kRetrySeconds = 60;         // a blocked clear is tried again the next minute
constexpr int32_t kOccupyRetrySeconds = 240;  // an occupied dispatcher's route is waited out longer

bool HasTraffic(const CrossData& data) { return data.TrafficRouteA >= 1 || data.TrafficRouteB >= 1; }

// The crossing railway uses route 0 (side A) when it has trains there, else route 1.
int CrossingSide(const CrossData& data) { return data.TrafficRouteA > 0 ? 0 : 1; }

// Minutes between crossing trains.
int32_t Headway(const CrossData& data) {
  const int32_t perDay = data.TrafficRouteA > 0 ? data.TrafficRouteA : data.TrafficRouteB;
  return perDay > 0 ? kMinutesPerDay / perDay : kMinutesPerDay;
}

int32_t Draw(Engine& engine, int n) { return engine.RandomHalvingIndex(n) & 0xFFFF; }

// A train runs up to a quarter of the headway early or late.
int32_t Jitter(Engine& engine, int32_t headway) { return headway / 4 - Draw(engine, headway / 2); }

// The diamond's other route is the dispatcher's.
int OtherSide(const CrossStatus& status, int crossingSide) { return status.Occupancy[1 - crossingSide]; }

// The block at the far end of the crossing route, leaving the diamond by the leg the clock picks; -1 none.
int FarEndBlock(Engine& engine, int diamond, const CrossData& data) {
  const bool even = (engine.Store().SimClock / 100) % 2 == 0;
  const int leg = CrossingSide(data) == 0 ? (even ? 1 : 0) : (even ? 2 : 3);
  DevicePath path;
  engine.TraceDevicePath(leg, device::DiamondNumber(diamond), path);
  int last = -1;
  for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i)
    if (device::IsBlock(path.Ids[i])) last = path.Ids[i];
  return last;
}

// The whole crossing route, traced back from its far end block; empty when that block is gone.
struct CrossingRoute {
  DevicePath Path;
  int Length = 0;
};
CrossingRoute TraceCrossingRoute(Engine& engine, int endBlock) {
  CrossingRoute route;
  route.Path.Ids.fill(-1);
  if (!device::IsBlock(endBlock) || endBlock >= kMaxBlocks) return route;
  const int direction = engine.Store().GetBlockData(endBlock).LeftNeighbour == -1 ? 1 : 0;
  engine.TraceDevicePath(direction, endBlock, route.Path);
  while (route.Length < kPathEntries && route.Path.Ids[route.Length] != -1) ++route.Length;
  return route;
}

// The side of a diamond on the route that the route crosses by (entry i > 0).
int SideAt(Corvane3Data& store, const CrossingRoute& route, int i) {
  return store.GetCrossRoute(device::DiamondIndex(route.Path.Ids[i]), route.Path.Ids[i - 1]) == 0 ? 0 : 1;
}

// True when a diamond on the route has the dispatcher's side in a state that blocks the crossing train.
template <class Blocks>
bool DiamondOnRouteBlocks(Corvane3Data& store, const CrossingRoute& route, Blocks blocks) {
  for (int i = 1; i < route.Length; ++i) {
    const int device = route.Path.Ids[i];
    if (!device::IsDiamond(device)) continue;
    const int index = device::DiamondIndex(device);
    if (blocks(store.GetCrossData(index), OtherSide(store.GetCrossStatus(index), SideAt(store, route, i)))) return true;
  }
  return false;
}

// Writes one occupancy code per entry: code(direction) of the direction the entry is passed in.
template <class Code>
void PaintRoute(Engine& engine, const CrossingRoute& route, Code code) {
  Corvane3Data& store = engine.Store();
  for (int i = 0; i < route.Length; ++i) {
    const int device = route.Path.Ids[i];
    const auto value = static_cast<int16_t>(code(route.Path.Dirs[i]));
    if (device::IsBlock(device)) {
      BlockStatus status = store.GetBlockStatus(device);
      status.Occupancy = value;
      store.UpdateBlockStatus(device, status);
    } else if (device::IsSwitch(device)) {
      const int index = device::SwitchIndex(device);
      SwitchStatus status = store.GetSwitchStatus(index);
      status.Occupancy = value;
      store.UpdateSwitchStatus(index, status);
    } else if (device::IsDiamond(device) && i > 0) {
      const int index = device::DiamondIndex(device);
      const int side = SideAt(store, route, i);
      CrossStatus status = store.GetCrossStatus(index);
      status.Occupancy[side] = value;
      store.UpdateCrossStatus(index, status);
    } else {
      continue;
    }
    store.InvalidateDevice(device);
  }
}

void Store(Engine& engine, int diamond, const CrossStatus& status) {
  engine.Store().UpdateCrossStatus(diamond, status);
}

}  // namespace

void ProcessDiamondTraffic(Engine& engine) {
  Corvane3Data& store = engine.Store();
  const int32_t diamonds = std::min(+store.GetCountData().Words[kCountDiamonds], kMaxCrossings);
  for (int d = 0; d < diamonds; ++d) {
    // Read in place: most diamonds have no traffic of their own.
    const CrossStatus& status = store.CrossStatusRef(d);
    // A diamond deleted from the middle of the table leaves a gap; the diamonds after it keep their traffic.
    if (status.InUse == 0) continue;
    if (!HasTraffic(store.CrossDataRef(d))) continue;
    // The state as read, before a step changes the record.
    const int state = status.TrafficState;
    const int32_t next = status.TrafficNextTime;
    if (state == kTrafficUnscheduled) ScheduleDiamondTraffic(engine, d);
    // The step of the state as read: a diamond scheduled now steps on a later minute.
    if (next == -1 || store.SimClock < next) continue;
    switch (state) {
      case kTrafficWaiting:
        ClearDiamondTraffic(engine, d);
        break;
      case kTrafficCleared:
        OccupyDiamondTraffic(engine, d);
        break;
      case kTrafficOccupied:
        ReleaseDiamondTraffic(engine, d);
        break;
      default:
        break;
    }
  }
}

void ScheduleDiamondTraffic(Engine& engine, int diamond) {
  Corvane3Data& store = engine.Store();
  const int32_t headway = Headway(store.GetCrossData(diamond));
  CrossStatus status = store.GetCrossStatus(diamond);
  status.TrafficDueTime = store.SimClock + headway * 60;
  status.TrafficNextTime = store.SimClock + (headway + Jitter(engine, headway)) * 60;
  status.TrafficState = kTrafficWaiting;
  Store(engine, diamond, status);
}

void ClearDiamondTraffic(Engine& engine, int diamond) {
  Corvane3Data& store = engine.Store();
  const int32_t clock = store.SimClock;
  const CrossData data = store.GetCrossData(diamond);
  CrossStatus status = store.GetCrossStatus(diamond);
  const auto retry = [&] {
    status.TrafficNextTime = clock + kRetrySeconds;
    Store(engine, diamond, status);
  };
  if (data.BothRoutes == 0 && OtherSide(status, CrossingSide(data)) != occupancy::kFree) return retry();

  const int endBlock = FarEndBlock(engine, diamond, data);
  // A crossing route that reaches no block keeps its state and is tried again.
  if (endBlock == -1) return retry();
  status.TrafficEndBlock = static_cast<int16_t>(endBlock);
  Store(engine, diamond, status);

  const CrossingRoute route = TraceCrossingRoute(engine, endBlock);
  if (DiamondOnRouteBlocks(store, route, [](const CrossData& other, int side) {
        return other.BothRoutes == 0 && side != occupancy::kFree;
      }))
    return retry();

  status.TrafficNextTime = clock + (5 + Draw(engine, 10)) * 60;
  status.TrafficState = kTrafficCleared;
  Store(engine, diamond, status);
  PaintRoute(engine, route, [](int direction) { return occupancy::Cleared(direction); });
}

void OccupyDiamondTraffic(Engine& engine, int diamond) {
  Corvane3Data& store = engine.Store();
  const int32_t clock = store.SimClock;
  const CrossData data = store.GetCrossData(diamond);
  CrossStatus status = store.GetCrossStatus(diamond);
  if (occupancy::IsOccupied(OtherSide(status, CrossingSide(data)))) {
    status.TrafficNextTime = clock + kOccupyRetrySeconds;
    Store(engine, diamond, status);
    return;
  }
  status.TrafficNextTime = clock + (12 + Draw(engine, 18)) * 10;
  status.TrafficState = kTrafficOccupied;
  Store(engine, diamond, status);

  const CrossingRoute route = TraceCrossingRoute(engine, status.TrafficEndBlock);
  if (DiamondOnRouteBlocks(store, route, [](const CrossData&, int side) { return occupancy::IsOccupied(side); })) {
    status.TrafficNextTime = clock + kOccupyRetrySeconds;
    Store(engine, diamond, status);
    return;
  }
  PaintRoute(engine, route, [](int direction) { return occupancy::Occupied(direction); });
}

void ReleaseDiamondTraffic(Engine& engine, int diamond) {
  Corvane3Data& store = engine.Store();
  const int32_t headway = Headway(store.GetCrossData(diamond));
  CrossStatus status = store.GetCrossStatus(diamond);
  // The next train is due a headway after this one, give or take its jitter.
  status.TrafficDueTime += headway * 60;
  status.TrafficNextTime = status.TrafficDueTime + Jitter(engine, headway) * 60;
  status.TrafficState = kTrafficWaiting;
  Store(engine, diamond, status);
  PaintRoute(engine, TraceCrossingRoute(engine, status.TrafficEndBlock), [](int) { return occupancy::kFree; });
}

}  // namespace crossing
