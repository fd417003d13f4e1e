// The train graph: time to point on the day bands, the days shown, the runs
// drawn (across the band's edge, past OS points without a line), Resize with
// its limits, and scrolling by keys.
#include "lists/train_graph.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <string>

#include "platform/controls.h"
#include "resources/train_graph_ids.h"
#include "tests/shell/gui_app.h"
#include "tests/support/pdf_text.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int32_t kDay = 86400;

int32_t At(int day, int hour, int minute) { return day * kDay + hour * 3600 + minute * 60; }

TEST(TrainGraphLayoutTest, TimesMapToTheirBandAndHourAroundTheStartHour) {
  graph::Layout layout;
  layout.OSLines = 3;  // pitch from band to band: 3 x 60 + 40 + 20 = 240
  struct Case {
    int StartHour, Line;
    int32_t Time;
    QPoint Point;
  } cases[] = {
      {6, 0, At(0, 6, 0), {165, 90}},      // the first hour's centre
      {6, 1, At(0, 7, 30), {300, 150}},    // half past, one line down
      {6, 0, At(0, 5, 40), {135, 90}},     // within the half hour before the start: this band
      {6, 2, At(1, 5, 20), {2265, 210}},   // earlier: the previous day's band, at its end
      {6, 0, At(0, 5, 20), {2265, -150}},  // before the first band
      {0, 0, At(0, 23, 30), {2280, 90}},   // the last half hour of the band
      {0, 0, At(0, 23, 40), {135, 330}},   // after it: the next band
  };
  for (const Case& c : cases) {
    layout.StartHour = c.StartHour;
    EXPECT_EQ(layout.TimeToPoint(c.Line, c.Time), c.Point) << c.StartHour << " " << c.Time;
  }
}

class TrainGraphTest : public StoreFixture {
 protected:
  TrainGraphTest() {
    EnsureQApplication();
    // OS points "Ash" and "Bex" on lines 0 and 1; slot 2 free, so "Cole" in slot 3 has no line.
    const char* names[] = {"Ash", "Bex", "", "Cole"};
    for (int i = 0; i < 4; ++i) {
      BlockData block = store().GetBlockData(i);
      block.InUse = 1;
      SetFieldText(block.Name, names[i][0] ? names[i] : "Link");
      store().UpdateBlockData(i, block);
      if (!names[i][0]) continue;
      OSData os = store().GetOSData(i);
      os.InUse = 1;
      SetFieldText(os.Name, names[i]);
      store().UpdateOSData(i, os);
    }
    store().ClearOSHits();
    store().SetSimStartDay(0);
    store().SetSimStartTime(At(0, 6, 0));
    store().SetSimClock(At(1, 7, 0));
    store().Run.RunStarted = 1;
    OptionData options = store().GetOptionData();
    options.Setting12 = 60;
    options.Setting14 = 90;
    store().UpdateOptionData(options);
  }
  void Hit(int block, int train, int32_t time) { store().AddNewOSHit(block, train, time); }
  void Train(int slot, const char* id) {
    TrainStatus train = store().GetTrainStatus(slot);
    train.InUse = 1;
    SetFieldText(train.TrainId, id);
    store().UpdateTrainStatus(slot, train, 1);
  }
  QImage Paint(const graph::Layout& layout) {
    QImage image(layout.Width() + 40, layout.Height() + 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    graph::PaintTrainGraph(painter, store(), layout);
    return image;
  }
  static bool ColourNear(const QImage& image, QPoint at, QColor colour) {
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy)
        if (image.pixelColor(at + QPoint(dx, dy)) == colour) return true;
    return false;
  }
  QLineEdit* Field(QWidget& window, int id) { return FindControl<QLineEdit>(&window, id); }
  void Resize(TTrainGraph& graph, const char* os, const char* hour) {
    Field(graph, res::IDC_GRAPH_OS_SPACING)->setText(os);
    Field(graph, res::IDC_GRAPH_HOUR_SPACING)->setText(hour);
    FindControl<QPushButton>(&graph, res::IDC_GRAPH_RESIZE)->click();
  }
};

TEST_F(TrainGraphTest, TheDaysRunFromTheStartToTheClockWithOneBandPerDay) {
  struct Case {
    int32_t Clock;
    int LastDay;
  } cases[] = {{At(0, 10, 0), 0}, {At(1, 3, 59), 0}, {At(1, 6, 0), 1}, {At(2, 3, 59), 1}, {At(2, 6, 0), 2}};
  for (const Case& c : cases) {
    store().SetSimClock(c.Clock);
    const graph::Layout layout = graph::MakeLayout(store(), 60, 90);
    EXPECT_EQ(layout.LastDay, c.LastDay) << c.Clock;
    EXPECT_EQ(layout.StartHour, 6);
    EXPECT_EQ(layout.EndHour, 5);
    EXPECT_EQ(layout.OSLines, 2);
    EXPECT_EQ(layout.Height(), 40 + (c.LastDay + 1) * (20 + 2 * 60 + 40));
  }
  EXPECT_EQ(graph::TrainColour(0), graph::TrainColour(7));
  EXPECT_NE(graph::TrainColour(0), graph::TrainColour(1));
}

