#include "store/track_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/fixed_text.h"
#include "tests/store/track_file_test_util.h"
#include "tests/support/not_files.h"

namespace {

using namespace territory;
using namespace track_test;

//        x: 3          14 15 16      25 26 27      35
//   y=4                                 |  B4 (vertical, NRTH above it)
//   y=9    S2               S1          |
//   y=10  WEST ====B0==== SW0 ====B1==== D0 ====B2==== EAST
//   y=11              S0     \      S3  |
//   y=12                      ==B3==    |  B5 (vertical, STH below it)
struct Sample {
  int B0, B1, B2, B3, B4, B5, Switch, Diamond;
};

Sample BuildSample(Corvane3Data& store, const std::string& bitmap) {
  TerritoryBuilder t(store);
  t.Name("Sample Line", "Corvane Railway");
  Sample s{};
  s.B0 = t.Block({.Name = "B0", .From = {3, 10}, .To = {14, 10}, .Flag = 1});
  s.Switch = t.Switch("SW0", {15, 10}, Diverge::DownRight);
  s.B1 = t.Block({.Name = "B1", .From = {16, 10}, .To = {25, 10}, .Length = 4000, .Speed = 45});
  s.Diamond = t.Diamond("D0", {26, 10}, 30);
  s.B2 = t.Block({.Name = "B2", .From = {27, 10}, .To = {35, 10}, .Speed = 70});
  s.B3 = t.Block({.Name = "B3", .From = {17, 12}, .To = {22, 12}, .Speed = 15});
  s.B4 = t.Block({.Name = "B4", .From = {26, 4}, .To = {26, 9}});
  s.B5 = t.Block({.Name = "B5", .From = {26, 11}, .To = {26, 16}});
  t.Link(s.B0, SwitchDevice(s.Switch));
  t.Link(SwitchDevice(s.Switch), s.B1);
  t.Link(s.B1, DiamondDevice(s.Diamond));
  t.Link(DiamondDevice(s.Diamond), s.B2);
  t.LinkCrossing(s.Diamond, s.B4, s.B5);
  t.Branch(s.Switch, s.B3, End::Left);
  t.Signal(s.B0, End::Right, "S0");
  t.Signal(s.B1, End::Left, "S1");
  t.Signal(s.B0, End::Left, "S2");
  t.Signal(s.B1, End::Right, "S3");
  t.Location("WEST", s.B0, End::Left);
  t.Location("EAST", s.B2, End::Right, 1);
  t.Location("NRTH", s.B4, End::Left);
  t.Location("STH", s.B5, End::Right);
  const int platform = t.Platform("P1", s.B1);
  t.Station("Middleton", "MT", {20, 7});
  t.OSPoint("B1");
  t.Detector("hot box");
  t.FitDetector(s.B2, "hot box");
  t.Text("Sample Line", {3, 2});
  const int freight = t.TrainType("Freight");
  const int passenger = t.TrainType("Passenger", 1);
  if (!bitmap.empty()) {
    TrainType type = store.GetTrainType(passenger);
    SetFieldText(type.BitmapFiles[0], bitmap);
    store.UpdateTrainType(passenger, type);
  }
  const int a = t.Train({.Id = "101", .Type = freight, .Entrance = "WEST", .Exit = "EAST", .EntranceMinutes = 360});
  const int b = t.Train({.Id = "2",
                         .Type = passenger,
                         .Entrance = "EAST",
                         .Exit = "WEST",
                         .EntranceMinutes = 400,
                         .Direction = 0,
                         .Days = kWeekdays,
                         .Stops = {{platform, 420}}});
  t.StartTime(300, {{.Train = a}, {.Train = b, .Block = s.B2, .Direction = 0}});
  t.SlowOrder({.Location = "Block 1", .Speed = 20});
  t.Permit({.Track = "B1-B2", .StartMinutes = 600, .EndMinutes = 660, .Requestor = "Signal Maint", .Reason = "Test"});
  t.Finish();
  return s;
}

// Every type slot goes into the file, so that none comes back with the empty territory's bitmap names
// (which the writer would look for on disk).
void NameSpareTypes(Corvane3Data& store) {
  for (int t = 2; t < kMaxTrainTypes; ++t) {
    TrainType spare = store.GetTrainType(t);
    SetFieldText(spare.Name, "Spare " + std::to_string(t));
    store.UpdateTrainType(t, spare);
  }
}

TEST_F(TrackFileTest, WriteLoadWriteGivesIdenticalBytesInTheSectionLayout) {
  const Bytes loco = MakeBitmap(32, 14);
  WriteBytes(In("loco.bmp"), loco);
  const Sample s = BuildSample(store(), In("loco.bmp"));
  const std::string path = In("sample.trk");
  WriteBytes(In("sample.txt"), Bytes{'N', 'o', 't', 'e', 's', '\n'});
  TerritoryData territory = store().GetTerritoryData();
  SetFieldText(territory.CommentsFile, In("sample.txt"));
  store().UpdateTerritoryData(territory);
  const Bytes maint = MakeBitmap(8, 8);
  BitmapMaint record{};
  SetFieldText(record.Name, "yard.bmp");
  store().UpdateBitmapMaint(3, record);
  std::memcpy(store().MaintImage(3), maint.data(), maint.size());
  store().MaintImageSizes[3] = static_cast<int32_t>(maint.size());
  store().ChangeCount = store().LoadedChangeCount = 7;
  // Every type slot goes into the file, so that none comes back with the empty territory's bitmap names
  // (which the writer would look for on disk).
  for (int t = 2; t < kMaxTrainTypes; ++t) {
    TrainType spare = store().GetTrainType(t);
    SetFieldText(spare.Name, "Spare " + std::to_string(t));
    store().UpdateTrainType(t, spare);
  }
  const auto track = store().GridTrack;
  const auto devices = store().GridDevice;
  const auto flags = store().GridFlags;

  ASSERT_EQ(TrackFile(store()).Write(path, 1), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Created new track file called \"" + path + "\".");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Information);
  const Bytes first = ReadBytes(path);
  const Bytes head = {0xd2, 0x18, 0x21, 0x36, 0x2d, 0x20, 0x6b, 0x26, 0x25, 0x00};
  ASSERT_GT(first.size(), head.size());
  EXPECT_TRUE(std::equal(head.begin(), head.end(), first.begin()));
  EXPECT_EQ(store().GridTrack, track);  // the code 21 move is the file's, not the store's

