// The surface's text: the operations that need glyph rendering (FreeType and
// fontconfig), apart from the shapes so that the shapes build without them.
#include <algorithm>
#include <cstdint>

#include "FontEngine.h"
#include "Surface.h"

namespace ui {

namespace {
using i64 = std::int64_t;
}  // namespace

RasterFont& Surface::CurrentFont() const {
  if (font_ == nullptr || fontHeightFor_ != fontHeight_ || fontFor_ != fontName_) {
    font_ = &FontFor(fontName_, fontHeight_);
    fontFor_ = fontName_;
    fontHeightFor_ = fontHeight_;
  }
  return *font_;
}

void Surface::TextOut(int x, int y, const std::string& text) {
  RasterFont& font = CurrentFont();
  const int width = font.TextWidth(text);
  const std::uint32_t brush = ToRgb32(brushColour_);
  const i64 bottom = static_cast<i64>(y) + font.CellHeight();
  for (i64 row = std::max<i64>(y, 0); row < std::min<i64>(bottom, height_); ++row) {
    SpanWide(x, static_cast<i64>(x) + width - 1, row, brush);
  }
  font.Draw(bits_.data(), width_, height_, x, y + font.Ascent(), text, ToRgb32(fontColour_));
  penX_ = static_cast<int>(static_cast<i64>(x) + width);
  penY_ = y;
  Changed();
}

int Surface::TextWidth(const std::string& text) const { return CurrentFont().TextWidth(text); }

int Surface::TextHeight() const { return CurrentFont().CellHeight(); }

}  // namespace ui
