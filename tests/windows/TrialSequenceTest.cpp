#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>
#include <cstdio>
#include <memory>
#include <tuple>
#include <vector>

#include "experiment/Generator.h"
#include "experiment/Run.h"
#include "experiment/StimulusPatterns.h"
#include "windows/UDispPattern.h"
#include "tests/support/ErrorBoxRecorder.h"
#include "tests/support/TextProbe.h"
#include "ui/qt/Label.h"
#include "ui/qt/Language.h"
#include "tests/support/HostWindow.h"

namespace {

constexpr const char* kDefaultFace = "ＭＳ Ｐゴシック";
const std::string kNoiseFeedback = "茶色の増えていないパターンが提示されました";
const std::string kSignalFeedback = "茶色の増えたパターンが提示されました";


class TrialSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    experiment::SetClockForTests([] { return experiment::TimeOfDay{0, 0, 0, 0}; });  // seed 0
    host.reset(ui::Form::Create<HostWindow>(nullptr));
    host->SetVisible(true);
    form = OpenWindow();
  }
  void TearDown() override { experiment::SetClockForTests(nullptr); }

  // A window on a new run of the settings, as "Do Exp" makes it.
  TFormDisp* OpenWindow() {
    const std::string session = "2026-12-09T10:00:00.00" + std::to_string(runs++) + "Z";
    auto run = std::make_shared<experiment::Run>(experiment::MakeRun(settings, session, ""));
    auto* f = ui::Form::Create<TFormDisp>(host.get(), run, host->Access());
    f->SetVisible(true);
    return f;
  }

  // One trial through the real buttons; the exposure's timer event is run directly.
  void Trial(TFormDisp* f, ui::Button& rating) {
    ASSERT_TRUE(f->GOButton.isVisible());
    QTest::mouseClick(&f->GOButton, Qt::LeftButton);
    ASSERT_TRUE(f->Image1.isVisible());
    ASSERT_TRUE(f->Timer1.Running());
    f->Timer1Timer();
    ASSERT_TRUE(rating.isVisible());
    QTest::mouseClick(&rating, Qt::LeftButton);
  }
  void Trials(int n) {
    for (int i = 0; i < n; ++i) Trial(form, form->RatingButton(experiment::kCertainS));
  }

  bool LabelShows(int trial) const {
    return ShowsText(form->Image3.Canvas(), 150, 270, "第" + std::to_string(trial) + "試行", kDefaultFace, 30,
                     form->Image3.Canvas().FontColor());
  }

  const experiment::Run& Experiment() const { return form->run(); }

  experiment::RunSettings settings;
  int runs = 0;
  std::unique_ptr<HostWindow> host;
  TFormDisp* form = nullptr;
};

TEST_F(TrialSequence, CreationLaysOutTheWindowAndShowsTheFirstGoScreen) {
  EXPECT_EQ(form->ClientWidth(), 700);
  EXPECT_EQ(form->ClientHeight(), 500);
  EXPECT_EQ(form->Panel1.geometry(), QRect(0, 0, 500, 500));
  for (ui::Image* image : {&form->Image1, &form->Image2, &form->Image3}) {
    EXPECT_EQ(image->geometry(), QRect(0, 0, 500, 500));
    EXPECT_EQ(image->Canvas().Width(), 500);
  }
  EXPECT_EQ(form->GOButton.geometry(), QRect(550, 25, 100, 25));
  EXPECT_EQ(form->RatingButton(experiment::kCertainS).geometry(), QRect(550, 100, 100, 25));
  EXPECT_EQ(form->RatingButton(experiment::kProbablyS).geometry(), QRect(550, 150, 100, 25));
  EXPECT_EQ(form->RatingButton(experiment::kProbablyN).geometry(), QRect(550, 200, 100, 25));
  EXPECT_EQ(form->RatingButton(experiment::kCertainN).geometry(), QRect(550, 250, 100, 25));
  EXPECT_EQ(form->ExitButton.geometry(), QRect(550, 325, 100, 25));

  EXPECT_TRUE(form->Image3.isVisible());
  EXPECT_FALSE(form->Image1.Visible());
  EXPECT_FALSE(form->Image2.Visible());
  EXPECT_TRUE(form->GOButton.isVisible());
  EXPECT_TRUE(form->ExitButton.isVisible());
  EXPECT_FALSE(form->RatingButton(experiment::kCertainS).Visible());
  EXPECT_FALSE(form->Timer1.Running());
  EXPECT_EQ(Experiment().TrialCounter, -9);

  const ui::Surface& go = form->Image3.Canvas();
  EXPECT_TRUE(ShowsText(go, 70, 170, "GOボタンを押して下さい", kDefaultFace, 30, ui::clWindowText));
  EXPECT_TRUE(LabelShows(1));
  EXPECT_TRUE(AllPixels(go, 0, 0, 500, 60, ui::clWhite));  // no feedback line yet

  const ui::Surface& info = form->Image2.Canvas();
  EXPECT_TRUE(ShowsText(info, 20, 100, "確かに茶色が増えた", "ＭＳ 明朝", 20, ui::clWindowText));
  EXPECT_TRUE(ShowsText(info, 200, 305, "==> 「異常なし」ボタン", "ＭＳ 明朝", 20, ui::clWindowText));

  // With seed 0 the first stimulus is the signal pattern, already drawn.
  EXPECT_EQ(Experiment().NextStimulus, experiment::kSignal);
  EXPECT_EQ(form->Image1.Canvas().Pixel(75, 25), experiment::kBrown);  // cell 2
  EXPECT_EQ(form->Image1.Canvas().Pixel(25, 25), experiment::kGreen);  // cell 1
}

