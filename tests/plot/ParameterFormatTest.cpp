#include "plot/ParameterFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace roc {
namespace {

using numeric::Extended;

// The step constants of the parameter controls, as extended values.
constexpr Extended kStep = 0.02L;
constexpr Extended kFactor = 1.02L;

TEST(ParameterFormatTest, Examples) {
  EXPECT_EQ(FormatParameter(1), "1");
  EXPECT_EQ(FormatParameter(1.02L), "1.02");
  EXPECT_EQ(FormatParameter(-0.02L), "-0.02");
  EXPECT_EQ(FormatParameter(0.98039215686L), "0.98039");
  EXPECT_EQ(FormatParameter(0.0001L), "0.0001");
  EXPECT_EQ(FormatParameter(0.00001L), "1E-5");
  EXPECT_EQ(FormatParameter(12345), "12345");
  EXPECT_EQ(FormatParameter(123456), "1.2346E5");
}

TEST(ParameterFormatTest, FixedRangeIsExponentMinusThreeToFive) {
  EXPECT_EQ(FormatParameter(99999), "99999");
  EXPECT_EQ(FormatParameter(100000), "1E5");
  EXPECT_EQ(FormatParameter(1200), "1200");
  EXPECT_EQ(FormatParameter(-1234.5678L), "-1234.6");
  EXPECT_EQ(FormatParameter(0.00012345L), "0.00012345");
  EXPECT_EQ(FormatParameter(0.000099999L), "9.9999E-5");
  EXPECT_EQ(FormatParameter(-1.5e10L), "-1.5E10");
}

TEST(ParameterFormatTest, RoundsHalfUpOnTheSixthDigitWithCarry) {
  EXPECT_EQ(FormatParameter(1.23455L), "1.2346");
  EXPECT_EQ(FormatParameter(9.99996L), "10");
  EXPECT_EQ(FormatParameter(99999.5L), "1E5");
  EXPECT_EQ(FormatParameter(0.000999995L), "0.001");
  EXPECT_EQ(FormatParameter(-9.99995e-7L), "-1E-6");
}

TEST(ParameterFormatTest, RoundsTheEighteenDigitExpansionNotTheExactValue) {
  // 2.00005 in extended is 2.0000499999999999999143..., whose 18-digit
  // expansion 2.00005000000000000 rounds up.
  EXPECT_EQ(FormatParameter(2.00005L), "2.0001");
  EXPECT_EQ(FormatParameter(2.0000499999999999L), "2");
}

TEST(ParameterFormatTest, ZeroAndValuesBelowTheNormalRangeAreZero) {
  using Limits = std::numeric_limits<Extended>;
  EXPECT_EQ(FormatParameter(0), "0");
  EXPECT_EQ(FormatParameter(-0.0L), "0");
  EXPECT_EQ(FormatParameter(Limits::denorm_min()), "0");
  EXPECT_EQ(FormatParameter(Limits::min()), "3.3621E-4932");
  EXPECT_EQ(FormatParameter(-Limits::max()), "-1.1897E4932");
}

TEST(ParameterFormatTest, DecimalSeparatorComesFromTheCaller) {
  EXPECT_EQ(FormatParameter(1.02L, ","), "1,02");
  EXPECT_EQ(FormatParameter(123456, ","), "1,2346E5");
}

TEST(ParameterFormatTest, StepsOfD) {
  Extended d = 1;
  EXPECT_EQ(FormatParameter(d + kStep), "1.02");
  for (int i = 1; i <= 48; ++i) d = d - kStep;
  EXPECT_FALSE(d < 0.03L) << "the 49th down-step is still taken";
  d = d - kStep;
  EXPECT_EQ(FormatParameter(d), "0.02");
  EXPECT_TRUE(d < 0.03L) << "a 50th down-step is refused";
}

TEST(ParameterFormatTest, StepsOfR) {
  std::vector<std::string> up;
  Extended R = 1;
  for (int i = 0; i < 5; ++i) up.push_back(FormatParameter(R = R * kFactor));
  EXPECT_EQ(up, (std::vector<std::string>{"1.02", "1.0404", "1.0612", "1.0824", "1.1041"}));

  std::vector<std::string> down;
  R = 1;
  for (int i = 0; i < 3; ++i) down.push_back(FormatParameter(R = R / kFactor));
  EXPECT_EQ(down, (std::vector<std::string>{"0.98039", "0.96117", "0.94232"}));
}

TEST(ParameterFormatTest, StepsOfTheCriteria) {
  Extended c2 = 1;
  for (int i = 0; i < 50; ++i) c2 = c2 - kStep;
  EXPECT_EQ(FormatParameter(c2), "3.5237E-19");

  Extended c1 = 0;
  c1 = c1 + kStep;
  c1 = c1 - kStep;
  EXPECT_EQ(FormatParameter(c1), "0");
  EXPECT_EQ(FormatParameter(Extended{0} - kStep), "-0.02");
}

}  // namespace
}  // namespace roc
