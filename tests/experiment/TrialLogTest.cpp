#include "experiment/TrialLog.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace experiment {
namespace {

using namespace std::chrono;

std::string FreshPath(const std::string& name) {
  const std::string path = ::testing::TempDir() + "/trial-log-" + std::to_string(::getpid()) + "-" + name;
  std::remove(path.c_str());
  return path;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(TrialLogTest, SessionTimeIsUtcToTheMillisecond) {
  const auto t = sys_days{2026y / 12 / 8} + 19h + 20min + 31s + 123999us;
  EXPECT_EQ(FormatSessionTime(t), "2026-12-08T19:20:31.123Z");
  EXPECT_EQ(FormatSessionTime(sys_days{1999y / 1 / 2}), "1999-01-02T00:00:00.000Z");
}

// Two appenders of two sessions on one file: one header, every row back in
// its session, in file order.
TEST(TrialLogTest, TwoAppendersShareOneHeaderAndReadBackBySession) {
  const std::string path = FreshPath("shared.csv");
  const TrialLogRow first{"2026-12-08T19:20:31.123Z", 4294967295u, 10, kNoise, 1, 1000.04, 734};
  const TrialLogRow second{"2026-12-08T19:20:31.123Z", 4294967295u, 11, kSignal, 4, 1001.26, 12};
  const TrialLogRow other{"2026-12-09T08:00:00.000Z", 0, 11, kNoise, 2, 999.95, 5000};
  TrialLogFile a, b;
  ASSERT_EQ(a.Open(path), std::nullopt);
  ASSERT_EQ(b.Open(path), std::nullopt);
  ASSERT_EQ(a.Append(first), std::nullopt);
  ASSERT_EQ(b.Append(other), std::nullopt);
  ASSERT_EQ(a.Append(second), std::nullopt);

  EXPECT_EQ(Slurp(path),
            "session,seed,trial,phase,stimulus,response,exposure_ms,rating_ms\n"
            "2026-12-08T19:20:31.123Z,4294967295,10,practice,noise,1,1000.0,734\n"
            "2026-12-09T08:00:00.000Z,0,11,recorded,noise,2,1000.0,5000\n"
            "2026-12-08T19:20:31.123Z,4294967295,11,recorded,signal,4,1001.3,12\n");
  const TrialLogContents read = ReadTrialLog(path);
  ASSERT_EQ(read.Error, "");
  ASSERT_EQ(read.Sessions.size(), 2u);
  EXPECT_EQ(read.Sessions[0].Seed, 4294967295u);
  ASSERT_EQ(read.Sessions[0].Rows.size(), 2u);
  EXPECT_EQ(read.Sessions[0].Rows[1].Trial, 11);
  EXPECT_EQ(read.Sessions[0].Rows[1].Response, 4);
  EXPECT_DOUBLE_EQ(read.Sessions[0].Rows[1].ExposureMs, 1001.3);
  EXPECT_EQ(read.Sessions[1].Session, "2026-12-09T08:00:00.000Z");
  std::remove(path.c_str());
}

TEST(TrialLogTest, NumbersIgnoreTheLocale) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale here";
  const TrialLogRow row{"2026-12-08T19:20:31.123Z", 7, 12, kSignal, 3, 1001.26, 12};
  const std::string line = FormatTrialLogLine(row);
  const TrialLogContents read = ParseTrialLog(std::string(kTrialLogHeader) + "\n" + line, "f.csv");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(line, "2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001.3,12\n");
  ASSERT_EQ(read.Error, "");
  EXPECT_DOUBLE_EQ(read.Sessions.at(0).Rows.at(0).ExposureMs, 1001.3);
}

TEST(TrialLogTest, MalformedFilesNameTheLine) {
  const std::string header = std::string(kTrialLogHeader) + "\n";
  const std::string good = "2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001.3,12\n";
  const std::pair<std::string, std::string> cases[] = {
      {good, "f.csv:1: the first line"},
      {header + good + "2026-12-08T19:20:31.123Z,7,13,recorded,signal,5,1001.3,12\n", "f.csv:3: response \"5\""},
      {header + "2026-12-08T19:20:31.123Z,7,3,recorded,noise,1,1001.3,12\n", "f.csv:2: phase"},
      {header + "2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001,3,12\n", "f.csv:2: expected 8 fields"},
      {header + "\n" + good, "f.csv:2: blank line"},
      {header + "\"2026-12-08T19:20:31.123Z,7,12\n", "f.csv:2: malformed quotes"},
  };
  for (const auto& [text, error] : cases) {
    const TrialLogContents read = ParseTrialLog(text, "f.csv");
    EXPECT_TRUE(read.Error.starts_with(error)) << read.Error;
    EXPECT_TRUE(read.Sessions.empty());
  }
  // CRLF line ends, quoted fields and blank lines at the end are fine.
  const TrialLogContents crlf = ParseTrialLog(
      header + "\"2026-12-08T19:20:31.123Z\",7,12,recorded,\"signal\",3,1001.3,12\r\n\r\n\n", "f.csv");
  EXPECT_EQ(crlf.Error, "");
  EXPECT_EQ(crlf.Sessions.size(), 1u);
  const std::string absent = FreshPath("absent.csv");
  EXPECT_EQ(ReadTrialLog(absent).Error, absent + ": No such file or directory");
}

TEST(TrialLogTest, WriteFailureNamesFileAndReason) {
  const std::string inMissingFolder = FreshPath("no-such-folder") + "/trials.csv";
  TrialLogFile missing;
  EXPECT_EQ(missing.Open(inMissingFolder),
            "cannot open " + inMissingFolder + " for appending: No such file or directory");
  TrialLogFile full;
  if (full.Open("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(full.Append({"2026-12-08T19:20:31.123Z", 7, 12, kSignal, 3, 1001.3, 12}),
            "cannot write to /dev/full: No space left on device");
}

}  // namespace
}  // namespace experiment
