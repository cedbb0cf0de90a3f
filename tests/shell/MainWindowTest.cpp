#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "experiment/RunLog.h"
#include "experiment/SessionFileNames.h"
#include "windows/ObserverDialog.h"
#include "windows/UDispPattern.h"
#include "shell/MainWindow.h"

namespace {

struct MainWindowFixture : ::testing::Test {
  void SetUp() override {
    MainWindow.Reset();
    MainWindow.Form1 = ui::Form::Create<TForm1>(nullptr);
    form.reset(MainWindow.Form1);
  }
  std::unique_ptr<TForm1> form;
};

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, LayoutAsDesigned) {
  EXPECT_EQ(form->Left(), 203);
  EXPECT_EQ(form->Top(), 107);
  EXPECT_EQ(form->Width(), 432);
  EXPECT_EQ(form->Height(), 250);
  EXPECT_EQ(form->windowTitle().toStdString(), "Form1");
  EXPECT_EQ(form->DoExpButton.geometry(), QRect(88, 112, 75, 25));
  EXPECT_EQ(form->ExitButton.geometry(), QRect(264, 112, 75, 25));
  EXPECT_EQ(form->DataButton.geometry(), QRect(96, 112, 75, 25));
  EXPECT_EQ(form->MsgLabel.pos(), QPoint(80, 48));
  EXPECT_EQ(form->MsgLabel.font().pixelSize(), 16);
  EXPECT_EQ(form->DoExpButton.font().pixelSize(), 12);
  EXPECT_EQ(form->DoExpButton.Caption(), "Do Exp");
  EXPECT_EQ(form->ExitButton.Caption(), "Exit");
  EXPECT_EQ(form->DataButton.Caption(), "Disp. Data");
  // Tab order: Do Exp, Exit, Disp. Data.
  EXPECT_EQ(form->DoExpButton.nextInFocusChain(), &form->ExitButton);
  EXPECT_EQ(form->ExitButton.nextInFocusChain(), &form->DataButton);
}

TEST_F(MainWindowTest, BeforeAndAfterTheFirstActivation) {
  EXPECT_EQ(form->MsgLabel.Caption(), "MsgLabel");
  EXPECT_TRUE(form->DataButton.Visible());
  form->SetVisible(true);
  EXPECT_EQ(MainWindow.FirstActivation, 1);
  EXPECT_EQ(form->MsgLabel.Caption(), "「Do Exp」ボタンを押して下さい");
  EXPECT_TRUE(form->DoExpButton.Visible());
  EXPECT_TRUE(form->ExitButton.Visible());
  EXPECT_FALSE(form->DataButton.Visible());
  EXPECT_EQ(form->MsgLabel.Left(), 80);
}

TEST_F(MainWindowTest, LaterActivationsKeepWhatTheExperimentSet) {
  form->SetVisible(true);
  form->ExperimentExit();

  class Other : public ui::Form {
   public:
    using ui::Form::Form;
  };
  auto* other = ui::Form::Create<Other>(form.get());
  other->SetVisible(true);
  ui::Application::FormActivated(form.get());
  EXPECT_EQ(form->MsgLabel.Caption(), "Disp. Data ボタンを押して下さい");
  EXPECT_FALSE(form->DoExpButton.Visible());
  EXPECT_TRUE(form->DataButton.Visible());
}

TEST_F(MainWindowTest, WithAutosaveARunIsKeptInAFileOfItsOwnAndTheMessageSaysWhere) {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  experiment::RunLog.Autosave = true;
  form->SetVisible(true);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  TFormDisp* run = MainWindow.FormDisp;
  for (int i = 0; i < 2; ++i) {
    QTest::mouseClick(&run->GOButton, Qt::LeftButton);
    run->Timer1Timer();
    QTest::mouseClick(&run->CertainNButton, Qt::LeftButton);
  }
  QTest::mouseClick(&run->ExitButton, Qt::LeftButton);
  experiment::RunLog.Autosave = false;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  qunsetenv("XDG_DATA_HOME");
  ASSERT_TRUE(folder.startsWith(data.path()));
  const std::string path = folder.toStdString() + "/" + experiment::AutosaveFileName(experiment::RunLog.Run.Session);
  const experiment::TrialLogContents read = experiment::ReadTrialLog(path);
  ASSERT_EQ(read.Sessions.size(), 1u) << read.Error;
  EXPECT_EQ(read.Sessions[0].Rows.size(), 2u);
  ASSERT_NE(form->SavedLabel(), nullptr);
  EXPECT_EQ(form->SavedLabel()->Caption(), "結果を保存しました:\n" + path);
  experiment::RunLog.RunFile = {};
}

TEST_F(MainWindowTest, ExitEndsTheProgram) {
  TForm1* raw = form.release();  // the event loop's end destroys it
  QTimer::singleShot(0, [raw] { QTest::mouseClick(&raw->ExitButton, Qt::LeftButton); });
  EXPECT_EQ(ui::Application::Run(), 0);
}

// A design that asks for the observer: "Do Exp" asks first; Cancel starts
// nothing, a good name (trimmed) starts the run under it.
TEST_F(MainWindowTest, DoExpAsksForTheObserverWhenTheDesignDoes) {
  experiment::RunLog = {};
  experiment::RunLog.AskObserver = true;
  form->SetVisible(true);
  const auto answer = [](const QString& typed, bool accept) {
    QTimer::singleShot(0, [typed, accept] {
      auto* dialog = dynamic_cast<ObserverDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->Field()->setText(typed);
      if (accept) {
        EXPECT_TRUE(dialog->Buttons()->button(QDialogButtonBox::Ok)->isEnabled()) << typed.toStdString();
      }
      accept ? dialog->accept() : dialog->reject();
    });
  };
  answer(QStringLiteral("   "), false);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  EXPECT_EQ(MainWindow.FormDisp, nullptr);
  answer(QStringLiteral("\u3000 Aoi "), true);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  ASSERT_NE(MainWindow.FormDisp, nullptr);
  EXPECT_EQ(experiment::RunLog.Run.Observer, "Aoi");
  experiment::RunLog = {};
}

}  // namespace
