#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "tests/support/run_image.h"
#include "tests/support/store_fixture.h"

namespace {

// One expected value at a byte offset of a record: width 1, 2 or 4 bytes
// (signed), or a run of `count` equal values of that width.
struct Expect {
  int Offset;
  int Width;
  int32_t Value;
  int Count = 1;
};

template <class Record>
int32_t ValueAt(const Record& record, int offset, int width) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record) + offset;
  if (width == 1) return bytes[0];
  if (width == 2) {
    int16_t v;
    std::memcpy(&v, bytes, 2);
    return v;
  }
  int32_t v;
  std::memcpy(&v, bytes, 4);
  return v;
}

template <class Record>
void CheckRecord(const Record& record, const std::vector<Expect>& expects, const std::string& what) {
  for (const auto& e : expects) {
    for (int k = 0; k < e.Count; ++k) {
      const int offset = e.Offset + k * e.Width;
      EXPECT_EQ(ValueAt(record, offset, e.Width), e.Value) << what << " +" << offset;
    }
  }
}

// A string field at an offset is empty.
template <class Record>
void CheckEmpty(const Record& record, std::initializer_list<int> offsets, const std::string& what) {
  for (int offset : offsets) EXPECT_EQ(reinterpret_cast<const uint8_t*>(&record)[offset], 0) << what << " +" << offset;
}

template <class Record>
Record Filled(uint8_t byte) {
  Record record;
  std::memset(&record, byte, sizeof record);
  return record;
}

class TerritoryInitTest : public StoreFixture {
 protected:
  // Every table holds rubbish first, so a value left unset shows.
  void FillTablesWithRubbish() {
    for (int i = 0; i < kMaxBlocks; ++i) store().UpdateBlockData(i, Filled<BlockData>(0x5A));
    for (int i = 0; i < kMaxTrains; ++i) store().UpdateTrainData(i, Filled<TrainData>(0x5A));
    for (int i = 0; i < kMaxTexts; ++i) store().UpdateTextData(i, Filled<TextData>(0x5A));
    for (int i = 0; i < kMaxStations; ++i) store().UpdateStationData(i, Filled<StationData>(0x5A));
    for (int i = 0; i < kMaxTrainTypes; ++i) store().UpdateTrainType(i, Filled<TrainType>(0x5A));
    for (int i = 0; i < kMaxStartTimes; ++i) store().UpdateStartTime(i, Filled<StartTime>(0x5A));
    store().UpdateTerritoryData(Filled<TerritoryData>(0x5A));
    store().GridTrack.fill(7);
    store().GridDevice.fill(7);
    store().GridFlags.fill(7);
    store().MaintImageSizes.fill(7);
    CountData counts;
    for (int w = 0; w < 25; ++w) counts.Words[w] = 1000 + w;
    store().UpdateCountData(counts);
    store().ChangeCount = 9;
    store().TrackReservedWord = 3;
    store().TrackIdentity1 = store().TrackIdentity2 = 4;
    store().Run.SimStopped = 0;
    store().Run.OutputHold = 0;
    store().Run.RunStarted = 1;
    store().Run.Loading = 1;
    store().Run.PointerHighlightCells = {1, 2, 3};
    store().PendingBeeps = 12;
    store().BeepIdle = 0;
  }
};

