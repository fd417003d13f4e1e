// The CTC field side's indications as the field sends them: lines written
// into the indications file or handed to the parser, their effect on the
// store, and the replies read back from the controls file.
#include "interface/ctc_indications.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "interface/ctc_reader.h"
#include "interface/outgoing.h"
#include "store/train_codes.h"
#include "store/wall_clock.h"
#include "tests/interface/interface_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Text = std::vector<std::string>;

constexpr uint16_t kNoTrain = 0xFFFF;

// x:  2    6  8   12 13 14   18  20   24
//     ==B0==  ==B1==  SW  ==B2==  ==B3==      y=4   (B1 connects: pass-through)
//         S0>    <S1L  `.      S2>
//                        ==B4== (x 15-19) y=6
class CTCIndicationTest : public InterfaceTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 6);
    b1 = Block("B1", 8, 12, 4, true);
    sw = t.Switch("SW0", {13, 4}, Diverge::DownRight);
    b2 = Block("B2", 14, 18);
    b3 = Block("B3", 20, 24);
    b4 = Block("B4", 15, 19, 6);
    t.Link(b0, b1);
    t.Link(b1, SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b2);
    t.Link(b2, b3);
    t.Branch(sw, b4, End::Left);
    s0 = t.Signal(b0, End::Right, "S0");
    s2 = t.Signal(b2, End::Right, "S2");
    s2l = t.Signal(b2, End::Left, "S2L");
    Ready();
    CTCMode();
    OptionData options = store().GetOptionData();
    options.CTCLastReceived = -1;
    store().UpdateOptionData(options);
  }

  // Hands the lines to the parser (numbered from 1 in order) and returns what went to the
  // controls file, error numbers shown as nnnn.
  Text Send(const Text& lines) {
    for (const std::string& line : lines) xfer::CTCProcessXferInMsg(engine, line);
    xfer::FlushCTCControls(store());
    Text sent = Controls();
    for (std::string& line : sent)
      if (line.rfind("CMDERROR,", 0) == 0) line.replace(9, 4, "nnnn");
    std::filesystem::remove(File(xfer::kCTCControlFile));
    return sent;
  }
  // One indication with the next sequence number.
  Text Indicate(const std::string& type, const std::string& name, const std::string& value,
                const std::string& extra = "") {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", ++sequence_);
    std::string line = type + "," + number + "," + name + ",12:00:00," + value;
    if (!extra.empty()) line += "," + extra;
    return Send({line});
  }
  static std::string Error(const std::string& text, const std::string& line) {
    return "CMDERROR,nnnn,\"" + text + "\",\"" + line + "\"";
  }

  void SetSwitchCode(int index, int code) {
    SwitchStatus status = store().GetSwitchStatus(index);
    status.Occupancy = static_cast<uint8_t>(code);
    store().UpdateSwitchStatus(index, status);
  }
  void SetAspect(int signal, int value) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Aspect = static_cast<int16_t>(value);
    store().UpdateSignalStatus(signal, status);
  }
  int FirstSlot(int block) { return store().GetBlockStatus(block).Trains[0]; }
  TrainStatus Train(int slot) { return store().GetTrainStatus(slot); }
  std::string TrainId(int slot) { return FieldText(store().GetTrainStatus(slot).TrainId); }

  int b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, sw = 0, s0 = 0, s2 = 0, s2l = 0;

 private:
  int sequence_ = 0;
};

