#include "hollin/core/send_file.h"

#include <gmock/gmock.h>

#include "hollin/core/control_reader.h"
#include "hollin/core/folder_setup.h"
#include "tests/hollin/hollin_fixture.h"
#include "tests/support/huge_files.h"
#include "tests/support/not_files.h"

using ::testing::ElementsAre;

namespace {

using SendFileTest = HollinTest;

TEST(SendLineTest, FieldsAreTakenAsTheyStand) {
  struct Case {
    const char* line;
    std::optional<std::string> sent;
  };
  const Case cases[] = {
      {"BLOCK,B12,OCCUPIED", "BLOCK,0007,B12,10:11:12,OCCUPIED"},
      {"switch,sw 3,Reverse,occupied", "switch,0007,sw 3,10:11:12,Reverse,occupied"},
      {"TRAIN,T1,NEW,a,b,c", "TRAIN,0007,T1,10:11:12,NEW,a,b,c"},  // the extra part keeps its commas
      {"BLOCK,B1,", "BLOCK,0007,B1,10:11:12,"},
      {"BLOCK,B1,OCC,", "BLOCK,0007,B1,10:11:12,OCC"},  // an empty extra part adds no field
      {",,", ",0007,,10:11:12,"},
      {"BLOCK,B1", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(hollin::BuildSendLine(c.line, 7, "10:11:12"), c.sent) << c.line;
}

TEST_F(SendFileTest, LinesGoOutNumberedWithOneTimeAndTheNumberingGoesOn) {
  const std::string file = (root_ / "events.txt").string();
  Write(file, "BLOCK,B1,OCCUPIED\nnot a line\r\nSWITCH,SW1,NORMAL,OCCUPIED\r\nSIGNAL,S1,STOP,x,y\n");
  EXPECT_EQ(hollin::SendFile(*data_, file), std::nullopt);
  // Written at once, without waiting for a tick.
  EXPECT_THAT(Indications(), ElementsAre("BLOCK,0000,B1,14:05:09,OCCUPIED", "SWITCH,0001,SW1,14:05:09,NORMAL,OCCUPIED",
                                         "SIGNAL,0002,S1,14:05:09,STOP,x,y"));
  EXPECT_EQ(std::string(data_->GetOptions().FileToSend), file);

  // The next answer to the simulator continues the numbering, and it survives a restart.
  hollin::ParseControl(*data_, "SIGNAL,0044,S1,14:00:00,CLEAR");
  data_->FlushIndications();
  EXPECT_EQ(Indications().back(), "SIGNAL,0003,S1,14:05:09,CLEARED");
  THollinData again(program_);
  again.LoadOptions();
  EXPECT_EQ(+again.GetOptions().OwnSequence, 4);
  EXPECT_EQ(std::string(again.GetOptions().FileToSend), file);
}

TEST_F(SendFileTest, AFileOf300LinesArrivesWhole) {
  const std::string file = (root_ / "burst.txt").string();
  std::string text;
  for (int i = 0; i < 300; ++i) text += "BLOCK,B" + std::to_string(i) + ",OCCUPIED\n";
  Write(file, text);
  EXPECT_EQ(hollin::SendFile(*data_, file), std::nullopt);
  const auto lines = Indications();
  ASSERT_EQ(lines.size(), 300u);
  EXPECT_EQ(lines[150], "BLOCK,0150,B150,14:05:09,OCCUPIED");
  EXPECT_EQ(lines[299], "BLOCK,0299,B299,14:05:09,OCCUPIED");
  EXPECT_EQ(data_->QueuedCount(), 0);
}

// A send file of 40 GB, most of it one line without a line end: sent line by line in a few megabytes,
// the long line cut and skipped for want of commas, the lines around it sent.
TEST_F(SendFileTest, AFortyGigabyteFileIsSentLineByLineInAFewMegabytes) {
  const std::string file = (root_ / "huge.txt").string();
  ASSERT_TRUE(huge_files::MakeSparse(file, huge_files::kFortyGB, "BLOCK,B1,OCCUPIED\r\n", "\nSIGNAL,S1,STOP\n"));
  const huge_files::ChildRun child = huge_files::RunInChild([&] { return hollin::SendFile(*data_, file) ? 1 : 0; });
  EXPECT_TRUE(child.Survived);
  EXPECT_EQ(child.Value, 0);
  EXPECT_LT(child.PeakGrowthKiB, huge_files::PeakBoundKiB(8));
  std::printf("40 GB send file: peak resident size grew by %ld KiB\n", child.PeakGrowthKiB);
  EXPECT_THAT(Indications(), ElementsAre("BLOCK,0000,B1,14:05:09,OCCUPIED", "SIGNAL,0001,S1,14:05:09,STOP"));
}

TEST_F(SendFileTest, AFileThatCannotBeReadSendsAndStoresNothing) {
  std::vector<std::string> files = {(root_ / "missing.txt").string(), std::string()};
  // A folder, a FIFO or a device: refused at once, never opened to wait on or to read without end.
  for (const not_files::NotAFile& other : not_files::Make(root_, ".txt")) files.push_back(other.Path);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    not_files::WithinSeconds([&] {
      EXPECT_EQ(hollin::SendFile(*data_, file),
                "We cannot read the file you specified.  Make sure it exists.  Please check and re-enter.");
    });
  }
  EXPECT_EQ(std::string(data_->GetOptions().FileToSend), "");
  EXPECT_EQ(+data_->GetOptions().OwnSequence, 0);
  EXPECT_FALSE(Exists(shared_ + "cv3ctcindications.txt"));
}

using FolderSetupTest = HollinTest;

TEST_F(FolderSetupTest, AWritableFolderIsStoredWithASlashAndTheInterval) {
  const std::string other = (root_ / "other").string();
  std::filesystem::create_directory(other);
  EXPECT_EQ(hollin::StoreFolderSetup(*data_, other, "25"), std::nullopt);
  EXPECT_EQ(std::string(data_->GetOptions().TestFileFolder), other + "/");
  EXPECT_EQ(+data_->GetOptions().Interval, 25);
  EXPECT_FALSE(Exists(other + "/testrfoldertest.tmp"));
  THollinData again(program_);
  again.LoadOptions();
  EXPECT_EQ(again.TestFolder(), other + "/");

  // An empty or zero interval polls every tenth of a second.
  EXPECT_EQ(hollin::StoreFolderSetup(*data_, other + "/", ""), std::nullopt);
  EXPECT_EQ(+data_->GetOptions().Interval, 1);
  EXPECT_EQ(std::string(data_->GetOptions().TestFileFolder), other + "/");
  EXPECT_EQ(hollin::StoreFolderSetup(*data_, other, "0"), std::nullopt);
  EXPECT_EQ(+data_->GetOptions().Interval, 1);
}

TEST_F(FolderSetupTest, AnUnwritableOrEmptyFolderIsRefusedAndNothingStored) {
  const std::string message =
      "We cannot write to a file in the folder you specified.  Make sure it exists.  Please check and re-enter.";
  for (const std::string& folder : {(root_ / "missing").string(), std::string(), "/" + std::string(98, 'd') + "/"}) {
    EXPECT_EQ(hollin::StoreFolderSetup(*data_, folder, "5"), message) << folder;
    EXPECT_EQ(std::string(data_->GetOptions().TestFileFolder), shared_);
    EXPECT_EQ(+data_->GetOptions().Interval, 10);
  }
}

}  // namespace
