#include "Form.h"

#include <QCloseEvent>
#include <QEvent>

#include "ControlFont.h"
#include "QtColour.h"
#include "Screen.h"
#include "ui/Colour.h"

namespace ui {

Form::Form(Form* owner) : QWidget(nullptr), owner_(owner) {
  Application::RegisterForm(this);
  if (owner_) owner_->owned_.push_back(this);
  setFont(ControlFont(kDefaultFontName, kWindowFontHeight));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(pal);
  setAutoFillBackground(true);
}

Form::~Form() {
  // Each owned form leaves its owner's list as it goes: delete from a copy.
  const std::vector<Form*> owned = std::move(owned_);
  owned_.clear();
  for (Form* f : owned) {
    f->owner_ = nullptr;
    delete f;
  }
  if (owner_) std::erase(owner_->owned_, this);
  Application::UnregisterForm(this);
}

QSize Form::FrameExtra() const { return frameGeometry().size() - geometry().size(); }

int Form::Left() const { return frameGeometry().x(); }
int Form::Top() const { return frameGeometry().y(); }
int Form::Width() const { return frameGeometry().width(); }
int Form::Height() const { return frameGeometry().height(); }

void Form::SetLeft(int v) { move(v, Top()); }
void Form::SetTop(int v) { move(Left(), v); }
void Form::SetWidth(int v) { resize(std::max(0, v - FrameExtra().width()), height()); }
void Form::SetHeight(int v) { resize(width(), std::max(0, v - FrameExtra().height())); }
void Form::SetBounds(int left, int top, int width, int height) {
  move(left, top);
  SetWidth(width);
  SetHeight(height);
}
void Form::SetClientWidth(int v) { resize(v, height()); }
void Form::SetClientHeight(int v) { resize(width(), v); }

void Form::SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void Form::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (!visible) {
    hide();
    Application::FormHidden(this);
    return;
  }
  if (position_ == TPosition::poScreenCenter) {
    // Integer division truncates toward zero; a window larger than the screen goes to 0.
    SetLeft(std::max(0, (Screen::Width() - Width()) / 2));
    SetTop(std::max(0, (Screen::Height() - Height()) / 2));
    position_ = TPosition::poDesigned;
  }
  showNormal();
  Application::ActivateNow(this);
}

void Form::Close() {
  if (this == Application::MainForm()) {
    Application::Terminate();
    return;
  }
  SetVisible(false);
}

bool Form::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Application::WindowSystemActivated(this);
  return QWidget::event(e);
}

void Form::closeEvent(QCloseEvent* e) {
  // The close box: the main window ends the program, any other is hidden.
  e->ignore();
  Application::Invoke(OnClose);
  if (Visible()) Close();
}

}  // namespace ui
