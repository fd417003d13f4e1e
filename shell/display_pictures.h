// The display's pictures: track tiles at both zoom levels (the kept indexed
// images and the bitmaps painted from them in the current display style),
// triangles in every colouring, fleet markers and the train icon bitmaps. Built
// once at start-up and again whenever Classic Display changes; the painter only
// reads them. A null image is a picture that is not there: painting skips it.
#pragma once

#include <QImage>
#include <array>
#include <functional>
#include <set>
#include <vector>

#include "shell/picture_art.h"

inline constexpr int kZoomLevels = 2;
inline constexpr int kTriangleBitmaps = 48;
inline constexpr int kFleetMarkerBitmaps = 4;
inline constexpr int kTrainIconBitmaps = 51;

class DisplayPictures {
 public:
  // maker: the picture of a resource id (null when it cannot be made); report: told once per
  // resource id that could not be made.
  using Maker = std::function<QImage(int)>;
  using Reporter = std::function<void(int)>;
  explicit DisplayPictures(Maker maker = art::ResourcePicture, Reporter report = {});

  void SetReporter(Reporter report) { report_ = std::move(report); }

  // Builds the four display tables; classic gives the dark panel colouring. Callers free first.
  void LoadDisplayResources(bool classic);
  void FreeDisplayResources();
  // Drops every train icon bitmap and loads the internal pictures into slots 0-20.
  void LoadTrainIcons();
  // Makes the bitmap of every slot that holds a picture carried by a track file (complete bitmap
  // file bytes); the other slots keep what they show.
  void LoadTrainIconImages(const std::array<std::vector<uint8_t>, kTrainIconBitmaps>& images);

  // Index of a triangle bitmap: shape 0-3 (right, left, up, down), style 0 normal / 1 classic,
  // zoom level 0-1, state 0-2.
  static int ArrowIndex(int shape, int style, int level, int state) {
    return ((shape * 4 + style * 2 + level) * 3) + state;
  }
  static int FleetIndex(int style, int level) { return style * 2 + level; }

  std::array<std::array<QImage, art::kTiles>, kZoomLevels> TrackTileDib;
  std::array<std::array<QImage, art::kTiles>, kZoomLevels> TrackTileBitmap;
  std::array<QImage, kTriangleBitmaps> ArrowBitmap;
  std::array<QImage, kFleetMarkerBitmaps> FleetMarkerBitmap;
  std::array<QImage, kTrainIconBitmaps> TrainIconBitmap;

 private:
  QImage Make(int resource);

  Maker maker_;
  Reporter report_;
  std::set<int> reported_;
};

// A bitmap ready for painting, made from an indexed picture in its present colours.
QImage ToBitmap(const QImage& picture);
