#include "server/HttpServer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSslServer>
#include <QUrlQuery>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "classdata/ReportCsv.h"
#include "experiment/TextRules.h"
#include "server/ApiJson.h"
#include "server/PageLanguage.h"
#include "server/PageTexts.h"
#include "server/QrCode.h"
#include "server/RunDatabase.h"
#include "server/RunRecords.h"
#include "server/Secrets.h"
#include "stats/BinormalFit.h"
#include "stats/RatingCounts.h"

namespace server {

namespace {

using Method = QHttpServerRequest::Method;

// The resources: their path, segment by segment ("*": any one segment),
// and the handler of each method.
struct Route {
  std::vector<const char*> shape;
  Method method;
  Reply (HttpServer::*handler)(const QHttpServerRequest&, const QStringList&);
};

const char* MethodName(Method m) {
  switch (m) {
    case Method::Get: return "GET";
    case Method::Post: return "POST";
    case Method::Put: return "PUT";
    default: return "";
  }
}

// The wild segments of path when it has the shape; nullopt otherwise.
std::optional<QStringList> Match(const std::vector<const char*>& shape, const QStringList& path) {
  if (static_cast<std::size_t>(path.size()) != shape.size()) return std::nullopt;
  QStringList wild;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const QString& part = path[static_cast<qsizetype>(i)];
    if (std::string_view(shape[i]) == "*") {
      if (part.isEmpty()) return std::nullopt;
      wild << part;
    } else if (part != QLatin1String(shape[i])) {
      return std::nullopt;
    }
  }
  return wild;
}

QByteArray TypeOf(const QString& name) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"}, {".css", "text/css; charset=utf-8"},
      {".svg", "image/svg+xml"}, {".png", "image/png"}, {".json", "application/json"},
      {".ico", "image/x-icon"}, {".woff2", "font/woff2"}, {".txt", "text/plain; charset=utf-8"}};
  for (const auto& [ending, type] : kTypes) {
    if (name.endsWith(QLatin1String(ending))) return type;
  }
  return "application/octet-stream";
}

const Header kNoStore{"Cache-Control", "no-store"};

// An embedded file (a Qt resource under :/web); 404 when there is none.
Reply EmbeddedFile(const QString& name, bool noStore) {
  QFile file(QStringLiteral(":/web/") + name);
  if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly)) return ErrorReply(404, "no such file");
  Reply reply{.status = 200, .type = TypeOf(name), .body = file.readAll()};
  reply.headers.push_back(noStore ? kNoStore : Header{"Cache-Control", "no-cache"});
  return reply;
}

// The page's language: the one it asks for, else the server's.
ui::Language LanguageOf(const QHttpServerRequest& request, ui::Language otherwise) {
  return PageLanguageOf(request.query().queryItemValue("lang").toStdString()).value_or(otherwise);
}

// The reason an observer's name is refused, in the page's language (the
// observer dialog's words).
QString NameProblem(std::string_view typed, ui::Language language) {
  const std::string_view name = experiment::TrimWhiteSpace(typed);
  if (name.empty()) return Tr(language, "ObserverDialog", "名前を入力して下さい。");
  const auto length = experiment::Utf8Length(name);
  if (length && *length > experiment::kMaxNameCharacters) {
    return Tr(language, "ObserverDialog", "名前は %1 文字までです。").arg(experiment::kMaxNameCharacters);
  }
  return Tr(language, "ObserverDialog", "制御文字は使えません。");
}

std::optional<std::int32_t> TrialOf(const QString& text) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
  if (!digits.match(text).hasMatch()) return std::nullopt;
  return text.toInt();
}

}  // namespace

HttpServer::HttpServer(ServerSettings settings, QObject* parent)
    : QAbstractHttpServer(parent),
      settings_(std::move(settings)),
      runLimit_(settings_.runsPerMinute),
      writer_(std::make_unique<RowWriter>(settings_.writerThreads)) {}

HttpServer::~HttpServer() = default;

