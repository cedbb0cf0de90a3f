// The teacher's class view: the sessions of the runs with their fits, the
// designs' summaries and curves, the comparison of two designs, the
// summary's CSV and the report; and the stream of changes to a page that
// follows them.
#include <QHttpServerRequest>
#include <QUrlQuery>
#include <iostream>
#include <set>

#include "server/HttpServer.h"
#include "experiment/SessionFileNames.h"
#include "server/PageLanguage.h"
#include "server/RunAnalysis.h"

namespace server {

namespace {

// The page's language, or the server's when it names none.
ui::Language ClassLanguage(const QHttpServerRequest& request, ui::Language otherwise) {
  return PageLanguageOf(request.query().queryItemValue("lang").toStdString()).value_or(otherwise);
}

std::uint64_t SinceOf(const QHttpServerRequest& request) {
  bool ok = false;
  const qulonglong since = request.query().queryItemValue("since").toULongLong(&ok);
  return ok ? since : 0;
}

bool WithIncomplete(const QHttpServerRequest& request) {
  return request.query().queryItemValue("incomplete") == QLatin1String("1");
}

Reply NoStore(Reply reply) {
  reply.headers.push_back({"Cache-Control", "no-store"});
  return reply;
}

}  // namespace

void HttpServer::FollowClass() {
  if (const numeric::Status fresh = CatchUp(); !fresh) return;
  feed_.Follow(order_);
}

bool HttpServer::StreamClass(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (request.method() != QHttpServerRequest::Method::Get ||
      request.url().path() != QLatin1String("/api/teacher/events") || !TeacherAllowed(request)) {
    return false;  // answered by the routes
  }
  feed_.Follow(order_);
  // A page that comes back names the last event it got.
  bool named = false;
  const qulonglong last = request.value("Last-Event-ID").toULongLong(&named);
  feed_.Stream(socket, named ? last : SinceOf(request), ClassLanguage(request, settings_.language), WithIncomplete(request));
  return true;
}

Reply HttpServer::TeacherEvents(const QHttpServerRequest&, const QStringList&) {
  return ErrorReply(403, "forbidden");  // a request with the token is streamed before the routes
}

Reply HttpServer::TeacherClass(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  return NoStore(JsonReply(200, feed_.Since(SinceOf(request), ClassLanguage(request, settings_.language), WithIncomplete(request))));
}

Reply HttpServer::TeacherCompare(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  const QUrlQuery query = request.query();
  const std::string first = query.queryItemValue("first", QUrl::FullyDecoded).toStdString();
  const std::string second = query.queryItemValue("second", QUrl::FullyDecoded).toStdString();
  if (first.empty() || second.empty() || first == second) return ErrorReply(400, "name two different designs");
  return NoStore(JsonReply(200, feed_.Compare(first, second, ClassLanguage(request, settings_.language), WithIncomplete(request))));
}

Reply HttpServer::TeacherSummary(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  Reply reply{.status = 200, .type = "text/csv; charset=utf-8", .body = QByteArray::fromStdString(feed_.SummaryCsv(WithIncomplete(request)))};
  reply.headers = {{"Cache-Control", "no-store"}, {"Content-Disposition", "attachment; filename=\"class-summary.csv\""}};
  return reply;
}

Reply HttpServer::TeacherReport(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  if (settings_.reportProgram.empty()) return ErrorReply(501, "this server makes no reports");
  if (report_.Busy()) return ErrorReply(503, "a report is being made; try again in a moment");
  ClassReportJob::Request asked{.language = ClassLanguage(request, settings_.language),
                                .withIncomplete = WithIncomplete(request)};
  if (settings_.dataFolder && settings_.database == nullptr) {
    asked.sources.push_back(*settings_.dataFolder);  // every answer taken is in its run's file
  } else {
    // Named as the runs' own files are, each name once: two runs of one
    // observer may begin within a second.
    std::set<std::string> names;
    for (const BrowserRun* run : order_) {
      if (run->Answers().empty()) continue;
      const experiment::TrialLogSession& who = run->Identity();
      const std::string name = experiment::UniquePath(
          "", experiment::AutosaveFileName(who.Session, who.Observer), [&](const std::string& n) { return names.contains(n); });
      names.insert(name);
      asked.files.push_back({name, RowsCsv(*run)});
    }
  }
  report_.Make(asked, [reply = answering_](numeric::Result<QByteArray> pdf) {
    if (!pdf) {
      std::cerr << "rocrating: " << pdf.Reason() << "\n";
      reply->Send(ErrorReply(500, "the report could not be made"));
      return;
    }
    Reply sent{.status = 200, .type = "application/pdf", .body = std::move(*pdf)};
    sent.headers = {{"Cache-Control", "no-store"}, {"Content-Disposition", "attachment; filename=\"class-report.pdf\""}};
    reply->Send(sent);
  });
  return {.status = kAnsweredLater};
}

}  // namespace server
