// The interface logs: line format, the switch, and trimming past 1,000,000 bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interface/interface_log.h"
#include "interface/outgoing.h"
#include "tests/interface/interface_fixture.h"

namespace {

class LogTest : public InterfaceTest {
 protected:
  void SetUp() override {
    Block("B0", 2, 9);
    Ready();
  }
  // A log made of numbered lines of 100 bytes each (line end included) up to `size` bytes; the last
  // line takes what is left.
  std::string MakeLog(size_t size) {
    std::string bytes;
    for (int n = 0; bytes.size() < size; ++n) {
      std::string line = std::to_string(n) + ' ';
      line.resize(std::min<size_t>(99, size - bytes.size() - 1), '.');
      bytes += line + '\n';
    }
    std::ofstream(File(xfer::kEIOLogFile), std::ios::binary) << bytes;
    return bytes;
  }
};

TEST_F(LogTest, EachLineIsStampedWithItsDirection) {
  SetLogs(true);
  xfer::WriteEIOLog(store(), "SIGNAL,0000,S0,STOP,01-08:00:00", xfer::kLogOutput);
  xfer::WriteEIOLog(store(), "signal,0001,s0,x,clear", 0);
  xfer::WriteCTCLog(store(), "SWITCH,0002,SW0,13:46:40,NORMAL", xfer::kLogOutput);
  EXPECT_EQ(Bytes(xfer::kEIOLogFile),
            "Output 01/12/1970 13:46:40 SIGNAL,0000,S0,STOP,01-08:00:00\n"
            "Input  01/12/1970 13:46:40 signal,0001,s0,x,clear\n");
  EXPECT_EQ(Bytes(xfer::kCTCLogFile), "Output 01/12/1970 13:46:40 SWITCH,0002,SW0,13:46:40,NORMAL\n");
}

TEST_F(LogTest, WithItsSwitchOffALogIsNotWritten) {
  xfer::WriteEIOLog(store(), "x", xfer::kLogOutput);
  xfer::QueueCTCControlMsg(store(), "CONTROL,0000,ALLDATA,13:46:40");
  xfer::FlushCTCControls(store());
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOLogFile)));
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kCTCLogFile)));
}

TEST_F(LogTest, AFlushLogsEveryLineItWrites) {
  SetLogs(true);
  xfer::QueueEIOIndicationMsg(store(), "A,0000");
  xfer::QueueEIOIndicationMsg(store(), "B,0001");
  xfer::FlushEIOIndications(store());
  EXPECT_EQ(Lines(xfer::kEIOLogFile),
            (std::vector<std::string>{"Output 01/12/1970 13:46:40 A,0000", "Output 01/12/1970 13:46:40 B,0001"}));
}

// A log of 999,990 bytes passes 1,000,000 with its next line: it keeps
// exactly its newest whole lines within 800,000 bytes.
TEST_F(LogTest, ALogPastAMillionBytesKeepsItsNewestWholeLinesWithin800000) {
  SetLogs(true);
  const std::string before = MakeLog(999990);
  xfer::WriteEIOLog(store(), "SIGNAL,0005,S0,CLEARRIGHT,01-08:00:00", xfer::kLogOutput);
  const std::string added = "Output 01/12/1970 13:46:40 SIGNAL,0005,S0,CLEARRIGHT,01-08:00:00\n";
  const std::string whole = before + added;
  ASSERT_GT(whole.size(), xfer::kLogTrimAbove);

  size_t start = whole.size() - xfer::kLogKeep;
  while (whole[start - 1] != '\n') ++start;  // the first whole line from there on
  const std::string after = Bytes(xfer::kEIOLogFile);
  EXPECT_EQ(after, whole.substr(start));
  EXPECT_LE(after.size(), xfer::kLogKeep);
  EXPECT_GT(after.size() + 100, xfer::kLogKeep) << "no more than one line short of the limit";
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOLogCopy)));
}

TEST_F(LogTest, ALogAtTheLimitIsNotTrimmed) {
  SetLogs(true);
  const std::string before = MakeLog(999900);
  const std::string line(100 - 28, 'y');  // the log line is 100 bytes: exactly 1,000,000
  xfer::WriteEIOLog(store(), line, xfer::kLogOutput);
  EXPECT_EQ(Bytes(xfer::kEIOLogFile).size(), xfer::kLogTrimAbove);
}

// The trimming copy cannot be written (a folder stands in its place): the log stays whole.
TEST_F(LogTest, ATrimThatFailsLosesNothing) {
  SetLogs(true);
  const std::string before = MakeLog(1000100);
  std::filesystem::create_directory(File(xfer::kEIOLogCopy));
  xfer::WriteEIOLog(store(), "A,0001", xfer::kLogOutput);
  EXPECT_EQ(Bytes(xfer::kEIOLogFile), before + "Output 01/12/1970 13:46:40 A,0001\n");
}

TEST_F(LogTest, TheCTCLogIsTrimmedBesideItInTheExternalIOFolder) {
  OptionData options = store().GetOptionData();
  SetFieldText(options.CTCFolder, "/nonexistent/ctc/");
  store().UpdateOptionData(options);
  SetLogs(true);
  std::ofstream(File(xfer::kCTCLogFile), std::ios::binary) << std::string(1000000, '\n');
  xfer::WriteCTCLog(store(), "A,0001", xfer::kLogOutput);
  EXPECT_EQ(Bytes(xfer::kCTCLogFile).size(), xfer::kLogKeep);
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kCTCLogCopy)));
}

}  // namespace
