#include "platform/bar_fields.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>

TextGadget::TextGadget(const QString& name, int widthChars, Qt::Alignment alignment, QWidget* parent)
    : QLabel(parent), widthChars_(widthChars) {
  setObjectName(name);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(alignment | Qt::AlignVCenter);
  setTextFormat(Qt::PlainText);
  FitWidth();
}

void TextGadget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) FitWidth();
  QLabel::changeEvent(event);
}

void TextGadget::FitWidth() {
  // A long field (the message line) may give way on a narrow screen; the short ones keep their width.
  const QFontMetrics metrics(font());
  const int chars = metrics.averageCharWidth();
  const int width = chars * widthChars_ + 2 * frameWidth() + 4;
  setMaximumWidth(width);
  setMinimumWidth(std::min(width, chars * 80));
  resize(width, height());
}

int MessageBarPointSize(int screenWidth) { return screenWidth < 801 ? 8 : 10; }
