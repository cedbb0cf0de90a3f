#pragma once
#include <optional>
#include <string_view>

#include "ui/Colour.h"

namespace experiment {

// The two colours of the grid's squares. A pattern holds its squares as
// kBrown and kGreen (StimulusPatterns.h) whatever the palette: they name the
// squares the signal adds to and the others, and the palette says in which
// colours the screen shows them.
enum class Palette {
  kStandard,    // brown against green, the standard experiment's
  kBlueOrange,  // orange against blue, told apart by the colour-blind too
};

struct GridColours {
  ui::Colour Counted;  // the squares the signal pattern has more of (kBrown)
  ui::Colour Other;    // the rest of the grid (kGreen)
};

// The colours of a palette on the screen; a server's page reads them here too.
GridColours ColoursOf(Palette palette);

// The palette's name in a design file: "standard", "blue-orange".
std::string_view PaletteName(Palette palette);

// The palette a design file names, or nothing for a name of none.
std::optional<Palette> PaletteNamed(std::string_view name);

}  // namespace experiment
