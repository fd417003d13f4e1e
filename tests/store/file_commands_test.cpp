#include "store/file_commands.h"

#include <gtest/gtest.h>

#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/simulation_file.h"
#include "store/simulation_file_format.h"
#include "store/track_file.h"
#include "store/wall_clock.h"
#include "tests/store/track_file_test_util.h"
#include "tests/support/huge_files.h"
#include "tests/support/not_files.h"
#include "tools/territory/demo_territory.h"

namespace {

using namespace track_test;

TEST(FileCommandNames, DateStampedTrackNames) {
  std::tm when{};
  when.tm_year = 104;  // 2004
  when.tm_mon = 2;     // March
  when.tm_mday = 7;
  when.tm_hour = 14;
  when.tm_min = 5;
  EXPECT_EQ(DateStampedTrackName("c:\\t\\east.trk", when), "c:\\t\\03-07-04 1405 east.trk");
  EXPECT_EQ(DateStampedTrackName("/home/d/west.trk", when), "/home/d/03-07-04 1405 west.trk");
  EXPECT_EQ(DateStampedTrackName("plain", when), "03-07-04 1405 plain");
}

TEST(FileCommandNames, ProposedSimulationNames) {
  // The name is lower-cased and cut at its first ".trk"; the folder is kept as it is.
  EXPECT_EQ(ProposedSimulationName("c:\\T\\East.TRK"), "c:\\T\\east.ssm");
  EXPECT_EQ(ProposedSimulationName("/a/Line.trk.old.trk"), "/a/line.ssm");
  EXPECT_EQ(ProposedSimulationName("/a/Line"), "/a/line.ssm");
  EXPECT_EQ(ProposedSimulationName("/Tracks/Old.TRK.d/East.trk"), "/Tracks/Old.TRK.d/east.ssm");
  EXPECT_EQ(ProposedSimulationName("East.Trk"), "east.ssm");
  EXPECT_EQ(FileExtension("/a.b/name"), "");
  EXPECT_EQ(FileExtension("/a/name.TRK"), ".TRK");
}

class FileCommandsTest : public TrackFileTest {
 protected:
  FileCommandsTest() {
    territory::BuildDemonstrationTerritory(store());
    EXPECT_EQ(TrackFile(store()).Write(In("demo.trk"), 0), 0);
    EXPECT_EQ(TrackFile(store()).Load(In("demo.trk"), -1), 0);
    SetFieldText(store().TrackFilePath, In("demo.trk"));
    store().InitSimulationStatus();
    messages.Calls.clear();
  }

  // A saved simulation of the demonstration territory with one train running.
  void SaveRun(const std::string& name) {
    TrainStatus train = store().GetTrainStatus(0);
    train.InUse = 1;
    train.Speed = 25;
    store().UpdateTrainStatus(0, train, 1, 0);
    store().SetSimClock(7200);
    ASSERT_EQ(SimulationFile(store()).Save(In(name)), 0);
    store().InitSimulationStatus();
    messages.Calls.clear();
  }

  void SetCTC(uint8_t on) {
    OptionData options = store().GetOptionData();
    options.CTCControlOn = on;
    store().UpdateOptionData(options);
  }

  void PutRecent(const std::string& path) { SetFieldText(store().OldFileList[0], path); }
};

// Recent files: the exact extension decides; capitals are neither loaded nor refused.
TEST_F(FileCommandsTest, RecentFilesLoadByTheirExactExtension) {
  SaveRun("run.ssm");
  std::filesystem::copy_file(In("demo.trk"), In("upper.TRK"));
  PutRecent(In("upper.TRK"));
  FileCommands(store()).CmOpenOldFile(2000);
  EXPECT_EQ(shell.ResetDisplayCalls, 0);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("demo.trk"));

  PutRecent(In("run.ssm"));
  SetCTC(1);
  FileCommands(store()).CmOpenOldFile(2000);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "You cannot load a saved simulation when you are in CTC mode");
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0);

  SetCTC(0);
  store().Run.SimStopped = 0;
  FileCommands(store()).CmOpenOldFile(2000);
  EXPECT_EQ(+store().GetTrainStatus(0).Speed, 25);
  EXPECT_EQ(+store().Run.SimStopped, 1);
  EXPECT_EQ(FileCommands(store()).GetOldFile(0), In("run.ssm"));

  std::filesystem::copy_file(In("demo.trk"), In("other.trk"));
  PutRecent(In("other.trk"));
  FileCommands(store()).CmOpenOldFile(2000);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("other.trk"));
  EXPECT_EQ(shell.ResetDisplayCalls, 1);
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0) << "an empty run on the new territory";
}

