// The saved simulation (".ssm"): magic, version, a counts record, the track
// file's path and identity, the run-time tables, the alert lines, a run-state
// record, the performance figures and the magic again. Little-endian, records
// byte for byte as the store holds them, no padding.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int32_t kSimulationMagic[4] = {88162, 34556, 38237, 2222};
inline constexpr int32_t kSimulationVersion = 34;
inline constexpr const char* kSimulationFilter = "Saved Simulation Files (*.ssm)|*.ssm";

// The counts record: how many records of each table follow.
enum SimulationCount {
  kSimTrains = 0,
  kSimPermits = 1,
  kSimSlowOrders = 2,
  kSimBlocks = 3,
  kSimSwitches = 4,
  kSimSignals = 5,
  kSimDiamonds = 6,
  kSimLocations = 7,
  kSimStack = 8,
  kSimOSHits = 9,
  kSimAlertLines = 10,
  kSimArchiveHours = 11,
  kSimCountWords = 14,
};

// Record sizes of the older versions: each a prefix of today's layout.
inline constexpr uint32_t kOldPermitStatusBytes = 34;   // below version 34
inline constexpr uint32_t kOldSwitchStatusBytes = 114;  // below version 32
inline constexpr uint32_t kOldSignalStatusBytes = 24;   // below version 32
inline constexpr uint32_t kOldCrossStatusBytes = 47;    // below version 33

#pragma pack(push, 1)

// The layout window's run fields as a saved simulation keeps them.
struct SimulationRunState {
  uint8_t Reserved0[6];        // +0  written as 0
  int32_t SimClock;            // +6
  int32_t EndTime;             // +10 -1 none
  int16_t WindowWord14;        // +14 kept for the window as it was
  int16_t HighestAlertViewed;  // +16
  int16_t AlertCounter;        // +18
  int16_t AlertLinesUsed;      // +20
  int16_t SelectedAlertLine;   // +22
  int16_t ClockSpeed;          // +24 1 to 40
  int16_t HighlightedDevice;   // +26 not restored: -1 after a load
  uint8_t Reserved28[2];       // +28
  uint8_t OutputHold;          // +30
  int32_t StartTime;           // +31
  int16_t StartDay;            // +35
  uint8_t Reserved37[41];      // +37
};
static_assert(sizeof(SimulationRunState) == 78);
static_assert(offsetof(SimulationRunState, SimClock) == 6 && offsetof(SimulationRunState, WindowWord14) == 14);
static_assert(offsetof(SimulationRunState, ClockSpeed) == 24 && offsetof(SimulationRunState, OutputHold) == 30);
static_assert(offsetof(SimulationRunState, StartTime) == 31 && offsetof(SimulationRunState, StartDay) == 35);

#pragma pack(pop)
