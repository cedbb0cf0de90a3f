#pragma once
#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "ConnInfo.h"
#include "classdata/ClassSource.h"
#include "store/Subscription.h"

namespace store {

class Connection;

// The trials of a class database as a source of the class view: one origin
// named by the connection string, its sessions per lab machine. The first
// read takes the whole table; later reads only the sessions that the
// triggers' notifications named since, and the whole table again after the
// connection was lost or a notification named no session.
class DatabaseSource : public QObject, public classdata::ClassSource {
 public:
  explicit DatabaseSource(ConnInfo info);
  ~DatabaseSource() override;

  classdata::SourceChanges Read() override;
  void OnChange(std::function<void()> changed) override;
  classdata::SourceKind Kind() const override { return classdata::SourceKind::kDatabase; }

 private:
  ConnInfo info_;
  std::unique_ptr<Connection> connection_;
  std::function<void()> changed_;
  Subscription notified_;
  bool whole_ = true;  // the next read takes the whole table
  using SessionKey = std::pair<std::string, std::string>;  // session, host
  std::set<SessionKey> named_;  // notified since the last read
  std::map<SessionKey, std::uint32_t> seeds_;  // the sessions held, with their seeds
  classdata::SourceChanges Whole();
  classdata::SourceChanges Named();
  classdata::SourceChanges Failed(const std::string& why);
  void Heard(const QString& payload);
};

// The source for a command-line argument that names a database; nullptr for
// any other argument. A connection string that is refused becomes a source
// that reports why.
std::unique_ptr<classdata::ClassSource> OpenDatabaseSource(const std::string& argument);

}  // namespace store
