// Hover descriptions and train lines as the message field shows them, the edge
// zones, and the layout window's pointer moves: framing, selecting a train,
// following it, and the block label and option commands.
#include "shell/layout_hover.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPainter>
#include <QWidget>
#include <memory>

#include "resources/resource_ids.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/layout_painter.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::Diverge;
using territory::End;
using territory::TerritoryBuilder;

class HoverTest : public StoreFixture {
 protected:
  HoverTest() {
    TerritoryBuilder builder(store());
    block_ = builder.Block({.Name = "OS1",
                            .From = {2, 5},
                            .To = {9, 5},
                            .Length = 2640,
                            .Speed = 45,
                            .Station1 = "AB",
                            .Track = "Main",
                            .Area = "Yard"});
    plain_ = builder.Block({.From = {12, 5}, .To = {20, 5}, .Speed = 30});
    link_ = builder.Block({.From = {22, 5}, .To = {24, 5}, .PassThrough = true});
    signal_ = builder.Signal(block_, End::Right, "S1");
    switch_ = builder.Switch("W1", {10, 5}, Diverge::UpRight);
    diamond_ = builder.Diamond("X1", {15, 9}, 27);
    location_ = builder.Location("WEST", plain_, End::Right, 3);
    builder.TrainType("Freight");
    builder.OSPoint("OS1");
    builder.OSPoint("X1");
    builder.Finish();
    store().InitSimulationStatus();
    BlockData data = store().GetBlockData(block_);
    for (int t = 0; t < 10; ++t) {
      data.TypeSpeed[0][t] = 45;
      data.TypeSpeed[1][t] = 50;
    }
    data.SignalledRight = 0;
    store().UpdateBlockData(block_, data);
  }

  int block_ = 0, plain_ = 0, link_ = 0, signal_ = 0, switch_ = 0, diamond_ = 0, location_ = 0;
};

