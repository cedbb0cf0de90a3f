#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ui/FontEngine.h"
#include "ui/Surface.h"

namespace ui {
namespace {

const std::string kPrompt = "GOボタンを押して下さい";

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (FaceFor(kDefaultFontName) == nullptr) GTEST_SKIP() << "no Japanese font installed";
  }
};

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
};

// The bounding box of the pixels that are not white, and their colours.
Box NonWhite(const Surface& s, std::set<Colour>* colours = nullptr) {
  Box box;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Colour c = s.Pixel(x, y);
      if (c == clWhite) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
      if (colours != nullptr) colours->insert(c);
    }
  }
  return box;
}

TEST_F(TextTest, FontNameIgnoresEmptyAndKeepsThirtyOneBytes) {
  Surface s(10, 10);
  EXPECT_EQ(s.FontName(), kDefaultFontName);
  s.SetFontName("");
  EXPECT_EQ(s.FontName(), kDefaultFontName);
  s.SetFontName(std::string(40, 'x'));
  EXPECT_EQ(s.FontName(), std::string(31, 'x'));
  std::string japanese;
  for (int i = 0; i < 11; ++i) japanese += "あ";  // 33 bytes
  s.SetFontName(japanese);
  EXPECT_EQ(s.FontName(), japanese.substr(0, 30));  // no character cut in half
}

TEST_F(TextTest, NamedFacesMapToTheirSubstitutesAndShareOneFace) {
  if (SubstituteFamily("ＭＳ Ｐゴシック") != "IPAPGothic") GTEST_SKIP() << "IPA fonts not installed";
  EXPECT_EQ(SubstituteFamily("ＭＳ ゴシック"), "IPAGothic");
  EXPECT_EQ(SubstituteFamily("ＭＳ 明朝"), "IPAMincho");
  EXPECT_EQ(FaceFor("ＭＳ Ｐゴシック"), FaceFor("IPAPGothic"));
  EXPECT_NE(FaceFor("ＭＳ Ｐゴシック"), FaceFor("ＭＳ 明朝"));
  // An unknown name still gets a face that can draw Japanese.
  FontFace* other = FaceFor("MS Sans Serif");
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(SubstituteFamily("MS Sans Serif").empty());
  Surface s(200, 40);
  s.SetFontName("MS Sans Serif");
  s.TextOut(0, 0, "あ");
  EXPECT_GT(s.PenX(), 0);
}

TEST_F(TextTest, PositiveHeightIsTheFilledCellAndTextHasTwoColours) {
  for (int height : {20, 30, 35}) {
    Surface s(500, 60);
    s.SetFontHeight(height);
    s.SetBrushColor(clRed);
    s.SetFontColor(clBlue);
    EXPECT_EQ(s.TextHeight(), height);
    const int width = s.TextWidth(kPrompt);
    s.TextOut(5, 7, kPrompt);
    std::set<Colour> colours;
    const Box box = NonWhite(s, &colours);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 7);
    EXPECT_EQ(box.right, 5 + width - 1);
    EXPECT_EQ(box.bottom, 7 + height - 1);
    EXPECT_EQ(colours, (std::set<Colour>{clRed, clBlue})) << height;
    EXPECT_EQ(s.PenX(), 5 + width);
    EXPECT_EQ(s.PenY(), 7);
  }
}

TEST_F(TextTest, GlyphsStayInsideTheirCellAtEverySize) {
  for (int height : {-12, -16, 0, 12, 16, 20, 30, 35}) {
    Surface s(600, 80);
    s.SetFontHeight(height);
    s.TextOut(3, 10, kPrompt + "gjy(|)第1試行");
    const Box ink = NonWhite(s);  // white brush: only the glyphs show
    EXPECT_GE(ink.top, 10) << height;
    EXPECT_LT(ink.bottom, 10 + s.TextHeight()) << height;
    EXPECT_GE(ink.left, 3) << height;
    EXPECT_LT(ink.right, s.PenX()) << height;
  }
}

TEST_F(TextTest, NegativeHeightIsPixelsPerEmAndZeroIsTheDefault) {
  Surface s(10, 10);
  EXPECT_EQ(s.FontHeight(), -12);
  const int defaultCell = s.TextHeight();
  const int defaultWidth = s.TextWidth(kPrompt);
  EXPECT_GE(defaultCell, 12);
  s.SetFontHeight(0);
  EXPECT_EQ(s.TextHeight(), defaultCell);
  EXPECT_EQ(s.TextWidth(kPrompt), defaultWidth);
  s.SetFontHeight(-24);
  EXPECT_GE(s.TextHeight(), 24);
  EXPECT_EQ(s.TextWidth("漢字試"), 3 * 24);  // kanji are an em wide
  EXPECT_EQ(FontFor(kDefaultFontName, -24).PixelsPerEm(), 24);
}

