// The experiment window: its layout for the run's design, the trial's screens
// from GO to the rating and the timed exposure; the run it presents keeps the
// answers and sends them on. Longer than most files: one window's handlers,
// which read best side by side.
#include "windows/UDispPattern.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "experiment/StimulusPatterns.h"
#include "windows/ShownTexts.h"
#include "windows/WriteError.h"
#include "ui/Colour.h"
#include "ui/qt/DisplayServer.h"
#include "ui/qt/Label.h"

namespace {

// The caption of a rating button in the design.
std::string CaptionOf(const experiment::Design& design, experiment::ResponseCode code) {
  return ShownRatings(design)[design.Categories() - code].Caption;
}

void WriteCentred(ui::Surface& s, int y, const std::string& text) {
  const int w = s.TextWidth(text);
  s.TextOut(250 - w / 2, y, text);
}

}  // namespace

// The controls take their places in FormCreate; here only the buttons'
// heights count, which FormCreate keeps.
TFormDisp::TFormDisp(ui::Form* owner, std::shared_ptr<experiment::Run> run, std::function<void()> handOver)
    : ui::Form(owner),
      Panel1(this, "Panel1", 0, 0, 500, 500),
      Image1(&Panel1, 0, 0, 500, 500),
      Image2(&Panel1, 0, 0, 500, 500),
      Image3(&Panel1, 0, 0, 500, 500),
      GOButton(this, "GO", 0, 0, 100, 25),
      ExitButton(this, "Exit", 0, 0, 100, 25),
      run_(std::move(run)),
      handOver_(std::move(handOver)) {
  const experiment::Design& design = run_->design;
  SetCaption(design.Name == experiment::Design::Standard().Name ? "FormDisp" : "FormDisp - " + design.Name);
  for (experiment::ResponseCode code = design.Categories(); code >= 1; --code) {
    auto& b = madeButtons_.emplace_back(std::make_unique<ui::Button>(this, CaptionOf(design, code), 0, 0, 100, 25));
    b->OnClick = [this, code] { RatingButtonClick(code); };
    ratingButtons_.push_back(b.get());
  }
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };
  GOButton.OnClick = [this] { GOButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  Timer1.SetOnTimer([this] { Timer1Timer(); });
}

void TFormDisp::FormCreate() {
  Timer1.SetEnabled(false);
  Timer1.SetInterval(run_->design.ExposureMs);

  SetClientHeight(500);
  SetClientWidth(700);
  SetPosition(TPosition::poScreenCenter);

  Panel1.SetTop(0);
  Panel1.SetLeft(0);
  Panel1.SetHeight(500);
  Panel1.SetWidth(500);

  for (ui::Image* image : {&Image3, &Image2, &Image1}) {
    image->SetTop(0);
    image->SetLeft(0);
    image->SetHeight(500);
    image->SetWidth(500);
    image->SetVisible(false);
  }

  // GO at the top, rating button i (1 = the top one) at 4 + 2 (i - 1)
  // button heights, Exit three below the last; the window as tall as needed.
  const int H = GOButton.Height();
  const int K = static_cast<int>(ratingButtons_.size());
  std::vector<std::pair<ui::Button*, int>> rows{{&GOButton, H}};
  for (int i = 1; i <= K; ++i) rows.emplace_back(ratingButtons_[i - 1], (4 + 2 * (i - 1)) * H);
  rows.emplace_back(&ExitButton, (2 * K + 5) * H);
  for (auto [button, top] : rows) {
    button->SetTop(top);
    button->SetLeft(550);
    button->SetWidth(100);
  }
  if (ExitButton.Top() + 2 * H > ClientHeight()) SetClientHeight(ExitButton.Top() + 2 * H);

  // The run's patterns set up and its first stimulus drawn, hidden.
  Image1.Canvas().SetPenColor(ui::clWhite);
  experiment::DrawPattern(run_->Start(), Image1.Canvas(), run_->design.GridPalette);

  DrawInstructionScreen();

  WriteGoPrompt();
  WriteTrialLabel();

  Image3.SetVisible(true);
  ShowGoScreen();
}

void TFormDisp::PrepareNextStimulus() {
  experiment::DrawPattern(run_->NextTrial(), Image1.Canvas(), run_->design.GridPalette);
}

