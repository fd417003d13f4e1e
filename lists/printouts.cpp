#include "lists/printouts.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "lists/slow_list.h"
#include "lists/track_time_lists.h"
#include "platform/fonts.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kSlowReportCells = 94;
constexpr int kPermitReportCells = 91;

QFont PrintFont(int points, int dpi, QFont::Weight weight) {
  QFont font = FaceFont("Courier New");
  // The character height in points, worked out in the printer's dots.
  font.setPixelSize(std::max(1, points * dpi / 72));
  font.setWeight(weight);
  return font;
}

template <size_t N>
QString FieldQText(const char (&field)[N]) {
  return QString::fromStdString(FieldText(field));
}

QString SpeedText(int16_t speed) { return speed < 0 ? QString() : QString::number(speed); }

}  // namespace

std::string PrintDateTime(const std::tm& when) {
  static constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
  const int month = std::clamp(when.tm_mon, 0, 11);
  // Hours 1-12 after noon; the morning's hours as the clock shows them, so the hour after midnight is 0.
  const int hour = when.tm_hour > 12 ? when.tm_hour - 12 : when.tm_hour;
  char text[64];
  std::snprintf(text, sizeof text, "%s %d, %d %d:%02d:%02d %s", kMonths[month], when.tm_mday, when.tm_year + 1900, hour,
                when.tm_min, when.tm_sec, when.tm_hour < 12 ? "am" : "pm");
  return text;
}

int32_t CountOrderList(const std::vector<int16_t>& orderList) {
  const auto end = std::find(orderList.begin(), orderList.end(), int16_t{-1});
  return static_cast<int32_t>(end - orderList.begin());
}

std::vector<int16_t> OrderListOf(const std::vector<int32_t>& records, size_t capacity) {
  std::vector<int16_t> order;
  for (const int32_t record : records) {
    if (order.size() == capacity) break;
    order.push_back(static_cast<int16_t>(record));
  }
  if (order.size() < capacity) order.push_back(-1);
  return order;
}

// ---------------------------------------------------------------- the page machinery

TTabularPrintout::TTabularPrintout(Corvane3Data& store, const QString& jobTitle, QString pageTitle, int reportCells,
                                   std::vector<int16_t> orderList, int headingPoints)
    : TPrintout(jobTitle),
      store_(store),
      pageTitle_(std::move(pageTitle)),
      reportCells_(reportCells),
      orderList_(std::move(orderList)),
      headingPoints_(headingPoints) {}

void TTabularPrintout::SetPrintParams(QPainter& dc, QSize page) {
  dc_ = &dc;
  inkSet_ = false;
  faces_.clear();
  pageWidth_ = page.width();
  pageHeight_ = page.height();
  const int dpi = dc.device()->logicalDpiY();
  titleFont_ = PrintFont(16, dpi, QFont::Bold);
  headingFont_ = PrintFont(headingPoints_, dpi, QFont::Bold);
  bodyFont_ = PrintFont(textPoints_, dpi, QFont::Normal);
  smallFont_ = PrintFont(8, dpi, QFont::Normal);

  const QFontMetrics title(titleFont_, dc.device());
  const QFontMetrics heading(headingFont_, dc.device());
  const QFontMetrics body(bodyFont_, dc.device());
  titleLine_ = title.height() + title.leading();
  headingLine_ = heading.height() + heading.leading();
  bodyLine_ = std::max(1, body.height() + body.leading());
  cellWidth_ = std::max({1, heading.averageCharWidth(), body.averageCharWidth()});

  LinesPerPage = std::max(1, (pageHeight_ - titleLine_ - 3 * headingLine_ - 4 * bodyLine_) / bodyLine_);
  ItemCount = CountItems();
  // At least one page, however few lines fit.
  PageCount = std::max(1, EstimatePages());
  NextItem = 0;
  header_ = QString::fromStdString(FieldText(store_.TrackFilePath, kPathChars) + "    " +
                                   PrintDateTime(store_.GetRealTime()));
  CentreReport();
}

void TTabularPrintout::SetTable(QString pageTitle, int reportCells) {
  pageTitle_ = std::move(pageTitle);
  reportCells_ = reportCells;
  CentreReport();
}

void TTabularPrintout::CentreReport() {
  const int cells = widenToHeader_ ? std::max<int>(reportCells_, static_cast<int>(header_.size())) : reportCells_;
  if (cells * cellWidth_ < pageWidth_) {
    margin_ = (pageWidth_ - cells * cellWidth_) / 2;
    right_ = margin_ + cells * cellWidth_;
  } else {
    margin_ = 0;
    right_ = pageWidth_;
  }
}

