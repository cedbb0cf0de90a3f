#include "windows/UAnalysisWindow.h"

#include <utility>

#include <QCoreApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "stats/BinormalFit.h"
#include "stats/ZRoc.h"
#include "windows/NumberText.h"
#include "windows/ShownTexts.h"

namespace {

const QString kDash = QStringLiteral("—");

QString Fixed(double v, int decimals = 4) { return FixedText(v, decimals); }

QString Probability(double p) {
  if (!std::isfinite(p)) return kDash;
  return p < 0.0001 ? QStringLiteral("< 0.0001") : Fixed(p);
}

// Sets a label's text only when it differs: the value cells are selectable,
// and each new text lays out the cell's text document again. At a step of the
// fit by eye most of the by-eye cells keep their text.
void SetText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

enum class Selectable { Yes, No };
const QString kWidest = QStringLiteral("-00.0000");

// A value cell with room for `widest`, so that the columns keep their width
// whatever they show. Cells that hold still can be selected and copied; the
// cells of the fit by eye change at every step, and a selectable label lays
// out a text document at each new text, which would double the cost of a step.
QLabel* Cell(QGridLayout* grid, int row, int column, const QString& widest = kWidest,
             Selectable selectable = Selectable::Yes) {
  auto* label = new QLabel(kDash);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (selectable == Selectable::Yes) label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
  grid->addWidget(label, row, column);
  return label;
}

QLabel* Heading(QGridLayout* grid, int row, int column, const QString& text,
                Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter) {
  auto* label = new QLabel(text);
  label->setAlignment(align);
  grid->addWidget(label, row, column);
  return label;
}

QGridLayout* Group(QVBoxLayout* column, const QString& title) {
  auto* box = new QGroupBox(title);
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(4);
  column->addWidget(box);
  return grid;
}


}  // namespace

TAnalysisWindow::TAnalysisWindow(QWidget* owner, int categories)
    : QWidget(owner, Qt::Window), categories_(categories) {
  setWindowTitle(QCoreApplication::translate("TAnalysisWindow", "最尤推定"));
  resize(860, 640);

  auto* left = new QVBoxLayout;
  message_ = new QLabel;
  message_->setWordWrap(true);
  message_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
  left->addWidget(message_);
  BuildCounts(left);
  BuildEstimates(left);
  BuildDerived(left);
  BuildActions(left);
  left->addStretch(1);

  // The two columns side by side where the window is wide enough, the z-ROC
  // below the figures where it is not (a small screen, with the window
  // squeezed in beside the ROC window), scrolled where the room runs out.
  auto* content = new QWidget;
  columns_ = new QBoxLayout(QBoxLayout::LeftToRight, content);
  columns_->setContentsMargins(6, 6, 6, 6);
  columns_->addLayout(left, 0);
  columns_->addWidget(BuildZRoc(), 1);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  sideBySideWidth_ = content->minimumSizeHint().width() + scrollBar;
  auto* scroll = new QScrollArea;
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  SetData(std::nullopt);
}

