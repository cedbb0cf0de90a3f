#include "server/RocTexts.h"

#include <QCoreApplication>

#include "server/PageLanguage.h"
#include "windows/ShownTexts.h"

namespace server {

namespace {

// The page's key, the translation context, the Japanese text (the context
// written twice, as QT_TRANSLATE_NOOP marks the text alone).
constexpr PageText kRocTexts[] = {
    {"step_up", "TDispGraph2", QT_TRANSLATE_NOOP("TDispGraph2", "大")},
    {"step_down", "TDispGraph2", QT_TRANSLATE_NOOP("TDispGraph2", "小")},
    {"save_plot", "TDispGraph2", QT_TRANSLATE_NOOP("TDispGraph2", "プロットを保存")},
    {"save_results", "TDispGraph2", QT_TRANSLATE_NOOP("TDispGraph2", "結果を保存")},
    {"ml_title", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "最尤推定")},
    {"ml_apply", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "最尤推定を適用")},
    {"ml_overlay", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "プロットに重ねる")},
    {"ml_estimate", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "最尤推定値")},
    {"ml_se", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "標準誤差")},
    {"ml_by_eye", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "目測")},
    {"ml_deviance", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "逸脱度 G²")},
    {"ml_hint", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "G² = 2 ×（目測の −log L − 最尤の −log L）")},
    {"ml_az_se", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "Az の標準誤差")},
    {"ml_df", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "自由度")},
    {"ml_degenerate", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "このデータでは最尤推定ができません（縮退）。%1")},
    {"ml_no_trials", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "記録された試行がありません。")},
    {"ml_by_eye_nll", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "目測の −log L: ")},
    {"ml_full_stop", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "。")},
    {"ml_order_bad", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "基準の順序が不正です")},
    {"ml_r_not_positive", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "R が 0 以下です")},
    {"ml_cannot_compute", "TAnalysisWindow", QT_TRANSLATE_NOOP("TAnalysisWindow", "計算できません")},
    // The page's own.
    {"roc_fitting", "RocPage", QT_TRANSLATE_NOOP("RocPage", "最尤推定を計算しています…")},
    {"roc_waiting", "RocPage", QT_TRANSLATE_NOOP("RocPage", "まだ送信されていない回答があります（未送信 %1）。すべて保存されてから最尤推定をします。")},
    {"roc_no_server", "RocPage", QT_TRANSLATE_NOOP("RocPage", "サーバーにつながりません。")},
    {"roc_no_fit", "RocPage", QT_TRANSLATE_NOOP("RocPage", "サーバーから最尤推定を受け取れません。もう一度試しています。")},
};

}  // namespace

const char* FitObstacleKey(roc::FitObstacle why) {
  using enum roc::FitObstacle;
  switch (why) {
    case kTooFewCategories: return "fit_too_few_categories";
    case kSizesDiffer: return "fit_sizes_differ";
    case kNegativeCount: return "fit_negative_count";
    case kKindWithoutTrials: return "fit_kind_without_trials";
    case kCategoryUnused: return "fit_category_unused";
    case kKindsSeparated: return "fit_kinds_separated";
    case kKindInOneCategory: return "fit_kind_in_one_category";
    case kKindFitsInTheLimit: return "fit_kind_fits_in_the_limit";
    case kSearchDidNotConverge: return "fit_search_did_not_converge";
  }
  return "";
}

void AddRocTexts(QJsonObject& texts, ui::Language language) {
  AddTexts(texts, kRocTexts, language);
  for (const roc::FitObstacle why : roc::kFitObstacles) {
    texts.insert(QString::fromLatin1(FitObstacleKey(why)), Tr(language, "TAnalysisWindow", FitObstacleSource(why)));
  }
}

}  // namespace server
