#pragma once
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"
#include "windows/ClassSessionModel.h"
#include "windows/ClassPlot.h"
#include "windows/ClassReport.h"
#include "windows/FrozenColumnTable.h"

class QCheckBox;
class QComboBox;
class QVBoxLayout;
class QLabel;
class QListWidget;
class QRadioButton;
class QSortFilterProxyModel;
class QSplitter;
class QTableView;
class QTableWidget;

// "クラスの結果": every session of the class in a sortable table and on one
// ROC plot, the designs' summaries and the comparison of two designs (with
// the incomplete sessions when a check box says so), what could not be read
// and how files were read, kept up to date while the sources grow (a
// file-system watcher, and a poll every 2 s for what the watcher misses).
class ClassWindow : public QWidget {
 public:
  explicit ClassWindow(const std::vector<std::string>& sources, QWidget* parent = nullptr);
  ~ClassWindow() override;

  // Reads what changed in the sources and shows it.
  void Refresh();

  // What the window shows, for tests.
  const classdata::ClassLoader& Loader() const { return loader_; }
  QSortFilterProxyModel* SortedModel() const { return sorted_; }
  QTableView* SessionTable() const { return table_; }
  ClassPlotView* Plot() const { return plot_; }
  QListWidget* ProblemList() const { return problems_; }
  QCheckBox* IncompleteBox() const { return withIncomplete_; }

  // Whether the designs' summaries and comparison count the incomplete
  // sessions (runs broken off); they are left out until the check box is set.
  void IncludeIncomplete(bool on);

  // The content of the PDF report as the window shows it.
  ClassReportContent ReportContent() const;

  // What the save buttons write once a path is chosen: the report (PDF), the
  // plot (PNG) and the session table (CSV), each through a temporary file.
  // A path that is one of the sources or lies in a source folder is refused
  // before anything is written. Throw EWriteError when refused or not written.
  void SaveReportTo(const QString& path) const;
  void SaveFigureTo(const QString& path) const;
  void SaveTableTo(const QString& path) const;

 private:
  QWidget* BuildTop();
  QVBoxLayout* BuildComparison();
  QWidget* BuildRight();
  void ShowDesigns();
  void ShowComparison();
  void ShowProblems();
  void ShowStatus();
  void FitScreen();
  void showEvent(QShowEvent* event) override;
  void WatchSources();
  void SelectionChanged();
  void SaveReport();
  void SaveFigure();
  void SaveTable();
  void RefuseSource(const QString& path) const;

  classdata::ClassLoader loader_;
  std::vector<std::string> sources_;  // as given
  QStringList sourceNames_;
  std::vector<roc::DesignSummary> designs_;
  ClassSessionModel* model_;
  QSortFilterProxyModel* sorted_;
  FrozenColumnTable* table_;
  ClassPlotView* plot_;
  QRadioButton* rocButton_;
  QRadioButton* zrocButton_;
  QTableWidget* designTable_;
  QCheckBox* withIncomplete_;
  QComboBox* firstDesign_;
  QComboBox* secondDesign_;
  QWidget* comparison_;
  QListWidget* problems_;
  QSplitter* splitter_;  // the plot beside the tables
  QSplitter* sections_;  // the sessions, and below them what is in below_
  QWidget* below_;
  QLabel* status_;
  QFileSystemWatcher watcher_;
  QTimer poll_;
  QTimer soon_;  // a watcher's reports, gathered into one read
  bool shared_ = false;  // the splitters' room shared out at the first showing
};