void TAnalysisWindow::resizeEvent(QResizeEvent* e) {
  columns_->setDirection(e->size().width() >= sideBySideWidth_ ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
  QWidget::resizeEvent(e);
}

// The counts and the observed points.
void TAnalysisWindow::BuildCounts(QVBoxLayout* column) {
  const int K = categories_;
  QGridLayout* g = Group(column, QCoreApplication::translate("TAnalysisWindow", "記録された試行"));
  Heading(g, 0, 0, QCoreApplication::translate("TAnalysisWindow", "評定"), Qt::AlignLeft | Qt::AlignVCenter);
  for (int k = 0; k < K; ++k) Heading(g, 0, k + 1, QString::number(k + 1));
  Heading(g, 0, K + 1, QCoreApplication::translate("TAnalysisWindow", "計"));
  const QString kinds[] = {QCoreApplication::translate("TAnalysisWindow", "ノイズ"),
                           QCoreApplication::translate("TAnalysisWindow", "シグナル")};
  for (int s = 0; s < 2; ++s) {
    Heading(g, s + 1, 0, kinds[s], Qt::AlignLeft | Qt::AlignVCenter);
    for (int k = 0; k <= K; ++k) counts_cells_[s].push_back(Cell(g, s + 1, k + 1, QStringLiteral("0000")));
  }
  g->setRowMinimumHeight(3, 6);
  Heading(g, 4, 0, QCoreApplication::translate("TAnalysisWindow", "累積率"), Qt::AlignLeft | Qt::AlignVCenter);
  for (int p = 0; p < K - 1; ++p)
    Heading(g, 4, p + 2, QCoreApplication::translate("TAnalysisWindow", "点%1").arg(p + 1));
  const QString rates[] = {QCoreApplication::translate("TAnalysisWindow", "誤警報率"),
                           QCoreApplication::translate("TAnalysisWindow", "ヒット率")};
  for (int r = 0; r < 2; ++r) {
    Heading(g, r + 5, 0, rates[r], Qt::AlignLeft | Qt::AlignVCenter);
    for (int p = 0; p < K - 1; ++p) rate_cells_[r].push_back(Cell(g, r + 5, p + 2, QStringLiteral("0.0000")));
  }
}

// The estimates beside the fit by eye, a row for each parameter.
void TAnalysisWindow::BuildEstimates(QVBoxLayout* column) {
  QGridLayout* g = Group(column, QCoreApplication::translate("TAnalysisWindow", "最尤推定と目測"));
  Heading(g, 0, 1, QCoreApplication::translate("TAnalysisWindow", "最尤推定値"));
  Heading(g, 0, 2, QCoreApplication::translate("TAnalysisWindow", "標準誤差"));
  Heading(g, 0, 3, QCoreApplication::translate("TAnalysisWindow", "目測"));
  QStringList names{QStringLiteral("d"), QStringLiteral("R")};
  for (int j = 1; j < categories_; ++j) names << QStringLiteral("c%1").arg(j);
  int row = 1;
  for (const QString& name : names) {
    Heading(g, row, 0, name, Qt::AlignLeft | Qt::AlignVCenter);
    estimate_.push_back(Cell(g, row, 1));
    estimate_se_.push_back(Cell(g, row, 2));
    by_eye_.push_back(Cell(g, row, 3, kWidest, Selectable::No));
    ++row;
  }
  Heading(g, row, 0, QStringLiteral("−log L"), Qt::AlignLeft | Qt::AlignVCenter);
  fitted_nll_ = Cell(g, row, 1);
  by_eye_nll_ = Cell(g, row, 3, kWidest, Selectable::No);
  ++row;
  Heading(g, row, 0, QCoreApplication::translate("TAnalysisWindow", "逸脱度 G²"), Qt::AlignLeft | Qt::AlignVCenter);
  fitted_deviance_ = Cell(g, row, 1);
  deviance_ = Cell(g, row, 3, kWidest, Selectable::No);
  QFont bold = deviance_->font();
  bold.setBold(true);
  deviance_->setFont(bold);
  ++row;
  by_eye_note_ = new QLabel;
  by_eye_note_->setWordWrap(true);
  by_eye_note_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
  g->addWidget(by_eye_note_, row, 0, 1, 4);
  auto* hint = new QLabel(QCoreApplication::translate("TAnalysisWindow", "G² = 2 ×（目測の −log L − 最尤の −log L）"));
  hint->setWordWrap(true);
  hint->setEnabled(false);
  g->addWidget(hint, row + 1, 0, 1, 4);
}

// What follows from the estimates.
void TAnalysisWindow::BuildDerived(QVBoxLayout* column) {
  QGridLayout* g = Group(column, QCoreApplication::translate("TAnalysisWindow", "最尤推定から"));
  const std::pair<QString, QLabel**> derived[] = {
      {QStringLiteral("a = d/R"), &a_},
      {QStringLiteral("b = 1/R"), &b_},
      {QStringLiteral("Az"), &az_},
      {QCoreApplication::translate("TAnalysisWindow", "Az の標準誤差"), &az_se_},
      {QStringLiteral("d_a"), &d_a_},
      {QStringLiteral("χ²"), &chi2_},
      {QCoreApplication::translate("TAnalysisWindow", "自由度"), &df_},
      {QStringLiteral("p"), &p_}};
  for (int k = 0; k < 8; ++k) {
    const int row = k / 2, column = 2 * (k % 2);
    Heading(g, row, column, derived[k].first, Qt::AlignLeft | Qt::AlignVCenter);
    *derived[k].second = Cell(g, row, column + 1);
  }
}

void TAnalysisWindow::BuildActions(QVBoxLayout* column) {
  auto* actions = new QHBoxLayout;
  apply_ = new QPushButton(QCoreApplication::translate("TAnalysisWindow", "最尤推定を適用"));
  overlay_ = new QCheckBox(QCoreApplication::translate("TAnalysisWindow", "プロットに重ねる"));
  actions->addWidget(apply_);
  actions->addSpacing(12);
  actions->addWidget(overlay_);
  actions->addStretch(1);
  column->addLayout(actions);
  connect(apply_, &QPushButton::clicked, this, [this] {
    if (fit_ && OnApply) OnApply();
  });
  connect(overlay_, &QCheckBox::toggled, this, [this](bool on) {
    if (OnOverlayChanged) OnOverlayChanged(on);
  });
}

QWidget* TAnalysisWindow::BuildZRoc() {
  auto* zbox = new QGroupBox(QStringLiteral("z-ROC"));
  auto* zcolumn = new QVBoxLayout(zbox);
  zroc_ = new ZRocView;
  zcolumn->addWidget(zroc_, 1);
  note_ = new QLabel;
  note_->setWordWrap(true);
  zcolumn->addWidget(note_);
  return zbox;
}

void TAnalysisWindow::SetData(std::optional<roc::RatingCounts> counts) {
  counts_ = std::move(counts);
  fit_.reset();
  trials_ = 0;
  if (counts_) {
    for (int n : counts_->noise) trials_ += n;
    for (int n : counts_->signal) trials_ += n;
    fit_ = roc::FitBinormal(*counts_);
  }

  if (!counts_) {
    message_->setText(
        QCoreApplication::translate("TAnalysisWindow", "データがありません（Dispボタンを押して下さい）。"));
  } else if (trials_ == 0) {
    message_->setText(QCoreApplication::translate("TAnalysisWindow", "記録された試行がありません。"));
  } else if (!fit_) {
    const std::optional<roc::FitObstacle> why = roc::WhyNoFit(*counts_);
    message_->setText(QCoreApplication::translate("TAnalysisWindow", "このデータでは最尤推定ができません（縮退）。%1")
                          .arg(why ? FitObstacleText(*why) : QString()));
  } else {
    message_->clear();
  }
  message_->setVisible(!message_->text().isEmpty());
  apply_->setEnabled(fit_.has_value());

  ShowCounts();
  ShowFit();
  ShowByEye();
}

void TAnalysisWindow::SetByEye(const roc::BinormalParameters& byEye) {
  byEye_ = byEye;
  ShowByEye();
}

bool TAnalysisWindow::Overlay() const { return overlay_->isChecked(); }

std::optional<roc::BinormalParameters> TAnalysisWindow::OverlayCurve() const {
  if (!Overlay() || !fit_) return std::nullopt;
  return *fit_;
}

QString TAnalysisWindow::MessageText() const { return message_->text(); }
QString TAnalysisWindow::DevianceText() const { return deviance_->text(); }
QString TAnalysisWindow::ByEyeNoteText() const { return by_eye_note_->text(); }
QString TAnalysisWindow::LeftOutNoteText() const { return note_->text(); }

void TAnalysisWindow::ShowCounts() {
  const int K = categories_;
  const bool sized = counts_ && static_cast<int>(counts_->noise.size()) == K &&
                     static_cast<int>(counts_->signal.size()) == K;
  for (int s = 0; s < 2; ++s) {
    for (int k = 0; k < K; ++k) {
      counts_cells_[s][k]->setText(sized ? QString::number((s == 0 ? counts_->noise : counts_->signal)[k]) : kDash);
    }
    counts_cells_[s][K]->setText(sized ? QString::number(roc::Total(s == 0 ? counts_->noise : counts_->signal)) : kDash);
  }

  const std::vector<roc::RatePoint> rates =
      sized ? roc::CumulativeRates(*counts_) : std::vector<roc::RatePoint>{};
  for (int p = 0; p < K - 1; ++p) {
    const bool has = p < static_cast<int>(rates.size());
    rate_cells_[0][p]->setText(has ? Fixed(rates[p].fa) : kDash);
    rate_cells_[1][p]->setText(has ? Fixed(rates[p].hit) : kDash);
  }

  const roc::ZRocPoints z = roc::ToNormalDeviates(rates);
  zroc_->SetPoints(z.points);
  note_->setText(z.left_out > 0 ? QCoreApplication::translate(
                                      "TAnalysisWindow", "z が無限大の点 %1 個は表示していません（率が 0 または 1）。")
                                      .arg(z.left_out)
                                : QString());
  note_->setVisible(z.left_out > 0);
}

// The parameters as the rows show them: d, R, c1 .. c(K-1); NaN for a
// criterion the parameters lack.
static std::vector<double> RowValues(const roc::BinormalParameters& m, int K) {
  std::vector<double> v{m.d, m.R};
  for (int j = 0; j < K - 1; ++j) v.push_back(j < static_cast<int>(m.criteria.size()) ? m.criteria[j] : NAN);
  return v;
}

void TAnalysisWindow::ShowFit() {
  const roc::BinormalFit* f = fit_ ? &*fit_ : nullptr;
  auto show = [&](QLabel* label, auto value) { label->setText(f ? Fixed(value) : kDash); };
  const std::vector<double> est = f ? RowValues(*f, categories_) : std::vector<double>(estimate_.size());
  const std::vector<double> se =
      f ? RowValues({f->d_se, f->R_se, f->criteria_se}, categories_) : std::vector<double>(estimate_.size());
  for (std::size_t i = 0; i < estimate_.size(); ++i) {
    show(estimate_[i], est[i]);
    show(estimate_se_[i], se[i]);
  }
  show(a_, f ? f->a : 0);
  show(b_, f ? f->b : 0);
  show(az_, f ? f->az : 0);
  show(az_se_, f ? f->az_se : 0);
  show(d_a_, f ? f->d_a : 0);
  show(chi2_, f ? f->chi2 : 0);
  df_->setText(f ? QString::number(f->df) : kDash);
  p_->setText(f && f->p ? Probability(*f->p) : kDash);
  fitted_nll_->setText(f ? Fixed(f->neg_loglik) : kDash);
  fitted_deviance_->setText(f ? Fixed(0) : kDash);
  zroc_->SetFittedLine(fit_ ? std::optional<roc::BinormalParameters>(*fit_) : std::nullopt);
}

void TAnalysisWindow::ShowByEye() {
  const std::vector<double> values = byEye_ ? RowValues(*byEye_, categories_) : std::vector<double>();
  for (std::size_t i = 0; i < by_eye_.size(); ++i) SetText(by_eye_[i], byEye_ ? Fixed(values[i]) : kDash);

  std::optional<double> nll;
  QString why;  // why there is no -log L although there are parameters and trials
  if (byEye_ && trials_ > 0) {
    nll = roc::BinormalNegLogLik(*counts_, *byEye_);
    if (!nll) {
      const std::vector<double>& c = byEye_->criteria;
      const bool ordered = std::adjacent_find(c.begin(), c.end(), [](double a, double b) { return !(a < b); }) == c.end();
      why = !ordered           ? QCoreApplication::translate("TAnalysisWindow", "基準の順序が不正です")
            : !(byEye_->R > 0) ? QCoreApplication::translate("TAnalysisWindow", "R が 0 以下です")
                               : QCoreApplication::translate("TAnalysisWindow", "計算できません");
    }
  }
  SetText(by_eye_nll_, nll ? Fixed(*nll) : kDash);
  SetText(by_eye_note_, why.isEmpty() ? QString()
                                      : QCoreApplication::translate("TAnalysisWindow", "目測の −log L: ") + why +
                                            QCoreApplication::translate("TAnalysisWindow", "。"));
  by_eye_note_->setVisible(!why.isEmpty());
  SetText(deviance_, nll && fit_ ? Fixed(2 * (*nll - fit_->neg_loglik)) : kDash);
  zroc_->SetByEyeLine(byEye_);
}
