#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Colour.h"
#include "FontEngine.h"

namespace ui {

class RasterFont;

// An off-screen 24-bit raster with a pen, a brush, a font and a current
// position. Coordinates are pixels, x to the right and y downwards from the
// top-left pixel (0, 0). Everything drawn is clipped to the raster without error.
class Surface {
 public:
  // A new surface is white; pen black width 1, brush white, the default font,
  // current position (0, 0).
  Surface(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Pen, brush and font. A negative pen width and an empty font name are
  // ignored; a font name is cut to its first 31 bytes.
  void SetPenColor(Colour c) { penColour_ = c; }
  void SetPenWidth(int w) { if (w >= 0) penWidth_ = w; }
  void SetBrushColor(Colour c) { brushColour_ = c; }
  void SetFontHeight(int h) { fontHeight_ = h; }
  void SetFontName(const std::string& name);
  void SetFontColor(Colour c) { fontColour_ = c; }
  Colour PenColor() const { return penColour_; }
  int PenWidth() const { return penWidth_; }
  Colour BrushColor() const { return brushColour_; }
  int FontHeight() const { return fontHeight_; }
  const std::string& FontName() const { return fontName_; }
  Colour FontColor() const { return fontColour_; }
  int PenX() const { return penX_; }
  int PenY() const { return penY_; }

  // The box covers columns x1..x2-1 and rows y1..y2-1: filled with the brush,
  // outlined with the pen.
  void Rectangle(int x1, int y1, int x2, int y2);
  // The ellipse inscribed in the same box, filled with the brush, outlined with the pen.
  void Ellipse(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  // A line with the pen from the current position to (x, y), the end pixel
  // excluded; the current position becomes (x, y).
  void LineTo(int x, int y);
  // (x, y) is the top-left corner of the text (UTF-8). The box of the text's
  // width and the font's cell height is filled with the brush, then the glyphs
  // are drawn in the font colour; the current position becomes (x + width, y).
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  // The font's cell height in pixels.
  int TextHeight() const;

  // 0x00BBGGRR; clInvalid outside the surface.
  Colour Pixel(int x, int y) const;
  // A system colour is looked up first.
  void SetPixel(int x, int y, Colour c);

  // Raw rows of 0x00RRGGBB words (the layout of a 32-bit RGB screen image),
  // Width() words per row.
  const std::uint32_t* Bits() const { return bits_.data(); }

  // Called after every operation that changes pixels.
  void SetChangeObserver(std::function<void()> observer) { observer_ = std::move(observer); }

 private:
  void Changed() { if (observer_) observer_(); }
  // One pixel, and the columns x1..x2 of a row, clipped; in 64 bits, for
  // shapes whose corners lie far outside the raster.
  void PlotWide(std::int64_t x, std::int64_t y, std::uint32_t rgb32);
  void SpanWide(std::int64_t x1, std::int64_t x2, std::int64_t y, std::uint32_t rgb32);
  // The pen's footprint centred on (x, y): rows of spans, round for wide pens.
  struct PenShape;
  void Stamp(const PenShape& pen, std::int64_t x, std::int64_t y, std::uint32_t rgb32);
  // The current font, looked up again only when name or height changed.
  RasterFont& CurrentFont() const;

  int width_;
  int height_;
  std::vector<std::uint32_t> bits_;
  Colour penColour_ = clBlack;
  int penWidth_ = 1;
  Colour brushColour_ = clWhite;
  std::string fontName_;
  int fontHeight_;
  Colour fontColour_ = clWindowText;
  int penX_ = 0;
  int penY_ = 0;
  std::function<void()> observer_;
  mutable RasterFont* font_ = nullptr;
  mutable std::string fontFor_;
  mutable int fontHeightFor_ = 0;
};

// Paints a white box: pen and brush white, then the rectangle; both stay white.
void PaintWhite(Surface& s, int left, int top, int right, int bottom);

}  // namespace ui
