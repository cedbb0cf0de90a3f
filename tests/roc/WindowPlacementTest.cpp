#include <gtest/gtest.h>

#include <algorithm>

#include "roc/WindowPlacement.h"

namespace {

using roc::ScreenRect;
using roc::ScreenSize;

class AnalysisPlacement : public ::testing::TestWithParam<ScreenSize> {};

// The ROC window where its layout puts it (client 625 x 500, centred), with a
// 1-pixel border and a 24-pixel title bar; its step buttons and edits are
// right of the 500-pixel plot. The analysis window wants 860 x 640 and needs
// at least 642 x 541 (client sizes).
TEST_P(AnalysisPlacement, BesideTheRocWindowClearOfItsButtonsAndOnTheScreen) {
  const ScreenSize s = GetParam();
  const ScreenRect screen{0, 0, s.width, s.height};
  const ScreenRect rocWindow{s.width / 2 - 312, s.height / 2 - 250, 627, 526};
  const ScreenRect buttons{rocWindow.x + 501, rocWindow.y, 126, 526};
  const ScreenSize minimum{644, 566};
  const ScreenRect r = roc::PlaceBeside(screen, rocWindow, buttons, {862, 666}, minimum);

  EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.right() <= s.width && r.bottom() <= s.height);
  EXPECT_TRUE(r.width >= minimum.width && r.width <= 862 && r.height == 666);
  EXPECT_TRUE(r.right() <= buttons.x || r.x >= buttons.right());
  const int room = std::max(rocWindow.x, s.width - rocWindow.right());
  if (room >= minimum.width) {
    EXPECT_TRUE(r.right() <= rocWindow.x || r.x >= rocWindow.right());  // no overlap at all
    EXPECT_EQ(r.width, std::min(room, 862));
  } else {
    EXPECT_EQ(r, (ScreenRect{0, r.y, minimum.width, 666}));  // over the plot's far side, as little as it can
  }
}

INSTANTIATE_TEST_SUITE_P(Screens, AnalysisPlacement,
                         ::testing::Values(ScreenSize{1280, 1024}, ScreenSize{1366, 768}, ScreenSize{1920, 1080}));

}  // namespace
