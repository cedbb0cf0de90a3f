// The drawing surface: every operation on the raster with its exact pixel
// rules. One file: the operations share the clipping and pen helpers.
#include "Surface.h"

#include <cwchar>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <set>
#include <type_traits>
#include <utility>
#include <variant>

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
  // Columns covered, per row offset lo..hi; only those rows are set (a pen is
  // made for every operation, and most pens are thin).
  std::array<std::pair<int, int>, kMaxPenWidth> rows;

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

namespace {

// The one string of a font name (names are few; they stay for the process).
const std::string* Interned(const std::string& name) {
  static auto* names = new std::set<std::string>;
  return &*names->insert(name).first;
}

// Device pixels of a logical length, up to the next whole one.
int DeviceLength(int logical, double scale) {
  return scale == 1 ? logical : static_cast<int>(std::ceil(logical * scale - 1e-9));
}

// The device width of a logical pen width (0 draws like 1).
int DevicePen(int width, double scale) {
  width = std::max(width, 1);
  return scale == 1 ? width : std::max(1, static_cast<int>(std::lround(width * scale)));
}

// The device pixel a pen of device width p is centred on for logical pixel v
// of a pen of logical width w. An odd pen is centred on its pixel's middle,
// an even one on its pixel's top-left corner, at either scale.
i64 Centre(i64 v, int w, int p, double scale) {
  if (scale == 1) return v;
  const double at = scale * (static_cast<double>(v) + (w > 1 && w % 2 == 0 ? 0.0 : 0.5));
  return static_cast<i64>(std::floor(p % 2 == 1 ? at : at + 0.5));
}

}  // namespace

std::atomic<void (*)(Surface&, const Surface::Op&)> Surface::textApplier_{nullptr};

Surface::Surface(int width, int height, double scale)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      scale_(scale > 0 ? scale : 1),
      deviceWidth_(DeviceLength(width_, scale_)),
      deviceHeight_(DeviceLength(height_, scale_)),
      bits_(static_cast<std::size_t>(deviceWidth_) * deviceHeight_, 0x00FFFFFFu) {
  state_.fontName = Interned(kDefaultFontName);
}

void Surface::SetScale(double scale) {
  if (!(scale > 0) || scale == scale_) return;
  scale_ = scale;
  deviceWidth_ = DeviceLength(width_, scale_);
  deviceHeight_ = DeviceLength(height_, scale_);
  bits_.assign(static_cast<std::size_t>(deviceWidth_) * deviceHeight_, 0x00FFFFFFu);
  fonts_[1] = {};
  for (const Op& op : ops_) Apply(op, nullptr);
}

Surface Surface::Redrawn(double scale) const {
  Surface copy(width_, height_, scale);
  copy.state_ = state_;
  copy.ops_ = ops_;
  copy.compactAt_ = compactAt_;
  for (const Op& op : copy.ops_) copy.Apply(op, nullptr);
  return copy;
}

void Surface::SetFontName(const std::string& name) {
  if (name.empty()) return;
  constexpr std::size_t kMaxBytes = 31;
  if (name.size() <= kMaxBytes) {
    if (name != *state_.fontName) state_.fontName = Interned(name);
    return;
  }
  // Cut before a character that would not fit whole.
  std::size_t cut = kMaxBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  state_.fontName = Interned(name.substr(0, cut > 0 ? cut : kMaxBytes));
}

i64 Surface::EdgeX(i64 x) const {
  if (scale_ == 1) return x;
  // The surface's right edge is the raster's, whatever the rounding.
  if (x >= width_) return deviceWidth_ + static_cast<i64>(std::floor(static_cast<double>(x - width_) * scale_ + 0.5));
  return static_cast<i64>(std::floor(static_cast<double>(x) * scale_ + 0.5));
}

i64 Surface::EdgeY(i64 y) const {
  if (scale_ == 1) return y;
  if (y >= height_) return deviceHeight_ + static_cast<i64>(std::floor(static_cast<double>(y - height_) * scale_ + 0.5));
  return static_cast<i64>(std::floor(static_cast<double>(y) * scale_ + 0.5));
}

void Surface::PlotWide(i64 x, i64 y, std::uint32_t rgb32) {
  if (x < 0 || y < 0 || x >= deviceWidth_ || y >= deviceHeight_) return;
  bits_[static_cast<std::size_t>(y) * deviceWidth_ + x] = rgb32;
}

