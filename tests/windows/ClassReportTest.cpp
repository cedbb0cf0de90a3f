#include "windows/ClassReport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPageLayout>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <tuple>

#include "tests/support/ClassSimulation.h"
#include "ui/qt/Language.h"

namespace {

namespace fs = std::filesystem;

// Every text painted on it, where it lies on its page and whether the clip
// in force (the one Qt sets on a text too big for its box) hides part of it.
class TextRecorder : public QPaintEngine {
 public:
  struct Text {
    int page;
    QString text;
    QRectF box;
    bool cut;
  };
  TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}

  std::vector<Text> texts;
  int page = 0;

  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void updateState(const QPaintEngineState& state) override {
    if (state.state() & DirtyTransform) transform_ = state.transform();
    if (state.state() & DirtyClipRegion) Clip(state.clipOperation(), state.clipRegion().boundingRect());
    if (state.state() & DirtyClipPath) Clip(state.clipOperation(), state.clipPath().boundingRect());
    if ((state.state() & DirtyClipEnabled) && !state.isClipEnabled()) clip_.reset();
  }
  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    const QRectF box =
        transform_.mapRect(QRectF(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent()));
    texts.push_back({page, item.text(), box, clip_ && !clip_->adjusted(-0.5, -0.5, 0.5, 0.5).contains(box)});
  }

 private:
  void Clip(Qt::ClipOperation operation, const QRectF& logical) {
    const QRectF rect = transform_.mapRect(logical);
    if (operation == Qt::NoClip) clip_.reset();
    else clip_ = operation == Qt::IntersectClip && clip_ ? clip_->intersected(rect) : rect;
  }
  QTransform transform_;
  std::optional<QRectF> clip_;
};

// Pages of the report's size at 96 dots per inch, painted into the recorder.
class RecordedPages : public QPaintDevice {
 public:
  explicit RecordedPages(QSize size) : size_(size) {}
  QPaintEngine* paintEngine() const override { return &recorder; }
  mutable TextRecorder recorder;

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmWidthMM: return size_.width() * 254 / 960;
      case PdmHeightMM: return size_.height() * 254 / 960;
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
      case PdmDepth: return 32;
      case PdmNumColors: return 1 << 24;
      case PdmDevicePixelRatio: return 1;
      default: return QPaintDevice::metric(m);
    }
  }

 private:
  QSize size_;
};

class ClassReportTest : public ::testing::TestWithParam<std::tuple<int, ui::Language>> {
  void TearDown() override { ui::UseLanguage(ui::Language::kJapanese); }
};

// The report of a class on a K-point scale, with a name too long for its
// column, in either language: every text is painted whole (no clip cuts it),
// and each of the tables' inside the page and clear of every other text on
// its page.
TEST_P(ClassReportTest, EveryTextWholeInsideThePageAndApart) {
  const auto [categories, language] = GetParam();
  ASSERT_TRUE(ui::UseLanguage(language));
  const fs::path folder = fs::path(::testing::TempDir()) /
                          ("class-report-" + std::to_string(::getpid()) + "-" + std::to_string(categories));
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::vector<classsim::Observer> observers = classsim::LiberalConservativeClass(8, 60, 2026, categories);
  observers[3].name = "Hanako-Yamada-Suzuki-Takahashi";
  for (const classsim::Observer& o : observers)
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), classsim::Simulate(o),
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  classdata::ClassLoader loader;
  loader.AddSource(classdata::OpenSource(folder.string(), classdata::ReadMode::kOnce));
  loader.Refresh();
  ClassReportContent content{&loader, roc::SummarizeDesigns(loader.ClassSessions()), "liberal", "conservative",
                             {QString::fromStdString(folder.string())}};

  const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                           QPageLayout::Millimeter);
  const QSize page = layout.paintRectPixels(96).size();
  RecordedPages pages(page);
  {
    QPainter painter(&pages);
    PaintClassReport(painter, page, [&pages] { ++pages.recorder.page; }, content);
  }
  const std::vector<TextRecorder::Text>& texts = pages.recorder.texts;
  for (const TextRecorder::Text& t : texts) EXPECT_FALSE(t.cut) << "cut: " << t.text.toStdString();
  // The tables, from the designs' summary's heading on (painted in pieces
  // of one script each).
  const QString summary = QCoreApplication::translate("ClassReport", "デザインごとの要約");
  std::size_t tables = 0;
  for (QString joined; tables < texts.size() && joined != summary; ++tables)
    joined = summary.startsWith(joined + texts[tables].text) ? joined + texts[tables].text : QString();
  ASSERT_GT(texts.size() - tables, 16u * 12);
  for (std::size_t i = tables; i < texts.size(); ++i) {
    const TextRecorder::Text& t = texts[i];
    EXPECT_TRUE(QRectF(QPointF(0, 0), page).adjusted(-0.5, -0.5, 0.5, 0.5).contains(t.box))
        << "off the page: " << t.text.toStdString();
    for (std::size_t j = i + 1; j < texts.size() && texts[j].page == t.page; ++j)
      EXPECT_FALSE(t.box.adjusted(0.5, 0.5, -0.5, -0.5).intersects(texts[j].box))
          << "overlap: " << t.text.toStdString() << " | " << texts[j].text.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(ScalesAndLanguages, ClassReportTest,
                         ::testing::Combine(::testing::Values(4, 6),
                                            ::testing::Values(ui::Language::kJapanese, ui::Language::kEnglish)));

}  // namespace
