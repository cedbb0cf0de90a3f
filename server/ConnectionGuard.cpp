#include "server/ConnectionGuard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <sys/socket.h>
#include <unistd.h>

#include "server/HttpReplies.h"

namespace server {

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, const ConnectionLimits& limits, ConnectionCount& count)
    : QObject(socket), socket_(socket), count_(count) {
  ++count_.open;
  arrival_.setSingleShot(true);
  arrival_.setInterval(limits.arrival);
  idle_.setSingleShot(true);
  idle_.setInterval(limits.idle);
  connect(&arrival_, &QTimer::timeout, this, [this] { Refuse(408, "the request did not arrive whole in time"); });
  connect(&idle_, &QTimer::timeout, this, &ConnectionGuard::Close);
  connect(socket, &QIODevice::readyRead, this, &ConnectionGuard::Arrived);
  connect(socket, &QIODevice::bytesWritten, &idle_, qOverload<>(&QTimer::start));
  idle_.start();
}

ConnectionGuard::~ConnectionGuard() { --count_.open; }

void ConnectionGuard::Arrived() {
  if (refused_) {
    socket_->readAll();  // dropped
    return;
  }
  idle_.start();
  const QByteArray fresh = socket_->peek(socket_->bytesAvailable());
  const RequestFraming::Verdict verdict = framing_.Feed(std::string_view(fresh.constData(), fresh.size()));
  if (verdict != RequestFraming::Verdict::kGoOn) {
    Refuse(VerdictStatus(verdict), VerdictReason(verdict));
    return;
  }
  if (!framing_.Partial()) {
    arrival_.stop();
  } else if (!arrival_.isActive() || framing_.Complete() != completeSeen_) {
    arrival_.start();
  }
  completeSeen_ = framing_.Complete();
}

void ConnectionGuard::Refuse(int status, const char* reason) {
  refused_ = true;
  arrival_.stop();
  // The HTTP server reads no more of this connection; what it has kept of a
  // request begun is let go.
  disconnect(socket_, &QIODevice::readyRead, nullptr, nullptr);
  if (socket_->isTransactionStarted()) socket_->commitTransaction();
  socket_->readAll();
  connect(socket_, &QIODevice::readyRead, this, &ConnectionGuard::Arrived);
  connect(socket_, &QAbstractSocket::disconnected, this, &ConnectionGuard::Close);
  socket_->write(RawErrorResponse(status, reason));
  idle_.start(1000);
}

void ConnectionGuard::Close() {
  idle_.stop();
  arrival_.stop();
  socket_->abort();
  socket_->deleteLater();
}

QByteArray RawErrorResponse(int status, const char* reason) {
  const QByteArray body = QJsonDocument(QJsonObject{{"error", QString::fromUtf8(reason)}}).toJson(QJsonDocument::Compact);
  QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + " " + StatusText(status) + "\r\n";
  for (const auto& [name, value] : CommonHeaders()) out += name + ": " + value + "\r\n";
  out += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
  return out;
}

void RefuseOverCap(qintptr handle) {
  const QByteArray answer = RawErrorResponse(503, "too many open connections");
  [[maybe_unused]] const ssize_t sent = ::send(static_cast<int>(handle), answer.constData(),
                                               static_cast<std::size_t>(answer.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
  ::close(static_cast<int>(handle));
}

}  // namespace server
