// The English interface: every window and dialog, walked control by
// control, shows no Japanese and no text cut off by its control. Run at
// 100 % and (a second ctest entry) at 200 % scale.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QLineEdit>
#include <QTableView>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "shell/MainWindow.h"
#include "tests/support/ClassSimulation.h"
#include "ui/qt/Language.h"
#include "windows/ClassWindow.h"
#include "windows/ObserverDialog.h"
#include "windows/UAnalysisWindow.h"
#include "windows/UDispGraph2.h"
#include "windows/UDispPattern.h"

namespace {

// Beyond ASCII an English text may hold the statistics' symbols.
void ExpectEnglish(const QString& text, const QWidget* where) {
  for (const QChar c : text) {
    if (c.unicode() < 0x80 || QStringLiteral("±×−χ²—").contains(c)) continue;
    ADD_FAILURE() << where->metaObject()->className() << " " << where->objectName().toStdString() << ": \""
                  << text.toStdString() << "\"";
    return;
  }
}

void ExpectFits(const QString& text, const QFont& font, int room, const QWidget* where) {
  const QFontMetrics metrics(font);
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
    EXPECT_LE(metrics.horizontalAdvance(line), room)
        << where->metaObject()->className() << ": \"" << line.toStdString() << "\" is cut off";
  }
}

// The room a button leaves its text: its width less the frame and margins
// its style draws (and the check box's indicator).
int ButtonRoom(const QAbstractButton* b) {
  const QStyle* style = b->style();
  if (qobject_cast<const QCheckBox*>(b)) {
    return b->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b) -
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
  }
  return b->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b) -
         style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
}

void ExpectItemView(const QAbstractItemView* view) {
  const QAbstractItemModel* model = view->model();
  const auto* table = qobject_cast<const QTableView*>(view);
  for (int c = 0; c < model->columnCount(); ++c) {
    const QString head = model->headerData(c, Qt::Horizontal).toString();
    ExpectEnglish(head, view);
    if (table && !table->isColumnHidden(c)) {
      const QHeaderView* header = table->horizontalHeader();
      ExpectFits(head, header->font(),
                 header->sectionSize(c) - 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin), view);
    }
    for (int r = 0; r < model->rowCount(); ++r) ExpectEnglish(model->index(r, c).data().toString(), view);
  }
}

// Every text of the window and its controls, shown or to be shown.
void ExpectEnglishAndFitting(const QWidget& window) {
  ExpectEnglish(window.windowTitle(), &window);
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
      ExpectEnglish(label->text(), w);
      if (!label->wordWrap()) ExpectFits(label->text(), label->font(), label->contentsRect().width(), w);
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      ExpectEnglish(button->text(), w);
      ExpectFits(button->text(), button->font(), ButtonRoom(button), w);
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
      ExpectEnglish(group->title(), w);
      ExpectFits(group->title(), group->font(), group->width(), w);
    } else if (const auto* menu = qobject_cast<const QMenu*>(w)) {
      for (const QAction* action : menu->actions()) ExpectEnglish(action->text(), w);
    } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < combo->count(); ++i) ExpectEnglish(combo->itemText(i), w);
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(w)) {
      ExpectItemView(view);
    }
  }
}

struct English : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(ui::UseLanguage(ui::Language::kEnglish)); }
  void TearDown() override { ui::UseLanguage(ui::Language::kJapanese); }
};

// The experiment from the main window through the experiment window to the
// ROC window with its menu, and the observer's dialog with a refused name.
TEST_F(English, TheExperimentsWindows) {
  MainWindow.Reset();
  MainWindow.Form1 = ui::Form::Create<TForm1>(nullptr);
  const std::unique_ptr<TForm1> main(MainWindow.Form1);
  main->SetVisible(true);
  ExpectEnglishAndFitting(*main);

  main->DoExpButton.click();
  ASSERT_NE(MainWindow.FormDisp, nullptr);
  ExpectEnglishAndFitting(*MainWindow.FormDisp);
  MainWindow.FormDisp->ExitButton.click();
  ExpectEnglishAndFitting(*main);

  main->DataButton.click();
  ASSERT_NE(MainWindow.DispGraph2, nullptr);
  ExpectEnglishAndFitting(*MainWindow.DispGraph2);

  ObserverDialog dialog(main.get());
  dialog.show();
  dialog.Field()->setText(QStringLiteral("\t"));
  ExpectEnglishAndFitting(dialog);
}

// The analysis window with a fit, and without data.
TEST_F(English, TheAnalysisWindow) {
  for (const std::optional<roc::RatingCounts>& counts :
       {std::optional<roc::RatingCounts>(roc::RatingCounts{{10, 8, 5, 2}, {2, 5, 8, 10}}),
        std::optional<roc::RatingCounts>()}) {
    TAnalysisWindow w;
    w.SetData(counts);
    w.show();
    ExpectEnglishAndFitting(w);
  }
}

// The class window on two designs, one file it cannot read among them.
TEST_F(English, TheClassWindow) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(::testing::TempDir()) / ("english-class-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(3, 40))
    ASSERT_FALSE(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), classsim::Simulate(o),
                                           experiment::TrialLogFormat::kClass));
  std::ofstream(folder / "notes.csv") << "observer;remarks\n";
  ClassWindow w({folder.string()});
  w.show();
  ExpectEnglishAndFitting(w);
  fs::remove_all(folder);
}

}  // namespace
