#pragma once
#include <QPushButton>
#include <functional>
#include <string>

#include "Control.h"

namespace ui {

// A push button. OnClick runs on a click (mouse or keyboard); OnMouseDown and
// OnMouseUp run on the press and release of the left, right or middle mouse
// button over it, never on a key.
class Button : public Control<QPushButton> {
 public:
  Button(QWidget* parent, const std::string& caption, int left, int top, int width, int height);

  void SetCaption(const std::string& caption);
  std::string Caption() const { return text().toStdString(); }

  std::function<void()> OnClick;
  std::function<void()> OnMouseDown;
  std::function<void()> OnMouseUp;

 protected:
  bool event(QEvent* e) override;

 private:
  Qt::MouseButtons down_;  // buttons whose press was reported and not yet released
};

}  // namespace ui
