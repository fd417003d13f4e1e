#include "shell/track_path.h"

#include <gtest/gtest.h>

namespace {

struct ShortCase {
  std::string Path;
  std::string Shown;
};

TEST(ShortTrackFileNameTest, ShortensLongPathsToTheirTail) {
  const std::string thirty = "/home/dispatcher/tracks/ab.trk";  // 30 characters
  ASSERT_EQ(thirty.size(), 30u);
  const std::string thirtyOne = "/home/dispatcher/tracks/abc.trk";
  const ShortCase cases[] = {
      {"", ""},
      {thirty, thirty},
      // 31 characters: the tail "/abc.trk" (8) leaves 21 of the head, then the cut at 29.
      {thirtyOne, "/home/dispatcher/trac.../abc."},
      // a tail of 29 or more: "..." and the first 26 characters of the tail.
      {"/t/an-extremely-long-territory-name.trk", ".../an-extremely-long-territo"},
      // a Windows path keeps its backslashes as separators
      {"C:\\Program Files\\Corvane\\Main Line.trk", "C:\\Program File...\\Main Line."},
      // no separator at all: the whole name is the tail
      {"an-extremely-long-territory-name.trk", "...an-extremely-long-territor"},
  };
  for (const auto& c : cases) {
    const std::string shown = ShortTrackFileName(c.Path);
    EXPECT_EQ(shown, c.Shown) << c.Path;
    EXPECT_LE(shown.size(), c.Path.size() < 31 ? 30u : 29u) << c.Path;
  }
}

TEST(JoinArgumentsTest, RestoresBlanksBetweenWords) {
  EXPECT_EQ(JoinArguments({}), "");
  EXPECT_EQ(JoinArguments({"/tmp/My"}), "/tmp/My");
  EXPECT_EQ(JoinArguments({"/tmp/My", "Tracks/main", "line.trk"}), "/tmp/My Tracks/main line.trk");
}

TEST(ResolveTrackPathTest, BareNamesAndFloppyDrivesGoToTheProgramFolder) {
  struct Case {
    std::string Given, Resolved;
  };
  const Case cases[] = {
      {"main.trk", "/opt/cv/main.trk"},       {"a:\\lines\\main.trk", "/opt/cv/default.trk"},
      {"B:main.trk", "/opt/cv/default.trk"},  {"/home/d/main.trk", "/home/d/main.trk"},
      {"tracks/main.trk", "tracks/main.trk"}, {"C:\\tracks\\main.trk", "C:\\tracks\\main.trk"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveTrackPath(c.Given, "/opt/cv/", "default.trk"), c.Resolved) << c.Given;
}

}  // namespace
