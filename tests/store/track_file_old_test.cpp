#include <gtest/gtest.h>

#include <filesystem>

#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/store/track_file_test_util.h"

namespace {

using namespace track_test;

// An old-format file laid out section by section, all zero, for a test to fill in.
struct OldFile {
  explicit OldFile(int version) {
    size_t at = 10;
    const auto take = [&](size_t bytes) {
      const size_t start = at;
      at += bytes;
      return start;
    };
    if (version >= 10) Identity = take(10);
    Header = take(624);
    take(16);
    Grid = take(kGridCells * 2);
    Devices = take(kGridCells * 2);
    take(kGridCells);
    Trains = take(200 * 245);
    Permits = take(40 * 41);
    Slows = take(40 * 49);
    Types = take(4 * 41);
    Platforms = take(10 * 55);
    Blocks = take(600 * 97);
    take(600 * 37);
    Switches = take(250 * 58);
    Signals = take(250 * 48);
    take(50 * 31);
    Stations = take(50 * 77);
    Texts = take(80 * 157);
    take(48);
    StartValues = take(4);
    take(7 * 292 + 78 + 7550 + 80 * 51 + 40 * 102);
    Sizes = take(40 * 2);
    File.assign(at, 0);
    for (int i = 0; i < 4; ++i) Poke(File, 2 * i, kTrackMagic[i]);
    Poke(File, 8, static_cast<int16_t>(version));
  }
  void Text(size_t offset, const std::string& text) { std::memcpy(File.data() + offset, text.data(), text.size()); }
  // A train in slot i that runs on the given days and is listed in the start times (+13 not -1).
  void Train(int i, std::initializer_list<int> days) {
    const size_t t = Trains + 245 * i;
    Poke(File, t, int16_t{1});
    File[t + 7] = 1;
    Poke(File, t + 13, int16_t{4});
    for (const int d : days) File[t + 168 + d] = 1;
    Text(t + 234, "T" + std::to_string(i));
  }

