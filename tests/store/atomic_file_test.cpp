#include "store/atomic_file.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "store/fixed_text.h"
#include "store/playback_file.h"
#include "store/settings_files.h"
#include "store/simulation_file.h"
#include "store/track_file.h"
#include "tests/store/track_file_test_util.h"
#include "tests/support/file_bytes.h"
#include "tools/territory/demo_territory.h"

namespace {

// Running as root, no permission makes the last step of a save fail, so this
// test executable puts its own rename in front of the C library's.
bool failRenames = false;

class RenameFails {
 public:
  RenameFails() { failRenames = true; }
  ~RenameFails() { failRenames = false; }
};

}  // namespace

extern "C" int rename(const char* from, const char* to) noexcept {
  if (failRenames) {
    errno = EIO;
    return -1;
  }
  using Rename = int (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  return real(from, to);
}

namespace {

namespace fs = std::filesystem;
using file_bytes::Bytes;
using file_bytes::ReadBytes;
using file_bytes::WriteBytes;

int FilesIn(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class AtomicFileTest : public track_test::TrackFileTest {};

TEST_F(AtomicFileTest, ReplacesTheFileWithNewPermissionsAndLeavesNoTemporary) {
  const std::string path = In("target.bin");
  WriteBytes(path, Bytes{1, 2, 3});
  fs::permissions(path, fs::perms::owner_read);
  ASSERT_TRUE(ReplaceFile(path, Bytes{7, 8}));
  EXPECT_EQ(ReadBytes(path), (Bytes{7, 8}));
  const mode_t mask = umask(0);
  umask(mask);
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
  ASSERT_TRUE(ReplaceFile(path, Bytes{}));
  EXPECT_TRUE(ReadBytes(path).empty());
  EXPECT_EQ(FilesIn(folder_), 1);
}

// Through a named temporary: one left over from before is overwritten and gone; a folder in its place
// makes the replace fail, and the file and the folder stay.
TEST_F(AtomicFileTest, ANamedTemporaryIsOverwrittenButAFolderInItsPlaceIsNot) {
  const std::string path = In("target.log"), temporary = In("target.tmp");
  WriteBytes(path, Bytes{1, 2, 3});
  WriteBytes(temporary, Bytes{4, 4, 4, 4, 4, 4});
  const uint8_t fresh[] = {7, 8};
  ASSERT_TRUE(ReplaceFile(path, temporary, fresh, sizeof fresh));
  EXPECT_EQ(ReadBytes(path), (Bytes{7, 8}));
  EXPECT_EQ(FilesIn(folder_), 1);

  fs::create_directory(temporary);
  EXPECT_FALSE(ReplaceFile(path, temporary, fresh, 1));
  EXPECT_EQ(ReadBytes(path), (Bytes{7, 8}));
  EXPECT_TRUE(fs::is_directory(temporary));
  fs::remove(temporary);
  {
    RenameFails failing;
    EXPECT_FALSE(ReplaceFile(path, temporary, fresh, 1));
  }
  EXPECT_EQ(ReadBytes(path), (Bytes{7, 8}));
  EXPECT_EQ(FilesIn(folder_), 1) << "no temporary left behind";
}

TEST_F(AtomicFileTest, AFailedRenameKeepsTheOldFileAndIsReported) {
  const std::string path = In("target.bin");
  WriteBytes(path, Bytes{1, 2, 3});
  {
    RenameFails failing;
    EXPECT_FALSE(ReplaceFile(path, Bytes{9, 9, 9, 9}));
  }
  EXPECT_EQ(ReadBytes(path), (Bytes{1, 2, 3}));
  EXPECT_EQ(FilesIn(folder_), 1) << "no temporary left behind";
  EXPECT_FALSE(ReplaceFile(In("no such folder/target.bin"), Bytes{1}));
}

// Every writer of a whole file goes through the atomic file: with the rename
// failing each one reports the failure and leaves the file it would replace
// as it was.
TEST_F(AtomicFileTest, EveryWriterKeepsTheOldFileWhenTheRenameFails) {
  store().SetDefaultOptions();
  territory::BuildDemonstrationTerritory(store());
  // The comments file a track file carries, in the test's folder.
  std::ofstream(In("default.txt")) << territory::DemonstrationComments();
  TerritoryData texts = store().GetTerritoryData();
  SetFieldText(texts.CommentsFile, In("default.txt"));
  store().UpdateTerritoryData(texts);
  SetFieldText(store().TrackFilePath, In("demo.trk"));
  store().InitSimulationStatus();
  store().NoTerritorySettings = 0;

  struct Writer {
    std::string Name;
    std::string Path;
    std::function<int()> Save;
    std::string Message;  // empty: the writer fails silently, with its result alone
  };
  const std::string options = (folder() / "CV3 option.tds").string();
  const std::string columns = (folder() / "CV3 window column.tds").string();
  const Writer writers[] = {
      {"track file", In("saved.trk"), [&] { return TrackFile(store()).Write(In("saved.trk"), 0); },
       "Could not save track file"},
      {"saved simulation", In("run.ssm"), [&] { return SimulationFile(store()).Save(In("run.ssm")); },
       "Could not save simulation file"},
      {"option file", options, [&] { return SettingsFiles(store()).SaveOptions(); },
       "Could not open or create Options File!"},
      {"window-column file", columns, [&] { return SettingsFiles(store()).SaveWindowColumns(); }, ""},
      {"territory settings", In("demo.tds"), [&] { return SettingsFiles(store()).SaveTerritory(); }, ""},
  };
  const Bytes old{'o', 'l', 'd'};
  for (const Writer& writer : writers) {
    SCOPED_TRACE(writer.Name);
    WriteBytes(writer.Path, old);
    ASSERT_EQ(writer.Save(), 0) << "saves when the rename works";
    EXPECT_NE(ReadBytes(writer.Path), old);
    WriteBytes(writer.Path, old);
    const int filesBefore = FilesIn(fs::path(writer.Path).parent_path());
    messages.Calls.clear();
    {
      RenameFails failing;
      EXPECT_EQ(writer.Save(), 3);
    }
    EXPECT_EQ(ReadBytes(writer.Path), old);
    EXPECT_EQ(FilesIn(fs::path(writer.Path).parent_path()), filesBefore) << "no temporary left behind";
    if (writer.Message.empty()) {
      EXPECT_TRUE(messages.Calls.empty());
    } else {
      ASSERT_EQ(messages.Calls.size(), 1u);
      EXPECT_EQ(messages.Calls[0].Text, writer.Message);
      EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    }
  }
}

TEST_F(AtomicFileTest, APlaybackFileThatCannotBeCreatedKeepsTheOldOne) {
  const std::string path = In("run.rec");
  WriteBytes(path, Bytes{'o', 'l', 'd'});
  shell.SaveFileAnswers = {path};
  {
    RenameFails failing;
    EXPECT_EQ(PlaybackFile(store()).Create(0), 3);
  }
  EXPECT_EQ(ReadBytes(path), (Bytes{'o', 'l', 'd'}));
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not create playback file.");
}

}  // namespace