TEST_F(TrialSequence, TheExposureEndsAfterOneSecondOfTheRealTimer) {
  QTest::mouseClick(&form->GOButton, Qt::LeftButton);
  EXPECT_TRUE(form->Image1.isVisible());
  EXPECT_FALSE(form->GOButton.Visible());
  EXPECT_FALSE(form->ExitButton.Visible());
  EXPECT_EQ(Experiment().ShownStimulus, experiment::kSignal);
  EXPECT_EQ(form->Timer1.Interval(), 1000);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->Image2.isVisible(); }, 10000));
  EXPECT_FALSE(form->Image1.Visible());
  EXPECT_FALSE(form->Timer1.Running());
  for (ui::Button* b : form->RatingButtons())
    EXPECT_TRUE(b->isVisible());
}

TEST_F(TrialSequence, PracticeIsNotRecordedAndLabelsCountEveryTrial) {
  Trials(10);
  EXPECT_EQ(Experiment().TrialCounter, 1);
  for (const auto& r : Experiment().TrialResults) EXPECT_EQ(r.Response, 0);
  EXPECT_TRUE(LabelShows(11));

  Trial(form, form->RatingButton(experiment::kProbablyN));  // the 11th answer is record 1
  EXPECT_EQ(Experiment().TrialResults[1].TrialNumber, 1);
  EXPECT_EQ(Experiment().TrialResults[1].Response, 2);
  EXPECT_EQ(Experiment().TrialResults[2].Response, 0);

  Trials(48);
  EXPECT_EQ(Experiment().TrialCounter, 50);
  EXPECT_TRUE(LabelShows(60));
  Trial(form, form->RatingButton(experiment::kCertainN));  // the 60th answer is record 50
  EXPECT_EQ(Experiment().TrialResults[50].TrialNumber, 50);
  EXPECT_EQ(Experiment().TrialResults[50].Response, 1);
  EXPECT_EQ(Experiment().TrialCounter, 50);
  for (int i = 1; i <= 50; ++i) EXPECT_EQ(Experiment().TrialResults[i].TrialNumber, i);

  // The end screen, with only "Exit".
  const ui::Surface& end = form->Image3.Canvas();
  const auto centredAt = [&](int y, const std::string& text, int height, ui::Colour colour) {
    ui::Surface probe(500, 500);
    probe.SetFontHeight(height);
    const int w = probe.TextWidth(text);
    return ShowsText(end, 250 - w / 2, y, text, kDefaultFace, height, colour);
  };
  EXPECT_TRUE(centredAt(170, "Exitボタンを押して下さい", 30, ui::clRed));
  EXPECT_TRUE(centredAt(270, "実験は終了しました", 35, ui::clBlue));
  EXPECT_TRUE(AllPixels(end, 0, 0, 500, 150, ui::clWhite));  // no feedback
  EXPECT_TRUE(form->ExitButton.isVisible());
  EXPECT_FALSE(form->GOButton.Visible());
  EXPECT_FALSE(form->RatingButton(experiment::kCertainS).Visible());
}