TEST_F(TerritoryInitTest, TerritoryRecordsGetTheirFreeSlotValues) {
  FillTablesWithRubbish();
  store().InitTerritoryData();

  const std::vector<Expect> block = {{0, 1, 0},      {18, 1, 0, 3},   {21, 2, -1, 2},    {35, 1, 1, 2},   {37, 4, 5280},
                                     {41, 2, -1, 2}, {45, 2, -1, 60}, {285, 2, 120, 20}, {325, 1, 0, 20}, {374, 4, 5},
                                     {378, 1, 0},    {379, 4, 0},     {383, 2, -1},      {527, 1, 1}};
  const std::vector<Expect> train = {{0, 2, 0},   {34, 2, 120}, {36, 1, 0},       {37, 4, 1000}, {41, 1, 0},
                                     {45, 2, -1}, {50, 1, 1},   {1316, 2, -1, 3}, {1326, 2, -1}, {1328, 1, 1, 7}};
  for (int i : {0, kMaxBlocks - 1}) {
    const BlockData b = store().GetBlockData(i);
    CheckRecord(b, block, "block");
    CheckEmpty(b, {1, 4, 7, 25, 30, 345, 385, 406, 427, 448, 469, 505}, "block");
  }
  for (int i : {0, kMaxTrains - 1}) {
    const TrainData t = store().GetTrainData(i);
    CheckRecord(t, train, "train");
    CheckEmpty(t, {2, 42, 47, 1291, 1337}, "train");
    for (int s = 0; s < 100; ++s) CheckRecord(t, {{51 + 6 * s, 2, -1}, {53 + 6 * s, 4, -1}}, "train stop");
    for (int m = 0; m < 10; ++m) {
      const int at = 651 + 26 * m;
      CheckRecord(t, {{at + 6, 2, -1}, {at + 19, 2, -1}, {at + 21, 1, 0}, {at + 22, 2, -1}, {at + 24, 2, -1}},
                  "train leg");
      CheckEmpty(t, {at, at + 3, at + 8}, "train leg");
    }
    for (int w = 0; w < 10; ++w) {
      const int at = 911 + 38 * w;
      CheckRecord(t, {{at + 25, 2, -1}, {at + 27, 1, 0}, {at + 28, 2, -1}}, "train work");
      CheckEmpty(t, {at}, "train work");
    }
  }

  CheckRecord(store().GetBitmapInsert(199), {{41, 2, -1, 4}, {49, 2, 1}}, "insert");
  CheckRecord(store().GetOSData(99), {{0, 2, 0}, {23, 2, -1, 10}}, "os");
  CheckRecord(store().GetPlatformData(99), {{0, 2, 0}, {23, 2, -1, 10}}, "platform");
  CheckRecord(store().GetCrossData(999), {{0, 2, 0}, {2, 2, -1, 6}, {18, 2, -1}, {41, 1, 0}, {42, 2, -1, 2}},
              "diamond");
  CheckRecord(store().GetSwitchData(999), {{0, 2, 0}, {23, 2, -1, 4}, {31, 2, 35, 10}, {93, 1, 0}}, "switch");
  CheckRecord(store().GetSignalData(999), {{0, 2, 0}, {2, 2, -1}, {41, 1, 0}, {44, 2, 1}}, "signal");
  CheckRecord(store().GetOrgData(199), {{0, 2, 0}, {7, 2, -1}, {9, 2, 0, 2}, {13, 1, 0}, {14, 4, -1}, {18, 1, 0}},
              "location");
  CheckRecord(store().GetSlowData(199),
              {{0, 2, 0}, {23, 2, -1, 2}, {27, 2, -1, 20}, {67, 1, 1, 7}, {74, 1, 1}, {75, 1, 0, 2}}, "slow order");
  CheckRecord(store().GetPermitData(299), {{0, 2, 0}, {23, 2, -1, 2}, {27, 1, 1, 7}, {34, 1, 1}, {35, 1, 0}}, "permit");
  CheckRecord(store().GetStartTime(49),
              {{0, 1, 0},
               {1, 2, 0},
               {3, 1, 0, 7},
               {10, 2, -1, 100},
               {210, 1, 0, 50},
               {260, 2, 240, 50},
               {360, 1, 1, 50},
               {410, 1, 0, 50},
               {460, 2, -1},
               {462, 1, 1},
               {463, 2, 0}},
              "start time");
  const TerritoryData territory = store().GetTerritoryData();
  CheckRecord(territory, {{37, 4, 0}, {715, 2, 1}, {717, 2, 0}, {1075, 4, 0}, {1079, 1, 1}}, "territory");
  EXPECT_EQ(FieldText(territory.Version), "1.0");
  CheckEmpty(territory, {0, 41, 82, 123, 164, 225, 286, 297, 552, 583, 684, 719, 974}, "territory");
}