  // The size follows the section formula, for a grid of 36 x 17 cells.
  const Sections at = FindSections(first);
  EXPECT_EQ(Peek<int32_t>(first, at.Counts), 35);
  EXPECT_EQ(Peek<int32_t>(first, at.Counts + 4), 16);
  const size_t iconEntry = 4 + 255 + loco.size();
  const size_t expected = at.Icons + 4 + iconEntry + 4 + 6 + 200 * 51 + 100 * 102 + 400 + maint.size() + 8;
  EXPECT_EQ(first.size(), expected);
  EXPECT_EQ(Peek<int32_t>(first, at.Icons), 1);
  // Signal S1 (code 21 at 17,9) stands one column to the left in the file.
  EXPECT_EQ(store().GridTrack[17 * kGridRows + 9], 21);
  EXPECT_EQ(Peek<int16_t>(first, at.Grids + 2 * (16 * 17 + 9)), 21);
  EXPECT_EQ(Peek<int16_t>(first, at.Grids + 2 * (17 * 17 + 9)), 0);

  messages.Calls.clear();
  ASSERT_EQ(TrackFile(store()).Load(path, 0), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(store().GridTrack, track);
  EXPECT_EQ(store().GridDevice, devices);
  EXPECT_EQ(store().GridFlags, flags);
  EXPECT_EQ(store().ChangeCount, 7);
  EXPECT_EQ(store().LoadedChangeCount, 7);
  EXPECT_EQ(store().LoadedTrackVersion, 37);
  EXPECT_EQ(FieldText(store().GetBlockData(s.B1).Name), "B1");
  EXPECT_EQ(+store().GetSwitchData(s.Switch).Legs[2], s.B3);
  EXPECT_EQ(store().TrainIconImages[0], loco);
  EXPECT_EQ(FieldText(store().GetTrainIconData(0).FileName), In("loco.bmp"));
  EXPECT_EQ(store().TrainTypeIcons[1][0], 0);
  EXPECT_EQ(store().TrainTypeIcons[1][1], -1);
  EXPECT_EQ(store().MaintBitmapUsable[3], 1);
  EXPECT_EQ(FieldText(store().GetTerritoryData().CommentsFile), In("sample.txt"));
  EXPECT_EQ(shell.CloseDataWindowsCalls, 1);

  ASSERT_EQ(TrackFile(store()).Write(In("again.trk"), 0), 0);
  EXPECT_EQ(ReadBytes(In("again.trk")), first);
}

TEST_F(TrackFileTest, LoadDerivesWhatTheFileDoesNotCarry) {
  const Sample s = BuildSample(store(), "");
  // A hand-thrown switch, a type no ordinary block serves, a pass-through block faster than all others.
  SwitchData sw = store().GetSwitchData(s.Switch);
  sw.HandThrown = 1;
  store().UpdateSwitchData(s.Switch, sw);
  TrainType unused = store().GetTrainType(2);
  unused.InUse = 1;
  SetFieldText(unused.Name, "Transit");
  store().UpdateTrainType(2, unused);
  for (int b = 0; b < kMaxBlocks; ++b) {
    BlockData block = store().GetBlockData(b);
    if (block.InUse == 0) continue;
    block.SpeedMax[0][2] = block.SpeedMax[1][2] = b == s.B3 ? 90 : -1;
    if (b == s.B3) block.PassThrough = 1;
    store().UpdateBlockData(b, block);
  }
  // Entrance/exit cells as the file would hold them before the loader works them out.
  for (int i = 0; i < 4; ++i) {
    OrgData org = store().GetOrgData(i);
    org.CellX = org.CellY = 0;
    store().UpdateOrgData(i, org);
  }
  // A maintenance image that fills a whole buffer.
  BitmapMaint big{};
  SetFieldText(big.Name, "big.bmp");
  store().UpdateBitmapMaint(0, big);
  store().MaintImageSizes[0] = kMaintImageBytes;
  ASSERT_EQ(TrackFile(store()).Write(In("derive.trk"), 0), 0);
  store().UpdateCountData(CountData{});

  ASSERT_EQ(TrackFile(store()).Load(In("derive.trk"), -1), 0);
  const OrgData west = store().GetOrgData(0), east = store().GetOrgData(1);
  const OrgData north = store().GetOrgData(2), south = store().GetOrgData(3);
  EXPECT_EQ((std::pair<int, int>{+west.CellX, +west.CellY}), (std::pair<int, int>{2, 10}));
  EXPECT_EQ((std::pair<int, int>{+east.CellX, +east.CellY}), (std::pair<int, int>{36, 10}));
  EXPECT_EQ((std::pair<int, int>{+north.CellX, +north.CellY}), (std::pair<int, int>{26, 3}));
  EXPECT_EQ((std::pair<int, int>{+south.CellX, +south.CellY}), (std::pair<int, int>{26, 17}));
  EXPECT_EQ(+store().GetTrainType(0).TopSpeed, 70);
  EXPECT_EQ(+store().GetTrainType(2).TopSpeed, 0);  // only the pass-through block serves it
  EXPECT_EQ(+store().GetSwitchData(s.Switch).HandThrown, 0);
  EXPECT_EQ(store().GetCountData().Words[kCountRunningTrains], 0);
  EXPECT_EQ(store().GetCountData().Words[kCountLocations], 4);
  EXPECT_EQ(store().MaintImageSizes[0], 0);
  EXPECT_EQ(store().GetBitmapMaint(0).Name[0], 0);
}

// The file's head and the refusals TrackFile::Load makes before and after the body.
TEST_F(TrackFileTest, RefusedFilesLeaveAnEmptyStore) {
  BuildSample(store(), "");
  store().ChangeCount = 5;
  ASSERT_EQ(TrackFile(store()).Write(In("good.trk"), 0), 0);
  const Bytes good = ReadBytes(In("good.trk"));
  const auto expectEmpty = [&](const std::string& what) {
    EXPECT_EQ(store().GetCountData().Words[kCountBlocks], kMaxBlocks) << what;
    EXPECT_EQ(+store().GetBlockData(0).InUse, 0) << what;
    EXPECT_EQ(store().GridTrack[3 * kGridRows + 10], 0) << what;
  };

  Bytes newer = good;
  Poke(newer, 8, int16_t{38});
  WriteBytes(In("newer.trk"), newer);
  EXPECT_EQ(TrackFile(store()).Load(In("newer.trk"), 12), 3);
  expectEmpty("newer");
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "The track territory file being loaded has an newer file structure than this program can handle.");

