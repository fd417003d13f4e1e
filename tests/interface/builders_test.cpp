// The lines the builders write, read back from the interface files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/outgoing.h"
#include "interface/xfer_msg.h"
#include "store/settings_files.h"
#include "tests/interface/interface_fixture.h"

namespace {

using Text = std::vector<std::string>;

// x:  2      9 10 11     18   20     27
//     ===B0=== SW0 ===B1===   ===B2===            y=4
//               `.
//                 ===B3=== (x 12-18)              y=6
//            S0>          <S1         S2>
class BuilderTest : public InterfaceTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 9);
    sw = t.Switch("SW0", {10, 4}, Diverge::DownRight);
    b1 = Block("B1", 11, 18);
    b2 = Block("B2", 20, 27);
    b3 = Block("B3", 12, 18, 6);
    t.Link(b0, SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b1);
    t.Link(b1, b2);
    t.Branch(sw, b3, End::Left);
    s0 = t.Signal(b0, End::Right, "S0");
    s1 = t.Signal(b1, End::Left, "S1");
    s2 = t.Signal(b2, End::Right, "");  // an unnamed signal
    t.Location("WEST", b0, End::Left);
    t.Location("EAST", b2, End::Right);
    freight = t.TrainType("Freight");
    Ready();
  }

  void SetSignal(int signal, int aspect, int fleet = 0, int failure = 0xFF, int refusals = 0) {
    SignalStatus status = store().GetSignalStatus(signal);
    status.Aspect = static_cast<int16_t>(aspect);
    status.Fleet = static_cast<int16_t>(fleet);
    status.FailureCount = static_cast<uint8_t>(failure);
    status.RefusalCount = static_cast<int16_t>(refusals);
    store().UpdateSignalStatus(signal, status);
  }
  // A running train with that ID and the freight type in the block's slot.
  void PutTrain(int slot, int block, int trainSlot, const char* id) {
    TrainStatus train = store().GetTrainStatus(trainSlot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    train.Type = static_cast<uint8_t>(freight);
    store().UpdateTrainStatus(trainSlot, train, 1);
    BlockStatus status = store().GetBlockStatus(block);
    status.Trains[slot] = static_cast<uint16_t>(trainSlot);
    store().UpdateBlockStatus(block, status, 0, 1);
  }
  void Flush() { xfer::FlushEIOIndications(store()); }

  int b0, b1, b2, b3, sw, s0, s1, s2, freight;
};

TEST_F(BuilderTest, ASwitchThrownThroughTheEngineIsReportedWithConsecutiveNumbers) {
  ExternalIOMode();
  EXPECT_EQ(engine.ThrowSwitch(SwitchDevice(sw), 0, 0, kScreenRequest), 1);
  engine.Tick();  // the tick's end flushes the waiting indications
  EXPECT_EQ(Indications(), (Text{"SWITCH,0000,SW0,REVERSE,01-08:00:00,UNOCCUPIED"}));
  EXPECT_EQ(engine.ThrowSwitch(SwitchDevice(sw), 0, 0, kScreenRequest), 1);
  engine.Tick();
  EXPECT_EQ(Indications(),
            (Text{"SWITCH,0000,SW0,REVERSE,01-08:00:00,UNOCCUPIED", "SWITCH,0001,SW0,NORMAL,01-08:00:00,UNOCCUPIED"}));
  EXPECT_EQ(Bytes(xfer::kEIOIndicationFile).find('\r'), std::string::npos) << "lines end in \\n only";
  EXPECT_EQ(+store().GetOptionData().EIONextOutgoing, 2);
}

TEST_F(BuilderTest, TheNumberWrapsAfter9999AndIsKeptInTheOptionFile) {
  ExternalIOMode();
  OptionData options = store().GetOptionData();
  options.EIONextOutgoing = 9999;
  store().UpdateOptionData(options);
  SetSignal(s0, 1);
  SetSignal(s0, 5);
  Flush();
  EXPECT_EQ(Indications(), (Text{"SIGNAL,9999,S0,CLEARRIGHT,01-08:00:00", "SIGNAL,0000,S0,STOP,01-08:00:00"}));

  ASSERT_EQ(SettingsFiles(store()).SaveOptions(), 0);
  options = store().GetOptionData();
  options.EIONextOutgoing = 77;
  store().UpdateOptionData(options);
  SettingsFiles(store()).LoadOptions();
  EXPECT_EQ(+store().GetOptionData().EIONextOutgoing, 1);
}

