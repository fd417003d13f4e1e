// The painted layout kept in an image. The layout painter paints it whole once,
// and after that only the rectangles the store invalidates; the window shows it
// by copying the part in view. A change of zoom, background, extent, label font
// or label choice (or a call to InvalidateAll, for the pictures and anything
// else the image cannot see) paints it whole again.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <memory>

#include "shell/layout_painter.h"

class LayoutImage {
 public:
  explicit LayoutImage(LayoutPainter& painter);

  // Marks a rectangle of layout pixels (at the present zoom) for repainting.
  void Invalidate(const QRect& rect);
  // Marks the whole layout for repainting.
  void InvalidateAll() { whole_ = true; }
  // Brings the image up to date and returns it: the whole grid in layout pixels at that zoom divisor.
  const QImage& Update(const LayoutPaintState& state, QRgb background, int zoom);
  // True when nothing waits to be repainted.
  bool UpToDate() const { return !whole_ && dirty_.isEmpty(); }

 private:
  void Repaint(const QRegion& region, const LayoutPaintState& state);
  bool SameLook(const LayoutPaintState& state, QRgb background, int zoom) const;

  struct Pixels;
  QImage BlankImage(const QSize& size);

  LayoutPainter& painter_;
  std::shared_ptr<Pixels> pixels_;  // under image_, also held by the image (and any copy of it)
  QImage image_;
  QRegion dirty_;
  bool whole_ = true;
  // What the image was painted with; any change paints it whole again.
  int zoom_ = 0;
  QRgb background_ = 0;
  LayoutPaintState look_;
};
