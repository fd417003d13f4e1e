#include "shell/alert_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

#include "platform/command_registry.h"
#include "platform/fonts.h"
#include "resources/find_ids.h"
#include "resources/resource_ids.h"
#include "shell/alert_commands.h"
#include "shell/corvane3_window.h"
#include "shell/globals.h"
#include "store/corvane3_data.h"
#include "store/fixed_text.h"
#include "store/stop_status.h"

namespace {

constexpr int kScrollUnit = 38;  // pixels per scroll step, both ways
constexpr int kLineHeight = 19;
constexpr int kListWidth = 1240;
constexpr int kTextLeft = 8;
const QColor kLtBlue(0, 0, 255);

TCorvane3Frame* AlertWindow() { return dynamic_cast<TCorvane3Frame*>(TheAlertWindow.data()); }

}  // namespace

TCorvane3Frame::TCorvane3Frame(Corvane3Data& store, TCorvane3Window& layout, const QString& title)
    : QAbstractScrollArea(&layout), store_(store), layout_(layout) {
  setObjectName("TCorvane3Frame");
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setRange(0, 0);
    bar->setSingleStep(1);
  }
  QPalette white = viewport()->palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(white);
  viewport()->setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  resize(kListWidth / 2, 12 * kLineHeight);
  store_.AlertWindowOpen = 1;
}

TCorvane3Frame::~TCorvane3Frame() {
  // At the exit the store is going too: nothing is left to tell.
  if (ClosingDown) return;
  store_.AlertWindowOpen = 0;
  store_.Shell().InvalidateLayout(true);
}

void TCorvane3Frame::SetAlertScrollRange(int width, int height) {
  const int rangeX = (width - viewport()->width()) / kScrollUnit + 1;
  const int rangeY = (height - viewport()->height()) / kScrollUnit + 1;
  horizontalScrollBar()->setRange(0, std::max(rangeX, 0));
  verticalScrollBar()->setRange(0, std::max(rangeY, 0));
}

int TCorvane3Frame::LineAt(QPoint point) const {
  return (verticalScrollBar()->value() * kScrollUnit + point.y()) / kLineHeight;
}

void TCorvane3Frame::ScrollTo(int x, int y) {
  horizontalScrollBar()->setValue(x);  // the bars keep the positions within their ranges
  verticalScrollBar()->setValue(y);
}

void TCorvane3Frame::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  QFont font = FaceFont("Courier New");
  font.setPixelSize(16);
  font.setBold(true);
  painter.setFont(font);
  const RunState& run = store_.Run;
  const int dx = horizontalScrollBar()->value() * kScrollUnit;
  const int dy = verticalScrollBar()->value() * kScrollUnit;
  for (int i = 0; i < kAlertLines && run.AlertLines[i][0] != '\0'; ++i) {
    const QRect strip(kTextLeft - dx, kLineHeight * i - dy, kListWidth, kLineHeight);
    const bool shown = i == run.SelectedAlertLine;
    painter.fillRect(strip, shown ? kLtBlue : QColor(Qt::white));
    painter.setPen(shown ? QColor(Qt::white) : kLtBlue);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(FieldText(run.AlertLines[i].data(), run.AlertLines[i].size())));
  }
}

void TCorvane3Frame::EvSize() {
  const RunState& run = store_.Run;
  SetAlertScrollRange(kListWidth, (run.AlertLinesUsed + 1) * kLineHeight);
  if (run.SelectedAlertLine < 1) {
    ScrollTo(0, 0);
    return;
  }
  // The shown line in the middle of the window, as far as the list allows.
  const int y = std::max(run.SelectedAlertLine * kLineHeight - viewport()->height() / 2, 0);
  ScrollTo(0, y / kScrollUnit);
  viewport()->update();
}

void TCorvane3Frame::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  EvSize();
}

void TCorvane3Frame::InvalidateLine(int line) {
  viewport()->update(0, line * kLineHeight - verticalScrollBar()->value() * kScrollUnit, kListWidth, kLineHeight);
}

void TCorvane3Frame::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  RunState& run = store_.Run;
  const int line = LineAt(event->position().toPoint());
  if (line < 0 || line > run.AlertLinesUsed - 1 || line >= kAlertLines) return;
  PreviousLine = run.SelectedAlertLine;
  run.SelectedAlertLine = line;
  InvalidateLine(line);
  if (PreviousLine != -1) InvalidateLine(PreviousLine);
  store_.Shell().ShowStatusText(StatusPane::Alert, ShownAlertLine(store_));
}

void TCorvane3Frame::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  // The first click of the two has selected the line already.
  const int line = LineAt(event->position().toPoint());
  if (line < 0 || line > store_.Run.AlertLinesUsed - 1) return;
  showMinimized();
  CmGotoAlert(store_, layout_);
}

void TCorvane3Frame::keyPressEvent(QKeyEvent* event) {
  const int x = horizontalScrollBar()->value(), y = verticalScrollBar()->value();
  const int pageX = viewport()->width() / 4 / 32, pageY = viewport()->height() / 4 / 32;
  switch (event->key()) {
    case Qt::Key_PageUp:
      ScrollTo(x, y - pageY);
      break;
    case Qt::Key_PageDown:
      ScrollTo(x, y + pageY);
      break;
    case Qt::Key_End:
      ScrollTo(x + horizontalScrollBar()->maximum(), y + verticalScrollBar()->maximum());
      break;
    case Qt::Key_Home:
      ScrollTo(0, 0);
      break;
    case Qt::Key_Left:
      ScrollTo(x - pageX, y);
      break;
    case Qt::Key_Up:
      ScrollTo(x, y - 2);
      break;
    case Qt::Key_Right:
      ScrollTo(x + pageX, y);
      break;
    case Qt::Key_Down:
      ScrollTo(x, y + 2);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TCorvane3Frame::scrollContentsBy(int, int) { viewport()->update(); }

void CmDisplayAlertWindow(Corvane3Data& store, TCorvane3Window& layout) {
  TCorvane3Frame* window = store.AlertWindowOpen != 0 ? AlertWindow() : nullptr;
  if (!window) {
    window = new TCorvane3Frame(store, layout, res::kAlertWindowTitle);
    TheAlertWindow = window;
    window->showNormal();
    return;
  }
  window->showNormal();
  window->raise();
  window->activateWindow();
  window->viewport()->update();
}

void CmGotoAlert(Corvane3Data& store, TCorvane3Window& layout) {
  if (!CeGotoAlert(store)) return;
  const AlertTarget target = FindAlertTarget(store, ShownAlertLine(store));
  if (target.What == AlertTarget::Kind::Cell) {
    if (store.AlertWindowOpen != 0 && TheAlertWindow) TheAlertWindow->showMinimized();
    layout.ScrollToCell(target.At.Column, target.At.Row, 0);
  } else if (target.What == AlertTarget::Kind::TrainGone) {
    char text[120];
    std::snprintf(text, sizeof text, res::kAlertTrainGone, target.TrainId.c_str());
    StopStatusGuard hold(store);
    store.ShowMessage(text, MessageIcon::Error);
  }
}

void BindAlertWindowCommands(CommandRegistry& commands, Corvane3Data& store, TCorvane3Window& layout) {
  commands.SetHandler(res::CM_ALERT_WINDOW, [&store, &layout] { CmDisplayAlertWindow(store, layout); });
  commands.SetHandler(res::CM_GOTO_ALERT, [&store, &layout] { CmGotoAlert(store, layout); });
  commands.SetEnabler(res::CM_GOTO_ALERT, [&store] { return CeGotoAlert(store); });
}
