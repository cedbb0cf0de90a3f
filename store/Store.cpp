#include "Store.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <chrono>
#include <set>
#include <tuple>

#include "Connection.h"
#include "Schema.h"

namespace store {

namespace {

using Key = std::tuple<std::string, std::uint32_t, std::int32_t>;  // session, seed, trial

Key KeyOf(const experiment::TrialLogRow& row) { return {row.Session, row.Seed, row.Trial}; }

// The rows of a per-trial file in file order, session by session; none when
// it is missing.
std::vector<experiment::TrialLogRow> RowsOf(const std::string& path) {
  std::vector<experiment::TrialLogRow> rows;
  for (experiment::TrialLogSession& s : experiment::ReadTrialLog(path).Sessions) {
    for (experiment::TrialLogRow& r : s.Rows) rows.push_back(std::move(r));
  }
  return rows;
}

}  // namespace

std::string SpoolPath(const std::string& dataFolder, const ConnInfo& info) {
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a of the options
  for (unsigned char c : info.options) hash = (hash ^ c) * 1099511628211ULL;
  char name[40];
  std::snprintf(name, sizeof name, "store-%016llx.csv", static_cast<unsigned long long>(hash));
  return dataFolder + "/" + name;
}

Store::Store(ConnInfo info, std::string spoolPath, std::string host, std::function<void(const std::string&)> status)
    : info_(std::move(info)), spoolPath_(std::move(spoolPath)), host_(std::move(host)), status_(std::move(status)) {}

Store::~Store() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

numeric::Status Store::Start() {
  if (numeric::Status open = spool_.Open(spoolPath_, experiment::TrialLogFormat::kClass); !open) return open;
  if (numeric::Status open = sent_.Open(spoolPath_ + ".sent", experiment::TrialLogFormat::kClass); !open) return open;
  // What an earlier run spooled and never saw confirmed goes first.
  std::set<Key> sent;
  for (const experiment::TrialLogRow& row : RowsOf(spoolPath_ + ".sent")) sent.insert(KeyOf(row));
  for (experiment::TrialLogRow& row : RowsOf(spoolPath_)) {
    if (!sent.count(KeyOf(row))) queue_.push_back(std::move(row));
  }
  if (!queue_.empty())
    Report(QCoreApplication::translate("store::Store", "前回送れなかった %1 件の試行をデータベースに送ります")
               .arg(queue_.size())
               .toStdString());
  worker_ = std::thread([this] { Run(); });
  return {};
}

numeric::Status Store::Append(const experiment::TrialLogRow& row) { return AppendAll({row}); }

numeric::Status Store::AppendAll(const std::vector<experiment::TrialLogRow>& rows) {
  if (numeric::Status kept = spool_.AppendAll(rows); !kept) return kept;
  {
    std::lock_guard lock(mutex_);
    queue_.insert(queue_.end(), rows.begin(), rows.end());
  }
  wake_.notify_all();
  return {};
}

std::size_t Store::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

void Store::Report(const std::string& line) {
  {
    std::lock_guard lock(mutex_);
    if (line == lastStatus_) return;
    lastStatus_ = line;
  }
  if (status_) status_(line);
}

void Store::Run() {
  // A name of its own: Qt keeps connections by name, process-wide.
  static std::atomic<int> next{0};
  Connection connection(info_, QStringLiteral("rocrating-store-%1").arg(next++));
  bool schemaChecked = false;
  auto retry = std::chrono::milliseconds(250);
  bool first = true;  // the state is said at the start, before any row
  while (true) {
    {
      std::unique_lock lock(mutex_);
      if (stop_) return;
      if (queue_.empty() && !first) wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
      if (stop_) return;
    }
    first = false;
    if (SendQueued(connection, schemaChecked)) {
      retry = std::chrono::milliseconds(250);
      continue;
    }
    // Try again a little later, and later still while it keeps failing.
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, retry, [this] { return stop_; });
    retry = std::min(retry * 2, std::chrono::milliseconds(4000));
  }
}

void Store::Trouble(const std::string& what, const std::string& why) {
  Report(what +
         QCoreApplication::translate("store::Store", "（未送信 %1 件は手元に保存）").arg(Pending()).toStdString() +
         "\n" + why);
}

bool Store::SendQueued(Connection& connection, bool& schemaChecked) {
  if (const numeric::Status open = connection.Open(); !open) {
    schemaChecked = false;
    Trouble(QCoreApplication::translate("store::Store", "データベースに接続できません").toStdString(), open.Reason());
    return false;
  }
  if (!schemaChecked) {
    if (const numeric::Status layout = CheckSchema(connection.Db()); !layout) {
      connection.Db().close();
      Trouble(QCoreApplication::translate("store::Store", "データベースに書き込めません").toStdString(),
              layout.Reason());
      return false;
    }
    schemaChecked = true;
  }
  QSqlQuery insert(connection.Db());
  insert.prepare(InsertTrialStatement());
  while (true) {
    experiment::TrialLogRow row;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty() || stop_) break;
      row = queue_.front();
    }
    BindTrial(insert, host_, row);
    if (!insert.exec()) {
      const QSqlError error = insert.lastError();
      const QString state = error.nativeErrorCode();
      const std::string why = ErrorText(error);
      // A lost connection is tried again; a refusal is said as what it is.
      if (!connection.Db().isOpen() || state.startsWith(QStringLiteral("08")) || state.isEmpty()) {
        connection.Db().close();
        schemaChecked = false;
      }
      Trouble((state == QStringLiteral("42501")
                   ? QCoreApplication::translate("store::Store", "この利用者には試行を書き込む権限がありません")
                   : QCoreApplication::translate("store::Store", "データベースに書き込めません"))
                  .toStdString(),
              why);
      return false;
    }
    // Confirmed by the server: noted as sent, then off the queue. A row that
    // could not be noted is sent again at the next start, which is harmless.
    (void)sent_.Append(row);
    std::lock_guard lock(mutex_);
    if (!queue_.empty()) queue_.pop_front();
  }
  Report(QCoreApplication::translate("store::Store", "クラスのデータベースに記録しています: ").toStdString() +
         info_.shown);
  return true;
}

}  // namespace store
