#pragma once
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "BinormalFit.h"
#include "UZRocView.h"

class QCheckBox;
class QLabel;
class QPushButton;

// The maximum-likelihood fit of the recorded ratings beside the fit by eye:
// the counts and observed rates, the estimates with their standard errors,
// the by-eye parameters with -log L and the deviance G^2 against the optimum,
// and the z-ROC of both. A top-level window; the ROC window owns it, feeds it
// the data after "Disp" and the by-eye parameters after every step.
class TAnalysisWindow : public QWidget {
 public:
  explicit TAnalysisWindow(QWidget* owner = nullptr);

  // The counts of the recorded trials (nullopt: no data yet). Fits once;
  // without data or with degenerate data the window says so in words and
  // "apply" is disabled.
  void SetData(std::optional<roc::RatingCounts> counts);

  // The current by-eye parameters: updates -log L, G^2 and the by-eye z-ROC
  // line. Cheap: no refit.
  void SetByEye(double d, double c1, double c2, double c3, double R);

  // The estimates of the last SetData; empty without data or when degenerate.
  const std::optional<roc::BinormalFit>& Fit() const { return fit_; }

  // The state of "プロットに重ねる".
  bool Overlay() const;
  // d and R of the curve to lay over the plot: set while the check box is on
  // and there is a fit.
  std::optional<ZRocView::Line> OverlayCurve() const;

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

 private:
  void ShowCounts();
  void ShowFit();
  void ShowByEye();

  std::optional<roc::RatingCounts> counts_;
  std::optional<roc::BinormalFit> fit_;
  long long trials_ = 0;
  std::optional<std::array<double, 5>> byEye_;  // d, c1, c2, c3, R

  QLabel* message_;
  std::array<std::array<QLabel*, 5>, 2> counts_cells_;  // 4 ratings and the total
  std::array<std::array<QLabel*, 3>, 2> rate_cells_;    // false alarms, hits
  std::array<QLabel*, 5> estimate_;                     // d, R, c1, c2, c3
  std::array<QLabel*, 5> estimate_se_;
  QLabel* a_;
  QLabel* b_;
  QLabel* az_;
  QLabel* az_se_;
  QLabel* d_a_;
  QLabel* chi2_;
  QLabel* df_;
  QLabel* p_;
  std::array<QLabel*, 5> by_eye_;  // d, R, c1, c2, c3
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
