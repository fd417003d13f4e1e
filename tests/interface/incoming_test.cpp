// The External I/O command file as an outside program uses it: lines written
// into the command file, the replies read back from the indication file.
#include "interface/incoming.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "interface/handover/handover.h"
#include "interface/outgoing.h"
#include "interface/xfer_msg.h"
#include "store/simulation_file.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"
#include "tests/interface/interface_fixture.h"
#include "tests/support/huge_files.h"
#include "tests/support/not_files.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Text = std::vector<std::string>;

// x:  2      9 10 11     18
//     ===B0=== SW0 ===B1===          y=4
//               `.
//                 ===B3=== (x 12-18) y=6
//            S0>          <S1     S2>
class IncomingTest : public InterfaceTest {
 protected:
  void SetUp() override {
    b0 = Block("B0", 2, 9);
    sw = t.Switch("SW0", {10, 4}, Diverge::DownRight);
    b1 = Block("B1", 11, 18);
    b3 = Block("B3", 12, 18, 6);
    t.Link(b0, SwitchDevice(sw));
    t.Link(SwitchDevice(sw), b1);
    t.Branch(sw, b3, End::Left);
    s0 = t.Signal(b0, End::Right, "S0");
    s1 = t.Signal(b1, End::Left, "S1");
    s2 = t.Signal(b1, End::Right, "S2");          // S0's route ends at B1
    t.StartTime(480, {}, {0, 1, 0, 0, 0, 0, 0});  // Mondays at 08:00
    Ready();
    ExternalIOMode();
    SetLast(-1);
  }
  void SetLast(int32_t number) {
    OptionData options = store().GetOptionData();
    options.EIOLastReceived = number;
    store().UpdateOptionData(options);
  }
  int32_t Last() { return store().GetOptionData().EIOLastReceived; }
  // Carries the lines out and returns what was sent back.
  Text Send(const Text& lines) {
    for (const std::string& line : lines) xfer::EIOProcessXferInMsg(engine, line);
    xfer::FlushEIOIndications(store());
    Text sent = Indications();
    for (std::string& line : sent)
      if (line.rfind("CMDERROR,", 0) == 0) line.replace(9, 4, "nnnn");
    std::filesystem::remove(File(xfer::kEIOIndicationFile));
    return sent;
  }
  static std::string Error(const std::string& text, const std::string& line) {
    return "CMDERROR,nnnn,\"" + text + "\",\"" + line + "\"";
  }
  std::string Track() {
    const std::string path = (folder() / "east line.trk").string();
    EXPECT_EQ(TrackFile(store()).Write(path, 0), 0);
    return path;
  }

  int b0 = 0, b1 = 0, b3 = 0, sw = 0, s0 = 0, s1 = 0, s2 = 0;
};

