#include "shell/display_pictures.h"

#include "store/train_icons.h"

using namespace art;

QImage ToBitmap(const QImage& picture) {
  if (picture.isNull()) return {};
  return picture.convertToFormat(QImage::Format_RGB32);
}

DisplayPictures::DisplayPictures(Maker maker, Reporter report) : maker_(std::move(maker)), report_(std::move(report)) {}

QImage DisplayPictures::Make(int resource) {
  QImage picture = maker_ ? maker_(resource) : QImage();
  if (picture.isNull() && reported_.insert(resource).second && report_) report_(resource);
  return picture;
}

void DisplayPictures::LoadDisplayResources(bool classic) {
  for (int level = 0; level < kZoomLevels; ++level)
    for (int tile = 0; tile < kTiles; ++tile) TrackTileDib[level][tile] = Make(kTileResource[tile][level]);

  std::array<std::array<QImage, kZoomLevels>, 4> triangles;
  std::array<QImage, kZoomLevels> markers;
  for (int level = 0; level < kZoomLevels; ++level) {
    for (int shape = 0; shape < 4; ++shape) {
      triangles[shape][level] = Make(kTriangleResource[shape][level]);
      ArrowBitmap[ArrowIndex(shape, 0, level, 0)] = ToBitmap(triangles[shape][level]);
    }
    markers[level] = Make(kFleetMarkerResource[level]);
    FleetMarkerBitmap[FleetIndex(0, level)] = ToBitmap(markers[level]);
  }

  // The classic panel is baked into the tile bitmaps; the kept images go back to their own colours.
  for (int level = 0; level < kZoomLevels; ++level) {
    for (int tile = 0; tile < kTiles; ++tile) {
      QImage& image = TrackTileDib[level][tile];
      const int black = FindColour(image, kBlack);
      const int white = FindColour(image, kWhite);
      const int blue = FindColour(image, kBlue);
      const int yellow = FindColour(image, kYellow);
      if (classic) {
        SetColour(image, black, kWhite);
        SetColour(image, white, kBlack);
        SetColour(image, blue, kBlack);
        SetColour(image, yellow, kBlack);
      }
      TrackTileBitmap[level][tile] = ToBitmap(image);
      SetColour(image, black, kBlack);
      SetColour(image, white, kWhite);
      SetColour(image, blue, kBlue);
      SetColour(image, yellow, kYellow);
    }
  }

  // Each step builds on the colours the one before left.
  for (int shape = 0; shape < 4; ++shape) {
    for (int level = 0; level < kZoomLevels; ++level) {
      QImage image = triangles[shape][level];
      const int white = FindColour(image, kWhite);
      const int black = FindColour(image, kBlack);
      const int red = FindColour(image, kRed);
      auto build = [&](int style, int state) { ArrowBitmap[ArrowIndex(shape, style, level, state)] = ToBitmap(image); };
      SetColour(image, black, kMaroon);
      build(0, 1);
      SetColour(image, black, kGreen);
      SetColour(image, red, kBrightGreen);
      build(0, 2);
      SetColour(image, black, kWhite);
      SetColour(image, white, kBlack);
      build(1, 0);
      SetColour(image, black, kRed);
      build(1, 1);
      SetColour(image, black, kBrightGreen);
      SetColour(image, red, kBrightGreen);
      build(1, 2);
    }
  }

  for (int level = 0; level < kZoomLevels; ++level) {
    QImage image = markers[level];
    const int black = FindColour(image, kBlack);
    const int white = FindColour(image, kWhite);
    SetColour(image, black, kWhite);
    SetColour(image, white, kBlack);
    FleetMarkerBitmap[FleetIndex(1, level)] = ToBitmap(image);
  }
}

void DisplayPictures::FreeDisplayResources() {
  for (auto& level : TrackTileDib) level.fill(QImage());
  for (auto& level : TrackTileBitmap) level.fill(QImage());
  ArrowBitmap.fill(QImage());
  FleetMarkerBitmap.fill(QImage());
}

void DisplayPictures::LoadTrainIcons() {
  TrainIconBitmap.fill(QImage());
  for (int slot = 0; slot < kInternalTrainIcons; ++slot) {
    TrainIconBitmap[slot] = ToBitmap(Make(kInternalTrainIconTable[slot].Resource));
  }
}

void DisplayPictures::LoadTrainIconImages(const std::array<std::vector<uint8_t>, kTrainIconBitmaps>& images) {
  for (int slot = 0; slot < kTrainIconBitmaps; ++slot) {
    const std::vector<uint8_t>& bytes = images[slot];
    if (bytes.empty()) continue;
    TrainIconBitmap[slot] = ToBitmap(QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "BMP"));
  }
}
