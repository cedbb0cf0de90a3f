#include "windows/ClassWindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>

#include "tests/support/ClassSimulation.h"
#include "windows/ClassTables.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder(const std::string& name) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("class-window-" + std::to_string(::getpid()) + "-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// The session table's column under a heading, as the window shows it.
int ColumnOf(const ClassWindow& w, const char* heading) {
  const QAbstractItemModel* table = w.SortedModel();
  const QString shown = QCoreApplication::translate("ClassTables", heading);
  for (int c = 0; c < table->columnCount(); ++c)
    if (table->headerData(c, Qt::Horizontal).toString() == shown) return c;
  return -1;
}

int RecordedOf(const ClassWindow& w, const std::string& observer, const std::string& design) {
  for (const classdata::ClassEntry& e : w.Loader().Sessions())
    if (e.data.observer == observer && e.data.design == design) return e.recorded;
  return -1;
}

// A row appended by another writer shows in the open window; a last line
// still being written is left until it is whole; the sort and the selected
// session stay.
TEST(ClassWindowTest, AppendedRowShowsAndPartialLineWaits) {
  const fs::path folder = Folder("live");
  std::vector<classsim::Observer> observers = classsim::LiberalConservativeClass(2, 40);
  std::vector<std::vector<experiment::TrialLogRow>> rows;
  for (const classsim::Observer& o : observers) {
    rows.push_back(classsim::Simulate(o));
    const std::vector<experiment::TrialLogRow> start(rows.back().begin(), rows.back().end() - 1);
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), start,
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  }
  ClassWindow w({folder.string()});
  const int design = ColumnOf(w, "デザイン"), time = ColumnOf(w, "セッション");
  ASSERT_GE(design, 0);
  ASSERT_GE(time, 0);
  w.SessionTable()->sortByColumn(design, Qt::DescendingOrder);
  w.SessionTable()->selectRow(1);
  const QString selected = w.SortedModel()->index(1, time).data().toString();
  ASSERT_EQ(RecordedOf(w, "S01", "liberal"), 39);

  const std::string file = (folder / "liberalS01.csv").string();
  const std::string last = experiment::FormatTrialLogLine(rows[0].back(), experiment::TrialLogFormat::kClass);
  std::ofstream(file, std::ios::app) << last.substr(0, 20) << std::flush;
  w.Refresh();
  EXPECT_EQ(RecordedOf(w, "S01", "liberal"), 39);
  EXPECT_EQ(w.ProblemList()->count(), 0);
  std::ofstream(file, std::ios::app) << last.substr(20) << std::flush;
  // Picked up by the watcher or the poll, as a user would see it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return RecordedOf(w, "S01", "liberal") == 40; }, 20000));
  EXPECT_EQ(w.ProblemList()->count(), 0);
  EXPECT_EQ(w.SortedModel()->sortColumn(), design);
  const QModelIndexList now = w.SessionTable()->selectionModel()->selectedRows(time);
  ASSERT_EQ(now.size(), 1);
  EXPECT_EQ(now.front().data().toString(), selected);
}

// A file that is not a per-trial file is listed; the others are shown.
TEST(ClassWindowTest, BadFileListedTheRestShown) {
  const fs::path folder = Folder("bad");
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(2, 40))
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), classsim::Simulate(o),
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  std::ofstream(folder / "sub-notes.csv") << "observer;remarks\n";
  ClassWindow w({folder.string(), (folder / "missing.csv").string()});
  EXPECT_EQ(w.SortedModel()->rowCount(), 4);
  ASSERT_EQ(w.ProblemList()->count(), 2);
  EXPECT_TRUE(w.ProblemList()->item(0)->text().contains("sub-notes.csv:1:"));
  EXPECT_TRUE(w.ProblemList()->item(1)->text().contains("missing.csv"));
}

// Every column of the session table has its heading in the window and a
// text and a sort key for a fitted session and for one without a fit.
TEST(ClassWindowTest, EveryColumnShowsFittedAndUnfittedSessions) {
  const fs::path folder = Folder("columns");
  classsim::Observer fitted = classsim::LiberalConservativeClass(1, 40).front(), flat = fitted;
  flat.name = "S02";
  flat.session = classsim::SessionTime(100);
  flat.criteria = {9, 10, 11};  // every trial answered 1: no fit
  for (const classsim::Observer& o : {fitted, flat})
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.name + ".csv")).string(), classsim::Simulate(o),
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  ClassWindow w({folder.string()});
  ASSERT_EQ(w.Loader().Sessions().size(), 2u);
  ASSERT_NE(w.Loader().Sessions()[0].data.fit.has_value(), w.Loader().Sessions()[1].data.fit.has_value());
  const QAbstractItemModel* table = w.SortedModel();
  const std::span<const classtext::SessionColumn> columns = classtext::SessionColumns();
  ASSERT_EQ(table->columnCount(), static_cast<int>(columns.size()));
  for (int c = 0; c < table->columnCount(); ++c) {
    EXPECT_EQ(table->headerData(c, Qt::Horizontal).toString(), classtext::SessionHeading(columns[c]));
    EXPECT_FALSE(classtext::SessionHeading(columns[c]).isEmpty()) << c;
    for (int r = 0; r < 2; ++r) {
      EXPECT_FALSE(table->index(r, c).data().toString().isEmpty()) << r << ", " << c;
      EXPECT_TRUE(table->index(r, c).data(Qt::UserRole).isValid()) << r << ", " << c;
    }
  }
}

