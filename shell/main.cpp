#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QSysInfo>
#include <memory>
#include <optional>
#include <cstdio>
#include <iostream>
#include <unistd.h>

#include "experiment/DesignFile.h"
#include "experiment/Run.h"
#include "shell/ClassCommands.h"
#include "shell/CommandLine.h"
#include "shell/FitReport.h"
#include "shell/MainWindow.h"
#include "ui/FontEngine.h"
#include "ui/qt/Application.h"
#include "ui/qt/Display.h"
#include "store/ConnInfo.h"
#include "store/DatabaseSource.h"
#include "store/Schema.h"
#include "store/Store.h"
#include "classdata/ClassSource.h"

namespace {

void Complain(const std::string& what) { std::fprintf(stderr, "rocrating: %s\n", what.c_str()); }

// Where the rows for the class database wait until the server has them.
std::string SpoolFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(folder);
  return folder.toStdString();
}

// The commands that open no window, done before any window system is
// touched: their exit code; none for the commands that open windows.
std::optional<int> RunCommand(const shell::CommandLine& cl, int argc, char** argv) {
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
    case shell::CommandLine::Action::kClassSummary: {
      const QCoreApplication app(argc, argv);  // a class database's driver is a Qt plugin
      return shell::RunClassSummary(cl.classSources, std::cout, std::cerr, cl.includeIncomplete);
    }
    case shell::CommandLine::Action::kStoreInit: {
      const QCoreApplication app(argc, argv);
      return store::RunStoreInit(*cl.store, std::cout, std::cerr);
    }
    case shell::CommandLine::Action::kServe:
      return shell::RunServe(*cl.serve, argc, argv);
    case shell::CommandLine::Action::kClassReport:
      return shell::RunClassReport(cl.classReport, cl.classSources, std::cerr, argc, argv, cl.language,
                                   cl.includeIncomplete);
    case shell::CommandLine::Action::kClass:
    case shell::CommandLine::Action::kRun:
      break;
  }
  return std::nullopt;
}

// How the runs of this process are made, with the --csv file opened into
// `csv`; on failure, said, and the exit code. A design or an observer makes
// the runs a class's: their per-trial files name both. Without either, the
// standard experiment in the plain format.
std::optional<int> ReadRunSettings(const shell::CommandLine& cl, experiment::RunSettings& runs,
                                   experiment::TrialLogFile& csv) {
  if (cl.designFile || cl.observer) {
    if (cl.designFile) {
      numeric::Result<experiment::Design> read = experiment::ReadDesignFile(*cl.designFile);
      if (!read) {
        std::fprintf(stderr, "%s\n", read.Reason().c_str());
        return 2;
      }
      runs.design = std::move(*read);
    }
    runs.Format = experiment::TrialLogFormat::kClass;
    runs.Observer = cl.observer.value_or("");
    runs.AskObserver = runs.design.AskObserver && !cl.observer;
  }
  if (cl.csvFile) {
    if (const numeric::Status open = csv.Open(*cl.csvFile, runs.Format); !open) {
      Complain(open.Reason());
      return 2;
    }
    runs.Sinks.push_back(&csv);
  }
  runs.Autosave = cl.autosave;
  runs.Seed = cl.seed;
  return std::nullopt;
}

// Qt keeps its runtime files in the folder XDG_RUNTIME_DIR names, and says on
// every start when none is named (as root, or in a bare session): such a
// start gets a private folder of its own in the temporary folder.
void NameRuntimeFolder() {
  if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) return;
  const QString folder = QDir::tempPath() + QStringLiteral("/rocrating-runtime-%1").arg(::getuid());
  if (!QDir().mkpath(folder)) return;
  const QFileInfo made(folder);
  if (made.isSymLink() || made.ownerId() != ::getuid()) return;  // not ours: Qt chooses and says so
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

// The window system and its fonts, said when missing: the exit code then.
std::optional<int> StartWindowSystem(const shell::CommandLine& cl, int argc, char** argv) {
  if (const std::string problem = ui::DisplayProblem(); !problem.empty()) {
    Complain(problem);
    return 1;
  }
  for (const ui::MissingFace& f : ui::MissingFaces()) {
    Complain("font " + f.family + " not found (Debian package " + f.package + "); drawing with " +
             (f.substitute.empty() ? std::string("no font") : f.substitute) + " instead");
  }
  ui::Application::Initialize(argc, argv);
  if (!ui::UseLanguage(cl.language)) Complain("the English translation is missing; the windows stay in Japanese");
  QGuiApplication::setDesktopFileName("io.github.rocrating.RocRating");
  return std::nullopt;
}

// The class database: rows are spooled here and sent by a worker thread;
// what it says goes to the main window's status line, once there is one.
std::unique_ptr<store::Store> StartClassStore(const std::string& conninfo, TForm1* const& form1) {
  const store::ConnInfo info = *store::ParseConnInfo(conninfo);  // checked with the command line
  auto classStore = std::make_unique<store::Store>(
      info, store::SpoolPath(SpoolFolder(), info), QSysInfo::machineHostName().toStdString(),
      [&form1](const std::string& line) {
        QMetaObject::invokeMethod(qApp, [&form1, line] {
          if (form1 != nullptr) form1->ShowStoreStatus(line);
        }, Qt::QueuedConnection);
      });
  if (const numeric::Status started = classStore->Start(); !started) {
    Complain(started.Reason());
    return nullptr;
  }
  return classStore;
}

}  // namespace

int main(int argc, char** argv) {
  const shell::CommandLine cl = shell::ParseCommandLine({argv + 1, argv + argc});
  NameRuntimeFolder();  // before any Qt application, the report's among them
  classdata::SetDatabaseOpener(store::OpenDatabaseSource, store::LooksLikeConnInfo);
  if (const std::optional<int> done = RunCommand(cl, argc, argv)) return *done;

  experiment::RunSettings runs;
  experiment::TrialLogFile csv;
  if (const std::optional<int> failed = ReadRunSettings(cl, runs, csv)) return *failed;
  if (const std::optional<int> failed = StartWindowSystem(cl, argc, argv)) return *failed;
  if (cl.action == shell::CommandLine::Action::kClass)
    return shell::RunClassWindow(cl.classSources, cl.includeIncomplete);

  TForm1* form1 = nullptr;
  std::unique_ptr<store::Store> classStore;
  if (cl.store) {
    classStore = StartClassStore(*cl.store, form1);
    if (!classStore) return 2;
    runs.Sinks.push_back(classStore.get());
  }
  form1 = ui::Form::Create<TForm1>(nullptr, std::move(runs));
  return ui::Application::Run();
}
