#include "TextRules.h"

#include <cstdint>

namespace experiment {

namespace {

// Decodes the code point at text[i] and moves i past it; nullopt when the
// bytes there are no valid UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  std::size_t length;
  char32_t c;
  char32_t least;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - i < length) return std::nullopt;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  i += length;
  return c;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Unicode's White_Space property.
bool IsWhiteSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

std::optional<std::size_t> Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    if (!NextCodePoint(text, i)) return std::nullopt;
  }
  return count;
}

std::size_t ValidUtf8Prefix(std::string_view text) {
  std::size_t i = 0;  // NextCodePoint moves it past valid characters only
  while (i < text.size() && NextCodePoint(text, i)) {
  }
  return i;
}

bool HasControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = NextCodePoint(text, i);
    if (!c) return false;
    if (IsControl(*c)) return true;
  }
  return false;
}

std::string_view TrimWhiteSpace(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // just past the last character that is no white space
  bool seen = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    const auto c = NextCodePoint(text, i);
    if (!c) return text;
    if (IsWhiteSpace(*c)) continue;
    if (!seen) begin = at, seen = true;
    end = i;
  }
  return text.substr(begin, end - begin);
}

numeric::Status CheckName(std::string_view name) {
  const auto length = Utf8Length(name);
  if (!length) return numeric::Fail("is not valid UTF-8");
  if (HasControlCharacter(name)) return numeric::Fail("holds a control character");
  if (TrimWhiteSpace(name).empty()) return numeric::Fail("is empty");
  if (*length > kMaxNameCharacters) {
    return numeric::Fail("has " + std::to_string(*length) + " characters, more than " +
                         std::to_string(kMaxNameCharacters));
  }
  return {};
}

numeric::Result<std::string> ObserverName(std::string_view typed) {
  const std::string_view name = TrimWhiteSpace(typed);
  if (const numeric::Status good = CheckName(name); !good) return numeric::Fail(good.Reason());
  return std::string(name);
}

}  // namespace experiment
