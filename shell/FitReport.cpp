#include "FitReport.h"

#include <charconv>
#include <optional>

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

// An RFC 4180 field: quoted when it holds a comma, a quote or a line end.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::string CountList(const std::vector<int>& counts) {
  std::string text;
  for (int n : counts) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text;
}

std::string SessionLine(const std::string& file, const experiment::TrialLogSession& session) {
  // Files without design columns hold the standard design.
  const roc::RatingCounts counts = roc::CountRecordedRows(session.Rows, experiment::Design::Standard().Categories());
  const int recorded = roc::Total(counts.noise) + roc::Total(counts.signal);
  std::string line = Field(file) + ',' + session.Session + ',' + std::to_string(recorded) + ',' +
                     CountList(counts.noise) + ',' + CountList(counts.signal) + ',';
  const std::optional<roc::BinormalFit> fit = roc::FitBinormal(counts);
  if (!fit) return line + std::string(19, ',') + "degenerate\n";
  for (double v : {fit->d, fit->d_se, fit->R, fit->R_se}) line += Number(v) + ',';
  for (std::size_t j = 0; j < fit->criteria.size(); ++j) {
    line += Number(fit->criteria[j]) + ',' + Number(fit->criteria_se[j]) + ',';
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
  out << kFitReportHeader << '\n';
  for (const std::string& file : files) {
    const experiment::TrialLogContents contents = experiment::ReadTrialLog(file);
    for (const std::string& skipped : contents.Skipped) err << skipped << " (line skipped)\n";
    if (!contents.Skipped.empty()) status = 2;
    if (!contents.Error.empty()) {
      err << contents.Error << " (file skipped)\n";
      status = 2;
      continue;
    }
    for (const experiment::TrialLogSession& session : contents.Sessions) out << SessionLine(file, session);
  }
  out.flush();
  return status;
}

}  // namespace shell
