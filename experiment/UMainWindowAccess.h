#pragma once

namespace ui {
class Form;
class Button;
class Label;
}  // namespace ui

// What the experiment window's "Exit" reaches of the main window.
struct TMainWindowAccess {
  ui::Form& Form1;
  ui::Button& DoExpButton;
  ui::Button& DataButton;
  ui::Label& MsgLabel;
};
