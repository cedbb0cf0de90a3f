#include "classdata/FileSource.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace classdata {
namespace {

namespace fs = std::filesystem;

const std::string kRow1 = "2026-12-08T19:20:31.123Z,7,11,recorded,signal,3,1001.3,12\n";
const std::string kRow2 = "2026-12-08T19:20:31.123Z,7,12,recorded,noise,1,1000.2,640\n";

void Append(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary | std::ios::app) << text; }

std::size_t RowsOf(const SourceChanges& changes) {
  EXPECT_EQ(changes.changed.size(), 1u);
  return changes.changed.empty() ? 0 : changes.changed[0].sessions.at(0).Rows.size();
}

// A folder followed as its file grows: a row in the writing waits for its
// line end, a finished one is read on from where the last read stopped, a
// file written anew is read again from its start, a deleted one is gone. On
// Windows the file's identity and time come from its handle.
TEST(FileSourceTest, FollowsAFileThatGrowsIsReplacedAndGoes) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("file-source-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path file = folder / "run.csv";
  Append(file, experiment::TrialLogHeaderLine() + kRow1 + kRow2.substr(0, 30));
  FileSource source(folder.string(), ReadMode::kLive);
  EXPECT_EQ(RowsOf(source.Read()), 1u);
  EXPECT_TRUE(source.Read().changed.empty());

  Append(file, kRow2.substr(30));
  EXPECT_EQ(RowsOf(source.Read()), 2u);

  std::ofstream(file, std::ios::binary | std::ios::trunc) << experiment::TrialLogHeaderLine() + kRow2;
  const SourceChanges rewritten = source.Read();
  EXPECT_EQ(RowsOf(rewritten), 1u);
  EXPECT_EQ(rewritten.changed.at(0).sessions.at(0).Rows.at(0).Trial, 12);

  fs::remove(file);
  EXPECT_EQ(source.Read().removed.size(), 1u);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace classdata
