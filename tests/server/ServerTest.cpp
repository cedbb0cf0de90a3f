#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <algorithm>

#include "experiment/StimulusPatterns.h"
#include "experiment/TrialLog.h"
#include "server/HttpServer.h"
#include "tests/server/HttpClient.h"

namespace {

class Server : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }
  // A server on the folder, with the runs recorded there.
  void Start() {
    server::ServerSettings settings{.dataFolder = folder_.path().toStdString(), .token = "teacher-token",
                                    .runsPerMinute = 3};
    settings.limits.arrival = std::chrono::milliseconds(300);
    http_ = std::make_unique<server::HttpServer>(std::move(settings));
    EXPECT_TRUE(http_->LoadRuns().empty());
    port_ = *http_->Listen(QHostAddress::LocalHost, 0);
  }

  QJsonObject Join(const QByteArray& body) {
    return QJsonDocument::fromJson(Exchange(port_, Request("POST", "/api/runs", body)).body).object();
  }
  QStringList Files() const { return QDir(folder_.path()).entryList(QDir::Files); }

  QTemporaryDir folder_;
  std::unique_ptr<server::HttpServer> http_;
  quint16 port_ = 0;
};

// The page gets the trials the experiment window would show for the same
// design and seed.
TEST(BrowserRun, TrialsAreTheDesktopSequence) {
  experiment::RunSettings settings{.Seed = 12345};
  experiment::Run window = experiment::MakeRun(settings, "s", "");
  experiment::Run served = experiment::MakeRun(settings, "s", "");
  const std::vector<server::PresentedTrial> trials = server::PresentTrials(served);
  ASSERT_EQ(trials.size(), 60u);
  experiment::Pattern shown = window.Start();
  for (const server::PresentedTrial& t : trials) {
    window.Show();
    for (int k = 1; k <= experiment::kPatternCells; ++k) {
      ASSERT_EQ(t.grid[k - 1] == '1', shown[k] == experiment::kBrown) << t.trial;
    }
    shown = window.NextTrial();
    (void)window.Answer(1, {});
    EXPECT_EQ(window.Log().Rows.back().Stimulus, t.stimulus) << t.trial;
    EXPECT_EQ(window.Log().Rows.back().Practice, t.practice) << t.trial;
  }
}

