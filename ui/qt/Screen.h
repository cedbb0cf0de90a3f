#pragma once

namespace ui {

// The size of the primary screen in pixels, read anew at each use.
struct Screen {
  static int Width();
  static int Height();
};

}  // namespace ui
