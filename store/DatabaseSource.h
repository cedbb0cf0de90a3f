#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "ConnInfo.h"
#include "classdata/ClassSource.h"

namespace store {

class Connection;

// The trials of a class database as a source of the class view: every read
// takes the table anew (one origin named by the connection string, its
// sessions per lab machine); the insert trigger's notification says when to
// read again.
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
  bool subscribed_ = false;
  std::vector<experiment::TrialLogSession> last_;  // the sessions of the last good read
};

// The source for a command-line argument that names a database; nullptr for
// any other argument. A connection string that is refused becomes a source
// that reports why.
std::unique_ptr<classdata::ClassSource> OpenDatabaseSource(const std::string& argument);

}  // namespace store
