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

#include "experiment/Run.h"
#include "experiment/SessionFileNames.h"
#include "windows/ObserverDialog.h"
#include "windows/UDispGraph2.h"
#include "windows/UDispPattern.h"
#include "shell/MainWindow.h"

namespace {

struct MainWindowFixture : ::testing::Test {
  void SetUp() override { Make(); }
  void Make(experiment::RunSettings settings = {}) {
    form.reset();
    form.reset(ui::Form::Create<TForm1>(nullptr, std::move(settings)));
  }
  // n trials in the window, each rated "異常なし".
  static void Trials(TFormDisp* run, int n) {
    for (int i = 0; i < n; ++i) {
      QTest::mouseClick(&run->GOButton, Qt::LeftButton);
      run->Timer1Timer();
      QTest::mouseClick(&run->RatingButton(experiment::kCertainN), Qt::LeftButton);
    }
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
  EXPECT_EQ(form->FirstActivation, 1);
  EXPECT_EQ(form->MsgLabel.Caption(), "「Do Exp」ボタンを押して下さい");
  EXPECT_TRUE(form->DoExpButton.Visible());
  EXPECT_TRUE(form->ExitButton.Visible());
  EXPECT_FALSE(form->DataButton.Visible());
  EXPECT_EQ(form->MsgLabel.Left(), 80);
}

TEST_F(MainWindowTest, LaterActivationsKeepWhatTheExperimentSet) {
  form->SetVisible(true);
  form->ExperimentExit(std::make_shared<experiment::Run>(), nullptr);

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
  Make({.Autosave = true});
  form->SetVisible(true);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  TFormDisp* run = form->FormDisp;
  Trials(run, 2);
  QTest::mouseClick(&run->ExitButton, Qt::LeftButton);
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  qunsetenv("XDG_DATA_HOME");
  ASSERT_TRUE(folder.startsWith(data.path()));
  const std::string path = folder.toStdString() + "/" + experiment::AutosaveFileName(run->run().Log().Session);
  const experiment::TrialLogContents read = experiment::ReadTrialLog(path);
  ASSERT_EQ(read.Sessions.size(), 1u) << (read.Error ? experiment::NoteText(*read.Error) : "");
  EXPECT_EQ(read.Sessions[0].Rows.size(), 2u);
  ASSERT_NE(form->SavedLabel(), nullptr);
  EXPECT_EQ(form->SavedLabel()->Caption(), "結果を保存しました:\n" + path);
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAsSpaceDoes) {
  form->SetVisible(true);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    TFormDisp* before = form->FormDisp;
    form->DoExpButton.setFocus();
    QTest::keyClick(&form->DoExpButton, key);
    EXPECT_NE(form->FormDisp, before) << key;
  }
}

TEST_F(MainWindowTest, ExitEndsTheProgram) {
  TForm1* raw = form.release();  // the event loop's end destroys it
  QTimer::singleShot(0, [raw] { QTest::mouseClick(&raw->ExitButton, Qt::LeftButton); });
  EXPECT_EQ(ui::Application::Run(), 0);
}

// A design that asks for the observer: "Do Exp" asks first; Cancel starts
// nothing, a good name (trimmed) starts the run under it.
TEST_F(MainWindowTest, DoExpAsksForTheObserverWhenTheDesignDoes) {
  Make({.AskObserver = true});
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
  EXPECT_EQ(form->FormDisp, nullptr);
  answer(QStringLiteral("\u3000 Aoi "), true);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  ASSERT_NE(form->FormDisp, nullptr);
  EXPECT_EQ(form->FormDisp->run().Log().Observer, "Aoi");
}

// "Do Exp" while an experiment window is open: each window runs a run of its
// own, both reach the file as sessions of their own, and "Disp. Data" shows
// the run whose "Exit" handed over.
TEST_F(MainWindowTest, TwoExperimentWindowsOpenAtOnceKeepTheirRunsApart) {
  QTemporaryDir folder;
  const std::string path = folder.filePath("class.csv").toStdString();
  experiment::TrialLogFile file;
  ASSERT_EQ(file.Open(path).Reason(), "");
  Make({.Seed = 99, .Sinks = {&file}});
  form->SetVisible(true);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  TFormDisp* first = form->FormDisp;
  Trials(first, 12);
  QTest::mouseClick(&form->DoExpButton, Qt::LeftButton);
  TFormDisp* second = form->FormDisp;
  ASSERT_NE(second, first);
  Trials(second, 11);
  Trials(first, 2);
  EXPECT_EQ(first->run().TrialCounter, 5);
  EXPECT_EQ(second->run().TrialCounter, 2);
  EXPECT_EQ(first->run().TrialResults[4].Response, 1);
  EXPECT_EQ(second->run().TrialResults[2].Response, 0);

  QTest::mouseClick(&second->ExitButton, Qt::LeftButton);
  QTest::mouseClick(&form->DataButton, Qt::LeftButton);
  ASSERT_NE(form->DispGraph2, nullptr);
  EXPECT_EQ(&form->DispGraph2->run(), &second->run());

  const experiment::TrialLogContents read = experiment::ReadTrialLog(path);
  ASSERT_EQ(read.Sessions.size(), 2u) << (read.Error ? experiment::NoteText(*read.Error) : "");
  EXPECT_EQ(read.Sessions[0].Rows.size(), 14u);
  EXPECT_EQ(read.Sessions[1].Rows.size(), 11u);
  for (std::size_t i = 0; i < 14; ++i) {
    EXPECT_EQ(read.Sessions[0].Rows[i].Stimulus, first->run().Log().Rows[i].Stimulus) << i;
    EXPECT_EQ(read.Sessions[1].Rows[i % 11].Stimulus, second->run().Log().Rows[i % 11].Stimulus) << i;
  }
}

}  // namespace
