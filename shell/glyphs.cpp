#include "shell/glyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kSize = 20;

void Triangle(QPainter& p, qreal x, bool right) {
  QPolygonF shape;
  if (right) {
    shape << QPointF(x, 4) << QPointF(x + 7, 10) << QPointF(x, 16);
  } else {
    shape << QPointF(x + 7, 4) << QPointF(x, 10) << QPointF(x + 7, 16);
  }
  p.drawPolygon(shape);
}

void Speaker(QPainter& p) {
  QPolygonF body;
  body << QPointF(3, 8) << QPointF(6, 8) << QPointF(10, 4) << QPointF(10, 16) << QPointF(6, 12) << QPointF(3, 12);
  p.drawPolygon(body);
}

void Magnifier(QPainter& p, bool plus) {
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(8, 8), 5, 5);
  p.drawLine(QPointF(12, 12), QPointF(17, 17));
  p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
  if (plus) p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
}

void Arrow(QPainter& p, int dx, int dy) {
  QPolygonF head;
  if (dx) {
    const qreal tip = dx > 0 ? 17 : 3, base = dx > 0 ? 11 : 9;
    p.drawLine(QPointF(3, 10), QPointF(17, 10));
    head << QPointF(tip, 10) << QPointF(base, 5) << QPointF(base, 15);
  } else {
    const qreal tip = dy > 0 ? 17 : 3, base = dy > 0 ? 11 : 9;
    p.drawLine(QPointF(10, 3), QPointF(10, 17));
    head << QPointF(10, tip) << QPointF(5, base) << QPointF(15, base);
  }
  p.drawPolygon(head);
}

}  // namespace

QIcon Glyph(int resource) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(Qt::black);
  switch (resource) {
    case 38:
      p.fillRect(QRectF(5, 5, 10, 10), Qt::darkRed);
      break;  // stop
    case 40:
      p.setBrush(Qt::darkGreen);
      Triangle(p, 6, true);
      break;  // start
    case 37:
      Triangle(p, 3, true);
      Triangle(p, 10, true);
      break;  // faster
    case 41:
      Triangle(p, 3, false);
      Triangle(p, 10, false);
      break;  // slower
    case 34:  // sound on
      Speaker(p);
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(8, 5, 8, 10), -60 * 16, 120 * 16);
      break;
    case 33:  // sound off
      Speaker(p);
      p.drawLine(QPointF(12, 7), QPointF(17, 13));
      p.drawLine(QPointF(17, 7), QPointF(12, 13));
      break;
    case 56:
      Arrow(p, 0, -1);
      break;  // previous alert line
    case 57:
      Arrow(p, 0, 1);
      break;  // next alert line
    case 44:  // go to the alert's object
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(10, 10), 6, 6);
      p.setBrush(Qt::red);
      p.drawEllipse(QPointF(10, 10), 2, 2);
      break;
    case 93:  // Zoom Out: shown at full size, halves the layout
      Magnifier(p, false);
      break;
    case 45:  // Zoom In: shown at half size
      Magnifier(p, true);
      break;
    case 91:
      Arrow(p, -1, 0);
      break;  // back
    case 92:
      Arrow(p, 1, 0);
      break;  // forward
    default:
      break;
  }
  return QIcon(pixmap);
}

QIcon ProgramIcon() {
  // A signal head: two lamps on a mast.
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(14, 20, 4, 11), Qt::darkGray);
  p.setBrush(Qt::black);
  p.drawRoundedRect(QRectF(9, 1, 14, 22), 4, 4);
  p.setBrush(Qt::red);
  p.drawEllipse(QPointF(16, 7), 4, 4);
  p.setBrush(Qt::green);
  p.drawEllipse(QPointF(16, 17), 4, 4);
  return QIcon(pixmap);
}
