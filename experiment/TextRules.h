#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "numeric/Result.h"

namespace experiment {

// What a name shown in a window and written to the per-trial file may be:
// valid UTF-8 without control characters, 1 to 64 characters long.
inline constexpr std::size_t kMaxNameCharacters = 64;

// The number of characters (code points) of UTF-8 text; nullopt when the
// text is not valid UTF-8 (overlong forms and surrogates included).
std::optional<std::size_t> Utf8Length(std::string_view text);

// The length in bytes of the longest start of the text that is valid UTF-8:
// where the first byte that begins no character stands, or the text's size.
std::size_t ValidUtf8Prefix(std::string_view text);

// Whether valid UTF-8 text holds a control character: U+0000..U+001F,
// U+007F or U+0080..U+009F.
bool HasControlCharacter(std::string_view text);

// Valid UTF-8 text without the white space at either end: ASCII white space
// and Unicode's other spaces, the ideographic space U+3000 among them.
std::string_view TrimWhiteSpace(std::string_view text);

// Whether a name is a good one; the reason when not ("is empty", "holds a
// control character", ...). Takes the name as it is, untrimmed; a name of
// white space alone is empty.
numeric::Status CheckName(std::string_view name);

// The observer's name as typed or given, trimmed; or, when what is left is no
// good name, the reason (see CheckName).
numeric::Result<std::string> ObserverName(std::string_view typed);

}  // namespace experiment