TEST_F(TrainGraphTest, ARunAcrossTheBandsEdgeIsDrawnInTwoPiecesAndOSPointsWithoutALineAreSkipped) {
  // Train 3 (red): Ash at 05:20 and Bex at 05:40 of day 1, on a graph that starts at 06:00.
  Train(3, "301");
  Hit(0, 3, At(1, 5, 20));
  Hit(1, 3, At(1, 5, 40));
  // Train 8 (blue): Ash, then Cole (no line), then Bex.
  Train(8, "808");
  Hit(0, 8, At(1, 6, 10));
  Hit(3, 8, At(1, 6, 30));
  Hit(1, 8, At(1, 6, 50));
  const graph::Layout layout = graph::MakeLayout(store(), 60, 90);
  ASSERT_EQ(layout.LastDay, 1);
  const QImage image = Paint(layout);
  const QColor red = graph::TrainColour(3), blue = graph::TrainColour(8);
  ASSERT_EQ(red, QColor(Qt::red));

  // To the right edge, half a line down (10 of the 20 minutes) ...
  EXPECT_TRUE(ColourNear(image, {2265, 90}, red));   // the mark at 05:20
  EXPECT_TRUE(ColourNear(image, {2272, 105}, red));  // on the way to (2280, 120)
  // ... and on from the left edge of the next band (180 pixels down) to Bex at 05:40.
  EXPECT_TRUE(ColourNear(image, {127, 315}, red));
  EXPECT_TRUE(ColourNear(image, {135, 330}, red));
  EXPECT_FALSE(ColourNear(image, {1200, 210}, red));  // no line straight across the bands

  // Ash 06:10 (180, 270) joined straight to Bex 06:50 (240, 330), not by way of Cole below the band.
  EXPECT_TRUE(ColourNear(image, {210, 300}, blue));
  EXPECT_FALSE(ColourNear(image, {186, 306}, blue));
}

// A paint of a part of the graph (the window's view) draws there exactly what a paint of the whole graph
// through the same window draws: runs, marks, labels and bands that only reach into it included.
TEST_F(TrainGraphTest, APaintOfTheViewDrawsThereWhatTheWholeGraphHas) {
  for (int t = 0; t < 40; ++t) {
    Train(t, ("T" + std::to_string(t)).c_str());
    for (int k = 0; k < 6; ++k) Hit(k % 2, t, At(0, 6, 0) + t * 1700 + k * 1100);
  }
  const graph::Layout layout = graph::MakeLayout(store(), 60, 90);
  const auto paint = [&](const QRect& view, const QRect& culled) {
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.translate(-view.topLeft());
      graph::PaintTrainGraph(painter, store(), layout, culled);
    }
    return image;
  };
  for (const QRect view :
       {QRect(0, 0, 700, 200), QRect(640, 130, 500, 170), QRect(1500, 150, 700, 250), QRect(2100, 60, 220, 300)}) {
    const QImage part = paint(view, view);
    const QImage whole = paint(view, QRect());
    const QRgb* pixels = reinterpret_cast<const QRgb*>(whole.constBits());
    EXPECT_GT(std::count_if(pixels, pixels + whole.width() * whole.height(),
                            [](QRgb pixel) { return pixel != QColor(Qt::white).rgb(); }),
              100)
        << "the view holds some of the graph";
    EXPECT_TRUE(part == whole) << "view at " << view.x() << "," << view.y();
  }
}

