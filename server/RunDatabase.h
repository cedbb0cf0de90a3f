#pragma once
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "numeric/Result.h"
#include "server/BrowserRuns.h"
#include "store/ConnInfo.h"
#include "store/Subscription.h"

namespace store {
class Connection;
}

namespace server {

// The lab machine the trials table names for the rows of browser runs: the
// same for every server, so that a run answered through several is one.
inline constexpr const char* kBrowserHost = "browser";

// The browser runs in the class database, so that several servers on one
// database serve one class: each run (its id, write key, session, seed,
// observer and design) and each answer the pages gave, keyed by run and
// trial, which decides across the servers whether an answer is new, the same
// again or in conflict. The rows themselves go to the trials table through
// the store's spool. Used from the thread that made it.
class RunDatabase {
 public:
  RunDatabase(const store::ConnInfo& info, const QString& connectionName);
  ~RunDatabase();

  // Connects and makes the runs' tables when missing; the reason on failure.
  numeric::Status Open();

  // Adds the run; false when its session is another run's already.
  numeric::Result<bool> AddRun(const BrowserRun& run);

  // A run as the database holds it, its answers included.
  struct StoredRun {
    std::string id, key, session, observer, design, lastAnswer;
    std::uint32_t seed = 0;
    std::int64_t unsent = 0;
    std::map<std::int32_t, PageAnswer> answers;
  };
  // The run of `id` (none when unknown), or every run in the order made when
  // id is empty.
  numeric::Result<std::vector<StoredRun>> Runs(const std::string& id = {});

  // Claims the trial of the run for the answer: kStored when it is new (the
  // caller then writes its row), kSame or kConflict when a page answered it
  // before, through any server.
  numeric::Result<BrowserRun::Outcome> Claim(const std::string& id, std::int32_t trial, const PageAnswer& answer,
                                             std::int64_t unsent);
  // Gives a claim back: its row could not be written.
  numeric::Status Release(const std::string& id, std::int32_t trial);
  numeric::Status SetUnsent(const std::string& id, std::int64_t unsent);

  // The runs changed since the last call by the other servers, as the
  // database's notifications named them; none when that is not known (the
  // first call, after the connection was renewed or a read failed): then
  // every run is to be read.
  std::optional<std::set<std::string>> TakeChanged();

 private:
  std::unique_ptr<store::Connection> connection_;
  store::Subscription notified_;
  bool stale_ = false;  // a read failed: what changed is to be read in full
  std::set<std::string> changed_;
};

}  // namespace server
