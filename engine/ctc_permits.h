// CTC block permits: in CTC control mode the dispatcher takes a track out of
// service for a time window of the computer's clock. A permit is announced on
// the layout half an hour before its start, put in force at the start (held
// back five minutes at a time while a route is cleared into its limits) and
// released at its end. Times are minutes of the wall clock's day; 1440 or more
// means the next day.
#pragma once

#include <cstdint>
#include <string>

class Corvane3Data;
class Engine;

namespace ctc {

inline constexpr int32_t kAnnounceMinutes = 30;
inline constexpr int32_t kPermitPostponeMinutes = 5;

// The minute of the day of the computer's local time.
int32_t PermitClockMinute(Corvane3Data& store);

// The 500 ms step of CTC control mode: every permit whose next step is due takes it.
void CheckPermitTimes(Engine& engine);

// The three steps of one slot.
void EnforcePermit(Engine& engine, int slot);
void ActivatePermit(Engine& engine, int slot);
// The end of a permit, and the permit list's Cancel in any state: an announced
// permit takes its pending marks back, and only a permit in force releases
// marks in force (those of other permits stay).
void ReleasePermit(Engine& engine, int slot);

// What the dispatcher types for a permit: times of day 0-1439.
struct PermitEntry {
  std::string Track{};
  int32_t From = 0;
  int32_t To = 0;
  std::string Requestor{};
  std::string Reason{};
};

// Stores a permit as issued (slot -1: a new one in the first free slot, state
// issued) or changes the permit of a slot, keeping its state. Times more than
// an hour before now count for the next day, an end before its start too; the
// next step follows the state. Returns the slot, -1 when every slot is taken.
int StorePermit(Corvane3Data& store, int slot, const PermitEntry& entry, int32_t nowMinute);

// After an edit moved the end of a permit in force: the marks in force that ended with it (at
// previousEndMinute) end with it still, so that its release finds them.
void MovePermitEnd(Engine& engine, int slot, int32_t previousEndMinute);

}  // namespace ctc
