#include <gmock/gmock.h>

#include <cstring>

#include "tests/hollin/hollin_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using OptionsTest = HollinTest;

TEST_F(OptionsTest, MissingFileGivesDefaultsAnErrorLineAndIsWrittenOnTheFirstChange) {
  const std::string folder = (root_ / "fresh").string() + "/";
  std::filesystem::create_directories(folder);
  THollinData data(folder);
  data.SetClock([this] { return now_; });
  EXPECT_EQ(data.LoadOptions(), hollin::LoadResult::Missing);
  const HollinOptions options = data.GetOptions();
  EXPECT_EQ(+options.Interval, 10);
  EXPECT_EQ(+options.OwnSequence, 0);
  EXPECT_EQ(+options.LastReceivedSequence, -1);
  EXPECT_EQ(std::string(options.TestFileFolder), folder);
  EXPECT_EQ(data.TestFolder(), folder);
  EXPECT_EQ(Read(folder + "log.txt"),
            "03/07/2026 14:05:09 Order (hollin)  Could not open option file \"" + folder + "Order option.tds\"\n");
  EXPECT_FALSE(Exists(folder + "Order option.tds"));

  data.SetOptions(options);
  EXPECT_EQ(std::filesystem::file_size(folder + "Order option.tds"), 648u);
  const auto permissions = std::filesystem::status(folder + "Order option.tds").permissions();
  EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

TEST_F(OptionsTest, FolderIntervalAndOwnSequenceSurviveARestart) {
  HollinOptions options = data_->GetOptions();
  options.Interval = 25;
  options.OwnSequence = 4321;
  options.LastReceivedSequence = 17;
  std::strcpy(options.FileToSend, "/tmp/events.txt");
  data_->SetOptions(options);

  const std::string image = Read(program_ + "Order option.tds");
  ASSERT_EQ(image.size(), 648u);
  uint32_t word[5];
  std::memcpy(word, image.data(), sizeof word);
  EXPECT_THAT(word, ElementsAre(3456u, 19234u, 5678u, 23445u, 1u));
  EXPECT_EQ(image.substr(632), image.substr(0, 16));

  THollinData again(program_);
  EXPECT_EQ(again.LoadOptions(), hollin::LoadResult::Loaded);
  const HollinOptions read = again.GetOptions();
  EXPECT_EQ(std::string(read.TestFileFolder), shared_);
  EXPECT_EQ(+read.Interval, 25);
  EXPECT_EQ(+read.OwnSequence, 4321);
  EXPECT_EQ(+read.LastReceivedSequence, 17);
  EXPECT_EQ(std::string(read.FileToSend), "/tmp/events.txt");
}

TEST_F(OptionsTest, DamagedFilesKeepTheDefaultsOrAreMadeSafe) {
  HollinOptions options = data_->GetOptions();
  options.Interval = 30;
  data_->SetOptions(options);
  const std::string path = program_ + "Order option.tds";
  const std::string good = Read(path);

  std::string badGuard = good;
  badGuard[0] = 'x';
  Write(path, badGuard);
  THollinData a(program_);
  EXPECT_EQ(a.LoadOptions(), hollin::LoadResult::GuardMismatch);
  EXPECT_EQ(+a.GetOptions().Interval, 10);

  Write(path, good.substr(0, 300));  // cut short: nothing of it is taken
  THollinData b(program_);
  EXPECT_EQ(b.LoadOptions(), hollin::LoadResult::GuardMismatch);
  EXPECT_EQ(+b.GetOptions().Interval, 10);
  EXPECT_EQ(std::string(b.GetOptions().TestFileFolder), program_);

  // Unterminated texts, a zero interval and sequence numbers out of range.
  std::string wild = good;
  std::memset(wild.data() + 20, 'A', 100);
  std::memset(wild.data() + 20 + 112, 'B', 500);
  const int32_t zero = 0, big = 123456, low = -7;
  std::memcpy(wild.data() + 20 + 104, &zero, 4);
  std::memcpy(wild.data() + 20 + 108, &big, 4);
  std::memcpy(wild.data() + 20 + 100, &low, 4);
  Write(path, wild);
  THollinData c(program_);
  EXPECT_EQ(c.LoadOptions(), hollin::LoadResult::Loaded);
  const HollinOptions read = c.GetOptions();
  EXPECT_EQ(strnlen(read.TestFileFolder, sizeof read.TestFileFolder), 99u);
  EXPECT_EQ(c.TestFolder(), std::string(99, 'A') + "/");
  EXPECT_EQ(strnlen(read.FileToSend, sizeof read.FileToSend), 499u);
  EXPECT_EQ(+read.Interval, 1);
  EXPECT_EQ(+read.OwnSequence, 0);
  EXPECT_EQ(+read.LastReceivedSequence, -1);
}

TEST_F(OptionsTest, AFailedSaveIsLoggedAndLeavesNoTemporaryFile) {
  // A folder in the options file's place: the new image cannot be renamed over it.
  std::filesystem::remove(program_ + "Order option.tds");
  std::filesystem::create_directory(program_ + "Order option.tds");
  HollinOptions options = data_->GetOptions();
  options.Interval = 99;
  data_->SetOptions(options);
  EXPECT_FALSE(data_->SaveOptions());
  EXPECT_EQ(+data_->GetOptions().Interval, 99);  // kept in memory for the run
  EXPECT_THAT(Read(program_ + "log.txt"), HasSubstr("Order (hollin)  Could not save options file\n"));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(program_)) ++entries;
  EXPECT_EQ(entries, 2);  // the folder in the way and the error log
}

