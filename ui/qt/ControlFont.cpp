#include "ControlFont.h"

#include "ui/FontEngine.h"

namespace ui {

QFont ControlFont(const std::string& face, int pixelHeight) {
  QFont font(QString::fromStdString(SubstituteFamily(face)));
  font.setPixelSize(pixelHeight);
  return font;
}

QColor ToQColor(Colour c) {
  const Colour rgb = ResolveColour(c);
  return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

}  // namespace ui
