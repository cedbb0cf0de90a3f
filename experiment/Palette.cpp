#include "Palette.h"

#include "StimulusPatterns.h"

namespace experiment {

namespace {

// Orange and blue of Okabe and Ito's colour universal design. Red-green
// colour blindness (protanopia, deuteranopia) and the rarer blue-yellow one
// (tritanopia) keep them apart: simulated after Machado, Oliveira and
// Fernandes (2009), the two still differ by a CIEDE2000 distance of 51 or
// more in each, where the standard brown and green fall to 13 for a
// deuteranope. The orange is also much the lighter (L* 71 against 46), so
// that the two differ even where hue is lost altogether.
constexpr ui::Colour kOrange = ui::RgbColour(0xE6, 0x9F, 0x00);
constexpr ui::Colour kBlue = ui::RgbColour(0x00, 0x72, 0xB2);

struct Entry {
  Palette palette;
  std::string_view name;
  GridColours colours;
};

constexpr Entry kPalettes[] = {
    {Palette::kStandard, "standard", {kBrown, kGreen}},
    {Palette::kBlueOrange, "blue-orange", {kOrange, kBlue}},
};

const Entry& EntryOf(Palette palette) {
  for (const Entry& e : kPalettes)
    if (e.palette == palette) return e;
  return kPalettes[0];
}

}  // namespace

GridColours ColoursOf(Palette palette) { return EntryOf(palette).colours; }

std::string_view PaletteName(Palette palette) { return EntryOf(palette).name; }

std::optional<Palette> PaletteNamed(std::string_view name) {
  for (const Entry& e : kPalettes)
    if (e.name == name) return e.palette;
  return std::nullopt;
}

}  // namespace experiment