TEST_F(TerritoryInitTest, TrainTypesAreTheTwoDefaultKindsWithTheRedDieselPictures) {
  FillTablesWithRubbish();
  store().InitTerritoryData();
  for (int i = 0; i < kMaxTrainTypes; ++i) {
    const TrainType type = store().GetTrainType(i);
    EXPECT_EQ(FieldText(type.Name), i == 0 ? "Passenger" : i == 1 ? "Freight" : "") << i;
    CheckRecord(type, {{0, 1, 0}, {22, 1, 0, 2}, {24, 4, 120}, {28, 4, 10}, {797, 2, 60}}, "type");
    EXPECT_EQ(FieldText(type.BitmapFiles[0]), "red diesel left.bmp");
    EXPECT_EQ(FieldText(type.BitmapFiles[1]), "red diesel right.bmp");
    EXPECT_EQ(FieldText(type.BitmapFiles[2]), "red caboose.bmp");
  }
}

TEST_F(TerritoryInitTest, TextsAndStationsCarryTheDefaultLabelFont) {
  FillTablesWithRubbish();
  store().InitTerritoryData();

  // The 60-byte font description: height -11, weight 400, character set 1, face "Courier New".
  std::vector<Expect> font = {{0, 4, -11}, {4, 4, 0, 3}, {16, 4, 400}, {20, 1, 0, 3}, {23, 1, 1}, {24, 1, 0, 4}};
  auto checkFont = [&](const FontBytes& f, const char* what) {
    CheckRecord(f, font, what);
    EXPECT_EQ(std::string(f.FaceName), "Courier New") << what;
    for (int k = 28 + 11; k < 60; ++k) EXPECT_EQ(reinterpret_cast<const uint8_t*>(&f)[k], 0) << what << k;
  };
  const TextData text = store().GetTextData(399);
  CheckRecord(text,
              {{108, 2, 0, 2},
               {112, 2, 1},
               {114, 4, 0x10041},
               {186, 4, 80},
               {190, 4, 0},
               {208, 4, 4},
               {216, 4, 0},
               {224, 4, 0}},
              "text");
  CheckEmpty(text, {0}, "text");
  checkFont(text.Font, "text font");
  const StationData station = store().GetStationData(199);
  CheckRecord(station, {{0, 2, 0}, {34, 4, 0x10041}, {106, 4, 80}, {110, 4, 0}, {128, 4, 4}, {136, 4, 0}, {144, 4, 0}},
              "station");
  CheckEmpty(station, {2, 23}, "station");
  checkFont(station.Font, "station font");
}

TEST_F(TerritoryInitTest, GridsCountsAndRunFieldsAreReset) {
  FillTablesWithRubbish();
  store().InitTerritoryData();

  for (int cell : {0, 159, 160, kGridCells - 1}) {
    EXPECT_EQ(store().GridTrack[cell], 0) << cell;
    EXPECT_EQ(store().GridDevice[cell], -1) << cell;
    EXPECT_EQ(store().GridFlags[cell], 7) << "the flag grid is not touched";
  }
  EXPECT_EQ(store().MaintImageSizes[99], 0);

  const CountData counts = store().GetCountData();
  const int32_t expected[25] = {200, 160, 1000, 300,  200,  100,  2000, 1000, 1000, 1000, 200,  200, 400,
                                100, 10,  50,   1016, 1017, 1018, 100,  100,  1021, 1022, 1023, 1024};
  for (int w = 0; w < 25; ++w) EXPECT_EQ(counts.Words[w], expected[w]) << "count word " << w;

  EXPECT_EQ(store().TrackReservedWord, 1000);
  EXPECT_EQ(store().TrackIdentity1, 0);
  EXPECT_EQ(store().TrackIdentity2, 0);
  EXPECT_EQ(store().ChangeCount, 0);
  EXPECT_EQ((std::array<int16_t, 8>{1, 50, 100, 0, 0, 0, 0, 1}), store().TerritoryCounters);
  EXPECT_EQ(store().Run.SimStopped, 1);
  EXPECT_EQ(store().Run.OutputHold, 1);
  EXPECT_EQ(store().Run.RunStarted, 0);
  EXPECT_EQ(store().Run.Loading, 0);
  EXPECT_EQ((std::array<int32_t, 3>{-1, -1, -1}), store().Run.PointerHighlightCells);
  EXPECT_EQ(store().PendingBeeps, 0);
  EXPECT_EQ(store().BeepIdle, 1);

  EXPECT_EQ(shell.LoadTrainIconsCalls, 1);
  EXPECT_EQ(shell.ArrowCursorCalls, 1);
  EXPECT_EQ(shell.LayoutInvalidations, std::vector<bool>{true});
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_TRUE(playback.Calls.empty());
}