TEST_F(CTCIndicationTest, EachRefusedIndicationGetsOneErrorOnTheControlsFile) {
  const std::string notFound = " named in the third field of the message could not be found on the track layout";
  struct Case {
    std::string line;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"CONTROL,0001,TIME", "There are too few fields in the message"},
      {"train,0002,T1,12:00:00", "The message does not have a legal command type in the first field"},
      {"control,0003,reboot,12:00:00", "This message does not have a legal command type in the second field"},
      {"switch,0004,,12:00:00,normal,unoccupied", "This message does not have a switch name in the third field"},
      {"switch,0005,SW0,12:00:00,sideways,unoccupied",
       "This message does not have a legal switch indication in the fifth field"},
      {"switch,0006,SW0,12:00:00,normal,broken", "This message does not have a legal switch status in the fifth field"},
      {"switch,0007,SW9,12:00:00,normal,unoccupied", "The switch" + notFound},
      {"signal,0008,,12:00:00,stop", "This message does not have a signal name in the third field"},
      {"signal,0009,S0,12:00:00,green", "This message does not have a legal signal status in the fifth field"},
      {"signal,0010,S9,12:00:00,stop", "The signal" + notFound},
      {"block,0011,,12:00:00,occupied", "This message does not have a block name in the third field"},
      {"block,0012,B0,12:00:00,full", "This message does not have a legal block indication in the fifth field"},
      {"block,0013,B9,12:00:00,occupied", "The block" + notFound},
      {"block,0014,block99,12:00:00,occupied", "The block" + notFound},
      {"block,0014,B0,12:00:00,occupied",
       "The sequence is same as the last message, the message will not be processed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_THAT(Send({c.line}), ElementsAre(Error(c.text, c.line)));
  }
  // A refused line changes nothing, and the replies carry the channel's own numbers.
  EXPECT_EQ(BlockCode(b0), 0);
  EXPECT_EQ(+store().GetOptionData().CTCNextOutgoing, static_cast<int32_t>(cases.size()));
  EXPECT_EQ(+store().GetOptionData().CTCLastReceived, 14);
  // A gap in the numbers is reported and the line still carried out.
  const std::string gap = "block,0016,B0,12:00:00,occupiedright";
  EXPECT_THAT(Send({gap}),
              ElementsAre(Error("There are missing sequence numbers between this message and the last, the message "
                                "will be processed",
                                gap)));
  EXPECT_EQ(BlockCode(b0), 3);
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

// The reader in the CTC tick: the file found in any letter case, CRLF lines and a last line
// without its end, the time asked for answered on the controls file, nothing left behind.
TEST_F(CTCIndicationTest, TheTickReadsTheIndicationsFileAndAnswersTheTime) {
  {
    std::ofstream out(File("cv3ctcINDICATIONS.TXT"), std::ios::binary);
    out << "CONTROL,0001,TIME,12:00:00\r\ncontrol,0002,start,12:00:00\r\nBlock,0003,b3,12:00:00,OccupiedLeft";
  }
  SetLogs(true);
  engine.Tick();
  EXPECT_THAT(Controls(), ElementsAre("TIME,0000,01-08:00:00"));
  EXPECT_EQ(BlockCode(b3), 4);
  // Every line read goes to the CTC log as it was received, and the answer after it.
  const Text log = Lines(xfer::kCTCLogFile);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_THAT(log[0], ::testing::StartsWith("Input "));
  EXPECT_THAT(log[2], ::testing::EndsWith(" Block,0003,b3,12:00:00,OccupiedLeft"));
  EXPECT_THAT(log[3], ::testing::StartsWith("Output"));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOLogFile)));
  EXPECT_FALSE(std::filesystem::exists(File("cv3ctcINDICATIONS.TXT")));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kCTCIndicationTaken)));
  // Outside CTC control mode the file is left for later.
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 0;
  store().UpdateOptionData(options);
  { std::ofstream(File(xfer::kCTCIndicationFile)) << "control,0004,time,x\n"; }
  xfer::CTCReadXferInFile(engine);
  EXPECT_TRUE(std::filesystem::exists(File(xfer::kCTCIndicationFile)));
}

