#include <gtest/gtest.h>

#include <string>

#include "store/fixed_text.h"
#include "store/train_codes.h"
#include "tests/support/store_fixture.h"

namespace {

class TrainStatusTextTest : public StoreFixture {
 protected:
  TrainStatusTextTest() {
    DetectorData detector{};
    detector.InUse = 1;
    SetFieldText(detector.Description, "Hot Box");
    store().UpdateDetectorData(2, detector);
    PlatformData platform{};
    platform.InUse = 1;
    SetFieldText(platform.Name, "Union");
    store().UpdatePlatformData(4, platform);
    TrainData splits{};
    splits.SplitTrain = 9;
    store().UpdateTrainData(1, splits);
    TrainData plain{};
    plain.SplitTrain = -1;
    store().UpdateTrainData(0, plain);
  }

  std::string Text(uint8_t state, uint8_t reason, void (*adjust)(TrainStatus&) = nullptr) {
    TrainStatus train{};
    train.InUse = 1;
    train.State = state;
    train.Reason = reason;
    train.Detector = 2;
    train.Platform = 4;
    if (adjust) adjust(train);
    store().UpdateTrainStatus(17, train, 1);  // the slot comes into use here
    std::string out = "unchanged";
    store().GenerateTrainStatus(17, out);
    return out;
  }
};

TEST_F(TrainStatusTextTest, EveryStateAndReasonHasItsText) {
  const struct {
    uint8_t state;
    uint8_t reason;
    void (*adjust)(TrainStatus&);
    const char* text;
  } cases[] = {
      {28, 0, nullptr, "working area"},
      {5, 5, nullptr, "moving forward"},
      {5, 5, [](TrainStatus& t) { t.Reversing = 1; }, "moving in reverse"},
      {5, 0x20, [](TrainStatus& t) { t.Reversing = 1; }, "moving over a reverse switch"},
      {3, 3, nullptr, "stopped waiting signal."},
      {3, 3, [](TrainStatus& t) { t.DispatcherStop = 1; }, "stopped because of dispatcher request."},
      {3, 23, nullptr, "stopped because of dispatcher request."},
      {3, 25, nullptr, "stopped waiting for a helper."},
      {3, 24, nullptr, "will stop and reverse direction."},
      {3, 9, nullptr, "stopped because of a Hot Box alarm."},
      {3, 8, nullptr, "stopped because of a Hot Box problem."},
      {3, 7, nullptr, "stopped at Union's platform."},
      {3, 21, nullptr, "stopped waiting crew change."},
      {3, 22, nullptr, "stopped because crew time expired."},
      {3, 26, nullptr, "stopped to become another train."},
      {3, 26, [](TrainStatus& t) { t.TrainIndex = 1; }, "stopped to split into two trains."},
      {3, 19, nullptr, "stopped because of broken hose."},
      {3, 15, nullptr, "stopped because of derailment."},
      {3, 28, nullptr, "performing local work."},
      {3, 29, nullptr, "waiting permission to enter yard."},
      {3, 33, nullptr, "starting up train after throwing switch."},
      {4, 0, nullptr, "starting to move"},
      {11, 0, nullptr, "leaving territory"},
      {34, 0, nullptr, "on territory"},
      {2, 0, nullptr, "scheduled to arrive"},
      {13, 0, nullptr, "no longer on territory"},
      {31, 0, nullptr, "became another train"},
      {12, 0, nullptr, "merged with another train"},
      {22, 0, nullptr, "stopped because of crew expiration"},
      // states and reasons without a text leave the caller's text alone
      {14, 0, nullptr, "unchanged"},
      {27, 0, nullptr, "unchanged"},
      {3, 5, nullptr, "unchanged"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text(c.state, c.reason, c.adjust), c.text) << int(c.state) << "/" << int(c.reason);
  }
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(TrainStatusTextTest, BadSlotIsReportedAndLeavesTheTextAlone) {
  std::string out = "kept";
  store().GenerateTrainStatus(1000, out);
  EXPECT_EQ(out, "kept");
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Train status index error - GenerateTrainStatus value \"1000\". ", 0), 0u);
}

}  // namespace
