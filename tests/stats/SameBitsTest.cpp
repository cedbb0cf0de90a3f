// The plot's 80-bit arithmetic bit for bit: a digest of its values over a
// sweep that every build must reproduce, the Windows build under Wine
// included. A compiler flag, a runtime or a floating-point set-up that
// changes a last bit anywhere shows here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "numeric/Extended.h"
#include "stats/NormalExtended.h"

namespace roc {
namespace {

using numeric::Extended;

// FNV-1a over the 10 bytes of an x87 extended (the rest of its storage is padding).
void Mix(std::uint64_t& digest, Extended value) {
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  for (std::size_t i = 0; i < 10; ++i) digest = (digest ^ bytes[i]) * 0x100000001B3u;
}

TEST(SameBitsTest, ExtendedResultsAreTheReferenceBits) {
  numeric::InitFloatingPoint();
  std::uint64_t digest = 0xCBF29CE484222325u;
  for (Extended x = -9.6L; x <= 9.6L; x += 0.0137L) {
    Mix(digest, NormalCdf(x));
    Mix(digest, numeric::ExpExtended(x * 70));
    Mix(digest, numeric::SqrtExtended(x * x + 1));
    Mix(digest, numeric::DivideExtended(1, x + 0.5L));
  }
  EXPECT_EQ(digest, 15103033473476498214u);
}

}  // namespace
}  // namespace roc
