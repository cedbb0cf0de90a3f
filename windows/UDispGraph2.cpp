// The ROC window: its controls, the plot after "Disp", the steps of the fit by
// eye, and the plot's menu with the analysis window and the saves. Longer
// than most files: one window's handlers, which read best side by side.
#include "windows/UDispGraph2.h"

#include <QCoreApplication>
#include <QAction>
#include <QHideEvent>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <memory>
#include <utility>

#include "plot/FittedCurve.h"
#include "plot/ParameterFormat.h"
#include "plot/PlotColours.h"
#include "plot/RocPlot.h"
#include "plot/RocState.h"
#include "stats/ResponseTally.h"
#include "ui/Colour.h"
#include "ui/qt/ControlFont.h"
#include "ui/qt/Screen.h"
#include "windows/SaveDialog.h"
#include "windows/WindowPlacement.h"
#include "windows/WriteError.h"

using numeric::Extended;
using roc::ModelParameterSet;

namespace {

const Extended kStep = 0.02L;
const Extended kSmallestStepDown = 0.03L;
const Extended kRatio = 1.02L;

constexpr int kEditFontHeight = 16;

Extended AddStep(Extended v) { return v + kStep; }
Extended SubtractStep(Extended v) { return v - kStep; }
// d is not stepped down below kSmallestStepDown.
Extended SubtractStepAboveFloor(Extended v) { return v < kSmallestStepDown ? v : v - kStep; }
Extended MultiplyByRatio(Extended v) { return numeric::MultiplyExtended(v, kRatio); }
Extended DivideByRatio(Extended v) { return numeric::DivideExtended(v, kRatio); }

// The kind of model parameter a row steps: d, R, or criterion cj (j >= 1).
constexpr int kParameterD = 0;
constexpr int kParameterR = -1;

Extended& ValueOf(ModelParameterSet& m, int parameter) {
  return parameter == kParameterD ? m.d : parameter == kParameterR ? m.R : roc::Criterion(m, parameter);
}

roc::ScreenRect ToScreenRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The captions of a row's step buttons: up and down.
std::string Up() { return QCoreApplication::translate("TDispGraph2", "大").toStdString(); }
std::string Down() { return QCoreApplication::translate("TDispGraph2", "小").toStdString(); }

}  // namespace

