// The drawing surface: every operation on the raster with its exact pixel
// rules. One file: the operations share the clipping and pen helpers. Text,
// which needs the glyph rendering, is in SurfaceText.cpp.
#include "Surface.h"

#include <cwchar>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "FontEngine.h"

namespace ui {

namespace {

using i64 = std::int64_t;
using i128 = __int128;

// n = q d + r with 0 <= r < d, for d > 0.
std::pair<i128, i128> FloorDivMod(i128 n, i128 d) {
  i128 q = n / d;
  i128 r = n % d;
  if (r < 0) {
    r += d;
    --q;
  }
  return {q, r};
}

// The smallest k >= 0 with scale * k^2 >= target (scale > 0).
i64 SmallestRoot(i128 scale, i128 target) {
  if (target <= 0) return 0;
  const long double estimate = __builtin_sqrtl(static_cast<long double>(target) / static_cast<long double>(scale));
  i64 k = std::max<i64>(0, static_cast<i64>(estimate) - 1);
  while (k > 0 && scale * static_cast<i128>(k) * k >= target) --k;
  while (scale * static_cast<i128>(k) * k < target) ++k;
  return k;
}

// The nearest value >= v (<= v) with the parity of p.
i64 AlignUp(i64 v, i64 p) { return ((v - p) & 1) != 0 ? v + 1 : v; }
i64 AlignDown(i64 v, i64 p) { return ((v - p) & 1) != 0 ? v - 1 : v; }

// The outline of an ellipse, row by row. Coordinates are doubled and relative
// to the centre, so that they are integers for boxes of either parity: U = 2u
// has the parity of A = width - 1, V = 2v that of B = height - 1, and the curve
// is B^2 U^2 + A^2 V^2 = A^2 B^2. Where the curve is flat (|slope| <= 1) each
// column takes the pixel nearest to it, where it is steep each row does; a tie
// goes inwards. The split lies at the point of slope 1 of the exact curve, so
// a circle comes out symmetric about its diagonals. The products stay below
// 2^127 for A, B < 2^31.
struct EllipseRow {
  bool lit = false;
  i64 inner = 0;  // columns [inner, outer] on each side of the centre
  i64 outer = 0;
};

class EllipseCurve {
 public:
  EllipseCurve(i64 A, i64 B) : A_(A), B_(B), a2_(static_cast<i128>(A) * A), b2_(static_cast<i128>(B) * B), pa_(A & 1), pb_(B & 1) {
    // The point of slope 1 is (u0, v0) with u0^2 = A^4 / (A^2 + B^2) and
    // v0^2 = B^4 / (A^2 + B^2). A column counts as flat when its pixel starts
    // before u0 (U - 1 < u0), a row as steep when its pixel starts below v0;
    // the pixel holding that point belongs to both.
    flatLast_ = std::max(AlignDown(SmallestRoot(a2_ + b2_, a2_ * a2_), pa_), pa_);
    steepLast_ = std::max(AlignDown(SmallestRoot(a2_ + b2_, b2_ * b2_), pb_), pb_);
  }

  EllipseRow Row(i64 V) const {
    EllipseRow row;
    const auto take = [&](i64 lo, i64 hi) {
      if (lo > hi) return;
      row.inner = row.lit ? std::min(row.inner, lo) : lo;
      row.outer = row.lit ? std::max(row.outer, hi) : hi;
      row.lit = true;
    };
    // Flat part: the columns whose nearest pixel lies in this row (column U
    // takes the smallest V with the curve at or below V + 1). The column next
    // to the centre always lies in the top row, so that the ellipse touches
    // the box there.
    const i64 first = AlignUp(std::max<i64>(SmallestRoot(b2_, Away(V + 1)), pa_ + 2), pa_);
    const i64 last = V == pb_ ? A_ : AlignDown(SmallestRoot(b2_, Away(V - 1)) - 1, pa_);
    if (V == B_) take(pa_, pa_);
    take(first, std::min({last, A_, flatLast_}));
    // Steep part: the column nearest to the curve in this row; the row next
    // to the centre always reaches the side of the box.
    if (V <= steepLast_) {
      const i64 U = V == pb_ ? A_ : AlignUp(std::max<i64>(SmallestRoot(b2_, Away(V)) - 1, pa_), pa_);
      take(U, U);
    }
    return row;
  }

