#pragma once
#include <QLineEdit>
#include <string>

#include "Control.h"
#include "ui/Colour.h"

namespace ui {

// A single-line edit box: the user can type into it, the program writes it.
class Edit : public Control<QLineEdit> {
 public:
  Edit(QWidget* parent, const std::string& text, int left, int top, int width, int height);

  void SetText(const std::string& text);
  std::string Text() const { return text().toStdString(); }
  void SetFontColor(Colour colour);
};

}  // namespace ui
