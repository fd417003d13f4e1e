#include "shell/corvane3_window.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "platform/post_message.h"
#include "resources/resource_ids.h"
#include "shell/display_pictures.h"
#include "shell/layout_hover.h"
#include "store/device_numbers.h"
#include "store/file_results.h"
#include "store/fixed_text.h"
#include "store/playback_format.h"
#include "store/status_codes.h"
#include "store/track_file.h"
#include "store/wall_clock.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr const char* kEmptyTerritoryName = "default.trk";

QRect ToQRect(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

int LayoutKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape:
      return layout::kKeyEscape;
    case Qt::Key_PageUp:
      return layout::kKeyPageUp;
    case Qt::Key_PageDown:
      return layout::kKeyPageDown;
    case Qt::Key_End:
      return layout::kKeyEnd;
    case Qt::Key_Home:
      return layout::kKeyHome;
    case Qt::Key_Left:
      return layout::kKeyLeft;
    case Qt::Key_Up:
      return layout::kKeyUp;
    case Qt::Key_Right:
      return layout::kKeyRight;
    case Qt::Key_Down:
      return layout::kKeyDown;
    default:
      break;
  }
  // Letters arrive as capitals, digits and other printable keys as their own character.
  return qtKey > 0x20 && qtKey < 0x100 ? qtKey : 0;
}

TCorvane3Window::TCorvane3Window(Corvane3Data& store, DisplayPictures& pictures, QWidget* parent)
    : QAbstractScrollArea(parent), store_(store), pictures_(pictures), engine_(store) {
  setObjectName("TCorvane3Window");
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    // A scroll the user makes is remembered once the bar has moved.
    connect(
        bar, &QScrollBar::actionTriggered, this, [this](int) { RememberView(); }, Qt::QueuedConnection);
  }
  store_.Run.Loading = 1;
  PaintedOnce = 0;
  viewport()->setMouseTracking(true);
}

TCorvane3Window::~TCorvane3Window() {
  delete PopupMenu.data();
  if (&store_.Display() == this) store_.SetDisplayService(nullptr);
}

void TCorvane3Window::SetupWindow() {
  RunState& run = store_.Run;
  Dragging = 0;
  for (auto& line : run.AlertLines) line.fill('\0');
  delete PopupMenu.data();

  run.PendingRouteEntrance = -1;
  run.PendingStackEntrance = -1;
  run.LastSpeed = -1;
  run.SelectedTrain = -1;
  DescribedDevice = -1;
  PaintsToSkip = 0;

  run.AwaitingStart = 1;
  run.ExtentPending = 1;
  ShowBlockName = ShowBlockLengths = ShowSignalDirection = ShowBlockSpeeds = 0;
  run.BrowsingAlerts = 0;

  store_.ZoomDivisor = 1;
  store_.InitTerritoryData();
  LayoutExtentX = layout::kColumns;
  LayoutExtentY = layout::kRows;

  LabelFont = LayoutLabelFont();

  RepaintLayout();  // the background follows Classic Display
  run.Loading = 1;

  const QList<QRgb> colours = {kWhite,     kBlack,     0xFF00FF00, 0xFFFF0000, 0xFF0000FF, 0xFF00FFFF,
                               0xFFFF00FF, 0xFFFFFF00, 0xFF808080, 0xFFC0C0C0, 0xFF800000, 0xFF008000,
                               0xFF000080, 0xFF808000, 0xFF800080, 0xFF008080};
  Palette16 = colours;
  Palette9 = colours.mid(0, 9);

  PostMessage(this, [this] { EvStartUp(); });
}

