#pragma once
#include <string>

namespace server {

// A text (the students' link) as a QR code (libqrencode, error correction
// level M): for a terminal, two rows of modules per line in block
// characters, dark on light whatever the terminal's colours when `colours`
// (ANSI escapes); and as an SVG image. Empty when it cannot be encoded.
std::string QrForTerminal(const std::string& text, bool colours);
std::string QrSvg(const std::string& text);

}  // namespace server
