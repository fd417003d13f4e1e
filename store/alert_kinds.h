// The kinds of alert: the index into the alert formats, the alert settings'
// Enabled, Bells and WaveFiles, and the order of the Alert Parameters dialog.
#pragma once

namespace alert_kind {

inline constexpr int kTrainArrived = 0;
inline constexpr int kWaitingSignal = 1;
inline constexpr int kDetectorProblem = 2;  // the dialog's "detector alarm" row
inline constexpr int kTrainProblem = 3;     // a broken hose
inline constexpr int kDerailment = 4;
inline constexpr int kPermitActive = 5;
inline constexpr int kLateArrival = 6;
inline constexpr int kLocoProblem = 7;
inline constexpr int kPermitReleased = 8;
inline constexpr int kSlowOrderActive = 9;
inline constexpr int kDetectorAlarm = 10;  // no row of its own: sounds as kDetectorProblem
inline constexpr int kCrewTimeWarning = 11;
inline constexpr int kCrewExpired = 12;
inline constexpr int kCount = 13;

}  // namespace alert_kind
