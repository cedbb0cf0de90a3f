// The teacher's class view: the sessions of the runs with their fits, the
// designs' summaries and curves, the comparison of two designs and the
// summary's CSV; a page that has them all waits for the next change.
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QUrlQuery>

#include "server/HttpServer.h"
#include "server/PageLanguage.h"

namespace server {

namespace {

constexpr std::chrono::seconds kLongestWait{20};  // a wait is answered after this even without a change

ui::Language ClassLanguage(const QHttpServerRequest& request) {
  return PageLanguageOf(request.query().queryItemValue("lang").toStdString()).value_or(ui::Language::kJapanese);
}

std::uint64_t SinceOf(const QHttpServerRequest& request) {
  bool ok = false;
  const qulonglong since = request.query().queryItemValue("since").toULongLong(&ok);
  return ok ? since : 0;
}

Reply NoStore(Reply reply) {
  reply.headers.push_back({"Cache-Control", "no-store"});
  return reply;
}

}  // namespace

void HttpServer::FollowClass() {
  if (settings_.database != nullptr) {
    if (const numeric::Status fresh = Refresh(); !fresh) return;
  }
  feed_.Follow(order_);
}

bool HttpServer::WaitForClass(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (request.method() != QHttpServerRequest::Method::Get || request.url().path() != QLatin1String("/api/teacher/class") ||
      request.query().queryItemValue("wait") != QLatin1String("1") || !TeacherAllowed(request)) {
    return false;
  }
  feed_.Follow(order_);
  const std::uint64_t since = SinceOf(request);
  if (feed_.Version() > since) return false;  // answered at once by the route
  feed_.Park(makeResponder(request, socket), socket, since, ClassLanguage(request),
             ClassFeed::Clock::now() + kLongestWait);
  return true;
}

Reply HttpServer::TeacherClass(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  return NoStore(JsonReply(200, feed_.Since(SinceOf(request), ClassLanguage(request))));
}

Reply HttpServer::TeacherCompare(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  const QUrlQuery query = request.query();
  const std::string first = query.queryItemValue("first", QUrl::FullyDecoded).toStdString();
  const std::string second = query.queryItemValue("second", QUrl::FullyDecoded).toStdString();
  if (first.empty() || second.empty() || first == second) return ErrorReply(400, "name two different designs");
  return NoStore(JsonReply(200, feed_.Compare(first, second, ClassLanguage(request))));
}

Reply HttpServer::TeacherSummary(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  feed_.Follow(order_);
  Reply reply{.status = 200, .type = "text/csv; charset=utf-8", .body = QByteArray::fromStdString(feed_.SummaryCsv())};
  reply.headers = {{"Cache-Control", "no-store"}, {"Content-Disposition", "attachment; filename=\"class-summary.csv\""}};
  return reply;
}

}  // namespace server