void Surface::SpanWide(i64 x1, i64 x2, i64 y, std::uint32_t rgb32) {
  if (y < 0 || y >= deviceHeight_) return;
  x1 = std::max<i64>(x1, 0);
  x2 = std::min<i64>(x2, deviceWidth_ - 1);
  if (x1 > x2) return;
  std::uint32_t* first = bits_.data() + static_cast<std::ptrdiff_t>(y) * deviceWidth_ + x1;
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

void Surface::DeviceRectangle(i64 left, i64 top, i64 right, i64 bottom, std::uint32_t brush, std::uint32_t pen,
                              const PenShape& shape, int band) {
  const i64 inset = std::max(band, 1);
  for (i64 y = std::max<i64>(top + inset, 0); y <= std::min<i64>(bottom - 1 - inset, deviceHeight_ - 1); ++y) {
    SpanWide(left + inset, right - 1 - inset, y, brush);
  }

  if (band == 1) {
    SpanWide(left, right - 1, top, pen);
    SpanWide(left, right - 1, bottom - 1, pen);
    for (i64 y = std::max<i64>(top + 1, 0); y <= std::min<i64>(bottom - 2, deviceHeight_ - 1); ++y) {
      PlotWide(left, y, pen);
      PlotWide(right - 1, y, pen);
    }
  } else if (band > 1) {
    // An outline `band` pixels thick inside the box.
    for (i64 y = std::max<i64>(top, 0); y <= std::min<i64>(bottom - 1, deviceHeight_ - 1); ++y) {
      if (y < top + band || y >= bottom - band) {
        SpanWide(left, right - 1, y, pen);
      } else {
        SpanWide(left, std::min(left + band, right) - 1, y, pen);
        SpanWide(std::max(right - band, left), right - 1, y, pen);
      }
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
    const i64 yLast = std::min<i64>(bottom - 1 + shape.hi, deviceHeight_ - 1);
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
}

void Surface::DeviceEllipse(i64 left, i64 top, i64 right, i64 bottom, std::uint32_t brush, std::uint32_t pen,
                            const PenShape& shape) {
  const i64 A = right - left - 1;
  const i64 B = bottom - top - 1;
  // Pixel column of the doubled offset U from the centre; U has A's parity.
  const auto column = [&](i64 U) { return left + (A + U) / 2; };
  const auto rowV = [&](i64 y) { return std::abs(2 * (y - top) - B); };
  const EllipseCurve curve(A, B);

  for (i64 y = std::max<i64>(top, 0); y <= std::min<i64>(bottom - 1, deviceHeight_ - 1); ++y) {
    const EllipseRow row = curve.Row(rowV(y));
    if (row.lit) SpanWide(column(-row.inner) + 1, column(row.inner) - 1, y, brush);
  }

  const i64 yFirst = std::max<i64>(top, -shape.hi);
  const i64 yLast = std::min<i64>(bottom - 1, deviceHeight_ - 1 - shape.lo);
  for (i64 y = yFirst; y <= yLast; ++y) {
    const EllipseRow row = curve.Row(rowV(y));
    if (!row.lit) continue;
    if (shape.Thin()) {
      SpanWide(column(-row.outer), column(-row.inner), y, pen);
      SpanWide(column(row.inner), column(row.outer), y, pen);
      continue;
    }
    const auto stampRun = [&](i64 from, i64 to) {
      for (i64 x = std::max<i64>(from, -shape.hi); x <= std::min<i64>(to, deviceWidth_ - 1 - shape.lo); ++x) {
        Stamp(shape, x, y, pen);
      }
    };
    stampRun(column(-row.outer), column(-row.inner));
    stampRun(column(row.inner), column(row.outer));
  }
}

void Surface::DeviceLine(i64 x0, i64 y0, i64 x, i64 y, std::uint32_t pen, const PenShape& shape, bool coverEnd) {
  const i64 dx = x - x0;
  const i64 dy = y - y0;
  if (dx == 0 && dy == 0) return;
  // A wide pen also covers the end pixel, with a round cap.
  const i64 extra = coverEnd ? 1 : 0;

  // Walk the major axis from the start (included) to the end (excluded); the
  // minor coordinate is ceil(exact - 1/2): nearest, ties to the smaller one.
  // Steps that lie outside the raster along the major axis are skipped.
  const bool flat = std::abs(dx) > std::abs(dy);
  const i64 major0 = flat ? x0 : y0;
  const i64 minor0 = flat ? y0 : x0;
  const i64 dMajor = flat ? dx : dy;
  const i64 dMinor = flat ? dy : dx;
  const i64 step = dMajor > 0 ? 1 : -1;
  const i64 extent = flat ? deviceWidth_ : deviceHeight_;
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
}

// The operations: each is recorded with the state it draws with and drawn at
// the current scale.

void Surface::Rectangle(int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) {
    Changed();
    return;
  }
  Record(Kind::kRectangle, BoxArgs{x1, y1, x2, y2});
}

void Surface::Ellipse(int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) {
    Changed();
    return;
  }
  Record(Kind::kEllipse, BoxArgs{x1, y1, x2, y2});
}

void Surface::MoveTo(int x, int y) {
  state_.penX = x;
  state_.penY = y;
}

void Surface::LineTo(int x, int y) {
  if (x != state_.penX || y != state_.penY) {
    Record(Kind::kLine, LineArgs{x, y});
  } else {
    Changed();
  }
  state_.penX = x;
  state_.penY = y;
}

void Surface::SetPixel(int x, int y, Colour c) {
  Record(Kind::kPixel, PixelArgs{x, y, c});
}

void Surface::GridSquare(int column, int row, int side, int cells) {
  Record(Kind::kGridSquare, GridSquareArgs{column, row, side, cells});
}

void Surface::DrawTurned(const Surface& from, int fromX, int fromY, int width, int height, int x, int y) {
  auto source = std::make_shared<Recording>();
  source->width = from.width_;
  source->height = from.height_;
  source->ops = from.ops_;
  Record(Kind::kTurned, TurnedArgs{fromX, fromY, width, height, x, y, std::move(source)}, &from);
}

void Surface::Record(Kind kind, Args args, const Surface* liveSource) {
  Op op{kind, std::move(args), state_};
  Apply(op, liveSource);
  ops_.push_back(std::move(op));
  if (ops_.size() >= compactAt_) Compact();
  Changed();
}

void Surface::Apply(const Op& op, const Surface* liveSource) {
  const State& st = op.state;
  switch (op.kind) {
    case Kind::kRectangle: {
      const auto& box = std::get<BoxArgs>(op.args);
      ApplyRectangle(st, box.x1, box.y1, box.x2, box.y2);
      break;
    }
    case Kind::kEllipse: {
      const auto& box = std::get<BoxArgs>(op.args);
      ApplyEllipse(st, box.x1, box.y1, box.x2, box.y2);
      break;
    }
    case Kind::kLine: {
      const auto& line = std::get<LineArgs>(op.args);
      ApplyLine(st, line.toX, line.toY);
      break;
    }
    case Kind::kText:
      textApplier_.load(std::memory_order_relaxed)(*this, op);
      break;
    case Kind::kPixel: {
      const auto& pixel = std::get<PixelArgs>(op.args);
      const std::uint32_t rgb = ToRgb32(pixel.colour);
      for (i64 y = EdgeY(pixel.y); y < EdgeY(static_cast<i64>(pixel.y) + 1); ++y) {
        SpanWide(EdgeX(pixel.x), EdgeX(static_cast<i64>(pixel.x) + 1) - 1, y, rgb);
      }
      break;
    }
    case Kind::kGridSquare: {
      const auto& square = std::get<GridSquareArgs>(op.args);
      ApplyGridSquare(st, square.column, square.row, square.side, square.cells);
      break;
    }
    case Kind::kTurned: {
      const auto& turned = std::get<TurnedArgs>(op.args);
      if (liveSource != nullptr && liveSource->scale_ == scale_) {
        ApplyTurned(*liveSource, turned);
      } else {
        Surface from(turned.source->width, turned.source->height, scale_);
        for (const Op& o : turned.source->ops) from.Apply(o, nullptr);
        ApplyTurned(from, turned);
      }
      break;
    }
  }
}

void Surface::ApplyRectangle(const State& st, int x1, int y1, int x2, int y2) {
  const i64 left = std::min(x1, x2);
  const i64 right = std::max(x1, x2);  // excluded
  const i64 top = std::min(y1, y2);
  const i64 bottom = std::max(y1, y2);  // excluded
  const std::uint32_t brush = ToRgb32(st.brush);
  const std::uint32_t pen = ToRgb32(st.pen);
  const int p = DevicePen(st.penWidth, scale_);
  const PenShape shape(p);
  if (st.penWidth <= 1) {
    // A thin outline lies inside the box, as thick as a logical pixel.
    DeviceRectangle(EdgeX(left), EdgeY(top), EdgeX(right), EdgeY(bottom), brush, pen, shape,
                    std::min(p, PenShape::kMaxPenWidth));
  } else {
    DeviceRectangle(Centre(left, st.penWidth, p, scale_), Centre(top, st.penWidth, p, scale_),
                    Centre(right - 1, st.penWidth, p, scale_) + 1, Centre(bottom - 1, st.penWidth, p, scale_) + 1,
                    brush, pen, shape, 0);
  }
}

void Surface::ApplyEllipse(const State& st, int x1, int y1, int x2, int y2) {
  const i64 left = std::min(x1, x2);
  const i64 right = std::max(x1, x2);
  const i64 top = std::min(y1, y2);
  const i64 bottom = std::max(y1, y2);
  // A box two pixels or less across is a rectangle; so, as a limit of the
  // exact arithmetic, is a box of 2^31 pixels or more across.
  constexpr i64 kHuge = i64{1} << 31;
  if (right - left <= 2 || bottom - top <= 2 || right - left > kHuge || bottom - top > kHuge) {
    ApplyRectangle(st, static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    return;
  }
  const int p = DevicePen(st.penWidth, scale_);
  const i64 l = Centre(left, st.penWidth, p, scale_);
  const i64 t = Centre(top, st.penWidth, p, scale_);
  const i64 r = Centre(right - 1, st.penWidth, p, scale_) + 1;
  const i64 b = Centre(bottom - 1, st.penWidth, p, scale_) + 1;
  const PenShape shape(p);
  if (scale_ != 1 && (r - l <= 2 || b - t <= 2)) {
    DeviceRectangle(l, t, r, b, ToRgb32(st.brush), ToRgb32(st.pen), shape, shape.Thin() ? 1 : 0);
    return;
  }
  DeviceEllipse(l, t, r, b, ToRgb32(st.brush), ToRgb32(st.pen), shape);
}

void Surface::ApplyLine(const State& st, int x, int y) {
  const int p = DevicePen(st.penWidth, scale_);
  const auto centre = [&](i64 v) { return Centre(v, st.penWidth, p, scale_); };
  DeviceLine(centre(st.penX), centre(st.penY), centre(x), centre(y), ToRgb32(st.pen), PenShape(p), st.penWidth > 1);
}


void Surface::ApplyGridSquare(const State& st, int column, int row, int side, int cells) {
  const int p = DevicePen(st.penWidth, scale_);
  const PenShape shape(p);
  const int band = st.penWidth <= 1 ? std::min(p, PenShape::kMaxPenWidth) : 0;
  const std::uint32_t brush = ToRgb32(st.brush);
  const std::uint32_t pen = ToRgb32(st.pen);
  if (scale_ == 1) {
    const i64 x = static_cast<i64>(column) * side;
    const i64 y = static_cast<i64>(row) * side;
    DeviceRectangle(x, y, x + side, y + side, brush, pen, shape, band);
    return;
  }
  const i64 cell = static_cast<i64>(std::floor(side * scale_ + 1e-9));
  const i64 area = DeviceLength(side * cells, scale_);
  const i64 offset = (area - cell * cells) / 2;
  const i64 x = offset + column * cell;
  const i64 y = offset + row * cell;
  DeviceRectangle(x, y, x + cell, y + cell, brush, pen, shape, band);
}

void Surface::ApplyTurned(const Surface& from, const TurnedArgs& turned) {
  const int fromX = turned.fromX, fromY = turned.fromY, w = turned.width, h = turned.height, x = turned.toX,
            y = turned.toY;
  if (w <= 0 || h <= 0) return;
  // The box's device pixels turned as they are, not resampled: source pixel
  // (left + j, top + k) lands on (x0 + k, y0 - j).
  const i64 left = from.EdgeX(fromX);
  const i64 top = from.EdgeY(fromY);
  const i64 columns = from.EdgeX(static_cast<i64>(fromX) + w) - left;
  const i64 rows = from.EdgeY(static_cast<i64>(fromY) + h) - top;
  const i64 x0 = EdgeX(x);
  const i64 y0 = EdgeY(static_cast<i64>(y) + 1) - 1;
  for (i64 j = 0; j < columns; ++j) {
    const i64 sx = left + j;
    const i64 Y = y0 - j;
    if (sx < 0 || sx >= from.deviceWidth_ || Y < 0 || Y >= deviceHeight_) continue;
    for (i64 k = 0; k < rows; ++k) {
      const i64 sy = top + k;
      const i64 X = x0 + k;
      if (sy < 0 || sy >= from.deviceHeight_ || X < 0 || X >= deviceWidth_) continue;
      bits_[static_cast<std::size_t>(Y) * deviceWidth_ + X] = from.bits_[static_cast<std::size_t>(sy) * from.deviceWidth_ + sx];
    }
  }
}

void PaintWhite(Surface& s, int left, int top, int right, int bottom) {
  s.SetPenColor(clWhite);
  s.SetBrushColor(clWhite);
  s.Rectangle(left, top, right, bottom);
}

Colour Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clInvalid;
  if (scale_ == 1) return FromRgb32(bits_[static_cast<std::size_t>(y) * width_ + x]);
  const auto at = [this](int v, int limit) {
    return std::min<i64>(static_cast<i64>(std::floor((v + 0.5) * scale_)), limit - 1);
  };
  return FromRgb32(bits_[static_cast<std::size_t>(at(y, deviceHeight_)) * deviceWidth_ + at(x, deviceWidth_)]);
}

// Keeping the list short. An operation may go when none of its pixels can
// show: a later one draws all of them again the same (an identical
// operation), or covers them (a rectangle with a thin pen, which paints its
// whole box, around everything the operation can reach; squares of one grid
// and rectangles of one box cover each other exactly). A pixel's last writer
// never goes, so the picture stays the same at every scale. The list is
// compacted when it has grown to eight times its last compacted length, so
// that each operation costs about one hash probe.
namespace {

struct Area {
  i64 left, top, right, bottom;  // excluded right and bottom
  bool Inside(const Area& o) const { return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom; }
};

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  return h;
}

// Indices of operations seen, by a hash and an equality of their own; eight
// bytes a slot, at most three quarters full.
class SeenSet {
 public:
  explicit SeenSet(std::size_t n) : slots_(std::bit_ceil(n + n / 3 + 2)), mask_(slots_.size() - 1) {}
  // Whether an equal index was there already; else adds it.
  template <class Equal>
  bool Seen(std::uint64_t hash, std::size_t index, Equal equal) {
    // Spread the bits first: linear probing needs well-mixed low bits.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 33;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
      if (slots_[at].index == 0) {
        slots_[at] = {tag, static_cast<std::uint32_t>(index + 1)};
        return false;
      }
      if (slots_[at].tag == tag && equal(slots_[at].index - 1)) return true;
    }
  }

 private:
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t index = 0;  // one more than the operation's; 0 empty
  };
  std::vector<Slot> slots_;
  std::size_t mask_;
};

}  // namespace

