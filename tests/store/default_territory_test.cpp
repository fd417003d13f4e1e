#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>

#include "store/fixed_text.h"
#include "store/track_file.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/store_fixture.h"

namespace {

using DefaultTerritoryTest = StoreFixture;

// default.trk, as the build wrote it, loads into what the builder makes.
TEST_F(DefaultTerritoryTest, LoadsAsTheBuilderMadeIt) {
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, 0), 0);
  EXPECT_TRUE(messages.Calls.empty());

  auto built = std::make_unique<Corvane3Data>();
  territory::BuildDemonstrationTerritory(*built);
  TheStore = &store();
  const CountData loaded = store().GetCountData(), expected = built->GetCountData();
  for (int w = 0; w < 25; ++w) EXPECT_EQ(loaded.Words[w], expected.Words[w]) << "count word " << w;
  EXPECT_EQ(store().GridTrack, built->GridTrack);
  EXPECT_EQ(store().GridDevice, built->GridDevice);
  EXPECT_EQ(store().GridFlags, built->GridFlags);
  for (int b = 0; b < expected.Words[kCountBlocks]; ++b) {
    EXPECT_EQ(FieldText(store().GetBlockData(b).Name), FieldText(built->GetBlockData(b).Name)) << b;
    EXPECT_EQ(+store().GetBlockData(b).RightNeighbour, +built->GetBlockData(b).RightNeighbour) << b;
  }
  for (int i = 0; i < expected.Words[kCountTrains]; ++i)
    EXPECT_EQ(FieldText(store().GetTrainData(i).TrainId), FieldText(built->GetTrainData(i).TrainId)) << i;
  for (int i = 0; i < expected.Words[kCountLocations]; ++i) {
    const OrgData a = store().GetOrgData(i), b = built->GetOrgData(i);
    EXPECT_EQ(FieldText(a.Name), FieldText(b.Name));
    EXPECT_EQ((std::pair<int, int>{+a.CellX, +a.CellY}), (std::pair<int, int>{+b.CellX, +b.CellY}))
        << FieldText(a.Name);
  }
  EXPECT_EQ(FieldText(store().GetTerritoryData().Name), "Corvane Demonstration");
  // A reader that knows the file's layout finds the railroad at +82 of the territory record.
  const std::string railroad = FieldText(built->GetTerritoryData().Railroad);
  ASSERT_FALSE(railroad.empty());
  std::ifstream file(CORVANE_DEFAULT_TRK, std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(file), {});
  ASSERT_GT(bytes.size(), 128u + 82 + 41);
  EXPECT_EQ(FieldText(bytes.data() + 128 + 82, 41), railroad);
}

