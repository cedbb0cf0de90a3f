#include "ReportCsv.h"

#include <algorithm>
#include <charconv>

#include "experiment/Csv.h"
#include "experiment/Design.h"

namespace classdata {

namespace {

std::string CountList(const std::vector<int>& counts) {
  std::string text;
  for (int n : counts) {
    if (!text.empty()) text += ' ';
    text += std::to_string(n);
  }
  return text;
}

std::string Optional(const std::optional<double>& v) { return v ? FormatNumber(*v) : std::string(); }

using FitColumn = CsvColumn<FitSession>;
using SummaryColumn = CsvColumn<roc::DesignSummary>;

// A number of the fit; empty without one.
FitColumn FitNumber(std::string name, double roc::BinormalFit::*value) {
  return {std::move(name), [value](const FitSession& s) { return s.fit ? FormatNumber(*s.fit.*value) : ""; }};
}

// The j-th criterion (from 0) or its standard error; empty on a smaller scale.
FitColumn Criterion(int j, bool se) {
  std::string name = "c";
  name.append(std::to_string(j + 1)).append(se ? "_se" : "");
  return {name, [j, se](const FitSession& s) {
            const std::vector<double>* values = !s.fit ? nullptr : se ? &s.fit->criteria_se : &s.fit->criteria;
            return values && j < static_cast<int>(values->size()) ? FormatNumber((*values)[j]) : "";
          }};
}

// The columns before the fit's: where the session is from, who ran which
// design when the layout names them, its counts.
std::vector<FitColumn> FitFirstColumns(const FitCsvLayout& layout) {
  std::vector<FitColumn> columns{{"file", [](const FitSession& s) { return experiment::CsvField(s.file); }},
                                 {"session", [](const FitSession& s) { return s.session; }}};
  if (layout.identities) {
    columns.push_back({"observer", [](const FitSession& s) { return experiment::CsvField(s.observer); }});
    columns.push_back({"design", [](const FitSession& s) { return experiment::CsvField(s.design); }});
  }
  columns.push_back({"recorded", [](const FitSession& s) {
                       return std::to_string(roc::Total(s.counts.noise) + roc::Total(s.counts.signal));
                     }});
  columns.push_back({"noise_counts", [](const FitSession& s) { return CountList(s.counts.noise); }});
  columns.push_back({"signal_counts", [](const FitSession& s) { return CountList(s.counts.signal); }});
  return columns;
}

// The pooled fit's value, or the word for why there is none.
SummaryColumn Pooled(std::string name, double roc::BinormalFit::*value) {
  return {std::move(name), [value](const roc::DesignSummary& d) -> std::string {
            if (d.mixedScales) return "mixed_scales";
            return d.pooled ? FormatNumber(*d.pooled.*value) : "degenerate";
          }};
}

// A mean over the design's fitted sessions, or its spread or interval.
SummaryColumn Mean(std::string name, std::optional<roc::MeanEstimate> roc::DesignSummary::*estimate,
                   std::optional<double> (*part)(const roc::MeanEstimate&)) {
  return {std::move(name), [estimate, part](const roc::DesignSummary& d) {
            const std::optional<roc::MeanEstimate>& e = d.*estimate;
            return e ? Optional(part(*e)) : std::string();
          }};
}

std::optional<double> MeanOf(const roc::MeanEstimate& e) { return e.mean; }
std::optional<double> SdOf(const roc::MeanEstimate& e) { return e.sd; }
std::optional<double> LowOf(const roc::MeanEstimate& e) { return e.low; }
std::optional<double> HighOf(const roc::MeanEstimate& e) { return e.high; }

template <class T>
SummaryColumn Count(std::string name, T roc::DesignSummary::*count) {
  return {std::move(name), [count](const roc::DesignSummary& d) { return std::to_string(d.*count); }};
}

std::vector<SummaryColumn> MakeClassSummaryColumns() {
  using roc::BinormalFit, roc::DesignSummary;
  return {
      {"design", [](const DesignSummary& d) { return experiment::CsvField(d.design); }},
      Count("sessions", &DesignSummary::sessions),
      Count("fitted", &DesignSummary::fitted),
      Count("degenerate", &DesignSummary::degenerate),
      Count("incomplete", &DesignSummary::incomplete),
      Count("recorded", &DesignSummary::recorded),
      Pooled("pooled_d", &BinormalFit::d),
      Pooled("pooled_R", &BinormalFit::R),
      Pooled("pooled_az", &BinormalFit::az),
      Pooled("pooled_az_se", &BinormalFit::az_se),
      Mean("mean_a", &DesignSummary::a, MeanOf),
      Mean("mean_b", &DesignSummary::b, MeanOf),
      Mean("mean_az", &DesignSummary::az, MeanOf),
      Mean("sd_az", &DesignSummary::az, SdOf),
      Mean("az_ci_low", &DesignSummary::az, LowOf),
      Mean("az_ci_high", &DesignSummary::az, HighOf),
      Mean("mean_d_a", &DesignSummary::d_a, MeanOf),
      Mean("sd_d_a", &DesignSummary::d_a, SdOf),
      {"mean_criteria", [](const DesignSummary& d) {
         if (d.mixedScales) return std::string("mixed_scales");
         std::string criteria;
         for (double c : d.meanCriteria) criteria.append(criteria.empty() ? "" : " ").append(FormatNumber(c));
         return criteria;
       }},
  };
}

}  // namespace

std::string FormatNumber(double v) {
  if (v == 0) v = 0;  // no "-0"
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
  return std::string(text, end.ptr);
}

std::vector<CsvColumn<FitSession>> FitCsvColumns(const FitCsvLayout& layout) {
  using roc::BinormalFit;
  using Number = std::pair<const char*, double BinormalFit::*>;
  const Number beforeCriteria[] = {
      {"d", &BinormalFit::d}, {"d_se", &BinormalFit::d_se}, {"R", &BinormalFit::R}, {"R_se", &BinormalFit::R_se}};
  const Number afterCriteria[] = {{"a", &BinormalFit::a},         {"b", &BinormalFit::b},
                                  {"az", &BinormalFit::az},       {"az_se", &BinormalFit::az_se},
                                  {"d_a", &BinormalFit::d_a},     {"neg_loglik", &BinormalFit::neg_loglik},
                                  {"chi2", &BinormalFit::chi2}};
  std::vector<FitColumn> columns = FitFirstColumns(layout);
  for (const auto& [name, value] : beforeCriteria) columns.push_back(FitNumber(name, value));
  for (int j = 0; j < layout.criteria; ++j) {
    columns.push_back(Criterion(j, false));
    columns.push_back(Criterion(j, true));
  }
  for (const auto& [name, value] : afterCriteria) columns.push_back(FitNumber(name, value));
  columns.push_back({"df", [](const FitSession& s) { return s.fit ? std::to_string(s.fit->df) : ""; }});
  columns.push_back({"p", [](const FitSession& s) { return s.fit ? Optional(s.fit->p) : ""; }});
  columns.push_back({"status", [](const FitSession& s) { return s.fit ? "ok" : "degenerate"; }});
  columns.push_back({"completeness", [](const FitSession& s) { return s.incomplete ? "incomplete" : "complete"; }});
  return columns;
}

std::vector<roc::ClassSession> FitEach(const std::vector<const experiment::TrialLogSession*>& sessions) {
  std::vector<roc::ClassSession> fitted;
  for (const experiment::TrialLogSession* s : sessions) {
    const roc::RatingCounts counts = roc::CountRecordedRows(s->Rows, s->Categories);
    fitted.push_back({s->Observer, s->DesignName, s->Categories, counts, roc::FitBinormal(counts),
                      experiment::DesignRecorded(s->Rows)});
  }
  std::vector<roc::ClassSession*> all;
  for (roc::ClassSession& s : fitted) all.push_back(&s);
  roc::MarkIncomplete(all);
  return fitted;
}

std::string FitTableCsv(const std::vector<ClassEntry>& sessions) {
  const experiment::Design& standard = experiment::Design::Standard();
  FitCsvLayout layout{standard.Categories() - 1, false};
  for (const ClassEntry& e : sessions) {
    layout.criteria = std::max(layout.criteria, e.data.categories - 1);
    layout.identities |= !e.data.observer.empty() || e.data.design != standard.Name;
  }
  const std::vector<FitColumn> columns = FitCsvColumns(layout);
  std::string text = CsvHeader(columns);
  for (const ClassEntry& e : sessions)
    text +=
        CsvLine(columns, FitSession{e.origin, e.session, e.data.observer, e.data.design, e.data.counts, e.data.fit,
                                    e.data.Incomplete()});
  return text;
}

const std::vector<CsvColumn<roc::DesignSummary>>& ClassSummaryColumns() {
  static const std::vector<SummaryColumn> columns = MakeClassSummaryColumns();
  return columns;
}

}  // namespace classdata
