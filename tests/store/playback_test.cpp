#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "store/playback_file.h"
#include "store/playback_format.h"
#include "tests/support/store_fixture.h"

namespace {

// Image sizes behind the kind byte, as the file format fixes them.
constexpr uint32_t kImageBytes[15] = {170, 101, 127, 36, 61, 101, 109, 27, 8, 402, 202, 32, 317, 151, 10};

struct Record {
  int32_t Time;
  int Kind;
  std::vector<uint8_t> Image;  // with the int16 index in front for the kinds that carry one
  int Index() const { return static_cast<int16_t>(Image[0] | Image[1] << 8); }
};

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t at) {
  int32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

class PlaybackTest : public StoreFixture {
 protected:
  PlaybackTest() : dir_(std::filesystem::temp_directory_path() / ("corvane-ply-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "run.ply").string();
    store().SetPlaybackSink(nullptr);  // the store's own recorder
    store().SimClock = 0;
  }
  ~PlaybackTest() override {
    PlaybackFile(store()).Close();
    std::filesystem::remove_all(dir_);
  }

  // A recording in progress: the header is written and the run has started.
  void StartRecording() {
    shell.SaveFileAnswers = {path_};
    ASSERT_EQ(PlaybackFile(store()).Create(store().SimClock), 0);
    store().OperatingMode = 1;
    store().RecordingSuppressed = 0;
    store().Run.OutputHold = 0;
  }

  std::vector<uint8_t> FileBytes() const {
    if (store_ptr()->PlaybackOut) std::fflush(store_ptr()->PlaybackOut);
    std::ifstream file(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  std::vector<Record> Records() const {
    const std::vector<uint8_t> bytes = FileBytes();
    std::vector<Record> records;
    size_t at = 309;
    while (at + 5 <= bytes.size()) {
      Record r{Int32At(bytes, at), bytes[at + 4], {}};
      EXPECT_LT(r.Kind, 15);
      if (r.Kind >= 15) break;
      const size_t size = kImageBytes[r.Kind];
      EXPECT_LE(at + 5 + size, bytes.size()) << "torn record";
      if (at + 5 + size > bytes.size()) break;
      r.Image.assign(bytes.begin() + at + 5, bytes.begin() + at + 5 + size);
      records.push_back(r);
      at += 5 + size;
    }
    EXPECT_EQ(at, bytes.size());
    return records;
  }

  void RecordTrain(int slot, int16_t speed) {
    TrainStatus train{};
    train.InUse = 1;
    train.Speed = speed;
    store().RecordPlayback(PlaybackKind::TrainStatus, slot, &train, sizeof train);
  }

  void RecordBlock(int block, int16_t occupancy) {
    BlockStatus status{};
    status.InUse = 1;
    status.Occupancy = occupancy;
    store().UpdateBlockStatus(block, status);
  }

  static int16_t TrainSpeed(const Record& r) {
    int16_t speed;
    std::memcpy(&speed, r.Image.data() + 2 + offsetof(TrainStatus, Speed), 2);
    return speed;
  }

  const Corvane3Data* store_ptr() const { return TheStore; }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(PlaybackTest, HeaderTiesTheFileToTheTrackFileAndTheRun) {
  std::memset(store().TrackFilePath, 'x', kPathChars);
  SetFieldText(store().TrackFilePath, "/maps/east.trk");
  store().TrackFilePath[40] = 'x';  // left over from a longer path: must not reach the file
  SetFieldText(store().DialogFolder, "/maps");
  store().LoadedTrackVersion = 0x10025;  // only the low 16 bits are written
  store().TrackReservedWord = 1000;
  store().TrackIdentity1 = 123456789;
  store().TrackIdentity2 = -5;
  store().ChangeCount = 42;
  store().SimStartTime = 21600;
  store().SimStartDay = 3;
  store().SimEndTime = -1;
  shell.SaveFileAnswers = {path_};

  ASSERT_EQ(PlaybackFile(store()).Create(30000), 0);

  ASSERT_EQ(shell.SaveFileRequests.size(), 1u);
  EXPECT_EQ(shell.SaveFileRequests[0].Filter, "Playback Files (*.ply)|*.ply");
  EXPECT_EQ(shell.SaveFileRequests[0].InitialFolder, "/maps");
  EXPECT_EQ(shell.SaveFileRequests[0].InitialName, "playback.ply");
  EXPECT_EQ(shell.SaveFileRequests[0].DefaultExtension, "*");
  EXPECT_EQ(FieldText(store().PlaybackFileName), path_);
  EXPECT_EQ(store().PlaybackOut, nullptr);

  const std::vector<uint8_t> bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 309u);
  const uint32_t magic[4] = {8910, 198191, 19011, 6835};
  EXPECT_EQ(std::memcmp(bytes.data(), magic, 16), 0);
  EXPECT_EQ(bytes[16] | bytes[17] << 8, 31);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[18])), "/maps/east.trk");
  for (size_t i = 18 + 14; i < 273; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(bytes[273] | bytes[274] << 8, 0x25);
  EXPECT_EQ(bytes[275] | bytes[276] << 8, 1000);
  EXPECT_EQ(Int32At(bytes, 277), 123456789);
  EXPECT_EQ(Int32At(bytes, 281), -5);
  EXPECT_EQ(Int32At(bytes, 285), 42);
  EXPECT_EQ(Int32At(bytes, 289), 42);
  EXPECT_EQ(Int32At(bytes, 293), 30000);
  EXPECT_EQ(Int32At(bytes, 297), 21600);
  EXPECT_EQ(Int32At(bytes, 301), 3);
  EXPECT_EQ(Int32At(bytes, 305), -1);
}

TEST_F(PlaybackTest, CancelReturnsThreeAndLeavesAnOlderRecordingAlone) {
  StartRecording();
  store().UpdateOrgStatus(1, OrgStatus{});
  PlaybackFile(store()).Close();
  const size_t size = FileBytes().size();

  EXPECT_EQ(PlaybackFile(store()).Create(0), 3);
  store().UpdateOrgStatus(2, OrgStatus{});  // the run goes on unrecorded
  PlaybackFile(store()).Close();
  EXPECT_EQ(FileBytes().size(), size);
  EXPECT_TRUE(messages.Calls.empty());
}

TEST_F(PlaybackTest, AFailedCreationAsksAgain) {
  std::ofstream(path_) << "an older recording that is replaced";
  shell.SaveFileAnswers = {(dir_ / "missing" / "x.ply").string(), path_};
  EXPECT_EQ(PlaybackFile(store()).Create(0), 0);
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not create playback file.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);
  EXPECT_EQ(shell.SaveFileRequests.size(), 2u);
  EXPECT_EQ(FileBytes().size(), 309u);
  EXPECT_TRUE(Records().empty());  // a header alone is a recording without records
}

TEST_F(PlaybackTest, UpdatesOfOneTrainInOneTickBecomeOneRecordWithTheLastImage) {
  store().SimClock = 1000;
  StartRecording();
  RecordTrain(7, 10);
  RecordTrain(7, 20);
  RecordTrain(7, 30);
  EXPECT_TRUE(Records().empty());

  store().SimClock = 1010;  // a later tick pushes the held record out with its own time
  RecordTrain(7, 40);
  std::vector<Record> records = Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Time, 1000);
  EXPECT_EQ(records[0].Kind, 0);
  EXPECT_EQ(records[0].Index(), 7);
  EXPECT_EQ(TrainSpeed(records[0]), 30);

  store().SimClock = 1020;  // the minute flush stamps what it writes with the current clock
  PlaybackFile(store()).Close();
  EXPECT_EQ(store().PlaybackOut, nullptr);
  records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Time, 1020);
  EXPECT_EQ(TrainSpeed(records[1]), 40);
  EXPECT_EQ(store().HeldTrainStatus.Time, -1);
}

