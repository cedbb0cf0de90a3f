#include <gtest/gtest.h>

#include "windows/WindowPlacement.h"

namespace {

using roc::ScreenRect;
using roc::ScreenSize;

class AnalysisPlacement : public ::testing::TestWithParam<ScreenSize> {};

// The ROC window centred with a thin frame, its buttons right of the plot;
// the analysis window wants 862 x 666 and needs 644 x 566 (frames).
TEST_P(AnalysisPlacement, BesideTheRocWindowClearOfItsButtonsAndOnTheScreen) {
  const auto [w, h] = GetParam();
  const ScreenRect win{w / 2 - 312, h / 2 - 250, 627, 526}, buttons{win.x + 501, win.y, 126, 526};
  const ScreenRect r = roc::PlaceBeside({0, 0, w, h}, win, buttons, {862, 666}, {644, 566});
  EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.right() <= w && r.bottom() <= h && r.height == 666);
  EXPECT_TRUE(r.right() <= buttons.x || r.x >= buttons.right());
  const int room = win.x > w - win.right() ? win.x : w - win.right();
  if (room >= 644)
    EXPECT_TRUE(r.width == (room < 862 ? room : 862) && (r.right() <= win.x || r.x >= win.right()));
  else
    EXPECT_EQ(r, (ScreenRect{0, r.y, 644, 666}));  // over the plot's far side, as little as it can
}

INSTANTIATE_TEST_SUITE_P(Screens, AnalysisPlacement,
                         ::testing::Values(ScreenSize{1280, 1024}, ScreenSize{1366, 768}, ScreenSize{1920, 1080}));

}  // namespace
