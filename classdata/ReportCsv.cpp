#include "ReportCsv.h"

#include <algorithm>
#include <charconv>

#include "experiment/Csv.h"
#include "experiment/Design.h"

namespace classdata {

namespace {

std::string CountList(const std::vector<int>& counts) {
  std::string text;
  for (int n : counts) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text;
}

std::string Optional(const std::optional<double>& v) { return v ? FormatNumber(*v) : std::string(); }

}  // namespace

std::string FormatNumber(double v) {
  if (v == 0) v = 0;  // no "-0"
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
  return std::string(text, end.ptr);
}

std::string FitCsvHeader(const FitCsvLayout& layout) {
  std::string header = std::string("file,session,") + (layout.identities ? "observer,design," : "") +
                       "recorded,noise_counts,signal_counts,d,d_se,R,R_se,";
  for (int j = 1; j <= layout.criteria; ++j) header += "c" + std::to_string(j) + ",c" + std::to_string(j) + "_se,";
  return header + "a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status";
}

std::string FitCsvLine(const std::string& file, const std::string& session, const std::string& observer,
                       const std::string& design, const roc::RatingCounts& counts,
                       const std::optional<roc::BinormalFit>& fit, const FitCsvLayout& layout) {
  const int recorded = roc::Total(counts.noise) + roc::Total(counts.signal);
  std::string line = experiment::CsvField(file) + ',' + session + ',';
  if (layout.identities) line += experiment::CsvField(observer) + ',' + experiment::CsvField(design) + ',';
  line += std::to_string(recorded) + ',' + CountList(counts.noise) + ',' + CountList(counts.signal) + ',';
  if (!fit) return line + std::string(13 + 2 * layout.criteria, ',') + "degenerate\n";
  for (double v : {fit->d, fit->d_se, fit->R, fit->R_se}) line += FormatNumber(v) + ',';
  for (int j = 0; j < layout.criteria; ++j) {
    const bool has = j < static_cast<int>(fit->criteria.size());
    line += (has ? FormatNumber(fit->criteria[j]) : "") + ',' + (has ? FormatNumber(fit->criteria_se[j]) : "") + ',';
  }
  for (double v : {fit->a, fit->b, fit->az, fit->az_se, fit->d_a, fit->neg_loglik, fit->chi2}) {
    line += FormatNumber(v) + ',';
  }
  line += std::to_string(fit->df) + ',' + (fit->p ? FormatNumber(*fit->p) : std::string()) + ",ok\n";
  return line;
}

std::string FitTableCsv(const std::vector<ClassEntry>& sessions) {
  const experiment::Design& standard = experiment::Design::Standard();
  FitCsvLayout layout{standard.Categories() - 1, false};
  for (const ClassEntry& e : sessions) {
    layout.criteria = std::max(layout.criteria, e.data.categories - 1);
    layout.identities |= !e.data.observer.empty() || e.data.design != standard.Name;
  }
  std::string text = FitCsvHeader(layout) + '\n';
  for (const ClassEntry& e : sessions)
    text += FitCsvLine(e.origin, e.session, e.data.observer, e.data.design, e.data.counts, e.data.fit, layout);
  return text;
}

const char* const kClassSummaryHeader =
    "design,sessions,fitted,degenerate,recorded,pooled_d,pooled_R,pooled_az,pooled_az_se,mean_a,mean_b,mean_az,"
    "sd_az,az_ci_low,az_ci_high,mean_d_a,sd_d_a,mean_criteria";

std::string ClassSummaryLine(const roc::DesignSummary& d) {
  std::string line = experiment::CsvField(d.design) + ',' + std::to_string(d.sessions) + ',' + std::to_string(d.fitted) + ',' +
                     std::to_string(d.degenerate) + ',' + std::to_string(d.recorded) + ',';
  if (d.mixedScales || !d.pooled) {
    const std::string word = d.mixedScales ? "mixed_scales," : "degenerate,";
    for (int i = 0; i < 4; ++i) line += word;
  } else {
    for (double v : {d.pooled->d, d.pooled->R, d.pooled->az, d.pooled->az_se}) line += FormatNumber(v) + ',';
  }
  auto mean = [](const std::optional<roc::MeanEstimate>& e) {
    return e ? std::optional<double>(e->mean) : std::nullopt;
  };
  const std::optional<double> sdAz = d.az ? d.az->sd : std::nullopt;
  const std::optional<double> low = d.az ? d.az->low : std::nullopt;
  const std::optional<double> high = d.az ? d.az->high : std::nullopt;
  const std::optional<double> sdDa = d.d_a ? d.d_a->sd : std::nullopt;
  for (const std::optional<double>& v : {mean(d.a), mean(d.b), mean(d.az), sdAz, low, high, mean(d.d_a), sdDa})
    line += Optional(v) + ',';
  if (d.mixedScales) return line + "mixed_scales\n";
  std::string criteria;
  for (double c : d.meanCriteria) criteria += (criteria.empty() ? "" : " ") + FormatNumber(c);
  return line + criteria + '\n';
}

}  // namespace classdata
