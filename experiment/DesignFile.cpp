#include "DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <locale>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "DesignFileSyntax.h"
#include "FileAccess.h"
#include "TextRules.h"
#include "Toml.h"

namespace experiment {

namespace {

// A design file is a few hundred bytes; anything far larger is no design.
constexpr std::size_t kMaxFileBytes = 1 << 20;

toml::source_position Where(const toml::source_region& region) {
  return region.begin.line > 0 ? region.begin : toml::source_position{1, 1};
}

// "LINE:COL: ", lines and columns from 1.
std::string At(toml::source_position at) { return std::to_string(at.line) + ":" + std::to_string(at.column) + ": "; }

// What is wrong and where in the file; the first problem ends the reading.
numeric::Failure Wrong(const toml::source_region& region, const std::string& what) {
  return numeric::Fail(At(Where(region)) + what);
}

numeric::Failure Wrong(const toml::node& node, const std::string& what) { return Wrong(node.source(), what); }

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

numeric::Failure WrongType(const toml::node& node, const std::string& key, const std::string& wanted) {
  return Wrong(node, key + " must be " + wanted + ", not " + TypeName(node.type()));
}

numeric::Result<std::int32_t> Integer(const toml::node& node, const std::string& key, std::int32_t least,
                                      std::int32_t most) {
  const std::string range = "an integer from " + std::to_string(least) + " to " + std::to_string(most);
  if (!node.is_integer()) return WrongType(node, key, range);
  const std::int64_t v = node.as_integer()->get();
  if (v < least || v > most) {
    return Wrong(node, key + " = " + std::to_string(v) + " is out of range: it must be " + range);
  }
  return static_cast<std::int32_t>(v);
}

numeric::Result<bool> Boolean(const toml::node& node, const std::string& key) {
  if (!node.is_boolean()) return WrongType(node, key, "true or false");
  return node.as_boolean()->get();
}

numeric::Result<double> Probability(const toml::node& node, const std::string& key) {
  const std::string range = "a number between 0 and 1 (both excluded)";
  if (!node.is_number()) return WrongType(node, key, range);
  const double p = node.value<double>().value_or(NAN);
  if (!(p > 0 && p < 1)) {
    std::ostringstream value;
    value.imbue(std::locale::classic());
    value << p;
    return Wrong(node, key + " = " + value.str() + " is out of range: it must be " + range);
  }
  return p;
}

// A caption, a statement: as a name, but of any length.
numeric::Result<std::string> Text(const toml::node& node, const std::string& key) {
  if (!node.is_string()) return WrongType(node, key, "a string");
  const std::string& text = node.as_string()->get();
  if (!Utf8Length(text)) return Wrong(node, key + " is not valid UTF-8");
  if (HasControlCharacter(text)) return Wrong(node, key + " holds a control character");
  if (TrimWhiteSpace(text).empty()) return Wrong(node, key + " is empty");
  return text;
}

numeric::Result<std::string> Name(const toml::node& node, const std::string& key) {
  if (!node.is_string()) return WrongType(node, key, "a string");
  const std::string& name = node.as_string()->get();
  if (const numeric::Status good = CheckName(name); !good) return Wrong(node, key + " " + good.Reason());
  return name;
}

numeric::Result<std::vector<std::string>> Texts(const toml::node& node, const std::string& key) {
  const std::string wanted = "an array of " + std::to_string(2) + " to " + std::to_string(kMaxCategories) + " strings";
  if (!node.is_array()) return WrongType(node, key, wanted);
  const toml::array& array = *node.as_array();
  if (array.size() < 2 || array.size() > static_cast<std::size_t>(kMaxCategories))
    return Wrong(node, key + " has " + std::to_string(array.size()) + " entries: it must be " + wanted);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < array.size(); ++i) {
    numeric::Result<std::string> text = Text(array[i], key + "[" + std::to_string(i + 1) + "]");
    if (!text) return numeric::Fail(text.Reason());
    texts.push_back(std::move(*text));
  }
  return texts;
}

numeric::Result<Palette> PaletteOf(const toml::node& node, const std::string& key) {
  std::string wanted;
  for (const Palette palette : {Palette::kStandard, Palette::kBlueOrange})
    wanted += (wanted.empty() ? "\"" : " or \"") + std::string(PaletteName(palette)) + "\"";
  if (!node.is_string()) return WrongType(node, key, wanted);
  const std::string& name = node.as_string()->get();
  if (const std::optional<Palette> palette = PaletteNamed(name)) return *palette;
  const std::string given = HasControlCharacter(name) ? "" : " = \"" + name + "\"";
  return Wrong(node, key + given + " is no palette: it must be " + wanted);
}

// Puts what was read into target, or passes on why nothing could be read.
template <typename T>
numeric::Status Keep(T& target, numeric::Result<T> read) {
  if (!read) return numeric::Fail(read.Reason());
  target = std::move(*read);
  return {};
}

// Calls the handler of each key of the table, up to the first that fails, or
// fails at the first key that has none, saying where it belongs when it is a
// key of the other table (`misplaced` says how to move it, or nothing).
using Handlers = std::map<std::string, std::function<numeric::Status(const toml::node&)>, std::less<>>;
using Misplaced = std::function<std::string(const std::string& key)>;

numeric::Status ForEachKey(const toml::table& table, const std::string& prefix, const Handlers& handlers,
                           const Misplaced& misplaced) {
  for (const auto& [key, node] : table) {
    const auto handler = handlers.find(key.str());
    if (handler == handlers.end()) {
      const std::string name(key.str());
      return Wrong(key.source(), "unknown key \"" + prefix + name + "\"" + misplaced(name));
    }
    if (numeric::Status read = handler->second(node); !read) return read;
  }
  return {};
}

// The keys read so far and where they stand in the file, for the checks that
// take two keys together.
struct Keys {
  Design design;
  const toml::node* noiseBrown = nullptr;
  const toml::node* signalBrown = nullptr;
  const toml::node* captionsNode = nullptr;
  const toml::node* statementsNode = nullptr;
  std::vector<std::string> captions;
  std::vector<std::string> statements;
};

// Reads the file's keys into k, up to the first that is wrong.
numeric::Status ReadKeys(const toml::table& root, Keys& k) {
  using Node = const toml::node&;
  Design& d = k.design;
  const Handlers ratings{
      {"captions", [&](Node n) { return k.captionsNode = &n, Keep(k.captions, Texts(n, "ratings.captions")); }},
      {"statements", [&](Node n) { return k.statementsNode = &n, Keep(k.statements, Texts(n, "ratings.statements")); }},
  };
  const Handlers top{
      {"name", [&](Node n) { return Keep(d.Name, Name(n, "name")); }},
      {"practice_trials", [&](Node n) { return Keep(d.PracticeTrials, Integer(n, "practice_trials", 0, 100)); }},
      {"recorded_trials", [&](Node n) { return Keep(d.RecordedTrials, Integer(n, "recorded_trials", 1, 1000)); }},
      {"noise_brown",
       [&](Node n) { return k.noiseBrown = &n, Keep(d.NoiseBrownCells, Integer(n, "noise_brown", 0, 100)); }},
      {"signal_brown",
       [&](Node n) { return k.signalBrown = &n, Keep(d.SignalBrownCells, Integer(n, "signal_brown", 0, 100)); }},
      {"signal_probability", [&](Node n) { return Keep(d.SignalProbability, Probability(n, "signal_probability")); }},
      {"exposure_ms", [&](Node n) { return Keep(d.ExposureMs, Integer(n, "exposure_ms", 50, 10000)); }},
      {"feedback", [&](Node n) { return Keep(d.Feedback, Boolean(n, "feedback")); }},
      {"ask_observer", [&](Node n) { return Keep(d.AskObserver, Boolean(n, "ask_observer")); }},
      {"palette", [&](Node n) { return Keep(d.GridPalette, PaletteOf(n, "palette")); }},
      {"ratings",
       [&](Node n) -> numeric::Status {
         if (!n.is_table()) return WrongType(n, "ratings", "a table with captions and statements");
         // Every key below a line [ratings] is in that table, however meant.
         return ForEachKey(*n.as_table(), "ratings.", ratings, [&](const std::string& key) {
           if (key == "ratings" || !top.contains(key)) return std::string();
           return ": keys after [ratings] belong to it: move \"" + key + "\" above it";
         });
       }},
  };
  return ForEachKey(root, "", top, [&](const std::string& key) {
    if (!ratings.contains(key)) return std::string();
    return ": " + key + " belongs to the table [ratings]: put it below a line [ratings]";
  });
}

numeric::Result<Design> Read(const toml::table& root) {
  Keys k;
  for (const RatingCategory& category : k.design.Ratings) {
    k.captions.push_back(category.Caption);
    k.statements.push_back(category.Statement);
  }
  if (numeric::Status read = ReadKeys(root, k); !read) return numeric::Fail(read.Reason());
  Design& design = k.design;
  if (design.NoiseBrownCells == design.SignalBrownCells) {
    return Wrong(k.signalBrown ? *k.signalBrown : *k.noiseBrown,
                 "signal_brown and noise_brown are both " + std::to_string(design.NoiseBrownCells) +
                     ": the signal pattern must differ from the noise pattern");
  }
  if (k.captions.size() != k.statements.size()) {
    const auto given = [](const toml::node* node) { return node ? "" : " (the standard ones)"; };
    return Wrong(k.captionsNode ? *k.captionsNode : *k.statementsNode,
                 "ratings.captions has " + std::to_string(k.captions.size()) + " entries" + given(k.captionsNode) +
                     " and ratings.statements " + std::to_string(k.statements.size()) + given(k.statementsNode) +
                     ": there must be one statement for each caption");
  }
  design.Ratings.clear();
  for (std::size_t i = 0; i < k.captions.size(); ++i) design.Ratings.push_back({k.captions[i], k.statements[i]});
  return design;
}

// Where the text's first byte that is no UTF-8 stands, and what it is.
std::string NotUtf8(std::string_view text, std::size_t bad) {
  const std::string_view before = text.substr(0, bad);
  const std::size_t newline = before.rfind('\n');
  const std::string_view onItsLine = newline == std::string_view::npos ? before : before.substr(newline + 1);
  const auto line = static_cast<toml::source_index>(1 + std::count(before.begin(), before.end(), '\n'));
  const auto column = static_cast<toml::source_index>(1 + Utf8Length(onItsLine).value_or(0));
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[bad]));
  return At({line, column}) + "not UTF-8 text: the byte " + byte +
         " begins no character; save the file as UTF-8 (Shift_JIS is not)";
}

