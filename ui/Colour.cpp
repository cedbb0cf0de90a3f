#include "Colour.h"

#include <array>
#include <cstdio>
#include <ostream>

namespace ui {

namespace {
std::array<Colour, 32> systemColours = [] {
  std::array<Colour, 32> t{};
  t[8] = clBlack;                          // window text
  t[15] = RgbColour(0xF0, 0xF0, 0xF0);     // button face
  return t;
}();
}  // namespace

std::ostream& operator<<(std::ostream& out, Colour c) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(c.Bgr()));
  return out << text;
}

void SetSystemColour(int index, Colour rgb) {
  if (index >= 0 && index < static_cast<int>(systemColours.size()))
    systemColours[index] = Colour::FromBgr(rgb.Bgr() & 0xFFFFFF);
}

Colour SystemColour(int index) {
  if (index >= 0 && index < static_cast<int>(systemColours.size())) return systemColours[index];
  return clBlack;
}

Colour ResolveColour(Colour c) {
  if (IsSystemColour(c)) return SystemColour(static_cast<int>(c.Bgr() & 0xFF));
  return Colour::FromBgr(c.Bgr() & 0xFFFFFF);
}

Rgb32 ToRgb32(Colour c) {
  const Colour rgb = ResolveColour(c);
  return (static_cast<Rgb32>(RedOf(rgb)) << 16) | (static_cast<Rgb32>(GreenOf(rgb)) << 8) | BlueOf(rgb);
}

}  // namespace ui
