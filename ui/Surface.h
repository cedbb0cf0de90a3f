#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "Colour.h"
#include "FontEngine.h"

namespace ui {

class RasterFont;

// An off-screen 24-bit raster with a pen, a brush, a font and a current
// position. Coordinates are pixels, x to the right and y downwards from the
// top-left pixel (0, 0). Everything drawn is clipped to the raster without error.
//
// Coordinates, pen widths and font heights are logical pixels. The raster has
// `scale` device pixels per logical pixel (a screen's device pixel ratio):
// ceil(width x scale) by ceil(height x scale). On it every shape is drawn at
// the finer raster (widths and font sizes scaled, text rendered at the scaled
// size), so the picture is the same picture, not an enlarged one; at scale 1
// device and logical pixels are one and the same. The surface keeps what was
// drawn as a list of its operations, so that it can draw it again at another
// scale; operations whose pixels a later one covers are dropped from it.
class Surface {
 public:
  // A new surface is white; pen black width 1, brush white, the default font,
  // current position (0, 0).
  Surface(int width, int height, double scale = 1);

  int Width() const { return width_; }
  int Height() const { return height_; }
  double Scale() const { return scale_; }
  int DeviceWidth() const { return deviceWidth_; }
  int DeviceHeight() const { return deviceHeight_; }
  // Draws everything drawn so far again at another scale (> 0).
  void SetScale(double scale);
  // The same drawing at another scale, as a new surface without observer.
  Surface Redrawn(double scale) const;

  // Pen, brush and font. A negative pen width and an empty font name are
  // ignored; a font name is cut to its first 31 bytes.
  void SetPenColor(Colour c) { state_.pen = c; }
  void SetPenWidth(int w) { if (w >= 0) state_.penWidth = w; }
  void SetBrushColor(Colour c) { state_.brush = c; }
  void SetFontHeight(int h) { state_.fontHeight = h; }
  void SetFontName(const std::string& name);
  void SetFontColor(Colour c) { state_.fontColour = c; }
  Colour PenColor() const { return state_.pen; }
  int PenWidth() const { return state_.penWidth; }
  const std::string& FontName() const { return *state_.fontName; }
  Colour FontColor() const { return state_.fontColour; }
  int PenX() const { return state_.penX; }
  int PenY() const { return state_.penY; }

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

  // Square (column, row) of a grid of cells x cells squares of `side` pixels
  // from (0, 0), filled with the brush, outlined with the pen: at scale 1 the
  // rectangle of its box. On a finer raster every square is the same whole
  // number of device pixels, side x scale rounded down, and the grid is
  // centred in its area, so that no square looks bigger than another.
  void GridSquare(int column, int row, int side, int cells);
  // The box of `from` at (fromX, fromY), width x height, turned a quarter
  // turn counter-clockwise: its pixel (fromX + j, fromY + k) lands on
  // (x + k, y - j). Drawn from `from` at this surface's scale.
  void DrawTurned(const Surface& from, int fromX, int fromY, int width, int height, int x, int y);

  // 0x00BBGGRR of the device pixel at the middle of logical pixel (x, y);
  // clInvalid outside the surface.
  Colour Pixel(int x, int y) const;
  // A system colour is looked up first.
  void SetPixel(int x, int y, Colour c);

  // Raw rows of 0x00RRGGBB words (the layout of a 32-bit RGB screen image),
  // DeviceWidth() words per row.
  const std::uint32_t* Bits() const { return bits_.data(); }

  // Called after every operation that changes pixels.
  void SetChangeObserver(std::function<void()> observer) { observer_ = std::move(observer); }