// Asserts that nothing reaches the recorder while recording is suppressed.
class SuppressionCheck : public PlaybackSink {
 public:
  explicit SuppressionCheck(Corvane3Data& store) : store_(store) {}
  void RecordChange(PlaybackKind, int32_t, const void*, uint32_t) override {
    ++Calls;
    if (store_.RecordingSuppressed != 1) ++Unsuppressed;
  }
  int Calls = 0;
  int Unsuppressed = 0;

 private:
  Corvane3Data& store_;
};

class RunInitTest : public TerritoryInitTest {
 protected:
  // A small territory over rubbish run-time tables: block 3 with its run
  // values, block 4 whose per-type speeds are all unset, switches 5 and 6,
  // signal 7, diamond 8, location 9; train types 0, 2 and 9 in use.
  void BuildTerritory() {
    store().InitTerritoryData();
    for (int t : {0, 2, 9}) {
      TrainType type = store().GetTrainType(t);
      type.InUse = 1;
      store().UpdateTrainType(t, type);
    }
    BlockData block = store().GetBlockData(3);
    block.InUse = 1;
    block.PassThrough = 1;
    const uint8_t runValues[] = {0xFF, 0, 0, 0, 0, 7, 8, 0, 0, 0x21, 0x00, 0x22};
    std::memcpy(reinterpret_cast<uint8_t*>(&block) + 488, runValues, sizeof runValues);
    reinterpret_cast<uint8_t*>(&block)[500] = 0;
    const int16_t cells[] = {11, 12, 13, 14};
    std::memcpy(block.LabelCells, cells, sizeof cells);
    int16_t speedMax[2][10];
    for (int t = 0; t < 10; ++t) speedMax[0][t] = speedMax[1][t] = -1;
    speedMax[0][4] = 70;
    speedMax[0][6] = 45;
    speedMax[1][9] = 30;
    std::memcpy(block.SpeedMax, speedMax, sizeof speedMax);
    store().UpdateBlockData(3, block);
    BlockData unset = store().GetBlockData(4);
    unset.InUse = 1;
    store().UpdateBlockData(4, unset);

    SwitchData sw = store().GetSwitchData(5);
    sw.InUse = 1;
    sw.TrackCode = 12;
    sw.Partner = 6;
    int16_t speeds[10] = {40, 99, 25, 5, 5, 5, 5, 5, 5, -1};  // types 1 and 3-8 are not in use
    std::memcpy(sw.DivergingSpeed, speeds, sizeof speeds);
    store().UpdateSwitchData(5, sw);
    for (int16_t& speed : speeds) speed = -1;
    std::memcpy(sw.DivergingSpeed, speeds, sizeof speeds);
    sw.Partner = 5;
    store().UpdateSwitchData(6, sw);

    SignalData signal = store().GetSignalData(7);
    signal.InUse = 1;
    signal.TrackCode = 21;
    store().UpdateSignalData(7, signal);
    CrossData cross = store().GetCrossData(8);
    cross.InUse = 1;
    cross.StatusWord = 17;
    store().UpdateCrossData(8, cross);
    OrgData org = store().GetOrgData(9);
    org.InUse = 1;
    store().UpdateOrgData(9, org);

    for (int i = 0; i < kMaxBlocks; ++i) store().UpdateBlockStatus(i, Filled<BlockStatus>(0x5A), 0, 1);
    for (int i = 0; i < kMaxSwitches; ++i) store().UpdateSwitchStatus(i, Filled<SwitchStatus>(0x5A), 1);
    for (int i = 0; i < kMaxSignals; ++i) store().UpdateSignalStatus(i, Filled<SignalStatus>(0x5A), 1);
    for (int i = 0; i < kMaxCrossings; ++i) store().UpdateCrossStatus(i, Filled<CrossStatus>(0x5A));
    for (int i = 0; i < kMaxLocations; ++i) store().UpdateOrgStatus(i, Filled<OrgStatus>(0x5A));
    for (int i = 0; i < kMaxStack; ++i) store().UpdateStackData(i, Filled<StackData>(0x5A));
    for (int i = 0; i < kMaxSlowStatus; ++i) store().UpdateSlowStatus(i, Filled<SlowStatus>(0x5A));
    for (int i = 0; i < kMaxPermitStatus; ++i) store().UpdatePermitStatus(i, Filled<PermitStatus>(0x5A));
    for (int i = 0; i < kMaxArchivePerform; ++i) store().UpdateArchivePerformStatus(i, Filled<PerformStatus>(0x5A));
    store().AddNewOSHit(3, 0, 600);
    store().Run.AlertLinesUsed = 12;
    store().Run.LastCTCPermitMinute = 77;
    OptionData options = store().GetOptionData();
    options.ExternalIOOn = options.CTCControlOn = 1;
    store().UpdateOptionData(options);
    interface.EIOMessages.clear();
    interface.CTCMessages.clear();
  }
};

