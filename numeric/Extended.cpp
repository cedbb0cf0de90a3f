#include "Extended.h"

#include <cfenv>
#include <cmath>

#include "Errors.h"

namespace numeric {

namespace {

// 2^63: the signed 64-bit range is [-2^63, 2^63).
constexpr Extended kTwoTo63 = 0x1p63L;

std::int64_t ToInt64(Extended integral) {
  if (!(integral >= -kTwoTo63 && integral < kTwoTo63)) throw EInvalidOp();
  return static_cast<std::int64_t>(integral);
}

}  // namespace

void InitFloatingPoint() {
  // No traps anywhere: errors are found by checks after the operations.
#ifdef __GLIBC__
  fedisableexcept(FE_ALL_EXCEPT);
#endif
  std::fesetround(FE_TONEAREST);
  std::feclearexcept(FE_ALL_EXCEPT);
#ifdef ROCRATING_X87
  // 0x037F: all six exceptions masked, 64-bit significand, round to nearest.
  const std::uint16_t controlWord = 0x037F;
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(controlWord));
#endif
}

Extended ExpExtended(Extended x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) {
    if (x < 0) return 0;
    throw EOverflow();
  }
  Extended r;
#ifdef ROCRATING_X87
  // t := x log2(e); n := t rounded by the control word (to nearest);
  // f := t - n; r := (2^f - 1) + 1 scaled by 2^n.
  __asm__(
      "fldl2e\n\t"           // log2(e), x
      "fmulp\n\t"            // t
      "fld %%st(0)\n\t"      // t, t
      "frndint\n\t"          // n, t
      "fxch %%st(1)\n\t"     // t, n
      "fsub %%st(1), %%st\n\t"  // f = t - n, n
      "f2xm1\n\t"            // 2^f - 1, n
      "fld1\n\t"             // 1, 2^f - 1, n
      "faddp\n\t"            // 2^f, n
      "fscale\n\t"           // 2^f * 2^n, n
      "fstp %%st(1)\n\t"     // result
      : "=t"(r)
      : "0"(x)
      : "st(1)", "st(2)");
#else
  constexpr Extended kLog2e = 1.442695040888963407359924681001892137L;
  const Extended t = x * kLog2e;
  if (std::isinf(t)) {
    if (t < 0) return 0;
    throw EOverflow();
  }
  const Extended n = std::nearbyint(t);
  const Extended f = t - n;
  const Extended p = (std::exp2(f) - 1) + 1;
  constexpr Extended kScaleLimit = 100000;  // far beyond any finite result
  const Extended clamped = n > kScaleLimit ? kScaleLimit : (n < -kScaleLimit ? -kScaleLimit : n);
  r = std::scalbln(p, static_cast<long>(clamped));
#endif
  if (!std::isfinite(r)) {
    // x log2(e) beyond the format gives inf - inf = NaN for f; otherwise the
    // scaling itself ran out of range. Below it the value is simply zero.
    if (x < 0) return 0;
    throw EOverflow();
  }
  return r;
}

Extended SqrtExtended(Extended x) {
  if (x < 0) throw EInvalidOp();
  return std::sqrt(x);
}

std::int64_t RoundExtended(Extended x) {
  if (std::isnan(x)) throw EInvalidOp();
  // The environment rounds to nearest, ties to even.
#ifdef ROCRATING_X87
  Extended r;
  __asm__("frndint" : "=t"(r) : "0"(x));
  return ToInt64(r);
#else
  return ToInt64(std::nearbyint(x));
#endif
}

std::int64_t TruncExtended(Extended x) {
  if (std::isnan(x)) throw EInvalidOp();
  return ToInt64(std::trunc(x));
}

Extended DivideExtended(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) throw EInvalidOp();
  if (b == 0) {
    if (a == 0) throw EInvalidOp();
    throw EZeroDivide();
  }
  if (std::isinf(a) && std::isinf(b)) throw EInvalidOp();
  const Extended q = a / b;
  if (std::isinf(q) && std::isfinite(a)) throw EOverflow();
  return q;
}

Extended MultiplyExtended(Extended a, Extended b) {
  if ((a == 0 && std::isinf(b)) || (std::isinf(a) && b == 0)) throw EInvalidOp();
  const Extended p = a * b;
  if (std::isinf(p) && std::isfinite(a) && std::isfinite(b)) throw EOverflow();
  return p;
}

}  // namespace numeric
