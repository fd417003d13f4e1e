// The layout painter on a QImage: track and device states by pixel, switches,
// signals, a diamond, the fleet mark, a train icon with its ID at both zoom
// levels, Classic Display, and the texts of the block label options.
#include "shell/layout_painter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstring>
#include <optional>

#include "platform/fonts.h"
#include "shell/display_pictures.h"
#include "shell/picture_art.h"
#include "tests/shell/gui_app.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using namespace art;
using territory::Cell;
using territory::Diverge;
using territory::End;
using territory::TerritoryBuilder;

constexpr int kRow = 5;

class LayoutPainterTest : public StoreFixture {
 protected:
  LayoutPainterTest() {
    EnsureQApplication();
    TerritoryBuilder builder(store());
    block_ = builder.Block({.Name = "B0", .From = {2, kRow}, .To = {9, kRow}, .Flag = 1});
    builder.Block({.Name = "B1", .From = {12, kRow}, .To = {20, kRow}});
    signal_ = builder.Signal(block_, End::Right, "S1");
    switch_ = builder.Switch("W1", {10, kRow}, Diverge::UpRight);
    diamond_ = builder.Diamond("X1", {15, kRow + 4}, 27);
    builder.TrainType("Passenger");
    builder.Finish();
    store().InitSimulationStatus();
    pictures_.LoadDisplayResources(false);
    pictures_.LoadTrainIcons();
    state_.ExtentX = 40;
    state_.ExtentY = 20;
    state_.LabelFont = LayoutLabelFont();
  }

  QImage Paint() {
    const int zoom = store().ZoomDivisor;
    QImage image(40 * 16 / zoom, 20 * 16 / zoom, QImage::Format_RGB32);
    image.fill(store().GetOptionData().ClassicDisplay ? kBlack : kWhite);
    QPainter painter(&image);
    LayoutPainter(store(), pictures_).Paint(painter, image.rect(), state_);
    return image;
  }

  // The first pixel of a tile drawn in that key colour.
  QPoint KeyPixel(int tile, QRgb key, int level = 0) const {
    const QImage& dib = pictures_.TrackTileDib[level][tile];
    for (int y = 0; y < dib.height(); ++y)
      for (int x = 0; x < dib.width(); ++x)
        if (dib.pixel(x, y) == key) return {x, y};
    ADD_FAILURE() << "tile " << tile << " has no pixel of colour " << std::hex << key;
    return {0, 0};
  }

  static QRgb At(const QImage& image, Cell cell, QPoint offset, int cellSize = 16) {
    return image.pixel(cell.X * cellSize + offset.x(), cell.Y * cellSize + offset.y()) | 0xFF000000;
  }

  // True when the cell shows exactly that bitmap.
  static bool Shows(const QImage& image, Cell cell, const QImage& bitmap) {
    return image.copy(cell.X * 16, cell.Y * 16, bitmap.width(), bitmap.height()) ==
           bitmap.convertToFormat(QImage::Format_RGB32);
  }

  void SetBlock(int occupancy, uint8_t permitActive = 0, uint8_t permitPending = 0) {
    BlockStatus status = store().GetBlockStatus(block_);
    status.Occupancy = static_cast<int16_t>(occupancy);
    status.PermitActive = permitActive;
    status.PermitPending = permitPending;
    store().UpdateBlockStatus(block_, status, 1);
  }

  // The cell of the block's middle, plain horizontal track (tile 0).
  static constexpr Cell kMiddle{5, kRow};

  DisplayPictures pictures_;
  LayoutPaintState state_;
  int block_ = 0, signal_ = 0, switch_ = 0, diamond_ = 0;
};

