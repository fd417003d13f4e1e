// Text fields of the control bar and the message bars: recessed, a fixed
// width in characters of the bar's font, left-aligned or centred.
#pragma once

#include <QLabel>
#include <QString>

class TextGadget : public QLabel {
 public:
  TextGadget(const QString& name, int widthChars, Qt::Alignment alignment, QWidget* parent = nullptr);
  int WidthChars() const { return widthChars_; }
  QSize sizeHint() const override { return QSize(maximumWidth(), QLabel::sizeHint().height()); }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FitWidth();
  int widthChars_;
};

// The point size of the message bars' font for a screen so many pixels wide.
int MessageBarPointSize(int screenWidth);
