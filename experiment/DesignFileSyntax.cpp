#include "DesignFileSyntax.h"

#include <algorithm>
#include <optional>

namespace experiment {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view Trim(std::string_view s) {
  const std::size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

// The digits at the start of s.
std::string_view Digits(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) ++n;
  return s.substr(0, n);
}

// The parser's description, taken apart: "Error while parsing <what>: <detail>".
struct Description {
  std::string_view what;
  std::string_view detail;
};

Description Split(std::string_view description) {
  constexpr std::string_view kLead = "Error while parsing ";
  if (description.substr(0, kLead.size()) != kLead) return {{}, description};
  description.remove_prefix(kLead.size());
  const std::size_t colon = description.find(": ");
  if (colon == std::string_view::npos) return {description, {}};
  return {description.substr(0, colon), description.substr(colon + 2)};
}

// The line the parser stopped on as "key = value": the key before the first
// "=" (or the first word of a line without one), the value after it without
// a comment, unless it is a quoted text, which may hold a "#".
struct Line {
  std::string_view text;
  std::string_view key;
  std::string_view value;
};

Line TakeApart(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    const std::string_view line = Trim(text);
    return {text, line.substr(0, line.find_first_of(" \t:\"'")), {}};
  }
  std::string_view value = Trim(text.substr(equals + 1));
  if (!value.empty() && value[0] != '"' && value[0] != '\'') value = Trim(value.substr(0, value.find('#')));
  return {text, Trim(text.substr(0, equals)), value};
}

constexpr char kUnderscore[] = "an underscore in a number stands between two digits: 1_000";

// What is wrong with a value that was meant as a decimal number, with the
// number as it should be written; nothing for a value that is no such number.
std::optional<std::string> NumberShape(std::string_view value) {
  const std::string sign(value.substr(0, !value.empty() && (value[0] == '-' || value[0] == '+')));
  value.remove_prefix(sign.size());
  const std::string whole(Digits(value));
  const std::string_view rest = value.substr(whole.size());
  const std::string_view decimals = rest.empty() ? "" : Digits(rest.substr(1));
  if (whole.empty()) {
    if (rest.empty() || rest[0] != '.' || decimals.empty()) return std::nullopt;
    return "a number needs a digit before the point: " + sign + "0." + std::string(decimals);
  }
  if (rest.empty()) return std::nullopt;
  if (rest[0] == '.' && decimals.empty()) return "a number needs a digit after the point: " + sign + whole + ".0";
  if (rest[0] == ',' && !decimals.empty()) {
    return "the decimal mark of a number is a point, not a comma: " + sign + whole + "." + std::string(decimals);
  }
  if (rest[0] == '_' && rest.find_first_not_of("_0123456789") == std::string_view::npos) return kUnderscore;
  const std::string number = sign + whole + (rest[0] == '.' ? "." + std::string(decimals) : "");
  const std::string_view after = Trim(value.substr(number.size() - sign.size()));
  if (after.empty() || after[0] == 'e' || after[0] == 'E' || (whole == "0" && after.find_first_of("xob") == 0))
    return std::nullopt;  // an exponent, a number of another base
  if (after[0] == '.') return "a number has one point at most";
  if (IsLetter(after[0]) || after[0] == '%') return "a number is written without a unit: " + number;
  return std::nullopt;
}

// The name the parser quotes in its detail: "... 'ratings'".
std::string Quoted(std::string_view detail) {
  const std::size_t open = detail.find('\'');
  const std::size_t close = detail.rfind('\'');
  if (open == std::string_view::npos || close <= open) return "";
  return std::string(detail.substr(open + 1, close - open - 1));
}

std::string LeadingZero(const Line& line, const Description&) {
  const std::string_view digits = Digits(line.value);
  const std::size_t first = digits.find_first_not_of('0');
  return "a number does not begin with 0: " + std::string(first == std::string_view::npos ? "0" : digits.substr(first));
}

std::string Boolean(const Line& line, const Description&) {
  const bool no = !line.value.empty() && (line.value[0] == 'f' || line.value[0] == 'F');
  return "true and false are written in small letters: " + std::string(line.key) + " = " + (no ? "false" : "true");
}

