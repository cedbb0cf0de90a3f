#include "shell/ClassCommands.h"

#include <gtest/gtest.h>

#include "tests/support/Split.h"

#include <unistd.h>

#include <QCheckBox>
#include <QSortFilterProxyModel>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QLabel>
#include <algorithm>

#include "shell/FitReport.h"
#include "store/ConnInfo.h"
#include "store/DatabaseSource.h"
#include "windows/ClassWindow.h"
#include "stats/BinormalFit.h"
#include "stats/NormalDouble.h"
#include "stats/RatingCounts.h"
#include "tests/support/ClassSimulation.h"
#include "windows/ClassWindow.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

fs::path Folder(const std::string& name) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("class-" + std::to_string(::getpid()) + "-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// The CSV's lines after the header as maps from column name to field.
std::vector<std::map<std::string, std::string>> Records(const std::string& csv) {
  const std::vector<std::string> lines = Split(csv, '\n');
  const std::vector<std::string> header = Split(lines.at(0), ',');
  std::vector<std::map<std::string, std::string>> records;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const std::vector<std::string> fields = Split(lines[i], ',');
    std::map<std::string, std::string> record;
    for (std::size_t c = 0; c < header.size(); ++c) record[header[c]] = fields.at(c);
    records.push_back(record);
  }
  return records;
}

std::string Write(const fs::path& folder, const classsim::Observer& o) {
  const std::string path = (folder / (o.design + "_" + o.name + ".csv")).string();
  EXPECT_EQ(experiment::WriteTrialLog(path, classsim::Simulate(o), experiment::TrialLogFormat::kClass).Reason(), "");
  return path;
}

// On a file of one session, the design's pooled fit and its means are that
// session's fit, number for number as "--fit" prints it.
TEST(ClassSummaryTest, AgreesWithFitOnEverySingleSession) {
  const fs::path folder = Folder("single");
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(3, 60)) {
    const std::string path = Write(folder, o);
    std::ostringstream fit, summary, err;
    ASSERT_EQ(RunFitReport({path}, fit, err), 0) << err.str();
    ASSERT_EQ(RunClassSummary({path}, summary, err), 0) << err.str();
    const auto f = Records(fit.str()).at(0);
    const auto s = Records(summary.str()).at(0);
    ASSERT_EQ(f.at("status"), "ok");
    const std::pair<const char*, const char*> same[] = {{"pooled_d", "d"},   {"pooled_R", "R"},   {"pooled_az", "az"},
                                                        {"pooled_az_se", "az_se"}, {"mean_a", "a"}, {"mean_b", "b"},
                                                        {"mean_az", "az"}, {"mean_d_a", "d_a"}};
    for (const auto& [column, fitColumn] : same) EXPECT_EQ(s.at(column), f.at(fitColumn)) << path << " " << column;
    EXPECT_EQ(s.at("mean_criteria"), f.at("c1") + " " + f.at("c2") + " " + f.at("c3"));
    EXPECT_EQ(s.at("recorded"), f.at("recorded"));
    EXPECT_EQ(s.at("sd_az"), "");
    EXPECT_EQ(s.at("az_ci_low"), "");
  }
}