void TCorvane3Window::EvStartUp() {
  RunState& run = store_.Run;
  pictures_.LoadDisplayResources(store_.GetOptionData().ClassicDisplay != 0);

  // The territory settings file is not written while the first territory loads.
  store_.NoTerritorySettings = 1;
  if (TrackFile(store_).Load(FieldText(store_.TrackFilePath), ReportFirstLoad ? 0 : -1) != file_result::kDone) {
    SetFieldText(store_.TrackFilePath, kEmptyTerritoryName);
    store_.InitTerritoryData();
  }
  store_.NoTerritorySettings = 0;

  const auto now = static_cast<uint32_t>(WallClockNow());
  engine_.Random().Seed(now);
  run.RandomAccumulator = static_cast<int32_t>(now + static_cast<uint32_t>(engine_.Random().Next(9999)));
  run.RunOverShown = 0;

  store_.InitSimulationStatus();
  ResetSimulationDisplay();
  store_.Shell().ShowTrackFileName();
  ComputeLayoutExtent();

  store_.Shell().SetTimer(res::TIMER_TICK, 100);
  store_.Shell().SetTimer(res::TIMER_DISPLAY, 500);
  store_.Shell().SetTimer(res::TIMER_BEEPS, 1100);

  run.Loading = 0;
  PaintsToSkip = 1;
  activateWindow();
  setFocus();
  RecordView();
}

void TCorvane3Window::EvTimer(int timerId) {
  if (clockDriver_) {
    clockDriver_(timerId);
    return;
  }
  // Without a driver the display still blinks.
  if (timerId == res::TIMER_DISPLAY) {
    ++store_.Run.BlinkCounter;
    store_.Interface().CTCBlinkPendingSwitches();
  }
}

void TCorvane3Window::ReloadDisplayResources() {
  pictures_.FreeDisplayResources();
  pictures_.LoadDisplayResources(store_.GetOptionData().ClassicDisplay != 0);
  RepaintLayout();
}

QRgb TCorvane3Window::BackgroundColour() const { return store_.GetOptionData().ClassicDisplay != 0 ? kBlack : kWhite; }

layout::View TCorvane3Window::CurrentView() const {
  layout::View view;
  view.Zoom = store_.ZoomDivisor == 2 ? 2 : 1;
  view.ScrollX = horizontalScrollBar()->value();
  view.ScrollY = verticalScrollBar()->value();
  view.RangeX = horizontalScrollBar()->maximum();
  view.RangeY = verticalScrollBar()->maximum();
  return view;
}

void TCorvane3Window::ScrollTo(int x, int y) {
  const layout::Point p = CurrentView().Clamp(x, y);
  horizontalScrollBar()->setValue(p.X);
  verticalScrollBar()->setValue(p.Y);
}

void TCorvane3Window::SetScrollRanges(int widthPixels, int heightPixels, bool viewChange) {
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  const layout::Point ranges =
      layout::ComputeScrollRanges(widthPixels, heightPixels, width(), height(), h->maximum(), v->maximum());
  if (viewChange && (ranges.X < h->value() || ranges.Y < v->value())) PaintsToSkip = 1;
  h->setRange(0, ranges.X);
  v->setRange(0, ranges.Y);
  h->setPageStep(std::max(1, viewport()->width() / layout::kScrollUnit));
  v->setPageStep(std::max(1, viewport()->height() / layout::kScrollUnit));
}

void TCorvane3Window::ComputeLayoutExtent() {
  const layout::Cell extent = layout::ComputeLayoutExtent(store_);
  LayoutExtentX = extent.Column;
  LayoutExtentY = extent.Row;
  const int zoom = CurrentView().Zoom;
  SetScrollRanges((LayoutExtentX + 1) * layout::kCellPixels / zoom, (LayoutExtentY + 1) * layout::kCellPixels / zoom,
                  false);
}

void TCorvane3Window::EvSize() {
  const int zoom = CurrentView().Zoom;
  SetScrollRanges(LayoutExtentX * layout::kCellPixels / zoom, LayoutExtentY * layout::kCellPixels / zoom, false);
}

void TCorvane3Window::SetZoom(int zoom) {
  if (store_.ZoomDivisor == zoom) return;
  store_.ZoomDivisor = zoom;
  store_.Shell().SwapZoomButtons();
  SetScrollRanges((LayoutExtentX + 1) * layout::kCellPixels / zoom, (LayoutExtentY + 1) * layout::kCellPixels / zoom,
                  true);
}

void TCorvane3Window::CmToggleZoom() {
  SetZoom(store_.ZoomDivisor == 1 ? 2 : 1);
  RememberView();
  RepaintLayout();
}

