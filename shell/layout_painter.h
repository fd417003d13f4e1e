// Draws the territory from the store onto any QPainter: text labels, track
// cells coloured by the state of their devices, direction and fleet marks,
// trains with their IDs, signal-stack counts, location names, block label
// strips, the highlight frame and the stations. The layout window paints with
// it, tests paint onto a QImage, and a printout can use it the same way.
// Coordinates are layout pixels at the present zoom; the caller translates the
// painter for its scroll position.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class Corvane3Data;
class DisplayPictures;

// The window's label font for train IDs and block labels: "Courier New" 12 x 6.
QFont LayoutLabelFont();
// The label font at the largest size whose capitals and descenders fit a box of that height.
QFont LabelFontForHeight(QFont font, int height);
// The font at the largest size, up to its own, at which the text's ink fits a box of that size.
QFont LabelFontForBox(QFont font, const QString& text, QSize box);
// The box a location name or a signal-stack count keeps its ink in: its cell less a pixel all round,
// which stays clear for the track beside the cell.
QRect CellLabelBox(const QRect& cell);
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

  // Onto an image, with no clip and no transform but a whole-pixel translation, the opaque
  // pictures (tiles, arrows, marks, train icons) are copied into its rows: the same pixels as
  // QPainter::drawImage at a fraction of its cost a call, and a whole layout draws some fifty
  // thousand. False draws every picture through the painter.
  bool CopyPicturesIntoImage = true;
  // True when the last paint copied its pictures so.
  bool CopiedPictures() const { return direct_.Bits != nullptr; }
  // How many labels the last paint copied from an earlier paint (see DrawLabel).
  int CopiedLabels() const { return copiedLabels_; }

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
  // A picture at its own size or stretched to the target, as QPainter::drawImage draws it.
  void DrawPicture(QPainter& painter, const QRect& target, const QImage& picture);
  void PrepareLabelFaces(QPainter& painter, const QFont& labelFont);

  // The image being painted, while pictures may be copied into its rows (else Bits is null).
  struct DirectImage {
    uchar* Bits = nullptr;
    qsizetype Stride = 0;
    QRect Bounds;   // the image, in device pixels
    QPoint Offset;  // layout pixels to device pixels
  };
  DirectImage direct_;

  // A label font fitted to its box height, with what every label drawn in it needs: measured when
  // the window's label font changes rather than once a label.
  struct LabelFace {
    QFont Font;
    std::optional<QFontMetrics> Metrics;  // as the painter resolves the font for its device
    int CapHeight = 0;
    int Descent = 0;
    QHash<QString, int> Widths;  // of the texts drawn in it, kept while the font stays
    static constexpr qsizetype kMostWidths = 8192;
    int Width(const QString& text);
  };
  QFont labelSource_;  // the window's label font the faces were fitted from, and the device's resolution
  int labelDpi_ = 0;
  LabelFace idFace_;     // train IDs
  LabelFace stripFace_;  // block label strips
  void DrawLabel(QPainter& painter, const QRect& r, const QString& text, LabelFace& face);
  // A label whose ink is centred in `ink` in the painter's font made small enough to fit it, clipped
  // to `box`.
  void DrawFitted(QPainter& painter, const QRect& box, const QRect& ink, const QString& text);
  // The fonts DrawFitted sized, with the ink rectangle of their text: by base font, box size and text.
  struct Fitted {
    QFont Font;
    QRect Ink;
  };
  QHash<QString, Fitted> fitted_;
  static constexpr qsizetype kMostFitted = 4096;

  // Labels drawn into the image before. A label is cut to its box, so what it leaves there follows
  // from its text, face, colours and place in the box and from the pixels it was drawn over: the
  // same label over the same pixels is copied again rather than drawn (only while pictures are
  // copied, the painter unclipped). Cleared with the faces.
  struct LabelKey {
    QString Text;
    const LabelFace* Face = nullptr;
    QRgb Pen = 0;
    QRgb Back = 0;  // the background colour in opaque mode, else 0
    bool Opaque = false;
    QSize Box;
    QPoint At;          // the baseline's start within the box
    size_t Ground = 0;  // a hash of the pixels drawn over
    bool operator==(const LabelKey&) const = default;
  };
  struct LabelKeyHash {
    size_t operator()(const LabelKey& key) const;
  };
  struct LabelPrint {
    std::vector<QRgb> Under;  // the box's pixels before, row by row
    std::vector<QRgb> Over;   // and after; both empty for a label drawn once so far
  };
  // A long block's strips take tens of kilobytes a print: the prints are bounded by their bytes,
  // about two kept images' worth.
  static constexpr size_t kMostLabelPrintBytes = 64 << 20;
  static constexpr size_t kLabelKeyBytes = 128;  // about what a key and its entry take
  std::unordered_map<LabelKey, LabelPrint, LabelKeyHash> labelPrints_;
  size_t labelPrintBytes_ = 0;
  int copiedLabels_ = 0;
  std::vector<QRgb> labelUnder_;  // the box being drawn over, kept to save an allocation a label

  Corvane3Data& store_;
  const DisplayPictures& pictures_;
  int zoom_ = 1;
  int cell_ = 16;
  bool classic_ = false;
  QRect update_;  // the rectangle being painted
  // Recoloured device pictures: the picture (by its image's cache key) and the colour of each key.
  struct TileKey {
    qint64 Picture = 0;
    std::array<QRgb, 6> Colours{};
    auto operator<=>(const TileKey&) const = default;
  };
  static constexpr size_t kMostRecolouredTiles = 4096;
  std::map<TileKey, QImage> recoloured_;
  TileKey lastTileKey_;
  const QImage* lastTile_ = nullptr;  // in recoloured_
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