// Every bad request is refused with its status; only the one answer given
// is kept, once, and the server goes on.
TEST_F(Server, BadRequestsAreRefusedAndNothingIsStored) {
  const QJsonObject run = Join(R"({"observer": " Ann ", "design": "standard"})");
  const QByteArray id = run["run"].toString().toLatin1(), key = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
  const QByteArray answers = "/api/runs/" + id + "/answers/";
  ASSERT_EQ(Exchange(port_, Request("PUT", answers + "1", Answer(3), key)).status, 201);

  const struct {
    const char* what;
    QByteArray request;
    int status;
  } cases[] = {
      {"the same answer again", Request("PUT", answers + "1", Answer(3), key), 200},
      {"another answer to a stored trial", Request("PUT", answers + "1", Answer(2), key), 409},
      {"other times for a stored trial", Request("PUT", answers + "1", Answer(3, 990), key), 409},
      {"unknown path", Request("GET", "/etc/passwd"), 404},
      {"a file outside the embedded ones", Request("GET", "/web/..%2F..%2Fetc%2Fpasswd"), 404},
      {"wrong method", Request("DELETE", "/api/runs"), 405},
      {"no write key", Request("PUT", answers + "2", Answer(3)), 403},
      {"wrong write key", Request("PUT", answers + "2", Answer(3), "X-Write-Key: AAAAAAAAAAAAAAAAAAAAAA\r\n"), 403},
      {"unknown run", Request("PUT", "/api/runs/nosuchrun/answers/2", Answer(3), key), 404},
      {"the fit with a wrong write key", Request("GET", "/api/runs/" + id + "/fit", {}, "X-Write-Key: AAAAAAAAAAAAAAAAAAAAAA\r\n"), 403},
      {"the rows of an unknown run", Request("GET", "/api/runs/nosuchrun/rows.csv", {}, key), 404},
      {"trial 0", Request("PUT", answers + "0", Answer(3), key), 404},
      {"trial past the design", Request("PUT", answers + "61", Answer(3), key), 404},
      {"response past K", Request("PUT", answers + "2", Answer(5), key), 400},
      {"response 0", Request("PUT", answers + "2", Answer(0), key), 400},
      {"negative time", Request("PUT", answers + "2", Answer(3, -1), key), 400},
      {"not JSON", Request("PUT", answers + "2", "{\"response\": 3,", key), 400},
      {"an unknown field", Request("PUT", answers + "2", R"({"response":3,"exposure_ms":1,"asked_ms":1,"frame_ms":1,"rating_ms":1,"x":1})", key), 400},
      {"a time as text", Request("PUT", answers + "2", R"({"response":3,"exposure_ms":"1","asked_ms":1,"frame_ms":1,"rating_ms":1})", key), 400},
      {"a field missing", Request("PUT", answers + "2", R"({"response":3,"exposure_ms":1,"asked_ms":1,"frame_ms":1})", key), 400},
      {"an empty name", Request("POST", "/api/runs", R"({"observer": "  "})"), 400},
      {"a name with a control character", Request("POST", "/api/runs", "{\"observer\": \"a\\u0007b\"}"), 400},
      {"an unknown design", Request("POST", "/api/runs", R"({"observer": "Bo", "design": "other"})"), 400},
      {"a second run", Request("POST", "/api/runs", R"({"observer": "Bo"})"), 201},
      {"a third run", Request("POST", "/api/runs", R"({"observer": "Bo"})"), 201},
      {"a fourth run in a minute", Request("POST", "/api/runs", R"({"observer": "Bo"})"), 429},
      {"a body over 64 KiB, refused before it comes", "PUT " + answers + "2 HTTP/1.1\r\nHost: t\r\nContent-Length: 70000\r\n\r\n", 413},
      {"a chunked body", "PUT " + answers + "2 HTTP/1.1\r\nHost: t\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {"a request that never arrives whole", "PUT " + answers + "2 HTTP/1.1\r\nHost: t\r\nContent-Length: 10\r\n\r\n{", 408},
      {"a teacher's list without the token", Request("GET", "/api/teacher/runs?token=teacher-toke"), 403},
      {"the teacher's page without the token", Request("GET", "/teacher"), 403},
  };
  for (const auto& c : cases) EXPECT_EQ(Exchange(port_, c.request).status, c.status) << c.what;

  ASSERT_EQ(Files().size(), 1u);
  const experiment::TrialLogContents kept = experiment::ReadTrialLog(folder_.filePath(Files()[0]).toStdString());
  ASSERT_EQ(kept.Sessions.size(), 1u);
  ASSERT_EQ(kept.Sessions[0].Rows.size(), 1u);
  EXPECT_EQ(kept.Sessions[0].Rows[0].Response, 3);
  EXPECT_EQ(kept.Sessions[0].Observer, "Ann");
  EXPECT_EQ(Exchange(port_, Request("GET", "/api/config?lang=en")).status, 200);
  EXPECT_EQ(Exchange(port_, Request("GET", "/api/teacher/runs?token=teacher-token")).status, 200);
}

// The ROC page's fit of a run that cannot be fitted says why, in words the
// page has; the run's rows are its answers.
TEST_F(Server, TheFitSaysWhyItCannotBeAndTheRowsAreTheAnswers) {
  const QJsonObject run = Join(R"({"observer": "Ann"})");
  const QByteArray id = run["run"].toString().toLatin1(), key = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
  ASSERT_EQ(Exchange(port_, Request("PUT", "/api/runs/" + id + "/answers/11", Answer(4), key)).status, 201);
  const QJsonObject fit = QJsonDocument::fromJson(Exchange(port_, Request("GET", "/api/runs/" + id + "/fit", {}, key)).body).object();
  EXPECT_EQ(fit["recorded"].toInt(), 1);
  EXPECT_TRUE(fit["fit"].isNull());
  const QJsonObject texts =
      QJsonDocument::fromJson(Exchange(port_, Request("GET", "/api/config?lang=en")).body).object()["texts"].toObject();
  EXPECT_TRUE(texts.contains(fit["why"].toString())) << fit["why"].toString().toStdString();
  const QList<QByteArray> lines = Exchange(port_, Request("GET", "/api/runs/" + id + "/rows.csv", {}, key)).body.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[1].contains(",11,recorded,")) << lines[1].toStdString();
}

// A repeat sent while the first is being written waits for it and is not
// written again; another answer to the trial then is refused.
TEST_F(Server, RepeatsAtOnceAreStoredOnce) {
  const QJsonObject run = Join(R"({"observer": "Cy"})");
  const QByteArray key = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
  const QByteArray trial = "/api/runs/" + run["run"].toString().toLatin1() + "/answers/7";
  std::vector<QByteArray> sends(6, Request("PUT", trial, Answer(2), key));
  sends.push_back(Request("PUT", trial, Answer(4), key));
  const std::vector<Response> got = ExchangeAll(port_, sends);
  // Whichever came first is kept; the same again is acknowledged, the other refused.
  const auto first = std::find_if(got.begin(), got.end(), [](const Response& r) { return r.status == 201; });
  ASSERT_NE(first, got.end());
  const int stored = first == got.end() - 1 ? 4 : 2;
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got.begin() + static_cast<std::ptrdiff_t>(i) == first) continue;
    EXPECT_EQ(got[i].status, (i < 6) == (stored == 2) ? 200 : 409) << i;
  }
  ASSERT_EQ(Files().size(), 1u);
  const experiment::TrialLogContents kept = experiment::ReadTrialLog(folder_.filePath(Files()[0]).toStdString());
  ASSERT_EQ(kept.Sessions.size(), 1u);
  ASSERT_EQ(kept.Sessions[0].Rows.size(), 1u);
  EXPECT_EQ(kept.Sessions[0].Rows[0].Response, stored);
}

