// Block permits: definitions become requests eight hours ahead, come before
// the dispatcher a minute before their time, and once granted take their
// track out of service from the granted start to the granted end.
#include <algorithm>
#include <array>
#include <string>

#include "engine/engine.h"
#include "engine/permit_times.h"
#include "store/alert_kinds.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/track_names.h"

namespace {

constexpr int32_t kPostponeSeconds = 300;

using device::IsBlock;
using device::IsDiamond;
using device::IsSwitch;

// A pending mark: from the permit's start, unless the device is already out of
// service under another permit with nothing pending (then it keeps none).
int32_t PendingFrom(int32_t pendingFrom, int32_t activeUntil, int32_t start) {
  if (pendingFrom == -1) return activeUntil == -1 ? start : -1;
  return std::min(pendingFrom, start);
}

int32_t ActiveUntil(int32_t activeUntil, int32_t end) { return activeUntil == -1 ? end : std::max(activeUntil, end); }

}  // namespace

// Walks the limits from the left end to the right end and hands each block
// and diamond to visit, with the device before it on the walk.
void Engine::ForEachPermitDevice(const PermitLimits& limits, const std::function<void(int, int)>& visit) {
  if (limits.LeftBlock < 0 || limits.RightBlock < 0) return;
  DevicePath path;
  TraceDevicePath(limits.LeftDirection == 0 ? 1 : 0, limits.LeftBlock, path);
  for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i) {
    const int device = path.Ids[i];
    if (!IsBlock(device) && !IsDiamond(device)) continue;
    visit(device, i > 0 ? path.Ids[i - 1] : -1);
    if (device == limits.RightBlock) break;
  }
}

void Engine::EditPermitMarks(const PermitLimits& limits, const std::function<bool(PermitMarks&)>& edit,
                             bool drawBlocks) {
  ForEachPermitDevice(limits, [&](int device, int before) {
    if (IsBlock(device)) {
      BlockStatus block = store_.GetBlockStatus(device);
      PermitMarks marks{block.PermitPending, block.PermitPendingFrom, block.PermitActive, block.PermitActiveUntil};
      if (!edit(marks)) return;
      block.PermitPending = marks.Pending;
      block.PermitPendingFrom = marks.PendingFrom;
      block.PermitActive = marks.Active;
      block.PermitActiveUntil = marks.ActiveUntil;
      store_.UpdateBlockStatus(device, block);
      store_.InvalidateDevice(device);
      if (drawBlocks) store_.DrawBlock(device);
    } else {
      // A diamond is marked on the side the limits cross it by.
      const int diamond = device::DiamondIndex(device);
      const int route = store_.GetCrossRoute(diamond, before) == 0 ? 0 : 1;
      CrossStatus cross = store_.GetCrossStatus(diamond);
      PermitMarks marks{cross.Route[route].PermitPending, cross.PermitPendingFrom[route],
                        cross.Route[route].PermitActive, cross.PermitActiveUntil[route]};
      if (!edit(marks)) return;
      cross.Route[route].PermitPending = marks.Pending;
      cross.PermitPendingFrom[route] = marks.PendingFrom;
      cross.Route[route].PermitActive = marks.Active;
      cross.PermitActiveUntil[route] = marks.ActiveUntil;
      store_.UpdateCrossStatus(diamond, cross);
      store_.InvalidateDevice(device);
    }
  });
}

void Engine::MarkLimitsPending(const PermitLimits& limits, int32_t start) {
  EditPermitMarks(limits, [&](PermitMarks& marks) {
    marks.Pending = 1;
    marks.PendingFrom = PendingFrom(marks.PendingFrom, marks.ActiveUntil, start);
    return true;
  });
}