// Restart reloads the most recent file, a saved simulation also in CTC control mode.
TEST_F(FileCommandsTest, RestartReloadsTheMostRecentFile) {
  SaveRun("run.ssm");
  PutRecent(In("run.ssm"));
  messages.ScriptAnswers({MessageResult::No});
  FileCommands(store()).CmRestartSimulation();
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0) << "No ends the command";

  SetCTC(1);
  messages.ScriptAnswers({MessageResult::Yes});
  FileCommands(store()).CmRestartSimulation();
  EXPECT_EQ(+store().GetTrainStatus(0).Speed, 25);
  EXPECT_EQ(store().GetSimClock(), 7200);
}

// Changed track data: No loses the changes; Yes saves under a date-stamped name, and restart offers that file.
TEST_F(FileCommandsTest, ChangedTrackDataIsOfferedForSaving) {
  SetWallClockSource([]() -> std::time_t { return 1078668300; });  // 7 March 2004, 14:05 UTC
  std::filesystem::copy_file(In("demo.trk"), In("other.trk"));
  store().ChangeCount = store().LoadedChangeCount + 2;
  PutRecent(In("other.trk"));
  messages.ScriptAnswers({MessageResult::No});
  FileCommands(store()).CmOpenOldFile(2000);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("other.trk"));
  EXPECT_FALSE(store().TrackDataChanged());

  // The loaded territory's train pictures live in the track file only; a save here checks them as files.
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    TrainType type = store().GetTrainType(t);
    for (auto& name : type.BitmapFiles) SetFieldText(name, "");
    store().UpdateTrainType(t, type);
  }
  store().ChangeCount = store().LoadedChangeCount + 1;
  shell.SaveFileAnswers.push_back(In("saved.trk"));
  messages.ScriptAnswers({MessageResult::Yes, MessageResult::Yes, MessageResult::Ok, MessageResult::Yes});
  FileCommands(store()).CmRestartSimulation();
  SetWallClockSource(nullptr);
  ASSERT_EQ(shell.SaveFileRequests.size(), 1u);
  const std::time_t stamp = 1078668300;
  std::tm local{};
  localtime_r(&stamp, &local);
  EXPECT_EQ(shell.SaveFileRequests[0].InitialName, DateStampedTrackName(In("other.trk"), local));
  EXPECT_EQ(shell.SaveFileRequests[0].Filter, "Saved Track Files (*.trk)|*.trk");
  EXPECT_EQ(FieldText(store().TrackFilePath), In("saved.trk")) << "the file just saved is loaded";
}

TEST_F(FileCommandsTest, SimulationCommandsAreRefusedInCTCMode) {
  SetCTC(1);
  FileCommands(store()).CmOpenSavedSimulation();
  FileCommands(store()).CmSaveSimulationAs();
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text, "You cannot load a saved simulation when you are in CTC mode.");
  EXPECT_EQ(messages.Calls[1].Text, "You cannot save a simulation when you are in CTC mode.");
  EXPECT_EQ(messages.Calls[1].Icon, MessageIcon::Information);
  EXPECT_TRUE(shell.OpenFileRequests.empty());
  EXPECT_TRUE(shell.SaveFileRequests.empty());
}

// Open Saved Simulation asks again after a file that does not load; Save Simulation As proposes a name.
TEST_F(FileCommandsTest, OpenAndSaveSavedSimulations) {
  SaveRun("run.ssm");
  WriteBytes(In("bad.ssm"), Bytes{1, 2, 3});
  shell.OpenFileAnswers = {In("bad.ssm"), In("run.ssm")};
  FileCommands(store()).CmOpenSavedSimulation();
  ASSERT_EQ(shell.OpenFileRequests.size(), 2u);
  EXPECT_EQ(shell.OpenFileRequests[0].Filter, "Saved Simulation Files (*.ssm)|*.ssm");
  EXPECT_TRUE(messages.Calls.empty()) << "the loader's refusals stay silent for menu commands";
  EXPECT_EQ(+store().GetTrainStatus(0).Speed, 25);

  shell.SaveFileAnswers.push_back(In("copy.ssm"));
  SetFieldText(store().TrackFilePath, "/Tracks/East.TRK");
  FileCommands(store()).CmSaveSimulationAs();
  ASSERT_EQ(shell.SaveFileRequests.size(), 1u);
  EXPECT_EQ(shell.SaveFileRequests[0].InitialName, "/Tracks/east.ssm");
  EXPECT_TRUE(std::filesystem::exists(In("copy.ssm")));
}