TEST_F(RunInitTest, EveryStatusSlotIsFreeAndEveryDefinedDeviceIdle) {
  BuildTerritory();
  SuppressionCheck sink(store());
  store().SetPlaybackSink(&sink);
  store().InitSimulationStatus();

  const std::vector<Expect> freeBlock = {{0, 1, 0},      {1, 2, -1, 4},  {9, 1, 0, 2},   {11, 2, 0},      {13, 1, 0, 2},
                                         {15, 2, 0},     {17, 2, -1, 2}, {21, 4, -1, 2}, {30, 2, -1, 20}, {70, 1, 0, 2},
                                         {72, 2, -1, 5}, {82, 1, 0, 2},  {84, 1, 4},     {95, 1, 0}};
  CheckRecord(store().GetBlockStatus(0), freeBlock, "free block");
  CheckRecord(store().GetBlockStatus(1999), freeBlock, "free block");
  CheckRecord(store().GetBlockStatus(3),
              {{0, 1, 1},
               {1, 2, 11},
               {3, 2, 12},
               {5, 2, 13},
               {7, 2, 14},
               {9, 1, 1},
               {10, 1, 255},
               {13, 1, 7},
               {14, 1, 8},
               {17, 2, 0x21},
               {19, 2, 0x22},
               {72, 2, -1, 5},
               {84, 1, 4},
               {85, 2, 70},
               {87, 2, 30},
               {93, 2, -1}},
              "block 3");
  CheckRecord(store().GetBlockStatus(4), {{0, 1, 1}, {85, 2, -1}, {87, 2, -1}}, "block 4");

  const std::vector<Expect> freeSwitch = {{0, 2, 0},    {2, 2, -1},    {6, 1, 0, 4},    {10, 1, 255},  {11, 1, 0},
                                          {12, 4, -1},  {16, 1, 0, 2}, {18, 4, -1, 20}, {99, 1, 0, 2}, {101, 1, 4},
                                          {106, 4, -1}, {110, 1, 0},   {111, 2, 0},     {113, 1, 0, 3}};
  CheckRecord(store().GetSwitchStatus(0), freeSwitch, "free switch");
  CheckRecord(store().GetSwitchStatus(5), {{0, 2, 1}, {2, 2, 6}, {4, 2, 12}, {102, 2, 40}, {104, 2, 25}}, "switch 5");
  CheckRecord(store().GetSwitchStatus(6), {{0, 2, 1}, {102, 2, -1}, {104, 2, 1000}}, "switch 6");

  const std::vector<Expect> freeSignal = {{0, 2, 0},    {2, 2, 0},  {4, 2, 5},   {6, 2, 0},  {8, 4, -1},
                                          {14, 1, 255}, {15, 1, 0}, {16, 4, -1}, {20, 2, 0}, {22, 1, 0, 3}};
  CheckRecord(store().GetSignalStatus(0), freeSignal, "free signal");
  CheckRecord(store().GetSignalStatus(7), {{0, 2, 1}, {2, 2, 21}, {4, 2, 5}}, "signal 7");

  const std::vector<Expect> freeCross = {{0, 2, 0, 4},   {8, 1, 0, 9}, {17, 1, 4},  {18, 1, 0, 2}, {20, 1, 4},
                                         {21, 4, -1, 5}, {41, 4, 0},   {45, 2, -1}, {47, 1, 0, 2}};
  CheckRecord(store().GetCrossStatus(0), freeCross, "free diamond");
  CheckRecord(store().GetCrossStatus(8), {{0, 2, 1}, {6, 2, 17}, {17, 1, 4}}, "diamond 8");

  const std::vector<Expect> freeOrg = {{0, 1, 0}, {1, 4, -1}, {5, 4, 0}, {9, 4, -1, 4}};
  CheckRecord(store().GetOrgStatus(0), freeOrg, "free location");
  CheckRecord(store().GetOrgStatus(9), {{0, 1, 1}, {1, 4, -1}, {9, 4, -1, 4}}, "location 9");

  CheckRecord(store().GetStackData(199), {{0, 1, 0}, {1, 2, -1, 2}, {5, 2, -1, 50}, {105, 2, 0, 100}}, "stack");
  CheckRecord(store().GetSlowStatus(49), {{0, 1, 0}, {1, 4, -1, 4}, {17, 2, 2}, {19, 2, -1, 40}}, "slow order");
  CheckRecord(store().GetPermitStatus(49),
              {{0, 1, 0},
               {1, 4, -1},
               {5, 2, -1},
               {7, 4, -1, 2},
               {15, 4, 0},
               {19, 4, -1},
               {23, 2, 2},
               {25, 1, 0},
               {26, 4, -1, 2}},
              "permit");
  CheckEmpty(store().GetPermitStatus(49), {34, 55, 76}, "permit");
  CheckRecord(store().GetArchivePerformStatus(2183),
              {{0, 4, 0}, {4, 2, 0}, {6, 4, 0}, {10, 2, 0}, {12, 4, 0, 2}, {20, 2, 0}}, "archived performance");
  const PerformStatus running = store().GetPerformStatus();
  CheckRecord(running, {{0, 4, 0}, {20, 2, 0}}, "running performance");
  EXPECT_EQ(store().GetOSHitCount(), 0);
  EXPECT_EQ(+store().GetOSHit(0).Device, 0xFFFF);
  EXPECT_EQ(store().GetTrainStatus(999).InUse, 0);

  EXPECT_EQ(store().Run.AlertLinesUsed, 0);
  EXPECT_EQ(store().Run.LastCTCPermitMinute, -1);
  EXPECT_EQ(store().RecordingSuppressed, 0);
  EXPECT_GT(sink.Calls, 0);
  EXPECT_EQ(sink.Unsuppressed, 0) << "a run reset writes no playback records";
  EXPECT_TRUE(interface.EIOMessages.empty());
  EXPECT_TRUE(interface.CTCMessages.empty());
  store().SetPlaybackSink(&playback);
}

