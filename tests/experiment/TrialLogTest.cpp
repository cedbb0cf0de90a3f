#include "experiment/TrialLog.h"
#include "experiment/TrialLogColumns.h"

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
  const TrialLogRow first{.Session = "2026-12-08T19:20:31.123Z", .Seed = 4294967295u, .Trial = 10, .Practice = true, .Stimulus = kNoise, .Response = 1, .ExposureMs = 1000.04, .RatingMs = 734};
  const TrialLogRow second{.Session = "2026-12-08T19:20:31.123Z", .Seed = 4294967295u, .Trial = 11, .Practice = false, .Stimulus = kSignal, .Response = 4, .ExposureMs = 1001.26, .RatingMs = 12};
  const TrialLogRow other{.Session = "2026-12-09T08:00:00.000Z", .Seed = 0, .Trial = 11, .Practice = false, .Stimulus = kNoise, .Response = 2, .ExposureMs = 999.95, .RatingMs = 5000};
  TrialLogFile a, b;
  ASSERT_EQ(a.Open(path).Reason(), "");
  ASSERT_EQ(b.Open(path).Reason(), "");
  ASSERT_EQ(a.Append(first).Reason(), "");
  ASSERT_EQ(b.Append(other).Reason(), "");
  ASSERT_EQ(a.Append(second).Reason(), "");

  EXPECT_EQ(Slurp(path),
            "session,seed,trial,phase,stimulus,response,exposure_ms,rating_ms\n"
            "2026-12-08T19:20:31.123Z,4294967295,10,practice,noise,1,1000.0,734\n"
            "2026-12-09T08:00:00.000Z,0,11,recorded,noise,2,1000.0,5000\n"
            "2026-12-08T19:20:31.123Z,4294967295,11,recorded,signal,4,1001.3,12\n");
  const TrialLogContents read = ReadTrialLog(path);
  ASSERT_FALSE(read.Error);
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
  // German by its POSIX name, else by its Windows one.
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "German_Germany.1252") == nullptr) {
    GTEST_SKIP() << "no German locale here";
  }
  const TrialLogRow row{.Session = "2026-12-08T19:20:31.123Z", .Seed = 7, .Trial = 12, .Practice = false, .Stimulus = kSignal, .Response = 3, .ExposureMs = 1001.26, .RatingMs = 12};
  const std::string line = FormatTrialLogLine(row);
  const TrialLogContents read = ParseTrialLog(TrialLogHeaderLine() + line, "f.csv");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(line, "2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001.3,12\n");
  ASSERT_FALSE(read.Error);
  EXPECT_DOUBLE_EQ(read.Sessions.at(0).Rows.at(0).ExposureMs, 1001.3);
}

