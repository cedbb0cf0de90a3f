#include "CommandLine.h"

#include "ClassCommands.h"

#include <QCommandLineParser>
#include <QStringList>
#include <utility>

#include "store/ConnInfo.h"

#include "experiment/TextRules.h"

namespace shell {

namespace {

// The options of the experiment, the fit and the class database; the class
// commands bring theirs (ClassOptions).
struct Options {
  QCommandLineOption help{QStringList{"h", "help"}, "Show this help and exit."};
  QCommandLineOption version{QStringList{"v", "version"}, "Show the version and exit."};
  QCommandLineOption csv{"csv", "Append one row per answered trial to FILE.", "FILE"};
  QCommandLineOption seed{"seed", "Seed the stimulus sequence of every experiment with N (0 to 4294967295).", "N"};
  QCommandLineOption autosave{
      "autosave", "Keep every run in a per-trial file of its own, <date>_<time>_<observer>.csv (without an observer "
                  "<date>_<time>.csv), in the user's data folder ($XDG_DATA_HOME/rocrating, by default "
                  "~/.local/share/rocrating)."};
  QCommandLineOption design{
      "design", "Run the experiment of the design FILE (TOML: trial counts, brown squares, signal probability, "
                "exposure, feedback, the grid's colours, rating scale); samples in /usr/share/rocrating/designs. The "
                "per-trial file then names the observer and the design.",
      "FILE"};
  QCommandLineOption observer{
      "observer", "Name the observer of every run in the per-trial file (1 to 64 characters, no control characters).",
      "NAME"};
  QCommandLineOption store{
      "store", "Also store every answered trial in the class database CONNINFO (a libpq connection string or "
               "URI; no password in it: use ~/.pgpass or a service file).",
      "CONNINFO"};
  QCommandLineOption storeInit{
      "store-init", "Create the class database's tables in CONNINFO if missing, print the GRANT statements for the "
                    "student and teacher roles, and exit.",
      "CONNINFO"};
  QCommandLineOption lang{"lang",
                          "The language of the windows: en (English) or ja (Japanese, the default); with --serve, "
                          "of the pages that name none and of the server's own lines.",
                          "en|ja"};
  QCommandLineOption fit{"fit", "Fit the sessions of the per-trial FILEs and print the results; opens no window."};
  QCommandLineOption serve{
      "serve", "Serve the experiment to the students' browsers (opens no window): prints the students' and the "
               "teacher's links and a QR code; --design may be given several times (the student chooses); every "
               "answer goes to a per-trial file of its run in --data DIR, and to --store CONNINFO. Ends with "
               "Ctrl+C."};
  QCommandLineOption listen{"listen", "With --serve: the address and port (default all interfaces, port 8080).",
                            "ADDR:PORT"};
  QCommandLineOption data{"data",
                          "With --serve: the folder of the runs' per-trial files (default "
                          "$XDG_DATA_HOME/rocrating/class, made if missing); none: no files (with --store).",
                          "DIR"};
  QCommandLineOption tlsCert{"tls-cert", "With --serve and --tls-key: serve HTTPS with the PEM certificate FILE.",
                             "FILE"};
  QCommandLineOption tlsKey{"tls-key", "With --serve and --tls-cert: the PEM private key FILE (readable by its owner only).",
                            "FILE"};
  ClassOptions classOptions;
};

// The description, the options and the positional files, in the order the
// help text lists them.
void DescribeTo(QCommandLineParser& parser, const Options& o) {
  parser.setApplicationDescription(
      "A signal-detection rating experiment on one observer and its ROC analysis.\n"
      "With no options: the experiment, which needs a display.\n"
      "In the experiment, Space or Enter presses GO and the keys 1 to 4 rate (4 = sure of a signal; 1 to K on\n"
      "a scale of K categories).\n"
      "In the ROC window, the right mouse button on the plot opens a menu: the maximum-likelihood\n"
      "analysis window (Ctrl+F), save the plot as PNG (Ctrl+S), save the results as a per-trial\n"
      "file (Ctrl+Shift+S).");
  parser.addOptions({o.help, o.version, o.csv, o.seed, o.autosave, o.design, o.observer, o.lang, o.store, o.storeInit,
                     o.fit, o.serve, o.listen, o.data, o.tlsCert, o.tlsKey});
  o.classOptions.AddTo(parser);
  parser.addPositionalArgument("FILE", "Per-trial files to fit (with --fit).", "[FILE...]");
}

std::optional<std::uint32_t> ParseSeed(const QString& text) {
  bool ok = false;
  const qulonglong v = text.trimmed().toULongLong(&ok, 10);
  if (!ok || text.trimmed().startsWith('+') || v > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

// What is wrong with an option given more than once, if one is.
std::optional<QString> Repeated(const QCommandLineParser& parser, const Options& o) {
  for (const QCommandLineOption* option : {&o.csv, &o.seed, &o.design, &o.observer, &o.lang, &o.listen, &o.data,
                                           &o.tlsCert, &o.tlsKey}) {
    if (option == &o.design && parser.isSet(o.serve)) continue;  // the students choose among the designs
    if (parser.values(*option).size() > 1) return "--" + option->names().front() + " given more than once";
  }
  return std::nullopt;
}

// The experiment's options into cl: the language, the seed, the per-trial
// files, the design and the observer; what is wrong with them, if anything.
std::optional<QString> TakeExperimentOptions(const QCommandLineParser& parser, const Options& o, CommandLine& cl) {
  if (auto why = Repeated(parser, o)) return why;
  if (parser.isSet(o.lang)) {
    const QString value = parser.value(o.lang);
    if (value != "en" && value != "ja") return "--lang: \"" + value + "\" is not en or ja";
    cl.language = value == "en" ? ui::Language::kEnglish : ui::Language::kJapanese;
  }
  if (parser.isSet(o.seed)) {
    cl.seed = ParseSeed(parser.value(o.seed));
    if (!cl.seed) return "--seed: \"" + parser.value(o.seed) + "\" is not an integer from 0 to 4294967295";
  }
  if (parser.isSet(o.csv)) cl.csvFile = parser.value(o.csv).toStdString();
  cl.autosave = parser.isSet(o.autosave);
  if (parser.isSet(o.design)) cl.designFile = parser.value(o.design).toStdString();
  if (parser.isSet(o.observer)) {
    const auto name = experiment::ObserverName(parser.value(o.observer).toStdString());
    if (!name)
      return "--observer: the name must be 1 to " + QString::number(experiment::kMaxNameCharacters) +
             " characters without control characters";
    cl.observer = *name;
  }
  return std::nullopt;
}

// The connection string of --store or --store-init into cl; what is wrong
// with it, if anything.
std::optional<QString> TakeStore(const QCommandLineParser& parser, const Options& o, CommandLine& cl) {
  for (const QCommandLineOption* option : {&o.store, &o.storeInit}) {
    const QString name = "--" + option->names().front();
    if (parser.values(*option).size() > 1) return name + " given more than once";
    if (!parser.isSet(*option)) continue;
    cl.store = parser.value(*option).toStdString();
    const auto parsed = store::ParseConnInfo(*cl.store);
    if (!parsed) return name + ": " + QString::fromStdString(parsed.Reason());
  }
  return std::nullopt;
}

// Whether cl holds any option that only an experiment uses.
bool AnyExperimentOption(const CommandLine& cl) {
  return cl.csvFile || cl.seed || cl.autosave || cl.designFile || cl.observer;
}

// --serve with its options into cl; what is wrong with them, if anything.
std::optional<QString> TakeServe(const QCommandLineParser& parser, const Options& o, CommandLine& cl) {
  const bool serving = parser.isSet(o.serve);
  for (const QCommandLineOption* option : {&o.listen, &o.data, &o.tlsCert, &o.tlsKey}) {
    if (parser.isSet(*option) && !serving) return "--" + option->names().front() + " goes with --serve";
  }
  if (!serving) return std::nullopt;
  if (cl.csvFile || cl.autosave || cl.observer || parser.isSet(o.fit) || parser.isSet(o.storeInit) ||
      !parser.positionalArguments().isEmpty())
    return "--serve takes --listen, --design, --data, --store, --seed, --lang, --tls-cert and --tls-key";
  if (parser.isSet(o.tlsCert) != parser.isSet(o.tlsKey)) return "--tls-cert and --tls-key go together";
  ServeRequest serve;
  if (parser.isSet(o.listen)) {
    if (const numeric::Status ok = ParseListen(parser.value(o.listen).toStdString(), serve); !ok)
      return "--listen: " + QString::fromStdString(ok.Reason());
  }
  for (const QString& file : parser.values(o.design)) serve.designFiles.push_back(file.toStdString());
  if (parser.isSet(o.data)) serve.data = parser.value(o.data).toStdString();
  if (parser.isSet(o.tlsCert)) serve.tlsCert = parser.value(o.tlsCert).toStdString();
  if (parser.isSet(o.tlsKey)) serve.tlsKey = parser.value(o.tlsKey).toStdString();
  if (serve.data == "none" && !cl.store) return "--data none needs --store: the answers must go somewhere";
  serve.store = cl.store;
  serve.seed = cl.seed;
  serve.language = cl.language;
  cl.designFile.reset();
  cl.serve = std::move(serve);
  cl.action = CommandLine::Action::kServe;
  return std::nullopt;
}

// cl refused, with what is wrong in one line.
CommandLine BadInput(CommandLine cl, const QString& why) {
  cl.action = CommandLine::Action::kBadInput;
  cl.text = why.toStdString();
  return cl;
}

// After the options: --store-init alone, a class command, --fit with its
// files or the experiment.
CommandLine TakeAction(const QCommandLineParser& parser, const Options& o, CommandLine cl) {
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(o.storeInit)) {
    if (parser.isSet(o.store) || !files.isEmpty() || AnyExperimentOption(cl)) {
      return BadInput(cl, "--store-init goes with no other option");
    }
    cl.action = CommandLine::Action::kStoreInit;
    return cl;
  }
  if (o.classOptions.Take(parser, files, cl)) return cl;
  if (parser.isSet(o.fit)) {
    if (files.isEmpty()) return BadInput(cl, "--fit needs at least one FILE");
    if (AnyExperimentOption(cl) || cl.store)
      return BadInput(cl, "--fit opens no experiment: --csv, --seed, --autosave, --design, --observer and --store "
                          "do not go with it");
    cl.action = CommandLine::Action::kFit;
    for (const QString& f : files) cl.fitFiles.push_back(f.toStdString());
    return cl;
  }
  if (!files.isEmpty()) return BadInput(cl, "unexpected argument \"" + files.front() + "\" (files are read with --fit)");
  return cl;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  QCommandLineParser parser;
  const Options options;
  DescribeTo(parser, options);
  QStringList list{"rocrating"};
  for (const std::string& a : args) list << QString::fromStdString(a);

  CommandLine cl;
  if (!parser.parse(list)) return BadInput(cl, parser.errorText());
  if (parser.isSet(options.help)) {
    cl.action = CommandLine::Action::kHelp;
    cl.text = parser.helpText().replace("<executable_name>", "rocrating").toStdString();
    return cl;
  }
  if (parser.isSet(options.version)) {
    cl.action = CommandLine::Action::kVersion;
    return cl;
  }
  if (const auto why = TakeExperimentOptions(parser, options, cl)) return BadInput(cl, *why);
  if (const auto why = TakeStore(parser, options, cl)) return BadInput(cl, *why);
  if (const auto why = TakeServe(parser, options, cl)) return BadInput(cl, *why);
  if (cl.serve) return cl;
  return TakeAction(parser, options, std::move(cl));
}

}  // namespace shell
