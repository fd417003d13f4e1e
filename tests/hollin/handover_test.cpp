#include "hollin/core/handover.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "hollin/core/control_reader.h"
#include "tests/hollin/hollin_fixture.h"

namespace {

using HandoverTest = HollinTest;

// The simulator's side appends batches while Hollin takes the file away by renaming it:
// every line arrives once, whole and in order, however the two interleave.
TEST_F(HandoverTest, BatchesAppendedWhileTheReaderTakesTheFileArriveWholeAndOnce) {
  constexpr int kBatches = 200;
  std::atomic<bool> done{false};
  std::thread simulator([&] {
    for (int b = 0; b < kBatches; ++b) {
      std::string batch;
      for (int i = 0; i < 3; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "SIGNAL,%04d,S%d,10:00:00,CLEAR\n", (b * 3 + i) % 10000, b * 3 + i);
        batch += line;
      }
      ASSERT_TRUE(hollin::AppendLocked(shared_ + "cv3ctccontrols.txt", batch));
    }
    done = true;
  });
  while (!done) {
    hollin::ReadControls(*data_);
    data_->FlushIndications();
  }
  simulator.join();
  hollin::ReadControls(*data_);
  data_->FlushIndications();

  const auto answers = Indications();
  ASSERT_EQ(answers.size(), 3u * kBatches);
  for (int i = 0; i < 3 * kBatches; ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "SIGNAL,%04d,S%d,14:05:09,CLEARED", i, i);
    ASSERT_EQ(answers[static_cast<std::size_t>(i)], expected);
  }
  EXPECT_FALSE(Exists(program_ + "log.txt") && Read(program_ + "log.txt").find("unfinished") != std::string::npos);
}

// A writer that opened the file just before the reader renamed it away must not write into
// the taken file once it gets the lock: the reader has read and deleted it by then.
TEST_F(HandoverTest, AWriterHeldAtTheLockWritesToTheNewFileNotTheTakenOne) {
  const std::string path = shared_ + "cv3ctcindications.txt";
  Write(path, "OLD\n");
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  ASSERT_EQ(::flock(reader, LOCK_EX), 0);
  std::thread writer([&] { EXPECT_TRUE(hollin::AppendLocked(path, "NEW\n")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the writer waits at the lock
  ASSERT_EQ(std::rename(path.c_str(), (shared_ + "taken.tmp").c_str()), 0);
  ::close(reader);
  writer.join();
  EXPECT_EQ(Read(shared_ + "taken.tmp"), "OLD\n");
  EXPECT_EQ(Read(path), "NEW\n");
}

TEST_F(HandoverTest, AnExactNameIsPreferredAndOtherNamesDoNotMatch) {
  Write(shared_ + "CV3CTCCONTROLS.TXT", "x\n");
  EXPECT_EQ(hollin::FindFile(shared_, "CV3CTCcontrols.txt"), shared_ + "CV3CTCCONTROLS.TXT");
  Write(shared_ + "CV3CTCcontrols.txt", "y\n");
  EXPECT_EQ(hollin::FindFile(shared_, "CV3CTCcontrols.txt"), shared_ + "CV3CTCcontrols.txt");
  EXPECT_EQ(hollin::FindFile(shared_, "cv3ctcindications.txt"), "");
  std::filesystem::create_directory(shared_ + "cv3ctcindications.TXT");  // a folder is no file
  EXPECT_EQ(hollin::FindFile(shared_, "cv3ctcindications.txt"), "");
  EXPECT_EQ(hollin::FindFile(shared_ + "missing/", "x"), "");
}

}  // namespace
