#include "ui/Extended.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "ui/Errors.h"

namespace ui {
namespace {

using Limits = std::numeric_limits<Extended>;
constexpr Extended kInf = Limits::infinity();

class ExtendedTest : public ::testing::Test {
 protected:
  void SetUp() override { InitFloatingPoint(); }
  void TearDown() override { InitFloatingPoint(); }
};

#ifdef ROCRATING_X87
std::uint16_t ControlWord() {
  std::uint16_t cw;
  __asm__ volatile("fnstcw %0" : "=m"(cw));
  return cw;
}

void LoadControlWord(std::uint16_t cw) { __asm__ volatile("fldcw %0" : : "m"(cw)); }

TEST_F(ExtendedTest, InitRestoresExtendedPrecisionNearestRoundingAndClearsFlags) {
  LoadControlWord(0x0A7F);  // 53-bit significand, rounding upwards
  volatile Extended one = 1;
  volatile Extended zero = 0;
  volatile Extended q = one / zero;  // raises the division-by-zero flag
  (void)q;
  std::fesetround(FE_UPWARD);

  InitFloatingPoint();

  EXPECT_EQ(ControlWord(), 0x037F);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
  EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  volatile Extended tiny = 0x1p-63L;
  EXPECT_NE(one + tiny, one) << "a 64-bit significand keeps 1 + 2^-63";
  // Rounding upwards would shorten the magnitude of -1/3; nearest lengthens it.
  EXPECT_EQ(-one / 3, -(1.0L / 3)) << "rounded to nearest";
}
#endif

TEST_F(ExtendedTest, ExpMatchesTheLibraryExponentialAcrossTheRange) {
  EXPECT_EQ(ExpExtended(0), 1);
  EXPECT_EQ(ExpExtended(-0.0L), 1);
  for (Extended x = -700; x <= 700; x += 0.37L) {
    const Extended expected = std::exp(x);
    // The rounding of x log2(e) costs about |x| units in the last place.
    const Extended tolerance = expected * 1e-18L * (4 + std::fabs(x));
    ASSERT_LE(std::fabs(ExpExtended(x) - expected), tolerance) << "x = " << static_cast<double>(x);
  }
  EXPECT_LE(std::fabs(ExpExtended(1) - 2.718281828459045235360287471352662498L), 5e-19L);
}

TEST_F(ExtendedTest, ExpOfLargeNegativeValuesIsZeroWithoutError) {
  EXPECT_EQ(ExpExtended(-20000), 0);
  EXPECT_EQ(ExpExtended(-1e4000L), 0);
  EXPECT_EQ(ExpExtended(-Limits::max()), 0);
  EXPECT_EQ(ExpExtended(-kInf), 0);
  // Below the smallest normal number the result fades through the denormals.
  const Extended denormal = ExpExtended(-11390);
  EXPECT_GT(denormal, 0);
  EXPECT_LT(denormal, Limits::min());
}

TEST_F(ExtendedTest, ExpBeyondTheRangeOverflows) {
  EXPECT_TRUE(std::isfinite(ExpExtended(11356)));
  EXPECT_THROW(ExpExtended(11357), EOverflow);
  EXPECT_THROW(ExpExtended(1e4000L), EOverflow);
  EXPECT_THROW(ExpExtended(Limits::max()), EOverflow);
  EXPECT_THROW(ExpExtended(kInf), EOverflow);
}

TEST_F(ExtendedTest, SquareRoot) {
  EXPECT_EQ(SqrtExtended(4), 2);
  EXPECT_EQ(SqrtExtended(0), 0);
  EXPECT_EQ(SqrtExtended(-0.0L), 0);
  // Correctly rounded: the nearest extended to sqrt(2).
  EXPECT_EQ(SqrtExtended(2), 1.41421356237309504880168872420969808L);
  EXPECT_THROW(SqrtExtended(-1), EInvalidOp);
  EXPECT_THROW(SqrtExtended(-Limits::denorm_min()), EInvalidOp);
}

TEST_F(ExtendedTest, RoundingTiesGoToEven) {
  EXPECT_EQ(RoundExtended(2.5L), 2);
  EXPECT_EQ(RoundExtended(3.5L), 4);
  EXPECT_EQ(RoundExtended(-2.5L), -2);
  EXPECT_EQ(RoundExtended(0.5L), 0);
  EXPECT_EQ(RoundExtended(-0.5L), 0);
  EXPECT_EQ(RoundExtended(std::nextafter(2.5L, 3.0L)), 3);
  EXPECT_EQ(RoundExtended(std::nextafter(2.5L, 2.0L)), 2);
  EXPECT_EQ(RoundExtended(-3.7L), -4);
  EXPECT_EQ(RoundExtended(454.5L), 454);
}

TEST_F(ExtendedTest, TruncationGoesTowardZero) {
  EXPECT_EQ(TruncExtended(2.99L), 2);
  EXPECT_EQ(TruncExtended(-2.99L), -2);
  EXPECT_EQ(TruncExtended(-0.5L), 0);
}

TEST_F(ExtendedTest, RoundingAndTruncationStayInsideSigned64Bits) {
  constexpr Extended kTwo63 = 0x1p63L;
  EXPECT_EQ(RoundExtended(-kTwo63), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(RoundExtended(kTwo63 - 1), std::numeric_limits<std::int64_t>::max());
  // 2^63 - 0.5 is a tie between 2^63 - 1 (odd) and 2^63 (even, out of range).
  EXPECT_THROW(RoundExtended(kTwo63 - 0.5L), EInvalidOp);
  EXPECT_EQ(TruncExtended(kTwo63 - 0.5L), std::numeric_limits<std::int64_t>::max());
  EXPECT_THROW(RoundExtended(kTwo63), EInvalidOp);
  EXPECT_THROW(TruncExtended(kTwo63), EInvalidOp);
  EXPECT_THROW(RoundExtended(-kTwo63 - 1), EInvalidOp);
  EXPECT_THROW(TruncExtended(-kTwo63 - 1), EInvalidOp);
  EXPECT_THROW(RoundExtended(Limits::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(TruncExtended(Limits::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(RoundExtended(-kInf), EInvalidOp);
}

TEST_F(ExtendedTest, DivisionReportsTheRuntimeErrors) {
  EXPECT_EQ(DivideExtended(1, 4), 0.25L);
  EXPECT_EQ(DivideExtended(-3, kInf), 0);
  EXPECT_EQ(DivideExtended(kInf, 2), kInf);
  EXPECT_THROW(DivideExtended(0, 0), EInvalidOp);
  EXPECT_THROW(DivideExtended(kInf, -kInf), EInvalidOp);
  EXPECT_THROW(DivideExtended(Limits::quiet_NaN(), 1), EInvalidOp);
  EXPECT_THROW(DivideExtended(1, 0), EZeroDivide);
  EXPECT_THROW(DivideExtended(-1e-4000L, -0.0L), EZeroDivide);
  EXPECT_THROW(DivideExtended(Limits::max(), 0.5L), EOverflow);
  // Underflow is not an error: the quotient just becomes denormal or zero.
  EXPECT_EQ(DivideExtended(Limits::denorm_min(), 4), 0);
  EXPECT_GT(DivideExtended(Limits::min(), 4), 0);
}

TEST_F(ExtendedTest, MultiplicationReportsOverflowAndZeroTimesInfinity) {
  EXPECT_EQ(MultiplyExtended(1.5L, -4), -6);
  EXPECT_EQ(MultiplyExtended(kInf, 2), kInf);
  EXPECT_EQ(MultiplyExtended(Limits::min(), Limits::min()), 0);
  EXPECT_THROW(MultiplyExtended(Limits::max(), 2), EOverflow);
  EXPECT_THROW(MultiplyExtended(-1e3000L, 1e3000L), EOverflow);
  EXPECT_THROW(MultiplyExtended(0, kInf), EInvalidOp);
  EXPECT_THROW(MultiplyExtended(-kInf, 0), EInvalidOp);
}

}  // namespace
}  // namespace ui