// Recorded trials off the exposure aimed at by more than a frame (60 Hz when
// the screen named none); unknown for files that do not say what was aimed at.
TEST(ClassWindowTest, MissedExposuresCountRecordedTrialsOffByMoreThanAFrame) {
  const auto row = [](bool practice, double shown, double asked, double frame) {
    experiment::TrialLogRow r{};
    r.Practice = practice, r.ExposureMs = shown, r.AskedMs = asked, r.FrameMs = frame;
    return r;
  };
  EXPECT_EQ(classdata::MissedExposures({row(false, 100, 0, 0)}), std::nullopt);
  EXPECT_EQ(classdata::MissedExposures({row(false, 116.6, 100, 16.67), row(false, 116.8, 100, 16.67),
                                        row(false, 83.2, 100, 16.67), row(true, 300, 100, 16.67)}),
            2);
  EXPECT_EQ(classdata::MissedExposures({row(false, 108.4, 100, 0), row(false, 116.8, 100, 0)}), 1);
}

// In Japanese every reason the window lists is in Japanese: a file that is
// not ours, lines left out, a missing file, a file of neither encoding, and
// the notes on a file read as CP932 and on one separated by ';'.
TEST(ClassWindowTest, ReasonsAreListedInTheWindowsLanguage) {
  const fs::path folder = Folder("reasons");
  const classsim::Observer o = classsim::LiberalConservativeClass(1, 40).front();
  std::string rows;
  for (const experiment::TrialLogRow& row : classsim::Simulate(o))
    rows += experiment::FormatTrialLogLine(row, experiment::TrialLogFormat::kClass);
  const std::string header = experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  std::string semicolons = header + rows;
  std::replace(semicolons.begin(), semicolons.end(), ',', ';');
  const std::pair<const char*, std::string> files[] = {
      {"notes.csv", "observer;remarks\n"},
      {"lines.csv", header + rows + rows.substr(0, rows.find('\n') + 1) + "x,y\n" +
                        std::string(rows).replace(rows.find(",4,"), 3, ",9,").substr(0, rows.find('\n') + 1)},
      {"cp932.csv", header + "2026-12-08T09:30:00.000Z,\x8D\xB2\x93\xA1" + rows.substr(rows.find(',', 25))},
      {"neither.csv", header + "2026-12-08T09:30:00.000Z,Jos\xE9" + rows.substr(rows.find(',', 25))},
      {"semicolons.csv", semicolons}};
  for (const auto& [name, text] : files) std::ofstream(folder / name, std::ios::binary) << text;
  ClassWindow w({folder.string(), (folder / "missing.csv").string()});
  ASSERT_GE(w.ProblemList()->count(), 8);
  for (int i = 0; i < w.ProblemList()->count(); ++i) {
    const QString item = w.ProblemList()->item(i)->text();
    const QString reason = item.mid(item.indexOf(QStringLiteral(": "), static_cast<qsizetype>(folder.string().size())));
    EXPECT_TRUE(std::any_of(reason.begin(), reason.end(), [](QChar c) { return c.unicode() >= 0x3040; }))
        << item.toStdString();
  }
}

// Where the view from which the first column's first cell shows, if any
// does: the table, or a view it holds, with that cell within the table.
bool ObserverInView(QTableView* table) {
  QList<QTableView*> views = table->findChildren<QTableView*>();
  views.prepend(table);
  return std::any_of(views.begin(), views.end(), [table](const QTableView* v) {
    const QRect cell = v->visualRect(v->model()->index(0, 0));
    return v->isVisible() && !v->isColumnHidden(0) && v->viewport()->rect().contains(cell) &&
           table->rect().contains(QRect(v->viewport()->mapTo(table, cell.topLeft()), cell.size()));
  });
}

// On a laptop's screen, too small for the window's full size (1500 x 940),
// the window opens within the screen's available area, and the observer
// column stays in view when the session table scrolls sideways. Run on such
// a screen as ClassWindowOnALaptopScreen.
TEST(ClassWindowTest, OnALaptopScreenOpensWithinItWithTheObserverInView) {
  const fs::path folder = Folder("screen");
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(3, 40))
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), classsim::Simulate(o),
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  ClassWindow w({folder.string()});
  if (w.screen()->size() != QSize(1366, 768)) GTEST_SKIP() << "not a 1366 x 768 screen";
  w.show();
  QCoreApplication::processEvents();  // all that showing asks for done
  const QRect room = w.screen()->availableGeometry();
  EXPECT_LE(w.frameGeometry().width(), room.width());
  EXPECT_LE(w.frameGeometry().height(), room.height());
  QTableView* table = w.SessionTable();
  EXPECT_TRUE(ObserverInView(table));
  ASSERT_GT(table->horizontalScrollBar()->maximum(), 0);
  table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
  EXPECT_TRUE(ObserverInView(table));
}

}  // namespace
