#include "windows/RunFileSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

#include "experiment/SessionFileNames.h"

RunFileSink::RunFileSink(std::string session, std::string observer, experiment::TrialLogFormat format)
    : session_(std::move(session)), observer_(std::move(observer)), format_(format) {}

numeric::Status RunFileSink::Append(const experiment::TrialLogRow& row) {
  if (!tried_) {
    tried_ = true;
    if (numeric::Status open = Open(); !open) return open;
  }
  return file_.Append(row);
}

numeric::Status RunFileSink::Open() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  const std::string name = experiment::AutosaveFileName(session_, observer_);
  path_ = folder.toStdString() + "/" + name;
  if (folder.isEmpty() || !QDir().mkpath(folder)) {
    return numeric::Fail(
        QCoreApplication::translate("TFormDisp", "フォルダ %1 を作成できません").arg(folder).toStdString());
  }
  path_ = experiment::UniquePath(folder.toStdString(), name,
                                 [](const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); });
  return file_.Open(path_, format_);
}
