#include "FitReport.h"

#include <algorithm>
#include <optional>

#include "classdata/ReportCsv.h"
#include "experiment/TrialLog.h"
#include "stats/BinormalFit.h"

namespace shell {

const char* const kFitReportHeader =
    "file,session,recorded,noise_counts,signal_counts,d,d_se,R,R_se,c1,c1_se,c2,c2_se,c3,c3_se,"
    "a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status,completeness";

int RunFitReport(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  int status = 0;
  // Each session with its file, fitted; whether a run is whole is known once
  // every session of its design is.
  std::vector<std::pair<const std::string*, experiment::TrialLogSession>> read;
  classdata::FitCsvLayout layout{experiment::Design::Standard().Categories() - 1, false};
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
    for (experiment::TrialLogSession& session : contents.Sessions) {
      layout.criteria = std::max(layout.criteria, session.Categories - 1);
      read.emplace_back(&file, std::move(session));
    }
  }
  std::vector<const experiment::TrialLogSession*> sessions;
  for (const auto& [file, session] : read) sessions.push_back(&session);
  const std::vector<roc::ClassSession> fitted = classdata::FitEach(sessions);
  const std::vector<classdata::CsvColumn<classdata::FitSession>> columns = classdata::FitCsvColumns(layout);
  out << classdata::CsvHeader(columns);
  for (std::size_t i = 0; i < read.size(); ++i) {
    const auto& [file, session] = read[i];
    out << classdata::CsvLine(columns, classdata::FitSession{*file, session.Session, session.Observer,
                                                             session.DesignName, fitted[i].counts, fitted[i].fit,
                                                             fitted[i].Incomplete()});
  }
  out.flush();
  return status;
}

}  // namespace shell
