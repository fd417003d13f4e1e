// The outgoing queues: the flush at 151 waiting lines, a file that cannot be
// written, a queue that fills up, and the file handed over while lines wait.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "interface/outgoing.h"
#include "tests/interface/interface_fixture.h"

namespace {

class QueueTest : public InterfaceTest {
 protected:
  void SetUp() override {
    Block("B0", 2, 9);
    Ready();
  }
  static std::string Line(int n) { return "LINE," + std::to_string(n); }
  int32_t Queue(int n) { return xfer::QueueEIOIndicationMsg(store(), Line(n)); }
  std::vector<std::string> Expected(int from, int to) {
    std::vector<std::string> lines;
    for (int n = from; n <= to; ++n) lines.push_back(Line(n));
    return lines;
  }
};

TEST_F(QueueTest, The151stLineFlushesAllWaitingLinesAtOnce) {
  for (int n = 1; n <= 150; ++n) ASSERT_EQ(Queue(n), n - 1);
  EXPECT_FALSE(std::filesystem::exists(File(xfer::kEIOIndicationFile)));
  EXPECT_EQ(Queue(151), 150);
  EXPECT_EQ(Indications(), Expected(1, 151));
  EXPECT_EQ(store().EIOQueue.Count, 0);
  EXPECT_EQ(Queue(152), 0);
}

// The folder is missing: the queue keeps its lines until it is full, then
// drops (and logs) each further line; the next flush that can write sends them all.
TEST_F(QueueTest, AnUnwritableFileKeepsTheLinesUntilTheQueueIsFull) {
  const std::filesystem::path missing = io() / "later";
  OptionData options = store().GetOptionData();
  SetFieldText(options.EIOFolder, missing.string() + "/");
  store().UpdateOptionData(options);
  for (int n = 1; n <= 200; ++n) ASSERT_EQ(Queue(n), n - 1);
  EXPECT_EQ(store().EIOQueue.Count, 200);
  EXPECT_EQ(Queue(201), xfer::kQueueFull);

  xfer::FlushEIOIndications(store());
  EXPECT_EQ(store().EIOQueue.Count, 200);

  std::filesystem::create_directory(missing);
  xfer::FlushEIOIndications(store());
  const std::filesystem::path written = missing / xfer::kEIOIndicationFile;
  std::ifstream in(written);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines, Expected(1, 200));
  EXPECT_EQ(store().EIOQueue.Count, 0);
}

TEST_F(QueueTest, AFullQueueDropsALineButItStillTakesItsNumberAndTheDropIsLogged) {
  ExternalIOMode();
  SetLogs(true);
  const int held = ::open(File(xfer::kEIOIndicationFile).c_str(), O_WRONLY | O_CREAT, 0666);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);  // the outside program holds the file
  for (int n = 1; n <= 200; ++n) Queue(n);
  EXPECT_EQ(store().EIOQueue.Count, 200);
  SetBlockCode(0, 1);  // cleared, not counted: not sent
  BlockStatus block = store().GetBlockStatus(0);
  block.ClearedValue = 0;
  store().UpdateBlockStatus(0, block);
  EXPECT_EQ(+store().GetOptionData().EIONextOutgoing, 1);
  const std::string log = Bytes(xfer::kEIOLogFile);
  EXPECT_NE(
      log.find("Output 01/12/1970 13:46:40 Line dropped, the queue is full: BLOCK,0000,B0,CLEAREDRIGHT,01-08:00:00,0"),
      std::string::npos)
      << log;

  ::close(held);
  xfer::FlushEIOIndications(store());
  EXPECT_EQ(Indications(), Expected(1, 200));
}

TEST_F(QueueTest, ALineIsCutTo199CharactersAndStaysOneLine) {
  xfer::QueueEIOIndicationMsg(store(), std::string(250, 'x'));
  xfer::QueueEIOIndicationMsg(store(), "BLOCK,0001,East\nSIGNAL,0002,S0,STOP\r");
  xfer::FlushEIOIndications(store());
  EXPECT_EQ(Indications(), (std::vector<std::string>{std::string(199, 'x'), "BLOCK,0001,East SIGNAL,0002,S0,STOP "}));
}

// The outside program takes the file by renaming it: the next flush starts a new one.
TEST_F(QueueTest, AFileTakenAwayByItsReaderIsStartedAgain) {
  Queue(1);
  Queue(2);
  xfer::FlushEIOIndications(store());
  std::filesystem::rename(File(xfer::kEIOIndicationFile), File("cv3indications.tmp"));
  Queue(3);
  xfer::FlushEIOIndications(store());
  EXPECT_EQ(Lines("cv3indications.tmp"), Expected(1, 2));
  EXPECT_EQ(Indications(), Expected(3, 3));
}

TEST_F(QueueTest, TheControlQueueWritesTheControlFile) {
  for (int n = 1; n <= 151; ++n) xfer::QueueCTCControlMsg(store(), Line(n));
  EXPECT_EQ(Controls(), Expected(1, 151));
  EXPECT_EQ(store().CTCQueue.Count, 0);
}

}  // namespace
