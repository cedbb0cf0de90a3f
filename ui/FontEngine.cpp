// Glyph rendering with FreeType and the choice of faces through fontconfig.
// One file for both: the face choice, the size request and the drawing share
// the cache of loaded faces.
#include "FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ui {

class FontFace {
 public:
  FT_Face ft = nullptr;
  std::string file;
  int index = 0;
  std::string family;
  // usWinAscent and usWinDescent (or the nearest there is) in font units, and the em.
  long winAscent = 0;
  long winDescent = 0;
  long unitsPerEm = 0;
};

namespace {

struct Match {
  std::string family;
  std::string file;
  int index = 0;
};

// Everything opened for text: one FreeType library, the fontconfig matches,
// the faces and the sized fonts. Made once and kept until the process ends, so
// that references handed out never dangle, even during static destruction.
struct Registry {
  FT_Library library = nullptr;
  bool fontconfigReady = false;
  std::map<std::string, Match> matches;
  std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces;
  std::map<std::string, FontFace*> faceByName;
  std::map<std::pair<std::string, int>, std::unique_ptr<RasterFont>> fonts;
};

Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;
    if (FT_Init_FreeType(&r->library) != 0) r->library = nullptr;
    r->fontconfigReady = FcInit() == FcTrue;
    return r;
  }();
  return *registry;
}

// The faces the program names, and the installed families drawn to their metrics.
const char* KnownSubstitute(const std::string& faceName) {
  if (faceName == "ＭＳ Ｐゴシック") return "IPAPGothic";
  if (faceName == "ＭＳ ゴシック") return "IPAGothic";
  if (faceName == "ＭＳ 明朝") return "IPAMincho";
  return nullptr;
}

// fontconfig's best match for a pattern of an optional family and Japanese.
// Fails when nothing matches; reports whether the match covers Japanese.
bool MatchPattern(const char* family, Match& out, bool& coversJapanese) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  if (family != nullptr) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcLangSet* langs = FcLangSetCreate();
  FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddLangSet(pattern, FC_LANG, langs);
  FcLangSetDestroy(langs);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* font = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (font == nullptr) return false;

  bool ok = false;
  FcChar8* file = nullptr;
  FcChar8* matchedFamily = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch &&
      FcPatternGetString(font, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
    out.file = reinterpret_cast<const char*>(file);
    out.family = reinterpret_cast<const char*>(matchedFamily);
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    out.index = index;
    FcLangSet* fontLangs = nullptr;
    coversJapanese = FcPatternGetLangSet(font, FC_LANG, 0, &fontLangs) == FcResultMatch &&
                     FcLangSetHasLang(fontLangs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    ok = true;
  }
  FcPatternDestroy(font);
  return ok;
}

bool SameFamily(const std::string& a, const char* b) { return FcStrCmpIgnoreCase(
    reinterpret_cast<const FcChar8*>(a.c_str()), reinterpret_cast<const FcChar8*>(b)) == 0; }

const Match* MatchFor(const std::string& faceName) {
  Registry& r = TheRegistry();
  if (auto it = r.matches.find(faceName); it != r.matches.end()) {
    return it->second.file.empty() ? nullptr : &it->second;
  }
  Match m;
  if (r.fontconfigReady) {
    bool japanese = false;
    if (const char* known = KnownSubstitute(faceName)) {
      // Without the family itself, fontconfig would hand over any face at all
      // (often one without Japanese): take the best Japanese one instead.
      if (!MatchPattern(known, m, japanese) || !SameFamily(m.family, known)) {
        if (!MatchPattern(nullptr, m, japanese)) m = Match{};
      }
    } else if (!MatchPattern(faceName.c_str(), m, japanese) || !japanese) {
      // The name is no installed Japanese face: take the best Japanese one.
      if (!MatchPattern(nullptr, m, japanese)) m = Match{};
    }
  }
  auto& stored = r.matches[faceName] = std::move(m);
  return stored.file.empty() ? nullptr : &stored;
}

void ReadMetrics(FontFace& face) {
  FT_Face ft = face.ft;
  face.unitsPerEm = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    face.winAscent = os2->usWinAscent;
    face.winDescent = os2->usWinDescent;
  } else if (ft->ascender - ft->descender > 0) {
    face.winAscent = ft->ascender;
    face.winDescent = -ft->descender;
  } else {
    face.winAscent = face.unitsPerEm * 4 / 5;
    face.winDescent = face.unitsPerEm - face.winAscent;
  }
}

