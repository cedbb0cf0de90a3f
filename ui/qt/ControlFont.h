#pragma once
#include <QFont>
#include <string>

#include "ui/FontEngine.h"

namespace ui {

// The character height of every window's font unless a control says otherwise
// (the face is kDefaultFontName).
inline constexpr int kWindowFontHeight = -kDefaultFontHeight;

// A control font: the named face through the same substitution as the drawing
// surfaces, with a character height (em size) of the given pixels.
QFont ControlFont(const std::string& face, int pixelHeight);

}  // namespace ui