// A bad line costs that line, not the file: it is named and skipped, and the
// rows around it still count. Spreadsheet leftovers are skipped silently.
TEST(TrialLogTest, MalformedLinesAreNamedAndSkippedNotTheFile) {
  const std::string header = TrialLogHeaderLine();
  const std::string before = "2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001.3,12\n";
  const std::string after = "2026-12-08T19:20:31.123Z,7,14,recorded,noise,1,1000.2,640\n";
  const std::pair<std::string, std::string> cases[] = {
      {"2026-12-08T19:20:31.123Z,7,13,recorded,signal,5,1001.3,12\n", "f.csv:3: response \"5\""},
      {"2026-12-08T19:20:31.123Z,7,3,recorded,noise,1,1001.3,12\n", "f.csv:3: phase"},
      {"2026-12-08T19:20:31.123Z,7,12,recorded,signal,3,1001,3,12\n", "f.csv:3: expected 8 fields"},
      {"\"2026-12-08T19:20:31.123Z,7,13\n", "f.csv:3: malformed quotes"},
      {"2026-12-08T19:20:31.123Z,7,13,recor", "f.csv:3: expected 8 fields"},  // cut by a crash
      {before, "f.csv:3: trial 12 of session 2026-12-08T19:20:31.123Z again"},  // pasted twice
      {"\n" + std::string(7, ',') + "\n" + header + "\r\n", ""},             // leftovers, a joined header
  };
  for (const auto& [bad, named] : cases) {
    const TrialLogContents read = ParseTrialLog("\xEF\xBB\xBF" + header + before + bad + "\n" + after, "f.csv");
    EXPECT_FALSE(read.Error);
    ASSERT_EQ(read.Sessions.size(), 1u) << named;
    EXPECT_EQ(read.Sessions[0].Rows.size(), 2u) << named;
    EXPECT_EQ(read.Sessions[0].Rows[1].Trial, 14) << named;
    ASSERT_EQ(read.Skipped.size(), named.empty() ? 0u : 1u) << named;
    if (!named.empty()) {
      EXPECT_TRUE(NoteText(read.Skipped[0]).starts_with(named)) << NoteText(read.Skipped[0]);
    }
  }
  // A file that is not ours, and one without sessions, are named as a whole.
  const auto error = [](const TrialLogContents& read) { return read.Error ? NoteText(*read.Error) : ""; };
  EXPECT_TRUE(error(ParseTrialLog("name,score\nx,1\n" + before, "f.csv")).starts_with("f.csv:1: the first line"));
  EXPECT_EQ(error(ParseTrialLog("", "f.csv")), "f.csv: no sessions");
  EXPECT_EQ(error(ParseTrialLog(header, "f.csv")), "f.csv: no sessions");
  const std::string absent = FreshPath("absent.csv");
  EXPECT_EQ(error(ReadTrialLog(absent)), absent + ": No such file or directory");
}

// Appending after a cut line starts a new line; a file that is not ours is
// never appended to.
TEST(TrialLogTest, AppendingNeverContinuesACutLineNorWritesIntoForeignFiles) {
  const std::string cut = FreshPath("cut.csv"), foreign = FreshPath("foreign.csv");
  const std::string cutText = TrialLogHeaderLine() + "2026-12-08T19:20:31.123Z,7,13,recor";
  std::ofstream(cut, std::ios::binary) << cutText;
  std::ofstream(foreign, std::ios::binary) << "name,score\nx,1\n";
  const TrialLogRow row{.Session = "2026-12-09T08:00:00.000Z", .Seed = 1, .Trial = 11, .Practice = false,
                        .Stimulus = kNoise, .Response = 2, .ExposureMs = 1000, .RatingMs = 500,
                        .DesignRecorded = Design::Standard().RecordedTrials};
  TrialLogFile file;
  ASSERT_EQ(file.Open(cut).Reason(), "");
  ASSERT_EQ(file.Append(row).Reason(), "");
  EXPECT_EQ(Slurp(cut), cutText + "\n" + FormatTrialLogLine(row));
  EXPECT_EQ(ReadTrialLog(cut).Sessions.at(0).Rows.at(0), row);

  TrialLogFile other;
  EXPECT_EQ(other.Open(foreign).Reason(), "will not append to " + foreign +
                                     ": it is not a per-trial file (its first line is not the header "
                                     "session,seed,trial,phase,stimulus,response,exposure_ms,rating_ms)");
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(Slurp(foreign), "name,score\nx,1\n");
  std::remove(cut.c_str());
  std::remove(foreign.c_str());
}

