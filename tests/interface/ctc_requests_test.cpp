// CTC control mode, the dispatcher's side: switch and signal clicks become
// control requests, checked against the interlocking's locks, marked on the
// devices and written to the controls file; a second click withdraws them.
#include "interface/ctc_requests.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "interface/outgoing.h"
#include "store/fixed_text.h"
#include "tests/engine/crossover_fixture.h"
#include "tests/engine/switch_refusal_table.h"
#include "tests/interface/interface_fixture.h"

namespace {

using Text = std::vector<std::string>;

class CTCRequestTest : public InterfaceTest {
 protected:
  int ThrowSwitch(int sw) { return engine.ThrowSwitch(SwitchDevice(sw), 0, 0, kScreenRequest); }
  int Click(int signal, uint8_t fromStack = 0) {
    return engine.ClearSignal(SignalDevice(signal), fromStack, kScreenRequest);
  }
  Text Flushed() {
    service.FlushCTCControls();
    return Controls();
  }
  // The switch and signal requests written so far, numbers left out: the store's own block lines
  // (routes released or counted) come between them.
  Text Requests() {
    Text requests;
    for (std::string line : Flushed()) {
      if (line.rfind("SWITCH,", 0) != 0 && line.rfind("SIGNAL,", 0) != 0) continue;
      requests.push_back(line.replace(7, 4, "nnnn"));
    }
    return requests;
  }
  void HelpMessages(bool on) {
    OptionData options = store().GetOptionData();
    options.HelpMessagesOn = on ? 1 : 0;
    store().UpdateOptionData(options);
  }
  SwitchStatus Switch(int sw) { return store().GetSwitchStatus(sw); }
  SignalStatus Signal(int signal) { return store().GetSignalStatus(signal); }
};

// The crossover territory (crossover_fixture.h): SWa and SWb are partners, SW0 stands alone.
class CTCSwitchTest : public CTCRequestTest {
 protected:
  void SetUp() override {
    const CrossoverTerritory c = DrawCrossover(t);
    swa = c.SWa, swb = c.SWb, sw0 = c.SW0;
    Ready();
    CTCMode();
  }
  void Lock(int sw, int code, int fleet) {
    SwitchStatus status = Switch(sw);
    status.Occupancy = static_cast<uint8_t>(code);
    status.FleetLocked = static_cast<uint8_t>(fleet);
    store().UpdateSwitchStatus(sw, status);
  }
  int swa, swb, sw0;
};

TEST_F(CTCSwitchTest, AClickRequestsTheOtherPositionOfTheSwitchAndItsPartnerWithoutMovingThem) {
  SetSwitchPosition(sw0, 1);
  EXPECT_EQ(ThrowSwitch(swa), 0);
  EXPECT_EQ(ThrowSwitch(sw0), 0);
  EXPECT_EQ(Flushed(), (Text{"SWITCH,0000,SWa,13:46:40,REVERSE", "SWITCH,0001,SWb,13:46:40,REVERSE",
                             "SWITCH,0002,SW0,13:46:40,NORMAL"}));
  for (int sw : {swa, swb}) {
    const SwitchStatus status = Switch(sw);
    EXPECT_EQ(+status.Position, 0) << sw;
    EXPECT_EQ(+status.ReverseRequested, 1) << sw;
    EXPECT_EQ(+status.NormalRequested, 0) << sw;
    EXPECT_EQ(+status.Highlight2, 1) << "blinks until the field answers";
  }
  EXPECT_EQ(+Switch(sw0).NormalRequested, 1);
  EXPECT_EQ(+Switch(sw0).Position, 1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CTCSwitchTest, ASecondClickWithdrawsTheRequestOfBothPartnersAtOnce) {
  ThrowSwitch(swb);
  Flushed();
  EXPECT_EQ(ThrowSwitch(swb), 1);
  EXPECT_EQ(Flushed(), (Text{"SWITCH,0000,SWb,13:46:40,REVERSE", "SWITCH,0001,SWa,13:46:40,REVERSE",
                             "SWITCH,0002,SWb,13:46:40,NORMAL", "SWITCH,0003,SWa,13:46:40,NORMAL"}));
  for (int sw : {swa, swb}) {
    const SwitchStatus status = Switch(sw);
    EXPECT_EQ(status.NormalRequested + status.ReverseRequested, 0) << sw;
    EXPECT_EQ(status.Highlight + status.Highlight2, 0) << sw;
    EXPECT_EQ(+status.Position, 0) << sw;
  }
}

TEST_F(CTCSwitchTest, ALockedSwitchOrPartnerRefusesWithItsTextAndSendsNothing) {
  for (const SwitchRefusalCase& c : kSwitchRefusals) {
    SCOPED_TRACE(testing::Message() << "partner " << c.Partner << " code " << c.Code << " fleet " << c.FleetLock
                                    << " failures " << c.Failures);
    messages.Calls.clear();
    for (int sw : {swa, swb}) {
      Lock(sw, 0, 0);
      SwitchStatus status = Switch(sw);
      status.Highlight = status.Highlight2 = 0;
      status.Refused = 0;
      status.NormalRequested = status.ReverseRequested = 0;
      status.FailureCount = -1;
      store().UpdateSwitchStatus(sw, status);
    }
    const int locked = c.Partner ? swb : swa;
    Lock(locked, c.Code, c.FleetLock);
    SwitchStatus failed = Switch(locked);
    failed.FailureCount = static_cast<int8_t>(c.Failures);
    store().UpdateSwitchStatus(locked, failed);
    Flushed();
    run().HighlightedDevice = -1;
    run().PendingRouteEntrance = run().PendingStackEntrance = 7;

    EXPECT_EQ(ThrowSwitch(swa), 0);
    EXPECT_EQ(MessageTexts(), c.CTCText ? Text{c.CTCText} : Text{});
    if (c.CTCText) {
      EXPECT_EQ(messages.Calls[0].Caption, "Corvane Dispatch");
      EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    }
    EXPECT_EQ(run().PendingRouteEntrance, -1);
    EXPECT_EQ(run().PendingStackEntrance, -1);
    if (!c.CTCRefuses) {
      EXPECT_EQ(+Switch(swa).Refused, 0);
      EXPECT_EQ(Switch(swa).ReverseRequested + Switch(swb).ReverseRequested, 2) << "both are requested";
      continue;
    }
    EXPECT_EQ(+Switch(swa).Refused, 1);
    EXPECT_EQ(+Switch(locked).Highlight, 1) << "the locked switch is drawn in error";
    EXPECT_EQ(+Switch(locked).Highlight2, 1);
    EXPECT_EQ(run().HighlightedDevice, SwitchDevice(locked));
    EXPECT_EQ(Switch(swa).ReverseRequested + Switch(swb).ReverseRequested, 0);
    EXPECT_EQ(store().CTCQueue.Count, 0);
  }
}

TEST_F(CTCSwitchTest, WithHelpMessagesOffARefusalOnlyMarksTheSwitch) {
  HelpMessages(false);
  Lock(sw0, 3, 0);
  EXPECT_EQ(ThrowSwitch(sw0), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+Switch(sw0).Refused, 1);
  EXPECT_EQ(run().HighlightedDevice, SwitchDevice(sw0));
}

TEST_F(CTCSwitchTest, PendingSwitchesBlinkWithTheCounterOnlyInCTCControlMode) {
  ThrowSwitch(sw0);
  for (int counter : {1, 2, 3}) {
    run().BlinkCounter = counter;
    service.CTCBlinkPendingSwitches();
    EXPECT_EQ(+Switch(sw0).Highlight, counter & 1) << counter;
    EXPECT_EQ(store().GetNoPaintStatus(SwitchDevice(sw0)), counter & 1) << "hidden on odd phases";
    EXPECT_EQ(+Switch(swa).Highlight, 0) << "a switch with nothing requested does not blink";
  }
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 0;
  store().UpdateOptionData(options);
  run().BlinkCounter = 4;
  service.CTCBlinkPendingSwitches();
  EXPECT_EQ(+Switch(sw0).Highlight, 1) << "left as it was";
}

// Each device of S0's route: its occupancy code and pending mark.
struct RouteState {
  int B1, SW0, D0, B2;
  int PendingB1, PendingSW0, PendingD0, PendingB2;
};

void ExpectRoute(const RouteState& r, int code, int pending) {
  EXPECT_EQ(r.B1, code);
  EXPECT_EQ(r.SW0, code);
  EXPECT_EQ(r.D0, code);
  EXPECT_EQ(r.B2, code);
  EXPECT_EQ(r.PendingB1, pending);
  EXPECT_EQ(r.PendingSW0, pending);
  EXPECT_EQ(r.PendingD0, pending);
  EXPECT_EQ(r.PendingB2, pending);
}

// x:  2    7  8  9     15 16 17    23
//     ==B0==  SW0  ==B1==  D0  ==B2==     y=4
//          S0>                      S2>
//                 B3 (x 16, y 1-3) and B4 (x 16, y 5-7) cross at D0
class CTCSignalTest : public CTCRequestTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 7);
    sw0 = t.Switch("SW0", {8, 4}, Diverge::UpRight);
    b1 = Block("B1", 9, 15);
    d0 = t.Diamond("D0", {16, 4}, 30);
    b2 = Block("B2", 17, 23);
    const int b3 = t.Block({.Name = "B3", .From = {16, 1}, .To = {16, 3}});
    const int b4 = t.Block({.Name = "B4", .From = {16, 5}, .To = {16, 7}});
    t.Link(b0, SwitchDevice(sw0));
    t.Link(SwitchDevice(sw0), b1);
    t.Link(b1, DiamondDevice(d0));
    t.Link(DiamondDevice(d0), b2);
    t.LinkCrossing(d0, b3, b4);
    s0 = t.Signal(b0, End::Right, "S0");
    s2 = t.Signal(b2, End::Right, "S2");
    Ready();
    CTCMode();
    kept_ = {store().GetBlockData(b1),   store().GetBlockData(b2),
             store().GetBlockStatus(b1), Switch(sw0),
             store().GetCrossStatus(d0), Signal(s0)};
  }
  // Every record a case of the refusal table changes, as the territory was drawn.
  void Restore() {
    store().UpdateBlockData(b1, kept_.B1Data);
    store().UpdateBlockData(b2, kept_.B2Data);
    store().UpdateBlockStatus(b1, kept_.B1);
    store().UpdateSwitchStatus(sw0, kept_.SW0);
    store().UpdateCrossStatus(d0, kept_.D0);
    store().UpdateSignalStatus(s0, kept_.S0);
  }
  int DiamondSide() { return store().GetCrossRoute(d0, b1); }
  // The field's indication of a cleared signal: the requests and the route's marks are gone.
  void FieldCleared() {
    SignalStatus status = Signal(s0);
    status.CTCClearRequest = status.RequestPending = 0;
    store().UpdateSignalStatus(s0, status);
    xfer::CTCClearRoutePending(engine, s0);
  }
  RouteState Route() {
    const CrossStatus cross = store().GetCrossStatus(d0);
    const int side = DiamondSide();
    return {BlockCode(b1),
            SwitchCode(sw0),
            cross.Occupancy[side],
            BlockCode(b2),
            store().GetBlockStatus(b1).RequestPending,
            Switch(sw0).RequestPending,
            cross.SidePending[side],
            store().GetBlockStatus(b2).RequestPending};
  }
  int b0, sw0, b1, d0, b2, s0, s2;

 private:
  struct Kept {
    BlockData B1Data, B2Data;
    BlockStatus B1;
    SwitchStatus SW0;
    CrossStatus D0;
    SignalStatus S0;
  } kept_{};
};

