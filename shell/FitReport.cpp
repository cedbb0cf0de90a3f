#include "FitReport.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "experiment/Csv.h"
#include "experiment/TrialLog.h"
#include "stats/BinormalFit.h"

namespace shell {

const char* const kFitReportHeader =
    "file,session,recorded,noise_counts,signal_counts,d,d_se,R,R_se,c1,c1_se,c2,c2_se,c3,c3_se,"
    "a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status";

namespace {

std::string Number(double v) {
  if (v == 0) v = 0;  // no "-0"
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
  return std::string(text, end.ptr);
}

std::string CountList(const std::vector<int>& counts) {
  std::string text;
  for (int n : counts) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text;
}

// The columns of the report: which of the optional ones it has.
struct Layout {
  int criteria;     // K - 1 of the largest K
  bool identities;  // observer and design after the session
};

std::string Header(const Layout& layout) {
  std::string header = std::string("file,session,") + (layout.identities ? "observer,design," : "") +
                       "recorded,noise_counts,signal_counts,d,d_se,R,R_se,";
  for (int j = 1; j <= layout.criteria; ++j) header += "c" + std::to_string(j) + ",c" + std::to_string(j) + "_se,";
  return header + "a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status";
}

std::string SessionLine(const std::string& file, const experiment::TrialLogSession& session, const Layout& layout) {
  const roc::RatingCounts counts = roc::CountRecordedRows(session.Rows, session.Categories);
  const int recorded = roc::Total(counts.noise) + roc::Total(counts.signal);
  std::string line = experiment::CsvField(file) + ',' + session.Session + ',';
  if (layout.identities) line += experiment::CsvField(session.Observer) + ',' + experiment::CsvField(session.DesignName) + ',';
  line += std::to_string(recorded) + ',' + CountList(counts.noise) + ',' + CountList(counts.signal) + ',';
  const std::optional<roc::BinormalFit> fit = roc::FitBinormal(counts);
  if (!fit) return line + std::string(13 + 2 * layout.criteria, ',') + "degenerate\n";
  for (double v : {fit->d, fit->d_se, fit->R, fit->R_se}) line += Number(v) + ',';
  for (int j = 0; j < layout.criteria; ++j) {
    const bool has = j < static_cast<int>(fit->criteria.size());
    line += (has ? Number(fit->criteria[j]) : "") + ',' + (has ? Number(fit->criteria_se[j]) : "") + ',';
  }
  for (double v : {fit->a, fit->b, fit->az, fit->az_se, fit->d_a, fit->neg_loglik, fit->chi2}) {
    line += Number(v) + ',';
  }
  line += std::to_string(fit->df) + ',' + (fit->p ? Number(*fit->p) : std::string()) + ",ok\n";
  return line;
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
  out << Header(layout) << '\n';
  for (const auto& [file, contents] : read) {
    for (const experiment::TrialLogSession& session : contents.Sessions) out << SessionLine(file, session, layout);
  }
  out.flush();
  return status;
}

}  // namespace shell
