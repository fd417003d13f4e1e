#include "engine/permit_request.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kMonday = 86400;
constexpr int32_t kTuesday = 2 * 86400;
constexpr int32_t At(int32_t day, int hour, int minute) { return day + hour * 3600 + minute * 60; }

// One 06:00-10:00 definition and its request in permit slot 3.
class PermitRequestTest : public StoreFixture {
 protected:
  static constexpr int kSlot = 3;

  PermitRequestTest() {
    PermitData permit = store().GetPermitData(0);
    permit.InUse = 1;
    SetFieldText(permit.TrackName, "AA-BB Main");
    permit.StartMinutes = 360;
    permit.EndMinutes = 600;
    SetFieldText(permit.Requestor, "Track gang 4");
    SetFieldText(permit.Reason, "Tie renewal");
    store().UpdatePermitData(0, permit);
    Request(At(kMonday, 5, 59), At(kMonday, 5, 59), 0);
  }

  // The slot awaiting the dispatcher at the clock, requested from start.
  void Request(int32_t clock, int32_t start, int32_t granted) {
    store().SimClock = clock;
    PermitStatus status{};
    status.InUse = 1;
    status.PermitIndex = 0;
    status.State = kPermitAwaiting;
    status.StartTime = start;
    status.EndTime = start + (240 - granted) * 60;
    status.NextActionTime = clock + 3600;
    status.MinutesGranted = granted;
    store().UpdatePermitStatus(kSlot, status);
  }

  PermitStatus Status() { return store().GetPermitStatus(kSlot); }

  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const MessageCall& call : messages.Calls) texts.push_back(call.Text);
    return texts;
  }
};

TEST_F(PermitRequestTest, SetupShowsTheRequestAndMarksTheWindowOpen) {
  struct Case {
    const char* what;
    uint8_t fromTimer;
    int32_t clock, start, granted;
    const char* wantFrom;
    const char* wantTo;
    int32_t wantStart, wantEnd;
  };
  const Case cases[] = {
      {"raised by the minute step starts now", 1, At(kMonday, 5, 59), At(kMonday, 6, 0), 0, "05:59", "09:59",
       At(kMonday, 5, 59), At(kMonday, 9, 59)},
      {"opened from the list keeps its start", 0, At(kMonday, 5, 30), At(kMonday, 6, 0), 0, "06:00", "10:00",
       At(kMonday, 6, 0), At(kMonday, 10, 0)},
      {"a repeated request asks for the rest", 1, At(kMonday, 23, 15), At(kMonday, 23, 15), 120, "23:15", "01:15",
       At(kMonday, 23, 15), At(kTuesday, 1, 15)},
  };
  for (const Case& c : cases) {
    Request(c.clock, c.start, c.granted);
    PermitRequestForm form(store(), kSlot, c.fromTimer);
    const PermitRequestForm::Fields fields = form.SetupWindow();
    EXPECT_EQ(fields.TrackName, "AA-BB Main") << c.what;
    EXPECT_EQ(fields.Requestor, "Track gang 4") << c.what;
    EXPECT_EQ(fields.Reason, "Tie renewal") << c.what;
    EXPECT_EQ(fields.FromTime, c.wantFrom) << c.what;
    EXPECT_EQ(fields.GrantedFrom, c.wantFrom) << c.what;
    EXPECT_EQ(fields.ToTime, c.wantTo) << c.what;
    EXPECT_EQ(fields.GrantedTo, c.wantTo) << c.what;
    const PermitStatus status = Status();
    EXPECT_EQ(status.DialogOpen, 1) << c.what;
    EXPECT_EQ(+status.StartTime, c.wantStart) << c.what;
    EXPECT_EQ(+status.EndTime, c.wantEnd) << c.what;
    form.Destroy();
    EXPECT_EQ(Status().DialogOpen, 0) << c.what;
  }
}

