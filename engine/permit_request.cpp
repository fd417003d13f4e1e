#include "engine/permit_request.h"

#include "engine/permit_times.h"
#include "store/fixed_text.h"

PermitRequestForm::PermitRequestForm(Corvane3Data& store, int slot, uint8_t fromTimer)
    : store_(store), slot_(slot), fromTimer_(fromTimer) {}

void PermitRequestForm::Release() {
  if (released_) return;
  released_ = true;
  PermitStatus status = store_.GetPermitStatus(slot_);
  if (status.InUse == 0) return;
  status.NextActionTime = store_.SimClock + 3600;
  store_.UpdatePermitStatus(slot_, status);
}

PermitRequestForm::Fields PermitRequestForm::SetupWindow() {
  if (released_) return {};
  PermitStatus status = store_.GetPermitStatus(slot_);
  status.DialogOpen = 1;
  store_.UpdatePermitStatus(slot_, status);

  const PermitData permit = store_.GetPermitData(status.PermitIndex);
  Fields fields;
  fields.TrackName = FieldText(permit.TrackName);
  fields.Requestor = FieldText(permit.Requestor);
  fields.Reason = FieldText(permit.Reason);

  const int32_t start = fromTimer_ == 1 ? store_.SimClock : status.StartTime;
  const PermitRequestTimes times = ComputePermitRequestTimes(
      start, PermitSpanMinutes(permit.StartMinutes, permit.EndMinutes), status.MinutesGranted);
  status.StartTime = times.Start;
  status.EndTime = times.End;
  store_.UpdatePermitStatus(slot_, status);

  fields.FromTime = fields.GrantedFrom = PermitClockText(times.Start);
  fields.ToTime = fields.GrantedTo = PermitClockText(times.ToMinuteOfDay * 60);
  return fields;
}

// After a message box: a request the engine let go of meanwhile just closes its window.
PermitRequestForm::Answer PermitRequestForm::Stay(Answer answer) const { return released_ ? Answer::Close : answer; }

void PermitRequestForm::Destroy() {
  if (released_) return;
  PermitStatus status = store_.GetPermitStatus(slot_);
  status.DialogOpen = 0;
  store_.UpdatePermitStatus(slot_, status);
}

PermitRequestForm::Answer PermitRequestForm::Authorize(std::string_view grantedFrom, std::string_view grantedTo) {
  if (released_) return Answer::Close;
  // The fields are read with a 10-byte buffer.
  grantedFrom = grantedFrom.substr(0, 9);
  grantedTo = grantedTo.substr(0, 9);

  if (grantedFrom.empty()) {
    store_.ShowMessage("You must enter a time in the \"Time Granted From\" field.", MessageIcon::Error);
    return Stay(Answer::StayOnGrantedFrom);
  }
  const int fromMinute = store_.GetTimeField(std::string(grantedFrom), "Time Granted From");
  if (fromMinute == -1) return Stay(Answer::StayOnGrantedFrom);
  if (grantedTo.empty()) {
    store_.ShowMessage("You must enter a time in the \"Time Granted To\" field.", MessageIcon::Error);
    return Stay(Answer::StayOnGrantedTo);
  }
  const int toMinute = store_.GetTimeField(std::string(grantedTo), "Time Granted To");
  if (toMinute == -1) return Stay(Answer::StayOnGrantedTo);

  // Read now: the run goes on while a message box is up.
  PermitStatus status = store_.GetPermitStatus(slot_);
  const PermitData permit = store_.GetPermitData(status.PermitIndex);
  const int32_t requested = PermitSpanMinutes(permit.StartMinutes, permit.EndMinutes);
  PermitGrant grant =
      ComputePermitGrant(store_.SimClock, status.StartTime, status.MinutesGranted, requested, fromMinute, toMinute);
  if (grant.BeforeRequested) {
    store_.ShowMessage("You entered a time which is before the requested time.", MessageIcon::Error);
    return Stay(Answer::StayOnGrantedFrom);
  }
  if (grant.MoreThanRequested) {
    const MessageResult answer =
        store_.ShowMessage("You are granting more time than requested.  Do you want to continue?",
                           MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageResult::Yes) return Stay(Answer::StayOnGrantedFrom);
    if (released_) return Answer::Close;
    status = store_.GetPermitStatus(slot_);
    grant =
        ComputePermitGrant(store_.SimClock, status.StartTime, status.MinutesGranted, requested, fromMinute, toMinute);
  }

  status.MinutesGranted += grant.GrantedMinutes;
  if (store_.SimClock < grant.From) {
    status.NextActionTime = grant.From - 1800;
    status.State = kPermitAuthorized;
  } else {
    status.NextActionTime = grant.From;
    status.State = kPermitPending;
  }
  status.StartTime = grant.From;
  status.EndTime = grant.To;
  store_.UpdatePermitStatus(slot_, status);
  Destroy();
  return Answer::Close;
}

PermitRequestForm::Answer PermitRequestForm::RequestLater() {
  if (released_) return Answer::Close;
  PermitStatus status = store_.GetPermitStatus(slot_);
  status.StartTime += 3600;
  status.EndTime += 3600;
  store_.UpdatePermitStatus(slot_, status);
  Destroy();
  return Answer::Close;
}
