#include "server/RunRecords.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace server {

namespace {

QString RecordFolder(const std::string& dataFolder) { return QString::fromStdString(dataFolder) + "/.runs"; }

// The run ids the server makes (base64url): nothing else names a file.
bool IsRunId(const QString& id) {
  static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
  return shape.match(id).hasMatch();
}

}  // namespace

numeric::Status WriteRunRecord(const std::string& dataFolder, const RunRecord& record) {
  const QString folder = RecordFolder(dataFolder);
  if (!IsRunId(QString::fromStdString(record.id))) return numeric::Fail("\"" + record.id + "\" is not a run id");
  if (!QDir().mkpath(folder)) return numeric::Fail("cannot make the folder " + folder.toStdString());
  const QJsonObject json{{"id", QString::fromStdString(record.id)},
                         {"key_sha256", QString::fromStdString(record.keyHash)},
                         {"design", QString::fromStdString(record.design)},
                         {"session", QString::fromStdString(record.session)},
                         {"observer", QString::fromStdString(record.observer)},
                         {"seed", static_cast<qint64>(record.seed)},
                         {"file", QString::fromStdString(record.file)}};
  // QSaveFile writes beside the name, syncs and then renames.
  QSaveFile file(folder + "/" + QString::fromStdString(record.id) + ".json");
  if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(json).toJson()) < 0 || !file.commit()) {
    return numeric::Fail("cannot write " + file.fileName().toStdString() + ": " + file.errorString().toStdString());
  }
  return {};
}

std::vector<RunRecord> ReadRunRecords(const std::string& dataFolder, std::vector<std::string>& problems) {
  std::vector<RunRecord> records;
  const QDir folder(RecordFolder(dataFolder));
  for (const QFileInfo& info : folder.entryInfoList({"*.json"}, QDir::Files, QDir::Name)) {
    QFile file(info.filePath());
    const auto fail = [&](const QString& why) { problems.push_back((info.filePath() + ": " + why).toStdString()); };
    if (!file.open(QIODevice::ReadOnly)) {
      fail(file.errorString());
      continue;
    }
    const QJsonObject json = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    const auto text = [&](const char* key) { return json.value(key).toString().toStdString(); };
    RunRecord r{.id = text("id"), .keyHash = text("key_sha256"), .design = text("design"), .session = text("session"),
                .observer = text("observer"), .seed = static_cast<std::uint32_t>(json.value("seed").toInteger(-1)),
                .file = text("file")};
    const QString name = QString::fromStdString(r.file);
    const bool fileOk = r.file.empty() || (QFileInfo(name).fileName() == name && name.endsWith(".csv"));
    const qint64 seed = json.value("seed").toInteger(-1);
    if (!IsRunId(QString::fromStdString(r.id)) || info.completeBaseName().toStdString() != r.id || r.keyHash.empty() ||
        r.session.empty() || seed < 0 || seed > 0xFFFFFFFFLL || !fileOk) {
      fail("not a run's record");
      continue;
    }
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace server
