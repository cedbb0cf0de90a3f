#include "QtJapanese.h"

#include "ui/qt/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

namespace {

// Loaded once, at the first dialog; null when Qt has no Japanese translation.
QTranslator* Translation() {
  static QTranslator translation;
  static const bool loaded =
      translation.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  return loaded ? &translation : nullptr;
}

}  // namespace

QtJapanese::QtJapanese() {
  // In the English interface Qt's dialogs keep their own English.
  if (CurrentLanguage() != Language::kJapanese) return;
  if (QTranslator* t = Translation()) active_ = QCoreApplication::installTranslator(t);
}

QtJapanese::~QtJapanese() {
  if (active_) QCoreApplication::removeTranslator(Translation());
}

}  // namespace ui
