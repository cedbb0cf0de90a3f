#pragma once
#include <QObject>
#include <QString>
#include <functional>

#include "numeric/Result.h"

namespace store {

class Connection;

// A subscription to one notification channel of the class database, on one
// connection, kept through the connection's renewals: the driver may make a
// lost connection again on its own, and the new server process has none of
// the old one's subscriptions, which is found out by its process id.
class Subscription {
 public:
  // heard: a notification's payload, and whether it came from this
  // connection's own statements.
  using Heard = std::function<void(const QString& payload, bool own)>;
  Subscription(Connection& connection, QString channel, Heard heard);

  // Whether every notification since the last call was heard: true while
  // the subscription holds; false when it was made just now (the first
  // call; after the connection was renewed), so that the caller reads in
  // full what it follows; the reason when the database cannot be asked.
  numeric::Result<bool> Holds();

 private:
  Connection& connection_;
  QString channel_;
  Heard heard_;
  qint64 process_ = 0;  // the server process subscribed on
  QObject context_;     // of the connection to the driver's signal
  bool connected_ = false;
};

}  // namespace store