numeric::Result<quint16> HttpServer::Listen(const QHostAddress& address, quint16 port) {
  QTcpServer* listener = nullptr;
  if (settings_.tls) {
    auto* ssl = new GuardedServer<QSslServer>(settings_.limits, connections_);
    ssl->setSslConfiguration(*settings_.tls);
    ssl->setHandshakeTimeout(static_cast<int>(settings_.limits.arrival.count()));
    listener = ssl;
  } else {
    listener = new GuardedServer<QTcpServer>(settings_.limits, connections_);
  }
  listener->setParent(this);
  if (!listener->listen(address, port)) {
    const std::string why = listener->serverError() == QAbstractSocket::AddressInUseError
                                ? std::string("the address is in use")
                                : listener->errorString().toStdString();
    delete listener;
    return numeric::Fail(why);
  }
  bind(listener);
  listeners_.push_back(listener);
  return listener->serverPort();
}

void HttpServer::StopListening() {
  for (QTcpServer* listener : listeners_) listener->close();
}

bool HttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (StreamClass(request, socket)) return true;
  answering_ = std::make_shared<LaterReply>(makeResponder(request, socket), socket);
  const Reply reply = Dispatch(request);
  if (reply.status != kAnsweredLater) answering_->Send(reply);
  answering_.reset();
  return true;
}

void HttpServer::WhenIdle(std::function<void()> done) {
  if (writer_->Pending() == 0) {
    done();
  } else {
    whenIdle_ = std::move(done);
  }
}

void HttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  QHttpServerResponder responder = makeResponder(request, socket);
  Send(responder, ErrorReply(404, "not found"));
}

Reply HttpServer::Dispatch(const QHttpServerRequest& request) {
  static const Route kRoutes[] = {
      {{""}, Method::Get, &HttpServer::Index},
      {{"teacher"}, Method::Get, &HttpServer::Teacher},
      {{"web", "*"}, Method::Get, &HttpServer::WebFile},
      {{"api", "config"}, Method::Get, &HttpServer::Config},
      {{"api", "runs"}, Method::Post, &HttpServer::CreateRun},
      {{"api", "runs", "*"}, Method::Get, &HttpServer::GetRun},
      {{"api", "runs", "*", "answers", "*"}, Method::Put, &HttpServer::PutAnswer},
      {{"api", "runs", "*", "status"}, Method::Post, &HttpServer::PostStatus},
      {{"api", "runs", "*", "fit"}, Method::Get, &HttpServer::RunFit},
      {{"api", "runs", "*", "rows.csv"}, Method::Get, &HttpServer::RunRows},
      {{"api", "teacher", "runs"}, Method::Get, &HttpServer::TeacherRuns},
      {{"api", "teacher", "trials.csv"}, Method::Get, &HttpServer::TeacherTrials},
      {{"api", "teacher", "sessions.csv"}, Method::Get, &HttpServer::TeacherSessions},
      {{"api", "teacher", "qr.svg"}, Method::Get, &HttpServer::TeacherQr},
      {{"api", "teacher", "class"}, Method::Get, &HttpServer::TeacherClass},
      {{"api", "teacher", "compare"}, Method::Get, &HttpServer::TeacherCompare},
      {{"api", "teacher", "class-summary.csv"}, Method::Get, &HttpServer::TeacherSummary},
      {{"api", "teacher", "class-report.pdf"}, Method::Get, &HttpServer::TeacherReport},
      {{"api", "teacher", "events"}, Method::Get, &HttpServer::TeacherEvents},
  };
  const QStringList path = request.url().path(QUrl::FullyEncoded).mid(1).split(QLatin1Char('/'));
  QByteArray allowed;
  for (const Route& route : kRoutes) {
    const std::optional<QStringList> wild = Match(route.shape, path);
    if (!wild) continue;
    if (route.method == request.method()) return (this->*route.handler)(request, *wild);
    allowed += QByteArray(allowed.isEmpty() ? "" : ", ") + MethodName(route.method);
  }
  if (allowed.isEmpty()) return ErrorReply(404, "not found");
  Reply refused = ErrorReply(405, "method not allowed");
  refused.headers.push_back({"Allow", allowed});
  return refused;
}

Reply HttpServer::Index(const QHttpServerRequest&, const QStringList&) {
  return EmbeddedFile("index.html", false);
}

Reply HttpServer::Teacher(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  return EmbeddedFile("teacher.html", true);
}

Reply HttpServer::WebFile(const QHttpServerRequest&, const QStringList& wild) {
  static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,99}$"));
  if (!safe.match(wild[0]).hasMatch()) return ErrorReply(404, "no such file");
  return EmbeddedFile(wild[0], false);
}