  Bytes magic = good;
  magic[3] ^= 0x40;
  WriteBytes(In("magic.trk"), magic);
  messages.Calls.clear();
  EXPECT_EQ(TrackFile(store()).Load(In("magic.trk"), -1), 1);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(TrackFile(store()).Load(In("magic.trk"), 0), 1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Illegal track territory file!");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);

  messages.Calls.clear();
  EXPECT_EQ(TrackFile(store()).Load(In("missing.trk"), 5), 3);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not open track territory file \"" + In("missing.trk") + "\".");

  // Every refusal leaves the empty territory under the empty territory's name, not the last one loaded.
  for (const char* name : {"newer.trk", "magic.trk", "missing.trk"}) {
    SetFieldText(store().TrackFilePath, "good.trk");
    EXPECT_NE(TrackFile(store()).Load(In(name), -1), 0);
    EXPECT_STREQ(store().TrackFilePath, "new.trk") << name;
  }

  Bytes tail = good;
  tail[tail.size() - 2] ^= 1;
  WriteBytes(In("tail.trk"), tail);
  SetFieldText(store().TrackFilePath, "good.trk");
  messages.Calls.clear();
  EXPECT_EQ(TrackFile(store()).Load(In("tail.trk"), 0), 1);
  expectEmpty("end magic");
  EXPECT_STREQ(store().TrackFilePath, "new.trk");
  EXPECT_EQ(store().ChangeCount, store().LoadedChangeCount);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "The track file you attempted to open \"" + In("tail.trk") +
                                        "\" has corruptd data. A new layout file was loaded instead.");
}

