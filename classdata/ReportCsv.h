#pragma once
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

// The columns of the per-session fit table ("--fit" and the class window's
// table): how many criteria columns, and whether observer and design follow
// the session.
struct FitCsvLayout {
  int criteria;
  bool identities;
};
std::string FitCsvHeader(const FitCsvLayout& layout);  // without its line end

// One session's line, LF included: the counts of its recorded trials and the
// fit, or "degenerate" with the number fields empty.
std::string FitCsvLine(const std::string& file, const std::string& session, const std::string& observer,
                       const std::string& design, const roc::RatingCounts& counts,
                       const std::optional<roc::BinormalFit>& fit, const FitCsvLayout& layout);

// The sessions of a class as a whole fit table, header first: the criteria
// columns to the largest scale, observer and design when any session names
// one or runs another design than the standard one.
std::string FitTableCsv(const std::vector<ClassEntry>& sessions);

// The class summary: one line per design. A design whose sessions are on
// different rating scales has the word "mixed_scales" in the pooled and
// criteria columns, a pooled fit without a finite maximum "degenerate"; a
// mean over no fitted session, a spread or an interval over fewer than two
// is empty.
extern const char* const kClassSummaryHeader;
std::string ClassSummaryLine(const roc::DesignSummary& design);  // LF included

}  // namespace classdata
