#include "CommandLine.h"

#include "ClassCommands.h"

#include <QCommandLineParser>
#include <QStringList>
#include <variant>

#include "store/ConnInfo.h"

#include "experiment/TextRules.h"

namespace shell {

namespace {

std::optional<std::uint32_t> ParseSeed(const QString& text) {
  bool ok = false;
  const qulonglong v = text.trimmed().toULongLong(&ok, 10);
  if (!ok || text.trimmed().startsWith('+') || v > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "A signal-detection rating experiment on one observer and its ROC analysis.\n"
      "With no options: the experiment, which needs a display.\n"
      "In the experiment, Space or Enter presses GO and the keys 1 to 4 rate (4 = sure of a signal; 1 to K on\n"
      "a scale of K categories).\n"
      "In the ROC window, the right mouse button on the plot opens a menu: the maximum-likelihood\n"
      "analysis window (Ctrl+F), save the plot as PNG (Ctrl+S), save the results as a per-trial\n"
      "file (Ctrl+Shift+S).");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  const QCommandLineOption csv("csv", "Append one row per answered trial to FILE.", "FILE");
  const QCommandLineOption seed("seed", "Seed the stimulus sequence of every experiment with N (0 to 4294967295).",
                                "N");
  const QCommandLineOption autosave(
      "autosave", "Keep every run in a per-trial file of its own, named from its date and time, in the user's data "
                  "folder ($XDG_DATA_HOME/rocrating, by default ~/.local/share/rocrating).");
  const QCommandLineOption design(
      "design", "Run the experiment of the design FILE (TOML: trial counts, brown squares, signal probability, "
                "exposure, feedback, rating scale); samples in /usr/share/rocrating/designs. The per-trial file then "
                "names the observer and the design.",
      "FILE");
  const QCommandLineOption observer(
      "observer", "Name the observer of every run in the per-trial file (1 to 64 characters, no control characters).",
      "NAME");
  const QCommandLineOption store(
      "store", "Also store every answered trial in the class database CONNINFO (a libpq connection string or "
               "URI; no password in it: use ~/.pgpass or a service file).",
      "CONNINFO");
  const QCommandLineOption storeInit(
      "store-init", "Create the class database's tables in CONNINFO if missing, print the GRANT statements for the "
                    "student and teacher roles, and exit.",
      "CONNINFO");
  const QCommandLineOption lang("lang", "The language of the windows: en (English) or ja (Japanese, the default).",
                                "en|ja");
  const QCommandLineOption fit("fit", "Fit the sessions of the per-trial FILEs and print the results; opens no window.");
  parser.addOptions({help, version, csv, seed, autosave, design, observer, lang, store, storeInit, fit});
  const ClassOptions classOptions;
  classOptions.AddTo(parser);
  parser.addPositionalArgument("FILE", "Per-trial files to fit (with --fit).", "[FILE...]");

  QStringList list{"rocrating"};
  for (const std::string& a : args) list << QString::fromStdString(a);

  CommandLine cl;
  const auto bad = [&cl](const QString& why) {
    cl.action = CommandLine::Action::kBadInput;
    cl.text = why.toStdString();
    return cl;
  };
  if (!parser.parse(list)) return bad(parser.errorText());
  if (parser.isSet(help)) {
    cl.action = CommandLine::Action::kHelp;
    cl.text = parser.helpText().replace("<executable_name>", "rocrating").toStdString();
    return cl;
  }
  if (parser.isSet(version)) {
    cl.action = CommandLine::Action::kVersion;
    return cl;
  }
  if (parser.values(csv).size() > 1) return bad("--csv given more than once");
  if (parser.values(seed).size() > 1) return bad("--seed given more than once");
  if (parser.values(design).size() > 1) return bad("--design given more than once");
  if (parser.values(observer).size() > 1) return bad("--observer given more than once");
  if (parser.values(lang).size() > 1) return bad("--lang given more than once");
  if (parser.isSet(lang)) {
    const QString value = parser.value(lang);
    if (value != "en" && value != "ja") return bad("--lang: \"" + value + "\" is not en or ja");
    cl.language = value == "en" ? ui::Language::kEnglish : ui::Language::kJapanese;
  }
  if (parser.isSet(seed)) {
    cl.seed = ParseSeed(parser.value(seed));
    if (!cl.seed) return bad("--seed: \"" + parser.value(seed) + "\" is not an integer from 0 to 4294967295");
  }
  if (parser.isSet(csv)) cl.csvFile = parser.value(csv).toStdString();
  cl.autosave = parser.isSet(autosave);
  if (parser.isSet(design)) cl.designFile = parser.value(design).toStdString();
  if (parser.isSet(observer)) {
    cl.observer = experiment::ObserverName(parser.value(observer).toStdString());
    if (!cl.observer)
      return bad("--observer: the name must be 1 to " + QString::number(experiment::kMaxNameCharacters) +
                 " characters without control characters");
  }
  for (const QCommandLineOption* o : {&store, &storeInit}) {
    if (parser.values(*o).size() > 1) return bad("--" + o->names().front() + " given more than once");
    if (!parser.isSet(*o)) continue;
    cl.store = parser.value(*o).toStdString();
    const auto parsed = store::ParseConnInfo(*cl.store);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
      return bad("--" + o->names().front() + ": " + QString::fromStdString(*why));
    }
  }
  if (parser.isSet(storeInit)) {
    if (parser.isSet(store) || !parser.positionalArguments().isEmpty() || cl.csvFile || cl.seed || cl.autosave ||
        cl.designFile || cl.observer) {
      return bad("--store-init goes with no other option");
    }
    cl.action = CommandLine::Action::kStoreInit;
    return cl;
  }
  const QStringList files = parser.positionalArguments();
  if (classOptions.Take(parser, files, cl)) return cl;
  if (parser.isSet(fit)) {
    if (files.isEmpty()) return bad("--fit needs at least one FILE");
    if (cl.csvFile || cl.seed || cl.autosave || cl.designFile || cl.observer || cl.store)
      return bad("--fit opens no experiment: --csv, --seed, --autosave, --design, --observer and --store do not go "
                 "with it");
    cl.action = CommandLine::Action::kFit;
    for (const QString& f : files) cl.fitFiles.push_back(f.toStdString());
    return cl;
  }
  if (!files.isEmpty()) return bad("unexpected argument \"" + files.front() + "\" (files are read with --fit)");
  return cl;
}

}  // namespace shell
