#include "tools/territory/territory_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

using namespace territory;
using TerritoryBuilderTest = StoreFixture;

int16_t Code(Corvane3Data& s, int x, int y) { return s.GridTrack[x * kGridRows + y]; }
int16_t Device(Corvane3Data& s, int x, int y) { return s.GridDevice[x * kGridRows + y]; }

//        x: 2         12           24
//   y=3                 S3                     signals for moves to the left (code 21)
//   y=4   WEST ====B0==== SW0 ====B1==== EAST
//   y=5            S0        \                  signal for moves to the right (code 22)
//   y=6                       ===B2===          siding, reached through the switch
TEST_F(TerritoryBuilderTest, SketchTerritoryHasConsistentGridsAndRecords) {
  TerritoryBuilder t(store());
  const int b0 = t.Block({.Name = "B0", .From = {2, 4}, .To = {11, 4}});
  const int sw = t.Switch("SW0", {12, 4}, Diverge::DownRight);
  const int b1 = t.Block({.Name = "B1", .From = {13, 4}, .To = {24, 4}});
  const int b2 = t.Block({.Name = "B2", .From = {14, 6}, .To = {20, 6}, .Length = 2000});
  t.Link(b0, SwitchDevice(sw));
  t.Link(SwitchDevice(sw), b1);
  t.Branch(sw, b2, End::Left);
  const int s0 = t.Signal(b0, End::Right, "S0");
  const int s3 = t.Signal(b1, End::Left, "S3");
  t.Location("WEST", b0, End::Left);
  t.Location("EAST", b1, End::Right);
  const int freight = t.TrainType("Freight");
  const int train = t.Train({.Id = "101", .Type = freight, .Entrance = "WEST", .Exit = "EAST", .EntranceMinutes = 360});
  t.StartTime(300, {{.Train = train}});
  t.Finish();

  // Track: end bars only at the territory edges; the siding's left end opens towards the diagonal.
  EXPECT_EQ(Code(store(), 2, 4), 2);
  EXPECT_EQ(Code(store(), 11, 4), 1);
  EXPECT_EQ(Code(store(), 24, 4), 3);
  EXPECT_EQ(Code(store(), 12, 4), 13);
  EXPECT_EQ(Device(store(), 12, 4), 2000 + sw);
  EXPECT_EQ(Code(store(), 13, 5), 5);
  EXPECT_EQ(Device(store(), 13, 5), 2000 + sw);
  EXPECT_EQ(Code(store(), 14, 6), 7);
  EXPECT_EQ(Code(store(), 20, 6), 3);
  EXPECT_EQ(Device(store(), 16, 6), b2);
  // Signals beside their block ends.
  EXPECT_EQ(Code(store(), 11, 5), 22);
  EXPECT_EQ(Device(store(), 11, 5), 3000 + s0);
  EXPECT_EQ(Code(store(), 14, 3), 21);
  EXPECT_EQ(Device(store(), 14, 3), 3000 + s3);
  EXPECT_EQ(+store().GetBlockData(b0).RightSignal, s0);
  EXPECT_EQ(+store().GetBlockData(b1).LeftSignal, s3);
  EXPECT_EQ(+store().GetSignalData(s3).Block, b1);

  const SwitchData sw0 = store().GetSwitchData(sw);
  EXPECT_EQ(+sw0.Legs[0], -1);
  EXPECT_EQ(+sw0.Legs[1], b0);
  EXPECT_EQ(+sw0.Legs[2], b2);
  EXPECT_EQ(+sw0.Legs[3], b1);
  EXPECT_EQ(+store().GetBlockData(b2).LeftNeighbour, 2000 + sw);
  EXPECT_EQ(+store().GetBlockData(b0).RightNeighbour, 2000 + sw);
  EXPECT_EQ(+store().GetBlockData(b1).LeftNeighbour, 2000 + sw);
  EXPECT_EQ(+store().GetBlockData(b0).LeftNeighbour, -1);

  const OrgData west = store().GetOrgData(0);
  EXPECT_EQ(FieldText(west.Name), "WEST");
  EXPECT_EQ(+west.CellX, 1);
  EXPECT_EQ(+west.CellY, 4);
  EXPECT_EQ(+store().GetOrgData(1).CellX, 25);
  EXPECT_EQ(FieldText(store().GetBlockData(b1).RightLocation), "EAST");

  const CountData counts = store().GetCountData();
  EXPECT_EQ(counts.Words[kCountGridColumns], 24);
  EXPECT_EQ(counts.Words[kCountGridRows], 6);
  EXPECT_EQ(counts.Words[kCountBlocks], 3);
  EXPECT_EQ(counts.Words[kCountSwitches], 1);
  EXPECT_EQ(counts.Words[kCountSignals], 2);
  EXPECT_EQ(counts.Words[kCountLocations], 2);
  EXPECT_EQ(counts.Words[kCountTrains], 1);
  EXPECT_EQ(counts.Words[kCountStartTimes], 1);
  EXPECT_EQ(counts.Words[kCountRunningTrains], 0);
  EXPECT_EQ(FieldText(store().GetTrainData(train).TrainId), "101");
  EXPECT_EQ(+store().GetStartTime(0).TrainIndex[0], train);
}

