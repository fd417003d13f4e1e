// The display pictures: sizes, the classic colouring, the triangle and marker
// colourings, the train icons, and a picture that cannot be made.
#include "shell/display_pictures.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <set>
#include <vector>

#include "shell/picture_art.h"
#include "tests/shell/gui_app.h"

namespace {

using namespace art;

class DisplayPicturesTest : public ::testing::Test {
 protected:
  DisplayPicturesTest() { EnsureQApplication(); }

  // The colours a bitmap uses.
  static std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) | 0xFF000000);
    return colours;
  }
};

TEST_F(DisplayPicturesTest, EveryPictureHasItsSize) {
  DisplayPictures pictures;
  pictures.LoadDisplayResources(false);
  pictures.LoadTrainIcons();
  for (int level = 0; level < 2; ++level) {
    const int cell = level == 0 ? 16 : 8;
    for (int tile = 0; tile < kTiles; ++tile) {
      const QSize expected(tile == 22 ? 3 * cell : cell, cell);  // the platform is three cells wide
      EXPECT_EQ(pictures.TrackTileDib[level][tile].size(), expected) << "tile " << tile << " level " << level;
      EXPECT_EQ(pictures.TrackTileBitmap[level][tile].size(), expected);
      EXPECT_EQ(pictures.TrackTileDib[level][tile].format(), QImage::Format_Indexed8);
    }
    for (int shape = 0; shape < 4; ++shape)
      for (int style = 0; style < 2; ++style)
        for (int state = 0; state < 3; ++state) {
          const QSize across = level == 0 ? QSize(6, 16) : QSize(3, 8);
          const QSize expected = shape < 2 ? across : across.transposed();
          EXPECT_EQ(pictures.ArrowBitmap[DisplayPictures::ArrowIndex(shape, style, level, state)].size(), expected);
        }
    for (int style = 0; style < 2; ++style) {
      EXPECT_EQ(pictures.FleetMarkerBitmap[DisplayPictures::FleetIndex(style, level)].size(),
                level == 0 ? QSize(10, 16) : QSize(6, 8));
    }
  }
  for (int slot = 0; slot < kTrainIconBitmaps; ++slot) {
    if (slot < 21) {
      EXPECT_EQ(pictures.TrainIconBitmap[slot].size(), QSize(32, 14)) << slot;
    } else {
      EXPECT_TRUE(pictures.TrainIconBitmap[slot].isNull()) << slot;
    }
  }
  // Each picture has its own artwork: no two tiles of a level look the same.
  for (int level = 0; level < 2; ++level)
    for (int a = 0; a < kTiles; ++a)
      for (int b = a + 1; b < kTiles; ++b)
        EXPECT_NE(pictures.TrackTileBitmap[level][a], pictures.TrackTileBitmap[level][b]) << a << " " << b;
  // A left locomotive is the right one mirrored.
  EXPECT_EQ(pictures.TrainIconBitmap[3].mirrored(true, false), pictures.TrainIconBitmap[4]);
  EXPECT_NE(pictures.TrainIconBitmap[3], pictures.TrainIconBitmap[6]);  // black and blue diesels differ
}

TEST_F(DisplayPicturesTest, ClassicDisplayTwiceGivesThePicturesOfStartUp) {
  DisplayPictures first;
  first.LoadDisplayResources(false);
  const auto tiles = first.TrackTileBitmap;
  const auto images = first.TrackTileDib;
  const auto arrows = first.ArrowBitmap;
  const auto markers = first.FleetMarkerBitmap;

  first.FreeDisplayResources();
  EXPECT_TRUE(first.TrackTileBitmap[0][0].isNull());
  first.LoadDisplayResources(true);
  const auto classicTiles = first.TrackTileBitmap;
  first.FreeDisplayResources();
  first.LoadDisplayResources(false);
  EXPECT_EQ(first.TrackTileBitmap, tiles);
  EXPECT_EQ(first.TrackTileDib, images);
  EXPECT_EQ(first.ArrowBitmap, arrows);
  EXPECT_EQ(first.FleetMarkerBitmap, markers);

  // The kept images stay in their own colours while the bitmaps carry the classic panel,
  // and a start with Classic Display already on gives the classic tiles at once.
  DisplayPictures classic;
  classic.LoadDisplayResources(true);
  EXPECT_EQ(classic.TrackTileDib, images);
  EXPECT_EQ(classic.TrackTileBitmap, classicTiles);
  EXPECT_NE(classicTiles[0][0], tiles[0][0]);
  // Triangles and markers exist in both styles whatever the option.
  EXPECT_EQ(classic.ArrowBitmap, arrows);
}

TEST_F(DisplayPicturesTest, ClassicTilesSwapBlackAndWhiteAndDarkenFrames) {
  DisplayPictures pictures;
  pictures.LoadDisplayResources(true);
  // Plain track has no blue or yellow: only black and white change places.
  EXPECT_EQ(Colours(pictures.TrackTileDib[0][0]), (std::set<QRgb>{kBlack, kWhite}));
  const QImage plain = pictures.TrackTileBitmap[0][0];
  const QImage plainImage = pictures.TrackTileDib[0][0];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(plain.pixel(x, y) | 0xFF000000, plainImage.pixel(x, y) == kBlack ? kWhite : kBlack);
  // A framed turnout piece: blue frame and yellow fill go dark, the black track turns white.
  EXPECT_EQ(Colours(pictures.TrackTileDib[0][9]), (std::set<QRgb>{kBlack, kBlue, kYellow}));
  EXPECT_EQ(Colours(pictures.TrackTileBitmap[0][9]), (std::set<QRgb>{kBlack, kWhite}));
  // Red discs and coloured crossings keep their colours.
  EXPECT_TRUE(Colours(pictures.TrackTileBitmap[0][18]).count(kRed));
  EXPECT_TRUE(Colours(pictures.TrackTileBitmap[1][27]).count(kBrightGreen));
}

