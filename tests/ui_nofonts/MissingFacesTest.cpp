// Runs with a fontconfig set that lacks the IPA faces (see fonts.conf.in).
#include <gtest/gtest.h>

#include "ui/FontEngine.h"

namespace ui {
namespace {

TEST(MissingFaces, EachAbsentFaceIsNamedWithItsPackageAndDrawingGoesOn) {
  const std::vector<MissingFace> missing = MissingFaces();
  ASSERT_EQ(missing.size(), 3u);
  EXPECT_EQ(missing[0].family, "IPAPGothic");
  EXPECT_EQ(missing[0].package, "fonts-ipafont-gothic");
  EXPECT_EQ(missing[1].family, "IPAGothic");
  EXPECT_EQ(missing[1].package, "fonts-ipafont-gothic");
  EXPECT_EQ(missing[2].family, "IPAMincho");
  EXPECT_EQ(missing[2].package, "fonts-ipafont-mincho");
  // The stand-in is whatever face fontconfig offers for Japanese, the same for
  // every name, and text is still drawn with it.
  EXPECT_EQ(SubstituteFamily("ＭＳ 明朝"), missing[2].substitute);
  EXPECT_EQ(SubstituteFamily("ＭＳ Ｐゴシック"), missing[0].substitute);
  if (!missing[0].substitute.empty()) {
    EXPECT_GT(FontFor("ＭＳ Ｐゴシック", 20).TextWidth("GO"), 0);
  }
}

}  // namespace
}  // namespace ui
