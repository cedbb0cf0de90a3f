#pragma once
#include <QObject>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <memory>

#include "server/RequestFraming.h"

namespace server {

// What the HTTP server itself does not bound.
struct ConnectionLimits {
  int maxConnections = 512;                      // open at once; more are refused with 503
  std::chrono::milliseconds arrival{10'000};     // for a request to arrive whole, from its first byte
  std::chrono::milliseconds idle{60'000};        // a connection with nothing to do is closed
};

// The connections counted among all listeners of one server.
struct ConnectionCount {
  int open = 0;
};

// Watches one connection ahead of the HTTP server: its slot sees every new
// byte before the server reads it (it is connected first), follows the
// requests' framing, refuses a request too large before it is read whole,
// closes a connection whose request does not arrive whole in time or that
// stays idle. A child of its socket.
class ConnectionGuard : public QObject {
 public:
  ConnectionGuard(QTcpSocket* socket, const ConnectionLimits& limits, ConnectionCount& count);
  ~ConnectionGuard() override;

 private:
  void Arrived();
  // Answers with status and reason, then drops what else the client sends
  // until it closes, or a second has passed.
  void Refuse(int status, const char* reason);
  void Close();

  QTcpSocket* socket_;
  ConnectionCount& count_;
  RequestFraming framing_;
  QTimer arrival_, idle_;
  std::int64_t completeSeen_ = 0;
  bool refused_ = false;
};

// A whole error answer as the guard writes it, with the headers of every answer.
QByteArray RawErrorResponse(int status, const char* reason);

// Says 503 on a connection over the cap, without waiting, and closes it.
void RefuseOverCap(qintptr handle);

// A listener that guards each connection it hands to the HTTP server and
// refuses connections over the cap. Base: QTcpServer, or QSslServer for HTTPS.
template <class Base>
class GuardedServer : public Base {
 public:
  GuardedServer(const ConnectionLimits& limits, ConnectionCount& count) : limits_(limits), count_(count) {}

  QTcpSocket* nextPendingConnection() override {
    QTcpSocket* socket = Base::nextPendingConnection();
    if (socket != nullptr) new ConnectionGuard(socket, limits_, count_);
    return socket;
  }

 protected:
  void incomingConnection(qintptr handle) override {
    if (count_.open >= limits_.maxConnections) {
      RefuseOverCap(handle);
      return;
    }
    Base::incomingConnection(handle);
  }

 private:
  ConnectionLimits limits_;
  ConnectionCount& count_;
};

}  // namespace server
