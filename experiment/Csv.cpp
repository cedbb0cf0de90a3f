#include "Csv.h"

#include <algorithm>

namespace experiment {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::optional<std::vector<std::string>> SplitCsvFields(std::string_view line, char separator) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (true) {
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (true) {
        if (i >= line.size()) return std::nullopt;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      if (i < line.size() && line[i] != separator) return std::nullopt;
    } else {
      const std::size_t end = std::min(line.find(separator, i), line.size());
      field.assign(line.substr(i, end - i));
      if (field.find('"') != std::string::npos) return std::nullopt;
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return fields;
    ++i;  // the separator
  }
}

}  // namespace experiment
