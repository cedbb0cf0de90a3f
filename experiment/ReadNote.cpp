#include "ReadNote.h"

#include "Design.h"
#include "TrialLogColumns.h"

namespace experiment {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Reason(const ReadNote& n) {
  const auto value = [&n](std::size_t i) { return i < n.values.size() ? n.values[i] : std::string(); };
  switch (n.code) {
    case NoteCode::kCannotRead:
    case NoteCode::kDatabase:
      return value(0);
    case NoteCode::kNotText:
      return "neither UTF-8 nor Shift_JIS (CP932) text";
    case NoteCode::kNotAHeader:
      return "the first line must be the header " + value(0) + " or " + value(1);
    case NoteCode::kNoSessions:
      return "no sessions";
    case NoteCode::kMalformedQuotes:
      return "malformed quotes";
    case NoteCode::kFieldCount:
      return "expected " + value(0) + " fields, found " + value(1);
    case NoteCode::kBadField:
      return value(0) + " " + Quoted(value(1)) + " is not " + RuleText(n.rule);
    case NoteCode::kTrialBeyondDesign:
      return "trial " + Quoted(value(0)) + " is not a whole number from 1 to " + value(1);
    case NoteCode::kPhaseOfTrial:
      return "phase " + Quoted(value(0)) + " does not match trial " + value(1) + " (" + value(2) + ")";
    case NoteCode::kRatingBeyondScale:
      return "response " + Quoted(value(0)) + " is not a rating from 1 to " + value(1);
    case NoteCode::kTrialAgain:
      return "trial " + value(0) + " of session " + value(1) + " again (the first one counts)";
    case NoteCode::kReadAsCp932:
      return "read as Shift_JIS (CP932) text, since it is not UTF-8";
    case NoteCode::kReadWithSemicolons:
      return "read with \";\" between the fields and \",\" as the decimal mark";
  }
  return {};
}

}  // namespace

std::string RuleText(FieldRule rule) {
  switch (rule) {
    case FieldRule::kUtcTime:
      return "a UTC time like 2026-12-08T19:20:31.123Z";
    case FieldRule::kName:
      return "a design's name";
    case FieldRule::kCategories:
      return "a whole number from 2 to " + std::to_string(kMaxCategories);
    case FieldRule::kSeed:
      return "a whole number from 0 to 4294967295";
    case FieldRule::kTrial:
      return "a whole number from 1";
    case FieldRule::kTrialCount:
      return "a number of trials";
    case FieldRule::kPhase:
      return std::string(PhaseName(true)) + " or " + std::string(PhaseName(false));
    case FieldRule::kStimulus:
      return std::string(StimulusName(kNoise)) + " or " + std::string(StimulusName(kSignal));
    case FieldRule::kRating:
      return "a rating code";
    case FieldRule::kMilliseconds:
      return "a number of milliseconds";
    case FieldRule::kWholeMilliseconds:
      return "a whole number of milliseconds";
  }
  return {};
}

std::string NoteText(const ReadNote& note) {
  std::string text = note.where;
  if (note.line > 0) text += ":" + std::to_string(note.line);
  return text + ": " + Reason(note);
}

}  // namespace experiment
