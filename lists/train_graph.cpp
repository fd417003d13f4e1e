#include "lists/train_graph.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "lists/list_frame.h"
#include "platform/controls.h"
#include "platform/fonts.h"
#include "resources/train_graph_ids.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/run_times.h"

namespace graph {

namespace {

constexpr int kGraphWindowIndex = 14;
constexpr const char* kWeekdays[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};

int FloorDiv(int64_t a, int64_t b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

// A fixed-pitch font of a character height and width in pixels: the face is narrowed or widened to the width.
QFont GraphFont(int height, int width, QFont::Weight weight) {
  QFont font = FaceFont("Courier New");
  font.setPixelSize(height);
  font.setWeight(weight);
  const int natural = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
  if (natural > 0) font.setStretch(std::clamp(width * 100 / natural, 50, 200));
  return font;
}

// The OS line of a device: -1 for a device without an OS point, or whose OS point lies beyond the lines drawn.
int LineOf(const Corvane3Data& store, const Layout& layout, int device) {
  const int os = store.OSPointOfDevice(device);
  return os < layout.OSLines ? os : -1;
}

void DrawSegment(QPainter& painter, const Corvane3Data& store, const Segment& segment, const Fonts& fonts) {
  const QColor colour = TrainColour(segment.Train);
  painter.setPen(QPen(colour, 1, Qt::SolidLine));
  painter.drawLine(segment.From, segment.To);
  for (const auto& [point, marked] :
       {std::pair{segment.From, segment.MarkStart}, std::pair{segment.To, segment.MarkEnd}}) {
    if (marked) painter.fillRect(QRect(point.x() - 3, point.y() - 3, 6, 6), colour);
  }
  if (segment.Labelled) {
    const QPoint from = segment.From;
    painter.setFont(fonts.Labels);
    painter.drawText(QRect(QPoint(from.x() - 40, from.y() - 20), QPoint(from.x() + 40, from.y() - 4)),
                     Qt::AlignCenter | Qt::TextSingleLine,
                     QString::fromStdString(FieldText(store.TrainStatusRef(segment.Train).TrainId)));
  }
}

// The pixels a band covers: its hour labels above it down to its outline's bottom, OS names at the left.
QRect BandBounds(const Layout& layout, int band) {
  const int top = layout.BandTop(band);
  return QRect(QPoint(0, top - kLabelStrip), QPoint(layout.Width() + 2, top + layout.OSLines * layout.OSSpacing + 2));
}

void PaintBands(QPainter& painter, const Corvane3Data& store, const Layout& layout, const QRect& view,
                const Fonts& fonts) {
  QPen dotted(Qt::black, 1, Qt::DotLine);
  for (int day = layout.FirstDay; day <= layout.LastDay; ++day) {
    const int band = day - layout.FirstDay;
    if (!view.isNull() && !view.intersects(BandBounds(layout, band))) continue;
    const int top = layout.BandTop(band);
    const int bottom = top + layout.OSLines * layout.OSSpacing;
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(kLeft, top), QPoint(layout.Width(), bottom)));

    painter.setFont(fonts.Names);
    for (int k = 0; k < layout.OSLines; ++k) {
      const int y = top + layout.OSSpacing / 2 + k * layout.OSSpacing;
      if (!view.isNull() && (y + 10 < view.top() || y - 10 > view.bottom())) continue;
      painter.setPen(Qt::black);
      painter.drawText(QRect(10, y - 10, 120, 20), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       QString::fromStdString(FieldText(store.GetOSData(k).Name)));
      painter.setPen(dotted);
      painter.drawLine(kLeft, y, layout.Width(), y);
    }

    int weekday = ((day % 7) + 7) % 7;
    int dayNumber = band;
    for (int i = 0; i < 24; ++i) {
      const int hour = (layout.StartHour + i) % 24;
      if (i > 0 && hour == 0) {
        weekday = (weekday + 1) % 7;
        ++dayNumber;
      }
      const int x = layout.X0() + i * layout.HourSpacing;
      if (!view.isNull() && (x + 45 < view.left() || x - 45 > view.right())) continue;
      if (i % 2 == 0) {
        painter.setPen(Qt::black);
        painter.setFont(fonts.Names);
        painter.drawText(QRect(x - 45, top - kLabelStrip, 90, kLabelStrip), Qt::AlignCenter | Qt::TextSingleLine,
                         QString::asprintf("%02d:00-%s(%d)", hour, kWeekdays[weekday], dayNumber));
      }
      painter.setPen(dotted);
      painter.drawLine(x, top, x, bottom);
    }
  }
}

}  // namespace