TEST_F(CTCSignalTest, AClickClearsTheRouteAsRequestedAndSendsClear) {
  EXPECT_EQ(Click(s0), 0);
  EXPECT_EQ(Flushed(), (Text{"SIGNAL,0000,S0,13:46:40,CLEAR"}));
  const SignalStatus status = Signal(s0);
  EXPECT_EQ(+status.Aspect, 1) << "the requested aspect shows at once";
  EXPECT_EQ(+status.CTCClearRequest, 1);
  EXPECT_EQ(+status.RequestPending, 1);
  ExpectRoute(Route(), 1, 1);
  EXPECT_EQ(+store().GetCrossStatus(d0).SidePending[1 - DiamondSide()], 0) << "only the side the route uses";
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(CTCSignalTest, ASecondClickBeforeTheIndicationDropsTheRouteAndSendsCancel) {
  Click(s0);
  EXPECT_EQ(Click(s0), 0);
  EXPECT_EQ(Requests(), (Text{"SIGNAL,nnnn,S0,13:46:40,CLEAR", "SIGNAL,nnnn,S0,13:46:40,CANCEL"}));
  const SignalStatus status = Signal(s0);
  EXPECT_EQ(+status.Aspect, 5);
  EXPECT_EQ(status.CTCClearRequest + status.CTCCancelRequest + status.RequestPending, 0);
  ExpectRoute(Route(), 0, 0);
}

TEST_F(CTCSignalTest, CancellingAClearedSignalMarksTheRouteUntilTheFieldAnswersAndAClickWithdrawsIt) {
  Click(s0);
  FieldCleared();
  ExpectRoute(Route(), 1, 0);
  Flushed();

  EXPECT_EQ(Click(s0), 1);
  SignalStatus status = Signal(s0);
  EXPECT_EQ(+status.Aspect, 5);
  EXPECT_EQ(+status.CTCCancelRequest, 1);
  EXPECT_EQ(+status.RequestPending, 1);
  ExpectRoute(Route(), 1, 1);  // released only when the field reports the stop

  EXPECT_EQ(Click(s0), 0);  // changed the dispatcher's mind
  status = Signal(s0);
  EXPECT_EQ(+status.Aspect, 1);
  EXPECT_EQ(status.CTCCancelRequest + status.CTCClearRequest + status.RequestPending, 0);
  ExpectRoute(Route(), 1, 0);
  EXPECT_EQ(Requests(),
            (Text{"SIGNAL,nnnn,S0,13:46:40,CLEAR", "SIGNAL,nnnn,S0,13:46:40,CANCEL", "SIGNAL,nnnn,S0,13:46:40,CLEAR"}));
}

TEST_F(CTCSignalTest, CancellingInFrontOfATrainAsksAndOnYesStartsTheRunningTime) {
  Click(s0);
  FieldCleared();
  PlaceTrain(0, b0, 1);
  Flushed();

  messages.ScriptAnswers({MessageResult::No});
  EXPECT_EQ(Click(s0), 0);
  EXPECT_EQ(MessageTexts(),
            (Text{"There is a train approaching the signal. Are you sure you want to cancel the signal?"}));
  EXPECT_EQ(messages.Calls[0].Buttons, MessageButtons::YesNo);
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Question);
  EXPECT_EQ(+Signal(s0).Aspect, 1) << "No changes nothing";
  ExpectRoute(Route(), 1, 0);
  EXPECT_EQ(store().CTCQueue.Count, 0);

  messages.Calls.clear();
  messages.ScriptAnswers({MessageResult::Yes});
  EXPECT_EQ(Click(s0), 1);
  EXPECT_EQ(MessageTexts(),
            (Text{"There is a train approaching the signal. Are you sure you want to cancel the signal?",
                  "Signal is running time.  It will cancel in five minutes."}));
  EXPECT_EQ(messages.Calls[1].Icon, MessageIcon::None) << "a notice, not a refusal";
  EXPECT_EQ(messages.Calls[1].Caption, FieldText(store().Captions[0], kCaptionChars));
  const SignalStatus status = Signal(s0);
  EXPECT_EQ(+status.RunningTimeEnd, store().SimClock + 300);
  EXPECT_EQ(+status.Aspect, 5);
  EXPECT_EQ(+status.CTCCancelRequest, 1);
  const RouteState route = Route();
  EXPECT_EQ(route.B1, 9);
  EXPECT_EQ(route.SW0, 9);
  EXPECT_EQ(route.B2, 9);
  EXPECT_EQ(Requests(), (Text{"SIGNAL,nnnn,S0,13:46:40,CLEAR", "SIGNAL,nnnn,S0,13:46:40,CANCEL"}));
}

