#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "store/fixed_text.h"
#include "tests/support/store_fixture.h"

namespace {

using StoreTest = StoreFixture;

TEST_F(StoreTest, ConstructorSetsCaptionsTypeNamesAndStartValues) {
  for (const auto& caption : store().Captions) EXPECT_EQ(FieldText(caption, kCaptionChars), "Corvane Version ");
  const char* names[] = {"Freight", "Passenger", "Transit", "Maintenance of Way", "Helper", "Derrick", "Local",
                         "Unknown", "",          ""};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(store().GetTrainTypeName(i), names[i]) << i;
  EXPECT_EQ(store().SimClock, -1);
  EXPECT_EQ(store().OperatingMode, 0);
  EXPECT_EQ(store().PreviousOperatingMode, 5);
  EXPECT_EQ(store().RecordingSuppressed, 1);
  EXPECT_EQ(store().NoTerritorySettings, 1);
  EXPECT_EQ(store().HighestTrackVersion, 37);
  EXPECT_EQ(store().PlaybackVersion, 31);
  EXPECT_STREQ(store().PlaybackFileName, "playback.ply");
  EXPECT_STREQ(store().TrackFilePath, "new.lay");
  EXPECT_STREQ(store().ProgramVersion, "X3.00");
  EXPECT_EQ(store().CTCQueue.Count, 0);
  EXPECT_EQ(store().EIOQueue.Count, 0);
  EXPECT_NE(store().MaintImage(99), nullptr);
}

TEST_F(StoreTest, BadIndexIsReportedStopsTheRunAndReturnsRecordZero) {
  BlockData zero{};
  zero.Length = 777;
  store().UpdateBlockData(0, zero);
  store().Run.SimStopped = 0;

  const BlockData got = store().GetBlockData(2000);

  EXPECT_EQ(+got.Length, 777);
  EXPECT_EQ(store().Run.SimStopped, 1);
  ASSERT_EQ(messages.Calls.size(), 1u);
  const MessageCall& call = messages.Calls[0];
  EXPECT_EQ(call.Caption, "Internal Error Trap");
  EXPECT_EQ(call.Icon, MessageIcon::Error);
  EXPECT_EQ(call.Text.rfind("Block index error - GetBlockData value \"2000\". ", 0), 0u) << call.Text;
  EXPECT_NE(call.Text.find("It helps us find the problem if you include the text of the message, attach a copy "
                           "of your .trk and .ssm files and state what you were doing when the error occurred."),
            std::string::npos);
  ASSERT_FALSE(shell.StatusTexts.empty());
  EXPECT_EQ(shell.StatusTexts.back().second, "Stop");
}

TEST_F(StoreTest, EveryAccessorNamesItselfOnABadIndex) {
  struct Case {
    std::function<void()> call;
    const char* text;
    int value;
  };
  const Case cases[] = {
      {[&] { store().GetBlockStatus(-1); }, "Block index error - GetBlockStatus", -1},
      {[&] { store().UpdateSwitchData(1000, SwitchData{}); }, "Switch index error - UpdateSwitchData", 1000},
      {[&] { store().GetCrossStatus(1000); }, "Crossover index error - GetCrossStatus", 1000},
      {[&] { store().GetOrgData(200); }, "Entrance/Exit index error - GetOrgData", 200},
      {[&] { store().UpdatePermitStatus(50, PermitStatus{}); }, "Permit index error - UpdatePermitStatus", 50},
      {[&] { store().GetSlowStatus(50); }, "Slow order index error - GetSlowStatus", 50},
      {[&] { store().GetTrainStatus(1000); }, "Train status index error - GetTrainStatus", 1000},
      {[&] { store().GetTrainStop(1000); }, "Train status index error - GetTrainStop", 1000},
      {[&] { store().GetTrainType(10); }, "Train Type index error - GetTrainType", 10},
      {[&] { store().GetTrainIconData(51); }, "Icon index error - GetTrainIconData", 51},
      {[&] { store().GetStartTime(50); }, "Start time index error - GetStartTime", 50},
      {[&] { store().GetDetectorData(10); }, "Detector index error - GetDetectorData", 10},
      {[&] { store().GetBitmapMaint(100); }, "Bitmap maintenance index error - GetBitmapMaint", 100},
      {[&] { store().GetStackData(200); }, "Stack index error - GetStackData", 200},
      {[&] { store().GetOSHit(40000); }, "OS Hit index error - GetOSHit", 40000},
      {[&] { store().GetArchivePerformStatus(2184); }, "Archive Perform Status index error - GetArchivePerformStatus",
       2184},
      {[&] { store().GetWindowSize(25); }, "Window index error - GetWindowSize", 25},
      {[&] { store().GetColumnSize(40, 0); }, "Column save program index error - GetColumnSize", 40},
      {[&] { store().UpdateColumnSize(0, 102, 5); }, "Column index error - UpdateColumnSize", 102},
  };
  for (const Case& c : cases) {
    messages.Calls.clear();
    c.call();
    ASSERT_EQ(messages.Calls.size(), 1u) << c.text;
    const std::string expected = std::string(c.text) + " value \"" + std::to_string(c.value) + "\". ";
    EXPECT_EQ(messages.Calls[0].Text.rfind(expected, 0), 0u) << messages.Calls[0].Text;
  }
}

TEST_F(StoreTest, UpdateWithBadIndexStoresNothingAndRecordsNothing) {
  PermitStatus permit{};
  permit.InUse = 1;
  lists.OpenLists.push_back(ListWindow::ActivePermits);
  store().UpdatePermitStatus(50, permit);
  for (int i = 0; i < kMaxPermitStatus; ++i) EXPECT_EQ(store().GetPermitStatus(i).InUse, 0);
  EXPECT_TRUE(playback.Calls.empty());
  EXPECT_TRUE(lists.Refreshed.empty());
}

TEST_F(StoreTest, ColumnSizeOfBadIndexReadsZero) {
  store().UpdateColumnSize(3, 7, 120);
  EXPECT_EQ(store().GetColumnSize(3, 7), 120u);
  EXPECT_EQ(store().GetColumnSize(3, -1), 0u);
}

TEST_F(StoreTest, RunTimeUpdatesAreRecordedWithTheirKind) {
  store().UpdateCrossStatus(4, CrossStatus{});
  store().UpdateOrgStatus(5, OrgStatus{});
  store().UpdateTrainStationTime(6, TrainStationTime{});
  store().UpdateTrainStop(7, TrainStop{});
  store().UpdateSlowStatus(8, SlowStatus{});
  store().UpdateBlockData(9, BlockData{});  // a definition: never recorded
  ASSERT_EQ(playback.Calls.size(), 5u);
  EXPECT_EQ(playback.Calls[0].Kind, PlaybackKind::CrossStatus);
  EXPECT_EQ(playback.Calls[0].Bytes.size(), sizeof(CrossStatus));
  EXPECT_EQ(playback.Calls[1].Kind, PlaybackKind::OrgStatus);
  EXPECT_EQ(playback.Calls[2].Kind, PlaybackKind::TrainStationTime);
  EXPECT_EQ(playback.Calls[3].Kind, PlaybackKind::TrainStop);
  EXPECT_EQ(playback.Calls[4].Kind, PlaybackKind::SlowStatus);
  EXPECT_EQ(playback.Calls[4].Index, 8);
}

TEST_F(StoreTest, ActiveListsRefreshOnlyWhenTheSlotWasOrIsInUse) {
  lists.OpenLists = {ListWindow::ActivePermits, ListWindow::ActiveSlowOrders};
  store().UpdatePermitStatus(1, PermitStatus{});  // free before and after
  EXPECT_TRUE(lists.Refreshed.empty());
  PermitStatus used{};
  used.InUse = 1;
  store().UpdatePermitStatus(1, used);
  store().UpdatePermitStatus(1, PermitStatus{});  // was in use
  EXPECT_EQ(lists.Refreshed.size(), 2u);
  store().UpdatePermitStatus(1, used);
  store().FreePermitStatus(1);
  SlowStatus slow{};
  slow.InUse = 1;
  store().UpdateSlowStatus(2, slow);
  store().FreeSlowStatus(2);
  EXPECT_EQ(lists.Refreshed.size(), 6u);
  EXPECT_EQ(lists.Refreshed.back(), ListWindow::ActiveSlowOrders);
  EXPECT_EQ(+store().GetSlowStatus(2).InUse, 0);
}

TEST_F(StoreTest, FreeingAFreeSlotIsReported) {
  const struct {
    std::function<void()> call;
    const char* text;
  } cases[] = {
      {[&] { store().FreeStackData(3); }, "Trying to free stack data that is free - FreeStackData"},
      {[&] { store().FreePermitData(3); }, "Permit index already free - FreePermitData"},
      {[&] { store().FreePermitStatus(3); }, "Permit index already free - FreePermitStatus"},
      {[&] { store().FreeSlowStatus(3); }, "Slow order index already free - FreeSlowStatus"},
      {[&] { store().FreeSlowData(3); }, "Slow order index already free - FreeSlowData"},
      {[&] { store().FreeTrainData(3); }, "Train index already free - FreeTrainData"},
      {[&] { store().FreeOSData(3); }, "OS already free error - FreeOSData"},
  };
  for (const auto& c : cases) {
    messages.Calls.clear();
    c.call();
    ASSERT_EQ(messages.Calls.size(), 1u) << c.text;
    EXPECT_EQ(messages.Calls[0].Text.rfind(std::string(c.text) + " value \"3\". ", 0), 0u);
  }
}

StackData StackCommand(int entrance) {
  StackData s{};
  s.InUse = 1;
  s.EntranceSignal = static_cast<int16_t>(entrance);
  std::memset(s.Devices, 0xFF, sizeof s.Devices);
  s.Devices[0] = static_cast<int16_t>(entrance);
  return s;
}

TEST_F(StoreTest, FreeingAMiddleStackSlotKeepsOrderAndClearsTheLastSlot) {
  for (int i = 0; i < 4; ++i) store().UpdateStackData(i, StackCommand(10 + i));
  playback.Calls.clear();

  store().FreeStackData(1);

  EXPECT_EQ(+store().GetStackData(0).EntranceSignal, 10);
  EXPECT_EQ(+store().GetStackData(1).EntranceSignal, 12);
  EXPECT_EQ(+store().GetStackData(2).EntranceSignal, 13);
  EXPECT_EQ(+store().GetStackData(3).InUse, 0);
  EXPECT_EQ(store().FindFreeStackData(), 3);
  // Slots 1 and 2 took their successors, slot 3 took the free slot 4: then it stops.
  ASSERT_EQ(playback.Calls.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(playback.Calls[k].Kind, PlaybackKind::StackData);
    EXPECT_EQ(playback.Calls[k].Index, k + 1);
  }
  const StackData last = store().GetStackData(199);
  EXPECT_EQ(+last.InUse, 0);
  for (int k = 0; k < kStackRouteDevices; ++k) {
    EXPECT_EQ(+static_cast<uint16_t>(last.Devices[k]), 0xFFFF);
    EXPECT_EQ(+last.Directions[k], 0);
    EXPECT_EQ(+last.Positions[k], 0);
  }
}

TEST_F(StoreTest, FreeingWithAFullStackShiftsUpToTheSecondLastSlot) {
  for (int i = 0; i < kMaxStack; ++i) store().UpdateStackData(i, StackCommand(i));
  playback.Calls.clear();
  store().FreeStackData(0);
  EXPECT_EQ(+store().GetStackData(0).EntranceSignal, 1);
  EXPECT_EQ(+store().GetStackData(198).EntranceSignal, 199);
  EXPECT_EQ(+store().GetStackData(199).InUse, 0);
  EXPECT_EQ(playback.Calls.size(), 199u);
}

TEST_F(StoreTest, NewTrainGetsItsDefaultsAndRaisesTheTrainCount) {
  const int first = store().FindFreeTrainData();
  const int second = store().FindFreeTrainData();
  ASSERT_EQ(first, 0);
  ASSERT_EQ(second, 1);
  EXPECT_EQ(+store().GetCountData().Words[kCountTrains], 2);

  const TrainData t = store().GetTrainData(second);
  EXPECT_EQ(+t.InUse, 1);
  EXPECT_EQ(+t.CrewMinutesWorked, 120);
  EXPECT_EQ(+t.Length, 1000);
  EXPECT_EQ(+t.EntranceMinutes, 0xFFFF);
  EXPECT_EQ(+t.Byte50, 1);
  EXPECT_EQ(+t.Stations[99].Minutes, 0xFFFF);
  EXPECT_EQ(+t.Stations[99].DwellSeconds, 30);
  EXPECT_EQ(+t.Multiple[9].ReentryMinutes, 0xFFFF);
  EXPECT_EQ(+t.LocalWork[9].NewLength, -1);
  EXPECT_EQ(+t.BecomesTrain, -1);
  EXPECT_EQ(+t.BecomeMinutes, -1);
  EXPECT_EQ(+t.SplitTrain, -1);
  EXPECT_EQ(+t.LinkedTrain, -1);
  for (uint8_t day : t.Days) EXPECT_EQ(day, 1);

  // A count already above the slot is left alone; a slot used before keeps none of its old entries'
  // new crew time and new length (the entry's last four bytes, -1 each).
  TrainData used = store().GetTrainData(0);
  used.Multiple[3].CrewMinutes = used.Multiple[3].NewLength = 0x0707;
  store().UpdateTrainData(0, used);
  store().FreeTrainData(0);
  EXPECT_EQ(store().FindFreeTrainData(), 0);
  EXPECT_EQ(+store().GetCountData().Words[kCountTrains], 2);
  const TrainData reused = store().GetTrainData(0);
  EXPECT_EQ(+reused.Multiple[3].CrewMinutes, -1);
  EXPECT_EQ(+reused.Multiple[3].NewLength, -1);
}

TEST_F(StoreTest, FreeingATrainClearsItsStartTimeEntriesAndLinks) {
  const int a = store().FindFreeTrainData();
  const int b = store().FindFreeTrainData();
  TrainData other = store().GetTrainData(a);
  other.BecomesTrain = other.SplitTrain = other.LinkedTrain = static_cast<int16_t>(b);
  store().UpdateTrainData(a, other);
  StartTime start{};
  start.InUse = 1;
  std::memset(start.TrainIndex, 0xFF, sizeof start.TrainIndex);
  std::memset(start.PairedIndex, 0xFF, sizeof start.PairedIndex);
  start.TrainIndex[3] = static_cast<uint16_t>(b);
  start.PairedIndex[3] = 42;
  start.TrainIndex[4] = static_cast<uint16_t>(a);
  start.PairedIndex[4] = 43;
  store().UpdateStartTime(7, start);

  store().FreeTrainData(b);

  EXPECT_EQ(+store().GetTrainData(b).InUse, 0);
  const TrainData after = store().GetTrainData(a);
  EXPECT_EQ(+after.BecomesTrain, -1);
  EXPECT_EQ(+after.SplitTrain, -1);
  EXPECT_EQ(+after.LinkedTrain, -1);
  const StartTime s = store().GetStartTime(7);
  EXPECT_EQ(+s.TrainIndex[3], 0xFFFF);
  EXPECT_EQ(+s.PairedIndex[3], 0xFFFF);
  EXPECT_EQ(+s.TrainIndex[4], a);
  EXPECT_EQ(+s.PairedIndex[4], 43);
}

TEST_F(StoreTest, FindTrainDataChecksTheIdLength) {
  const int slot = store().FindFreeTrainData();
  TrainData t = store().GetTrainData(slot);
  SetFieldText(t.TrainId, "TEN4567890");
  store().UpdateTrainData(slot, t);

  EXPECT_EQ(store().FindTrainData("TEN4567890"), slot);
  EXPECT_EQ(store().FindTrainData("NOPE"), -1);
  EXPECT_TRUE(messages.Calls.empty());

  for (const std::string& id : {std::string(), std::string("ELEVEN78901")}) {
    messages.Calls.clear();
    EXPECT_EQ(store().FindTrainData(id), -1);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text.rfind(
                  "Train ID has incorrect length - FindTrainData value \"" + std::to_string(id.size()) + "\". ", 0),
              0u);
  }
}