struct Surface::Compaction {
  // Everything an operation can draw on a surface of width x height: its
  // arguments' box, widened by the pen and the rounding to device pixels.
  static Area Reach(const Op& op, int width, int height) {
    const i64 m = op.state.penWidth / 2 + 2;  // a pen's half width and a device pixel's rounding
    Area a{};
    switch (op.kind) {
      case Kind::kRectangle:
      case Kind::kEllipse: {
        const auto& box = std::get<BoxArgs>(op.args);
        a = {std::min(box.x1, box.x2) - m, std::min(box.y1, box.y2) - m, std::max(box.x1, box.x2) + m,
             std::max(box.y1, box.y2) + m};
        break;
      }
      case Kind::kLine: {
        const auto& line = std::get<LineArgs>(op.args);
        a = {std::min(line.toX, op.state.penX) - m, std::min(line.toY, op.state.penY) - m,
             std::max(line.toX, op.state.penX) + m + 1, std::max(line.toY, op.state.penY) + m + 1};
        break;
      }
      case Kind::kText: {
        // Glyphs may overhang their cell; a cell's height around it is plenty.
        const auto& text = std::get<TextArgs>(op.args);
        const i64 h = std::max(text.cellHeight, 1);
        a = {text.x - h, text.y - h, static_cast<i64>(text.x) + text.width + h, static_cast<i64>(text.y) + 2 * h};
        break;
      }
      case Kind::kPixel: {
        const auto& pixel = std::get<PixelArgs>(op.args);
        a = {pixel.x - 1, pixel.y - 1, pixel.x + 2, pixel.y + 2};
        break;
      }
      case Kind::kGridSquare: {
        const auto& square = std::get<GridSquareArgs>(op.args);
        const i64 grid = static_cast<i64>(square.side) * square.cells;
        a = {-m, -m, grid + m, grid + m};
        break;
      }
      case Kind::kTurned: {
        const auto& turned = std::get<TurnedArgs>(op.args);
        a = {turned.toX - 2, static_cast<i64>(turned.toY) - turned.width - 1,
             static_cast<i64>(turned.toX) + turned.height + 2, turned.toY + 3};
        break;
      }
    }
    // Nothing lies outside the surface.
    return {std::max<i64>(a.left, 0), std::max<i64>(a.top, 0), std::min<i64>(a.right, width),
            std::min<i64>(a.bottom, height)};
  }