TEST_F(BuilderTest, ANumberOutsideItsRangeStartsAgainAtZero) {
  ExternalIOMode();
  OptionData options = store().GetOptionData();
  options.EIONextOutgoing = 123456;
  store().UpdateOptionData(options);
  SetSignal(s0, 1);
  Flush();
  EXPECT_EQ(Indications(), (Text{"SIGNAL,0000,S0,CLEARRIGHT,01-08:00:00"}));
}

TEST_F(BuilderTest, SignalWordsCarryFleetFailureAndErrorAndUnnamedDevicesTheirNumber) {
  ExternalIOMode();
  SetSignal(s0, 1, 1);           // cleared right, fleeted
  SetSignal(s1, 2, 1, 2);        // cleared left, fleeted, failed
  SetSignal(s2, 5, 0, 0xFF, 1);  // stop with a refusal; no name
  SetSignal(s2, 9);
  SetSignal(s2, 0);
  Flush();
  EXPECT_EQ(Indications(),
            (Text{"SIGNAL,0000,S0,CLEARRIGHTFLEET,01-08:00:00", "SIGNAL,0001,S1,CLEARLEFTFLEETFAILED,01-08:00:00",
                  "SIGNAL,0002,SIGNAL0002,STOPERROR,01-08:00:00", "SIGNAL,0003,SIGNAL0002,CLEARRIGHT,01-08:00:00",
                  "SIGNAL,0004,SIGNAL0002,UNKNOWNSTATUS,01-08:00:00"}));
}

TEST_F(BuilderTest, SwitchWordsCarryFailureOrError) {
  struct Case {
    int Position, Failure, Refused;
    const char* Word;
  };
  const Case cases[] = {{0, -1, 0, "NORMAL"},       {1, -1, 0, "REVERSE"},      {0, 2, 0, "NORMALFAILED"},
                        {1, -1, 1, "REVERSEERROR"}, {1, 0, 1, "REVERSEFAILED"}, {3, -1, 0, "UNKNOWNPOSITION"}};
  for (const Case& c : cases) {
    SwitchStatus status{};
    status.Position = static_cast<uint8_t>(c.Position);
    status.FailureCount = static_cast<int8_t>(c.Failure);
    status.Refused = static_cast<int16_t>(c.Refused);
    EXPECT_EQ(xfer::SwitchPositionWord(status), c.Word);
  }
  for (int code = -1; code <= 11; ++code) {
    const std::string word = xfer::OccupancyWord(code);
    const char* expected = code == 0 || code == 7 || code == 8 ? "UNOCCUPIED"
                           : code == 3                         ? "OCCUPIEDRIGHT"
                           : code == 4                         ? "OCCUPIEDLEFT"
                           : code == 1 || code == 9            ? "CLEAREDRIGHT"
                           : code == 2 || code == 10           ? "CLEAREDLEFT"
                                                               : "UNKNOWNSTATUS";
    EXPECT_EQ(word, expected) << code;
  }
}

TEST_F(BuilderTest, BlocksReportTheirTrainOrClearedCount) {
  ExternalIOMode();
  store().SimClock = 3 * 86400 + 13 * 3600 + 5 * 60 + 9;
  PutTrain(0, b1, 4, "101");
  PutTrain(1, b1, 5, "202");
  SetBlockCode(b1, 3);  // occupied right: the first slot's train
  SetBlockCode(b1, 4);  // occupied left: the last used slot's train
  BlockStatus cleared = store().GetBlockStatus(b2);
  cleared.Occupancy = 1;
  cleared.ClearedValue = 2;
  store().UpdateBlockStatus(b2, cleared);
  SetBlockCode(b2, 0);
  SetBlockCode(b3, 4);  // occupied without a train: held back until a train is entered
  Flush();
  EXPECT_EQ(Indications(),
            (Text{"BLOCK,0000,B1,OCCUPIEDRIGHT,03-13:05:09,101", "BLOCK,0001,B1,OCCUPIEDLEFT,03-13:05:09,202",
                  "BLOCK,0002,B2,CLEAREDRIGHT,03-13:05:09,2", "BLOCK,0003,B2,UNOCCUPIED,03-13:05:09"}));
}

