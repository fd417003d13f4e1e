// The track layout diagram on paper: the layout as the window shows it at its
// present zoom, painted by the window's own layout painter at about a hundred
// layout pixels an inch and tiled over as many pages as it needs, left to
// right, then top to bottom. No title, header or footer of its own.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

#include "platform/printer.h"
#include "shell/layout_painter.h"

class Corvane3Data;

// The grid columns and rows the drawing takes: the last used cell and the far edges of the text
// labels, pictures and stations, with two spare cells when there is room (at most 200 x 160).
QSize PrintedLayoutExtent(Corvane3Data& store);

class TTPrintLayout : public TPrintout {
 public:
  // state: the window's paint state (label font and block label choice).
  TTPrintLayout(Corvane3Data& store, LayoutPainter& painter, const LayoutPaintState& state);

  void SetPrintParams(QPainter& dc, QSize page) override;
  bool HasPage(int page) override { return page >= 1 && page <= PageCount; }
  void PrintPage(int page) override;

  // The part of the layout that a page shows, in layout pixels at the present zoom.
  QRect PageRect(int page) const;
  // A page drawn at one device pixel a layout pixel; monochrome prints every state colour in black
  // (white with Classic Display), as a printer without colours needs.
  QImage PageImage(int page, bool monochrome);

  int32_t LayoutWidth = 0, LayoutHeight = 0;  // grid columns and rows of the drawing
  int32_t PageWidth = 0, PageHeight = 0;      // grid columns and rows on a page
  int32_t PagesAcross = 0, PagesDown = 0, PageCount = 0;

 private:
  void DrawTrackLayout(QPainter& dc, const QRect& rect);
  int Cell() const { return 16 / zoom_; }

  Corvane3Data& store_;
  LayoutPainter& painter_;
  LayoutPaintState state_;
  int zoom_ = 1;
  QPainter* dc_ = nullptr;
  QSize page_;
  bool monochrome_ = false;
};