// A saved run whose train holds a time no run reaches (a damaged standing time) is refused as any damaged
// saved run: silently for the menu, which asks again, and with the run left empty.
TEST_F(FileCommandsTest, ASavedRunWithATimeNoRunReachesIsRefused) {
  SaveRun("run.ssm");
  Bytes damaged = ReadBytes(In("run.ssm"));
  constexpr size_t kStandingSince = 16 + 4 + 4 * kSimCountWords + kPathChars + 16 + 83;
  Poke(damaged, kStandingSince, int32_t{-2147449928});
  WriteBytes(In("damaged.ssm"), damaged);
  TrainStatus other = store().GetTrainStatus(5);
  other.InUse = 1;
  store().UpdateTrainStatus(5, other, 1, 0);
  shell.OpenFileAnswers = {In("damaged.ssm"), ""};
  FileCommands(store()).CmOpenSavedSimulation();
  EXPECT_EQ(shell.OpenFileRequests.size(), 2u) << "the dialog comes back after the refusal";
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0);
  EXPECT_EQ(+store().GetTrainStatus(5).InUse, 0) << "the run is emptied, not half loaded";
  EXPECT_NE(FileCommands(store()).GetOldFile(0), In("damaged.ssm"));
}

// Change Territory: a file that does not load opens the dialog again; Cancel then leaves what that load left.
TEST_F(FileCommandsTest, ChangeTerritoryAsksAgainAfterAFailedLoad) {
  Bytes broken = ReadBytes(In("demo.trk"));
  broken.resize(400);  // a track file cut short: corrupt
  WriteBytes(In("broken.trk"), broken);
  std::filesystem::copy_file(In("demo.trk"), In("good.trk"));
  shell.OpenFileAnswers = {In("broken.trk"), In("good.trk")};
  FileCommands(store()).CmChangeTerritory();
  EXPECT_EQ(shell.OpenFileRequests.size(), 2u);
  EXPECT_EQ(shell.OpenFileRequests[0].Filter, "Track Territory Files (*.trk)|*.trk");
  EXPECT_EQ(FieldText(store().TrackFilePath), In("good.trk"));
  EXPECT_EQ(shell.ResetDisplayCalls, 1);
  EXPECT_EQ(+store().Run.Loading, 0);

  shell.OpenFileAnswers = {In("broken.trk")};
  FileCommands(store()).CmChangeTerritory();
  EXPECT_EQ(FieldText(store().TrackFilePath), "new.trk");
  EXPECT_EQ(+store().GetBlockData(0).InUse, 0);
  EXPECT_EQ(+store().Run.Loading, 0);
  EXPECT_EQ(shell.ResetDisplayCalls, 1) << "no territory reset after Cancel";
}

// A folder, a FIFO or a device chosen in an open dialog is a file that cannot be opened: refused at
// once (the dialog asks again), never waited on or read without end.
TEST_F(FileCommandsTest, OpenCommandsRefuseAFolderAFifoAndADeviceAtOnce) {
  SaveRun("run.ssm");
  std::filesystem::copy_file(In("demo.trk"), In("good.trk"));
  std::vector<std::string> tracks, runs;
  for (const not_files::NotAFile& path : not_files::Make(In(""), ".trk")) tracks.push_back(path.Path);
  for (const not_files::NotAFile& path : not_files::Make(In(""), ".ssm")) runs.push_back(path.Path);
  not_files::WithinSeconds([&] {
    shell.OpenFileAnswers.assign(runs.begin(), runs.end());
    shell.OpenFileAnswers.push_back(In("run.ssm"));
    FileCommands(store()).CmOpenSavedSimulation();
    EXPECT_EQ(shell.OpenFileRequests.size(), 4u);
    EXPECT_EQ(+store().GetTrainStatus(0).Speed, 25);

    shell.OpenFileAnswers.assign(tracks.begin(), tracks.end());
    shell.OpenFileAnswers.push_back(In("good.trk"));
    FileCommands(store()).CmChangeTerritory();
    EXPECT_EQ(FieldText(store().TrackFilePath), In("good.trk"));

    // Told, where the load tells: the message of a file that cannot be opened.
    for (const std::string& path : tracks) {
      EXPECT_EQ(TrackFile(store()).Load(path, 0), file_result::kCannotOpen);
      ASSERT_FALSE(messages.Calls.empty());
      EXPECT_EQ(messages.Calls.back().Text, "Could not open track territory file \"" + path + "\".");
    }
    for (const std::string& path : runs) {
      EXPECT_EQ(SimulationFile(store()).Load(path, 0), file_result::kCannotOpen);
      EXPECT_EQ(messages.Calls.back().Text, "Could not open simulation file");
    }
  });
}