QPoint Layout::TimeToPoint(int k, int32_t seconds) const {
  const int ofDay = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  int hour = ofDay / 3600;
  const int minute = ofDay % 3600 / 60;
  int band = FloorDiv(seconds, kSecondsPerDay) - FirstDay;
  // A band runs from 30 minutes before the start hour to 30 minutes before it on the next day.
  if (StartHour == 0) {
    if (hour * 60 + minute > 23 * 60 + 30) {
      ++band;
      hour -= 24;
    }
  } else if (hour * 60 + minute < StartHour * 60 - 30) {
    --band;
    hour += 24 - StartHour;
  } else {
    hour -= StartHour;
  }
  return {hour * HourSpacing + X0() + minute * HourSpacing / 60, band * BandPitch() + Y0() + k * OSSpacing};
}

int CountOSLines(const Corvane3Data& store) {
  int lines = 0;
  while (lines < kMaxOSData && store.GetOSData(lines).InUse != 0) ++lines;
  return lines;
}

bool AnyOSPoint(const Corvane3Data& store) {
  for (int slot = 0; slot < kMaxOSData; ++slot) {
    if (store.GetOSData(slot).InUse != 0) return true;
  }
  return false;
}

QColor TrainColour(int trainSlot) {
  static const QColor kColours[7] = {Qt::black, Qt::blue, Qt::green, Qt::red, Qt::gray, Qt::magenta, Qt::cyan};
  return kColours[((trainSlot % 7) + 7) % 7];
}

Layout MakeLayout(const Corvane3Data& store, int osSpacing, int hourSpacing) {
  Layout layout;
  layout.OSSpacing = osSpacing;
  layout.HourSpacing = hourSpacing;
  layout.OSLines = CountOSLines(store);
  // A run not yet under way (CTC control mode keeps no simulated clock) shows the day it would start.
  const int32_t start = std::max(0, store.GetSimStartTime());
  const int32_t clock = std::max(start, store.GetSimClock());
  layout.StartHour = start / 3600 % 24;
  layout.EndHour = layout.StartHour + 23 > 23 ? layout.StartHour - 1 : layout.StartHour + 23;
  layout.FirstDay = store.GetSimStartDay();
  const int hours = std::max((clock - start) / 3600 + 2, 24);
  layout.LastDay = layout.FirstDay + (hours - 1) / 24;
  return layout;
}

Fonts Fonts::Make() { return {GraphFont(16, 8, QFont::Bold), GraphFont(14, 7, QFont::Normal)}; }

QRect SegmentBounds(const Segment& segment) {
  // The marks reach 3 pixels out, the label 40 to each side and 20 up; a little more for the pen and the ink.
  QRect bounds = QRect(segment.From, segment.To).normalized().adjusted(-5, -5, 5, 5);
  if (segment.Labelled) bounds |= QRect(segment.From.x() - 48, segment.From.y() - 24, 96, 24);
  return bounds;
}

HitWalk::HitWalk(const Corvane3Data& store, const Layout& layout)
    : store_(store), layout_(layout), tracks_(kMaxTrainStatus) {}

