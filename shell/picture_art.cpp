#include "shell/picture_art.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

namespace {

// Colour-table order of every picture: the layout window's 16 colours.
constexpr QRgb kTableOrder[] = {kWhite, kBlack,     kBrightGreen, kRed,   kBlue, kCyan,  kMagenta, kYellow,
                                kGray,  kLightGray, kMaroon,      kGreen, kNavy, kOlive, kPurple,  kTeal};

// Converts a picture drawn in full colour (no smoothing, so only exact colours) to an
// indexed image whose table holds the colours used, in table order.
QImage ToIndexed(const QImage& drawn) {
  const QImage rgb = drawn.convertToFormat(QImage::Format_RGB32);
  std::vector<QRgb> used;
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = rgb.pixel(x, y) | 0xFF000000;
      if (std::find(used.begin(), used.end(), c) == used.end()) used.push_back(c);
    }
  }
  QList<QRgb> table;
  for (QRgb c : kTableOrder) {
    if (std::find(used.begin(), used.end(), c) != used.end()) table.push_back(c);
  }
  for (QRgb c : used) {
    if (!table.contains(c)) table.push_back(c);
  }
  QImage out(rgb.size(), QImage::Format_Indexed8);
  out.setColorTable(table);
  for (int y = 0; y < rgb.height(); ++y) {
    uchar* line = out.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) line[x] = static_cast<uchar>(table.indexOf(rgb.pixel(x, y) | 0xFF000000));
  }
  return out;
}

// A white picture to draw on, without smoothing.
class Canvas {
 public:
  Canvas(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(kWhite);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
  }
  QPainter& P() { return painter_; }
  void Fill(int x, int y, int w, int h, QRgb c) { painter_.fillRect(x, y, w, h, QColor::fromRgb(c)); }
  void Line(int x0, int y0, int x1, int y1, int width, QRgb c) {
    painter_.setPen(QPen(QColor::fromRgb(c), width, Qt::SolidLine, Qt::SquareCap));
    painter_.drawLine(x0, y0, x1, y1);
  }
  void Disc(int x, int y, int d, QRgb c) {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(QColor::fromRgb(c));
    painter_.drawEllipse(x, y, d, d);
  }
  void Box(int x, int y, int w, int h, QRgb fill, QRgb outline) {
    Fill(x, y, w, h, outline);
    if (w > 2 && h > 2) Fill(x + 1, y + 1, w - 2, h - 2, fill);
  }
  QImage Done() {
    painter_.end();
    return ToIndexed(image_);
  }

 private:
  QImage image_;
  QPainter painter_;
};

// Letters of the two lettered tiles, 3 x 5, one row per entry, leftmost pixel in bit 2.
constexpr int kGlyphH[5] = {5, 5, 7, 5, 5};
constexpr int kGlyphB[5] = {6, 5, 6, 5, 6};
constexpr int kGlyphD[5] = {6, 5, 5, 5, 6};
constexpr int kGlyphE[5] = {7, 4, 6, 4, 7};

void Letter(Canvas& c, const int (&rows)[5], int x, int y, int k) {
  for (int r = 0; r < 5; ++r)
    for (int b = 0; b < 3; ++b)
      if (rows[r] & (4 >> b)) c.Fill(x + b * k, y + r * k, k, k, kBlack);
}

