#include "server/HttpReplies.h"

#include <QHttpServerResponder>
#include <QJsonDocument>

namespace server {

const std::vector<Header>& CommonHeaders() {
  static const std::vector<Header> headers = {
      {"Content-Security-Policy",
       "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; "
       "object-src 'none'; base-uri 'none'; frame-ancestors 'none'"},
      {"X-Content-Type-Options", "nosniff"},
      {"Referrer-Policy", "no-referrer"},
  };
  return headers;
}

QByteArray StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

Reply JsonReply(int status, const QJsonObject& body) {
  return {.status = status, .body = QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

Reply ErrorReply(int status, const QString& reason, QJsonObject more) {
  more.insert("error", reason);
  return JsonReply(status, more);
}

void Send(QHttpServerResponder& responder, const Reply& reply) {
  responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
  for (const auto& [name, value] : CommonHeaders()) responder.writeHeader(name, value);
  for (const auto& [name, value] : reply.headers) responder.writeHeader(name, value);
  if (reply.status != 204) {
    responder.writeHeader("Content-Type", reply.type);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
  }
  responder.writeBody(reply.body);
}

void LaterReply::Send(const Reply& reply) {
  if (socket_.isNull() || !socket_->isOpen()) return;
  server::Send(responder_, reply);
  socket_->flush();
}

}  // namespace server