TEST_F(IncomingTest, EachRefusedLineGetsOneErrorWithItsTextAndTheLineAsRead) {
  const std::string longField(100, 'x');
  const std::string longLine = "control,0001,time," + std::string(390, 'y');
  struct Case {
    int32_t last;
    std::string line;
    std::string text;  // empty: no reply
    int32_t lastAfter;
  };
  const std::vector<Case> cases = {
      {4, "CONTROL,0005,TIME", "There are too few fields in the message", 4},
      {4, "switch,,SW0,x", "There is no message sequence number", 4},
      {4, "switch,10000,SW0,x,normal", "The message sequence number is greater than 9999", 4},
      {4, "switch,99999999999999999999,SW0,x,normal", "The message sequence number is greater than 9999", 4},
      {4, "switch,-1,SW0,x,normal", "The message sequence number is less than 0", 4},
      {7, "SWITCH,0007,SW0,x,normal", "The sequence is same as the last message, the message will not be processed", 7},
      {5, "switch,0007,SW0,x,normal",
       "There are missing sequence numbers between this message and the last, the message will be processed", 7},
      {9999, "switch,0000,SW0,x,normal", "", 0},
      {-1, "switch,0123,SW0,x,normal", "", 123},
      {4, "Train,0005,T1,x", "The message does not have a legal command type in the first field", 5},
      {4, "block,0005,B0,x,unoccupied", "The message does not have a legal command type in the first field", 5},
      {4, "control,0005,restart,x", "There message does not have a legal command type in the second field", 5},
      {4, longLine, "The message is longer than 399 characters", 4},
      {4, "control,0005,time,x,,,,,,,", "The message has more than 10 fields", 4},
      {4, "switch,0005," + longField + ",x,normal", "A field of the message is longer than 99 characters", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SetLast(c.last);
    OptionData options = store().GetOptionData();
    options.EIONextOutgoing = 42;
    store().UpdateOptionData(options);
    const Text sent = Send({c.line});
    if (c.text.empty()) {
      EXPECT_THAT(sent, IsEmpty());
    } else {
      // The queue cuts a line to 199 characters: compare the start.
      ASSERT_EQ(sent.size(), 1u);
      EXPECT_EQ(sent[0], Error(c.text, c.line).substr(0, xfer::kLineChars));
    }
    EXPECT_EQ(Last(), c.lastAfter);
  }
}

TEST_F(IncomingTest, SwitchCommandsThrowByNameInAnyCaseWithoutMessageBoxes) {
  EXPECT_THAT(Send({"switch,0001,sw0,12:00:00,normal"}), IsEmpty());  // already normal: nothing at all
  Send({"SWITCH,0002,Sw0,12:00:00,Reverse"});
  EXPECT_EQ(+store().GetSwitchStatus(sw).Position, 1);
  Send({"switch,0003,switch0,12:00:00,normal"});  // no switch bears that name: index 0
  EXPECT_EQ(+store().GetSwitchStatus(sw).Position, 0);
  const std::string notFound =
      "The switch named in the third field of the message could not be found on the track layout";
  EXPECT_THAT(
      Send({"switch,0004,,x,normal", "switch,0005,SW0,x,sideways", "switch,0006,SW9,x,normal",
            "switch,0007,switch7,x,normal"}),
      ElementsAre(
          Error("There message does not have a switch name in the third field", "switch,0004,,x,normal"),
          Error("There message does not have a legal switch command in the fifth field", "switch,0005,SW0,x,sideways"),
          Error(notFound, "switch,0006,SW9,x,normal"), Error(notFound, "switch,0007,switch7,x,normal")));
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

TEST_F(IncomingTest, SignalCommandsClearCancelAndFleetOnlyWhenTheStateDiffers) {
  EXPECT_THAT(Send({"signal,0001,S0,x,cancel", "signal,0002,s0,x,fleetcancel"}), IsEmpty());
  // A cleared, fleeted signal asked to clear and to fleet is left alone.
  SignalStatus status = store().GetSignalStatus(s0);
  status.Aspect = 1;
  status.Fleet = 1;
  store().UpdateSignalStatus(s0, status);
  Send({});  // the indication of that change
  EXPECT_THAT(Send({"signal,0003,S0,x,clear", "signal,0004,S0,x,fleet"}), IsEmpty());
  EXPECT_EQ(Aspect(s0), 1);
  EXPECT_THAT(Send({"signal,0005,,x,clear", "signal,0006,S0,x,green", "signal,0007,S7,x,clear"}),
              ElementsAre(Error("There message does not have a signal name in the third field", "signal,0005,,x,clear"),
                          Error("There message does not have a legal signal command in the fifth field",
                                "signal,0006,S0,x,green"),
                          Error("The signal named in the third field of the message could not be found on the track "
                                "layout",
                                "signal,0007,S7,x,clear")));
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

TEST_F(IncomingTest, ASignalCommandClearsTheRouteAndCancelsItAsTheDispatchersClickWould) {
  const Text cleared = Send({"signal,0001,s0,12:00:00,clear"});
  EXPECT_EQ(Aspect(s0), aspect::kClearRight);
  EXPECT_TRUE(occupancy::IsCleared(BlockCode(b1)));
  EXPECT_THAT(cleared, ::testing::Contains(::testing::StartsWith("SIGNAL,")));  // the change is indicated
  Send({"signal,0002,S0,12:00:00,cancel"});
  EXPECT_EQ(Aspect(s0), aspect::kStop);
  EXPECT_FALSE(occupancy::IsCleared(BlockCode(b1)));
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

TEST_F(IncomingTest, TimeAnswersWithTheClockAndAllDataReportsEveryDeviceInIndexOrder) {
  const Text time = Send({"control,0001,time,x"});
  ASSERT_EQ(time.size(), 1u);
  EXPECT_EQ(time[0], "TIME,0000,01-08:00:00");
  const Text all = Send({"control,0002,alldata,x"});
  ASSERT_EQ(all.size(), 7u);
  EXPECT_THAT(all[0], ::testing::StartsWith("BLOCK,0001,B0,"));
  EXPECT_THAT(all[1], ::testing::StartsWith("BLOCK,0002,B1,"));
  EXPECT_THAT(all[2], ::testing::StartsWith("BLOCK,0003,B3,"));
  EXPECT_THAT(all[3], ::testing::StartsWith("SWITCH,0004,SW0,"));
  EXPECT_THAT(all[4], ::testing::StartsWith("SIGNAL,0005,S0,"));
  EXPECT_THAT(all[5], ::testing::StartsWith("SIGNAL,0006,S1,"));
  EXPECT_THAT(all[6], ::testing::StartsWith("SIGNAL,0007,S2,"));
}

TEST_F(IncomingTest, StartStopAndTimeWaitForAPreparedRun) {
  run().AwaitingStart = 1;
  EXPECT_THAT(Send({"control,0001,time,x", "control,0002,start,x", "control,0003,alldata,x"}), IsEmpty());
  EXPECT_EQ(+run().SimStopped, 1);
  run().AwaitingStart = 0;
  Send({"control,0004,start,x"});
  EXPECT_EQ(+run().SimStopped, 0);
  Send({"control,0005,stop,x"});
  EXPECT_EQ(+run().SimStopped, 1);
}

TEST_F(IncomingTest, LoadPreparesTheRunAtTheStartTimeAndRestartsTheNumbering) {
  const std::string path = Track();
  SetLast(41);
  // A quoted path keeps its spaces.
  EXPECT_THAT(Send({"control,0042,load,12:00:00,\"" + path + "\",MO,08:00"}), IsEmpty());
  EXPECT_EQ(+run().AwaitingStart, 0);
  EXPECT_EQ(Last(), -1);
  EXPECT_EQ(store().SimClock, 86400 + 8 * 3600);
  const Text time = Send({"control,0500,time,x"});  // any number is accepted after a load
  ASSERT_EQ(time.size(), 1u);
  EXPECT_THAT(time[0], ::testing::EndsWith(",01-08:00:00"));
}

TEST_F(IncomingTest, LoadRefusalsNameTheFieldAndAStartTimeMissLeavesTheTerritoryUnstarted) {
  const std::string path = Track();
  const std::string missing = (folder() / "none.trk").string();
  struct Case {
    std::string line;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"control,0001,load,12:00:00," + missing + ",mo,08:00",
       "The track file name in the fifth field of the message could not be found"},
      {"control,0002,load,12:00:00," + path + ",xx,08:00",
       "There is not a legal day of the week code in the sixth field of the message"},
      {"control,0003,load,12:00:00," + path + ",mo,0800", "The time in the seventh field of the message is illegal"},
      {"control,0004,load,12:00:00," + path + ",mo,24:00",
       "The hour in the seventh field of the message is less than 0 or greater than 23"},
      {"control,0005,load,12:00:00," + path + ",mo,08:60",
       "The minute in the seventh field of the message is less than 0 or greater than 59"},
      {"control,0006,load,12:00:00," + path + ",tu,08:00",
       "A start time that is for the day and time in the sixth and seventh fields of the message could not be found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Text sent = Send({c.line});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_THAT(sent[0], ::testing::HasSubstr("\"" + c.text + "\""));
  }
  EXPECT_EQ(+run().AwaitingStart, 1);
  EXPECT_EQ(Last(), 6);
}

TEST_F(IncomingTest, SimLoadRestoresASavedRunUnstarted) {
  SetFieldText(store().TrackFilePath, Track());
  const std::string path = (folder() / "run.ssm").string();
  ASSERT_EQ(SimulationFile(store()).Save(path), 0);
  SetLast(8);
  EXPECT_THAT(Send({"control,0009,simload,12:00:00," + path}), IsEmpty());
  EXPECT_EQ(Last(), -1);
  EXPECT_EQ(+run().SimStopped, 1);
  const std::string missing = "control,0001,simload,12:00:00," + (folder() / "none.ssm").string();
  EXPECT_THAT(Send({missing}), ElementsAre(::testing::HasSubstr(
                                   "The simulation file name in the fifth field of the message could not be found")));
}

// A saved run whose train holds a time no run reaches is refused as damaged: the box, the refusal in the
// reply, and an empty run that the engine's ticks go on over.
TEST_F(IncomingTest, SimLoadRefusesARunWithATimeNoRunReaches) {
  SetFieldText(store().TrackFilePath, Track());
  TrainStatus train = store().GetTrainStatus(0);
  train.InUse = 1;
  store().UpdateTrainStatus(0, train, 1, 0);
  const std::string path = (folder() / "run.ssm").string();
  ASSERT_EQ(SimulationFile(store()).Save(path), 0);
  std::vector<char> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  constexpr size_t kStandingSince = 16 + 4 + 4 * kSimCountWords + kPathChars + 16 + 83;
  ASSERT_GT(bytes.size(), kStandingSince + 4);
  const int32_t damaged = -2147449928;
  std::memcpy(bytes.data() + kStandingSince, &damaged, 4);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  messages.Calls.clear();
  EXPECT_THAT(Send({"control,0009,simload,12:00:00," + path}),
              ElementsAre(::testing::HasSubstr(
                  "The simulation file name in the fifth field of the message could not be loaded")));
  ASSERT_FALSE(messages.Calls.empty());
  EXPECT_EQ(messages.Calls[0].Text, "Illegal simulation file!");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0);
  for (int i = 0; i < 30; ++i) engine.Tick();
}

// The reader: the file taken by its name in any case, every line read, nothing left behind.
TEST_F(IncomingTest, TheCommandFileIsConsumedWithCRLFAndAnUnfinishedLastLine) {
  {
    std::ofstream out(File("cv3COMMANDS.TXT"), std::ios::binary);
    out << "control,0001,time,x\r\ncontrol,0002,time,x\r\ncontrol,0003,time,x";
  }
  xfer::EIOReadXferInFile(engine);
  const Text sent = Indications();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[2], "TIME,0002,01-08:00:00");
  EXPECT_FALSE(std::filesystem::exists(File("cv3COMMANDS.TXT")));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandTaken)));
  EXPECT_EQ(Last(), 3);
}

