#pragma once
#include <QColor>

#include "ui/Colour.h"

namespace ui {

// Between the program's colour values and Qt's colours.

// The screen colour of a colour value, a system colour looked up now.
inline QColor ToQColor(Colour c) {
  const Colour rgb = ResolveColour(c);
  return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

inline Colour FromQColor(const QColor& c) {
  return RgbColour(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                   static_cast<std::uint8_t>(c.blue()));
}

}  // namespace ui
