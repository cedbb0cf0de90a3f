#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace experiment {

// How the bytes of a per-trial file are text: UTF-8, as this program writes
// them, or CP932 (Windows' Shift_JIS), as Japanese spreadsheet programs save
// them by default; or neither.
enum class TextEncoding { kUtf8, kCp932, kNeither };

struct FileText {
  TextEncoding encoding = TextEncoding::kUtf8;
  std::string converted;    // kCp932: the text in UTF-8 (for kUtf8 the bytes are the text)
  std::size_t badLine = 0;  // kNeither: the first line (from 1) up to which neither reads the file
};

// Takes bytes (without a byte order mark) as UTF-8 when their whole lines
// are valid UTF-8, else as CP932 when those are valid CP932, unless lines
// before the first byte that is no UTF-8 hold UTF-8 beyond ASCII (a UTF-8
// file with a broken line is not CP932, whatever its bytes). The last line,
// when it has no line end, is a line cut short (a crash, a write under way)
// and never decides: a UTF-8 file cut inside a character stays UTF-8. In a
// CP932 file, what of that line is no CP932 becomes U+FFFD.
FileText DecodeFileText(std::string_view bytes);

// The UTF-8 of CP932 text; nullopt when text holds a byte that is no CP932,
// with bad set to where the first such byte is (a character cut at the end
// included).
std::optional<std::string> Cp932ToUtf8(std::string_view text, std::size_t& bad);

}  // namespace experiment
