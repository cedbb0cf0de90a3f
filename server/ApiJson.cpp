#include "server/ApiJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <cmath>

#include "experiment/StimulusPatterns.h"
#include "server/PageLanguage.h"
#include "windows/ShownTexts.h"

namespace server {

namespace {

constexpr double kMaxTimeMs = 3'600'000;  // an hour: no trial lasts longer
constexpr std::int64_t kMaxUnsent = 100'000;
constexpr int kMaxDesignName = 200;

// The body as an object with no field outside `known`.
numeric::Result<QJsonObject> ObjectOf(const QByteArray& body, const QSet<QString>& known) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError) return numeric::Fail("the body is not JSON");
  if (!doc.isObject()) return numeric::Fail("the body is not a JSON object");
  const QJsonObject object = doc.object();
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!known.contains(it.key())) return numeric::Fail("unknown field \"" + it.key().left(40).toStdString() + "\"");
  }
  return object;
}

// A number of the field within [low, high], whole when asked.
numeric::Result<double> NumberOf(const QJsonObject& object, const char* name, double low, double high, bool whole) {
  const QJsonValue v = object.value(QLatin1String(name));
  if (v.isUndefined()) return numeric::Fail(std::string(name) + " is missing");
  if (!v.isDouble()) return numeric::Fail(std::string(name) + " is not a number");
  const double x = v.toDouble();
  if (!std::isfinite(x) || x < low || x > high || (whole && x != std::floor(x))) {
    return numeric::Fail(std::string(name) + " is out of range");
  }
  return x;
}

numeric::Result<std::string> TextOf(const QJsonObject& object, const char* name, bool required, int maxChars) {
  const QJsonValue v = object.value(QLatin1String(name));
  if (v.isUndefined() && !required) return std::string();
  if (!v.isString()) return numeric::Fail(std::string(name) + " is not text");
  if (v.toString().size() > maxChars) return numeric::Fail(std::string(name) + " is too long");
  return v.toString().toStdString();
}

QString Hex(ui::Colour c) {
  return QStringLiteral("#%1%2%3")
      .arg(ui::RedOf(c), 2, 16, QLatin1Char('0'))
      .arg(ui::GreenOf(c), 2, 16, QLatin1Char('0'))
      .arg(ui::BlueOf(c), 2, 16, QLatin1Char('0'));
}

}  // namespace

numeric::Result<JoinRequest> ParseJoin(const QByteArray& body) {
  const auto object = ObjectOf(body, {"observer", "design"});
  if (!object) return numeric::Fail(object.Reason());
  // The observer's rules (length, control characters) are the caller's; this
  // bounds what is read.
  const auto observer = TextOf(*object, "observer", true, 1000);
  if (!observer) return numeric::Fail(observer.Reason());
  const auto design = TextOf(*object, "design", false, kMaxDesignName);
  if (!design) return numeric::Fail(design.Reason());
  return JoinRequest{*observer, *design};
}

numeric::Result<PageAnswer> ParseAnswer(const QByteArray& body, int categories, std::int64_t& unsent) {
  const auto object =
      ObjectOf(body, {"response", "exposure_ms", "asked_ms", "frame_ms", "rating_ms", "unsent"});
  if (!object) return numeric::Fail(object.Reason());
  const auto response = NumberOf(*object, "response", 1, categories, true);
  const auto exposure = NumberOf(*object, "exposure_ms", 0, kMaxTimeMs, false);
  const auto asked = NumberOf(*object, "asked_ms", 0, kMaxTimeMs, false);
  const auto frame = NumberOf(*object, "frame_ms", 0, kMaxTimeMs, false);
  const auto rating = NumberOf(*object, "rating_ms", 0, kMaxTimeMs, true);
  for (const numeric::Result<double>* r : {&response, &exposure, &asked, &frame, &rating}) {
    if (!*r) return numeric::Fail(r->Reason());
  }
  unsent = 0;
  if (object->contains("unsent")) {
    const auto count = NumberOf(*object, "unsent", 0, kMaxUnsent, true);
    if (!count) return numeric::Fail(count.Reason());
    unsent = static_cast<std::int64_t>(*count);
  }
  return PageAnswer{static_cast<experiment::ResponseCode>(*response),
                    {.ExposureMs = *exposure, .AskedMs = *asked, .FrameMs = *frame,
                     .RatingMs = static_cast<std::int64_t>(*rating)}};
}

numeric::Result<std::int64_t> ParseStatus(const QByteArray& body) {
  const auto object = ObjectOf(body, {"unsent"});
  if (!object) return numeric::Fail(object.Reason());
  const auto count = NumberOf(*object, "unsent", 0, kMaxUnsent, true);
  if (!count) return numeric::Fail(count.Reason());
  return static_cast<std::int64_t>(*count);
}

QJsonObject DesignJson(const experiment::Design& design, ui::Language language) {
  const TranslateText translate = [language](const char* context, const char* source) {
    return Tr(language, context, source);
  };
  const std::vector<experiment::RatingCategory> shown = ShownRatings(design, translate);
  const int K = design.Categories();
  QJsonArray ratings, instructions;
  for (int i = 1; i <= K; ++i) {
    const experiment::RatingCategory& c = shown[static_cast<std::size_t>(i - 1)];
    const QString caption = QString::fromStdString(c.Caption);
    ratings.append(QJsonObject{{"code", K + 1 - i}, {"caption", caption}});
    instructions.append(QString::fromStdString(c.Statement));
    instructions.append(Tr(language, "TFormDisp", "==> 「%1」ボタン").arg(caption));
  }
  const experiment::GridColours colours = experiment::ColoursOf(design.GridPalette);
  return {{"name", QString::fromStdString(design.Name)},
          {"practice", design.PracticeTrials},
          {"recorded", design.RecordedTrials},
          {"exposure_ms", design.ExposureMs},
          {"feedback", design.Feedback},
          {"feedback_texts",
           QJsonObject{{"noise", FeedbackText(design.GridPalette, experiment::kNoise, translate)},
                       {"signal", FeedbackText(design.GridPalette, experiment::kSignal, translate)}}},
          {"colours", QJsonObject{{"marked", Hex(colours.Counted)}, {"plain", Hex(colours.Other)}}},
          {"ratings", ratings},
          {"instructions", instructions}};
}

QJsonObject RunJson(const BrowserRun& run, ui::Language language) {
  QJsonArray trials;
  for (const PresentedTrial& t : run.Trials()) {
    trials.append(QJsonObject{{"trial", t.trial},
                              {"phase", t.practice ? "practice" : "recorded"},
                              {"stimulus", t.stimulus == experiment::kSignal ? "signal" : "noise"},
                              {"grid", QString::fromStdString(t.grid)}});
  }
  return {{"run", QString::fromStdString(run.Id())},
          {"key", QString::fromStdString(run.Key())},
          {"design", DesignJson(run.GetDesign(), language)},
          {"trials", trials}};
}

}  // namespace server
