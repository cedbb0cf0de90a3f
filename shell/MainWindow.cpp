#include "MainWindow.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>

#include <chrono>

#include "windows/ObserverDialog.h"
#include "windows/RunFileSink.h"
#include "windows/UDispPattern.h"
#include "windows/UDispGraph2.h"
#include "ui/Colour.h"
#include "ui/qt/ControlFont.h"

TForm1::TForm1(ui::Form* owner, experiment::RunSettings settings)
    : ui::Form(owner),
      MsgLabel(this, "MsgLabel", 80, 48),
      DoExpButton(this, "Do Exp", 88, 112, 75, 25),
      ExitButton(this, "Exit", 264, 112, 75, 25),
      DataButton(this, "Disp. Data", 96, 112, 75, 25),
      settings_(std::move(settings)) {
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
  if (FirstActivation != 0) return;
  FirstActivation = 1;
  DataButton.SetVisible(false);
  MsgLabel.SetCaption(QCoreApplication::translate("TForm1", "「Do Exp」ボタンを押して下さい").toStdString());
}

void TForm1::DoExpButtonClick() {
  if (settings_.AskObserver) {
    const std::optional<std::string> name = ObserverDialog::Ask(this);
    if (!name) return;  // cancelled: nothing starts
    settings_.Observer = *name;  // offered again for the next run
  }
  // Each run's session time is its own, even for two begun within a millisecond.
  using namespace std::chrono;
  lastStart_ = std::max(time_point_cast<milliseconds>(system_clock::now()), lastStart_ + milliseconds(1));
  const std::string session = experiment::FormatSessionTime(lastStart_);
  auto run = std::make_shared<experiment::Run>(experiment::MakeRun(settings_, session, settings_.Observer));
  RunFileSink* saved = nullptr;
  if (settings_.Autosave) {
    auto sink = std::make_unique<RunFileSink>(session, settings_.Observer, settings_.Format);
    saved = sink.get();
    run->AddSink(std::move(sink));
  }
  FormDisp = Create<TFormDisp>(this, run, [this, run, saved] { ExperimentExit(run, saved); });
  FormDisp->SetVisible(true);
}

void TForm1::DataButtonClick() {
  if (!handedOver_) handedOver_ = std::make_shared<experiment::Run>();
  DispGraph2 = Create<TDispGraph2>(this, handedOver_);
  DispGraph2->SetVisible(true);
}

void TForm1::ExperimentExit(std::shared_ptr<const experiment::Run> run, const RunFileSink* saved) {
  handedOver_ = std::move(run);
  SetVisible(true);
  DoExpButton.SetVisible(false);
  DataButton.SetVisible(true);
  MsgLabel.SetCaption(QCoreApplication::translate("TForm1", "Disp. Data ボタンを押して下さい").toStdString());
  if (saved && saved->IsOpen()) ShowSavedPath(saved->Path());
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
// options that fill it, the window shows its designed controls alone.
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

void TForm1::keyPressEvent(QKeyEvent* e) {
  auto* button = dynamic_cast<ui::Button*>(focusWidget());
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  if (!enter || e->isAutoRepeat() || button == nullptr || !button->isVisible() || !button->isEnabled()) {
    ui::Form::keyPressEvent(e);
    return;
  }
  button->click();
}