Reply HttpServer::Config(const QHttpServerRequest& request, const QStringList&) {
  const ui::Language language = LanguageOf(request, settings_.language);
  QJsonArray designs;
  for (const experiment::Design& d : settings_.designs) designs.append(QJsonObject{{"name", QString::fromStdString(d.Name)}});
  return JsonReply(200, {{"lang", LanguageCode(language)}, {"designs", designs}, {"texts", PageTexts(language)}});
}

std::string HttpServer::NewSession() {
  // Sessions name runs in the files and the database: never two alike.
  auto now = std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
  if (now <= lastSession_) now = std::chrono::time_point_cast<std::chrono::milliseconds>(lastSession_) + std::chrono::milliseconds(1);
  lastSession_ = now;
  return experiment::FormatSessionTime(now);
}

Reply HttpServer::CreateRun(const QHttpServerRequest& request, const QStringList&) {
  const ui::Language language = LanguageOf(request, settings_.language);
  const auto join = ParseJoin(request.body());
  if (!join) return ErrorReply(400, QString::fromStdString(join.Reason()));
  const auto observer = experiment::ObserverName(join->observer);
  if (!observer) {
    return ErrorReply(400, "the observer's name " + QString::fromStdString(observer.Reason()),
                      {{"reason", NameProblem(join->observer, language)}});
  }
  const auto design = join->design.empty() ? settings_.designs.begin()
                                           : std::find_if(settings_.designs.begin(), settings_.designs.end(),
                                                          [&](const experiment::Design& d) { return d.Name == join->design; });
  if (design == settings_.designs.end()) return ErrorReply(400, "no such design");
  if (!runLimit_.Allow(request.remoteAddress().toString().toStdString(), RateLimit::Clock::now())) {
    return ErrorReply(429, "too many runs from this address; wait a minute");
  }
  std::unique_ptr<BrowserRun> run;
  for (int tries = 0; !run; ++tries) {
    const std::string key = RandomSecret();
    run = MakeBrowserRun({.id = RandomSecret(), .keyHash = SecretHash(key), .design = design->Name,
                          .session = NewSession(), .observer = *observer},
                         key, settings_.seed);
    if (settings_.database == nullptr) break;
    const numeric::Result<bool> added = settings_.database->AddRun(*run);
    if (!added) return Unavailable(added.Reason());
    if (!*added) run.reset();  // another server's run has this session: the next millisecond's
    if (tries == 100) return Unavailable("no session time is free");
  }
  const QJsonObject body = RunJson(*run, language);
  BrowserRun* made = run.get();
  order_.push_back(made);
  runs_.emplace(made->Id(), std::move(run));
  if (!settings_.dataFolder || settings_.database != nullptr) return JsonReply(201, body);
  // The page hears of the run once its record is on the disk, so that a
  // restart does not lose it (the database keeps its own).
  writer_->Do(
      made->Sinks().front(), [folder = *settings_.dataFolder, record = RecordOf(*made)] { return WriteRunRecord(folder, record); },
      [this, made, body, reply = answering_](bool kept, const std::string& failure) {
        if (kept) {
          reply->Send(JsonReply(201, body));
          return;
        }
        std::cerr << "rocrating: " << failure << "\n";
        order_.erase(std::find(order_.begin(), order_.end(), made));
        runs_.erase(made->Id());
        reply->Send(ErrorReply(500, "the run could not be kept; try again"));
      });
  return {.status = kAnsweredLater};
}

RunRecord HttpServer::RecordOf(const BrowserRun& run) {
  return {.id = run.Id(), .keyHash = run.KeyHash(), .design = run.GetDesign().Name, .session = run.Identity().Session,
          .observer = run.Identity().Observer, .seed = run.Identity().Seed};
}

std::unique_ptr<BrowserRun> HttpServer::MakeBrowserRun(const RunRecord& record, const std::string& key,
                                                       std::optional<std::uint32_t> seed) const {
  const auto d = std::find_if(settings_.designs.begin(), settings_.designs.end(),
                              [&](const experiment::Design& x) { return x.Name == record.design; });
  if (d == settings_.designs.end()) return nullptr;
  const experiment::RunSettings made{.design = *d, .Format = experiment::TrialLogFormat::kClass, .Seed = seed};
  auto run = std::make_unique<BrowserRun>(record.id, key, record.keyHash,
                                          experiment::MakeRun(made, record.session, record.observer));
  if (settings_.dataFolder) {
    // The run's record names its file once the first row makes it.
    auto opened = [folder = *settings_.dataFolder, named = RecordOf(*run)](const std::string& path) mutable {
      named.file = std::filesystem::path(path).filename().string();
      return WriteRunRecord(folder, named);
    };
    run->AddFile(std::make_unique<RunFile>(*settings_.dataFolder, record.session, record.observer, record.file, opened));
  }
  if (settings_.store != nullptr) run->AddSink(settings_.store);
  return run;
}

