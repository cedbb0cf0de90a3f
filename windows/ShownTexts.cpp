#include "windows/ShownTexts.h"

#include <QCoreApplication>
#include <optional>
#include <string_view>
#include <utility>

namespace {

// The texts of the standard and the sample designs' rating scales; the
// design, a pure record, holds them in Japanese.
[[maybe_unused]] constexpr const char* kDesignTexts[] = {
    QT_TRANSLATE_NOOP("experiment::Design", "異常あり"),
    QT_TRANSLATE_NOOP("experiment::Design", "たぶん異常あり"),
    QT_TRANSLATE_NOOP("experiment::Design", "やや異常あり"),
    QT_TRANSLATE_NOOP("experiment::Design", "やや異常なし"),
    QT_TRANSLATE_NOOP("experiment::Design", "たぶん異常なし"),
    QT_TRANSLATE_NOOP("experiment::Design", "異常なし"),
    QT_TRANSLATE_NOOP("experiment::Design", "確かに茶色が増えた"),
    QT_TRANSLATE_NOOP("experiment::Design", "茶色が増えたと思う"),
    QT_TRANSLATE_NOOP("experiment::Design", "どちらかといえば茶色が増えた"),
    QT_TRANSLATE_NOOP("experiment::Design", "どちらかといえば茶色は増えていない"),
    QT_TRANSLATE_NOOP("experiment::Design", "茶色が増えたと思わない"),
    QT_TRANSLATE_NOOP("experiment::Design", "絶対に茶色は増えていない"),
};

// The same statements on a blue-orange grid, where the squares the signal
// adds to are orange.
constexpr std::pair<std::string_view, const char*> kOrangeStatements[] = {
    {"確かに茶色が増えた", QT_TRANSLATE_NOOP("experiment::Design", "確かにオレンジ色が増えた")},
    {"茶色が増えたと思う", QT_TRANSLATE_NOOP("experiment::Design", "オレンジ色が増えたと思う")},
    {"どちらかといえば茶色が増えた", QT_TRANSLATE_NOOP("experiment::Design", "どちらかといえばオレンジ色が増えた")},
    {"どちらかといえば茶色は増えていない",
     QT_TRANSLATE_NOOP("experiment::Design", "どちらかといえばオレンジ色は増えていない")},
    {"茶色が増えたと思わない", QT_TRANSLATE_NOOP("experiment::Design", "オレンジ色が増えたと思わない")},
    {"絶対に茶色は増えていない", QT_TRANSLATE_NOOP("experiment::Design", "絶対にオレンジ色は増えていない")},
};

// A statement as it reads in the design's palette: the standard statements
// name the colour the grid shows; a design's own stay as it wrote them.
std::string InPalette(const std::string& statement, experiment::Palette palette) {
  if (palette != experiment::Palette::kBlueOrange) return statement;
  for (const auto& [brown, orange] : kOrangeStatements)
    if (statement == brown) return orange;
  return statement;
}

QString Translate(const TranslateText& translate, const char* context, const char* source) {
  return translate ? translate(context, source) : QCoreApplication::translate(context, source);
}

// The translation of `text`, or nothing when there is none.
std::optional<std::string> Translated(const TranslateText& translate, const char* context, const std::string& text) {
  const QString shown = Translate(translate, context, text.c_str());
  if (shown == QString::fromStdString(text)) return std::nullopt;
  return shown.toStdString();
}

// The design's scale as it gives it, the standard statements in its palette.
std::vector<experiment::RatingCategory> Untranslated(const experiment::Design& design) {
  std::vector<experiment::RatingCategory> shown = design.Ratings;
  for (experiment::RatingCategory& category : shown) {
    category.Statement = InPalette(category.Statement, design.GridPalette);
  }
  return shown;
}

}  // namespace

std::vector<experiment::RatingCategory> ShownRatings(const experiment::Design& design,
                                                     const TranslateText& translate) {
  std::vector<experiment::RatingCategory> shown;
  for (const experiment::RatingCategory& category : design.Ratings) {
    const auto caption = Translated(translate, "experiment::Design", category.Caption);
    const std::string statement = InPalette(category.Statement, design.GridPalette);
    const auto translated = Translated(translate, "experiment::Design", statement);
    if (!caption || !translated) return Untranslated(design);
    shown.push_back({*caption, *translated});
  }
  return shown;
}

QString FeedbackText(experiment::Palette palette, experiment::StimulusKind shown, const TranslateText& translate) {
  const bool noise = shown == experiment::kNoise;
  if (palette == experiment::Palette::kBlueOrange) {
    return noise ? Translate(translate, "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "オレンジ色の増えていないパターンが提示されました"))
                 : Translate(translate, "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "オレンジ色の増えたパターンが提示されました"));
  }
  return noise ? Translate(translate, "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "茶色の増えていないパターンが提示されました"))
               : Translate(translate, "TFormDisp", QT_TRANSLATE_NOOP("TFormDisp", "茶色の増えたパターンが提示されました"));
}

const char* FitObstacleSource(roc::FitObstacle why) {
  using enum roc::FitObstacle;
  switch (why) {
    case kTooFewCategories: return QT_TRANSLATE_NOOP("TAnalysisWindow", "評定が 3 段階未満です。");
    case kSizesDiffer:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "ノイズとシグナルで評定の段階数が異なります。");
    case kNegativeCount: return QT_TRANSLATE_NOOP("TAnalysisWindow", "負の度数があります。");
    case kKindWithoutTrials:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "ノイズかシグナルの試行がありません。");
    case kCategoryUnused:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "ノイズでもシグナルでも使われていない評定があります。");
    case kKindsSeparated:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "ノイズとシグナルの評定が重なっていません（共通の評定が 1 つ以下）。");
    case kKindInOneCategory:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "ノイズかシグナルの回答がすべて 1 つの評定にあります。");
    case kKindFitsInTheLimit:
      return QT_TRANSLATE_NOOP("TAnalysisWindow",
                               "ノイズかシグナルの回答が隣り合う 2 つの評定か両端の評定だけにあります。");
    case kSearchDidNotConverge:
      return QT_TRANSLATE_NOOP("TAnalysisWindow", "最尤推定の探索が有限の最適値に収束しませんでした。");
  }
  return "";
}

QString FitObstacleText(roc::FitObstacle why, const TranslateText& translate) {
  return Translate(translate, "TAnalysisWindow", FitObstacleSource(why));
}
