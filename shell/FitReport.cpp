#include "FitReport.h"

#include <algorithm>
#include <optional>

#include "classdata/ReportCsv.h"
#include "experiment/TrialLog.h"
#include "stats/BinormalFit.h"

namespace shell {

const char* const kFitReportHeader =
    "file,session,recorded,noise_counts,signal_counts,d,d_se,R,R_se,c1,c1_se,c2,c2_se,c3,c3_se,"
    "a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status";

namespace {

// The columns of the report: which of the optional ones it has.
using Layout = classdata::FitCsvLayout;

std::string SessionLine(const std::string& file, const experiment::TrialLogSession& session, const Layout& layout) {
  const roc::RatingCounts counts = roc::CountRecordedRows(session.Rows, session.Categories);
  return classdata::FitCsvLine(file, session.Session, session.Observer, session.DesignName, counts,
                               roc::FitBinormal(counts), layout);
}

}  // namespace

int RunFitReport(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  int status = 0;
  std::vector<std::pair<std::string, experiment::TrialLogContents>> read;
  Layout layout{experiment::Design::Standard().Categories() - 1, false};
  for (const std::string& file : files) {
    experiment::TrialLogContents contents = experiment::ReadTrialLog(file);
    for (const std::string& skipped : contents.Skipped) err << skipped << " (line skipped)\n";
    if (!contents.Skipped.empty()) status = 2;
    if (!contents.Error.empty()) {
      err << contents.Error << " (file skipped)\n";
      status = 2;
      continue;
    }
    layout.identities |= contents.Format == experiment::TrialLogFormat::kClass;
    for (const experiment::TrialLogSession& session : contents.Sessions) {
      layout.criteria = std::max(layout.criteria, session.Categories - 1);
    }
    read.emplace_back(file, std::move(contents));
  }
  out << classdata::FitCsvHeader(layout) << '\n';
  for (const auto& [file, contents] : read) {
    for (const experiment::TrialLogSession& session : contents.Sessions) out << SessionLine(file, session, layout);
  }
  out.flush();
  return status;
}

}  // namespace shell
