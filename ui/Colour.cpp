#include "Colour.h"

#include <array>

namespace ui {

namespace {
std::array<Colour, 32> systemColours = [] {
  std::array<Colour, 32> t{};
  t.fill(0);
  t[8] = 0x000000;   // window text
  t[15] = 0xF0F0F0;  // button face
  return t;
}();
}  // namespace

void SetSystemColour(int index, Colour rgb) {
  if (index >= 0 && index < static_cast<int>(systemColours.size())) systemColours[index] = rgb & 0xFFFFFF;
}

Colour SystemColour(int index) {
  if (index >= 0 && index < static_cast<int>(systemColours.size())) return systemColours[index];
  return 0;
}

Colour ResolveColour(Colour c) {
  if (IsSystemColour(c)) return SystemColour(static_cast<int>(c & 0xFF));
  return c & 0xFFFFFF;
}

Rgb32 ToRgb32(Colour c) {
  const Colour rgb = ResolveColour(c);
  return (static_cast<Rgb32>(RedOf(rgb)) << 16) | (static_cast<Rgb32>(GreenOf(rgb)) << 8) | BlueOf(rgb);
}

}  // namespace ui
