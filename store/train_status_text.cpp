// The long status text of a running train, as the train windows show it.
#include <cstdio>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/train_codes.h"

namespace {

std::string WithName(const char* format, const std::string& name) {
  char text[160];
  std::snprintf(text, sizeof text, format, name.c_str());
  return text;
}

}  // namespace

void Corvane3Data::GenerateTrainStatus(int trainSlot, std::string& out) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) {
    ReportIndexError(trainSlot, "Train status", "GenerateTrainStatus");
    return;
  }
  const TrainStatus& train = trainStatus_[trainSlot];
  switch (train.State) {
    case TrainState::InWorkArea:
      out = TrainText::WorkingArea;
      return;
    case TrainState::Moving:
      if (train.Reason == HeadEvent::ReverseSwitch) {
        out = TrainText::MovingOverReverseSwitch;
      } else {
        out = train.Reversing ? TrainText::MovingReverse : TrainText::MovingForward;
      }
      return;
    case TrainState::Starting:
      out = TrainText::Starting;
      return;
    case TrainState::Leaving:
      out = TrainText::Leaving;
      return;
    case TrainState::OnTerritory:
      out = TrainText::OnTerritory;
      return;
    case TrainState::Scheduled:
      out = TrainText::Scheduled;
      return;
    case TrainState::Gone:
      out = TrainText::Gone;
      return;
    case TrainState::Became:
      out = TrainText::Became;
      return;
    case TrainState::Merged:
      out = TrainText::Merged;
      return;
    case TrainState::CrewExpired:
      out = TrainText::CrewExpiration;
      return;
    case TrainState::Stopped:
      break;
    default:
      return;
  }
  switch (train.Reason) {
    case StopReason::WaitSignal:
      out = train.DispatcherStop == 1 ? TrainText::DispatcherRequest : TrainText::WaitingSignal;
      break;
    case StopReason::DispatcherRequest:
      out = TrainText::DispatcherRequest;
      break;
    case StopReason::WaitHelper:
      out = TrainText::WaitingHelper;
      break;
    case StopReason::StopAndReverse:
      out = TrainText::StopAndReverse;
      break;
    case StopReason::DetectorAlarm:
      out = WithName(TrainText::DetectorAlarm, FieldText(GetDetectorData(train.Detector).Description));
      break;
    case StopReason::DetectorProblem:
      out = WithName(TrainText::DetectorProblem, FieldText(GetDetectorData(train.Detector).Description));
      break;
    case StopReason::Platform:
      out = WithName(TrainText::AtPlatform, FieldText(GetPlatformData(train.Platform).Name));
      break;
    case StopReason::CrewChange:
      out = TrainText::WaitingCrewChange;
      break;
    case StopReason::CrewTimeExpired:
      out = TrainText::CrewTimeExpired;
      break;
    case StopReason::BecomeOrSplit:
      out = GetTrainData(train.TrainIndex).SplitTrain != -1 ? TrainText::ToSplit : TrainText::ToBecomeAnother;
      break;
    case StopReason::BrokenHose:
      out = WithName(TrainText::StoppedBecauseOf, TrainText::BrokenHose);
      break;
    case StopReason::Derailment:
      out = TrainText::Derailment;
      break;
    case StopReason::LocalWork:
      out = TrainText::LocalWork;
      break;
    case StopReason::WaitYard:
      out = TrainText::WaitingYard;
      break;
    case StopReason::AfterSwitchThrow:
      out = TrainText::StartingAfterSwitch;
      break;
    default:
      break;
  }
}

std::string Corvane3Data::GenerateTrainStatusShort(int trainSlot) {
  if (trainSlot < 0 || trainSlot >= kMaxTrainStatus) {
    ReportIndexError(trainSlot, "Train status", "GenerateTrainStatusShort");
    return "";
  }
  const TrainStatus& train = trainStatus_[trainSlot];
  switch (train.State) {
    case TrainState::Scheduled:
      return TrainShortText::Scheduled;
    case TrainState::Stopped: {
      if (train.WaitStart < 0) return TrainShortText::WaitingSignal;
      const int32_t time = train.WaitStart % kSecondsPerDay;
      char text[64];
      std::snprintf(text, sizeof text, TrainShortText::WaitingSignalSince, time / 3600, time % 3600 / 60);
      return text;
    }
    case TrainState::Starting:
      return TrainShortText::Starting;
    case TrainState::Moving:
      return train.Reversing ? TrainShortText::MovingReverse : TrainShortText::MovingForward;
    case TrainState::Leaving:
      return TrainShortText::Leaving;
    case TrainState::Gone:
      return TrainShortText::Gone;
    case TrainState::Derailed:
      return TrainShortText::Derailed;
    default:
      return "";
  }
}