// Three observers of one design: the pooled fit of the summed counts and Az's
// interval, mean ± t(0.975, 2) sd / sqrt(3) of z(Az) = d_a / sqrt(2) through
// Phi, computed here from the fits.
TEST(ClassSummaryTest, PooledFitAndTIntervalOfADesign) {
  const fs::path folder = Folder("pooled");
  roc::RatingCounts sum{{0, 0, 0, 0}, {0, 0, 0, 0}};
  std::vector<double> az;  // z(Az)
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(3, 80)) {
    if (o.design != "liberal") continue;
    Write(folder, o);
    const roc::RatingCounts c = roc::CountRecordedRows(classsim::Simulate(o), 4);
    for (int k = 0; k < 4; ++k) sum.noise[k] += c.noise[k], sum.signal[k] += c.signal[k];
    az.push_back(roc::FitBinormal(c).value().d_a / std::sqrt(2.0));
  }
  std::ostringstream out, err;
  ASSERT_EQ(RunClassSummary({folder.string()}, out, err), 0) << err.str();
  const auto s = Records(out.str()).at(0);
  const roc::BinormalFit pooled = roc::FitBinormal(sum).value();
  EXPECT_NEAR(std::stod(s.at("pooled_d")), pooled.d, 1e-5 * pooled.d);
  EXPECT_NEAR(std::stod(s.at("pooled_az_se")), pooled.az_se, 1e-5 * pooled.az_se);
  const double mean = (az[0] + az[1] + az[2]) / 3;
  const double sd = std::sqrt(((az[0] - mean) * (az[0] - mean) + (az[1] - mean) * (az[1] - mean) +
                               (az[2] - mean) * (az[2] - mean)) / 2);
  EXPECT_EQ(s.at("sessions"), "3");
  EXPECT_NEAR(std::stod(s.at("az_ci_low")), roc::StandardNormalCdf(mean - 4.302652729749464 * sd / std::sqrt(3.0)),
              1e-5);
  EXPECT_NEAR(std::stod(s.at("az_ci_high")), roc::StandardNormalCdf(mean + 4.302652729749464 * sd / std::sqrt(3.0)),
              1e-5);
}

// What cannot be read is named, the rest summarised, and the exit status is
// 2; with nothing to read at all the message says so.
TEST(ClassSummaryTest, BadInputNamedAndNoSourcesSaid) {
  const fs::path folder = Folder("bad");
  Write(folder, classsim::LiberalConservativeClass(1, 60).front());
  std::ofstream(folder / "notes.csv") << "not a per-trial file\n";
  std::ostringstream out, err;
  EXPECT_EQ(RunClassSummary({folder.string()}, out, err), 2);
  EXPECT_NE(err.str().find("notes.csv:1:"), std::string::npos) << err.str();
  EXPECT_EQ(Records(out.str()).size(), 1u);

  std::ostringstream none, noneErr;
  EXPECT_EQ(RunClassSummary({Folder("empty").string()}, none, noneErr), 2);
  EXPECT_NE(noneErr.str().find("no sources found"), std::string::npos) << noneErr.str();
}

