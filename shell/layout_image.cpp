#include "shell/layout_image.h"

#include <sys/mman.h>

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "shell/layout_view.h"

namespace {

// What a cell's paint may reach beyond the cell (a train's icon and IDs, a wide signal, the arrows,
// a frame): the painter is asked for this much more around a rectangle and clipped to the rectangle,
// so that the pixels are those of a paint of the whole layout.
constexpr int kReach = 64;
// Above this many rectangles, one clipped pass over their bounds is quicker than a pass for each.
constexpr int kMostPasses = 24;

}  // namespace

// Pixels whose start lies half a page past a page boundary. A row copied to a destination less than
// 32 bytes ahead of its source, counted modulo the 4 KiB page, copies at a quarter of the speed (the
// loads wait on stores they only seem to overlap); large images from malloc start a few bytes past a
// page, so a window as wide as the layout, its rows at the same offsets as these, would be shown at
// that speed whenever the two happened to line up.
// The block is taken in 2 MiB pages where the system allows it, and touched when it is made: the first
// touch of 32 MiB in 4 KiB pages costs some 20 ms of page faults, which would otherwise fall on the
// first paint; in large pages it costs a few, and every later fill and paint misses the TLB less.
struct LayoutImage::Pixels {
  static constexpr size_t kPage = 4096;
  static constexpr size_t kLargePage = size_t{2} << 20;
  static size_t BlockBytes(size_t bytes) { return (bytes + kPage + kLargePage - 1) / kLargePage * kLargePage; }
  explicit Pixels(size_t bytes) : Bytes(bytes), Block(std::aligned_alloc(kLargePage, BlockBytes(bytes))) {
    if (Block == nullptr) return;
#ifdef MADV_HUGEPAGE
    madvise(Block, BlockBytes(bytes), MADV_HUGEPAGE);
#endif
    std::memset(Block, 0, BlockBytes(bytes));
  }
  ~Pixels() { std::free(Block); }
  Pixels(const Pixels&) = delete;
  Pixels& operator=(const Pixels&) = delete;
  uchar* Data() const { return static_cast<uchar*>(Block) + kPage / 2; }
  size_t Bytes;
  void* Block;
};

namespace {

// The largest image kept: the whole grid at full size.
constexpr size_t kLargestBytes =
    size_t{layout::kColumns} * layout::kCellPixels * layout::kRows * layout::kCellPixels * sizeof(QRgb);

}  // namespace

// The pixels are taken at the largest size when the window is made, so that neither the first paint
// after a territory is loaded nor a zoom in needs new ones.
LayoutImage::LayoutImage(LayoutPainter& painter)
    : painter_(painter), pixels_(std::make_shared<Pixels>(kLargestBytes)) {}

QImage LayoutImage::BlankImage(const QSize& size) {
  const qsizetype stride = size.width() * static_cast<qsizetype>(sizeof(QRgb));
  const size_t bytes = static_cast<size_t>(stride) * size.height();
  // The pixels are kept for the next size, unless an image besides the kept one still shows them (a
  // copy taken of it; the kept image itself moves to pixels of its own when painted while such a copy
  // is held).
  const long holders = pixels_ ? pixels_.use_count() - 1 - (image_.constBits() == pixels_->Data() ? 1 : 0) : 0;
  if (!pixels_ || pixels_->Bytes < bytes || holders != 0) {
    image_ = QImage();
    pixels_ = std::make_shared<Pixels>(std::max(bytes, kLargestBytes));
  }
  if (pixels_->Block == nullptr) return QImage(size, QImage::Format_RGB32);
  return QImage(
      pixels_->Data(), size.width(), size.height(), stride, QImage::Format_RGB32,
      [](void* info) { delete static_cast<std::shared_ptr<Pixels>*>(info); }, new std::shared_ptr<Pixels>(pixels_));
}

void LayoutImage::Invalidate(const QRect& rect) {
  if (whole_ || rect.isEmpty()) return;
  dirty_ += rect.intersected(image_.rect());
}

bool LayoutImage::SameLook(const LayoutPaintState& state, QRgb background, int zoom) const {
  return zoom == zoom_ && background == background_ && state.ExtentX == look_.ExtentX &&
         state.ExtentY == look_.ExtentY && state.ShowBlockName == look_.ShowBlockName &&
         state.ShowBlockLengths == look_.ShowBlockLengths && state.ShowSignalDirection == look_.ShowSignalDirection &&
         state.ShowBlockSpeeds == look_.ShowBlockSpeeds && state.LabelFont == look_.LabelFont;
}

const QImage& LayoutImage::Update(const LayoutPaintState& state, QRgb background, int zoom) {
  zoom = zoom == 2 ? 2 : 1;
  if (!SameLook(state, background, zoom)) whole_ = true;
  if (whole_) {
    const QSize size(layout::kColumns * layout::kCellPixels / zoom, layout::kRows * layout::kCellPixels / zoom);
    if (image_.size() != size) image_ = BlankImage(size);
    zoom_ = zoom;
    background_ = background;
    look_ = state;
    whole_ = false;
    dirty_ = QRegion();
    QPainter p(&image_);
    p.fillRect(image_.rect(), QColor::fromRgb(background_));
    painter_.Paint(p, image_.rect(), state);
  } else if (!dirty_.isEmpty()) {
    const QRegion region = dirty_;
    dirty_ = QRegion();
    Repaint(region, state);
  }
  return image_;
}

void LayoutImage::Repaint(const QRegion& region, const LayoutPaintState& state) {
  QPainter p(&image_);
  const auto pass = [&](const QRegion& clip, const QRect& bounds) {
    p.setClipRegion(clip);
    p.fillRect(bounds, QColor::fromRgb(background_));
    painter_.Paint(p, bounds.adjusted(-kReach, -kReach, kReach, kReach), state);
  };
  if (region.rectCount() <= kMostPasses) {
    for (const QRect& r : region) pass(QRegion(r), r);
  } else {
    pass(region, region.boundingRect());
  }
}