TEST_F(TrialSequence, EachButtonStoresItsCode) {
  Trials(10);
  Trial(form, form->RatingButton(experiment::kCertainS));
  Trial(form, form->RatingButton(experiment::kProbablyS));
  Trial(form, form->RatingButton(experiment::kProbablyN));
  Trial(form, form->RatingButton(experiment::kCertainN));
  EXPECT_EQ(Experiment().TrialResults[1].Response, 4);
  EXPECT_EQ(Experiment().TrialResults[2].Response, 3);
  EXPECT_EQ(Experiment().TrialResults[3].Response, 2);
  EXPECT_EQ(Experiment().TrialResults[4].Response, 1);
}

TEST_F(TrialSequence, FeedbackNamesTheShownStimulusOnAClearedLine) {
  // Seed 0: trial 1 shows the signal pattern, trial 2 the noise pattern.
  Trial(form, form->RatingButton(experiment::kCertainS));
  EXPECT_EQ(Experiment().NextStimulus, experiment::kNoise);  // already drawn for trial 2
  const ui::Surface& go = form->Image3.Canvas();
  EXPECT_TRUE(ShowsText(go, 70, 20, kSignalFeedback, kDefaultFace, 20, ui::clBlue));
  EXPECT_TRUE(LabelShows(2));

  // Find a noise trial followed by a signal trial: the shorter signal text
  // must not leave the end of the noise text behind it.
  bool checked = false;
  for (int i = 0; i < 58 && !checked; ++i) {
    const experiment::StimulusKind shown = Experiment().NextStimulus;
    Trial(form, form->RatingButton(experiment::kCertainS));
    if (shown == experiment::kNoise && Experiment().NextStimulus == experiment::kSignal) {
      Trial(form, form->RatingButton(experiment::kCertainS));
      ASSERT_TRUE(ShowsText(go, 70, 20, kSignalFeedback, kDefaultFace, 20, ui::clBlue));
      ui::Surface probe(500, 500);
      probe.SetFontHeight(20);
      const int w = probe.TextWidth(kSignalFeedback);
      EXPECT_TRUE(AllPixels(go, 70 + w, 20, 500, 40, ui::clWhite));
      checked = true;
    }
  }
  EXPECT_TRUE(checked);
}

TEST_F(TrialSequence, ExitAfterTwentyFiveAnswersHandsOverToTheMainWindow) {
  Trials(25);
  ASSERT_TRUE(form->ExitButton.isVisible());
  QTest::mouseClick(&form->ExitButton, Qt::LeftButton);
  EXPECT_FALSE(form->Visible());
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(Experiment().TrialResults[i].Response, 4);
  for (int i = 16; i <= 50; ++i) EXPECT_EQ(Experiment().TrialResults[i].Response, 0);
  EXPECT_TRUE(host->Visible());
  EXPECT_FALSE(host->DoExpButton.Visible());
  EXPECT_TRUE(host->DataButton.Visible());
  EXPECT_EQ(host->MsgLabel.Caption(), "Disp. Data ボタンを押して下さい");
}

TEST_F(TrialSequence, TheSpaceKeyOnHiddenButtonsNeitherAnswersNorExits) {
  Trials(1);  // the clicked rating button had the focus, and is hidden now
  QWidget* focus = form->focusWidget();
  ASSERT_NE(focus, nullptr);
  for (int i = 0; i < 5; ++i) QTest::keyClick(focus, Qt::Key_Space);
  EXPECT_EQ(Experiment().TrialCounter, -8);
  EXPECT_TRUE(LabelShows(2));

  form->GOButton.setFocus();
  QTest::keyClick(&form->GOButton, Qt::Key_Space);  // visible: Space presses GO
  ASSERT_TRUE(form->Timer1.Running());
  QTest::keyClick(form->focusWidget(), Qt::Key_Space);  // during the exposure
  form->Timer1Timer();
  QTest::keyClick(form->focusWidget(), Qt::Key_Space);  // on the rating screen
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->RatingButton(experiment::kCertainS).isVisible());
  EXPECT_FALSE(host->DataButton.Visible());
  EXPECT_EQ(Experiment().TrialCounter, -8);
}

