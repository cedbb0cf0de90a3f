#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace {

using shell::CommandLine;
using shell::ParseCommandLine;

TEST(CommandLine, NoArgumentsRunsTheProgramAsAlways) {
  const CommandLine cl = ParseCommandLine({});
  EXPECT_EQ(cl.action, CommandLine::Action::kRun);
  EXPECT_FALSE(cl.csvFile);
  EXPECT_FALSE(cl.seed);
}

TEST(CommandLine, OptionsAndTheirBounds) {
  CommandLine cl = ParseCommandLine({"--seed", "4294967295", "--csv", "out.csv"});
  EXPECT_EQ(cl.action, CommandLine::Action::kRun);
  EXPECT_EQ(cl.seed, 4294967295u);
  EXPECT_EQ(cl.csvFile, "out.csv");
  EXPECT_EQ(ParseCommandLine({"--seed=0"}).seed, 0u);
  cl = ParseCommandLine({"--fit", "a.csv", "b.csv"});
  EXPECT_EQ(cl.action, CommandLine::Action::kFit);
  EXPECT_EQ(cl.fitFiles, (std::vector<std::string>{"a.csv", "b.csv"}));
  EXPECT_EQ(ParseCommandLine({"--version"}).action, CommandLine::Action::kVersion);
  EXPECT_NE(ParseCommandLine({"--help"}).text.find("--csv <FILE>"), std::string::npos);

  // Everything else is bad input, said in one line.
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--seed", "4294967296"}, {"--seed", "-1"}, {"--seed", "12x"}, {"--seed", ""},
        {"--seed", "+5"}, {"--bogus"}, {"--fit"}, {"file.csv"}, {"--csv"}, {"--fit", "a.csv", "--seed", "1"},
        {"--seed", "1", "--seed", "2"}}) {
    cl = ParseCommandLine(bad);
    EXPECT_EQ(cl.action, CommandLine::Action::kBadInput) << bad.front();
    EXPECT_EQ(cl.text.find('\n'), std::string::npos);
    EXPECT_FALSE(cl.text.empty());
  }
}

TEST(CommandLine, HelpNamesThePlotMenuWithItsShortcutsAndAutosave) {
  const std::string help = ParseCommandLine({"--help"}).text;
  for (const char* name : {"right mouse button on the plot", "Ctrl+F", "Ctrl+S", "Ctrl+Shift+S", "--autosave"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
  EXPECT_TRUE(ParseCommandLine({"--autosave", "--csv", "a.csv"}).autosave);
  EXPECT_EQ(ParseCommandLine({"--fit", "a.csv", "--autosave"}).action, CommandLine::Action::kBadInput);
}

// The observer's name is kept trimmed or refused in one line; a design and an
// observer belong to an experiment, so --fit refuses them.
TEST(CommandLine, DesignAndObserver) {
  const CommandLine cl = ParseCommandLine({"--design", "six-point.toml", "--observer", "  山田\u3000"});
  EXPECT_EQ(cl.action, CommandLine::Action::kRun);
  EXPECT_EQ(cl.designFile, "six-point.toml");
  EXPECT_EQ(cl.observer, "山田");
  EXPECT_FALSE(ParseCommandLine({}).observer);
  std::string longest;  // 64 characters, 192 bytes
  for (int i = 0; i < 64; ++i) longest += "あ";
  EXPECT_EQ(ParseCommandLine({"--observer", longest}).observer, longest);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--observer", " "}, {"--observer", "a\x1b[31m"}, {"--observer", longest + "x"},
        {"--fit", "a.csv", "--design", "d.toml"}, {"--fit", "a.csv", "--observer", "x"}}) {
    const CommandLine refused = ParseCommandLine(bad);
    EXPECT_EQ(refused.action, CommandLine::Action::kBadInput) << bad.back();
    EXPECT_EQ(refused.text.find('\n'), std::string::npos);
  }
}

// --serve takes its own options and several designs; the experiment's file
// options and the listen address's mistakes are refused in one line.
TEST(CommandLine, Serve) {
  const CommandLine cl = ParseCommandLine(
      {"--serve", "--listen", "[::1]:0", "--design", "a.toml", "--design", "b.toml", "--seed", "3", "--data", "d"});
  ASSERT_EQ(cl.action, CommandLine::Action::kServe);
  EXPECT_EQ(cl.serve->designFiles, (std::vector<std::string>{"a.toml", "b.toml"}));
  EXPECT_EQ(cl.serve->address, "::1");
  EXPECT_EQ(cl.serve->port, 0);
  EXPECT_EQ(cl.serve->seed, 3u);
  EXPECT_EQ(cl.serve->data, "d");
  EXPECT_TRUE(ParseCommandLine({"--serve"}).serve->anyAddress);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--serve", "--listen", "1.2.3.4"}, {"--serve", "--listen", "host:80"},
        {"--serve", "--listen", ":65536"}, {"--serve", "--csv", "a.csv"}, {"--serve", "--observer", "x"},
        {"--serve", "--data", "none"}, {"--serve", "--tls-cert", "c.pem"}, {"--listen", ":80"},
        {"--design", "a.toml", "--design", "b.toml"}}) {
    const CommandLine refused = ParseCommandLine(bad);
    EXPECT_EQ(refused.action, CommandLine::Action::kBadInput) << bad.back();
    EXPECT_EQ(refused.text.find('\n'), std::string::npos);
  }
}

}  // namespace