 private:
  // A^2 (B^2 - V^2): where B^2 U^2 reaches it, column U meets the curve's height V.
  i128 Away(i64 V) const { return a2_ * (b2_ - static_cast<i128>(V) * V); }

  i64 A_, B_;
  i128 a2_, b2_;
  i64 pa_, pb_;
  i64 flatLast_, steepLast_;
};

}  // namespace

// A pen of width w covers the offsets lo..hi = -(w / 2)..(w - 1) / 2 around a
// pixel, rounded off: an offset is covered when it lies within w/2 - 1/4 of
// the footprint's centre. Width 0 draws like 1, which is the pixel itself;
// width 3 is a plus. Wide pens are stamped pixel by pixel along the path, so
// a pen is drawn at most kMaxPenWidth pixels wide.
struct Surface::PenShape {
  static constexpr int kMaxPenWidth = 64;
  int lo = 0;
  int hi = 0;
  std::array<std::pair<int, int>, kMaxPenWidth> rows{};  // columns covered, per row offset lo..hi

  explicit PenShape(int width) {
    const int w = std::clamp(width, 1, kMaxPenWidth);
    lo = -(w / 2);
    hi = (w - 1) / 2;
    const i64 centre4 = (w % 2 == 0) ? -2 : 0;  // four times the centre offset
    const i64 radius4 = 2 * static_cast<i64>(w) - 1;
    for (int dy = lo; dy <= hi; ++dy) {
      const i64 ry = 4 * dy - centre4;
      int left = 1;
      int right = 0;
      for (int dx = lo; dx <= hi; ++dx) {
        const i64 rx = 4 * dx - centre4;
        if (rx * rx + ry * ry <= radius4 * radius4) {
          left = std::min(left, dx);
          right = std::max(right, dx);
        }
      }
      rows[static_cast<std::size_t>(dy - lo)] = {left, right};
    }
  }
  bool Thin() const { return lo == 0 && hi == 0; }
};

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bits_(static_cast<std::size_t>(width_) * height_, 0x00FFFFFFu),
      fontName_(kDefaultFontName),
      fontHeight_(kDefaultFontHeight) {}

void Surface::SetFontName(const std::string& name) {
  if (name.empty()) return;
  constexpr std::size_t kMaxBytes = 31;
  if (name.size() <= kMaxBytes) {
    fontName_ = name;
    return;
  }
  // Cut before a character that would not fit whole.
  std::size_t cut = kMaxBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  fontName_ = name.substr(0, cut > 0 ? cut : kMaxBytes);
}

void Surface::PlotWide(i64 x, i64 y, std::uint32_t rgb32) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  bits_[static_cast<std::size_t>(y) * width_ + x] = rgb32;
}

void Surface::SpanWide(i64 x1, i64 x2, i64 y, std::uint32_t rgb32) {
  if (y < 0 || y >= height_) return;
  x1 = std::max<i64>(x1, 0);
  x2 = std::min<i64>(x2, width_ - 1);
  if (x1 > x2) return;
  std::uint32_t* first = bits_.data() + static_cast<std::ptrdiff_t>(y) * width_ + x1;
  const auto count = static_cast<std::size_t>(x2 - x1 + 1);
  if constexpr (sizeof(wchar_t) == sizeof(std::uint32_t)) {
    // The C library's wide fill is vectorised; a plain loop is not at every optimisation level.
    std::wmemset(reinterpret_cast<wchar_t*>(first), static_cast<wchar_t>(rgb32), count);
  } else {
    std::fill_n(first, count, rgb32);
  }
}

void Surface::Stamp(const PenShape& pen, i64 x, i64 y, std::uint32_t rgb32) {
  if (pen.Thin()) {
    PlotWide(x, y, rgb32);
    return;
  }
  for (int dy = pen.lo; dy <= pen.hi; ++dy) {
    const auto [left, right] = pen.rows[dy - pen.lo];
    SpanWide(x + left, x + right, y + dy, rgb32);
  }
}