  size_t Identity = 0, Header, Grid, Devices, Trains, Permits, Slows, Types, Platforms, Blocks, Switches, Signals;
  size_t Stations, Texts, StartValues, Sizes;
  Bytes File;
};

using OldTrackFileTest = TrackFileTest;

TEST_F(OldTrackFileTest, VersionNineConvertsTablesDevicesAndStartTimes) {
  OldFile old(9);
  old.Text(old.Header, "Old Line");
  old.Text(old.Header + 266, "first line\nsecond");
  old.Text(old.Header + 467, "Copyright the Old Line Society");
  const auto cell = [&](size_t grid, int x, int y) { return grid + 2 * (x * kGridRows + y); };
  Poke(old.File, cell(old.Grid, 5, 5), int16_t{1});
  Poke(old.File, cell(old.Devices, 5, 5), int16_t{7});
  Poke(old.File, cell(old.Devices, 5, 6), int16_t{1005});
  Poke(old.File, cell(old.Devices, 5, 7), int16_t{2010});
  Poke(old.File, cell(old.Devices, 5, 8), int16_t{3500});
  // Train 0 runs on Monday and Friday; trains 1 to 51 on Sunday.
  old.Train(0, {1, 5});
  for (int i = 1; i <= 51; ++i) old.Train(i, {0});
  Poke(old.File, old.StartValues, int16_t{360});
  Poke(old.File, old.StartValues + 2, int16_t{1080});
  // A block: in use, track name parts, neighbours (an old switch on the right), length, platform "none".
  const size_t b = old.Blocks + 97 * 2;
  old.File[b] = 1;
  old.Text(b + 1, "AB");
  old.Text(b + 3, "CD");
  old.Text(b + 5, "Main");
  Poke(old.File, b + 14, int16_t{1});
  Poke(old.File, b + 16, int16_t{1003});
  Poke(old.File, b + 26, int16_t{10560});
  Poke(old.File, b + 50, int16_t{45});
  old.Text(b + 58, "none");
  old.File[b + 88] = 1;
  // Permits and slow orders: "A to B" names only.
  Poke(old.File, old.Permits, int16_t{1});
  old.Text(old.Permits + 2, "AB to CD");
  Poke(old.File, old.Permits + 41, int16_t{1});
  old.Text(old.Permits + 41 + 2, "nowhere");
  Poke(old.File, old.Slows, int16_t{1});
  old.Text(old.Slows + 2, "AB to CD");
  old.Text(old.Types + 1, "Coal");
  // Switch 3: its legs are old device numbers (a block, an old switch, none, a number out of range).
  const size_t sw = old.Switches + 58 * 3;
  Poke(old.File, sw, int16_t{1});
  for (const auto& [k, leg] : {std::pair{0, 2}, {1, 1004}, {2, -1}, {3, 3500}})
    Poke(old.File, sw + 18 + 2 * k, int16_t(leg));
  Poke(old.File, sw + 40, int16_t{10});
  const std::string path = In("old.trk");
  WriteBytes(path, old.File);

  ASSERT_EQ(TrackFile(store()).Load(path, 0), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().TrackIdentity1, 0);
  EXPECT_EQ(store().LoadedChangeCount, 0);
  EXPECT_EQ(store().LoadedTrackVersion, 9);
  const TerritoryData territory = store().GetTerritoryData();
  EXPECT_EQ(FieldText(territory.Name), "Old Line");
  EXPECT_EQ(FieldText(territory.CommentsFile), In("old.txt"));
  // The notice and the track file's own path land in their fields of the current record.
  EXPECT_EQ(FieldText(territory.CopyrightNotice), "Copyright the Old Line Society");
  EXPECT_EQ(FieldText(reinterpret_cast<const char*>(&territory) + 974, 101), "Copyright the Old Line Society");
  EXPECT_EQ(FieldText(territory.TrackFileName), In("old.trk"));
  EXPECT_EQ(FieldText(territory.Country), "");
  EXPECT_EQ(ReadBytes(In("old.txt")),
            (Bytes{'f', 'i', 'r', 's', 't', ' ', 'l', 'i', 'n', 'e', '\n', 's', 'e', 'c', 'o', 'n', 'd'}));
  EXPECT_EQ(store().GridDevice[5 * kGridRows + 5], 7);
  EXPECT_EQ(store().GridDevice[5 * kGridRows + 6], 2005);
  EXPECT_EQ(store().GridDevice[5 * kGridRows + 7], 3010);
  EXPECT_EQ(store().GridDevice[5 * kGridRows + 8], -1);

  const auto listed = [&](int day) {
    std::vector<int> trains;
    const StartTime start = store().GetStartTime(day);
    for (const uint16_t t : start.TrainIndex)
      if (t != 0xFFFF) trains.push_back(t);
    return trains;
  };
  EXPECT_EQ(listed(1), std::vector<int>{0});
  EXPECT_EQ(listed(5), std::vector<int>{0});
  EXPECT_TRUE(listed(2).empty());
  const std::vector<int> sunday = listed(0);
  ASSERT_EQ(sunday.size(), 50u);
  EXPECT_EQ(sunday.back(), 50);  // the 51st Sunday train (slot 51) is left out
  const StartTime monday = store().GetStartTime(1);
  EXPECT_EQ(+monday.Word1, 360);
  EXPECT_EQ(+monday.Word460, 1080);
  EXPECT_EQ(+monday.PairedIndex[0], 4);
  EXPECT_EQ(+monday.Bytes210[0], 1);
  EXPECT_EQ(+monday.Days[1], 1);
  EXPECT_EQ(+monday.Days[0], 0);

  const BlockData block = store().GetBlockData(2);
  EXPECT_EQ(FieldText(block.TrackStation1), "AB");
  EXPECT_EQ(FieldText(block.TrackPart), "Main");
  EXPECT_EQ(+block.LeftNeighbour, 1);
  EXPECT_EQ(+block.RightNeighbour, 2003);
  EXPECT_EQ(+block.Length, 10560);
  EXPECT_EQ(+block.LongUnits, 1);
  EXPECT_EQ(+block.SpeedMax[1][0], 45);
  EXPECT_EQ(FieldText(block.PlatformName), "");
  EXPECT_EQ(FieldText(block.DetectorNames[0]), "hot box");
  EXPECT_EQ(FieldText(store().GetPermitData(0).TrackName), "AB-CD");
  EXPECT_EQ(+store().GetPermitData(1).InUse, 0);
  EXPECT_EQ(FieldText(store().GetSlowData(0).Location), "Track AB-CD");
  EXPECT_EQ(FieldText(store().GetTrainType(0).Name), "Coal");
  EXPECT_EQ(+store().GetTrainType(0).Kind, 7);
  EXPECT_EQ(+store().GetTrainType(1).InUse, 0);
  EXPECT_EQ(FieldText(store().GetDetectorData(1).Description), "dragging equipment");
  EXPECT_EQ(+store().GetDetectorData(1).RepairMinutes, 30);
  EXPECT_EQ(+store().GetTerritoryOptions().Units, 1);
  const SwitchData oldSwitch = store().GetSwitchData(3);
  EXPECT_EQ(+oldSwitch.Legs[0], 2);
  EXPECT_EQ(+oldSwitch.Legs[1], 2004);
  EXPECT_EQ(+oldSwitch.Legs[2], -1);
  EXPECT_EQ(+oldSwitch.Legs[3], -1);  // out of range: the empty territory's value stays

  const CountData counts = store().GetCountData();
  EXPECT_EQ(counts.Words[kCountGridColumns], 5);
  EXPECT_EQ(counts.Words[kCountBlocks], 3);
  EXPECT_EQ(counts.Words[kCountTrains], 52);
  EXPECT_EQ(counts.Words[kCountStartTimes], 7);
  EXPECT_EQ(counts.Words[kCountLocations], 2);
}

TEST_F(OldTrackFileTest, IdentityFromVersionTenAndExistingCommentsKept) {
  OldFile old(20);
  Poke(old.File, old.Identity, int16_t{77});
  Poke(old.File, old.Identity + 2, int32_t{123456});
  Poke(old.File, old.Identity + 6, int32_t{-9});
  old.Text(old.Header, "Twenty");
  old.Text(old.Header + 266, "new text");
  WriteBytes(In("twenty.trk"), old.File);
  WriteBytes(In("twenty.txt"), Bytes{'k', 'e', 'e', 'p'});
  ASSERT_EQ(TrackFile(store()).Load(In("twenty.trk"), -1), 0);
  EXPECT_EQ(store().TrackReservedWord, 77);
  EXPECT_EQ(store().TrackIdentity1, 123456);
  EXPECT_EQ(store().TrackIdentity2, -9);
  EXPECT_EQ(FieldText(store().GetTerritoryData().Name), "Twenty");
  EXPECT_EQ(ReadBytes(In("twenty.txt")), (Bytes{'k', 'e', 'e', 'p'}));
}

// With no end magic, the length is the old reader's only check: one byte more or less is refused.
TEST_F(OldTrackFileTest, FileOfAnotherLengthIsRefused) {
  OldFile old(12);
  Poke(old.File, old.Sizes + 2, uint16_t{3});
  old.File.insert(old.File.end(), {1, 2, 3});
  old.Text(old.Header, "Fits");
  WriteBytes(In("fits.trk"), old.File);
  EXPECT_EQ(TrackFile(store()).Load(In("fits.trk"), -1), 0);
  EXPECT_EQ(store().MaintImageSizes[1], 3);

  for (const int change : {-1, 1}) {
    Bytes file = old.File;
    if (change < 0) file.pop_back();
    if (change > 0) file.push_back(0);
    WriteBytes(In("odd.trk"), file);
    messages.Calls.clear();
    EXPECT_EQ(TrackFile(store()).Load(In("odd.trk"), 3), 1);
    ASSERT_EQ(messages.Calls.size(), 1u);
    // Any reader failure is a damaged file, whatever the format.
    EXPECT_EQ(messages.Calls[0].Text, "The track file you attempted to open \"" + In("odd.trk") +
                                          "\" has corruptd data. A new layout file was loaded instead.");
    EXPECT_EQ(FieldText(store().GetTerritoryData().Name), "");
    EXPECT_STREQ(store().TrackFilePath, "new.trk");
    EXPECT_FALSE(std::filesystem::exists(In("odd.txt")));
  }
}

}  // namespace
