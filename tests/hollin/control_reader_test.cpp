#include "hollin/core/control_reader.h"

#include <gmock/gmock.h>

#include "tests/hollin/hollin_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ControlReaderTest : public HollinTest {
 protected:
  // The simulator's side: it appends to the control file in its own spelling.
  void Control(const std::string& lines, const std::string& name = "cv3ctccontrols.txt") {
    std::ofstream(shared_ + name, std::ios::binary | std::ios::app) << lines;
  }
  // One tick's work.
  bool Tick() {
    data_->FlushIndications();
    return hollin::ReadControls(*data_);
  }
  int LastReceived() const { return data_->GetOptions().LastReceivedSequence; }
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    std::string text;
    for (int slot = 0; data_->GetIncoming(slot, text); ++slot) shown.push_back(text);
    return shown;
  }
};

TEST_F(ControlReaderTest, ASwitchRequestIsAnsweredWithItsPositionAsReceivedAndUnoccupied) {
  Control("SWITCH,0001,SW 12,14:05:00,Reverse\n");
  EXPECT_TRUE(Tick());
  EXPECT_FALSE(Exists(shared_ + "cv3ctccontrols.txt"));
  EXPECT_FALSE(Exists(shared_ + "CV3CTCcontrols.tmp"));
  Tick();
  EXPECT_THAT(Indications(), ElementsAre("SWITCH,0000,SW 12,14:05:09,Reverse,UNOCCUPIED"));
  EXPECT_THAT(Shown(), ElementsAre("SWITCH,0001,SW 12,14:05:00,Reverse"));

  // The same sequence again is a repeat; the next one is answered with the next own number.
  Control("SWITCH,0001,SW 12,14:05:00,Reverse\nSWITCH,0002,SW 12,14:05:10,NORMAL\n");
  Tick();
  Tick();
  EXPECT_THAT(Indications(), ElementsAre("SWITCH,0000,SW 12,14:05:09,Reverse,UNOCCUPIED",
                                         "SWITCH,0001,SW 12,14:05:09,NORMAL,UNOCCUPIED"));
  EXPECT_EQ(LastReceived(), 2);
  EXPECT_EQ(+data_->GetOptions().OwnSequence, 2);

  const auto log = Lines(program_ + "Test File Log.txt");
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0], "03/07/2026 14:05:09 Input  SWITCH,0001,SW 12,14:05:00,Reverse");
  EXPECT_EQ(log[1], "03/07/2026 14:05:09 Output SWITCH,0000,SW 12,14:05:09,Reverse,UNOCCUPIED");
}

TEST_F(ControlReaderTest, SignalsAreClearedOrStoppedAndOtherKindsOnlyShownAndLogged) {
  Control(
      "SIGNAL,0010,S4,14:00:00,CLEAR\n"
      "signal,0011,S5,14:00:00,cancel\n"
      "SIGNAL,0012,S6,14:00:00,FLEET\n"
      "BLOCK,0013,B1,14:00:00,OCCUPIED\n"
      "CONTROL,0014,TIME,14:00:00,x\n"
      "SWITCH,0015,SW1,14:00:00,MIDDLE\n"
      "TRAIN,0016,T1,14:00:00,REVERSE\n");
  Tick();
  Tick();
  EXPECT_THAT(Indications(), ElementsAre("SIGNAL,0000,S4,14:05:09,CLEARED", "SIGNAL,0001,S5,14:05:09,STOP"));
  EXPECT_EQ(Shown().size(), 7u);
  EXPECT_EQ(Lines(program_ + "Test File Log.txt").size(), 9u);
  EXPECT_EQ(LastReceived(), 16);  // every well-formed line moves the last sequence, whatever its kind
}

TEST_F(ControlReaderTest, MalformedLinesAreDroppedWithoutMovingTheSequence) {
  struct Case {
    const char* why;
    std::string line;
  };
  const Case cases[] = {
      {"three fields", "SWITCH,0005,SW1"},
      {"empty device", "SWITCH,0005,,14:00:00,REVERSE"},
      {"sequence above 9999", "SWITCH,10000,SW1,14:00:00,REVERSE"},
      {"negative sequence", "SWITCH,-1,SW1,14:00:00,REVERSE"},
      {"sequence not a number", "SWITCH,00x5,SW1,14:00:00,REVERSE"},
      {"empty sequence", "SWITCH,,SW1,14:00:00,REVERSE"},
      {"a field past 99 characters", "SWITCH,0005," + std::string(100, 'N') + ",14:00:00,REVERSE"},
      {"a line past 399 characters", "SWITCH,0005,SW1,14:00:00,REVERSE," + std::string(370, 'x')},
      {"empty line", ""},
  };
  for (const Case& c : cases) {
    hollin::ParseControl(*data_, c.line);
    EXPECT_EQ(LastReceived(), -1) << c.why;
  }
  Tick();
  EXPECT_FALSE(Exists(shared_ + "cv3ctcindications.txt"));

  // At the limits the line is still the simulator's: a field of 99, a line of 399, eleven fields.
  hollin::ParseControl(*data_, "SWITCH,0006," + std::string(99, 'N') + ",14:00:00,REVERSE");
  hollin::ParseControl(*data_, "SWITCH,0007,SW1,14:00:00,NORMAL,a,b,c,d,e,f");
  std::string longest = "SWITCH,0008,SW2,14:00:00,NORMAL";
  for (int i = 0; i < 4; ++i) longest += "," + std::string(91, 'z');
  ASSERT_EQ(longest.size(), 399u);
  hollin::ParseControl(*data_, longest);
  Tick();
  EXPECT_EQ(Indications().size(), 3u);
  EXPECT_EQ(LastReceived(), 8);
}

