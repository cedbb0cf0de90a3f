#include "classdata/OutputPath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "experiment/TrialLog.h"

namespace classdata {
namespace {

// An output and its sources, relative to a folder of per-trial files
// (class/tanaka.csv, victim.csv, old.pdf) and someone else's notes.csv; the
// part of the reason a refusal gives, empty when the output is allowed.
using OutputCase = std::tuple<const char*, std::vector<std::string>, const char*>;
class OutputPathTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputPathTest, RefusesWhatWouldReplaceData) {
  const auto& [output, sources, refusal] = GetParam();
  const auto root = std::filesystem::path(::testing::TempDir()) / ("output-path-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "class");
  std::filesystem::current_path(root);
  std::ofstream("class/tanaka.csv") << experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  std::ofstream("victim.csv") << experiment::TrialLogHeaderLine();
  std::ofstream("old.pdf") << "\xEF\xBB\xBF" << experiment::TrialLogHeaderLine();
  std::ofstream("notes.csv") << "name,mark\nsato,3\n";
  const numeric::Status may = CheckOutputPath(output, sources, ReportOutputRules());
  EXPECT_EQ(may.ok(), *refusal == '\0') << may.Reason();
  EXPECT_NE(may.Reason().find(refusal), std::string::npos) << may.Reason();
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputPathTest,
    ::testing::Values(OutputCase{"victim.csv", {"class.pdf"}, "victim.csv is a per-trial file"},  // swapped
                      OutputCase{"class/class.pdf", {"class"}, "source folder"},
                      OutputCase{"class/a/../b/c.pdf", {"./class/"}, "source folder"},
                      OutputCase{"./class/../class/tanaka.csv", {"class/tanaka.csv"}, "one of the sources"},
                      OutputCase{"notes.csv", {"class"}, "existing CSV file"},
                      OutputCase{"old.pdf", {"class"}, "per-trial file"},
                      OutputCase{"class.txt", {"class"}, ".pdf"},
                      OutputCase{"class-report.pdf", {"class"}, ""},
                      OutputCase{"report.PDF", {"class", "class/tanaka.csv", "victim.csv"}, ""}));

}  // namespace
}  // namespace classdata
