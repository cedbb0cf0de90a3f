#pragma once
#include <string>
#include <vector>

#include "numeric/Result.h"

namespace classdata {

// What an output of the class view may be, beyond never being what the
// class is read from.
struct OutputRules {
  std::string extension;      // the name must end in it, in any case ("pdf"); empty: any name
  bool keepExisting = false;  // refuse an existing per-trial file or CSV file
};

// Whether output may be written, given the class's sources (the arguments as
// given). Refused: an output that is one of the file sources or lies in a
// source folder (paths compared absolute, through symbolic links and "..";
// sources that name a class database are no paths and are left out); with
// keepExisting, an existing file whose first line is a per-trial header, or
// whose name ends in .csv; a name without the extension. The reason names the
// output and why.
numeric::Status CheckOutputPath(const std::string& output, const std::vector<std::string>& sources,
                                const OutputRules& rules = {});

// The rules of the class report: a PDF that replaces no data.
OutputRules ReportOutputRules();

}  // namespace classdata