// The text of line `number` (from 1).
std::string_view LineOf(std::string_view text, std::size_t number) {
  std::size_t begin = 0;
  for (std::size_t n = 1; n < number && begin != std::string_view::npos; ++n) {
    begin = text.find('\n', begin);
    if (begin != std::string_view::npos) ++begin;
  }
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find('\n', begin) - begin);
}

// The text with its control characters blanked, so that a message quoting
// what the file holds stays one line.
std::string Blanked(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

}  // namespace

numeric::Result<Design> ParseDesignText(std::string_view text, const std::string& path) {
  if (const std::size_t valid = ValidUtf8Prefix(text); valid < text.size()) {
    return numeric::Fail(path + ":" + NotUtf8(text, valid));
  }
  toml::parse_result parsed = toml::parse(text, path);
  if (!parsed) {
    const toml::parse_error& error = parsed.error();
    const toml::source_position at = Where(error.source());
    return numeric::Fail(path + ":" + At(at) + Blanked(ExplainSyntaxError(error.description(), LineOf(text, at.line))));
  }
  numeric::Result<Design> design = Read(parsed.table());
  if (!design) return numeric::Fail(path + ":" + design.Reason());
  return design;
}

numeric::Result<Design> ReadDesignFile(const std::string& path) {
  const auto unreadable = [&path](const std::string& why) {
    return numeric::Fail(path + ":" + At({1, 1}) + "cannot be read: " + why);
  };
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