TDispGraph2::TDispGraph2(ui::Form* owner, std::shared_ptr<const experiment::Run> run)
    : ui::Form(owner),
      Panel1(this, "Panel1", 8, 8, 257, 265),
      Image1(&Panel1, 8, 8, 241, 249),
      Image2(&Panel1, 16, 16, 105, 105),
      DispButton(this, "Disp", 280, 8, 75, 25),
      ExitButton(this, "Exit", 280, 40, 75, 25),
      DUpButton(this, Up(), 280, 96, 52, 25),
      DDownButton(this, Down(), 336, 96, 52, 25),
      DEdit(this, "DEdit", 280, 72, 105, 24),
      REdit(this, "REdit", 392, 72, 105, 24),
      RUpButton(this, Up(), 392, 96, 52, 25),
      RDownButton(this, Down(), 392, 128, 52, 25),
      run_(std::move(run)) {
  SetCaption("DispGraph2");
  SetBounds(373, 106, 440, 326);

  BuildParameterRows(run_->design.Categories());
  OnCreate = [this] { FormCreate(); };
  OnActivate = [this] { FormActivate(); };
  DispButton.OnClick = [this] { DispButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  Timer1.SetOnTimer([this] { Timer1Timer(); });
  AddPlotActions();
}

// The rows of controls from the top of the window down: d, a row for each
// criterion from the highest down, R; the tab order follows them, each row
// its step buttons first for d and R, its edit first for a criterion. Row
// r's buttons start the step kinds 2r + 1 (up) and 2r + 2 (down). R has two
// prefixes: a reset writes "   R = ", a step "  R = ", one space less.
void TDispGraph2::BuildParameterRows(int categories) {
  const auto add = [this](ui::Edit* edit, ui::Button* up, ui::Button* down, int parameter, Extended initial,
                          std::string resetPrefix, std::string stepPrefix, ui::Colour created, ui::Colour colour,
                          Extended (*stepUp)(Extended), Extended (*stepDown)(Extended)) {
    const auto r = static_cast<std::uint8_t>(rows_.size());
    rows_.push_back({edit, up, down, parameter, initial, std::move(resetPrefix), std::move(stepPrefix), created, colour,
                     static_cast<std::uint8_t>(2 * r + 1), static_cast<std::uint8_t>(2 * r + 2), stepUp, stepDown});
  };
  add(&DEdit, &DUpButton, &DDownButton, kParameterD, 1, "   d = ", "   d = ", ui::clBlack, roc::kModelCurveColour,
      AddStep, SubtractStepAboveFloor);
  QWidget* tabbed = &ExitButton;
  const auto tab = [&tabbed](QWidget* next) { setTabOrder(std::exchange(tabbed, next), next); };
  for (QWidget* w : std::initializer_list<QWidget*>{&DUpButton, &DDownButton, &DEdit}) tab(w);
  for (int j = categories - 1; j >= 1; --j) {
    ui::Edit* edit = made(std::make_unique<ui::Edit>(this, std::string("C").append(std::to_string(j)).append("Edit"), 280, 128, 105, 24));
    ui::Button* up = made(std::make_unique<ui::Button>(this, Up(), 280, 152, 52, 25));
    ui::Button* down = made(std::make_unique<ui::Button>(this, Down(), 336, 152, 52, 25));
    for (QWidget* w : std::initializer_list<QWidget*>{edit, up, down}) tab(w);
    const std::string prefix = "  c" + std::to_string(j) + " = ";
    add(edit, up, down, j, j - 1, prefix, prefix, ui::clBlack, roc::PointColour(j), AddStep, SubtractStep);
  }
  add(&REdit, &RUpButton, &RDownButton, kParameterR, 1, "   R = ", "  R = ", ui::clWindowText, ui::clWindowText,
      MultiplyByRatio, DivideByRatio);
  for (QWidget* w : std::initializer_list<QWidget*>{&REdit, &RUpButton, &RDownButton}) tab(w);

  const QFont editFont = ui::ControlFont(ui::kDefaultFontName, kEditFontHeight);
  for (const ParameterRow& row : rows_) {
    row.edit->setFont(editFont);
    row.edit->SetFontColor(row.createdColour);
    row.up->setFont(editFont);
    row.down->setFont(editFont);
    BindStepButton(*row.up, row.upKind);
    BindStepButton(*row.down, row.downKind);
  }
}

void TDispGraph2::BindStepButton(ui::Button& button, std::uint8_t kind) {
  button.OnMouseDown = [this, kind] { StepButtonMouseDown(kind); };
  button.OnMouseUp = [this] { StepButtonMouseUp(); };
}

void TDispGraph2::FormCreate() {
  Timer1.SetEnabled(false);
  Timer1.SetInterval(200);
}

void TDispGraph2::FormActivate() {
  // Laid out and reset once: coming back to the window keeps the fitted curve.
  if (activated_) return;
  activated_ = true;

  LayOut();

  ui::Surface& plot = Image1.Canvas();
  ui::PaintWhite(plot, 0, 0, 500, 500);
  plot.SetFontHeight(20);
  plot.SetFontName("ＭＳ ゴシック");
  plot.TextOut(100, 50, QCoreApplication::translate("TDispGraph2", "Dispボタンを押して下さい").toStdString());

  ResetParameters();
}

void TDispGraph2::LayOut() {
  SetClientHeight(500);
  SetClientWidth(DispButton.Width() + 550);
  // Centred by the halves of the client size; kept on the screen when it is smaller.
  SetTop(std::max(0, ui::Screen::Height() / 2 - ClientHeight() / 2));
  SetLeft(std::max(0, ui::Screen::Width() / 2 - ClientWidth() / 2));

  Panel1.SetBounds(0, 0, 500, 500);
  Image1.SetBounds(0, 0, 500, 500);
  Image2.SetBounds(0, 0, 100, 50);
  Image2.SetVisible(false);

  DispButton.SetTop(10);
  DispButton.SetLeft(525);
  ExitButton.SetTop(DispButton.Height() * 2 + 10);
  ExitButton.SetLeft(525);

  // Each row from the sizes and positions of that moment: the first three
  // button heights below "Exit", each next one two below the row above.
  int editTop = ExitButton.Top() + 3 * ExitButton.Height();
  for (const ParameterRow& row : rows_) {
    ui::Edit& edit = *row.edit;
    ui::Button& up = *row.up;
    ui::Button& down = *row.down;
    edit.SetWidth(ExitButton.Width() + 30);
    edit.SetTop(editTop);
    edit.SetLeft(510);
    up.SetWidth(edit.Width() / 2);
    up.SetTop(edit.Top() + edit.Height());
    up.SetLeft(edit.Left());
    down.SetWidth(up.Width());
    down.SetTop(up.Top());
    down.SetLeft(up.Left() + up.Width());
    edit.SetFontColor(row.colour);
    editTop = up.Top() + 2 * up.Height();
  }
  // A long scale's rows reach below the plot: the window grows to hold them.
  const ui::Button& lowest = *rows_.back().down;
  if (lowest.Top() + lowest.Height() + 10 > ClientHeight()) SetClientHeight(lowest.Top() + lowest.Height() + 10);
}

void TDispGraph2::ResetParameters() {
  Analysis.ModelParameters.Criteria = static_cast<std::int32_t>(rows_.size()) - 2;
  for (const ParameterRow& row : rows_) {
    ValueOf(Analysis.ModelParameters, row.parameter) = row.initial;
    row.edit->SetText(row.resetPrefix + Format(row.initial));
  }
}

std::string TDispGraph2::Format(Extended v) const {
  const QString point = QLocale::system().decimalPoint();
  return roc::FormatParameter(v, point.isEmpty() ? "." : point.toStdString());
}

void TDispGraph2::DispButtonClick() {
  roc::RefillResponseTally(run_->TrialResults, Analysis.ResponseTally);
  dispCounts_ = roc::CountRecordedRatings(run_->TrialResults);

  ui::Surface& scratch = Image2.Canvas();
  scratch.SetFontHeight(20);
  scratch.TextOut(0, 0, "P(Yes|S)");
  const int w = scratch.TextWidth("P(Yes|S)");

  ui::Surface& plot = Image1.Canvas();
  ui::PaintWhite(plot, 0, 0, Width(), Height());
  plot.SetFontHeight(20);
  plot.TextOut(200, 470, "P(Yes|N)");

  // The vertical title: the scratch text turned a quarter turn counter-clockwise.
  if (w >= 0) plot.DrawTurned(scratch, 0, 1, w + 1, 20, 11, 300);

  Analysis.PlotFrame = {40, 460, 450};

  plot.TextOut(30, 470, "0.0");
  plot.TextOut(465, 470, "1.0");
  plot.TextOut(5, 440, "0.0");
  plot.TextOut(5, 10, "1.0");

  RedrawPlot();
  if (analysis_) analysis_->SetData(dispCounts_);
}

void TDispGraph2::ExitButtonClick() { ui::Application::MainForm()->Close(); }

void TDispGraph2::StepButtonMouseDown(std::uint8_t kind) {
  Analysis.StepKind = kind;
  StepParameter();
  Timer1.SetEnabled(true);
}

void TDispGraph2::StepButtonMouseUp() { Timer1.SetEnabled(false); }

void TDispGraph2::Timer1Timer() {
  Timer1.SetEnabled(false);
  StepParameter();
  Timer1.SetEnabled(true);
}

void TDispGraph2::StepParameter() {
  for (const ParameterRow& row : rows_) {
    const bool up = Analysis.StepKind == row.upKind;
    if (!up && Analysis.StepKind != row.downKind) continue;
    Extended& value = ValueOf(Analysis.ModelParameters, row.parameter);
    const Extended next = up ? row.stepUp(value) : row.stepDown(value);
    if (next == value) continue;
    value = next;
    row.edit->SetText(row.stepPrefix + Format(value));
  }
  RedrawPlot();
  ShowByEye();
}

// The plot of the run's records and the model; with the analysis window's
// overlay on, the maximum-likelihood curve in grey over it.
void TDispGraph2::RedrawPlot() {
  ui::Surface& plot = Image1.Canvas();
  roc::DrawRocPlot(plot, Analysis.PlotFrame, Analysis.ResponseTally, Analysis.ModelParameters);
  if (analysis_) {
    if (const auto curve = analysis_->OverlayCurve()) roc::DrawFittedCurve(plot, Analysis.PlotFrame, *curve);
  }
}

void TDispGraph2::ShowByEye() {
  if (!analysis_ || !analysis_->isVisible()) return;
  analysis_->SetByEye(roc::ToBinormal(Analysis.ModelParameters));
}

void TDispGraph2::ApplyEstimates() {
  const std::optional<roc::BinormalFit>& fit = analysis_->Fit();
  if (!fit) return;
  ModelParameterSet& m = Analysis.ModelParameters;
  m = roc::FromBinormal(*fit);
  for (const ParameterRow& row : rows_) row.edit->SetText(row.stepPrefix + Format(ValueOf(m, row.parameter)));
  RedrawPlot();
  ShowByEye();
}

void TDispGraph2::OpenAnalysis() {
  if (!analysis_) {
    analysis_ = new TAnalysisWindow(this, run_->design.Categories());
    analysis_->OnApply = [this] { ui::Application::Invoke([this] { ApplyEstimates(); }); };
    analysis_->OnOverlayChanged = [this](bool) { ui::Application::Invoke([this] { RedrawPlot(); }); };
    analysis_->SetData(dispCounts_);
    if (const QScreen* onScreen = screen()) PlaceAnalysis(onScreen->availableGeometry());
  }
  analysis_->show();
  analysis_->raise();
  analysis_->activateWindow();
  ShowByEye();
}

// Beside this window, clear of its step buttons and edits (the column right
// of the plot), with the analysis window's frame taken to be this one's.
void TDispGraph2::PlaceAnalysis(const QRect& available) {
  const QRect frame = frameGeometry();
  const QSize extra = frame.size() - geometry().size();
  const QPoint column = mapToGlobal(QPoint(Panel1.Width(), 0));
  const QRect keepClear(QPoint(column.x(), frame.top()), frame.bottomRight());
  const QSize wanted = analysis_->size() + extra;
  const QSize minimum = analysis_->minimumSizeHint().expandedTo(analysis_->minimumSize()) + extra;
  const roc::ScreenRect r =
      roc::PlaceBeside(ToScreenRect(available), ToScreenRect(frame), ToScreenRect(keepClear),
                       {wanted.width(), wanted.height()}, {minimum.width(), minimum.height()});
  analysis_->move(r.x, r.y);
  analysis_->resize(r.width - extra.width(), r.height - extra.height());
}

void TDispGraph2::hideEvent(QHideEvent* e) {
  // The analysis window belongs to this window's plot: it goes when this one
  // is closed (not when it is only minimised).
  if (analysis_ && !e->spontaneous()) analysis_->hide();
  ui::Form::hideEvent(e);
}

void TDispGraph2::SavePlot(const QString& path) {
  if (!Image1.PlainPicture().save(path, "PNG"))
    throw EWriteError(path.toStdString() +
                      QCoreApplication::translate("TDispGraph2", ": PNG を保存できません").toStdString());
}

void TDispGraph2::SaveResults(const QString& path) {
  const numeric::Status written = experiment::WriteTrialLog(path.toStdString(), run_->Log().Rows, run_->Format());
  if (!written) throw EWriteError(written.Reason());
}

void TDispGraph2::AddPlotActions() {
  plotMenu_ = new QMenu(this);
  const auto add = [this](const QString& text, QKeySequence keys, std::function<void()> run) {
    QAction* action = plotMenu_->addAction(text);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, this, [run] { ui::Application::Invoke(run); });
    addAction(action);
  };
  add(QCoreApplication::translate("TDispGraph2", "最尤推定..."), QKeySequence(Qt::CTRL | Qt::Key_F),
      [this] { OpenAnalysis(); });
  add(QCoreApplication::translate("TDispGraph2", "プロットを保存..."), QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
    const QString path = AskSavePath(this, QCoreApplication::translate("TDispGraph2", "プロットを保存"), "roc-plot",
                                     "png", "PNG (*.png)", run_->Log().Session, run_->Log().Observer);
    if (!path.isEmpty()) SavePlot(path);
  });
  add(QCoreApplication::translate("TDispGraph2", "結果を保存..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
      [this] {
        const QString path = AskSavePath(this, QCoreApplication::translate("TDispGraph2", "結果を保存"), "results",
                                         "csv", "CSV (*.csv)", run_->Log().Session, run_->Log().Observer);
        if (!path.isEmpty()) SaveResults(path);
      });
  Image1.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&Image1, &QWidget::customContextMenuRequested, this,
                   [this](const QPoint& at) { plotMenu_->popup(Image1.mapToGlobal(at)); });
}
