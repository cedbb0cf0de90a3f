#pragma once
#include <cstdint>
#include <compare>
#include <iosfwd>

namespace ui {

// A colour value: 0x00BBGGRR for an RGB colour; with the top bit set, the low
// byte names a system colour that is looked up each time it is put to use.
// A type of its own, so that an integer in another byte order (a raster word,
// Qt's 0xRRGGBB) cannot be passed as a colour by mistake: a value is made by
// RgbColour, by FromBgr from the 0x00BBGGRR form, or named below.
class Colour {
 public:
  constexpr Colour() = default;  // black
  static constexpr Colour FromBgr(std::uint32_t bgr) { return Colour(bgr); }
  constexpr std::uint32_t Bgr() const { return value_; }
  constexpr bool operator==(const Colour&) const = default;
  constexpr auto operator<=>(const Colour&) const = default;  // for ordered containers

 private:
  constexpr explicit Colour(std::uint32_t bgr) : value_(bgr) {}
  std::uint32_t value_ = 0;
};

// "0x00BBGGRR", for test messages.
std::ostream& operator<<(std::ostream& out, Colour c);

inline constexpr Colour RgbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Colour::FromBgr(static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
                         (static_cast<std::uint32_t>(blue) << 16));
}

inline constexpr Colour clBlack = RgbColour(0, 0, 0);
inline constexpr Colour clWhite = RgbColour(0xFF, 0xFF, 0xFF);
inline constexpr Colour clRed = RgbColour(0xFF, 0, 0);
inline constexpr Colour clMaroon = RgbColour(0x80, 0, 0);
inline constexpr Colour clGreen = RgbColour(0, 0x80, 0);
inline constexpr Colour clBlue = RgbColour(0, 0, 0xFF);
inline constexpr Colour clWindowText = Colour::FromBgr(0x80000008);
inline constexpr Colour clBtnFace = Colour::FromBgr(0x8000000F);

// Returned by a pixel read outside the surface.
inline constexpr Colour clInvalid = Colour::FromBgr(0xFFFFFFFF);

inline constexpr bool IsSystemColour(Colour c) { return (c.Bgr() & 0x80000000u) != 0; }

// The system colour table. The window layer fills it from its palette; until
// then window text is black and the button face 0xF0F0F0.
void SetSystemColour(int index, Colour rgb);
Colour SystemColour(int index);

// The RGB value of a colour, a system colour looked up now.
Colour ResolveColour(Colour c);

inline constexpr std::uint8_t RedOf(Colour c) { return c.Bgr() & 0xFF; }
inline constexpr std::uint8_t GreenOf(Colour c) { return (c.Bgr() >> 8) & 0xFF; }
inline constexpr std::uint8_t BlueOf(Colour c) { return (c.Bgr() >> 16) & 0xFF; }

// A raster word 0x00RRGGBB, as the drawing surfaces store pixels.
using Rgb32 = std::uint32_t;
// A colour value as a raster word, a system colour looked up now.
Rgb32 ToRgb32(Colour c);
// The colour value of a raster word.
inline constexpr Colour FromRgb32(Rgb32 w) { return RgbColour((w >> 16) & 0xFF, (w >> 8) & 0xFF, w & 0xFF); }

}  // namespace ui
