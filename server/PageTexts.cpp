#include "server/PageTexts.h"

#include <QCoreApplication>

#include "server/PageLanguage.h"
#include "server/RocTexts.h"

namespace server {

namespace {

struct PageText {
  const char* key;
  const char* context;
  const char* source;
};

// The table: the page's key, the translation context, the Japanese text.
// QT_TRANSLATE_NOOP marks each for the translation file (and gives the text
// alone, so the context is written twice).
constexpr PageText kTexts[] = {
    {"go_prompt", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "GOボタンを押して下さい")},
    {"trial", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "第%1試行")},
    {"feedback_noise", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "茶色の増えていないパターンが提示されました")},
    {"feedback_signal", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "茶色の増えたパターンが提示されました")},
    {"finished", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "実験は終了しました")},
    {"observer_prompt", "ObserverDialog", QT_TRANSLATE_NOOP("ObserverDialog", "観察者の名前を入力して下さい。")},
    {"start", "ObserverDialog", QT_TRANSLATE_NOOP("ObserverDialog", "開始")},
    {"unsent", "Page", QT_TRANSLATE_NOOP("Page", "未送信 %1")},
    {"all_stored", "Page", QT_TRANSLATE_NOOP("Page", "すべての回答が保存されました")},
    {"second_tab", "Page", QT_TRANSLATE_NOOP("Page", "この実験は別のタブで開かれています")},
};

}  // namespace

QJsonObject PageTexts(ui::Language language) {
  QJsonObject texts;
  for (const PageText& t : kTexts) texts.insert(QString::fromLatin1(t.key), Tr(language, t.context, t.source));
  AddRocTexts(texts, language);
  return texts;
}

}  // namespace server
