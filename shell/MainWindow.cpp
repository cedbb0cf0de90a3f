#include "MainWindow.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include "experiment/RunLog.h"
#include "windows/ObserverDialog.h"
#include "windows/UDispPattern.h"
#include "windows/UDispGraph2.h"
#include "ui/Colour.h"
#include "ui/qt/ControlFont.h"

MainWindowState MainWindow;

TForm1::TForm1(ui::Form* owner)
    : ui::Form(owner),
      MsgLabel(this, "MsgLabel", 80, 48),
      DoExpButton(this, "Do Exp", 88, 112, 75, 25),
      ExitButton(this, "Exit", 264, 112, 75, 25),
      DataButton(this, "Disp. Data", 96, 112, 75, 25) {
  SetCaption("Form1");
  SetBounds(203, 107, 432, 250);
  MsgLabel.setFont(ui::ControlFont(ui::kDefaultFontName, 16));
  MsgLabel.SetFontColor(ui::clBlack);
  MsgLabel.adjustSize();
  setTabOrder(&DoExpButton, &ExitButton);
  setTabOrder(&ExitButton, &DataButton);

  OnActivate = [this] { FormActivate(); };
  DoExpButton.OnClick = [this] { DoExpButtonClick(); };
  ExitButton.OnClick = [this] { ExitButtonClick(); };
  DataButton.OnClick = [this] { DataButtonClick(); };
}

void TForm1::FormActivate() {
  if (MainWindow.FirstActivation != 0) return;
  MainWindow.FirstActivation = 1;
  DataButton.SetVisible(false);
  MsgLabel.SetCaption(QCoreApplication::translate("TForm1", "「Do Exp」ボタンを押して下さい").toStdString());
}

void TForm1::DoExpButtonClick() {
  if (experiment::RunLog.AskObserver) {
    const std::optional<std::string> name = ObserverDialog::Ask(this);
    if (!name) return;  // cancelled: nothing starts
    experiment::RunLog.Observer = *name;
  }
  MainWindow.FormDisp = Create<TFormDisp>(this, [this] { ExperimentExit(); });
  MainWindow.FormDisp->SetVisible(true);
}

void TForm1::DataButtonClick() {
  MainWindow.DispGraph2 = Create<TDispGraph2>(this);
  MainWindow.DispGraph2->SetVisible(true);
}

void TForm1::ExperimentExit() {
  SetVisible(true);
  DoExpButton.SetVisible(false);
  DataButton.SetVisible(true);
  MsgLabel.SetCaption(QCoreApplication::translate("TForm1", "Disp. Data ボタンを押して下さい").toStdString());
  const experiment::RunLogState& log = experiment::RunLog;
  if (log.Autosave && log.RunFile.IsOpen()) ShowSavedPath(log.RunFile.Path());
}

// Below the buttons, in two lines; a path too long for the window is shortened
// in the middle and shown whole as the tool tip.
void TForm1::ShowSavedPath(const std::string& path) {
  if (!savedLabel_) savedLabel_ = NewStatusLine();
  const QString full = QString::fromStdString(path);
  const int room = ClientWidth() - 2 * savedLabel_->Left();
  const QString shown = QFontMetrics(savedLabel_->font()).elidedText(full, Qt::ElideMiddle, room);
  savedLabel_->SetCaption(QCoreApplication::translate("TForm1", "結果を保存しました:\n").toStdString() +
                          shown.toStdString());
  savedLabel_->setToolTip(full);
  PlaceStatusLines();
}

// Below the buttons: the state in its words, and a reason shortened to the
// window's width, shown whole as the tool tip.
void TForm1::ShowStoreStatus(const std::string& line) {
  if (!storeLabel_) storeLabel_ = NewStatusLine();
  const QString text = QString::fromStdString(line);
  const int room = ClientWidth() - 2 * storeLabel_->Left();
  const QFontMetrics metrics(storeLabel_->font());
  QStringList shown;
  for (const QString& part : text.split(u'\n')) shown << metrics.elidedText(part, Qt::ElideRight, room);
  storeLabel_->SetCaption(shown.join(u'\n').toStdString());
  storeLabel_->setToolTip(text);
  PlaceStatusLines();
}

// A selectable label below the buttons, made when first needed: without the
// options that fill it, the window stays as it always was.
ui::Label* TForm1::NewStatusLine() {
  auto* label = new ui::Label(this, "", 16, 150);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->show();
  return label;
}

// The saved file's lines first, the database's state below them.
void TForm1::PlaceStatusLines() {
  if (storeLabel_) storeLabel_->SetTop(savedLabel_ ? savedLabel_->Top() + savedLabel_->sizeHint().height() : 150);
}

void TForm1::ExitButtonClick() { Close(); }
