#pragma once
#include <cstdint>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "experiment/Run.h"
#include "numeric/Extended.h"
#include "plot/RocState.h"
#include "ui/Colour.h"
#include "stats/BinormalFit.h"
#include "windows/UAnalysisWindow.h"
#include "ui/qt/Button.h"
#include "ui/qt/Edit.h"
#include "ui/qt/Form.h"
#include "ui/qt/Image.h"
#include "ui/qt/Panel.h"
#include "ui/qt/Timer.h"

class QHideEvent;
class QMenu;

// The ROC analysis window of the run it is handed: the observed points of
// the recorded trials and the binormal model curve, whose parameters the user
// changes with press-and-hold buttons.
class TDispGraph2 : public ui::Form {
 public:
  TDispGraph2(ui::Form* owner, std::shared_ptr<const experiment::Run> run);

  const experiment::Run& run() const { return *run_; }

  ui::Panel Panel1;
  ui::Image Image1;  // the plot, 500 x 500
  ui::Image Image2;  // hidden scratch surface for the vertical axis title
  ui::Button DispButton;
  ui::Button ExitButton;
  ui::Button DUpButton;
  ui::Button DDownButton;
  ui::Edit DEdit;
  ui::Edit REdit;
  ui::Button RUpButton;
  ui::Button RDownButton;
  ui::Timer Timer1;
  roc::RocState Analysis;

  void FormCreate();
  void FormActivate();
  void DispButtonClick();
  void ExitButtonClick();
  void Timer1Timer();
  void StepParameter();

  // Criterion cj's row (j = 1 .. K - 1), made from the run's design and
  // placed between d's and R's, from the highest criterion down: "C3Edit",
  // "C2Edit" and "C1Edit" with their step buttons on the standard scale.
  ui::Edit& CriterionEdit(int j) const { return *CriterionRow(j).edit; }
  ui::Button& CriterionUpButton(int j) const { return *CriterionRow(j).up; }
  ui::Button& CriterionDownButton(int j) const { return *CriterionRow(j).down; }

  // Beyond the plot, from its context menu or the window's shortcuts: the
  // analysis window (Ctrl+F), the plot as a PNG (Ctrl+S) and the current
  // run's answered trials as a per-trial file (Ctrl+Shift+S).
  void OpenAnalysis();
  void SavePlot(const QString& path);
  void SaveResults(const QString& path);
  TAnalysisWindow* AnalysisWindow() const { return analysis_; }
  // Puts the open analysis window beside this one within `available` (the
  // screen's area for windows), clear of the step buttons and edits.
  void PlaceAnalysis(const QRect& available);
  QMenu* PlotMenu() const { return plotMenu_; }

 protected:
  void hideEvent(QHideEvent* e) override;

 private:
  // One model parameter's controls: its edit and step buttons, the
  // parameter, its value after a reset, the texts before the number, the
  // edit's colours, the step kinds of its two buttons and their steps.
  struct ParameterRow {
    ui::Edit* edit;
    ui::Button* up;
    ui::Button* down;
    int parameter;
    numeric::Extended initial;
    std::string resetPrefix;
    std::string stepPrefix;
    ui::Colour createdColour;
    ui::Colour colour;
    std::uint8_t upKind;
    std::uint8_t downKind;
    numeric::Extended (*stepUp)(numeric::Extended);
    numeric::Extended (*stepDown)(numeric::Extended);
  };
  void BuildParameterRows(int categories);
  const ParameterRow& CriterionRow(int j) const { return rows_[rows_.size() - 1 - static_cast<std::size_t>(j)]; }
  template <typename Control>
  Control* made(std::unique_ptr<Control> control) {
    Control* raw = control.get();
    madeControls_.push_back(std::move(control));
    return raw;
  }
  void BindStepButton(ui::Button& button, std::uint8_t kind);
  void StepButtonMouseDown(std::uint8_t kind);
  void StepButtonMouseUp();
  void LayOut();
  void ResetParameters();
  void RedrawPlot();
  void ShowByEye();
  void ApplyEstimates();
  void AddPlotActions();
  std::string Format(numeric::Extended v) const;

  std::shared_ptr<const experiment::Run> run_;
  std::vector<ParameterRow> rows_;
  std::vector<std::unique_ptr<QWidget>> madeControls_;  // the criterion rows
  bool activated_ = false;
  std::optional<roc::RatingCounts> dispCounts_;  // the recorded ratings at the last "Disp"
  TAnalysisWindow* analysis_ = nullptr;         // owned as a child window
  QMenu* plotMenu_ = nullptr;
};