TEST_F(PlaybackTest, AnotherTrainPushesTheHeldOneOutAndBlocksAreHeldApart) {
  store().SimClock = 500;
  StartRecording();
  RecordTrain(7, 1);
  RecordBlock(3, 1);
  RecordTrain(8, 2);
  RecordBlock(3, 3);  // the same block in the same tick stays held
  RecordTrain(7, 3);
  std::vector<Record> records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Index(), 7);
  EXPECT_EQ(TrainSpeed(records[0]), 1);
  EXPECT_EQ(records[1].Index(), 8);
  EXPECT_EQ(store().HeldTrainStatus.Index, 7);

  PlaybackFile(store()).Close();
  records = Records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[2].Kind, 0);
  EXPECT_EQ(TrainSpeed(records[2]), 3);
  EXPECT_EQ(records[3].Kind, 1);
  EXPECT_EQ(records[3].Index(), 3);
  int16_t occupancy;
  std::memcpy(&occupancy, records[3].Image.data() + 2 + 11, 2);
  EXPECT_EQ(occupancy, 3);
}

TEST_F(PlaybackTest, DevicesNotInUseAreNotRecorded) {
  StartRecording();
  store().UpdateSwitchStatus(4, SwitchStatus{});
  store().UpdateSignalStatus(4, SignalStatus{});
  store().UpdateCrossStatus(4, CrossStatus{});
  SwitchStatus sw{};
  sw.InUse = 1;
  sw.Position = 1;
  store().UpdateSwitchStatus(5, sw);
  SignalStatus signal{};
  signal.InUse = 1;
  store().UpdateSignalStatus(6, signal);
  CrossStatus cross{};
  cross.InUse = 1;
  store().UpdateCrossStatus(7, cross);
  const std::vector<Record> records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Kind, 2);
  EXPECT_EQ(records[0].Index(), 5);
  EXPECT_EQ(records[0].Image[2 + 6], 1);  // the switch position
  EXPECT_EQ(records[1].Kind, 3);
  EXPECT_EQ(records[2].Kind, 4);
}

