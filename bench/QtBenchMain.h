#pragma once
#include <benchmark/benchmark.h>

#include <QtGlobal>

#include "ui/qt/Application.h"

// The main of a benchmark program with windows: Qt's head-less platform
// unless another is asked for, then the benchmarks.
inline int RunQtBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt keeps references to its arguments; give it its own, without the
  // benchmark options.
  static int qtArgc = 1;
  static char* qtArgv[] = {argv[0], nullptr};
  ui::Application::Initialize(qtArgc, qtArgv);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
