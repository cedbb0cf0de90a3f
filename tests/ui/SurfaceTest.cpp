#include "ui/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ui {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// Rows of a region: '.' white, '#' black, 'o' red, '?' anything else.
std::string Picture(const Surface& s, int x0, int y0, int w, int h) {
  std::string out;
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      const Colour c = s.Pixel(x, y);
      out += c == clWhite ? '.' : c == clBlack ? '#' : c == clRed ? 'o' : '?';
    }
    out += '\n';
  }
  return out;
}

Pixels LinePixels(int x0, int y0, int x1, int y1) {
  Surface s(64, 64);
  s.MoveTo(x0, y0);
  s.LineTo(x1, y1);
  Pixels lit;
  for (int i = 0; i < 64 * 64; ++i) {
    if (s.Bits()[i] != 0xFFFFFF) lit.emplace(i % 64, i / 64);
  }
  return lit;
}

TEST(SurfaceTest, NewSurfaceIsWhiteAndKeepsBgrColoursInRgbWords) {
  Surface s(7, 5);
  EXPECT_EQ(std::count(s.Bits(), s.Bits() + 35, 0x00FFFFFFu), 35);
  for (auto [x, y] : {std::pair{-1, 0}, {7, 0}, {0, -1}, {0, 5}}) EXPECT_EQ(s.Pixel(x, y), clInvalid);
  s.SetPixel(0, 0, Colour::FromBgr(0x00332211));  // red 0x11, green 0x22, blue 0x33
  EXPECT_EQ(s.Pixel(0, 0), Colour::FromBgr(0x00332211u));
  EXPECT_EQ(s.Bits()[0], 0x00112233u);
  Surface empty(0, 0);
  empty.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(empty.Pixel(0, 0), clInvalid);
}

