#pragma once
// A raw HTTP/1.1 client for the server's tests: each exchange on a connection
// of its own, run in the test's event loop, where the server runs too.
#include <QByteArray>
#include <QEventLoop>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>

namespace {

struct Response {
  int status = 0;
  QByteArray body;
};

// A request's bytes as a client sends them.
QByteArray Request(const QByteArray& method, const QByteArray& target, const QByteArray& body = {},
                   const QByteArray& headers = {}) {
  return method + " " + target + " HTTP/1.1\r\nHost: test\r\n" + headers +
         (body.isEmpty() && method == "GET" ? QByteArray() : "Content-Length: " + QByteArray::number(body.size()) + "\r\n") +
         "\r\n" + body;
}

// Sends raw on a connection of its own and waits, running the server's
// events, until the answer is whole or the server closes the connection.
Response Exchange(quint16 port, const QByteArray& raw) {
  QTcpSocket socket;
  QByteArray got;
  QEventLoop loop;
  auto whole = [&got] {
    const qsizetype end = got.indexOf("\r\n\r\n");
    if (end < 0) return false;
    const qsizetype at = got.toLower().indexOf("content-length: ");
    const qsizetype length = at < 0 ? 0 : got.mid(at + 16, got.indexOf("\r\n", at) - at - 16).toLongLong();
    return got.size() >= end + 4 + length;
  };
  QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
    got += socket.readAll();
    if (whole()) loop.quit();
  });
  QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
  QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(raw); });
  QTimer::singleShot(60'000, &loop, &QEventLoop::quit);  // only a broken server gets here
  socket.connectToHost(QHostAddress::LocalHost, port);
  loop.exec();
  const qsizetype end = got.indexOf("\r\n\r\n");
  return {got.mid(9, 3).toInt(), end < 0 ? QByteArray() : got.mid(end + 4)};
}

QByteArray Answer(int response, double exposure = 1000.5) {
  return QJsonDocument(QJsonObject{{"response", response}, {"exposure_ms", exposure}, {"asked_ms", 1000},
                                   {"frame_ms", 16.7}, {"rating_ms", 812}, {"unsent", 1}})
      .toJson(QJsonDocument::Compact);
}

}  // namespace