TEST_F(StoreTest, UnterminatedNamesAreComparedWithinTheirField) {
  TrainData t{};
  t.InUse = 1;
  std::memset(t.TrainId, 'X', sizeof t.TrainId);  // no terminator anywhere
  store().UpdateTrainData(0, t);
  EXPECT_EQ(store().FindTrainData("XXXXXXXXXX"), -1);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(StoreTest, FindOrgDataMatchesNameAndBlockAndChecksArguments) {
  OrgData org{};
  org.InUse = 1;
  SetFieldText(org.Name, "WEST");
  org.Block = 12;
  store().UpdateOrgData(4, org);
  EXPECT_EQ(store().FindOrgData("WEST", 12), 4);
  EXPECT_EQ(store().FindOrgData("WEST", 13), -1);
  EXPECT_TRUE(messages.Calls.empty());

  EXPECT_EQ(store().FindOrgData("WEST", 2000), -1);
  EXPECT_EQ(store().FindOrgData("WESTX", 12), -1);
  ASSERT_EQ(messages.Calls.size(), 2u);
  EXPECT_EQ(messages.Calls[0].Text.rfind("Block index error - FindOrgData", 0), 0u);
  EXPECT_EQ(messages.Calls[1].Text.rfind("Entrance/Exit name incorrect length - FindOrgData value \"5\"", 0), 0u);
}

TEST_F(StoreTest, ClaimingDefinitionSlotsSetsTheirEmptyValues) {
  const int permit = store().FindFreePermitData(1);
  ASSERT_EQ(permit, 0);
  PermitData p = store().GetPermitData(permit);
  EXPECT_EQ(+p.InUse, 1);
  EXPECT_EQ(+static_cast<uint16_t>(p.StartMinutes), 0xFFFF);
  EXPECT_EQ(+static_cast<uint16_t>(p.EndMinutes), 0xFFFF);
  EXPECT_EQ(store().FindFreePermitData(0), 1);
  EXPECT_EQ(store().FindFreePermitData(0), 1);  // not claimed

  const int slow = store().FindFreeSlowData(1);
  const SlowData s = store().GetSlowData(slow);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&s);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[1], 0);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(+s.SpeedsFirst[k], -1);
    EXPECT_EQ(+s.SpeedsSecond[k], -1);
  }
}