// Unlike the engine's own cancel, the office's asks with the run stopped too, and leaves the train where it is.
TEST_F(CTCSignalTest, WithTheRunStoppedTheOfficeStillAsksAndTheTrainDoesNotRunPast) {
  Click(s0);
  FieldCleared();
  PlaceTrain(0, b0, 1, 4, 40);  // moving, near enough to run past an engine's cancel
  TrainStatus train = store().GetTrainStatus(0);
  train.HeadPosition = 5000;
  store().UpdateTrainStatus(0, train);
  RandomData random = store().GetRandomData();
  random.RunPastChance[0] = 100;
  store().UpdateRandomData(random);
  run().SimStopped = 1;
  Flushed();

  messages.ScriptAnswers({MessageResult::Yes});
  EXPECT_EQ(Click(s0), 1);
  EXPECT_EQ(MessageTexts(),
            (Text{"There is a train approaching the signal. Are you sure you want to cancel the signal?",
                  "Signal is running time.  It will cancel in five minutes."}));
  EXPECT_EQ(+Signal(s0).RunningTimeEnd, store().SimClock + 300);
  EXPECT_EQ(Route().B1, 9);
  EXPECT_EQ(+store().GetTrainStatus(0).RunPast, 0);
}

TEST_F(CTCSignalTest, ARunningTimeRefusesTheDispatcherButNotTheSignalStack) {
  SignalStatus status = Signal(s0);
  status.RunningTimeEnd = store().SimClock + 100;
  store().UpdateSignalStatus(s0, status);
  EXPECT_EQ(Click(s0), 0);
  EXPECT_EQ(MessageTexts(), (Text{"Signal cannot be cleared since it is running time."}));
  EXPECT_EQ(+Signal(s0).RefusalCount, 1);
  EXPECT_EQ(+Signal(s0).Aspect, 5);
  EXPECT_EQ(Click(s0, 1), 0);
  EXPECT_EQ(+Signal(s0).Aspect, 1);
  EXPECT_EQ(+Signal(s0).CTCClearRequest, 1);
  EXPECT_EQ(Flushed(), (Text{"SIGNAL,0000,S0,13:46:40,CLEAR"}));
}

