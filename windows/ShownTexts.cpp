#include "windows/ShownTexts.h"

#include <QCoreApplication>
#include <optional>

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

// The translation of `text`, or nothing when there is none.
std::optional<std::string> Translated(const char* context, const std::string& text) {
  const QString shown = QCoreApplication::translate(context, text.c_str());
  if (shown == QString::fromStdString(text)) return std::nullopt;
  return shown.toStdString();
}

}  // namespace

std::vector<experiment::RatingCategory> ShownRatings(const experiment::Design& design) {
  std::vector<experiment::RatingCategory> shown;
  for (const experiment::RatingCategory& category : design.Ratings) {
    const auto caption = Translated("experiment::Design", category.Caption);
    const auto statement = Translated("experiment::Design", category.Statement);
    if (!caption || !statement) return design.Ratings;
    shown.push_back({*caption, *statement});
  }
  return shown;
}