std::vector<std::string> HttpServer::LoadRuns() {
  std::vector<std::string> problems;
  if (!settings_.dataFolder) return problems;
  for (const RunRecord& record : ReadRunRecords(*settings_.dataFolder, problems)) {
    if (runs_.contains(record.id)) continue;
    std::unique_ptr<BrowserRun> run = MakeBrowserRun(record, {}, record.seed);
    if (!run) {
      problems.push_back("the run " + record.id + " is of the design \"" + record.design + "\", which is not served");
      continue;
    }
    if (!record.file.empty()) {
      const QString path = QString::fromStdString(*settings_.dataFolder + "/" + record.file);
      const experiment::TrialLogContents read = experiment::ReadTrialLog(path.toStdString());
      if (read.Error) problems.push_back(experiment::NoteText(*read.Error));
      for (const experiment::TrialLogSession& session : read.Sessions) {
        if (session.Session != record.session) continue;
        for (const experiment::TrialLogRow& r : session.Rows) {
          run->Remember(r.Trial, {r.Response, {r.ExposureMs, r.AskedMs, r.FrameMs, r.RatingMs}});
        }
      }
      const QDateTime changed = QFileInfo(path).lastModified();
      if (changed.isValid()) {
        const std::chrono::system_clock::time_point at{std::chrono::milliseconds(changed.toMSecsSinceEpoch())};
        run->SetLastAnswer(experiment::FormatSessionTime(at));
      }
    }
    order_.push_back(run.get());
    runs_.emplace(record.id, std::move(run));
  }
  std::sort(order_.begin(), order_.end(),
            [](const BrowserRun* a, const BrowserRun* b) { return a->Identity().Session < b->Identity().Session; });
  return problems;
}

numeric::Status HttpServer::Refresh(const std::string& id) {
  const auto stored = settings_.database->Runs(id);
  if (!stored) return numeric::Fail(stored.Reason());
  if (id.empty()) order_.clear();
  for (const RunDatabase::StoredRun& s : *stored) {
    auto it = runs_.find(s.id);
    if (it == runs_.end()) {
      std::unique_ptr<BrowserRun> run = MakeBrowserRun(
          {.id = s.id, .keyHash = SecretHash(s.key), .design = s.design, .session = s.session, .observer = s.observer},
          s.key, s.seed);
      if (!run) continue;  // a design this server does not serve
      it = runs_.emplace(s.id, std::move(run)).first;
    }
    for (const auto& [trial, answer] : s.answers) it->second->Remember(trial, answer);
    it->second->SetLastAnswer(s.lastAnswer);
    it->second->unsent = s.unsent;
    // Another server's run joins the class where it is first heard of.
    if (id.empty() || std::find(order_.begin(), order_.end(), it->second.get()) == order_.end())
      order_.push_back(it->second.get());
  }
  return {};
}

numeric::Status HttpServer::CatchUp() {
  if (settings_.database == nullptr) return {};
  // Past a few runs, one read of them all costs less than a read of each.
  constexpr std::size_t kFewRuns = 32;
  const std::optional<std::set<std::string>> changed = settings_.database->TakeChanged();
  if (!changed || changed->size() > kFewRuns) return Refresh();
  for (const std::string& id : *changed) {
    if (numeric::Status fresh = Refresh(id); !fresh) return fresh;
  }
  return {};
}

Reply HttpServer::Unavailable(const std::string& why) const {
  std::cerr << "rocrating: the class database: " << why << "\n";
  return ErrorReply(503, "the class database is not reachable; try again");
}

