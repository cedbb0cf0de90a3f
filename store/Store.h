#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ConnInfo.h"
#include "experiment/TrialLog.h"
#include "experiment/TrialSink.h"

namespace store {

// Every answered trial into the class database, without ever making the
// experiment wait and without losing a row. Append writes the row to a spool
// file in the user's data folder (synced, as the per-trial file is) and hands
// it to a worker thread with a connection of its own; the worker inserts the
// spooled rows in order and notes each as sent (in a second file beside the
// spool) only after the server confirmed it. A row sent twice after an
// unclear outcome is harmless: the table's key drops the second. Rows left
// in the spool by a run that ended early (a killed program, a server gone)
// are sent at the next start with the same spool.
class Store : public experiment::TrialSink {
 public:
  // status gets the state in the user's words whenever it changes (a first
  // line, and the reason of a trouble on a second one), from the start on;
  // it is called on the worker thread.
  Store(ConnInfo info, std::string spoolPath, std::string host, std::function<void(const std::string&)> status);
  ~Store() override;

  // Opens the spool files and starts the worker; the reason on failure.
  numeric::Status Start();

  numeric::Status Append(const experiment::TrialLogRow& row) override;
  // The rows in one write and sync of the spool. Append and AppendAll are
  // called from one thread at a time.
  numeric::Status AppendAll(const std::vector<experiment::TrialLogRow>& rows) override;
  std::string Path() const override { return spoolPath_; }

  // Rows spooled but not yet confirmed.
  std::size_t Pending() const;

 private:
  void Run();
  void Report(const std::string& line);
  // What went wrong, the rows kept, and the server's or libpq's reason on a
  // second line.
  void Trouble(const std::string& what, const std::string& why);
  // Sends what is queued; false when the connection or the table failed
  // (the rows stay queued).
  bool SendQueued(class Connection& connection, bool& schemaChecked);

  const ConnInfo info_;
  const std::string spoolPath_;
  const std::string host_;
  const std::function<void(const std::string&)> status_;

  experiment::TrialLogFile spool_;  // the appending thread's
  experiment::TrialLogFile sent_;   // the worker's

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<experiment::TrialLogRow> queue_;
  bool stop_ = false;
  std::string lastStatus_;
  std::thread worker_;
};

// The spool of a class database in the user's data folder: one per
// connection string, so that a machine used with two databases keeps them
// apart.
std::string SpoolPath(const std::string& dataFolder, const ConnInfo& info);

}  // namespace store
