#include "Design.h"

namespace experiment {

const Design& Design::Standard() {
  static const Design standard{};
  return standard;
}

}  // namespace experiment
