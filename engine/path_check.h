// What a train may do over the path ahead of it: how far the track is cleared
// for it and how fast it may run there. Filled by Engine::CheckPathAhead and
// handed to the movement code whole.
#pragma once

#include <cstdint>

struct PathCheckResult {
  int16_t StopBlock = -1;         // first block at which the train must be able to stop
  int16_t NextBlock = -1;         // first real block of the path
  int16_t PlatformDistance = -1;  // cleared blocks up to a platform with a stop still to make
  int16_t Spare = -1;
  uint8_t SwitchLimited = 0;     // a reverse switch's diverging speed is the binding limit
  uint8_t RestrictedSwitch = 0;  // a switch on the path forces restricted speed
  int16_t AllowedSpeed = 0;      // 0: the train may not go on
  int16_t FirstTableSpeed = 0;   // first non-zero table speed of the stop block
  int16_t MaximumSpeed = 0;
  int16_t AspectSpeed = 0;  // table speed chosen by the number of cleared blocks
  uint8_t AtMaximum = 0;
  int16_t NominalSpeed = 0;  // allowed speed before the train's performance factor
  uint8_t RouteCleared = 1;  // 0 when the very first block ahead is not cleared for the train
  uint8_t WaitingForHelper = 0;
  uint8_t StoppedForLocalWork = 0;  // 1: the train was stopped for local work, nothing further to do
  uint8_t NextBlockDirection = 0;
};
