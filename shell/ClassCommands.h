#pragma once
#include <QCommandLineOption>
#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

#include "ui/qt/Language.h"

class QCommandLineParser;

namespace shell {

struct CommandLine;

// The options of the class view on the command line: --class, --class-report
// OUT and --class-summary, each followed by SOURCEs, and --include-incomplete
// with any of them.
struct ClassOptions {
  ClassOptions();
  void AddTo(QCommandLineParser& parser) const;
  // When one of them is set: the action and its sources in cl, or what is
  // wrong with the input; false when none is set.
  bool Take(const QCommandLineParser& parser, const QStringList& positional, CommandLine& cl) const;

  QCommandLineOption window, report, summary, includeIncomplete;
};

// "--class-summary SOURCE...": reads every source once (files, folders of
// *.csv) and writes the class summary to out, a header and one line per
// design. What cannot be read is named on err; when no per-trial file is
// found at all, err says so. Incomplete sessions are counted in their own
// column and summarised only withIncomplete. Returns 0, or 2 when anything
// was named.
int RunClassSummary(const std::vector<std::string>& sources, std::ostream& out, std::ostream& err,
                    bool withIncomplete = false);

// "--class-report OUT.pdf SOURCE...": the same content as the class window,
// as a PDF report, the first two designs compared. Needs no display: call
// before any Qt application exists; it renders on Qt's offscreen platform
// unless another is set. Returns 0, or 2 when anything was named on err or
// the report could not be written. An output that is one of the sources or
// lies in a source folder, an existing per-trial or CSV file, or a name not
// ending in .pdf is refused before anything is read or written. The report
// goes to a temporary file that takes OUT's name only when whole. Its texts
// are in `language`; incomplete sessions are summarised and compared only
// withIncomplete.
int RunClassReport(const std::string& pdf, const std::vector<std::string>& sources, std::ostream& err, int argc,
                   char** argv, ui::Language language, bool withIncomplete = false);

// "--class SOURCE...": the class window, live, its check box for the
// incomplete sessions set withIncomplete; after the Qt application is made.
// Returns when the window is closed.
int RunClassWindow(const std::vector<std::string>& sources, bool withIncomplete = false);

}  // namespace shell