// A load refused after the flag grid, the detectors and the options were read leaves nothing of the
// refused file: a save afterwards writes what a fresh start writes.
TEST_F(TrackFileTest, RefusedLoadThenSaveWritesTheFreshTerritory) {
  const auto saveEmpty = [&](const std::string& name) {
    StartTime start = store().GetStartTime(0);
    start.InUse = 1;
    store().UpdateStartTime(0, start);
    for (int t = 0; t < kMaxTrainTypes; ++t) {
      TrainType type = store().GetTrainType(t);
      for (auto& bitmap : type.BitmapFiles) SetFieldText(bitmap, "Red Caboose (internal bitmap)");
      store().UpdateTrainType(t, type);
    }
    EXPECT_EQ(TrackFile(store()).Write(In(name), 0), 0) << name;
    return ReadBytes(In(name));
  };
  store().InitTerritoryData();
  const Bytes fresh = saveEmpty("fresh.trk");

  BuildSample(store(), "");
  TerritoryOptions options = store().GetTerritoryOptions();
  options.Units = 1;
  store().UpdateTerritoryOptions(options);
  AreaData area = store().GetAreaData(0);
  std::memset(&area, 0x41, sizeof area);
  store().UpdateAreaData(0, area);
  ASSERT_EQ(TrackFile(store()).Write(In("good.trk"), 0), 0);
  Bytes bad = ReadBytes(In("good.trk"));
  bad[bad.size() - 2] ^= 1;  // the end magic: everything before it was read
  WriteBytes(In("bad.trk"), bad);
  ASSERT_EQ(TrackFile(store()).Load(In("bad.trk"), -1), 1);
  EXPECT_EQ(store().GetGridFlag(3, 10), 0);
  EXPECT_EQ(FieldText(store().GetDetectorData(0).Description), "");
  EXPECT_EQ(+store().GetTerritoryOptions().Units, 0);
  EXPECT_EQ(saveEmpty("after.trk"), fresh);
}

// Counts and sizes beyond the store's capacities, and a file cut short, are damaged files.
TEST_F(TrackFileTest, OverCapacityCountsAndSizesAreDamagedFiles) {
  BuildSample(store(), "");
  TerritoryData territory = store().GetTerritoryData();
  SetFieldText(territory.CommentsFile, "notes.txt");
  store().UpdateTerritoryData(territory);
  ASSERT_EQ(TrackFile(store()).Write(In("good.trk"), 0), 0);
  const Bytes good = ReadBytes(In("good.trk"));
  const Sections at = FindSections(good);
  struct Case {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {"grid columns", at.Counts, 200},
      {"grid rows", at.Counts + 4, 160},
      {"negative columns", at.Counts, -1},
      {"trains", at.Counts + 4 * 2, 1001},
      {"blocks", at.Counts + 4 * 6, 2001},
      {"signals", at.Counts + 4 * 8, -5},
      {"start times", at.Counts + 4 * 15, 51},
      {"icon count", at.Icons, 52},
      {"negative icon count", at.Icons, -1},
      {"comments length", at.Icons + 4, 0x7fffffff},
      {"negative comments", at.Icons + 4, -2},
      // Signal S1 has code 21: in column 0 it has no column to its left to be kept in.
      {"code 21 signal in column 0", at.Signals + 66 * 1 + 25, 0x00090000},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    Poke(bad, c.offset, c.value);
    WriteBytes(In("bad.trk"), bad);
    EXPECT_EQ(TrackFile(store()).Load(In("bad.trk"), -1), 1) << c.what;
    EXPECT_EQ(+store().GetBlockData(0).InUse, 0) << c.what;
  }
  for (const size_t cut : {size_t{5}, size_t{12}, at.Grids + 3, at.Trains + 100, at.Icons + 6, good.size() - 1}) {
    WriteBytes(In("short.trk"), Bytes(good.begin(), good.begin() + static_cast<long>(cut)));
    EXPECT_EQ(TrackFile(store()).Load(In("short.trk"), -1), 1) << cut;
    EXPECT_EQ(+store().GetBlockData(0).InUse, 0) << cut;
  }
}

