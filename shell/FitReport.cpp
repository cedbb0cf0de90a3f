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
using Columns = std::vector<classdata::CsvColumn<classdata::FitSession>>;

std::string SessionLine(const std::string& file, const experiment::TrialLogSession& session, const Columns& columns) {
  const roc::RatingCounts counts = roc::CountRecordedRows(session.Rows, session.Categories);
  const std::optional<roc::BinormalFit> fit = roc::FitBinormal(counts);
  return classdata::CsvLine(
      columns, classdata::FitSession{file, session.Session, session.Observer, session.DesignName, counts, fit});
}

}  // namespace

int RunFitReport(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  int status = 0;
  std::vector<std::pair<std::string, experiment::TrialLogContents>> read;
  Layout layout{experiment::Design::Standard().Categories() - 1, false};
  for (const std::string& file : files) {
    experiment::TrialLogContents contents = experiment::ReadTrialLog(file);
    for (const experiment::ReadNote& note : contents.Notes) err << experiment::NoteText(note) << '\n';
    for (const experiment::ReadNote& skipped : contents.Skipped)
      err << experiment::NoteText(skipped) << " (line skipped)\n";
    if (!contents.Skipped.empty()) status = 2;
    if (contents.Error) {
      err << experiment::NoteText(*contents.Error) << " (file skipped)\n";
      status = 2;
      continue;
    }
    layout.identities |= contents.Format == experiment::TrialLogFormat::kClass;
    for (const experiment::TrialLogSession& session : contents.Sessions) {
      layout.criteria = std::max(layout.criteria, session.Categories - 1);
    }
    read.emplace_back(file, std::move(contents));
  }
  const Columns columns = classdata::FitCsvColumns(layout);
  out << classdata::CsvHeader(columns);
  for (const auto& [file, contents] : read) {
    for (const experiment::TrialLogSession& session : contents.Sessions) out << SessionLine(file, session, columns);
  }
  out.flush();
  return status;
}

}  // namespace shell
