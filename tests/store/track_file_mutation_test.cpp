#include <gtest/gtest.h>

#include <random>

#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tests/store/track_file_test_util.h"

namespace {

using namespace territory;
using namespace track_test;

using TrackFileMutationTest = TrackFileTest;

// A small territory with a bit of everything the reader has a check for: grids, every table, an icon image,
// comments and a maintenance image.
Bytes SmallTrackFile(Corvane3Data& store, const std::string& folder) {
  WriteBytes(folder + "/loco.bmp", MakeBitmap(32, 14));
  TerritoryBuilder t(store);
  const int a = t.Block({.Name = "A", .From = {2, 3}, .To = {8, 3}});
  const int sw = t.Switch("SW", {9, 3}, Diverge::DownRight);
  const int b = t.Block({.Name = "B", .From = {10, 3}, .To = {16, 3}});
  const int c = t.Block({.Name = "C", .From = {11, 5}, .To = {15, 5}});
  t.Link(a, SwitchDevice(sw));
  t.Link(SwitchDevice(sw), b);
  t.Branch(sw, c, End::Left);
  t.Signal(a, End::Right, "SA");
  t.Signal(b, End::Left, "SB");
  t.Location("W", a, End::Left);
  t.Location("E", b, End::Right);
  t.Platform("P", b);
  t.Station("Stop", "ST", {12, 1});
  t.OSPoint("B");
  t.Detector("hot box");
  t.Text("Label", {2, 7});
  const int type = t.TrainType("Freight");
  TrainType withIcon = store.GetTrainType(type);
  SetFieldText(withIcon.BitmapFiles[0], folder + "/loco.bmp");
  store.UpdateTrainType(type, withIcon);
  const int train = t.Train({.Id = "1", .Type = type, .Entrance = "W", .Exit = "E", .EntranceMinutes = 60});
  t.StartTime(0, {{.Train = train}});
  t.SlowOrder({.Location = "Block 1"});
  t.Permit({.Track = "A-B"});
  t.Finish();
  WriteBytes(folder + "/small.txt", Bytes{'c', 'o', 'm', 'm', 'e', 'n', 't'});
  TerritoryData territory = store.GetTerritoryData();
  SetFieldText(territory.CommentsFile, folder + "/small.txt");
  store.UpdateTerritoryData(territory);
  const Bytes maint = MakeBitmap(4, 4);
  BitmapMaint record{};
  SetFieldText(record.Name, "m.bmp");
  store.UpdateBitmapMaint(0, record);
  std::memcpy(store.MaintImage(0), maint.data(), maint.size());
  store.MaintImageSizes[0] = static_cast<int32_t>(maint.size());
  EXPECT_EQ(TrackFile(store).Write(folder + "/small.trk", 0), 0);
  return ReadBytes(folder + "/small.trk");
}

// Seeded mutations and truncations of a valid file: none crashes, each loads or is refused with the store
// left empty. Run under the sanitizers, this is the reader's robustness check.
TEST_F(TrackFileMutationTest, DamagedFilesLoadOrLeaveAnEmptyStore) {
  const Bytes good = SmallTrackFile(store(), folder_.string());
  ASSERT_FALSE(good.empty());
  const Sections at = FindSections(good);
  std::mt19937 random(20261209);
  const auto pick = [&](size_t limit) { return std::uniform_int_distribution<size_t>(0, limit - 1)(random); };
  int loaded = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes file = good;
    switch (round % 4) {
      case 0:  // a cut anywhere
        file.resize(pick(good.size()));
        break;
      case 1:  // a few bytes anywhere
        for (int n = 1 + static_cast<int>(pick(4)); n > 0; --n) file[pick(file.size())] ^= 1 << pick(8);
        break;
      case 2:  // a count or size field given an extreme value
      {
        const size_t fields[] = {at.Counts + 4 * pick(25), at.Icons, at.Icons + 4, at.Icons + 4 + 4 + 255 + pick(40),
                                 at.End - 400 - 4 * pick(100)};
        const int32_t values[] = {-1, 0, 1, 199, 200, 1000, 1001, 60000, 0x7fffffff, INT32_MIN};
        Poke(file, fields[pick(5)], values[pick(10)]);
        break;
      }
      default:  // damage in the head and the counts, where every later read depends on it
        file[8 + pick(at.Grids - 8)] ^= static_cast<uint8_t>(1 + pick(255));
        break;
    }
    WriteBytes(In("mutant.trk"), file);
    const int result = TrackFile(store()).Load(In("mutant.trk"), -1);
    const int16_t version = file.size() >= 10 ? Peek<int16_t>(file, 8) : 0;
    if (result == 0) {
      ++loaded;
      continue;
    }
    ++refused;
    ASSERT_TRUE(result == 1 || (result == 3 && version > 37)) << "round " << round << " gave " << result;
    ASSERT_EQ(+store().GetBlockData(0).InUse, 0) << "round " << round;
    ASSERT_EQ(store().GetCountData().Words[kCountBlocks], kMaxBlocks) << "round " << round;
    ASSERT_EQ(store().GridTrack[2 * kGridRows + 3], 0) << "round " << round;
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
