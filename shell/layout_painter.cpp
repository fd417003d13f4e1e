#include "shell/layout_painter.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/fonts.h"
#include "shell/display_pictures.h"
#include "shell/layout_view.h"
#include "shell/picture_art.h"
#include "store/corvane3_data.h"
#include "store/device_numbers.h"
#include "store/fixed_text.h"
#include "store/run_times.h"
#include "store/status_codes.h"
#include "store/track_codes.h"

using namespace art;

namespace {

constexpr int kKeys = 6;
enum Key { kKeyWhite, kKeyBlack, kKeyRed, kKeyYellow, kKeyBlue, kKeyGreen };
constexpr QRgb kKeyColours[kKeys] = {kWhite, kBlack, kRed, kYellow, kBlue, kBrightGreen};
constexpr int kNoStackMark = 4;
// The paint status of a cell whose colours no block, switch or signal status sets.
constexpr int kNoPaintStatus = 6;

int TrainCount(const BlockStatus& status) {
  // The slots are copied out: the packed record's array may lie at an odd address.
  uint16_t trains[sizeof status.Trains / sizeof(uint16_t)];
  std::memcpy(trains, status.Trains, sizeof trains);
  int count = 0;
  for (uint16_t slot : trains) count += slot != kEmptyTrainSlot;
  return count;
}

using occupancy::IsCleared;
using occupancy::IsOccupied;

// A font from a stored font description: its face, height, weight and italic.
QFont FontFrom(const FontBytes& bytes, int zoom) {
  QFont font = FaceFont(QString::fromStdString(FieldText(bytes.FaceName)));
  const int height = std::abs(static_cast<int>(bytes.Height));
  font.setPixelSize(std::max(1, (height == 0 ? 12 : height) / zoom));
  const int weight = bytes.Weight;
  font.setBold(weight >= 600);
  font.setItalic(bytes.Italic != 0);
  return font;
}

// A stored colour: red in the low byte, then green, then blue.
QRgb FromColorRef(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return qRgb(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// A label's stored text format word: centre 1, right 2, vertical centre 4, bottom 8 (both for a
// single line only), word break 0x10, single line 0x20, no clipping 0x100.
constexpr int kNoClip = 0x100;
int TextFlags(int format) {
  int flags = (format & 1) ? Qt::AlignHCenter : (format & 2) ? Qt::AlignRight : Qt::AlignLeft;
  if (format & 0x20) {
    flags |= Qt::TextSingleLine;
    flags |= (format & 4) ? Qt::AlignVCenter : (format & 8) ? Qt::AlignBottom : Qt::AlignTop;
  } else {
    flags |= Qt::AlignTop;
  }
  if (format & 0x10) flags |= Qt::TextWordWrap;
  return flags;
}

QFont CourierFont(int height) {
  QFont font = FaceFont("Courier New");
  font.setPixelSize(std::max(1, height));
  font.setWeight(QFont::Normal);
  return font;
}

// Rectangle from left, top, right, bottom with right and bottom exclusive.
QRect Box(int left, int top, int right, int bottom) { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }

QString TimeOfDay(int32_t seconds) {
  const int64_t t = ((static_cast<int64_t>(seconds) % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  return QString::asprintf("%02d:%02d", static_cast<int>(t / 3600), static_cast<int>(t / 60 % 60));
}

QString TrackName(const BlockData& data) {
  const std::string a = FieldText(data.TrackStation1, sizeof data.TrackStation1);
  const std::string b = FieldText(data.TrackStation2, sizeof data.TrackStation2);
  const std::string c = FieldText(data.TrackPart, sizeof data.TrackPart);
  if (a.empty() && b.empty() && c.empty()) return "None";
  auto part = [](const std::string& s) { return s.empty() ? QString("?") : QString::fromStdString(s); };
  return part(a) + part(b) + "-" + part(c);
}

}  // namespace

QFont LayoutLabelFont() {
  QFont font = FaceFont("Courier New");
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

QFont LabelFontForHeight(QFont font, int height) {
  // The stored label font is taller than the strips it is drawn in; letters cut at the bottom
  // read wrongly ("WEAF-1" as "WFAF-1").
  int size = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
  for (; size > 1; --size) {
    font.setPixelSize(size);
    const QFontMetrics metrics(font);
    if (metrics.capHeight() + metrics.descent() <= height) break;
  }
  return font;
}

QFont LabelFontForBox(QFont font, const QString& text, QSize box) {
  int size = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
  for (; size > 1; --size) {
    font.setPixelSize(size);
    const QRect ink = QFontMetrics(font).tightBoundingRect(text);
    if (ink.width() <= box.width() && ink.height() <= box.height()) break;
  }
  return font;
}

QRect CellLabelBox(const QRect& cell) { return cell.adjusted(1, 1, -1, -1); }

void LayoutPainter::Paint(QPainter& painter, const QRect& update, const LayoutPaintState& state) {
  zoom_ = store_.ZoomDivisor == 2 ? 2 : 1;
  cell_ = 16 / zoom_;
  const OptionData options = store_.GetOptionData();
  classic_ = options.ClassicDisplay != 0;
  update_ = update;
  PrepareLabelFaces(painter, state.LabelFont);
  direct_ = {};
  copiedLabels_ = 0;
  if (CopyPicturesIntoImage) {
    QPaintDevice* device = painter.device();
    const QTransform& transform = painter.deviceTransform();
    // Only where a copy gives exactly what drawImage draws: a plain image of the pictures' format
    // that nothing else shares, painted by the raster engine with no clip, source-over at full
    // opacity, moved by whole pixels at most.
    if (device != nullptr && device->devType() == QInternal::Image && painter.paintEngine() != nullptr &&
        painter.paintEngine()->type() == QPaintEngine::Raster && !painter.hasClipping() &&
        painter.compositionMode() == QPainter::CompositionMode_SourceOver && painter.opacity() == 1.0 &&
        transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx()) &&
        transform.dy() == std::floor(transform.dy())) {
      auto* image = static_cast<QImage*>(device);
      if (image->format() == QImage::Format_RGB32 && image->isDetached()) {
        direct_.Bits = image->bits();
        direct_.Stride = image->bytesPerLine();
        direct_.Bounds = image->rect();
        direct_.Offset = QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
      }
    }
  }

  const int c = cell_;
  const int left = std::max(0, update.left() / c * c - 4 * c);
  const int right = std::min(update.right() / c * c + c, state.ExtentX * 16 / zoom_);
  const int top = std::max(0, update.top() / c * c - c);
  const int bottom = std::min(update.bottom() / c * c + c, state.ExtentY * 16 / zoom_);

  if (!classic_) PaintPictures(painter, update, false);
  PaintTexts(painter, update, false);
  for (int row = top / c; row < bottom / c && row < 160; ++row) {
    for (int column = left / c; column < right / c && column < 200; ++column) PaintCell(painter, column, row, state);
  }
  PaintStackCounts(painter);
  PaintLocationNames(painter);
  if (zoom_ == 1) PaintBlockLabels(painter, state);
  if (state.HighlightedDevice != -1) DrawDeviceFrame(painter, state, kBlack);
  if (!classic_) PaintPictures(painter, update, true);
  PaintTexts(painter, update, true);
  PaintStations(painter, update);
}

void LayoutPainter::DrawPicture(QPainter& painter, const QRect& target, const QImage& picture) {
  if (direct_.Bits == nullptr || picture.format() != QImage::Format_RGB32 || picture.size() != target.size()) {
    painter.drawImage(target, picture);
    return;
  }
  const QRect placed = target.translated(direct_.Offset);
  const QRect to = placed.intersected(direct_.Bounds);
  if (to.isEmpty()) return;
  const size_t bytes = static_cast<size_t>(to.width()) * sizeof(QRgb);
  const qsizetype fromStride = picture.bytesPerLine();
  const uchar* from =
      picture.constBits() + (to.top() - placed.top()) * fromStride + (to.left() - placed.left()) * sizeof(QRgb);
  uchar* into = direct_.Bits + to.top() * direct_.Stride + to.left() * sizeof(QRgb);
  // A whole tile's rows are copied with a size the compiler knows: a call a row would cost more
  // than the copy.
  const auto rows = [&](auto size) {
    for (int y = 0; y < to.height(); ++y, from += fromStride, into += direct_.Stride) std::memcpy(into, from, size);
  };
  if (bytes == 16 * sizeof(QRgb))
    rows(std::integral_constant<size_t, 16 * sizeof(QRgb)>());
  else if (bytes == 8 * sizeof(QRgb))
    rows(std::integral_constant<size_t, 8 * sizeof(QRgb)>());
  else
    rows(bytes);
}

void LayoutPainter::PrepareLabelFaces(QPainter& painter, const QFont& labelFont) {
  const int dpi = painter.device() != nullptr ? painter.device()->logicalDpiY() : 0;
  if (idFace_.Metrics && labelFont == labelSource_ && dpi == labelDpi_) return;
  labelSource_ = labelFont;
  labelDpi_ = dpi;
  // Measured as the painter resolves the font for its device, as drawing it does.
  auto prepare = [&](LabelFace& face, int height) {
    painter.save();
    painter.setFont(LabelFontForHeight(labelFont, height));
    face.Font = painter.font();
    face.Metrics.emplace(painter.font());
    painter.restore();
    face.CapHeight = face.Metrics->capHeight();
    face.Descent = face.Metrics->descent();
    face.Widths.clear();
  };
  prepare(idFace_, kTrainIdHeight);
  prepare(stripFace_, kLabelStripHeight);
  labelPrints_.clear();
  labelPrintBytes_ = 0;
}

int LayoutPainter::LabelFace::Width(const QString& text) {
  auto found = Widths.constFind(text);
  if (found == Widths.constEnd()) {
    if (Widths.size() >= kMostWidths) Widths.clear();
    found = Widths.insert(text, Metrics->horizontalAdvance(text));
  }
  return *found;
}

size_t LayoutPainter::LabelKeyHash::operator()(const LabelKey& key) const {
  return qHashMulti(key.Ground, key.Text, quintptr(key.Face), key.Pen, key.Back, key.Opaque, key.Box.width(),
                    key.Box.height(), key.At.x(), key.At.y());
}

// A label in a box no taller than its font (see LabelFontForHeight): centred on its capitals and
// descenders rather than on the font's whole line, so that no letter is cut. Clipped to its box;
// an unclipped painter is left unclipped again without a save and restore of its whole state.
void LayoutPainter::DrawLabel(QPainter& painter, const QRect& r, const QString& text, LabelFace& face) {
  // A text wider than its box (a long name over a short block) is drawn smaller rather than cut.
  if (face.Width(text.trimmed()) > r.width() - 2) {
    painter.save();
    painter.setFont(face.Font);
    DrawFitted(painter, r, r.adjusted(1, 0, -1, 0), text);
    painter.restore();
    return;
  }
  const int ink = face.CapHeight + face.Descent;
  const int baseline = r.top() + (r.height() - ink) / 2 + face.CapHeight;
  const int x = r.left() + (r.width() - face.Width(text)) / 2;
  const auto draw = [&] {
    const bool clipped = painter.hasClipping();
    if (clipped) painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.drawText(QPoint(x, baseline), text);
    if (clipped)
      painter.restore();
    else
      painter.setClipping(false);
  };
  const QRect box = r.translated(direct_.Offset);
  if (direct_.Bits == nullptr || box.isEmpty() || !direct_.Bounds.contains(box)) {
    draw();
    return;
  }
  // The box's pixels, read out of or written into the image row by row.
  const size_t rowBytes = static_cast<size_t>(box.width()) * sizeof(QRgb);
  const auto row = [&](int y) { return direct_.Bits + (box.top() + y) * direct_.Stride + box.left() * sizeof(QRgb); };
  std::vector<QRgb>& under = labelUnder_;
  under.resize(static_cast<size_t>(box.width()) * box.height());
  for (int y = 0; y < box.height(); ++y) std::memcpy(under.data() + y * box.width(), row(y), rowBytes);
  const bool opaque = painter.backgroundMode() == Qt::OpaqueMode;
  LabelKey key{text,
               &face,
               painter.pen().color().rgba(),
               opaque ? painter.background().color().rgba() : 0,
               opaque,
               box.size(),
               QPoint(x - r.left(), baseline - r.top()),
               qHashBits(under.data(), under.size() * sizeof(QRgb))};
  const auto found = labelPrints_.find(key);
  if (found != labelPrints_.end() && !found->second.Over.empty() && found->second.Under == under) {
    const QRgb* over = found->second.Over.data();
    for (int y = 0; y < box.height(); ++y) std::memcpy(row(y), over + y * box.width(), rowBytes);
    ++copiedLabels_;
    return;
  }
  draw();
  // A label is printed to be kept the second time it is drawn over the same pixels: the first paint
  // of a layout keeps only the keys, so that it is not slowed by prints it may never use again.
  const bool second = found != labelPrints_.end() && found->second.Over.empty();
  const size_t bytes = kLabelKeyBytes + (second ? 2 * under.size() * sizeof(QRgb) : 0);
  if (labelPrintBytes_ + bytes > kMostLabelPrintBytes) {
    labelPrints_.clear();
    labelPrintBytes_ = 0;
  }
  const auto [print, added] = labelPrints_.try_emplace(std::move(key));
  if (!added) labelPrintBytes_ -= kLabelKeyBytes + 2 * print->second.Under.size() * sizeof(QRgb);
  print->second = LabelPrint{};
  if (second) {
    print->second.Under = under;
    print->second.Over.resize(under.size());
    for (int y = 0; y < box.height(); ++y) std::memcpy(print->second.Over.data() + y * box.width(), row(y), rowBytes);
  }
  labelPrintBytes_ += bytes;
}

bool LayoutPainter::TrainCoversCell(int block, int column, int row) const {
  const BlockStatus& status = store_.BlockStatusRef(block);
  if (status.Occupancy == occupancy::kOccupiedRight) {
    if (status.Trains[0] == kEmptyTrainSlot) return false;
    return row == status.RightLabelY && (column == status.RightLabelX || column == status.RightLabelX - 1);
  }
  if (status.Occupancy == occupancy::kOccupiedLeft) {
    return row == status.LeftLabelY && (column == status.LeftLabelX || column == status.LeftLabelX + 1) &&
           TrainCount(status) > 0;
  }
  return false;
}

void LayoutPainter::PaintCell(QPainter& painter, int column, int row, const LayoutPaintState&) {
  const int code = store_.GetGridTrack(column, row);
  if (code <= track::kEmpty || code > track::kLastTile) return;
  const int device = store_.GetGridDevice(column, row);
  int tile = track::IsCrossing(code) ? code : code - 1;
  int typeCode = code;

  QRgb map[kKeys];
  std::copy(std::begin(kKeyColours), std::end(kKeyColours), map);
  const QRgb track = classic_ ? kWhite : kBlack;
  if (classic_) {
    map[kKeyWhite] = kBlack;
    map[kKeyBlack] = kWhite;
    map[kKeyYellow] = kBlack;
    map[kKeyBlue] = kBlack;
  }

  int s = kNoPaintStatus;
  bool marked = false;
  uint8_t direction = kNoStackMark;
  bool permitActive = false, permitPending = false, signalFailed = false;
  int fleet = 0;
  // In CTC control mode a cleared device waiting for the field's indication keeps its track colour on
  // odd blink phases, so a requested route blinks.
  const bool blinkOff = store_.GetOptionData().CTCControlOn == 1 && (store_.Run.BlinkCounter & 1) == 1;
  bool requestPending = false;
  if (device::IsBlock(device)) {
    s = store_.GetDevicePaintStatus(device);
    const BlockStatus& b = store_.BlockStatusRef(device);
    permitActive = b.PermitActive != 0;
    permitPending = b.PermitPending != 0;
    direction = b.StackMark;
    requestPending = b.RequestPending != 0;
  } else if (device::IsSwitch(device)) {
    const SwitchStatus sw = store_.GetSwitchStatus(device::SwitchIndex(device));
    s = store_.GetDevicePaintStatus(device);
    permitActive = sw.PermitActive != 0;
    permitPending = sw.PermitPending != 0;
    direction = sw.StackMark;
    requestPending = sw.RequestPending != 0;
    // A switch lying normal shows the straight piece; it keeps its own device type so that a
    // route through it is still coloured.
    if (sw.Position == 0 && store_.GetDeviceType(code) == 1) tile = kNormalSwitchTile;
    if (sw.FailureCount != -1 && !classic_) {
      map[kKeyYellow] = kCyan;
      marked = true;
    }
  } else if (device::IsSignal(device)) {
    const SignalStatus sg = store_.GetSignalStatus(device::SignalIndex(device));
    s = sg.Aspect;
    fleet = sg.Fleet;
    signalFailed = sg.FailureCount != 0xFF;
    requestPending = sg.RequestPending != 0;
  } else if (device::IsDiamond(device)) {
    s = kNoPaintStatus;
    marked = true;
    const CrossStatus cr = store_.GetCrossStatus(device::DiamondIndex(device));
    int route[2] = {cr.Occupancy[0], cr.Occupancy[1]};
    for (int r = 0; r < 2; ++r)
      if (blinkOff && cr.SidePending[r] != 0 && IsCleared(route[r])) route[r] = 0;
    auto arm = [&](int r) {
      if (IsOccupied(route[r])) return kRed;
      if (IsCleared(route[r])) return kBrightGreen;
      QRgb colour = track;
      if (route[r] == 0) {
        if (cr.Route[r].StackMark != kNoStackMark && cr.Route[r].StackMark != 0) colour = kYellow;
        if (cr.Route[r].PermitPending != 0) colour = kCyan;
        if (cr.Route[r].PermitActive != 0) colour = kBlue;
      }
      return colour;
    };
    map[kKeyGreen] = arm(0);
    map[kKeyRed] = arm(1);
    if (IsOccupied(route[0]) || IsOccupied(route[1]))
      map[kKeyBlack] = kRed;
    else if (IsCleared(route[0]) || IsCleared(route[1]))
      map[kKeyBlack] = kBrightGreen;
    else
      map[kKeyBlack] = map[kKeyGreen] != track ? map[kKeyGreen] : map[kKeyRed];
  }

  const int type = store_.GetDeviceType(typeCode);
  const bool shownCleared = IsCleared(s) && !(blinkOff && requestPending);
  if (s != kNoPaintStatus && (type == 0 || type == 1)) {
    if (IsCleared(s)) {
      if (shownCleared) map[kKeyBlack] = kBrightGreen;
    } else if (IsOccupied(s)) {
      map[kKeyBlack] = kRed;
    } else if (s == 0) {
      if (direction != kNoStackMark) map[kKeyBlack] = kYellow, marked = true;
      if (permitPending) map[kKeyBlack] = kCyan, marked = true;
      if (permitActive) map[kKeyBlack] = kBlue, marked = true;
    }
  } else if (s != kNoPaintStatus && type == 2) {
    if (IsCleared(s)) {
      if (shownCleared) map[kKeyRed] = kBrightGreen;
    } else if (s == aspect::kStop && signalFailed) {
      map[kKeyRed] = kBlue;
      marked = true;
    }
  }

  const int level = zoom_ - 1;
  const QImage& dib = pictures_.TrackTileDib[level][tile];
  const QImage* picture = &pictures_.TrackTileBitmap[level][tile];
  if (!dib.isNull() && (marked || (s != 0 && s != aspect::kStop && s != kNoPaintStatus))) {
    // Recoloured once per picture and colour map, and kept: a reloaded picture has a new cache key.
    TileKey key{dib.cacheKey(), {}};
    std::copy(std::begin(map), std::end(map), key.Colours.begin());
    // Cells in a run mostly share their tile: the last one found is tried first.
    if (lastTile_ == nullptr || !(key == lastTileKey_)) {
      auto found = recoloured_.find(key);
      if (found == recoloured_.end()) {
        if (recoloured_.size() >= kMostRecolouredTiles) recoloured_.clear();
        QImage image = dib;
        // Every key is found before any is changed: a changed entry may take another key's colour.
        int index[kKeys];
        for (int k = 0; k < kKeys; ++k) index[k] = FindColour(image, kKeyColours[k]);
        for (int k = 0; k < kKeys; ++k) SetColour(image, index[k], map[k]);
        found = recoloured_.emplace(key, ToBitmap(image)).first;
      }
      lastTileKey_ = key;
      lastTile_ = &found->second;
    }
    picture = lastTile_;
  }

  const bool painted = !device::IsDevice(device) || store_.GetNoPaintStatus(device) == 0;
  // A train is drawn from its block's end cell whatever piece that cell shows: a block often ends on the
  // piece a switch's diagonal joins.
  const bool blockCell = device::IsBlock(device);
  const bool covered = blockCell && TrainCoversCell(device, column, row) && !classic_;
  const int x = column * cell_, y = row * cell_;
  if (painted && !picture->isNull()) {
    if (track::IsMainSignal(code) || code == track::kPlatform) {
      DrawPicture(painter, QRect(x, y, (code == track::kPlatform ? 48 : 16) / zoom_, 16 / zoom_), *picture);
    } else if (!covered) {
      DrawPicture(painter, QRect(x, y, cell_, cell_), *picture);
    }
  }

  const int style = classic_ ? 1 : 0;
  const uint8_t flag = store_.GetGridFlag(column, row);
  if (painted && flag != 0 && (s != 0 || direction != kNoStackMark) && s != kNoPaintStatus) {
    if (track::IsStraight(code) && !covered) {
      int shape = -1, state = 2;
      if (s == occupancy::kOccupiedRight)
        shape = 0, state = 1;
      else if (s == occupancy::kOccupiedLeft)
        shape = 1, state = 1;
      else if (s == occupancy::kClearedRight || s == occupancy::kRunningTimeRight)
        shape = 0;
      else if (s == occupancy::kClearedLeft || s == occupancy::kRunningTimeLeft)
        shape = 1;
      else if (s == 0)
        shape = direction == 1 ? 0 : 1;
      if (shape >= 0) {
        const QImage& arrow = pictures_.ArrowBitmap[DisplayPictures::ArrowIndex(shape, style, level, state)];
        const int ax = flag == 1 ? x + 5 / zoom_ : x - 3 / zoom_;
        if (!arrow.isNull()) DrawPicture(painter, QRect(ax, y, 6 / zoom_, 16 / zoom_), arrow);
      }
    } else if (code == track::kVertical) {
      int shape = 2, state = 2;
      if (s == occupancy::kOccupiedRight)
        shape = 3, state = 1;
      else if (s == occupancy::kOccupiedLeft)
        shape = 2, state = 1;
      else if (s == occupancy::kClearedRight || s == occupancy::kRunningTimeRight)
        shape = 3;
      const QImage& arrow = pictures_.ArrowBitmap[DisplayPictures::ArrowIndex(shape, style, level, state)];
      const int ay = flag == 3 ? y + 5 / zoom_ : y - 3 / zoom_;
      if (!arrow.isNull()) DrawPicture(painter, QRect(x, ay, 16 / zoom_, 6 / zoom_), arrow);
    }
  }

  if (painted && track::IsMainSignal(code) && fleet == 1) {
    const QImage& marker = pictures_.FleetMarkerBitmap[DisplayPictures::FleetIndex(style, level)];
    const int fx = code == track::kSignalRight ? x + 16 / zoom_ : x - 10 / zoom_;
    if (!marker.isNull()) DrawPicture(painter, QRect(fx, y, 10 / zoom_, 16 / zoom_), marker);
  }

  if (blockCell) PaintTrain(painter, device, column, row);
}

void LayoutPainter::PaintTrain(QPainter& painter, int block, int column, int row) {
  const BlockStatus& status = store_.BlockStatusRef(block);
  const int occupancy = status.Occupancy;
  int slot = -1;
  if (occupancy == occupancy::kOccupiedRight) {
    if (column != status.RightLabelX || row != status.RightLabelY) return;
    if (status.Trains[0] != kEmptyTrainSlot) slot = status.Trains[0];
  } else if (occupancy == occupancy::kOccupiedLeft) {
    if (column != status.LeftLabelX || row != status.LeftLabelY) return;
    for (int k = kBlockTrainSlots - 1; k >= 0 && slot < 0; --k)
      if (status.Trains[k] != kEmptyTrainSlot) slot = status.Trains[k];
  }
  if (slot < 0 || slot >= kMaxTrainStatus) return;
  const TrainStatus& train = store_.TrainStatusRef(slot);
  if (train.HeadBlock != block && train.RearBlock != block) return;

  const int c = cell_;
  const int x = occupancy == occupancy::kOccupiedRight ? status.RightLabelX * c - c : status.LeftLabelX * c;
  const int y = (occupancy == occupancy::kOccupiedRight ? status.RightLabelY : status.LeftLabelY) * c;
  if (!classic_) {
    const bool reversed = train.Reversing != 0;
    const bool engine =
        (train.HeadBlock == block && !reversed) || (train.RearBlock == block && train.HeadBlock != block && reversed);
    int which = 2;
    if (engine) which = (occupancy == occupancy::kOccupiedRight) != reversed ? 1 : 0;
    const int type = train.Type < kMaxTrainTypes ? train.Type : 0;
    const int icon = store_.TrainTypeIcons[type][which];
    if (icon >= 0 && icon < kTrainIconBitmaps && !pictures_.TrainIconBitmap[icon].isNull())
      DrawPicture(painter, QRect(x, y, 32 / zoom_, 16 / zoom_), pictures_.TrainIconBitmap[icon]);
  }
  if (zoom_ != 1) return;

  painter.save();
  painter.setFont(idFace_.Font);
  auto drawId = [&](const TrainStatus& t, QRect r) {
    const std::string id = FieldText(t.TrainId, sizeof t.TrainId).substr(0, 7);
    const int length = static_cast<int>(id.size());
    r.setWidth(6 * length + 6 - 1);
    // A standing train's ID is red, a moving one's blue.
    painter.setPen(QColor::fromRgb(t.Speed == 0 ? kRed : kBlue));
    if (classic_) painter.fillRect(r, QColor::fromRgb(kWhite));
    DrawLabel(painter, r, QString::fromStdString(" " + id + " "), idFace_);
  };
  const std::string id = FieldText(train.TrainId, sizeof train.TrainId);
  const int length = std::min<int>(7, static_cast<int>(id.size()));
  QRect r = Box(x + 1, y - 9, x + 6 * length + 6, y);
  if (occupancy == occupancy::kOccupiedRight && length > 4) r.translate(-6 * (length - 4), 0);
  drawId(train, r);
  if (TrainCount(status) > 1) {
    r.translate(0, 24);
    bool skipped = false;
    auto next = [&](int other) {
      if (other < 0 || other >= kMaxTrainStatus) return;
      drawId(store_.GetTrainStatus(other), r);
      r.translate(0, 10);
    };
    if (occupancy == occupancy::kOccupiedRight) {
      for (int k = 1; k < kBlockTrainSlots && status.Trains[k] != kEmptyTrainSlot; ++k) next(status.Trains[k]);
    } else {
      for (int k = kBlockTrainSlots - 1; k >= 0; --k) {
        if (status.Trains[k] == kEmptyTrainSlot) continue;
        if (!skipped) {
          skipped = true;
          continue;
        }
        next(status.Trains[k]);
      }
    }
  }
  painter.restore();
}

void LayoutPainter::PaintPictures(QPainter& painter, const QRect& update, bool secondPass) {
  for (int i = 0; i < kMaxBitmapInserts; ++i) {
    const BitmapInsert insert = store_.GetBitmapInsert(i);
    const std::string name = FieldText(insert.Name);
    const int layer = insert.Layer;
    // Layer 1 lies under the track, 0 over it, any other layer in both passes.
    if (name.empty() || (secondPass ? layer == 1 : layer == 0)) continue;
    const QRect r(insert.Left / zoom_, insert.Top / zoom_, insert.Width / zoom_, insert.Height / zoom_);
    if (r.width() <= 0 || r.height() <= 0 || !r.intersects(update)) continue;
    for (int m = 0; m < kMaxMaintBitmaps; ++m) {
      const BitmapMaint maint = store_.GetBitmapMaint(m);
      if (FieldText(maint.Name) != name) continue;
      // The first maintained bitmap of that name; one whose image is missing draws nothing.
      const int32_t size = store_.MaintImageSizes[m];
      if (store_.MaintBitmapUsable[m] != 0 && size > 0 && size <= kMaintImageBytes) {
        const QImage image = QImage::fromData(store_.MaintImage(m), size, "BMP");
        if (!image.isNull()) painter.drawImage(r, image);
      }
      break;
    }
  }
}

void LayoutPainter::PaintTexts(QPainter& painter, const QRect& update, bool secondPass) {
  for (int i = 0; i < kMaxTexts; ++i) {
    const TextData text = store_.GetTextData(i);
    const std::string words = FieldText(text.Text, sizeof text.Text);
    const int layer = text.Words100[6];
    // Layer 1 lies under the track, 0 over it, any other layer in both passes.
    if (words.empty() || (secondPass ? layer == 1 : layer == 0)) continue;
    const QRect r(text.Words100[0] / zoom_, text.Words100[1] / zoom_, std::max(1, text.Words100[2] / zoom_),
                  std::max(1, text.Words100[3] / zoom_));
    if (!r.intersects(update)) continue;
    QRgb colour = FromColorRef(text.Longs186[1]);
    if (classic_ && colour == kBlack) colour = kWhite;
    painter.save();
    painter.setFont(FontFrom(text.Font, zoom_));
    painter.setPen(QColor::fromRgb(colour));
    const int format = text.Words100[4];
    if ((format & kNoClip) == 0) painter.setClipRect(r, Qt::IntersectClip);
    painter.drawText(r, TextFlags(format), QString::fromStdString(words));
    // The frame lies inside the text's own rectangle; the caller's clip stays in force.
    if (text.Words100[5] == 1) {
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter.restore();
  }
}

void LayoutPainter::DrawFitted(QPainter& painter, const QRect& box, const QRect& ink, const QString& text) {
  const QFont base = painter.font();
  const QString key = QString::number(base.pixelSize()) + ' ' + QString::number(ink.width()) + 'x' +
                      QString::number(ink.height()) + ' ' + base.family() + '\n' + text;
  auto found = fitted_.constFind(key);
  if (found == fitted_.constEnd()) {
    if (fitted_.size() >= kMostFitted) fitted_.clear();
    Fitted made;
    made.Font = LabelFontForBox(base, text, ink.size());
    made.Ink = QFontMetrics(made.Font).tightBoundingRect(text);
    found = fitted_.insert(key, made);
  }
  // Centred on the ink itself, not on the font's line, so that short boxes lose no letter.
  const QRect& drawn = found->Ink;
  const QPoint at(ink.left() + (ink.width() - drawn.width()) / 2 - drawn.left(),
                  ink.top() + (ink.height() - drawn.height()) / 2 - drawn.top());
  // Ink that lies inside the box with a pixel to spare (for glyphs drawn at another resolution, as on
  // paper) loses nothing to the clip: it is drawn without one, since a clip saved and restored for every
  // label costs a printer's page description a new graphics state each time.
  if (box.contains(drawn.translated(at).adjusted(-1, -1, 1, 1))) {
    const bool refont = !(found->Font == base);
    if (refont) painter.setFont(found->Font);
    painter.drawText(at, text);
    if (refont) painter.setFont(base);
    return;
  }
  painter.save();
  painter.setFont(found->Font);
  painter.setClipRect(box, Qt::IntersectClip);
  painter.drawText(at, text);
  painter.restore();
}

void LayoutPainter::PaintStackCounts(QPainter& painter) {
  painter.save();
  painter.setFont(CourierFont(16 / zoom_));
  painter.setPen(QColor::fromRgb(classic_ ? kWhite : kBlue));
  const int signalCount = std::clamp(store_.GetCountData().Words[kCountSignals], 0, kMaxSignals);
  for (int i = 0; i < signalCount; ++i) {
    const SignalData signal = store_.GetSignalData(i);
    if (signal.InUse == 0) continue;
    int count = 0;
    for (int k = 0; k < kMaxStack; ++k) {
      const StackData stack = store_.GetStackData(k);
      if (stack.InUse == 0) break;
      if (stack.EntranceSignal == i) ++count;
    }
    if (count == 0) continue;
    const int column = track::SignalDirection(signal.TrackCode) == 1 ? signal.CellX - 1 : signal.CellX + 1;
    const QRect cell(column * cell_, signal.CellY * cell_, cell_, cell_);
    DrawFitted(painter, cell, CellLabelBox(cell), QString::number(count));
  }
  painter.restore();
}

void LayoutPainter::PaintLocationNames(QPainter& painter) {
  painter.save();
  painter.setFont(CourierFont(16 / zoom_));
  painter.setPen(QColor::fromRgb(classic_ ? kWhite : kBlue));
  for (int i = 0; i < kMaxLocations; ++i) {
    const OrgData org = store_.GetOrgData(i);
    if (org.InUse != 1 || org.Block < 0 || org.Block >= kMaxBlocks) continue;
    const BlockStatus block = store_.GetBlockStatus(org.Block);
    if (block.LeftLabelX < 0 || block.LeftLabelX >= 200 || block.LeftLabelY < 0 || block.LeftLabelY >= 160) continue;
    if (store_.GetGridTrack(block.LeftLabelX, block.LeftLabelY) >= track::kNoPictureFlag) continue;
    std::string name = FieldText(org.Name, sizeof org.Name);
    if (name.size() > 1 && name[1] == ' ') name.resize(1);
    const int shift = org.Side != 0 ? 1 : 0;
    const QRect cell(org.CellX * cell_ + shift, org.CellY * cell_, cell_, cell_);
    DrawFitted(painter, cell, CellLabelBox(cell), QString::fromStdString(name));
  }
  painter.restore();
}

void LayoutPainter::PaintBlockLabels(QPainter& painter, const LayoutPaintState& state) {
  painter.save();
  painter.setFont(stripFace_.Font);
  const int blocks = std::clamp(store_.GetCountData().Words[kCountBlocks], 0, kMaxBlocks);
  const QRgb background = classic_ ? kBlack : kWhite;
  for (int i = 0; i < blocks; ++i) {
    const BlockStatus& status = store_.BlockStatusRef(i);
    if (status.InUse == 0 || status.Occupancy != occupancy::kFree) continue;
    // A block that runs down its column has no room beside its track: a strip across it would write
    // over the track itself.
    if (status.LeftLabelX == status.RightLabelX && status.LeftLabelY != status.RightLabelY) continue;
    // Two strips a run: above the track, then below it.
    const std::vector<layout::Rect> strips =
        layout::BlockLabelStripPixels(status.LeftLabelX, status.LeftLabelY, status.LabelFirstRight,
                                      status.LabelSecondLeft, status.RightLabelX, status.RightLabelY);
    auto strip = [&](size_t k) { return Box(strips[k].Left, strips[k].Top, strips[k].Right, strips[k].Bottom); };
    const bool twoRuns = strips.size() == 4;
    // Only the labels that meet the rectangle painted: each is clipped to its strips.
    QRect area;
    for (size_t k = 0; k < strips.size(); ++k) area |= strip(k);
    if (!area.intersects(update_)) continue;
    auto both = [&](const QString& up, const QString& low, const QString& secondLow, bool second) {
      DrawLabel(painter, strip(0), up, stripFace_);
      if (!low.isNull()) DrawLabel(painter, strip(1), low, stripFace_);
      if (second && twoRuns) {
        DrawLabel(painter, strip(2), up, stripFace_);
        if (!secondLow.isNull()) DrawLabel(painter, strip(3), secondLow, stripFace_);
      }
    };
    const BlockLabelTexts texts = BlockLabelsOf(store_, i, state);
    if (texts.Upper.isNull()) continue;
    if (texts.Permit) {
      painter.setPen(QColor::fromRgb(classic_ ? kWhite : kRed));
      painter.setBackground(QColor::fromRgb(background));
      painter.setBackgroundMode(Qt::OpaqueMode);
    } else {
      painter.setPen(QColor::fromRgb(classic_ ? kWhite : kBlue));
    }
    both(texts.Upper, texts.Lower, texts.SecondLower, texts.SecondBand);
    painter.setBackgroundMode(Qt::TransparentMode);
  }
  painter.restore();
}

BlockLabelTexts BlockLabelsOf(Corvane3Data& store, int block, const LayoutPaintState& state) {
  BlockLabelTexts texts;
  const BlockStatus& status = store.BlockStatusRef(block);
  const BlockData& data = store.BlockDataRef(block);
  // The no-label mark of a block is its connecting-line flag.
  if (status.InUse == 0 || status.Occupancy != occupancy::kFree || data.InUse == 0 || data.PassThrough == 1)
    return texts;
  if (status.PermitActive != 0 || status.PermitPending != 0) {
    texts.Permit = true;
    texts.Upper = TimeOfDay(status.PermitActive != 0 ? status.PermitActiveUntil : status.PermitPendingFrom);
    texts.Lower = "      ";
    texts.SecondLower = "       ";
    return texts;
  }
  if (state.ShowBlockName) {
    texts.Upper = TrackName(data);
  } else if (state.ShowBlockLengths) {
    texts.Upper = QString::number(data.Length);
    texts.Lower = texts.SecondLower = QString::asprintf("%d.%0d", data.Length / 5280, data.Length % 5280 / 528);
  } else if (state.ShowSignalDirection) {
    texts.Upper = data.SignalledLeft && data.SignalledRight ? "<-CS->" : data.SignalledLeft ? "<-CS" : "CS->";
  } else if (state.ShowBlockSpeeds) {
    int high[2] = {0, 0}, low[2] = {10000, 10000};
    for (int t = 0; t < kMaxTrainTypes; ++t) {
      if (store.GetTrainType(t).InUse == 0) continue;
      for (int d = 0; d < 2; ++d) {
        const int v = data.TypeSpeed[d][t];
        high[d] = std::max(high[d], v);
        low[d] = std::min(low[d], v);
      }
    }
    texts.Upper = QString::asprintf("L %d-%d", high[0], low[0]);
    texts.Lower = QString::asprintf("R %d-%d", high[1], low[1]);
    texts.SecondBand = false;
  }
  return texts;
}

void LayoutPainter::PaintStations(QPainter& painter, const QRect& update) {
  for (int i = 0; i < kMaxStations; ++i) {
    const StationData station = store_.GetStationData(i);
    if (station.InUse == 0) continue;
    const QRect r(station.Words26[0] / zoom_, station.Words26[1] / zoom_, std::max(1, station.Words26[2] / zoom_),
                  std::max(1, station.Words26[3] / zoom_));
    if (!r.intersects(update)) continue;
    const QString text = QString::fromStdString(FieldText(station.ShortCode, sizeof station.ShortCode)) + "\n" +
                         QString::fromStdString(FieldText(station.Name, sizeof station.Name));
    painter.save();
    painter.setFont(FontFrom(station.Font, zoom_));
    painter.setPen(QColor::fromRgb(classic_ ? kWhite : FromColorRef(station.Longs106[1])));
    painter.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
  }
}

void LayoutPainter::DrawDeviceFrame(QPainter& painter, const LayoutPaintState& state, QRgb colour) {
  constexpr int kSignalBeside = device::kSignalBesideOffset + device::kSignalBase;
  const int device = state.HighlightedDevice;
  int column = state.HighlightColumn;
  const int row = state.HighlightRow;
  if (classic_) colour = colour == kBlack ? kWhite : kBlack;
  int left, top, right, bottom;
  if (device::IsSwitch(device)) {
    left = column * 16 - 2, top = row * 16 - 2, right = column * 16 + 18, bottom = row * 16 + 18;
  } else if ((device::IsSignal(device)) || (device >= kSignalBeside && device < kSignalBeside + kMaxSignals)) {
    const int signal = device >= kSignalBeside ? device - kSignalBeside : device::SignalIndex(device);
    if (device >= kSignalBeside) --column;
    if (signal >= kMaxSignals) return;
    const int kind = store_.GetSignalData(signal).TrackCode;
    if (track::IsMainSignal(kind))
      left = column * 16 - 2, top = row * 16 - 2, right = column * 16 + 18, bottom = row * 16 + 16;
    else
      left = column * 16, top = row * 16 - 2, right = column * 16 + 18, bottom = row * 16 + 18;
  } else {
    return;
  }
  const int z = store_.ZoomDivisor == 2 ? 2 : 1;
  const QRect r = Box(left / z, top / z, right / z, bottom / z);
  painter.save();
  painter.setPen(QPen(QColor::fromRgb(colour), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  painter.drawRect(r.adjusted(-1, -1, 0, 0));
  painter.restore();
}