// With Classic Display the switch frame goes dark, so a switch cell must draw the same track as
// the plain cell of its shape: the main line reaches both edges and the diverging arm its corner.
TEST_F(DisplayPicturesTest, ClassicSwitchTrackMeetsItsNeighbours) {
  DisplayPictures pictures;
  pictures.LoadDisplayResources(true);
  const std::pair<int, int> switchAndPlain[] = {{9, 5}, {10, 6}, {11, 8}, {12, 7}, {26, 0}};
  for (int level = 0; level < 2; ++level) {
    for (const auto& [framed, plain] : switchAndPlain) {
      EXPECT_EQ(pictures.TrackTileBitmap[level][framed], pictures.TrackTileBitmap[level][plain])
          << "tile " << framed << " at level " << level;
    }
  }
}

TEST_F(DisplayPicturesTest, TrianglesAndMarkersInEveryColouring) {
  DisplayPictures pictures;
  pictures.LoadDisplayResources(false);
  struct Colouring {
    int Style, State;
    QRgb Ground, Triangle, Tip;
  };
  const Colouring colourings[] = {
      {0, 0, kWhite, kBlack, kRed},         {0, 1, kWhite, kMaroon, kRed},
      {0, 2, kWhite, kGreen, kBrightGreen}, {1, 0, kBlack, kWhite, kBrightGreen},
      {1, 1, kBlack, kRed, kBrightGreen},   {1, 2, kBlack, kBrightGreen, kBrightGreen},
  };
  for (int shape = 0; shape < 4; ++shape) {
    for (const Colouring& c : colourings) {
      const QImage big = pictures.ArrowBitmap[DisplayPictures::ArrowIndex(shape, c.Style, 0, c.State)];
      const QImage small = pictures.ArrowBitmap[DisplayPictures::ArrowIndex(shape, c.Style, 1, c.State)];
      EXPECT_EQ(Colours(big), (std::set<QRgb>{c.Ground, c.Triangle, c.Tip})) << shape << " " << c.Style << c.State;
      // The half-size triangles have no tip pixels.
      EXPECT_EQ(Colours(small), (std::set<QRgb>{c.Ground, c.Triangle})) << shape << " " << c.Style << c.State;
      // The ground is in the corner; a right-pointing triangle's tip is at the middle of its last column.
      EXPECT_EQ(big.pixel(0, 0) | 0xFF000000, c.Ground);
      if (shape == 0) {
        EXPECT_EQ(big.pixel(5, 7) | 0xFF000000, c.Tip);
        EXPECT_EQ(big.pixel(0, 7) | 0xFF000000, c.Triangle);
      }
    }
  }
  for (int level = 0; level < 2; ++level) {
    EXPECT_EQ(Colours(pictures.FleetMarkerBitmap[DisplayPictures::FleetIndex(0, level)]),
              (std::set<QRgb>{kWhite, kBlack, kLightGray}));
    const QImage normal = pictures.FleetMarkerBitmap[DisplayPictures::FleetIndex(0, level)];
    const QImage classic = pictures.FleetMarkerBitmap[DisplayPictures::FleetIndex(1, level)];
    for (int y = 0; y < normal.height(); ++y)
      for (int x = 0; x < normal.width(); ++x) {
        const QRgb n = normal.pixel(x, y) | 0xFF000000;
        const QRgb expected = n == kBlack ? kWhite : n == kWhite ? kBlack : n;
        EXPECT_EQ(classic.pixel(x, y) | 0xFF000000, expected);
      }
  }
}

TEST_F(DisplayPicturesTest, APictureThatCannotBeMadeIsReportedOnceAndLeftOut) {
  std::vector<int> reported;
  DisplayPictures pictures([](int id) { return id == 1 || id == 9 ? QImage() : ResourcePicture(id); },
                           [&](int id) { reported.push_back(id); });
  pictures.LoadDisplayResources(false);
  pictures.FreeDisplayResources();
  pictures.LoadDisplayResources(true);
  EXPECT_EQ(reported, (std::vector<int>{1, 9}));
  EXPECT_TRUE(pictures.TrackTileDib[0][0].isNull());
  EXPECT_TRUE(pictures.TrackTileBitmap[0][0].isNull());
  for (int style = 0; style < 2; ++style)
    for (int state = 0; state < 3; ++state)
      EXPECT_TRUE(pictures.ArrowBitmap[DisplayPictures::ArrowIndex(0, style, 0, state)].isNull());
  // The rest is there.
  EXPECT_FALSE(pictures.TrackTileBitmap[1][0].isNull());
  EXPECT_FALSE(pictures.ArrowBitmap[DisplayPictures::ArrowIndex(0, 0, 1, 0)].isNull());
}

TEST_F(DisplayPicturesTest, TrainIconsReloadIntoTheFirst21SlotsOnly) {
  DisplayPictures pictures;
  pictures.TrainIconBitmap[30] = QImage(32, 14, QImage::Format_RGB32);  // a territory's own icon
  pictures.LoadTrainIcons();
  pictures.LoadTrainIcons();
  int loaded = 0;
  for (const QImage& icon : pictures.TrainIconBitmap) loaded += icon.isNull() ? 0 : 1;
  EXPECT_EQ(loaded, 21);
  EXPECT_TRUE(pictures.TrainIconBitmap[30].isNull());
  // Types 4 and 6 share the red caboose: same picture, each slot its own copy.
  EXPECT_EQ(pictures.TrainIconBitmap[14], pictures.TrainIconBitmap[20]);
}

}  // namespace