  // A rectangle or grid square with a thin pen paints every pixel of its box.
  static bool ThinBox(const Op& op) {
    return op.state.penWidth <= 1 && (op.kind == Kind::kRectangle || op.kind == Kind::kGridSquare);
  }

  // The same kind at the same arguments, whatever the state.
  static bool SameBox(const Op& x, const Op& y) { return x.kind == y.kind && x.args == y.args; }

  static std::uint64_t BoxHash(const Op& op) {
    std::uint64_t h = static_cast<std::uint64_t>(op.kind);
    const auto mix = [&h](std::initializer_list<int> values) {
      for (int v : values) h = Mix(h, static_cast<std::uint32_t>(v));
    };
    std::visit(
        [&](const auto& args) {
          using Args = std::decay_t<decltype(args)>;
          if constexpr (std::is_same_v<Args, BoxArgs>) {
            mix({args.x1, args.y1, args.x2, args.y2});
          } else if constexpr (std::is_same_v<Args, LineArgs>) {
            mix({args.toX, args.toY});
          } else if constexpr (std::is_same_v<Args, GridSquareArgs>) {
            mix({args.column, args.row, args.side, args.cells});
          } else if constexpr (std::is_same_v<Args, TurnedArgs>) {
            mix({args.fromX, args.fromY, args.width, args.height});
          } else {
            mix({args.x, args.y});
          }
        },
        op.args);
    return h;
  }

