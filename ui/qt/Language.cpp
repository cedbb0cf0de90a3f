#include "ui/qt/Language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace ui {

namespace {

Language current = Language::kJapanese;

}  // namespace

bool UseLanguage(Language language) {
  static QTranslator english;
  if (language == current) return true;
  if (current == Language::kEnglish) QCoreApplication::removeTranslator(&english);
  current = Language::kJapanese;
  if (language == Language::kJapanese) return true;
  if (!english.load(QStringLiteral(":/i18n/rocrating_en.qm")) || !QCoreApplication::installTranslator(&english))
    return false;
  current = language;
  return true;
}

Language CurrentLanguage() { return current; }

}  // namespace ui
