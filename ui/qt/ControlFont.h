#pragma once
#include <QColor>
#include <QFont>
#include <string>

#include "ui/Colour.h"

namespace ui {

// The font of every window unless a control says otherwise.
inline constexpr const char* kWindowFontName = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontHeight = 12;

// A control font: the named face through the same substitution as the drawing
// surfaces, with a character height (em size) of the given pixels.
QFont ControlFont(const std::string& face, int pixelHeight);

// The screen colour of a colour value, a system colour looked up now.
QColor ToQColor(Colour c);

}  // namespace ui
