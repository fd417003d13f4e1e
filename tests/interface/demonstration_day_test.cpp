// A weekday on the demonstration territory (default.trk as the build wrote it, with its settings file), run
// headless the way the tick runs it, with a small dispatcher of the test's own: it finds each train's way to
// its exit, throws the switches for it, clears the signals ahead, lets trains out of the yard, grants the
// block permit and sends a relief crew. The day must show everything the territory is there to show.
#include <gtest/gtest.h>

#include <map>
#include <queue>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/engine.h"
#include "engine/permit_request.h"
#include "engine/run_control.h"
#include "engine/train_commands.h"
#include "interface/interface_service.h"
#include "store/fixed_text.h"
#include "store/status_codes.h"
#include "store/track_file.h"
#include "store/train_codes.h"
#include "store/wall_clock.h"
#include "tools/territory/demo_dispatcher.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int kMonday = 1;

using demo::DemoDispatcher;
using demo::OnTerritory;

class DemonstrationDayTest : public StoreFixture {
 protected:
  DemonstrationDayTest() {
    // Random draws reseed from the wall clock: a clock that moves on with every look gives a day that is the
    // same on every run and still varied.
    wallClock_ = 1000000;
    SetWallClockSource([]() -> std::time_t { return ++wallClock_; });
    EXPECT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, -1), 0);
    OptionData options = store().GetOptionData();
    options.HelpMessagesOn = 0;
    options.SlowOrdersActive = 1;
    options.BlockPermitsActive = 1;
    options.PermissionToEnterActive = 1;
    options.YardCapacityLimitActive = 1;
    options.CrewExpirationActive = 1;
    store().UpdateOptionData(options);
    store().SetInterfaceService(&service);
    store().Run.ClockSpeed = 20;
    store().Run.SimStopped = 0;
    store().Run.SimPaused = 0;
  }

  ~DemonstrationDayTest() override { SetWallClockSource(nullptr); }

  // The start time of that minute of the day.
  int StartRecord(int minute) {
    for (int i = 0; i < kMaxStartTimes; ++i)
      if (store().GetStartTime(i).InUse == 1 && store().GetStartTime(i).Word1 == minute) return i;
    return -1;
  }

  // The dispatcher's answers to what the engine put before it since the last minute.
  void Answer() {
    // Trains asking to come out of the yard: authorized for now, as the entry request's "Authorized" does.
    for (; entryRequests_ < dialogs.EntryDialogs.size(); ++entryRequests_) {
      const int slot = dialogs.EntryDialogs[entryRequests_].first;
      TrainStatus train = store().GetTrainStatus(slot);
      train.EntryGranted = 1;
      train.HeadEventTime = store().SimClock;
      store().UpdateTrainStatus(slot, train);
      ++answeredEntries;
    }
    // Block permit requests: granted as asked.
    for (; permitRequests_ < dialogs.PermitRequests.size(); ++permitRequests_) {
      PermitRequestForm form(store(), dialogs.PermitRequests[permitRequests_], 1);
      const PermitRequestForm::Fields fields = form.SetupWindow();
      if (form.Authorize(fields.GrantedFrom, fields.GrantedTo) == PermitRequestForm::Answer::Close) ++grantedPermits;
      form.Destroy();
    }
    // A crew out of time: a relief crew to where the train stands, there in ten minutes.
    const int slots = std::min(+store().GetCountData().Words[kCountRunningTrains], kMaxTrainStatus);
    for (int slot = 0; slot < slots; ++slot) {
      const TrainStatus train = store().GetTrainStatus(slot);
      if (!OnTerritory(train) || train.Reason != StopReason::CrewTimeExpired || train.State != TrainState::Stopped)
        continue;
      dialogs.CrewDialogAction = [this](int s) {
        TrainStatus t = store().GetTrainStatus(s);
        t.CrewChangeLocation = t.HeadBlock;
        t.CrewReadyTime = store().SimClock + 600;
        store().UpdateTrainStatus(s, t);
      };
      dialogs.CrewCallResults.push_back(1);
      store().Run.PopupTrains[0] = slot;
      engine.SetStopStatus();  // as the pop-up menu does
      engine.CmTrainChangeCrew(train_menu::kChangeCrew);
      dialogs.CrewDialogAction = nullptr;
      crewExpired.insert(slot);
    }
  }

  // What the minute shows.
  void Watch() {
    const CrossStatus diamond = store().GetCrossStatus(0);
    crossing = crossing || occupancy::IsOccupied(diamond.Occupancy[1]);
    for (int i = 0; i < kMaxPermitStatus && !permitInForce; ++i)
      permitInForce = store().GetPermitStatus(i).InUse == 1 && store().GetPermitStatus(i).State == kPermitActive;
    for (int b = 0; b < store().GetCountData().Words[kCountBlocks] && !slowInForce; ++b)
      slowInForce =
          store().GetBlockStatus(b).SlowSpeeds[0][0] != -1 || store().GetBlockStatus(b).SlowSpeeds[1][0] != -1;
    const int slots = std::min(+store().GetCountData().Words[kCountRunningTrains], kMaxTrainStatus);
    for (int slot = 0; slot < slots; ++slot) {
      const TrainStatus train = store().GetTrainStatus(slot);
      const std::string id = FieldText(train.TrainId);
      if (train.InUse != 1) continue;
      if (train.State == TrainState::Became) became.insert(id);
      if (OnTerritory(train)) {
        entered.insert(slot);
        if (leftOnce.count(slot) != 0) secondEntries.insert(id);
        if (train.State == TrainState::Stopped && train.Reason == StopReason::LocalWork) working.insert(slot);
        if (train.State == TrainState::Stopped &&
            (train.Reason == StopReason::DetectorAlarm || train.Reason == StopReason::DetectorProblem))
          detectorStops.insert(id);
        if (crewExpired.count(slot) != 0 && train.Reason != StopReason::CrewTimeExpired &&
            train.Reason != StopReason::CrewChange && train.CrewExpiry > store().SimClock + 11 * 3600)
          crewChanged.insert(id);
      } else if (entered.count(slot) != 0 && train.State == TrainState::Scheduled) {
        leftOnce.insert(slot);
      }
      if (working.count(slot) != 0 && train.LocalWorkIndex > 0) workDone.insert(id);
    }
  }

  static inline std::time_t wallClock_ = 0;
  Engine engine{store()};
  MessageInterfaceService service{engine};
  size_t entryRequests_ = 0, permitRequests_ = 0;
  int answeredEntries = 0, grantedPermits = 0;
  bool crossing = false, permitInForce = false, slowInForce = false;
  std::set<int> entered, leftOnce, working, crewExpired;
  std::set<std::string> became, secondEntries, workDone, detectorStops, crewChanged;
};

