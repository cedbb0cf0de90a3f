#include <gtest/gtest.h>

#include <QJsonArray>
#include <QSqlQuery>
#include <QTest>
#include <sstream>

#include "server/HttpServer.h"
#include "server/RunDatabase.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "tests/server/HttpClient.h"
#include "tests/support/PgServer.h"

namespace {

// One class's server process: its spool and worker, its runs' database
// connection, its HTTP server.
struct ClassServer {
  ClassServer(const store::ConnInfo& info, const std::string& folder, const QString& name)
      : store(info, folder + "/spool-" + name.toStdString() + ".csv", server::kBrowserHost, [](const std::string&) {}),
        database(info, name) {
    EXPECT_EQ(store.Start().Reason(), "");
    EXPECT_EQ(database.Open().Reason(), "");
    http = std::make_unique<server::HttpServer>(
        server::ServerSettings{.store = &store, .database = &database, .token = "t"});
    port = *http->Listen(QHostAddress::LocalHost, 0);
  }
  store::Store store;
  server::RunDatabase database;
  std::unique_ptr<server::HttpServer> http;
  quint16 port = 0;
};

// Two servers on one database serve one run: its answers sent alternately to
// each, every one also repeated to the other and contradicted there, give
// every row once in the trials table, and either server knows the whole run.
TEST(TwoServers, OneRunAnsweredThroughBothIsStoredOnce) {
  PgServer pg;
  if (!pg.Ok()) GTEST_SKIP() << "no PostgreSQL server could be started here";
  std::ostringstream out, err;
  ASSERT_EQ(store::RunStoreInit(pg.ConnInfo(), out, err), 0) << err.str();
  const store::ConnInfo info = *store::ParseConnInfo(pg.ConnInfo());
  ClassServer a(info, pg.Folder(), "a"), b(info, pg.Folder(), "b");

  const QJsonObject run =
      QJsonDocument::fromJson(Exchange(a.port, Request("POST", "/api/runs", R"({"observer": "Kei"})")).body).object();
  const QByteArray path = "/api/runs/" + run["run"].toString().toLatin1();
  const QByteArray key = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
  constexpr int kTrials = 12;
  for (int t = 1; t <= kTrials; ++t) {
    ClassServer& first = t % 2 ? a : b;
    ClassServer& other = t % 2 ? b : a;
    const QByteArray answer = path + "/answers/" + QByteArray::number(t);
    EXPECT_EQ(Exchange(first.port, Request("PUT", answer, Answer(1 + t % 4), key)).status, 201) << t;
    EXPECT_EQ(Exchange(other.port, Request("PUT", answer, Answer(1 + t % 4), key)).status, 200) << t;
    EXPECT_EQ(Exchange(other.port, Request("PUT", answer, Answer(1 + (t + 1) % 4), key)).status, 409) << t;
  }
  const QJsonObject resumed = QJsonDocument::fromJson(Exchange(a.port, Request("GET", path, {}, key)).body).object();
  EXPECT_EQ(resumed["stored"].toArray().size(), kTrials);

  ASSERT_TRUE(QTest::qWaitFor([&] { return a.store.Pending() == 0 && b.store.Pending() == 0; }, 60'000));
  store::Connection probe(info, "probe");
  ASSERT_TRUE(probe.Open());
  QSqlQuery q(probe.Db());
  ASSERT_TRUE(q.exec("SELECT count(*), count(DISTINCT trial), count(DISTINCT session) FROM trials") && q.next());
  EXPECT_EQ(q.value(0).toInt(), kTrials);
  EXPECT_EQ(q.value(1).toInt(), kTrials);
  EXPECT_EQ(q.value(2).toInt(), 1);
  const QJsonObject listed =
      QJsonDocument::fromJson(Exchange(b.port, Request("GET", "/api/teacher/runs?token=t")).body).object();
  ASSERT_EQ(listed["runs"].toArray().size(), 1);
  EXPECT_EQ(listed["runs"].toArray()[0].toObject()["answered"].toInt(), kTrials);

  // A run made and answered through one server alone reaches the other's
  // class view, as the database's notifications name it.
  const QJsonObject second =
      QJsonDocument::fromJson(Exchange(a.port, Request("POST", "/api/runs", R"({"observer": "Mio"})")).body).object();
  const QByteArray secondKey = "X-Write-Key: " + second["key"].toString().toLatin1() + "\r\n";
  for (int t = 1; t <= 3; ++t) {
    const QByteArray answer = "/api/runs/" + second["run"].toString().toLatin1() + "/answers/" + QByteArray::number(t);
    EXPECT_EQ(Exchange(a.port, Request("PUT", answer, Answer(1 + t % 4), secondKey)).status, 201) << t;
  }
  const auto sessionsOnB = [&] {
    const QJsonObject view =
        QJsonDocument::fromJson(Exchange(b.port, Request("GET", "/api/teacher/class?token=t")).body).object();
    return view["sessions"].toArray().size();
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return sessionsOnB() == 2; }, 20'000));
}

}  // namespace