BrowserRun* HttpServer::WritableRun(const QHttpServerRequest& request, const QString& id, Reply& refused) {
  if (settings_.database != nullptr && !runs_.contains(id.toStdString())) {
    if (const numeric::Status found = Refresh(id.toStdString()); !found) {
      refused = Unavailable(found.Reason());
      return nullptr;
    }
  }
  const auto it = runs_.find(id.toStdString());
  if (it == runs_.end()) {
    refused = ErrorReply(404, "no such run");
    return nullptr;
  }
  if (!SameSecret(SecretHash(request.value("X-Write-Key").toStdString()), it->second->KeyHash())) {
    refused = ErrorReply(403, "wrong write key");
    return nullptr;
  }
  return it->second.get();
}

Reply HttpServer::GetRun(const QHttpServerRequest& request, const QStringList& wild) {
  Reply refused;
  BrowserRun* run = WritableRun(request, wild[0], refused);
  if (run == nullptr) return refused;
  if (settings_.database != nullptr) {
    if (const numeric::Status fresh = Refresh(run->Id()); !fresh) return Unavailable(fresh.Reason());
  }
  QJsonObject body = RunJson(*run, LanguageOf(request, settings_.language));
  QJsonArray stored;
  for (const auto& [trial, answer] : run->Answers()) stored.append(trial);
  body.insert("stored", stored);
  return JsonReply(200, body);
}

Reply HttpServer::PutAnswer(const QHttpServerRequest& request, const QStringList& wild) {
  Reply refused;
  BrowserRun* run = WritableRun(request, wild[0], refused);
  if (run == nullptr) return refused;
  const std::optional<std::int32_t> trial = TrialOf(wild[1]);
  if (!trial || *trial < 1 || *trial > run->GetDesign().TotalTrials()) return ErrorReply(404, "no such trial");
  std::int64_t unsent = 0;
  const auto answer = ParseAnswer(request.body(), run->GetDesign().Categories(), unsent);
  if (!answer) return ErrorReply(400, QString::fromStdString(answer.Reason()));
  if (settings_.database != nullptr && !run->Answers().contains(*trial) && !run->IsPending(*trial)) {
    // The database decides, for every server of the class, whether the
    // answer is new; one it holds already is remembered here.
    const auto claimed = settings_.database->Claim(run->Id(), *trial, *answer, unsent);
    if (!claimed) return Unavailable(claimed.Reason());
    if (*claimed != BrowserRun::Outcome::kStored) {
      if (const numeric::Status fresh = Refresh(run->Id()); !fresh) return Unavailable(fresh.Reason());
    }
  }
  const BrowserRun::Begun begun = run->Begin(*trial, *answer);
  switch (begun.outcome) {
    case BrowserRun::Outcome::kStored:
      writer_->Write(run->Sinks(), begun.row, [this, run, trial = *trial](bool kept, const std::string& failure) {
        Written(*run, trial, kept, failure);
      });
      [[fallthrough]];
    case BrowserRun::Outcome::kPending:
      // Acknowledged once the row is on the disk; a repeat meanwhile gets
      // the same outcome.
      waiting_[{run->Id(), *trial}].push_back({answering_, unsent});
      return {.status = kAnsweredLater};
    case BrowserRun::Outcome::kSame: run->unsent = unsent; return JsonReply(200, {{"stored", *trial}});
    case BrowserRun::Outcome::kConflict: return ErrorReply(409, "that trial is stored with another answer");
    case BrowserRun::Outcome::kNoSuchTrial:
    case BrowserRun::Outcome::kNotKept: break;
  }
  return ErrorReply(404, "no such trial");
}

void HttpServer::Written(BrowserRun& run, std::int32_t trial, bool kept, const std::string& failure) {
  if (!failure.empty()) std::cerr << "rocrating: " << failure << "\n";
  run.Finish(trial, kept, experiment::FormatSessionTime(std::chrono::system_clock::now()));
  if (!kept && settings_.database != nullptr) (void)settings_.database->Release(run.Id(), trial);
  const auto it = waiting_.find({run.Id(), trial});
  if (it != waiting_.end()) {
    const std::vector<Waiting> waiting = std::move(it->second);
    waiting_.erase(it);
    for (std::size_t i = 0; i < waiting.size(); ++i) {
      if (!kept) {
        waiting[i].reply->Send(ErrorReply(500, "the answer could not be kept; send it again"));
        continue;
      }
      run.unsent = waiting[i].unsent;
      waiting[i].reply->Send(JsonReply(i == 0 ? 201 : 200, {{"stored", trial}}));
    }
  }
  if (whenIdle_ && writer_->Pending() == 0) std::exchange(whenIdle_, {})();
}