TEST_F(TrialSequence, KeysPressGoAndRateAsTheButtonsDoAndKeysOfHiddenButtonsDoNothing) {
  EXPECT_EQ(form->focusWidget(), &form->GOButton);
  QWindow* window = form->windowHandle();
  const Qt::Key goKeys[] = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter};
  for (int i = 0; i < 8; ++i) {  // the codes 1..4 on the top row, then on the keypad
    const int code = i % 4 + 1;
    const auto digit = static_cast<Qt::Key>(Qt::Key_0 + code);
    const Qt::KeyboardModifier pad = i < 4 ? Qt::NoModifier : Qt::KeypadModifier;
    QTest::keyClick(window, digit, pad);  // the GO screen: the rating buttons are hidden
    EXPECT_FALSE(form->Timer1.Running());
    QTest::keyClick(window, goKeys[i % 3]);
    ASSERT_TRUE(form->Timer1.Running()) << i;
    form->Timer1Timer();
    QTest::keyClick(window, Qt::Key_Space);  // the rating screen: GO is hidden
    QTest::keyClick(window, digit, pad);
    ASSERT_EQ(Experiment().Log().Rows.size(), static_cast<std::size_t>(i + 1));
    EXPECT_EQ(Experiment().Log().Rows.back().Response, code);
  }
}

TEST_F(TrialSequence, AFinishedRunClosedByTheWindowSystemIsHandedOverAsByExit) {
  Trials(3);
  form->close();  // before the end: hidden, nothing handed over
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(host->DataButton.Visible());

  form = OpenWindow();
  Trials(60);
  ASSERT_FALSE(form->GOButton.isVisible());
  form->close();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(host->DataButton.Visible());
  EXPECT_FALSE(host->DoExpButton.Visible());
  EXPECT_EQ(host->MsgLabel.Caption(), "Disp. Data ボタンを押して下さい");
  for (const auto& r : Experiment().TrialResults) EXPECT_EQ(r.Response, 4);
}

TEST_F(TrialSequence, AnswersGoToTheFileAsAnsweredAndAFixedSeedRepeatsTheRun) {
  const std::string path = ::testing::TempDir() + "trial-sequence.csv";
  std::remove(path.c_str());
  experiment::TrialLogFile file;
  ASSERT_EQ(file.Open(path).Reason(), "");
  settings.Sinks = {&file};
  settings.Seed = 123;
  std::vector<experiment::StimulusKind> shown[2];
  for (auto& run : shown) {
    form = OpenWindow();
    for (int i = 0; i < 12; ++i) {
      Trial(form, i % 2 ? form->RatingButton(experiment::kProbablyN) : form->RatingButton(experiment::kCertainS));
      run.push_back(Experiment().ShownStimulus);
    }
  }

  EXPECT_EQ(shown[0], shown[1]);
  const experiment::TrialLogContents read = experiment::ReadTrialLog(path);
  ASSERT_FALSE(read.Error);
  ASSERT_EQ(read.Sessions.size(), 2u);  // each window is a session of its own
  for (std::size_t k = 0; k < 2; ++k) {
    const auto& rows = read.Sessions[k].Rows;
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(read.Sessions[k].Seed, 123u);
    for (int i = 0; i < 12; ++i) {
      EXPECT_EQ(rows[i].Trial, i + 1);
      EXPECT_EQ(rows[i].Stimulus, shown[k][i]);
      EXPECT_EQ(rows[i].Response, i % 2 ? experiment::kProbablyN : experiment::kCertainS);
      EXPECT_GE(rows[i].ExposureMs, 0.0);
    }
  }
  std::remove(path.c_str());
}

TEST_F(TrialSequence, AFailedWriteIsShownOnceARunInJapaneseAndTheRunGoesOnInMemory) {
  experiment::TrialLogFile full;
  if (!full.Open("/dev/full")) GTEST_SKIP() << "no /dev/full";
  settings.Sinks = {&full};
  form = OpenWindow();
  ErrorBoxRecorder boxes;
  Trials(11);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].second.rfind("試行の記録を書き込めません: /dev/full: ", 0), 0u) << boxes.boxes[0].second;
  EXPECT_EQ(Experiment().TrialCounter, 2);
  EXPECT_EQ(Experiment().TrialResults[1].Response, experiment::kCertainS);
  EXPECT_EQ(Experiment().Log().Rows.size(), 11u);

  form = OpenWindow();  // the next run says it again, once
  Trials(2);
  EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(TrialSequence, ASecondWindowRunsARunOfItsOwn) {
  Trials(12);
  TFormDisp* first = form;
  TFormDisp* second = OpenWindow();
  EXPECT_EQ(second->run().TrialCounter, -9);
  Trial(first, first->RatingButton(experiment::kCertainS));  // the first window's run goes on
  EXPECT_EQ(first->run().TrialCounter, 4);
  EXPECT_EQ(first->run().TrialResults[3].Response, 4);
  EXPECT_EQ(second->run().TrialCounter, -9);
  Trial(second, second->RatingButton(experiment::kProbablyN));
  EXPECT_EQ(second->run().TrialCounter, -8);
  EXPECT_EQ(first->run().Log().Rows.size(), 13u);
  EXPECT_EQ(second->run().Log().Rows.size(), 1u);
}

