#include "ui/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace ui {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels that differ from white.
Pixels Lit(const Surface& s) {
  Pixels lit;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Pixel(x, y) != clWhite) lit.emplace(x, y);
    }
  }
  return lit;
}

Pixels LinePixels(int x0, int y0, int x1, int y1) {
  Surface s(64, 64);
  s.MoveTo(x0, y0);
  s.LineTo(x1, y1);
  return Lit(s);
}

TEST(SurfaceTest, NewSurfaceIsWhiteAndReadsInvalidOutside) {
  Surface s(7, 5);
  EXPECT_EQ(Lit(s), Pixels{});
  for (auto [x, y] : {std::pair{-1, 0}, {7, 0}, {0, -1}, {0, 5}, {-100000, 100000}}) {
    EXPECT_EQ(s.Pixel(x, y), clInvalid) << x << "," << y;
  }
  Surface empty(0, 0);
  EXPECT_EQ(empty.Pixel(0, 0), clInvalid);
  empty.Rectangle(0, 0, 10, 10);  // nothing to draw on, no fault
}

TEST(SurfaceTest, PixelsAreStoredAsRgbAndReadAsBgr) {
  Surface s(4, 1);
  s.SetPixel(0, 0, 0x00332211);  // red 0x11, green 0x22, blue 0x33
  EXPECT_EQ(s.Pixel(0, 0), 0x00332211u);
  EXPECT_EQ(s.Bits()[0], 0x00112233u);
  s.SetPixel(9, 0, clBlack);  // outside: dropped
  EXPECT_EQ(s.Bits()[3], 0x00FFFFFFu);
}

TEST(SurfaceTest, SystemColoursAreLookedUpAtEachUse) {
  const Colour saved = SystemColour(8);
  Surface s(10, 10);
  s.SetPenColor(clWindowText);
  SetSystemColour(8, clRed);
  s.MoveTo(0, 0);
  s.LineTo(5, 0);
  SetSystemColour(8, clBlue);
  s.MoveTo(0, 1);
  s.LineTo(5, 1);
  s.SetPixel(0, 2, clWindowText);
  SetSystemColour(8, saved);
  EXPECT_EQ(s.Pixel(2, 0), clRed);
  EXPECT_EQ(s.Pixel(2, 1), clBlue);
  EXPECT_EQ(s.Pixel(0, 2), clBlue);
  EXPECT_EQ(s.PenColor(), clWindowText);
}

TEST(SurfaceTest, ObserverHearsEveryDrawingOperation) {
  Surface s(20, 20);
  int calls = 0;
  s.SetChangeObserver([&] { ++calls; });
  s.SetPenColor(clRed);
  s.SetBrushColor(clBlue);
  s.MoveTo(1, 1);
  EXPECT_EQ(calls, 0);
  s.Rectangle(0, 0, 5, 5);
  s.Ellipse(0, 0, 9, 9);
  s.LineTo(10, 10);
  s.SetPixel(3, 3, clBlack);
  s.TextOut(0, 0, "a");
  EXPECT_EQ(calls, 5);
}

TEST(SurfaceTest, RectangleFillsTheBoxAndClipsToTheSurface) {
  Surface s(500, 500);
  s.SetPenColor(clGreen);
  s.SetBrushColor(clGreen);
  s.Rectangle(0, 0, 500, 500);
  EXPECT_EQ(std::count(s.Bits(), s.Bits() + 500 * 500, 0x008000u), 500 * 500);

  Surface c(20, 20);
  c.SetBrushColor(clRed);
  c.Rectangle(10, -5, 2000000000, 15);  // reaches beyond the right and top edges
  EXPECT_EQ(c.Pixel(11, 0), clRed);     // row -5 holds the outline, row 0 is fill
  EXPECT_EQ(c.Pixel(10, 3), clBlack);   // left edge
  EXPECT_EQ(c.Pixel(19, 3), clRed);     // the right edge lies off the surface
  EXPECT_EQ(c.Pixel(15, 14), clBlack);  // bottom edge, row 15 excluded
  EXPECT_EQ(c.Pixel(15, 15), clWhite);
  EXPECT_EQ(c.Pixel(9, 3), clWhite);
}