int HitWalk::Step(const OSHit& hit, Segment out[2]) {
  if (hit.Device == kNoHitDevice || hit.TrainSlot >= kMaxTrainStatus) return 0;
  Track& track = tracks_[hit.TrainSlot];
  if (track.Device < 0) {
    track.Device = hit.Device;
    track.Minutes = hit.Minutes;
    return 0;
  }
  int made = 0;
  const auto segment = [&](QPoint from, QPoint to, bool markStart, bool markEnd) {
    out[made++] = Segment{hit.TrainSlot, from, to, markStart, markEnd, track.Labels % 2 == 0};
    if (markStart) ++track.Labels;
  };
  const int fromLine = LineOf(store_, layout_, track.Device);
  const int toLine = LineOf(store_, layout_, hit.Device);
  if (fromLine >= 0 && toLine >= 0) {
    const int32_t edge = layout_.EndHour * 3600 + 1800;
    const int32_t fromSeconds = track.Minutes * 60, toSeconds = hit.Minutes * 60;
    const QPoint from = layout_.TimeToPoint(fromLine, fromSeconds);
    const QPoint to = layout_.TimeToPoint(toLine, toSeconds);
    const int32_t t1 = ((fromSeconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    int32_t t2 = ((toSeconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    if (t2 < t1) t2 += kSecondsPerDay;
    if (edge < t1 || t2 <= edge) {
      segment(from, to, true, true);
    } else {
      // The run crosses the band's right edge: to the edge in this band, on from the left in the next.
      const int64_t edgeMinutes = static_cast<int64_t>(FloorDiv(fromSeconds, kSecondsPerDay)) * 1440 + edge / 60;
      const int64_t toEdge = edgeMinutes - track.Minutes;
      const int64_t between = std::max<int64_t>(1, static_cast<int64_t>(hit.Minutes) - track.Minutes);
      const int y =
          from.y() + static_cast<int>(static_cast<int64_t>(toLine - fromLine) * layout_.OSSpacing * toEdge / between);
      segment(from, QPoint(layout_.Width(), y), true, false);
      segment(QPoint(kLeft, y + layout_.BandPitch()), to, false, true);
    }
  }
  if (fromLine < 0) track.Device = -1;
  if (toLine >= 0) {
    track.Device = hit.Device;
    track.Minutes = hit.Minutes;
  }
  return made;
}

void PaintTrainGraph(QPainter& painter, const Corvane3Data& store, const Layout& layout, const QRect& view) {
  PaintTrainGraph(painter, store, layout, view, Fonts::Make());
}

HitWalk PaintTrainGraph(QPainter& painter, const Corvane3Data& store, const Layout& layout, const QRect& view,
                        const Fonts& fonts) {
  painter.save();
  PaintBands(painter, store, layout, view, fonts);
  // Every hit is walked (a train's previous point and the turn of its labels depend on all before it);
  // only the segments in view are drawn.
  HitWalk walk(store, layout);
  Segment segments[2];
  for (int index = 0; index < kMaxOSHits; ++index) {
    const int made = walk.Step(store.GetOSHit(index), segments);
    for (int i = 0; i < made; ++i)
      if (view.isNull() || view.intersects(SegmentBounds(segments[i]))) DrawSegment(painter, store, segments[i], fonts);
  }
  painter.restore();
  return walk;
}

}  // namespace graph

// ---------------------------------------------------------------- the window

namespace {

// The graph itself: painted by the graph painter, moved by the scroll bars in 32-pixel units.
class GraphCanvas : public QAbstractScrollArea {
 public:
  GraphCanvas(const Corvane3Data& store, const graph::Layout& layout, QWidget* parent)
      : QAbstractScrollArea(parent), store_(store), layout_(layout), fonts_(graph::Fonts::Make()) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(true);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(colours);
  }

  void FollowOSHits() {
    const uint32_t changes = store_.OSHitChanges;
    if (changes == seenChanges_) return;
    const int count = store_.GetOSHitCount();
    const bool onlyAppended = walk_ && appendable_ && count >= seenCount_ &&
                              static_cast<uint32_t>(count - seenCount_) == changes - seenChanges_;
    seenChanges_ = changes;
    if (!onlyAppended) {
      walk_.reset();
      viewport()->update();
      return;
    }
    graph::Segment segments[2];
    const QPoint offset = Offset();
    for (int index = seenCount_; index < count; ++index) {
      const int made = walk_->Step(store_.GetOSHit(index), segments);
      for (int i = 0; i < made; ++i) viewport()->update(graph::SegmentBounds(segments[i]).translated(-offset));
    }
    seenCount_ = count;
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(viewport());
    const QPoint offset = Offset();
    painter.translate(-offset);
    walk_.emplace(graph::PaintTrainGraph(painter, store_, layout_, event->rect().translated(offset), fonts_));
    seenChanges_ = store_.OSHitChanges;
    seenCount_ = store_.GetOSHitCount();
    // Hits stored from here on extend the walk only while they land past every stored one.
    appendable_ = true;
    for (int index = std::max(seenCount_, 0); index < kMaxOSHits && appendable_; ++index)
      appendable_ = store_.GetOSHit(index).Device == graph::kNoHitDevice;
  }
  void scrollContentsBy(int, int) override { viewport()->update(); }
  // The keys belong to the frame.
  void keyPressEvent(QKeyEvent* event) override { event->ignore(); }

 private:
  QPoint Offset() const {
    return {horizontalScrollBar()->value() * graph::kScrollUnit, verticalScrollBar()->value() * graph::kScrollUnit};
  }

  const Corvane3Data& store_;
  const graph::Layout& layout_;
  const graph::Fonts fonts_;
  // The walk as the last paint left it, and the hits it had seen.
  std::optional<graph::HitWalk> walk_;
  uint32_t seenChanges_ = 0;
  int seenCount_ = 0;
  bool appendable_ = false;
};

constexpr int kSpacingDigits = 4;  // the spacing fields take up to four digits

// A stored spacing the Resize checks would refuse (a damaged option file) gives way to the default.

int SpacingOption(uint16_t stored, int least, int fallback) {
  return stored >= least && stored <= 9999 ? stored : fallback;
}

}  // namespace

TTrainGraph::TTrainGraph(Corvane3Data& store, QWidget* parent) : QWidget(parent, Qt::Window), store_(store) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("TTrainGraph");
  setWindowTitle("Train Graph");
  setFocusPolicy(Qt::StrongFocus);
  // The two spacings live in the options as OS spacing and hour spacing.
  const OptionData options = store_.GetOptionData();
  layout_ = graph::MakeLayout(store_, SpacingOption(options.Setting12, graph::kMinOSSpacing, 60),
                              SpacingOption(options.Setting14, graph::kMinHourSpacing, 90));

  auto* top = new QHBoxLayout;
  top->setContentsMargins(5, 0, 5, 0);
  top->addWidget(new QLabel("OS Spacing", this));
  osSpacing_ = MakeNumberField(this, res::IDC_GRAPH_OS_SPACING, QString::number(layout_.OSSpacing), kSpacingDigits);
  osSpacing_->setFixedSize(40, 20);
  top->addWidget(osSpacing_);
  top->addWidget(new QLabel("Hour Spacing", this));
  hourSpacing_ =
      MakeNumberField(this, res::IDC_GRAPH_HOUR_SPACING, QString::number(layout_.HourSpacing), kSpacingDigits);
  hourSpacing_->setFixedSize(40, 20);
  top->addWidget(hourSpacing_);
  QPushButton* resize = MakeButton(this, res::IDC_GRAPH_RESIZE, "Resize");
  connect(resize, &QPushButton::clicked, this, &TTrainGraph::CmResize);
  top->addWidget(resize);
  top->addStretch();

  canvas_ = new GraphCanvas(store_, layout_, this);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 5, 0, 0);
  column->setSpacing(5);
  column->addLayout(top);
  column->addWidget(canvas_, 1);
  resize->setDefault(false);
}

