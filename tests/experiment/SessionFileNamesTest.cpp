#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "experiment/SessionFileNames.h"

namespace {

using namespace experiment;

TEST(SessionFileNames, NamesFromTheSessionsLocalTimeWithTheirExtension) {
  ::setenv("TZ", "JST-9", 1);  // UTC + 9 h: the evening session is the next morning here
  ::tzset();
  const char* session = "2026-12-08T19:20:31.123Z";
  EXPECT_EQ(AutosaveFileName(session), "2026-12-09_04-20-31.csv");
  EXPECT_EQ(ProposedSaveName("roc-plot", session, "png"), "roc-plot_2026-12-09_04-20.png");
  EXPECT_EQ(AutosaveFileName(session, "a/b:c"), "2026-12-09_04-20-31_a_b_c.csv");
  ::unsetenv("TZ");
  ::tzset();

  EXPECT_EQ(WithDefaultExtension("/home/a.b/results", "csv"), "/home/a.b/results.csv");
  EXPECT_EQ(WithDefaultExtension("/home/a/run.1", "csv"), "/home/a/run.1");
  const auto taken = [](const std::string& p) { return p == "/d/x.csv" || p == "/d/x-2.csv"; };
  EXPECT_EQ(UniquePath("/d", "x.csv", taken), "/d/x-3.csv");
}

}  // namespace