 private:
  // What the operations draw with.
  struct State {
    Colour pen = clBlack;
    int penWidth = 1;
    Colour brush = clWhite;
    const std::string* fontName = nullptr;  // one string per name, kept for the process
    int fontHeight = kDefaultFontHeight;
    Colour fontColour = clWindowText;
    int penX = 0;
    int penY = 0;
    bool operator==(const State&) const = default;
  };
  enum class Kind : std::uint8_t { kRectangle, kEllipse, kLine, kText, kPixel, kGridSquare, kTurned };
  struct Recording;
  // The arguments of each kind of operation, as it was called with them.
  struct BoxArgs {  // Rectangle and Ellipse: the box's corners
    int x1, y1, x2, y2;
    bool operator==(const BoxArgs&) const = default;
  };
  struct LineArgs {  // LineTo: the end; the line starts at the state's current position
    int toX, toY;
    bool operator==(const LineArgs&) const = default;
  };
  struct TextArgs {  // TextOut, with the text's width and cell height at logical size
    int x, y, width, cellHeight;
    std::string text;
    bool operator==(const TextArgs&) const = default;
  };
  struct PixelArgs {  // SetPixel
    int x, y;
    Colour colour;
    bool operator==(const PixelArgs&) const = default;
  };
  struct GridSquareArgs {  // GridSquare
    int column, row, side, cells;
    bool operator==(const GridSquareArgs&) const = default;
  };
  struct TurnedArgs {  // DrawTurned, with what the box was taken from
    int fromX, fromY, width, height, toX, toY;
    std::shared_ptr<const Recording> source;
    bool operator==(const TurnedArgs&) const = default;
  };
  using Args = std::variant<BoxArgs, LineArgs, TextArgs, PixelArgs, GridSquareArgs, TurnedArgs>;
  // One drawing operation with its arguments and the state it drew with.
  struct Op {
    Kind kind = Kind::kRectangle;
    Args args;
    State state;
    bool operator==(const Op&) const = default;
  };
  struct Recording {
    int width = 0;
    int height = 0;
    std::vector<Op> ops;
  };

  void Changed() { if (observer_) observer_(); }
  // Draws an operation at the current scale and keeps it.
  void Record(Kind kind, Args args, const Surface* liveSource = nullptr);
  void Apply(const Op& op, const Surface* liveSource);
  // Drops the operations none of whose pixels can show (Surface.cpp).
  struct Compaction;
  void Compact();
  // Device coordinates of logical edges (fills cover [EdgeX(x1), EdgeX(x2))).
  std::int64_t EdgeX(std::int64_t x) const;
  std::int64_t EdgeY(std::int64_t y) const;
  void ApplyRectangle(const State& st, int x1, int y1, int x2, int y2);
  void ApplyEllipse(const State& st, int x1, int y1, int x2, int y2);
  void ApplyLine(const State& st, int x, int y);
  void ApplyText(const State& st, int x, int y, const std::string& text, int width, int cellHeight);
  // Draws a kept text operation again. Text lives apart from the shapes
  // (SurfaceText.cpp, with the glyph rendering) so that the shapes build
  // without a font engine; TextOut, the only maker of text operations, sets
  // the applier before it keeps one.
  static void ApplyTextOp(Surface& s, const Op& op);
  static std::atomic<void (*)(Surface&, const Op&)> textApplier_;
  void ApplyGridSquare(const State& st, int column, int row, int side, int cells);
  void ApplyTurned(const Surface& from, const TurnedArgs& turned);
  // The rectangle of device columns left..right-1 and rows top..bottom-1:
  // with an outline of `band` pixels inside it, or, band 0, the pen stamped
  // along its edge pixels.
  struct PenShape;
  void DeviceRectangle(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                       std::uint32_t brush, std::uint32_t pen, const PenShape& shape, int band);
  void DeviceEllipse(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                     std::uint32_t brush, std::uint32_t pen, const PenShape& shape);
  void DeviceLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::uint32_t pen,
                  const PenShape& shape, bool coverEnd);
  // One pixel, and the columns x1..x2 of a row, clipped; in 64 bits, for
  // shapes whose corners lie far outside the raster.
  void PlotWide(std::int64_t x, std::int64_t y, std::uint32_t rgb32);
  void SpanWide(std::int64_t x1, std::int64_t x2, std::int64_t y, std::uint32_t rgb32);
  // The pen's footprint centred on (x, y): rows of spans, round for wide pens.
  void Stamp(const PenShape& pen, std::int64_t x, std::int64_t y, std::uint32_t rgb32);
  // The font of a state at logical size (scale 1) or at the raster's size,
  // looked up again only when name or height changed.
  RasterFont& FontOf(const State& st, bool device) const;
  RasterFont& CurrentFont() const { return FontOf(state_, false); }

  int width_;
  int height_;
  double scale_;
  int deviceWidth_;
  int deviceHeight_;
  std::vector<std::uint32_t> bits_;
  State state_;
  std::vector<Op> ops_;
  std::size_t compactAt_ = 4096;
  std::function<void()> observer_;
  struct FontCache {
    RasterFont* font = nullptr;
    const std::string* name = nullptr;
    int height = 0;
  };
  mutable FontCache fonts_[2];  // logical, device
};

// Paints a white box: pen and brush white, then the rectangle; both stay white.
void PaintWhite(Surface& s, int left, int top, int right, int bottom);

}  // namespace ui
