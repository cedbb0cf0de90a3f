#include "server/PageTexts.h"

#include <QCoreApplication>

#include "server/PageLanguage.h"
#include "server/ClassTexts.h"
#include "server/RocTexts.h"

namespace server {

namespace {

// The table: the page's key, the translation context, the Japanese text.
// QT_TRANSLATE_NOOP marks each for the translation file (and gives the text
// alone, so the context is written twice).
constexpr PageText kTexts[] = {
    // The student's page: the observer's dialog, the experiment window.
    {"name_prompt", "ObserverDialog", QT_TRANSLATE_NOOP("ObserverDialog", "観察者の名前を入力して下さい。")},
    {"start", "ObserverDialog", QT_TRANSLATE_NOOP("ObserverDialog", "開始")},
    {"design", "ClassTables", QT_TRANSLATE_NOOP("ClassTables", "デザイン")},
    {"go_prompt", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "GOボタンを押して下さい")},
    {"trial_label", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "第%1試行")},
    {"exit_prompt", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "Exitボタンを押して下さい")},
    {"over", "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "実験は終了しました")},
    // The page's own: its answers on their way, the run's tab, the server.
    {"unsent", "Page", QT_TRANSLATE_NOOP("Page", "未送信 %1")},
    {"all_stored", "Page", QT_TRANSLATE_NOOP("Page", "すべての回答が保存されました")},
    {"hidden_again", "Page", QT_TRANSLATE_NOOP("Page", "画面が隠れたので、この試行をもう一度行います")},
    {"other_tab", "Page", QT_TRANSLATE_NOOP("Page", "この実験は別のタブで開かれています")},
    {"too_many", "Page", QT_TRANSLATE_NOOP("Page", "少し待ってから、もう一度開始して下さい")},
    {"no_server", "Page", QT_TRANSLATE_NOOP("Page", "サーバーにつながりません")},
    {"run_gone", "Page", QT_TRANSLATE_NOOP("Page", "サーバーにこの実験がありません。もう一度開始して下さい")},
    // The teacher's page.
    {"teacher_title", "Page", QT_TRANSLATE_NOOP("Page", "教員用のページ")},
    {"students_link", "Page", QT_TRANSLATE_NOOP("Page", "学生用のリンク")},
    {"runs", "Page", QT_TRANSLATE_NOOP("Page", "実験の一覧")},
    {"observer", "ClassTables", QT_TRANSLATE_NOOP("ClassTables", "観察者")},
    {"answered", "Page", QT_TRANSLATE_NOOP("Page", "回答")},
    {"last_answer", "Page", QT_TRANSLATE_NOOP("Page", "最後の回答")},
    {"unsent_column", "Page", QT_TRANSLATE_NOOP("Page", "未送信")},
    {"no_runs", "Page", QT_TRANSLATE_NOOP("Page", "まだ実験はありません")},
    {"download_trials", "Page", QT_TRANSLATE_NOOP("Page", "試行ごとのデータ (trials.csv)")},
    {"download_sessions", "Page", QT_TRANSLATE_NOOP("Page", "セッションごとのデータ (sessions.csv)")},
};

}  // namespace

QJsonObject PageTexts(ui::Language language) {
  QJsonObject texts;
  AddTexts(texts, kTexts, language);
  AddRocTexts(texts, language);
  AddClassTexts(texts, language);
  return texts;
}

}  // namespace server
