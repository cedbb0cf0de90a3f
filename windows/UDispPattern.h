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
  ui::Button CertainSButton;
  ui::Button ProbablySButton;
  ui::Button ProbablyNButton;
  ui::Button CertainNButton;
  ui::Timer Timer1;

  void FormCreate();
  void GOButtonClick();
  void Timer1Timer();
  void CertainSButtonClick() { Answer(experiment::kCertainS); }
  void ProbablySButtonClick() { Answer(experiment::kProbablyS); }
  void ProbablyNButtonClick() { Answer(experiment::kProbablyN); }
  void CertainNButtonClick() { Answer(experiment::kCertainN); }
  void ExitButtonClick();
  void FormClose();

  // The button a key stands for (GO, or the rating button of its response
  // code), whether or not it is shown now; nullptr for any other key.
  ui::Button* ButtonForKey(int key);

  // The rating buttons of the run's design, from the top (response code K)
  // down: the four named ones for a four-point scale, others made for it.
  const std::vector<ui::Button*>& RatingButtons() const { return ratingButtons_; }

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
  std::vector<std::unique_ptr<ui::Button>> madeButtons_;  // for a scale other than four points
  std::vector<ui::Button*> ratingButtons_;
  std::function<void()> handOver_;
  std::chrono::steady_clock::time_point gridShown_;
  std::chrono::steady_clock::time_point ratingShown_;
  double exposureMs_ = 0;
};