TEST_F(CTCSignalTest, AFleetedSignalAtStopIsNotClearedByAClick) {
  SignalStatus status = Signal(s0);
  status.Fleet = 1;
  store().UpdateSignalStatus(s0, status);
  EXPECT_EQ(Click(s0), 1);
  EXPECT_EQ(+Signal(s0).Aspect, 5);
  ExpectRoute(Route(), 0, 0);
  EXPECT_EQ(store().CTCQueue.Count, 0);
}

TEST_F(CTCSignalTest, ARefusedRouteClearsNothingShowsItsTextAndMarksTheCulprit) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    const char* Text;
    int Culprit;  // the device drawn in error, -1 none
  };
  const Case cases[] = {
      {"switch requested to its other position",
       [this] {
         SwitchStatus sw = Switch(sw0);
         sw.ReverseRequested = 1;
         store().UpdateSwitchStatus(sw0, sw);
       },
       "Route will not clear because a switch has been requested to change position.", -1},
      {"no signal at the route's end",
       [this] {
         BlockData data = store().GetBlockData(b2);
         data.RightSignal = -1;
         store().UpdateBlockData(b2, data);
       },
       "Route will not clear because of an open switch.", -1},
      {"next block unsignalled",
       [this] {
         BlockData data = store().GetBlockData(b1);
         data.SignalledRight = 0;
         store().UpdateBlockData(b1, data);
       },
       "Route will not clear because the next block is not signalled in requested direction.", 1},
      {"next block occupied", [this] { SetBlockCode(b1, 3); },
       "Route will not clear because the next block is occupied.", 1},
      {"next block under a permit",
       [this] {
         BlockStatus status = store().GetBlockStatus(b1);
         status.PermitActive = 1;
         store().UpdateBlockStatus(b1, status);
       },
       "Route will not clear because the next block has an active Block Permit.", 1},
      {"next block cleared the other way", [this] { SetBlockCode(b1, 2); },
       "Route will not clear because the next block is cleared in the opposite direction.", 1},
      {"next block running time", [this] { SetBlockCode(b1, 10); },
       "Route will not clear because the next block is running time on an opposing signal.", 1},
      {"train on the crossing track",
       [this] {
         CrossStatus cross = store().GetCrossStatus(d0);
         cross.Occupancy[1 - DiamondSide()] = 3;
         store().UpdateCrossStatus(d0, cross);
       },
       "Route will not clear because there is a conflict at the next diamond.", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Restore();
    c.Arrange();
    Flushed();
    messages.Calls.clear();
    run().HighlightedDevice = -1;

    EXPECT_EQ(Click(s0), 0);
    EXPECT_EQ(MessageTexts(), Text{c.Text});
    EXPECT_EQ(+Signal(s0).Aspect, 5);
    EXPECT_EQ(+Signal(s0).RefusalCount, 1);
    EXPECT_EQ(Signal(s0).CTCClearRequest + Signal(s0).RequestPending, 0);
    EXPECT_EQ(store().CTCQueue.Count, 0);
    EXPECT_EQ(+store().GetBlockStatus(b2).Occupancy, 0) << "a refused route clears nothing";
    const int culprit = c.Culprit == 1 ? b1 : c.Culprit == 4 ? DiamondDevice(d0) : -1;
    EXPECT_EQ(run().HighlightedDevice, culprit);
    EXPECT_EQ(+Switch(sw0).Highlight, 0) << "a requested switch is not drawn in error";
  }
}

TEST_F(CTCSignalTest, ASwitchRequestedToThePositionItHasDoesNotBlockTheRoute) {
  SwitchStatus sw = Switch(sw0);
  sw.NormalRequested = 1;
  store().UpdateSwitchStatus(sw0, sw);
  EXPECT_EQ(Click(s0), 0);
  EXPECT_EQ(+Signal(s0).Aspect, 1);
  ExpectRoute(Route(), 1, 1);
}

TEST_F(CTCSignalTest, WithHelpMessagesOffARefusedRouteOnlyMarksTheCulprit) {
  HelpMessages(false);
  SetBlockCode(b1, 3);
  EXPECT_EQ(Click(s0), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+store().GetBlockStatus(b1).Highlight, 1);
  EXPECT_EQ(run().HighlightedDevice, b1);
}

}  // namespace