TEST_F(TerritoryBuilderTest, CrossoverJoinsTwoTracksThroughPartneredSwitches) {
  //   y=4  ==A0== X0 ==A1==
  //                  /
  //   y=6  ==B0== X1 ==B1==        X1 at (10,6) diverges up and right to X0 at (12,4)
  TerritoryBuilder t(store());
  const auto [low, high] = t.Crossover("X1", {10, 6}, "X0", {12, 4});
  EXPECT_EQ(Code(store(), 10, 6), 10);
  EXPECT_EQ(Code(store(), 11, 5), 4);
  EXPECT_EQ(Code(store(), 12, 4), 12);
  EXPECT_EQ(+store().GetSwitchData(low).Partner, high);
  EXPECT_EQ(+store().GetSwitchData(low).Legs[2], 2000 + high);
  EXPECT_EQ(+store().GetSwitchData(high).Legs[0], 2000 + low);
}

TEST_F(TerritoryBuilderTest, RefusesWhatCannotBeDrawn) {
  TerritoryBuilder t(store());
  EXPECT_THROW(t.Block({.Name = "bent", .From = {2, 4}, .To = {8, 5}}), std::invalid_argument);
  const int edge = t.Block({.Name = "edge", .From = {0, 0}, .To = {5, 0}});
  EXPECT_THROW(t.Signal(edge, End::Left, "S"), std::invalid_argument);  // above the grid
  EXPECT_THROW(t.Block({.Name = "over", .From = {4, 0}, .To = {8, 0}}), std::invalid_argument);
  const int sw = t.Switch("SW", {10, 4}, Diverge::UpRight);
  const int off = t.Block({.Name = "off", .From = {13, 2}, .To = {15, 2}});
  EXPECT_THROW(t.Branch(sw, off, End::Left), std::invalid_argument);
}

// A text is written whole or refused: one character too many for its field is an error, not a cut.
TEST_F(TerritoryBuilderTest, RefusesATextLongerThanItsField) {
  TerritoryBuilder t(store());
  const int type = t.TrainType("Freight");
  const std::string full(31, 'd');  // a description's field holds 31 characters and its terminator
  const int train = t.Train({.Id = "1", .Type = type, .Entrance = "W", .Exit = "E", .Description = full});
  EXPECT_EQ(FieldText(store().GetTrainData(train).Description), full);
  EXPECT_THROW(t.Train({.Id = "2", .Type = type, .Entrance = "W", .Exit = "E", .Description = full + "d"}),
               std::invalid_argument);
  EXPECT_THROW(t.Block({.Name = std::string(sizeof(BlockData::Name), 'B'), .From = {2, 4}, .To = {8, 4}}),
               std::invalid_argument);
  EXPECT_THROW(t.Text(std::string(sizeof(TextData::Text), 'T'), {2, 8}, 4), std::invalid_argument);
}

}  // namespace
