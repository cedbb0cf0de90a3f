#pragma once
#include <string>

#include "numeric/Errors.h"

// A file could not be written; the detail names the file and the reason.
// Shown in the error box like the program's other errors.
class EWriteError : public numeric::ProgramError {
 public:
  explicit EWriteError(const std::string& detail) : ProgramError("ファイルに書き込めません: " + detail) {}
};
