#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/BinormalFit.h"
#include "stats/ClassSummary.h"
#include "stats/RatingCounts.h"

namespace classdata {

// The numbers of every report: 6 significant digits, shortest form, "." as
// the decimal separator whatever the locale, never "-0".
std::string FormatNumber(double v);

// A column of a CSV report: its name in the header and how a row's field is
// written (quoted where its text may need it).
template <class Row>
struct CsvColumn {
  std::string name;
  std::function<std::string(const Row&)> field;
};

// The header, and one row's line; LF included in both.
template <class Row>
std::string CsvHeader(const std::vector<CsvColumn<Row>>& columns) {
  std::string line;
  for (const CsvColumn<Row>& c : columns) line.append(line.empty() ? "" : ",").append(c.name);
  return line + '\n';
}
template <class Row>
std::string CsvLine(const std::vector<CsvColumn<Row>>& columns, const Row& row) {
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) line.append(i == 0 ? "" : ",").append(columns[i].field(row));
  return line + '\n';
}

// One session of the per-session fit table ("--fit" and the class window's
// table): the counts of its recorded trials and their fit, and whether it
// is a run broken off.
struct FitSession {
  const std::string& file;
  const std::string& session;
  const std::string& observer;
  const std::string& design;
  const roc::RatingCounts& counts;
  const std::optional<roc::BinormalFit>& fit;
  bool incomplete;
};

// The fit table's columns: how many criteria columns, and whether observer
// and design follow the session. A session without a fit is "degenerate"
// with the number fields empty; the last column says "complete" or
// "incomplete".
struct FitCsvLayout {
  int criteria;
  bool identities;
};
std::vector<CsvColumn<FitSession>> FitCsvColumns(const FitCsvLayout& layout);

// Each session's counts of its recorded trials and their fit, and whether
// it is incomplete among the others (roc::MarkIncomplete), in order.
std::vector<roc::ClassSession> FitEach(const std::vector<const experiment::TrialLogSession*>& sessions);

// The sessions of a class as a whole fit table, header first: the criteria
// columns to the largest scale, observer and design when any session names
// one or runs another design than the standard one.
std::string FitTableCsv(const std::vector<ClassEntry>& sessions);

// The class summary: one line per design, its incomplete sessions counted
// and, unless included, left out of every other column. A design whose
// sessions are on different rating scales has the word "mixed_scales" in the
// pooled and criteria columns, a pooled fit without a finite maximum
// "degenerate"; a mean over no fitted session, a spread or an interval over
// fewer than two is empty.
const std::vector<CsvColumn<roc::DesignSummary>>& ClassSummaryColumns();

}  // namespace classdata
