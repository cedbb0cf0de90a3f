#include "classdata/OutputPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "classdata/ClassSource.h"
#include "experiment/TrialLog.h"

namespace classdata {

namespace {

namespace fs = std::filesystem;

// Absolute, with symbolic links and "." and ".." resolved as far as the path
// exists; the path made absolute alone when even that fails.
fs::path Resolved(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec) return fs::path(path).lexically_normal();
  fs::path resolved = fs::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : resolved;
}

// Whether inner lies in folder (at any depth), both resolved.
bool LiesIn(const fs::path& inner, const fs::path& folder) {
  const auto [f, i] = std::mismatch(folder.begin(), folder.end(), inner.begin(), inner.end());
  // A trailing separator leaves an empty last element of folder.
  return (f == folder.end() || (f->empty() && std::next(f) == folder.end())) && i != inner.end();
}

bool EndsWithCaseless(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

numeric::Status CheckNotASource(const std::string& output, const fs::path& out,
                                const std::vector<std::string>& sources) {
  for (const std::string& s : sources) {
    if (NamesDatabase(s)) continue;
    const fs::path source = Resolved(s);
    if (out == source) return numeric::Fail(output + " is one of the sources (" + s + ")");
    std::error_code ec;
    if (fs::is_directory(source, ec) && LiesIn(out, source))
      return numeric::Fail(output + " lies in the source folder " + s);
  }
  return {};
}

numeric::Status CheckNotData(const std::string& output, const fs::path& out) {
  std::error_code ec;
  if (!fs::is_regular_file(out, ec)) return {};
  std::ifstream file(out, std::ios::binary);
  std::string first;
  std::getline(file, first);
  if (experiment::IsTrialLogHeader(first)) return numeric::Fail(output + " is a per-trial file");
  if (EndsWithCaseless(out.filename().string(), ".csv")) return numeric::Fail(output + " is an existing CSV file");
  return {};
}

}  // namespace

numeric::Status CheckOutputPath(const std::string& output, const std::vector<std::string>& sources,
                                const OutputRules& rules) {
  const fs::path out = Resolved(output);
  if (numeric::Status s = CheckNotASource(output, out, sources); !s) return s;
  if (rules.keepExisting) {
    if (numeric::Status s = CheckNotData(output, out); !s) return s;
  }
  if (!rules.extension.empty() && !EndsWithCaseless(output, "." + rules.extension))
    return numeric::Fail(output + ": the name does not end in ." + rules.extension);
  return {};
}

OutputRules ReportOutputRules() { return {"pdf", true}; }

}  // namespace classdata
