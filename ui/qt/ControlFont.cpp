#include "ControlFont.h"

#include "ui/FontEngine.h"

namespace ui {

QFont ControlFont(const std::string& face, int pixelHeight) {
  QFont font(QString::fromStdString(SubstituteFamily(face)));
  font.setPixelSize(pixelHeight);
  return font;
}

}  // namespace ui