// The class format names observer, design and scale and reads back every
// column of two rows that differ in each; a file of one format is never
// appended to with the other.
TEST(TrialLogTest, ClassFormatRoundTripsAndFormatsNeverMix) {
  const std::string path = FreshPath("class.csv");
  const TrialLogRow row{.Session = "2026-12-09T08:00:00.000Z", .Observer = "x'); DROP, \"A\"", .DesignName = "six-point",
                        .Categories = 6, .Seed = 1, .Trial = 3, .Practice = false, .Stimulus = kSignal, .Response = 6,
                        .ExposureMs = 300, .AskedMs = 300, .FrameMs = 16.67, .RatingMs = 500,
                        .DesignRecorded = 12};
  const TrialLogRow other{"2026-12-09T08:05:00.000Z", "Aoi", "liberal", 4, 4294967295u, 1, true, kNoise, 2, 1000.2,
                          1000.1, 8.33, 5000000000, 50};
  for (const TrialLogColumn& column : TrialLogColumns()) EXPECT_NE(column.Get(row), column.Get(other)) << column.Name;
  TrialLogFile file;
  ASSERT_EQ(file.Open(path, TrialLogFormat::kClass).Reason(), "");
  ASSERT_EQ(file.Append(row).Reason(), "");
  ASSERT_EQ(file.Append(other).Reason(), "");
  EXPECT_EQ(Slurp(path),
      "session,observer,design,categories,design_recorded,seed,trial,phase,stimulus,response,exposure_ms,asked_ms,"
      "frame_ms,rating_ms\n"
      "2026-12-09T08:00:00.000Z,\"x'); DROP, \"\"A\"\"\",six-point,6,12,1,3,recorded,signal,6,300.0,300.0,16.67,500\n"
      "2026-12-09T08:05:00.000Z,Aoi,liberal,4,50,4294967295,1,practice,noise,2,1000.2,1000.1,8.33,5000000000\n");
  const TrialLogContents read = ReadTrialLog(path);
  ASSERT_EQ(read.Sessions.size(), 2u);
  EXPECT_EQ(read.Sessions[0].Rows, std::vector{row});
  EXPECT_EQ(read.Sessions[1].Rows, std::vector{other});
  EXPECT_EQ(read.Sessions[0].Categories, 6);
  EXPECT_TRUE(TrialLogFile().Open(path).Reason().find("other format") != std::string::npos);

  // A class file begun before the timing columns and the design's recorded
  // trials, its columns since moved by a spreadsheet, goes on in its own
  // layout; its rows read without them.
  const std::string older = "design,session,observer,categories,seed,trial,phase,stimulus,response,exposure_ms,rating_ms,note\n";
  std::FILE* f = std::fopen(path.c_str(), "wb");  // binary: Windows would write CR LF
  std::fputs(older.c_str(), f);
  std::fclose(f);
  ASSERT_EQ(file.Open(path, TrialLogFormat::kClass).Reason(), "");
  ASSERT_EQ(file.Append(row).Reason(), "");
  EXPECT_EQ(Slurp(path), older + "six-point,2026-12-09T08:00:00.000Z,\"x'); DROP, \"\"A\"\"\",6,1,3,recorded,signal,6,300.0,500,\n");
  const TrialLogContents again = ReadTrialLog(path);
  ASSERT_EQ(again.Sessions.size(), 1u);
  EXPECT_EQ(again.Sessions[0].Rows[0], (TrialLogRow{row.Session, row.Observer, row.DesignName, 6, 1, 3, false, kSignal,
                                                     6, 300, 0, 0, 500}));
  std::remove(path.c_str());
}

TEST(TrialLogTest, WriteFailureNamesFileAndReason) {
  const std::string inMissingFolder = FreshPath("no-such-folder") + "/trials.csv";
  TrialLogFile missing;
  EXPECT_EQ(missing.Open(inMissingFolder).Reason(),
            "cannot open " + inMissingFolder + " for appending: No such file or directory");
  TrialLogFile full;
  if (!full.Open("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(full.Append({.Session = "2026-12-08T19:20:31.123Z", .Seed = 7, .Trial = 12, .Practice = false, .Stimulus = kSignal, .Response = 3, .ExposureMs = 1001.3, .RatingMs = 12}).Reason(),
            "cannot write to /dev/full: No space left on device");
}

}  // namespace
}  // namespace experiment