TEST_F(DemonstrationDayTest, AWeekdayShowsEverythingTheTerritoryHolds) {
  RunControl control(engine);
  ASSERT_TRUE(control.StartSimulation(kMonday, 300, StartRecord(300)));
  DemoDispatcher dispatcher(store(), engine);
  // Monday 05:00 to Tuesday 03:00: every train of Monday has come and gone, none of Tuesday's has come yet.
  const int32_t end = 2 * 86400 + 3 * 3600;
  while (store().SimClock < end) {
    // An internal error stops the run: its report is the failure.
    ASSERT_EQ(store().Run.SimStopped, 0) << (messages.Calls.empty() ? "" : messages.Calls.back().Text);
    engine.Tick();
    dispatcher.Dispatch();
    if (store().SimClock % 60 == 0) {
      Answer();
      Watch();
    }
  }

  for (const MessageCall& call : messages.Calls) ASSERT_NE(call.Caption, "Internal Error Trap") << call.Text;
  EXPECT_TRUE(crossing) << "a crossing railway train over the diamond";
  EXPECT_FALSE(workDone.empty()) << "local work in the mill's work area";
  EXPECT_EQ(secondEntries, (std::set<std::string>{"501"})) << "the local's second entry";
  EXPECT_GE(answeredEntries, 1) << "a train asking to come out of the yard";
  EXPECT_FALSE(detectorStops.empty()) << "a wayside detector report";
  const PerformStatus perform = store().GetPerformStatus();
  EXPECT_GT(perform.LostTime, 0);
  EXPECT_GT(perform.LateDepartures, 0);
  EXPECT_FALSE(crewChanged.empty()) << "a relief crew";
  EXPECT_EQ(grantedPermits, 1);
  EXPECT_TRUE(permitInForce);
  EXPECT_TRUE(slowInForce);
  EXPECT_EQ(became, (std::set<std::string>{"131"}));
  EXPECT_GE(entered.size(), 35u);
  // Every train that came has gone.
  EXPECT_EQ(perform.Trains, 0);
  for (const int slot : entered) {
    const TrainStatus train = store().GetTrainStatus(slot);
    EXPECT_TRUE(train.State == TrainState::Gone || train.State == TrainState::Became)
        << FieldText(train.TrainId) << " state " << +train.State << " in block " << train.HeadBlock;
  }
}

// Every signal, on an empty territory with the switches set for one of its routes, clears and cancels: no
// signal stands where its route would run off the territory.
TEST_F(DemonstrationDayTest, EverySignalClearsAndCancelsWithItsRouteFree) {
  store().InitSimulationStatus();
  DemoDispatcher planner(store(), engine);
  int signals = 0;
  for (int s = 0; s < store().GetCountData().Words[kCountSignals]; ++s) {
    const SignalData data = store().GetSignalData(s);
    if (data.InUse != 1) continue;
    ++signals;
    SCOPED_TRACE(FieldText(data.Name));
    const int direction = data.TrackCode == 20 || data.TrackCode == 22 ? 1 : 0;
    const std::vector<demo::Step> way = planner.Plan(data.Block, direction, [&](int block) {
      const BlockData b = store().GetBlockData(block);
      return direction == 1 ? b.RightSignal >= 0 || b.RightLocation[0] != 0
                            : b.LeftSignal >= 0 || b.LeftLocation[0] != 0;
    });
    ASSERT_FALSE(way.empty()) << "the route runs off the territory";
    ASSERT_TRUE(planner.LineUp(way, 1));
    EXPECT_EQ(engine.ClearSignal(3000 + s, 0, demo::kSource), 1);
    EXPECT_EQ(+store().GetSignalStatus(s).Aspect, direction == 1 ? 1 : 2);
    EXPECT_EQ(+store().GetBlockStatus(way.back().Device).Occupancy, direction == 1 ? 1 : 2);
    EXPECT_EQ(engine.ClearSignal(3000 + s, 0, demo::kSource), 1);
    EXPECT_EQ(+store().GetSignalStatus(s).Aspect, 5);
    for (const demo::Step& step : way) {
      if (step.Device >= 2000) continue;
      EXPECT_EQ(+store().GetBlockStatus(step.Device).Occupancy, 0) << step.Device;
    }
  }
  EXPECT_GE(signals, 50);
  for (const MessageCall& call : messages.Calls) EXPECT_NE(call.Caption, "Internal Error Trap") << call.Text;
}

}  // namespace