bool Engine::HoldPermitForRoute(const PermitLimits& limits, int32_t start) {
  if (limits.LeftBlock < 0) return false;
  const int ends[2][2] = {{limits.LeftBlock, limits.LeftDirection}, {limits.RightBlock, limits.RightDirection}};
  for (const auto& end : ends) {
    BlockStatus block = store_.GetBlockStatus(end[0]);
    const int16_t into = static_cast<int16_t>(occupancy::Cleared(end[1] == 0 ? 1 : 0));
    if (block.Occupancy != into) continue;
    if (start == block.PermitPendingFrom) {
      block.PermitPendingFrom += kPostponeSeconds;
      store_.UpdateBlockStatus(end[0], block);
    }
    return true;
  }
  return false;
}

void Engine::PutLimitsInForce(const PermitLimits& limits, int32_t start, int32_t end) {
  EditPermitMarks(limits, [&](PermitMarks& marks) {
    marks.Active = 1;
    if (start >= marks.PendingFrom) {
      marks.Pending = 0;
      marks.PendingFrom = -1;
    }
    marks.ActiveUntil = ActiveUntil(marks.ActiveUntil, end);
    return true;
  });
}

void Engine::ReleaseLimits(const PermitLimits& limits, int32_t end) {
  // A block or diamond side also under a later-ending permit stays out of service. Blocks are
  // drawn at once, released or not.
  EditPermitMarks(
      limits,
      [&](PermitMarks& marks) {
        if (marks.ActiveUntil == end) {
          marks.Active = 0;
          marks.ActiveUntil = -1;
        }
        return true;
      },
      true);
}

void Engine::ScheduleBlockPermits() {
  if (store_.GetOptionData().BlockPermitsActive == 0 || store_.SimClock < 0) return;
  const int32_t clock = store_.SimClock;
  const int32_t day = store_.GetSimDay();
  const int32_t now = store_.GetSimTimeOfDay() / 60 + store_.GetSimDayOfWeek() * kMinutesPerDay;
  const int32_t definitions = std::min(+store_.GetCountData().Words[kCountPermits], kMaxPermitData);

  for (int p = 0; p < definitions; ++p) {
    const PermitData permit = store_.GetPermitData(p);
    if (permit.InUse == 0) continue;

    // A non-repeating permit belongs to the run's first week, and never has two requests.
    bool blocked = permit.NonRepeating == 1 && store_.SimStartTime + kSecondsPerWeek < clock;
    for (int s = 0; s < kMaxPermitStatus && !blocked; ++s) {
      const PermitStatus& held = store_.PermitStatusRef(s);
      if (held.InUse != 0 && held.PermitIndex == p &&
          (permit.NonRepeating == 1 || held.RequestTime >= clock - kSecondsPerDay))
        blocked = true;
    }
    if (blocked) continue;

    // Eight hours before the start, or later inside those eight hours; a week's
    // minutes do not wrap, so a Sunday morning permit waits for Sunday 00:00.
    bool due = false;
    int32_t requestMinute = 0;
    for (int d = 0; d < 7 && !due; ++d) {
      if (permit.Days[d] == 0) continue;
      requestMinute = d * kMinutesPerDay + permit.StartMinutes - 480;
      due = now - 480 <= requestMinute && requestMinute <= now;
    }
    if (!due) continue;

    const int slot = store_.FindFreePermitStatus();
    if (slot == -1) return;
    // A request still held for a slot now free belongs to nothing any more.
    DeletePermitRequestDialog(slot);
    PermitStatus status = store_.GetPermitStatus(slot);
    status.InUse = 1;
    status.PermitIndex = static_cast<int16_t>(p);
    status.State = kPermitScheduled;
    status.RequestTime = day / 7 * kSecondsPerWeek + requestMinute * 60;
    status.StartTime = day * kSecondsPerDay + permit.StartMinutes * 60;
    if (status.StartTime < clock - kSecondsPerDay / 2) status.StartTime += kSecondsPerDay;
    status.EndTime = status.StartTime + PermitSpanMinutes(permit.StartMinutes, permit.EndMinutes) * 60;
    status.NextActionTime = status.StartTime - 60;
    status.MinutesGranted = 0;
    store_.UpdatePermitStatus(slot, status);
  }
}

