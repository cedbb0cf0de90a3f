#include <gtest/gtest.h>

#include <cmath>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>

#include "stats/BinormalFit.h"
#include "plot/FittedCurve.h"
#include "windows/UAnalysisWindow.h"
#include "stats/NormalDouble.h"
#include "stats/ZRoc.h"
#include "ui/Colour.h"
#include "ui/Surface.h"

namespace {

const roc::RatingCounts kWorkedExample{{10, 8, 5, 2}, {2, 5, 8, 10}};

QStringList LabelTexts(const QWidget& w) {
  QStringList texts;
  for (const QLabel* label : w.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

// The text in the given column of the table row headed by the label `heading`.
QString CellOfRow(const QWidget& w, const QString& heading, int column) {
  for (const QGridLayout* grid : w.findChildren<QGridLayout*>()) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      const QLayoutItem* head = grid->itemAtPosition(r, 0);
      const auto* label = head ? qobject_cast<QLabel*>(head->widget()) : nullptr;
      if (!label || label->text() != heading) continue;
      const QLayoutItem* cell = grid->itemAtPosition(r, column);
      const auto* value = cell ? qobject_cast<QLabel*>(cell->widget()) : nullptr;
      return value ? value->text() : QString();
    }
  }
  return {};
}

void ExpectNoNonFiniteText(const TAnalysisWindow& w) {
  for (const QString& t : LabelTexts(w)) {
    EXPECT_FALSE(t.contains(QStringLiteral("nan"), Qt::CaseInsensitive)) << t.toStdString();
    EXPECT_FALSE(t.contains(QStringLiteral("inf"), Qt::CaseInsensitive)) << t.toStdString();
  }
}

TEST(AnalysisWindow, ShowsTheFitAndTheDevianceOfTheFitByEye) {
  TAnalysisWindow w;
  w.SetData(kWorkedExample);
  const auto pure = roc::FitBinormal(kWorkedExample);
  ASSERT_TRUE(pure && w.Fit());
  EXPECT_EQ(w.Fit()->d, pure->d);
  EXPECT_TRUE(w.MessageText().isEmpty());
  EXPECT_TRUE(w.ApplyButton()->isEnabled());

  const roc::BinormalFit& f = *pure;
  auto fixed = [](double v) { return QString::number(v, 'f', 4); };
  EXPECT_EQ(CellOfRow(w, QStringLiteral("d"), 1), fixed(f.d));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("d"), 2), fixed(f.d_se));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("R"), 1), fixed(f.R));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("c3"), 1), fixed(f.criteria[2]));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("c3"), 2), fixed(f.criteria_se[2]));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("−log L"), 1), fixed(f.neg_loglik));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("Az"), 1), fixed(f.az));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("d_a"), 3), fixed(f.chi2));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("誤警報率"), 2), QStringLiteral("0.6000")) << "point 1: 15 / 25";
  w.SetByEye({1, 1.5, {0, 1, 2}});
  EXPECT_EQ(CellOfRow(w, QStringLiteral("R"), 3), QStringLiteral("1.5000"));
  EXPECT_EQ(CellOfRow(w, QStringLiteral("c1"), 3), QStringLiteral("0.0000"));

  // G^2 is 0 at the estimates and falls as the parameters approach them.
  w.SetByEye({f.d, f.R, {f.criteria[0], f.criteria[1], f.criteria[2]}});
  EXPECT_EQ(w.DevianceText(), QStringLiteral("0.0000"));
  double previous = INFINITY;
  for (double t : {0.0, 0.5, 0.9}) {
    auto toward = [t](double start, double optimum) { return start + t * (optimum - start); };
    w.SetByEye({toward(1, f.d), toward(1, f.R), {toward(0, f.criteria[0]), toward(1, f.criteria[1]), toward(2, f.criteria[2])}});
    bool ok = false;
    const double g2 = w.DevianceText().toDouble(&ok);
    ASSERT_TRUE(ok) << w.DevianceText().toStdString();
    EXPECT_GT(g2, 0);
    EXPECT_LT(g2, previous);
    previous = g2;
  }

  // Unordered criteria have no likelihood: words, not a number.
  w.SetByEye({1, 1, {2, 1, 0}});
  EXPECT_TRUE(w.ByEyeNoteText().contains(QStringLiteral("順序")));
  ExpectNoNonFiniteText(w);

  int applied = 0;
  w.OnApply = [&] { ++applied; };
  w.ApplyButton()->click();
  EXPECT_EQ(applied, 1);

  EXPECT_FALSE(w.Overlay());
  EXPECT_FALSE(w.OverlayCurve());
  bool overlay = false;
  w.OnOverlayChanged = [&](bool on) { overlay = on; };
  w.OverlayBox()->click();
  EXPECT_TRUE(overlay);
  ASSERT_TRUE(w.OverlayCurve());
  EXPECT_EQ(w.OverlayCurve()->R, f.R);
}

