// The layout window on the offscreen platform: start-up load, scroll ranges,
// zoom and the view history, the keyboard, painting's hook and the timers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "resources/resource_ids.h"
#include "shell/corvane3_app.h"
#include "shell/corvane3_dec.h"
#include "shell/corvane3_window.h"
#include "shell/display_pictures.h"
#include "shell/globals.h"
#include "store/track_file.h"
#include "store/train_icons.h"
#include "tests/shell/gui_app.h"
#include "tools/territory/demo_territory.h"
#include "tests/support/store_fixture.h"
#include "tools/territory/territory_builder.h"

namespace {

using territory::TerritoryBuilder;

class LayoutWindowTest : public StoreFixture {
 protected:
  LayoutWindowTest() {
    EnsureQApplication();
    window_ = std::make_unique<TCorvane3Window>(store(), pictures_);
    window_->resize(800, 600);
    window_->show();
  }

  // Set-up and the posted start-up message, with the track file the options name.
  void StartWith(const std::string& trackPath) {
    SetFieldText(store().TrackFilePath, trackPath);
    window_->SetupWindow();
    QCoreApplication::processEvents();
  }

  // Writes a territory (one line of track from column 2 to lastColumn on row `row`) as a track file.
  std::string WriteTerritory(int lastColumn, int row, const std::string& name = "line.trk") {
    TerritoryBuilder builder(store());
    builder.Block({.Name = "B0", .From = {2, row}, .To = {lastColumn, row}});
    builder.StartTime(300, {});
    builder.Finish();
    const std::string path = (folder() / name).string();
    EXPECT_EQ(TrackFile(store()).Write(path, 0), 0);
    for (const auto& call : messages.Calls) ADD_FAILURE() << call.Text;
    store().InitTerritoryData();
    return path;
  }

  TCorvane3Window& window() { return *window_; }
  QPoint Scroll() { return {window().horizontalScrollBar()->value(), window().verticalScrollBar()->value()}; }
  QPoint Ranges() { return {window().horizontalScrollBar()->maximum(), window().verticalScrollBar()->maximum()}; }

