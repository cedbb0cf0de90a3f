#include "windows/UDispGraph2.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHideEvent>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QStandardPaths>

#include "experiment/RunLog.h"
#include "experiment/SessionFileNames.h"
#include "plot/FittedCurve.h"
#include "plot/ParameterFormat.h"
#include "plot/RocPlot.h"
#include "plot/RocState.h"
#include "stats/ResponseTally.h"
#include "windows/WindowPlacement.h"
#include "windows/WriteError.h"
#include "ui/Colour.h"
#include "ui/qt/ControlFont.h"
#include "ui/qt/QtJapanese.h"
#include "ui/qt/Screen.h"

using numeric::Extended;
using roc::Analysis;
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

// One model parameter's controls, from the top of the window down: its edit
// and step buttons, the parameter, its value after a reset, the texts before
// the number, the edit's colours and the step kinds of its two buttons.
struct ParameterRow {
  ui::Edit TDispGraph2::*edit;
  ui::Button TDispGraph2::*up;
  ui::Button TDispGraph2::*down;
  Extended ModelParameterSet::*value;
  Extended initial;
  const char* resetPrefix;
  const char* stepPrefix;
  ui::Colour createdColour;
  ui::Colour colour;
  std::uint8_t upKind;
  std::uint8_t downKind;
  Extended (*stepUp)(Extended);
  Extended (*stepDown)(Extended);
};

// R has two prefixes: a reset writes "   R = ", a step "  R = ", one space less.
const ParameterRow kRows[] = {
    {&TDispGraph2::DEdit, &TDispGraph2::DUpButton, &TDispGraph2::DDownButton, &ModelParameterSet::d, 1,
     "   d = ", "   d = ", ui::clBlack, ui::clBlue, roc::kStepDUp, roc::kStepDDown, AddStep,
     SubtractStepAboveFloor},
    {&TDispGraph2::C3Edit, &TDispGraph2::C3UpButton, &TDispGraph2::C3DownButton, &ModelParameterSet::c3, 2,
     "  c3 = ", "  c3 = ", ui::clBlack, ui::clRed, roc::kStepC3Up, roc::kStepC3Down, AddStep, SubtractStep},
    {&TDispGraph2::C2Edit, &TDispGraph2::C2UpButton, &TDispGraph2::C2DownButton, &ModelParameterSet::c2, 1,
     "  c2 = ", "  c2 = ", ui::clBlack, ui::clMaroon, roc::kStepC2Up, roc::kStepC2Down, AddStep, SubtractStep},
    {&TDispGraph2::C1Edit, &TDispGraph2::C1UpButton, &TDispGraph2::C1DownButton, &ModelParameterSet::c1, 0,
     "  c1 = ", "  c1 = ", ui::clBlack, ui::clGreen, roc::kStepC1Up, roc::kStepC1Down, AddStep, SubtractStep},
    {&TDispGraph2::REdit, &TDispGraph2::RUpButton, &TDispGraph2::RDownButton, &ModelParameterSet::R, 1,
     "   R = ", "  R = ", ui::clWindowText, ui::clWindowText, roc::kStepRUp, roc::kStepRDown, MultiplyByRatio,
     DivideByRatio},
};

// The folder the last save went to, for the next save dialog of the process.
QString& LastSaveFolder() {
  static QString folder;
  return folder;
}