TEST(AnalysisWindow, WithoutDataOrWithDegenerateDataItSaysSoInWords) {
  const std::optional<roc::RatingCounts> cases[] = {
      std::nullopt,                            // "Disp" not pressed
      roc::RatingCounts{{0, 0, 0, 0}, {0, 0, 0, 0}},  // nothing recorded
      roc::RatingCounts{{9, 3, 0, 0}, {0, 0, 4, 7}},  // ratings separate the kinds
      roc::RatingCounts{{5, 5, 5, 5}, {0, 0, 0, 0}},  // no signal trials
  };
  QStringList messages;  // each of its own reason
  for (const auto& counts : cases) {
    TAnalysisWindow w;
    w.SetData(counts);
    w.SetByEye({NAN, 0, {0, INFINITY, 2}});
    EXPECT_FALSE(w.Fit());
    EXPECT_FALSE(w.MessageText().isEmpty());
    EXPECT_FALSE(messages.contains(w.MessageText())) << w.MessageText().toStdString();
    messages << w.MessageText();
    EXPECT_FALSE(w.ApplyButton()->isEnabled());
    EXPECT_FALSE(w.DevianceText().contains(QRegularExpression(QStringLiteral("[0-9]"))));
    ExpectNoNonFiniteText(w);
  }
}

TEST(AnalysisWindow, TheZRocLeavesOutPointsWithAnInfiniteDeviateAndSaysHowMany) {
  EXPECT_NEAR(roc::NormalDeviate(0.975), 1.959963984540054, 1e-13);
  EXPECT_NEAR(roc::NormalDeviate(1e-10), -6.361340902404056, 1e-10);

  TAnalysisWindow w;
  // Point 1: false-alarm rate 1, point 2: hit rate 1, point 3: 4/12 and 7/11.
  w.SetData(roc::RatingCounts{{0, 5, 3, 4}, {0, 0, 4, 7}});
  ASSERT_EQ(w.ZRoc()->Points().size(), 1u);
  EXPECT_EQ(w.ZRoc()->Points()[0].p, 3);
  EXPECT_TRUE(w.LeftOutNoteText().contains(QStringLiteral("2 個")));
  ExpectNoNonFiniteText(w);

  w.SetData(kWorkedExample);
  EXPECT_EQ(w.ZRoc()->Points().size(), 3u);
  EXPECT_TRUE(w.LeftOutNoteText().isEmpty());
}

TEST(FittedCurve, DrawsGreyInsideTheFrameAndNotAlongTheChanceDiagonal) {
  ui::Surface s(500, 500);
  const roc::PlotGeometry frame{40, 460, 400};
  roc::DrawFittedCurve(s, frame, {1.2, 1.3, {}});
  int grey = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Pixel(x, y) == ui::clWhite) continue;
      EXPECT_EQ(s.Pixel(x, y), roc::kFittedCurveColour) << x << "," << y;
      EXPECT_TRUE(x >= 40 && x <= 440 && y >= 60 && y <= 460) << x << "," << y;
      ++grey;
    }
  }
  EXPECT_GT(grey, 400);
  EXPECT_EQ(s.Pixel(240, 260), ui::clWhite) << "the middle of the chance diagonal";
  EXPECT_EQ(s.PenWidth(), 1);
}

}  // namespace
