#include "numeric/Extended.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "numeric/Errors.h"

namespace numeric {
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
  for (Extended x = -700; x <= 700; x += 0.37L) {
    const Extended expected = std::exp(x);
    // The rounding of x log2(e) costs about |x| units in the last place.
    const Extended tolerance = expected * 1e-18L * (4 + std::fabs(x));
    ASSERT_LE(std::fabs(ExpExtended(x) - expected), tolerance) << "x = " << static_cast<double>(x);
  }
}

TEST_F(ExtendedTest, ExpBelowTheRangeIsZeroAndAboveItOverflows) {
  for (Extended x : {Extended{-20000}, -1e4000L, -Limits::max(), -kInf}) EXPECT_EQ(ExpExtended(x), 0);
  // Just above the bottom the result fades through the denormals.
  EXPECT_GT(ExpExtended(-11390), 0);
  EXPECT_LT(ExpExtended(-11390), Limits::min());
  EXPECT_TRUE(std::isfinite(ExpExtended(11356)));
  for (Extended x : {Extended{11357}, 1e4000L, Limits::max(), kInf}) EXPECT_THROW(ExpExtended(x), EOverflow);
}

TEST_F(ExtendedTest, SquareRoot) {
  EXPECT_EQ(SqrtExtended(2), 1.41421356237309504880168872420969808L);
  EXPECT_EQ(SqrtExtended(-0.0L), 0);
  EXPECT_THROW(SqrtExtended(-Limits::denorm_min()), EInvalidOp);
}

TEST_F(ExtendedTest, RoundingTiesGoToEvenAndTruncationTowardZero) {
  EXPECT_EQ(RoundExtended(2.5L), 2);
  EXPECT_EQ(RoundExtended(3.5L), 4);
  EXPECT_EQ(RoundExtended(-2.5L), -2);
  EXPECT_EQ(RoundExtended(-0.5L), 0);
  EXPECT_EQ(RoundExtended(std::nextafter(2.5L, 3.0L)), 3);
  EXPECT_EQ(TruncExtended(2.99L), 2);
  EXPECT_EQ(TruncExtended(-2.99L), -2);
}

TEST_F(ExtendedTest, RoundingAndTruncationStayInsideSigned64Bits) {
  constexpr Extended kTwo63 = 0x1p63L;
  EXPECT_EQ(RoundExtended(-kTwo63), std::numeric_limits<std::int64_t>::min());
  // 2^63 - 0.5 is a tie between 2^63 - 1 (odd) and 2^63 (even, out of range).
  EXPECT_THROW(RoundExtended(kTwo63 - 0.5L), EInvalidOp);
  EXPECT_EQ(TruncExtended(kTwo63 - 0.5L), std::numeric_limits<std::int64_t>::max());
  EXPECT_THROW(TruncExtended(kTwo63), EInvalidOp);
  EXPECT_THROW(TruncExtended(-kTwo63 - 1), EInvalidOp);
  EXPECT_THROW(RoundExtended(Limits::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(RoundExtended(-kInf), EInvalidOp);
}

TEST_F(ExtendedTest, DivisionAndMultiplicationReportTheRuntimeErrors) {
  EXPECT_EQ(DivideExtended(1, 4), 0.25L);
  EXPECT_EQ(DivideExtended(kInf, 2), kInf);
  EXPECT_THROW(DivideExtended(0, 0), EInvalidOp);
  EXPECT_THROW(DivideExtended(kInf, -kInf), EInvalidOp);
  EXPECT_THROW(DivideExtended(Limits::quiet_NaN(), 1), EInvalidOp);
  EXPECT_THROW(DivideExtended(-1e-4000L, -0.0L), EZeroDivide);
  EXPECT_THROW(DivideExtended(Limits::max(), 0.5L), EOverflow);
  EXPECT_THROW(MultiplyExtended(-1e3000L, 1e3000L), EOverflow);
  EXPECT_THROW(MultiplyExtended(0, kInf), EInvalidOp);
  EXPECT_EQ(MultiplyExtended(kInf, 2), kInf);
  // Underflow is no error: the result just becomes denormal or zero.
  EXPECT_EQ(DivideExtended(Limits::denorm_min(), 4), 0);
  EXPECT_EQ(MultiplyExtended(Limits::min(), Limits::min()), 0);
}

}  // namespace
}  // namespace numeric