TEST_F(BuilderTest, NothingIsSentBeforeARunIsPreparedOrOutsideTheMode) {
  SetSignal(s0, 1);  // neither mode on
  ExternalIOMode();
  run().AwaitingStart = 1;
  SetSignal(s0, 5);
  EXPECT_EQ(store().EIOQueue.Count, 0);
  EXPECT_EQ(+store().GetOptionData().EIONextOutgoing, 0);
}

TEST_F(BuilderTest, TheClockNotStartedReadsDayZeroMidnight) {
  ExternalIOMode();
  store().ResetSimClock();
  SetSignal(s0, 1);
  Flush();
  EXPECT_EQ(Indications(), (Text{"SIGNAL,0000,S0,CLEARRIGHT,00-00:00:00"}));
}

TEST_F(BuilderTest, CTCControlLinesCarryTheRequestAndTheWallClock) {
  CTCMode();
  SwitchStatus both = store().GetSwitchStatus(sw);
  both.NormalRequested = both.ReverseRequested = 1;  // reverse wins
  store().UpdateSwitchStatus(sw, both);
  service.CTCBuildXferOutMsg(xfer::kCTCSwitch, sw);
  SignalStatus signal = store().GetSignalStatus(s0);
  signal.CTCClearRequest = signal.CTCCancelRequest = 1;  // cancel wins
  store().UpdateSignalStatus(s0, signal);
  service.CTCBuildXferOutMsg(xfer::kCTCSignal, s0);
  service.CTCBuildXferOutMsg(xfer::kCTCSignal, s1);  // nothing requested
  PutTrain(0, b1, 4, "101");
  SetBlockCode(b1, 3);  // the store's updater sends the block
  SetBlockCode(b2, 2);  // cleared, not counted yet: nothing to send
  xfer::BuildCTCAllDataMsg(store());
  xfer::FlushCTCControls(store());
  EXPECT_EQ(Controls(), (Text{"SWITCH,0000,SW0,13:46:40,REVERSE", "SIGNAL,0001,S0,13:46:40,CANCEL",
                              "SIGNAL,0002,S1,13:46:40,UNKNOWNSTATUS",
                              "BLOCK,0003,B1,OCCUPIEDRIGHT,13:46:40,101,Freight", "CONTROL,0004,ALLDATA,13:46:40"}));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOIndicationFile)));
}

TEST_F(BuilderTest, InternalErrorsSendNothingAndKeepTheNumber) {
  CTCMode();
  service.CTCBuildXferOutMsg(xfer::kCTCSwitch, sw);  // no request to send
  service.CTCBuildXferOutMsg(5, 0);
  service.CTCBuildXferOutMsg(xfer::kCTCBlock, 2000);
  ExternalIOMode();
  service.EIOBuildXferOutMsg(4, 0);
  service.EIOBuildXferOutMsg(xfer::kEIOSignal, 1000);
  const std::vector<std::string> texts = ErrorTexts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_NE(texts[0].find("Switch request error - CTCBuildXferOutMsg"), std::string::npos);
  EXPECT_NE(texts[1].find("Device type error - CTCBuildXferOutMsg"), std::string::npos);
  EXPECT_NE(texts[2].find("Block index error - BuildXferOutMsg"), std::string::npos);
  EXPECT_NE(texts[3].find("Device type error - EIOBuildXferOutMsg"), std::string::npos);
  EXPECT_NE(texts[4].find("Signal index error - BuildXferOutMsg"), std::string::npos);
  EXPECT_EQ(store().CTCQueue.Count + store().EIOQueue.Count, 0);
  EXPECT_EQ(store().GetOptionData().CTCNextOutgoing + store().GetOptionData().EIONextOutgoing, 0);
}

}  // namespace