void Engine::ProcessPermitRequests() {
  for (int slot = 0; slot < kMaxPermitStatus; ++slot) {
    const PermitStatus& status = store_.PermitStatusRef(slot);
    if (status.InUse == 0 || status.NextActionTime > store_.SimClock) continue;
    switch (status.State) {  // read before the step changes the slot
      case kPermitScheduled:
        RaisePermitRequest(slot);
        break;
      case kPermitAwaiting:
        AuthorizeBlockPermit(slot, 1);
        break;
      case kPermitAuthorized:
        MarkPermitLimits(slot);
        break;
      case kPermitPending:
        ActivateBlockPermit(slot);
        break;
      case kPermitActive:
        ReleaseBlockPermit(slot);
        break;
      default:
        break;
    }
  }
}

std::shared_ptr<PermitRequestForm> Engine::PermitRequestDialog(int slot) {
  if (slot < 0 || slot >= kMaxPermitStatus) return nullptr;
  return permitRequestDialogs_[slot];
}

void Engine::DeletePermitRequestDialog(int slot) {
  if (PermitRequestDialog(slot) == nullptr) return;
  store_.Dialogs().ClosePermitRequestDialog(slot);
  permitRequestDialogs_[slot]->Release();
  permitRequestDialogs_[slot].reset();
}

void Engine::RaisePermitRequest(int slot) {
  if (slot < 0 || slot >= kMaxPermitStatus) {
    store_.InternalErrorTrap(slot, "Permit index error - RaisePermitRequest");
    return;
  }
  PermitStatus status = store_.GetPermitStatus(slot);
  if (store_.GetOptionData().BlockPermitsActive == 0) {
    DeletePermitRequestDialog(slot);
    store_.FreePermitStatus(slot);
    return;
  }
  status.State = kPermitAwaiting;
  status.NextActionTime = store_.SimClock + 3600;
  DeletePermitRequestDialog(slot);
  permitRequestDialogs_[slot] = std::make_shared<PermitRequestForm>(store_, slot, 1);
  store_.UpdatePermitStatus(slot, status);
  store_.Dialogs().OpenPermitRequestDialog(slot);
}

void Engine::AuthorizeBlockPermit(int slot, uint8_t fromTimer) {
  if (slot < 0 || slot >= kMaxPermitStatus) {
    store_.InternalErrorTrap(slot, "Permit index error - AuthorizeBlockPermit");
    return;
  }
  PermitStatus status = store_.GetPermitStatus(slot);
  if (store_.GetOptionData().BlockPermitsActive == 0) {
    // The request goes with its slot, so that its window cannot answer for a later permit.
    DeletePermitRequestDialog(slot);
    store_.FreePermitStatus(slot);
    return;
  }
  if (!permitRequestDialogs_[slot]) {
    permitRequestDialogs_[slot] = std::make_shared<PermitRequestForm>(store_, slot, fromTimer);
    if (fromTimer == 1) status.NextActionTime = store_.SimClock + 3600;
    store_.UpdatePermitStatus(slot, status);
    store_.Dialogs().OpenPermitRequestDialog(slot);
  } else if (status.DialogOpen == 0) {
    if (fromTimer == 1) status.NextActionTime = store_.SimClock + 3600;
    store_.UpdatePermitStatus(slot, status);
    store_.Dialogs().OpenPermitRequestDialog(slot);
  } else {
    store_.Dialogs().ShowPermitRequestDialog(slot);
    status.NextActionTime = store_.SimClock + 3600;
    store_.UpdatePermitStatus(slot, status);
  }
}