TEST_F(LayoutPainterTest, BlockTrackTakesTheColourOfItsState) {
  const QPoint track = KeyPixel(0, kBlack);
  const QPoint ground = KeyPixel(0, kWhite);
  struct Case {
    const char* name;
    int occupancy;
    uint8_t permitActive, permitPending;
    QRgb expected;
  };
  const Case cases[] = {
      {"idle", 0, 0, 0, kBlack},
      {"cleared right", 1, 0, 0, kBrightGreen},
      {"cleared left", 2, 0, 0, kBrightGreen},
      {"occupied", 3, 0, 0, kRed},
      {"running time", 9, 0, 0, kBrightGreen},
      {"permit pending", 0, 0, 1, kCyan},
      {"permit active", 0, 1, 0, kBlue},
      {"permit active wins over pending", 0, 1, 1, kBlue},
  };
  for (const Case& c : cases) {
    SetBlock(c.occupancy, c.permitActive, c.permitPending);
    const QImage image = Paint();
    EXPECT_EQ(At(image, kMiddle, track), c.expected) << c.name;
    EXPECT_EQ(At(image, kMiddle, ground), kWhite) << c.name;
  }
}

TEST_F(LayoutPainterTest, AnIdleBlockShowsItsTrafficDirection) {
  const int arrowRight = DisplayPictures::ArrowIndex(0, 0, 0, 2);
  const int arrowLeft = DisplayPictures::ArrowIndex(1, 0, 0, 2);
  const QImage& right = pictures_.ArrowBitmap[arrowRight];
  const QImage& left = pictures_.ArrowBitmap[arrowLeft];
  auto markAt = [&](const QImage& image, const QImage& arrow) {
    // Grid flag 1: the mark lies 5 pixels into the cell, 6 wide.
    return image.copy(kMiddle.X * 16 + 5, kRow * 16, 6, 16) ==
           arrow.scaled(6, 16).convertToFormat(QImage::Format_RGB32);
  };
  struct Case {
    uint8_t direction;
    bool right, left;
    QRgb track;
  };
  for (const Case& c : {Case{1, true, false, kYellow}, Case{0, false, true, kYellow}, Case{4, false, false, kBlack}}) {
    BlockStatus status = store().GetBlockStatus(block_);
    status.StackMark = c.direction;
    store().UpdateBlockStatus(block_, status, 1);
    const QImage image = Paint();
    EXPECT_EQ(markAt(image, right), c.right) << +c.direction;
    EXPECT_EQ(markAt(image, left), c.left) << +c.direction;
    EXPECT_EQ(At(image, {3, kRow}, KeyPixel(0, kBlack)), c.track) << +c.direction;
  }
}

TEST_F(LayoutPainterTest, SwitchShowsItsPositionAndFailure) {
  const SwitchData data = store().GetSwitchData(switch_);
  const Cell cell{data.CellX, data.CellY};
  const int code = store().GetGridTrack(cell.X, cell.Y);

  SwitchStatus status = store().GetSwitchStatus(switch_);
  status.Position = 0;
  store().UpdateSwitchStatus(switch_, status, 1);
  EXPECT_TRUE(Shows(Paint(), cell, pictures_.TrackTileBitmap[0][26])) << "normal: the straight piece";

  status.Position = 1;
  store().UpdateSwitchStatus(switch_, status, 1);
  EXPECT_TRUE(Shows(Paint(), cell, pictures_.TrackTileBitmap[0][code - 1])) << "reversed: its own turnout";

  // A route through a switch lying normal still shows.
  status.Position = 0;
  status.Occupancy = 1;
  store().UpdateSwitchStatus(switch_, status, 1);
  EXPECT_EQ(At(Paint(), cell, KeyPixel(26, kBlack)), kBrightGreen);

  status.Occupancy = 0;
  status.FailureCount = 2;
  store().UpdateSwitchStatus(switch_, status, 1);
  EXPECT_EQ(At(Paint(), cell, KeyPixel(26, kYellow)), kCyan) << "a failed switch";
}

