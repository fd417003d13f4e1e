#include "engine/ctc_permits.h"

#include <algorithm>

#include "engine/engine.h"
#include "engine/permit_times.h"
#include "store/fixed_text.h"

namespace ctc {

namespace {

PermitLimits LimitsOf(Engine& engine, const PermitStatus& status) {
  // A track that no longer exists gives no limits: the permit runs its course marking nothing.
  return engine.FindPermitRoute(FieldText(status.Track));
}

int32_t Seconds(int32_t minute) { return minute * 60; }

// A mark for the next day becomes today's at midnight, as the permit's own minutes do,
// so that the marks still compare equal with the permit's start and end.
void LowerMarksAtMidnight(Engine& engine, const PermitLimits& limits) {
  engine.EditPermitMarks(limits, [](PermitMarks& marks) {
    bool changed = false;
    for (int32_t* seconds : {&marks.PendingFrom, &marks.ActiveUntil}) {
      if (*seconds < kSecondsPerDay) continue;
      *seconds -= kSecondsPerDay;
      changed = true;
    }
    return changed;
  });
}

// Takes a cancelled announcement's pending marks back: a device keeps a pending
// mark only for an earlier start, which belongs to another permit.
void WithdrawPendingMarks(Engine& engine, const PermitLimits& limits, int32_t start) {
  engine.EditPermitMarks(limits, [start](PermitMarks& marks) {
    if (marks.Pending == 0 || (marks.PendingFrom != start && marks.PendingFrom != -1)) return false;
    marks.Pending = 0;
    marks.PendingFrom = -1;
    return true;
  });
}

}  // namespace

int32_t PermitClockMinute(Corvane3Data& store) {
  const std::tm now = store.GetRealTime();
  return now.tm_hour * 60 + now.tm_min;
}

void CheckPermitTimes(Engine& engine) {
  Corvane3Data& store = engine.Store();
  const int32_t now = PermitClockMinute(store);
  // A minute earlier than the last one seen is the next day, even when the
  // minute after midnight itself was missed.
  const int32_t last = store.Run.LastCTCPermitMinute;
  const bool midnight = last != -1 && now < last;
  bool stepped = false;

  for (int slot = 0; slot < kMaxPermitStatus; ++slot) {
    if (store.PermitStatusRef(slot).InUse == 0) continue;  // most slots are free: passed over without a copy
    PermitStatus status = store.GetPermitStatus(slot);
    if (midnight) {
      const auto today = [](int32_t minute) { return minute >= kMinutesPerDay ? minute - kMinutesPerDay : minute; };
      status.StartMinute = today(status.StartMinute);
      status.EndMinute = today(status.EndMinute);
      status.NextMinute = today(status.NextMinute);
      store.UpdatePermitStatus(slot, status);
      LowerMarksAtMidnight(engine, LimitsOf(engine, status));
    }
    if (status.NextMinute > now) continue;
    switch (status.State) {
      case kCtcPermitIssued:
        EnforcePermit(engine, slot);
        stepped = true;
        break;
      case kCtcPermitAnnounced:
        ActivatePermit(engine, slot);
        stepped = true;
        break;
      case kCtcPermitInForce:
        ReleasePermit(engine, slot);
        stepped = true;
        break;
      default:
        break;
    }
  }
  store.Run.LastCTCPermitMinute = now;
  if (stepped) store.RefreshAllWindows();
}

void EnforcePermit(Engine& engine, int slot) {
  Corvane3Data& store = engine.Store();
  PermitStatus status = store.GetPermitStatus(slot);
  engine.MarkLimitsPending(LimitsOf(engine, status), Seconds(status.StartMinute));
  status.State = kCtcPermitAnnounced;
  status.NextMinute = status.StartMinute;
  store.UpdatePermitStatus(slot, status);
}

void ActivatePermit(Engine& engine, int slot) {
  Corvane3Data& store = engine.Store();
  PermitStatus status = store.GetPermitStatus(slot);
  const PermitLimits limits = LimitsOf(engine, status);
  if (engine.HoldPermitForRoute(limits, Seconds(status.StartMinute))) {
    status.StartMinute += kPermitPostponeMinutes;
    status.EndMinute += kPermitPostponeMinutes;
    status.NextMinute += kPermitPostponeMinutes;
    store.UpdatePermitStatus(slot, status);
    return;
  }
  engine.PutLimitsInForce(limits, Seconds(status.StartMinute), Seconds(status.EndMinute));
  status.State = kCtcPermitInForce;
  status.NextMinute = status.EndMinute;
  store.UpdatePermitStatus(slot, status);
}

void ReleasePermit(Engine& engine, int slot) {
  Corvane3Data& store = engine.Store();
  if (slot < 0 || slot >= kMaxPermitStatus) {
    store.InternalErrorTrap(slot, "Permit index error - ReleasePermit");
    return;
  }
  const PermitStatus status = store.GetPermitStatus(slot);
  if (status.InUse == 0) return;
  const PermitLimits limits = LimitsOf(engine, status);
  if (status.State == kCtcPermitInForce) {
    engine.ReleaseLimits(limits, Seconds(status.EndMinute));
  } else if (status.State == kCtcPermitAnnounced) {
    WithdrawPendingMarks(engine, limits, Seconds(status.StartMinute));
    // Another announced permit sharing a device may have lost its pending mark with these: marking is
    // idempotent, so every other announcement is simply made again.
    for (int other = 0; other < kMaxPermitStatus; ++other) {
      const PermitStatus& held = store.PermitStatusRef(other);
      if (other == slot || held.InUse == 0 || held.State != kCtcPermitAnnounced) continue;
      engine.MarkLimitsPending(LimitsOf(engine, held), Seconds(held.StartMinute));
    }
  }
  store.FreePermitStatus(slot);
}

int StorePermit(Corvane3Data& store, int slot, const PermitEntry& entry, int32_t nowMinute) {
  if (slot < 0) slot = store.FindFreePermitStatus();
  if (slot < 0 || slot >= kMaxPermitStatus) return -1;
  PermitStatus status = store.GetPermitStatus(slot);
  if (status.InUse == 0) status.State = kCtcPermitIssued;

  int32_t from = entry.From, to = entry.To;
  if (status.State == kCtcPermitInForce) {
    if (to < nowMinute - 60) to += kMinutesPerDay;
  } else {
    if (from < nowMinute - 60) from += kMinutesPerDay;
    if (to < from) to += kMinutesPerDay;
  }
  switch (status.State) {
    case kCtcPermitIssued:
      status.NextMinute = std::max(0, from - kAnnounceMinutes);
      break;
    case kCtcPermitAnnounced:
      status.NextMinute = from;
      break;
    case kCtcPermitInForce:
      status.NextMinute = to;
      break;
    default:
      break;
  }
  status.InUse = 1;
  status.StartMinute = from;
  status.EndMinute = to;
  SetFieldText(status.Track, entry.Track);
  SetFieldText(status.Requestor, entry.Requestor);
  SetFieldText(status.Reason, entry.Reason);
  store.UpdatePermitStatus(slot, status);
  return slot;
}

void MovePermitEnd(Engine& engine, int slot, int32_t previousEndMinute) {
  if (slot < 0 || slot >= kMaxPermitStatus) return;
  const PermitStatus status = engine.Store().GetPermitStatus(slot);
  if (status.InUse == 0 || status.State != kCtcPermitInForce || status.EndMinute == previousEndMinute) return;
  const int32_t before = Seconds(previousEndMinute);
  const int32_t after = Seconds(status.EndMinute);
  engine.EditPermitMarks(LimitsOf(engine, status), [before, after](PermitMarks& marks) {
    if (marks.Active == 0 || marks.ActiveUntil != before) return false;
    marks.ActiveUntil = after;
    return true;
  });
}

}  // namespace ctc
