#include "Connection.h"

#include <QSqlError>

namespace store {

Connection::Connection(const ConnInfo& info, const QString& name) : name_(name) {
  db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
  // The whole connection string goes to libpq as it is; Qt adds nothing.
  db_.setConnectOptions(QString::fromStdString(info.options));
}

Connection::~Connection() {
  db_.close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(name_);
}

numeric::Status Connection::Open() {
  if (db_.isOpen() || db_.open()) return {};
  return numeric::Fail(ErrorText(db_.lastError()));
}

std::string ErrorText(const QSqlError& error) {
  std::string text = error.text().simplified().toStdString();
  return text.empty() ? std::string("unknown error") : text;
}

}  // namespace store
