#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
    if (SubstituteFamily(kDefaultFontName) != "IPAPGothic") GTEST_SKIP() << "IPA fonts not installed";
  }
};

// The bounding box (left, top, right, bottom, inclusive) of the pixels that
// are not white, and their colours.
std::array<int, 4> NonWhite(const Surface& s, std::set<Colour>* colours = nullptr) {
  std::array<int, 4> box{1 << 30, 1 << 30, -1, -1};
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Pixel(x, y) == clWhite) continue;
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
      if (colours != nullptr) colours->insert(s.Pixel(x, y));
    }
  }
  return box;
}

TEST_F(TextTest, FaceNamesMapToSharedSubstitutes) {
  EXPECT_EQ(SubstituteFamily("ＭＳ ゴシック"), "IPAGothic");
  EXPECT_EQ(SubstituteFamily("ＭＳ 明朝"), "IPAMincho");
  EXPECT_EQ(FaceFor("ＭＳ Ｐゴシック"), FaceFor("IPAPGothic"));  // one face per font file
  EXPECT_NE(FaceFor("ＭＳ Ｐゴシック"), FaceFor("ＭＳ 明朝"));

  Surface s(10, 10);
  s.SetFontName("");
  s.SetFontName(std::string(40, 'x'));
  EXPECT_EQ(s.FontName(), std::string(31, 'x'));
  EXPECT_GT(s.TextWidth("あ"), 0);  // an unknown name still draws Japanese
  std::string japanese;
  for (int i = 0; i < 11; ++i) japanese += "あ";  // 33 bytes, cut before the 11th character
  s.SetFontName(japanese);
  EXPECT_EQ(s.FontName(), japanese.substr(0, 30));
}

// The brush fills exactly the text's width and cell height (a positive height
// is the cell); the glyphs stay inside and add one colour.
TEST_F(TextTest, TextFillsItsCellAndHasTwoColours) {
  for (int height : {20, 30, 35, -12, -24}) {
    Surface s(500, 60);
    s.SetFontHeight(height);
    s.SetBrushColor(clRed);
    s.SetFontColor(clBlue);
    EXPECT_EQ(s.TextHeight() == height, height > 0) << height;
    const int width = s.TextWidth(kPrompt + "gjy(|)");
    s.TextOut(5, 7, kPrompt + "gjy(|)");
    std::set<Colour> colours;
    EXPECT_EQ(NonWhite(s, &colours), (std::array{5, 7, 4 + width, 6 + s.TextHeight()}));
    EXPECT_EQ(colours, (std::set<Colour>{clRed, clBlue})) << height;
    EXPECT_EQ(std::pair(s.PenX(), s.PenY()), std::pair(5 + width, 7));
  }
}

TEST_F(TextTest, NegativeHeightIsPixelsPerEmAndWidthsAddUp) {
  Surface s(10, 10);
  const int defaultCell = s.TextHeight();
  EXPECT_GE(defaultCell, 12);
  s.SetFontHeight(0);
  EXPECT_EQ(s.TextHeight(), defaultCell);
  s.SetFontHeight(-24);
  EXPECT_GE(s.TextHeight(), 24);
  EXPECT_EQ(s.TextWidth("漢字試"), 3 * 24);  // kanji are an em wide
  EXPECT_EQ(s.TextWidth(kPrompt), s.TextWidth("GOボタン") + s.TextWidth("を押して下さい"));
  s.SetFontName("ＭＳ ゴシック");  // fixed pitch: "GO" is one full-width character wide
  EXPECT_EQ(s.TextWidth("GO"), s.TextWidth("ボ"));

  s.SetBrushColor(clRed);
  s.TextOut(3, 4, "");  // an empty text only moves the position
  EXPECT_EQ(std::pair(s.PenX(), s.PenY()), std::pair(3, 4));
  EXPECT_EQ(NonWhite(s)[2], -1);
}

TEST_F(TextTest, ShorterTextLeavesTheRestOfAWiderOneVisible) {
  Surface s(500, 50);
  s.SetFontHeight(20);
  s.TextOut(10, 10, "茶色の増えたパターンが提示されました");
  const Surface before = s;
  s.SetBrushColor(clRed);
  s.TextOut(10, 10, "第1試行");
  EXPECT_EQ(s.Pixel(s.PenX() - 1, 10), clRed);
  int inkRight = 0;
  for (int y = 0; y < 50; ++y) {
    for (int x = s.PenX(); x < 500; ++x) {
      ASSERT_EQ(s.Pixel(x, y), before.Pixel(x, y)) << x << "," << y;
      if (before.Pixel(x, y) != clWhite) inkRight = x;
    }
  }
  EXPECT_GT(inkRight, s.PenX() + 100);  // the old text really is there
}

TEST_F(TextTest, TextIsClippedWithoutMovingIt) {
  Surface small(60, 20), big(200, 100);
  small.SetFontHeight(30);
  big.SetFontHeight(30);
  small.TextOut(-13, -9, kPrompt);
  big.TextOut(-13 + 40, -9 + 40, kPrompt);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + 40, y + 40)) << x << "," << y;
  }
}

TEST(Utf8Test, DecodesCharactersAndReplacesEachBadByte) {
  std::vector<char32_t> out;
  const std::string_view text = "aé第😀\xE7\xAC" "a" "\xC0\x80\xED\xA0\x80";  // cut short, overlong, surrogate
  for (std::size_t pos = 0; pos < text.size();) out.push_back(NextUtf8(text, pos));
  EXPECT_EQ(out, (std::vector<char32_t>{U'a', 0xE9, 0x7B2C, 0x1F600, 0xFFFD, 0xFFFD, U'a', 0xFFFD, 0xFFFD, 0xFFFD,
                                        0xFFFD, 0xFFFD}));
}

}  // namespace
}  // namespace ui
