#include "windows/SaveFile.h"

#include <QSaveFile>

QString SaveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !write(file) || !file.commit())
    return path + QStringLiteral(": ") + file.errorString();
  return {};
}

QString SaveFileAtomically(const QString& path, const QByteArray& bytes) {
  return SaveFileAtomically(path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}
