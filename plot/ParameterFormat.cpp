#include "plot/ParameterFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace roc {

namespace {

constexpr int kExpansionDigits = 18;
constexpr int kShownDigits = 5;

struct Decimal {
  std::string digits;  // d1 d2 ... dn, d1 != 0
  int exponent;        // E with value = 0.d1d2...dn x 10^E
};

// |v| to 18 significant digits, correctly rounded. Reads only the digits and
// the exponent of the printed text, so the C locale's radix character does
// not matter.
Decimal Expand(numeric::Extended magnitude) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*Le", kExpansionDigits - 1, magnitude);
  Decimal d{{}, 0};
  const char* p = text;
  for (; *p != '\0' && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits += *p;
  }
  d.exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
  return d;
}

// Half up on the sixth digit, carrying; a carry out of d1 leaves the single
// digit 1 and raises the exponent. Trailing zeros go.
Decimal RoundToShownDigits(Decimal d) {
  const bool up = d.digits[kShownDigits] >= '5';
  d.digits.resize(kShownDigits);
  if (up) {
    int i = kShownDigits - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i < 0) {
      d.digits.assign(1, '1');
      ++d.exponent;
    } else {
      ++d.digits[i];
    }
  }
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

}  // namespace

std::string FormatParameter(numeric::Extended v, std::string_view decimalSeparator) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  const numeric::Extended magnitude = std::fabs(v);
  if (magnitude < std::numeric_limits<numeric::Extended>::min()) return "0";

  const Decimal d = RoundToShownDigits(Expand(magnitude));
  const int E = d.exponent;
  const auto n = static_cast<int>(d.digits.size());

  std::string out;
  if (v < 0) out += '-';
  if (E >= -3 && E <= 5) {
    if (E > 0) {
      out.append(d.digits, 0, static_cast<std::size_t>(std::min(E, n)));
      if (n < E) out.append(static_cast<std::size_t>(E - n), '0');
      if (n > E) {
        out += decimalSeparator;
        out.append(d.digits, static_cast<std::size_t>(E));
      }
    } else {
      out += '0';
      out += decimalSeparator;
      out.append(static_cast<std::size_t>(-E), '0');
      out += d.digits;
    }
  } else {
    out += d.digits[0];
    if (n > 1) {
      out += decimalSeparator;
      out.append(d.digits, 1);
    }
    out += 'E';
    const int shown = E - 1;
    if (shown < 0) out += '-';
    out += std::to_string(std::abs(shown));
  }
  return out;
}

}  // namespace roc