TEST(SurfaceTest, RectangleOutlinesTheOutermostPixelsOfANormalisedBox) {
  Surface s(10, 10);
  s.SetBrushColor(clRed);
  s.Rectangle(6, 5, 2, 1);  // corners given the other way round
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inBox = x >= 2 && x <= 5 && y >= 1 && y <= 4;
      const bool edge = x == 2 || x == 5 || y == 1 || y == 4;
      EXPECT_EQ(s.Pixel(x, y), !inBox ? clWhite : edge ? clBlack : clRed) << x << "," << y;
    }
  }

  Surface empty(10, 10);
  empty.Rectangle(3, 3, 3, 8);
  empty.Rectangle(3, 3, 8, 3);
  EXPECT_EQ(Lit(empty), Pixels{});

  // Width 0 draws like width 1; a negative width is ignored.
  Surface zero(10, 10);
  zero.SetBrushColor(clRed);
  zero.SetPenWidth(3);
  zero.SetPenWidth(-2);
  EXPECT_EQ(zero.PenWidth(), 3);
  zero.SetPenWidth(0);
  zero.Rectangle(2, 1, 6, 5);
  EXPECT_EQ(std::vector<std::uint32_t>(zero.Bits(), zero.Bits() + 100),
            std::vector<std::uint32_t>(s.Bits(), s.Bits() + 100));
}

TEST(SurfaceTest, WidePenIsCentredOnTheOutline) {
  Surface s(30, 30);
  s.SetPenWidth(3);
  s.SetBrushColor(clRed);
  s.Rectangle(10, 10, 20, 20);  // outline on 10..19, stroke on 9..20
  for (int y = 8; y <= 21; ++y) {
    for (int x = 8; x <= 21; ++x) {
      const bool outer = x < 9 || x > 20 || y < 9 || y > 20;
      const bool corner = (x == 9 || x == 20) && (y == 9 || y == 20);
      const bool fill = x >= 12 && x <= 17 && y >= 12 && y <= 17;
      const Colour want = outer || corner ? clWhite : fill ? clRed : clBlack;
      EXPECT_EQ(s.Pixel(x, y), want) << x << "," << y;
    }
  }
}

TEST(SurfaceTest, LineLeavesItsEndPixelForTheNextLine) {
  Surface s(20, 20);
  s.MoveTo(2, 3);
  s.LineTo(9, 3);
  EXPECT_EQ(s.Pixel(8, 3), clBlack);
  EXPECT_EQ(s.Pixel(9, 3), clWhite);
  EXPECT_EQ(s.PenX(), 9);
  EXPECT_EQ(s.PenY(), 3);
  s.LineTo(9, 10);
  EXPECT_EQ(s.Pixel(9, 3), clBlack);
  EXPECT_EQ(s.Pixel(9, 10), clWhite);
  s.LineTo(9, 10);  // zero length
  EXPECT_EQ(s.Pixel(9, 10), clWhite);
}

