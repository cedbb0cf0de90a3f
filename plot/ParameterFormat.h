#pragma once
#include <string>
#include <string_view>

#include "numeric/Extended.h"

namespace roc {

// The text of a model parameter in the general format with 5 significant
// digits: the value's 18-digit decimal expansion rounded half up to 5 digits,
// trailing zeros dropped; fixed notation when the decimal exponent E of
// |v| = 0.d1d2... x 10^E lies in -3..5 ("1.02", "0.0001", "12345"), otherwise
// scientific ("1.2346E5", "3.5237E-19"). Zero and values too small to be normal
// extended numbers give "0". The separator is the locale's decimal separator.
std::string FormatParameter(numeric::Extended v, std::string_view decimalSeparator = ".");

}  // namespace roc
