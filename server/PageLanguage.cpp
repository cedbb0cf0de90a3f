#include "server/PageLanguage.h"

#include <QTranslator>

namespace server {

std::optional<ui::Language> PageLanguageOf(std::string_view code) {
  if (code == "ja") return ui::Language::kJapanese;
  if (code == "en") return ui::Language::kEnglish;
  return std::nullopt;
}

const char* LanguageCode(ui::Language language) { return language == ui::Language::kEnglish ? "en" : "ja"; }

QString Tr(ui::Language language, const char* context, const char* source) {
  const QString japanese = QString::fromUtf8(source);
  if (language == ui::Language::kJapanese) return japanese;
  // The English built into the program (see ui/qt/Language.cpp), loaded once.
  static QTranslator* english = [] {
    auto* t = new QTranslator;
    if (!t->load(QStringLiteral(":/i18n/rocrating_en.qm"))) {
      delete t;
      return static_cast<QTranslator*>(nullptr);
    }
    return t;
  }();
  if (english == nullptr) return japanese;
  const QString shown = english->translate(context, source);
  return shown.isEmpty() ? japanese : shown;
}

void AddTexts(QJsonObject& texts, std::span<const PageText> table, ui::Language language) {
  for (const PageText& t : table) texts.insert(QString::fromLatin1(t.key), Tr(language, t.context, t.source));
}

}  // namespace server