// A file far larger than any the program writes is refused from its size before any of it is read,
// whatever its head says: no room is taken for it (a load that read it whole died on it), the load
// says what it says of a damaged file, and the menu asks again.
TEST_F(FileCommandsTest, FilesFarLargerThanAnyWrittenAreRefusedFromTheirSizeInAFewMegabytes) {
  const Bytes good = ReadBytes(In("demo.trk"));
  const std::string whole(good.begin(), good.end());
  std::string oldHead = whole.substr(0, 10);
  oldHead[8] = 20;  // the version word: the old layout, whose length is fixed by its tables
  const std::string corrupt = "\" has corruptd data. A new layout file was loaded instead.";
  struct Case {
    const char* Kind;
    std::string Head;
    std::string Message;  // behind the path, or whole when it does not name the file
  };
  const Case cases[] = {
      {"a whole track file and a hole behind it", whole, corrupt},
      {"an old-format head", oldHead, corrupt},
      {"no track file at all", "no territory here", "Illegal track territory file!"},
  };
  const std::string huge = In("huge.trk");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Kind);
    ASSERT_TRUE(huge_files::MakeSparse(huge, huge_files::kFortyGB, c.Head));
    const huge_files::ChildRun child = huge_files::RunInChild([&] { return TrackFile(store()).Load(huge, 0); });
    EXPECT_TRUE(child.Survived);
    EXPECT_EQ(child.Value, file_result::kDamaged);
    EXPECT_LT(child.PeakGrowthKiB, huge_files::PeakBoundKiB(8));
    std::printf("%s: peak resident size grew by %ld KiB\n", c.Kind, child.PeakGrowthKiB);
    messages.Calls.clear();
    not_files::WithinSeconds([&] { EXPECT_EQ(TrackFile(store()).Load(huge, 0), file_result::kDamaged); });
    ASSERT_EQ(messages.Calls.size(), 1u);
    const std::string& text = messages.Calls[0].Text;
    EXPECT_EQ(text, c.Message == corrupt ? "The track file you attempted to open \"" + huge + c.Message : c.Message);
    EXPECT_EQ(FieldText(store().TrackFilePath), "new.trk");
    EXPECT_EQ(+store().GetBlockData(0).InUse, 0);
  }

  // The File menu: Change Territory asks again, and a saved run as large is refused as well.
  std::filesystem::copy_file(In("demo.trk"), In("good.trk"));
  shell.OpenFileAnswers = {huge, In("good.trk")};
  not_files::WithinSeconds([&] { FileCommands(store()).CmChangeTerritory(); });
  EXPECT_EQ(shell.OpenFileRequests.size(), 2u);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("good.trk"));
  SaveRun("run.ssm");
  const Bytes run = ReadBytes(In("run.ssm"));
  ASSERT_TRUE(huge_files::MakeSparse(In("huge.ssm"), huge_files::kFortyGB, std::string(run.begin(), run.end())));
  const huge_files::ChildRun child =
      huge_files::RunInChild([&] { return SimulationFile(store()).Load(In("huge.ssm"), 0); });
  EXPECT_TRUE(child.Survived);
  EXPECT_EQ(child.Value, file_result::kCannotOpen);
  EXPECT_LT(child.PeakGrowthKiB, huge_files::PeakBoundKiB(8));
  EXPECT_EQ(SimulationFile(store()).Load(In("huge.ssm"), 0), file_result::kCannotOpen);
  EXPECT_EQ(messages.Calls.back().Text, "Could not open simulation file");
  EXPECT_EQ(+store().GetTrainStatus(0).InUse, 0);
  EXPECT_EQ(FieldText(store().TrackFilePath), In("good.trk"));
}

// Leaving playback: the mode before it comes back, the mode menu follows and CTC control is off.
TEST_F(FileCommandsTest, RestorePreviousModeLeavesPlayback) {
  store().OperatingMode = 2;
  store().PreviousOperatingMode = 5;
  SetCTC(1);
  FileCommands(store()).RestorePreviousMode();
  EXPECT_EQ(store().OperatingMode, 0);
  EXPECT_EQ(+store().GetOptionData().CTCControlOn, 0);
  ASSERT_FALSE(shell.MenuChecks.empty());
  EXPECT_EQ(shell.MenuChecks.back(), std::make_pair(11866, true));
  store().OperatingMode = 1;
  shell.MenuChecks.clear();
  FileCommands(store()).RestorePreviousMode();
  EXPECT_TRUE(shell.MenuChecks.empty());
}

}  // namespace
