#include "stats/NormalExtended.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>

#include "numeric/Errors.h"

namespace roc {
namespace {

using numeric::Extended;

// |actual - expected| <= tolerance, compared in extended precision.
::testing::AssertionResult Near(Extended actual, Extended expected, Extended tolerance) {
  const Extended diff = std::fabs(actual - expected);
  if (diff <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::setprecision(20) << "actual " << actual << ", expected " << expected
                                       << ", difference " << diff << " > " << tolerance;
}

class NormalDistributionTest : public ::testing::Test {
 protected:
  void SetUp() override { numeric::InitFloatingPoint(); }
};

struct Reference {
  Extended x;
  Extended area;      // NormalAreaFromZero(x)
  Extended cdf;       // NormalCdf(x)
  Extended mirrored;  // NormalCdf(-x)
};

// Twelve decimals: the values hold to half a unit in the twelfth place.
constexpr Reference kTable[] = {
    {0.1L, 0.039827837277L, 0.539827837277L, 0.460172162723L},
    {0.5L, 0.191462461274L, 0.691462461274L, 0.308537538726L},
    {1, 0.341344746069L, 0.841344746069L, 0.158655253931L},
    {1.96L, 0.475002104852L, 0.975002104852L, 0.024997895148L},
    {2, 0.477249868052L, 0.977249868052L, 0.022750131948L},
    {3, 0.498650101968L, 0.998650101968L, 0.001349898032L},
    {5, 0.499999713348L, 0.999999713348L, 2.8665157e-7L},
    {6.8L, 0.499999999995L, 0.999999999995L, 5.2309578e-12L},
    {7, 0.499999999999L, 0.999999999999L, 1.27982e-12L},
};
constexpr Extended kTwelveDecimals = 5e-13L;

TEST_F(NormalDistributionTest, ReferenceTable) {
  for (const Reference& r : kTable) {
    SCOPED_TRACE(::testing::Message() << "x = " << static_cast<double>(r.x));
    EXPECT_TRUE(Near(NormalAreaFromZero(r.x), r.area, kTwelveDecimals));
    EXPECT_TRUE(Near(NormalCdf(r.x), r.cdf, kTwelveDecimals));
    EXPECT_TRUE(Near(NormalCdf(-r.x), r.mirrored, kTwelveDecimals));
  }
}

TEST_F(NormalDistributionTest, ZeroAndTheFarEndsAreExact) {
  EXPECT_EQ(NormalAreaFromZero(0), 0);
  EXPECT_EQ(NormalCdf(0), 0.5L);
  EXPECT_EQ(NormalCdf(-0.0L), 0.5L);
  for (Extended x : {10.0L, 9.5L, 1e6L}) {
    EXPECT_EQ(NormalAreaFromZero(x), 0.5L) << static_cast<double>(x);
    EXPECT_EQ(NormalCdf(x), 1) << static_cast<double>(x);
    EXPECT_EQ(NormalCdf(-x), 0) << static_cast<double>(x);
  }
  EXPECT_EQ(NormalCdf(std::numeric_limits<Extended>::infinity()), 1);
  EXPECT_EQ(NormalCdf(-std::numeric_limits<Extended>::infinity()), 0);
}

TEST_F(NormalDistributionTest, SmallLowerTailsNeedTheExtendedWidth) {
  EXPECT_TRUE(Near(NormalCdf(-5), 2.8665157e-7L, 5e-15L));
  // The upper-tail approximation, not the exact tail (1.27981e-12).
  EXPECT_TRUE(Near(NormalCdf(-7), 1.27982e-12L, 5e-18L));
  // At the threshold the eighth digit follows the last bits of exp.
  EXPECT_TRUE(Near(NormalCdf(-6.8L), 5.2309578e-12L, 4e-19L));
}

TEST_F(NormalDistributionTest, BranchesMeetAtTheThreshold) {
  EXPECT_TRUE(Near(0.5L - NormalAreaFromZero(6.8L), 5.2310e-12L, 5e-17L));
  EXPECT_TRUE(Near(0.5L - NormalAreaFromZero(6.81L), 4.8800e-12L, 5e-17L));
  // The series ends at 6.8 itself; the next extended value is in the tail branch.
  const Extended above = std::nextafter(6.8L, 7.0L);
  EXPECT_TRUE(Near(NormalAreaFromZero(above), NormalAreaFromZero(6.8L), 1e-16L));
}

TEST_F(NormalDistributionTest, AreaIsEvenAndCdfIsSymmetricAndMonotone) {
  Extended previous = 0;
  for (Extended x = -9.6L; x <= 9.6L; x += 0.013L) {
    ASSERT_EQ(NormalAreaFromZero(x), NormalAreaFromZero(-x)) << static_cast<double>(x);
    const Extended p = NormalCdf(x);
    ASSERT_GE(p, previous) << static_cast<double>(x);
    ASSERT_TRUE(Near(p + NormalCdf(-x), 1, 1e-18L)) << static_cast<double>(x);
    previous = p;
  }
}

TEST_F(NormalDistributionTest, SeriesStopsWhenAPassLeavesTheSumUnchanged) {
  struct Passes {
    Extended x;
    std::int32_t passes;
  };
  for (const Passes& p : {Passes{0.1L, 6}, Passes{1, 12}, Passes{2, 16}, Passes{3, 21}, Passes{5, 30}, Passes{6.8L, 39}}) {
    EXPECT_EQ(NormalSeriesSum((p.x * p.x) * 0.25L).Passes, p.passes) << "x = " << static_cast<double>(p.x);
  }
}

TEST_F(NormalDistributionTest, InvalidArguments) {
  const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
  EXPECT_THROW(NormalCdf(nan), numeric::EInvalidOp);
  EXPECT_THROW(NormalAreaFromZero(nan), numeric::EInvalidOp);
  // a * a beyond the extended range overflows like any other product.
  EXPECT_THROW(NormalCdf(-1e3000L), numeric::EOverflow);
}

}  // namespace
}  // namespace roc

TEST(NormalCdfPairTest, GivesExactlyTheSingleResultsOnEveryBranch) {
  const numeric::Extended xs[] = {0, 0.1L, -0.5L, 1, -1.96L, 3, 5, -6.8L, 6.81L, -7, 10, 1e-30L, -9.5L};
  for (const numeric::Extended x : xs) {
    for (const numeric::Extended y : xs) {
      const auto [cx, cy] = roc::NormalCdfPair(x, y);
      EXPECT_EQ(cx, roc::NormalCdf(x)) << static_cast<double>(x) << " with " << static_cast<double>(y);
      EXPECT_EQ(cy, roc::NormalCdf(y)) << static_cast<double>(y) << " with " << static_cast<double>(x);
    }
  }
}
