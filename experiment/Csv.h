#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace experiment {

// CSV as RFC 4180 has it, for the per-trial file and the reports.

// A field as written: quoted when it holds a comma, a quote or a line end,
// a quote inside doubled.
std::string CsvField(std::string_view text);

// The fields of one line (a field may be quoted, "" inside quotes is one
// quote); empty when the quoting is malformed. A spreadsheet under a locale
// whose decimal mark is the comma separates the fields with ';'.
std::optional<std::vector<std::string>> SplitCsvFields(std::string_view line, char separator = ',');

}  // namespace experiment