TTabularPrintout::Face TTabularPrintout::MeasureFace(const QFont& font) const {
  Face face;
  face.Font = font;
  const QFontMetricsF metrics(font, dc_->device());
  face.Advance = metrics.horizontalAdvance(QChar('M'));
  face.Ascent = metrics.ascent();
  face.Height = metrics.height();
  QString all;
  bool fixed = metrics.leading() == 0 && face.Advance > 0;
  for (char16_t c = kFirstPrintable; c <= kLastPrintable; ++c) {
    all += QChar(c);
    fixed = fixed && metrics.horizontalAdvance(QChar(c)) == face.Advance;
    face.Ink[c - kFirstPrintable] = metrics.tightBoundingRect(QString(QChar(c)));
  }
  // A line of them is as wide as their advances: no kerning, nothing joined.
  face.Fixed = fixed && std::abs(metrics.horizontalAdvance(all) - all.size() * face.Advance) < 0.01;
  return face;
}

bool TTabularPrintout::InkInside(const QFont& font, const QRect& cell, const QString& text, Qt::Alignment align) {
  auto face = std::find_if(faces_.begin(), faces_.end(), [&](const Face& f) { return f.Font == font; });
  if (face == faces_.end()) face = faces_.insert(faces_.end(), MeasureFace(font));
  // drawText leaves trailing spaces out of the line's width.
  if (!face->Fixed || text.back() == QChar(' ')) return false;
  // Placed as drawText places a single line: the line's advances and the font's height aligned in the cell.
  const qreal width = text.size() * face->Advance;
  qreal x = cell.left(), y = cell.top();
  if (align & Qt::AlignRight)
    x += cell.width() - width;
  else if (align & Qt::AlignHCenter)
    x += (cell.width() - width) / 2;
  if (align & Qt::AlignBottom)
    y += cell.height() - face->Height;
  else if (align & Qt::AlignVCenter)
    y += (cell.height() - face->Height) / 2;
  const qreal baseline = y + face->Ascent;
  QRectF ink;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < kFirstPrintable || c > kLastPrintable) return false;
    const QRectF& glyph = face->Ink[c - kFirstPrintable];
    if (!glyph.isEmpty()) ink |= glyph.translated(x + i * face->Advance, baseline);
  }
  // Two device dots to spare cover rounding and the glyphs' hinting on another device.
  constexpr qreal kSpare = 2;
  return QRectF(cell).adjusted(kSpare, kSpare, -kSpare, -kSpare).contains(ink);
}

void TTabularPrintout::Text(const QFont& font, int left, int top, int right, int bottom, const QString& text,
                            Qt::Alignment align) {
  if (text.isEmpty()) return;
  // The painter is the job's alone: its pen and its clip to the page (columns beyond the page are cut off at
  // its edge) are set once, and the font when it changes. A state saved and restored for every piece of
  // text would cost a printer's page description a new graphics state each time.
  if (!inkSet_) {
    dc_->setPen(Qt::black);
    dc_->setClipRect(QRect(0, 0, pageWidth_, pageHeight_));
    dc_->setFont(font);
    inkFont_ = font;
    inkSet_ = true;
  } else if (!(font == inkFont_)) {
    dc_->setFont(font);
    inkFont_ = font;
  }
  // drawText cuts a text off at its cells' edge (a clip, and so a graphics state of its own) whenever the
  // font's whole line box does not fit them, which a line of body text never quite does; it is spared that
  // where the text's ink lies well inside its cells, since cutting there takes nothing away.
  const QRect cell(QPoint(left, top), QPoint(right - 1, bottom - 1));
  int flags = static_cast<int>(align | Qt::TextSingleLine);
  if (InkInside(font, cell, text, align)) flags |= Qt::TextDontClip;
  dc_->drawText(cell, flags, text);
}

void TTabularPrintout::PrintTop(int left, int right, const std::vector<std::vector<Heading>>& rows, int rowGap) {
  Text(titleFont_, left, 0, right, titleLine_, pageTitle_, Qt::AlignCenter);
  Text(smallFont_, left, titleLine_, right, titleLine_ + bodyLine_, header_, Qt::AlignCenter);
  y_ = titleLine_ + bodyLine_ + headingLine_;
  for (const auto& row : rows) {
    if (&row != &rows.front()) y_ += rowGap;
    for (const Heading& heading : row) {
      Text(headingFont_, margin_ + heading.Cell * cellWidth_, y_, margin_ + (heading.Cell + heading.Width) * cellWidth_,
           y_ + headingLine_, heading.Text, heading.Align | Qt::AlignVCenter);
    }
    y_ += headingLine_;
  }
  y_ += bodyLine_;
}

void TTabularPrintout::BodyText(int cell, int width, const QString& text, Qt::Alignment align) {
  Text(bodyFont_, margin_ + cell * cellWidth_, y_, margin_ + (cell + width) * cellWidth_, y_ + bodyLine_, text,
       align | Qt::AlignVCenter);
}

void TTabularPrintout::HeadingText(int cell, int width, const QString& text, Qt::Alignment align) {
  Text(headingFont_, margin_ + cell * cellWidth_, y_, margin_ + (cell + width) * cellWidth_, y_ + bodyLine_, text,
       align | Qt::AlignVCenter);
}