TEST_F(IncomingTest, AFileStillLockedByItsWriterStaysInPlaceForTheNextPoll) {
  {
    std::ofstream out(File(xfer::kEIOCommandFile), std::ios::binary);
    out << "control,0001,time,x\n";
  }
  const int fd = ::open(File(xfer::kEIOCommandFile).c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);  // the outside program is in the middle of a batch
  xfer::EIOReadXferInFile(engine);
  EXPECT_THAT(Indications(), IsEmpty());
  EXPECT_TRUE(std::filesystem::exists(File(xfer::kEIOCommandFile)));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandTaken)));
  ::close(fd);
  xfer::EIOReadXferInFile(engine);
  EXPECT_THAT(Indications(), ElementsAre("TIME,0000,01-08:00:00"));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandFile)));
}

// A taken file left behind by a read that never finished was carried out, or never will be: its
// lines must not be carried out again, nor take the numbers of the lines that follow.
TEST_F(IncomingTest, AnOldTakenFileIsDeletedUnreadWhenTheNextCommandFileArrives) {
  SetLast(8);
  {
    std::ofstream out(File(xfer::kEIOCommandTaken), std::ios::binary);
    out << "control,0009,time,x\nswitch,0010,SW0,x,reverse\n";
  }
  xfer::EIOReadXferInFile(engine);  // no command file: nothing is touched
  EXPECT_TRUE(std::filesystem::exists(File(xfer::kEIOCommandTaken)));
  {
    std::ofstream out(File(xfer::kEIOCommandFile), std::ios::binary);
    out << "control,0009,time,x\n";
  }
  xfer::EIOReadXferInFile(engine);
  EXPECT_THAT(Indications(), ElementsAre("TIME,0000,01-08:00:00"));
  EXPECT_EQ(Last(), 9);
  EXPECT_EQ(store().GetSwitchStatus(sw).Position, 0);
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandTaken)));
}

