#pragma once
#include <QSqlDatabase>
#include <QString>
#include <string>

#include "ConnInfo.h"
#include "numeric/Result.h"

namespace store {

// A connection of its own to the class database, for the thread that makes
// it (Qt's connections belong to one thread); closed and removed when the
// object goes.
class Connection {
 public:
  Connection(const ConnInfo& info, const QString& name);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens when closed; on failure, libpq's reason.
  numeric::Status Open();
  QSqlDatabase& Db() { return db_; }

 private:
  QString name_;
  QSqlDatabase db_;
};

// The text of a failed statement or connection, in one line.
std::string ErrorText(const class QSqlError& error);

}  // namespace store