void TFormDisp::DrawInstructionScreen() {
  ui::Surface& s = Image2.Canvas();
  ui::PaintWhite(s, 0, 0, 500, 500);
  s.SetFontHeight(20);
  s.SetFontName("ＭＳ 明朝");
  // Each category's statement, and below it, indented, the button that says
  // so; 60 pixels apart from 100 down while they fit, closer and higher up
  // for a longer scale.
  const int K = run_->design.Categories();
  const int step = std::min(60, 440 / K);
  int y = std::min(100, (500 - ((K - 1) * step + 45)) / 2);
  for (const experiment::RatingCategory& category : ShownRatings(run_->design)) {
    s.TextOut(20, y, category.Statement);
    s.TextOut(200, y + 25,
              QCoreApplication::translate("TFormDisp", "==> 「%1」ボタン")
                  .arg(QString::fromStdString(category.Caption))
                  .toStdString());
    y += step;
  }
}

void TFormDisp::WriteTrialLabel() {
  Image3.Canvas().TextOut(150, 270,
                          QCoreApplication::translate("TFormDisp", "第%1試行").arg(run_->TrialNumber()).toStdString());
}

void TFormDisp::GOButtonClick() {
  Image3.SetVisible(false);
  Image1.SetVisible(true);
  GOButton.SetVisible(false);
  ExitButton.SetVisible(false);
  run_->Show();
  exposure_ = {};
  if (!StartTimedExposure()) {
    Timer1.SetEnabled(true);
    gridShown_ = std::chrono::steady_clock::now();
  }
}

// On X the exposure is what the screen shows. The rating screen's look is
// uploaded to the X server first; the grid is painted and sent at once, and
// the timing thread counts from the server's acknowledgement of it. At the
// end it puts the uploaded look over the grid with one copy on the server,
// timed so that the copy is drawn the exposure after the grid was (each
// answer travels back for about half a round trip), and notes the
// acknowledgement; the handler then makes the same change in the window,
// whose repaint shows the same pixels.
bool TFormDisp::StartTimedExposure() {
  QRect area(Image1.mapTo(this, QPoint()), Image1.size());
  for (const ui::Button* b : ratingButtons_) area |= b->geometry();
  const auto look = ui::PreparedLook::Make(*this, RatingScreenLook(area), area.topLeft());
  if (!look) return false;
  ui::PaintNow(Image1);
  auto moments = std::make_shared<ExposureMoments>();
  Timer1.StartTimed({.begin =
                         [look, moments] {
                           const ui::Acknowledgement grid = look->Acknowledge();
                           moments->grid = grid.at;
                           // A round trip stretched by a busy machine says
                           // little about this one: at most 1 ms counts.
                           return grid.at - std::min<std::chrono::nanoseconds>(grid.roundTrip,
                                                                               std::chrono::milliseconds(1));
                         },
                     .length = ExposureLength(),
                     .atDue = [look, moments] { moments->rating = look->Show(); },
                     .then = [this, moments] { exposure_ = *moments; }});
  return true;
}

// The design's exposure, rounded to whole frames where the screen reports
// its refresh rate.
std::chrono::nanoseconds TFormDisp::ExposureLength() const {
  const std::chrono::nanoseconds asked = std::chrono::milliseconds(run_->design.ExposureMs);
  const std::chrono::nanoseconds frame = ui::FramePeriod(*this);
  if (frame.count() == 0) return asked;
  const double frames = std::max(1.0, std::round(static_cast<double>(asked.count()) / frame.count()));
  return std::chrono::nanoseconds(static_cast<long long>(frames * frame.count()));
}

// How `area` of the window will look once the grid is gone: the window as it
// is, the instruction screen in place of the grid, the rating buttons shown.
QImage TFormDisp::RatingScreenLook(QRect area) {
  const qreal ratio = devicePixelRatioF();
  QImage look(area.size() * ratio, QImage::Format_RGB32);
  look.setDevicePixelRatio(ratio);
  render(&look, QPoint(), QRegion(area));
  QPainter painter(&look);
  painter.drawImage(Image1.mapTo(this, QPoint()) - area.topLeft(), Image2.Picture());
  for (ui::Button* b : ratingButtons_) {
    b->render(&painter, b->pos() - area.topLeft(), QRegion(), QWidget::DrawChildren);
  }
  return look;
}

void TFormDisp::Timer1Timer() {
  Timer1.SetEnabled(false);
  Image1.SetVisible(false);
  SetRatingButtonsVisible(true);
  Image2.SetVisible(true);
  if (exposure_.rating) {
    // What the screen showed, as the X server acknowledged it.
    gridShown_ = exposure_.grid;
    ratingShown_ = *exposure_.rating;
  } else {
    ratingShown_ = std::chrono::steady_clock::now();
  }
  exposureMs_ = std::chrono::duration<double, std::milli>(ratingShown_ - gridShown_).count();
}