// A train reported at an unknown place becomes a proxy train, which later indications move along
// the cleared route and finally off the territory. None of it is sent back to the field.
TEST_F(CTCIndicationTest, AProxyTrainFollowsTheBlockIndicationsAlongTheRoute) {
  store().ProxyTrainCount = 41;
  // 14 January 1970 was a Wednesday.
  SetWallClockSource([]() -> std::time_t { return 13 * 86400 + 12 * 3600; });
  EXPECT_THAT(Indicate("BLOCK", "b0", "OCCUPIEDRIGHT"), IsEmpty());
  EXPECT_EQ(BlockCode(b0), 3);
  const int proxy = FirstSlot(b0);
  ASSERT_LT(proxy, kMaxTrainStatus);
  EXPECT_EQ(TrainId(proxy), "T30041");
  EXPECT_EQ(store().ProxyTrainCount, 42);
  EXPECT_EQ(+Train(proxy).State, TrainState::OnTerritory);
  EXPECT_EQ(+Train(proxy).HeadDirection, 1);

  // The dispatcher's route from S0 over B1 and the switch into B2; the train enters B2.
  SetAspect(s0, 1);
  SetBlockCode(b1, 9);
  SetSwitchCode(sw, 1);
  SetBlockCode(b2, 1);
  EXPECT_THAT(Indicate("block", "B2", "occupied"), IsEmpty());
  EXPECT_EQ(BlockCode(b2), 3);
  EXPECT_EQ(BlockCode(b1), 3) << "a running-time connecting block is passed like a cleared one";
  EXPECT_EQ(SwitchCode(sw), 3);
  EXPECT_EQ(Aspect(s0), 5) << "the signal the train passed drops";
  EXPECT_EQ(FirstSlot(b2), proxy);
  EXPECT_EQ(+Train(proxy).HeadBlock, b2);
  EXPECT_EQ(store().ProxyTrainCount, 42) << "the known train moved; no second proxy";

  // The rear clears B0: the connecting track behind the train is released.
  EXPECT_THAT(Indicate("block", "B0", "unoccupied"), IsEmpty());
  EXPECT_EQ(BlockCode(b0), 0);
  EXPECT_EQ(FirstSlot(b0), kNoTrain);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_EQ(SwitchCode(sw), 0);
  EXPECT_EQ(+Train(proxy).HeadBlock, b2);
  EXPECT_EQ(+Train(proxy).RearBlock, b2);
  EXPECT_EQ(FirstSlot(b2), proxy);
  EXPECT_EQ(store().ProxyTrainCount, 42) << "a train that simply moved on makes no proxy";

  SetAspect(s2, 1);
  SetBlockCode(b3, 1);
  Indicate("block", "B3", "occupied");
  Indicate("block", "B2", "unoccupied");
  EXPECT_EQ(+Train(proxy).HeadBlock, b3);
  EXPECT_EQ(FirstSlot(b3), proxy);
  EXPECT_EQ(Aspect(s2), 5);

  // Nothing ahead of B3: the train has left the territory.
  Indicate("block", "B3", "unoccupied");
  EXPECT_EQ(BlockCode(b3), 0);
  EXPECT_EQ(+Train(proxy).State, TrainState::Gone);
  EXPECT_EQ(+Train(proxy).HeadBlock, -1);
  EXPECT_EQ(+Train(proxy).RearBlock, -1);

  engine.Tick();
  EXPECT_THAT(Controls(), IsEmpty()) << "indications are not echoed back as BLOCK lines";
}

TEST_F(CTCIndicationTest, ATrainEnteringABlockClearedLeftComesFromTheBlockBehindIt) {
  const int train = PlaceTrain(7, b2, 0);
  SetAspect(s2l, 2);
  SetSwitchCode(sw, 10);
  SetBlockCode(b1, 2);
  SetBlockCode(b0, 2);
  Indicate("block", "B0", "OCCUPIED");
  EXPECT_EQ(BlockCode(b0), 4);
  EXPECT_EQ(BlockCode(b1), 4);
  EXPECT_EQ(SwitchCode(sw), 4);
  EXPECT_EQ(Aspect(s2l), 5);
  EXPECT_EQ(FirstSlot(b0), train);
  EXPECT_EQ(+Train(train).HeadBlock, b0);
  EXPECT_EQ(+Train(train).RearBlock, b2) << "the rear is still in the block behind";
  EXPECT_EQ(+Train(train).HeadDirection, 0);
  EXPECT_EQ(store().ProxyTrainCount, 0);
}

// A walk back to a free block finds no train: the entered block gets a proxy of its own. An
// already occupied block ignores a second occupied indication.
TEST_F(CTCIndicationTest, AClearedBlockEnteredFromAFreeBlockGetsAProxy) {
  SetBlockCode(b3, 1);
  Indicate("block", "B3", "occupiedleft");
  const int proxy = FirstSlot(b3);
  ASSERT_LT(proxy, kMaxTrainStatus);
  EXPECT_EQ(BlockCode(b3), 3) << "the cleared route gives the direction, not the indication";
  EXPECT_EQ(+Train(proxy).HeadBlock, b3);
  Indicate("block", "B3", "occupiedleft");
  EXPECT_EQ(FirstSlot(b3), proxy);
  EXPECT_EQ(store().ProxyTrainCount, 1);
}

