// The Alert Message Window: a scrolling window of its own that lists the
// alert lines, the shown one white on blue. A click selects a line (it becomes
// the shown line); a double click minimises the window and goes to what the
// line speaks of on the layout, as Go to Alert does.
#pragma once

#include <QAbstractScrollArea>
#include <QString>

class Corvane3Data;
class TCorvane3Window;

class TCorvane3Frame : public QAbstractScrollArea {
 public:
  // parent: the layout window, above which the window stays.
  TCorvane3Frame(Corvane3Data& store, TCorvane3Window& layout, const QString& title);
  ~TCorvane3Frame() override;

  // The scroll ranges for a document of that size in pixels, in units of 38 pixels.
  void SetAlertScrollRange(int width, int height);
  // The alert line at a point of the window's client area (may lie past the last line).
  int LineAt(QPoint point) const;

  // The line shown before the last click, repainted with it; -1 at first.
  int PreviousLine = -1;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void EvSize();
  void InvalidateLine(int line);
  void ScrollTo(int x, int y);

  Corvane3Data& store_;
  TCorvane3Window& layout_;
};

// View > Display Alert Window: opens the window, or shows the open one again.
void CmDisplayAlertWindow(Corvane3Data& store, TCorvane3Window& layout);

// Go to Alert (and a double click in the window): the layout centres what the shown line speaks
// of, with the alert window minimised; a train no longer on the layout is told about.
void CmGotoAlert(Corvane3Data& store, TCorvane3Window& layout);

// The alert commands of the layout window: Display Alert Window and Go to Alert.
class CommandRegistry;
void BindAlertWindowCommands(CommandRegistry& commands, Corvane3Data& store, TCorvane3Window& layout);
