#include "Edit.h"

#include "ControlFont.h"
#include "QtColour.h"

namespace ui {

Edit::Edit(QWidget* parent, const std::string& text, int left, int top, int width, int height)
    : Control<QLineEdit>(QString::fromStdString(text), parent) {
  setGeometry(left, top, width, height);
}

void Edit::SetText(const std::string& text) {
  const QString t = QString::fromStdString(text);
  if (t == this->text()) return;
  setText(t);
  // Show the text from its start, as a freshly written edit does; a text
  // wider than the box is cut at its right end, never before its name.
  setCursorPosition(0);
}

void Edit::SetFontColor(Colour colour) {
  QPalette pal = palette();
  pal.setColor(QPalette::Text, ToQColor(colour));
  setPalette(pal);
}

}  // namespace ui