void TCorvane3Window::InvalidateCellRect(int column, int row, bool, int widthPixels, int heightPixels) {
  const layout::Rect r = CurrentView().CellRect(column, row, widthPixels, heightPixels);
  // A block's label strip below its track reaches a few pixels past the cells asked for: without
  // them a label that appears or goes when the block's state changes is left half drawn.
  constexpr int kStripReach = 4;
  InvalidateClientRect(r.Left - kStripReach, r.Top - kStripReach, r.Right + kStripReach, r.Bottom + kStripReach, false);
}

void TCorvane3Window::RepaintLayout() {
  if (layoutImage_) layoutImage_->InvalidateAll();
  viewport()->update();
}

void TCorvane3Window::ScrollToCell(int column, int row, int) {
  const layout::Point target = CurrentView().CentreOn(column, row, width(), height());
  ScrollTo(target.X, target.Y);
  PlaceCursorOnCell(column, row);
}

bool TCorvane3Window::IsCellVisible(int column, int row) const {
  return CurrentView().IsCellVisible(column, row, viewport()->width(), viewport()->height());
}

void TCorvane3Window::ScrollCellIntoView(int column, int row) {
  const layout::Point target = CurrentView().CentreOn(column, row, viewport()->width(), viewport()->height());
  ScrollTo(target.X, target.Y);
}

void TCorvane3Window::PlaceCursorOnCell(int column, int row) {
  const layout::Point p = CurrentView().CursorOnCell(column, row);
  QCursor::setPos(viewport()->mapToGlobal(QPoint(p.X, p.Y)));
}

void TCorvane3Window::ResetSimulationDisplay() {
  RunState& run = store_.Run;
  run.ClockSpeed = 20;
  store_.Shell().ShowStatusText(StatusPane::Speed, "20");
  if (store_.GetOptionData().CTCControlOn == 1) store_.Shell().ShowStatusText(StatusPane::Speed, "");
  run.RunEnded = 0;
  run.SimPaused = 0;
  run.SimStopped = 1;
  run.RunStarted = 0;
  run.SelectedDevice = -1;
  store_.ResetSimClock();
  for (auto& line : run.AlertLines) line.fill('\0');
  run.AlertLinesUsed = 0;
  run.SelectedAlertLine = 0;
  run.AlertCounter = 0;
  run.HighestAlertViewed = 0;
  // An open alert window shows the emptied list.
  if (store_.AlertWindowOpen != 0) {
    store_.Shell().SetAlertScrollRange(1240, 19);
    store_.Shell().InvalidateAlertWindow();
  }
  history_.Clear();
  run.ViewHistory = {0, 0};
}

void TCorvane3Window::RecordView() {
  const layout::View view = CurrentView();
  PlaybackView record{};
  record.ScrollX = view.ScrollX;
  record.ScrollY = view.ScrollY;
  record.ZoomDivisor = static_cast<uint8_t>(view.Zoom);
  record.ClassicDisplay = store_.GetOptionData().ClassicDisplay;
  store_.RecordPlayback(PlaybackKind::View, -1, &record, sizeof record);
}

void TCorvane3Window::RememberView() {
  const layout::View view = CurrentView();
  const layout::SavedView saved{static_cast<int16_t>(view.Zoom), static_cast<int16_t>(view.ScrollX),
                                static_cast<int16_t>(view.ScrollY)};
  const bool added = history_.Remember(saved);
  store_.Run.ViewHistory = {history_.Newest(), history_.Current()};
  if (added) RecordView();
}

void TCorvane3Window::ApplySavedView(const layout::SavedView& view) {
  SetZoom(view.Zoom == 2 ? 2 : 1);
  ScrollTo(view.ScrollX, view.ScrollY);
  store_.Run.ViewHistory = {history_.Newest(), history_.Current()};
  PaintsToSkip = 1;
  viewport()->update();
}

void TCorvane3Window::CmViewBack() {
  if (auto view = history_.Back()) ApplySavedView(*view);
}

