#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/ServeCommand.h"
#include "ui/qt/Language.h"

namespace shell {

// What the command line asks for. With no arguments: the main window and its
// experiment, every setting at its default.
struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kFit, kBadInput, kClass, kClassReport, kClassSummary, kStoreInit, kServe };
  Action action = Action::kRun;
  std::optional<std::string> csvFile;  // --csv FILE: append every answered trial
  std::optional<std::uint32_t> seed;   // --seed N: seed each experiment with N
  bool autosave = false;               // --autosave: keep each run in a file of its own
  std::optional<std::string> designFile;  // --design FILE: the experiment of a teacher's design file
  std::optional<std::string> observer;    // --observer NAME: trimmed, a good name (experiment/TextRules.h)
  std::vector<std::string> fitFiles;   // --fit FILE...: fit the files, open no window
  std::string text;                    // the help text, or what is wrong with the input
  std::vector<std::string> classSources;  // --class, --class-report, --class-summary: SOURCE...
  std::string classReport;                // --class-report OUT
  bool includeIncomplete = false;         // --include-incomplete: summarise the runs broken off too
  std::optional<std::string> store;       // --store CONNINFO (with the experiment), --store-init CONNINFO
  ui::Language language = ui::Language::kJapanese;  // --lang en|ja: the windows' language
  std::optional<ServeRequest> serve;                // --serve and its options
};

// Parses the arguments after the program name. Needs no application object
// and no display, and reads no file: the design file is read by the caller.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace shell