// The standard save dialog, in Japanese where Qt has the translation; empty
// when the user cancels. It proposes "<stem>_<local date and time of the
// session>.<extension>" in the last folder used or the documents folder (the
// home folder when there is none), and a name typed without an extension
// gets this one. Qt's dialog asks before overwriting a file.
QString AskSavePath(QWidget* parent, const char* title, const char* stem, const char* extension,
                    const char* filter) {
  const ui::QtJapanese japanese;
  QString folder = LastSaveFolder();
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();  // no documents folder: the home folder
  }
  const std::string name = experiment::ProposedSaveName(stem, experiment::RunLog.Run.Session, extension);

  QFileDialog dialog(parent, QString::fromUtf8(title), QString(), QString::fromUtf8(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  dialog.selectFile(QString::fromStdString(name));
  dialog.setDefaultSuffix(QString::fromUtf8(extension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = QString::fromStdString(
      experiment::WithDefaultExtension(dialog.selectedFiles().front().toStdString(), extension));
  LastSaveFolder() = QFileInfo(path).absolutePath();
  return path;
}

roc::ScreenRect ToScreenRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

TDispGraph2::TDispGraph2(ui::Form* owner)
    : ui::Form(owner),
      Panel1(this, "Panel1", 8, 8, 257, 265),
      Image1(&Panel1, 8, 8, 241, 249),
      Image2(&Panel1, 16, 16, 105, 105),
      DispButton(this, "Disp", 280, 8, 75, 25),
      ExitButton(this, "Exit", 280, 40, 75, 25),
      DUpButton(this, "大", 280, 96, 52, 25),
      DDownButton(this, "小", 336, 96, 52, 25),
      DEdit(this, "DEdit", 280, 72, 105, 24),
      C3Edit(this, "C3Edit", 280, 128, 105, 24),
      C3UpButton(this, "大", 280, 152, 52, 25),
      C3DownButton(this, "小", 336, 152, 52, 25),
      C2Edit(this, "C2Edit", 280, 184, 105, 24),
      C2UpButton(this, "大", 280, 208, 52, 25),
      C2DownButton(this, "小", 336, 208, 52, 25),
      C1Edit(this, "C1Edit", 280, 240, 105, 24),
      C1UpButton(this, "大", 280, 264, 52, 25),
      C1DownButton(this, "小", 336, 264, 52, 25),
      REdit(this, "REdit", 392, 72, 105, 24),
      RUpButton(this, "大", 392, 96, 52, 25),
      RDownButton(this, "小", 392, 128, 52, 25) {
  SetCaption("DispGraph2");
  SetBounds(373, 106, 440, 326);

  const QFont editFont = ui::ControlFont(ui::kDefaultFontName, kEditFontHeight);
  for (const ParameterRow& row : kRows) {
    (this->*row.edit).setFont(editFont);
    (this->*row.edit).SetFontColor(row.createdColour);
    (this->*row.up).setFont(editFont);
    (this->*row.down).setFont(editFont);
    BindStepButton(this->*row.up, row.upKind);
    BindStepButton(this->*row.down, row.downKind);
  }

  OnCreate = [this] { FormCreate(); };
  OnActivate = [this] { FormActivate(); };
  DispButton.OnClick = [this] { DispButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  Timer1.SetOnTimer([this] { Timer1Timer(); });
  AddPlotActions();
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
  plot.TextOut(100, 50, "Dispボタンを押して下さい");

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
  for (const ParameterRow& row : kRows) {
    ui::Edit& edit = this->*row.edit;
    ui::Button& up = this->*row.up;
    ui::Button& down = this->*row.down;
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
}

void TDispGraph2::ResetParameters() {
  for (const ParameterRow& row : kRows) {
    Analysis.ModelParameters.*row.value = row.initial;
    (this->*row.edit).SetText(row.resetPrefix + Format(row.initial));
  }
}

std::string TDispGraph2::Format(Extended v) const {
  const QString point = QLocale::system().decimalPoint();
  return roc::FormatParameter(v, point.isEmpty() ? "." : point.toStdString());
}

void TDispGraph2::DispButtonClick() {
  roc::RefillResponseTally(experiment::Experiment.TrialResults, Analysis.ResponseTally);
  dispCounts_ = roc::CountRecordedRatings(experiment::Experiment.TrialResults);

  ui::Surface& scratch = Image2.Canvas();
  scratch.SetFontHeight(20);
  scratch.TextOut(0, 0, "P(Yes|S)");
  const int w = scratch.TextWidth("P(Yes|S)");

  ui::Surface& plot = Image1.Canvas();
  ui::PaintWhite(plot, 0, 0, Width(), Height());
  plot.SetFontHeight(20);
  plot.TextOut(200, 470, "P(Yes|N)");

  // The vertical title: the scratch text turned a quarter turn counter-clockwise.
  if (w >= 0) {
    for (int j = 0; j <= w; ++j)
      for (int k = 1; k <= 20; ++k) plot.SetPixel(k + 10, 300 - j, scratch.Pixel(j, k));
  }

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
  for (const ParameterRow& row : kRows) {
    const bool up = Analysis.StepKind == row.upKind;
    if (!up && Analysis.StepKind != row.downKind) continue;
    Extended& value = Analysis.ModelParameters.*row.value;
    const Extended next = up ? row.stepUp(value) : row.stepDown(value);
    if (next == value) continue;
    value = next;
    (this->*row.edit).SetText(row.stepPrefix + Format(value));
  }
  RedrawPlot();
  ShowByEye();
}

// The plot of the shared records and model; with the analysis window's
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
  for (const ParameterRow& row : kRows) (this->*row.edit).SetText(row.stepPrefix + Format(m.*row.value));
  RedrawPlot();
  ShowByEye();
}

void TDispGraph2::OpenAnalysis() {
  if (!analysis_) {
    analysis_ = new TAnalysisWindow(this);
    analysis_->OnApply = [this] { ui::Application::Invoke([this] { ApplyEstimates(); }); };
    analysis_->OnOverlayChanged = [this](bool) { ui::Application::Invoke([this] { RedrawPlot(); }); };
    analysis_->SetData(dispCounts_);
    PlaceAnalysis();
  }
  analysis_->show();
  analysis_->raise();
  analysis_->activateWindow();
  ShowByEye();
}

// Beside this window, clear of its step buttons and edits (the column right
// of the plot), with the analysis window's frame taken to be this one's.
void TDispGraph2::PlaceAnalysis() {
  const QScreen* onScreen = screen();
  if (!onScreen) return;
  const QRect frame = frameGeometry();
  const QSize extra = frame.size() - geometry().size();
  const QPoint column = mapToGlobal(QPoint(Panel1.Width(), 0));
  const QRect keepClear(QPoint(column.x(), frame.top()), frame.bottomRight());
  const QSize wanted = analysis_->size() + extra;
  const QSize minimum = analysis_->minimumSizeHint().expandedTo(analysis_->minimumSize()) + extra;
  const roc::ScreenRect r =
      roc::PlaceBeside(ToScreenRect(onScreen->availableGeometry()), ToScreenRect(frame), ToScreenRect(keepClear),
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
  if (!Image1.Picture().save(path, "PNG")) throw EWriteError(path.toStdString() + ": PNG を保存できません");
}

void TDispGraph2::SaveResults(const QString& path) {
  if (auto error = experiment::WriteTrialLog(path.toStdString(), experiment::RunLog.Run.Rows, experiment::RunLog.Format))
    throw EWriteError(*error);
}

void TDispGraph2::AddPlotActions() {
  plotMenu_ = new QMenu(this);
  const auto add = [this](const char* text, QKeySequence keys, std::function<void()> run) {
    QAction* action = plotMenu_->addAction(QString::fromUtf8(text));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, this, [run] { ui::Application::Invoke(run); });
    addAction(action);
  };
  add("最尤推定...", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { OpenAnalysis(); });
  add("プロットを保存...", QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
    const QString path = AskSavePath(this, "プロットを保存", "roc-plot", "png", "PNG (*.png)");
    if (!path.isEmpty()) SavePlot(path);
  });
  add("結果を保存...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] {
    const QString path = AskSavePath(this, "結果を保存", "results", "csv", "CSV (*.csv)");
    if (!path.isEmpty()) SaveResults(path);
  });
  Image1.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&Image1, &QWidget::customContextMenuRequested, this,
                   [this](const QPoint& at) { plotMenu_->popup(Image1.mapToGlobal(at)); });
}
