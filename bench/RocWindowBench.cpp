// A step of a model parameter with the analysis window open, as the user sees
// it: from the press of a step button to the moment both windows are repainted
// (the ROC plot redrawn, -log L and G^2 of the new parameters computed, the
// analysis window's table and z-ROC updated). Target: median under 2 ms.
//
// Runs on Qt's head-less platform, like the other window benchmarks: the
// figure is the program's own work and Qt's painting into the backing stores,
// without an X server's share.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTest>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/QtBenchMain.h"
#include "bench/SampleRecords.h"
#include "experiment/Run.h"
#include "plot/RocState.h"
#include "windows/UAnalysisWindow.h"
#include "windows/UDispGraph2.h"
#include "ui/qt/Application.h"
#include "ui/qt/Form.h"

namespace {

using Clock = std::chrono::steady_clock;

class Host : public ui::Form {
 public:
  using ui::Form::Form;
};

// Notes which of the watched widgets have been painted.
class PaintWatch : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      if (watched == plot) plotPainted = true;
      if (watched == zroc) zrocPainted = true;
    }
    return QObject::eventFilter(watched, e);
  }
  void Reset() { plotPainted = zrocPainted = false; }
  bool Both() const { return plotPainted && zrocPainted; }

  QObject* plot = nullptr;
  QObject* zroc = nullptr;
  bool plotPainted = false;
  bool zrocPainted = false;
};

// Runs the event loop until both widgets have painted, at most a second.
bool RepaintBoth(PaintWatch& watch) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
  while (!watch.Both() && Clock::now() < deadline) QCoreApplication::processEvents();
  return watch.Both();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

constexpr int kSteps = 200;

// kSteps presses of d's step buttons, up and down in turn so that d stays
// near 1. The reported time is the median step; the worst is in ms.
void BM_StepWithAnalysisOpen(benchmark::State& state) {
  auto run = std::make_shared<experiment::Run>();
  run->TrialResults = SampleRecords();
  auto host = std::unique_ptr<Host>(ui::Form::Create<Host>(nullptr));
  host->SetVisible(true);
  auto* form = ui::Form::Create<TDispGraph2>(host.get(), run);
  form->SetVisible(true);
  QTest::mouseClick(&form->DispButton, Qt::LeftButton);
  form->OpenAnalysis();
  TAnalysisWindow* analysis = form->AnalysisWindow();
  if (analysis == nullptr || !analysis->Fit()) {
    state.SkipWithError("no analysis window or no fit of the sample records");
    return;
  }

  PaintWatch watch;
  watch.plot = &form->Image1;
  watch.zroc = analysis->ZRoc();
  form->Image1.installEventFilter(&watch);
  analysis->ZRoc()->installEventFilter(&watch);
  // Both windows shown and painted once before the first step.
  watch.Reset();
  (void)RepaintBoth(watch);
  QCoreApplication::processEvents();

  std::vector<double> steps;
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) {
      ui::Button& button = i % 2 == 0 ? form->DUpButton : form->DDownButton;
      watch.Reset();
      const Clock::time_point pressed = Clock::now();
      QTest::mousePress(&button, Qt::LeftButton);
      QTest::mouseRelease(&button, Qt::LeftButton);
      if (!RepaintBoth(watch)) {
        state.SkipWithError("a step did not repaint both windows within a second");
        break;
      }
      steps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
    }
    if (!steps.empty()) state.SetIterationTime(Median(steps) / 1000);
  }
  form->Image1.removeEventFilter(&watch);
  analysis->ZRoc()->removeEventFilter(&watch);
  if (steps.empty()) return;
  state.counters["steps"] = static_cast<double>(steps.size());
  state.counters["worst_ms"] = *std::max_element(steps.begin(), steps.end());
}
BENCHMARK(BM_StepWithAnalysisOpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
