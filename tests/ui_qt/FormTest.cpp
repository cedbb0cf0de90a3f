#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "tests/support/ErrorBoxRecorder.h"
#include "numeric/Extended.h"
#include "ui/qt/Button.h"
#include "ui/qt/Form.h"
#include "ui/qt/Screen.h"

namespace {

// A form that counts its creation and activations.
class CountingForm : public ui::Form {
 public:
  explicit CountingForm(ui::Form* owner, bool failInCreate = false) : ui::Form(owner), button(this, "B", 10, 10, 75, 25) {
    OnCreate = [this, failInCreate] {
      ++creates;
      if (failInCreate) numeric::DivideExtended(0, 0);
      afterFailure = true;
    };
    OnActivate = [this] { ++activations; };
  }
  ui::Button button;
  int creates = 0;
  int activations = 0;
  bool afterFailure = false;
};

struct Forms {
  std::unique_ptr<CountingForm> main{ui::Form::Create<CountingForm>(nullptr)};
};

TEST(Form, CreateRunsOnCreateOnceAndLeavesTheWindowHidden) {
  Forms f;
  EXPECT_EQ(f.main->creates, 1);
  EXPECT_FALSE(f.main->Visible());
  EXPECT_EQ(f.main->activations, 0);
  EXPECT_EQ(ui::Application::MainForm(), f.main.get());
}

TEST(Form, AnErrorInOnCreateIsShownAndTheWindowIsStillCreated) {
  Forms f;
  ErrorBoxRecorder boxes;
  auto* second = ui::Form::Create<CountingForm>(f.main.get(), true);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->creates, 1);
  EXPECT_FALSE(second->afterFailure);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].second, "不正な浮動小数点数演算命令.");
  EXPECT_EQ(second->Owner(), f.main.get());
}

TEST(Form, ShowingActivatesInsideTheCallerAndOnlyOnChange) {
  Forms f;
  f.main->SetVisible(true);
  EXPECT_EQ(f.main->activations, 1);
  f.main->SetVisible(true);  // already visible: nothing
  EXPECT_EQ(f.main->activations, 1);

  auto* second = ui::Form::Create<CountingForm>(f.main.get());
  second->SetVisible(true);
  EXPECT_EQ(second->activations, 1);
  QApplication::processEvents();
  EXPECT_EQ(second->activations, 1);  // the window system's own activation adds nothing

  // Back to the main form: an activation; to the same form again: none.
  ui::Application::FormActivated(f.main.get());
  ui::Application::FormActivated(f.main.get());
  EXPECT_EQ(f.main->activations, 2);
  ui::Application::FormActivated(second);
  EXPECT_EQ(second->activations, 2);
}

TEST(Form, ClosingASecondWindowHidesItAndActivatesTheOneInFront) {
  Forms f;
  f.main->SetVisible(true);
  auto* second = ui::Form::Create<CountingForm>(f.main.get());
  second->SetVisible(true);
  second->Close();
  EXPECT_FALSE(second->Visible());
  EXPECT_EQ(second->creates, 1);
  EXPECT_EQ(ui::Application::ActiveForm(), f.main.get());
  EXPECT_EQ(f.main->activations, 2);
  // The close box does the same.
  second->SetVisible(true);
  second->close();
  EXPECT_FALSE(second->Visible());
  EXPECT_TRUE(f.main->Visible());
}

TEST(Form, ClosingTheMainWindowFromAnyHandlerEndsTheEventLoop) {
  auto* main = ui::Form::Create<CountingForm>(nullptr);
  auto* second = ui::Form::Create<CountingForm>(main);
  second->button.OnClick = [main] { main->Close(); };
  QTimer::singleShot(0, [second] {
    second->SetVisible(true);
    QTest::mouseClick(&second->button, Qt::LeftButton);
  });
  EXPECT_EQ(ui::Application::Run(), 0);  // also destroys the main form and what it owns
  EXPECT_EQ(ui::Application::MainForm(), nullptr);
}

TEST(Form, DestroyingAFormDestroysEveryFormItOwns) {
  auto* main = ui::Form::Create<CountingForm>(nullptr);
  QPointer<CountingForm> owned[4];
  for (auto& f : owned) f = ui::Form::Create<CountingForm>(main);
  delete owned[1].data();  // one goes early; the others stay owned
  delete main;
  for (const auto& f : owned) EXPECT_TRUE(f.isNull());
  EXPECT_EQ(ui::Application::MainForm(), nullptr);
}

TEST(Form, ClientSizeAndOuterBounds) {
  Forms f;
  f.main->SetBounds(203, 107, 432, 250);
  EXPECT_EQ(f.main->Left(), 203);
  EXPECT_EQ(f.main->Top(), 107);
  EXPECT_EQ(f.main->Width(), 432);
  EXPECT_EQ(f.main->Height(), 250);
  const int frameW = f.main->Width() - f.main->ClientWidth();
  f.main->SetClientWidth(700);
  f.main->SetClientHeight(500);
  EXPECT_EQ(f.main->ClientWidth(), 700);
  EXPECT_EQ(f.main->ClientHeight(), 500);
  EXPECT_EQ(f.main->Width(), 700 + frameW);
}

TEST(Form, ScreenCentringAtTheFirstShowingOnly) {
  Forms f;
  auto* second = ui::Form::Create<CountingForm>(f.main.get());
  second->SetBounds(5, 5, 301, 201);
  second->SetPosition(ui::Form::TPosition::poScreenCenter);
  second->SetVisible(true);
  EXPECT_EQ(second->Left(), (ui::Screen::Width() - 301) / 2);
  EXPECT_EQ(second->Top(), (ui::Screen::Height() - 201) / 2);
  EXPECT_EQ(second->Position(), ui::Form::TPosition::poDesigned);
  second->Close();
  second->SetLeft(7);
  second->SetVisible(true);
  EXPECT_EQ(second->Left(), 7);
}

TEST(Form, AWindowLargerThanTheScreenIsPlacedAtTheOrigin) {
  Forms f;
  auto* second = ui::Form::Create<CountingForm>(f.main.get());
  second->SetBounds(50, 50, ui::Screen::Width() + 101, ui::Screen::Height() + 3);
  second->SetPosition(ui::Form::TPosition::poScreenCenter);
  second->SetVisible(true);
  EXPECT_EQ(second->Left(), 0);
  EXPECT_EQ(second->Top(), 0);
}

TEST(Application, TitleIsTheProgramNameCutAtItsFirstDot) {
  EXPECT_EQ(ui::Application::TitleFromPath("/usr/local/bin/rocrating"), "Rocrating");
  EXPECT_EQ(ui::Application::TitleFromPath("C:\\Prog\\ROC.Rating.exe"), "Roc");
  EXPECT_EQ(ui::Application::TitleFromPath("MyTool"), "Mytool");
}

TEST(Application, AnErrorEndsTheHandlerKeepsWhatItDidAndTheLoopGoesOn) {
  Forms f;
  ErrorBoxRecorder boxes;
  int before = 0;
  int after = 0;
  f.main->button.OnClick = [&] {
    ++before;
    numeric::DivideExtended(1, 0);
    ++after;
  };
  f.main->SetVisible(true);
  QTest::mouseClick(&f.main->button, Qt::LeftButton);
  QTest::mouseClick(&f.main->button, Qt::LeftButton);
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 0);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].second, "0 による浮動小数点数除算.");
  EXPECT_EQ(boxes.boxes[0].first, ui::Application::Title());
  // Closing the box is no activation.
  EXPECT_EQ(f.main->activations, 1);
}

}  // namespace