// Every load reads into the room the loads before it had: a file that is shorter than the one before, an
// empty one and one that cannot be read must not be read on into the earlier file's bytes.
TEST_F(TrackFileTest, ALoadSeesNoneOfTheLongerFileReadBeforeIt) {
  BuildSample(store(), "");
  ASSERT_EQ(TrackFile(store()).Write(In("good.trk"), 0), 0);
  const Bytes good = ReadBytes(In("good.trk"));
  WriteBytes(In("no end byte.trk"), Bytes(good.begin(), good.end() - 1));
  WriteBytes(In("no end magic.trk"), Bytes(good.begin(), good.end() - 8));
  WriteBytes(In("empty.trk"), Bytes{});
  std::filesystem::create_directory(In("folder.trk"));
  const std::pair<const char*, int> cases[] = {
      {"no end byte.trk", 1}, {"no end magic.trk", 1}, {"empty.trk", 1}, {"missing.trk", 3}, {"folder.trk", 3}};
  for (const auto& [name, result] : cases) {
    ASSERT_EQ(TrackFile(store()).Load(In("good.trk"), -1), 0) << name;
    EXPECT_EQ(TrackFile(store()).Load(In(name), -1), result) << name;
    EXPECT_EQ(+store().GetBlockData(0).InUse, 0) << name;
    EXPECT_EQ(store().GridTrack[3 * kGridRows + 10], 0) << name;
  }
  // And the room, once grown, serves a shorter file whole.
  EXPECT_EQ(TrackFile(store()).Load(In("good.trk"), -1), 0);
  EXPECT_EQ(FieldText(store().GetBlockData(0).Name), "B0");
}

// A message shown in the middle of a load may run other work meanwhile; a load started from there reads
// into room of its own, and the first one goes on with its own bytes.
TEST_F(TrackFileTest, ALoadStartedDuringALoadLeavesTheFirstOnesBytesAlone) {
  WriteBytes(In("loco.bmp"), MakeBitmap(32, 14));
  BuildSample(store(), In("loco.bmp"));
  ASSERT_EQ(TrackFile(store()).Write(In("icons.trk"), 0), 0);
  Bytes icons = ReadBytes(In("icons.trk"));
  icons[FindSections(icons).Icons + 4 + 4 + 255] = 'X';  // the icon's picture is refused with a message
  WriteBytes(In("icons.trk"), icons);
  // A larger file, so that a shared room would have to grow under the first load.
  BitmapMaint maint{};
  SetFieldText(maint.Name, "big.bmp");
  store().UpdateBitmapMaint(0, maint);
  store().MaintImageSizes[0] = kMaintImageBytes - 1;
  ASSERT_EQ(TrackFile(store()).Write(In("big.trk"), 0), 0);
  ASSERT_GT(ReadBytes(In("big.trk")).size(), 2 * icons.size());

  struct LoadingMessages : FakeMessageService {
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override {
      if (Inner < 0) Inner = TrackFile(*Store).Load(Path, -1);
      return FakeMessageService::ShowMessage(text, caption, icon, buttons);
    }
    Corvane3Data* Store = nullptr;
    std::string Path;
    int Inner = -1;
  } loading;
  loading.Store = &store();
  loading.Path = In("big.trk");
  store().SetMessageService(&loading);
  EXPECT_EQ(TrackFile(store()).Load(In("icons.trk"), -1), 0);
  EXPECT_EQ(loading.Inner, 0);
  ASSERT_EQ(loading.Calls.size(), 1u);
  EXPECT_EQ(loading.Calls[0].Text, "The temporary bitmap file is illegal!");
  store().SetMessageService(&messages);
}

