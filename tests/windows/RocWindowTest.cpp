#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sstream>

#include "experiment/TrialRecord.h"
#include "experiment/Run.h"
#include "stats/BinormalFit.h"
#include "plot/FittedCurve.h"
#include "plot/RocPlot.h"
#include "shell/FitReport.h"
#include "plot/RocState.h"
#include "windows/UDispGraph2.h"
#include "tests/support/ErrorBoxRecorder.h"
#include "tests/support/PlotProbe.h"
#include "tests/support/TextProbe.h"
#include "ui/qt/Screen.h"

namespace {

class Host : public ui::Form {
 public:
  using ui::Form::Form;
};

// The worked example: noise answered 1..4 in 10, 8, 5, 2 cases, signal in 2, 5, 8, 10.
void RecordWorkedExample(experiment::Run& run) {
  int i = 1;
  const int noise[5] = {0, 10, 8, 5, 2};
  const int signal[5] = {0, 2, 5, 8, 10};
  for (int r = 1; r <= 4; ++r) {
    for (int n = 0; n < noise[r]; ++n, ++i) run.TrialResults[i] = {i, 0, r};
    for (int n = 0; n < signal[r]; ++n, ++i) run.TrialResults[i] = {i, 1, r};
  }
}

class RocWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordWorkedExample(*run);
    host.reset(ui::Form::Create<Host>(nullptr));
    host->SetVisible(true);
    form = Open();
  }

  TDispGraph2* Open() {
    auto* f = ui::Form::Create<TDispGraph2>(host.get(), run);
    f->SetVisible(true);
    return f;
  }

  void Press(ui::Button& b, Qt::MouseButton mb = Qt::LeftButton) {
    QTest::mousePress(&b, mb);
    QTest::mouseRelease(&b, mb);
  }
  void Press(ui::Button& b, int times) {
    for (int i = 0; i < times; ++i) Press(b);
  }

  const ui::Surface& Plot() { return form->Image1.Canvas(); }

  std::shared_ptr<experiment::Run> run = std::make_shared<experiment::Run>();
  std::unique_ptr<Host> host;
  TDispGraph2* form = nullptr;
};