TEST_F(PlaybackTest, NothingIsWrittenWhileNotRecording) {
  StartRecording();
  const auto everyKind = [&] {
    RecordTrain(1, 5);
    RecordTrain(2, 5);
    RecordBlock(1, 1);
    SwitchStatus sw{};
    sw.InUse = 1;
    store().UpdateSwitchStatus(1, sw);
    store().UpdateOrgStatus(1, OrgStatus{});
    store().FormatPerformanceLine(PerformStatus{});
    PlaybackFile(store()).Close();
  };
  for (const int mode : {0, 2, 5}) {
    store().OperatingMode = mode;
    everyKind();
  }
  store().OperatingMode = 1;
  store().RecordingSuppressed = 1;
  everyKind();
  EXPECT_EQ(FileBytes().size(), 309u);
  EXPECT_EQ(store().HeldTrainStatus.Time, -1);

  // With the output held (no run in progress) the flush leaves the held records alone.
  store().RecordingSuppressed = 0;
  RecordTrain(1, 5);
  store().Run.OutputHold = 1;
  PlaybackFile(store()).Close();
  EXPECT_EQ(FileBytes().size(), 309u);
  EXPECT_NE(store().HeldTrainStatus.Time, -1);

  // Nor is anything recorded then: the recording named is an earlier run's until Start creates the next.
  PlaybackFile(store()).Close();
  store().HeldTrainStatus.Time = -1;
  everyKind();
  const PlaybackView view{64, 96, 2, 1};
  store().RecordPlayback(PlaybackKind::View, -1, &view, sizeof view);
  EXPECT_EQ(FileBytes().size(), 309u);
  EXPECT_EQ(store().HeldTrainStatus.Time, -1);
}

