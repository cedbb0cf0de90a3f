// The class view on ten classes at once: 300 sessions of 60 trials (10
// practice, 50 recorded), 30 per class folder, two designs.
//
// BM_ReadAndFitClass: reading every file of the folders and fitting every
// session and design (target: under 300 ms).
// BM_AppendedRowToWindow: with the class window open, one row appended to a
// file until the window has read it, refitted its session, summarised the
// designs again and repainted (target: median under 50 ms of work); the
// resident memory of the process with the window open (target: under
// 120 MiB). Runs on Qt's head-less platform: the program's own work and Qt's
// painting into the backing store, without an X server's share.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/QtBenchMain.h"
#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"
#include "tests/support/ClassSimulation.h"
#include "windows/ClassWindow.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kClasses = 10;
constexpr int kObserversPerClass = 15;  // each in both designs: 30 sessions a class

struct Held {
  std::string file;
  std::string lastLine;  // the row kept back, to be appended
};

// The folders, each file written without its last row; what was kept back.
struct BenchData {
  fs::path root;
  std::vector<Held> held;
};

const BenchData& Data() {
  static const BenchData data = [] {
    BenchData d;
    d.root = fs::temp_directory_path() / ("rocrating-class-bench-" + std::to_string(::getpid()));
    fs::remove_all(d.root);
    for (int c = 0; c < kClasses; ++c) {
      const fs::path folder = d.root / ("class" + std::to_string(c + 1));
      fs::create_directories(folder);
      for (const classsim::Observer& o : classsim::LiberalConservativeClass(kObserversPerClass, 50, 100 + c)) {
        std::vector<experiment::TrialLogRow> rows = classsim::Simulate(o);
        const std::string file = (folder / (o.design + "_" + o.name + ".csv")).string();
        d.held.push_back({file, experiment::FormatTrialLogLine(rows.back(), experiment::TrialLogFormat::kClass)});
        rows.pop_back();
        if (!experiment::WriteTrialLog(file, rows, experiment::TrialLogFormat::kClass)) std::abort();
      }
    }
    std::atexit([] { fs::remove_all(Data().root); });
    return d;
  }();
  return data;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024;
  }
  return -1;
}

void BM_ReadAndFitClass(benchmark::State& state) {
  const BenchData& data = Data();
  std::size_t sessions = 0;
  for (auto _ : state) {
    classdata::ClassLoader loader;
    loader.AddSource(classdata::OpenSource(data.root.string(), classdata::ReadMode::kOnce));
    loader.Refresh();
    const std::vector<roc::DesignSummary> designs = roc::SummarizeDesigns(loader.ClassSessions());
    benchmark::DoNotOptimize(designs);
    sessions = loader.Sessions().size();
  }
  state.counters["sessions"] = static_cast<double>(sessions);
}
BENCHMARK(BM_ReadAndFitClass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

constexpr int kAppends = 100;

void BM_AppendedRowToWindow(benchmark::State& state) {
  const BenchData& data = Data();
  ClassWindow window({data.root.string()});
  window.show();
  QCoreApplication::processEvents();
  window.repaint();
  if (window.Loader().Sessions().size() != data.held.size()) {
    state.SkipWithError("the window did not read every session");
    return;
  }
  std::vector<double> updates;
  for (auto _ : state) {
    for (int i = 0; i < kAppends; ++i) {
      // Another writer's row, appended and synced as the experiment does.
      const Held& h = data.held[(i * 37) % data.held.size()];
      std::ofstream(h.file, std::ios::app) << h.lastLine << std::flush;
      const std::uint64_t fits = window.Loader().FitsDone();
      const Clock::time_point start = Clock::now();
      window.Refresh();
      window.repaint();
      updates.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      if (window.Loader().FitsDone() != fits + 1) {
        state.SkipWithError("an appended row did not refit exactly its session");
        return;
      }
    }
    state.SetIterationTime(Median(updates) / 1000);
  }
  state.counters["appends"] = static_cast<double>(updates.size());
  state.counters["worst_ms"] = *std::max_element(updates.begin(), updates.end());
  state.counters["rss_MiB"] = ResidentMiB();
}
BENCHMARK(BM_AppendedRowToWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
