#pragma once
#include <QWidget>

namespace ui {

// Bounds and visibility of a control inside its container, shared by every
// control kind. W is the Qt widget class the control is built on.
template <class W>
class Control : public W {
 public:
  using W::W;

  int Left() const { return this->x(); }
  int Top() const { return this->y(); }
  int Width() const { return this->width(); }
  int Height() const { return this->height(); }
  void SetLeft(int v) { this->move(v, this->y()); }
  void SetTop(int v) { this->move(this->x(), v); }
  void SetWidth(int v) { this->resize(v, this->height()); }
  void SetHeight(int v) { this->resize(this->width(), v); }
  void SetBounds(int left, int top, int width, int height) { this->setGeometry(left, top, width, height); }

  // The control's own flag: a control in a hidden window may still be visible.
  bool Visible() const { return !this->isHidden(); }
  // Hiding the control that holds its window's keyboard focus gives the focus
  // to the window itself, so that no key reaches a control the user cannot see.
  void SetVisible(bool v) {
    if (v == Visible()) return;
    if (!v) {
      QWidget* focus = this->window()->focusWidget();
      if (focus == this || this->isAncestorOf(focus)) this->window()->setFocus(Qt::OtherFocusReason);
    }
    this->setVisible(v);
  }
};

}  // namespace ui
