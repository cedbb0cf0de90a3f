// The student's ROC page asks the server for two things of its run: the
// fit of the recorded counts, by the program's own fit, and the run's rows
// as a per-trial file to save.
#include "server/RunAnalysis.h"

#include <QHttpServerRequest>
#include <QJsonArray>

#include "experiment/SessionFileNames.h"
#include "experiment/TrialLog.h"
#include "server/HttpServer.h"
#include "server/RocTexts.h"

namespace server {

namespace {

QJsonArray Numbers(const auto& values) {
  QJsonArray out;
  for (const auto v : values) out.append(static_cast<double>(v));
  return out;
}

QJsonObject EstimatesJson(const roc::BinormalFit& f) {
  return {{"d", f.d},         {"d_se", f.d_se},   {"R", f.R},
          {"R_se", f.R_se},   {"criteria", Numbers(f.criteria)},
          {"criteria_se", Numbers(f.criteria_se)},
          {"a", f.a},         {"b", f.b},         {"az", f.az},
          {"az_se", f.az_se}, {"d_a", f.d_a},     {"neg_loglik", f.neg_loglik},
          {"chi2", f.chi2},   {"df", f.df},       {"p", f.p ? QJsonValue(*f.p) : QJsonValue()}};
}

}  // namespace

QJsonObject FitJson(const roc::RatingCounts& counts, const std::optional<roc::BinormalFit>& fit) {
  QJsonObject body{{"counts", QJsonObject{{"noise", Numbers(counts.noise)}, {"signal", Numbers(counts.signal)}}},
                   {"recorded", roc::Total(counts.noise) + roc::Total(counts.signal)}};
  body.insert("fit", fit ? QJsonValue(EstimatesJson(*fit)) : QJsonValue());
  const std::optional<roc::FitObstacle> why = fit ? std::nullopt : roc::WhyNoFit(counts);
  body.insert("why", why ? QJsonValue(QString::fromLatin1(FitObstacleKey(*why))) : QJsonValue());
  return body;
}

std::string RowsCsv(const BrowserRun& run) {
  std::string csv = experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  for (const experiment::TrialLogRow& row : run.Rows().Rows) {
    csv += experiment::FormatTrialLogLine(row, experiment::TrialLogFormat::kClass);
  }
  return csv;
}

// The writable run with every answer any server of the class holds.
const BrowserRun* HttpServer::FreshRun(const QHttpServerRequest& request, const QString& id, Reply& refused) {
  BrowserRun* run = WritableRun(request, id, refused);
  if (run == nullptr || settings_.database == nullptr) return run;
  if (const numeric::Status fresh = Refresh(run->Id()); !fresh) {
    refused = Unavailable(fresh.Reason());
    return nullptr;
  }
  return run;
}

Reply HttpServer::RunFit(const QHttpServerRequest& request, const QStringList& wild) {
  Reply refused;
  const BrowserRun* run = FreshRun(request, wild[0], refused);
  if (run == nullptr) return refused;
  const experiment::TrialLogSession rows = run->Rows();
  const roc::RatingCounts counts = roc::CountRecordedRows(rows.Rows, rows.Categories);
  QJsonObject body = FitJson(counts, roc::FitBinormal(counts));
  // The names the desktop's save dialogs propose.
  const auto name = [&](const char* stem, const char* extension) {
    return QString::fromStdString(experiment::ProposedSaveName(stem, rows.Session, extension, rows.Observer));
  };
  body.insert("plot_file", name("roc-plot", "png"));
  body.insert("rows_file", name("results", "csv"));
  Reply reply = JsonReply(200, body);
  reply.headers.push_back({"Cache-Control", "no-store"});
  return reply;
}

Reply HttpServer::RunRows(const QHttpServerRequest& request, const QStringList& wild) {
  Reply refused;
  const BrowserRun* run = FreshRun(request, wild[0], refused);
  if (run == nullptr) return refused;
  Reply reply{.status = 200, .type = "text/csv; charset=utf-8", .body = QByteArray::fromStdString(RowsCsv(*run))};
  reply.headers = {{"Cache-Control", "no-store"}, {"Content-Disposition", "attachment; filename=\"results.csv\""}};
  return reply;
}

}  // namespace server