// Rounds a non-negative quotient n / d (d > 0) to the nearest integer, halves up.
std::int64_t RoundDiv(std::int64_t n, std::int64_t d) { return (2 * n + d) / (2 * d); }

// Font heights beyond this many pixels are drawn at this size.
constexpr int kMaxPixels = 16384;

}  // namespace

std::vector<MissingFace> MissingFaces() {
  static const struct {
    const char* name;
    const char* package;
  } kFaces[] = {{kDefaultFontName, "fonts-ipafont-gothic"},
                {"ＭＳ ゴシック", "fonts-ipafont-gothic"},
                {"ＭＳ 明朝", "fonts-ipafont-mincho"}};
  std::vector<MissingFace> missing;
  for (const auto& f : kFaces) {
    const char* family = KnownSubstitute(f.name);
    const Match* m = MatchFor(f.name);
    if (m == nullptr || !SameFamily(m->family, family))
      missing.push_back({family, f.package, m != nullptr ? m->family : std::string()});
  }
  return missing;
}

std::string SubstituteFamily(const std::string& faceName) {
  const Match* m = MatchFor(faceName);
  return m != nullptr ? m->family : std::string();
}

FontFace* FaceFor(const std::string& faceName) {
  Registry& r = TheRegistry();
  if (auto it = r.faceByName.find(faceName); it != r.faceByName.end()) return it->second;
  FontFace* face = nullptr;
  const Match* m = MatchFor(faceName);
  if (m != nullptr && r.library != nullptr) {
    auto key = std::make_pair(m->file, m->index);
    if (auto it = r.faces.find(key); it != r.faces.end()) {
      face = it->second.get();
    } else {
      auto opened = std::make_unique<FontFace>();
      if (FT_New_Face(r.library, m->file.c_str(), m->index, &opened->ft) == 0) {
        opened->file = m->file;
        opened->index = m->index;
        opened->family = m->family;
        ReadMetrics(*opened);
        face = opened.get();
        r.faces.emplace(key, std::move(opened));
      }
    }
  }
  r.faceByName.emplace(faceName, face);
  return face;
}

// One rendered glyph: its hinted advance and its monochrome bitmap, one bit per
// pixel, most significant bit first, rows of `pitch` bytes.
struct RasterFont::Glyph {
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int pitch = 0;
  std::vector<std::uint8_t> bits;
};

struct RasterFont::Cache {
  FT_Size size = nullptr;
  std::array<Glyph, 128> ascii;
  std::array<bool, 128> asciiLoaded{};
  std::unordered_map<char32_t, Glyph> others;
};

RasterFont::RasterFont(FontFace* face, int height) : face_(face), cache_(std::make_unique<Cache>()) {
  if (height == 0) height = kDefaultFontHeight;
  const bool cell = height > 0;
  const std::int64_t pixels = std::min<std::int64_t>(cell ? height : -static_cast<std::int64_t>(height), kMaxPixels);

  const std::int64_t winAscent = face != nullptr ? face->winAscent : 4;
  const std::int64_t winDescent = face != nullptr ? face->winDescent : 1;
  const std::int64_t unitsPerEm = face != nullptr ? face->unitsPerEm : 5;
  const std::int64_t winSum = winAscent + winDescent;
  std::int64_t ppem26 = 0;  // the size asked for, 26.6 pixels per em
  if (cell) {
    ascent_ = static_cast<int>(RoundDiv(winAscent * pixels, winSum));
    descent_ = static_cast<int>(pixels - ascent_);
    ppem26 = RoundDiv(pixels * unitsPerEm * 64, winSum);
  } else {
    ascent_ = static_cast<int>(RoundDiv(winAscent * pixels, unitsPerEm));
    descent_ = static_cast<int>(RoundDiv(winDescent * pixels, unitsPerEm));
    ppem26 = pixels * 64;
  }
  if (face == nullptr) return;

  if (FT_New_Size(face->ft, &cache_->size) != 0) {
    cache_->size = nullptr;
    return;
  }
  FT_Activate_Size(cache_->size);
  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
  request.width = 0;
  request.height = std::max<FT_Long>(static_cast<FT_Long>(ppem26), 1);
  if (FT_Request_Size(face->ft, &request) != 0) {
    FT_Done_Size(cache_->size);
    cache_->size = nullptr;
  }
}

