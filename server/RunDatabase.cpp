#include "server/RunDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <utility>

#include "store/Connection.h"

namespace server {

namespace {

constexpr const char* kTables[] = {
    "CREATE TABLE IF NOT EXISTS browser_runs ("
    " id text PRIMARY KEY, write_key text NOT NULL, session text NOT NULL UNIQUE, seed bigint NOT NULL,"
    " observer text NOT NULL, design text NOT NULL, unsent bigint NOT NULL DEFAULT 0,"
    " made timestamptz NOT NULL DEFAULT now())",
    "CREATE TABLE IF NOT EXISTS browser_answers ("
    " run text NOT NULL REFERENCES browser_runs (id), trial integer NOT NULL, response integer NOT NULL,"
    " exposure_ms double precision NOT NULL, asked_ms double precision NOT NULL,"
    " frame_ms double precision NOT NULL, rating_ms bigint NOT NULL,"
    " received timestamptz NOT NULL DEFAULT now(), PRIMARY KEY (run, trial))",
    // Every change to a run or its answers names the run, for the servers
    // that follow the class.
    "CREATE OR REPLACE FUNCTION rocrating_browser_notify() RETURNS trigger LANGUAGE plpgsql AS $$"
    " BEGIN"
    "  IF TG_TABLE_NAME = 'browser_runs' THEN PERFORM pg_notify('rocrating_browser', NEW.id);"
    "  ELSIF TG_OP = 'DELETE' THEN PERFORM pg_notify('rocrating_browser', OLD.run);"
    "  ELSE PERFORM pg_notify('rocrating_browser', NEW.run); END IF;"
    "  RETURN NULL;"
    " END $$",
    "CREATE OR REPLACE TRIGGER browser_runs_notify AFTER INSERT OR UPDATE ON browser_runs"
    " FOR EACH ROW EXECUTE FUNCTION rocrating_browser_notify()",
    "CREATE OR REPLACE TRIGGER browser_answers_notify AFTER INSERT OR DELETE ON browser_answers"
    " FOR EACH ROW EXECUTE FUNCTION rocrating_browser_notify()",
};
constexpr const char* kChanged = "rocrating_browser";

numeric::Failure Failed(const QSqlQuery& query) { return numeric::Fail(store::ErrorText(query.lastError())); }

PageAnswer AnswerAt(const QSqlQuery& q, int at) {
  return {q.value(at).toInt(),
          {.ExposureMs = q.value(at + 1).toDouble(), .AskedMs = q.value(at + 2).toDouble(),
           .FrameMs = q.value(at + 3).toDouble(), .RatingMs = q.value(at + 4).toLongLong()}};
}

}  // namespace

RunDatabase::RunDatabase(const store::ConnInfo& info, const QString& connectionName)
    : connection_(std::make_unique<store::Connection>(info, connectionName)),
      notified_(*connection_, QString::fromLatin1(kChanged), [this](const QString& run, bool own) {
        // This server's own changes are in its memory already.
        if (!own) changed_.insert(run.toStdString());
      }) {}

RunDatabase::~RunDatabase() = default;

numeric::Status RunDatabase::Open() {
  if (numeric::Status open = connection_->Open(); !open) return open;
  QSqlQuery query(connection_->Db());
  // The server's start says nothing of tables that are there already; the
  // servers of a class starting at once make them one after the other.
  if (!query.exec(QStringLiteral("SET client_min_messages = warning"))) return Failed(query);
  QSqlDatabase& db = connection_->Db();
  if (!db.transaction()) return numeric::Fail(store::ErrorText(db.lastError()));
  bool made = query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('rocrating_browser'))"));
  for (const char* statement : kTables) made = made && query.exec(QString::fromLatin1(statement));
  if (!made) {
    const numeric::Failure failed = Failed(query);
    db.rollback();
    return failed;
  }
  if (!db.commit()) return numeric::Fail(store::ErrorText(db.lastError()));
  return {};
}

std::optional<std::set<std::string>> RunDatabase::TakeChanged() {
  const numeric::Result<bool> holds = notified_.Holds();
  if (!holds || !*holds || stale_) {
    // What changed before is not known: every run is to be read.
    changed_.clear();
    stale_ = false;
    return std::nullopt;
  }
  return std::exchange(changed_, {});
}

numeric::Result<bool> RunDatabase::AddRun(const BrowserRun& run) {
  QSqlQuery insert(connection_->Db());
  insert.prepare(
      "INSERT INTO browser_runs (id, write_key, session, seed, observer, design) VALUES (?, ?, ?, ?, ?, ?) "
      "ON CONFLICT (session) DO NOTHING");
  for (const QVariant& v : {QVariant(QString::fromStdString(run.Id())), QVariant(QString::fromStdString(run.Key())),
                            QVariant(QString::fromStdString(run.Identity().Session)),
                            QVariant(static_cast<qint64>(run.Identity().Seed)),
                            QVariant(QString::fromStdString(run.Identity().Observer)),
                            QVariant(QString::fromStdString(run.GetDesign().Name))}) {
    insert.addBindValue(v);
  }
  if (!insert.exec()) return Failed(insert);
  return insert.numRowsAffected() == 1;
}