void TCorvane3Window::CmViewForward() {
  if (auto view = history_.Forward()) ApplySavedView(*view);
}

void TCorvane3Window::EraseBlockLabels(int block) {
  if (block < 0 || block >= kMaxBlocks) return;
  const BlockStatus status = store_.GetBlockStatus(block);
  if (status.InUse == 0 || store_.GetBlockData(block).PassThrough == 1) return;
  const auto strips =
      layout::BlockLabelStrips(CurrentView(), status.LeftLabelX, status.LeftLabelY, status.LabelFirstRight,
                               status.LabelSecondLeft, status.RightLabelX, status.RightLabelY);
  const uint32_t background = BackgroundColour() & 0xFFFFFF;
  for (const layout::Rect& r : strips) FillClientRect(r.Left, r.Top, r.Right, r.Bottom, background);
}

void TCorvane3Window::EraseAllBlockLabels() {
  const int blocks = std::clamp(store_.GetCountData().Words[kCountBlocks], 0, kMaxBlocks);
  for (int i = 0; i < blocks; ++i) {
    if (store_.GetBlockStatus(i).Occupancy == occupancy::kFree) EraseBlockLabels(i);
  }
}

void TCorvane3Window::EvKeyDown(int key) {
  if (key == layout::kKeyEscape) {
    delete PopupMenu.data();
    engine_.ClearStopStatus();
    return;
  }
  if (key >= layout::kFirstStationKey) {
    const int station = layout::FindStationForKey(store_, key);
    if (station >= 0) {
      const layout::Cell centre = layout::StationCentre(store_, station);
      ScrollToCell(centre.Column, centre.Row, 0);
    }
    return;
  }
  const auto target = layout::KeyScrollTarget(key, CurrentView(), viewport()->width(), viewport()->height());
  if (!target) return;
  ScrollTo(target->X, target->Y);
  RememberView();
  store_.RefreshCursor();
}

ClientPoint TCorvane3Window::ScrollPosition() { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

// Painting is retained: every paint fills the background first and draws the store's present
// state over it, so a rectangle "painted at once" in the background colour is a repaint of it.
void TCorvane3Window::FillClientRect(int left, int top, int right, int bottom, uint32_t) {
  InvalidateClientRect(left, top, right, bottom, true);
}

void TCorvane3Window::InvalidateClientRect(int left, int top, int right, int bottom, bool) {
  if (right <= left || bottom <= top) return;
  const QRect r = ToQRect(left, top, right, bottom);
  // The kept image takes the change wherever it lies, in view or not; the window repaints only what it shows.
  if (layoutImage_) {
    const layout::View view = CurrentView();
    layoutImage_->Invalidate(r.translated(view.ScrollX * layout::kScrollUnit, view.ScrollY * layout::kScrollUnit));
  }
  const QRect shown = r.intersected(viewport()->rect());
  if (!shown.isEmpty()) viewport()->update(shown);
}

ClientPoint TCorvane3Window::CursorPosition() {
  const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
  return {p.x(), p.y()};
}

void TCorvane3Window::PostMouseMove(ClientPoint point) {
  const QPointF local(point.X, point.Y);
  QCoreApplication::postEvent(viewport(),
                              new QMouseEvent(QEvent::MouseMove, local, viewport()->mapToGlobal(local), Qt::NoButton,
                                              QApplication::mouseButtons(), QApplication::keyboardModifiers()));
}

void TCorvane3Window::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  PaintedOnce = 1;
  const bool skip = PaintsToSkip > 0 && !store_.Run.Loading;
  if (store_.Run.Loading || skip || !layoutImage_) painter.fillRect(event->rect(), QColor::fromRgb(BackgroundColour()));
  if (store_.Run.Loading) return;
  if (skip) {
    // The skipped paint comes again once the view has settled, so nothing stays half drawn.
    --PaintsToSkip;
    viewport()->update();
    return;
  }
  if (layoutImage_) {
    // The kept image covers the grid; only what lies beyond it is filled with the background.
    const layout::View view = CurrentView();
    const QPoint origin(view.ScrollX * layout::kScrollUnit, view.ScrollY * layout::kScrollUnit);
    const QImage& kept = layoutImage_->Update(PaintState(), BackgroundColour(), store_.ZoomDivisor);
    const QRect shown = event->rect().intersected(kept.rect().translated(-origin));
    for (const QRect& r : QRegion(event->rect()).subtracted(QRegion(shown)))
      painter.fillRect(r, QColor::fromRgb(BackgroundColour()));
    if (!shown.isEmpty()) painter.drawImage(shown, kept, shown.translated(origin));
  } else if (layoutPainter_) {
    layoutPainter_(painter, event->rect());
  }
}

