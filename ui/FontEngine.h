#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Glyph rendering for the drawing surfaces: FreeType faces found through
// fontconfig, monochrome hinted glyphs, cell metrics from the faces' OS/2
// usWinAscent and usWinDescent. Everything here lives for the whole process
// and is used from the user-interface thread only.

// The installed family that stands in for a face name: "ＭＳ Ｐゴシック" ->
// IPAPGothic, "ＭＳ ゴシック" -> IPAGothic, "ＭＳ 明朝" -> IPAMincho; any other
// name -> that family if it is installed and covers Japanese, else fontconfig's
// best Japanese face. Empty when fontconfig offers no face at all.
std::string SubstituteFamily(const std::string& faceName);

// A family the program draws with that is not installed, the Debian package
// that provides it, and the family drawn in its place (empty: none at all).
struct MissingFace {
  std::string family;
  std::string package;
  std::string substitute;
};
std::vector<MissingFace> MissingFaces();

// The font every window and surface starts with: this face at 12 pixels per em.
inline constexpr const char* kDefaultFontName = "ＭＳ Ｐゴシック";
inline constexpr int kDefaultFontHeight = -12;

class FontFace;

// The face drawn for a face name (see SubstituteFamily). Each font file is
// opened once per process and shared by every name and size that maps to it.
// Null when no face can be opened.
FontFace* FaceFor(const std::string& faceName);

// A face at one height with its glyph cache.
//
// Height h > 0: a character cell of exactly h pixels; the pixel size is chosen
// so that the face's usWinAscent plus usWinDescent scale to h, the ascent is
// that scaled ascent rounded and the descent the rest.
// Height -h < 0: h pixels per em; ascent and descent are usWinAscent and
// usWinDescent scaled to h pixels per em, each rounded; the cell is their sum.
// Height 0: the default size, kDefaultFontHeight.
class RasterFont {
 public:
  RasterFont(FontFace* face, int height);
  ~RasterFont();
  RasterFont(const RasterFont&) = delete;
  RasterFont& operator=(const RasterFont&) = delete;

  int Ascent() const { return ascent_; }
  int CellHeight() const { return ascent_ + descent_; }

  // The sum of the hinted advances of the characters of a UTF-8 text, in
  // whole pixels. Bytes that are no valid UTF-8 count as U+FFFD each.
  int TextWidth(std::string_view utf8);

  // Draws the glyphs of a text in one colour onto a raster of 0x00RRGGBB words
  // (rasterWidth words per row): the pen starts at x, the baseline is row
  // baselineY. Only the glyphs' set pixels are written, clipped to the raster.
  void Draw(std::uint32_t* raster, int rasterWidth, int rasterHeight, int x, int baselineY,
            std::string_view utf8, std::uint32_t rgb32);

 private:
  struct Glyph;
  struct Cache;
  const Glyph& GlyphOf(char32_t c);

  FontFace* face_;
  int ascent_ = 0;
  int descent_ = 0;
  std::unique_ptr<Cache> cache_;
};

// The font for a face name and height, made on first request and kept for the
// rest of the process (the returned reference stays valid).
RasterFont& FontFor(const std::string& faceName, int height);

// Decodes the next character of a UTF-8 text at pos and advances pos past it.
// A byte that does not start a valid sequence gives U+FFFD and is skipped alone.
char32_t NextUtf8(std::string_view text, std::size_t& pos);

}  // namespace ui
