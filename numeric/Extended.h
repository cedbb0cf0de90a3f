#pragma once
#include <cstdint>
#include <limits>

namespace numeric {

// The 80-bit extended real: every real of the program is one of these.
using Extended = long double;

#if defined(__x86_64__) || defined(__i386__)
static_assert(std::numeric_limits<Extended>::digits == 64, "Extended must have a 64-bit significand");
#define ROCRATING_X87 1
#endif

// Sets the floating-point environment the program runs in: extended precision
// (64-bit significand), rounding to nearest with ties to even, no traps, flags clear.
void InitFloatingPoint();

// e^x formed as 2^(x log2 e): the power split into its nearest integer n
// (ties to even) and the rest f, |f| <= 1/2, result (2^f - 1) + 1 scaled by 2^n.
Extended ExpExtended(Extended x);

// The correctly rounded extended square root; a negative argument is EInvalidOp.
Extended SqrtExtended(Extended x);

// Rounding to the nearest integer, ties to even, and truncation toward zero,
// each formed as a signed 64-bit integer. A NaN or a value outside the signed
// 64-bit range is EInvalidOp.
std::int64_t RoundExtended(Extended x);
std::int64_t TruncExtended(Extended x);

// Division with the error classes of the runtime: 0/0 (or a NaN operand) is
// EInvalidOp, a non-zero value over zero is EZeroDivide, a finite quotient too
// large for the format is EOverflow.
Extended DivideExtended(Extended a, Extended b);

// Multiplication that reports an overflow of finite operands as EOverflow and
// 0 x infinity as EInvalidOp.
Extended MultiplyExtended(Extended a, Extended b);

}  // namespace numeric