TEST_F(TrainGraphTest, EachBandCarriesTheOSNamesAndEveryOtherHourWithItsWeekdayAndDay) {
  store().SetSimStartTime(At(0, 6, 0));
  store().SetSimClock(At(1, 6, 0));
  Train(3, "301");
  Hit(0, 3, At(0, 7, 0));
  Hit(1, 3, At(0, 7, 20));
  const graph::Layout layout = graph::MakeLayout(store(), 60, 90);
  // Painted as text into a PDF page of the graph's size, then read back.
  const std::string pdf = (folder() / "graph.pdf").string();
  {
    QPdfWriter writer(QString::fromStdString(pdf));
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(layout.Width() + 40, layout.Height() + 32), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    graph::PaintTrainGraph(painter, store(), layout);
  }
  const auto pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  const std::string& text = pages[0];
  EXPECT_EQ(Occurrences(text, "Ash"), 2);
  EXPECT_EQ(Occurrences(text, "Bex"), 2);
  EXPECT_EQ(Occurrences(text, "Cole"), 0);
  for (const char* label :
       {"06:00-Su(0)", "08:00-Su(0)", "22:00-Su(0)", "00:00-Mo(1)", "04:00-Mo(1)", "06:00-Mo(1)", "00:00-Tu(2)"}) {
    EXPECT_EQ(Occurrences(text, label), 1) << label;
  }
  EXPECT_EQ(Occurrences(text, "07:00-"), 0);  // odd hours have no label
  EXPECT_EQ(Occurrences(text, "301"), 1);     // the train's one segment carries its ID
}

TEST_F(TrainGraphTest, ResizeRefusesSpacingsBelowTheLimitsAndKeepsTheOnesItTakes) {
  TTrainGraph graph(store(), nullptr);
  graph.show();
  EXPECT_EQ(Field(graph, res::IDC_GRAPH_OS_SPACING)->text(), "60");
  EXPECT_EQ(Field(graph, res::IDC_GRAPH_HOUR_SPACING)->text(), "90");
  struct Case {
    const char *OS, *Hour, *Message;
  } refused[] = {{"29", "90", "The OS interval size has to be greater than or equal to 30"},
                 {"30", "49", "The hour interval size has to be greater than or equal to 50"},
                 {"", "90", "The OS interval size has to be greater than or equal to 30"}};
  for (const Case& c : refused) {
    messages.Calls.clear();
    Resize(graph, c.OS, c.Hour);
    ASSERT_EQ(messages.Calls.size(), 1u);
    EXPECT_EQ(messages.Calls[0].Text, c.Message);
    EXPECT_EQ(graph.GraphLayout().OSSpacing, 60);
    EXPECT_EQ(+store().GetOptionData().Setting12, 60);
  }
  messages.Calls.clear();
  Resize(graph, "30", "50");
  EXPECT_TRUE(messages.Calls.empty());
  EXPECT_EQ(graph.GraphLayout().OSSpacing, 30);
  EXPECT_EQ(graph.GraphLayout().Width(), 120 + 24 * 50);
  EXPECT_EQ(+store().GetOptionData().Setting12, 30);
  EXPECT_EQ(+store().GetOptionData().Setting14, 50);

  TTrainGraph again(store(), nullptr);
  EXPECT_EQ(Field(again, res::IDC_GRAPH_OS_SPACING)->text(), "30");
  EXPECT_EQ(Field(again, res::IDC_GRAPH_HOUR_SPACING)->text(), "50");
}

TEST_F(TrainGraphTest, SpacingsTheChecksWouldRefuseInTheOptionsGiveWayToTheDefaults) {
  OptionData options = store().GetOptionData();
  options.Setting12 = 7;
  options.Setting14 = 0;
  store().UpdateOptionData(options);
  TTrainGraph graph(store(), nullptr);
  EXPECT_EQ(Field(graph, res::IDC_GRAPH_OS_SPACING)->text(), "60");
  EXPECT_EQ(Field(graph, res::IDC_GRAPH_HOUR_SPACING)->text(), "90");
}

TEST_F(TrainGraphTest, KeysScrollByTwoUnitsByAQuarterAndToTheCorners) {
  store().SetSimClock(At(4, 6, 0));  // five bands: more than the window shows
  TTrainGraph graph(store(), nullptr);
  graph.resize(640, 480);
  graph.show();
  const QScrollBar* across = graph.Canvas()->horizontalScrollBar();
  const QScrollBar* down = graph.Canvas()->verticalScrollBar();
  ASSERT_GT(across->maximum(), 10);
  ASSERT_GT(down->maximum(), 10);
  const int quarter = graph.Canvas()->viewport()->width() / 4 / 32;
  struct Case {
    Qt::Key Key;
    QPoint Position;
  } cases[] = {{Qt::Key_Down, {0, 2}},
               {Qt::Key_Right, {quarter, 2}},
               {Qt::Key_Up, {quarter, 0}},
               {Qt::Key_Up, {quarter, 0}},
               {Qt::Key_End, {across->maximum(), down->maximum()}},
               {Qt::Key_Home, {0, 0}}};
  for (const Case& c : cases) {
    QKeyEvent press(QEvent::KeyPress, c.Key, Qt::NoModifier);
    QApplication::sendEvent(&graph, &press);
    EXPECT_EQ(graph.ScrollPosition(), c.Position) << c.Key;
  }
}

}  // namespace