QImage Tile(int tile, int level) {
  const int s = level == 0 ? 16 : 8;
  const int t = level == 0 ? 2 : 1;   // line width
  const int a = s / 2 - (t + 1) / 2;  // first row (column) of the track band
  const int m = s / 2;
  Canvas c(tile == 22 ? 3 * s : s, s);
  auto hline = [&](int x0, int x1, QRgb col = kBlack) { c.Fill(x0, a, x1 - x0, t, col); };
  auto vline = [&](int y0, int y1, QRgb col = kBlack) { c.Fill(a, y0, t, y1 - y0, col); };
  auto diag = [&](int x0, int y0, int x1, int y1, QRgb col = kBlack) { c.Line(x0, y0, x1, y1, t, col); };
  auto endBarV = [&](int x) { c.Fill(x, a - 2 * t, t, 5 * t, kBlack); };
  auto endBarH = [&](int y) { c.Fill(a - 2 * t, y, 5 * t, t, kBlack); };
  auto frame = [&] { c.Box(0, 0, s, s, kYellow, kBlue); };
  const int lo = s - 1;
  switch (tile) {
    case 0:
      hline(0, s);
      break;
    case 1:
      hline(0, s);
      endBarV(0);
      break;
    case 2:
      hline(0, s);
      endBarV(s - t);
      break;
    case 3:
      diag(0, lo, lo, 0);
      break;
    case 4:
      diag(0, 0, lo, lo);
      break;
    case 5:
      hline(0, s);
      diag(m, a, lo, 0);
      break;
    case 6:
      hline(0, s);
      diag(0, 0, m - 1, a);
      break;
    case 7:
      hline(0, s);
      diag(0, lo, m - 1, a + t - 1);
      break;
    case 8:
      hline(0, s);
      diag(m, a + t - 1, lo, lo);
      break;
    // Switches: the frame marks the cell, and the track runs across it to the cell's edges and
    // corner as on a plain cell, so that it meets its neighbours when Classic Display hides the frame.
    case 9:
      frame();
      hline(0, s);
      diag(m, a, lo, 0);
      break;
    case 10:
      frame();
      hline(0, s);
      diag(0, 0, m - 1, a);
      break;
    case 11:
      frame();
      hline(0, s);
      diag(m, a + t - 1, lo, lo);
      break;
    case 12:
      frame();
      hline(0, s);
      diag(0, lo, m - 1, a + t - 1);
      break;
    case 13:
      diag(0, lo, a, a + t - 1);
      vline(0, a + t);
      endBarH(0);
      break;
    case 14:
      vline(0, s);
      break;
    case 15:
      vline(a, s);
      diag(a + t - 1, a, lo, 0);
      endBarH(s - t);
      break;
    case 16:
      vline(0, s);
      diag(a + t - 1, a, lo, 0);
      break;
    case 17:
      vline(0, s);
      diag(0, 0, a, a);
      break;
    case 18:
      vline(m, s);
      c.Disc(m - s / 4, 1, s / 2, kRed);
      break;
    case 19:
      vline(0, m);
      c.Disc(m - s / 4, s - 1 - s / 2, s / 2, kRed);
      break;
    case 20:
      hline(m, s);
      c.Disc(1, m - s / 4, s / 2, kRed);
      break;
    case 21:
      hline(0, m);
      c.Disc(s - 1 - s / 2, m - s / 4, s / 2, kRed);
      break;
    case 22:
      c.Box(0, a - 2 * t, 3 * s, 5 * t, kLightGray, kBlack);
      break;
    case 23: {
      vline(0, s);
      const int r = s / 2 - t;
      c.P().setPen(QPen(QColor::fromRgb(kBlack), 1));
      c.P().setBrush(Qt::NoBrush);
      c.P().drawPolygon(QPolygon({QPoint(m, m - r), QPoint(m + r, m), QPoint(m, m + r), QPoint(m - r, m)}));
      break;
    }
    case 24:
    case 25: {
      const int k = level == 0 ? 2 : 1;
      const int y = (s - 5 * k) / 2;
      Letter(c, tile == 24 ? kGlyphH : kGlyphD, 1, y, k);
      Letter(c, tile == 24 ? kGlyphB : kGlyphE, 1 + 4 * k, y, k);
      break;
    }
    case 26:
      frame();
      hline(0, s);
      break;
    // Crossings: the first route's arm in light green, the second's in light red, and the
    // crossing point in black, so that painting can colour each by its route.
    case 27:
      diag(0, lo, lo, 0, kBrightGreen);
      diag(0, 0, lo, lo, kRed);
      c.Fill(a, a, t, t, kBlack);
      break;
    case 28:
      hline(0, s, kBrightGreen);
      diag(0, 0, lo, lo, kRed);
      c.Fill(a, a, t, t, kBlack);
      break;
    case 29:
      hline(0, s, kBrightGreen);
      diag(0, lo, lo, 0, kRed);
      c.Fill(a, a, t, t, kBlack);
      break;
    case 30:
      hline(0, s, kBrightGreen);
      vline(0, s, kRed);
      c.Fill(a, a, t, t, kBlack);
      break;
    default:
      return {};
  }
  return c.Done();
}

