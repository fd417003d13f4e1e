// The train graph ("Train Graph"): the time-distance chart of the running
// simulation. Each simulated day is a band with a line per OS point and a
// column per hour; every train's passings of OS points are joined in its
// colour, marked with small squares and labelled with its ID. The geometry
// and the painting live apart from the window, so they are tested without one.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/records.h"

class Corvane3Data;
class QLineEdit;
class QPainter;

namespace graph {

inline constexpr int kLeft = 120;       // the bands' left edge
inline constexpr int kTop = 40;         // above the first band's hour labels
inline constexpr int kGap = 40;         // between two day bands
inline constexpr int kLabelStrip = 20;  // the hour labels above each band
inline constexpr int kScrollUnit = 32;
inline constexpr int kMinOSSpacing = 30;
inline constexpr int kMinHourSpacing = 50;
inline constexpr uint16_t kNoHitDevice = 0xFFFF;  // an OS hit slot that holds no passing

// Where things are on the graph: the spacings, the OS lines, the hours and the days shown.
struct Layout {
  int OSSpacing = 60;
  int HourSpacing = 90;
  int OSLines = 0;    // N: the OS point slots in use from slot 0 up to the first free one
  int StartHour = 0;  // S
  int EndHour = 23;   // E
  int FirstDay = 0;   // D0
  int LastDay = 0;    // D1

  int X0() const { return kLeft + HourSpacing / 2; }
  int Y0() const { return kTop + OSSpacing / 2 + kLabelStrip; }
  int Width() const { return kLeft + 24 * HourSpacing; }
  int Height() const { return kTop + (LastDay - FirstDay + 1) * (kLabelStrip + OSLines * OSSpacing + kGap); }
  // From one band to the next.
  int BandPitch() const { return OSLines * OSSpacing + kGap + kLabelStrip; }
  int BandTop(int band) const { return kTop + band * (OSLines * OSSpacing + kGap) + (band + 1) * kLabelStrip; }
  // The point of OS line k at a clock time in seconds.
  QPoint TimeToPoint(int k, int32_t seconds) const;
};

// The layout of the running simulation with the given spacings: the days from the start to the clock.
Layout MakeLayout(const Corvane3Data& store, int osSpacing, int hourSpacing);
// Number of OS lines: the OS point slots in use, counted from slot 0 up to the first free one.
int CountOSLines(const Corvane3Data& store);
// Whether any of the OS point slots is in use.
bool AnyOSPoint(const Corvane3Data& store);
// The colour of a running-train slot: seven colours in turn.
QColor TrainColour(int trainSlot);

// The two faces of the graph: OS names and hour labels, and the train IDs.
struct Fonts {
  QFont Names;
  QFont Labels;
  static Fonts Make();
};

// One straight piece of a train's run between two OS passings.
struct Segment {
  int Train = 0;  // running-train slot
  QPoint From;
  QPoint To;
  bool MarkStart = false;
  bool MarkEnd = false;
  bool Labelled = false;  // carries the train ID above its start
};
// The pixels a segment's line, marks and label may touch.
QRect SegmentBounds(const Segment& segment);

// Follows every train from OS hit to OS hit in stored order: each hit may join its train's previous
// point to its own in one segment, or two where the run crosses a band's right edge.
class HitWalk {
 public:
  HitWalk(const Corvane3Data& store, const Layout& layout);
  // The segments the hit adds, into out; their number (0 to 2).
  int Step(const OSHit& hit, Segment out[2]);

 private:
  struct Track {
    int Device = -1;
    int32_t Minutes = 0;
    uint16_t Labels = 0;
  };
  const Corvane3Data& store_;
  Layout layout_;
  std::vector<Track> tracks_;
};

// Draws the bands and every train's run, in graph coordinates; with a view (in graph coordinates) only
// what reaches into it. Returns the walk as it stands after the last hit.
HitWalk PaintTrainGraph(QPainter& painter, const Corvane3Data& store, const Layout& layout, const QRect& view,
                        const Fonts& fonts);
void PaintTrainGraph(QPainter& painter, const Corvane3Data& store, const Layout& layout, const QRect& view = {});

}  // namespace graph

// The window: the spacing fields and "Resize" along the top, the scrolling graph below.
class TTrainGraph : public QWidget {
  Q_OBJECT

 public:
  TTrainGraph(Corvane3Data& store, QWidget* parent);
  ~TTrainGraph() override;

  const graph::Layout& GraphLayout() const { return layout_; }
  QAbstractScrollArea* Canvas() const { return canvas_; }
  // "Resize": the two spacings from the fields, checked, kept in the options.
  void CmResize();
  // The scroll position, in 32-pixel units.
  QPoint ScrollPosition() const;
  // Repaints what the OS hits stored since the last look change: the segments new hits add, or the
  // whole view when older hits changed (a slot's hits cleared, the ring wrapped, a replay). The tick
  // calls it, so the open graph follows the simulation.
  void FollowOSHits();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void SetScrollRange();
  void ScrollTo(int x, int y);

  Corvane3Data& store_;
  graph::Layout layout_;
  QLineEdit* osSpacing_;
  QLineEdit* hourSpacing_;
  QAbstractScrollArea* canvas_;
  bool placed_ = false;
};