// The train found ahead is the leaving one, but it was recorded further on: the block it was
// recorded in holds some other train, which gets a proxy.
TEST_F(CTCIndicationTest, ALeavingTrainRecordedFurtherOnLeavesAProxyThere) {
  const int train = PlaceTrain(3, b0, 1);
  BlockStatus two = store().GetBlockStatus(b2);
  two.Occupancy = 3;
  two.Trains[0] = static_cast<uint16_t>(train);
  store().UpdateBlockStatus(b2, two);
  SetBlockCode(b3, 3);
  TrainStatus status = Train(train);
  status.HeadBlock = static_cast<int16_t>(b3);
  store().UpdateTrainStatus(train, status);

  Indicate("block", "B0", "unoccupied");
  EXPECT_EQ(+Train(train).HeadBlock, b2);
  const int other = FirstSlot(b3);
  ASSERT_LT(other, kMaxTrainStatus);
  EXPECT_NE(other, train);
  EXPECT_EQ(+Train(other).HeadBlock, b3);
  EXPECT_EQ(+Train(other).HeadDirection, 1);
}

TEST_F(CTCIndicationTest, ADifferentTrainAheadLeavesTheLeavingTrainAsItWas) {
  const int leaving = PlaceTrain(3, b2, 1);
  const int other = PlaceTrain(4, b3, 1);
  Indicate("block", "B2", "unoccupied");
  EXPECT_EQ(BlockCode(b2), 0);
  EXPECT_EQ(+Train(leaving).HeadBlock, b2);
  EXPECT_EQ(+Train(leaving).State, 3);
  EXPECT_EQ(+Train(other).HeadBlock, b3);
}

// With every train slot taken by a train on the territory the occupancy still shows, without a
// train; the block is released again without touching any train.
TEST_F(CTCIndicationTest, WithNoFreeTrainSlotTheBlockIsOccupiedWithoutATrain) {
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    train.State = TrainState::Stopped;
    store().UpdateTrainStatus(slot, train, 1);
  }
  Indicate("block", "B0", "occupiedright");
  EXPECT_EQ(BlockCode(b0), 3);
  EXPECT_EQ(FirstSlot(b0), kNoTrain);
  EXPECT_EQ(store().ProxyTrainCount, 0);
  SetBlockCode(b1, 3);  // the connecting track the unknown train is on
  Indicate("block", "B0", "unoccupied");
  EXPECT_EQ(BlockCode(b0), 0);
  EXPECT_EQ(BlockCode(b1), 0);
  for (int slot = 0; slot < kMaxTrainStatus; ++slot) ASSERT_EQ(+Train(slot).State, TrainState::Stopped) << slot;
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

TEST_F(CTCIndicationTest, ASwitchIndicationSettlesTheRequestedPosition) {
  struct Case {
    int normalRequested, reverseRequested;
    std::string position, status;
    int positionAfter, normalAfter, reverseAfter, blinkAfter;
  };
  const std::vector<Case> cases = {
      {0, 1, "Reverse", "UNOCCUPIED", 1, 0, 0, 0},  // the request answered
      {0, 0, "normal", "unoccupied", 0, 0, 0, 0},   // no request: the position is still set
      {0, 1, "NORMAL", "cleared", 0, 0, 1, 1},      // the other position: the request still waits
      {1, 0, "normal", "clearedright", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position + " " + c.status);
    SwitchStatus status = store().GetSwitchStatus(sw);
    status.Position = c.normalRequested == 1 ? 1 : 0;
    status.NormalRequested = static_cast<uint8_t>(c.normalRequested);
    status.ReverseRequested = static_cast<uint8_t>(c.reverseRequested);
    status.Highlight = status.Highlight2 = 1;
    store().UpdateSwitchStatus(sw, status);
    EXPECT_THAT(Indicate("SWITCH", "sw0", c.position, c.status), IsEmpty());
    const SwitchStatus after = store().GetSwitchStatus(sw);
    EXPECT_EQ(+after.Position, c.positionAfter);
    EXPECT_EQ(+after.NormalRequested, c.normalAfter);
    EXPECT_EQ(+after.ReverseRequested, c.reverseAfter);
    EXPECT_EQ(+after.Highlight, c.blinkAfter);
    EXPECT_EQ(+after.Highlight2, c.blinkAfter);
  }
  // An occupied status turns a cleared switch occupied in its direction; a free one stays free.
  SetSwitchCode(sw, 2);
  Indicate("switch", "SW0", "normal", "occupied");
  EXPECT_EQ(SwitchCode(sw), 4);
  SetSwitchCode(sw, 0);
  Indicate("switch", "SW0", "normal", "occupiedright");
  EXPECT_EQ(SwitchCode(sw), 0);
}

