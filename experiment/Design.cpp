#include "Design.h"

namespace experiment {

const Design& Design::Standard() {
  static const Design standard{};
  return standard;
}

std::string Design::RecordedName() const {
  if (GridPalette == Palette::kStandard) return Name;
  return Name + " [" + std::string(PaletteName(GridPalette)) + "]";
}

}  // namespace experiment
