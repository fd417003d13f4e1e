// The Find menu's lists and where a picked train is found, from the store alone.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/find_dialogs.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::End;
using territory::TerritoryBuilder;

//   y=4   WEST ==B0== SW0 ==B1== ==B2 (connecting)== ==B3== EAST(3)
//   y=8   AAA ==B4== EAST(1)
//   diamonds at (40,10) and (44,10); signals Alder (0, 2), birch (1), Birch (3)
class FindListsTest : public StoreFixture {
 protected:
  FindListsTest() {
    TerritoryBuilder t(store());
    t.Block({.From = {2, 4}, .To = {8, 4}, .Station1 = "AA", .Station2 = "BB", .Track = "Main", .Area = "Yard"});
    t.Block({.From = {10, 4}, .To = {16, 4}, .Area = "Dock"});
    t.Block({.From = {18, 4}, .To = {22, 4}, .Track = "Link", .Area = "Yard", .PassThrough = true});
    t.Block({.From = {24, 4}, .To = {30, 4}, .Track = "Spur"});
    t.Block({.From = {2, 8}, .To = {8, 8}, .Station1 = "CC", .Track = "East"});
    t.Switch("Oak", {9, 4}, territory::Diverge::DownRight);
    t.Switch("Ash", {17, 4}, territory::Diverge::DownRight);
    t.Diamond("X1", {40, 10}, 30);
    t.Diamond("X2", {44, 10}, 30);
    t.Signal(0, End::Right, "Alder");
    t.Signal(1, End::Left, "birch");
    t.Signal(1, End::Right, "Alder");
    t.Signal(3, End::Left, "Birch");
    t.Location("WEST", 0, End::Left);
    t.Location("EAST", 4, End::Right);
    t.Location("AAA", 4, End::Left);
    t.Location("EAST", 3, End::Right);
    const int coal = t.Train({.Id = "102", .Entrance = "WEST", .Description = "Coal"});
    const int mixed = t.Train({.Id = "101", .Entrance = "WEST", .Description = "Mixed"});
    t.Finish();
    store().InitSimulationStatus();
    Running(0, "102", coal);
    Running(5, "101", mixed);
    Running(7, "9Z", -1);  // a damaged schedule index
  }
  TrainStatus Running(int slot, const char* id, int schedule, uint8_t state = 5) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    train.TrainIndex = static_cast<int16_t>(schedule);
    train.State = state;
    train.MergePrevious = -1;
    store().UpdateTrainStatus(slot, train, 1);
    return train;
  }
  std::vector<std::string> Texts(find::Kind kind) {
    std::vector<std::string> texts;
    for (const find::Line& line : find::FillFindList(store(), kind)) texts.push_back(line.Text);
    return texts;
  }
};

TEST_F(FindListsTest, EachListHasItsElementsOrderAndLineFormat) {
  using find::Kind;
  using Lines = std::vector<std::string>;
  const std::pair<Kind, Lines> cases[] = {
      // Equal areas by block number; names compared without case first.
      {Kind::Area, {"Dock\t0001", "Yard\t0000", "Yard\t0002"}},
      // Equal names by the location's block number, not by the table's order.
      {Kind::EntranceExit, {"AAA\t0004", "EAST\t0003", "EAST\t0004", "WEST\t0000"}},
      // No connecting line and no block without a name; a missing part shows as "?", the key leaves it out.
      {Kind::Track, {"AA-BB Main", "CC-? East", "?-? Spur"}},
      {Kind::BlockNumber, {"0000\tAA-BB Main", "0001\t", "0002\tConnecting Line", "0003\t- Spur", "0004\tCC- East"}},
      {Kind::DiamondNumber, {"0000", "0001"}},
      // Equal names keep the number order; lower case goes ahead of upper case at equal letters.
      {Kind::SignalName, {"Alder\t0000", "Alder\t0002", "birch\t0001", "Birch\t0003"}},
      {Kind::SignalNumber, {"0000\tAlder", "0001\tbirch", "0002\tAlder", "0003\tBirch"}},
      {Kind::SwitchName, {"Ash\t0001", "Oak\t0000"}},
      {Kind::SwitchNumber, {"0000\tOak", "0001\tAsh"}},
      {Kind::Train, {"101\tMixed", "102\tCoal", "9Z\t"}},
  };
  for (const auto& [kind, lines] : cases) EXPECT_EQ(Texts(kind), lines) << find::SpecOf(kind).Caption;

  // Each line stands for its element.
  EXPECT_EQ(find::FillFindList(store(), Kind::SignalName)[1].Element, 2);
  EXPECT_EQ(find::FillFindList(store(), Kind::Train)[0].Element, 5);
  EXPECT_EQ(find::FillFindList(store(), Kind::EntranceExit)[1].Element, 3);
}