  DisplayPictures pictures_;
  std::unique_ptr<TCorvane3Window> window_;
};

TEST_F(LayoutWindowTest, StartUpLoadsTheTerritoryAndStartsTheTimers) {
  const std::string path = WriteTerritory(40, 4);
  StartWith(path);
  EXPECT_EQ(FieldText(store().TrackFilePath), path);
  EXPECT_EQ(+store().GetBlockData(0).InUse, 1);
  EXPECT_EQ(window().LayoutExtentX, 42);
  EXPECT_EQ(window().LayoutExtentY, 6);
  // A small layout in a large window does not scroll.
  EXPECT_EQ(Ranges(), QPoint(0, 0));
  EXPECT_EQ(shell.Timers, (std::vector<std::pair<int, int>>{{0, 100}, {1, 500}, {2, 1100}}));
  EXPECT_EQ(+store().Run.Loading, 0);
  EXPECT_EQ(+store().Run.SimStopped, 1);
  EXPECT_EQ(+store().Run.AwaitingStart, 1);
  EXPECT_EQ(store().GetSimClock(), -1);
  EXPECT_FALSE(pictures_.TrackTileBitmap[0][0].isNull());
  EXPECT_EQ(store().ZoomDivisor, 1);
}

TEST_F(LayoutWindowTest, AFailedLoadLeavesAnEmptyTerritoryNamedDefault) {
  StartWith((folder() / "missing.trk").string());
  EXPECT_EQ(FieldText(store().TrackFilePath), "default.trk");
  EXPECT_EQ(+store().GetBlockData(0).InUse, 0);
  EXPECT_EQ(window().LayoutExtentX, 2);
  EXPECT_EQ(window().LayoutExtentY, 2);
  EXPECT_TRUE(messages.Calls.empty()) << "the start-up load is silent";
  EXPECT_EQ(store().NoTerritorySettings, 0);
}

TEST_F(LayoutWindowTest, ScrollRangesFitTheExtentAndZoomHalvesThem) {
  StartWith(WriteTerritory(190, 150));
  window().ComputeLayoutExtent();  // with both bars shown now
  const QPoint full = Ranges();
  // Extent 192 x 152 cells in 800 x 600: (193 x 16 - 800) / 32 + 1 across, (153 x 16 + 48 - 600) / 32 + 4 down.
  EXPECT_EQ(full, QPoint(72, 63));

  window().CmToggleZoom();
  EXPECT_EQ(store().ZoomDivisor, 2);
  const QPoint half = Ranges();
  EXPECT_LT(half.x(), full.x());
  EXPECT_LT(half.y(), full.y());
  window().CmToggleZoom();
  EXPECT_EQ(store().ZoomDivisor, 1);
  EXPECT_EQ(Ranges(), full);
  // Each zoom added one view.
  EXPECT_EQ(window().History().Newest(), 2);
  EXPECT_EQ(window().History().Entry(1).Zoom, 2);
  EXPECT_EQ(window().History().Entry(2).Zoom, 1);

  // Back and Forward walk the history and restore the zoom.
  EXPECT_TRUE(window().CeViewBack());
  window().CmViewBack();
  EXPECT_EQ(store().ZoomDivisor, 2);
  EXPECT_FALSE(window().CeViewBack());
  EXPECT_TRUE(window().CeViewForward());
  window().CmViewForward();
  EXPECT_EQ(store().ZoomDivisor, 1);
  EXPECT_FALSE(window().CeViewForward());
  EXPECT_EQ(store().Run.ViewHistory, (std::array<int32_t, 2>{2, 2}));

  // A display reset empties the history.
  window().ResetSimulationDisplay();
  EXPECT_EQ(window().History().Newest(), 0);
  EXPECT_FALSE(window().CeViewBack());
}

TEST_F(LayoutWindowTest, KeysScrollAndRememberEachNewView) {
  StartWith(WriteTerritory(190, 150));
  const int quarterHeight = (window().viewport()->height() / 4) / 32;
  const int quarterWidth = (window().viewport()->width() / 4) / 32;
  window().EvKeyDown(34);  // Page Down
  EXPECT_EQ(Scroll(), QPoint(0, quarterHeight));
  window().EvKeyDown(39);  // Right
  EXPECT_EQ(Scroll(), QPoint(quarterWidth, quarterHeight));
  window().EvKeyDown(40);  // Down: two units
  EXPECT_EQ(Scroll(), QPoint(quarterWidth, quarterHeight + 2));
  window().EvKeyDown(35);  // End: the bottom-right corner
  EXPECT_EQ(Scroll(), Ranges());
  window().EvKeyDown(36);  // Home
  EXPECT_EQ(Scroll(), QPoint(0, 0));
  EXPECT_EQ(window().History().Newest(), 5);
  window().EvKeyDown(38);  // Up at the top: the same view, nothing remembered
  EXPECT_EQ(window().History().Newest(), 5);
  window().EvKeyDown(48);  // neither a scrolling key nor a station key
  EXPECT_EQ(window().History().Newest(), 5);
  // A scroll the user makes with a bar is remembered too.
  window().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCoreApplication::processEvents();
  EXPECT_EQ(Scroll(), QPoint(0, 1));
  EXPECT_EQ(window().History().Newest(), 6);
}

TEST_F(LayoutWindowTest, AStationKeyCentresThatStation) {
  StartWith(WriteTerritory(190, 150));
  TerritoryBuilder builder(store());  // builds on an empty territory: add the track again
  builder.Block({.Name = "B0", .From = {2, 150}, .To = {190, 150}});
  builder.Station("Ashby", "A", {150, 120});
  builder.Finish();
  window().ComputeLayoutExtent();

  const int before = window().History().Newest();
  window().EvKeyDown('A');
  const layout::Cell centre = layout::StationCentre(store(), 0);
  const layout::Point expected =
      window().CurrentView().CentreOn(centre.Column, centre.Row, window().width(), window().height());
  EXPECT_EQ(Scroll(), QPoint(expected.X, expected.Y));
  EXPECT_NE(Scroll(), QPoint(0, 0));
  EXPECT_EQ(window().History().Newest(), before) << "a station key remembers no view";
  // The pointer sits on the station's cell.
  const layout::Point pointer = window().CurrentView().CursorOnCell(centre.Column, centre.Row);
  EXPECT_EQ(QCursor::pos(), window().viewport()->mapToGlobal(QPoint(pointer.X, pointer.Y)));

  // A letter no station uses changes nothing.
  const QPoint at = Scroll();
  window().EvKeyDown('Q');
  EXPECT_EQ(Scroll(), at);
}

TEST_F(LayoutWindowTest, EscapeDropsThePopUpAndClearsThePause) {
  StartWith((folder() / "none.trk").string());
  store().Run.SimPaused = 1;
  window().EvKeyDown(27);
  EXPECT_EQ(+store().Run.SimPaused, 0);

  window().PopupMenu = new QMenu(&window());
  store().Run.SimPaused = 1;
  window().EvKeyDown(27);
  EXPECT_TRUE(window().PopupMenu.isNull());
  EXPECT_EQ(+store().Run.SimPaused, 0);
}

TEST_F(LayoutWindowTest, AResetEmptiesTheListOfAnOpenAlertWindow) {
  store().Run.AlertLinesUsed = 3;
  window().ResetSimulationDisplay();
  EXPECT_EQ(shell.AlertWindowInvalidations, 0) << "no alert window";
  store().AlertWindowOpen = 1;
  window().ResetSimulationDisplay();
  EXPECT_EQ(store().Run.AlertLinesUsed, 0);
  EXPECT_EQ(shell.AlertWindowInvalidations, 1);
  EXPECT_EQ(shell.AlertScrollRanges, (std::vector<std::pair<int32_t, int32_t>>{{1240, 19}}));
}

TEST_F(LayoutWindowTest, PaintingDrawsTheBackgroundAndHandsTheRestToTheLayoutPainter) {
  int painted = 0;
  window().SetLayoutPainter([&](QPainter& painter, const QRect&) {
    ++painted;
    painter.fillRect(0, 0, 4, 4, Qt::red);
  });
  window().hide();  // paints only when grabbed
  window().SetupWindow();
  window().viewport()->grab();  // busy until the start-up message: background only
  EXPECT_EQ(painted, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(window().PaintsToSkip, 1);
  QImage first = window().viewport()->grab().toImage();  // the first paint after start-up is skipped
  EXPECT_EQ(painted, 0);
  EXPECT_EQ(first.pixel(1, 1), qRgb(255, 255, 255));
  QImage second = window().viewport()->grab().toImage();
  EXPECT_EQ(painted, 1);
  EXPECT_EQ(second.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(second.pixel(20, 20), qRgb(255, 255, 255));

  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  EXPECT_EQ(window().viewport()->grab().toImage().pixel(20, 20), qRgb(0, 0, 0));
}

TEST_F(LayoutWindowTest, ClassicDisplayOnAndOffAgainGivesThePicturesOfStartUp) {
  StartWith((folder() / "none.trk").string());
  const auto tiles = pictures_.TrackTileBitmap;
  const auto images = pictures_.TrackTileDib;
  OptionData options = store().GetOptionData();
  options.ClassicDisplay = 1;
  store().UpdateOptionData(options);
  window().ReloadDisplayResources();
  EXPECT_NE(pictures_.TrackTileBitmap, tiles);
  options.ClassicDisplay = 0;
  store().UpdateOptionData(options);
  window().ReloadDisplayResources();
  EXPECT_EQ(pictures_.TrackTileBitmap, tiles);
  EXPECT_EQ(pictures_.TrackTileDib, images);
}

TEST_F(LayoutWindowTest, ReleasingTheLeftButtonEndsADragAndTheCapture) {
  StartWith((folder() / "none.trk").string());
  for (const bool dragging : {true, false}) {
    window().Dragging = dragging ? 1 : 0;
    window().viewport()->grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), window().viewport());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), window().viewport()->mapToGlobal(QPointF(10, 10)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window().viewport(), &release);
    EXPECT_EQ(+window().Dragging, 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  }
}

TEST(LayoutWindowAppTest, TheFirstStartOpensTheDemonstrationTerritory) {
  EnsureQApplication();
  QTemporaryDir folder;
  {
    Corvane3Data writer;
    territory::BuildDemonstrationTerritory(writer);
    ASSERT_EQ(TrackFile(writer).Write(folder.filePath("default.trk").toStdString(), 0), 0);
  }
  FakeMessageService messages;
  auto app = std::make_unique<TCorvane3App>(QStringList{folder.filePath("corvane3")}, &messages);
  app->InitMainWindow();  // no option file: a first start
  TheStore = &app->Store();
  QCoreApplication::processEvents();
  EXPECT_EQ(FieldText(TheStore->TrackFilePath), folder.filePath("default.trk").toStdString());
  EXPECT_GT(TheStore->GetCountData().Words[kCountBlocks], 0);
  EXPECT_EQ(+TheStore->GetBlockData(0).InUse, 1);
  EXPECT_GT(TheLayoutWindow->LayoutExtentX, 2);
  // Its train types show the internal pictures, and it saves from the running program.
  const DisplayPictures& pictures = *app->Pictures();
  for (int k = 0; k < 3; ++k) {
    const int slot = TheStore->TrainTypeIcons[0][k];
    ASSERT_GE(slot, 0) << k;
    EXPECT_FALSE(pictures.TrainIconBitmap[slot].isNull()) << k;
  }
  EXPECT_EQ(TrackFile(*TheStore).Write(folder.filePath("saved.trk").toStdString(), 0), 0);
  EXPECT_TRUE(messages.Calls.empty());

  // A picture the territory carries is made into a display picture when it loads, with no file on disk.
  const QString loco = folder.filePath("loco.bmp");
  QImage image(32, 14, QImage::Format_RGB32);
  image.fill(Qt::green);
  ASSERT_TRUE(image.save(loco, "BMP"));
  TrainType type = TheStore->GetTrainType(0);
  SetFieldText(type.BitmapFiles[0], loco.toStdString());
  TheStore->UpdateTrainType(0, type);
  ASSERT_EQ(TrackFile(*TheStore).Write(folder.filePath("own.trk").toStdString(), 0), 0);
  QFile::remove(loco);
  ASSERT_EQ(TrackFile(*TheStore).Load(folder.filePath("own.trk").toStdString(), -1), 0);
  const int own = TheStore->TrainTypeIcons[0][0];
  ASSERT_GE(own, kInternalTrainIcons);
  ASSERT_FALSE(pictures.TrainIconBitmap[own].isNull());
  EXPECT_EQ(pictures.TrainIconBitmap[own].pixelColor(3, 3), QColor(Qt::green));
  EXPECT_FALSE(pictures.TrainIconBitmap[TheStore->TrainTypeIcons[0][1]].isNull());
  // Every station is reached by its shortcut key.
  int stations = 0;
  for (int i = 0; i < kMaxStations; ++i) {
    const StationData station = TheStore->GetStationData(i);
    if (station.InUse == 0) continue;
    ++stations;
    const std::string code = FieldText(station.ShortCode, sizeof station.ShortCode);
    ASSERT_EQ(code.size(), 1u) << FieldText(station.Name, sizeof station.Name);
    EXPECT_EQ(layout::FindStationForKey(*TheStore, code[0]), i) << code;
  }
  EXPECT_GE(stations, 2);
  app.reset();
}

TEST(LayoutWindowAppTest, TheTimersRunAndTheBlinkCounterRisesEvery500ms) {
  EnsureQApplication();
  QTemporaryDir folder;
  FakeMessageService messages;
  auto app = std::make_unique<TCorvane3App>(QStringList{folder.filePath("corvane3")}, &messages);
  app->InitMainWindow();
  TheStore = &app->Store();
  ASSERT_NE(TheLayoutWindow, nullptr);
  EXPECT_EQ(TheMainFrame->centralWidget(), TheLayoutWindow);
  QCoreApplication::processEvents();  // start-up
  EXPECT_EQ(TheMainFrame->Timers().Interval(res::TIMER_TICK), 100);
  EXPECT_EQ(TheMainFrame->Timers().Interval(res::TIMER_DISPLAY), 500);
  EXPECT_EQ(TheMainFrame->Timers().Interval(res::TIMER_BEEPS), 1100);
  // The internal train icons came with the empty territory.
  EXPECT_FALSE(app->Pictures()->TrainIconBitmap[20].isNull());
  EXPECT_EQ(FieldText(TheStore->GetTrainType(9).BitmapFiles[2]), "Blue Caboose (internal bitmap)");

  // Two expiries of the display timer raise the counter twice; the window's handler was connected
  // first, so it has run by the time this one sees the expiry.
  QTimer* display = TheMainFrame->Timers().Timer(res::TIMER_DISPLAY);
  ASSERT_NE(display, nullptr);
  const int32_t before = TheStore->Run.BlinkCounter;
  int expiries = 0;
  QEventLoop loop;
  QObject::connect(display, &QTimer::timeout, &loop, [&] {
    if (++expiries == 2) loop.quit();
  });
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // only a safety net for a timer that never fires
  loop.exec();
  ASSERT_EQ(expiries, 2);
  EXPECT_EQ(TheStore->Run.BlinkCounter - before, 2);

  // The zoom button reaches the window.
  EXPECT_TRUE(TheMainFrame->Commands().Dispatch(res::CM_TOGGLE_ZOOM));
  EXPECT_EQ(TheStore->ZoomDivisor, 2);
  app.reset();
}

}  // namespace