// A black triangle on white; shape 0 right, 1 left, 2 up, 3 down. Level 0 marks its tip red.
QImage Triangle(int shape, int level) {
  const int across = level == 0 ? 6 : 3;  // from base to tip
  const int span = level == 0 ? 16 : 8;   // along the base
  const bool vertical = shape >= 2;
  Canvas c(vertical ? span : across, vertical ? across : span);
  const double centre = (span - 1) / 2.0;
  for (int d = 0; d < across; ++d) {
    const double half = (span / 2 - 1) * double(across - d) / across;
    for (int i = 0; i < span; ++i) {
      if (std::abs(i - centre) > half) continue;
      const bool tip = d == across - 1;
      const QRgb col = tip && level == 0 ? kRed : kBlack;
      const int step = (shape == 0 || shape == 3) ? d : across - 1 - d;  // distance from the left or top
      if (vertical) {
        c.Fill(i, step, 1, 1, col);
      } else {
        c.Fill(step, i, 1, 1, col);
      }
    }
  }
  return c.Done();
}

// A light grey diamond with a black outline on white.
QImage FleetMarker(int level) {
  const int w = level == 0 ? 10 : 6;
  const int h = level == 0 ? 16 : 8;
  Canvas c(w, h);
  auto inside = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    return std::abs(x - (w - 1) / 2.0) / (w / 2.0) + std::abs(y - (h - 1) / 2.0) / (h / 2.0) <= 1.0;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      c.Fill(x, y, 1, 1, edge ? kBlack : kLightGray);
    }
  }
  return c.Done();
}

enum class Icon { Diesel, Caboose, StreamlinerEngine, StreamlinerCar, Steam };

void Trucks(Canvas& c, int x0, int x1) {
  c.Fill(1, 10, 30, 1, kBlack);
  for (int x : {x0, x1}) {
    c.Fill(x, 11, 7, 2, kBlack);
    c.Fill(x + 1, 13, 2, 1, kBlack);
    c.Fill(x + 4, 13, 2, 1, kBlack);
  }
}

