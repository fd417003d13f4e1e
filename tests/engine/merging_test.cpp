#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/movement_common.h"
#include "engine/train_commands.h"
#include "tests/engine/movement_fixture.h"

namespace {

using namespace train_menu;

// The four-block line (B0 to B3, a mile each, trains heading right). Each
// train has its own schedule record, whose length differs from the running
// length it is put with, so that a sum of scheduled lengths shows.
class MergeTest : public MovementTest {
 protected:
  void SetUp() override {
    Line();
    for (int i = 1; i < 8; ++i)
      scheduled[i] = t.Train({.Id = "T" + std::to_string(i), .Type = type, .Length = 900 + 100 * i});
    scheduled[0] = data;
    Start();
  }
  // Train `slot` standing (or moving) in `block` heading right, its head at `position`.
  void Place(int slot, int block, int32_t position, int32_t length = 1000, int rear = -2, uint8_t state = 3,
             int16_t speed = 0) {
    TrainStatus train = Put(slot, block, 1, position, rear, state, speed, length);
    train.TrainIndex = static_cast<int16_t>(scheduled[slot]);
    Store(slot, train);
  }
  int32_t Scheduled(int slot) { return store().GetTrainData(scheduled[slot]).Length; }
  void Do(void (Engine::*handler)(int), int base, int slot) {
    run().PopupTrains[0] = slot;
    run().SimPaused = 1;
    (engine.*handler)(base);
  }
  std::vector<int> Chain(int slot) {
    std::vector<int> chain;
    for (int next = Train(slot).MergeNext; next != -1 && chain.size() < 10; next = Train(next).MergeNext)
      chain.push_back(next);
    return chain;
  }

  int scheduled[8] = {};
};

// B1: T1 ahead at 5,000 ft, then 101 at 3,000 ft reaching back into B0 (4,000 ft long). The consist
// takes the scheduled lengths (2,000 ft): its rear, worked out for that length, lies in B1, and B0 is
// let go.
TEST_F(MergeTest, CouplingWithinABlockChainsTheRearTrainBehindTheFront) {
  Place(1, b[1], 5000, 1500);
  Place(0, b[1], 3000, 4000, b[0]);
  Do(&Engine::CmTrainMerge, kMerge, 0);

  const TrainStatus coupled = Train(0);
  EXPECT_EQ(+coupled.State, TrainState::Merged);
  EXPECT_EQ(+coupled.HeadBlock, -1);
  EXPECT_EQ(+coupled.HeadEventTime, -1);
  EXPECT_EQ(+coupled.MergePrevious, 1);
  const TrainStatus front = Train(1);
  EXPECT_EQ(Chain(1), std::vector<int>{0});
  EXPECT_EQ(+front.Length, Scheduled(1) + Scheduled(0));
  ASSERT_EQ(Scheduled(1) + Scheduled(0), 2000);
  EXPECT_EQ(+front.RearBlock, b[1]);
  EXPECT_EQ(Slots(b[1]), std::vector<int>{1});
  EXPECT_EQ(Slots(b[0]), std::vector<int>{});
  EXPECT_EQ(BlockCode(b[0]), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Trains \"101\"is now merged into Train \"T1\".");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Warning);
  EXPECT_EQ(run().SimPaused, 0);
}

TEST_F(MergeTest, AThirdTrainGoesToTheEndOfTheChain) {
  Place(1, b[1], 5000);
  Place(2, b[1], 3500);
  Place(3, b[1], 2000);
  Do(&Engine::CmTrainMerge, kMerge, 2);
  Do(&Engine::CmTrainMerge, kMerge, 3);
  EXPECT_EQ(Chain(1), (std::vector<int>{2, 3}));
  EXPECT_EQ(+Train(3).MergePrevious, 2);
  EXPECT_EQ(+Train(1).Length, Scheduled(1) + Scheduled(2) + Scheduled(3));
  EXPECT_EQ(Slots(b[1]), std::vector<int>{1});
}

