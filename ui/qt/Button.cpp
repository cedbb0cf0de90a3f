#include "Button.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "Application.h"

namespace ui {

namespace {
bool IsReportedButton(const QMouseEvent* e) {
  const Qt::MouseButton b = e->button();
  return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}
}  // namespace

Button::Button(QWidget* parent, const std::string& caption, int left, int top, int width, int height)
    : Control<QPushButton>(QString::fromStdString(caption), parent) {
  setGeometry(left, top, width, height);
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (Usable()) Application::Invoke(OnClick);
  });
}

void Button::SetCaption(const std::string& caption) {
  const QString text = QString::fromStdString(caption);
  if (text != this->text()) setText(text);
}

bool Button::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      // The second press of a double click comes as a press followed by a
      // double-click event, or as the double-click event alone: one press either way.
      auto* me = static_cast<QMouseEvent*>(e);
      if (Usable() && IsReportedButton(me) && !(down_ & me->button())) {
        down_ |= me->button();
        Application::Invoke(OnMouseDown);
      }
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (Usable() && IsReportedButton(me)) {
        down_ &= ~Qt::MouseButtons(me->button());
        Application::Invoke(OnMouseUp);
      }
      break;
    }
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse:
      EndHold();
      break;
    case QEvent::KeyPress: {
      // Pressed from the keyboard, the button shows where the focus is.
      const int key = static_cast<QKeyEvent*>(e)->key();
      if (Usable() && (key == Qt::Key_Space || key == Qt::Key_Select)) {
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        update();
      }
      break;
    }
    default:
      break;
  }
  return QPushButton::event(e);
}

void Button::EndHold() {
  if (down_ == Qt::NoButton) return;
  down_ = Qt::NoButton;
  Application::Invoke(OnMouseUp);
}

}  // namespace ui