TEST_F(HoverTest, DeviceDescriptions) {
  SignalStatus failed = store().GetSignalStatus(signal_);
  failed.FailureCount = 1;
  failed.MaintainerCalled = 1;
  failed.MaintainerFixTime = 86400 + 14 * 3600 + 7 * 60;
  failed.RunningTimeEnd = 9 * 3600 + 30 * 60;
  store().UpdateSignalStatus(signal_, failed);

  struct Case {
    const char* what;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"block with every part", hover::DescribeBlock(store(), block_),
       "(0) Name \"AB-? Main\",  Spd 45-45/50-50,  Len 2640,  Sig Left, Area \"Yard\" OS \"OS1\", "},
      {"block without names", hover::DescribeBlock(store(), plain_),
       "(1) Name \"None\",  Spd 120-120/120-120,  Len 5280,  Sig Both, "},
      {"connecting line", hover::DescribeBlock(store(), link_), "(2) Connecting Line"},
      {"switch", hover::DescribeSwitch(store(), switch_), "(0) Name \"W1\" High Reverse 35, Low Reverse 35"},
      {"signal failed, maintainer called, running time", hover::DescribeSignal(store(), signal_),
       "(0) Name \"S1\" Signal running time until 9:30 Signal failure maintainer will fix at 14:07."},
      {"diamond", hover::DescribeDiamond(store(), diamond_), "(0) Diamond, Automatic = No , OS \"X1\""},
      {"location", hover::DescribeLocation(store(), location_, true), "Name \"WEST\" Priority = 3"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.what;
}

TEST_F(HoverTest, SlowOrdersAndTrainTypesInSpeedTexts) {
  BlockStatus status = store().GetBlockStatus(plain_);
  status.SlowSpeeds[1][0] = 20;
  status.SlowSpeeds[1][3] = 15;
  store().UpdateBlockStatus(plain_, status, 1);
  EXPECT_EQ(hover::DescribeBlock(store(), plain_), "(1) Name \"None\",  Spd Slow none/15,  Len 5280,  Sig Both, ");

  TrainType type = store().GetTrainType(0);
  type.InUse = 0;
  store().UpdateTrainType(0, type);
  EXPECT_EQ(hover::DescribeBlock(store(), block_).substr(0, 44), "(0) Name \"AB-? Main\",  Spd 0-10000/0-10000, ");

  SwitchStatus sw = store().GetSwitchStatus(switch_);
  sw.FailureCount = 1;
  store().UpdateSwitchStatus(switch_, sw, 1);
  EXPECT_EQ(hover::DescribeSwitch(store(), switch_), "(0) Name \"W1\" High Reverse 35, Low Reverse 35 Switch failure");
}

TEST_F(HoverTest, LocationLinesFollowTheOptions) {
  OrgData org = store().GetOrgData(location_);
  org.PermissionRequired = 1;
  org.CapacityLimited = 1;
  store().UpdateOrgData(location_, org);
  struct Case {
    uint8_t entry, capacity;
    bool awaiting;
    std::string expected;
  };
  const Case cases[] = {
      {1, 1, false,
       "Name \"WEST\" Priority = 3, Territory Entry Permission = Yes, Yard Entrance = Yes,  Yard can accept trains "
       "now,"},
      {0, 1, true, "Name \"WEST\" Priority = 3, Yard Entrance = Yes, "},
      {1, 0, false, "Name \"WEST\" Priority = 3, Territory Entry Permission = Yes"},
  };
  for (const Case& c : cases) {
    OptionData options = store().GetOptionData();
    options.PermissionToEnterActive = c.entry;
    options.YardCapacityLimitActive = c.capacity;
    store().UpdateOptionData(options);
    EXPECT_EQ(hover::DescribeLocation(store(), location_, c.awaiting), c.expected);
  }
}

TEST_F(HoverTest, EdgeZones) {
  const hover::Area area{0, 0, 799, 599};
  struct Case {
    int x, y, scrollX, scrollY, rangeX, rangeY, zone;
  };
  const Case cases[] = {
      {10, 300, 3, 0, 10, 10, 1},  {10, 300, 0, 4, 10, 10, 6},   {10, 300, 0, 0, 10, 10, 0},
      {790, 300, 3, 0, 10, 10, 2}, {790, 300, 10, 2, 10, 10, 5}, {400, 10, 0, 2, 10, 10, 4},
      {400, 590, 0, 2, 10, 10, 3}, {400, 590, 0, 10, 10, 10, 0}, {400, 300, 3, 3, 10, 10, 0},
      {10, 10, 0, 0, 10, 10, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(hover::EdgeZone(c.x, c.y, area, c.scrollX, c.scrollY, c.rangeX, c.rangeY), c.zone)
        << c.x << "," << c.y << " scroll " << c.scrollX << "," << c.scrollY;
}

TEST_F(HoverTest, EdgePointersHaveTheirHotSpots) {
  EnsureQApplication();
  const QPoint hotSpots[7] = {{}, {7, 16}, {24, 15}, {15, 24}, {15, 7}, {0, 13}, {31, 0}};
  for (int zone = 1; zone <= 6; ++zone) {
    for (bool classic : {false, true}) {
      const QCursor cursor = EdgeCursor(zone, classic);
      EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << zone;
      EXPECT_EQ(cursor.hotSpot(), hotSpots[zone]) << zone;
      EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    }
  }
  // Black arrows on the normal display, white ones on the classic one.
  const QImage normal = EdgeCursor(1, false).pixmap().toImage();
  const QImage classic = EdgeCursor(1, true).pixmap().toImage();
  EXPECT_EQ(normal.pixel(16, 16) | 0xFF000000, 0xFF000000u);
  EXPECT_EQ(classic.pixel(16, 16) | 0xFF000000, 0xFFFFFFFFu);
  EXPECT_EQ(EdgeCursor(0, true).shape(), Qt::ArrowCursor);
}

TEST_F(HoverTest, TrainLineOfAScheduledTrain) {
  TrainData data = store().GetTrainData(0);
  data.InUse = 1;
  SetFieldText(data.TrainId, "NB1");
  store().UpdateTrainData(0, data);
  TrainStatus train{};
  train.InUse = 1;
  train.TrainIndex = 0;
  SetFieldText(train.TrainId, "NB1");
  SetFieldText(train.Exit, "EAST");
  train.Speed = 40;
  train.Length = 1200;
  train.State = 5;
  train.HeadEventTime = 86400 + 10 * 3600 + 5 * 60;
  train.WaitStart = -1;
  train.CrewExpiry = 12 * 3600 + 30 * 60;
  train.CrewChangeLocation = 7;
  train.CrewReadyTime = 11 * 3600;
  train.LocalWorkIndex = 0;
  store().UpdateTrainStatus(2, train, 1);
  std::string status;
  store().GenerateTrainStatus(2, status);

  std::string line;
  ASSERT_TRUE(hover::TrainStatusLine(store(), 2, line));
  EXPECT_EQ(line, "\"NB1\" Spd 40 Len 1200 Exit \"EAST\" " + status + " ETA at 10:05 ");

  OptionData options = store().GetOptionData();
  options.CrewExpirationActive = 1;
  store().UpdateOptionData(options);
  ASSERT_TRUE(hover::TrainStatusLine(store(), 2, line));
  EXPECT_EQ(line, "\"NB1\" Spd 40 Len 1200 Exit \"EAST\" " + status +
                      " ETA at 10:05 Crew 12:30 Crew Change \"Block 7\" at 11:00 ");

  // Waiting at a signal: the time it has waited since.
  train.State = 3;
  train.Reason = 3;
  train.WaitStart = 9 * 3600 + 50 * 60;
  train.CrewChangeLocation = -1;
  store().UpdateTrainStatus(2, train, 1);
  store().GenerateTrainStatus(2, status);
  ASSERT_TRUE(hover::TrainStatusLine(store(), 2, line));
  EXPECT_EQ(line, "\"NB1\" Spd 40 Len 1200 Exit \"EAST\" " + status + " waiting since 9:50 Crew 12:30  ");
}

TEST_F(HoverTest, TrainLineInCtcControlMode) {
  TrainStatus train{};
  train.InUse = 1;
  train.TrainIndex = -1;
  SetFieldText(train.TrainId, "CTC9");
  train.Length = 800;
  train.CrewExpiry = 13 * 60 + 5;
  SetFieldText(train.Entrance, "WEST");
  store().UpdateTrainStatus(4, train, 1);
  std::string line = "kept";
  EXPECT_FALSE(hover::TrainStatusLine(store(), 4, line)) << "no scheduled train outside CTC control";
  EXPECT_EQ(line, "kept");
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;
  store().UpdateOptionData(options);
  ASSERT_TRUE(hover::TrainStatusLine(store(), 4, line));
  EXPECT_EQ(line, "\"CTC9\" Len 800 Crew 13:05 Ent \"WEST\" Exit \"none\"");
  train.CrewExpiry = -1;  // none set
  store().UpdateTrainStatus(4, train, 1);
  ASSERT_TRUE(hover::TrainStatusLine(store(), 4, line));
  EXPECT_EQ(line, "\"CTC9\" Len 800 Crew none Ent \"WEST\" Exit \"none\"");
}

// The window's pointer moves on a painted territory.
class HoverWindowTest : public HoverTest {
 protected:
  HoverWindowTest() {
    EnsureQApplication();
    window_ = std::make_unique<TCorvane3Window>(store(), pictures_);
    window_->resize(800, 600);
    window_->SetMessageSink([this](const QString& text) { lines_.push_back(text.toStdString()); });
    store().Run.Loading = 0;
  }
  // The pointer on the middle of a cell.
  void MoveTo(int column, int row) { window_->EvMouseMove(QPoint(column * 16 + 8, row * 16 + 8)); }

  DisplayPictures pictures_;
  std::unique_ptr<TCorvane3Window> window_;
  std::vector<std::string> lines_;
};

TEST_F(HoverWindowTest, PointerFramesAndDescribesADevice) {
  const SwitchData sw = store().GetSwitchData(switch_);
  MoveTo(sw.CellX, sw.CellY);
  EXPECT_EQ(store().Run.HighlightedDevice, 2000 + switch_);
  EXPECT_EQ(window_->HighlightColumn, +sw.CellX);
  ASSERT_FALSE(lines_.empty());
  EXPECT_EQ(lines_.back(), hover::DescribeSwitch(store(), switch_));

  MoveTo(30, 15);  // empty ground
  EXPECT_EQ(store().Run.HighlightedDevice, -1);
  EXPECT_EQ(window_->DescribedDevice, -1);
  EXPECT_EQ(lines_.back(), "");
}

TEST_F(HoverWindowTest, SecondCellOfASignalPictureIsFramedButNotDescribed) {
  const SignalData signal = store().GetSignalData(signal_);
  const int column = signal.CellX + 1;
  ASSERT_EQ(store().GetGridTrack(column, signal.CellY), 0);
  store().UpdateGridDevice(column, signal.CellY, static_cast<int16_t>(13000 + signal_));
  MoveTo(signal.CellX, signal.CellY);
  EXPECT_EQ(lines_.back(), hover::DescribeSignal(store(), signal_));
  MoveTo(column, signal.CellY);
  EXPECT_EQ(store().Run.HighlightedDevice, 13000 + signal_);
  EXPECT_EQ(lines_.back(), "");

  // The frame is the signal's: drawn from the column left of the pointer's.
  DisplayPictures pictures;
  LayoutPainter painter(store(), pictures);
  QImage image(400, 200, QImage::Format_RGB32);
  image.fill(0xFFFFFFFF);
  QPainter p(&image);
  painter.DrawDeviceFrame(p, window_->PaintState(), 0xFF000000);
  p.end();
  const int left = signal.TrackCode == 21 || signal.TrackCode == 22 ? signal.CellX * 16 - 2 : signal.CellX * 16;
  EXPECT_EQ(image.pixel(left, signal.CellY * 16 + 4), 0xFF000000u);
  EXPECT_EQ(image.pixel(left - 1, signal.CellY * 16 + 4), 0xFF000000u) << "the second, grown frame";
  EXPECT_EQ(image.pixel(left + 4, signal.CellY * 16 + 4), 0xFFFFFFFFu);
}

TEST_F(HoverWindowTest, AnOccupiedBlockShowsItsTrainAndFollowsIt) {
  OptionData options = store().GetOptionData();
  options.CTCControlOn = 1;  // the short train line needs no schedule
  store().UpdateOptionData(options);
  TrainStatus train{};
  train.InUse = 1;
  train.TrainIndex = -1;
  SetFieldText(train.TrainId, "T1");
  train.Length = 500;
  store().UpdateTrainStatus(7, train, 1);
  BlockStatus status = store().GetBlockStatus(block_);
  status.Occupancy = 3;
  status.Trains[0] = 7;
  store().UpdateBlockStatus(block_, status, 1);

  MoveTo(4, 5);
  EXPECT_EQ(store().Run.SelectedTrain, 7);
  EXPECT_EQ(lines_.back(), "\"T1\" Len 500 Crew 00:00 Ent \"none\" Exit \"none\"");

  // The train step refreshes the selected train's line; a pointer move on the same block too.
  train.Length = 600;
  store().UpdateTrainStatus(7, train, 1);
  window_->ShowTrainStatusLine(store().Run.SelectedTrain);
  EXPECT_EQ(lines_.back(), "\"T1\" Len 600 Crew 00:00 Ent \"none\" Exit \"none\"");
  MoveTo(5, 5);
  EXPECT_EQ(store().Run.SelectedTrain, 7);

  // Moving right with its first slot empty: the block is described, nothing selected.
  status.Trains[0] = 0xFFFF;
  store().UpdateBlockStatus(block_, status, 1);
  MoveTo(30, 15);
  MoveTo(4, 5);
  EXPECT_EQ(store().Run.SelectedTrain, -1);
  EXPECT_EQ(lines_.back(), hover::DescribeBlock(store(), block_));
}

TEST_F(HoverWindowTest, BlockLabelOptionsKeepOneCheckMark) {
  auto checked = [&](int id) {
    for (auto it = shell.MenuChecks.rbegin(); it != shell.MenuChecks.rend(); ++it)
      if (it->first == id) return it->second;
    return false;
  };
  window_->CmDisplayBlockLengths();
  EXPECT_EQ(+window_->ShowBlockLengths, 1);
  EXPECT_TRUE(checked(res::CM_BLOCK_LENGTHS));
  window_->CmDisplayBlockName();
  EXPECT_EQ(+window_->ShowBlockName, 1);
  EXPECT_EQ(+window_->ShowBlockLengths, 0);
  EXPECT_TRUE(checked(res::CM_BLOCK_NAME));
  EXPECT_FALSE(checked(res::CM_BLOCK_LENGTHS));
  window_->CmDisplayBlockName();
  EXPECT_EQ(
      window_->ShowBlockName + window_->ShowBlockLengths + window_->ShowSignalDirection + window_->ShowBlockSpeeds, 0);
  EXPECT_FALSE(checked(res::CM_BLOCK_NAME));
}

TEST_F(HoverWindowTest, OptionCommandsFlipTheirFlagAndCheckMark) {
  const uint8_t help = store().GetOptionData().HelpMessagesOn;
  window_->CmHelpMessages();
  EXPECT_EQ(store().GetOptionData().HelpMessagesOn, help == 0 ? 1 : 0);
  ASSERT_FALSE(shell.MenuChecks.empty());
  EXPECT_EQ(shell.MenuChecks.back(), (std::pair<int, bool>{res::CM_HELP_MESSAGES, help == 0}));

  const size_t records = playback.Calls.size();
  window_->CmClassicDisplay();
  EXPECT_EQ(store().GetOptionData().ClassicDisplay, 1);
  EXPECT_EQ(window_->BackgroundColour(), 0xFF000000u);
  EXPECT_EQ(playback.Calls.size(), records + 1) << "one view record";
  window_->CmClassicDisplay();
  EXPECT_EQ(store().GetOptionData().ClassicDisplay, 0);
  EXPECT_EQ(window_->BackgroundColour(), 0xFFFFFFFFu);
}

}  // namespace