TEST_F(ControlReaderTest, TheFirstLineIsTakenWhateverItsNumberAndTheOwnNumberWraps) {
  HollinOptions options = data_->GetOptions();
  options.OwnSequence = 9999;
  data_->SetOptions(options);
  Control("SWITCH,0000,SW1,14:00:00,NORMAL\nSWITCH,0001,SW1,14:00:00,NORMAL\n");
  Tick();
  Tick();
  EXPECT_THAT(Indications(),
              ElementsAre("SWITCH,9999,SW1,14:05:09,NORMAL,UNOCCUPIED", "SWITCH,0000,SW1,14:05:09,NORMAL,UNOCCUPIED"));
}

TEST_F(ControlReaderTest, TheControlFileIsFoundWhateverItsLetterCase) {
  for (const char* name : {"CV3CTCcontrols.txt", "cv3ctccontrols.txt", "Cv3CtcControls.TXT"}) {
    Control("SIGNAL,0001,S1,14:00:00,CLEAR\n", name);
    EXPECT_TRUE(Tick()) << name;
    EXPECT_FALSE(Exists(shared_ + name)) << name;
    EXPECT_THAT(Shown(), ElementsAre("SIGNAL,0001,S1,14:00:00,CLEAR")) << name;
  }
  EXPECT_FALSE(Tick());  // nothing waiting
  EXPECT_FALSE(Exists(shared_ + "readme.txt"));
}

TEST_F(ControlReaderTest, WindowsLineEndsReadAndAnUnfinishedLastLineIsNotTaken) {
  Control("SWITCH,0001,SW1,14:00:00,REVERSE\r\nSWITCH,0002,SW2,14:00:00,REV");
  Tick();
  Tick();
  EXPECT_THAT(Shown(), ElementsAre("SWITCH,0001,SW1,14:00:00,REVERSE"));
  EXPECT_THAT(Indications(), ElementsAre("SWITCH,0000,SW1,14:05:09,REVERSE,UNOCCUPIED"));
  EXPECT_THAT(Read(program_ + "log.txt"), ::testing::HasSubstr("unfinished line"));
}

TEST_F(ControlReaderTest, AVeryLongLineIsCutNotOverrun) {
  Control(std::string(5000, 'q') + "\nSIGNAL,0003,S1,14:00:00,CANCEL\n");
  Tick();
  Tick();
  const auto shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], std::string(199, 'q'));
  EXPECT_EQ(Lines(program_ + "Test File Log.txt")[0].size(), 20u + 7u + 1999u);
  EXPECT_THAT(Indications(), ElementsAre("SIGNAL,0000,S1,14:05:09,STOP"));
}

TEST_F(ControlReaderTest, ABurstOf300LinesIsAnsweredInOrder) {
  std::string burst;
  for (int i = 0; i < 300; ++i)
    burst += "SWITCH," + std::to_string(1000 + i) + ",SW" + std::to_string(i) + ",14:00:00,REVERSE\n";
  Control(burst);
  Tick();
  // More than 150 answers are written at once, during the read.
  EXPECT_EQ(Indications().size(), 151u);
  Tick();
  const auto lines = Indications();
  ASSERT_EQ(lines.size(), 300u);
  for (int i = 0; i < 300; ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "SWITCH,%04d,SW%d,14:05:09,REVERSE,UNOCCUPIED", i, i);
    EXPECT_EQ(lines[static_cast<std::size_t>(i)], expected);
  }
  EXPECT_EQ(Shown().size(), 200u);  // the screen's list holds 200 lines
  EXPECT_THAT(Read(program_ + "log.txt"), ::testing::Not(::testing::HasSubstr("queue full")));
}

TEST_F(ControlReaderTest, AnOldTakeFileIsReplacedAndAnEmptyFileTakesNothing) {
  Write(shared_ + "CV3CTCcontrols.tmp", "SWITCH,0009,OLD,14:00:00,REVERSE\n");
  Control("");
  EXPECT_TRUE(Tick());
  EXPECT_THAT(Shown(), IsEmpty());
  EXPECT_FALSE(Exists(shared_ + "CV3CTCcontrols.tmp"));
}

}  // namespace
