// A CTC block permit (track and time) as it lies in a PermitStatus slot. In
// CTC control mode the slot's three clock fields hold minutes of the day of
// the computer's clock (1440 or more: the next day), and the track, the
// requestor and the reason fill the slot's spare bytes. One view over the same
// bytes, so a slot read as either record is the same slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "store/corvane3_data.h"
#include "store/records.h"

#pragma pack(push, 1)
struct CTCPermitStatus {
  uint8_t InUse;        // +0
  uint8_t Bytes1[6];    // +1 the simulation's request time and definition
  int32_t StartMinute;  // +7
  int32_t EndMinute;    // +11
  int32_t NextMinute;   // +15 when the next timed step is due
  int32_t Long19;       // +19
  int16_t State;        // +23 CTCPermitState
  uint8_t Bytes25[9];   // +25
  char Track[30];       // +34 "first-second part" of the blocks' track name
  char Requestor[21];   // +64
  char Reason[21];      // +85
  uint8_t Reserved106;  // +106
};
#pragma pack(pop)
static_assert(sizeof(CTCPermitStatus) == sizeof(PermitStatus));
static_assert(offsetof(CTCPermitStatus, StartMinute) == offsetof(PermitStatus, StartTime));
static_assert(offsetof(CTCPermitStatus, EndMinute) == offsetof(PermitStatus, EndTime));
static_assert(offsetof(CTCPermitStatus, NextMinute) == offsetof(PermitStatus, NextActionTime));
static_assert(offsetof(CTCPermitStatus, State) == offsetof(PermitStatus, State));
static_assert(offsetof(CTCPermitStatus, Track) == offsetof(PermitStatus, Reserved34));

// The states of a CTC permit (0 and 3 belong to the simulation's permits).
enum CTCPermitState : int16_t {
  kCTCPermitIssued = 1,     // announced 30 minutes before its start
  kCTCPermitAnnounced = 2,  // pending marks on its limits, in force at its start
  kCTCPermitInForce = 4,    // released at its end
};

inline constexpr int32_t kCTCPermitAnnounceMinutes = 30;

inline CTCPermitStatus GetCTCPermitStatus(const Corvane3Data& store, int slot) {
  const PermitStatus record = store.GetPermitStatus(slot);
  CTCPermitStatus permit;
  std::memcpy(&permit, &record, sizeof permit);
  return permit;
}

inline void UpdateCTCPermitStatus(Corvane3Data& store, int slot, const CTCPermitStatus& permit) {
  PermitStatus record;
  std::memcpy(&record, &permit, sizeof record);
  store.UpdatePermitStatus(slot, record);
}
