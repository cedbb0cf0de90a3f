#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <utility>
#include <vector>

class QHttpServerResponder;

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
// {"error": reason}, and more fields when given.
Reply ErrorReply(int status, const QString& reason, QJsonObject more = {});

// Writes the reply, the common headers and its length included.
void Send(QHttpServerResponder& responder, const Reply& reply);

}  // namespace server