void Surface::Rectangle(int x1, int y1, int x2, int y2) {
  const i64 left = std::min(x1, x2);
  const i64 right = std::max(x1, x2);  // excluded
  const i64 top = std::min(y1, y2);
  const i64 bottom = std::max(y1, y2);  // excluded
  if (left == right || top == bottom) {
    Changed();
    return;
  }
  const std::uint32_t brush = ToRgb32(brushColour_);
  const std::uint32_t pen = ToRgb32(penColour_);

  for (i64 y = std::max<i64>(top + 1, 0); y <= std::min<i64>(bottom - 2, height_ - 1); ++y) {
    SpanWide(left + 1, right - 2, y, brush);
  }

  const PenShape shape(penWidth_);
  if (shape.Thin()) {
    SpanWide(left, right - 1, top, pen);
    SpanWide(left, right - 1, bottom - 1, pen);
    for (i64 y = std::max<i64>(top + 1, 0); y <= std::min<i64>(bottom - 2, height_ - 1); ++y) {
      PlotWide(left, y, pen);
      PlotWide(right - 1, y, pen);
    }
  } else {
    // The pen centred on every pixel of the 1-pixel outline, drawn as the
    // spans of the union of those stamps. Every row of a pen covers its
    // centre column, so along an edge each raster row is one span.
    for (int dy = shape.lo; dy <= shape.hi; ++dy) {
      const auto [l, r] = shape.rows[dy - shape.lo];
      SpanWide(left + l, right - 1 + r, top + dy, pen);
      SpanWide(left + l, right - 1 + r, bottom - 1 + dy, pen);
    }
    const i64 yFirst = std::max<i64>(top + shape.lo, 0);
    const i64 yLast = std::min<i64>(bottom - 1 + shape.hi, height_ - 1);
    for (i64 y = yFirst; y <= yLast; ++y) {
      // The stamps centred on rows y - dy of the edge reach row y.
      const i64 dyFirst = std::max<i64>(shape.lo, y - (bottom - 1));
      const i64 dyLast = std::min<i64>(shape.hi, y - top);
      int l = 0;
      int r = 0;
      for (i64 dy = dyFirst; dy <= dyLast; ++dy) {
        l = std::min(l, shape.rows[dy - shape.lo].first);
        r = std::max(r, shape.rows[dy - shape.lo].second);
      }
      SpanWide(left + l, left + r, y, pen);
      SpanWide(right - 1 + l, right - 1 + r, y, pen);
    }
  }
  Changed();
}