TEST_F(RunInitTest, AnEmptyTerritoryLeavesEveryStatusSlotFree) {
  // The devices of the territory emptied before are in use no more.
  BuildTerritory();
  store().InitSimulationStatus();
  ASSERT_EQ(store().GetBlockStatus(3).InUse, 1);
  store().InitTerritoryData();
  store().InitSimulationStatus();
  for (int i = 0; i < kMaxBlocks; ++i) ASSERT_EQ(store().GetBlockStatus(i).InUse, 0) << i;
  for (int i = 0; i < kMaxSwitches; ++i) ASSERT_EQ(+store().GetSwitchStatus(i).InUse, 0) << i;
  for (int i = 0; i < kMaxSignals; ++i) ASSERT_EQ(+store().GetSignalStatus(i).InUse, 0) << i;
  for (int i = 0; i < kMaxCrossings; ++i) ASSERT_EQ(+store().GetCrossStatus(i).InUse, 0) << i;
  for (int i = 0; i < kMaxLocations; ++i) ASSERT_EQ(store().GetOrgStatus(i).InUse, 0) << i;
}

TEST_F(RunInitTest, ARunResetClearsTheTrainSlotsEachWriterChangedSinceTheLastReset) {
  store().InitTerritoryData();
  store().InitSimulationStatus();
  // Each table of a train slot written after a reset, by each of its writers.
  store().UpdateTrainStatus(10, Filled<TrainStatus>(0x5A), 1);
  store().UpdateTrainStatus(11, Filled<TrainStatus>(0x01), 1);  // in use
  store().FreeTrainStatus(11);
  store().UpdateTrainStationTime(20, Filled<TrainStationTime>(0x5A));
  store().UpdateTrainStop(30, Filled<TrainStop>(0x5A));
  for (int i : {10, 11, 20, 30}) EXPECT_FALSE(store().TrainSlotCleared(i)) << i;
  store().InitSimulationStatus();
  for (int i = 0; i < kMaxTrainStatus; ++i) ASSERT_TRUE(store().TrainSlotCleared(i)) << i;
  EXPECT_EQ(+store().GetTrainStatus(10).CrewExpiry, 0x5A5A5A5A);  // kept by a reset
}

