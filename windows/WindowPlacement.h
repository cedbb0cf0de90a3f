#pragma once

namespace roc {

// A rectangle in screen pixels; right() and bottom() are one past the edge.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenSize {
  int width = 0, height = 0;
};

// Where a window opened from another goes: beside it on the side with more
// room, never over `keepClear` (the controls of the other window), and on
// `screen` (its available area). When neither side has room for `minimum`,
// it goes to the screen's edge on the side away from the controls and covers
// the other window's far side, as little as its minimum width needs. Its
// width shrinks from `wanted` to what fits, not below `minimum`; its top is
// the other window's, moved up when the bottom would leave the screen. All
// rectangles and sizes are frames, title bar included.
ScreenRect PlaceBeside(const ScreenRect& screen, const ScreenRect& beside, const ScreenRect& keepClear,
                       ScreenSize wanted, ScreenSize minimum);

}  // namespace roc