PermitLimits Engine::FindPermitRoute(std::string_view trackName) {
  PermitLimits limits;
  const int32_t blocks = std::min(+store_.GetCountData().Words[kCountBlocks], kMaxBlocks);
  int start = -1;
  for (int b = 0; b < blocks && start == -1; ++b) {
    const BlockData block = store_.GetBlockData(b);
    if (block.InUse != 0 && BlockTrackName(block) == trackName) start = b;
  }
  if (start == -1) return limits;

  // Outward from the start block to the first switch, to just before a block
  // with a signal facing the walk, or, once a signal has been passed at a
  // block's far end, to the last block of the same track.
  auto walk = [&](int direction, int32_t& endBlock, int32_t& endDirection) {
    endBlock = start;
    endDirection = direction;
    DevicePath path;
    TraceDevicePath(direction, start, path);
    bool passed = false;
    for (int i = 0; i < kPathEntries && path.Ids[i] != -1; ++i) {
      const int device = path.Ids[i];
      if (IsSwitch(device)) return;
      if (!IsBlock(device)) continue;
      const BlockData block = store_.GetBlockData(device);
      const bool real = block.PassThrough != 1;
      if (passed && (BlockTrackName(block) != trackName || !real)) return;
      if (real) {
        const int16_t facing = path.Dirs[i] == 1 ? block.LeftSignal : block.RightSignal;
        const int16_t behind = path.Dirs[i] == 1 ? block.RightSignal : block.LeftSignal;
        if (facing != -1 && i != 0) return;
        if (behind != -1) passed = true;
      }
      endBlock = device;
      endDirection = path.Dirs[i];
    }
  };
  walk(0, limits.LeftBlock, limits.LeftDirection);
  walk(1, limits.RightBlock, limits.RightDirection);
  return limits;
}

void Engine::MarkPermitLimits(int slot) {
  PermitStatus status = store_.GetPermitStatus(slot);
  const PermitData permit = store_.GetPermitData(status.PermitIndex);
  const int32_t start = status.StartTime;
  MarkLimitsPending(FindPermitRoute(FieldText(permit.TrackName)), start);
  status.State = kPermitPending;
  status.NextActionTime = start;
  store_.UpdatePermitStatus(slot, status);
}

void Engine::ActivateBlockPermit(int slot) {
  PermitStatus status = store_.GetPermitStatus(slot);
  // The request is answered: it goes now. Its slot is written back below as read here.
  DeletePermitRequestDialog(slot);

  const PermitData permit = store_.GetPermitData(status.PermitIndex);
  const std::string track = FieldText(permit.TrackName);
  const PermitLimits limits = FindPermitRoute(track);

  // A route cleared into the limits holds the permit back five minutes at a time.
  if (HoldPermitForRoute(limits, status.StartTime)) {
    status.StartTime += kPostponeSeconds;
    status.EndTime += kPostponeSeconds;
    status.NextActionTime += kPostponeSeconds;
    store_.UpdatePermitStatus(slot, status);
    return;
  }

  const int32_t start = status.StartTime;
  const int32_t end = status.EndTime;
  PutLimitsInForce(limits, start, end);

  status.State = kPermitActive;
  status.NextActionTime = end;
  store_.UpdatePermitStatus(slot, status);
  const std::string from = PermitClockText(start);
  const std::string to = PermitClockText(end);
  RaiseAlert(alert_kind::kPermitActive, track.c_str(), from.c_str(), to.c_str());
}

void Engine::ReleaseBlockPermit(int slot) {
  PermitStatus status = store_.GetPermitStatus(slot);
  const PermitData permit = store_.GetPermitData(status.PermitIndex);
  const std::string track = FieldText(permit.TrackName);

  ReleaseLimits(FindPermitRoute(track), status.EndTime);
  RaiseAlert(alert_kind::kPermitReleased, track.c_str(), nullptr, nullptr);

  // The minutes not granted are asked for again, unless almost all were granted.
  const int32_t requested = PermitSpanMinutes(permit.StartMinutes, permit.EndMinutes);
  if (status.MinutesGranted < requested - 15) {
    status.State = kPermitAwaiting;
    status.StartTime = store_.SimClock + 900;
    status.EndTime = status.StartTime + (requested - status.MinutesGranted) * 60;
    status.NextActionTime = status.StartTime;
    store_.UpdatePermitStatus(slot, status);
  } else {
    store_.FreePermitStatus(slot);
  }
}
