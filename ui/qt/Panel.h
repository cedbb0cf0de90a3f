#pragma once
#include <QFrame>
#include <string>

#include "Control.h"

namespace ui {

// A container with a raised bevel of width 1, the button-face colour and its
// caption centred.
class Panel : public Control<QFrame> {
 public:
  Panel(QWidget* parent, const std::string& caption, int left, int top, int width, int height);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString caption_;
};

}  // namespace ui
