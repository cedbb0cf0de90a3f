#include "Errors.h"

#include <string_view>

namespace numeric {

std::string ErrorBoxText(const std::string& message) {
  if (message.empty()) return message;
  // The last character: a lead byte and the continuation bytes after it.
  std::size_t start = message.size() - 1;
  while (start > 0 && message.size() - start < 4 && (static_cast<unsigned char>(message[start]) & 0xC0) == 0x80) {
    --start;
  }
  // char_traits<char> compares as unsigned bytes, so a multi-byte character
  // (lead byte 0xC2 or more) is always greater than ".".
  const std::string_view last = std::string_view(message).substr(start);
  if (last > std::string_view(".")) return message + ".";
  return message;
}

}  // namespace numeric
