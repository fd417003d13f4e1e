#include "interface/handover/handover.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
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
      ASSERT_TRUE(handover::AppendLocked(shared_ + "cv3ctccontrols.txt", batch, true));
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

// Whether some thread waits at a lock on the file with inode `inode`: the kernel lists it in
// /proc/locks with "->" in front of the waiting lock.
bool SomeoneWaitsAtTheLock(ino_t inode) {
  std::ifstream locks("/proc/locks");
  const std::string mark = ":" + std::to_string(inode) + " ";
  for (std::string line; std::getline(locks, line);)
    if (line.find("->") != std::string::npos && line.find(mark) != std::string::npos) return true;
  return false;
}

// A writer that opened the file just before the reader took it away must not write into the
// taken file once it gets the lock: the reader has read and deleted it by then.
TEST_F(HandoverTest, AWriterHeldAtTheLockWritesToTheNewFileNotTheTakenOne) {
  const std::string path = shared_ + "cv3ctcindications.txt";
  Write(path, "OLD\n");
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  ASSERT_EQ(::flock(reader, LOCK_EX), 0);
  struct stat taken {};
  ASSERT_EQ(::fstat(reader, &taken), 0);
  std::thread writer([&] { EXPECT_TRUE(handover::AppendLocked(path, "NEW\n", true)); });
  while (!SomeoneWaitsAtTheLock(taken.st_ino)) std::this_thread::yield();  // the writer is at the lock
  ASSERT_EQ(std::rename(path.c_str(), (shared_ + "taken.tmp").c_str()), 0);
  ::close(reader);
  writer.join();
  EXPECT_EQ(Read(shared_ + "taken.tmp"), "OLD\n");
  EXPECT_EQ(Read(path), "NEW\n");
}

// The simulator's writer never waits: a file the reader holds is left for a later flush.
TEST_F(HandoverTest, AWriterThatDoesNotWaitLeavesAHeldFileAsItWas) {
  const std::string path = shared_ + "cv3ctccontrols.txt";
  Write(path, "OLD\n");
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(reader, LOCK_EX), 0);
  EXPECT_FALSE(handover::AppendLocked(path, "NEW\n", false));
  ::close(reader);
  EXPECT_EQ(Read(path), "OLD\n");
  EXPECT_TRUE(handover::AppendLocked(path, "NEW\n", false));
  EXPECT_EQ(Read(path), "OLD\nNEW\n");
}

TEST_F(HandoverTest, AnExactNameIsPreferredAndOtherNamesDoNotMatch) {
  Write(shared_ + "CV3CTCCONTROLS.TXT", "x\n");
  EXPECT_EQ(handover::FindFile(shared_, "CV3CTCcontrols.txt"), shared_ + "CV3CTCCONTROLS.TXT");
  Write(shared_ + "CV3CTCcontrols.txt", "y\n");
  EXPECT_EQ(handover::FindFile(shared_, "CV3CTCcontrols.txt"), shared_ + "CV3CTCcontrols.txt");
  EXPECT_EQ(handover::FindFile(shared_, "cv3ctcindications.txt"), "");
  std::filesystem::create_directory(shared_ + "cv3ctcindications.TXT");  // a folder is no file
  EXPECT_EQ(handover::FindFile(shared_, "cv3ctcindications.txt"), "");
  std::filesystem::create_symlink(shared_ + "CV3CTCCONTROLS.TXT", shared_ + "CV3ctcindications.txt");  // to a file
  EXPECT_EQ(handover::FindFile(shared_, "cv3ctcindications.txt"), shared_ + "CV3ctcindications.txt");
  EXPECT_EQ(handover::FindFile(shared_ + "missing/", "x"), "");
}

}  // namespace
