#pragma once
#include "ui/Colour.h"

namespace roc {

// The colours of the ROC plot and of the analysis window's z-ROC, named here
// once. Point p of the observed points, the marker of criterion cp and its
// row of controls share a colour: green, maroon, red for the three of a
// four-point scale, then purple, teal, olive and orange for a longer one.
inline constexpr ui::Colour kPointColours[] = {ui::clGreen,
                                               ui::clMaroon,
                                               ui::clRed,
                                               ui::RgbColour(0x80, 0, 0x80),
                                               ui::RgbColour(0, 0x80, 0x80),
                                               ui::RgbColour(0x80, 0x80, 0),
                                               ui::RgbColour(0xFF, 0x80, 0)};
inline constexpr ui::Colour PointColour(int p) {
  constexpr int n = sizeof kPointColours / sizeof kPointColours[0];
  return kPointColours[p < 1 ? 0 : p > n ? n - 1 : p - 1];
}

inline constexpr ui::Colour kModelCurveColour = ui::clBlue;  // the curve fitted by eye
// The maximum-likelihood curve laid over the plot.
inline constexpr ui::Colour kFittedCurveColour = ui::RgbColour(0x80, 0x80, 0x80);
// Its line in the z-ROC, darker: it is drawn antialiased and must stand out
// from the grid there.
inline constexpr ui::Colour kZRocFittedColour = ui::RgbColour(0x40, 0x40, 0x40);

// The designs of the class plot, in order of their first session; a design
// beyond the list takes the colours again from the start.
inline constexpr ui::Colour kDesignColours[] = {
    ui::RgbColour(0x1F, 0x5F, 0xBF), ui::RgbColour(0xD9, 0x5F, 0x0E), ui::RgbColour(0x2C, 0x8C, 0x3C),
    ui::RgbColour(0x8E, 0x3C, 0xB0), ui::RgbColour(0x8C, 0x56, 0x4B), ui::RgbColour(0xC2, 0x2E, 0x7A)};
inline constexpr ui::Colour DesignColour(int design) {
  return kDesignColours[(design < 0 ? 0 : design) % (sizeof kDesignColours / sizeof kDesignColours[0])];
}

}  // namespace roc
