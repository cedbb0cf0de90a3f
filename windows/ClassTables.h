#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"
#include "windows/ClassPlot.h"

// The texts of the class window and of its PDF report, made in one place so
// that both say the same.
namespace classtext {

// The session table: its columns, and a cell's text (Qt::DisplayRole) or the
// value it sorts by (Qt::UserRole).
enum SessionColumn { kObserver, kDesign, kTime, kRecorded, kMissed, kD, kR, kAz, kDa, kCriteria, kP, kStatus, kColumns };
QStringList SessionHeaders();
QVariant SessionCell(const classdata::ClassEntry& entry, int column, int role);

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