void TCorvane3Window::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  EvSize();
}

void TCorvane3Window::keyPressEvent(QKeyEvent* event) {
  const int code = LayoutKeyCode(event->key());
  if (code == 0) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  EvKeyDown(code);
  event->accept();
}

void TCorvane3Window::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Dragging = 0;
    QWidget* grabber = QWidget::mouseGrabber();
    if (grabber == this || grabber == viewport()) grabber->releaseMouse();
  }
  event->accept();
}

void TCorvane3Window::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TCorvane3Window::scrollContentsBy(int, int) { viewport()->update(); }

// ---------------------------------------------------------------- hover

LayoutPaintState TCorvane3Window::PaintState() const {
  LayoutPaintState state;
  state.ExtentX = LayoutExtentX;
  state.ExtentY = LayoutExtentY;
  state.HighlightedDevice = store_.Run.HighlightedDevice;
  state.HighlightColumn = HighlightColumn;
  state.HighlightRow = HighlightRow;
  state.ShowBlockName = ShowBlockName;
  state.ShowBlockLengths = ShowBlockLengths;
  state.ShowSignalDirection = ShowSignalDirection;
  state.ShowBlockSpeeds = ShowBlockSpeeds;
  state.LabelFont = LabelFont;
  return state;
}

void TCorvane3Window::ShowMessage(const QString& text) {
  if (messageSink_) messageSink_(text);
}

bool TCorvane3Window::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::MouseMove) EvMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
  if (event->type() == QEvent::MouseButtonPress) {
    auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::LeftButton) EvLButtonDown(press->position().toPoint());
    if (press->button() == Qt::RightButton) EvRButtonDown(press->position().toPoint());
    if (press->button() == Qt::LeftButton || press->button() == Qt::RightButton) return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TCorvane3Window::RemoveHighlight() {
  RunState& run = store_.Run;
  if (run.HighlightedDevice == -1) return;
  // Painting is retained: the repaint of the cells without the highlight is the erase.
  InvalidateCellRect(HighlightColumn - 1, HighlightRow - 1, false, 48, 48);
  run.HighlightedDevice = -1;
  HighlightColumn = HighlightRow = -1;
}

void TCorvane3Window::EndFlash(int device) {
  RunState& run = store_.Run;
  const int flashing = run.SelectedDevice;
  if (device == DescribedDevice || flashing == -1) return;
  bool ended = true;
  if (device::IsBlock(flashing)) {
    BlockStatus s = store_.GetBlockStatus(flashing);
    s.Highlight = s.Highlight2 = 0;
    store_.UpdateBlockStatus(flashing, s);
  } else if (device::IsSwitch(flashing)) {
    SwitchStatus s = store_.GetSwitchStatus(device::SwitchIndex(flashing));
    s.Highlight = s.Highlight2 = 0;
    store_.UpdateSwitchStatus(device::SwitchIndex(flashing), s);
  } else if (device::IsSignal(flashing)) {
    if (run.PendingRouteEntrance == -1 && run.PendingStackEntrance == -1) {
      SignalStatus s = store_.GetSignalStatus(device::SignalIndex(flashing));
      s.Highlight = s.Highlight2 = 0;
      store_.UpdateSignalStatus(device::SignalIndex(flashing), s);
    }
  } else if (device::IsDiamond(flashing)) {
    CrossStatus s = store_.GetCrossStatus(device::DiamondIndex(flashing));
    s.Highlight = s.Highlight2 = 0;
    store_.UpdateCrossStatus(device::DiamondIndex(flashing), s);
  } else {
    ended = false;
  }
  if (!ended) return;
  store_.InvalidateDevice(flashing, 0, 1);
  run.SelectedDevice = -1;
}