// A folder, a FIFO or a device named as the command file is not taken, and nothing waits on it.
TEST_F(IncomingTest, ACommandFileThatIsNoRegularFileIsLeftAlone) {
  const std::filesystem::path fifo = File(xfer::kEIOCommandFile);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  not_files::WithinSeconds([&] { xfer::EIOReadXferInFile(engine); });
  EXPECT_THAT(Indications(), IsEmpty());
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// Loads of paths that name no regular file are refused as files that cannot be found: at once, with
// the territory and the run as they were.
TEST_F(IncomingTest, LoadAndSimLoadOfAFolderAFifoOrADeviceAreRefusedAtOnce) {
  SetLast(0);
  int number = 0;
  for (const not_files::NotAFile& path : not_files::Make(folder(), ".trk")) {
    SCOPED_TRACE(path.Kind);
    const auto line = [&](const std::string& command, const std::string& rest) {
      char sequence[16];
      std::snprintf(sequence, sizeof sequence, "%04d", ++number);
      return "control," + std::string(sequence) + "," + command + ",12:00:00," + path.Path + rest;
    };
    const std::string load = line("load", ",mo,08:00");
    const std::string simload = line("simload", "");
    Text sent;
    not_files::WithinSeconds([&] { sent = Send({load, simload}); });
    EXPECT_THAT(
        sent,
        ElementsAre(Error("The track file name in the fifth field of the message could not be found", load),
                    Error("The simulation file name in the fifth field of the message could not be found", simload)));
    EXPECT_EQ(xfer::FindDevice(store(), xfer::DeviceTable::Switch, "SW0"), sw);
    EXPECT_EQ(+run().AwaitingStart, 0);
  }
  EXPECT_THAT(ErrorTexts(), IsEmpty());
}

TEST_F(IncomingTest, ABurstWrittenWhileTheTicksRunIsProcessedInOrderWithNoLineLostOrRepeated) {
  constexpr int kLines = 10000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const std::string path = File(xfer::kEIOCommandFile).string();
    for (int i = 0; i < kLines;) {
      std::string batch;
      for (int n = 0; n < 37 && i < kLines; ++n, ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "control,%04d,time,x\n", i);
        batch += line;
      }
      while (!handover::AppendLocked(path, batch, false)) std::this_thread::yield();
    }
    done = true;
  });
  while (!done) xfer::EIOReadXferInFile(engine);
  writer.join();
  // A file its writer still held at the last poll is read now.
  xfer::EIOReadXferInFile(engine);
  const Text sent = Indications();
  ASSERT_EQ(sent.size(), static_cast<size_t>(kLines));
  for (const std::string& line : sent) ASSERT_THAT(line, ::testing::StartsWith("TIME,")) << line;
  EXPECT_EQ(Last(), kLines - 1);
}

