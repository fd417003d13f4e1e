// The simulator in CTC control mode and the field-side test program's core
// sharing one folder: each writes its own file in its own spelling, and each
// takes the other's by a name in any letter case.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "hollin/core/control_reader.h"
#include "hollin/core/hollin_data.h"
#include "hollin/core/send_file.h"
#include "interface/outgoing.h"
#include "tests/interface/interface_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// x:  2    6  8   12 13 14   18
//     ==B0==  ==B1==  SW  ==B2==       y=4
//                      `.           S1> at B1's right end, S2> at B2's
//                        ==B4== (x 15-19) y=6
class CTCEndToEndTest : public InterfaceTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 6);
    b1 = Block("B1", 8, 12);
    sw = t.Switch("SW0", {13, 4}, Diverge::DownRight);
    b2 = Block("B2", 14, 18);
    const int b4 = Block("B4", 15, 19, 6);
    t.Link(b0, b1);
    t.Link(b1, SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b2);
    t.Branch(sw, b4, End::Left);
    s1 = t.Signal(b1, End::Right, "S1");
    t.Signal(b2, End::Right, "S2");  // where S1's route ends
    Ready();
    CTCMode();
    OptionData options = store().GetOptionData();
    options.CTCLastReceived = -1;
    store().UpdateOptionData(options);

    std::filesystem::create_directory(folder() / "hollin");
    hollin_ = std::make_unique<THollinData>((folder() / "hollin").string() + "/");
    hollin_->SetClock([] {
      std::tm now{};
      now.tm_year = 126;
      now.tm_mon = 2;
      now.tm_mday = 7;
      now.tm_hour = 14;
      now.tm_min = 5;
      now.tm_sec = 9;
      return now;
    });
    hollin_->LoadOptions();
    HollinOptions field = hollin_->GetOptions();
    std::snprintf(field.TestFileFolder, sizeof field.TestFileFolder, "%s/", io().c_str());
    hollin_->SetOptions(field);
  }

  // Hollin's Send File with these lines.
  void SendFile(const std::vector<std::string>& lines) {
    const std::string path = (folder() / "send.txt").string();
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      for (const std::string& line : lines) out << line << "\r\n";
    }
    ASSERT_EQ(hollin::SendFile(*hollin_, path), std::nullopt);
  }
  // One poll of each program: the simulator's tick, then Hollin's read of the control file.
  void Exchange() {
    engine.Tick();
    hollin::ReadControls(*hollin_);
    hollin_->FlushIndications();
  }
  std::vector<std::string> HollinIncoming() const {
    std::vector<std::string> lines;
    for (int slot = 0; slot < hollin_->IncomingCount(); ++slot) {
      std::string text;
      if (hollin_->GetIncoming(slot, text) == 1) lines.push_back(text);
    }
    return lines;
  }
  int HollinLastReceived() const { return hollin_->GetOptions().LastReceivedSequence; }

  int b0 = 0, b1 = 0, b2 = 0, sw = 0, s1 = 0;
  std::unique_ptr<THollinData> hollin_;
};

TEST_F(CTCEndToEndTest, ABlockLineFromHollinsSendFileMakesAProxyTrain) {
  SendFile({"BLOCK,B0,OCCUPIEDRIGHT"});
  // Hollin writes its own spelling; the simulator reads its name in another.
  ASSERT_TRUE(std::filesystem::exists(io() / "cv3ctcindications.txt"));
  Exchange();
  EXPECT_EQ(BlockCode(b0), 3);
  const int proxy = store().GetBlockStatus(b0).Trains[0];
  ASSERT_LT(proxy, kMaxTrainStatus);
  EXPECT_EQ(FieldText(store().GetTrainStatus(proxy).TrainId), "T10000");  // the fixture's clock: a Monday
  EXPECT_FALSE(std::filesystem::exists(io() / "cv3ctcindications.txt"));
  EXPECT_THAT(HollinIncoming(), IsEmpty()) << "the indication is not echoed back";
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kCTCControlFile)));
}

