#pragma once
#include <cstdint>
#include <string>

#include "ui/qt/Button.h"
#include "ui/qt/Form.h"
#include "ui/qt/Label.h"

class TFormDisp;
class TDispGraph2;

// The program's hub: runs the experiment, then shows its analysis, and ends
// the program.
class TForm1 : public ui::Form {
 public:
  explicit TForm1(ui::Form* owner);

  ui::Label MsgLabel;
  ui::Button DoExpButton;
  ui::Button ExitButton;
  ui::Button DataButton;

  void FormActivate();
  void DoExpButtonClick();
  void ExitButtonClick();
  void DataButtonClick();
  // The experiment window is left by its "Exit": this window comes back and
  // offers the analysis.
  void ExperimentExit();

  // Where the last run was kept with --autosave; nullptr until then.
  ui::Label* SavedLabel() const { return savedLabel_; }
  // The class database's state, a line at the bottom of the window.
  void ShowStoreStatus(const std::string& line);

 private:
  void ShowSavedPath(const std::string& path);
  ui::Label* NewStatusLine();
  void PlaceStatusLines();

  ui::Label* savedLabel_ = nullptr;
  ui::Label* storeLabel_ = nullptr;
};

// Process-wide state of the main window unit.
struct MainWindowState {
  TForm1* Form1 = nullptr;
  TFormDisp* FormDisp = nullptr;
  TDispGraph2* DispGraph2 = nullptr;
  std::int32_t FirstActivation = 0;

  void Reset() { *this = MainWindowState{}; }
};
extern MainWindowState MainWindow;