void TFormDisp::Answer(experiment::ResponseCode code) {
  const experiment::TrialTiming timing = Timing();
  Image2.SetVisible(false);
  PrepareNextStimulus();
  ShowGoScreen();
  // Recorded, and written and synced to every sink before the handler
  // returns; the run's first failure is shown, once, and it goes on in memory.
  const std::optional<experiment::SinkFailure> failure = run_->Answer(code, timing);
  if (run_->Over()) {
    ShowEndScreen();
  } else {
    WriteGoPrompt();
    ui::Surface& s = Image3.Canvas();
    WriteTrialLabel();
    s.SetFontHeight(20);
    if (run_->design.Feedback) {
      s.SetFontColor(ui::clBlue);
      WriteFeedback();
      s.SetFontColor(ui::clBlack);
    }
  }
  Image3.SetVisible(true);
  if (failure) throw ETrialLogWriteError(failure->Path, failure->Reason);
}

// What the screen showed of the trial just rated.
experiment::TrialTiming TFormDisp::Timing() const {
  using namespace std::chrono;
  return {.ExposureMs = exposureMs_,
          .AskedMs = duration<double, std::milli>(ExposureLength()).count(),
          .FrameMs = duration<double, std::milli>(ui::FramePeriod(*this)).count(),
          .RatingMs = duration_cast<milliseconds>(steady_clock::now() - ratingShown_).count()};
}

ui::Button* TFormDisp::ButtonForKey(int key) {
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) return &GOButton;
  // The digit k, on the top row or the keypad, stands for response code k.
  const int K = static_cast<int>(ratingButtons_.size());
  const int code = key - Qt::Key_0;
  return code >= 1 && code <= K ? ratingButtons_[K - code] : nullptr;
}

void TFormDisp::keyPressEvent(QKeyEvent* e) {
  // Keys the focused button leaves alone come here. A key of a hidden
  // button does nothing: the click goes the way a mouse click goes.
  ui::Button* button = e->isAutoRepeat() ? nullptr : ButtonForKey(e->key());
  if (button == nullptr) {
    ui::Form::keyPressEvent(e);
    return;
  }
  if (button->isVisible() && button->isEnabled()) button->click();
}

void TFormDisp::WriteFeedback() {
  ui::Surface& s = Image3.Canvas();
  // Clear the whole feedback line first: the signal text is shorter than the
  // noise text and would leave the end of a noise text after it.
  const ui::Colour pen = s.PenColor();
  ui::PaintWhite(s, 70, 20, s.Width(), 20 + s.TextHeight());
  s.SetPenColor(pen);
  s.TextOut(70, 20, FeedbackText(run_->design.GridPalette, run_->ShownStimulus).toStdString());
}

void TFormDisp::WriteGoPrompt() {
  ui::Surface& s = Image3.Canvas();
  s.SetFontHeight(30);
  s.TextOut(70, 170, QCoreApplication::translate("TFormDisp", "GOボタンを押して下さい").toStdString());
}

void TFormDisp::SetRatingButtonsVisible(bool visible) {
  for (ui::Button* b : ratingButtons_) b->SetVisible(visible);
}

void TFormDisp::ShowGoScreen() {
  SetRatingButtonsVisible(false);
  GOButton.SetVisible(true);
  ExitButton.SetVisible(true);
  GOButton.setFocus();  // Space or Enter presses it
}

void TFormDisp::ShowEndScreen() {
  GOButton.SetVisible(false);
  ui::Surface& s = Image3.Canvas();
  ui::PaintWhite(s, 0, 0, 500, 500);
  s.SetFontHeight(30);
  s.SetFontColor(ui::clRed);
  WriteCentred(s, 170, QCoreApplication::translate("TFormDisp", "Exitボタンを押して下さい").toStdString());
  s.SetFontHeight(35);
  s.SetFontColor(ui::clBlue);
  WriteCentred(s, 270, QCoreApplication::translate("TFormDisp", "実験は終了しました").toStdString());
}

void TFormDisp::ExitButtonClick() {
  Close();
  if (handOver_) handOver_();
}

void TFormDisp::FormClose() {
  // A complete run closed by the window system is handed over as by "Exit",
  // so that its records stay reachable through "Disp. Data".
  if (run_->Over()) ExitButtonClick();
}