TEST_F(MergeTest, CouplingRefusesWhatItCannotJoin) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    std::string Text;
  };
  const Case cases[] = {
      {"heading against the block",
       [this] {
         Place(0, b[1], 3000);
         SetBlockCode(b[1], 4);
       },
       "Train must be traveling in the same direction as the lead train in block.  Reverse the train and try to "
       "merge again."},
      {"not in its block's slots",
       [this] {
         TrainStatus train = Put(0, b[1], 1, 3000);
         train.HeadBlock = static_cast<int16_t>(b[2]);
         Store(0, train);
         SetBlockCode(b[2], 3);
       },
       "Could not find train in block.  Try again to merge."},
      {"first in the block: nothing ahead",
       [this] {
         Place(0, b[1], 3000);
         Place(1, b[1], 1000);
       },
       "Train to merge with is no longer in the block.  Try again to merge."},
      {"the train itself moves",
       [this] {
         Place(1, b[1], 5000);
         Place(0, b[1], 3000, 1000, -2, 5, 20);
       },
       "Train \"101\" must be at stop to merge"},
      {"the train ahead moves",
       [this] {
         Place(1, b[1], 5000, 1000, -2, 5, 20);
         Place(0, b[1], 3000);
       },
       "Train \"T1\" must be at stop to merge"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    c.Arrange();
    const uint8_t state = Train(0).State;
    messages.Calls.clear();
    Do(&Engine::CmTrainMerge, kMerge, 0);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Text);
    EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
    EXPECT_EQ(+Train(0).State, state);
    EXPECT_EQ(+Train(0).MergePrevious, -1);
    EXPECT_EQ(run().SimPaused, 0);
  }
}

// T1 (1,000 ft) at 5,000 ft in B1 pulls 101 (4,500 ft) coupled behind it,
// back into B0; the split lets 101 go again.
TEST_F(MergeTest, SplittingMakesTheCoupledTrainATrainBehindTheFront) {
  TrainData data = store().GetTrainData(scheduled[0]);
  data.Length = 4500;
  store().UpdateTrainData(scheduled[0], data);
  Place(1, b[1], 5000, Scheduled(1));
  Place(0, b[1], 4000, Scheduled(0), b[0]);
  Do(&Engine::CmTrainMerge, kMerge, 0);
  messages.Calls.clear();

  dialogs.SplitResults = {1000 + 0};
  Do(&Engine::CmTrainSplit, kSplit, 1);
  EXPECT_EQ(dialogs.Titles, std::vector<std::string>{"Split Train \"T1\""});
  const TrainStatus front = Train(1);
  EXPECT_EQ(+front.Length, Scheduled(1));
  EXPECT_EQ(+front.RearBlock, b[1]);
  EXPECT_EQ(+front.MergeNext, -1);

  // 101 stands with its head right behind T1's rear and waits for a signal.
  const TrainStatus part = Train(0);
  EXPECT_EQ(+part.State, TrainState::Stopped);
  EXPECT_EQ(+part.Reason, StopReason::WaitSignal);
  EXPECT_EQ(+part.MergePrevious, -1);
  EXPECT_EQ(+part.HeadBlock, b[1]);
  EXPECT_EQ(+part.HeadDirection, 1);
  EXPECT_EQ(+part.HeadPosition, 5000 - Scheduled(1));
  EXPECT_EQ(+part.Length, Scheduled(0));
  EXPECT_EQ(+part.RearBlock, b[0]);
  EXPECT_EQ(Slots(b[1]), (std::vector<int>{1, 0}));
  EXPECT_EQ(Slots(b[0]), std::vector<int>{0});
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Trains \"T1\"is now split into Train \"T1\" and \"101\".");
  EXPECT_EQ(run().SimPaused, 0);
}

// T1 leads a consist of T1, T2, T3 standing in B1; four other trains stand behind it there.
TEST_F(MergeTest, ASplitIntoAFullBlockIsRefusedAndTheConsistStaysWhole) {
  Place(1, b[1], 5000);
  Place(2, b[1], 4000);
  Place(3, b[1], 3000);
  Do(&Engine::CmTrainMerge, kMerge, 2);
  Do(&Engine::CmTrainMerge, kMerge, 3);
  for (int slot = 4; slot < 8; ++slot) Place(slot, b[1], 2500 - 500 * (slot - 4), 400);
  const TrainStatus before = Train(1);
  messages.Calls.clear();

  dialogs.SplitResults = {1000 + 3};
  Do(&Engine::CmTrainSplit, kSplit, 1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text,
            "You cannot split the train.  The maximum number of trains allowed in a block is 5.");
  EXPECT_EQ(+Train(1).Length, +before.Length);
  EXPECT_EQ(+Train(1).RearBlock, +before.RearBlock);
  EXPECT_EQ(Chain(1), (std::vector<int>{2, 3}));
  EXPECT_EQ(+Train(3).State, TrainState::Merged);
  EXPECT_EQ(Slots(b[1]), (std::vector<int>{1, 4, 5, 6, 7}));
}

TEST_F(MergeTest, SplitNeedsAStandingTrainAndACoupledChoice) {
  Place(1, b[1], 5000);
  Place(2, b[1], 3500);
  Do(&Engine::CmTrainMerge, kMerge, 2);
  const TrainStatus before = Train(1);

  // Cancelled, and a choice that is not coupled to this train: nothing happens.
  dialogs.SplitResults = {2, 1000 + 5};
  Do(&Engine::CmTrainSplit, kSplit, 1);
  Do(&Engine::CmTrainSplit, kSplit, 1);
  EXPECT_EQ(+Train(1).Length, +before.Length);
  EXPECT_EQ(Chain(1), std::vector<int>{2});

  TrainStatus moving = Train(1);
  moving.State = TrainState::Moving;
  moving.Speed = 20;
  Store(1, moving);
  messages.Calls.clear();
  Do(&Engine::CmTrainSplit, kSplit, 1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Train \"T1\" must be at stop to split");
  EXPECT_EQ(Chain(1), std::vector<int>{2});
}