// Two runs broken off after half their recorded trials, one in a file that
// names its design's count, one in a file that does not (as an earlier
// version's: the design's most recorded trials count then): both marked in
// --fit and the class window, counted in the summary and, unless included,
// left out of all else, which stays as it is without them.
TEST(ClassSummaryTest, IncompleteRunsMarkedAndLeftOutUnlessIncluded) {
  const fs::path folder = Folder("incomplete"), whole = Folder("whole");
  const std::vector<classsim::Observer> observers = classsim::LiberalConservativeClass(4, 40);
  for (std::size_t i = 0; i < 6; ++i) Write(whole, observers[i]);
  fs::copy(whole, folder, fs::copy_options::recursive);
  std::vector<std::string> killed;
  for (const std::size_t i : {6, 7}) {
    std::vector<experiment::TrialLogRow> rows = classsim::Simulate(observers[i]);
    rows.resize(observers[i].practice + 20);
    if (i == 7)
      for (experiment::TrialLogRow& row : rows) row.DesignRecorded = 0;  // says nothing of its design's count
    killed.push_back((folder / (observers[i].design + "_S04.csv")).string());
    ASSERT_EQ(experiment::WriteTrialLog(killed.back(), rows, experiment::TrialLogFormat::kClass).Reason(), "");
  }
  std::ostringstream fit, alone, without, left, with, err;
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
  ASSERT_EQ(RunFitReport(files, fit, err), 0) << err.str();
  for (const auto& r : Records(fit.str()))
    EXPECT_EQ(r.at("completeness"), r.at("file").ends_with("S04.csv") ? "incomplete" : "complete") << r.at("file");
  ASSERT_EQ(RunFitReport({killed[0]}, alone, err), 0) << err.str();
  EXPECT_EQ(Records(alone.str()).at(0).at("completeness"), "incomplete");

  ASSERT_EQ(RunClassSummary({whole.string()}, without, err), 0) << err.str();
  ASSERT_EQ(RunClassSummary({folder.string()}, left, err), 0) << err.str();
  ASSERT_EQ(RunClassSummary({folder.string()}, with, err, true), 0) << err.str();
  for (std::size_t d = 0; d < 2; ++d) {
    std::map<std::string, std::string> expected = Records(without.str()).at(d);
    EXPECT_EQ(expected.at("incomplete"), "0");
    expected["incomplete"] = "1";
    EXPECT_EQ(Records(left.str()).at(d), expected);
    EXPECT_EQ(Records(with.str()).at(d).at("sessions") + " " + Records(with.str()).at(d).at("recorded"), "4 140");
  }

  ClassWindow w({folder.string()});
  const QAbstractItemModel* table = w.SortedModel();
  QStringList cells;
  for (int r = 0; r < table->rowCount(); ++r)
    for (int c = 0; c < table->columnCount(); ++c) cells << table->index(r, c).data().toString();
  EXPECT_EQ(cells.count("20 / 40"), 2);
  EXPECT_EQ(cells.filter("未完了").size(), 2);
  EXPECT_FALSE(w.IncompleteBox()->isChecked());
  EXPECT_EQ(w.ReportContent().designs.at(0).sessions, 3);
  w.IncompleteBox()->click();
  EXPECT_EQ(w.ReportContent().designs.at(0).sessions, 4);
}

// The report and its sources swapped: refused on one line; the per-trial
// file taken for the output stays as it was, and nothing is added beside it.
TEST(ClassReportTest, SwappedArgumentsRefusedAndTheFileKept) {
  const fs::path folder = Folder("swapped");
  const std::string victim = Write(folder, classsim::LiberalConservativeClass(1, 60).front());
  const auto bytes = [&victim] { return (std::ostringstream() << std::ifstream(victim).rdbuf()).str(); };
  const std::string before = bytes();
  std::ostringstream err;
  EXPECT_EQ(RunClassReport(victim, {(folder / "class.pdf").string()}, err, 0, nullptr, ui::Language::kEnglish), 2);
  EXPECT_EQ(bytes(), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  EXPECT_TRUE(err.str().starts_with("rocrating: ") && err.str().find('\n') == err.str().size() - 1) << err.str();
}

// A class database that cannot be reached is named as one, once, in the
// summary's errors and in the window's status, and nothing is said of
// per-trial files.
TEST(ClassSummaryTest, AnUnreachableDatabaseIsNamedAsADatabase) {
  classdata::SetDatabaseOpener(store::OpenDatabaseSource, store::LooksLikeConnInfo);
  const std::string database = "host=" + Folder("no-server").string() + " dbname=class";
  std::ostringstream out, err;
  EXPECT_EQ(RunClassSummary({database}, out, err), 2);
  const std::string said = err.str();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(said.find("per-trial"), std::string::npos) << said;
  {
    ClassWindow w({database});
    const QList<QLabel*> labels = w.findChildren<QLabel*>();
    const auto status = std::find_if(labels.begin(), labels.end(),
                                     [](const QLabel* l) { return l->text().startsWith(QStringLiteral("セッション")) ||
                                                                  l->text().contains(QStringLiteral("セッションが")); });
    ASSERT_NE(status, labels.end());
    EXPECT_TRUE((*status)->text().contains(QStringLiteral("データベース"))) << (*status)->text().toStdString();
    EXPECT_FALSE((*status)->text().contains(QStringLiteral("ファイル"))) << (*status)->text().toStdString();
  }
  classdata::SetDatabaseOpener(nullptr);
}

}  // namespace
}  // namespace shell
