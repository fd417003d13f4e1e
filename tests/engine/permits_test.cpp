#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/permit_times.h"
#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

constexpr int32_t kSunday = 0;
constexpr int32_t kMonday = 86400;
constexpr int32_t At(int32_t day, int hour, int minute) { return day + hour * 3600 + minute * 60; }

// Track "AA-BB Main" from a territory end to a switch, crossed at a diamond
// by track "AA-BB Cross":
//
//   y=2                                 B5 =====          (Cross)
//   y=4   |B0 ==== B1 ==== D0 ==== B2 ==== B3 ==== B4 ==== SW0
//   y=6          B6 =====                                 (Cross)
class PermitTest : public StoreFixture {
 protected:
  PermitTest() { Build(); }

  // A fresh territory and run; arrange adds to the territory before it is finished.
  void Build(const std::function<void(territory::TerritoryBuilder&)>& arrange = {}) {
    for (int s = 0; s < kMaxPermitStatus; ++s) engine.DeletePermitRequestDialog(s);
    territory::TerritoryBuilder t(store());
    auto block = [&](const char* name, int x0, int x1, int y, const char* track) {
      return t.Block(
          {.Name = name, .From = {x0, y}, .To = {x1, y}, .Station1 = "AA", .Station2 = "BB", .Track = track});
    };
    const int b0 = block("B0", 2, 5, 4, "Main");
    const int b1 = block("B1", 6, 9, 4, "Main");
    const int d0 = t.Diamond("D0", {10, 4}, 29);
    const int b2 = block("B2", 11, 14, 4, "Main");
    const int b3 = block("B3", 15, 18, 4, "Main");
    const int b4 = block("B4", 19, 22, 4, "Main");
    const int sw = t.Switch("SW0", {23, 4}, territory::Diverge::DownRight);
    const int b5 = block("B5", 12, 15, 2, "Cross");
    const int b6 = block("B6", 5, 8, 6, "Cross");
    t.Link(b0, b1);
    t.Link(b1, territory::DiamondDevice(d0));
    t.Link(territory::DiamondDevice(d0), b2);
    t.Link(b2, b3);
    t.Link(b3, b4);
    t.Link(b4, territory::SwitchDevice(sw));
    t.LinkCrossing(d0, b6, b5);
    if (arrange) arrange(t);
    t.Finish();

    store().InitSimulationStatus();  // every device idle, no permit

    OptionData options = store().GetOptionData();
    options.BlockPermitsActive = 1;
    store().UpdateOptionData(options);
    AlertData alerts = store().GetAlertData();
    for (auto& enabled : alerts.Enabled) enabled = 1;
    store().UpdateAlertData(alerts);
    store().SimStartTime = 0;
    dialogs.PermitRequests.clear();
    dialogs.PermitRequestsShown.clear();
    dialogs.PermitRequestsClosed.clear();
    messages.Calls.clear();
  }

  void Rename(int block, const char* part) {
    BlockData data = store().GetBlockData(block);
    SetFieldText(data.TrackPart, part);
    store().UpdateBlockData(block, data);
  }

  // A definition on the given days ("SuMoTuWeThFrSa" flags), start and end minutes.
  int AddPermit(const char* track, int start, int end, std::initializer_list<int> days, uint8_t nonRepeating = 0) {
    const int index = store().FindFreePermitData(1);
    PermitData permit = store().GetPermitData(index);
    permit.InUse = 1;
    SetFieldText(permit.TrackName, track);
    permit.StartMinutes = static_cast<int16_t>(start);
    permit.EndMinutes = static_cast<int16_t>(end);
    for (auto& day : permit.Days) day = 0;
    for (int day : days) permit.Days[day] = 1;
    permit.NonRepeating = nonRepeating;
    SetFieldText(permit.Requestor, "Track gang 4");
    SetFieldText(permit.Reason, "Tie renewal");
    store().UpdatePermitData(index, permit);
    return index;
  }

  // The minute work of the permits at one clock time.
  void Minute(int32_t clock) {
    store().SimClock = clock;
    engine.ScheduleBlockPermits();
    engine.ProcessPermitRequests();
  }

