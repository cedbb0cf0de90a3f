#include "plot/RocPlot.h"

#include <gtest/gtest.h>

#include "stats/NormalExtended.h"
#include "plot/RocState.h"
#include "tests/support/PlotProbe.h"
#include "ui/Colour.h"

namespace {

using numeric::Extended;

struct RocPlotTest : ::testing::Test {
  void SetUp() override {
    numeric::InitFloatingPoint();
    Analysis.PlotFrame = {40, 460, 450};
    Analysis.ModelParameters = {1, 0, 1, 2, 1};
  }
  roc::RocState Analysis;
};

TEST_F(RocPlotTest, RatesBecomePixelsRoundedHalfToEven) {
  EXPECT_EQ(roc::ToScreenX(Analysis.PlotFrame, 0), 40);
  EXPECT_EQ(roc::ToScreenY(Analysis.PlotFrame, 0), 460);
  EXPECT_EQ(roc::ToScreenX(Analysis.PlotFrame, 1), 490);
  EXPECT_EQ(roc::ToScreenY(Analysis.PlotFrame, 1), 10);
  EXPECT_EQ(roc::ToScreenX(Analysis.PlotFrame, 7.0L / 28.0L), 152);  // 112.5 -> 112
  EXPECT_EQ(roc::ToScreenY(Analysis.PlotFrame, 0.75L), 122);         // 337.5 -> 338
  EXPECT_EQ(roc::ToScreenX(Analysis.PlotFrame, 0.75L), 378);         // 337.5 -> 338
}

TEST_F(RocPlotTest, AnObservedPointIsACircleOfRadiusSevenAroundItsPixel) {
  ui::Surface s(500, 500);
  roc::PlotObservedPoint(s, Analysis.PlotFrame, 2, 7.0L / 28.0L, 0.75L);  // centre (152, 122)
  EXPECT_EQ(s.Pixel(150, 115), ui::clMaroon);         // top row: columns -2..1
  EXPECT_EQ(s.Pixel(153, 115), ui::clMaroon);
  EXPECT_EQ(s.Pixel(154, 115), ui::clWhite);
  EXPECT_EQ(s.Pixel(145, 122), ui::clMaroon);  // widest rows: columns -7 and 6
  EXPECT_EQ(s.Pixel(158, 122), ui::clMaroon);
  EXPECT_EQ(s.Pixel(144, 122), ui::clWhite);
  EXPECT_EQ(s.PenColor(), ui::clBlack);  // the pen is black again afterwards
}

TEST_F(RocPlotTest, TheCurveRunsFromTheUpperRightCornerToTheLowerLeftThroughTheMarkers) {
  ui::Surface s(500, 500);
  roc::DrawModelCurve(s, Analysis.PlotFrame, Analysis.ModelParameters);
  // The first sample (z = -5) is exactly the corner, so the first segment is
  // the diagonal, drawn blue.
  const Extended one = 1;
  EXPECT_EQ(roc::ToScreenX(Analysis.PlotFrame, one - roc::NormalCdf(-5)), 490);
  EXPECT_EQ(roc::ToScreenY(Analysis.PlotFrame, one - roc::NormalCdf(-6)), 10);
  EXPECT_EQ(s.Pixel(250, 250), ui::clBlue);
  ExpectStartMarkers(s);
}

TEST_F(RocPlotTest, NothingIsDrawnBeforeThePlotFrameIsSet) {
  Analysis.PlotFrame = {0, 0, 0};
  ui::Surface s(500, 500);
  roc::DrawRocPlot(s, Analysis.PlotFrame, Analysis.ResponseTally, Analysis.ModelParameters);
  for (int y = 0; y < 500; y += 7)
    for (int x = 0; x < 500; x += 7) ASSERT_EQ(s.Pixel(x, y), ui::clWhite);
}

}  // namespace