RasterFont::~RasterFont() {
  if (cache_ && cache_->size != nullptr) FT_Done_Size(cache_->size);
}

const RasterFont::Glyph& RasterFont::GlyphOf(char32_t c) {
  Glyph* glyph = nullptr;
  if (c < 128) {
    glyph = &cache_->ascii[c];
    if (cache_->asciiLoaded[c]) return *glyph;
    cache_->asciiLoaded[c] = true;
  } else {
    auto [it, inserted] = cache_->others.try_emplace(c);
    glyph = &it->second;
    if (!inserted) return *glyph;
  }
  if (face_ == nullptr || cache_->size == nullptr) return *glyph;

  FT_Face ft = face_->ft;
  // Sizes of one face share its glyph slot: make ours the current one.
  if (ft->size != cache_->size) FT_Activate_Size(cache_->size);
  const FT_UInt index = FT_Get_Char_Index(ft, c);
  if (FT_Load_Glyph(ft, index, FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) return *glyph;
  FT_GlyphSlot slot = ft->glyph;
  glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return *glyph;

  const FT_Bitmap& bitmap = slot->bitmap;
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->width = static_cast<int>(bitmap.width);
  glyph->rows = static_cast<int>(bitmap.rows);
  glyph->pitch = (glyph->width + 7) / 8;
  glyph->bits.assign(static_cast<std::size_t>(glyph->pitch) * glyph->rows, 0);
  for (int row = 0; row < glyph->rows; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::uint8_t* dst = glyph->bits.data() + static_cast<std::size_t>(row) * glyph->pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      std::copy(src, src + glyph->pitch, dst);
    } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      // An embedded grey bitmap: keep the pixels at least half covered.
      for (int col = 0; col < glyph->width; ++col) {
        if (src[col] >= 128) dst[col / 8] |= static_cast<std::uint8_t>(0x80u >> (col % 8));
      }
    }
  }
  return *glyph;
}

int RasterFont::TextWidth(std::string_view utf8) {
  int width = 0;
  for (std::size_t pos = 0; pos < utf8.size();) width += GlyphOf(NextUtf8(utf8, pos)).advance;
  return width;
}

void RasterFont::Draw(std::uint32_t* raster, int rasterWidth, int rasterHeight, int x, int baselineY,
                      std::string_view utf8, std::uint32_t rgb32) {
  std::int64_t penX = x;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Glyph& g = GlyphOf(NextUtf8(utf8, pos));
    const std::int64_t left = penX + g.left;
    const std::int64_t top = static_cast<std::int64_t>(baselineY) - g.top;
    penX += g.advance;
    if (g.rows == 0 || left >= rasterWidth || left + g.width <= 0 || top >= rasterHeight || top + g.rows <= 0) continue;
    const int rowFirst = static_cast<int>(std::max<std::int64_t>(0, -top));
    const int rowLast = static_cast<int>(std::min<std::int64_t>(g.rows, rasterHeight - top));
    const int colFirst = static_cast<int>(std::max<std::int64_t>(0, -left));
    const int colLast = static_cast<int>(std::min<std::int64_t>(g.width, rasterWidth - left));
    for (int row = rowFirst; row < rowLast; ++row) {
      const std::uint8_t* bits = g.bits.data() + static_cast<std::size_t>(row) * g.pitch;
      std::uint32_t* out = raster + (top + row) * rasterWidth;
      for (int col = colFirst; col < colLast; ++col) {
        if (bits[col >> 3] & (0x80u >> (col & 7))) out[left + col] = rgb32;
      }
    }
  }
}

RasterFont& FontFor(const std::string& faceName, int height) {
  Registry& r = TheRegistry();
  if (height == 0) height = kDefaultFontHeight;
  auto key = std::make_pair(faceName, height);
  auto it = r.fonts.find(key);
  if (it == r.fonts.end()) it = r.fonts.emplace(key, std::make_unique<RasterFont>(FaceFor(faceName), height)).first;
  return *it->second;
}

char32_t NextUtf8(std::string_view text, std::size_t& pos) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return c;
}

}  // namespace ui
