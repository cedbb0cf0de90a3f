#pragma once
#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "experiment/Design.h"
#include "experiment/TrialSink.h"
#include "numeric/Result.h"
#include "server/BrowserRuns.h"
#include "server/ClassFeed.h"
#include "server/ClassReportJob.h"
#include "server/ConnectionGuard.h"
#include "server/HttpReplies.h"
#include "server/RateLimit.h"
#include "server/RowWriter.h"
#include "server/RunRecords.h"
#include "ui/qt/Language.h"

class QHttpServerRequest;

namespace server {

// What a server serves and where the answers go.
struct ServerSettings {
  std::vector<experiment::Design> designs = {experiment::Design::Standard()};  // the student chooses; the first by default
  std::optional<std::uint32_t> seed;        // every run's; the clock's when empty
  std::optional<std::string> dataFolder;    // each run's per-trial file here; none: no files
  experiment::TrialSink* store = nullptr;   // every row also here (not owned)
  class RunDatabase* database = nullptr;    // runs and answers kept here, shared with other servers (not owned)
  std::string token;                        // the teacher's
  std::string studentsUrl;                  // for the teacher's page and its QR code
  int runsPerMinute = 10;                   // runs created per client address
  ConnectionLimits limits;
  int writerThreads = 8;                    // the runs' files synced at once
  ui::Language language = ui::Language::kJapanese;  // of the pages that ask for none
  std::optional<QSslConfiguration> tls;     // HTTPS with this certificate and key
  std::string reportProgram;                // draws the class report (this program); none: no report
};

// The browser edition's HTTP server (see the contract of the page and the
// server in the README): the embedded page, the runs it presents, their
// answers, kept exactly once, and the teacher's view. Every request is
// answered here, none by Qt's default handler.
class HttpServer : public QAbstractHttpServer {
 public:
  explicit HttpServer(ServerSettings settings, QObject* parent = nullptr);
  ~HttpServer() override;

  // Listens on address and port (0: any free one) through a guarded
  // listener; the port, or why not.
  numeric::Result<quint16> Listen(const QHostAddress& address, quint16 port);
  // Accepts no more connections; those open are answered still.
  void StopListening();
  // Takes up again the runs recorded in the data folder, with the answers
  // their files hold (after a restart); a line for each that could not be.
  std::vector<std::string> LoadRuns();
  // Calls done once every answer taken is written and its reply sent (at
  // once when none is being written).
  void WhenIdle(std::function<void()> done);
  // The students' link, known once the server listens.
  void SetStudentsUrl(std::string url) { settings_.studentsUrl = std::move(url); }
  const std::map<std::string, std::unique_ptr<BrowserRun>>& Runs() const { return runs_; }

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  using Handler = Reply (HttpServer::*)(const QHttpServerRequest&, const QStringList&);
  Reply Dispatch(const QHttpServerRequest& request);

  Reply Index(const QHttpServerRequest&, const QStringList&);
  Reply Teacher(const QHttpServerRequest&, const QStringList&);
  Reply WebFile(const QHttpServerRequest&, const QStringList&);
  Reply Config(const QHttpServerRequest&, const QStringList&);
  Reply CreateRun(const QHttpServerRequest&, const QStringList&);
  Reply GetRun(const QHttpServerRequest&, const QStringList&);
  Reply PutAnswer(const QHttpServerRequest&, const QStringList&);
  Reply PostStatus(const QHttpServerRequest&, const QStringList&);
  // The student's ROC page (RunAnalysis.cpp): the run's fit and its rows.
  Reply RunFit(const QHttpServerRequest&, const QStringList&);
  Reply RunRows(const QHttpServerRequest&, const QStringList&);
  const BrowserRun* FreshRun(const QHttpServerRequest& request, const QString& id, Reply& refused);
  Reply TeacherRuns(const QHttpServerRequest&, const QStringList&);
  Reply TeacherTrials(const QHttpServerRequest&, const QStringList&);
  Reply TeacherSessions(const QHttpServerRequest&, const QStringList&);
  Reply TeacherQr(const QHttpServerRequest&, const QStringList&);
  // The class view (ClassView.cpp): the sessions changed since a version,
  // a comparison of two designs, the summary's CSV; a page's stream of the
  // changes, taken before the routes (true: the socket streams them).
  Reply TeacherClass(const QHttpServerRequest&, const QStringList&);
  Reply TeacherCompare(const QHttpServerRequest&, const QStringList&);
  Reply TeacherSummary(const QHttpServerRequest&, const QStringList&);
  Reply TeacherReport(const QHttpServerRequest&, const QStringList&);
  Reply TeacherEvents(const QHttpServerRequest&, const QStringList&);
  bool StreamClass(const QHttpServerRequest& request, QTcpSocket* socket);
  void FollowClass();

  // The run named in the path whose write key the request holds; else the
  // refusal (404 unknown, 403 wrong key) in `refused`.
  BrowserRun* WritableRun(const QHttpServerRequest& request, const QString& id, Reply& refused);
  // The token is the teacher's (compared in constant time).
  bool TeacherAllowed(const QHttpServerRequest& request);
  // A run of one of the server's designs, with its sinks; null for a design
  // it does not serve. key: the write key when known.
  std::unique_ptr<BrowserRun> MakeBrowserRun(const RunRecord& record, const std::string& key,
                                             std::optional<std::uint32_t> seed) const;
  static RunRecord RecordOf(const BrowserRun& run);
  // The database's runs into the memory's, those of `id` or all; the reason
  // when the database failed.
  numeric::Status Refresh(const std::string& id = {});
  // The database's runs changed since the last look by other servers, into
  // the memory's (all of them at the first look); the reason when it failed.
  numeric::Status CatchUp();
  Reply Unavailable(const std::string& why) const;
  // The answer to `trial` of run, written or not: the replies of the requests
  // that sent it.
  void Written(BrowserRun& run, std::int32_t trial, bool kept, const std::string& failure);
  std::string NewSession();

  ServerSettings settings_;
  ConnectionCount connections_;
  std::vector<QTcpServer*> listeners_;
  std::map<std::string, std::unique_ptr<BrowserRun>> runs_;
  std::vector<BrowserRun*> order_;  // runs in the order they were made
  RateLimit runLimit_;
  std::chrono::system_clock::time_point lastSession_{};
  ClassFeed feed_{[this] { FollowClass(); }};
  ClassReportJob report_{settings_.reportProgram};
  std::shared_ptr<LaterReply> answering_;  // the reply of the request being handled
  // The requests that sent an answer being written, the first one first,
  // with the page's count of answers unsent.
  struct Waiting {
    std::shared_ptr<LaterReply> reply;
    std::int64_t unsent;
  };
  std::map<std::pair<std::string, std::int32_t>, std::vector<Waiting>> waiting_;
  std::function<void()> whenIdle_;
  std::unique_ptr<RowWriter> writer_;  // last: it finishes its rows before the runs' sinks go
};

}  // namespace server
