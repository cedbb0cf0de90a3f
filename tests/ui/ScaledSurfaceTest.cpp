#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ScaleProbe.h"
#include "ui/FontEngine.h"
#include "ui/Surface.h"

namespace ui {
namespace {

std::vector<std::uint32_t> Raster(const Surface& s) { return {s.Bits(), s.Bits() + s.DeviceWidth() * s.DeviceHeight()}; }

// Every kind of operation, shifted by `at`.
void DrawScene(Surface& s, int at = 0) {
  s.SetPenWidth(3);
  s.Rectangle(10 + at, 10, 150, 100);
  s.SetPenWidth(1);
  s.MoveTo(10, 100);
  s.LineTo(150 - at, 10);
  s.Ellipse(40 + at, 40, 54 + at, 54);
  s.SetFontHeight(20);
  s.TextOut(60, 60 + at, "P(Yes|N) 実験");
  for (int c = 0; c < 4; ++c) {
    s.SetBrushColor((c + at) % 2 == 0 ? clGreen : clMaroon);
    s.GridSquare(c, at % 4, 10, 4);
  }
  s.SetPixel(190, 110 - at, clBlue);
  Surface scratch(60, 30, s.Scale());
  scratch.TextOut(0, 0, "P(Yes|S)");
  s.DrawTurned(scratch, 0, 1, 50, 20, 160, 110);
  s.SetBrushColor(clWhite);
}

// Drawn again from its list, at scale 1 or after a trip to another scale, a
// surface has the pixels it was drawn with, also after the list was cut
// short (the scene repeated and partly covered 300 times).
TEST(ScaledSurface, RedrawingRepeatsTheDrawing) {
  Surface s(200, 120);
  for (int i = 0; i < 300; ++i) {
    if (i % 10 == 0) PaintWhite(s, 0, 0, 100 + i % 100, 90);
    DrawScene(s, i % 7);
  }
  const std::vector<std::uint32_t> drawn = Raster(s);
  EXPECT_EQ(Raster(s.Redrawn(1)), drawn);
  s.SetScale(2);
  s.SetScale(1);
  EXPECT_EQ(Raster(s), drawn);
}

class AtScale : public ::testing::TestWithParam<double> {};

// The same picture at a finer raster: nearly every pixel where it is at
// scale 1 (within a pixel), and text rendered at the scaled size, not enlarged.
TEST_P(AtScale, DrawsTheSamePictureFiner) {
  if (SubstituteFamily(kDefaultFontName) != "IPAPGothic") GTEST_SKIP() << "IPA fonts not installed";
  Surface one(200, 120);
  Surface fine(200, 120, GetParam());
  DrawScene(one);
  DrawScene(fine);
  EXPECT_LT(MovedShare(fine, one), 0.01);
  EXPECT_FALSE(Enlarged(fine, one, 60, 60, 150, 80));
}

// The grid's squares are all side x scale rounded down device pixels, their
// outlines inside them, and the grid is centred on the raster.
TEST_P(AtScale, GridSquaresAreAllAlike) {
  const double scale = GetParam();
  Surface s(500, 500, scale);
  s.SetPenColor(clWhite);
  for (int c = 0; c < 10; ++c) {
    s.SetBrushColor(c % 2 == 0 ? clGreen : clMaroon);
    for (int r = 0; r < 10; ++r) s.GridSquare(c, r, 50, 10);
  }
  const int cell = static_cast<int>(50 * scale);
  const int band = static_cast<int>(scale + 0.5);
  const int offset = (s.DeviceWidth() - 10 * cell) / 2;
  const std::uint32_t* row = s.Bits() + (offset + cell / 2) * s.DeviceWidth();
  for (int x = 0; x < s.DeviceWidth(); ++x) {
    const int c = (x - offset) / cell;
    const bool inside = x >= offset && c < 10 && (x - offset) % cell >= band && (x - offset) % cell < cell - band;
    EXPECT_EQ(row[x], inside ? ToRgb32(c % 2 == 0 ? clGreen : clMaroon) : 0xFFFFFFu) << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Ratios, AtScale, ::testing::Values(1.25, 1.5, 2.0));

}  // namespace
}  // namespace ui
