#pragma once
#include <QCoreApplication>
#include <string>

#include "numeric/Errors.h"

// A file could not be written; the detail names the file and the reason.
// Shown in the error box like the program's other errors.
class EWriteError : public numeric::ProgramError {
 public:
  explicit EWriteError(const std::string& detail)
      : ProgramError(QCoreApplication::translate("EWriteError", "ファイルに書き込めません: ").toStdString() + detail) {}
};

// An answered trial could not be written to its per-trial file; the run
// goes on in memory.
class ETrialLogWriteError : public numeric::ProgramError {
 public:
  ETrialLogWriteError(const std::string& file, const std::string& reason)
      : ProgramError(QCoreApplication::translate("EWriteError", "試行の記録を書き込めません: ").toStdString() + file +
                     ": " + reason) {}
};
