#pragma once
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "experiment/Design.h"
#include "stats/BinormalFit.h"
#include "windows/UZRocView.h"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The maximum-likelihood fit of the recorded ratings beside the fit by eye:
// the counts and observed rates, the estimates with their standard errors,
// the by-eye parameters with -log L and the deviance G^2 against the optimum,
// and the z-ROC of both. A top-level window; the ROC window owns it, feeds it
// the data after "Disp" and the by-eye parameters after every step.
class TAnalysisWindow : public QWidget {
 public:
  // For ratings on a scale of the given number of categories.
  explicit TAnalysisWindow(QWidget* owner = nullptr, int categories = experiment::Design::Standard().Categories());

  // The counts of the recorded trials (nullopt: no data yet). Fits once;
  // without data or with degenerate data the window says so in words and
  // "apply" is disabled.
  void SetData(std::optional<roc::RatingCounts> counts);

  // The current by-eye parameters: updates -log L, G^2 and the by-eye z-ROC
  // line. Cheap: no refit.
  void SetByEye(const roc::BinormalParameters& byEye);

  // The estimates of the last SetData; empty without data or when degenerate.
  const std::optional<roc::BinormalFit>& Fit() const { return fit_; }

  // The state of "プロットに重ねる".
  bool Overlay() const;
  // d and R of the curve to lay over the plot: set while the check box is on
  // and there is a fit.
  std::optional<roc::BinormalParameters> OverlayCurve() const;

  // "最尤推定を適用" was clicked (only possible while there is a fit).
  std::function<void()> OnApply;
  // "プロットに重ねる" was switched.
  std::function<void(bool)> OnOverlayChanged;

  // What the window shows, for tests.
  QString MessageText() const;
  QString DevianceText() const;
  QString ByEyeNoteText() const;
  QString LeftOutNoteText() const;
  QPushButton* ApplyButton() const { return apply_; }
  QCheckBox* OverlayBox() const { return overlay_; }
  ZRocView* ZRoc() const { return zroc_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  // The least size worth showing: narrow enough to fit beside the ROC window
  // on a 1280-pixel-wide screen; below what the figures need, they scroll.
  static constexpr int kMinimumWidth = 320;
  static constexpr int kMinimumHeight = 240;
  // One builder per group box of the left column, and the z-ROC's box.
  void BuildCounts(QVBoxLayout* column);
  void BuildEstimates(QVBoxLayout* column);
  void BuildDerived(QVBoxLayout* column);
  void BuildActions(QVBoxLayout* column);
  QWidget* BuildZRoc();

  void ShowCounts();
  void ShowFit();
  void ShowByEye();

  std::optional<roc::RatingCounts> counts_;
  std::optional<roc::BinormalFit> fit_;
  long long trials_ = 0;
  std::optional<roc::BinormalParameters> byEye_;
  int categories_;  // K
  QBoxLayout* columns_;
  int sideBySideWidth_;  // the least width for the z-ROC beside the figures

  QLabel* message_;
  std::array<std::vector<QLabel*>, 2> counts_cells_;  // K ratings and the total
  std::array<std::vector<QLabel*>, 2> rate_cells_;    // false alarms, hits of the K - 1 points
  std::vector<QLabel*> estimate_;                     // d, R, c1 .. c(K-1)
  std::vector<QLabel*> estimate_se_;
  QLabel* a_;
  QLabel* b_;
  QLabel* az_;
  QLabel* az_se_;
  QLabel* d_a_;
  QLabel* chi2_;
  QLabel* df_;
  QLabel* p_;
  std::vector<QLabel*> by_eye_;  // d, R, c1 .. c(K-1)
  QLabel* by_eye_nll_;
  QLabel* by_eye_note_;
  QLabel* fitted_nll_;
  QLabel* fitted_deviance_;
  QLabel* deviance_;
  QPushButton* apply_;
  QCheckBox* overlay_;
  ZRocView* zroc_;
  QLabel* note_;
};
