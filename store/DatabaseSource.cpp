#include "DatabaseSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <map>

#include "Connection.h"
#include "Schema.h"

namespace store {

namespace {

// A source that only says why it cannot be read.
class RefusedSource : public classdata::ClassSource {
 public:
  RefusedSource(std::string name, std::string why) : name_(std::move(name)), why_(std::move(why)) {}
  classdata::SourceChanges Read() override {
    if (told_) return {};
    told_ = true;
    return {{{name_, {}, {{experiment::NoteCode::kDatabase, name_, 0, {why_}}}}}, {}};
  }
  classdata::SourceKind Kind() const override { return classdata::SourceKind::kDatabase; }

 private:
  std::string name_, why_;
  bool told_ = false;
};

// The rows of a query of trials as sessions, one per run and lab machine.
std::map<std::pair<std::string, std::string>, experiment::TrialLogSession> Sessions(QSqlQuery& query) {
  std::map<std::pair<std::string, std::string>, experiment::TrialLogSession> sessions;
  while (query.next()) {
    std::string host;
    experiment::TrialLogRow row = TrialAt(query, host);
    auto [at, added] = sessions.try_emplace({row.Session, host});
    if (added) at->second = {row.Session, row.Seed, {}, row.Observer, row.DesignName, row.Categories};
    at->second.Rows.push_back(std::move(row));
  }
  return sessions;
}

QString ConnectionName() {
  static std::atomic<int> next{0};
  return QStringLiteral("rocrating-class-%1").arg(next++);
}

}  // namespace

DatabaseSource::DatabaseSource(ConnInfo info)
    : info_(std::move(info)),
      connection_(std::make_unique<Connection>(info_, ConnectionName())),
      notified_(*connection_, QString::fromLatin1(kNotification), [this](const QString& payload, bool) { Heard(payload); }) {}

DatabaseSource::~DatabaseSource() = default;

void DatabaseSource::OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

classdata::SourceChanges DatabaseSource::Failed(const std::string& why) {
  // While the server cannot be read, the class keeps what was read last;
  // what changed meanwhile is not known.
  whole_ = true;
  connection_->Db().close();
  classdata::SourceOrigin origin{info_.shown, {}, {{experiment::NoteCode::kDatabase, info_.shown, 0, {why}}}};
  origin.partial = true;
  return {{std::move(origin)}, {}};
}

void DatabaseSource::Heard(const QString& payload) {
  const QJsonArray named = QJsonDocument::fromJson(payload.toUtf8()).array();
  if (named.size() == 2 && named[0].isString() && named[1].isString()) {
    named_.insert({named[0].toString().toStdString(), named[1].toString().toStdString()});
  } else {
    whole_ = true;  // a statement's notification, or an older trigger's
  }
  if (changed_) changed_();
}

classdata::SourceChanges DatabaseSource::Read() {
  numeric::Status ready = connection_->Open();
  if (ready) ready = CheckSchema(connection_->Db());
  if (!ready) return Failed(ready.Reason());
  const numeric::Result<bool> holds = notified_.Holds();
  if (!holds) return Failed(holds.Reason());
  if (!*holds) whole_ = true;  // what was notified before is not known
  return whole_ ? Whole() : Named();
}

classdata::SourceChanges DatabaseSource::Whole() {
  QSqlQuery query(connection_->Db());
  if (!query.exec(SelectTrialsStatement())) return Failed(ErrorText(query.lastError()));
  whole_ = false;
  named_.clear();  // what they named is read now
  seeds_.clear();
  classdata::SourceOrigin origin{info_.shown, {}, {}};
  for (auto& [key, session] : Sessions(query)) {
    seeds_[key] = session.Seed;
    origin.sessions.push_back(std::move(session));
  }
  return {{std::move(origin)}, {}};
}

classdata::SourceChanges DatabaseSource::Named() {
  if (named_.empty()) return {};
  classdata::SourceOrigin origin{info_.shown, {}, {}};
  origin.partial = true;
  QSqlQuery query(connection_->Db());
  query.prepare(SelectSessionStatement());
  for (const SessionKey& key : named_) {
    query.addBindValue(QString::fromStdString(key.first));
    query.addBindValue(QString::fromStdString(key.second));
    if (!query.exec()) return Failed(ErrorText(query.lastError()));
    auto read = Sessions(query);
    const auto held = seeds_.find(key);
    if (read.empty()) {
      // Its rows were deleted.
      if (held != seeds_.end()) origin.gone.push_back({key.first, held->second});
      if (held != seeds_.end()) seeds_.erase(held);
      continue;
    }
    experiment::TrialLogSession& session = read.begin()->second;
    if (held != seeds_.end() && held->second != session.Seed) origin.gone.push_back({key.first, held->second});
    seeds_[key] = session.Seed;
    origin.sessions.push_back(std::move(session));
  }
  named_.clear();
  return {{std::move(origin)}, {}};
}

std::unique_ptr<classdata::ClassSource> OpenDatabaseSource(const std::string& argument) {
  if (!LooksLikeConnInfo(argument)) return nullptr;
  auto parsed = ParseConnInfo(argument);
  if (!parsed) return std::make_unique<RefusedSource>(argument, parsed.Reason());
  return std::make_unique<DatabaseSource>(std::move(*parsed));
}

}  // namespace store