TEST(SurfaceTest, SystemColoursAreLookedUpAtEachUse) {
  const Colour saved = SystemColour(8);
  Surface s(40, 20);
  s.SetPenColor(clWindowText);
  SetSystemColour(8, clRed);
  s.MoveTo(0, 0);
  s.LineTo(5, 0);
  SetSystemColour(8, clBlue);
  s.SetPixel(0, 2, clWindowText);
  s.TextOut(10, 0, "あ");  // the default font colour is the window-text colour
  SetSystemColour(8, saved);
  EXPECT_EQ(s.Pixel(2, 0), clRed);
  EXPECT_EQ(s.Pixel(0, 2), clBlue);
  EXPECT_EQ(std::count(s.Bits(), s.Bits() + 800, 0x0000FFu) + std::count(s.Bits(), s.Bits() + 800, 0xFFFFFFu), 800 - 5);
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

TEST(SurfaceTest, RectangleOutlinesAndFillsTheBoxClippedToTheSurface) {
  Surface full(500, 500);
  full.SetPenColor(clGreen);
  full.SetBrushColor(clGreen);
  full.Rectangle(0, 0, 500, 500);
  EXPECT_EQ(std::count(full.Bits(), full.Bits() + 500 * 500, 0x008000u), 500 * 500);

  Surface s(8, 7);
  s.SetBrushColor(clRed);
  s.Rectangle(6, 5, 2, 1);  // corners the other way round
  s.Rectangle(3, 3, 3, 8);  // an empty box draws nothing
  s.Rectangle(6, -5, 2000000000, 6);  // reaches beyond the top and right
  EXPECT_EQ(Picture(s, 0, 0, 8, 7),
            "......#o\n"
            "..#####o\n"
            "..#oo##o\n"
            "..#oo##o\n"
            "..#####o\n"
            "......##\n"
            "........\n");

  // Width 0 draws like width 1; a negative width is ignored.
  Surface zero(8, 7);
  zero.SetBrushColor(clRed);
  zero.SetPenWidth(-2);
  EXPECT_EQ(zero.PenWidth(), 1);
  zero.SetPenWidth(0);
  zero.Rectangle(2, 1, 6, 5);
  EXPECT_EQ(Picture(zero, 0, 0, 6, 6), Picture(s, 0, 0, 6, 6));
}

TEST(SurfaceTest, WidePenIsCentredOnTheOutline) {
  Surface s(12, 12);
  s.SetPenWidth(3);
  s.SetBrushColor(clRed);
  s.Rectangle(2, 2, 10, 10);  // outline on 2..9, stroke on 1..10
  EXPECT_EQ(Picture(s, 0, 0, 12, 12),
            "............\n"
            "..########..\n"
            ".##########.\n"
            ".##########.\n"
            ".###oooo###.\n"
            ".###oooo###.\n"
            ".###oooo###.\n"
            ".###oooo###.\n"
            ".##########.\n"
            ".##########.\n"
            "..########..\n"
            "............\n");

  // A width-3 line: a 3-pixel body and round caps covering both ends.
  Surface line(12, 5);
  line.SetPenWidth(3);
  line.MoveTo(2, 2);
  line.LineTo(9, 2);
  EXPECT_EQ(Picture(line, 0, 0, 12, 5), "............\n..########..\n.##########.\n..########..\n............\n");

  // An enormous pen finishes quickly and covers everything near its path.
  s.SetPenWidth(2000000000);
  s.Rectangle(-1000000000, -1000000000, 1000000000, 5);
  s.MoveTo(-2000000000, 11);
  s.LineTo(2000000000, 11);
  s.Ellipse(0, 0, 12, 12);
  EXPECT_EQ(std::count(s.Bits(), s.Bits() + 12 * 12, 0u), 12 * 12);
}

// A line leaves its end pixel undrawn, for the next line to draw; it lights
// the same pixels either way round, ties going to the smaller coordinate.
// The line rule itself: along the major axis from the start (included) to the
// end (excluded), the minor coordinate nearest to the exact line, ties to the smaller.
Pixels RuleLine(int x0, int y0, int x1, int y1) {
  const int dx = x1 - x0, dy = y1 - y0;
  const bool flat = std::abs(dx) > std::abs(dy);
  const int n = std::max(std::abs(dx), std::abs(dy));
  const auto ceilDiv = [](long a, long b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); };
  Pixels lit;
  for (int t = 0; t < n; ++t) {
    const long minor = ceilDiv(2L * (flat ? dy : dx) * t - n, 2L * n);
    if (flat) lit.emplace(x0 + (dx > 0 ? t : -t), y0 + static_cast<int>(minor));
    else lit.emplace(x0 + static_cast<int>(minor), y0 + (dy > 0 ? t : -t));
  }
  return lit;
}