TEST_F(CTCEndToEndTest, SequenceNumbersAreCheckedOnBothSides) {
  // The simulator asks for the switch reversed, as a click in CTC control mode does.
  SwitchStatus request = store().GetSwitchStatus(sw);
  request.ReverseRequested = 1;
  request.Highlight = request.Highlight2 = 1;
  store().UpdateSwitchStatus(sw, request);
  xfer::CTCBuildXferOutMsg(store(), xfer::kCTCSwitch, sw);
  Exchange();
  EXPECT_THAT(HollinIncoming(), ElementsAre("SWITCH,0000,SW0,13:46:40,REVERSE"));
  EXPECT_EQ(HollinLastReceived(), 0);
  Exchange();  // Hollin's answer settles the switch
  EXPECT_EQ(+store().GetSwitchStatus(sw).Position, 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw).ReverseRequested, 0);
  EXPECT_EQ(+store().GetOptionData().CTCLastReceived, 0);

  // Hollin drops a repeated number: the request is not answered a second time.
  request = store().GetSwitchStatus(sw);
  request.NormalRequested = 1;
  store().UpdateSwitchStatus(sw, request);
  OptionData options = store().GetOptionData();
  options.CTCNextOutgoing = 0;
  store().UpdateOptionData(options);
  xfer::CTCBuildXferOutMsg(store(), xfer::kCTCSwitch, sw);
  Exchange();
  Exchange();
  EXPECT_EQ(+store().GetSwitchStatus(sw).Position, 1);
  EXPECT_EQ(+store().GetSwitchStatus(sw).NormalRequested, 1);

  // The simulator refuses Hollin's repeated number, and says so on the control file.
  HollinOptions field = hollin_->GetOptions();
  field.OwnSequence = 0;
  hollin_->SetOptions(field);
  SendFile({"BLOCK,B2,OCCUPIEDLEFT"});
  Exchange();
  EXPECT_EQ(BlockCode(b2), 0);
  ASSERT_EQ(HollinIncoming().size(), 1u);
  EXPECT_THAT(HollinIncoming()[0], StartsWith("CMDERROR,0001,\"The sequence is same as the last message"));
  EXPECT_THAT(HollinIncoming()[0], HasSubstr("\"BLOCK,0000,B2,14:05:09,OCCUPIEDLEFT\""));
}

// The dispatcher's clicks travel to the field and back: nothing moves on the layout until Hollin's
// answer arrives, and the answer settles the request.
TEST_F(CTCEndToEndTest, TheDispatchersClicksAreCarriedOutByTheFieldAndSettleTheLayout) {
  const auto lastToHollin = [this] {
    const std::vector<std::string> lines = HollinIncoming();
    return lines.empty() ? std::string() : lines.back();
  };
  for (const int position : {1, 0}) {
    engine.ThrowSwitch(SwitchDevice(sw), 0, 0, kScreenRequest);
    EXPECT_EQ(+store().GetSwitchStatus(sw).Position, 1 - position) << "not before the field answers";
    Exchange();
    EXPECT_THAT(lastToHollin(), ::testing::MatchesRegex(position == 1 ? "SWITCH,[0-9]{4},SW0,.*,REVERSE"
                                                                      : "SWITCH,[0-9]{4},SW0,.*,NORMAL"));
    Exchange();
    EXPECT_EQ(+store().GetSwitchStatus(sw).Position, position);
    EXPECT_EQ(+store().GetSwitchStatus(sw).RequestPending, 0);
  }

  // The route is set at once and waits, blinking, for the field's word.
  engine.ClearSignal(SignalDevice(s1), 0, kScreenRequest);
  EXPECT_EQ(+store().GetSignalStatus(s1).RequestPending, 1);
  Exchange();
  EXPECT_THAT(HollinIncoming(), ::testing::Contains(::testing::MatchesRegex("SIGNAL,[0-9]{4},S1,.*,CLEAR")));
  Exchange();
  EXPECT_EQ(Aspect(s1), aspect::kClearRight);
  EXPECT_EQ(+store().GetSignalStatus(s1).RequestPending, 0);

  engine.ClearSignal(SignalDevice(s1), 0, kScreenRequest);
  Exchange();
  EXPECT_THAT(HollinIncoming(), ::testing::Contains(::testing::MatchesRegex("SIGNAL,[0-9]{4},S1,.*,CANCEL")));
  Exchange();
  EXPECT_EQ(Aspect(s1), aspect::kStop);
  EXPECT_EQ(+store().GetSignalStatus(s1).RequestPending, 0);
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

// 300 time requests in one send file: every one reaches the simulator and every answer reaches
// Hollin, in order, through both programs' queues and flushes. (Hollin only logs the answers: a
// TIME line has three fields, too few for a request.)
TEST_F(CTCEndToEndTest, ABurstOf300LinesIsCarriedBothWays) {
  constexpr int kLines = 300;
  SendFile(std::vector<std::string>(kLines, "CONTROL,TIME,x"));
  Exchange();
  EXPECT_EQ(+store().GetOptionData().CTCLastReceived, kLines - 1);
  EXPECT_EQ(+store().GetOptionData().CTCNextOutgoing, kLines);
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kCTCControlFile)));
  std::ifstream log(folder() / "hollin" / "Test File Log.txt");
  int received = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("Input  TIME,") == std::string::npos) continue;
    char expected[32];
    std::snprintf(expected, sizeof expected, "TIME,%04d,01-08:00:00", received);
    ASSERT_THAT(line, HasSubstr(expected));
    ++received;
  }
  EXPECT_EQ(received, kLines);
}

}  // namespace
