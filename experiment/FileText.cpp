#include "FileText.h"

#include <algorithm>

#include "TextRules.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace experiment {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::size_t LineAt(std::string_view text, std::size_t offset) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n'));
}

}  // namespace

#ifdef _WIN32

// The system's code page 932, a line at a time: the conversion of a whole
// text says only whether it failed, a line's says where.
std::optional<std::string> Cp932ToUtf8(std::string_view text, std::size_t& bad) {
  std::string utf8;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
    const int size = static_cast<int>(end - start);
    const int wide = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data() + start, size, nullptr, 0);
    if (wide == 0) {
      bad = start;
      return std::nullopt;
    }
    std::wstring chars(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data() + start, size, chars.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, chars.data(), wide, nullptr, 0, nullptr, nullptr);
    const std::size_t at = utf8.size();
    utf8.resize(at + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, chars.data(), wide, utf8.data() + at, bytes, nullptr, nullptr);
    start = end;
  }
  return utf8;
}

#else

// glibc's converter: on a byte that is no CP932 it stops there.
std::optional<std::string> Cp932ToUtf8(std::string_view text, std::size_t& bad) {
  const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    bad = 0;
    return std::nullopt;
  }
  std::string utf8(text.size() * 3, '\0');  // a byte of CP932 is at most three of UTF-8
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* out = utf8.data();
  std::size_t outLeft = utf8.size();
  const bool whole = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (!whole) {
    bad = static_cast<std::size_t>(in - text.data());
    return std::nullopt;
  }
  utf8.resize(utf8.size() - outLeft);
  return utf8;
}

#endif

FileText DecodeFileText(std::string_view bytes) {
  const std::size_t lastEnd = bytes.rfind('\n');
  const std::string_view lines = bytes.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
  const std::string_view cut = bytes.substr(lines.size());
  const std::size_t utf8 = ValidUtf8Prefix(lines);
  if (utf8 == lines.size()) return {};
  // Whole lines of UTF-8 beyond ASCII before the first bad byte: a UTF-8
  // file with a broken line, which CP932 would turn into other characters.
  const std::string_view before = lines.substr(0, lines.rfind('\n', utf8) + 1);
  if (std::any_of(before.begin(), before.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return {TextEncoding::kNeither, {}, LineAt(lines, utf8)};
  std::size_t cp932 = 0;
  std::optional<std::string> converted = Cp932ToUtf8(lines, cp932);
  if (!converted) return {TextEncoding::kNeither, {}, LineAt(lines, std::max(utf8, cp932))};
  std::size_t cutBad = 0;
  if (const std::optional<std::string> rest = Cp932ToUtf8(cut, cutBad)) {
    *converted += *rest;
  } else {
    std::size_t unused = 0;
    *converted += Cp932ToUtf8(cut.substr(0, cutBad), unused).value_or(std::string());
    *converted += kReplacement;
  }
  return {TextEncoding::kCp932, std::move(*converted), 0};
}

}  // namespace experiment
