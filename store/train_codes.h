// The codes of a running train: its state (TrainStatus +35) and the code
// beside it (+36), which is the stop reason while the train is stopped and the
// pending head event while it moves. The engine's state machine and the status
// texts both work from these values, so they live in one place.
#pragma once

#include <cstdint>

namespace TrainState {
inline constexpr uint8_t Scheduled = 2;  // created by the scheduler, not yet on the territory
inline constexpr uint8_t Stopped = 3;    // +36 holds a StopReason
inline constexpr uint8_t Starting = 4;   // starting to move
inline constexpr uint8_t Moving = 5;     // +36 holds a HeadEvent
inline constexpr uint8_t Leaving = 11;   // head past the exit, rear still on
inline constexpr uint8_t Merged = 12;    // coupled behind another train
inline constexpr uint8_t Gone = 13;      // no longer on the territory; the slot may be reused
inline constexpr uint8_t Derailed = 14;
inline constexpr uint8_t CrewExpired = 22;  // stopped for crew expiration
inline constexpr uint8_t ToWorkArea = 27;   // moving to a work area
inline constexpr uint8_t InWorkArea = 28;
inline constexpr uint8_t Became = 31;  // the old identity of a train that became another
inline constexpr uint8_t OnTerritory = 34;
}  // namespace TrainState

namespace StopReason {
inline constexpr uint8_t WaitSignal = 3;
inline constexpr uint8_t Platform = 7;
inline constexpr uint8_t DetectorProblem = 8;
inline constexpr uint8_t DetectorAlarm = 9;
inline constexpr uint8_t Derailment = 15;
inline constexpr uint8_t BrokenHose = 19;
inline constexpr uint8_t CrewChange = 21;
inline constexpr uint8_t CrewTimeExpired = 22;
inline constexpr uint8_t DispatcherRequest = 23;
inline constexpr uint8_t StopAndReverse = 24;
inline constexpr uint8_t WaitHelper = 25;
inline constexpr uint8_t BecomeOrSplit = 26;
inline constexpr uint8_t LocalWork = 28;
inline constexpr uint8_t WaitYard = 29;
inline constexpr uint8_t AfterSwitchThrow = 33;
}  // namespace StopReason

namespace HeadEvent {
inline constexpr uint8_t Running = 5;
inline constexpr uint8_t PlatformStop = 6;
inline constexpr uint8_t Detector = 10;
inline constexpr uint8_t Nothing = 14;
inline constexpr uint8_t LocoProblem = 17;
inline constexpr uint8_t BrokenHose = 18;
inline constexpr uint8_t DispatcherStop = 23;
inline constexpr uint8_t StopAndReverse = 24;
inline constexpr uint8_t PlatformStopBecome = 26;
inline constexpr uint8_t ReverseSwitch = 32;
inline constexpr uint8_t ThrowSwitchByHand = 33;
}  // namespace HeadEvent

// The long status texts (GenerateTrainStatus). Texts with %s take a name.
namespace TrainText {
inline constexpr const char* WorkingArea = "working area";
inline constexpr const char* MovingForward = "moving forward";
inline constexpr const char* MovingReverse = "moving in reverse";
inline constexpr const char* MovingOverReverseSwitch = "moving over a reverse switch";
inline constexpr const char* WaitingSignal = "stopped waiting signal.";
inline constexpr const char* DispatcherRequest = "stopped because of dispatcher request.";
inline constexpr const char* WaitingHelper = "stopped waiting for a helper.";
inline constexpr const char* StopAndReverse = "will stop and reverse direction.";
inline constexpr const char* DetectorAlarm = "stopped because of a %s alarm.";
inline constexpr const char* DetectorProblem = "stopped because of a %s problem.";
inline constexpr const char* AtPlatform = "stopped at %s's platform.";
inline constexpr const char* WaitingCrewChange = "stopped waiting crew change.";
inline constexpr const char* CrewTimeExpired = "stopped because crew time expired.";
inline constexpr const char* ToBecomeAnother = "stopped to become another train.";
inline constexpr const char* ToSplit = "stopped to split into two trains.";
inline constexpr const char* StoppedBecauseOf = "stopped because of %s.";
inline constexpr const char* BrokenHose = "broken hose";
inline constexpr const char* Derailment = "stopped because of derailment.";
inline constexpr const char* LocalWork = "performing local work.";
inline constexpr const char* WaitingYard = "waiting permission to enter yard.";
inline constexpr const char* StartingAfterSwitch = "starting up train after throwing switch.";
inline constexpr const char* Starting = "starting to move";
inline constexpr const char* Leaving = "leaving territory";
inline constexpr const char* OnTerritory = "on territory";
inline constexpr const char* Scheduled = "scheduled to arrive";
inline constexpr const char* Gone = "no longer on territory";
inline constexpr const char* Became = "became another train";
inline constexpr const char* Merged = "merged with another train";
inline constexpr const char* CrewExpiration = "stopped because of crew expiration";
}  // namespace TrainText

// The short status texts (GenerateTrainStatusShort).
namespace TrainShortText {
inline constexpr const char* Scheduled = "Arriving";
inline constexpr const char* WaitingSignal = "Waiting signal";
inline constexpr const char* WaitingSignalSince = "Waiting signal, stopped at %02d:%02d";
inline constexpr const char* Starting = "Starting to move";
inline constexpr const char* MovingForward = "Moving forward";
inline constexpr const char* MovingReverse = "Moving in reverse";
inline constexpr const char* Leaving = "Going off territory";
inline constexpr const char* Gone = "Left territory";
inline constexpr const char* Derailed = "Train is derailed";
}  // namespace TrainShortText