TEST_F(PermitRequestTest, ReleasedRequestComesBackAnHourLaterAndAnswersNoMore) {
  PermitRequestForm form(store(), kSlot, 1);
  form.SetupWindow();
  store().SimClock = At(kMonday, 6, 10);
  form.Release();
  PermitStatus status = Status();
  EXPECT_EQ(+status.NextActionTime, At(kMonday, 7, 10));
  EXPECT_EQ(status.DialogOpen, 1) << "the window's own closing is not the release";

  // A window still showing it closes without effect.
  EXPECT_EQ(form.Authorize("06:00", "10:00"), PermitRequestForm::Answer::Close);
  EXPECT_EQ(form.RequestLater(), PermitRequestForm::Answer::Close);
  status = Status();
  EXPECT_EQ(+status.State, kPermitAwaiting);
  EXPECT_EQ(+status.StartTime, At(kMonday, 5, 59));

  // A freed slot is left alone.
  store().FreePermitStatus(kSlot);
  const size_t recorded = playback.Calls.size();
  PermitRequestForm other(store(), kSlot, 1);
  other.Release();
  EXPECT_EQ(playback.Calls.size(), recorded);
}

// The engine may let go of the request while a message box of its window is up.
TEST_F(PermitRequestTest, ReleaseDuringAQuestionLeavesTheSlotAlone) {
  class ReleasingMessages : public FakeMessageService {
   public:
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override {
      if (form) form->Release();
      return FakeMessageService::ShowMessage(text, caption, icon, buttons);
    }
    PermitRequestForm* form = nullptr;
  } releasing;
  store().SetMessageService(&releasing);
  PermitRequestForm form(store(), kSlot, 1);
  form.SetupWindow();
  releasing.form = &form;
  EXPECT_EQ(form.Authorize("06:00", "11:00"), PermitRequestForm::Answer::Close);  // more than requested
  EXPECT_EQ(form.Authorize("", "11:00"), PermitRequestForm::Answer::Close);
  EXPECT_EQ(+Status().State, kPermitAwaiting);
  EXPECT_EQ(+Status().MinutesGranted, 0);
  store().SetMessageService(&messages);
}

