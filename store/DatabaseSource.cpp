#include "DatabaseSource.h"

#include <QSqlDriver>
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

QString ConnectionName() {
  static std::atomic<int> next{0};
  return QStringLiteral("rocrating-class-%1").arg(next++);
}

}  // namespace

DatabaseSource::DatabaseSource(ConnInfo info)
    : info_(std::move(info)), connection_(std::make_unique<Connection>(info_, ConnectionName())) {}

DatabaseSource::~DatabaseSource() = default;

void DatabaseSource::OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

classdata::SourceChanges DatabaseSource::Read() {
  // While the server cannot be read, the class keeps what was read last.
  classdata::SourceOrigin origin{info_.shown, {}, {}};
  numeric::Status ready = connection_->Open();
  if (ready) ready = CheckSchema(connection_->Db());
  if (!ready) {
    subscribed_ = false;
    connection_->Db().close();
    return {{{info_.shown, last_, {{experiment::NoteCode::kDatabase, info_.shown, 0, {ready.Reason()}}}}}, {}};
  }
  QSqlDriver* driver = connection_->Db().driver();
  if (!subscribed_ && driver->subscribeToNotification(QString::fromLatin1(kNotification))) {
    subscribed_ = true;
    QObject::connect(driver, &QSqlDriver::notification, this, [this] {
      if (changed_) changed_();
    });
  }
  QSqlQuery query(connection_->Db());
  if (!query.exec(SelectTrialsStatement())) {
    subscribed_ = false;
    connection_->Db().close();
    return {{{info_.shown, last_, {{experiment::NoteCode::kDatabase, info_.shown, 0, {ErrorText(query.lastError())}}}}},
             {}};
  }
  // A session per run and lab machine.
  std::map<std::pair<std::string, std::string>, std::size_t> sessionOf;
  while (query.next()) {
    std::string host;
    experiment::TrialLogRow row = TrialAt(query, host);
    auto [at, added] = sessionOf.try_emplace({row.Session, host}, origin.sessions.size());
    if (added) origin.sessions.push_back({row.Session, row.Seed, {}, row.Observer, row.DesignName, row.Categories});
    origin.sessions[at->second].Rows.push_back(std::move(row));
  }
  last_ = origin.sessions;
  return {{std::move(origin)}, {}};
}

std::unique_ptr<classdata::ClassSource> OpenDatabaseSource(const std::string& argument) {
  if (!LooksLikeConnInfo(argument)) return nullptr;
  auto parsed = ParseConnInfo(argument);
  if (!parsed) return std::make_unique<RefusedSource>(argument, parsed.Reason());
  return std::make_unique<DatabaseSource>(std::move(*parsed));
}

}  // namespace store
