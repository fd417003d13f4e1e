#include "shell/layout_printout.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cstring>

#include "shell/picture_art.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/track_codes.h"

using namespace art;

namespace {

constexpr int kColumns = 200, kRows = 160;

// Grows the extent (in cells) to hold a rectangle given in full-size pixels.
void Cover(int& width, int& height, int x, int y, int w, int h) {
  if (x + w > width * 16) width = (x + w) / 16 + 1;
  if (y + h > height * 16) height = (y + h) / 16 + 1;
}

bool Monochrome(const QPaintDevice* device) {
  if (const auto* printer = dynamic_cast<const QPrinter*>(device)) return printer->colorMode() == QPrinter::GrayScale;
  return device->colorCount() < 3;
}

}  // namespace

QSize PrintedLayoutExtent(Corvane3Data& store) {
  int width = 0, height = 0;
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const int code = store.GetGridTrack(column, row);
      if (code == track::kEmpty || code == track::kNoPictureFlag) continue;
      width = std::max(width, column);
      height = std::max(height, row);
    }
  }
  for (int i = 0; i < kMaxTexts; ++i) {
    const TextData text = store.GetTextData(i);
    if (FieldText(text.Text, sizeof text.Text).empty()) continue;
    Cover(width, height, text.Words100[0], text.Words100[1], text.Words100[2], text.Words100[3]);
  }
  for (int i = 0; i < kMaxBitmapInserts; ++i) {
    const BitmapInsert insert = store.GetBitmapInsert(i);
    if (FieldText(insert.Name, sizeof insert.Name).empty()) continue;
    Cover(width, height, insert.Left, insert.Top, insert.Width, insert.Height);
  }
  for (int i = 0; i < kMaxStations; ++i) {
    const StationData station = store.GetStationData(i);
    if (station.InUse == 0) continue;
    Cover(width, height, station.Words26[0], station.Words26[1], station.Words26[2], station.Words26[3]);
  }
  if (width < kColumns - 2) width += 2;
  if (height < kRows - 2) height += 2;
  return {std::min(width, kColumns), std::min(height, kRows)};
}

TTPrintLayout::TTPrintLayout(Corvane3Data& store, LayoutPainter& painter, const LayoutPaintState& state)
    : TPrintout("Track Layout"), store_(store), painter_(painter), state_(state) {
  // Paper shows the whole drawing and no highlight frame.
  state_.ExtentX = kColumns;
  state_.ExtentY = kRows;
  state_.HighlightedDevice = -1;
}

void TTPrintLayout::SetPrintParams(QPainter& dc, QSize page) {
  dc_ = &dc;
  page_ = page;
  zoom_ = store_.ZoomDivisor == 2 ? 2 : 1;
  monochrome_ = Monochrome(dc.device());
  const int dpiX = std::max(1, dc.device()->logicalDpiX()), dpiY = std::max(1, dc.device()->logicalDpiY());
  const QSize extent = PrintedLayoutExtent(store_);
  LayoutWidth = extent.width();
  LayoutHeight = extent.height();
  // A hundred layout pixels an inch; at least one cell a page, however small the paper.
  const int cellUnits = 1600 / zoom_;
  PageWidth = std::max(1, ((page.width() * 100 / dpiX) * 100) / cellUnits);
  PageHeight = std::max(1, ((page.height() * 100 / dpiY) * 100) / cellUnits);
  PagesAcross = LayoutWidth / PageWidth + 1;
  PagesDown = LayoutHeight / PageHeight + 1;
  PageCount = PagesAcross * PagesDown;
}

QRect TTPrintLayout::PageRect(int page) const {
  const int c = Cell();
  const int across = std::max(1, PagesAcross);
  const int pageColumn = (page - 1) % across, pageRow = (page - 1) / across;
  const int left = pageColumn * PageWidth * c, top = pageRow * PageHeight * c;
  const int right = std::min(left + PageWidth * c, LayoutWidth * c);
  const int bottom = std::min(top + PageHeight * c, LayoutHeight * c);
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void TTPrintLayout::DrawTrackLayout(QPainter& dc, const QRect& rect) {
  // Drawn from one spare cell before the page's first, so that what reaches over a page edge shows.
  const int c = Cell();
  const int x0 = std::max(0, rect.left() / c * c - c), y0 = std::max(0, rect.top() / c * c - c);
  const int x1 = std::min((rect.right() + 1) / c * c + c, 3200 / zoom_);
  const int y1 = std::min((rect.bottom() + 1) / c * c + c, 2560 / zoom_);
  dc.save();
  if (store_.GetOptionData().ClassicDisplay != 0) dc.fillRect(0, 0, x1 - x0, y1 - y0, QColor::fromRgb(kBlack));
  dc.translate(-x0, -y0);
  painter_.Paint(dc, rect, state_);
  dc.restore();
}

QImage TTPrintLayout::PageImage(int page, bool monochrome) {
  const int c = Cell();
  const bool classic = store_.GetOptionData().ClassicDisplay != 0;
  QImage image(PageWidth * c, PageHeight * c, QImage::Format_RGB32);
  image.fill(classic ? kBlack : kWhite);
  {
    QPainter dc(&image);
    dc.setClipRect(image.rect());
    DrawTrackLayout(dc, PageRect(page));
  }
  if (!monochrome) return image;
  // The state colours of track, arrows and train icons; a text label in one of them goes along.
  const QRgb ink = classic ? kWhite : kBlack;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x] | 0xFF000000u;
      if (p == kRed || p == kBrightGreen || p == kBlue || p == kCyan || p == kGray || p == (classic ? kWhite : kBlack))
        line[x] = ink;
      else if (classic && p == kYellow)
        line[x] = kBlack;
    }
  }
  return image;
}

void TTPrintLayout::PrintPage(int page) {
  if (!dc_) return;
  QPainter& dc = *dc_;
  const int c = Cell();
  const QRect window(0, 0, PageWidth * c, PageHeight * c);
  dc.save();
  // The page's grid columns and rows fill the printable page.
  dc.scale(static_cast<double>(page_.width()) / window.width(), static_cast<double>(page_.height()) / window.height());
  dc.setClipRect(window);
  if (monochrome_) {
    dc.drawImage(window, PageImage(page, true));
  } else {
    DrawTrackLayout(dc, PageRect(page));
  }
  dc.restore();
}