void TTabularPrintout::PrintFooter(int page, int left, int right) {
  Text(bodyFont_, left, pageHeight_ - bodyLine_, right, pageHeight_, QString("Page %1").arg(page), Qt::AlignCenter);
}

// ---------------------------------------------------------------- slow orders

TTPrintSlow::TTPrintSlow(Corvane3Data& store, std::vector<int16_t> orderList)
    : TTabularPrintout(store, "Slow Orders", "Slow Orders", kSlowReportCells, std::move(orderList)) {}

int32_t TTPrintSlow::CountItems() {
  types_ = TrainTypesInUse(store_);
  return TTabularPrintout::CountItems();
}

int32_t TTPrintSlow::EstimatePages() {
  // A slow order takes a line per train type in use, and one line when none is.
  const int32_t linesPerOrder = std::max<int32_t>(1, static_cast<int32_t>(types_.size()));
  return ItemCount / std::max<int32_t>(1, LinesPerPage / linesPerOrder) + 1;
}

void TTPrintSlow::PrintPage(int page) {
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter;
  PrintTop(Margin(), RightEdge(),
           {{{0, 3, "No.", centre},
             {5, 20, "Track/Block/Switch", left},
             {26, 9, "Permanent", left},
             {36, 5, "From", centre},
             {42, 5, "To", centre},
             {49, 15, "Days of Week", centre},
             {65, 18, "Train Type", left},
             {84, 5, "Left", centre},
             {90, 5, "Right", centre}},
            {{36, 5, "Time", centre}, {42, 5, "Time", centre}, {84, 5, "Speed", centre}, {90, 5, "Speed", centre}}});

  const int32_t linesPerOrder = std::max<int32_t>(1, static_cast<int32_t>(types_.size()));
  int32_t lines = 0;
  int32_t item = NextItem;
  while (item < ItemCount) {
    const int16_t slot = Record(item);
    const SlowData order = store_.GetSlowData(slot);
    ++item;
    BodyText(0, 3, QString::asprintf("%03d", slot), left);
    BodyText(5, 20, FieldQText(order.Location), left);
    const bool permanent = order.Permanent == 1;
    BodyText(26, 9, permanent ? "Yes" : "No", centre);
    if (!permanent) {
      BodyText(36, 5, MinuteText(order.StartMinutes), centre);
      BodyText(42, 5, MinuteText(order.EndMinutes), centre);
    }
    BodyText(49, 15, DaysText(DaysOf(order)), left);
    const SlowSpeeds leftSpeeds = LeftSpeeds(order), rightSpeeds = RightSpeeds(order);
    for (const int type : types_) {
      BodyText(65, 18, FieldQText(store_.GetTrainType(type).Name), left);
      BodyText(84, 5, SpeedText(leftSpeeds[static_cast<size_t>(type)]), centre);
      BodyText(90, 5, SpeedText(rightSpeeds[static_cast<size_t>(type)]), centre);
      NextLine();
    }
    if (types_.empty()) NextLine();
    lines += linesPerOrder;
    if (lines + linesPerOrder > LinesPerPage) break;
  }
  NextItem = item;
  PrintFooter(page, Margin(), RightEdge());
  if (page == PageCount && NextItem < ItemCount) ++PageCount;
}

// ---------------------------------------------------------------- block permits

TTPrintPermit::TTPrintPermit(Corvane3Data& store, std::vector<int16_t> orderList)
    : TTabularPrintout(store, "Block Permits", "Block Permits", kPermitReportCells, std::move(orderList)) {}

void TTPrintPermit::PrintPage(int page) {
  const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter;
  PrintTop(0, PageWidth(),
           {{{0, 3, "No.", centre},
             {5, 15, "Track Name", left},
             {21, 5, "From", centre},
             {27, 5, "To", centre},
             {34, 15, "Days of Week", left},
             {50, 20, "Requestor", left},
             {71, 20, "Reason", left}},
            {{21, 5, "Time", centre}, {27, 5, "Time", centre}}});

  int32_t lines = 0;
  int32_t item = NextItem;
  while (item < ItemCount) {
    const int16_t slot = Record(item);
    const PermitData permit = store_.GetPermitData(slot);
    ++item;
    BodyText(0, 3, QString::asprintf("%03d", slot), left);
    BodyText(5, 15, FieldQText(permit.TrackName), left);
    BodyText(21, 5, MinuteText(permit.StartMinutes), centre);
    BodyText(27, 5, MinuteText(permit.EndMinutes), centre);
    BodyText(34, 15, DaysText(DaysOf(permit)), left);
    BodyText(50, 20, FieldQText(permit.Requestor), left);
    BodyText(71, 20, FieldQText(permit.Reason), left);
    NextLine();
    if (++lines > LinesPerPage) break;
  }
  NextItem = item;
  PrintFooter(page, Margin(), PageWidth());
  if (page == PageCount && NextItem < ItemCount) ++PageCount;
}
