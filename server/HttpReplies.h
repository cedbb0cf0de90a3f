#pragma once
#include <QByteArray>
#include <QHttpServerResponder>
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <utility>
#include <vector>

namespace server {

using Header = std::pair<QByteArray, QByteArray>;

// The headers of every answer: a content security policy that allows the
// page's own files alone (no inline script or style, no other origin) and no
// guessing of types.
const std::vector<Header>& CommonHeaders();

// "Not Found" for 404, and so on.
QByteArray StatusText(int status);

// An answer before it is written.
struct Reply {
  int status = 200;
  QByteArray type = "application/json";
  QByteArray body;
  std::vector<Header> headers;  // beyond the common ones
};

Reply JsonReply(int status, const QJsonObject& body);
// What a handler returns when it answers later, through a LaterReply.
inline constexpr int kAnsweredLater = 0;
// {"error": reason}, and more fields when given.
Reply ErrorReply(int status, const QString& reason, QJsonObject more = {});

// Writes the reply, the common headers and its length included.
void Send(QHttpServerResponder& responder, const Reply& reply);

// A reply written after its handler has returned (an answer's, once it is
// on the disk); the connection may be gone by then, and then nothing is
// written.
class LaterReply {
 public:
  LaterReply(QHttpServerResponder responder, QTcpSocket* socket)
      : responder_(std::move(responder)), socket_(socket) {}
  void Send(const Reply& reply);

 private:
  QHttpServerResponder responder_;
  QPointer<QTcpSocket> socket_;
};

}  // namespace server