TEST_F(RocWindow, ActivationLaysOutTheWindow) {
  EXPECT_EQ(form->ClientWidth(), 625);
  EXPECT_EQ(form->ClientHeight(), 500);
  EXPECT_EQ(form->Top(), ui::Screen::Height() / 2 - 250);
  EXPECT_EQ(form->Left(), ui::Screen::Width() / 2 - 312);
  EXPECT_EQ(form->Panel1.geometry(), QRect(0, 0, 500, 500));
  EXPECT_EQ(form->Image1.geometry(), QRect(0, 0, 500, 500));
  EXPECT_EQ(form->Image2.geometry(), QRect(0, 0, 100, 50));
  EXPECT_FALSE(form->Image2.Visible());
  EXPECT_EQ(form->DispButton.geometry(), QRect(525, 10, 75, 25));
  EXPECT_EQ(form->ExitButton.geometry(), QRect(525, 60, 75, 25));
  const struct {
    QWidget* w;
    QRect r;
  } table[] = {
      {&form->DEdit, {510, 135, 105, 24}},       {&form->DUpButton, {510, 159, 52, 25}},
      {&form->DDownButton, {562, 159, 52, 25}},  {&form->CriterionEdit(3), {510, 209, 105, 24}},
      {&form->CriterionUpButton(3), {510, 233, 52, 25}},   {&form->CriterionDownButton(3), {562, 233, 52, 25}},
      {&form->CriterionEdit(2), {510, 283, 105, 24}},      {&form->CriterionUpButton(2), {510, 307, 52, 25}},
      {&form->CriterionDownButton(2), {562, 307, 52, 25}}, {&form->CriterionEdit(1), {510, 357, 105, 24}},
      {&form->CriterionUpButton(1), {510, 381, 52, 25}},   {&form->CriterionDownButton(1), {562, 381, 52, 25}},
      {&form->REdit, {510, 431, 105, 24}},       {&form->RUpButton, {510, 455, 52, 25}},
      {&form->RDownButton, {562, 455, 52, 25}},
  };
  for (const auto& row : table) EXPECT_EQ(row.w->geometry(), row.r) << row.w->metaObject()->className();
  // Tab order: Disp, Exit, d's buttons and edit, each criterion's edit and buttons, R's edit and buttons.
  std::vector<QWidget*> order{&form->DispButton, &form->ExitButton, &form->DUpButton, &form->DDownButton, &form->DEdit};
  for (int j = 3; j >= 1; --j) {
    order.insert(order.end(), {&form->CriterionEdit(j), &form->CriterionUpButton(j), &form->CriterionDownButton(j)});
  }
  order.insert(order.end(), {&form->REdit, &form->RUpButton, &form->RDownButton});
  for (std::size_t i = 0; i + 1 < order.size(); ++i) EXPECT_EQ(order[i]->nextInFocusChain(), order[i + 1]) << i;
  EXPECT_EQ(form->DEdit.palette().color(QPalette::Text), QColor(0, 0, 255));
  EXPECT_EQ(form->CriterionEdit(3).palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(form->CriterionEdit(2).palette().color(QPalette::Text), QColor(128, 0, 0));
  EXPECT_EQ(form->CriterionEdit(1).palette().color(QPalette::Text), QColor(0, 128, 0));
  EXPECT_EQ(form->DUpButton.Caption(), "大");
  EXPECT_EQ(form->DDownButton.Caption(), "小");
  EXPECT_EQ(form->DEdit.font().pixelSize(), 16);
}

TEST_F(RocWindow, ActivationShowsThePromptAndTheStartValues) {
  EXPECT_TRUE(ShowsText(Plot(), 100, 50, "Dispボタンを押して下さい", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_EQ(form->DEdit.Text(), "   d = 1");
  EXPECT_EQ(form->CriterionEdit(3).Text(), "  c3 = 2");
  EXPECT_EQ(form->CriterionEdit(2).Text(), "  c2 = 1");
  EXPECT_EQ(form->CriterionEdit(1).Text(), "  c1 = 0");
  EXPECT_EQ(form->REdit.Text(), "   R = 1");
  EXPECT_FALSE(form->Timer1.Running());
  EXPECT_EQ(form->Timer1.Interval(), 200);
}

TEST_F(RocWindow, DispDrawsTitlesTicksFrameObservedPointsAndTheModel) {
  Press(form->DispButton);
  const ui::Surface& s = Plot();
  EXPECT_EQ(form->Analysis.ResponseTally.counts[0][1], 25);
  EXPECT_TRUE(ShowsText(s, 200, 470, "P(Yes|N)", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_TRUE(ShowsText(s, 30, 470, "0.0", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_TRUE(ShowsText(s, 465, 470, "1.0", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_TRUE(ShowsText(s, 5, 440, "0.0", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_TRUE(ShowsText(s, 5, 10, "1.0", "ＭＳ ゴシック", 20, ui::clWindowText));
  EXPECT_FALSE(ShowsText(s, 100, 50, "Dispボタンを押して下さい", "ＭＳ ゴシック", 20, ui::clWindowText));

  // The frame, 3 pixels wide, on the box (40, 10)-(490, 460).
  EXPECT_EQ(s.Pixel(40, 200), ui::clBlack);
  EXPECT_EQ(s.Pixel(39, 200), ui::clBlack);
  EXPECT_EQ(s.Pixel(489, 200), ui::clBlack);
  EXPECT_EQ(s.Pixel(250, 10), ui::clBlack);
  EXPECT_EQ(s.Pixel(250, 459), ui::clBlack);
  EXPECT_EQ(s.Pixel(36, 200), ui::clWhite);

  ExpectStartMarkers(s);

  // Observed circles of the worked example, radius 7, outlined green, maroon, red.
  const struct {
    int x, y;
    ui::Colour c;
  } circles[] = {{310, 46, ui::clGreen}, {166, 136, ui::clMaroon}, {76, 280, ui::clRed}};
  for (const auto& c : circles) {
    EXPECT_EQ(s.Pixel(c.x - 2, c.y - 7), c.c);
    EXPECT_EQ(s.Pixel(c.x + 1, c.y - 7), c.c);
    EXPECT_EQ(s.Pixel(c.x - 7, c.y), c.c);
    EXPECT_EQ(s.Pixel(c.x + 6, c.y), c.c);
    EXPECT_EQ(s.Pixel(c.x - 2, c.y + 6), c.c);
    EXPECT_EQ(s.Pixel(c.x + 3, c.y - 1), ui::clWhite);  // filled white inside
  }

  // The blue model curve: its sample at z = 0.5 (rates 0.3085, 0.6915). Its
  // first segment runs from (40, 460) to the first sample, exactly (490, 10),
  // and so draws the chance diagonal over in blue.
  EXPECT_EQ(s.Pixel(179, 149), ui::clBlue);
  EXPECT_EQ(s.Pixel(roc::ToScreenX(form->Analysis.PlotFrame, 0.75L), roc::ToScreenY(form->Analysis.PlotFrame, 0.75L)), ui::clBlue);
}

TEST_F(RocWindow, TheVerticalTitleIsTheScratchTextTurnedAQuarterTurn) {
  Press(form->DispButton);
  const ui::Surface& scratch = form->Image2.Canvas();
  EXPECT_TRUE(ShowsText(scratch, 0, 0, "P(Yes|S)", "ＭＳ Ｐゴシック", 20, ui::clWindowText));
  const int w = scratch.TextWidth("P(Yes|S)");
  ASSERT_GT(w, 0);
  int dark = 0;
  for (int j = 0; j <= w; ++j) {
    for (int k = 1; k <= 20; ++k) {
      ASSERT_EQ(Plot().Pixel(k + 10, 300 - j), scratch.Pixel(j, k)) << j << "," << k;
      dark += scratch.Pixel(j, k) != ui::clWhite;
    }
  }
  EXPECT_GT(dark, 20);
  // Nothing beyond the w + 1 columns, nor left or right of the 20 rows.
  EXPECT_TRUE(AllPixels(Plot(), 11, 300 - w - 30, 31, 300 - w, ui::clWhite));
  EXPECT_TRUE(AllPixels(Plot(), 0, 200, 11, 301, ui::clWhite));
}

TEST_F(RocWindow, DispTwiceGivesTheSamePicture) {
  Press(form->DispButton);
  const std::vector<std::uint32_t> first(Plot().Bits(), Plot().Bits() + 500 * 500);
  Press(form->DispButton);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), Plot().Bits()));
}

TEST_F(RocWindow, StepSequences) {
  Press(form->DispButton);
  Press(form->DUpButton);
  EXPECT_EQ(form->DEdit.Text(), "   d = 1.02");
  Press(form->DDownButton, 50);
  EXPECT_EQ(form->DEdit.Text(), "   d = 0.02");
  Press(form->DDownButton, 3);
  EXPECT_EQ(form->DEdit.Text(), "   d = 0.02");

  const char* up[] = {"  R = 1.02", "  R = 1.0404", "  R = 1.0612", "  R = 1.0824", "  R = 1.1041"};
  for (const char* text : up) {
    Press(form->RUpButton);
    EXPECT_EQ(form->REdit.Text(), text);
  }
  form->Analysis.ModelParameters.R = 1;
  const char* down[] = {"  R = 0.98039", "  R = 0.96117", "  R = 0.94232"};
  for (const char* text : down) {
    Press(form->RDownButton);
    EXPECT_EQ(form->REdit.Text(), text);
  }

  Press(form->CriterionDownButton(2), 50);
  EXPECT_EQ(form->CriterionEdit(2).Text(), "  c2 = 3.5237E-19");
  Press(form->CriterionDownButton(1));
  EXPECT_EQ(form->CriterionEdit(1).Text(), "  c1 = -0.02");
  Press(form->CriterionUpButton(1));
  EXPECT_EQ(form->CriterionEdit(1).Text(), "  c1 = 0");
  Press(form->CriterionUpButton(3));
  EXPECT_EQ(form->CriterionEdit(3).Text(), "  c3 = 2.02");
  Press(form->CriterionDownButton(3), 2);
  EXPECT_EQ(form->CriterionEdit(3).Text(), "  c3 = 1.98");
}

TEST_F(RocWindow, TheCurveFollowsAStep) {
  Press(form->DispButton);
  Press(form->CriterionUpButton(1));  // the c1 marker moves off (265, 81)
  const roc::ModelParameterSet m = form->Analysis.ModelParameters;
  EXPECT_NE(Plot().Pixel(265 - 3, 81 - 3), ui::clGreen);
  EXPECT_EQ(m.c1, 0.02L);
}

TEST_F(RocWindow, HoldingRepeatsAndAnyReleaseStops) {
  Press(form->DispButton);
  QTest::mousePress(&form->DUpButton, Qt::RightButton);
  EXPECT_EQ(form->DEdit.Text(), "   d = 1.02");
  EXPECT_TRUE(form->Timer1.Running());
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->DEdit.Text() == "   d = 1.04"; }, 5000));
  QTest::mouseRelease(&form->RDownButton, Qt::LeftButton);  // any step button's release
  EXPECT_FALSE(form->Timer1.Running());
  const std::string held = form->DEdit.Text();
  QTest::qWait(300);
  EXPECT_EQ(form->DEdit.Text(), held);

  // The space key on a focused step button steps nothing.
  form->CriterionUpButton(3).setFocus();
  QTest::keyClick(&form->CriterionUpButton(3), Qt::Key_Space);
  EXPECT_EQ(form->CriterionEdit(3).Text(), "  c3 = 2");
  EXPECT_FALSE(form->Timer1.Running());
}

TEST_F(RocWindow, AHoldEndsWhenTheWindowIsClosedByItsCloseBox) {
  Press(form->DispButton);
  QTest::mousePress(&form->CriterionUpButton(2), Qt::LeftButton);
  form->close();
  EXPECT_FALSE(form->Timer1.Running());
  QTest::mouseRelease(&form->CriterionUpButton(2), Qt::LeftButton);
  const roc::ModelParameterSet held = form->Analysis.ModelParameters;
  QTest::qWait(450);
  EXPECT_EQ(form->Analysis.ModelParameters.c2, held.c2);
  EXPECT_EQ(form->CriterionEdit(2).Text(), "  c2 = 1.02");
}

TEST_F(RocWindow, TypedTextIsOverwrittenByTheNextStep) {
  Press(form->DispButton);
  form->CriterionEdit(2).setFocus();
  form->CriterionEdit(2).selectAll();
  QTest::keyClicks(&form->CriterionEdit(2), "7");
  EXPECT_EQ(form->CriterionEdit(2).Text(), "7");
  EXPECT_EQ(form->Analysis.ModelParameters.c2, 1.0L);
  Press(form->CriterionUpButton(2));
  EXPECT_EQ(form->CriterionEdit(2).Text(), "  c2 = 1.02");
}

TEST_F(RocWindow, EmptyTallyRowsLeaveOutThePointsWithoutAnError) {
  ErrorBoxRecorder boxes;
  run->TrialResults = experiment::TrialRecords();
  for (int i = 1; i <= 10; ++i) run->TrialResults[i] = {i, 1, 4};  // signal trials only
  Press(form->DispButton);
  EXPECT_TRUE(boxes.boxes.empty());
  const ui::Surface& s = Plot();
  EXPECT_EQ(s.Pixel(40, 200), ui::clBlack);           // frame
  ExpectStartMarkers(s);
  EXPECT_TRUE(AllPixels(s, 300, 300, 480, 450, ui::clWhite));  // below the diagonal: nothing
  QTest::mousePress(&form->DUpButton, Qt::LeftButton);
  EXPECT_TRUE(form->Timer1.Running());  // holding repeats as usual
  QTest::mouseRelease(&form->DUpButton, Qt::LeftButton);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RocWindow, BeforeTheFirstDispAStepDrawsNothing) {
  const std::vector<std::uint32_t> prompt(Plot().Bits(), Plot().Bits() + 500 * 500);
  Press(form->DUpButton);
  EXPECT_EQ(form->DEdit.Text(), "   d = 1.02");
  EXPECT_TRUE(std::equal(prompt.begin(), prompt.end(), Plot().Bits()));
}

TEST_F(RocWindow, ComingBackToTheWindowKeepsTheFittedCurve) {
  Press(form->DispButton);
  Press(form->DUpButton, 3);
  const std::vector<std::uint32_t> fitted(Plot().Bits(), Plot().Bits() + 500 * 500);
  ui::Application::FormActivated(host.get());
  ui::Application::FormActivated(form);
  EXPECT_EQ(form->DEdit.Text(), "   d = 1.06");
  EXPECT_TRUE(std::equal(fitted.begin(), fitted.end(), Plot().Bits()));

  // A further window has parameters of its own, reset on its first
  // activation; the first window keeps its fit.
  TDispGraph2* second = Open();
  EXPECT_EQ(second->Analysis.ModelParameters.d, 1.0L);
  EXPECT_GT(form->Analysis.ModelParameters.d, 1.05L);
  EXPECT_EQ(second->DEdit.Text(), "   d = 1");
  EXPECT_EQ(form->DEdit.Text(), "   d = 1.06");
}

std::vector<std::uint32_t> Pixels(const ui::Surface& s) { return {s.Bits(), s.Bits() + s.Width() * s.Height()}; }

TEST_F(RocWindow, ThePlotMenuAndItsShortcuts) {
  const QList<QAction*> actions = form->PlotMenu()->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), "最尤推定...");
  EXPECT_EQ(actions[0]->shortcut(), QKeySequence("Ctrl+F"));
  EXPECT_EQ(actions[1]->text(), "プロットを保存...");
  EXPECT_EQ(actions[1]->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(actions[2]->text(), "結果を保存...");
  EXPECT_EQ(actions[2]->shortcut(), QKeySequence("Ctrl+Shift+S"));
  EXPECT_TRUE(form->actions().contains(actions[0]));  // reachable from the keyboard in the whole window
  EXPECT_EQ(form->AnalysisWindow(), nullptr);
  actions[0]->trigger();
  ASSERT_NE(form->AnalysisWindow(), nullptr);
  EXPECT_TRUE(form->AnalysisWindow()->isVisible());
  EXPECT_FALSE(form->AnalysisWindow()->ApplyButton()->isEnabled());  // no "Disp" yet
  form->close();  // the analysis window goes with its ROC window
  EXPECT_FALSE(form->AnalysisWindow()->isVisible());
}

// On the smallest common laptop screen there is no room beside the ROC window
// for the analysis window's figures side by side: it narrows instead of
// covering the plot, so the curve and the points stay in view.
TEST_F(RocWindow, OnASmallScreenTheAnalysisWindowLeavesThePlotInView) {
  Press(form->DispButton);
  form->OpenAnalysis();
  const QRect screen(0, 0, 1366, 768);
  form->move(screen.center() - form->rect().center());
  form->PlaceAnalysis(screen);
  const roc::PlotGeometry& f = form->Analysis.PlotFrame;
  const QRect square(form->Image1.mapToGlobal(QPoint(roc::ToScreenX(f, 0), roc::ToScreenY(f, 1))),
                     form->Image1.mapToGlobal(QPoint(roc::ToScreenX(f, 1), roc::ToScreenY(f, 0))));
  const QRect analysis = form->AnalysisWindow()->frameGeometry();
  EXPECT_TRUE(screen.contains(analysis));
  EXPECT_FALSE(analysis.intersects(square));
}

TEST_F(RocWindow, TheAnalysisWindowScoresTheFitByEyeAndAppliesTheOptimum) {
  Press(form->DispButton);
  form->OpenAnalysis();
  TAnalysisWindow& w = *form->AnalysisWindow();
  const roc::RatingCounts counts = roc::CountRecordedRatings(run->TrialResults);
  const auto fit = roc::FitBinormal(counts);
  ASSERT_TRUE(fit && w.Fit());
  EXPECT_EQ(w.Fit()->d, fit->d);
  EXPECT_EQ(w.Fit()->az, fit->az);

  // G^2 = 2 (-log L by eye - -log L at the optimum), shown as the parameters step.
  const auto deviance = [&] {
    return 2 * (*roc::BinormalNegLogLik(counts, roc::ToBinormal(form->Analysis.ModelParameters)) - fit->neg_loglik);
  };
  const double start = deviance();
  EXPECT_NEAR(w.DevianceText().toDouble(), start, 1e-4);
  double last = start;
  for (int i = 0; i < 10; ++i) {  // c3 from 2 toward its estimate
    Press(form->CriterionDownButton(3));
    EXPECT_NEAR(w.DevianceText().toDouble(), deviance(), 1e-4);
    EXPECT_LT(deviance(), last);
    last = deviance();
  }

  QTest::mouseClick(w.ApplyButton(), Qt::LeftButton);
  EXPECT_EQ(form->Analysis.ModelParameters.d, static_cast<numeric::Extended>(fit->d));
  EXPECT_EQ(form->Analysis.ModelParameters.c3, static_cast<numeric::Extended>(fit->criteria[2]));
  EXPECT_EQ(form->Analysis.ModelParameters.R, static_cast<numeric::Extended>(fit->R));
  EXPECT_EQ(form->REdit.Text().rfind("  R = ", 0), 0u);  // as a step writes it
  EXPECT_EQ(w.DevianceText(), "0.0000");
}

// A six-point scale: five observed points, a row per criterion from c5 down
// with its own step kinds, the optimum applied to all five.
TEST_F(RocWindow, ASixPointScaleHasFivePointsAndFiveCriterionRows) {
  experiment::Design six;
  six.Ratings.resize(6, {"x", "y"});
  run = std::make_shared<experiment::Run>(six, experiment::TrialLogSession{.Seed = 0});
  const int noise[6] = {8, 6, 4, 3, 2, 2}, signal[6] = {2, 2, 3, 4, 6, 8};
  int i = 1;
  for (int r = 1; r <= 6; ++r) {
    for (int n = 0; n < noise[r - 1]; ++n, ++i) run->TrialResults[i] = {i, 0, r};
    for (int n = 0; n < signal[r - 1]; ++n, ++i) run->TrialResults[i] = {i, 1, r};
  }
  form = Open();
  EXPECT_EQ(form->Analysis.ModelParameters.Criteria, 5);
  EXPECT_EQ(roc::Criterion(form->Analysis.ModelParameters, 5), 4);
  EXPECT_EQ(form->findChildren<ui::Edit*>().size(), 7u) << "d, R and the five criteria";
  Press(form->DispButton);
  EXPECT_EQ(form->Analysis.ResponseTally.Categories, 6);
  EXPECT_TRUE(roc::ObservedPoint(form->Analysis.ResponseTally, 5).has_value());
  form->Analysis.StepKind = 3;  // the top criterion row's "大": c5
  form->StepParameter();
  EXPECT_EQ(roc::Criterion(form->Analysis.ModelParameters, 5), 4 + 0.02L);
  EXPECT_EQ(form->Analysis.ModelParameters.c3, 2);

  form->OpenAnalysis();
  const auto fit = roc::FitBinormal(roc::CountRecordedRatings(run->TrialResults));
  ASSERT_TRUE(fit && form->AnalysisWindow()->Fit());
  QTest::mouseClick(form->AnalysisWindow()->ApplyButton(), Qt::LeftButton);
  for (int j = 1; j <= 5; ++j) {
    EXPECT_EQ(roc::Criterion(form->Analysis.ModelParameters, j), static_cast<numeric::Extended>(fit->criteria[j - 1]));
  }
}

TEST_F(RocWindow, WithTheOverlayOffThePlotIsAsWithoutTheWindow) {
  Press(form->DispButton);
  form->OpenAnalysis();
  Press(form->DUpButton, 3);
  Press(form->RDownButton);
  const std::vector<std::uint32_t> withWindow = Pixels(Plot());

  TDispGraph2* plain = Open();  // a window of its own on the same run
  Press(plain->DispButton);
  Press(plain->DUpButton, 3);
  Press(plain->RDownButton);
  EXPECT_EQ(Pixels(plain->Image1.Canvas()), withWindow);

  QCheckBox* overlay = form->AnalysisWindow()->OverlayBox();
  overlay->click();  // on: the fitted curve in grey over the plot
  const std::vector<std::uint32_t> over = Pixels(Plot());
  EXPECT_GT(std::count(over.begin(), over.end(), ui::ToRgb32(roc::kFittedCurveColour)), 100);
  overlay->click();  // off again
  EXPECT_EQ(Pixels(Plot()), withWindow);
}

TEST_F(RocWindow, SavedPlotAndResultsHoldWhatTheWindowShows) {
  // A run answered as the worked example, practice first.
  const experiment::TrialRecords example = run->TrialResults;
  run = std::make_shared<experiment::Run>(experiment::Design::Standard(),
                                          experiment::TrialLogSession{.Session = "2026-12-08T19:20:31.123Z", .Seed = 7});
  for (int t = 1; t <= 60; ++t) {
    const experiment::TrialRecord r = t > 10 ? example[t - 10] : experiment::TrialRecord{0, 0, 1};
    run->ShownStimulus = r.Stimulus;
    run->Answer(r.Response, {.ExposureMs = 1000.5, .RatingMs = 700});
  }
  form = Open();
  Press(form->DispButton);
  Press(form->CriterionUpButton(2));
  form->OpenAnalysis();

  const std::string dir = ::testing::TempDir();
  form->SavePlot(QString::fromStdString(dir + "plot.png"));
  const QImage png(QString::fromStdString(dir + "plot.png"));
  ASSERT_EQ(png.size(), QSize(500, 500));
  bool same = true;
  for (int y = 0; y < 500 && same; ++y)
    for (int x = 0; x < 500 && same; ++x) same = (png.pixel(x, y) & 0xFFFFFF) == Plot().Bits()[y * 500 + x];
  EXPECT_TRUE(same);

  form->SaveResults(QString::fromStdString(dir + "results.csv"));
  std::ostringstream out, err;
  EXPECT_EQ(shell::RunFitReport({dir + "results.csv"}, out, err), 0);
  std::string line = out.str().substr(out.str().find('\n') + 1);
  std::vector<std::string> fields;
  for (std::size_t at = 0; at != std::string::npos;) {
    const std::size_t comma = line.find(',', at);
    fields.push_back(line.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    at = comma == std::string::npos ? comma : comma + 1;
  }
  ASSERT_EQ(fields.size(), 26u);
  EXPECT_EQ(fields[2], "50");
  EXPECT_NEAR(std::stod(fields[5]), form->AnalysisWindow()->Fit()->d, 1e-5);   // d
  EXPECT_NEAR(std::stod(fields[17]), form->AnalysisWindow()->Fit()->az, 1e-5);  // az
}

TEST(RocExit, ExitEndsTheProgram) {
  auto* main = ui::Form::Create<Host>(nullptr);
  auto* roc = ui::Form::Create<TDispGraph2>(main, std::make_shared<experiment::Run>());
  QTimer::singleShot(0, [roc] {
    roc->SetVisible(true);
    QTest::mouseClick(&roc->ExitButton, Qt::LeftButton);
  });
  EXPECT_EQ(ui::Application::Run(), 0);
}

}  // namespace