// What the demonstration is there to show.
TEST_F(DefaultTerritoryTest, HoldsWhatTheDemonstrationPromises) {
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, 0), 0);
  const CountData counts = store().GetCountData();
  int mainBlocks = 0, sidings = 0;
  for (int b = 0; b < counts.Words[kCountBlocks]; ++b) {
    const BlockData block = store().GetBlockData(b);
    if (FieldText(block.TrackPart) == "1" || FieldText(block.TrackPart) == "2") ++mainBlocks;
    if (FieldText(block.TrackPart) == "Siding") ++sidings;
  }
  EXPECT_GE(mainBlocks, 28);
  EXPECT_EQ(sidings, 1);
  int partnered = 0;
  for (int s = 0; s < counts.Words[kCountSwitches]; ++s) partnered += store().GetSwitchData(s).Partner >= 0;
  EXPECT_EQ(partnered, 6);  // three crossovers
  EXPECT_EQ(counts.Words[kCountDiamonds], 2);
  std::set<std::string> locations;
  for (int i = 0; i < counts.Words[kCountLocations]; ++i) locations.insert(FieldText(store().GetOrgData(i).Name));
  EXPECT_EQ(locations, (std::set<std::string>{"W1", "W2", "E1", "E2", "BR"}));
  EXPECT_EQ(counts.Words[kCountPlatforms], 4);
  EXPECT_EQ(counts.Words[kCountStations], 2);
  EXPECT_GE(counts.Words[kCountOSPoints], 3);
  EXPECT_EQ(FieldText(store().GetDetectorData(0).Description), "hot box");
  int types = 0;
  for (int t = 0; t < kMaxTrainTypes; ++t) types += store().GetTrainType(t).InUse;
  EXPECT_EQ(types, 3);
  for (int day = 1; day <= 5; ++day) {
    int running = 0, withStops = 0;
    for (int i = 0; i < counts.Words[kCountTrains]; ++i) {
      const TrainData train = store().GetTrainData(i);
      if (train.InUse != 1 || train.Days[day] != 1) continue;
      ++running;
      for (const auto& stop : train.Stations) withStops += stop.Minutes != 0xFFFF ? 1 : 0;
    }
    EXPECT_GE(running, 35) << day;
    EXPECT_GT(withStops, 0) << day;
  }
  EXPECT_EQ(counts.Words[kCountStartTimes], 3);
  EXPECT_EQ(+store().GetSlowData(0).InUse, 1);
  EXPECT_EQ(+store().GetPermitData(0).InUse, 1);

  // Speeds by the blocks cleared ahead, the report's speeds rather than entered running times.
  EXPECT_EQ(+store().GetTerritoryOptions().RunTimeSource, 1);
  int rising = 0, timed = 0, crewPoints = 0;
  for (int b = 0; b < counts.Words[kCountBlocks]; ++b) {
    const BlockData block = store().GetBlockData(b);
    rising += block.SpeedOneClear[1][0] < block.SpeedTwoClear[1][0] && block.SpeedTwoClear[1][0] < block.SpeedMax[1][0];
    timed += block.RunTimes[2][1][0] > 0;
    crewPoints += block.CrewChangePoint;
  }
  EXPECT_GE(rising, 28);
  EXPECT_GE(timed, 1);
  EXPECT_EQ(crewPoints, 2);
  // The crossing railway's traffic, the yard entrance, the mill's work area and its local.
  bool traffic = false;
  for (int d = 0; d < counts.Words[kCountDiamonds]; ++d) traffic = traffic || store().GetCrossData(d).TrafficRouteB > 0;
  EXPECT_TRUE(traffic);
  int yards = 0;
  for (int i = 0; i < counts.Words[kCountLocations]; ++i) {
    const OrgData org = store().GetOrgData(i);
    yards += org.PermissionRequired == 1 && org.CapacityLimited == 1 && org.Capacity > 0;
  }
  EXPECT_EQ(yards, 1);
  // A train's work area has its record, which the local work page lists.
  std::set<std::string> areas;
  for (int i = 0; i < kMaxAreas; ++i) {
    const AreaData area = store().GetAreaData(i);
    const auto* bytes = reinterpret_cast<const char*>(&area);
    if (bytes[0] == 1) areas.insert(std::string(bytes + 1, strnlen(bytes + 1, sizeof area - 1)));
  }
  int working = 0, legs = 0, becoming = 0;
  for (int i = 0; i < counts.Words[kCountTrains]; ++i) {
    const TrainData train = store().GetTrainData(i);
    working += train.LocalWork[0].AreaName[0] != 0;
    if (train.LocalWork[0].AreaName[0] != 0) {
      EXPECT_EQ(areas.count(FieldText(train.LocalWork[0].AreaName)), 1u) << FieldText(train.TrainId);
    }
    legs += train.Multiple[0].NextEntrance[0] != 0;
    becoming += train.BecomesTrain >= 0;
  }
  EXPECT_EQ(working, 2);
  EXPECT_EQ(legs, 1);
  EXPECT_EQ(becoming, 1);
  // Every text of the territory information.
  const TerritoryData texts = store().GetTerritoryData();
  for (const std::string& text :
       {FieldText(texts.Name), FieldText(texts.Version), FieldText(texts.Country), FieldText(texts.Railroad),
        FieldText(texts.Division), FieldText(texts.From), FieldText(texts.To), FieldText(texts.Year),
        FieldText(texts.TrackFileName), FieldText(texts.Author), FieldText(texts.Address), FieldText(texts.Email),
        FieldText(texts.CommentsFile), FieldText(texts.CopyrightNotice)})
    EXPECT_FALSE(text.empty());
}

// Beside the track file the build writes its comments file and its settings, with the detectors' alarm rates.
TEST_F(DefaultTerritoryTest, ComesWithItsCommentsAndSettings) {
  ASSERT_EQ(TrackFile(store()).Load(CORVANE_DEFAULT_TRK, 0), 0);
  const std::filesystem::path track(CORVANE_DEFAULT_TRK);
  const std::filesystem::path comments = track.parent_path() / FieldText(store().GetTerritoryData().CommentsFile);
  std::ifstream in(comments);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, territory::DemonstrationComments());
  EXPECT_GT(store().GetRandomData().Values0[0], 0);
  EXPECT_GT(store().GetRandomData().Values0[1], 0);
}

}  // namespace
