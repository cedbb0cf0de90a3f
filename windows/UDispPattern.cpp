// The experiment window: its layout for the run's design, the trial's screens
// from GO to the rating, the timed exposure, and where each answer goes (the
// records, the per-trial files, the class database). Longer than most files:
// one window's handlers, which read best side by side.
#include "windows/UDispPattern.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cmath>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStandardPaths>

#include "experiment/Generator.h"
#include "experiment/RunLog.h"
#include "experiment/SessionFileNames.h"
#include "experiment/StimulusPatterns.h"
#include "windows/ShownTexts.h"
#include "windows/WriteError.h"
#include "ui/Colour.h"
#include "ui/qt/DisplayServer.h"
#include "ui/qt/Label.h"

using experiment::Experiment;

namespace {

// The caption of a rating button in the run's design.
std::string CaptionOf(experiment::ResponseCode code) {
  return ShownRatings(Experiment.design)[Experiment.design.Categories() - code].Caption;
}

void WriteCentred(ui::Surface& s, int y, const std::string& text) {
  const int w = s.TextWidth(text);
  s.TextOut(250 - w / 2, y, text);
}


// The OS's reason out of a file's failure message "... <path>: <reason>".
std::string ReasonOf(const std::string& message, const std::string& path) {
  const std::string marker = path + ": ";
  const std::size_t at = message.rfind(marker);
  return at == std::string::npos ? message : message.substr(at + marker.size());
}

}  // namespace

TFormDisp::TFormDisp(ui::Form* owner, std::function<void()> handOver)
    : ui::Form(owner),
      Panel1(this, "Panel1", 8, 8, 185, 185),
      Image1(&Panel1, 8, 8, 105, 105),
      Image2(&Panel1, 16, 16, 105, 105),
      Image3(&Panel1, 24, 24, 105, 105),
      GOButton(this, "GO", 312, 16, 75, 25),
      ExitButton(this, "Exit", 312, 200, 75, 25),
      CertainSButton(this, CaptionOf(experiment::kCertainS), 312, 56, 75, 25),
      ProbablySButton(this, CaptionOf(experiment::kProbablyS), 312, 88, 75, 25),
      ProbablyNButton(this, CaptionOf(experiment::kProbablyN), 312, 120, 75, 25),
      CertainNButton(this, CaptionOf(experiment::kCertainN), 312, 152, 75, 25),
      handOver_(std::move(handOver)) {
  const experiment::Design& design = Experiment.design;
  SetCaption(design.Name == experiment::Design::Standard().Name ? "FormDisp" : "FormDisp - " + design.Name);
  if (design.Categories() == 4) {
    ratingButtons_ = {&CertainSButton, &ProbablySButton, &ProbablyNButton, &CertainNButton};
  } else {
    // Another scale: buttons of its own, the named four stay hidden.
    for (ui::Button* b : {&CertainSButton, &ProbablySButton, &ProbablyNButton, &CertainNButton}) b->SetVisible(false);
    for (experiment::ResponseCode code = design.Categories(); code >= 1; --code) {
      auto& b = madeButtons_.emplace_back(std::make_unique<ui::Button>(this, CaptionOf(code), 312, 56, 75, 25));
      b->OnClick = [this, code] { Answer(code); };
      ratingButtons_.push_back(b.get());
    }
  }
  SetBounds(510, 108, 435, 300);
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };
  GOButton.OnClick = [this] { GOButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  CertainSButton.OnClick = [this] { CertainSButtonClick(); };
  ProbablySButton.OnClick = [this] { ProbablySButtonClick(); };
  ProbablyNButton.OnClick = [this] { ProbablyNButtonClick(); };
  CertainNButton.OnClick = [this] { CertainNButtonClick(); };
  Timer1.SetOnTimer([this] { Timer1Timer(); });
}

void TFormDisp::FormCreate() {
  const std::string session = experiment::FormatSessionTime(std::chrono::system_clock::now());
  Timer1.SetEnabled(false);
  Timer1.SetInterval(Experiment.design.ExposureMs);

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

  const std::uint32_t seed = experiment::SetUpPatterns(Experiment, Image1.Canvas());
  experiment::RunLog.Run = {session, seed, {}, experiment::RunLog.Observer, Experiment.design.Name,
                            Experiment.design.Categories()};
  experiment::RunLog.RunFile = {};

  DrawInstructionScreen();

  // A new run starts from empty records, so that an analysis never counts
  // answers of an earlier run together with this one's.
  Experiment.TrialResults = experiment::TrialRecords(Experiment.design);

  WriteGoPrompt();
  Experiment.TrialCounter = 1 - Experiment.design.PracticeTrials;
  WriteTrialLabel();

  Image3.SetVisible(true);
  ShowGoScreen();
}

std::int32_t TFormDisp::TrialNumber() const { return Experiment.TrialCounter + Experiment.design.PracticeTrials; }

void TFormDisp::PrepareNextStimulus() { experiment::PrepareNextStimulus(Experiment, Image1.Canvas()); }

void TFormDisp::DrawInstructionScreen() {
  ui::Surface& s = Image2.Canvas();
  ui::PaintWhite(s, 0, 0, 500, 500);
  s.SetFontHeight(20);
  s.SetFontName("ＭＳ 明朝");
  // Each category's statement, and below it, indented, the button that says
  // so; 60 pixels apart from 100 down while they fit, closer and higher up
  // for a longer scale.
  const int K = Experiment.design.Categories();
  const int step = std::min(60, 440 / K);
  int y = std::min(100, (500 - ((K - 1) * step + 45)) / 2);
  for (const experiment::RatingCategory& category : ShownRatings(Experiment.design)) {
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
                          QCoreApplication::translate("TFormDisp", "第%1試行").arg(TrialNumber()).toStdString());
}