TEST_F(CTCIndicationTest, ASignalIndicationSettlesOnlyTheRequestWaitingForIt) {
  // S0's route cleared over B1 and the switch into B2, waiting for the field.
  SignalStatus signal = store().GetSignalStatus(s0);
  signal.Aspect = 1;
  signal.CTCClearRequest = signal.RequestPending = 1;
  store().UpdateSignalStatus(s0, signal);
  for (int block : {b1, b2}) {
    BlockStatus status = store().GetBlockStatus(block);
    status.Occupancy = 1;
    status.RequestPending = 1;
    store().UpdateBlockStatus(block, status);
  }
  SwitchStatus route = store().GetSwitchStatus(sw);
  route.Occupancy = 1;
  route.RequestPending = 1;
  store().UpdateSwitchStatus(sw, route);

  Indicate("signal", "S0", "stop");  // no cancel was asked for
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_EQ(+store().GetSignalStatus(s0).CTCClearRequest, 1);

  Indicate("SIGNAL", "s0", "Cleared");
  signal = store().GetSignalStatus(s0);
  EXPECT_EQ(+signal.CTCClearRequest, 0);
  EXPECT_EQ(+signal.RequestPending, 0);
  EXPECT_EQ(+signal.Aspect, 1);
  EXPECT_EQ(+store().GetBlockStatus(b1).RequestPending, 0);
  EXPECT_EQ(+store().GetBlockStatus(b2).RequestPending, 0);
  EXPECT_EQ(+store().GetSwitchStatus(sw).RequestPending, 0);
  EXPECT_EQ(BlockCode(b2), 1) << "the route stays cleared";

  Indicate("signal", "S0", "cleared");  // nothing waits for it any more
  EXPECT_EQ(Aspect(s0), 1);

  // The dispatcher cancelled: the signal shows stop already; the field's stop drops the route.
  signal = store().GetSignalStatus(s0);
  signal.Aspect = 5;
  signal.CTCCancelRequest = signal.RequestPending = 1;
  store().UpdateSignalStatus(s0, signal);
  BlockStatus marked = store().GetBlockStatus(b2);  // the route waits for the field's answer
  marked.RequestPending = 1;
  store().UpdateBlockStatus(b2, marked);
  Indicate("signal", "S0", "STOP");
  signal = store().GetSignalStatus(s0);
  EXPECT_EQ(+signal.CTCCancelRequest, 0);
  EXPECT_EQ(+signal.RequestPending, 0);
  EXPECT_EQ(BlockCode(b1), 0);
  EXPECT_EQ(SwitchCode(sw), 0);
  EXPECT_EQ(BlockCode(b2), 0);
  EXPECT_EQ(+store().GetBlockStatus(b2).RequestPending, 0) << "a released route flashes no more";
}

// The fixture's diamond line: B0, P (connecting), D0, B1, B2; B3 and B4 cross at D0.
class CTCDiamondIndicationTest : public CTCIndicationTest {
 protected:
  void SetUp() override {
    const DiamondLine line = DrawDiamondLine();
    b0 = line.B0;
    p = line.P;
    d = line.D;
    b1 = line.B1;
    Ready();
    CTCMode();
  }
  CrossStatus Cross() { return store().GetCrossStatus(d); }
  int p = 0, d = 0;
};

TEST_F(CTCDiamondIndicationTest, TheDiamondSideATrainPassesIsOccupiedAndReleasedWithIt) {
  const int train = PlaceTrain(5, b0, 1);
  SetBlockCode(p, 1);
  SetBlockCode(b1, 1);
  CrossStatus cross = Cross();
  cross.Occupancy[0] = 1;
  cross.Occupancy[1] = 2;  // crossing traffic cleared on the other route is left alone
  cross.SidePending[0] = cross.SidePending[1] = 1;
  store().UpdateCrossStatus(d, cross);

  Indicate("block", "B1", "occupied");
  EXPECT_EQ(+Cross().Occupancy[0], 3);
  EXPECT_EQ(+Cross().Occupancy[1], 2);
  EXPECT_EQ(+Cross().SidePending[0], 0);
  EXPECT_EQ(+Cross().SidePending[1], 0);
  EXPECT_EQ(BlockCode(p), 3);
  EXPECT_EQ(FirstSlot(b1), train);

  Indicate("block", "B0", "unoccupied");
  EXPECT_EQ(+Cross().Occupancy[0], 0);
  EXPECT_EQ(+Cross().Occupancy[1], 2);
  EXPECT_EQ(BlockCode(p), 0);
  EXPECT_EQ(+Train(train).HeadBlock, b1);
  EXPECT_EQ(+Train(train).State, 3);
}

}  // namespace
