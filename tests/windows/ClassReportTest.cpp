#include "windows/ClassReport.h"

#include <gtest/gtest.h>

#include <QPageLayout>
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

// Pages at 96 dots per inch that keep the texts painted on them which the
// clip in force (the one Qt sets on a text too big for its box) cuts.
class CutTexts : public QPaintDevice, QPaintEngine {
 public:
  explicit CutTexts(QSize page) : QPaintEngine(AllFeatures), page_(page) {}
  QStringList cut;
  int drawn = 0;

  QPaintEngine* paintEngine() const override { return const_cast<CutTexts*>(this); }
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  Type type() const override { return User; }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void updateState(const QPaintEngineState& state) override {
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyTransform) transform_ = state.transform();
    if (dirty & (DirtyClipRegion | DirtyClipPath)) {
      const QRectF rect = transform_.mapRect(dirty & DirtyClipRegion ? QRectF(state.clipRegion().boundingRect())
                                                                      : state.clipPath().boundingRect());
      if (state.clipOperation() == Qt::NoClip) clip_.reset();
      else clip_ = state.clipOperation() == Qt::IntersectClip && clip_ ? clip_->intersected(rect) : rect;
    }
    if ((dirty & DirtyClipEnabled) && !state.isClipEnabled()) clip_.reset();
  }
  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
    ++drawn;
    if (clip_ && !clip_->adjusted(-0.5, -0.5, 0.5, 0.5).contains(transform_.mapRect(box))) cut << item.text();
  }

 protected:
  int metric(PaintDeviceMetric m) const override {
    if (m == PdmWidth || m == PdmHeight) return m == PdmWidth ? page_.width() : page_.height();
    if (m == PdmDpiX || m == PdmDpiY || m == PdmPhysicalDpiX || m == PdmPhysicalDpiY) return 96;
    return m == PdmDepth ? 32 : QPaintDevice::metric(m);
  }

 private:
  QSize page_;
  QTransform transform_;
  std::optional<QRectF> clip_;
};

class ClassReportTest : public ::testing::TestWithParam<std::tuple<int, ui::Language>> {
  void TearDown() override { ui::UseLanguage(ui::Language::kJapanese); }
};

// The report of a class on a K-point scale, with a name too long for its
// column and a run broken off, in either language: no text is cut.
TEST_P(ClassReportTest, NoTextIsCut) {
  const auto [categories, language] = GetParam();
  ASSERT_TRUE(ui::UseLanguage(language));
  const fs::path folder = fs::path(::testing::TempDir()) / ("class-report-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::vector<classsim::Observer> observers = classsim::LiberalConservativeClass(8, 60, 2026, categories);
  observers[3].name = "Hanako-Yamada-Suzuki-Takahashi";
  for (const classsim::Observer& o : observers) {
    std::vector<experiment::TrialLogRow> rows = classsim::Simulate(o);
    if (&o == &observers[5]) rows.resize(o.practice + 7);  // the longest status
    ASSERT_EQ(experiment::WriteTrialLog((folder / (o.design + o.name + ".csv")).string(), rows,
                                        experiment::TrialLogFormat::kClass).Reason(), "");
  }
  classdata::ClassLoader loader;
  loader.AddSource(classdata::OpenSource(folder.string(), classdata::ReadMode::kOnce));
  loader.Refresh();
  const ClassReportContent content{&loader, roc::SummarizeDesigns(loader.ClassSessions()), "liberal", "conservative",
                                   {QString::fromStdString(folder.string())}};
  const QSize page = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                 QPageLayout::Millimeter).paintRectPixels(96).size();
  CutTexts pages(page);
  {
    QPainter painter(&pages);
    PaintClassReport(painter, page, [] {}, content);
  }
  EXPECT_GT(pages.drawn, 16 * 12);
  EXPECT_TRUE(pages.cut.isEmpty()) << "cut: " << pages.cut.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(ScalesAndLanguages, ClassReportTest,
                         ::testing::Combine(::testing::Values(4, 6),
                                            ::testing::Values(ui::Language::kJapanese, ui::Language::kEnglish)));

}  // namespace