using QueueTest = HollinTest;

TEST_F(QueueTest, The151stLineWritesAllAtOnceAndLongLinesAreCut) {
  for (int i = 0; i < 150; ++i) data_->QueueIndication("LINE," + std::to_string(i));
  EXPECT_FALSE(Exists(shared_ + "cv3ctcindications.txt"));
  EXPECT_EQ(data_->QueuedCount(), 150);
  data_->QueueIndication(std::string(250, 'x'));
  const auto lines = Indications();
  ASSERT_EQ(lines.size(), 151u);
  EXPECT_EQ(lines.front(), "LINE,0");
  EXPECT_EQ(lines[149], "LINE,149");
  EXPECT_EQ(lines.back(), std::string(199, 'x'));
  EXPECT_EQ(data_->QueuedCount(), 0);

  // Every written line is in the log as output, after its stamp.
  const auto log = Lines(program_ + "Test File Log.txt");
  ASSERT_EQ(log.size(), 151u);
  EXPECT_EQ(log.front(), "03/07/2026 14:05:09 Output LINE,0");
}

TEST_F(QueueTest, AFailedFlushKeepsTheLinesAndAFullQueueLogsItsDrop) {
  // A folder in the indication file's place: it cannot be opened for appending.
  std::filesystem::create_directory(shared_ + "cv3ctcindications.txt");
  for (int i = 0; i < 200; ++i) EXPECT_GE(data_->QueueIndication("L" + std::to_string(i)), 0);
  EXPECT_EQ(data_->QueuedCount(), 200);
  EXPECT_EQ(data_->QueueIndication("one too many"), -1);
  EXPECT_THAT(Read(program_ + "log.txt"),
              HasSubstr("Order (hollin)  Indication queue full, line dropped: one too many"));

  std::filesystem::remove(shared_ + "cv3ctcindications.txt");
  data_->FlushIndications();
  const auto lines = Indications();
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines.front(), "L0");
  EXPECT_EQ(lines.back(), "L199");
  EXPECT_EQ(data_->QueuedCount(), 0);
}

