#include "shell/FitReport.h"

#include <gtest/gtest.h>

#include "tests/support/Split.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "classdata/ClassLoader.h"
#include "classdata/ClassSource.h"
#include "classdata/ReportCsv.h"
#include "experiment/TrialLog.h"
#include "tests/support/ClassSimulation.h"

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

// What spreadsheets make of a class file when a teacher opens and saves it:
// Shift_JIS (CP932) under a Japanese locale; ';' between the fields and ','
// as the decimal mark under many European ones. Each is read as the file it
// was, said once on standard error, and never appended to (rows of ours would
// mix in another form); a file that is neither UTF-8 nor CP932 is named at
// the first line that neither reads.
struct SpreadsheetFile {
  const char* name;
  std::string (*save)(const std::string& text);  // what the spreadsheet writes of our text
  const char* said;                              // on standard error, with the file's name
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

std::string Cp932(const std::string& text) {
  return Replace(Replace(text, "佐藤", "\x8D\xB2\x93\xA1"), "鈴木", "\x97\xE9\x96\xD8");
}

// The times' decimal points become commas, the separators semicolons.
std::string Semicolons(const std::string& text) {
  std::string out;
  std::vector<std::string> header;
  for (const std::string& line : Split(text, '\n')) {
    if (line.empty()) continue;
    std::vector<std::string> fields = Split(line, ',');
    if (header.empty()) header = fields;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (header[f].ends_with("_ms")) std::replace(fields[f].begin(), fields[f].end(), '.', ',');
      out += (f == 0 ? "" : ";") + fields[f];
    }
    out += "\r\n";
  }
  return out;
}

// One observer's name in Latin-1, the other's in CP932.
std::string Mixed(const std::string& text) { return Replace(Cp932(text), "\x97\xE9\x96\xD8", "Jos\xE9"); }

// A UTF-8 file with one name retyped in Latin-1, its bytes valid CP932.
std::string Broken(const std::string& text) { return Replace(text, "鈴木", "Ren\xE9" "e"); }

class SpreadsheetFileTest : public ::testing::TestWithParam<SpreadsheetFile> {};

TEST_P(SpreadsheetFileTest, ReadAsItWasSaidOnceNeverAppendedTo) {
  std::string ours = experiment::TrialLogHeaderLine(experiment::TrialLogFormat::kClass);
  const char* names[] = {"佐藤", "鈴木"};
  for (std::uint32_t i = 0; i < 2; ++i) {
    for (experiment::TrialLogRow row : classsim::Simulate({names[i], "liberal", classsim::SessionTime(i), 7 + i})) {
      row.AskedMs = 1000, row.FrameMs = 16.67, row.ExposureMs = 1000 + row.Trial % 30 + 0.1 * (row.Trial % 10);
      ours += experiment::FormatTrialLogLine(row, experiment::TrialLogFormat::kClass);
    }
  }
  const std::string reference = Path("utf-8.csv"), saved = Path(std::string(GetParam().name) + ".csv");
  Write(reference, ours);
  const std::string bytes = GetParam().save(ours);
  Write(saved, bytes);
  std::ostringstream expected, out, err, ignored;
  ASSERT_EQ(RunFitReport({reference}, expected, ignored), 0);
  const int status = RunFitReport({saved}, out, err);
  const std::string said = err.str();
  const bool readable = GetParam().save != Mixed && GetParam().save != Broken;
  if (readable) {
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Replace(out.str(), saved, reference), expected.str());
    const auto read = experiment::ReadTrialLog(saved).Sessions, written = experiment::ReadTrialLog(reference).Sessions;
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].Rows, written[i].Rows);
    EXPECT_TRUE(said.starts_with(saved + ": ") && said.find('\n') == said.size() - 1) << said;
  } else {
    EXPECT_EQ(status, 2);
    const std::size_t retyped = 1 + std::count(ours.begin(), ours.begin() + ours.find("鈴木"), '\n');
    EXPECT_TRUE(said.starts_with(saved + ":" + std::to_string(retyped) + ": ")) << said;
  }
  EXPECT_NE(said.find(GetParam().said), std::string::npos) << said;

  experiment::TrialLogFile appended;
  EXPECT_FALSE(appended.Open(saved, experiment::TrialLogFormat::kClass));
  EXPECT_EQ((std::ostringstream() << std::ifstream(saved, std::ios::binary).rdbuf()).str(), bytes);
  std::remove(reference.c_str());
  std::remove(saved.c_str());
}

INSTANTIATE_TEST_SUITE_P(Saved, SpreadsheetFileTest,
                         ::testing::Values(SpreadsheetFile{"cp932", Cp932, "Shift_JIS (CP932)"},
                                           SpreadsheetFile{"semicolons", Semicolons, "\";\""},
                                           SpreadsheetFile{"neither", Mixed, "neither UTF-8 nor Shift_JIS"},
                                           SpreadsheetFile{"broken", Broken, "neither UTF-8 nor Shift_JIS"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace shell
