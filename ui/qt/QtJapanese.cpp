#include "QtJapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

namespace {

// Loaded once, at the first dialog; null when Qt has no Japanese translation.
QTranslator* Translation() {
  static QTranslator* translation = [] {
    auto* t = new QTranslator(QCoreApplication::instance());
    if (t->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      return t;
    delete t;
    return static_cast<QTranslator*>(nullptr);
  }();
  return translation;
}

}  // namespace

QtJapanese::QtJapanese() {
  if (QTranslator* t = Translation()) active_ = QCoreApplication::installTranslator(t);
}

QtJapanese::~QtJapanese() {
  if (active_) QCoreApplication::removeTranslator(Translation());
}

}  // namespace ui
