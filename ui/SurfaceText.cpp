// The surface's text: the operations that need glyph rendering (FreeType and
// fontconfig), apart from the shapes so that the shapes build without them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "FontEngine.h"
#include "Surface.h"

namespace ui {

namespace {

using i64 = std::int64_t;

// A font height at a scale: a cell height or pixels per em, scaled and rounded.
int DeviceFontHeight(int height, double scale) {
  if (scale == 1) return height;
  if (height == 0) height = kDefaultFontHeight;
  const int scaled = std::max(1, static_cast<int>(std::lround(std::abs(height) * scale)));
  return height > 0 ? scaled : -scaled;
}

}  // namespace

void Surface::TextOut(int x, int y, const std::string& text) {
  RasterFont& font = CurrentFont();
  const int width = font.TextWidth(text);
  textApplier_.store(&ApplyTextOp, std::memory_order_relaxed);
  Record(Kind::kText, TextArgs{x, y, width, font.CellHeight(), text});
  state_.penX = static_cast<int>(static_cast<i64>(x) + width);
  state_.penY = y;
}

void Surface::ApplyTextOp(Surface& s, const Op& op) {
  const auto& t = std::get<TextArgs>(op.args);
  s.ApplyText(op.state, t.x, t.y, t.text, t.width, t.cellHeight);
}

int Surface::TextWidth(const std::string& text) const { return CurrentFont().TextWidth(text); }

int Surface::TextHeight() const { return CurrentFont().CellHeight(); }

RasterFont& Surface::FontOf(const State& st, bool device) const {
  FontCache& cache = fonts_[device ? 1 : 0];
  const int height = device ? DeviceFontHeight(st.fontHeight, scale_) : st.fontHeight;
  if (cache.font == nullptr || cache.height != height || cache.name != st.fontName) {
    cache.font = &FontFor(*st.fontName, height);
    cache.height = height;
  }
  cache.name = st.fontName;
  return *cache.font;
}

void Surface::ApplyText(const State& st, int x, int y, const std::string& text, int width, int cellHeight) {
  // Laid out at logical size; on a finer raster the glyphs are rendered at
  // the scaled size from the same top-left corner, and the brush fills
  // whichever box is larger.
  RasterFont& font = FontOf(st, true);
  const i64 left = EdgeX(x);
  const i64 top = EdgeY(y);
  i64 right = static_cast<i64>(x) + width;
  i64 bottom = static_cast<i64>(y) + cellHeight;
  if (scale_ != 1) {
    right = std::max(EdgeX(right), left + font.TextWidth(text));
    bottom = std::max(EdgeY(bottom), top + font.CellHeight());
  }
  const std::uint32_t brush = ToRgb32(st.brush);
  for (i64 row = std::max<i64>(top, 0); row < std::min<i64>(bottom, deviceHeight_); ++row) {
    SpanWide(left, right - 1, row, brush);
  }
  font.Draw(bits_.data(), deviceWidth_, deviceHeight_, static_cast<int>(left), static_cast<int>(top) + font.Ascent(),
            text, ToRgb32(st.fontColour));
}

}  // namespace ui
