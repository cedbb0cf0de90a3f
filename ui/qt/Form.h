#pragma once
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"

namespace ui {

// A window of the program. Built hidden, in code, by a derived class's
// constructor; Create runs its OnCreate once before returning. The first form
// created is the main form; every other form is owned by the form given as
// owner and destroyed with it.
class Form : public QWidget {
 public:
  enum class TPosition { poDesigned, poScreenCenter };

  explicit Form(Form* owner);
  ~Form() override;

  template <class T, class... Args>
  static T* Create(Form* owner, Args&&... args) {
    T* form = new T(owner, std::forward<Args>(args)...);
    Application::Invoke(form->OnCreate);
    return form;
  }

  Form* Owner() const { return owner_; }

  // Outer bounds, frame included.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  void SetBounds(int left, int top, int width, int height);
  // The inner area; the outer size changes by the same amount.
  int ClientWidth() const { return width(); }
  int ClientHeight() const { return height(); }
  void SetClientWidth(int v);
  void SetClientHeight(int v);

  void SetCaption(const std::string& caption);
  void SetPosition(TPosition p) { position_ = p; }
  TPosition Position() const { return position_; }

  bool Visible() const { return !isHidden(); }
  // true shows and activates the window at once (OnActivate runs inside the
  // caller); setting the current value does nothing.
  void SetVisible(bool visible);

  // The main form ends the program; any other form is hidden and keeps its state.
  void Close();

  std::function<void()> OnCreate;
  std::function<void()> OnActivate;
  // Runs when the window system asks the window to close (its close box,
  // Alt+F4, a window manager's close), before the window closes.
  std::function<void()> OnClose;

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  QSize FrameExtra() const;

  Form* owner_;
  TPosition position_ = TPosition::poDesigned;
  std::vector<Form*> owned_;
};

}  // namespace ui
