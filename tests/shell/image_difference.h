// Where two pictures of the layout first differ, for a failure message.
#pragma once

#include <QImage>
#include <string>

inline std::string FirstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "none";
}