TEST(SurfaceTest, LineIsTheSamePixelsInBothDirectionsWithoutItsEnd) {
  Surface s(20, 20);
  s.MoveTo(2, 3);
  s.LineTo(9, 3);
  EXPECT_EQ(std::pair(s.Pixel(8, 3), s.Pixel(9, 3)), std::pair(clBlack, clWhite));
  s.LineTo(9, 10);
  s.LineTo(9, 10);  // zero length
  EXPECT_EQ(std::pair(s.Pixel(9, 3), s.Pixel(9, 10)), std::pair(clBlack, clWhite));
  EXPECT_EQ(std::pair(s.PenX(), s.PenY()), std::pair(9, 10));

  EXPECT_EQ(LinePixels(0, 0, 4, 1), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
  EXPECT_EQ(LinePixels(0, 0, 1, 4), (Pixels{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
  EXPECT_EQ(LinePixels(6, 0, 0, 3), (Pixels{{6, 0}, {5, 0}, {4, 1}, {3, 1}, {2, 2}, {1, 2}}));

  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 63);
  for (int i = 0; i < 300; ++i) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    if (x0 == x1 && y0 == y1) continue;
    Pixels forward = LinePixels(x0, y0, x1, y1);
    Pixels backward = LinePixels(x1, y1, x0, y0);
    EXPECT_EQ(forward, RuleLine(x0, y0, x1, y1)) << x0 << "," << y0 << " - " << x1 << "," << y1;
    EXPECT_EQ(forward.count({x1, y1}), 0u);
    EXPECT_EQ(forward.size(), static_cast<std::size_t>(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
    forward.emplace(x1, y1);
    backward.emplace(x0, y0);
    EXPECT_EQ(forward, backward) << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

TEST(SurfaceTest, ClippedLineKeepsTheSlopeOfItsEndPoints) {
  // A line reaching far outside lights the same pixels as on a surface large
  // enough to hold it.
  for (auto [x0, y0, x1, y1] : {std::array{-700, -3, 900, 17}, {5, -900, 14, 950}, {-999, 999, 999, -999}}) {
    Surface small(20, 20), big(2000, 2000);
    small.MoveTo(x0, y0);
    small.LineTo(x1, y1);
    big.MoveTo(x0 + 1000, y0 + 1000);
    big.LineTo(x1 + 1000, y1 + 1000);
    EXPECT_EQ(Picture(small, 0, 0, 20, 20), Picture(big, 1000, 1000, 20, 20));
  }
}

TEST(SurfaceTest, EllipseOfAFourteenPixelBox) {
  Surface s(40, 40);
  s.SetBrushColor(clRed);
  s.Ellipse(20 - 7, 20 - 7, 20 + 7, 20 + 7);
  // Columns 11..28 (X-9..X+8), rows Y-9..Y+8.
  EXPECT_EQ(Picture(s, 11, 11, 18, 18),
            "..................\n"
            "..................\n"
            ".......####.......\n"
            ".....##oooo##.....\n"
            "....#oooooooo#....\n"
            "...#oooooooooo#...\n"
            "...#oooooooooo#...\n"
            "..#oooooooooooo#..\n"
            "..#oooooooooooo#..\n"
            "..#oooooooooooo#..\n"
            "..#oooooooooooo#..\n"
            "...#oooooooooo#...\n"
            "...#oooooooooo#...\n"
            "....#oooooooo#....\n"
            ".....##oooo##.....\n"
            ".......####.......\n"
            "..................\n"
            "..................\n");
}

// For every box size: the outline is one closed 8-connected curve, symmetric
// about both axes and touching all four sides of the box; the fill never
// touches the outside. Boxes of 2 pixels or less are rectangles.
TEST(SurfaceTest, EllipseOutlinesAreClosedForAllBoxSizes) {
  std::vector<std::pair<int, int>> sizes{{200, 3}, {200, 4}, {201, 7}, {3, 200}, {8, 201}, {301, 300}, {120, 37}};
  for (int w = 3; w <= 40; ++w) {
    for (int h = 3; h <= 40; ++h) sizes.emplace_back(w, h);
  }
  for (auto [w, h] : sizes) {
    Surface s(w + 2, h + 2);
    s.SetBrushColor(clRed);
    s.Ellipse(1, 1, w + 1, h + 1);
    Pixels outline;
    for (int y = 0; y < h + 2; ++y) {
      for (int x = 0; x < w + 2; ++x) {
        const Colour c = s.Pixel(x, y);
        ASSERT_EQ(s.Pixel(w + 1 - x, y), c) << w << "x" << h;
        ASSERT_EQ(s.Pixel(x, h + 1 - y), c) << w << "x" << h;
        if (c == clBlack) outline.emplace(x, y);
        if (c != clRed) continue;
        for (auto [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
          ASSERT_NE(s.Pixel(nx, ny), clWhite) << w << "x" << h << " at " << x << "," << y;
        }
      }
    }
    ASSERT_FALSE(outline.empty());
    const auto [minX, maxX] = std::minmax_element(outline.begin(), outline.end());
    EXPECT_EQ(std::pair(minX->first, maxX->first), std::pair(1, w)) << w << "x" << h;
    EXPECT_EQ(s.Pixel(1 + w / 2, 1), clBlack) << w << "x" << h;
    Pixels seen{*outline.begin()};
    std::vector<std::pair<int, int>> stack{*outline.begin()};
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
  }

  Surface ellipse(12, 12), rectangle(12, 12);
  for (auto [x2, y2] : {std::pair{2, 9}, {9, 2}, {1, 1}}) {
    ellipse.Ellipse(0, 0, x2, y2);
    rectangle.Rectangle(0, 0, x2, y2);
  }
  EXPECT_EQ(Picture(ellipse, 0, 0, 12, 12), Picture(rectangle, 0, 0, 12, 12));
}

}  // namespace
}  // namespace ui