void Surface::Ellipse(int x1, int y1, int x2, int y2) {
  const i64 left = std::min(x1, x2);
  const i64 right = std::max(x1, x2);
  const i64 top = std::min(y1, y2);
  const i64 bottom = std::max(y1, y2);
  // A box two pixels or less across is a rectangle; so, as a limit of the
  // exact arithmetic, is a box of 2^31 pixels or more across.
  constexpr i64 kHuge = i64{1} << 31;
  if (right - left <= 2 || bottom - top <= 2 || right - left > kHuge || bottom - top > kHuge) {
    Rectangle(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    return;
  }
  const std::uint32_t brush = ToRgb32(brushColour_);
  const std::uint32_t pen = ToRgb32(penColour_);
  const PenShape shape(penWidth_);
  const i64 A = right - left - 1;
  const i64 B = bottom - top - 1;
  // Pixel column of the doubled offset U from the centre; U has A's parity.
  const auto column = [&](i64 U) { return left + (A + U) / 2; };
  const auto rowV = [&](i64 y) { return std::abs(2 * (y - top) - B); };
  const EllipseCurve curve(A, B);

  for (i64 y = std::max<i64>(top, 0); y <= std::min<i64>(bottom - 1, height_ - 1); ++y) {
    const EllipseRow row = curve.Row(rowV(y));
    if (row.lit) SpanWide(column(-row.inner) + 1, column(row.inner) - 1, y, brush);
  }

  const i64 yFirst = std::max<i64>(top, -shape.hi);
  const i64 yLast = std::min<i64>(bottom - 1, height_ - 1 - shape.lo);
  for (i64 y = yFirst; y <= yLast; ++y) {
    const EllipseRow row = curve.Row(rowV(y));
    if (!row.lit) continue;
    if (shape.Thin()) {
      SpanWide(column(-row.outer), column(-row.inner), y, pen);
      SpanWide(column(row.inner), column(row.outer), y, pen);
      continue;
    }
    const auto stampRun = [&](i64 from, i64 to) {
      for (i64 x = std::max<i64>(from, -shape.hi); x <= std::min<i64>(to, width_ - 1 - shape.lo); ++x) {
        Stamp(shape, x, y, pen);
      }
    };
    stampRun(column(-row.outer), column(-row.inner));
    stampRun(column(row.inner), column(row.outer));
  }
  Changed();
}

void Surface::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

void Surface::LineTo(int x, int y) {
  const i64 x0 = penX_;
  const i64 y0 = penY_;
  penX_ = x;
  penY_ = y;
  const i64 dx = x - x0;
  const i64 dy = y - y0;
  if (dx == 0 && dy == 0) {
    Changed();
    return;
  }
  const std::uint32_t pen = ToRgb32(penColour_);
  const PenShape shape(penWidth_);
  // A wide pen also covers the end pixel, with a round cap.
  const i64 extra = shape.Thin() ? 0 : 1;

  // Walk the major axis from the start (included) to the end (excluded); the
  // minor coordinate is ceil(exact - 1/2): nearest, ties to the smaller one.
  // Steps that lie outside the raster along the major axis are skipped.
  const bool flat = std::abs(dx) > std::abs(dy);
  const i64 major0 = flat ? x0 : y0;
  const i64 minor0 = flat ? y0 : x0;
  const i64 dMajor = flat ? dx : dy;
  const i64 dMinor = flat ? dy : dx;
  const i64 step = dMajor > 0 ? 1 : -1;
  const i64 extent = flat ? width_ : height_;
  const i64 lowMajor = -shape.hi;
  const i64 highMajor = extent - 1 - shape.lo;
  i64 tFirst = 0;
  i64 tLast = std::abs(dMajor) - 1 + extra;
  if (step > 0) {
    tFirst = std::max(tFirst, lowMajor - major0);
    tLast = std::min(tLast, highMajor - major0);
  } else {
    tFirst = std::max(tFirst, major0 - highMajor);
    tLast = std::min(tLast, major0 - lowMajor);
  }
  // minor = minor0 + ceil((2 dMinor s - dMajor) / (2 dMajor)), s = signed step
  // count. With num / den normalised to den > 0, num = q den + r, 0 <= r < den,
  // the ceiling is q + (r > 0); q and r follow num by additions along the line.
  i128 den = 2 * static_cast<i128>(dMajor);
  i128 num = 2 * static_cast<i128>(dMinor) * (tFirst * step) - dMajor;
  i128 inc = 2 * static_cast<i128>(dMinor) * step;
  if (den < 0) {
    den = -den;
    num = -num;
    inc = -inc;
  }
  auto [q, r] = FloorDivMod(num, den);
  const auto [incQ, incR] = FloorDivMod(inc, den);
  for (i64 t = tFirst; t <= tLast; ++t) {
    const i64 minor = minor0 + static_cast<i64>(q) + (r > 0 ? 1 : 0);
    const i64 major = major0 + t * step;
    if (flat) {
      Stamp(shape, major, minor, pen);
    } else {
      Stamp(shape, minor, major, pen);
    }
    q += incQ;
    r += incR;
    if (r >= den) {
      r -= den;
      ++q;
    }
  }
  Changed();
}

void PaintWhite(Surface& s, int left, int top, int right, int bottom) {
  s.SetPenColor(clWhite);
  s.SetBrushColor(clWhite);
  s.Rectangle(left, top, right, bottom);
}

Colour Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clInvalid;
  return FromRgb32(bits_[static_cast<std::size_t>(y) * width_ + x]);
}

void Surface::SetPixel(int x, int y, Colour c) {
  PlotWide(x, y, ToRgb32(c));
  Changed();
}

}  // namespace ui