TEST_F(PlaybackTest, EveryKindWritesItsImageBehindTimeAndKind) {
  store().SimClock = 7200;
  StartRecording();
  store().Run.AlertLines[4].fill('z');
  SetFieldText(store().Run.AlertLines[4].data(), kAlertLineChars, "ALERT 0001  08:00 train 12 arrived");
  SlowStatus slow{};
  slow.InUse = 1;
  store().UpdateSlowStatus(9, slow);
  PermitStatus permit{};
  permit.InUse = 1;
  store().UpdatePermitStatus(3, permit);
  store().UpdateOrgStatus(199, OrgStatus{});
  const OSHit hit{4, 12, 480};
  store().RecordPlayback(PlaybackKind::OSHit, 17, &hit, sizeof hit);
  store().UpdateTrainStationTime(999, TrainStationTime{});
  store().UpdateTrainStop(2, TrainStop{});
  PerformStatus perform{};
  perform.Trains = 6;
  store().FormatPerformanceLine(perform);
  StackData stack{};
  stack.InUse = 1;
  store().UpdateStackData(5, stack);
  store().RecordPlayback(PlaybackKind::AlertLine, 4, nullptr, 0);
  const PlaybackView view{64, 96, 2, 1};
  store().RecordPlayback(PlaybackKind::View, -1, &view, sizeof view);

  const std::vector<uint8_t> bytes = FileBytes();
  // Offsets of each record in the file: 309 + sum of (5 + image) before it.
  const struct {
    size_t at;
    int kind;
    int index;  // -1: no index
  } expected[] = {
      {309, 5, 9},        {309 + 106, 6, 3},   {415 + 114, 7, 199}, {529 + 32, 8, -1},    {561 + 13, 9, 999},
      {574 + 407, 10, 2}, {981 + 207, 11, -1}, {1188 + 37, 12, 5},  {1225 + 322, 13, -1}, {1547 + 156, 14, -1},
  };
  ASSERT_EQ(bytes.size(), 1703u + 15u);
  for (const auto& e : expected) {
    EXPECT_EQ(Int32At(bytes, e.at), 7200) << e.kind;
    EXPECT_EQ(bytes[e.at + 4], e.kind);
    if (e.index >= 0) {
      EXPECT_EQ(static_cast<int16_t>(bytes[e.at + 5] | bytes[e.at + 6] << 8), e.index) << e.kind;
    }
  }
  EXPECT_EQ(bytes[309 + 5 + 2], 1);                    // slow order in use
  EXPECT_EQ(bytes[561 + 5] | bytes[561 + 6] << 8, 4);  // the OS hit's device, no index in front
  EXPECT_EQ(Int32At(bytes, 561 + 5 + 4), 480);
  EXPECT_EQ(bytes[1188 + 5 + 20], 6);  // the running performance, trains at +20
  const char* alert = reinterpret_cast<const char*>(&bytes[1547 + 5]);
  EXPECT_STREQ(alert, "ALERT 0001  08:00 train 12 arrived");
  for (size_t i = 1547 + 5 + std::strlen(alert); i < 1547 + 5 + 151; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(Int32At(bytes, 1703 + 5), 64);
  EXPECT_EQ(Int32At(bytes, 1703 + 9), 96);
  EXPECT_EQ(bytes[1703 + 13], 2);
  EXPECT_EQ(bytes[1703 + 14], 1);
}

TEST_F(PlaybackTest, AStackDeletionRecordsEveryShiftedSlot) {
  StartRecording();
  StackData stack{};
  stack.InUse = 1;
  for (int i = 0; i < 6; ++i) store().UpdateStackData(i, stack);
  const size_t before = Records().size();
  store().FreeStackData(1);  // slots 1-5 move down
  const std::vector<Record> records = Records();
  ASSERT_EQ(records.size() - before, 5u);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(records[before + k].Index(), k + 1);
}

TEST_F(PlaybackTest, AFailedAppendIsReportedOnceAndStopsTheRecording) {
  StartRecording();
  RecordBlock(1, 1);
  PlaybackFile(store()).Close();
  SetFieldText(store().PlaybackFileName, (dir_ / "gone" / "run.ply").string());
  RecordBlock(2, 1);
  RecordBlock(3, 1);
  store().UpdateOrgStatus(1, OrgStatus{});
  PlaybackFile(store()).Close();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not write to the playback file.  The recording has stopped.");
  EXPECT_EQ(messages.Calls[0].Icon, MessageIcon::Error);

  // A new recording starts afresh.
  StartRecording();
  RecordBlock(4, 1);
  PlaybackFile(store()).Close();
  EXPECT_EQ(Records().size(), 1u);
  EXPECT_EQ(messages.Calls.size(), 1u);
}

TEST_F(PlaybackTest, AFullDeviceStopsTheRecordingWithOneMessage) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  StartRecording();
  SetFieldText(store().PlaybackFileName, "/dev/full");
  store().UpdateOrgStatus(1, OrgStatus{});
  store().UpdateOrgStatus(2, OrgStatus{});
  PlaybackFile(store()).Close();
  ASSERT_EQ(messages.Calls.size(), 1u);
  EXPECT_EQ(messages.Calls[0].Text, "Could not write to the playback file.  The recording has stopped.");
  EXPECT_EQ(store().PlaybackOut, nullptr);
}

}  // namespace
