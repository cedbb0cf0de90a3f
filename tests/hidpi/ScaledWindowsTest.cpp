// The windows' own surfaces at a device pixel ratio of 2 (the test runs with
// QT_SCALE_FACTOR=2 on Qt's head-less platform).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <memory>

#include "experiment/Run.h"
#include "plot/RocState.h"
#include "tests/support/ScaleProbe.h"
#include "tests/support/HostWindow.h"
#include "windows/UDispGraph2.h"
#include "windows/UDispPattern.h"

namespace {

// The ROC plot after "Disp" and the experiment window's instruction screen
// are twice the size, their text finer, and shrunk back close to the 1x
// picture; the plot's save is the 1x picture.
TEST(ScaledWindows, SurfacesHaveTheScreensDevicePixels) {
  auto run = std::make_shared<experiment::Run>();
  for (int i = 1; i <= 50; ++i) run->TrialResults[i] = {i, static_cast<experiment::StimulusKind>(i % 2), 1 + i % 4};
  std::unique_ptr<HostWindow> host(ui::Form::Create<HostWindow>(nullptr));
  host->SetVisible(true);
  auto* rating = ui::Form::Create<TFormDisp>(host.get(), std::make_shared<experiment::Run>(), host->Access());
  rating->SetVisible(true);
  auto* roc = ui::Form::Create<TDispGraph2>(host.get(), run);
  roc->SetVisible(true);
  QTest::mouseClick(&roc->DispButton, Qt::LeftButton);

  const struct {
    const ui::Surface& surface;
    QRect text;
  } cases[] = {{roc->Image1.Canvas(), {200, 470, 80, 20}}, {rating->Image2.Canvas(), {20, 100, 160, 20}}};
  for (const auto& c : cases) {
    ASSERT_EQ(c.surface.Scale(), 2.0);
    EXPECT_EQ(c.surface.DeviceWidth(), 1000);
    const ui::Surface plain = c.surface.Redrawn(1);
    EXPECT_FALSE(Enlarged(c.surface, plain, c.text.left(), c.text.top(), c.text.right(), c.text.bottom()));
    EXPECT_LT(MovedShare(c.surface, plain), 0.002);
  }

  const QString path = QDir::temp().filePath("rocrating-scaled-plot.png");
  roc->SavePlot(path);
  const QImage saved(path);
  QFile::remove(path);
  const ui::Surface plain = roc->Image1.Canvas().Redrawn(1);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            QImage(reinterpret_cast<const uchar*>(plain.Bits()), 500, 500, QImage::Format_RGB32));
}

}  // namespace