TEST_F(StoreTest, TableCountsRiseWithStoredRecordsInUse) {
  PermitData p{};
  store().UpdatePermitData(5, p);  // not in use: no change
  EXPECT_EQ(+store().GetCountData().Words[kCountPermits], 0);
  p.InUse = 1;
  store().UpdatePermitData(5, p);
  store().UpdatePermitData(2, p);
  EXPECT_EQ(+store().GetCountData().Words[kCountPermits], 6);
  SlowData s{};
  s.InUse = 1;
  store().UpdateSlowData(9, s);
  EXPECT_EQ(+store().GetCountData().Words[kCountSlowOrders], 10);
}

TEST_F(StoreTest, NamedLookupsAreExactAndSkipFreeSlots) {
  PlatformData platform{};
  SetFieldText(platform.Name, "Main");
  store().UpdatePlatformData(2, platform);  // not in use
  EXPECT_EQ(store().FindPlatformData("Main"), -1);
  platform.InUse = 1;
  store().UpdatePlatformData(3, platform);
  EXPECT_EQ(store().FindPlatformData("Main"), 3);
  EXPECT_EQ(store().FindPlatformData("main"), -1);

  TrainType type{};
  type.InUse = 1;
  SetFieldText(type.Name, "Coal");
  store().UpdateTrainType(9, type);
  EXPECT_EQ(store().FindTrainType("Coal"), 9);
  EXPECT_EQ(store().FindFreeTrainIconData(), 0);
}

}  // namespace
