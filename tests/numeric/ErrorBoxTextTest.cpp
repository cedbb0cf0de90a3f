#include <gtest/gtest.h>

#include "numeric/Errors.h"

namespace numeric {
namespace {

TEST(ErrorBoxTextTest, JapaneseMessagesGetAFullStop) {
  EXPECT_EQ(ErrorBoxText("不正な浮動小数点数演算命令"), "不正な浮動小数点数演算命令.");
  EXPECT_EQ(ErrorBoxText(EZeroDivide().what()), "0 による浮動小数点数除算.");
  EXPECT_EQ(ErrorBoxText(EOverflow().what()), "浮動小数点数のオーバーフロー.");
  EXPECT_EQ(ErrorBoxText("é"), "é.");  // two-byte character
}

TEST(ErrorBoxTextTest, AsciiEndingsCompareWithTheFullStop) {
  EXPECT_EQ(ErrorBoxText(""), "");
  EXPECT_EQ(ErrorBoxText("abc"), "abc.");
  EXPECT_EQ(ErrorBoxText("a."), "a.");
  EXPECT_EQ(ErrorBoxText("a!"), "a!");  // '!' sorts before '.'
  EXPECT_EQ(ErrorBoxText("a-"), "a-");
  EXPECT_EQ(ErrorBoxText("a/"), "a/.");
  EXPECT_EQ(ErrorBoxText("1"), "1.");
  EXPECT_EQ(ErrorBoxText("終了 "), "終了 ");  // a space ends it, not the Japanese before
}

}  // namespace
}  // namespace numeric
