// The design reader on mutants of good designs: whatever an editor, a bad
// copy or a stray key makes of a file, the reader answers with a design or
// with one line naming the place. Under the sanitizers (the second pass of
// scripts/test) this also finds the parser's undefined behaviour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "experiment/DesignFile.h"

namespace experiment {
namespace {

constexpr int kMutants = 20000;

// The sample designs, and the texts that led toml++ 3.3.0 into its
// unreachable code: U+032A at the start of a line, "§" after a line-ending
// backslash in a multi-line string.
std::vector<std::string> Seeds() {
  std::vector<std::string> seeds = {"\xcc\xaa", "name = \"\"\"a \\\n\xc2\xa7\"\"\"\n"};
  for (const char* name : {"standard.toml", "six-point.toml", "colour-safe.toml"}) {
    std::ifstream in(std::filesystem::path(ROCRATING_DESIGNS_DIR) / name, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

// What TOML gives meaning to, and characters beyond ASCII, whole and broken.
const std::vector<std::string> kPieces = {
    "\"", "'", "\"\"\"", "'''", "[", "]", "[[", "{", "}", "=", ",", ".", "#", "\\", "\\\n", "\n", "\r\n", "\r",
    "\t", " ", "_", "-", "+", "e", "0", "9", "inf", "nan", "true", "1979-05-27T07:32:00Z", "\\u00e9", "\\U0001F600",
    "\xc2\xa7", "\xc3\xa9", "\xcc\xaa", "\xe3\x80\x80", "\xef\xbb\xbf", "\xe2\x80\xa8", "\xc2\xa0", "\xff", "\xc0\x80",
    "\xed\xa0\x80", "\xe3\x81", std::string(1, '\0'), "\x7f", "[ratings]\n", "palette = ", "name = "};

// A seeded random change of one to four edits: a byte replaced, a piece put
// in, a span taken out or repeated, a span of a seed spliced in.
std::string Mutant(const std::vector<std::string>& seeds, std::mt19937& random) {
  const auto below = [&random](std::size_t n) { return n == 0 ? 0 : random() % n; };
  std::string text = seeds[below(seeds.size())];
  for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
    const std::size_t at = below(text.size() + 1);
    const std::size_t span = std::min<std::size_t>(below(16) + 1, text.size() - at);
    const std::string& other = seeds[below(seeds.size())];
    switch (below(5)) {
      case 0: text.replace(at, span > 0, 1, static_cast<char>(random())); break;
      case 1: text.insert(at, kPieces[below(kPieces.size())]); break;
      case 2: text.erase(at, span); break;
      case 3: text.insert(at, text.substr(at, span)); break;
      default: text.insert(at, other.substr(below(other.size() + 1), below(64)));
    }
  }
  return text;
}

TEST(DesignFileMutation, EveryMutantReadsOrGetsOneLineWithItsPlace) {
  const std::vector<std::string> seeds = Seeds();
  std::mt19937 random(20261209);
  for (int i = 0; i < kMutants; ++i) {
    const std::string text = Mutant(seeds, random);
    const numeric::Result<Design> read = ParseDesignText(text, "m.toml");
    if (read) continue;
    const std::string& reason = read.Reason();
    unsigned line = 0, column = 0;
    int end = 0;
    std::sscanf(reason.c_str(), "m.toml:%u:%u: %n", &line, &column, &end);
    const auto lines = static_cast<unsigned>(1 + std::count(text.begin(), text.end(), '\n'));
    ASSERT_TRUE(end > 0 && line >= 1 && line <= lines && column >= 1 &&
                reason.size() > static_cast<std::size_t>(end) && reason.find_first_of("\n\r") == std::string::npos)
        << "mutant " << i << ": " << testing::PrintToString(text) << "\n" << reason;
  }
}

}  // namespace
}  // namespace experiment
