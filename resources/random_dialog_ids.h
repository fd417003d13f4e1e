// The three random-event parameter dialogs: templates and control ids.
#pragma once

#include <array>

namespace res {

inline constexpr int IDD_RANDOM_DETECTORS = 65;
inline constexpr int IDD_RANDOM_TRAINS = 66;
inline constexpr int IDD_RANDOM_FAILURES = 67;
inline constexpr int IDC_RANDOM_HELP = 141;

// Switch and signal failures.
inline constexpr int IDC_RANDOM_SWITCH_FAILURES = 2038;
inline constexpr int IDC_RANDOM_SIGNAL_FAILURES = 109;
inline constexpr int IDC_RANDOM_MAINTAINER_TIME = 111;
inline constexpr int IDC_RANDOM_MAINTAINER_DEVIATION = 104;

inline constexpr int kRandomRows = 10;  // one per train type or detector slot

// Train parameters, one row per train type slot.
struct RandomTrainRowIds {
  int Name, RunTime, StartupDelays, LateArrivals, LocomotiveProblems, TrainProblems, Derailments;
};
inline constexpr std::array<RandomTrainRowIds, kRandomRows> kRandomTrainRows = {{
    {180, 7313, 2011, 2018, 145, 115, 2022},
    {181, 110, 2012, 2023, 146, 101, 2027},
    {182, 111, 2013, 2028, 147, 102, 2032},
    {183, 112, 2014, 2033, 148, 103, 2037},
    {184, 116, 138, 129, 149, 104, 142},
    {185, 117, 139, 130, 150, 105, 143},
    {186, 118, 191, 131, 151, 106, 155},
    {187, 120, 192, 132, 152, 107, 156},
    {188, 124, 193, 133, 153, 108, 157},
    {190, 125, 194, 134, 154, 109, 158},
}};

// Defect detector parameters, one row per detector slot.
struct RandomDetectorRowIds {
  int Name, Alarms, FalseAlarms;
};
inline constexpr std::array<RandomDetectorRowIds, kRandomRows> kRandomDetectorRows = {{
    {115, 7313, 7318},
    {101, 110, 126},
    {102, 111, 127},
    {103, 112, 128},
    {104, 116, 129},
    {105, 117, 130},
    {106, 118, 131},
    {107, 120, 132},
    {108, 124, 133},
    {109, 125, 134},
}};

}  // namespace res
