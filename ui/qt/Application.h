#pragma once
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

// The program's application object: the event loop, the main window, the
// tracking of which window of the program is active, and the one entry point
// through which every handler runs, which turns the program's errors into the
// error box.
class Application {
 public:
  // Creates the Qt application, sets the floating-point environment and fills
  // the system colour table from the palette. Call once, before any window.
  static void Initialize(int& argc, char** argv);

  // Shows the main window and runs the event loop until the main window closes.
  static int Run();

  // Ends the event loop; the program ends with it.
  static void Terminate();

  // The first form created.
  static Form* MainForm();

  // Runs one handler. A program error ends the handler at the failing
  // operation and is shown in the error box; then the caller goes on.
  static void Invoke(const std::function<void()>& handler);

  // The caption of the error box: the program file's name without folder,
  // cut at its first ".", first character upper case, the rest lower case.
  static std::string Title();
  static std::string TitleFromPath(const std::string& path);

  // Replaces the error box, for tests: receives the caption and the text.
  using ErrorBox = std::function<void(const std::string& title, const std::string& text)>;
  static void SetErrorBox(ErrorBox box);

  // Activation: runs the form's OnActivate when focus moves to it from another
  // form of the program (or from none). Coming back to the same form, from
  // another program or from the error box, is no activation.
  static void FormActivated(Form* form);
  static Form* ActiveForm();

  // The program has activated a form itself (showing it, or bringing the one
  // in front after a close): the window system's report of it, and stale
  // reports about other forms that arrive before it, are no activation.
  static void ActivateNow(Form* form);
  // The window system reports that a form became the active window.
  static void WindowSystemActivated(Form* form);

  // Bookkeeping of forms; called by Form.
  static void RegisterForm(Form* form);
  static void UnregisterForm(Form* form);
  static void FormHidden(Form* form);

 private:
  static void ShowErrorBox(const std::string& message);
};

}  // namespace ui
