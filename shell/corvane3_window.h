// The track layout window: the scrolling client of the main frame. It loads
// the first territory at start-up, keeps the scroll ranges fitted to the
// layout, zooms, remembers views, takes the keyboard, receives the window
// timers and owns the run's engine. The cell arithmetic lives in layout_view;
// drawing a cell is the layout painter's, which plugs in through SetLayoutPainter.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <array>
#include <functional>

#include "engine/engine.h"
#include "engine/run_control.h"
#include "platform/popup_menu.h"
#include "shell/layout_image.h"
#include "shell/layout_painter.h"
#include "shell/layout_view.h"
#include "store/corvane3_data.h"

class DisplayPictures;

inline constexpr int kPopupTrainSlots = 5;

class TCorvane3Window : public QAbstractScrollArea, public DisplayService {
 public:
  TCorvane3Window(Corvane3Data& store, DisplayPictures& pictures, QWidget* parent = nullptr);
  ~TCorvane3Window() override;

  // Prepares the fields, font and palettes, empties the territory and posts the start-up message.
  void SetupWindow();
  // The start-up message: pictures, the first territory, the random seed, the display reset,
  // the layout extent and the three timers.
  void EvStartUp();
  // The window timers: every timer goes to the clock driver once one is set; without one,
  // timer 1 still raises the blink counter.
  void EvTimer(int timerId);
  void SetClockDriver(std::function<void(int timerId)> driver) { clockDriver_ = std::move(driver); }
  // Draws the layout into the update rectangle (window pixels) over the background.
  void SetLayoutPainter(std::function<void(QPainter&, const QRect&)> painter) { layoutPainter_ = std::move(painter); }
  // Shows the layout from a kept image instead: the window hands it the rectangles it invalidates and
  // copies the part in view. Takes the place of the layout painter function.
  void SetLayoutImage(LayoutImage* image) { layoutImage_ = image; }
  // The whole layout is painted again (the pictures, the display options or the territory changed).
  void RepaintLayout();

  // ---- extent, scroll ranges and zoom
  void SetScrollRanges(int widthPixels, int heightPixels, bool viewChange);
  void ComputeLayoutExtent();
  void CmToggleZoom();

  // ---- view operations
  void InvalidateCellRect(int column, int row, bool erase, int widthPixels, int heightPixels);
  void ScrollToCell(int column, int row, int unused = 0);
  bool IsCellVisible(int column, int row) const;
  void ScrollCellIntoView(int column, int row);
  void PlaceCursorOnCell(int column, int row);
  void ResetSimulationDisplay();
  void RememberView();
  void CmViewBack();
  void CmViewForward();
  bool CeViewBack() const { return history_.CanGoBack(); }
  bool CeViewForward() const { return history_.CanGoForward(); }
  void EraseBlockLabels(int block);
  void EraseAllBlockLabels();
  // A key code as the keyboard handler takes it (27 Escape, 33-40 paging and arrows, 49 and
  // above station shortcuts).
  void EvKeyDown(int key);

  // The view as the arithmetic sees it now: zoom, scroll position, ranges.
  layout::View CurrentView() const;
  // Scrolls to a position in units, kept within 0 and the ranges.
  void ScrollTo(int x, int y);
  const layout::ViewHistory& History() const { return history_; }
  QRgb BackgroundColour() const;

  // ---- DisplayService: the store's display routines paint through these
  ClientPoint ScrollPosition() override;
  void FillClientRect(int left, int top, int right, int bottom, uint32_t rgb) override;
  void InvalidateClientRect(int left, int top, int right, int bottom, bool erase) override;
  ClientPoint CursorPosition() override;
  void PostMouseMove(ClientPoint point) override;

  // ---- hover: the device under the pointer is framed and described, the edge zones pick
  // the scrolling pointer (point in viewport pixels)
  void EvMouseMove(QPoint point);
  void ShowTrainStatusLine(int slot);
  // What the painter needs of this window.
  LayoutPaintState PaintState() const;
  // The text the message field shows; the window writes it through this hook.
  void SetMessageSink(std::function<void(const QString&)> sink) { messageSink_ = std::move(sink); }