TEST_F(TextTest, WidthIsTheSumOfTheCharacters) {
  Surface s(10, 10);
  s.SetFontHeight(30);
  EXPECT_EQ(s.TextWidth(""), 0);
  EXPECT_EQ(s.TextWidth(kPrompt), s.TextWidth("GOボタン") + s.TextWidth("を押して下さい"));
  const int at30 = s.TextWidth(kPrompt);
  s.SetFontHeight(20);
  EXPECT_LT(s.TextWidth(kPrompt), at30);
  s.SetFontName("ＭＳ ゴシック");  // fixed pitch: "GO" is one full-width character wide
  s.SetFontHeight(-24);
  EXPECT_EQ(s.TextWidth("GO"), s.TextWidth("ボ"));
}

TEST_F(TextTest, EmptyTextOnlyMovesThePosition) {
  Surface s(50, 50);
  s.SetBrushColor(clRed);
  s.TextOut(12, 34, "");
  EXPECT_EQ(NonWhite(s).right, -1);
  EXPECT_EQ(s.PenX(), 12);
  EXPECT_EQ(s.PenY(), 34);
}

TEST_F(TextTest, ShorterTextLeavesTheRestOfAWiderOneVisible) {
  Surface s(500, 50);
  s.SetFontHeight(20);
  s.TextOut(10, 10, "茶色の増えたパターンが提示されました");
  const std::vector<std::uint32_t> before(s.Bits(), s.Bits() + 500 * 50);
  s.SetBrushColor(clRed);
  s.TextOut(10, 10, "第1試行");
  const int right = 10 + s.TextWidth("第1試行");
  int inkRight = 0;
  for (int y = 0; y < 50; ++y) {
    for (int x = right; x < 500; ++x) {
      ASSERT_EQ(s.Bits()[y * 500 + x], before[y * 500 + x]) << x << "," << y;
      if (before[y * 500 + x] != 0xFFFFFF) inkRight = x;
    }
  }
  EXPECT_GT(inkRight, right + 100);  // the old text really is there
  EXPECT_EQ(s.Pixel(right - 1, 10), clRed);
}

TEST_F(TextTest, TextIsClippedWithoutMovingIt) {
  const int offset = 40;
  Surface small(60, 20), big(200, 100);
  for (Surface* s : {&small, &big}) s->SetFontHeight(30);
  small.TextOut(-13, -9, kPrompt);
  big.TextOut(-13 + offset, -9 + offset, kPrompt);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + offset, y + offset)) << x << "," << y;
  }
  EXPECT_EQ(small.PenX(), -13 + small.TextWidth(kPrompt));
}

TEST_F(TextTest, DefaultFontColourIsTheWindowTextColourAtUse) {
  const Colour saved = SystemColour(8);
  SetSystemColour(8, clGreen);
  Surface s(100, 30);
  s.TextOut(0, 0, "あ");
  SetSystemColour(8, saved);
  std::set<Colour> colours;
  NonWhite(s, &colours);
  EXPECT_EQ(colours, std::set<Colour>{clGreen});
}

TEST(Utf8Test, DecodesCharactersAndReplacesBadBytes) {
  const auto decode = [](std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < text.size();) out.push_back(NextUtf8(text, pos));
    return out;
  };
  EXPECT_EQ(decode("aé第😀"), (std::vector<char32_t>{U'a', 0xE9, 0x7B2C, 0x1F600}));
  EXPECT_EQ(decode("\xFF" "a"), (std::vector<char32_t>{0xFFFD, U'a'}));
  EXPECT_EQ(decode("\xE7\xAC"), (std::vector<char32_t>{0xFFFD, 0xFFFD}));           // cut short
  EXPECT_EQ(decode("\xC0\x80"), (std::vector<char32_t>{0xFFFD, 0xFFFD}));           // overlong
  EXPECT_EQ(decode("\xED\xA0\x80"), (std::vector<char32_t>{0xFFFD, 0xFFFD, 0xFFFD}));  // surrogate
  EXPECT_EQ(decode("\xE7" "a"), (std::vector<char32_t>{0xFFFD, U'a'}));
}

}  // namespace
}  // namespace ui
