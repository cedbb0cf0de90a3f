#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace shell {

// The header of the fit report, without its line end.
extern const char* const kFitReportHeader;

// The "--fit" report: reads each per-trial file in turn and writes to out a
// CSV header, then one line per session (in file order) with the counts of
// its recorded trials and the maximum-likelihood binormal fit of them: numbers
// with 6 significant digits and "." whatever the locale; status "ok", or
// "degenerate" with the number fields empty. A file that cannot be read or
// holds a malformed line is named, with the line, on err and skipped; the
// others are still reported. Returns 0, or 2 when a file was skipped.
int RunFitReport(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);

}  // namespace shell
