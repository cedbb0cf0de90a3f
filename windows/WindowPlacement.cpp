#include "WindowPlacement.h"

#include <algorithm>

namespace roc {

ScreenRect PlaceBeside(const ScreenRect& screen, const ScreenRect& beside, const ScreenRect& keepClear,
                       ScreenSize wanted, ScreenSize minimum) {
  const int minWidth = std::max(1, minimum.width);
  const int minHeight = std::max(1, minimum.height);
  const int leftRoom = beside.x - screen.x;
  const int rightRoom = screen.right() - beside.right();

  ScreenRect r;
  if (std::max(leftRoom, rightRoom) >= minWidth) {
    const bool right = rightRoom > leftRoom;
    r.width = std::max(minWidth, std::min(wanted.width, right ? rightRoom : leftRoom));
    r.x = right ? beside.right() : beside.x - r.width;
  } else {
    // At its narrowest, at the screen's edge on the side away from the
    // other window's controls, over that window's far side.
    const bool controlsOnRight = 2 * keepClear.x + keepClear.width >= 2 * beside.x + beside.width;
    r.width = minWidth;
    r.x = controlsOnRight ? screen.x : screen.right() - minWidth;
  }

  r.height = std::max(minHeight, std::min(wanted.height, screen.height));
  r.y = std::max(screen.y, std::min(beside.y, screen.bottom() - r.height));
  return r;
}

}  // namespace roc