// A territory that carries its own pictures saves again byte for byte once the picture files are gone:
// the writer takes the pictures the store holds.
TEST_F(TrackFileTest, CarriedPicturesSaveFromTheStore) {
  WriteBytes(In("loco.bmp"), MakeBitmap(32, 14));
  BuildSample(store(), In("loco.bmp"));
  NameSpareTypes(store());
  ASSERT_EQ(TrackFile(store()).Write(In("own.trk"), 0), 0);
  std::filesystem::remove(In("loco.bmp"));
  const Bytes first = ReadBytes(In("own.trk"));
  ASSERT_EQ(TrackFile(store()).Load(In("own.trk"), 0), 0);
  EXPECT_EQ(store().TrainTypeIcons[1][0], 0);
  ASSERT_EQ(TrackFile(store()).Write(In("again.trk"), 0), 0);
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(ReadBytes(In("again.trk")), first);

  // A held picture of the wrong size is refused as a file on disk would be.
  store().TrainIconImages[0] = MakeBitmap(16, 14);
  EXPECT_EQ(TrackFile(store()).Write(In("third.trk"), 0), 6);
  ASSERT_FALSE(messages.Calls.empty());
  EXPECT_NE(messages.Calls[0].Text.find("is not the correct size"), std::string::npos);
}

// With the shell's internal pictures in place, every train type of the demonstration territory has its
// three pictures after the load, and the territory saves.
class InternalPicturesShell : public FakeShellService {
 public:
  void LoadTrainIcons() override {
    FakeShellService::LoadTrainIcons();
    TheStore->AssignInternalTrainIcons();
  }
};

TEST_F(TrackFileTest, DemonstrationTypesShowTheirPicturesAndSave) {
  InternalPicturesShell pictures;
  store().SetShellService(&pictures);
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, 0), 0);
  for (int t = 0; t < kMaxTrainTypes; ++t) {
    const TrainType type = store().GetTrainType(t);
    if (type.InUse == 0) continue;
    for (int k = 0; k < 3; ++k) {
      const int slot = store().TrainTypeIcons[t][k];
      ASSERT_GE(slot, 0) << t << " " << k;
      EXPECT_EQ(FieldText(store().GetTrainIconData(slot).FileName), FieldText(type.BitmapFiles[k]));
    }
  }
  EXPECT_EQ(TrackFile(store()).Write(In("demo.trk"), 0), 0);
  store().SetShellService(&shell);
}

TEST_F(TrackFileTest, IconImagesAreCheckedAndKeptInMemory) {
  WriteBytes(In("loco.bmp"), MakeBitmap(32, 14));
  BuildSample(store(), In("loco.bmp"));
  ASSERT_EQ(TrackFile(store()).Write(In("icons.trk"), 0), 0);
  Bytes file = ReadBytes(In("icons.trk"));
  const Sections at = FindSections(file);
  // Damage the image's magic: the icon is left out with a message, the rest loads.
  file[at.Icons + 4 + 4 + 255] = 'X';
  WriteBytes(In("icons.trk"), file);
  std::filesystem::remove(In("loco.bmp"));
  EXPECT_EQ(TrackFile(store()).Load(In("icons.trk"), -1), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "The temporary bitmap file is illegal!");
  EXPECT_EQ(+store().GetTrainIconData(0).InUse, 0);
  EXPECT_EQ(store().TrainTypeIcons[1][0], -1);
  // Nothing is written into the working folder under a name from the file.
  EXPECT_FALSE(std::filesystem::exists("loco.bmp"));
  EXPECT_FALSE(std::filesystem::exists(In("loco.bmp")));
}

