#pragma once
#include <functional>

#include "ui/qt/Button.h"
#include "ui/qt/Form.h"
#include "ui/qt/Label.h"

// Stands in for the main window: what the experiment window's "Exit" hands over to.
class HostWindow : public ui::Form {
 public:
  explicit HostWindow(ui::Form* owner)
      : ui::Form(owner),
        MsgLabel(this, "「Do Exp」ボタンを押して下さい", 80, 48),
        DoExpButton(this, "Do Exp", 88, 112, 75, 25),
        DataButton(this, "Disp. Data", 96, 112, 75, 25) {
    DataButton.SetVisible(false);
  }
  std::function<void()> Access() {
    return [this] {
      SetVisible(true);
      DoExpButton.SetVisible(false);
      DataButton.SetVisible(true);
      MsgLabel.SetCaption("Disp. Data ボタンを押して下さい");
    };
  }
  ui::Label MsgLabel;
  ui::Button DoExpButton;
  ui::Button DataButton;
};