// A word without quotes: a yes or no meant as a boolean, else a text.
std::string BareWord(const Line& line, const Description&) {
  const std::string key(line.key);
  const std::string word(line.value);
  if (word.substr(0, 1) == "=")
    return "a key and its value are joined by one =: " + key + " = " + std::string(Trim(word.substr(1)));
  for (const std::string_view no : {"no", "No", "NO", "off", "Off"})
    if (word == no) return "a yes or a no is written true or false: " + key + " = false";
  for (const std::string_view yes : {"yes", "Yes", "YES", "on", "On"})
    if (word == yes) return "a yes or a no is written true or false: " + key + " = true";
  return "a text is written in double quotes: " + key + " = \"" + word + "\"";
}

// A text without its closing quote: the line's first quote opened it.
std::string OpenText(const Line& line, const Description&) {
  const std::string_view from = line.text.substr(std::min(line.text.find_first_of("\"'"), line.text.size()));
  const std::string_view start = from.substr(0, 3);
  const std::string_view quote = from.substr(0, start == R"(""")" || start == "'''" ? 3 : 1);
  return "the text is not closed: it ends with " + std::string(quote) + (quote.size() == 1 ? " on the same line" : "");
}

std::string NoValue(const Line& line, const Description&) { return std::string(line.key) + " has no value after ="; }

std::string TooLarge(const Line& line, const Description&) { return std::string(line.value) + " is too large"; }

// The explanations that need neither the line nor the parser's names.
template <const char* kText>
std::string Say(const Line&, const Description&) {
  return kText;
}

constexpr char kCommas[] = "the entries of a list are separated by commas, and the list ends with ]";
constexpr char kEmptyEntry[] = "a list has a comma with no entry before it";
constexpr char kOpenList[] = "the list is not closed: it ends with ]";
constexpr char kOpenHeader[] = "a table's name is closed by ] on its line: [ratings]";
constexpr char kLoneReturn[] = "a carriage return stands alone: a line ends with LF or with CR LF";
constexpr char kAfterValue[] = "after a value only a comment, from #, may follow on its line";
constexpr char kLineStart[] = "a line begins with a key (letters a to z, digits, _ and -), a [table] or a # comment";

// The common mistakes, by what the parser was reading and a part of its
// detail (empty: any); the first that fits explains.
struct Clue {
  std::string_view what;
  std::string_view detail;
  std::string (*explain)(const Line&, const Description&);
};

constexpr Clue kClues[] = {
    {"table header", "cannot redefine",
     [](const Line&, const Description& d) {
       return "[" + Quoted(d.detail) + "] is given twice: keep one, with all its keys under it";
     }},
    {"", "cannot redefine",
     [](const Line&, const Description& d) { return Quoted(d.detail) + " is given twice: keep one of them"; }},
    {"", "leading zero", LeadingZero},
    {"", "not representable", TooLarge},
    {"", "could not be interpreted", TooLarge},
    {"", "underscore", Say<kUnderscore>},
    {"boolean", "", Boolean},
    {"value", "could not determine", BareWord},
    {"string", "escape sequence",
     [](const Line&, const Description& d) {
       return Quoted(d.detail) +
              " is no escape in a text in double quotes: write \\\\ for a backslash, or put the text in single quotes";
     }},
    {"string", "", OpenText},
    {"array", "expected comma", Say<kCommas>},
    {"array", "expected value", Say<kEmptyEntry>},
    {"array", "", Say<kOpenList>},
    {"table header", "", Say<kOpenHeader>},
    {"key-value pair", "expected '='",
     [](const Line& l, const Description&) {
       return "a key and its value are joined by =: " + std::string(l.key) + " = ...";
     }},
    {"key-value pair", "expected value", NoValue},
    {"key-value pair", "end-of-file", NoValue},
    {"value", "end-of-file", NoValue},
    {"key-value pair", "expected a comment", Say<kAfterValue>},
    {"key-value pair", "after '\\r'", Say<kLoneReturn>},
    {"root table", "", Say<kLineStart>},
};

}  // namespace

std::string ExplainSyntaxError(std::string_view description, std::string_view line) {
  const Description d = Split(description);
  const Line parts = TakeApart(line);
  const bool redefined = d.detail.find("cannot redefine") != std::string_view::npos;
  if (std::optional<std::string> number = NumberShape(parts.value); number && !redefined) return *number;
  for (const Clue& clue : kClues) {
    if ((clue.what.empty() || clue.what == d.what) && d.detail.find(clue.detail) != std::string_view::npos)
      return clue.explain(parts, d);
  }
  if (d.what.empty()) return "not TOML here: " + std::string(d.detail);
  return "not TOML here (reading a " + std::string(d.what) + "): " + std::string(d.detail);
}

}  // namespace experiment
