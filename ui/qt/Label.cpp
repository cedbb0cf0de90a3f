#include "Label.h"

#include "ControlFont.h"
#include "QtColour.h"

namespace ui {

Label::Label(QWidget* parent, const std::string& caption, int left, int top)
    : Control<QLabel>(QString::fromStdString(caption), parent) {
  move(left, top);
  adjustSize();
}

void Label::SetCaption(const std::string& caption) {
  const QString text = QString::fromStdString(caption);
  if (text == this->text()) return;
  setText(text);
  adjustSize();
}

void Label::SetFontColor(Colour colour) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, ToQColor(colour));
  setPalette(pal);
}

}  // namespace ui
