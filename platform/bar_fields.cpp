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
  // A field is measured in the font's widest characters (taken as twice the average), so a
  // field holds about twice its count of ordinary text. It may give way to half that on a
  // narrow screen; the long message line never demands more than 80 average characters.
  const int average = QFontMetrics(font()).averageCharWidth();
  const int padding = 2 * frameWidth() + 4;
  const int wide = 2 * average * widthChars_ + padding;
  const int least = std::min(average * (widthChars_ + 1), average * 80) + padding;
  setMinimumWidth(least);
  setMaximumWidth(wide);
}

int MessageBarPointSize(int screenWidth) { return screenWidth < 801 ? 8 : 10; }
