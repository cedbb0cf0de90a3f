#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "TrialLog.h"

namespace experiment {

// One column of the per-trial file: its header name, how a row's value is
// written, and how a field is read back into a row (the reason when it holds
// no valid value). The table below is the file's format: the header, the
// writer and the reader all follow it.
struct TrialLogColumn {
  std::string_view Name;
  bool ClassOnly;  // written only in the class format; read as the standard design's value when absent
  bool Optional;   // a class file may lack it (begun by an earlier version); read as 0 then
  void (*Write)(const TrialLogRow& row, std::string& line);
  std::optional<std::string> (*Read)(std::string_view field, TrialLogRow& row);
};

// The columns in the order they are written; a format writes those it has.
std::span<const TrialLogColumn> TrialLogColumns();
bool HasColumn(TrialLogFormat format, const TrialLogColumn& column);

}  // namespace experiment