// A command file of 40 GB: commands, then a stretch of 40 GB without a line end, then a command
// behind it. Each line is carried out as it is read, in a few megabytes: the long one is refused by
// its length, the load of a track file as large is refused from its size, and nothing is left.
TEST_F(IncomingTest, AFortyGigabyteCommandFileIsCarriedOutLineByLineInAFewMegabytes) {
  const std::string track = Track();
  std::ifstream in(track, std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), {});
  const std::string huge = (folder() / "huge.trk").string();
  ASSERT_TRUE(huge_files::MakeSparse(huge, huge_files::kFortyGB, whole));
  const std::string load = "control,0002,load,12:00:00," + huge + ",mo,08:00";
  ASSERT_TRUE(huge_files::MakeSparse(File(xfer::kEIOCommandFile).string(), huge_files::kFortyGB,
                                     "control,0001,time,x\r\n" + load + "\n", "\nTrain,0003,T1,x\n"));
  const huge_files::ChildRun child = huge_files::RunInChild([&] {
    xfer::EIOReadXferInFile(engine);
    return 0;
  });
  EXPECT_TRUE(child.Survived);
  EXPECT_LT(child.PeakGrowthKiB, huge_files::PeakBoundKiB(16));
  std::printf("40 GB command file: peak resident size grew by %ld KiB\n", child.PeakGrowthKiB);
  const Text sent = Indications();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0], "TIME,0000,01-08:00:00");
  EXPECT_THAT(sent[1], ::testing::HasSubstr(
                           "\"The track file name in the fifth field of the message could not be loaded\",\"" + load));
  EXPECT_THAT(sent[2], ::testing::HasSubstr("\"The message is longer than 399 characters\""));
  EXPECT_THAT(sent[3], ::testing::HasSubstr("\"The message does not have a legal command type in the first field\""));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandFile)));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOCommandTaken)));
}

}  // namespace