TEST_F(LayoutPainterTest, SignalHeadShowsItsAspect) {
  const SignalData data = store().GetSignalData(signal_);
  const Cell cell{data.CellX, data.CellY};
  const int tile = data.TrackCode - 1;
  const QPoint head = KeyPixel(tile, kRed);
  struct Case {
    int aspect;
    uint8_t failure;
    QRgb expected;
  };
  for (const Case& c :
       {Case{5, 0xFF, kRed}, Case{1, 0xFF, kBrightGreen}, Case{2, 0xFF, kBrightGreen}, Case{5, 3, kBlue}}) {
    SignalStatus status = store().GetSignalStatus(signal_);
    status.Aspect = static_cast<int16_t>(c.aspect);
    status.FailureCount = c.failure;
    store().UpdateSignalStatus(signal_, status);
    EXPECT_EQ(At(Paint(), cell, head), c.expected) << c.aspect << " " << +c.failure;
  }
}

TEST_F(LayoutPainterTest, FleetedSignalCarriesTheFleetMark) {
  const SignalData data = store().GetSignalData(signal_);
  SignalStatus status = store().GetSignalStatus(signal_);
  status.Fleet = 1;
  store().UpdateSignalStatus(signal_, status);
  const QImage image = Paint();
  const int x = data.TrackCode == 22 ? data.CellX * 16 + 16 : data.CellX * 16 - 10;
  EXPECT_EQ(image.copy(x, data.CellY * 16, 10, 16),
            pictures_.FleetMarkerBitmap[DisplayPictures::FleetIndex(0, 0)].scaled(10, 16).convertToFormat(
                QImage::Format_RGB32));
}

TEST_F(LayoutPainterTest, DiamondArmsFollowTheirRoutes) {
  const Cell cell{15, kRow + 4};
  const QPoint first = KeyPixel(27, kBrightGreen), second = KeyPixel(27, kRed), centre = KeyPixel(27, kBlack);
  struct Case {
    int a, b;
    QRgb first, second, centre;
  };
  for (const Case& c : {Case{0, 0, kBlack, kBlack, kBlack}, Case{1, 0, kBrightGreen, kBlack, kBrightGreen},
                        Case{0, 4, kBlack, kRed, kRed}, Case{2, 3, kBrightGreen, kRed, kRed}}) {
    CrossStatus status = store().GetCrossStatus(diamond_);
    status.Occupancy[0] = static_cast<int16_t>(c.a);
    status.Occupancy[1] = static_cast<int16_t>(c.b);
    store().UpdateCrossStatus(diamond_, status);
    const QImage image = Paint();
    EXPECT_EQ(At(image, cell, first), c.first) << c.a << "/" << c.b;
    EXPECT_EQ(At(image, cell, second), c.second) << c.a << "/" << c.b;
    EXPECT_EQ(At(image, cell, centre), c.centre) << c.a << "/" << c.b;
  }
}

// A cleared route that waits for the CTC field blinks: on odd blink phases its
// block, signal head and diamond arm keep the track colour.
TEST_F(LayoutPainterTest, ARequestedRouteBlinksOnlyInCTCControlMode) {
  SetBlock(1);
  BlockStatus block = store().GetBlockStatus(block_);
  block.RequestPending = 1;
  store().UpdateBlockStatus(block_, block, 1);
  SignalStatus signal = store().GetSignalStatus(signal_);
  signal.Aspect = 1;
  signal.RequestPending = 1;
  store().UpdateSignalStatus(signal_, signal);
  CrossStatus cross = store().GetCrossStatus(diamond_);
  cross.Occupancy[0] = 1;
  cross.SidePending[0] = 1;
  store().UpdateCrossStatus(diamond_, cross);
  const SignalData head = store().GetSignalData(signal_);
  const QPoint track = KeyPixel(0, kBlack), lamp = KeyPixel(head.TrackCode - 1, kRed), arm = KeyPixel(27, kBrightGreen);

  struct Case {
    bool ctc;
    int counter;
    QRgb block, lamp, arm;
  };
  for (const Case& c : {Case{true, 1, kBlack, kRed, kBlack}, Case{true, 2, kBrightGreen, kBrightGreen, kBrightGreen},
                        Case{false, 1, kBrightGreen, kBrightGreen, kBrightGreen}}) {
    OptionData options = store().GetOptionData();
    options.CTCControlOn = c.ctc ? 1 : 0;
    store().UpdateOptionData(options);
    store().Run.BlinkCounter = c.counter;
    const QImage image = Paint();
    EXPECT_EQ(At(image, kMiddle, track), c.block) << c.ctc << " " << c.counter;
    EXPECT_EQ(At(image, {head.CellX, head.CellY}, lamp), c.lamp) << c.ctc << " " << c.counter;
    EXPECT_EQ(At(image, {15, kRow + 4}, arm), c.arm) << c.ctc << " " << c.counter;
  }
}