  // Where the operation draws; equality tells the rest.
  static std::uint64_t Hash(const Op& op) {
    const std::uint64_t h = Mix(Mix(BoxHash(op), static_cast<std::uint32_t>(op.state.penX)),
                                static_cast<std::uint32_t>(op.state.penY));
    const auto* text = std::get_if<TextArgs>(&op.args);
    return text == nullptr || text->text.empty() ? h : Mix(h, std::hash<std::string>{}(text->text));
  }

  // Whether each operation can show, from the last one back: it cannot when
  // a later thin rectangle covers all it can reach, a later thin box of the
  // same place paints it over, or a later operation is the same.
  static std::vector<bool> Showing(const std::vector<Op>& ops, int width, int height) {
    std::vector<Area> covers;
    SeenSet later(ops.size());
    SeenSet laterBoxes(ops.size());
    std::vector<bool> keep(ops.size(), true);
    for (std::size_t i = ops.size(); i-- > 0;) {
      const Op& op = ops[i];
      const Area reach = Reach(op, width, height);
      const bool covered =
          std::any_of(covers.begin(), covers.end(), [&](const Area& c) { return reach.Inside(c); }) ||
          (ThinBox(op) && laterBoxes.Seen(BoxHash(op), i, [&](std::size_t j) { return SameBox(op, ops[j]); }));
      if (covered || later.Seen(Hash(op), i, [&](std::size_t j) { return op == ops[j]; })) {
        keep[i] = false;
        continue;
      }
      if (ThinBox(op) && op.kind == Kind::kRectangle) {
        const auto& box = std::get<BoxArgs>(op.args);
        covers.push_back(
            {std::min(box.x1, box.x2), std::min(box.y1, box.y2), std::max(box.x1, box.x2), std::max(box.y1, box.y2)});
      }
    }
    return keep;
  }
};

void Surface::Compact() {
  const std::vector<bool> keep = Compaction::Showing(ops_, width_, height_);
  std::size_t n = 0;
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    if (keep[i]) ops_[n++] = std::move(ops_[i]);
  }
  ops_.resize(n);
  compactAt_ = std::max<std::size_t>(4096, 8 * n);
}

}  // namespace ui