numeric::Result<std::vector<RunDatabase::StoredRun>> RunDatabase::Runs(const std::string& id) {
  QSqlQuery runs(connection_->Db());
  runs.prepare(
      "SELECT r.id, r.write_key, r.session, r.seed, r.observer, r.design, r.unsent, "
      "to_char(max(a.received) AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"') "
      "FROM browser_runs r LEFT JOIN browser_answers a ON a.run = r.id " +
      QString(id.empty() ? "" : "WHERE r.id = ? ") + "GROUP BY r.id ORDER BY r.made, r.session");
  if (!id.empty()) runs.addBindValue(QString::fromStdString(id));
  if (!runs.exec()) {
    stale_ = true;
    return Failed(runs);
  }
  std::vector<StoredRun> found;
  std::map<std::string, std::size_t> at;
  while (runs.next()) {
    at[runs.value(0).toString().toStdString()] = found.size();
    found.push_back({.id = runs.value(0).toString().toStdString(), .key = runs.value(1).toString().toStdString(),
                     .session = runs.value(2).toString().toStdString(),
                     .observer = runs.value(4).toString().toStdString(),
                     .design = runs.value(5).toString().toStdString(),
                     .lastAnswer = runs.value(7).toString().toStdString(),
                     .seed = static_cast<std::uint32_t>(runs.value(3).toLongLong()),
                     .unsent = runs.value(6).toLongLong()});
  }
  QSqlQuery answers(connection_->Db());
  answers.prepare(
      "SELECT run, trial, response, exposure_ms, asked_ms, frame_ms, rating_ms FROM browser_answers" +
      QString(id.empty() ? "" : " WHERE run = ?"));
  if (!id.empty()) answers.addBindValue(QString::fromStdString(id));
  if (!answers.exec()) {
    stale_ = true;
    return Failed(answers);
  }
  while (answers.next()) {
    const auto run = at.find(answers.value(0).toString().toStdString());
    if (run != at.end()) found[run->second].answers.emplace(answers.value(1).toInt(), AnswerAt(answers, 2));
  }
  return found;
}

numeric::Result<BrowserRun::Outcome> RunDatabase::Claim(const std::string& id, std::int32_t trial,
                                                        const PageAnswer& answer, std::int64_t unsent) {
  QSqlQuery insert(connection_->Db());
  insert.prepare(
      "INSERT INTO browser_answers (run, trial, response, exposure_ms, asked_ms, frame_ms, rating_ms) "
      "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (run, trial) DO NOTHING");
  for (const QVariant& v : {QVariant(QString::fromStdString(id)), QVariant(trial), QVariant(answer.response),
                            QVariant(answer.timing.ExposureMs), QVariant(answer.timing.AskedMs),
                            QVariant(answer.timing.FrameMs), QVariant(static_cast<qint64>(answer.timing.RatingMs))}) {
    insert.addBindValue(v);
  }
  if (!insert.exec()) return Failed(insert);
  if (insert.numRowsAffected() == 1) {
    if (numeric::Status noted = SetUnsent(id, unsent); !noted) return numeric::Fail(noted.Reason());
    return BrowserRun::Outcome::kStored;
  }
  QSqlQuery held(connection_->Db());
  held.prepare(
      "SELECT response, exposure_ms, asked_ms, frame_ms, rating_ms FROM browser_answers WHERE run = ? AND trial = ?");
  held.addBindValue(QString::fromStdString(id));
  held.addBindValue(trial);
  if (!held.exec() || !held.next()) return Failed(held);
  return AnswerAt(held, 0) == answer ? BrowserRun::Outcome::kSame : BrowserRun::Outcome::kConflict;
}

numeric::Status RunDatabase::Release(const std::string& id, std::int32_t trial) {
  QSqlQuery remove(connection_->Db());
  remove.prepare("DELETE FROM browser_answers WHERE run = ? AND trial = ?");
  remove.addBindValue(QString::fromStdString(id));
  remove.addBindValue(trial);
  if (!remove.exec()) return Failed(remove);
  return {};
}

numeric::Status RunDatabase::SetUnsent(const std::string& id, std::int64_t unsent) {
  QSqlQuery update(connection_->Db());
  update.prepare("UPDATE browser_runs SET unsent = ? WHERE id = ?");
  update.addBindValue(static_cast<qint64>(unsent));
  update.addBindValue(QString::fromStdString(id));
  if (!update.exec()) return Failed(update);
  return {};
}

}  // namespace server