// Older structures: no change count copy before 35, 370-byte start times before 36, reset fields before 37.
TEST_F(TrackFileTest, VersionsThirtyFourToThirtySixLoadTheirOwnLayouts) {
  const Sample s = BuildSample(store(), "");
  TrainData train = store().GetTrainData(0);
  train.Multiple[2].NewLength = 5;
  train.LocalWork[4].NewLength = 77;
  store().UpdateTrainData(0, train);
  StartTime start = store().GetStartTime(0);
  start.Word460 = 1234;
  start.Byte462 = 9;
  start.Word463 = -3;
  start.Bytes360[0] = 42;
  store().UpdateStartTime(0, start);
  store().ChangeCount = 11;
  ASSERT_EQ(TrackFile(store()).Write(In("v37.trk"), 0), 0);
  const Bytes v37 = ReadBytes(In("v37.trk"));
  const Sections at = FindSections(v37);

  for (const int version : {34, 35, 36}) {
    SCOPED_TRACE(version);
    Bytes file(v37.begin(), v37.begin() + static_cast<long>(at.StartTimes));
    for (int i = 0; i < store().GetCountData().Words[kCountStartTimes]; ++i) {
      const auto record = v37.begin() + static_cast<long>(at.StartTimes + 470 * i);
      if (version >= 36) {
        file.insert(file.end(), record, record + 470);
      } else {
        file.insert(file.end(), record, record + 360);
        file.insert(file.end(), record + 460, record + 465);
        file.insert(file.end(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
      }
    }
    file.insert(file.end(), v37.begin() + static_cast<long>(at.Areas), v37.end());
    Poke(file, 8, static_cast<int16_t>(version));
    if (version == 34) file.erase(file.begin() + 24, file.begin() + 28);  // the change count copy
    WriteBytes(In("old.trk"), file);

    ASSERT_EQ(TrackFile(store()).Load(In("old.trk"), -1), 0);
    EXPECT_EQ(store().LoadedChangeCount, 11);
    EXPECT_EQ(store().LoadedTrackVersion, version);
    EXPECT_EQ(FieldText(store().GetBlockData(s.B2).Name), "B2");
    const StartTime got = store().GetStartTime(0);
    EXPECT_EQ(+got.Word1, 300);
    EXPECT_EQ(+got.TrainIndex[1], 1);
    EXPECT_EQ(+got.Word460, 1234);
    EXPECT_EQ(+got.Byte462, 9);
    EXPECT_EQ(+got.Word463, -3);
    EXPECT_EQ(+got.Bytes360[0], version >= 36 ? 42 : 1);  // the empty territory's value
    EXPECT_EQ(+store().GetStartTime(1).InUse, 0);
    const TrainData loaded = store().GetTrainData(0);
    EXPECT_EQ(+loaded.Multiple[2].NewLength, version >= 37 ? 5 : -1);
    EXPECT_EQ(+loaded.LocalWork[4].NewLength, -1);
  }
}

TEST_F(TrackFileTest, WriteRefusesMissingOrWrongBitmapsAndNoStartTime) {
  WriteBytes(In("small.bmp"), MakeBitmap(16, 14));
  WriteBytes(In("text.bmp"), Bytes{'h', 'e', 'l', 'l', 'o'});
  BuildSample(store(), In("missing.bmp"));
  // Type 0 and type 3 share a bad name: one check, and it names type 0.
  TrainType freight = store().GetTrainType(0);
  SetFieldText(freight.BitmapFiles[1], In("small.bmp"));
  SetFieldText(freight.BitmapFiles[2], In("text.bmp"));
  store().UpdateTrainType(0, freight);
  TrainType other = store().GetTrainType(3);
  SetFieldText(other.BitmapFiles[0], In("small.bmp"));
  store().UpdateTrainType(3, other);
  StartTime start = store().GetStartTime(0);
  start.InUse = 0;
  store().UpdateStartTime(0, start);

  EXPECT_EQ(TrackFile(store()).Write(In("refused.trk"), 1), 6);
  EXPECT_FALSE(std::filesystem::exists(In("refused.trk")));
  std::vector<std::string> texts;
  for (const auto& call : messages.Calls) texts.push_back(call.Text);
  const std::vector<std::string> expected = {
      "\"Freight(0)\", Locomotive or caboose bitmap file \"" + In("small.bmp") +
          "\" is not the correct size.  It should have a width of 32 pixes and a height of 14 pixels.",
      "\"Freight(0)\", Locomotive or caboose bitmap file \"" + In("text.bmp") + "\" is not a valid bitmap file.",
      "\"Passenger(1)\", Could not find or open locomotive or caboose bitmap file \"" + In("missing.bmp") + "\".",
      "The territory has no start time.  Add at least one start time before saving the track file.",
      "Could not create new track file because of errors."};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2);  // only the two bitmaps
}

// A picture the save must carry but cannot read is refused like a missing one: the save says which
// and writes nothing, and a FIFO or a device named as the picture is never waited on or read on.
TEST_F(TrackFileTest, WriteRefusesBitmapsThatAreNoRegularFiles) {
  BuildSample(store(), "");
  const std::vector<not_files::NotAFile> pictures = not_files::Make(folder_, ".bmp");
  TrainType freight = store().GetTrainType(0);
  for (int i = 0; i < 3; ++i) SetFieldText(freight.BitmapFiles[i], pictures[static_cast<size_t>(i)].Path);
  store().UpdateTrainType(0, freight);
  not_files::WithinSeconds([&] { EXPECT_EQ(TrackFile(store()).Write(In("refused.trk"), 1), 6); });
  EXPECT_FALSE(std::filesystem::exists(In("refused.trk")));
  std::vector<std::string> texts;
  for (const auto& call : messages.Calls) texts.push_back(call.Text);
  std::vector<std::string> expected;
  for (const not_files::NotAFile& picture : pictures)
    expected.push_back("\"Freight(0)\", Could not find or open locomotive or caboose bitmap file \"" + picture.Path +
                       "\".");
  expected.push_back("Could not create new track file because of errors.");
  EXPECT_EQ(texts, expected);
}

// The comments file beside a track file appears only once the whole file was accepted, and a comments
// file longer than the format's 32-bit length is refused before anything is written.
TEST_F(TrackFileTest, CommentsFileFollowsOnlyAnAcceptedLoadAndMustFitTheFormat) {
  BuildSample(store(), "");
  NameSpareTypes(store());
  WriteBytes(In("notes.txt"), Bytes{'h', 'i', '\n'});
  TerritoryData territory = store().GetTerritoryData();
  SetFieldText(territory.CommentsFile, In("notes.txt"));
  store().UpdateTerritoryData(territory);
  ASSERT_EQ(TrackFile(store()).Write(In("line.trk"), 0), 0);
  Bytes bad = ReadBytes(In("line.trk"));
  bad[bad.size() - 2] ^= 1;
  WriteBytes(In("bad.trk"), bad);
  EXPECT_EQ(TrackFile(store()).Load(In("bad.trk"), -1), 1);
  EXPECT_FALSE(std::filesystem::exists(In("bad.txt")));
  EXPECT_EQ(TrackFile(store()).Load(In("line.trk"), -1), 0);
  EXPECT_EQ(ReadBytes(In("line.txt")), (Bytes{'h', 'i', '\n'}));

  // A sparse file just over 2 GiB: it is never read.
  std::filesystem::resize_file(In("line.txt"), (uintmax_t{1} << 31) + 1);
  messages.Calls.clear();
  EXPECT_EQ(TrackFile(store()).Write(In("huge.trk"), 0), 6);
  EXPECT_FALSE(std::filesystem::exists(In("huge.trk")));
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text,
            "The comments file \"" + In("line.txt") + "\" is too large to be saved in the track file.");
  EXPECT_EQ(messages.Calls[1].Text, "Could not create new track file because of errors.");
}

