#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace experiment {

// What a field of a per-trial row must hold; the reason a field is refused.
enum class FieldRule {
  kUtcTime,            // session: 2026-12-08T19:20:31.123Z
  kName,               // design: not empty
  kCategories,         // a whole number from 2 to kMaxCategories
  kSeed,               // a whole number from 0 to 4294967295
  kTrial,              // a whole number from 1
  kTrialCount,         // a number of trials: a whole number from 0
  kPhase,              // practice or recorded
  kStimulus,           // noise or signal
  kRating,             // a rating code: a whole number from 1
  kMilliseconds,       // a number of milliseconds, 0 or more
  kWholeMilliseconds,  // a whole number of milliseconds
};

// A field read into a row, or the rule it broke. Tested as a condition, true
// when the field was good.
struct FieldCheck {
  std::optional<FieldRule> broken;
  explicit operator bool() const { return !broken; }
};
inline FieldCheck Broke(FieldRule rule) { return {rule}; }

// What a reader of class data says about a file, one of its lines or a
// source: why something was left out, or how a file was read. A code and the
// values its text names, so that each interface says it in its own words:
// NoteText in English for the command line, the windows in theirs.
enum class NoteCode {
  // The file (or source) is left out as a whole.
  kCannotRead,   // error: the system's error number; values: {the system's reason}
  kNotText,      // neither UTF-8 nor CP932 text; line: the first line that neither reads
  kNotAHeader,   // line: the first line; values: {plain header, class header}
  kNoSessions,
  kDatabase,     // a class database cannot be read; values: {the server's or driver's reason}
  // One line is left out.
  kMalformedQuotes,
  kFieldCount,       // values: {fields expected, fields found}
  kBadField,         // values: {column, field}; rule
  kTrialBeyondDesign,  // values: {trial, trials of the design}
  kPhaseOfTrial,       // values: {phase, trial, the trial's phase}
  kRatingBeyondScale,  // values: {response, categories}
  kTrialAgain,         // values: {trial, session}
  // How a file was read; nothing is left out.
  kReadAsCp932,
  kReadWithSemicolons,
};

struct ReadNote {
  NoteCode code;
  std::string where;        // the file, folder or source named
  std::size_t line = 0;     // 1-based; 0: the file as a whole
  std::vector<std::string> values;
  FieldRule rule{};  // kBadField
  int error = 0;     // kCannotRead

  // Whether something was left out (not just said of how it was read).
  bool LeavesOut() const { return code < NoteCode::kReadAsCp932; }
  bool operator==(const ReadNote&) const = default;
};

// The note as the command line prints it, in English:
// "<where>[:<line>]: <reason>".
std::string NoteText(const ReadNote& note);

// What the field of a rule must be, in English ("a whole number from 1").
std::string RuleText(FieldRule rule);

}  // namespace experiment
