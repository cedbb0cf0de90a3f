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
#include <algorithm>
#include <memory>
#include <vector>

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

// Sends each request on a connection of its own, all at once, and waits,
// running the server's events, until every answer is whole or its
// connection closed.
std::vector<Response> ExchangeAll(quint16 port, const std::vector<QByteArray>& raws) {
  std::vector<std::unique_ptr<QTcpSocket>> sockets;
  std::vector<QByteArray> got(raws.size());
  std::vector<bool> over(raws.size(), false);
  QEventLoop loop;  // the context of the sockets' slots: gone before what they touch
  auto whole = [](const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0) return false;
    const qsizetype at = bytes.toLower().indexOf("content-length: ");
    const qsizetype length = at < 0 ? 0 : bytes.mid(at + 16, bytes.indexOf("\r\n", at) - at - 16).toLongLong();
    return bytes.size() >= end + 4 + length;
  };
  auto end = [&](std::size_t i) {
    over[i] = true;
    if (std::all_of(over.begin(), over.end(), [](bool b) { return b; })) loop.quit();
  };
  for (std::size_t i = 0; i < raws.size(); ++i) {
    QTcpSocket* socket = sockets.emplace_back(std::make_unique<QTcpSocket>()).get();
    QObject::connect(socket, &QTcpSocket::readyRead, &loop, [&, socket, i] {
      got[i] += socket->readAll();
      if (!over[i] && whole(got[i])) end(i);
    });
    QObject::connect(socket, &QTcpSocket::disconnected, &loop, [&, i] { if (!over[i]) end(i); });
    QObject::connect(socket, &QTcpSocket::connected, &loop, [&, socket, i] { socket->write(raws[i]); });
    socket->connectToHost(QHostAddress::LocalHost, port);
  }
  QTimer::singleShot(60'000, &loop, &QEventLoop::quit);  // only a broken server gets here
  loop.exec();
  std::vector<Response> answers;
  for (const QByteArray& bytes : got) {
    const qsizetype at = bytes.indexOf("\r\n\r\n");
    answers.push_back({bytes.mid(9, 3).toInt(), at < 0 ? QByteArray() : bytes.mid(at + 4)});
  }
  return answers;
}

// Sends raw on a connection of its own and waits until the answer is whole
// or the server closes the connection.
Response Exchange(quint16 port, const QByteArray& raw) { return ExchangeAll(port, {raw}).front(); }

QByteArray Answer(int response, double exposure = 1000.5) {
  return QJsonDocument(QJsonObject{{"response", response}, {"exposure_ms", exposure}, {"asked_ms", 1000},
                                   {"frame_ms", 16.7}, {"rating_ms", 812}, {"unsent", 1}})
      .toJson(QJsonDocument::Compact);
}

}  // namespace
