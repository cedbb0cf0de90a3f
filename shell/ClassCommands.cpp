#include "ClassCommands.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QtGlobal>
#include <algorithm>
#include <iterator>

#include "classdata/ClassLoader.h"
#include "classdata/OutputPath.h"
#include "classdata/ReportCsv.h"
#include "shell/CommandLine.h"
#include "windows/ClassReport.h"
#include "windows/ClassWindow.h"

namespace shell {

namespace {

// Every source read once, in full; what the sources said of it named on err.
// False when anything was left out. When no session was found, the files and
// folders are named as holding no per-trial file, a class database that read
// well as holding no sessions; one that could not be read has been named.
bool LoadOnce(classdata::ClassLoader& loader, const std::vector<std::string>& sources, std::ostream& err) {
  for (const std::string& s : sources) loader.AddSource(classdata::OpenSource(s, classdata::ReadMode::kOnce));
  loader.Refresh();
  bool clean = true;
  for (const experiment::ReadNote& note : loader.Notes()) {
    err << "rocrating: " << experiment::NoteText(note) << '\n';
    clean = clean && !note.LeavesOut();
  }
  if (loader.Sessions().empty()) {
    std::vector<std::string> paths;
    std::copy_if(sources.begin(), sources.end(), std::back_inserter(paths),
                 [](const std::string& s) { return !classdata::NamesDatabase(s); });
    if (!paths.empty()) {
      err << "rocrating: no sources found: no per-trial file (*.csv) with sessions in";
      for (const std::string& s : paths) err << ' ' << s;
      err << '\n';
    }
    for (const std::string& database : loader.SilentEmptyOrigins(classdata::SourceKind::kDatabase))
      err << "rocrating: no sources found: no sessions in the class database " << database << '\n';
    clean = false;
  }
  return clean;
}

}  // namespace

ClassOptions::ClassOptions()
    : window("class", "Open the class window \"クラスの結果\" on the SOURCEs (per-trial files, folders of *.csv, "
                      "class databases named by a CONNINFO); it follows them as they grow. Needs a display."),
      report("class-report", "Write the class report of the SOURCEs as a PDF (A4) to OUT; opens no window.", "OUT"),
      summary("class-summary", "Print the class summary of the SOURCEs as CSV, one line per design; opens no window."),
      includeIncomplete("include-incomplete",
                        "With a class option: count the incomplete sessions (runs broken off, with fewer recorded "
                        "trials than their design has) in the designs' summaries and comparison; they are left out "
                        "by default.") {}

void ClassOptions::AddTo(QCommandLineParser& parser) const {
  parser.addOptions({window, report, summary, includeIncomplete});
}

bool ClassOptions::Take(const QCommandLineParser& parser, const QStringList& positional, CommandLine& cl) const {
  const int set = parser.isSet(window) + parser.isSet(report) + parser.isSet(summary);
  const auto bad = [&cl](const std::string& why) {
    cl.action = CommandLine::Action::kBadInput;
    cl.text = why;
    return true;
  };
  if (set == 0) {
    return parser.isSet(includeIncomplete) && bad("--include-incomplete goes with --class, --class-report or "
                                                  "--class-summary");
  }
  cl.includeIncomplete = parser.isSet(includeIncomplete);
  if (set > 1) return bad("--class, --class-report and --class-summary do not go together");
  if (parser.values(report).size() > 1) return bad("--class-report given more than once");
  if (cl.csvFile || cl.seed || cl.autosave || cl.designFile || cl.observer || cl.store)
    return bad("the class options open no experiment: --csv, --seed, --autosave, --design, --observer and --store do "
               "not go with them; a class database is a SOURCE");
  if (positional.isEmpty()) return bad("the class options need at least one SOURCE (a per-trial file or a folder)");
  for (const QString& s : positional) cl.classSources.push_back(s.toStdString());
  cl.action = parser.isSet(window)   ? CommandLine::Action::kClass
              : parser.isSet(report) ? CommandLine::Action::kClassReport
                                     : CommandLine::Action::kClassSummary;
  if (parser.isSet(report)) cl.classReport = parser.value(report).toStdString();
  return true;
}

int RunClassSummary(const std::vector<std::string>& sources, std::ostream& out, std::ostream& err,
                    bool withIncomplete) {
  classdata::ClassLoader loader;
  const bool clean = LoadOnce(loader, sources, err);
  const auto& columns = classdata::ClassSummaryColumns();
  out << classdata::CsvHeader(columns);
  for (const roc::DesignSummary& d : roc::SummarizeDesigns(loader.ClassSessions(), withIncomplete))
    out << classdata::CsvLine(columns, d);
  out.flush();
  return clean ? 0 : 2;
}

int RunClassReport(const std::string& pdf, const std::vector<std::string>& sources, std::ostream& err, int argc,
                   char** argv, ui::Language language, bool withIncomplete) {
  // Nothing is written, not even a temporary file, over what the class is
  // read from or over other data.
  if (const numeric::Status may = classdata::CheckOutputPath(pdf, sources, classdata::ReportOutputRules()); !may) {
    err << "rocrating: will not write the report: " << may.Reason() << " (--class-report OUT.pdf SOURCE...)\n";
    return 2;
  }
  // A report is drawn, never shown: no window system is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ui::UseLanguage(language);
  classdata::ClassLoader loader;
  const bool clean = LoadOnce(loader, sources, err);
  ClassReportContent content{&loader, roc::SummarizeDesigns(loader.ClassSessions(), withIncomplete), {}, {}, {},
                             withIncomplete};
  if (content.designs.size() >= 2) {
    content.first = content.designs[0].design;
    content.second = content.designs[1].design;
  }
  for (const std::string& s : sources) content.sources << QString::fromStdString(s);
  if (const QString error = SaveClassReport(QString::fromStdString(pdf), content); !error.isEmpty()) {
    err << "rocrating: cannot write the report: " << error.toStdString() << '\n';
    return 2;
  }
  return clean ? 0 : 2;
}

int RunClassWindow(const std::vector<std::string>& sources, bool withIncomplete) {
  auto* window = new ClassWindow(sources);
  window->IncludeIncomplete(withIncomplete);
  window->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit);
  window->show();
  return QApplication::exec();
}

}  // namespace shell
