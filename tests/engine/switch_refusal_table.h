// The lock rules of a switch throw, one table for the engine's own throw and
// for the CTC control request: the click is on SWa of the crossover
// (crossover_fixture.h), the lock on SWa itself or on its partner SWb.
#pragma once

struct SwitchRefusalCase {
  bool Partner;  // the lock is on SWb
  int Code;
  int FleetLock;
  int Failures;         // the locked switch's failure count, -1 working
  const char* Text;     // the engine's text, nullptr: refused without a message
  bool CTCRefuses;      // the field's office knows no failures: a failed partner does not lock there
  const char* CTCText;  // the CTC request's text
};

inline constexpr const char* kOccupied = "Switch will not throw.  Switch is occupied.";
inline constexpr const char* kRunningTime = "Switch will not throw.  Switch is part of a route running time.";
inline constexpr const char* kCleared = "Switch will not throw.  Switch has a route cleared over it.";
inline constexpr const char* kFleeted = "Switch will not throw.  Switch is locked because of a signal fleet request.";
inline constexpr const char* kPartnerOccupied = "Switch will not throw.  Corresponding switch is occupied.";
inline constexpr const char* kPartnerCleared =
    "Switch will not throw.  Corresponding switch has a route cleared over it.";
inline constexpr const char* kPartnerFleeted =
    "Switch will not throw.  Corresponding switch is locked because of a signal fleet request.";
inline constexpr const char* kPartnerFailed = "Switch will not throw.  Corresponding switch has failed to move.";

inline constexpr SwitchRefusalCase kSwitchRefusals[] = {
    {false, 3, 0, -1, kOccupied, true, kOccupied},
    {false, 4, 1, -1, kOccupied, true, kOccupied},
    {false, 9, 0, -1, kRunningTime, true, kRunningTime},
    {false, 10, 1, -1, kRunningTime, true, kRunningTime},
    {false, 1, 0, -1, kCleared, true, kCleared},
    {false, 2, 1, -1, kCleared, true, kCleared},
    {false, 0, 1, -1, kFleeted, true, kFleeted},
    {false, 7, 0, -1, nullptr, true, nullptr},
    {false, 8, 0, -1, nullptr, true, nullptr},
    {true, 3, 0, -1, kPartnerOccupied, true, kPartnerOccupied},
    {true, 4, 0, -1, kPartnerOccupied, true, kPartnerOccupied},
    {true, 1, 1, -1, kPartnerCleared, true, kPartnerCleared},
    {true, 2, 0, -1, kPartnerCleared, true, kPartnerCleared},
    {true, 0, 1, -1, kPartnerFleeted, true, kPartnerFleeted},
    {true, 9, 0, -1, nullptr, true, nullptr},  // running time on the partner refuses silently
    {true, 7, 0, -1, nullptr, true, nullptr},
    {true, 0, 0, 2, kPartnerFailed, false, nullptr},
    {true, 9, 0, 2, kPartnerFailed, true, nullptr},
};
