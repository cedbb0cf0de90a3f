#pragma once
#include <string>

#include "ui/Surface.h"

// Whether a surface shows a text at (x, y): the same text is drawn alone on a
// fresh white surface with the given font and colours, and every pixel of its
// box (text width x cell height) must be equal.
inline bool ShowsText(const ui::Surface& s, int x, int y, const std::string& text, const std::string& fontName,
                      int fontHeight, ui::Colour fontColour, ui::Colour brush = ui::clWhite) {
  ui::Surface expected(s.Width(), s.Height());
  expected.SetFontName(fontName);
  expected.SetFontHeight(fontHeight);
  expected.SetFontColor(fontColour);
  expected.SetBrushColor(brush);
  expected.TextOut(x, y, text);
  const int w = expected.TextWidth(text);
  const int h = expected.TextHeight();
  if (w <= 0 || h <= 0) return false;
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px)
      if (s.Pixel(px, py) != expected.Pixel(px, py)) return false;
  return true;
}

// Whether every pixel of the box [x1, x2) x [y1, y2) has the colour.
inline bool AllPixels(const ui::Surface& s, int x1, int y1, int x2, int y2, ui::Colour c) {
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x)
      if (s.Pixel(x, y) != c) return false;
  return true;
}