TEST_F(FindListsTest, AnEmptyTerritoryListsNothing) {
  TerritoryBuilder empty(store());
  for (const find::Spec& spec : find::Specs()) {
    if (spec.What == find::Kind::Train) continue;
    EXPECT_TRUE(Texts(spec.What).empty()) << spec.Caption;
  }
}

TEST_F(FindListsTest, APickedTrainIsToldAboutOrFoundAtItsBlockEnd) {
  // Block 3 runs from column 24 to 30 on row 4.
  auto placed = [&](int slot, uint8_t state, int16_t head, int16_t rear, uint8_t direction, int16_t merged = -1) {
    TrainStatus train = Running(slot, "T", -1, state);
    train.HeadBlock = head;
    train.RearBlock = rear;
    train.HeadDirection = direction;
    train.MergePrevious = merged;
    train.HeadEventTime = 86400 + 8 * 3600 + 5 * 60;  // 8:05 on the second day
    SetFieldText(train.Entrance, "E");
    store().UpdateTrainStatus(slot, train, 1);
  };
  struct Case {
    const char* What;
    uint8_t State;
    int16_t Head, Rear;
    uint8_t Direction;
    const char* Message;
    bool Scroll;
    layout::Cell At;
  };
  const Case cases[] = {
      {"scheduled", 2, -1, -1, 1, "Train will arrive on territory at location \"E\" at 8:05.", false, {}},
      {"state 1", 1, 3, 3, 1, "", false, {}},
      {"gone", 13, 3, 3, 1, "Train is no longer on territory.", false, {}},
      {"became another", 31, 3, 3, 1, "Train became another train.", false, {}},
      {"moving left", 5, 3, 0, 0, "", true, {24, 4}},
      {"moving right", 5, 3, 0, 1, "", true, {30, 4}},
      {"leaving: its rear block", 11, 3, 0, 0, "", true, {2, 4}},
      {"no block", 5, -1, -1, 0, "", false, {}},
  };
  for (const Case& c : cases) {
    placed(20, c.State, c.Head, c.Rear, c.Direction);
    const find::TrainOutcome outcome = find::LocateTrain(store(), 20);
    EXPECT_EQ(outcome.Message, c.Message) << c.What;
    EXPECT_EQ(outcome.Scroll, c.Scroll) << c.What;
    if (c.Scroll) {
      EXPECT_EQ(outcome.At, c.At) << c.What;
    }
  }

  // A merged train is found at the head of its chain: 22 behind 21 behind 20 (moving right in block 3).
  placed(20, 5, 3, 3, 1);
  placed(21, 12, -1, -1, 0, 20);
  placed(22, 12, -1, -1, 0, 21);
  EXPECT_EQ(find::LocateTrain(store(), 22).At, (layout::Cell{30, 4}));
  // A damaged chain that loops ends without finding anything.
  placed(20, 12, -1, -1, 0, 22);
  const find::TrainOutcome looped = find::LocateTrain(store(), 22);
  EXPECT_FALSE(looped.Scroll);
  EXPECT_TRUE(looped.Message.empty());
}

}  // namespace