TEST_F(LayoutPainterTest, TrainIconWithItsIdAtFullSizeOnly) {
  TrainStatus train{};
  train.InUse = 1;
  train.TrainIndex = -1;
  SetFieldText(train.TrainId, "LONGID123");
  train.HeadBlock = static_cast<int16_t>(block_);
  train.RearBlock = static_cast<int16_t>(block_);
  train.Speed = 0;
  store().UpdateTrainStatus(0, train, 1);
  BlockStatus status = store().GetBlockStatus(block_);
  status.Occupancy = 3;
  status.Trains[0] = 0;
  store().UpdateBlockStatus(block_, status, 1);

  store().TrainTypeIcons[0] = {0, 1, 2};  // the internal pictures of the first type
  const int icon = store().TrainTypeIcons[0][1];
  ASSERT_GE(icon, 0);
  const QImage& picture = pictures_.TrainIconBitmap[icon];
  const int x = status.RightLabelX * 16 - 16, y = status.RightLabelY * 16;
  auto countRed = [](const QImage& image, QRect r) {
    int n = 0;
    for (int yy = r.top(); yy <= r.bottom(); ++yy)
      for (int xx = r.left(); xx <= r.right(); ++xx) {
        // Red ink, blended with the white background at the glyphs' edges.
        const QRgb p = image.pixel(xx, yy);
        n += qRed(p) > qGreen(p) + 60 && qRed(p) > qBlue(p) + 60;
      }
    return n;
  };

  QImage image = Paint();
  EXPECT_EQ(image.copy(x, y, 32, 16), picture.scaled(32, 16).convertToFormat(QImage::Format_RGB32));
  // Nine characters shown as seven, moved left for a train moving right: " LONGID1 ".
  EXPECT_GT(countRed(image, QRect(x + 1 - 18, y - 9, 48, 9)), 0) << "the ID of a standing train is red";

  store().ZoomDivisor = 2;
  image = Paint();
  EXPECT_EQ(image.copy(x / 2, y / 2, 16, 8), picture.scaled(16, 8).convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(countRed(image, QRect(0, 0, image.width(), y / 2)), 0) << "no ID at the second zoom level";
}

TEST_F(LayoutPainterTest, ClassicDisplayDrawsWhiteTrackOnBlack) {
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  pictures_.FreeDisplayResources();
  pictures_.LoadDisplayResources(true);
  const QImage image = Paint();
  EXPECT_EQ(At(image, kMiddle, KeyPixel(0, kBlack)), kWhite);
  EXPECT_EQ(At(image, kMiddle, KeyPixel(0, kWhite)), kBlack);
  SetBlock(3);
  EXPECT_EQ(At(Paint(), kMiddle, KeyPixel(0, kBlack)), kRed);
}

TEST_F(LayoutPainterTest, PicturesLieUnderOrOverTheTrackByLayer) {
  // A magenta picture over the middle cell of the block, kept as a maintained bitmap "Yard".
  QImage magenta(16, 16, QImage::Format_RGB32);
  magenta.fill(kMagenta);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(magenta.save(&buffer, "BMP"));
  std::memcpy(store().MaintImage(3), bytes.constData(), bytes.size());
  store().MaintImageSizes[3] = static_cast<int32_t>(bytes.size());
  store().MaintBitmapUsable[3] = 1;
  BitmapMaint maint = store().GetBitmapMaint(3);
  std::memcpy(maint.Name, "Yard", 5);
  store().UpdateBitmapMaint(3, maint);

  auto insert = [&](const char* name, int16_t layer) {
    BitmapInsert record = store().GetBitmapInsert(0);
    std::memset(record.Name, 0, sizeof record.Name);
    std::memcpy(record.Name, name, std::strlen(name));
    // Two cells tall: the middle cell and the empty cell below it.
    record.Left = static_cast<int16_t>(kMiddle.X * 16);
    record.Top = static_cast<int16_t>(kMiddle.Y * 16);
    record.Width = 16;
    record.Height = 32;
    record.Layer = layer;
    store().UpdateBitmapInsert(0, record);
  };
  const QPoint track = KeyPixel(0, kBlack);
  const QPoint ground = KeyPixel(0, kWhite);
  const QPoint below(8, 16 + 8);  // the cell below holds no track: there the picture always shows

  insert("Yard", 1);
  QImage image = Paint();
  EXPECT_EQ(At(image, kMiddle, track), kBlack) << "layer 1 lies under the track";
  EXPECT_EQ(At(image, kMiddle, ground), kWhite);
  EXPECT_EQ(At(image, kMiddle, below), kMagenta) << "where no track is drawn the picture shows";

  insert("Yard", 0);
  image = Paint();
  EXPECT_EQ(At(image, kMiddle, track), kMagenta) << "layer 0 lies over it";

  insert("Nowhere", 0);
  EXPECT_EQ(At(Paint(), kMiddle, track), kBlack) << "a name no maintained bitmap carries";

  insert("Yard", 0);
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  pictures_.FreeDisplayResources();
  pictures_.LoadDisplayResources(true);
  EXPECT_EQ(At(Paint(), kMiddle, track), kWhite) << "Classic Display shows no pictures";
}

TEST_F(LayoutPainterTest, TextLabelInItsColourWithItsFrame) {
  TextData text = store().GetTextData(5);
  SetFieldText(text.Text, "Yard");
  const int16_t words[7] = {160, 240, 64, 24, 0x25, 1, 0};  // centred single line, framed, over the track
  std::memcpy(text.Words100, words, sizeof words);
  text.Longs186[1] = 0x0000FF;  // red, stored blue-green-red
  store().UpdateTextData(5, text);
  QImage image = Paint();
  EXPECT_EQ(image.pixel(160, 240) | 0xFF000000, kRed) << "frame corner";
  EXPECT_EQ(image.pixel(160 + 63, 240 + 23) | 0xFF000000, kRed) << "frame corner";
  EXPECT_EQ(image.pixel(160 + 64, 240 + 24) | 0xFF000000, kWhite) << "outside the frame";

  text.Longs186[1] = 0;  // black turns white on the classic display
  store().UpdateTextData(5, text);
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  image = Paint();
  EXPECT_EQ(image.pixel(160, 240) | 0xFF000000, kWhite);
}

TEST_F(LayoutPainterTest, BlockLabelOptionTexts) {
  BlockData data = store().GetBlockData(block_);
  SetFieldText(data.TrackStation1, "AB");
  SetFieldText(data.TrackPart, "Main");
  data.SignalledLeft = 1;
  data.SignalledRight = 0;
  data.Length = 2640;
  for (int t = 0; t < 10; ++t) {
    data.TypeSpeed[0][t] = static_cast<int16_t>(60 + t);  // only type 0 is in use
    data.TypeSpeed[1][t] = static_cast<int16_t>(70 - t);
  }
  store().UpdateBlockData(block_, data);

  struct Case {
    const char* option;
    uint8_t LayoutPaintState::*flag;
    QString upper, lower;
  };
  const Case cases[] = {
      {"name", &LayoutPaintState::ShowBlockName, "AB?-Main", QString()},
      {"lengths", &LayoutPaintState::ShowBlockLengths, "2640", "0.5"},
      {"signal direction", &LayoutPaintState::ShowSignalDirection, "<-CS", QString()},
      {"speeds", &LayoutPaintState::ShowBlockSpeeds, "L 60-60", "R 70-70"},
  };
  for (const Case& c : cases) {
    LayoutPaintState state;
    state.*c.flag = 1;
    const BlockLabelTexts texts = BlockLabelsOf(store(), block_, state);
    EXPECT_EQ(texts.Upper, c.upper) << c.option;
    EXPECT_EQ(texts.Lower, c.lower) << c.option;
  }
  EXPECT_TRUE(BlockLabelsOf(store(), block_, {}).Upper.isNull()) << "no option, no label";

  data.Length = 5280;
  store().UpdateBlockData(block_, data);
  LayoutPaintState lengths;
  lengths.ShowBlockLengths = 1;
  EXPECT_EQ(BlockLabelsOf(store(), block_, lengths).Lower, "1.0");

  // A permit in force shows its end time in place of any option label.
  BlockStatus status = store().GetBlockStatus(block_);
  status.PermitActive = 1;
  status.PermitActiveUntil = 86400 + 13 * 3600 + 5 * 60;
  store().UpdateBlockStatus(block_, status, 1);
  const BlockLabelTexts permit = BlockLabelsOf(store(), block_, lengths);
  EXPECT_TRUE(permit.Permit);
  EXPECT_EQ(permit.Upper, "13:05");
  EXPECT_EQ(permit.Lower, "      ");
}

// The stored face "Courier New", which Linux lacks, is drawn with the one fixed-pitch face the
// program loads itself, whatever fonts the machine has; other faces are left to Qt.
TEST(FaceFontTest, CourierNewIsTheLoadedFixedPitchFace) {
  EnsureQApplication();
  EXPECT_EQ(FixedPitchFamily(), "DejaVu Sans Mono");
  for (const char* face : {"Courier New", "courier new", "Courier"}) {
    const QFontInfo info(FaceFont(face));
    EXPECT_EQ(info.family(), "DejaVu Sans Mono") << face;
    EXPECT_TRUE(info.fixedPitch()) << face;
  }
  EXPECT_EQ(FaceFont("Arial").family(), "Arial");
  const QFontInfo label(LayoutLabelFont());
  EXPECT_EQ(label.family(), "DejaVu Sans Mono");
  EXPECT_EQ(label.pixelSize(), 12);
}

// The label font is taller than the 8-pixel label strip: the text is sized to the strip, so that
// no letter is cut ("WEAF-1" read "WFAF-1" when the bottom bar of the E was cut off).
TEST_F(LayoutPainterTest, BlockLabelFitsItsStrip) {
  BlockData data = store().GetBlockData(block_);
  SetFieldText(data.TrackStation1, "WE");
  SetFieldText(data.TrackStation2, "AF");
  SetFieldText(data.TrackPart, "1");
  store().UpdateBlockData(block_, data);
  state_.ShowBlockName = 1;
  const QString text = "WEAF-1";
  // The rows that hold blue ink (the label colour, blended with white at the glyphs' edges).
  auto inkRows = [](const QImage& image, const QRect& r) {
    int rows = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      bool ink = false;
      for (int x = r.left(); x <= r.right() && !ink; ++x) {
        const QRgb p = image.pixel(x, y);
        ink = qBlue(p) > qRed(p) + 60;
      }
      rows += ink;
    }
    return rows;
  };

  const QImage image = Paint();
  const BlockStatus status = store().GetBlockStatus(block_);
  const QRect strip(status.LeftLabelX * 16, status.LeftLabelY * 16 - 2,
                    (status.RightLabelX + 1 - status.LeftLabelX) * 16, kLabelStripHeight);
  // The same text in the same font with nothing to cut it.
  QImage free(200, 40, QImage::Format_RGB32);
  free.fill(kWhite);
  {
    QPainter painter(&free);
    painter.setFont(LabelFontForHeight(state_.LabelFont, kLabelStripHeight));
    painter.setPen(QColor::fromRgb(kBlue));
    painter.drawText(QPoint(10, 25), text);
  }
  const int whole = inkRows(free, free.rect());
  EXPECT_GE(whole, 5) << "still readable";
  EXPECT_EQ(inkRows(image, strip), whole) << "every row of the letters lies in the strip";
}

}  // namespace
