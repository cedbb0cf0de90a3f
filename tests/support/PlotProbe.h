#pragma once
#include <gtest/gtest.h>

#include "ui/Surface.h"

// The criterion markers of the start parameters (d 1, c3 2, c2 1, c1 0, R 1):
// 6 x 6 squares covering (X - 3..X + 2, Y - 3..Y + 2) around (50, 389) red,
// (111, 235) maroon and (265, 81) green.
inline void ExpectStartMarkers(const ui::Surface& s) {
  const struct {
    int x, y;
    ui::Colour c;
  } markers[] = {{50, 389, ui::clRed}, {111, 235, ui::clMaroon}, {265, 81, ui::clGreen}};
  for (const auto& m : markers) {
    EXPECT_EQ(s.Pixel(m.x, m.y), m.c) << m.x << "," << m.y;
    EXPECT_EQ(s.Pixel(m.x - 3, m.y - 3), m.c) << m.x << "," << m.y;
    EXPECT_EQ(s.Pixel(m.x + 2, m.y + 2), m.c) << m.x << "," << m.y;
    EXPECT_NE(s.Pixel(m.x + 3, m.y + 3), m.c) << m.x << "," << m.y;
  }
}
