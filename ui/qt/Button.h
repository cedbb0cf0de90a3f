#pragma once
#include <QPushButton>
#include <functional>
#include <string>

#include "Control.h"

namespace ui {

// A push button. OnClick runs on a click (mouse, keyboard or accessibility
// action); OnMouseDown and OnMouseUp run on the press and release of the left,
// right or middle mouse button over it, never on a key. A hidden or disabled
// button runs no handler, whatever the input. A press is held until its
// release, or until the button or its window is hidden, the window loses the
// activation or the mouse grab is lost: each of these ends it as a release.
class Button : public Control<QPushButton> {
 public:
  Button(QWidget* parent, const std::string& caption, int left, int top, int width, int height);

  void SetCaption(const std::string& caption);
  std::string Caption() const { return text().toStdString(); }

  std::function<void()> OnClick;
  std::function<void()> OnMouseDown;
  std::function<void()> OnMouseUp;

  // Whether a press of a mouse button on it has not yet ended.
  bool Held() const { return down_ != Qt::NoButton; }

 protected:
  bool event(QEvent* e) override;

 private:
  bool Usable() const { return isVisible() && isEnabled(); }
  void EndHold();

  Qt::MouseButtons down_;  // buttons whose press was reported and not yet released
};

}  // namespace ui
