// The English interface, window by window: no Japanese left in any text and
// no text cut off by its control (also run at 200 % as EnglishAt200Percent).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "shell/MainWindow.h"
#include "tests/support/ClassSimulation.h"
#include "ui/qt/Language.h"
#include "windows/ClassWindow.h"
#include "windows/ObserverDialog.h"
#include "windows/UAnalysisWindow.h"
#include "windows/UDispGraph2.h"
#include "windows/UDispPattern.h"

namespace {

// ASCII but for the statistics' symbols, each line at most `room` wide.
void ExpectShown(const QString& text, const QWidget* w, int room = 1 << 20) {
  EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                          [](QChar c) { return c.unicode() < 0x80 || QStringLiteral("±×−χ²—").contains(c); }))
      << w->metaObject()->className() << ": " << text.toStdString();
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
    EXPECT_LE(w->fontMetrics().horizontalAdvance(line), room) << "cut off: " << line.toStdString();
}

void ExpectEnglishAndFitting(const QWidget& window) {
  ExpectShown(window.windowTitle(), &window);
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    const auto metric = [w](QStyle::PixelMetric m) { return w->style()->pixelMetric(m, nullptr, w); };
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
      ExpectShown(l->text(), w, l->wordWrap() ? 1 << 20 : l->contentsRect().width());
    } else if (qobject_cast<const QCheckBox*>(w)) {
      ExpectShown(w->property("text").toString(), w,
                  w->width() - metric(QStyle::PM_IndicatorWidth) - metric(QStyle::PM_CheckBoxLabelSpacing));
    } else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
      ExpectShown(b->text(), w, w->width() - 2 * metric(QStyle::PM_DefaultFrameWidth) - metric(QStyle::PM_ButtonMargin));
    } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
      ExpectShown(g->title(), w, w->width());
    } else if (const auto* list = qobject_cast<const QListWidget*>(w)) {
      for (int i = 0; i < list->count(); ++i) ExpectShown(list->item(i)->text(), w);
    } else if (const auto* m = qobject_cast<const QMenu*>(w)) {
      for (const QAction* a : m->actions()) ExpectShown(a->text(), w);
    } else if (const auto* t = qobject_cast<const QTableView*>(w)) {
      for (int c = 0; c < t->model()->columnCount(); ++c) {
        if (t->isColumnHidden(c)) continue;
        ExpectShown(t->model()->headerData(c, Qt::Horizontal).toString(), t->horizontalHeader(),
                    t->horizontalHeader()->sectionSize(c) - 2 * metric(QStyle::PM_HeaderMargin));
        for (int r = 0; r < t->model()->rowCount(); ++r) ExpectShown(t->model()->index(r, c).data().toString(), w);
      }
    }
  }
}

struct English : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(ui::UseLanguage(ui::Language::kEnglish)); }
  void TearDown() override { ui::UseLanguage(ui::Language::kJapanese); }
};

TEST_F(English, EveryWindow) {
  const std::unique_ptr<TForm1> main(ui::Form::Create<TForm1>(nullptr));
  main->SetVisible(true);
  ExpectEnglishAndFitting(*main);
  main->DoExpButton.click();
  ExpectEnglishAndFitting(*main->FormDisp);
  main->FormDisp->ExitButton.click();
  ExpectEnglishAndFitting(*main);
  main->DataButton.click();
  ExpectEnglishAndFitting(*main->DispGraph2);  // with its plot menu

  ObserverDialog dialog(main.get());
  dialog.show();
  dialog.Field()->setText(QStringLiteral("\t"));  // refused: the reason is shown
  ExpectEnglishAndFitting(dialog);
  for (const bool data : {true, false}) {
    TAnalysisWindow analysis;
    analysis.SetData(data ? std::optional(roc::RatingCounts{{10, 8, 5, 2}, {2, 5, 8, 10}}) : std::nullopt);
    analysis.show();
    ExpectEnglishAndFitting(analysis);
  }

  // The class window on two designs, one file it cannot read among them.
  const auto folder = std::filesystem::path(::testing::TempDir()) / "english-class";
  std::filesystem::create_directories(folder);
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(3, 40))
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), classsim::Simulate(o),
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  std::ofstream(folder / "notes.csv") << "observer;remarks\n";
  ClassWindow classWindow({folder.string()});
  classWindow.show();
  ExpectEnglishAndFitting(classWindow);
  std::filesystem::remove_all(folder);
}

}  // namespace
