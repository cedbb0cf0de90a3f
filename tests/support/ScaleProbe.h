#pragma once
#include <cmath>

#include "ui/Surface.h"

// Comparisons of a surface drawn on a finer raster with the same drawing at scale 1.

// The share of logical pixels whose colour on the finer raster (the device
// pixel at their middle) is found nowhere among the 3 x 3 pixels around them
// at scale 1: what the finer raster moved by more than a pixel.
inline double MovedShare(const ui::Surface& fine, const ui::Surface& one) {
  int moved = 0;
  for (int y = 0; y < one.Height(); ++y)
    for (int x = 0; x < one.Width(); ++x) {
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = fine.Pixel(x, y) == one.Pixel(x + dx, y + dy);
      moved += !near;
    }
  return static_cast<double>(moved) / (one.Width() * one.Height());
}

// Whether every device pixel of the logical box [x1, x2) x [y1, y2) has the
// colour of the scale-1 pixel it lies on: the box merely enlarged.
inline bool Enlarged(const ui::Surface& fine, const ui::Surface& one, int x1, int y1, int x2, int y2) {
  const double s = fine.Scale();
  for (int Y = static_cast<int>(y1 * s); Y < static_cast<int>(y2 * s); ++Y)
    for (int X = static_cast<int>(x1 * s); X < static_cast<int>(x2 * s); ++X) {
      const auto x = static_cast<int>(std::floor(X / s));
      const auto y = static_cast<int>(std::floor(Y / s));
      if (fine.Bits()[Y * fine.DeviceWidth() + X] != ui::ToRgb32(one.Pixel(x, y))) return false;
    }
  return true;
}