TTrainGraph::~TTrainGraph() {
  if (placed_) SaveWindowPlace(store_, graph::kGraphWindowIndex, this);
}

void TTrainGraph::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!placed_) {
    placed_ = true;
    RestoreWindowPlace(store_, graph::kGraphWindowIndex, this);
    // The keys scroll the graph: the frame has them, not the first field.
    setFocus();
  }
  SetScrollRange();
}

void TTrainGraph::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SetScrollRange();
}

void TTrainGraph::SetScrollRange() {
  const QSize client = canvas_->viewport()->size();
  int x = std::max(0, layout_.Width() + 40 - client.width());
  int y = std::max(0, layout_.Height() + 32 - client.height());
  if (x > 0) x = x / graph::kScrollUnit + 1;
  if (y > 0) y = y / graph::kScrollUnit + 3;
  canvas_->horizontalScrollBar()->setRange(0, x);
  canvas_->verticalScrollBar()->setRange(0, y);
  canvas_->horizontalScrollBar()->setSingleStep(1);
  canvas_->verticalScrollBar()->setSingleStep(1);
}

void TTrainGraph::FollowOSHits() { static_cast<GraphCanvas*>(canvas_)->FollowOSHits(); }

QPoint TTrainGraph::ScrollPosition() const {
  return {canvas_->horizontalScrollBar()->value(), canvas_->verticalScrollBar()->value()};
}