TEST(SurfaceTest, LineTiesGoToTheSmallerCoordinate) {
  EXPECT_EQ(LinePixels(0, 0, 4, 1), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
  EXPECT_EQ(LinePixels(0, 0, 1, 4), (Pixels{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
  EXPECT_EQ(LinePixels(3, 3, 0, 0), (Pixels{{3, 3}, {2, 2}, {1, 1}}));
  EXPECT_EQ(LinePixels(10, 0, 0, 5), (Pixels{{10, 0}, {9, 0}, {8, 1}, {7, 1}, {6, 2}, {5, 2},
                                            {4, 3}, {3, 3}, {2, 4}, {1, 4}}));
}

TEST(SurfaceTest, LineIsTheSamePixelsInBothDirections) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 63);
  for (int i = 0; i < 400; ++i) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    Pixels forward = LinePixels(x0, y0, x1, y1);
    Pixels backward = LinePixels(x1, y1, x0, y0);
    const bool empty = x0 == x1 && y0 == y1;
    EXPECT_EQ(forward.count({x1, y1}), 0u);
    EXPECT_EQ(forward.size(), empty ? 0u : static_cast<std::size_t>(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
    if (empty) continue;
    forward.emplace(x1, y1);
    backward.emplace(x0, y0);
    EXPECT_EQ(forward, backward) << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

TEST(SurfaceTest, ClippedLineKeepsTheSlopeOfItsEndPoints) {
  // A line reaching far outside lights the same pixels as on a surface large
  // enough to hold it.
  const int offset = 1000;
  for (auto [x0, y0, x1, y1] : {std::array{-700, -3, 900, 17}, {5, -900, 14, 950}, {-999, 999, 999, -999}}) {
    Surface small(20, 20);
    small.MoveTo(x0, y0);
    small.LineTo(x1, y1);
    Surface big(2000, 2000);
    big.MoveTo(x0 + offset, y0 + offset);
    big.LineTo(x1 + offset, y1 + offset);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + offset, y + offset)) << x << "," << y;
    }
  }
  Surface s(10, 10);
  s.MoveTo(-2000000000, 4);
  s.LineTo(2000000000, 4);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.Pixel(x, 4), clBlack);
}

TEST(SurfaceTest, WideLineHasRoundCapsAtBothEnds) {
  Surface s(30, 30);
  s.SetPenWidth(3);
  s.MoveTo(10, 10);
  s.LineTo(20, 10);
  Pixels want;
  for (int x = 10; x <= 20; ++x) want.insert({{x, 9}, {x, 10}, {x, 11}});
  want.insert({{9, 10}, {21, 10}});
  EXPECT_EQ(Lit(s), want);
}

// The circle in the box (X-7, Y-7)-(X+7, Y+7): per row offset from Y, the
// outline and fill columns relative to X.
TEST(SurfaceTest, EllipseOfAFourteenPixelBox) {
  struct Row {
    std::vector<int> outline;
    int fillFirst, fillLast;  // empty when first > last
  };
  const Row top{{-2, -1, 0, 1}, 0, -1};
  const Row second{{-4, -3, 2, 3}, -2, 1};
  const Row third{{-5, 4}, -4, 3};
  const Row fourth{{-6, 5}, -5, 4};
  const Row middle{{-7, 6}, -6, 5};
  const std::vector<Row> rows{top, second, third, fourth, fourth, middle, middle,
                              middle, middle, fourth, fourth, third, second, top};
  const int X = 20, Y = 20;
  Surface s(40, 40);
  s.SetBrushColor(clRed);
  s.Ellipse(X - 7, Y - 7, X + 7, Y + 7);
  for (int dy = -9; dy <= 8; ++dy) {
    for (int dx = -9; dx <= 8; ++dx) {
      Colour want = clWhite;
      if (dy >= -7 && dy <= 6) {
        const Row& row = rows[dy + 7];
        if (dx >= row.fillFirst && dx <= row.fillLast) want = clRed;
        for (int c : row.outline) {
          if (c == dx) want = clBlack;
        }
      }
      EXPECT_EQ(s.Pixel(X + dx, Y + dy), want) << dx << "," << dy;
    }
  }
}

// For every box size: the outline is one closed 8-connected curve, symmetric
// about both axes, touching all four sides of the box; the fill never touches
// the outside.
TEST(SurfaceTest, EllipseOutlinesAreClosedForAllBoxSizes) {
  std::vector<std::pair<int, int>> sizes{{200, 3}, {200, 4}, {201, 7}, {3, 200}, {8, 201}, {301, 300}, {120, 37}};
  for (int w = 3; w <= 40; ++w) {
    for (int h = 3; h <= 40; ++h) sizes.emplace_back(w, h);
  }
  for (auto [w, h] : sizes) {
    {
      Surface s(w + 2, h + 2);
      s.SetBrushColor(clRed);
      s.Ellipse(1, 1, w + 1, h + 1);
      Pixels outline, seen;
      for (auto [x, y] : Lit(s)) {
        const Colour c = s.Pixel(x, y);
        ASSERT_TRUE(x >= 1 && x <= w && y >= 1 && y <= h) << w << "x" << h;
        ASSERT_EQ(s.Pixel(w + 1 - x, y), c) << w << "x" << h;
        ASSERT_EQ(s.Pixel(x, h + 1 - y), c) << w << "x" << h;
        if (c == clBlack) outline.emplace(x, y);
        if (c == clRed) {
          for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
            ASSERT_NE(s.Pixel(nx, ny), clWhite) << w << "x" << h << " at " << x << "," << y;
          }
        }
      }
      ASSERT_FALSE(outline.empty());
      std::vector<std::pair<int, int>> stack{*outline.begin()};
      seen.insert(*outline.begin());
      while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            if (outline.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) stack.emplace_back(x + dx, y + dy);
          }
        }
      }
      EXPECT_EQ(seen.size(), outline.size()) << w << "x" << h;
      for (int y = 1; y <= h; ++y) EXPECT_EQ(s.Pixel(1 + (w - 1) / 2, y) == clWhite, false) << w << "x" << h;
      EXPECT_EQ(s.Pixel(1, 1 + h / 2), clBlack) << w << "x" << h;
      EXPECT_EQ(s.Pixel(1 + w / 2, 1), clBlack) << w << "x" << h;
    }
  }
}

TEST(SurfaceTest, NarrowEllipseIsARectangle) {
  for (auto [x2, y2] : {std::pair{2, 9}, {9, 2}, {1, 1}}) {
    Surface ellipse(12, 12), rectangle(12, 12);
    for (Surface* s : {&ellipse, &rectangle}) s->SetBrushColor(clRed);
    ellipse.Ellipse(0, 0, x2, y2);
    rectangle.Rectangle(0, 0, x2, y2);
    EXPECT_EQ(Lit(ellipse), Lit(rectangle));
    EXPECT_FALSE(Lit(ellipse).empty());
  }
}

}  // namespace
}  // namespace ui