  int UsedSlots() {
    int used = 0;
    for (int s = 0; s < kMaxPermitStatus; ++s) used += store().GetPermitStatus(s).InUse != 0;
    return used;
  }

  // Plays the window of a slot's request: shows it and answers "Authorized".
  PermitRequestForm::Answer Grant(int slot, const char* from, const char* to) {
    std::shared_ptr<PermitRequestForm> form = engine.PermitRequestDialog(slot);
    EXPECT_NE(form, nullptr);
    if (form == nullptr) return PermitRequestForm::Answer::StayOnGrantedFrom;
    form->SetupWindow();
    return form->Authorize(from, to);
  }

  std::string LastAlert() {
    const RunState& run = store().Run;
    if (run.AlertLinesUsed == 0) return "";
    return FieldText(run.AlertLines[run.AlertLinesUsed - 1].data(), kAlertLineChars);
  }

  Engine engine{store()};
};

// The Monday 06:00-10:00 definition, from its request to its release.
TEST_F(PermitTest, MondayPermitIsRequestedGrantedActivatedAndReleased) {
  AddPermit("AA-BB Main", 360, 600, {1});

  Minute(At(kSunday, 21, 59));
  EXPECT_EQ(UsedSlots(), 0);
  Minute(At(kSunday, 22, 0));
  ASSERT_EQ(UsedSlots(), 1);
  PermitStatus status = store().GetPermitStatus(0);
  EXPECT_EQ(+status.State, kPermitScheduled);
  EXPECT_EQ(+status.RequestTime, 1320 * 60);
  EXPECT_EQ(+status.StartTime, At(kMonday, 6, 0));
  EXPECT_EQ(+status.EndTime, At(kMonday, 10, 0));
  EXPECT_EQ(+status.NextActionTime, At(kMonday, 5, 59));
  Minute(At(kSunday, 22, 1));
  EXPECT_EQ(UsedSlots(), 1) << "one request per definition within 24 hours";

  Minute(At(kMonday, 5, 58));
  EXPECT_TRUE(dialogs.PermitRequests.empty());
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(dialogs.PermitRequests, std::vector<int>{0});
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitAwaiting);
  ASSERT_NE(engine.PermitRequestDialog(0), nullptr);
  const PermitRequestForm::Fields fields = engine.PermitRequestDialog(0)->SetupWindow();
  EXPECT_EQ(fields.TrackName, "AA-BB Main");
  EXPECT_EQ(fields.Requestor, "Track gang 4");
  EXPECT_EQ(fields.Reason, "Tie renewal");
  EXPECT_EQ(fields.FromTime, "05:59");
  EXPECT_EQ(fields.GrantedFrom, "05:59");
  EXPECT_EQ(fields.ToTime, "09:59");
  EXPECT_EQ(fields.GrantedTo, "09:59");
  EXPECT_EQ(store().GetPermitStatus(0).DialogOpen, 1);

  EXPECT_EQ(engine.PermitRequestDialog(0)->Authorize("06:00", "10:00"), PermitRequestForm::Answer::Close);
  status = store().GetPermitStatus(0);
  EXPECT_EQ(+status.State, kPermitAuthorized);
  EXPECT_EQ(status.DialogOpen, 0);
  EXPECT_EQ(+status.MinutesGranted, 240);

  Minute(At(kMonday, 6, 0));
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitPending);
  for (int b = 0; b <= 4; ++b) {
    const BlockStatus block = store().GetBlockStatus(b);
    EXPECT_EQ(block.PermitPending, 1) << b;
    EXPECT_EQ(+block.PermitPendingFrom, At(kMonday, 6, 0)) << b;
    EXPECT_EQ(block.PermitActive, 0) << b;
  }
  EXPECT_EQ(store().GetBlockStatus(5).PermitPending, 0);

  Minute(At(kMonday, 6, 1));
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitActive);
  EXPECT_EQ(engine.PermitRequestDialog(0), nullptr);
  for (int b = 0; b <= 4; ++b) {
    const BlockStatus block = store().GetBlockStatus(b);
    EXPECT_EQ(block.PermitActive, 1) << b;
    EXPECT_EQ(block.PermitPending, 0) << b;
    EXPECT_EQ(+block.PermitPendingFrom, -1) << b;
    EXPECT_EQ(+block.PermitActiveUntil, At(kMonday, 10, 0)) << b;
  }
  EXPECT_NE(LastAlert().find("Block Permit Active -  track \"AA-BB Main\" to start at 06:00 and end at 10:00."),
            std::string::npos)
      << LastAlert();

  Minute(At(kMonday, 9, 59));
  EXPECT_EQ(store().GetBlockStatus(2).PermitActive, 1);
  Minute(At(kMonday, 10, 0));
  for (int b = 0; b <= 4; ++b) {
    EXPECT_EQ(store().GetBlockStatus(b).PermitActive, 0) << b;
    EXPECT_EQ(+store().GetBlockStatus(b).PermitActiveUntil, -1) << b;
  }
  EXPECT_NE(LastAlert().find("Block Permit Released -  track \"AA-BB Main\"."), std::string::npos) << LastAlert();
  EXPECT_EQ(UsedSlots(), 0);
}