TEST_F(TrackFileTest, SaveResetsTheChangeCountAndKeepsTheOldFileWhenItCannotWrite) {
  BuildSample(store(), "");
  store().LoadedChangeCount = 4;
  store().ChangeCount = 9;
  TerritoryData territory = store().GetTerritoryData();
  SetFieldText(territory.CommentsFile, In("none.txt"));
  store().UpdateTerritoryData(territory);
  ASSERT_EQ(TrackFile(store()).Write(In("saved.trk"), 0), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);  // the missing comments file only warns
  EXPECT_EQ(messages.Calls[0].Text, "Could not find or open comments file \"" + In("none.txt") + "\".");
  EXPECT_EQ(store().ChangeCount, 4);
  EXPECT_STREQ(store().LastSavedTrackPath, In("saved.trk").c_str());
  const Bytes saved = ReadBytes(In("saved.trk"));
  EXPECT_EQ(Peek<int32_t>(saved, 20), 9);
  EXPECT_EQ(Peek<int32_t>(saved, 24), 9);
  EXPECT_EQ(Peek<int32_t>(saved, FindSections(saved).Icons + 4), 0);  // comments of length 0

  messages.Calls.clear();
  EXPECT_EQ(TrackFile(store()).Write(In("no/such/folder/x.trk"), 1), 3);
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[1].Text, "Could not save track file");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);  // no temporary left
}

TEST_F(TrackFileTest, CheckWaveFileLooksAtTheFormTag) {
  const Bytes wave = {'R', 'I', 'F', 'F', 1, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0};
  Bytes lower = wave;
  std::memcpy(lower.data() + 8, "wave", 4);
  Bytes avi = wave;
  std::memcpy(avi.data() + 8, "AVI ", 4);
  WriteBytes(In("a.wav"), wave);
  WriteBytes(In("b.wav"), lower);
  WriteBytes(In("c.avi"), avi);
  WriteBytes(In("short.wav"), Bytes{'R', 'I'});
  EXPECT_EQ(CheckWaveFile(In("a.wav")), 0);
  EXPECT_EQ(CheckWaveFile(In("b.wav")), 0);
  EXPECT_EQ(CheckWaveFile(In("c.avi")), 1);
  EXPECT_EQ(CheckWaveFile(In("short.wav")), 1);
  EXPECT_EQ(CheckWaveFile(In("none.wav")), 3);
}

}  // namespace