// Every train picture faces left; the right-facing ones are mirrored.
QImage TrainIcon(Icon kind, QRgb body) {
  Canvas c(32, 14);
  switch (kind) {
    case Icon::Diesel:
      c.Box(3, 1, 8, 9, body, kBlack);    // cab
      c.Box(10, 3, 20, 7, body, kBlack);  // hood
      c.Fill(4, 3, 3, 2, kCyan);          // front window
      c.Fill(8, 3, 2, 2, kCyan);
      c.Fill(11, 6, 18, 1, body == kBlack ? kGray : kBlack);
      Trucks(c, 3, 21);
      break;
    case Icon::Caboose:
      c.Box(4, 4, 24, 6, body, kBlack);
      c.Box(12, 1, 8, 4, body, kBlack);  // cupola
      c.Fill(14, 2, 4, 1, kCyan);
      for (int x : {7, 23}) c.Fill(x, 5, 2, 2, kCyan);
      c.Fill(1, 5, 3, 1, kBlack);  // end railings
      c.Fill(28, 5, 3, 1, kBlack);
      Trucks(c, 5, 20);
      break;
    case Icon::StreamlinerEngine:
      c.P().setPen(QPen(QColor::fromRgb(kBlack), 1));
      c.P().setBrush(QColor::fromRgb(kLightGray));
      c.P().drawPolygon(QPolygon({QPoint(1, 9), QPoint(1, 6), QPoint(6, 2), QPoint(30, 2), QPoint(30, 9)}));
      c.Fill(4, 4, 4, 2, kNavy);  // windshield
      c.Fill(2, 7, 28, 1, kRed);
      c.Fill(2, 8, 28, 1, kBlue);
      Trucks(c, 3, 21);
      break;
    case Icon::StreamlinerCar:
      c.Box(1, 2, 30, 8, kLightGray, kBlack);
      for (int x = 3; x < 29; x += 5) c.Fill(x, 4, 3, 2, kNavy);
      c.Fill(2, 7, 28, 1, kRed);
      c.Fill(2, 8, 28, 1, kBlue);
      Trucks(c, 3, 21);
      break;
    case Icon::Steam:
      c.Fill(4, 4, 17, 5, kBlack);         // boiler
      c.Fill(6, 1, 3, 3, kBlack);          // smokestack
      c.Fill(13, 2, 3, 2, kBlack);         // dome
      c.Box(21, 1, 9, 9, kBlack, kBlack);  // cab
      c.Fill(23, 3, 4, 3, kCyan);
      c.Fill(1, 9, 3, 2, kRed);  // pilot
      c.Fill(3, 9, 28, 1, kBlack);
      for (int x : {7, 13, 19}) c.Disc(x, 9, 5, kMaroon);
      c.Disc(26, 10, 4, kMaroon);
      break;
  }
  return c.Done();
}

QImage TrainIconResource(int id) {
  struct Entry {
    int Id;
    Icon Kind;
    QRgb Body;
    bool FacesRight;
  };
  static const Entry kEntries[] = {
      {31, Icon::StreamlinerEngine, kLightGray, false},
      {32, Icon::StreamlinerEngine, kLightGray, true},
      {42, Icon::StreamlinerCar, kLightGray, false},
      {107, Icon::Diesel, kBlack, false},
      {102, Icon::Diesel, kBlack, true},
      {111, Icon::Caboose, kBlack, false},
      {127, Icon::Diesel, kBlue, false},
      {101, Icon::Diesel, kBlue, true},
      {87, Icon::Caboose, kBlue, false},
      {106, Icon::Diesel, kGreen, false},
      {100, Icon::Diesel, kGreen, true},
      {110, Icon::Caboose, kGreen, false},
      {105, Icon::Diesel, kRed, false},
      {99, Icon::Diesel, kRed, true},
      {43, Icon::Caboose, kRed, false},
      {130, Icon::Diesel, kYellow, false},
      {94, Icon::Diesel, kYellow, true},
      {126, Icon::Caboose, kYellow, false},
      {35, Icon::Steam, kBlack, false},
      {36, Icon::Steam, kBlack, true},
  };
  for (const Entry& e : kEntries) {
    if (e.Id != id) continue;
    QImage image = TrainIcon(e.Kind, e.Body);
    return e.FacesRight ? image.mirrored(true, false) : image;
  }
  return {};
}

}  // namespace

QImage ResourcePicture(int id) {
  for (int tile = 0; tile < kTiles; ++tile)
    for (int level = 0; level < 2; ++level)
      if (kTileResource[tile][level] == id) return Tile(tile, level);
  for (int shape = 0; shape < 4; ++shape)
    for (int level = 0; level < 2; ++level)
      if (kTriangleResource[shape][level] == id) return Triangle(shape, level);
  for (int level = 0; level < 2; ++level)
    if (kFleetMarkerResource[level] == id) return FleetMarker(level);
  return TrainIconResource(id);
}

int FindColour(const QImage& image, QRgb colour) {
  const QList<QRgb> table = image.colorTable();
  for (int i = 0; i < table.size(); ++i)
    if ((table[i] | 0xFF000000) == (colour | 0xFF000000)) return i;
  return -1;
}

void SetColour(QImage& image, int index, QRgb colour) {
  if (index >= 0 && index < image.colorCount()) image.setColor(index, colour | 0xFF000000);
}

}  // namespace art
