#include "shell/FitReport.h"

#include <gtest/gtest.h>

#include "tests/support/Split.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "classdata/ClassLoader.h"
#include "classdata/ClassSource.h"
#include "classdata/ReportCsv.h"
#include "experiment/TrialLog.h"

namespace shell {
namespace {

std::string Path(const std::string& name) {
  return ::testing::TempDir() + "/fit-report-" + std::to_string(::getpid()) + "-" + name;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Line(const std::string& session, std::uint32_t seed, int trial, int kind, int response, int ratingMs) {
  return experiment::FormatTrialLogLine({.Session = session, .Seed = seed, .Trial = trial, .Practice = trial <= 10,
                                         .Stimulus = static_cast<experiment::StimulusKind>(kind),
                                         .Response = response, .ExposureMs = 1000.0, .RatingMs = ratingMs});
}

// A whole run (10 practice trials, all answered 4 to signal and 1 to noise,
// then 50 recorded ones) and a run cut short after three recorded trials, in
// one file; a file cut inside its second row, ending in a malformed line, and
// a missing one between it and a second copy.
TEST(FitReportTest, OneLinePerSessionAndBadFilesSkippedWithExitTwo) {
  const std::string whole = "2026-12-08T19:20:31.123Z", cut = "2026-12-08T20:00:00.000Z";
  std::string text = experiment::TrialLogHeaderLine();
  const int noise[4] = {9, 8, 5, 3}, signal[4] = {3, 5, 8, 9};
  int trial = 1;
  for (; trial <= 10; ++trial) {
    const bool isSignal = trial % 2 == 0;
    text += Line(whole, 1, trial, isSignal, isSignal ? 4 : 1, 700);
  }
  for (int kind = 0; kind < 2; ++kind) {
    for (int r = 0; r < 4; ++r) {
      for (int n = 0; n < (kind == 0 ? noise : signal)[r]; ++n, ++trial) {
        text += Line(whole, 1, trial, kind, r + 1, 700);
        if (trial == 30) {
          for (int t = 11; t <= 13; ++t) text += Line(cut, 2, t, 0, 2, 650);
        }
      }
    }
  }
  const std::string good = Path("good.csv"), bad = Path("bad.csv"), missing = Path("missing.csv");
  Write(good, text);
  Write(bad, experiment::TrialLogHeaderLine() + text.substr(text.find('\n') + 1, 80) + "\nx\n");

  std::ostringstream out, err;
  EXPECT_EQ(RunFitReport({good, bad, missing, good}, out, err), 2);
  const std::vector<std::string> lines = Split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 7u) << out.str();
  EXPECT_EQ(lines[0], kFitReportHeader);
  EXPECT_EQ(lines[6], "");
  EXPECT_EQ(lines[4], lines[1]);
  // The cut file's whole first row still counts: a practice trial, nothing to fit.
  EXPECT_EQ(lines[3], bad + "," + whole + ",0,0 0 0 0,0 0 0 0,,,,,,,,,,,,,,,,,,,,degenerate,incomplete");

  const std::vector<std::string> fields = Split(lines[1], ',');
  ASSERT_EQ(fields.size(), 26u);
  EXPECT_EQ(fields[1], whole);
  EXPECT_EQ(fields[2], "50");
  EXPECT_EQ(fields[3], "9 8 5 3");
  EXPECT_EQ(fields[4], "3 5 8 9");
  EXPECT_EQ(fields[22], "1");
  EXPECT_EQ(fields[24], "ok");
  EXPECT_EQ(fields[25], "complete");
  for (int i = 5; i < 24; ++i) {
    EXPECT_FALSE(fields[i].empty()) << i;
    EXPECT_EQ(fields[i].find_first_not_of("0123456789.-e+"), std::string::npos) << fields[i];
  }
  EXPECT_EQ(lines[2], good + "," + cut + ",3,0 3 0 0,0 0 0 0,,,,,,,,,,,,,,,,,,,,degenerate,incomplete");

  const std::string errors = err.str();
  EXPECT_NE(errors.find(bad + ":3: "), std::string::npos) << errors;
  EXPECT_NE(errors.find(missing + ": No such file or directory"), std::string::npos) << errors;
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

// A six-point session beside a standard one: criteria to c5, observer and
// design named, empty cells where the standard session has no c4 and c5. The
// class window's table of the same files, saved as CSV, is the same text.
TEST(FitReportTest, CriteriaRunToTheLargestScaleAlsoInTheClassTable) {
  const std::string six = Path("six.csv"), four = Path("four.csv");
  std::string text = experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  const int noise[6] = {6, 5, 4, 3, 2, 1}, signal[6] = {1, 2, 3, 4, 5, 6};
  int trial = 3;
  for (int kind = 0; kind < 2; ++kind) {
    for (int r = 0; r < 6; ++r) {
      for (int n = 0; n < (kind ? signal : noise)[r]; ++n) {
        text += experiment::FormatTrialLogLine(
            {.Session = "2026-12-09T08:00:00.000Z", .Observer = "Aoi", .DesignName = "six-point", .Categories = 6,
             .Seed = 5, .Trial = trial++, .Practice = false, .Stimulus = static_cast<experiment::StimulusKind>(kind),
             .Response = r + 1, .ExposureMs = 300, .RatingMs = 700},
            experiment::TrialLogFormat::kClass);
      }
    }
  }
  Write(six, text);
  Write(four, experiment::TrialLogHeaderLine() + Line("2026-12-08T20:00:00.000Z", 2, 11, 0, 2, 650));
  std::ostringstream out, err;
  EXPECT_EQ(RunFitReport({six, four}, out, err), 0) << err.str();
  const std::vector<std::string> lines = Split(out.str(), '\n');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "file,session,observer,design,recorded,noise_counts,signal_counts,d,d_se,R,R_se,c1,c1_se,c2,c2_se,c3,c3_se,"
            "c4,c4_se,c5,c5_se,a,b,az,az_se,d_a,neg_loglik,chi2,df,p,status,completeness");
  const std::vector<std::string> fields = Split(lines[1], ',');
  ASSERT_EQ(fields.size(), 32u);
  EXPECT_EQ(fields[2] + "," + fields[3] + "," + fields[4], "Aoi,six-point,42");
  EXPECT_EQ(fields[5], "6 5 4 3 2 1");
  EXPECT_EQ(fields[28], "3");  // 2 (K - 1) - (K + 1)
  EXPECT_EQ(fields[30], "ok");
  EXPECT_EQ(lines[2], four + ",2026-12-08T20:00:00.000Z,,standard,1,0 1 0 0,0 0 0 0,,,,,,,,,,,,,,,,,,,,,,,,degenerate,"
                      "incomplete");

  classdata::ClassLoader loader;
  for (const std::string& file : {six, four}) loader.AddSource(classdata::OpenSource(file, classdata::ReadMode::kOnce));
  loader.Refresh();
  EXPECT_EQ(classdata::FitTableCsv(loader.Sessions()), out.str());
  std::remove(six.c_str());
  std::remove(four.c_str());
}

}  // namespace
}  // namespace shell
