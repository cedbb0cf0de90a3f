#include "windows/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "experiment/SessionFileNames.h"
#include "ui/qt/QtJapanese.h"

namespace {

// The folder the last save went to, for the next save dialog of the process.
QString& LastSaveFolder() {
  static QString folder;
  return folder;
}

}  // namespace

QString AskSavePath(QWidget* parent, const QString& title, const char* stem, const char* extension,
                    const char* filter, const std::string& session, const std::string& observer) {
  const ui::QtJapanese japanese;
  QString folder = LastSaveFolder();
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();  // no documents folder: the home folder
  }
  const std::string name = experiment::ProposedSaveName(stem, session, extension, observer);

  QFileDialog dialog(parent, title, QString(), QString::fromUtf8(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  dialog.selectFile(QString::fromStdString(name));
  dialog.setDefaultSuffix(QString::fromUtf8(extension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = QString::fromStdString(
      experiment::WithDefaultExtension(dialog.selectedFiles().front().toStdString(), extension));
  LastSaveFolder() = QFileInfo(path).absolutePath();
  return path;
}
