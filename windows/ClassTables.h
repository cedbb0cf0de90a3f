#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <span>
#include <utility>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"
#include "windows/ClassPlot.h"

// The texts of the class window and of its PDF report, made in one place so
// that both say the same.
namespace classtext {

// A column's heading: its Japanese text, translated in the context
// "ClassTables" with the comment, if any, that tells two like texts apart.
struct Heading {
  const char* text;
  const char* comment = nullptr;
};

// One column of the session table. The window and the PDF report take their
// columns from SessionColumns(), in order: a column is one entry of its list
// (kSessionColumns in ClassTables.cpp).
struct SessionColumn {
  Heading heading;
  const char* tip;              // the heading's tool tip in the window; nullptr for none
  Qt::AlignmentFlag alignment;  // of the cells, in the window and the report
  bool shortened;               // a name: the report shortens it with "…" where it cannot fit
  QVariant (*shown)(const classdata::ClassEntry& entry);    // the cell as shown
  QVariant (*sortKey)(const classdata::ClassEntry& entry);  // nullptr: sorts by what is shown
};
std::span<const SessionColumn> SessionColumns();

// The heading and its tool tip in the interface's language; the tip empty
// when the column has none.
QString SessionHeading(const SessionColumn& column);
QString SessionTip(const SessionColumn& column);

// A session's cell: its text (Qt::DisplayRole) or the value it sorts by
// (Qt::UserRole); sessions without a value sort first.
QVariant SessionCell(const classdata::ClassEntry& entry, const SessionColumn& column, int role);

// The summary of each design: its columns and one design's texts.
QStringList DesignHeaders();
QStringList DesignRow(const roc::DesignSummary& design);

// The comparison of two designs, as lines of a caption and a text.
std::vector<std::pair<QString, QString>> ComparisonLines(const roc::DesignComparison& comparison,
                                                         const roc::DesignSummary* first,
                                                         const roc::DesignSummary* second);

// The plot's content: the sessions in the loader's order, the designs in the
// order of the summaries.
ClassPlotData PlotData(const classdata::ClassLoader& loader, const std::vector<roc::DesignSummary>& designs);

}  // namespace classtext
