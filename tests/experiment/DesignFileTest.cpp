#include "experiment/DesignFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace experiment {
namespace {

struct BadFile {
  const char* text;
  const char* error;  // expected start of the error line, after "d.toml:"
};

// Names each case after its expected error in the test list.
void PrintTo(const BadFile& file, std::ostream* out) { *out << file.error; }

class DesignFileBadTest : public ::testing::TestWithParam<BadFile> {};

// Each problem is one line naming where it is and what is wrong; the standard
// design comes back with it, never half a design.
TEST_P(DesignFileBadTest, GivesOneLineWithItsPlace) {
  const numeric::Result<Design> read = ParseDesignText(GetParam().text, "d.toml");
  ASSERT_FALSE(read);
  EXPECT_EQ(read.Reason().rfind(std::string("d.toml:") + GetParam().error, 0), 0u) << read.Reason();
  EXPECT_EQ(read.Reason().find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignFileBadTest,
    ::testing::Values(
        BadFile{"name = \"x\"\ncolour = 3\n", "2:1: unknown key \"colour\""},
        BadFile{"[ratings]\ncaptions = [\"a\", \"b\", \"c\", \"d\"]\nfont = 1\n", "3:1: unknown key \"ratings.font\""},
        BadFile{"practice_trials = \"10\"", "1:19: practice_trials must be an integer"},
        BadFile{"feedback = 1", "1:12: feedback must be true or false"},
        BadFile{"ratings = 3", "1:11: ratings must be a table"},
        BadFile{"exposure_ms = 49", "1:15: exposure_ms = 49 is out of range"},
        BadFile{"\nrecorded_trials = 1001", "2:19: recorded_trials = 1001 is out of range"},
        BadFile{"signal_probability = 1", "1:22: signal_probability = 1 is out of range"},
        BadFile{"signal_probability = nan", "1:22: signal_probability = nan is out of range"},
        BadFile{"name = \"\"", "1:8: name is empty"},
        BadFile{"name = \"" "0123456789012345678901234567890123456789012345678901234567890123" "4\"", "1:8: name has 65"},
        BadFile{"[ratings]\ncaptions = [\"a\", \"\", \"c\", \"d\"]", "2:18: ratings.captions[2] is empty"},
        BadFile{"[ratings]\nstatements = [\"a\", \"b\\u0007\", \"c\", \"d\"]", "2:20: ratings.statements[2] holds a control"},
        BadFile{"[ratings]\ncaptions = [\"a\", \"b\", \"c\"]", "2:12: ratings.captions has 3 entries and"},
        BadFile{"[ratings]\ncaptions = [\"a\"]\nstatements = [\"a\"]", "2:12: ratings.captions has 1 entries"},
        BadFile{"noise_brown = 25", "1:15: signal_brown and noise_brown are both 25"},
        BadFile{"signal_brown = 30\nnoise_brown = 30", "1:16: signal_brown and noise_brown are both 30"},
        BadFile{"[ratings]\ncaptions = [\"a\", \"b\"]\nstatements = [\"a\", \"b\"]\nfeedback = false",
                "4:1: unknown key \"ratings.feedback\": keys after [ratings] belong to it: move \"feedback\" above it"},
        BadFile{"statements = []", "1:1: unknown key \"statements\": statements belongs to the table [ratings]"},
        BadFile{"palette = \"red-green\"", "1:11: palette = \"red-green\" is no palette"},
        // What is wrong in the syntax, said where it is.
        BadFile{"signal_probability = .3", "1:22: a number needs a digit before the point: 0.3"},
        BadFile{"exposure_ms = 300ms", "1:18: a number is written without a unit: 300"},
        BadFile{"feedback = yes", "1:12: a yes or a no is written true or false: feedback = true"},
        BadFile{"name = six-point", "1:8: a text is written in double quotes: name = \"six-point\""},
        BadFile{"name = \"x\nexposure_ms = 300", "1:10: the text is not closed: it ends with \" on the same line"},
        BadFile{"name = \"x\"\nname = \"y\"", "2:8: name is given twice"},
        BadFile{"\xcc\xaa", "1:1: a line begins with a key"},  // U+032A, once undefined behaviour in toml++
        BadFile{"name = \"\xff\"", "1:9: not UTF-8 text: the byte 0xFF"},
        BadFile{"# \x8e\x9f\x82\xcc\n", "1:3: not UTF-8 text: the byte 0x8E"}));  // Shift_JIS

// A "§" after a line-ending backslash in a multi-line text, where toml++
// 3.3.0 ran into its unreachable code, starts the text's next part.
TEST(DesignFileTest, ALineEndingBackslashJoinsTheNextLinesText) {
  const numeric::Result<Design> read = ParseDesignText("name = \"\"\"a \\\n\u00a7\"\"\"", "d.toml");
  EXPECT_EQ(read ? read->Name : read.Reason(), "a \u00a7");
}

TEST(DesignFileTest, FileThatCannotBeReadIsAtItsFirstLine) {
  for (const std::string path : {"/nonexistent/d.toml", "/"}) {
    const numeric::Result<Design> read = ReadDesignFile(path);
    EXPECT_EQ(read.Reason().rfind(path + ":1:1: cannot be read: ", 0), 0u) << read.Reason();
  }
}

TEST(DesignFileTest, KeysGivenAreSetAndTheRestStaysStandard) {
  const numeric::Result<Design> read = ParseDesignText(R"(# a class
name = "三段階"
exposure_ms = 300
signal_probability = 0.8
ask_observer = true
palette = "blue-orange"
[ratings]
captions = ["あり", "?", "なし"]
statements = ["増えた", "わからない", "増えていない"]
)", "d.toml");
  ASSERT_EQ(read.Reason(), "");
  Design expected;
  expected.Name = "三段階";
  expected.ExposureMs = 300;
  expected.SignalProbability = 0.8;
  expected.AskObserver = true;
  expected.GridPalette = Palette::kBlueOrange;
  expected.Ratings = {{"あり", "増えた"}, {"?", "わからない"}, {"なし", "増えていない"}};
  EXPECT_EQ(*read, expected);
  EXPECT_EQ(*ParseDesignText("", "empty.toml"), Design::Standard());
}

// Every sample design that ships reads without an error and is named after
// its file, so that a class file tells the designs apart.
std::vector<std::filesystem::path> SampleDesigns() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(ROCRATING_DESIGNS_DIR)) files.push_back(entry.path());
  return files;
}

class SampleDesignTest : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(SampleDesignTest, ReadsAndIsNamedAfterItsFile) {
  const numeric::Result<Design> read = ReadDesignFile(GetParam().string());
  ASSERT_EQ(read.Reason(), "");
  EXPECT_EQ(read->Name, GetParam().stem().string());
  if (read->Name == "standard") {
    EXPECT_EQ(*read, Design::Standard());
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, SampleDesignTest, ::testing::ValuesIn(SampleDesigns()));

}  // namespace
}  // namespace experiment
