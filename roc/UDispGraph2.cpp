#include "UDispGraph2.h"

#include <QLocale>

#include "roc/ParameterFormat.h"
#include "roc/ResponseTally.h"
#include "roc/RocPlot.h"
#include "roc/RocState.h"
#include "ui/Colour.h"
#include "ui/qt/ControlFont.h"
#include "ui/qt/Screen.h"

using roc::Analysis;
using numeric::Extended;

namespace {

const Extended kStep = 0.02L;
const Extended kSmallestStepDown = 0.03L;
const Extended kRatio = 1.02L;

constexpr int kEditFontHeight = 16;

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
  for (ui::Edit* e : {&DEdit, &C3Edit, &C2Edit, &C1Edit, &REdit}) e->setFont(editFont);
  for (ui::Edit* e : {&DEdit, &C3Edit, &C2Edit, &C1Edit}) e->SetFontColor(ui::clBlack);
  REdit.SetFontColor(ui::clWindowText);
  for (ui::Button* b : {&DUpButton, &DDownButton, &C3UpButton, &C3DownButton, &C2UpButton, &C2DownButton,
                        &C1UpButton, &C1DownButton, &RUpButton, &RDownButton})
    b->setFont(editFont);

  OnCreate = [this] { FormCreate(); };
  OnActivate = [this] { FormActivate(); };
  DispButton.OnClick = [this] { DispButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  BindStepButton(DUpButton, roc::kStepDUp);
  BindStepButton(DDownButton, roc::kStepDDown);
  BindStepButton(C3UpButton, roc::kStepC3Up);
  BindStepButton(C3DownButton, roc::kStepC3Down);
  BindStepButton(C2UpButton, roc::kStepC2Up);
  BindStepButton(C2DownButton, roc::kStepC2Down);
  BindStepButton(C1UpButton, roc::kStepC1Up);
  BindStepButton(C1DownButton, roc::kStepC1Down);
  BindStepButton(RUpButton, roc::kStepRUp);
  BindStepButton(RDownButton, roc::kStepRDown);
  Timer1.SetOnTimer([this] { Timer1Timer(); });
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
  plot.SetPenColor(ui::clWhite);
  plot.SetBrushColor(ui::clWhite);
  plot.Rectangle(0, 0, 500, 500);
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

  // Each row: width, top, left, from the sizes and positions of that moment.
  const auto row = [this](ui::Edit& edit, int editTop, ui::Button& up, ui::Button& down) {
    edit.SetWidth(ExitButton.Width() + 30);
    edit.SetTop(editTop);
    edit.SetLeft(510);
    up.SetWidth(edit.Width() / 2);
    up.SetTop(edit.Top() + edit.Height());
    up.SetLeft(edit.Left());
    down.SetWidth(up.Width());
    down.SetTop(up.Top());
    down.SetLeft(up.Left() + up.Width());
  };
  row(DEdit, ExitButton.Top() + 3 * ExitButton.Height(), DUpButton, DDownButton);
  DEdit.SetFontColor(ui::clBlue);
  row(C3Edit, DUpButton.Top() + 2 * DUpButton.Height(), C3UpButton, C3DownButton);
  C3Edit.SetFontColor(ui::clRed);
  row(C2Edit, C3UpButton.Top() + 2 * C3UpButton.Height(), C2UpButton, C2DownButton);
  C2Edit.SetFontColor(ui::clMaroon);
  row(C1Edit, C2UpButton.Top() + 2 * C2UpButton.Height(), C1UpButton, C1DownButton);
  C1Edit.SetFontColor(ui::clGreen);
  row(REdit, C1UpButton.Top() + 2 * C1UpButton.Height(), RUpButton, RDownButton);
}

void TDispGraph2::ResetParameters() {
  roc::ModelParameterSet& m = Analysis.ModelParameters;
  m.d = 1;
  DEdit.SetText("   d = " + Format(m.d));
  m.c3 = 2;
  C3Edit.SetText("  c3 = " + Format(m.c3));
  m.c2 = 1;
  C2Edit.SetText("  c2 = " + Format(m.c2));
  m.c1 = 0;
  C1Edit.SetText("  c1 = " + Format(m.c1));
  m.R = 1;
  REdit.SetText("   R = " + Format(m.R));
}

std::string TDispGraph2::Format(Extended v) const {
  const QString point = QLocale::system().decimalPoint();
  return roc::FormatParameter(v, point.isEmpty() ? "." : point.toStdString());
}

void TDispGraph2::DispButtonClick() {
  roc::RefillResponseTally(experiment::Experiment.TrialResults, Analysis.ResponseTally);

  ui::Surface& scratch = Image2.Canvas();
  scratch.SetFontHeight(20);
  scratch.TextOut(0, 0, "P(Yes|S)");
  const int w = scratch.TextWidth("P(Yes|S)");

  ui::Surface& plot = Image1.Canvas();
  plot.SetPenColor(ui::clWhite);
  plot.SetBrushColor(ui::clWhite);
  plot.Rectangle(0, 0, Width(), Height());
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

  roc::DrawRocPlot(plot, Analysis.PlotFrame, Analysis.ResponseTally, Analysis.ModelParameters);
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
  roc::ModelParameterSet& m = Analysis.ModelParameters;
  const auto step = [this](Extended& value, Extended next, ui::Edit& edit, const char* prefix) {
    if (next == value) return;
    value = next;
    edit.SetText(prefix + Format(value));
  };
  switch (Analysis.StepKind) {
    case roc::kStepDUp: step(m.d, m.d + kStep, DEdit, "   d = "); break;
    case roc::kStepDDown:
      if (!(m.d < kSmallestStepDown)) step(m.d, m.d - kStep, DEdit, "   d = ");
      break;
    case roc::kStepC3Up: step(m.c3, m.c3 + kStep, C3Edit, "  c3 = "); break;
    case roc::kStepC3Down: step(m.c3, m.c3 - kStep, C3Edit, "  c3 = "); break;
    case roc::kStepC2Up: step(m.c2, m.c2 + kStep, C2Edit, "  c2 = "); break;
    case roc::kStepC2Down: step(m.c2, m.c2 - kStep, C2Edit, "  c2 = "); break;
    case roc::kStepC1Up: step(m.c1, m.c1 + kStep, C1Edit, "  c1 = "); break;
    case roc::kStepC1Down: step(m.c1, m.c1 - kStep, C1Edit, "  c1 = "); break;
    case roc::kStepRUp: step(m.R, numeric::MultiplyExtended(m.R, kRatio), REdit, "  R = "); break;
    case roc::kStepRDown: step(m.R, numeric::DivideExtended(m.R, kRatio), REdit, "  R = "); break;
    default: break;
  }
  roc::DrawRocPlot(Image1.Canvas(), Analysis.PlotFrame, Analysis.ResponseTally, Analysis.ModelParameters);
}