void TCorvane3Window::EvMouseMove(QPoint point) {
  RunState& run = store_.Run;
  run.BrowsingAlerts = 0;
  if (run.Loading) return;
  const layout::View view = CurrentView();
  const std::optional<layout::Cell> cell = view.WindowToCell(point.x(), point.y());
  if (!cell) {
    RemoveHighlight();
    return;
  }
  const int column = cell->Column, row = cell->Row;
  const int device = hover::DeviceAt(store_, column, row);
  EndFlash(device);

  if (device == -1) {
    RemoveHighlight();
    DescribedDevice = -1;
    run.SelectedTrain = -1;
    if (run.AlertLinesUsed != 0 && run.SelectedAlertLine >= 0 && run.SelectedAlertLine < kAlertLines)
      ShowMessage(QString::fromStdString(
          FieldText(run.AlertLines[run.SelectedAlertLine].data(), run.AlertLines[run.SelectedAlertLine].size())));
    else
      ShowMessage("");
    const QRect area = viewport()->rect();
    EdgeZone = hover::EdgeZone(point.x(), point.y(), {area.left(), area.top(), area.right(), area.bottom()},
                               view.ScrollX, view.ScrollY, view.RangeX, view.RangeY);
    viewport()->setCursor(EdgeCursor(EdgeZone, store_.GetOptionData().ClassicDisplay != 0));
    return;
  }

  EdgeZone = 0;
  viewport()->setCursor(EdgeCursor(0, false));
  if (device != run.HighlightedDevice) {
    RemoveHighlight();
    run.HighlightedDevice = device;
    HighlightColumn = column;
    HighlightRow = row;
    InvalidateCellRect(column - 1, row - 1, false, 48, 48);
  }
  if (device == DescribedDevice && run.SelectedTrain != -1) {
    ShowTrainStatusLine(run.SelectedTrain);
    return;
  }
  if (device != DescribedDevice) {
    DescribedDevice = device;
    run.SelectedTrain = -1;
    ShowMessage("");
  }
  const bool awaiting = run.AwaitingStart == 1;
  if (device >= device::kLocationPlaceBase && device < device::kLocationPlaceBase + kMaxLocations) {
    ShowMessage(QString::fromStdString(hover::DescribeLocation(store_, device - device::kLocationPlaceBase, awaiting)));
  } else if (device::IsBlock(device)) {
    const int train = hover::TrainShownByBlock(store_, device);
    if (train >= 0 && train < kMaxTrainStatus) {
      run.SelectedTrain = train;
      ShowTrainStatusLine(train);
    } else {
      ShowMessage(QString::fromStdString(hover::DescribeBlock(store_, device)));
    }
  } else if (device::IsSwitch(device)) {
    ShowMessage(QString::fromStdString(hover::DescribeSwitch(store_, device::SwitchIndex(device))));
  } else if (device::IsDiamond(device)) {
    ShowMessage(QString::fromStdString(hover::DescribeDiamond(store_, device::DiamondIndex(device))));
  } else if (device::IsSignal(device)) {
    const int signal = device::SignalIndex(device);
    auto drop = [&](int32_t& selection) {
      if (selection != signal) return;
      selection = -1;
      SignalStatus s = store_.GetSignalStatus(signal);
      s.Highlight = s.Highlight2 = 0;
      store_.UpdateSignalStatus(signal, s);
      store_.InvalidateDevice(device, 0, 1);
      run.SelectedDevice = -1;
    };
    drop(run.PendingRouteEntrance);
    drop(run.PendingStackEntrance);
    ShowMessage(QString::fromStdString(hover::DescribeSignal(store_, signal)));
  }
}

void TCorvane3Window::ShowTrainStatusLine(int slot) {
  if (slot < 0 || slot >= kMaxTrainStatus) return;
  std::string line;
  if (hover::TrainStatusLine(store_, slot, line)) ShowMessage(QString::fromStdString(line));
}

