#include "DesignFile.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <locale>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include <toml++/toml.h>

#include "FileAccess.h"
#include "TextRules.h"

namespace experiment {

namespace {

// A design file is a few hundred bytes; anything far larger is no design.
constexpr std::size_t kMaxFileBytes = 1 << 20;

// Where in the file and what is wrong; the first problem ends the reading.
struct Problem {
  toml::source_position at;
  std::string what;
};

toml::source_position Where(const toml::source_region& region) {
  return region.begin.line > 0 ? region.begin : toml::source_position{1, 1};
}

[[noreturn]] void Fail(const toml::node& node, std::string what) { throw Problem{Where(node.source()), std::move(what)}; }

std::string TypeName(toml::node_type type) {
  switch (type) {
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "an array";
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a number with a fraction";
    case toml::node_type::boolean: return "a boolean";
    case toml::node_type::date:
    case toml::node_type::time:
    case toml::node_type::date_time: return "a date or time";
    case toml::node_type::none: break;
  }
  return "nothing";
}

[[noreturn]] void WrongType(const toml::node& node, const std::string& key, const std::string& wanted) {
  Fail(node, key + " must be " + wanted + ", not " + TypeName(node.type()));
}

std::int32_t Integer(const toml::node& node, const std::string& key, std::int32_t least, std::int32_t most) {
  const std::string range = "an integer from " + std::to_string(least) + " to " + std::to_string(most);
  if (!node.is_integer()) WrongType(node, key, range);
  const std::int64_t v = node.as_integer()->get();
  if (v < least || v > most) Fail(node, key + " = " + std::to_string(v) + " is out of range: it must be " + range);
  return static_cast<std::int32_t>(v);
}

bool Boolean(const toml::node& node, const std::string& key) {
  if (!node.is_boolean()) WrongType(node, key, "true or false");
  return node.as_boolean()->get();
}

double Probability(const toml::node& node, const std::string& key) {
  const std::string range = "a number between 0 and 1 (both excluded)";
  if (!node.is_number()) WrongType(node, key, range);
  const double p = node.value<double>().value_or(NAN);
  if (!(p > 0 && p < 1)) {
    std::ostringstream value;
    value.imbue(std::locale::classic());
    value << p;
    Fail(node, key + " = " + value.str() + " is out of range: it must be " + range);
  }
  return p;
}

// A caption, a statement: as a name, but of any length.
std::string Text(const toml::node& node, const std::string& key) {
  if (!node.is_string()) WrongType(node, key, "a string");
  const std::string& text = node.as_string()->get();
  if (!Utf8Length(text)) Fail(node, key + " is not valid UTF-8");
  if (HasControlCharacter(text)) Fail(node, key + " holds a control character");
  if (TrimWhiteSpace(text).empty()) Fail(node, key + " is empty");
  return text;
}

std::string Name(const toml::node& node, const std::string& key) {
  if (!node.is_string()) WrongType(node, key, "a string");
  const std::string& name = node.as_string()->get();
  if (const auto problem = NameProblem(name)) Fail(node, key + " " + *problem);
  return name;
}

std::vector<std::string> Texts(const toml::node& node, const std::string& key) {
  const std::string wanted = "an array of " + std::to_string(2) + " to " + std::to_string(kMaxCategories) + " strings";
  if (!node.is_array()) WrongType(node, key, wanted);
  const toml::array& array = *node.as_array();
  if (array.size() < 2 || array.size() > static_cast<std::size_t>(kMaxCategories))
    Fail(node, key + " has " + std::to_string(array.size()) + " entries: it must be " + wanted);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < array.size(); ++i) texts.push_back(Text(array[i], key + "[" + std::to_string(i + 1) + "]"));
  return texts;
}

// Calls the handler of each key of the table, or fails at the first key that
// has none.
using Handlers = std::map<std::string, std::function<void(const toml::node&)>, std::less<>>;

void ForEachKey(const toml::table& table, const std::string& prefix, const Handlers& handlers) {
  for (const auto& [key, node] : table) {
    const auto handler = handlers.find(key.str());
    if (handler == handlers.end())
      throw Problem{Where(key.source()), "unknown key \"" + prefix + std::string(key.str()) + "\""};
    handler->second(node);
  }
}

Design Read(const toml::table& root) {
  Design design;
  const toml::node* noiseBrown = nullptr;
  const toml::node* signalBrown = nullptr;
  const toml::node* captionsNode = nullptr;
  const toml::node* statementsNode = nullptr;
  std::vector<std::string> captions;
  std::vector<std::string> statements;
  for (const RatingCategory& category : design.Ratings) {
    captions.push_back(category.Caption);
    statements.push_back(category.Statement);
  }

  const Handlers ratings{
      {"captions", [&](const toml::node& n) { captions = Texts(n, "ratings.captions"), captionsNode = &n; }},
      {"statements", [&](const toml::node& n) { statements = Texts(n, "ratings.statements"), statementsNode = &n; }},
  };
  ForEachKey(root, "",
             {
                 {"name", [&](const toml::node& n) { design.Name = Name(n, "name"); }},
                 {"practice_trials", [&](const toml::node& n) { design.PracticeTrials = Integer(n, "practice_trials", 0, 100); }},
                 {"recorded_trials", [&](const toml::node& n) { design.RecordedTrials = Integer(n, "recorded_trials", 1, 1000); }},
                 {"noise_brown", [&](const toml::node& n) { design.NoiseBrownCells = Integer(n, "noise_brown", 0, 100), noiseBrown = &n; }},
                 {"signal_brown", [&](const toml::node& n) { design.SignalBrownCells = Integer(n, "signal_brown", 0, 100), signalBrown = &n; }},
                 {"signal_probability", [&](const toml::node& n) { design.SignalProbability = Probability(n, "signal_probability"); }},
                 {"exposure_ms", [&](const toml::node& n) { design.ExposureMs = Integer(n, "exposure_ms", 50, 10000); }},
                 {"feedback", [&](const toml::node& n) { design.Feedback = Boolean(n, "feedback"); }},
                 {"ask_observer", [&](const toml::node& n) { design.AskObserver = Boolean(n, "ask_observer"); }},
                 {"ratings",
                  [&](const toml::node& n) {
                    if (!n.is_table()) WrongType(n, "ratings", "a table with captions and statements");
                    ForEachKey(*n.as_table(), "ratings.", ratings);
                  }},
             });

  if (design.NoiseBrownCells == design.SignalBrownCells) {
    Fail(signalBrown ? *signalBrown : *noiseBrown,
         "signal_brown and noise_brown are both " + std::to_string(design.NoiseBrownCells) +
             ": the signal pattern must differ from the noise pattern");
  }
  if (captions.size() != statements.size()) {
    const auto given = [](const toml::node* node) { return node ? "" : " (the standard ones)"; };
    Fail(captionsNode ? *captionsNode : *statementsNode,
         "ratings.captions has " + std::to_string(captions.size()) + " entries" + given(captionsNode) +
             " and ratings.statements " + std::to_string(statements.size()) + given(statementsNode) +
             ": there must be one statement for each caption");
  }
  design.Ratings.clear();
  for (std::size_t i = 0; i < captions.size(); ++i) design.Ratings.push_back({captions[i], statements[i]});
  return design;
}

DesignFileResult Failed(const std::string& path, toml::source_position at, const std::string& what) {
  return {Design{}, path + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": " + what};
}

}  // namespace

DesignFileResult ParseDesignText(std::string_view text, const std::string& path) {
  toml::parse_result parsed = toml::parse(text, path);
  if (!parsed) {
    const toml::parse_error& error = parsed.error();
    return Failed(path, Where(error.source()), "not a TOML file: " + std::string(error.description()));
  }
  try {
    return {Read(parsed.table()), ""};
  } catch (const Problem& problem) {
    return Failed(path, problem.at, problem.what);
  }
}

DesignFileResult ReadDesignFile(const std::string& path) {
  const auto unreadable = [&path](const std::string& why) { return Failed(path, {1, 1}, "cannot be read: " + why); };
  const int fd = OpenForReading(path, true);
  if (fd < 0) return unreadable(std::strerror(errno));
  std::string text;
  const int error = ReadToEnd(fd, text, kMaxFileBytes);
  CloseFile(fd);
  if (error != 0) return unreadable(std::strerror(error));
  if (text.size() > kMaxFileBytes) return unreadable("larger than 1 MiB, which no design file is");
  return ParseDesignText(text, path);
}

}  // namespace experiment
