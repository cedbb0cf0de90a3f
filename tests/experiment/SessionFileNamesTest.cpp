#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "experiment/SessionFileNames.h"

namespace {

using namespace experiment;

// The process's time zone from TZ; null: the system's own.
void SetTimeZone(const char* zone) {
#ifdef _WIN32
  ::_putenv_s("TZ", zone != nullptr ? zone : "");  // empty removes it
#else
  if (zone != nullptr) {
    ::setenv("TZ", zone, 1);
  } else {
    ::unsetenv("TZ");
  }
#endif
  ::tzset();
}

TEST(SessionFileNames, NamesFromTheSessionsLocalTimeWithTheirExtension) {
  SetTimeZone("JST-9");  // UTC + 9 h: the evening session is the next morning here
  const char* session = "2026-12-08T19:20:31.123Z";
  EXPECT_EQ(AutosaveFileName(session), "2026-12-09_04-20-31.csv");
  EXPECT_EQ(ProposedSaveName("roc-plot", session, "png"), "roc-plot_2026-12-09_04-20.png");
  EXPECT_EQ(AutosaveFileName(session, "a/b:c"), "2026-12-09_04-20-31_a_b_c.csv");
  SetTimeZone(nullptr);

  EXPECT_EQ(WithDefaultExtension("/home/a.b/results", "csv"), "/home/a.b/results.csv");
  EXPECT_EQ(WithDefaultExtension("/home/a/run.1", "csv"), "/home/a/run.1");
  const auto taken = [](const std::string& p) { return p == "/d/x.csv" || p == "/d/x-2.csv"; };
  EXPECT_EQ(UniquePath("/d", "x.csv", taken), "/d/x-3.csv");
}

}  // namespace
