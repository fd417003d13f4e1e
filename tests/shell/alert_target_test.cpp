// Where Go to Alert leads from an alert line, from the store alone.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/alert_commands.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::TerritoryBuilder;

//   y=4   ==B0 "AA-BB Main" (2..20)== ==B1 "AA-BB Main" (22..30)==
//   y=8   ==B2 "CC-DD Spur" (40..50)==        train "101" in B2 moving right
//   switch 12 at (60,20) and block 5 at (70,30), set in their records
class AlertTargetTest : public StoreFixture {
 protected:
  AlertTargetTest() {
    TerritoryBuilder t(store());
    t.Block({.From = {2, 4}, .To = {20, 4}, .Station1 = "AA", .Station2 = "BB", .Track = "Main"});
    t.Block({.From = {22, 4}, .To = {30, 4}, .Station1 = "AA", .Station2 = "BB", .Track = "Main"});
    t.Block({.From = {40, 8}, .To = {50, 8}, .Station1 = "CC", .Station2 = "DD", .Track = "Spur"});
    t.Finish();
    store().InitSimulationStatus();
    // Block 0 is drawn in two runs, the first ending at column 10.
    BlockStatus status = store().GetBlockStatus(0);
    const int16_t firstRunEnd = 10;
    std::memcpy(reinterpret_cast<char*>(&status) + 17, &firstRunEnd, sizeof firstRunEnd);
    store().UpdateBlockStatus(0, status, 0, 1);
    SwitchData sw = store().GetSwitchData(12);
    sw.InUse = 1;
    sw.CellX = 60;
    sw.CellY = 20;
    store().UpdateSwitchData(12, sw);
    BlockData block = store().GetBlockData(5);
    block.LeftCellX = 70;
    block.LeftCellY = 30;
    store().UpdateBlockData(5, block);
    // An earlier slot of the same ID that has left is passed over.
    Train(3, 13, 2);
    Train(4, 5, 2);
  }
  void Train(int slot, uint8_t state, int16_t block) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, "101");
    train.State = state;
    train.HeadBlock = block;
    train.HeadDirection = 1;
    store().UpdateTrainStatus(slot, train, 1);
  }
};

TEST_F(AlertTargetTest, EachKindOfLineLeadsToItsCell) {
  using Kind = AlertTarget::Kind;
  struct Case {
    const char* Line;
    Kind What;
    layout::Cell At;
  };
  const Case cases[] = {
      {"ALERT 0001  08:05 Train - \"101\" is stopped waiting for signal.", Kind::Cell, {50, 8}},
      {"ALERT 0003  08:07 Block Permit Active -  track \"AA-BB Main\" to start at 08:00 and end at 09:00.",
       Kind::Cell,
       {6, 4}},  // the first block of the track, in the middle of its first run
      {"ALERT 0004  08:08 Block Permit Released -  track \"CC-DD Spur\".", Kind::Cell, {45, 8}},  // drawn as one run
      {"ALERT 0005  08:09 Slow Order Active - Location \"Switch 12\" permanent.", Kind::Cell, {60, 20}},
      {"ALERT 0006  08:10 Slow Order Active - Location \"Block 5\" until 10:00.", Kind::Cell, {70, 30}},
      {"ALERT 0007  08:11 Slow Order Active - Location \"Track CC-DD Spur\" permanent.", Kind::Cell, {45, 8}},
      {"ALERT 0008  08:12 Block Permit Released -  track \"EE-FF None\".", Kind::None, {}},
      {"ALERT 0009  08:13 Slow Order Active - Location \"Switch 1200\" permanent.", Kind::None, {}},
      {"ALERT 0010  08:14 Crew Warning - \"101\"", Kind::None, {}},
      {"ALERT 0011  08:15 no dash here", Kind::None, {}},
      {"ALERT", Kind::None, {}},
  };
  for (const Case& c : cases) {
    const AlertTarget target = FindAlertTarget(store(), c.Line);
    EXPECT_EQ(target.What, c.What) << c.Line;
    if (c.What == Kind::Cell) {
      EXPECT_EQ(target.At, c.At) << c.Line;
    }
  }
}

TEST_F(AlertTargetTest, ATrainNotOnTheLayoutIsNamed) {
  for (const char* id : {"999", "101"}) {
    if (std::string(id) == "101") Train(4, 2, 2);  // scheduled again: not on the layout
    const AlertTarget target =
        FindAlertTarget(store(), std::string("ALERT 0002  08:06 Train - \"") + id + "\" has just arrived.");
    EXPECT_EQ(target.What, AlertTarget::Kind::TrainGone) << id;
    EXPECT_EQ(target.TrainId, id);
  }
}

}  // namespace
