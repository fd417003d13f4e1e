// Draws the territory from the store onto any QPainter: text labels, track
// cells coloured by the state of their devices, direction and fleet marks,
// trains with their IDs, signal-stack counts, location names, block label
// strips, the highlight frame and the stations. The layout window paints with
// it, tests paint onto a QImage, and a printout can use it the same way.
// Coordinates are layout pixels at the present zoom; the caller translates the
// painter for its scroll position.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <string>

class Corvane3Data;
class DisplayPictures;

// The window's label font for train IDs and block labels: "Courier New" 12 x 6.
QFont LayoutLabelFont();
// The label font at the largest size whose capitals and descenders fit a box of that height.
QFont LabelFontForHeight(QFont font, int height);
// The height of a block label strip and of a train ID box, in pixels.
constexpr int kLabelStripHeight = 8;
constexpr int kTrainIdHeight = 9;

// What the painter needs of the window besides the store.
struct LayoutPaintState {
  int ExtentX = 200;  // layout extent in cells
  int ExtentY = 160;
  int HighlightedDevice = -1;
  int HighlightColumn = -1;
  int HighlightRow = -1;
  uint8_t ShowBlockName = 0;
  uint8_t ShowBlockLengths = 0;
  uint8_t ShowSignalDirection = 0;
  uint8_t ShowBlockSpeeds = 0;
  QFont LabelFont;  // the window's: LayoutLabelFont()
};

class LayoutPainter {
 public:
  LayoutPainter(Corvane3Data& store, const DisplayPictures& pictures) : store_(store), pictures_(pictures) {}

  // Draws everything that meets the update rectangle (layout pixels at the present zoom).
  void Paint(QPainter& painter, const QRect& update, const LayoutPaintState& state);

  // The highlight frame of the highlighted switch or signal, in that colour (Classic Display
  // swaps black for white and anything else for black).
  void DrawDeviceFrame(QPainter& painter, const LayoutPaintState& state, QRgb colour);

 private:
  void PaintCell(QPainter& painter, int column, int row, const LayoutPaintState& state);
  void PaintTrain(QPainter& painter, int block, int column, int row);
  void PaintPictures(QPainter& painter, const QRect& update, bool secondPass);
  void PaintTexts(QPainter& painter, const QRect& update, bool secondPass);
  void PaintStackCounts(QPainter& painter);
  void PaintLocationNames(QPainter& painter);
  void PaintBlockLabels(QPainter& painter, const LayoutPaintState& state);
  void PaintStations(QPainter& painter, const QRect& update);
  bool TrainCoversCell(int block, int column, int row) const;

  Corvane3Data& store_;
  const DisplayPictures& pictures_;
  int zoom_ = 1;
  int cell_ = 16;
  bool classic_ = false;
  QFont labelFont_;  // the window's label font: train IDs and block labels
  QRect update_;     // the rectangle being painted
  // Recoloured device pictures: the picture (by its image's cache key) and the colour of each key.
  struct TileKey {
    qint64 Picture = 0;
    std::array<QRgb, 6> Colours{};
    auto operator<=>(const TileKey&) const = default;
  };
  static constexpr size_t kMostRecolouredTiles = 4096;
  std::map<TileKey, QImage> recoloured_;
};

// The texts of a block's label strips: the upper strip, the lower strip and the lower strip of
// a second band (a null text draws nothing); Permit says they are permit times (red).
struct BlockLabelTexts {
  QString Upper;
  QString Lower;
  QString SecondLower;
  bool SecondBand = true;  // the upper text goes into a second band's upper strip too
  bool Permit = false;
};
// None (Upper null) for a block that shows no label.
BlockLabelTexts BlockLabelsOf(Corvane3Data& store, int block, const LayoutPaintState& state);