Reply HttpServer::PostStatus(const QHttpServerRequest& request, const QStringList& wild) {
  Reply refused;
  BrowserRun* run = WritableRun(request, wild[0], refused);
  if (run == nullptr) return refused;
  const auto unsent = ParseStatus(request.body());
  if (!unsent) return ErrorReply(400, QString::fromStdString(unsent.Reason()));
  run->unsent = *unsent;
  if (settings_.database != nullptr) {
    if (const numeric::Status noted = settings_.database->SetUnsent(run->Id(), *unsent); !noted) {
      return Unavailable(noted.Reason());
    }
  }
  return {.status = 204, .body = {}};
}

bool HttpServer::TeacherAllowed(const QHttpServerRequest& request) {
  const QString token = request.query().queryItemValue("token", QUrl::FullyDecoded);
  if (!SameSecret(token.toStdString(), settings_.token)) return false;
  // Every server's runs, as the database holds them now.
  if (const numeric::Status fresh = CatchUp(); !fresh) std::cerr << "rocrating: the class database: " << fresh.Reason() << "\n";
  return true;
}

Reply HttpServer::TeacherRuns(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  QJsonArray runs;
  for (const BrowserRun* run : order_) {
    runs.append(QJsonObject{
        {"observer", QString::fromStdString(run->Identity().Observer)},
        {"design", QString::fromStdString(run->GetDesign().Name)},
        {"answered", static_cast<qint64>(run->Answers().size())},
        {"total", run->GetDesign().TotalTrials()},
        {"last_answer", run->LastAnswer().empty() ? QJsonValue() : QJsonValue(QString::fromStdString(run->LastAnswer()))},
        {"unsent", static_cast<qint64>(run->unsent)}});
  }
  Reply reply = JsonReply(200, {{"students_url", QString::fromStdString(settings_.studentsUrl)}, {"runs", runs}});
  reply.headers.push_back(kNoStore);
  return reply;
}

Reply HttpServer::TeacherTrials(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  std::string csv = experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  for (const BrowserRun* run : order_) {
    for (const experiment::TrialLogRow& row : run->Rows().Rows) {
      csv += experiment::FormatTrialLogLine(row, experiment::TrialLogFormat::kClass);
    }
  }
  Reply reply{.status = 200, .type = "text/csv; charset=utf-8", .body = QByteArray::fromStdString(csv)};
  reply.headers = {kNoStore, {"Content-Disposition", "attachment; filename=\"trials.csv\""}};
  return reply;
}

Reply HttpServer::TeacherSessions(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  std::vector<experiment::TrialLogSession> sessions;
  classdata::FitCsvLayout layout{experiment::Design::Standard().Categories() - 1, true};
  for (const BrowserRun* run : order_) {
    sessions.push_back(run->Rows());
    layout.criteria = std::max(layout.criteria, sessions.back().Categories - 1);
  }
  const auto columns = classdata::FitCsvColumns(layout);
  std::string csv = classdata::CsvHeader(columns);
  std::vector<const experiment::TrialLogSession*> each;
  for (const experiment::TrialLogSession& s : sessions) each.push_back(&s);
  const std::vector<roc::ClassSession> fitted = classdata::FitEach(each);
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    const experiment::TrialLogSession& s = sessions[i];
    csv += classdata::CsvLine(columns, classdata::FitSession{order_[i]->FileName(), s.Session, s.Observer, s.DesignName,
                                                             fitted[i].counts, fitted[i].fit, fitted[i].Incomplete()});
  }
  Reply reply{.status = 200, .type = "text/csv; charset=utf-8", .body = QByteArray::fromStdString(csv)};
  reply.headers = {kNoStore, {"Content-Disposition", "attachment; filename=\"sessions.csv\""}};
  return reply;
}

Reply HttpServer::TeacherQr(const QHttpServerRequest& request, const QStringList&) {
  if (!TeacherAllowed(request)) return ErrorReply(403, "forbidden");
  Reply reply{.status = 200, .type = "image/svg+xml", .body = QByteArray::fromStdString(QrSvg(settings_.studentsUrl))};
  reply.headers.push_back(kNoStore);
  return reply;
}

}  // namespace server
