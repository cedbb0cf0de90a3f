#pragma once
#include <QLabel>
#include <string>

#include "Control.h"
#include "ui/Colour.h"

namespace ui {

// A static text that sizes itself to its caption, its left edge fixed.
class Label : public Control<QLabel> {
 public:
  Label(QWidget* parent, const std::string& caption, int left, int top);

  void SetCaption(const std::string& caption);
  std::string Caption() const { return text().toStdString(); }
  void SetFontColor(Colour colour);
};

}  // namespace ui