// A blue-orange design, in either language: the grid in its colours, the
// texts naming the orange squares (the top statement, the feedback after a
// signal), the per-trial rows the palette after the design's name.
class BlueOrangeDesign : public TrialSequence,
                         public ::testing::WithParamInterface<std::tuple<ui::Language, const char*, const char*>> {
  void TearDown() override {
    ui::UseLanguage(ui::Language::kJapanese);
    TrialSequence::TearDown();
  }
};

TEST_P(BlueOrangeDesign, ShowsAndNamesItsColours) {
  const auto [language, statement, feedback] = GetParam();
  ASSERT_TRUE(ui::UseLanguage(language));
  settings.design.Name = "colour-safe";
  settings.design.GridPalette = experiment::Palette::kBlueOrange;
  form = OpenWindow();
  const experiment::GridColours colours = experiment::ColoursOf(experiment::Palette::kBlueOrange);
  EXPECT_EQ(form->Image1.Canvas().Pixel(75, 25), colours.Counted);  // seed 0: the signal pattern, cell 2
  EXPECT_EQ(form->Image1.Canvas().Pixel(25, 25), colours.Other);
  EXPECT_NE(colours.Counted, experiment::kBrown);
  EXPECT_TRUE(ShowsText(form->Image2.Canvas(), 20, 100, statement, "ＭＳ 明朝", 20, ui::clWindowText));
  Trial(form, form->RatingButton(experiment::kCertainS));
  EXPECT_TRUE(ShowsText(form->Image3.Canvas(), 70, 20, feedback, kDefaultFace, 20, ui::clBlue));
  EXPECT_EQ(Experiment().Log().Rows.back().DesignName, "colour-safe [blue-orange]");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, BlueOrangeDesign,
    ::testing::Values(std::tuple{ui::Language::kJapanese, "確かにオレンジ色が増えた", "オレンジ色の増えたパターンが提示されました"},
                      std::tuple{ui::Language::kEnglish, "The orange squares surely increased",
                                 "The pattern with more orange was shown"}));

// A six-point design: K buttons from the top at 4 + 2 (i - 1) button
// heights, Exit below them, the design's counts, keys 1..6, no feedback.
TEST_F(TrialSequence, ASixPointDesignLaysOutItsButtonsAndRecordsItsCounts) {
  experiment::Design six;
  six.Name = "six-point";
  six.PracticeTrials = 1;
  six.RecordedTrials = 2;
  six.Feedback = false;
  six.Ratings = {{"6", "a"}, {"5", "b"}, {"4", "c"}, {"3", "d"}, {"2", "e"}, {"1", "f"}};
  settings.design = six;
  TFormDisp* f = form = OpenWindow();
  EXPECT_EQ(f->windowTitle().toStdString(), "FormDisp - six-point");
  const std::vector<ui::Button*>& buttons = f->RatingButtons();
  ASSERT_EQ(buttons.size(), 6u);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(buttons[i - 1]->geometry(), QRect(550, (4 + 2 * (i - 1)) * 25, 100, 25));
  EXPECT_EQ(f->ExitButton.Top(), 17 * 25);
  EXPECT_EQ(f->findChildren<ui::Button*>().size(), 8u) << "GO, Exit and the six rating buttons";
  for (int key : {Qt::Key_6, Qt::Key_1, Qt::Key_3}) {
    QTest::keyClick(f, Qt::Key_Space);
    f->Timer1Timer();
    QTest::keyClick(f, static_cast<Qt::Key>(key));
    if (key == Qt::Key_6) {
      EXPECT_TRUE(AllPixels(f->Image3.Canvas(), 70, 20, 500, 40, ui::clWhite)) << "no feedback";
    }
  }
  EXPECT_EQ(Experiment().TrialResults.Size(), 2);
  EXPECT_EQ(Experiment().TrialResults[1].Response, 1);
  EXPECT_EQ(Experiment().TrialResults[2].Response, 3);
  EXPECT_FALSE(f->GOButton.isVisible()) << "the end after 1 + 2 trials";
  EXPECT_EQ(Experiment().Log().Rows.size(), 3u);
}

}  // namespace