// Connections over the cap are refused at once with 503; one closed makes
// room for another.
TEST(ServerLimits, ConnectionsOverTheCapAreRefused) {
  server::ServerSettings settings{.token = "t"};
  settings.limits.maxConnections = 2;
  server::HttpServer http(std::move(settings));
  const quint16 port = *http.Listen(QHostAddress::LocalHost, 0);
  const QByteArray config = Request("GET", "/api/config");
  QTcpSocket held[2];
  for (QTcpSocket& socket : held) {  // open, each with a request answered, so the server counts it
    QEventLoop loop;
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(config);
    loop.exec();
  }
  EXPECT_EQ(Exchange(port, config).status, 503);
  held[0].disconnectFromHost();
  int status = 0;
  for (int tries = 0; tries < 1000 && status != 200; ++tries) status = Exchange(port, config).status;
  EXPECT_EQ(status, 200);
}

// A server started again on the same folder takes its runs up again: the
// page resuming after the restart learns what is stored, stores the rest,
// and nothing is kept twice.
TEST_F(Server, RunsSurviveARestart) {
  const QJsonObject run = Join(R"({"observer": "Di"})");
  const QByteArray key = "X-Write-Key: " + run["key"].toString().toLatin1() + "\r\n";
  const QByteArray path = "/api/runs/" + run["run"].toString().toLatin1();
  ASSERT_EQ(Exchange(port_, Request("PUT", path + "/answers/1", Answer(1, 1000.25), key)).status, 201);
  ASSERT_EQ(Exchange(port_, Request("PUT", path + "/answers/2", Answer(2), key)).status, 201);
  http_.reset();
  Start();
  const QJsonObject resumed = QJsonDocument::fromJson(Exchange(port_, Request("GET", path, {}, key)).body).object();
  EXPECT_EQ(resumed["stored"].toArray(), QJsonArray({1, 2}));
  EXPECT_EQ(resumed["trials"], run["trials"]);
  const struct {
    const char* what;
    QByteArray request;
    int status;
  } cases[] = {
      {"a repeat of an answer stored before (its time as the file keeps it)",
       Request("PUT", path + "/answers/1", Answer(1, 1000.25), key), 200},
      {"another answer to a trial stored before", Request("PUT", path + "/answers/2", Answer(3), key), 409},
      {"the next answer", Request("PUT", path + "/answers/3", Answer(4), key), 201},
      {"a wrong key", Request("PUT", path + "/answers/4", Answer(4), "X-Write-Key: AAAAAAAAAAAAAAAAAAAAAA\r\n"), 403},
  };
  for (const auto& c : cases) EXPECT_EQ(Exchange(port_, c.request).status, c.status) << c.what;
  ASSERT_EQ(Files().size(), 1u);
  const experiment::TrialLogContents kept = experiment::ReadTrialLog(folder_.filePath(Files()[0]).toStdString());
  ASSERT_EQ(kept.Sessions.size(), 1u);
  EXPECT_TRUE(kept.Skipped.empty());
  ASSERT_EQ(kept.Sessions[0].Rows.size(), 3u);
  EXPECT_EQ(kept.Sessions[0].Rows[2].Response, 4);
}

}  // namespace
