#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "experiment/Run.h"

#include "ui/qt/Button.h"
#include "ui/qt/Form.h"
#include "ui/qt/Label.h"

class QKeyEvent;
class TFormDisp;
class TDispGraph2;
class RunFileSink;

// The program's hub: runs the experiment, then shows its analysis, and ends
// the program. Each "Do Exp" makes a run of the settings for an experiment
// window of its own; "Disp. Data" shows the run whose window's "Exit" handed
// over last.
class TForm1 : public ui::Form {
 public:
  explicit TForm1(ui::Form* owner, experiment::RunSettings settings = {});

  ui::Label MsgLabel;
  ui::Button DoExpButton;
  ui::Button ExitButton;
  ui::Button DataButton;

  void FormActivate();
  void DoExpButtonClick();
  void ExitButtonClick();
  void DataButtonClick();
  // The experiment window of `run` is left by its "Exit": this window comes
  // back and offers the run's analysis. `saved` is the run's own file, when
  // it has one.
  void ExperimentExit(std::shared_ptr<const experiment::Run> run, const RunFileSink* saved);

  TFormDisp* FormDisp = nullptr;      // the newest experiment window
  TDispGraph2* DispGraph2 = nullptr;  // the newest ROC window
  std::int32_t FirstActivation = 0;

  // Where the last run was kept with --autosave; nullptr until then.
  ui::Label* SavedLabel() const { return savedLabel_; }
  // The class database's state, a line at the bottom of the window.
  void ShowStoreStatus(const std::string& line);

 protected:
  // Enter or Return presses the focused button, as Space does.
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ShowSavedPath(const std::string& path);
  ui::Label* NewStatusLine();
  void PlaceStatusLines();

  experiment::RunSettings settings_;
  std::chrono::sys_time<std::chrono::milliseconds> lastStart_{};  // of the newest run
  std::shared_ptr<const experiment::Run> handedOver_;  // the run "Disp. Data" shows
  ui::Label* savedLabel_ = nullptr;
  ui::Label* storeLabel_ = nullptr;
};