// ---------------------------------------------------------------- display options

void TCorvane3Window::CmClassicDisplay() {
  OptionData options = store_.GetOptionData();
  options.ClassicDisplay = options.ClassicDisplay == 0 ? 1 : 0;
  store_.UpdateOptionData(options);
  store_.Shell().CheckMenuItem(res::CM_CLASSIC_DISPLAY, options.ClassicDisplay != 0);
  pictures_.FreeDisplayResources();
  pictures_.LoadDisplayResources(options.ClassicDisplay != 0);
  EraseAllBlockLabels();
  RecordView();
  RepaintLayout();
}

void TCorvane3Window::ToggleBlockLabel(uint8_t& flag) {
  const std::pair<uint8_t*, int> items[] = {{&ShowBlockName, res::CM_BLOCK_NAME},
                                            {&ShowBlockLengths, res::CM_BLOCK_LENGTHS},
                                            {&ShowSignalDirection, res::CM_BLOCK_SIGNAL_DIRECTION},
                                            {&ShowBlockSpeeds, res::CM_BLOCK_SPEEDS}};
  const bool on = flag == 0;
  for (const auto& [item, id] : items) {
    if (item == &flag || on) {
      *item = item == &flag && on ? 1 : 0;
      store_.Shell().CheckMenuItem(id, *item != 0);
    }
  }
  EraseAllBlockLabels();
  RepaintLayout();
}

namespace {
void ToggleOption(Corvane3Data& store, uint8_t OptionData::*field, int commandId) {
  OptionData options = store.GetOptionData();
  options.*field = options.*field == 0 ? 1 : 0;
  store.Shell().CheckMenuItem(commandId, options.*field != 0);
  store.UpdateOptionData(options);
}
}  // namespace

void TCorvane3Window::CmDisplayLastAlert() {
  ToggleOption(store_, &OptionData::DisplayLastAlert, res::CM_DISPLAY_LAST_ALERT);
}
void TCorvane3Window::CmHelpMessages() { ToggleOption(store_, &OptionData::HelpMessagesOn, res::CM_HELP_MESSAGES); }
void TCorvane3Window::CmStackMessage() { ToggleOption(store_, &OptionData::StackMessage, res::CM_STACK_MESSAGE); }

// ---------------------------------------------------------------- edge pointers

QCursor EdgeCursor(int zone, bool classic) {
  if (zone < 1 || zone > 6) return QCursor(Qt::ArrowCursor);
  // Shapes drawn once per zone: a shaft with an arrow head pointing the way a click scrolls.
  struct Shape {
    QPoint Tip, Tail;
    QPoint HotSpot;
  };
  static const Shape shapes[7] = {{},
                                  {{2, 16}, {28, 16}, {7, 16}},   // left
                                  {{29, 15}, {3, 15}, {24, 15}},  // right
                                  {{15, 29}, {15, 3}, {15, 24}},  // bottom: down
                                  {{15, 2}, {15, 28}, {15, 7}},   // top: up
                                  {{2, 29}, {29, 2}, {0, 13}},    // right end: down and left
                                  {{29, 2}, {2, 29}, {31, 0}}};   // left end: up and right
  const Shape& shape = shapes[zone];
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = classic ? Qt::white : Qt::black;
    const QColor edge = classic ? Qt::black : Qt::white;
    const QLineF line(shape.Tip, shape.Tail);
    const QLineF unit = line.unitVector();
    const QPointF d = unit.p2() - unit.p1();
    const QPointF n(-d.y(), d.x());
    const QPointF base = QPointF(shape.Tip) + d * 10;
    const QPolygonF head({QPointF(shape.Tip), base + n * 7, base - n * 7});
    for (const auto& [colour, width] : {std::pair{edge, 5}, std::pair{ink, 3}}) {
      p.setPen(QPen(colour, width));
      p.setBrush(colour);
      p.drawLine(base, QPointF(shape.Tail));
      p.drawPolygon(head);
    }
  }
  return QCursor(pixmap, shape.HotSpot.x(), shape.HotSpot.y());
}