void TTrainGraph::ScrollTo(int x, int y) {
  canvas_->horizontalScrollBar()->setValue(x);  // the bars keep the position within the range
  canvas_->verticalScrollBar()->setValue(y);
}

void TTrainGraph::keyPressEvent(QKeyEvent* event) {
  const QSize client = canvas_->viewport()->size();
  const int quarterWidth = client.width() / 4 / graph::kScrollUnit;
  const int quarterHeight = client.height() / 4 / graph::kScrollUnit;
  const QPoint at = ScrollPosition();
  switch (event->key()) {
    case Qt::Key_Up:
      ScrollTo(at.x(), at.y() - 2);
      break;
    case Qt::Key_Down:
      ScrollTo(at.x(), at.y() + 2);
      break;
    case Qt::Key_Left:
      ScrollTo(at.x() - quarterWidth, at.y());
      break;
    case Qt::Key_Right:
      ScrollTo(at.x() + quarterWidth, at.y());
      break;
    case Qt::Key_PageUp:
      ScrollTo(at.x(), at.y() - quarterHeight);
      break;
    case Qt::Key_PageDown:
      ScrollTo(at.x(), at.y() + quarterHeight);
      break;
    case Qt::Key_Home:
      ScrollTo(0, 0);
      break;
    case Qt::Key_End:
      ScrollTo(canvas_->horizontalScrollBar()->maximum(), canvas_->verticalScrollBar()->maximum());
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TTrainGraph::CmResize() {
  const int os = osSpacing_->text().toInt();
  const int hour = hourSpacing_->text().toInt();
  if (os < graph::kMinOSSpacing) {
    store_.ShowMessage("The OS interval size has to be greater than or equal to 30", MessageIcon::Error);
    osSpacing_->setFocus();
    return;
  }
  if (hour < graph::kMinHourSpacing) {
    store_.ShowMessage("The hour interval size has to be greater than or equal to 50", MessageIcon::Error);
    hourSpacing_->setFocus();
    return;
  }
  // The days shown stay those of the opening.
  layout_.OSSpacing = os;
  layout_.HourSpacing = hour;
  SetScrollRange();
  setFocus();
  OptionData options = store_.GetOptionData();
  options.Setting12 = static_cast<uint16_t>(os);
  options.Setting14 = static_cast<uint16_t>(hour);
  store_.UpdateOptionData(options);
  canvas_->viewport()->update();
}
