#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>

#include "experiment/SessionFileNames.h"

namespace {

using namespace experiment;

TEST(SessionFileNames, NamesFromTheSessionsLocalTimeWithTheirExtension) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "JST-9", 1);  // UTC + 9 h: the evening session is the next morning here
  ::tzset();
  const char* session = "2026-12-08T19:20:31.123Z";
  EXPECT_EQ(AutosaveFileName(session), "2026-12-09_04-20-31.csv");
  EXPECT_EQ(ProposedSaveName("roc-plot", session, "png"), "roc-plot_2026-12-09_04-20.png");
  EXPECT_EQ(ProposedSaveName("results", "", "csv"), "results.csv");
  old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();

  for (const auto& [typed, want] : {std::pair{"/home/a/results", "/home/a/results.csv"},
                                     {"/home/a.b/results", "/home/a.b/results.csv"},
                                     {"/home/a/results.csv", "/home/a/results.csv"},
                                     {"/home/a/run.1", "/home/a/run.1"}})
    EXPECT_EQ(WithDefaultExtension(typed, "csv"), want);

  const std::set<std::string> taken = {"/d/x.csv", "/d/x-2.csv"};
  const auto isTaken = [&](const std::string& p) { return taken.count(p) > 0; };
  EXPECT_EQ(UniquePath("/d", "x.csv", isTaken), "/d/x-3.csv");
  EXPECT_EQ(UniquePath("/d/", "y.csv", isTaken), "/d/y.csv");
}

}  // namespace
