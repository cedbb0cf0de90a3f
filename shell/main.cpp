#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "experiment/ExperimentState.h"
#include "experiment/Generator.h"
#include "experiment/RunLog.h"
#include "shell/CommandLine.h"
#include "shell/FitReport.h"
#include "shell/MainWindow.h"
#include "ui/FontEngine.h"
#include "ui/qt/Application.h"
#include "ui/qt/Display.h"

namespace {

void Complain(const std::string& what) { std::fprintf(stderr, "rocrating: %s\n", what.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  // What opens no window is done before any window system is touched.
  const shell::CommandLine cl = shell::ParseCommandLine({argv + 1, argv + argc});
  switch (cl.action) {
    case shell::CommandLine::Action::kHelp:
      std::fputs(cl.text.c_str(), stdout);
      return 0;
    case shell::CommandLine::Action::kVersion:
      std::printf("rocrating %s\n", ROCRATING_VERSION);
      return 0;
    case shell::CommandLine::Action::kBadInput:
      Complain(cl.text + " (see --help)");
      return 2;
    case shell::CommandLine::Action::kFit:
      return shell::RunFitReport(cl.fitFiles, std::cout, std::cerr);
    case shell::CommandLine::Action::kRun:
      break;
  }

  experiment::TrialLogFile csv;
  if (cl.csvFile) {
    if (auto error = csv.Open(*cl.csvFile, experiment::RunLog.Format)) {
      Complain(*error);
      return 2;
    }
    experiment::RunLog.File = &csv;
  }
  experiment::RunLog.Autosave = cl.autosave;
  experiment::SetFixedSeed(cl.seed);
  // Benchmarks time shorter exposures of the standard experiment.
  if (const char* ms = std::getenv("ROCRATING_EXPOSURE_MS"); ms != nullptr && std::atoi(ms) > 0) {
    experiment::Experiment.design.ExposureMs = std::atoi(ms);
  }

  if (const std::string problem = ui::DisplayProblem(); !problem.empty()) {
    Complain(problem);
    return 1;
  }
  for (const ui::MissingFace& f : ui::MissingFaces()) {
    Complain("font " + f.family + " not found (Debian package " + f.package + "); drawing with " +
             (f.substitute.empty() ? std::string("no font") : f.substitute) + " instead");
  }
  ui::Application::Initialize(argc, argv);
  QGuiApplication::setDesktopFileName("io.github.rocrating.RocRating");
  MainWindow.Form1 = ui::Form::Create<TForm1>(nullptr);
  return ui::Application::Run();
}