void TFormDisp::GOButtonClick() {
  Image3.SetVisible(false);
  Image1.SetVisible(true);
  GOButton.SetVisible(false);
  ExitButton.SetVisible(false);
  Experiment.ShownStimulus = Experiment.NextStimulus;
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
  const std::chrono::nanoseconds asked = std::chrono::milliseconds(Experiment.design.ExposureMs);
  const std::chrono::nanoseconds frame = ui::FramePeriod(*this);
  if (frame.count() == 0) return asked;
  const double frames = std::max(1.0, std::round(static_cast<double>(asked.count()) / frame.count()));
  return std::chrono::nanoseconds(static_cast<long long>(frames * frame.count()));
}

// How `area` of the window will look once the grid is gone: the window as it
// is, the instruction screen in place of the grid, the rating buttons shown.
QImage TFormDisp::RatingScreenLook(QRect area) {
  QImage look(area.size(), QImage::Format_RGB32);
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
  const std::int32_t trial = TrialNumber();
  Image2.SetVisible(false);
  PrepareNextStimulus();
  ShowGoScreen();
  if (Experiment.TrialCounter > 0) {
    Experiment.TrialResults[Experiment.TrialCounter] = {Experiment.TrialCounter, Experiment.ShownStimulus, code};
  }
  if (Experiment.TrialCounter >= Experiment.design.RecordedTrials) {
    ShowEndScreen();
  } else {
    WriteGoPrompt();
    Experiment.TrialCounter = Experiment.TrialCounter + 1;
    ui::Surface& s = Image3.Canvas();
    WriteTrialLabel();
    s.SetFontHeight(20);
    if (Experiment.design.Feedback) {
      s.SetFontColor(ui::clBlue);
      WriteFeedback();
      s.SetFontColor(ui::clBlack);
    }
  }
  Image3.SetVisible(true);
  LogAnswer(trial, code);
}

void TFormDisp::LogAnswer(std::int32_t trial, experiment::ResponseCode code) {
  using namespace std::chrono;
  const auto ratingMs = duration_cast<milliseconds>(steady_clock::now() - ratingShown_).count();
  experiment::TrialLogSession& run = experiment::RunLog.Run;
  run.Rows.push_back({.Session = run.Session,
                      .Observer = run.Observer,
                      .DesignName = run.DesignName,
                      .Categories = run.Categories,
                      .Seed = run.Seed,
                      .Trial = trial,
                      .Practice = Experiment.design.IsPractice(trial),
                      .Stimulus = Experiment.ShownStimulus,
                      .Response = code,
                      .ExposureMs = exposureMs_,
                      .AskedMs = duration<double, std::milli>(ExposureLength()).count(),
                      .FrameMs = duration<double, std::milli>(ui::FramePeriod(*this)).count(),
                      .RatingMs = ratingMs});
  // Written and synced to every file before the handler returns; the first
  // failure of the run is shown, once, and the run goes on in memory.
  std::optional<ETrialLogWriteError> failure;
  const auto note = [&failure](const std::string& path, const std::optional<std::string>& error) {
    if (error && !failure) failure.emplace(path, ReasonOf(*error, path));
  };
  if (experiment::TrialLogFile* file = experiment::RunLog.File) note(file->Path(), file->Append(run.Rows.back()));
  if (experiment::TrialSink* store = experiment::RunLog.Store) note(store->Path(), store->Append(run.Rows.back()));
  if (experiment::RunLog.Autosave) {
    if (!runFileTried_) {
      runFileTried_ = true;
      const auto [path, error] = OpenRunFile();
      note(path, error);
    }
    note(experiment::RunLog.RunFile.Path(), experiment::RunLog.RunFile.Append(run.Rows.back()));
  }
  if (failure && !writeErrorShown_) {
    writeErrorShown_ = true;
    throw *failure;
  }
}

// The run's own file, in the user's data folder, named from the session's
// local time; a name already taken gets a number. Returns the path and, on
// failure, why it could not be opened.
std::pair<std::string, std::optional<std::string>> TFormDisp::OpenRunFile() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  const std::string name = experiment::AutosaveFileName(experiment::RunLog.Run.Session, experiment::RunLog.Run.Observer);
  if (folder.isEmpty() || !QDir().mkpath(folder)) {
    return {folder.toStdString() + "/" + name,
            QCoreApplication::translate("TFormDisp", "フォルダ %1 を作成できません").arg(folder).toStdString()};
  }
  const std::string path = experiment::UniquePath(
      folder.toStdString(), name, [](const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); });
  return {path, experiment::RunLog.RunFile.Open(path, experiment::RunLog.Format)};
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
  s.TextOut(70, 20,
            (Experiment.ShownStimulus == experiment::kNoise
                 ? QCoreApplication::translate("TFormDisp", "茶色の増えていないパターンが提示されました")
                 : QCoreApplication::translate("TFormDisp", "茶色の増えたパターンが提示されました"))
                .toStdString());
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
  endShown_ = true;
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
  if (endShown_) ExitButtonClick();
}
