#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace shell {

// The header of the fit report of the standard experiment's files, without
// its line end.
extern const char* const kFitReportHeader;

// The "--fit" report: reads the per-trial files and writes to out a CSV
// header, then one line per session (in file order) with the counts of its
// recorded trials and the maximum-likelihood binormal fit of them: numbers
// with 6 significant digits and "." whatever the locale; status "ok", or
// "degenerate" with the number fields empty. The criteria columns run to
// c(K-1) of the largest K among the sessions (empty cells for sessions with
// fewer); observer and design follow the session when any file names them;
// the last column says whether the run is "complete" or "incomplete" (fewer
// recorded trials than its design has: as its file says, else the most
// recorded by a session of its design among the files). A line that cannot
// be read is named on err and skipped; a file that cannot be read or holds no
// sessions is named and skipped; the others are still reported. Returns 0,
// or 2 when anything was named.
int RunFitReport(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);

}  // namespace shell