  // ---- the dispatcher's clicks and the pop-up menus' commands (layout_mouse.cpp); points in
  // viewport pixels
  void EvLButtonDown(QPoint point);
  void EvRButtonDown(QPoint point);
  // Drops the pending route and stack entrance selections and takes their marks off the signals.
  void ClearEntranceSelection();
  // A pop-up menu's command by its id, on the device of the last right click; an id whose
  // window is not built yet does nothing.
  void PopupCommand(int id);
  void CmPlatformTrains();
  // The CTC block permit dialog for a new permit on the pop-up's block.
  void CmIssueBlockPermit();
  void CmBlockProperties();
  void CmFleet();
  void CmEntranceSignal();
  void CmAddStackCommand();
  void CmFindBlockLeft();
  void CmFindBlockRight();
  void CmSwitchProperties();
  void CmCrewThrowSwitch();

  // ---- display option commands
  void CmClassicDisplay();
  void CmDisplayBlockLengths() { ToggleBlockLabel(ShowBlockLengths); }
  void CmDisplayBlockName() { ToggleBlockLabel(ShowBlockName); }
  void CmDisplayBlockSignalDirection() { ToggleBlockLabel(ShowSignalDirection); }
  void CmDisplayBlockSpeeds() { ToggleBlockLabel(ShowBlockSpeeds); }
  void CmDisplayLastAlert();
  void CmHelpMessages();
  void CmStackMessage();

  Engine& TheEngine() { return engine_; }
  // Start, Stop, the clock speed, the sound switch and the operating modes.
  RunControl& TheRunControl() { return runControl_; }
  DisplayPictures& Pictures() { return pictures_; }
  // Frees and rebuilds the display pictures in the present display style, then repaints
  // (a Classic Display change).
  void ReloadDisplayResources();

  // ---- fields other windows read and write (the run's flags live in the store's RunState)
  QList<QRgb> Palette16;
  QList<QRgb> Palette9;
  QFont LabelFont;
  int PopupTarget = -1;
  std::array<int, kPopupTrainSlots> PopupTrains{-1, -1, -1, -1, -1};
  int EdgeZone = 0;
  int ClickedColumn = -1;  // the cell of the last right click
  int ClickedRow = -1;
  int HighlightColumn = -1;
  int HighlightRow = -1;
  int DescribedDevice = -1;
  int LayoutExtentX = layout::kColumns;
  int LayoutExtentY = layout::kRows;
  int PaintsToSkip = 0;
  uint8_t ShowBlockName = 0;
  uint8_t ShowBlockLengths = 0;
  uint8_t ShowSignalDirection = 0;
  uint8_t ShowBlockSpeeds = 0;
  uint8_t PaintedOnce = 0;
  uint8_t Dragging = 0;
  // The first territory was named on the command line: its refusal is shown. The remembered
  // territory of the last run fails silently to an empty one.
  bool ReportFirstLoad = false;
  QPointer<QMenu> PopupMenu;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void RecordView();
  void EvSize();
  void ApplySavedView(const layout::SavedView& view);
  void SetZoom(int zoom);
  void ToggleBlockLabel(uint8_t& flag);
  void RemoveHighlight();
  void EndFlash(int device);
  void ShowMessage(const QString& text);
  void DropPopupMenu();
  void ShowPopup(const std::vector<PopupItem>& items, QPoint point);
  void ScrollAtEdge(QPoint point);
  void JumpToLinkedBlock(int block, bool left);

  Corvane3Data& store_;
  DisplayPictures& pictures_;
  Engine engine_;
  RunControl runControl_{engine_};
  layout::ViewHistory history_;
  std::function<void(int)> clockDriver_;
  std::function<void(QPainter&, const QRect&)> layoutPainter_;
  LayoutImage* layoutImage_ = nullptr;
  std::function<void(const QString&)> messageSink_;
};

// The pointer of an edge zone (1-6) in a display style; the system arrow for zone 0.
QCursor EdgeCursor(int zone, bool classic);

// Key code of a key press as the keyboard handler numbers keys; 0 for a key it does not take.
int LayoutKeyCode(int qtKey);
