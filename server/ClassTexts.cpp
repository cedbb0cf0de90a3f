#include "server/ClassTexts.h"

#include <QCoreApplication>

#include "server/PageLanguage.h"

namespace server {

namespace {

// The page's key, the translation context, the Japanese text (the context
// written twice, as QT_TRANSLATE_NOOP marks the text alone).
constexpr PageText kClassTexts[] = {
    {"class_title", "ClassWindow", QT_TRANSLATE_NOOP("ClassWindow", "クラスの結果")},
    {"class_summary", "ClassWindow", QT_TRANSLATE_NOOP("ClassWindow", "デザインごとの要約")},
    {"class_with_incomplete", "ClassWindow",
     QT_TRANSLATE_NOOP("ClassWindow", "未完了のセッション（記録試行がデザインより少ないもの）も含める")},
    {"class_compare", "ClassWindow", QT_TRANSLATE_NOOP("ClassWindow", "デザインの比較")},
    {"class_compare_need_two", "ClassWindow", QT_TRANSLATE_NOOP("ClassWindow", "デザインが 2 つ以上あるときに比較します。")},
    {"class_compare_pick", "ClassWindow", QT_TRANSLATE_NOOP("ClassWindow", "異なる 2 つのデザインを選んでください。")},
    {"plot_fa", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", "誤警報率")},
    {"plot_hit", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", "ヒット率")},
    {"plot_zfa", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", "z(誤警報率)")},
    {"plot_zhit", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", "z(ヒット率)")},
    {"legend_sessions", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", "各セッション（点と細線）")},
    {"legend_pooled", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", ": 合算の適合")},
    {"legend_averaged", "ClassPlot", QT_TRANSLATE_NOOP("ClassPlot", ": 平均 a, b")},
    {"download_summary", "Page", QT_TRANSLATE_NOOP("Page", "デザインごとの要約 (class-summary.csv)")},
    {"download_report", "Page", QT_TRANSLATE_NOOP("Page", "クラスのレポート (PDF)")},
};

}  // namespace

void AddClassTexts(QJsonObject& texts, ui::Language language) {
  AddTexts(texts, kClassTexts, language);
}

}  // namespace server
