#include "store/Subscription.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "store/Connection.h"

namespace store {

Subscription::Subscription(Connection& connection, QString channel, Heard heard)
    : connection_(connection), channel_(std::move(channel)), heard_(std::move(heard)) {}

numeric::Result<bool> Subscription::Holds() {
  QSqlQuery query(connection_.Db());
  if (!query.exec(QStringLiteral("SELECT pg_backend_pid()")) || !query.next())
    return numeric::Fail(ErrorText(query.lastError()));
  const qint64 process = query.value(0).toLongLong();
  if (process == process_) return true;
  QSqlDriver* driver = connection_.Db().driver();
  if (driver->subscribedToNotifications().contains(channel_)) driver->unsubscribeFromNotification(channel_);
  if (!driver->subscribeToNotification(channel_))
    return numeric::Fail("cannot listen for " + channel_.toStdString() + ": " + ErrorText(driver->lastError()));
  if (!connected_) {
    QObject::connect(driver, &QSqlDriver::notification, &context_,
                     [this](const QString& name, QSqlDriver::NotificationSource source, const QVariant& payload) {
                       if (name == channel_) heard_(payload.toString(), source == QSqlDriver::SelfSource);
                     });
    connected_ = true;
  }
  process_ = process;
  return false;
}

}  // namespace store
