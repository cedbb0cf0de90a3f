#include "server/Secrets.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <array>

namespace server {

std::string RandomSecret() {
  std::array<quint32, 4> bits;
  QRandomGenerator::system()->fillRange(bits.data(), bits.size());
  const QByteArray raw(reinterpret_cast<const char*>(bits.data()), sizeof bits);
  return raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals).toStdString();
}

std::string SecretHash(std::string_view secret) {
  return QCryptographicHash::hash(QByteArrayView(secret.data(), static_cast<qsizetype>(secret.size())),
                                  QCryptographicHash::Sha256)
      .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)
      .toStdString();
}

bool SameSecret(std::string_view given, std::string_view expected) {
  unsigned char differ = given.size() == expected.size() ? 0 : 1;
  for (std::size_t i = 0; i < given.size(); ++i) {
    differ |= static_cast<unsigned char>(given[i] ^ expected[i % (expected.empty() ? 1 : expected.size())]);
  }
  if (expected.empty()) differ = 1;
  return differ == 0;
}

}  // namespace server
