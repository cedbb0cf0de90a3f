#pragma once
#include <QJsonObject>
#include <span>
#include <QString>
#include <optional>
#include <string_view>

#include "ui/qt/Language.h"

namespace server {

// The language a page asks for: "en" or "ja"; nullopt for anything else.
std::optional<ui::Language> PageLanguageOf(std::string_view code);
const char* LanguageCode(ui::Language language);

// A text of the program (its Japanese source in a translation context) in
// the language of one page: the server answers pages of both languages at
// once, so the translation is looked up here, not put in force.
QString Tr(ui::Language language, const char* context, const char* source);

// One text a page shows: its key, the translation context and the Japanese
// source (QT_TRANSLATE_NOOP marks the source alone, so the context is written
// twice in a table of them).
struct PageText {
  const char* key;
  const char* context;
  const char* source;
};

// Each of the table's texts in the language, under its key.
void AddTexts(QJsonObject& texts, std::span<const PageText> table, ui::Language language);

}  // namespace server