// A saved simulation may carry a chain that loops back on itself.
TEST_F(MergeTest, ALoopedChainEndsTheWalk) {
  Place(1, b[1], 5000);
  Place(2, b[1], 3500);
  TrainStatus front = Train(1);
  front.MergeNext = 4;
  Store(1, front);
  for (int slot : {4, 5}) {
    TrainStatus coupled = Put(slot, b[1], 1, 0);
    coupled.State = TrainState::Merged;
    coupled.HeadBlock = -1;
    coupled.MergePrevious = static_cast<int16_t>(slot == 4 ? 1 : 4);
    coupled.MergeNext = static_cast<int16_t>(slot == 4 ? 5 : 4);
    coupled.TrainIndex = static_cast<int16_t>(scheduled[slot]);
    Store(slot, coupled);
    BlockStatus status = store().GetBlockStatus(b[1]);
    movement::RemoveFromSlots(status, slot);
    store().UpdateBlockStatus(b[1], status);
  }
  Do(&Engine::CmTrainMerge, kMerge, 2);
  EXPECT_EQ(+Train(2).State, TrainState::Merged);
  EXPECT_EQ(+Train(1).Length, Scheduled(1) + Scheduled(4) + Scheduled(5) + Scheduled(2));
}

// 101 stands in B1 at 3,000 ft; T1 stands ahead in B2 at 2,000 ft.
TEST_F(MergeTest, MergeAheadGivesUpTheChosenTrainAndMergeBehindKeepsIt) {
  struct Case {
    const char* Name;
    void (Engine::*Handler)(int);
    int Base;
    int Chosen;
  };
  const Case cases[] = {
      {"ahead", &Engine::CmTrainMergeAhead, kMergeAhead, 0},
      {"behind", &Engine::CmTrainMergeBehind, kMergeBehind, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    store().InitSimulationStatus();
    store().SimClock = kStart;
    Place(0, b[1], 3000);
    Place(1, b[2], 2000, 1500);
    Do(c.Handler, c.Base, c.Chosen);
    EXPECT_EQ(+Train(0).InUse, 0);
    const TrainStatus survivor = Train(1);
    EXPECT_EQ(+survivor.Length, 2500);
    EXPECT_EQ(+survivor.RearBlock, b[1]);
    EXPECT_EQ(Slots(b[1]), std::vector<int>{1});
    EXPECT_EQ(Slots(b[2]), std::vector<int>{1});
    EXPECT_EQ(BlockCode(b[1]), 3);
    EXPECT_EQ(run().SimPaused, 1);  // left to the menu
  }
}

// The absorbed train's consist moves to the survivor, behind the survivor's own: B2 holds T1 with T3
// coupled behind it, B1 holds 101 with T2 coupled behind it; 101 merges ahead into T1.
TEST_F(MergeTest, MergeAheadMovesTheAbsorbedConsistToTheSurvivor) {
  Place(1, b[2], 4000);
  Place(3, b[2], 2500);
  Do(&Engine::CmTrainMerge, kMerge, 3);
  Place(0, b[1], 4000);
  Place(2, b[1], 2500);
  Do(&Engine::CmTrainMerge, kMerge, 2);
  ASSERT_EQ(Chain(0), std::vector<int>{2});
  const int32_t lengths = Train(1).Length + Train(0).Length;

  Do(&Engine::CmTrainMergeAhead, kMergeAhead, 0);
  EXPECT_EQ(+Train(0).InUse, 0);
  EXPECT_EQ(+Train(0).MergeNext, -1);
  EXPECT_EQ(Chain(1), (std::vector<int>{3, 2}));
  EXPECT_EQ(+Train(2).MergePrevious, 3);
  EXPECT_EQ(+Train(2).State, TrainState::Merged);
  EXPECT_EQ(+Train(1).Length, lengths);
}

TEST_F(MergeTest, MergeAheadWithNoTrainThereRefuses) {
  Place(0, b[1], 3000);
  Do(&Engine::CmTrainMergeAhead, kMergeAhead, 0);
  Do(&Engine::CmTrainMergeBehind, kMergeBehind, 0);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"There is no longer a train in the next block ahead",
                                                      "There is no longer a train in the next block behind"}));
  EXPECT_EQ(+Train(0).InUse, 1);
}

}  // namespace