// The diamond's marks go on the route the permit's track runs through.
TEST_F(PermitTest, DiamondRouteOnThePermitTrackIsMarked) {
  AddPermit("AA-BB Main", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(Grant(0, "06:00", "10:00"), PermitRequestForm::Answer::Close);
  Minute(At(kMonday, 6, 0));
  CrossStatus cross = store().GetCrossStatus(0);
  EXPECT_EQ(cross.Route[0].PermitPending, 1);
  EXPECT_EQ(+cross.PermitPendingFrom[0], At(kMonday, 6, 0));
  EXPECT_EQ(cross.Route[1].PermitPending, 0);

  Minute(At(kMonday, 6, 1));
  cross = store().GetCrossStatus(0);
  EXPECT_EQ(cross.Route[0].PermitActive, 1);
  EXPECT_EQ(cross.Route[0].PermitPending, 0);
  EXPECT_EQ(+cross.PermitPendingFrom[0], -1);
  EXPECT_EQ(+cross.PermitActiveUntil[0], At(kMonday, 10, 0));
  EXPECT_EQ(cross.Route[1].PermitActive, 0);
  EXPECT_EQ(+cross.PermitActiveUntil[1], -1);

  Minute(At(kMonday, 10, 0));
  cross = store().GetCrossStatus(0);
  EXPECT_EQ(cross.Route[0].PermitActive, 0);
  EXPECT_EQ(+cross.PermitActiveUntil[0], -1);
}

TEST_F(PermitTest, RequestWindowOfEachDefinition) {
  struct Case {
    const char* what;
    int start, end;
    std::initializer_list<int> days;
    uint8_t nonRepeating;
    int32_t clock;
    bool requested;
    int32_t wantStart, wantEnd;
  };
  const Case cases[] = {
      {"eight hours ahead", 360, 600, {1}, 0, At(kSunday, 22, 0), true, At(kMonday, 6, 0), At(kMonday, 10, 0)},
      {"inside the eight hours", 360, 600, {1}, 0, At(kMonday, 3, 0), true, At(kMonday, 6, 0), At(kMonday, 10, 0)},
      {"too early", 360, 600, {1}, 0, At(kSunday, 21, 59), false, 0, 0},
      {"start passed", 360, 600, {1}, 0, At(kMonday, 6, 1), false, 0, 0},
      {"not that day", 360, 600, {2}, 0, At(kSunday, 22, 0), false, 0, 0},
      {"Sunday morning from 00:00", 300, 400, {0}, 0, At(kSunday, 0, 0), true, At(kSunday, 5, 0), At(kSunday, 6, 40)},
      {"Sunday morning not from Saturday night", 300, 400, {0}, 0, At(6 * 86400, 23, 0), false, 0, 0},
      {"past midnight lasts 240 minutes",
       1320,
       120,
       {1},
       0,
       At(kMonday, 14, 0),
       true,
       At(kMonday, 22, 0),
       At(kMonday, 26, 0)},
      {"second week", 360, 600, {1}, 0, At(8 * 86400, 0, 0), true, At(8 * 86400, 6, 0), At(8 * 86400, 10, 0)},
      {"non-repeating in the first week",
       360,
       600,
       {1},
       1,
       At(kSunday, 22, 0),
       true,
       At(kMonday, 6, 0),
       At(kMonday, 10, 0)},
      {"non-repeating after the first week", 360, 600, {1}, 1, At(8 * 86400, 0, 0), false, 0, 0},
  };
  for (const Case& c : cases) {
    Build();
    AddPermit("AA-BB Main", c.start, c.end, c.days, c.nonRepeating);
    store().SimClock = c.clock;
    engine.ScheduleBlockPermits();
    ASSERT_EQ(UsedSlots(), c.requested ? 1 : 0) << c.what;
    if (!c.requested) continue;
    const PermitStatus status = store().GetPermitStatus(0);
    EXPECT_EQ(+status.State, kPermitScheduled) << c.what;
    EXPECT_EQ(+status.StartTime, c.wantStart) << c.what;
    EXPECT_EQ(+status.EndTime, c.wantEnd) << c.what;
    EXPECT_EQ(+status.NextActionTime, c.wantStart - 60) << c.what;
    EXPECT_EQ(+status.RequestTime, c.wantStart - 8 * 3600) << c.what;
  }
}

TEST_F(PermitTest, RepeatingRequestsWaitADayAndNonRepeatingOnesNeverRepeat) {
  const int daily = AddPermit("AA-BB Main", 600, 720, {0, 1, 2, 3, 4, 5, 6});
  AddPermit("AA-BB Main", 600, 720, {0, 1, 2, 3, 4, 5, 6}, 1);
  auto requests = [&](int permit) {
    int n = 0;
    for (int s = 0; s < kMaxPermitStatus; ++s) {
      const PermitStatus status = store().GetPermitStatus(s);
      n += status.InUse != 0 && status.PermitIndex == permit;
    }
    return n;
  };
  store().SimClock = At(kSunday, 2, 0);
  engine.ScheduleBlockPermits();
  ASSERT_EQ(UsedSlots(), 2);
  // Monday's request window opens exactly 24 hours after Sunday's request.
  store().SimClock = At(kMonday, 2, 0);
  engine.ScheduleBlockPermits();
  EXPECT_EQ(UsedSlots(), 2);
  store().SimClock = At(kMonday, 2, 1);
  engine.ScheduleBlockPermits();
  EXPECT_EQ(UsedSlots(), 3);
  EXPECT_EQ(requests(daily), 2);
}

TEST_F(PermitTest, NoFreeSlotEndsTheStepUntilOneIsFree) {
  AddPermit("AA-BB Main", 360, 600, {1});
  for (int s = 0; s < kMaxPermitStatus; ++s) {
    PermitStatus status{};
    status.InUse = 1;
    status.State = kPermitActive;
    status.PermitIndex = 299;
    status.NextActionTime = At(9 * 86400, 0, 0);
    store().UpdatePermitStatus(s, status);
  }
  Minute(At(kSunday, 22, 0));
  store().FreePermitStatus(7);
  Minute(At(kSunday, 22, 1));
  const PermitStatus status = store().GetPermitStatus(7);
  EXPECT_EQ(status.InUse, 1);
  EXPECT_EQ(+status.PermitIndex, 0);
  EXPECT_EQ(+status.State, kPermitScheduled);
}

TEST_F(PermitTest, UnansweredRequestComesBackEveryHour) {
  AddPermit("AA-BB Main", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  std::shared_ptr<PermitRequestForm> form = engine.PermitRequestDialog(0);
  ASSERT_NE(form, nullptr);
  form->SetupWindow();
  EXPECT_EQ(+store().GetPermitStatus(0).NextActionTime, At(kMonday, 6, 59));

  Minute(At(kMonday, 6, 58));
  EXPECT_TRUE(dialogs.PermitRequestsShown.empty());
  Minute(At(kMonday, 6, 59));
  EXPECT_EQ(dialogs.PermitRequestsShown, std::vector<int>{0});
  EXPECT_EQ(+store().GetPermitStatus(0).NextActionTime, At(kMonday, 7, 59));
  EXPECT_EQ(engine.PermitRequestDialog(0), form) << "the same request is shown again";

  // " Request Later" closes the window; the next hour opens it again from the same request.
  EXPECT_EQ(form->RequestLater(), PermitRequestForm::Answer::Close);
  EXPECT_EQ(+store().GetPermitStatus(0).StartTime, At(kMonday, 6, 59));  // 05:59 and an hour
  Minute(At(kMonday, 7, 59));
  EXPECT_EQ(dialogs.PermitRequests, (std::vector<int>{0, 0}));
  EXPECT_EQ(engine.PermitRequestDialog(0), form);
  EXPECT_EQ(+store().GetPermitStatus(0).NextActionTime, At(kMonday, 8, 59));
  // Raised by the minute step, the request starts when it is shown again.
  EXPECT_EQ(form->SetupWindow().GrantedFrom, "07:59");
}

TEST_F(PermitTest, RequestOpenedFromTheListKeepsItsStart) {
  AddPermit("AA-BB Main", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  engine.DeletePermitRequestDialog(0);  // as when the windows are rebuilt
  EXPECT_EQ(dialogs.PermitRequestsClosed, std::vector<int>{0});
  EXPECT_EQ(engine.PermitRequestDialog(0), nullptr);

  store().SimClock = At(kMonday, 6, 10);
  engine.AuthorizeBlockPermit(0, 0);
  std::shared_ptr<PermitRequestForm> form = engine.PermitRequestDialog(0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->FromTimer(), 0);
  EXPECT_EQ(dialogs.PermitRequests, (std::vector<int>{0, 0}));
  EXPECT_EQ(+store().GetPermitStatus(0).NextActionTime, At(kMonday, 6, 59)) << "the Authorize button keeps the hour";
  EXPECT_EQ(form->SetupWindow().GrantedFrom, "06:00");
  form->RequestLater();
  EXPECT_EQ(form->SetupWindow().GrantedFrom, "07:00");
}

TEST_F(PermitTest, TurningPermitsOffDropsRequestsButNotGrantedPermits) {
  AddPermit("AA-BB Main", 360, 600, {1});
  AddPermit("AA-BB Cross", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(Grant(1, "06:00", "10:00"), PermitRequestForm::Answer::Close);
  OptionData options = store().GetOptionData();
  options.BlockPermitsActive = 0;
  store().UpdateOptionData(options);

  Minute(At(kMonday, 6, 0));
  Minute(At(kMonday, 6, 1));
  EXPECT_EQ(+store().GetPermitStatus(1).State, kPermitActive);
  EXPECT_EQ(store().GetBlockStatus(5).PermitActive, 1);
  EXPECT_EQ(store().GetBlockStatus(6).PermitActive, 1);
  EXPECT_EQ(store().GetCrossStatus(0).Route[1].PermitActive, 1);
  EXPECT_EQ(store().GetPermitStatus(0).InUse, 1);

  Minute(At(kMonday, 6, 59));
  EXPECT_EQ(store().GetPermitStatus(0).InUse, 0);
  EXPECT_EQ(engine.PermitRequestDialog(0), nullptr);
  EXPECT_EQ(dialogs.PermitRequestsClosed, (std::vector<int>{1, 0}));

  // Not even a fresh definition is requested while permits are off.
  store().SimClock = At(kMonday, 22, 0);
  AddPermit("AA-BB Main", 360, 600, {2});
  engine.ScheduleBlockPermits();
  EXPECT_EQ(UsedSlots(), 1);
}

TEST_F(PermitTest, PartGrantIsAskedForAgainAndANearlyWholeOneIsNot) {
  struct Case {
    const char* to;
    bool again;
  };
  const Case cases[] = {{"08:00", true}, {"09:45", false}, {"09:44", true}, {"06:00", true}};
  for (const Case& c : cases) {
    Build();
    AddPermit("AA-BB Main", 360, 600, {1});
    Minute(At(kMonday, 5, 59));
    ASSERT_EQ(Grant(0, "06:00", c.to), PermitRequestForm::Answer::Close) << c.to;
    const int32_t granted = store().GetPermitStatus(0).MinutesGranted;
    Minute(At(kMonday, 6, 0));
    Minute(At(kMonday, 6, 1));
    const int32_t released = std::max(+store().GetPermitStatus(0).EndTime, At(kMonday, 6, 2));
    Minute(released);
    const PermitStatus status = store().GetPermitStatus(0);
    if (!c.again) {
      EXPECT_EQ(status.InUse, 0) << c.to;
      continue;
    }
    EXPECT_EQ(+status.State, kPermitAwaiting) << c.to;
    EXPECT_EQ(+status.StartTime, released + 900) << c.to;
    EXPECT_EQ(+status.EndTime, released + 900 + (240 - granted) * 60) << c.to;
    EXPECT_EQ(+status.NextActionTime, released + 900) << c.to;

    // The repeated request asks for the rest; more than that needs consent.
    Minute(released + 900);
    std::shared_ptr<PermitRequestForm> form = engine.PermitRequestDialog(0);
    ASSERT_NE(form, nullptr) << c.to;
    EXPECT_EQ(form->SetupWindow().GrantedTo, PermitClockText(released + 900 + (240 - granted) * 60)) << c.to;
    messages.Calls.clear();
    messages.ScriptAnswers({MessageResult::No});
    const std::string from = PermitClockText(released + 900);
    EXPECT_EQ(form->Authorize(from, PermitClockText(released + 900 + (241 - granted) * 60)),
              PermitRequestForm::Answer::StayOnGrantedFrom)
        << c.to;
    ASSERT_EQ(messages.Calls.size(), 1u) << c.to;
    EXPECT_EQ(messages.Calls[0].Text, "You are granting more time than requested.  Do you want to continue?");
    EXPECT_EQ(form->Authorize(from, PermitClockText(released + 900 + (240 - granted) * 60)),
              PermitRequestForm::Answer::Close)
        << c.to;
    EXPECT_EQ(messages.Calls.size(), 1u) << c.to;
  }
}

//   |B0 ==== B1 ==== D0 ==== B2 ==== B3 ==== B4 ==== SW0     a route cleared into B0 or B4
TEST_F(PermitTest, RouteClearedIntoTheLimitsPostponesActivation) {
  struct Case {
    int block;
    int16_t code;
    bool postpones;
  };
  const Case cases[] = {{0, 1, true}, {4, 2, true}, {0, 2, false}, {4, 1, false}, {2, 1, false}};
  for (const Case& c : cases) {
    Build();
    AddPermit("AA-BB Main", 360, 600, {1});
    Minute(At(kMonday, 5, 59));
    ASSERT_EQ(Grant(0, "06:00", "10:00"), PermitRequestForm::Answer::Close);
    Minute(At(kMonday, 6, 0));
    BlockStatus block = store().GetBlockStatus(c.block);
    block.Occupancy = c.code;
    store().UpdateBlockStatus(c.block, block, 0, 1);

    Minute(At(kMonday, 6, 1));
    if (!c.postpones) {
      EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitActive) << c.block << " " << c.code;
      continue;
    }
    for (int round = 1; round <= 2; ++round) {
      const PermitStatus status = store().GetPermitStatus(0);
      const int32_t moved = 300 * round;
      EXPECT_EQ(+status.State, kPermitPending) << round;
      EXPECT_EQ(+status.StartTime, At(kMonday, 6, 0) + moved) << round;
      EXPECT_EQ(+status.EndTime, At(kMonday, 10, 0) + moved) << round;
      EXPECT_EQ(+status.NextActionTime, At(kMonday, 6, 0) + moved) << round;
      EXPECT_EQ(+store().GetBlockStatus(c.block).PermitPendingFrom, At(kMonday, 6, 0) + moved) << round;
      EXPECT_EQ(+store().GetBlockStatus(2).PermitPendingFrom, At(kMonday, 6, 0)) << round;
      EXPECT_EQ(store().GetBlockStatus(2).PermitActive, 0) << round;
      Minute(status.NextActionTime - 60);
      EXPECT_EQ(+store().GetPermitStatus(0).StartTime, +status.StartTime) << round;
      Minute(status.NextActionTime);
    }
    block = store().GetBlockStatus(c.block);
    block.Occupancy = 0;
    store().UpdateBlockStatus(c.block, block, 0, 1);
    Minute(At(kMonday, 6, 16));
    const PermitStatus status = store().GetPermitStatus(0);
    EXPECT_EQ(+status.State, kPermitActive);
    EXPECT_EQ(+status.EndTime, At(kMonday, 10, 15));
    EXPECT_EQ(+store().GetBlockStatus(2).PermitActiveUntil, At(kMonday, 10, 15));
    EXPECT_NE(LastAlert().find("to start at 06:15 and end at 10:15."), std::string::npos) << LastAlert();
  }
}

// Routes into the track are refused while the permit is active.
//
//   West =S1> B0 =S2> B1 ==== D0 ==== ...
TEST_F(PermitTest, RouteIntoAnActivePermitIsRefused) {
  int signal = -1;
  Build([&](territory::TerritoryBuilder& t) {
    const int west =
        t.Block({.Name = "West", .From = {0, 4}, .To = {1, 4}, .Station1 = "CC", .Station2 = "DD", .Track = "West"});
    t.Link(west, 0);
    signal = t.Signal(west, territory::End::Right, "S1");
    t.Signal(0, territory::End::Right, "S2");
  });
  OptionData options = store().GetOptionData();
  options.HelpMessagesOn = 1;
  store().UpdateOptionData(options);
  const PermitLimits limits = engine.FindPermitRoute("AA-BB Main");
  EXPECT_EQ(limits.LeftBlock, 0) << "the signal at West faces the walk";
  EXPECT_EQ(limits.RightBlock, 4) << "past S2 the same track goes on";

  AddPermit("AA-BB Main", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(Grant(0, "06:00", "10:00"), PermitRequestForm::Answer::Close);
  Minute(At(kMonday, 6, 0));
  Minute(At(kMonday, 6, 1));
  ASSERT_EQ(store().GetBlockStatus(0).PermitActive, 1);

  messages.Calls.clear();
  EXPECT_EQ(engine.ClearSignal(territory::SignalDevice(signal), 0, kScreenRequest), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Route will not clear because the next block has an active Block Permit.");

  Minute(At(kMonday, 10, 0));
  messages.Calls.clear();
  EXPECT_EQ(engine.ClearSignal(territory::SignalDevice(signal), 0, kScreenRequest), 1);
  EXPECT_TRUE(messages.Calls.empty());
}

// Two permits over one track: the one that ends first leaves the blocks out of service.
TEST_F(PermitTest, OverlappingPermitsKeepTheBlocksUntilTheLaterEnd) {
  AddPermit("AA-BB Main", 360, 600, {1});
  AddPermit("AA-BB Main", 420, 480, {1});
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(Grant(0, "06:00", "10:00"), PermitRequestForm::Answer::Close);
  Minute(At(kMonday, 6, 0));
  Minute(At(kMonday, 6, 1));
  Minute(At(kMonday, 6, 59));
  ASSERT_EQ(Grant(1, "07:00", "08:00"), PermitRequestForm::Answer::Close);
  Minute(At(kMonday, 7, 0));
  EXPECT_EQ(store().GetBlockStatus(2).PermitPending, 1) << "pending under the active permit";
  EXPECT_EQ(+store().GetBlockStatus(2).PermitPendingFrom, -1) << "an active block keeps no pending time";
  Minute(At(kMonday, 7, 1));
  EXPECT_EQ(+store().GetPermitStatus(1).State, kPermitActive);
  EXPECT_EQ(+store().GetBlockStatus(2).PermitActiveUntil, At(kMonday, 10, 0));

  Minute(At(kMonday, 8, 0));
  EXPECT_EQ(store().GetPermitStatus(1).InUse, 0);
  EXPECT_EQ(store().GetBlockStatus(2).PermitActive, 1);
  EXPECT_EQ(+store().GetBlockStatus(2).PermitActiveUntil, At(kMonday, 10, 0));
  Minute(At(kMonday, 10, 0));
  EXPECT_EQ(store().GetBlockStatus(2).PermitActive, 0);
}

TEST_F(PermitTest, PermitOnAnUnknownTrackTouchesNothingButRunsItsCourse) {
  AddPermit("ZZ-YY Nowhere", 360, 600, {1});
  Minute(At(kMonday, 5, 59));
  ASSERT_EQ(Grant(0, "06:00", "10:00"), PermitRequestForm::Answer::Close);
  const size_t recorded = playback.Calls.size();
  const size_t invalidated = shell.Invalidated.size();
  Minute(At(kMonday, 6, 0));
  Minute(At(kMonday, 6, 1));
  EXPECT_EQ(+store().GetPermitStatus(0).State, kPermitActive);
  Minute(At(kMonday, 10, 0));
  EXPECT_EQ(UsedSlots(), 0);
  for (size_t i = recorded; i < playback.Calls.size(); ++i) {
    EXPECT_NE(playback.Calls[i].Kind, PlaybackKind::BlockStatus);
    EXPECT_NE(playback.Calls[i].Kind, PlaybackKind::CrossStatus);
  }
  EXPECT_EQ(shell.Invalidated.size(), invalidated);
}

//   |B0 ==== B1 ==== D0 ==== B2 ==== B3 ==== B4 ==== SW0     with signals and other track names per case
TEST_F(PermitTest, PermitLimits) {
  using territory::End;
  using territory::TerritoryBuilder;
  struct Case {
    const char* what;
    std::function<void(TerritoryBuilder&)> arrange;
    const char* track;
    PermitLimits want;
  };
  const Case cases[] = {
      {"territory end to the switch", {}, "AA-BB Main", {0, 0, 4, 1}},
      {"stops before a block with a signal facing the walk",
       [](TerritoryBuilder& t) { t.Signal(3, End::Left, "S3"); },
       "AA-BB Main",
       {0, 0, 2, 1}},
      {"a signal in the start block does not stop it",
       [](TerritoryBuilder& t) { t.Signal(0, End::Right, "S0"); },
       "AA-BB Main",
       {0, 0, 4, 1}},
      {"past a signal only the same track",
       [this](TerritoryBuilder& t) {
         t.Signal(2, End::Right, "S2");
         Rename(4, "Other");
       },
       "AA-BB Main",
       {0, 0, 3, 1}},
      {"before a signal other tracks belong too",
       [this](TerritoryBuilder&) { Rename(0, "Other"); },
       "AA-BB Main",
       {0, 0, 4, 1}},
      {"from the first block of the track outward",
       [this](TerritoryBuilder& t) {
         Rename(0, "Other");
         Rename(1, "Other");
         t.Signal(2, End::Left, "S2");
       },
       "AA-BB Main",
       {2, 0, 4, 1}},
      {"over the diamond", {}, "AA-BB Cross", {6, 0, 5, 1}},
      {"unknown track", {}, "AA-BB Nowhere", {-1, 0, -1, 1}},
      {"names are case-sensitive", {}, "AA-BB main", {-1, 0, -1, 1}},
  };
  for (const Case& c : cases) {
    Build(c.arrange);
    const PermitLimits got = engine.FindPermitRoute(c.track);
    EXPECT_EQ(got.LeftBlock, c.want.LeftBlock) << c.what;
    EXPECT_EQ(got.LeftDirection, c.want.LeftDirection) << c.what;
    EXPECT_EQ(got.RightBlock, c.want.RightBlock) << c.what;
    EXPECT_EQ(got.RightDirection, c.want.RightDirection) << c.what;
  }
}

}  // namespace