namespace {

// What the outside program could read in the indication file at the moment each box came up.
class BoxWatcher : public MessageService {
 public:
  explicit BoxWatcher(std::function<Text()> indications) : indications_(std::move(indications)) {}
  MessageResult ShowMessage(const std::string& text, const std::string&, MessageIcon, MessageButtons) override {
    Boxes.push_back({text, indications_()});
    return MessageResult::Ok;
  }
  struct Box {
    std::string Text;
    ::Text WrittenBefore;
  };
  std::vector<Box> Boxes;

 private:
  std::function<::Text()> indications_;
};

// A damaged file named by a load shows its box only once every reply of the batch is written, so an
// outside program never waits on a person for them.
TEST_F(IncomingTest, TheBoxOfADamagedLoadComesUpOnlyAfterEveryReplyOfTheBatchIsWritten) {
  struct Case {
    std::string command;
    const char* file;
    std::string box;
    std::string refusal;
  };
  const std::vector<Case> cases = {
      {"load", "damaged.trk", "Illegal track territory file!",
       "The track file name in the fifth field of the message could not be loaded"},
      {"simload", "damaged.ssm", "Illegal simulation file!",
       "The simulation file name in the fifth field of the message could not be loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ExternalIOMode();
    SetLast(-1);
    std::filesystem::remove(File(xfer::kEIOIndicationFile));
    const std::string damaged = (folder() / c.file).string();
    std::ofstream(damaged, std::ios::binary) << "no territory here";
    BoxWatcher boxes([this] { return Indications(); });
    store().SetMessageService(&boxes);
    {
      std::ofstream out(File(xfer::kEIOCommandFile), std::ios::binary);
      out << "control,0001,time,x\ncontrol,0002," << c.command << ",12:00:00," << damaged
          << ",mo,08:00\ncontrol,0003,time,x\n";
    }
    xfer::EIOReadXferInFile(engine);
    store().SetMessageService(&messages);
    const Text sent = Indications();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_THAT(sent[0], ::testing::StartsWith("TIME,"));
    EXPECT_THAT(sent[1], ::testing::HasSubstr("\"" + c.refusal + "\""));
    ASSERT_FALSE(boxes.Boxes.empty());
    EXPECT_EQ(boxes.Boxes[0].Text, c.box);
    for (const BoxWatcher::Box& box : boxes.Boxes) EXPECT_EQ(box.WrittenBefore, sent) << box.Text;
  }
}

}  // namespace