TEST_F(QueueTest, IncomingListKeepsSlotOrderAndIsEmptiedByClear) {
  EXPECT_EQ(data_->AddIncoming("first"), 0);
  EXPECT_EQ(data_->AddIncoming(std::string(300, 'y')), 1);
  std::string text;
  EXPECT_EQ(data_->GetIncoming(1, text), 1);
  EXPECT_EQ(text, std::string(199, 'y'));
  EXPECT_EQ(data_->GetIncoming(2, text), 0);
  EXPECT_EQ(data_->GetIncoming(-1, text), 0);
  EXPECT_EQ(data_->GetIncoming(200, text), 0);
  data_->ClearIncoming();
  EXPECT_EQ(data_->GetIncoming(0, text), 0);
  EXPECT_EQ(data_->IncomingCount(), 0);
}

using LogTest = HollinTest;

TEST_F(LogTest, LinesAreStampedAndMarkedInputOrOutput) {
  data_->LogLine("SWITCH,0001,SW1,14:05:09,REVERSE", false);
  now_ = Time(9, 0, 1);
  data_->LogLine("SWITCH,0000,SW1,09:00:01,REVERSE,UNOCCUPIED", true);
  EXPECT_THAT(Lines(program_ + "Test File Log.txt"),
              ElementsAre("03/07/2026 14:05:09 Input  SWITCH,0001,SW1,14:05:09,REVERSE",
                          "03/07/2026 09:00:01 Output SWITCH,0000,SW1,09:00:01,REVERSE,UNOCCUPIED"));
  EXPECT_EQ(data_->GetTimeText(), "09:00:01");
}

TEST_F(LogTest, ALogPastOneMillionBytesKeepsItsLastLinesUpTo800000) {
  // 99 characters and a line feed a line: 10,000 lines fill the log to exactly 1,000,000 bytes.
  const std::string path = program_ + "Test File Log.txt";
  {
    std::ofstream log(path, std::ios::binary);
    for (int i = 0; i < 10000; ++i) {
      char line[101];
      std::snprintf(line, sizeof line, "%-98d.\n", i);
      log << line;
    }
  }
  ASSERT_EQ(std::filesystem::file_size(path), 1000000u);
  data_->LogLine("", true);  // 27 bytes more: the log is now past its limit
  const auto lines = Lines(path);
  const auto size = std::filesystem::file_size(path);
  EXPECT_LE(size, 800000u);
  EXPECT_GT(size, 800000u - 100u);
  EXPECT_EQ(lines.back(), "03/07/2026 14:05:09 Output ");
  EXPECT_EQ(lines.front().substr(0, 4), "2001");  // whole lines kept, from a line's start
  EXPECT_FALSE(Exists(program_ + "Test File Log.tmp"));
}

TEST_F(LogTest, LinesLoggedInABatchLeaveTheLogThatLoggingEachAtOnceLeaves) {
  // The log starts 100 bytes short of its limit: the second of five 57-byte lines passes it.
  std::string start;
  for (int i = 0; i < 9999; ++i) {
    char line[101];
    std::snprintf(line, sizeof line, "%-98d.\n", i);
    start += line;
  }
  const std::string folder = (root_ / "each").string() + "/";
  std::filesystem::create_directories(folder);
  THollinData each(folder);
  each.SetClock([this] { return now_; });
  Write(folder + "Test File Log.txt", start);
  Write(program_ + "Test File Log.txt", start);
  {
    const THollinData::SaveBatch batch(*data_);
    for (int i = 0; i < 5; ++i) {
      const std::string line = "SIGNAL,000" + std::to_string(i) + ",S1,14:05:09,CLEAR";
      data_->LogLine(line, i % 2 == 0);
      each.LogLine(line, i % 2 == 0);
    }
  }
  const std::string expected = Read(folder + "Test File Log.txt");
  EXPECT_EQ(expected.size(), 799914u + 3 * 57u);  // trimmed at the second line, then three more
  EXPECT_EQ(Read(program_ + "Test File Log.txt"), expected);
}

}  // namespace
