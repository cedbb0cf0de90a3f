#pragma once
#include <cstdint>

namespace ui {

// A colour value: 0x00BBGGRR for an RGB colour; with the top bit set, the low
// byte names a system colour that is looked up each time it is put to use.
using Colour = std::uint32_t;

inline constexpr Colour clBlack = 0x000000;
inline constexpr Colour clWhite = 0xFFFFFF;
inline constexpr Colour clRed = 0x0000FF;
inline constexpr Colour clMaroon = 0x000080;
inline constexpr Colour clGreen = 0x008000;
inline constexpr Colour clBlue = 0xFF0000;
inline constexpr Colour clWindowText = 0x80000008;
inline constexpr Colour clBtnFace = 0x8000000F;

// Returned by a pixel read outside the surface.
inline constexpr Colour clInvalid = 0xFFFFFFFF;

inline constexpr bool IsSystemColour(Colour c) { return (c & 0x80000000u) != 0; }

// The system colour table. The window layer fills it from its palette; until
// then window text is black and the button face 0xF0F0F0.
void SetSystemColour(int index, Colour rgb);
Colour SystemColour(int index);

// The RGB value of a colour, a system colour looked up now.
Colour ResolveColour(Colour c);

inline constexpr std::uint8_t RedOf(Colour c) { return c & 0xFF; }
inline constexpr std::uint8_t GreenOf(Colour c) { return (c >> 8) & 0xFF; }
inline constexpr std::uint8_t BlueOf(Colour c) { return (c >> 16) & 0xFF; }
inline constexpr Colour RgbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}

// A raster word 0x00RRGGBB, as the drawing surfaces store pixels.
using Rgb32 = std::uint32_t;
// A colour value as a raster word, a system colour looked up now.
Rgb32 ToRgb32(Colour c);
// The colour value of a raster word.
inline constexpr Colour FromRgb32(Rgb32 w) { return RgbColour((w >> 16) & 0xFF, (w >> 8) & 0xFF, w & 0xFF); }

}  // namespace ui
