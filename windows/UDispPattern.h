#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "experiment/Run.h"
#include "ui/qt/Button.h"
#include "ui/qt/Form.h"
#include "ui/qt/Image.h"
#include "ui/qt/Panel.h"
#include "ui/qt/Timer.h"

class QKeyEvent;

// The experiment window presents the run it is handed: the practice and
// recorded trials of the run's design, each a GO screen, the stimulus for the
// design's exposure and a rating on the category buttons. From the keyboard,
// Space or Enter presses GO and the digit keys 1..K the rating buttons.
class TFormDisp : public ui::Form {
 public:
  // handOver runs after "Exit" (or the close of a complete run) has hidden
  // the window: the main window takes over.
  TFormDisp(ui::Form* owner, std::shared_ptr<experiment::Run> run, std::function<void()> handOver);

  const experiment::Run& run() const { return *run_; }

  ui::Panel Panel1;
  ui::Image Image1;  // the stimulus grid
  ui::Image Image2;  // the instruction screen
  ui::Image Image3;  // the GO screen and the end screen
  ui::Button GOButton;
  ui::Button ExitButton;
  ui::Timer Timer1;

  void FormCreate();
  void GOButtonClick();
  void Timer1Timer();
  // A rating button's press: its response code, K for the top one down to 1.
  void RatingButtonClick(experiment::ResponseCode code) { Answer(code); }
  void ExitButtonClick();
  void FormClose();

  // The button a key stands for (GO, or the rating button of its response
  // code), whether or not it is shown now; nullptr for any other key.
  ui::Button* ButtonForKey(int key);

  // The rating button of a response code (1..K), and all of them from the
  // top (code K) down, made from the run's design: on the standard scale
  // "異常あり" (4), "たぶん異常あり", "たぶん異常なし" and "異常なし" (1).
  ui::Button& RatingButton(experiment::ResponseCode code) const { return *ratingButtons_[RatingCount() - code]; }
  const std::vector<ui::Button*>& RatingButtons() const { return ratingButtons_; }
  int RatingCount() const { return static_cast<int>(ratingButtons_.size()); }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void PrepareNextStimulus();
  void DrawInstructionScreen();
  void WriteTrialLabel();
  void WriteFeedback();
  void WriteGoPrompt();
  void SetRatingButtonsVisible(bool visible);
  void Answer(experiment::ResponseCode code);
  void ShowGoScreen();
  void ShowEndScreen();
  experiment::TrialTiming Timing() const;
  bool StartTimedExposure();
  std::chrono::nanoseconds ExposureLength() const;
  QImage RatingScreenLook(QRect area);

  // The moments the X server acknowledged the grid and the rating screen.
  struct ExposureMoments {
    std::chrono::steady_clock::time_point grid;
    std::optional<std::chrono::steady_clock::time_point> rating;
  };
  ExposureMoments exposure_;

  std::shared_ptr<experiment::Run> run_;
  std::vector<std::unique_ptr<ui::Button>> madeButtons_;
  std::vector<ui::Button*> ratingButtons_;  // the made buttons, from the top
  std::function<void()> handOver_;
  std::chrono::steady_clock::time_point gridShown_;
  std::chrono::steady_clock::time_point ratingShown_;
  double exposureMs_ = 0;
};