TEST_F(PermitRequestTest, AuthorizedChecksTheTypedGrant) {
  using Answer = PermitRequestForm::Answer;
  const std::string kBadFrom =
      "The time entered in field \"Time Granted From\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or "
      "XXXX.";
  const std::string kBadTo =
      "The time entered in field \"Time Granted To\" is incorrect.  The correct formats are X:XX, XX:XX, XXX or "
      "XXXX.";
  const std::string kMore = "You are granting more time than requested.  Do you want to continue?";
  struct Grant {
    int16_t State;
    int32_t Start, End, Next, Minutes;
  };
  struct Case {
    const char* what;
    int32_t clock, start, grantedBefore;
    const char* from;
    const char* to;
    std::vector<MessageResult> answers;
    Answer want;
    std::vector<std::string> texts;
    std::optional<Grant> grant;  // none: the slot is unchanged
  };
  const Case cases[] = {
      {"as requested",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "06:00",
       "10:00",
       {},
       Answer::Close,
       {},
       Grant{kPermitAuthorized, At(kMonday, 6, 0), At(kMonday, 10, 0), At(kMonday, 5, 30), 240}},
      {"starting now goes pending at once",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "559",
       "0959",
       {},
       Answer::Close,
       {},
       Grant{kPermitPending, At(kMonday, 5, 59), At(kMonday, 9, 59), At(kMonday, 5, 59), 240}},
      {"empty from",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "",
       "10:00",
       {},
       Answer::StayOnGrantedFrom,
       {"You must enter a time in the \"Time Granted From\" field."},
       std::nullopt},
      {"empty to",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "06:00",
       "",
       {},
       Answer::StayOnGrantedTo,
       {"You must enter a time in the \"Time Granted To\" field."},
       std::nullopt},
      {"wrong from",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "24:00",
       "10:00",
       {},
       Answer::StayOnGrantedFrom,
       {kBadFrom},
       std::nullopt},
      {"wrong to",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "06:00",
       "1:2:3",
       {},
       Answer::StayOnGrantedTo,
       {kBadTo},
       std::nullopt},
      {"only nine characters are read",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "0600xxxxxx",
       "10:00",
       {},
       Answer::StayOnGrantedFrom,
       {kBadFrom},
       std::nullopt},
      {"before the requested time",
       At(kMonday, 5, 30),
       At(kMonday, 6, 0),
       0,
       "05:00",
       "09:00",
       {},
       Answer::StayOnGrantedFrom,
       {"You entered a time which is before the requested time."},
       std::nullopt},
      {"more than requested, declined",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "06:00",
       "11:00",
       {MessageResult::No},
       Answer::StayOnGrantedFrom,
       {kMore},
       std::nullopt},
      {"more than requested, accepted",
       At(kMonday, 5, 59),
       At(kMonday, 5, 59),
       0,
       "06:00",
       "11:00",
       {MessageResult::Yes},
       Answer::Close,
       {kMore},
       Grant{kPermitAuthorized, At(kMonday, 6, 0), At(kMonday, 11, 0), At(kMonday, 5, 30), 300}},
      {"over midnight",
       At(kMonday, 22, 50),
       At(kMonday, 22, 50),
       0,
       "23:00",
       "01:00",
       {},
       Answer::Close,
       {},
       Grant{kPermitAuthorized, At(kMonday, 23, 0), At(kTuesday, 1, 0), At(kMonday, 22, 30), 120}},
      {"more than eight hours back is the next day",
       At(kMonday, 22, 0),
       At(kMonday, 22, 0),
       0,
       "05:00",
       "09:00",
       {},
       Answer::Close,
       {},
       Grant{kPermitAuthorized, At(kTuesday, 5, 0), At(kTuesday, 9, 0), At(kTuesday, 4, 30), 240}},
      {"already passed starts now",
       At(kMonday, 6, 30),
       At(kMonday, 6, 0),
       0,
       "06:00",
       "10:00",
       {},
       Answer::Close,
       {},
       Grant{kPermitPending, At(kMonday, 6, 30), At(kMonday, 10, 30), At(kMonday, 6, 30), 240}},
      {"the rest of a part grant",
       At(kMonday, 10, 15),
       At(kMonday, 10, 15),
       120,
       "10:15",
       "12:15",
       {},
       Answer::Close,
       {},
       Grant{kPermitPending, At(kMonday, 10, 15), At(kMonday, 12, 15), At(kMonday, 10, 15), 240}},
      {"a part grant and more than the rest",
       At(kMonday, 10, 15),
       At(kMonday, 10, 15),
       120,
       "10:15",
       "12:16",
       {MessageResult::No},
       Answer::StayOnGrantedFrom,
       {kMore},
       std::nullopt},
  };
  for (const Case& c : cases) {
    Request(c.clock, c.start, c.grantedBefore);
    PermitRequestForm form(store(), kSlot, 0);
    form.SetupWindow();
    const PermitStatus before = Status();
    messages.Calls.clear();
    messages.ScriptAnswers({});
    if (!c.answers.empty()) messages.ScriptAnswers({c.answers.front()});

    EXPECT_EQ(form.Authorize(c.from, c.to), c.want) << c.what;
    EXPECT_EQ(MessageTexts(), c.texts) << c.what;
    for (const MessageCall& call : messages.Calls) {
      EXPECT_EQ(call.Icon, call.Text == kMore ? MessageIcon::Question : MessageIcon::Error) << c.what;
      EXPECT_EQ(call.Buttons, call.Text == kMore ? MessageButtons::YesNo : MessageButtons::Ok) << c.what;
    }
    const PermitStatus after = Status();
    if (!c.grant) {
      EXPECT_EQ(+after.State, +before.State) << c.what;
      EXPECT_EQ(+after.StartTime, +before.StartTime) << c.what;
      EXPECT_EQ(+after.MinutesGranted, +before.MinutesGranted) << c.what;
      EXPECT_EQ(after.DialogOpen, 1) << c.what;
      continue;
    }
    EXPECT_EQ(+after.State, c.grant->State) << c.what;
    EXPECT_EQ(+after.StartTime, c.grant->Start) << c.what;
    EXPECT_EQ(+after.EndTime, c.grant->End) << c.what;
    EXPECT_EQ(+after.NextActionTime, c.grant->Next) << c.what;
    EXPECT_EQ(+after.MinutesGranted, c.grant->Minutes) << c.what;
    EXPECT_EQ(after.DialogOpen, 0) << c.what;
  }
}

TEST_F(PermitRequestTest, RequestLaterMovesTheRequestAnHour) {
  PermitRequestForm form(store(), kSlot, 0);
  form.SetupWindow();
  const PermitStatus before = Status();
  EXPECT_EQ(form.RequestLater(), PermitRequestForm::Answer::Close);
  const PermitStatus after = Status();
  EXPECT_EQ(+after.StartTime, before.StartTime + 3600);
  EXPECT_EQ(+after.EndTime, before.EndTime + 3600);
  EXPECT_EQ(+after.NextActionTime, +before.NextActionTime);
  EXPECT_EQ(+after.State, kPermitAwaiting);
  EXPECT_EQ(after.DialogOpen, 0);
}

}  // namespace