// A reset compares only the slots written since the last one: each writer's slots, the last ones of
// each table among them, are found and reset.
TEST_F(RunInitTest, ARunResetRestoresTheSlotsEachWriterChangedSinceTheLastReset) {
  BuildTerritory();
  store().InitSimulationStatus();
  const std::vector<uint8_t> fresh = RunImage(store());
  store().InitSimulationStatus();
  ASSERT_EQ(RunImage(store()), fresh);

  // Slots in use are set from their devices again, and so are slots no device uses.
  for (int block : {3, kMaxBlocks - 1}) store().UpdateBlockStatus(block, Filled<BlockStatus>(0x5A), 0, 1);
  for (int sw : {5, kMaxSwitches - 1}) store().UpdateSwitchStatus(sw, Filled<SwitchStatus>(0x5A), 1);
  for (int signal : {7, kMaxSignals - 1}) store().UpdateSignalStatus(signal, Filled<SignalStatus>(0x5A), 1);
  for (int cross : {8, kMaxCrossings - 1}) store().UpdateCrossStatus(cross, Filled<CrossStatus>(0x5A));
  store().UpdateOrgStatus(9, Filled<OrgStatus>(0x5A));
  store().UpdateArchivePerformStatus(kMaxArchivePerform - 1, Filled<PerformStatus>(0x5A));
  // A removal from the stack moves the later entries down.
  StackData entry = Filled<StackData>(0x5A);
  entry.InUse = 1;
  for (int i = 0; i < 3; ++i) store().UpdateStackData(kMaxStack - 3 + i, entry);
  store().FreeStackData(kMaxStack - 3);
  ASSERT_NE(RunImage(store()), fresh);
  store().InitSimulationStatus();
  EXPECT_EQ(RunImage(store()), fresh);
}

}  // namespace
